// The records that cross the interface library's boundary. The caller owns every record; the
// library reads or fills one only during the call it was passed to. All are packed and
// little-endian, because the program was built against exactly these byte layouts.
#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

// Argument of OPENKLP.
struct TINITKLP {
    std::uint32_t sdo_timeout_ms;  // becomes the opening thread's SDO timeout
    std::uint8_t adapter_param;    // handed to the adapter creation, which ignores it
};

// Argument of READKLP and WRITEKLP: a 9-byte header directly followed by the data bytes, so the
// caller allocates 9 + length bytes and lays the record over them.
struct TSDORECORD {
    std::int32_t length;  // write: bytes to send; read: capacity in, bytes received out
    std::uint16_t index;
    std::uint8_t subindex;
    std::uint8_t node;      // 1..31
    std::uint8_t attempts;  // 0 fails at once without bus traffic
    std::uint8_t data[];    // `length` bytes, in bus order
};

// Argument of WRITECAN and WRITECANRTR.
struct TCANRECORD {
    std::uint16_t cob_id;  // 11-bit identifier
    std::uint8_t dlc;      // 0..8; the first dlc bytes of data are used
    std::uint8_t data[8];
};

// One active fault, as GETFAULTKLP hands it out.
struct TFAULTRECORD {
    std::uint16_t node;    // reporting node, 1..31
    std::int32_t life_ms;  // remaining life; the record ages out at 0
    std::uint16_t code;
    std::uint16_t fault_class;
    std::uint8_t flag;
    std::uint16_t extra;
};

#pragma pack(pop)

static_assert(sizeof(TINITKLP) == 5);
static_assert(sizeof(TSDORECORD) == 9 && offsetof(TSDORECORD, data) == 9);
static_assert(sizeof(TCANRECORD) == 11);
static_assert(sizeof(TFAULTRECORD) == 13 && offsetof(TFAULTRECORD, extra) == 11);
