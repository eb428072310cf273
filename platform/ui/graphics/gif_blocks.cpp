#include "platform/ui/graphics/gif_blocks.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>

namespace ui {

namespace {

// Reads the stream a block of bytes at a time: a walk over many small sub-blocks stays cheap
// on a file.
class ByteWalker {
public:
    explicit ByteWalker(TStream& stream) : stream_(stream) {}

    // False at the end of the data.
    bool Byte(std::uint8_t& out) {
        if (next_ == end_ && !Fill()) return false;
        out = buffer_[next_++];
        return true;
    }
    bool Word(std::uint16_t& out) {
        std::uint8_t lo = 0, hi = 0;
        if (!Byte(lo) || !Byte(hi)) return false;
        out = static_cast<std::uint16_t>(lo | (hi << 8));
        return true;
    }
    // Bytes walked so far.
    std::uint64_t Walked() const { return taken_ - (end_ - next_); }
    bool Skip(std::size_t count) {
        while (count > 0) {
            if (next_ == end_ && !Fill()) return false;
            const std::size_t n = std::min(count, end_ - next_);
            next_ += n;
            count -= n;
        }
        return true;
    }

private:
    bool Fill() {
        const std::int64_t n = stream_.Read(buffer_.data(), static_cast<std::int64_t>(buffer_.size()));
        next_ = 0;
        end_ = n > 0 ? static_cast<std::size_t>(n) : 0;
        taken_ += end_;
        return end_ > 0;
    }

    TStream& stream_;
    std::array<std::uint8_t, 16 * 1024> buffer_{};
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    std::uint64_t taken_ = 0;  // bytes read from the stream
};

// A colour table follows when bit 7 of the flags is set: 3 bytes for each of its 2^(n+1)
// entries, n in the low three bits.
std::size_t ColourTableBytes(std::uint8_t flags) { return flags & 0x80 ? 3u << ((flags & 0x07) + 1) : 0; }

// Sub-blocks: a length byte and that many bytes, up to a length of 0. The bytes they hold, or
// nothing when the data ends first.
std::optional<std::uint64_t> SkipSubBlocks(ByteWalker& in) {
    std::uint64_t bytes = 0;
    for (;;) {
        std::uint8_t length = 0;
        if (!in.Byte(length)) return std::nullopt;
        if (length == 0) return bytes;
        if (!in.Skip(length)) return std::nullopt;
        bytes += length;
    }
}

}  // namespace

std::optional<TGifFirstImage> FindGifFirstImage(TStream& stream) {
    auto walker = std::make_unique<ByteWalker>(stream);
    ByteWalker& in = *walker;
    // Signature and version, logical screen width and height, flags, background, aspect ratio.
    std::uint8_t flags = 0;
    if (!in.Skip(10) || !in.Byte(flags) || !in.Skip(2) || !in.Skip(ColourTableBytes(flags))) return std::nullopt;
    for (;;) {
        std::uint8_t introducer = 0;
        if (!in.Byte(introducer)) return std::nullopt;
        if (introducer == 0x21) {  // an extension: its label, then sub-blocks
            if (!in.Skip(1) || !SkipSubBlocks(in)) return std::nullopt;
            continue;
        }
        if (introducer != 0x2C) return std::nullopt;  // the trailer, or no block at all
        std::uint16_t left = 0, top = 0, width = 0, height = 0;
        std::uint8_t image_flags = 0;
        if (!in.Word(left) || !in.Word(top) || !in.Word(width) || !in.Word(height) || !in.Byte(image_flags)) {
            return std::nullopt;
        }
        TGifFirstImage image;
        image.bounds = Bounds(left, top, width, height);
        // Then its own colour table, the code size of the compressed data and the data.
        const std::optional<std::uint64_t> data =
            in.Skip(ColourTableBytes(image_flags)) && in.Skip(1) ? SkipSubBlocks(in) : std::nullopt;
        image.whole = data.has_value();
        image.data_bytes = data.value_or(0);
        image.end = in.Walked();
        return image;
    }
}

}  // namespace ui
