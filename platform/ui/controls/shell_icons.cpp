#include "platform/ui/controls/shell_icons.h"

#include <QAbstractFileIconProvider>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QMimeDatabase>

namespace ui {

namespace {

QIcon IconFor(const std::string& path) {
    const QString name = QString::fromStdString(path);
    const QFileInfo info(name);
    QFileIconProvider provider;
    if (info.exists()) return provider.icon(info);
    // No such file: the icon of its kind, found by the name's extension alone.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull()) icon = provider.icon(QAbstractFileIconProvider::File);
    return icon;
}

bool DrawIcon(TCanvas& canvas, int x, int y, bool large, const QIcon& icon);

QAbstractFileIconProvider::IconType StockIconType(int index) {
    switch (index) {
    case 3:
    case 4:
        return QAbstractFileIconProvider::Folder;
    case 8:
        return QAbstractFileIconProvider::Drive;
    case 15:
        return QAbstractFileIconProvider::Computer;
    case 17:
        return QAbstractFileIconProvider::Network;
    case 31:
        return QAbstractFileIconProvider::Trashcan;
    default:
        return QAbstractFileIconProvider::File;
    }
}

}  // namespace

TSize ShellIconSize(bool large) { return large ? TSize{32, 32} : TSize{16, 16}; }

bool DrawShellFileIcon(TCanvas& canvas, int x, int y, bool large, const std::string& path) {
    return DrawIcon(canvas, x, y, large, IconFor(path));
}

bool DrawShellStockIcon(TCanvas& canvas, int x, int y, bool large, int index) {
    return DrawIcon(canvas, x, y, large, QFileIconProvider().icon(StockIconType(index)));
}

namespace {

bool DrawIcon(TCanvas& canvas, int x, int y, bool large, const QIcon& icon) {
    const TSize size = ShellIconSize(large);
    if (icon.isNull()) return false;
    const QImage image = icon.pixmap(size.cx, size.cy).toImage();
    if (image.isNull()) return false;
    canvas.BlendImage(Bounds(x, y, size.cx, size.cy), image);
    return true;
}

}  // namespace

}  // namespace ui
