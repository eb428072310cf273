// Test interface of libcanapi.so's recording backend (CANAPI_CHANNEL=record).
//
// A test sets CANAPI_CHANNEL=record before the adapter session opens (before ca_InitApi_1, i.e.
// before the interface library's open call), links against the `canapi` target (the same
// libcanapi.so the interface library later loads by name, so both see one recorder), and then:
//   - reads the call log: one line per ca_* call made while recording, with decimal arguments,
//     16-word blocks in brackets, output pointers as "out" and null pointers as "null", e.g.
//       ca_InitApi_1(11,768)
//       ca_InitCanCard_1(1,0,0,0,[0,0,0,0,255,255,255,255,0,0,0,0,255,255,255,255],7,127,0,0,0)
//       ca_TransmitCanCard_1(1,0,[1953,8,64,0,16,0,0,0,0,0,0,0,0,0,0,0])
//       ca_GetData_1(out)
//     Every attempt is logged, failed ones included.
//   - reads the transmitted records: only the transmits that were accepted, in order.
//   - injects receive records: they are queued for ca_GetData_1 and the adapter event is set.
//   - makes the next N calls of a function fail (return 0).
// The log, the transmitted records and the failure counts survive ca_CloseApi (so a test can read
// them after the interface library closed); canapi_recorder_reset clears them. Injected records
// belong to the open session and are dropped by ca_CloseApi.
// All functions are thread-safe.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(CANAPI_BUILDING)
#define CANAPI_RECORDER_EXPORT __attribute__((visibility("default")))
#else
#define CANAPI_RECORDER_EXPORT
#endif

// Clears the log, the transmitted records, the failure counts and any injected record not yet read.
CANAPI_RECORDER_EXPORT void canapi_recorder_reset(void);

// Number of logged calls.
CANAPI_RECORDER_EXPORT size_t canapi_recorder_log_size(void);
// Copies log line `index` (no newline) into `buffer` (NUL-terminated, truncated to size - 1) and
// returns its full length; 0 when `index` is out of range.
CANAPI_RECORDER_EXPORT size_t canapi_recorder_log_line(size_t index, char* buffer, size_t size);

// Number of accepted transmits.
CANAPI_RECORDER_EXPORT size_t canapi_recorder_transmit_count(void);
// Copies accepted transmit record `index` (16 words) into `record`; 0 when out of range, else 1.
CANAPI_RECORDER_EXPORT int32_t canapi_recorder_transmit(size_t index, uint32_t* record);

// Queues a receive record (16 words, layout in canapi.h) for ca_GetData_1 and sets the adapter
// event. 1 when queued; 0 when no recording session is open (ca_InitApi_1 not called, or closed).
CANAPI_RECORDER_EXPORT int32_t canapi_recorder_inject(const uint32_t* record);
// Injected records not yet taken by ca_GetData_1.
CANAPI_RECORDER_EXPORT size_t canapi_recorder_pending(void);

// The next `n` calls of ca_TransmitCanCard_1 return 0 (logged, not transmitted). n <= 0 clears.
CANAPI_RECORDER_EXPORT void canapi_recorder_fail_transmits(int32_t n);
// The next `n` calls of the named function return 0: one of "ca_ResetCanCard_1",
// "ca_InitCanCard_1", "ca_Instruction_1", "ca_TransmitCanCard_1". 0 for any other name, else 1.
CANAPI_RECORDER_EXPORT int32_t canapi_recorder_fail_calls(const char* function, int32_t n);

#ifdef __cplusplus
}  // extern "C"

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

// C++ conveniences over the functions above.
namespace canapi_recorder {

using Record = std::array<uint32_t, 16>;

inline std::vector<std::string> Log() {
    std::vector<std::string> lines;
    const size_t count = canapi_recorder_log_size();
    for (size_t i = 0; i < count; ++i) {
        std::string line(canapi_recorder_log_line(i, nullptr, 0), '\0');
        if (line.empty()) break;  // cleared meanwhile
        std::vector<char> buffer(line.size() + 1);
        canapi_recorder_log_line(i, buffer.data(), buffer.size());
        lines.emplace_back(buffer.data());
    }
    return lines;
}

inline std::vector<Record> Transmits() {
    std::vector<Record> records;
    const size_t count = canapi_recorder_transmit_count();
    for (size_t i = 0; i < count; ++i) {
        Record r{};
        if (canapi_recorder_transmit(i, r.data()) == 0) break;
        records.push_back(r);
    }
    return records;
}

// A standard data (or remote) frame as the adapter would deliver it.
inline Record ReceiveRecord(uint32_t cob_id, std::initializer_list<uint8_t> data, bool remote = false) {
    Record r{};
    r[0] = remote ? 0x7002u : 0x7001u;
    r[1] = cob_id;
    r[2] = static_cast<uint32_t>(data.size() > 8 ? 8 : data.size());
    size_t i = 0;
    for (uint8_t b : data) {
        if (i == 8) break;
        r[3 + i++] = b;
    }
    return r;
}

// A status record with one of the codes in canapi.h (2 bus-off, 6 queue full, 7 restart, 8 error).
inline Record StatusRecord(uint32_t code) {
    Record r{};
    r[0] = 0x8000u;
    r[1] = code;
    return r;
}

inline bool Inject(const Record& record) { return canapi_recorder_inject(record.data()) != 0; }

}  // namespace canapi_recorder
#endif
