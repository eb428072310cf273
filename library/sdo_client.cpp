#include "library/sdo_client.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "library/byte_order.h"
#include "library/os_layer.h"
#include "library/tracing.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/thread.h"

namespace klp {

namespace {

enum State : std::uint8_t {
    kIdle = 0,
    kBlockDownloadInitiated = 1,
    kDownloadInitiated = 2,
    kSegmentedDownload = 3,
    kBlockDownload = 4,
    kBlockUploadInitiated = 5,
    kUploadInitiated = 6,
    kSegmentedUpload = 7,
    kBlockUpload = 8,
    kFinished = 9,
    kFailed = 10,
};

using sdo::AbortCode;
namespace cmd = sdo::cmd;
namespace scs = sdo::scs;

constexpr std::uint16_t kSlowIndex = 0x101A;  // its initiations get 40 ticks

constexpr std::int32_t kDefaultTimeoutMs = 2000;  // 41 ticks
constexpr std::int32_t kBlockInitTicks = 20;
constexpr std::int32_t kSlowInitTicks = 40;
constexpr std::int32_t kConfirmationTicks = 100;
constexpr std::uint8_t kMaxUploadBlock = 10;

// A block size a server gives: 7-bit sequence numbers allow 1..127; 0 keeps the current size.
std::uint8_t ServerBlockSize(std::uint8_t given, std::uint8_t current) {
    if (given == 0) return current == 0 ? 1 : current;
    return std::min(given, sdo::kMaxBlockSize);
}

// The code of an abort frame.
AbortCode AbortCodeOf(const std::uint8_t* d) { return static_cast<AbortCode>(le::Get32(d + 4)); }

unsigned ThreadId() { return kernel::CurrentThreadId(); }

}  // namespace

struct SdoClient::Record {
    mutable std::mutex guard;
    std::uint8_t node = 0;
    std::uint16_t index = 0;
    std::uint8_t sub_index = 0;
    std::uint8_t state = kIdle;
    std::uint8_t* data = nullptr;  // next byte of the caller's area to send or fill
    std::uint8_t* end = nullptr;   // upload: one past the caller's area
    bool download = false;
    std::uint32_t remaining = 0;  // download: bytes not yet sent
    std::uint32_t count = 0;      // upload: bytes stored so far
    std::uint32_t total = 0;
    std::uint8_t toggle = 0;
    // Shared with a caller inside a transfer, so that a close while it waits cannot pull them from
    // under it.
    std::shared_ptr<kernel::Semaphore> completion;
    std::shared_ptr<kernel::Semaphore> node_semaphore;
    std::int32_t counter = -1;
    std::int32_t reload = 0;
    std::uint8_t sequence = 0;     // upload: next expected; download: last sent
    std::uint8_t block_first = 0;  // download: first sequence number of the last block sent
    std::uint32_t saved_remaining = 0;
    std::uint8_t* saved_data = nullptr;
    std::uint8_t block_size = 0;
    std::uint8_t retries = 0;
    bool block_flag = true;
    // How the transfer ended, and the abort code either side sent.
    SdoOutcome outcome = SdoOutcome::kFailed;
    AbortCode abort = AbortCode::kNone;

    bool Matches(const std::uint8_t* d) const { return le::Get16(d + 1) == index && d[3] == sub_index; }
    void Reset() {
        node = 0;
        index = 0;
        sub_index = 0;
        state = kIdle;
        data = end = saved_data = nullptr;
        download = false;
        remaining = count = total = saved_remaining = 0;
        toggle = 0;
        counter = -1;
        reload = 0;
        sequence = block_first = block_size = retries = 0;
        block_flag = true;
        outcome = SdoOutcome::kFailed;
        abort = AbortCode::kNone;
    }
};

namespace {

using Record = SdoClient::Record;

void Address(CANBuf& buf, const Record& r) {
    buf.cob_id = static_cast<std::uint16_t>(sdo::kRequestBase + r.node);
    buf.dlc = 8;
    buf.rtr = 0;
}

void Multiplexer(std::uint8_t* d, const Record& r) {
    le::Put16(d + 1, r.index);
    d[3] = r.sub_index;
}

void SendOn(SdoClientPort& port, PoolBuffer& held, const Record& r) {
    Address(*held.get(), r);
    port.Send(held.release());
}

// Sends the client's abort; the transfer's result carries its code.
void SendAbort(SdoClientPort& port, PoolBuffer& held, Record& r, AbortCode code) {
    std::uint8_t* d = held.data();
    d[0] = cmd::kAbort;
    Multiplexer(d, r);
    le::Put32(d + 4, sdo::Value(code));
    r.abort = code;
    SendOn(port, held, r);
}

// Ends the transfer and wakes the caller. Only a running transfer (states 1..8) has a caller
// waiting; finishing an idle record would leave a stray release that the next transfer to the
// node would take as its own end.
bool Running(const Record& r) { return r.state >= kBlockDownloadInitiated && r.state <= kBlockUpload; }

void Finish(Record& r, std::uint8_t state, SdoOutcome outcome) {
    if (!Running(r)) return;
    r.counter = -1;
    r.state = state;
    r.outcome = outcome;
    OS_SendToken(*r.completion);
}
// A failure is an abort when either side sent one during the transfer.
SdoOutcome FailureOutcome(const Record& r, SdoOutcome otherwise) {
    return r.abort != AbortCode::kNone ? SdoOutcome::kAborted : otherwise;
}
void Fail(Record& r) { Finish(r, kFailed, FailureOutcome(r, SdoOutcome::kFailed)); }
void Done(Record& r) { Finish(r, kFinished, SdoOutcome::kDone); }
// The server aborted the transfer.
void FailAborted(Record& r, const std::uint8_t* d) {
    r.abort = AbortCodeOf(d);
    Fail(r);
}
// A server's abort ends the transfer when it names the transfer's object; an abort about another
// object is not this transfer's and changes nothing.
void ServerAborted(Record& r, const std::uint8_t* d) {
    if (r.Matches(d)) FailAborted(r, d);
}
void ResetToggleAndFail(Record& r) {
    r.toggle = 0;
    Fail(r);
}
// Any answer but a segment while segments run: the server's abort, or a failure.
void NotASegment(Record& r, const std::uint8_t* d) {
    if (sdo::CommandSpecifier(d[0]) == scs::kAbort) {
        ServerAborted(r, d);
    } else {
        ResetToggleAndFail(r);
    }
}

// Puts the whole download, 4 bytes at most, into an expedited initiation.
void PutExpeditedDownload(Record& r, std::uint8_t* d) {
    d[0] = static_cast<std::uint8_t>(cmd::kInitiateDownloadExpedited | sdo::ExpeditedSizeBits(r.remaining));
    std::memcpy(d + 4, r.data, r.remaining);
    r.data += r.remaining;
    r.remaining = 0;
}

// Ends the transfer of a caller that leaves without its result: nothing of the caller's area is
// read or written after this.
void LetGo(Record& r) {
    std::lock_guard lock(r.guard);
    r.counter = -1;
    if (Running(r)) {
        r.state = kFailed;
        r.outcome = SdoOutcome::kStopped;
    }
    r.data = r.end = r.saved_data = nullptr;
    r.remaining = r.saved_remaining = 0;
}

// Puts the next segment (up to 7 bytes) of a segmented download into the buffer.
void NextDownloadSegment(Record& r, std::uint8_t* d) {
    const std::uint32_t n = std::min<std::uint32_t>(r.remaining, sdo::kSegmentBytes);
    std::memset(d + 1, 0, sdo::kSegmentBytes);
    std::memcpy(d + 1, r.data, n);
    r.data += n;
    r.remaining -= n;
    d[0] = static_cast<std::uint8_t>(sdo::SegmentSizeBits(n) | r.toggle | (r.remaining == 0 ? cmd::kLastSegment : 0));
}

// Stores up to n bytes of a received segment, never past the caller's area.
std::uint32_t Store(Record& r, const std::uint8_t* from, std::uint32_t n) {
    const auto room = static_cast<std::uint32_t>(r.end - r.data);
    n = std::min(n, room);
    std::memcpy(r.data, from, n);
    r.data += n;
    return n;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Block download segments

namespace {

void SendSegments(SdoClientPort& port, Record& r, std::uint8_t start, std::uint8_t block_size) {
    if (TraceOn(trace::kSdoClient)) {
        TraceLibraryFormat("SendSegments( node=%u, byStartSeqNo=%u byBlockSize=%u )  i:pSDO->dwRWLength=%u", r.node,
                           start, block_size, r.remaining);
    }
    if (r.remaining == 0) return;
    r.block_first = start;
    r.saved_remaining = r.remaining;
    r.saved_data = r.data;
    // An int counter: a byte one would never pass a block size of 255.
    for (int s = start; s <= block_size; ++s) {
        r.sequence = static_cast<std::uint8_t>(s);
        PoolBuffer buf(port, port.TakeBuffer());
        std::uint8_t* d = buf.data();
        std::memset(d, 0, 8);
        d[0] = static_cast<std::uint8_t>(s);
        const std::uint32_t n = std::min<std::uint32_t>(r.remaining, sdo::kSegmentBytes);
        std::memcpy(d + 1, r.data, n);
        r.data += n;
        r.remaining -= n;
        const bool last = r.remaining == 0;
        if (last) d[0] |= cmd::kLastBlockSegment;
        SendOn(port, buf, r);
        if (last) break;
    }
}

void ReSendSegments(SdoClientPort& port, Record& r) {
    if (r.saved_remaining == 0) {
        Fail(r);
        return;
    }
    if (TraceOn(trace::kSdoClient)) {
        TraceLibraryFormat("ReSendSegments( node=%u ) i:previous_dwRWLength=%u ; previous_byStartSeqNo=%u...", r.node,
                           r.saved_remaining, r.block_first);
    }
    r.remaining = r.saved_remaining;
    r.data = r.saved_data;
    r.sequence = r.block_first;
    SendSegments(port, r, r.block_first, r.block_size);
}

// A confirmation whose last good sequence number is not the last one sent: go on after the
// last good segment. The segments from the block's first number up to `ack` arrived, so the data
// resumes (ack + 1 - first) segments after the block's saved start, kept inside the block (a
// short last block has fewer than block-size segments).
void ResumeAfter(SdoClientPort& port, Record& r, std::uint8_t ack, std::uint8_t next_block_size) {
    const int sent = r.sequence - r.block_first + 1;
    const int good = std::clamp(ack + 1 - r.block_first, 0, std::max(sent, 0));
    const std::uint32_t offset =
        std::min<std::uint32_t>(static_cast<std::uint32_t>(good * sdo::kSegmentBytes), r.saved_remaining);
    r.data = r.saved_data + offset;
    r.remaining = r.saved_remaining - offset;
    SendSegments(port, r, static_cast<std::uint8_t>(r.block_first + good), next_block_size);
}

// A confirmation whose last good sequence number lies before the block's first: not one of the
// block's segments arrived.
bool AcknowledgesNothing(const Record& r, std::uint8_t ack) { return ack < r.block_first; }

// Counts one more re-send of the current block: true while the transfer may still make it, which
// is (reload div 20) - 1 re-sends in the whole transfer, missed confirmations and refused blocks
// together.
bool CountReSend(Record& r) {
    ++r.retries;
    return r.retries < static_cast<std::uint8_t>(r.reload / 20);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

SdoClient::SdoClient(SdoClientPort& port) : port_(port) {
    for (auto& r : records_) r = std::make_unique<Record>();
}

SdoClient::~SdoClient() = default;

void SdoClient::Start() {
    for (auto& r : records_) {
        std::lock_guard lock(r->guard);
        r->Reset();
        r->completion = OS_CreateSemaphor(1, 0);
        r->node_semaphore = OS_CreateSemaphor(1, 1);
    }
    port_.ArmTimer();
}

void SdoClient::Close() {
    for (auto& r : records_) {
        std::lock_guard lock(r->guard);
        // A caller still waiting for its transfer fails now; it holds its own share of the
        // semaphores, which go away when it leaves.
        Finish(*r, kFailed, SdoOutcome::kStopped);
        r->completion.reset();
        r->node_semaphore.reset();
    }
}

bool SdoClient::BlockFlag(std::uint8_t node) const {
    if (node >= kRecords) return false;
    std::lock_guard lock(records_[node]->guard);
    return records_[node]->block_flag;
}

SdoProgress SdoClient::Progress(std::uint8_t node) const {
    SdoProgress p;
    if (node >= kRecords) return p;
    const Record& r = *records_[node];
    std::lock_guard lock(r.guard);
    p.download = r.download;
    p.total = static_cast<std::int32_t>(r.total);
    p.remaining = static_cast<std::int32_t>(r.remaining);
    p.received = static_cast<std::int32_t>(r.count);
    return p;
}

SdoResult SdoClient::Communicate(std::uint8_t node, std::uint16_t index, std::uint8_t sub_index, std::uint8_t* data,
                                 std::int32_t length, SdoService service) {
    constexpr SdoResult kRefused{SdoOutcome::kRefused};
    const bool trace_on = TraceOn(trace::kSdoClient);
    const unsigned tid = ThreadId();
    if (trace_on) {
        TraceLibraryFormat("@T:%u SDOC_Communicate( node=%u idx=%06x subI=%02x .. svc=%u )  ...", tid, node, index,
                           sub_index, static_cast<unsigned>(service));
    }
    if (node == 0 || node >= kRecords || !port_.OwnNodeReady()) return kRefused;
    // A negative length has no meaning in either direction, and an empty download would go out
    // as a 4-byte expedited write of whatever follows: both fail without bus traffic.
    if (length < 0 || (service == SdoService::kDownload && length == 0)) return kRefused;
    if (data == nullptr && length > 0) return kRefused;

    Record& r = *records_[node];
    std::shared_ptr<kernel::Semaphore> node_semaphore;
    std::shared_ptr<kernel::Semaphore> completion;
    {
        std::lock_guard lock(r.guard);
        node_semaphore = r.node_semaphore;
        completion = r.completion;
    }
    if (!node_semaphore || !completion) return kRefused;  // the stack is closed

    // Another caller's transfer to the node ends first; a stack being closed ends the wait.
    while (!OS_WaitTokenFor(*node_semaphore, kTick)) {
        if (port_.Stopping()) return SdoResult{SdoOutcome::kStopped};
    }
    struct NodeRelease {
        kernel::Semaphore& s;
        // Taken once, so giving it back cannot exceed the maximum.
        ~NodeRelease() { s.Release(); }
    } node_release{*node_semaphore};
    if (trace_on) TraceLibraryFormat("@T:%u ... SDOC_Communicate SDO node %u ready", tid, node);

    if (OS_SdoTimeoutTicks() == 0) OS_SetSdoTimeoutMs(kDefaultTimeoutMs);
    {
        std::lock_guard lock(r.guard);
        // The stack is closing, or closed (and may have started again) while this caller waited
        // for the node.
        if (r.completion != completion || port_.Stopping()) return SdoResult{SdoOutcome::kStopped};
        r.node = node;
        r.index = index;
        r.sub_index = sub_index;
        r.reload = OS_SdoTimeoutTicks();
        r.data = data;
        r.remaining = static_cast<std::uint32_t>(length);
        r.toggle = 0;
        r.outcome = SdoOutcome::kFailed;
        r.abort = AbortCode::kNone;

        PoolBuffer buf(port_, port_.TakeBuffer());
        std::uint8_t* d = buf.data();
        std::memset(d, 0, 8);
        Multiplexer(d, r);
        const auto len = static_cast<std::uint32_t>(length);
        if (service == SdoService::kDownload) {
            if (index == sdo::kUnlockIndex && len >= 4 && le::Get32(data) == sdo::kUnlockValue) r.block_flag = true;
            r.download = true;
            r.total = len;
            r.count = 0;
            if (len < 5) {
                PutExpeditedDownload(r, d);
                r.state = kDownloadInitiated;
                r.counter = r.reload;
            } else {
                d[0] = cmd::kBlockDownloadInitiate;
                le::Put32(d + 4, len);
                r.state = kBlockDownloadInitiated;
                r.retries = 0;
                r.saved_remaining = 0;
                r.saved_data = nullptr;
                r.counter = index == kSlowIndex ? kSlowInitTicks : kBlockInitTicks;
            }
        } else {
            r.download = false;
            r.end = data + len;
            r.total = len;
            r.count = 0;
            r.remaining = 0;
            r.counter = r.reload;
            if (r.block_flag) {
                if (index == kSlowIndex || (len > 4 && r.reload < kBlockInitTicks)) {
                    r.counter = index == kSlowIndex ? kSlowInitTicks : kBlockInitTicks;
                }
                r.state = kBlockUploadInitiated;
                d[0] = cmd::kBlockUploadInitiate;
                // At least one segment per block, even for an empty area.
                r.block_size = static_cast<std::uint8_t>(
                    std::clamp<std::uint32_t>((len + sdo::kSegmentBytes - 1) / sdo::kSegmentBytes, 1, kMaxUploadBlock));
                d[4] = r.block_size;
                // Objects up to one segment's size come back the plain way.
                d[5] = sdo::kSegmentBytes;
            } else {
                d[0] = cmd::kInitiateUpload;
                r.state = kUploadInitiated;
            }
        }
        try {
            SendOn(port_, buf, r);
        } catch (...) {
            // Nobody waits for this transfer: end it without a release, so the next one does not
            // wake early.
            r.counter = -1;
            r.state = kFailed;
            throw;
        }
    }

    // The dispatcher or a time-out ends the transfer. A stack being closed ends the wait as well:
    // its dispatcher may be gone before the time-out, and the close waits for this thread.
    try {
        while (!OS_WaitTokenFor(*completion, kTick)) {
            if (!port_.Stopping()) continue;
            std::lock_guard lock(r.guard);
            if (Running(r)) {
                // Nobody releases the token for it any more.
                r.counter = -1;
                r.state = kFailed;
                r.outcome = SdoOutcome::kStopped;
                break;
            }
            // Ended meanwhile: its release is there to take.
        }
    } catch (...) {
        // A broken stack (a fatal error on another thread) ends the wait by raising, while its
        // dispatcher keeps serving the frames still queued. The caller's area goes with the
        // caller, so the transfer ends here and lets go of it first.
        LetGo(r);
        throw;
    }
    SdoResult result;
    {
        std::lock_guard lock(r.guard);
        r.index = 0;
        r.sub_index = 0;
        result.outcome = r.outcome;
        if (result.ok()) {
            result.bytes =
                static_cast<std::int32_t>(r.download ? static_cast<std::uint32_t>(length) - r.remaining : r.count);
        } else if (result.outcome == SdoOutcome::kAborted) {
            result.abort = r.abort;
        }
    }
    if (trace_on) TraceLibraryFormat("@T:%u ... SDOC_Communicate SDO node %u sema-finished.", tid, node);
    if (!result.ok()) {
        if (trace_on) TraceLibraryFormat("@T:%u ... SDOC_Communicate SDO node %u FAILED!", tid, node);
        return result;
    }
    if (trace_on) TraceLibraryFormat("@T:%u ... SDOC_Communicate SDO node %u done.", tid, node);
    return result;
}

void SdoClient::Handle(std::uint8_t subtype, CANBuf* buf) {
    if (subtype == msg::kFrame) {
        HandleFrame(buf);
    } else if (subtype == msg::kTick) {
        HandleTick(buf);
    } else {
        port_.ReleaseBuffer(buf);
    }
}

void SdoClient::HandleTick(CANBuf* buf) {
    port_.ReleaseBuffer(buf);
    for (int node = 1; node < kRecords; ++node) {
        Record& r = *records_[node];
        std::lock_guard lock(r.guard);
        if (r.counter < 0) continue;
        if (--r.counter > 0) continue;
        if (r.state == kBlockDownload && CountReSend(r)) {
            r.counter = kConfirmationTicks;
            ReSendSegments(port_, r);
            continue;
        }
        Finish(r, kFailed, FailureOutcome(r, SdoOutcome::kTimedOut));
    }
    port_.ArmTimer();
}

void SdoClient::HandleFrame(CANBuf* frame) {
    PoolBuffer buf(port_, frame);
    Record& r = *records_[frame->cob_id & 0x1F];
    std::lock_guard lock(r.guard);
    switch (r.state) {
    case kBlockDownloadInitiated:
        BlockDownloadInitiated(r, buf);
        return;
    case kDownloadInitiated:
        DownloadInitiated(r, buf);
        return;
    case kSegmentedDownload:
        SegmentedDownload(r, buf);
        return;
    case kBlockDownload:
        BlockDownload(r, buf);
        return;
    case kBlockUploadInitiated:
        BlockUploadInitiated(r, buf);
        return;
    case kUploadInitiated:
        UploadInitiated(r, buf);
        return;
    case kSegmentedUpload:
        SegmentedUpload(r, buf);
        return;
    case kBlockUpload:
        BlockUpload(r, buf);
        return;
    case kIdle:
    case kFinished:
    case kFailed:
    default:
        // No transfer runs, so the frame was not asked for: the node's own server answering a peer
        // (its answers loop back here), or a late answer. An abort would go to whatever node the
        // record last served and could end that node's transfer with a peer: nothing is sent, and
        // nothing changes.
        return;
    }
}

// The block download initiation is out. A refusal with a fall-back code repeats the request at
// once in the plain form; another abort is left to the time-out; any other answer is the block
// download's and goes round again to be taken in that state.
void SdoClient::BlockDownloadInitiated(Record& r, PoolBuffer& buf) {
    std::uint8_t* d = buf.data();
    if (sdo::CommandSpecifier(d[0]) == scs::kAbort) {
        if (!sdo::IsFallBackCode(le::Get32(d + 4))) {
            r.abort = AbortCodeOf(d);  // ends at its time-out
            return;
        }
        r.block_flag = false;
        std::memset(d, 0, 8);
        Multiplexer(d, r);
        if (r.remaining < 5) {
            PutExpeditedDownload(r, d);
        } else {
            d[0] = cmd::kInitiateDownload | cmd::kSizeIndicated;
            le::Put32(d + 4, r.remaining);
        }
        r.state = kDownloadInitiated;
        r.counter = r.reload;
        SendOn(port_, buf, r);
        return;
    }
    r.state = kBlockDownload;
    port_.Repost(buf.release());
}

// An expedited or segmented download initiation is out: its answer ends an expedited download or
// starts the segments.
void SdoClient::DownloadInitiated(Record& r, PoolBuffer& buf) {
    std::uint8_t* d = buf.data();
    const int scs = sdo::CommandSpecifier(d[0]);
    if (scs <= scs::kInitiateUpload) {
        SendAbort(port_, buf, r, AbortCode::kDownloadUnexpected);
        Fail(r);
    } else if (scs == scs::kInitiateDownload) {
        if (!r.Matches(d)) {
            ResetToggleAndFail(r);
        } else if (r.remaining == 0) {
            Done(r);
        } else {
            NextDownloadSegment(r, d);
            r.counter = r.reload;
            r.state = kSegmentedDownload;
            SendOn(port_, buf, r);
        }
    } else if (scs == scs::kAbort) {
        ServerAborted(r, d);
    } else {
        Fail(r);
    }
}

// A download segment is out: its answer, with the toggle it was sent with, asks for the next one
// or ends the download after the last.
void SdoClient::SegmentedDownload(Record& r, PoolBuffer& buf) {
    std::uint8_t* d = buf.data();
    if (sdo::CommandSpecifier(d[0]) != scs::kDownloadSegment) {
        NotASegment(r, d);
    } else if ((d[0] & cmd::kToggle) != r.toggle) {
        ResetToggleAndFail(r);
    } else if (r.remaining == 0) {
        r.toggle = 0;
        Done(r);
    } else {
        r.toggle ^= cmd::kToggle;
        r.counter = r.reload;
        NextDownloadSegment(r, d);
        SendOn(port_, buf, r);
    }
}

namespace {

// A block download's confirmation: data[1] is the last good sequence number, data[2] the size of
// the next block.
void TakeConfirmation(SdoClientPort& port, Record& r, const std::uint8_t* d) {
    r.counter = kConfirmationTicks;
    if (d[1] == r.sequence) {
        if (r.remaining == 0) {
            Done(r);
        } else {
            r.block_size = ServerBlockSize(d[2], r.block_size);
            SendSegments(port, r, 1, r.block_size);
        }
        return;
    }
    // A confirmation that takes none of the block's segments refuses it: sending it again counts
    // against the same limit as a missing confirmation, so a node that keeps refusing ends the
    // transfer instead of drawing it out for ever.
    if (AcknowledgesNothing(r, d[1]) && !CountReSend(r)) {
        Fail(r);
        return;
    }
    // The rest of the block keeps the block's numbering; the record's size stays.
    ResumeAfter(port, r, d[1], ServerBlockSize(d[2], r.block_size));
}

}  // namespace

// A block download runs: the server's initiation answer starts the first block, each
// confirmation the next one (or the same one again); the last confirmation ends the download.
void SdoClient::BlockDownload(Record& r, PoolBuffer& buf) {
    const std::uint8_t* d = buf.data();
    const int scs = sdo::CommandSpecifier(d[0]);
    const int sub_command = d[0] & cmd::kBlockSubcommand;
    if (scs == scs::kAbort) {
        ServerAborted(r, d);
    } else if (scs == scs::kBlockDownload && sub_command == cmd::kBlockInitiate) {
        r.counter = kConfirmationTicks;
        r.block_size = ServerBlockSize(d[4], r.block_size);
        SendSegments(port_, r, 1, r.block_size);
    } else if (scs == scs::kBlockDownload && sub_command == cmd::kBlockConfirmation) {
        TakeConfirmation(port_, r, d);
    } else {
        Fail(r);
    }
}

// The block upload initiation is out. A refusal with a fall-back code repeats the request at once
// in the plain form; a server that refuses block uploads for good ends the transfer; any other
// answer goes round again to be taken as the answer to a plain upload initiation.
void SdoClient::BlockUploadInitiated(Record& r, PoolBuffer& buf) {
    std::uint8_t* d = buf.data();
    const int scs = sdo::CommandSpecifier(d[0]);
    const bool aborted = scs == scs::kAbort;
    if (aborted && sdo::IsFallBackCode(le::Get32(d + 4))) {
        r.block_flag = false;
        std::memset(d, 0, 8);
        d[0] = cmd::kInitiateUpload;
        Multiplexer(d, r);
        r.counter = r.reload;
        r.state = kUploadInitiated;
        SendOn(port_, buf, r);
    } else if (aborted && AbortCodeOf(d) == AbortCode::kNoBlockUpload && r.Matches(d)) {
        FailAborted(r, d);
    } else if (scs == scs::kBlockUpload && (d[0] & cmd::kBlockEnd) != 0) {
        // A standard server's end of the previous block upload, which this client never waits
        // for, arriving after the next request: not this request's answer. Keep waiting.
        return;
    } else {
        r.state = kUploadInitiated;
        port_.Repost(buf.release());
    }
}

namespace {

// The answer to a plain upload initiation: the object's size, and the segments start, or the
// whole object in an expedited answer.
void TakeUploadAnswer(SdoClientPort& port, Record& r, PoolBuffer& buf) {
    std::uint8_t* d = buf.data();
    const int kind = d[0] & (cmd::kExpedited | cmd::kSizeIndicated);
    if (kind == cmd::kSizeIndicated) {
        r.total = le::Get32(d + 4);
        r.count = 0;
        r.state = kSegmentedUpload;
        r.counter = r.reload;
        std::memset(d, 0, 8);
        d[0] = cmd::kUploadSegmentRequest;
        SendOn(port, buf, r);
    } else if ((kind & cmd::kExpedited) != 0) {
        if (!r.Matches(d)) {
            ResetToggleAndFail(r);
            return;
        }
        // Without the size flag the server means as many bytes as the object holds, up to all
        // four; Store keeps them to the caller's room.
        const auto n = kind == cmd::kExpedited ? 4u : static_cast<std::uint32_t>(sdo::ExpeditedSize(d[0]));
        r.total = n;
        r.count = Store(r, d + 4, n);
        Finish(r, kIdle, SdoOutcome::kDone);
    }
}

// The answer to a block upload initiation: the object's size, which must fit the caller's area.
void TakeBlockUploadAnswer(SdoClientPort& port, Record& r, PoolBuffer& buf) {
    std::uint8_t* d = buf.data();
    const std::uint32_t size = le::Get32(d + 4);
    r.count = 0;
    if (size > r.total) {
        SendAbort(port, buf, r, AbortCode::kTooLarge);
        Fail(r);
        return;
    }
    r.total = size;
    r.state = kBlockUpload;
    r.sequence = 1;
    r.counter = r.reload;
    std::memset(d, 0, 8);
    d[0] = cmd::kBlockUploadStart;
    SendOn(port, buf, r);
}

}  // namespace

// An upload initiation is out, plain or block (a block one whose answer came round again).
void SdoClient::UploadInitiated(Record& r, PoolBuffer& buf) {
    const std::uint8_t* d = buf.data();
    const int scs = sdo::CommandSpecifier(d[0]);
    if (scs == scs::kUploadSegment || scs == scs::kDownloadSegment || scs == scs::kInitiateDownload) {
        SendAbort(port_, buf, r, AbortCode::kUploadUnexpected);
        Fail(r);
    } else if (scs == scs::kInitiateUpload) {
        TakeUploadAnswer(port_, r, buf);
    } else if (scs == scs::kAbort) {
        ServerAborted(r, d);
    } else if (scs == scs::kBlockDownload || scs == scs::kReserved) {
        Fail(r);
    } else {  // a block upload initiate response
        TakeBlockUploadAnswer(port_, r, buf);
    }
}

// An upload segment was asked for: the segment, with the toggle asked for, is stored, and the
// announced total decides whether another one is asked for.
void SdoClient::SegmentedUpload(Record& r, PoolBuffer& buf) {
    std::uint8_t* d = buf.data();
    if (sdo::CommandSpecifier(d[0]) != scs::kUploadSegment) {
        NotASegment(r, d);
        return;
    }
    if ((d[0] & cmd::kToggle) != r.toggle) {
        ResetToggleAndFail(r);
        return;
    }
    r.toggle ^= cmd::kToggle;
    const auto n = static_cast<std::uint32_t>(sdo::SegmentSize(d[0]));
    const auto room = static_cast<std::uint32_t>(r.end - r.data);
    if (n > room) {
        // The object is larger than the caller's area: keep what fits and stop the server.
        const std::uint32_t stored = Store(r, d + 1, room);
        const bool short_of_total = r.count + n != r.total;
        r.count += stored;
        if (short_of_total) SendAbort(port_, buf, r, AbortCode::kBeyondArea);
        Done(r);
        return;
    }
    r.count += Store(r, d + 1, n);
    if (r.count >= r.total) {
        Done(r);
        return;
    }
    r.counter = r.reload;
    std::memset(d, 0, 8);
    d[0] = static_cast<std::uint8_t>(r.toggle | cmd::kUploadSegmentRequest);
    SendOn(port_, buf, r);
}

namespace {

// The last segment of a block upload: it must bring the rest of the announced size, which the
// client confirms, and the upload ends.
void TakeLastUploadSegment(SdoClientPort& port, Record& r, PoolBuffer& buf) {
    std::uint8_t* d = buf.data();
    if ((d[0] & cmd::kSequenceMask) != r.sequence) {
        SendAbort(port, buf, r, AbortCode::kBadLastSequence);
        Fail(r);
        return;
    }
    const std::uint32_t outstanding = r.total - r.count;
    r.count += Store(r, d + 1, std::min<std::uint32_t>(outstanding, sdo::kSegmentBytes));
    if (r.count != r.total) {
        // A last segment while more than 7 bytes were outstanding: the data is incomplete.
        SendAbort(port, buf, r, AbortCode::kIncomplete);
        Fail(r);
        return;
    }
    const std::uint8_t ack = r.sequence;
    std::memset(d, 0, 8);
    d[0] = cmd::kBlockConfirm;
    d[1] = ack;
    SendOn(port, buf, r);
    Done(r);
}

}  // namespace

// A block upload runs: segments in sequence, each stored, the block's last one confirmed; the
// transfer's last segment ends it. Every frame restarts the time-out.
void SdoClient::BlockUpload(Record& r, PoolBuffer& buf) {
    r.counter = r.reload;
    std::uint8_t* d = buf.data();
    if ((d[0] & cmd::kLastBlockSegment) != 0) {
        TakeLastUploadSegment(port_, r, buf);
        return;
    }
    const std::uint8_t seq = d[0] & cmd::kSequenceMask;
    if (seq != r.sequence) {
        SendAbort(port_, buf, r, AbortCode::kBadSequence);
        Fail(r);
        return;
    }
    ++r.sequence;
    // Never more than the announced size (a server may send more full segments).
    r.count += Store(r, d + 1, std::min<std::uint32_t>(sdo::kSegmentBytes, r.total - r.count));
    if (seq == r.block_size) {
        r.sequence = 1;
        std::memset(d, 0, 8);
        d[0] = cmd::kBlockConfirm;
        d[1] = d[2] = r.block_size;
        SendOn(port_, buf, r);
    }
}

// ---------------------------------------------------------------------------------------------
// The library's client over the running stack

namespace {

SdoClient& LibraryClient() {
    static StackSdoPort port(msg::kSdoClient, kSdoClientTimer);
    static SdoClient client(port);
    return client;
}

}  // namespace

SdoResult SDOC_Communicate(std::uint8_t node, std::uint16_t index, std::uint8_t sub_index, std::uint8_t* data,
                           std::int32_t length, SdoService service) {
    return LibraryClient().Communicate(node, index, sub_index, data, length, service);
}

void SDOC_Handler(std::uint8_t subtype, CANBuf* buf) { LibraryClient().Handle(subtype, buf); }
void SDOC_Start() { LibraryClient().Start(); }
void SDOC_Close() { LibraryClient().Close(); }
SdoProgress SDOC_Progress(std::uint8_t node) { return LibraryClient().Progress(node); }

}  // namespace klp
