#include "app/file_replace.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/streams.h"

namespace app {
namespace {

// Removes the temporary file unless the rename took it.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string name) : name_(std::move(name)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!released_) {
            std::error_code ignored;
            std::filesystem::remove(name_, ignored);
        }
    }
    const std::string& Name() const { return name_; }
    void Release() { released_ = true; }

private:
    std::string name_;
    bool released_ = false;
};

// The reason part of a class-library file error ("Cannot create file "x". <reason>").
std::string ReasonOf(const std::string& message, const std::string& file_name) {
    const std::string prefix = "\"" + file_name + "\". ";
    const auto at = message.find(prefix);
    return at == std::string::npos ? message : message.substr(at + prefix.size());
}

}  // namespace

void WriteFileReplacing(const std::string& file_name, const std::uint8_t* data, std::size_t size) {
    TemporaryFile temp(file_name + ".tmp~");
    try {
        ui::TFileStream out(temp.Name(), ui::fmCreate);
        out.WriteBuffer(data, static_cast<std::int64_t>(size));
    } catch (const ui::EFCreateError& e) {
        throw ui::EFCreateError("Cannot create file \"" + file_name + "\". " + ReasonOf(e.what(), temp.Name()));
    }
    std::error_code error;
    std::filesystem::rename(temp.Name(), file_name, error);
    if (error) {
        throw ui::EFCreateError("Cannot create file \"" + file_name + "\". " + error.message());
    }
    temp.Release();
}

}  // namespace app
