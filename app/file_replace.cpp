#include "app/file_replace.h"

#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "app/file_errors.h"
#include "app/file_in_place.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/streams.h"

namespace app {
namespace {

namespace fs = std::filesystem;

// The kernel's own limit on the links of one path.
constexpr int kMaxLinkHops = 40;

// A new file of this save beside the target, under a name no one can predict, created
// exclusively (so it is never a file or a link someone else put there). Its name is removed
// unless the rename took it, and only while it still names the file this save made.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& folder)
        : stream_(ui::TFileStream::CreateUnique(folder)), name_(stream_->FileName()), identity_(stream_->Identity()) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        stream_.reset();
        if (!released_ && StillOurs()) {
            std::error_code ignored;
            fs::remove(name_, ignored);
        }
    }
    const std::string& Name() const { return name_; }
    ui::TFileStream& Stream() { return *stream_; }
    // Whether the name still stands for the file this save made (and is no link put in its place).
    bool StillOurs() const { return ui::FileIdentityOf(name_) == identity_; }
    void Release() { released_ = true; }

private:
    std::unique_ptr<ui::TFileStream> stream_;
    std::string name_;
    ui::TFileIdentity identity_;
    bool released_ = false;
};

// The file a save through `file_name` writes: symbolic links followed to the file they point to,
// which need not exist yet. A chain too long (or a loop) is refused as opening it would be.
fs::path FileBehind(const std::string& file_name) {
    fs::path path = file_name;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
        const fs::path next = fs::read_symlink(path, error);
        if (error) RaiseCannotCreate(file_name, error.message());
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    RaiseCannotCreate(file_name, std::make_error_code(std::errc::too_many_symbolic_link_levels).message());
}

// Puts the written bytes on the disk and closes the file; a failure names `file_name`.
void Commit(ui::TFileStream& out, const std::string& file_name) {
    try {
        out.Commit();
    } catch (const ui::EStreamError& e) {
        RaiseCannotWrite(file_name, e);
    }
}

// The bytes into a new, empty file: its room first, so that a full disk says so.
void Fill(ui::TFileStream& out, const std::string& file_name, const std::uint8_t* data, std::size_t size) {
    try {
        out.SetSize(static_cast<std::int64_t>(size));
        out.SetPosition(0);
        out.WriteBuffer(data, static_cast<std::int64_t>(size));
    } catch (const ui::EStreamError& e) {
        RaiseCannotWrite(file_name, e);
    }
    Commit(out, file_name);
}

// The old file rewritten where it is, for a folder that takes no temporary file: nothing of it
// changes unless the room for the new bytes is there.
void WriteInPlace(const std::string& target, const std::string& file_name, const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<ui::TFileStream> file;
    try {
        // Read as well as written: the old bytes are kept to be put back should a write fail.
        file = std::make_unique<ui::TFileStream>(target, ui::fmOpenReadWrite);
    } catch (const ui::EFOpenError& e) {
        RaiseCannotCreate(file_name, FileErrorReason(e.what()));
    }
    OverwriteInPlace(*file, file_name, data, size);
    Commit(*file, file_name);
}

}  // namespace

void WriteFileReplacing(const std::string& file_name, const std::uint8_t* data, std::size_t size) {
    const fs::path target_path = FileBehind(file_name);
    const std::string target = target_path.string();
    std::error_code error;
    const auto old_status = fs::status(target, error);
    const bool replacing = !error && fs::is_regular_file(old_status);
    if (replacing) {
        // The rename needs only the folder's permission; whether the file may be replaced is the
        // file's own, as the user's writing it would find.
        try {
            ui::TFileStream probe(target, ui::fmOpenWrite);
        } catch (const ui::EFOpenError& e) {
            RaiseCannotCreate(file_name, FileErrorReason(e.what()));
        }
    }
    std::unique_ptr<TemporaryFile> temp;
    try {
        temp = std::make_unique<TemporaryFile>(target_path.parent_path().string());
    } catch (const ui::EFCreateError& e) {
        // The folder takes no new file: an old file that may be written is written in place; a
        // new one cannot be made either, for the same reason.
        if (!replacing) RaiseCannotCreate(file_name, FileErrorReason(e.what()));
        WriteInPlace(target, file_name, data, size);
        return;
    }
    // On the disk before the rename: a crash after it must not leave an empty file behind the
    // old file's name.
    Fill(temp->Stream(), file_name, data, size);
    if (!temp->StillOurs()) RaiseCannotCreate(file_name, "Its temporary file " + temp->Name() + " was replaced");
    // A replaced file keeps its permissions; a new one gets the usual ones of a created file.
    if (replacing) {
        fs::permissions(temp->Name(), old_status.permissions(), fs::perm_options::replace, error);
        if (error) RaiseCannotCreate(file_name, error.message());
    }
    fs::rename(temp->Name(), target, error);
    if (error) RaiseCannotCreate(file_name, error.message());
    temp->Release();
}

}  // namespace app
