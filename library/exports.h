// The interface library's whole public surface: eighteen functions over the packed records of
// library_records.h, exported under the names of export_names.h (the only symbols the shared
// library exports).
//
// Every function may be called from any thread of the caller. READKLP and WRITEKLP block the
// calling thread for the whole transfer; the other queries read single flags. Results of the
// open, read and write calls: false = success, true = failure. A fatal error of the stack leaves
// OPENKLP, CLOSEKLP, RESETKLP, WRITECAN, WRITECANRTR and GETSYSTEMSTATE as a klp::FatalError
// (a std::runtime_error); READKLP and WRITEKLP catch it and report failure.
//
// Calling order: OPENKLP once; CHECKSDO5CHANNELCONFLICT once after the bus was heard for a while
// (until then SDO responses are discarded and the fault thread waits); transfers once READYKLP
// is true; CLOSEKLP once (it takes at least 2.5 s) before the library is unloaded.
#pragma once

#include <cstdint>

#include "library/library_records.h"

#define KLP_EXPORT __attribute__((visibility("default")))

namespace klp {
struct SdoProgress;
// What GETNODESTATEKLP reports for an NM state.
std::uint8_t NodeStateCode(std::uint8_t nm_state);
// What COMMPROGKLP reports for a transfer's progress (computed in 64 bits).
std::int32_t ProgressPercent(const SdoProgress& progress);
}  // namespace klp

extern "C" {

// Starts the stack; the record's timeout becomes the calling thread's SDO timeout.
KLP_EXPORT bool OPENKLP(TINITKLP* init);
KLP_EXPORT void CLOSEKLP();
// Resets the own node as an NM reset command addressed to every node would.
KLP_EXPORT void RESETKLP();
KLP_EXPORT bool READYKLP();  // NM state 4 or 8
KLP_EXPORT bool STOPPEDKLP();
// NM state 0, 1, 2, 4, 8 as 0, 1, 2, 3, 4; any other state 255.
KLP_EXPORT std::uint8_t GETNODESTATEKLP();
KLP_EXPORT std::uint8_t GETNODEIDKLP();  // 255 while none is assigned
// Sets the calling thread's SDO timeout to ms / 50 + 1 ticks of 50 ms and returns the ticks.
KLP_EXPORT std::int32_t SETKLPTIMEOUT(std::uint32_t timeout_ms);
// Upload into record->data (capacity record->length); on success record->length = bytes read.
KLP_EXPORT bool READKLP(TSDORECORD* record);
// Download of record->length (1..0x2000000) bytes; the record is not changed.
KLP_EXPORT bool WRITEKLP(TSDORECORD* record);
KLP_EXPORT void WRITECAN(TCANRECORD* record);
// Sets up the frame as the answer to a remote request (the adapter's virtual remote frames).
KLP_EXPORT void WRITECANRTR(TCANRECORD* record);
// Percent done of the node's current or last transfer; 0 for a node above 31.
KLP_EXPORT std::int32_t COMMPROGKLP(std::uint16_t node);
// A copy of the fault at that position, valid until this thread's next call; null when there is
// no such fault.
KLP_EXPORT const TFAULTRECORD* GETFAULTKLP(std::int32_t index);
// Asks the bus master; 255 when no answer came within about 100 ms.
KLP_EXPORT std::uint8_t GETSYSTEMSTATE();
// Non-zero once after the bus master commanded a forced power-down.
KLP_EXPORT std::int32_t CHECKSYSTEMPOWERDOWNREQUEST();
// Non-zero when another SDO client was seen; otherwise opens the SDO channel.
KLP_EXPORT std::uint8_t CHECKSDO5CHANNELCONFLICT();
KLP_EXPORT void SETTRACEFLAGS(std::int32_t mask);

}  // extern "C"
