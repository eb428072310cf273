#include "app/file_replace.h"

#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/streams.h"

namespace app {
namespace {

namespace fs = std::filesystem;

// The kernel's own limit on the links of one path.
constexpr int kMaxLinkHops = 40;

// A new file beside the target, created when this is made (raising the class library's
// EFCreateError naming it when it cannot be) and removed unless the rename took it.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string name)
        : name_(std::move(name)), stream_(std::make_unique<ui::TFileStream>(name_, ui::fmCreate)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        stream_.reset();
        if (!released_) {
            std::error_code ignored;
            fs::remove(name_, ignored);
        }
    }
    const std::string& Name() const { return name_; }
    ui::TFileStream& Stream() { return *stream_; }
    void Release() { released_ = true; }

private:
    std::string name_;
    std::unique_ptr<ui::TFileStream> stream_;
    bool released_ = false;
};

// The reason part of a class-library file error ("Cannot create file "x". <reason>").
std::string ReasonOf(const std::string& message, const std::string& file_name) {
    const std::string prefix = "\"" + file_name + "\". ";
    const auto at = message.find(prefix);
    return at == std::string::npos ? message : message.substr(at + prefix.size());
}

[[noreturn]] void CannotCreate(const std::string& file_name, const std::string& reason) {
    throw ui::EFCreateError("Cannot create file \"" + file_name + "\". " + reason);
}

// The file a save through `file_name` writes: symbolic links followed to the file they point to,
// which need not exist yet. A chain too long (or a loop) is refused as opening it would be.
fs::path FileBehind(const std::string& file_name) {
    fs::path path = file_name;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
        const fs::path next = fs::read_symlink(path, error);
        if (error) CannotCreate(file_name, error.message());
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    CannotCreate(file_name, std::make_error_code(std::errc::too_many_symbolic_link_levels).message());
}

// Writes the bytes and puts them on the disk; a failure names `file_name`.
void Fill(ui::TFileStream& out, const std::string& file_name, const std::uint8_t* data, std::size_t size) {
    out.WriteBuffer(data, static_cast<std::int64_t>(size));
    try {
        out.Commit();
    } catch (const ui::EWriteError& e) {
        throw ui::EWriteError("Cannot write file \"" + file_name + "\". " + ReasonOf(e.what(), out.FileName()));
    }
}

}  // namespace

void WriteFileReplacing(const std::string& file_name, const std::uint8_t* data, std::size_t size) {
    const std::string target = FileBehind(file_name).string();
    std::error_code error;
    const auto old_status = fs::status(target, error);
    const bool replacing = !error && fs::is_regular_file(old_status);
    if (replacing) {
        // The rename needs only the folder's permission; whether the file may be replaced is the
        // file's own, as the user's writing it would find.
        try {
            ui::TFileStream probe(target, ui::fmOpenWrite);
        } catch (const ui::EFOpenError& e) {
            CannotCreate(file_name, ReasonOf(e.what(), target));
        }
    }
    std::unique_ptr<TemporaryFile> temp;
    try {
        temp = std::make_unique<TemporaryFile>(target + ".tmp~");
    } catch (const ui::EFCreateError&) {
        // The folder takes no new file (or the longer name does not fit): the target itself may
        // still be written, or creating it gives the error that names it.
        try {
            ui::TFileStream out(target, ui::fmCreate);
            Fill(out, file_name, data, size);
        } catch (const ui::EFCreateError& e) {
            CannotCreate(file_name, ReasonOf(e.what(), target));
        }
        return;
    }
    // On the disk before the rename: a crash after it must not leave an empty file behind the
    // old file's name.
    Fill(temp->Stream(), file_name, data, size);
    // A replaced file keeps its permissions; a new one gets the usual ones of a created file.
    if (replacing) {
        fs::permissions(temp->Name(), old_status.permissions(), fs::perm_options::replace, error);
        if (error) CannotCreate(file_name, error.message());
    }
    fs::rename(temp->Name(), target, error);
    if (error) CannotCreate(file_name, error.message());
    temp->Release();
}

}  // namespace app
