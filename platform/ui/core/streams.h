// Byte streams of the class library: an abstract TStream with the checked ReadBuffer/WriteBuffer
// helpers, a growable memory stream and a file stream. Positions and sizes are byte counts.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/core/exceptions.h"

namespace ui {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream() = default;

    // Reads up to `count` bytes; returns how many were read (0 at the end, or for count <= 0).
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    // Writes up to `count` bytes; returns how many were written.
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    // Moves the position and returns the new one. Raises EStreamError when the result
    // would lie before the start.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

    virtual std::int64_t Size() const = 0;
    // Grows (zero-filled) or cuts the stream; the position stays unless it lay past the new end.
    virtual void SetSize(std::int64_t new_size) = 0;

    virtual std::int64_t Position() const = 0;
    void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }

    // Exactly `count` bytes or EReadError "Stream read error".
    void ReadBuffer(void* buffer, std::int64_t count);
    // Exactly `count` bytes or EWriteError "Stream write error".
    void WriteBuffer(const void* buffer, std::int64_t count);
    // Copies `count` bytes from the source's position; count 0 copies the whole source from its
    // start. Returns the number of bytes copied; a short source raises EReadError.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// The bytes from the stream's position to its end (what a graphic loads from a stream).
std::vector<std::uint8_t> ReadRemaining(TStream& stream);

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() const override { return static_cast<std::int64_t>(data_.size()); }
    void SetSize(std::int64_t new_size) override;
    std::int64_t Position() const override { return position_; }

    // The stream's bytes (Size() of them); valid until the next size change.
    std::uint8_t* Memory() { return data_.data(); }
    const std::uint8_t* Memory() const { return data_.data(); }
    const std::vector<std::uint8_t>& Bytes() const { return data_; }

    void Clear();
    // Replaces the contents with the rest of `source` (from its position); position 0 afterwards.
    void LoadFromStream(TStream& source);
    void LoadFromFile(const std::string& file_name);
    // Writes the whole contents, whatever the position.
    void SaveToStream(TStream& dest) const;
    void SaveToFile(const std::string& file_name) const;

private:
    std::vector<std::uint8_t> data_;
    std::int64_t position_ = 0;
};

// File open modes: one access mode or'ed with one share mode. fmCreate creates or truncates;
// fmCreate | fmExclusive creates a new file only: when anything of that name is there, also a
// symbolic link (dangling or not), the creation fails and leaves it as it is.
// Share modes are accepted for compatibility; Linux files are not locked.
inline constexpr std::uint16_t fmOpenRead = 0x0000;
inline constexpr std::uint16_t fmOpenWrite = 0x0001;
inline constexpr std::uint16_t fmOpenReadWrite = 0x0002;
inline constexpr std::uint16_t fmExclusive = 0x0004;
inline constexpr std::uint16_t fmShareCompat = 0x0000;
inline constexpr std::uint16_t fmShareExclusive = 0x0010;
inline constexpr std::uint16_t fmShareDenyWrite = 0x0020;
inline constexpr std::uint16_t fmShareDenyRead = 0x0030;
inline constexpr std::uint16_t fmShareDenyNone = 0x0040;
inline constexpr std::uint16_t fmCreate = 0xFF00;

// Which file a name or an open stream stands for (the file system's volume and file number):
// two equal identities are one file.
struct TFileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    bool operator==(const TFileIdentity&) const = default;
};

// The identity of what `file_name` names, the link itself when it is a symbolic link; nothing
// when nothing of that name is there.
std::optional<TFileIdentity> FileIdentityOf(const std::string& file_name);

// A stream over an open file; the file is closed when the stream is destroyed.
// Opening raises EFOpenError "Cannot open file "<name>". <reason>", creating raises
// EFCreateError "Cannot create file "<name>". <reason>". Only a regular file opens for reading:
// a folder, a named pipe, a socket or a device is refused at once, without waiting for a writer.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& file_name, std::uint16_t mode);
    ~TFileStream() override;

    // A new, empty file in `folder` under a short name no one can predict, created as
    // fmCreate | fmExclusive creates (names already taken are passed over): the system's unique
    // temporary file, with a random name. Raises EFCreateError naming the file it tried when the
    // folder takes no new file.
    static std::unique_ptr<TFileStream> CreateUnique(const std::string& folder);

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() const override;
    // Growing the file reserves its room on the disk, as the system's end-of-file call does: a
    // full disk fails here, before a byte is written, with EWriteError "Cannot write file
    // "<name>". <reason>" (the size may then have grown in part). Cutting it raises the same.
    void SetSize(std::int64_t new_size) override;
    std::int64_t Position() const override;

    const std::string& FileName() const { return file_name_; }
    // The identity of the open file (not of whatever its name names now).
    TFileIdentity Identity() const;

    // Makes the written bytes durable on the disk, then closes the file; raises EWriteError
    // naming the file when either step fails (a full disk may show only here). The stream is
    // closed afterwards in any case.
    void Commit();

private:
    // Takes over a file CreateUnique opened.
    struct Opened {
        int fd;
    };
    TFileStream(std::string file_name, Opened opened) : file_name_(std::move(file_name)), fd_(opened.fd) {}

    std::string file_name_;
    int fd_ = -1;
};

}  // namespace ui
