#include "platform/ui/core/resources.h"

#include <QFile>
#include <QString>

namespace ui {

bool FindProgramResource(const std::string& name, std::vector<std::uint8_t>& data) {
    // A name that climbs out of the folder or is empty names no resource.
    if (name.empty() || name.find('/') != std::string::npos) return false;
    QFile file(QString::fromStdString(std::string(kResourcePrefix) + name));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    data.assign(bytes.begin(), bytes.end());
    return true;
}

}  // namespace ui
