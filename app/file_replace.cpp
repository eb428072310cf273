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
        // On the disk before the rename: a crash after it must not leave an empty file behind
        // the old file's name.
        try {
            out.Commit();
        } catch (const ui::EWriteError& e) {
            throw ui::EWriteError("Cannot write file \"" + file_name + "\". " + ReasonOf(e.what(), temp.Name()));
        }
    } catch (const ui::EFCreateError& e) {
        throw ui::EFCreateError("Cannot create file \"" + file_name + "\". " + ReasonOf(e.what(), temp.Name()));
    }
    std::error_code error;
    // A replaced file keeps its permissions; a new one gets the usual ones of a created file.
    const auto old_status = std::filesystem::status(file_name, error);
    if (!error && std::filesystem::is_regular_file(old_status)) {
        std::filesystem::permissions(temp.Name(), old_status.permissions(), std::filesystem::perm_options::replace, error);
        if (error) throw ui::EFCreateError("Cannot create file \"" + file_name + "\". " + error.message());
    }
    error.clear();
    std::filesystem::rename(temp.Name(), file_name, error);
    if (error) {
        throw ui::EFCreateError("Cannot create file \"" + file_name + "\". " + error.message());
    }
    temp.Release();
}

}  // namespace app
