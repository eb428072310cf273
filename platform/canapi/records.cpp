// Frame <-> record conversions.
#include "platform/canapi/records.h"

#include "platform/canapi/canapi.h"

namespace canapi {

Record ReceiveRecord(const Frame& frame) {
    Record r{};
    if (frame.extended) {
        r[0] = frame.rtr ? kCanapiKindExtendedRemote : kCanapiKindExtendedData;
    } else {
        r[0] = frame.rtr ? kCanapiKindStandardRemote : kCanapiKindStandardData;
    }
    r[1] = frame.id;
    r[2] = frame.dlc;
    if (!frame.rtr) {
        for (int i = 0; i < frame.dlc && i < 8; ++i) r[3 + i] = frame.data[i];
    }
    return r;
}

Record StatusRecord(std::uint32_t code) {
    Record r{};
    r[0] = kCanapiKindStatus;
    r[1] = code;
    return r;
}

std::optional<Frame> TransmitFrame(const std::uint32_t* record) {
    if (record == nullptr) return std::nullopt;
    Frame f;
    if (record[0] > kMaxStandardId || record[1] > 8) return std::nullopt;
    f.id = record[0];
    f.dlc = static_cast<std::uint8_t>(record[1]);
    f.rtr = record[11] != 0;
    if (!f.rtr) {
        for (int i = 0; i < f.dlc; ++i) {
            if (record[2 + i] > 0xFF) return std::nullopt;
            f.data[i] = static_cast<std::uint8_t>(record[2 + i]);
        }
    }
    return f;
}

}  // namespace canapi
