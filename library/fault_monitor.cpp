#include "library/fault_monitor.h"

#include <algorithm>
#include <atomic>
#include <exception>

#include "library/byte_order.h"
#include "library/can_disp.h"
#include "library/os_layer.h"
#include "library/pool_buffer.h"
#include "library/sdo_client.h"
#include "platform/kernel/thread.h"

namespace klp {
namespace {

FaultList g_list;
std::atomic<int> g_backlog{0};
std::atomic<bool> g_running{false};
// Fault thread only (and the stack start, before the thread runs).
std::uint8_t g_format = kFaultFormatUnknown;

constexpr std::uint8_t kFormatNode = 1;
constexpr std::uint16_t kFormatIndex = 0x100B;
constexpr std::uint8_t kPackedFormat = 1;
constexpr std::uint8_t kFieldFormat = 2;

// The report format is the second byte of node 1's object 0x100B; it stays unknown (and is asked
// again with the next report) while that read fails.
void ReadFormat() {
    std::uint8_t answer[2] = {};
    const SdoResult read = SDOC_Communicate(kFormatNode, kFormatIndex, 0, answer, sizeof answer, SdoService::kUpload);
    if (read.ok() && read.bytes > 0) {
        g_format = answer[1];
    }
}

void HandleReport(CANBuf* buf) {
    PoolBuffer hold(buf);
    if (g_format == kFaultFormatUnknown) ReadFormat();
    g_list.Report(buf->cob_id, DecodeFault(g_format, buf->dlc, buf->data));
}

}  // namespace

FaultFields DecodeFault(std::uint8_t format, std::uint8_t dlc, const std::uint8_t (&data)[8]) {
    // A short frame must not pick up the bytes a pooled buffer kept from its last use.
    std::uint8_t d[8] = {};
    std::copy(data, data + std::min<std::size_t>(dlc, 8), d);
    FaultFields f;
    if (format == kPackedFormat) {
        const std::uint16_t w = le::Get16(d);
        f.code = w & 0x1FF;
        f.fault_class = (w >> 9) & 0xF;
        f.flag = (w >> 13) & 1;
        f.extra = le::Get16(d + 2);
    } else if (format == kFieldFormat) {
        f.code = le::Get16(d);
        f.fault_class = le::Get16(d + 2);
        f.flag = d[4];
        f.extra = le::Get16(d + 5);
    }
    return f;
}

void FaultList::Create() {
    std::lock_guard lock(mutex_);
    exists_ = true;
    records_.clear();
}

void FaultList::Free() {
    std::lock_guard lock(mutex_);
    exists_ = false;
    records_.clear();
    records_.shrink_to_fit();
}

bool FaultList::Exists() const {
    std::lock_guard lock(mutex_);
    return exists_;
}

void FaultList::Report(std::uint16_t node, const FaultFields& fields) {
    std::lock_guard lock(mutex_);
    if (!exists_) return;
    auto same = std::find_if(records_.begin(), records_.end(),
                             [&](const TFAULTRECORD& r) { return r.node == node && r.code == fields.code; });
    if (same != records_.end()) {
        same->life_ms = fields.fault_class != 0 ? kFaultLifeMs : kFaultClearedLifeMs;
        return;
    }
    TFAULTRECORD record{};
    record.node = node;
    record.life_ms = kFaultLifeMs;
    record.code = fields.code;
    record.fault_class = fields.fault_class;
    record.flag = fields.flag;
    record.extra = fields.extra;
    records_.push_back(record);
}

void FaultList::Age(std::int32_t step_ms) {
    std::lock_guard lock(mutex_);
    for (TFAULTRECORD& r : records_) r.life_ms -= step_ms;
    std::erase_if(records_, [](const TFAULTRECORD& r) { return r.life_ms <= 0; });
}

std::optional<TFAULTRECORD> FaultList::At(std::int32_t index) const {
    std::lock_guard lock(mutex_);
    if (!exists_ || index < 0 || static_cast<std::size_t>(index) >= records_.size()) return std::nullopt;
    return records_[static_cast<std::size_t>(index)];
}

int FaultList::Count() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(records_.size());
}

FaultList& FAULT_List() { return g_list; }

void FAULT_Task() {
    g_list.Create();
    g_running = true;
    while (!OS_Stopping()) {
        try {
            CANBuf* buf = OS_Get(kFaultMailbox, kFaultWaitTicks);
            if (buf != nullptr) {
                g_backlog.fetch_sub(1);
                HandleReport(buf);
            } else if (OS_Broken()) {
                kernel::Sleep(kTick);  // a broken stack fails every wait at once
            } else {
                g_list.Age(kFaultAgeingStepMs);
            }
        } catch (const std::exception&) {
            // A fatal error has been shown and marks the stack broken; keep the thread until the
            // close stops it.
        }
    }
    g_running = false;
}

void FAULT_Queue(CANBuf* buf) {
    if (buf == nullptr) return;
    if (g_backlog.fetch_add(1) >= kFaultBacklogMax) {
        g_backlog.fetch_sub(1);
        POOL_release_CANBuf(buf);
        return;
    }
    OS_Put(kFaultMailbox, msg::kCan, msg::kFault, buf);
}

int FAULT_Backlog() { return g_backlog.load(); }
bool FAULT_Running() { return g_running.load(); }

void FAULT_Reset() {
    g_format = kFaultFormatUnknown;
    g_backlog = 0;
}

void FAULT_FreeList() { g_list.Free(); }

}  // namespace klp
