#include "app/file_errors.h"

#include <string_view>

namespace app {

std::string FileErrorReason(const std::string& message) {
    constexpr std::string_view kAfterName = "\". ";
    if (message.rfind("Cannot ", 0) != 0) return message;
    // The last one: a file name may hold the same three characters, a system's reason does not.
    const auto at = message.rfind(kAfterName);
    return at == std::string::npos ? message : message.substr(at + kAfterName.size());
}

void RaiseCannotCreate(const std::string& file_name, const std::string& reason) {
    throw ui::EFCreateError("Cannot create file \"" + file_name + "\". " + reason);
}

void RaiseCannotWrite(const std::string& file_name, const ui::Exception& cause) {
    throw ui::EWriteError("Cannot write file \"" + file_name + "\". " + FileErrorReason(cause.what()));
}

}  // namespace app
