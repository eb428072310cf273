#include "platform/ui/core/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>
#include <utility>

namespace ui {

namespace {

constexpr std::int64_t kCopyChunk = 64 * 1024;

constexpr const char* kNotARegularFile = "It is not a regular file";

std::string ErrnoText(int error) { return std::generic_category().message(error); }

std::int64_t ResolveSeek(std::int64_t offset, TSeekOrigin origin, std::int64_t position, std::int64_t size) {
    std::int64_t base = 0;
    switch (origin) {
    case TSeekOrigin::soBeginning:
        base = 0;
        break;
    case TSeekOrigin::soCurrent:
        base = position;
        break;
    case TSeekOrigin::soEnd:
        base = size;
        break;
    }
    std::int64_t result = 0;
    if (__builtin_add_overflow(base, offset, &result) || result < 0) {
        throw EStreamError("Invalid stream position");
    }
    return result;
}

}  // namespace

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (count < 0) throw EReadError("Stream read error");
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::int64_t done = 0;
    // A file may deliver fewer bytes than asked without being at its end.
    while (done < count) {
        const std::int64_t n = Read(out + done, count - done);
        if (n <= 0) throw EReadError("Stream read error");
        done += n;
    }
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (count < 0) throw EWriteError("Stream write error");
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        const std::int64_t n = Write(in + done, count - done);
        if (n <= 0) throw EWriteError("Stream write error");
        done += n;
    }
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    if (count < 0) throw EReadError("Stream read error");
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min(count, kCopyChunk)));
    std::int64_t left = count;
    while (left > 0) {
        const std::int64_t n = std::min(left, kCopyChunk);
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        left -= n;
    }
    return count;
}

std::vector<std::uint8_t> ReadRemaining(TStream& stream) {
    const std::int64_t count = std::max<std::int64_t>(stream.Size() - stream.Position(), 0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    stream.ReadBuffer(bytes.data(), count);
    return bytes;
}

// --- TMemoryStream ---------------------------------------------------------------------------

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
    const std::int64_t size = Size();
    if (count <= 0 || position_ >= size) return 0;
    const std::int64_t n = std::min(count, size - position_);
    std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    std::int64_t end = 0;
    if (__builtin_add_overflow(position_, count, &end)) return 0;
    if (end > Size()) SetSize(end);
    std::memcpy(data_.data() + position_, buffer, static_cast<std::size_t>(count));
    position_ = end;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    position_ = ResolveSeek(offset, origin, position_, Size());
    return position_;
}

void TMemoryStream::SetSize(std::int64_t new_size) {
    if (new_size < 0) throw EStreamError("Invalid stream size");
    try {
        data_.resize(static_cast<std::size_t>(new_size));
    } catch (const std::bad_alloc&) {
        throw EOutOfResources("Out of memory while expanding memory stream");
    } catch (const std::length_error&) {
        throw EOutOfResources("Out of memory while expanding memory stream");
    }
}

void TMemoryStream::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
    data_ = ReadRemaining(source);
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& file_name) {
    TFileStream file(file_name, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& dest) const { dest.WriteBuffer(data_.data(), Size()); }

void TMemoryStream::SaveToFile(const std::string& file_name) const {
    TFileStream file(file_name, fmCreate);
    SaveToStream(file);
}

// --- TFileStream -----------------------------------------------------------------------------

namespace {

// A new file only: O_EXCL fails on any name already there, a symbolic link included, and
// O_NOFOLLOW says so once more.
constexpr int kCreateNewFlags = O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;

// Random letters and digits: 16 of them are 82 bits no one can guess.
std::string UnpredictableName() {
    static constexpr char kAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    constexpr int kLetters = 16;
    std::random_device random;
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kAlphabet) - 2);
    std::string name = ".";
    for (int i = 0; i < kLetters; ++i) name += kAlphabet[pick(random)];
    return name + ".tmp";
}

TFileIdentity IdentityOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace

std::optional<TFileIdentity> FileIdentityOf(const std::string& file_name) {
    struct stat st {};
    if (::lstat(file_name.c_str(), &st) != 0) return std::nullopt;
    return IdentityOf(st);
}

TFileStream::TFileStream(const std::string& file_name, std::uint16_t mode) : file_name_(file_name) {
    if ((mode & fmCreate) == fmCreate) {
        const int flags = (mode & fmExclusive) != 0 ? kCreateNewFlags : O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC;
        fd_ = ::open(file_name.c_str(), flags, 0666);
        if (fd_ < 0) {
            throw EFCreateError("Cannot create file \"" + file_name + "\". " + ErrnoText(errno));
        }
        return;
    }
    int flags = O_RDONLY;
    switch (mode & 0x0003) {
    case fmOpenWrite:
        flags = O_WRONLY;
        break;
    case fmOpenReadWrite:
        flags = O_RDWR;
        break;
    default:
        flags = O_RDONLY;
        break;
    }
    // Opening a named pipe for reading waits for a writer, for ever if none comes: the file is
    // opened without waiting and refused below unless it is a regular file.
    const bool reading = flags == O_RDONLY;
    fd_ = ::open(file_name.c_str(), flags | O_CLOEXEC | (reading ? O_NONBLOCK : 0));
    int error = errno;
    std::string reason;
    if (fd_ >= 0) {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) {
            error = errno;
        } else if (S_ISDIR(st.st_mode)) {
            // A folder opens for reading on Linux but is no file to read.
            error = EISDIR;
        } else if (reading && !S_ISREG(st.st_mode)) {
            // Pipes, sockets and devices: reading them may wait for ever or never end.
            reason = kNotARegularFile;
        } else if (reading && ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK) != 0) {
            error = errno;
        } else {
            return;
        }
        ::close(fd_);
        fd_ = -1;
    }
    throw EFOpenError("Cannot open file \"" + file_name + "\". " + (reason.empty() ? ErrnoText(error) : reason));
}

TFileStream::~TFileStream() {
    if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<TFileStream> TFileStream::CreateUnique(const std::string& folder) {
    // A taken name is someone else's file (or a link planted there): it is passed over, never
    // opened. A hundred taken random names in a row mean something else is wrong.
    constexpr int kAttempts = 100;
    const std::string prefix = folder.empty() ? std::string() : folder + "/";
    std::string name;
    int error = EEXIST;
    for (int attempt = 0; attempt < kAttempts && error == EEXIST; ++attempt) {
        name = prefix + UnpredictableName();
        const int fd = ::open(name.c_str(), kCreateNewFlags, 0666);
        if (fd >= 0) return std::unique_ptr<TFileStream>(new TFileStream(name, Opened{fd}));
        error = errno;
    }
    throw EFCreateError("Cannot create file \"" + name + "\". " + ErrnoText(error));
}

TFileIdentity TFileStream::Identity() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return {};
    return IdentityOf(st);
}

void TFileStream::Commit() {
    if (fd_ < 0) return;
    int error = ::fsync(fd_) != 0 ? errno : 0;
    // Devices and pipes have nothing to make durable.
    if (error == EINVAL || error == EROFS) error = 0;
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) throw EWriteError("Cannot write file \"" + file_name_ + "\". " + ErrnoText(error));
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, static_cast<std::size_t>(count));
        if (n >= 0) return n;
        if (errno != EINTR) return 0;
    }
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    for (;;) {
        const ssize_t n = ::write(fd_, buffer, static_cast<std::size_t>(count));
        if (n >= 0) return n;
        if (errno != EINTR) return 0;
    }
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    const std::int64_t target = ResolveSeek(offset, origin, Position(), Size());
    const off_t result = ::lseek(fd_, static_cast<off_t>(target), SEEK_SET);
    if (result < 0) throw EStreamError("Invalid stream position");
    return result;
}

std::int64_t TFileStream::Position() const {
    const off_t pos = ::lseek(fd_, 0, SEEK_CUR);
    return pos < 0 ? 0 : pos;
}

std::int64_t TFileStream::Size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return 0;
    return st.st_size;
}

void TFileStream::SetSize(std::int64_t new_size) {
    if (new_size < 0) throw EStreamError("Stream write error");
    // Growing allocates the blocks (posix_fallocate reports its error as its result) instead of
    // leaving a hole that a later write may find no room for.
    int error = 0;
    if (new_size > Size()) {
        error = ::posix_fallocate(fd_, 0, static_cast<off_t>(new_size));
    } else if (::ftruncate(fd_, static_cast<off_t>(new_size)) != 0) {
        error = errno;
    }
    if (error != 0) throw EWriteError("Cannot write file \"" + file_name_ + "\". " + ErrnoText(error));
    if (Position() > new_size) Seek(new_size, TSeekOrigin::soBeginning);
}

}  // namespace ui
