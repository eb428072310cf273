// The toolkit's readers read a class-library stream through this device, a piece at a time, so
// that a picture file is never copied into memory whole before it is decoded.
#pragma once

#include <QIODevice>

#include <cstdint>

#include "platform/ui/core/streams.h"

namespace ui {

// A read-only device over `stream` from its position at construction (the device's 0) to its
// end, or over its next `length` bytes at most. The stream must outlive the device; reading moves
// the stream's position.
class TStreamDevice : public QIODevice {
public:
    explicit TStreamDevice(TStream& stream, std::int64_t length = -1);

    bool isSequential() const override { return false; }
    qint64 size() const override;
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char* data, qint64 max_size) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    TStream& stream_;
    std::int64_t start_;
    std::int64_t length_;
};

}  // namespace ui
