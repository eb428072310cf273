// Fault monitor: the fault thread collects the fault reports other nodes broadcast on COB-IDs
// 0x041..0x05F into a list of active faults, which callers read with GETFAULTKLP. A fault stays
// listed while it keeps being reported and ages out when the reports stop.
//
// Threads:
//  - FAULT_Task is the fault thread's body (mailbox 2). It is created suspended and resumed by
//    CHECKSDO5CHANNELCONFLICT when no other SDO client was seen.
//  - FAULT_Queue runs on the dispatcher thread.
//  - FAULT_Get / FAULT_Count run on any caller thread; the list is guarded, and a caller gets a
//    copy, never a record the fault thread may free.
//  - FAULT_Reset and FAULT_FreeList run inside the stack start and stop.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "library/library_records.h"

namespace klp {

struct CANBuf;

// Lives of a record in ms.
inline constexpr std::int32_t kFaultLifeMs = 60000;
inline constexpr std::int32_t kFaultClearedLifeMs = 3000;  // a repeated class-0 (cleared) fault
// One ageing pass happens after 250 ms without any fault frame.
inline constexpr std::int32_t kFaultAgeingStepMs = 250;
inline constexpr std::int16_t kFaultWaitTicks = 5;
// Fault frames waiting for the fault thread at most; further ones are dropped, so that a node
// reporting while the thread is still suspended cannot empty the buffer pool.
inline constexpr int kFaultBacklogMax = 250;

// Report formats, read once from object 0x100B of node 1 (the second byte).
inline constexpr std::uint8_t kFaultFormatUnknown = 0;

// The fields a fault frame carries, by report format (1: packed word, 2: one field each). Any
// other format leaves them all 0. Bytes beyond the frame's DLC count as 0.
struct FaultFields {
    std::uint16_t code = 0;
    std::uint16_t fault_class = 0;
    std::uint8_t flag = 0;
    std::uint16_t extra = 0;
};
FaultFields DecodeFault(std::uint8_t format, std::uint8_t dlc, const std::uint8_t (&data)[8]);

// The list of active faults. Every member may be called from any thread.
class FaultList {
public:
    // Creates the (empty) list; until then and after Free there is no list.
    void Create();
    void Free();
    bool Exists() const;

    // A report from a node: refreshes a listed fault of the same node and code (60 s, or 3 s when
    // the new class is 0) or appends a new record with 60 s to live.
    void Report(std::uint16_t node, const FaultFields& fields);
    // One ageing pass: every record loses `step_ms`; those at 0 or below are removed.
    void Age(std::int32_t step_ms);

    // A copy of the record at that position; nothing when there is no list or the index is out of
    // range.
    std::optional<TFAULTRECORD> At(std::int32_t index) const;
    int Count() const;

private:
    mutable std::mutex mutex_;
    bool exists_ = false;
    std::vector<TFAULTRECORD> records_;
};

// The library's fault list.
FaultList& FAULT_List();

// Fault thread body: runs until the stop flag is set.
void FAULT_Task();
// Dispatcher thread: hands a fault frame (COB-ID already the reporting node's id) to the fault
// thread, or releases it when the backlog is full. Consumes the buffer.
void FAULT_Queue(CANBuf* buf);
// Frames queued for the fault thread and not yet taken.
int FAULT_Backlog();
// True while the fault thread's loop runs.
bool FAULT_Running();

// Stack start: report format unknown, no backlog.
void FAULT_Reset();
// Stack stop: frees the list with all its records.
void FAULT_FreeList();

}  // namespace klp
