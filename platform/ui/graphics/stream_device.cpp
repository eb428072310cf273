#include "platform/ui/graphics/stream_device.h"

#include <algorithm>

namespace ui {

TStreamDevice::TStreamDevice(TStream& stream, std::int64_t length)
    : stream_(stream), start_(stream.Position()), length_(length) {
    open(QIODevice::ReadOnly);
}

qint64 TStreamDevice::size() const {
    const qint64 rest = std::max<qint64>(stream_.Size() - start_, 0);
    return length_ >= 0 ? std::min<qint64>(rest, length_) : rest;
}

bool TStreamDevice::seek(qint64 pos) {
    if (!QIODevice::seek(pos)) return false;
    try {
        stream_.SetPosition(start_ + pos);
    } catch (const Exception&) {
        return false;
    }
    return true;
}

qint64 TStreamDevice::readData(char* data, qint64 max_size) {
    // Nothing may be thrown into the toolkit's reader: a stream that fails ends the data there.
    try {
        const qint64 left = size() - (stream_.Position() - start_);
        return left > 0 ? stream_.Read(data, std::min(max_size, left)) : 0;
    } catch (const std::exception&) {
        return -1;
    }
}

}  // namespace ui
