// SDO client (module SDOC): reads (upload) and writes (download) one object of a remote node
// 1..31 by expedited, segmented or block transfers. Block transfers run without CRC and without
// the closing end exchange; a node that refuses them is switched to the plain forms until the
// unlock value is written to its object 0x1018.
//
// Owns the 32 node records (record 0 is never used), each with a completion semaphore
// (max 1, initial 0) and a node semaphore (max 1, initial 1), and a guard that keeps the caller
// thread and the dispatcher thread from touching a record at the same time.
//
// Threads:
//  - SDOC_Communicate runs on the caller's thread: it sends the first request and blocks until
//    the dispatcher ends the transfer. One transfer per node at a time, several nodes at once.
//  - SDOC_Handler runs on the dispatcher thread only (messages of type 4).
//  - SDOC_Progress may be called from any thread.
//  - SDOC_Start / SDOC_Close run inside the stack start and stop.
//
// Requests go to COB-ID 0x7A0 + node, responses come on 0x780 + node; every frame has DLC 8.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "library/os_layer.h"
#include "library/sdo_port.h"
#include "library/sdo_protocol.h"

namespace klp {

struct CANBuf;

enum class SdoService : std::uint8_t { kUpload = 0, kDownload = 1 };

// How a transfer ended.
enum class SdoOutcome : std::uint8_t {
    kDone,
    kRefused,   // not started: no bus traffic (bad arguments, node not ready, stack closed)
    kAborted,   // an abort frame went either way; the result carries its code
    kTimedOut,  // the server stopped answering
    kFailed,    // an answer the transfer could not take, without an abort
    kStopped,   // given up because the stack is being closed
};

// Result of a transfer: the bytes moved and, for an aborted one, the abort code.
struct SdoResult {
    SdoOutcome outcome = SdoOutcome::kFailed;
    // Download: bytes sent. Upload: bytes stored into the caller's area. Set on success only.
    std::int32_t bytes = 0;
    sdo::AbortCode abort = sdo::AbortCode::kNone;

    bool ok() const { return outcome == SdoOutcome::kDone; }
};

// Progress numbers of a node's current or last transfer, read under the record's guard.
struct SdoProgress {
    bool download = false;
    // Download: the length. Upload: the capacity until the server announces the object's size,
    // that size afterwards.
    std::int32_t total = 0;
    std::int32_t remaining = 0;  // download: bytes not yet sent
    std::int32_t received = 0;   // upload: bytes stored so far
};

// ---------------------------------------------------------------------------------------------
// The library's client (one per process; used by the stack and the exports)

// Transfers one object. Download (service kDownload): sends `length` bytes from `data`; the
// result's bytes are those sent. Upload (kUpload): stores at most `length` bytes into `data`; the
// result's bytes are those stored. Refused at once (no bus traffic) for a node outside 1..31,
// while the own node is not ready, or for a negative length. A stack broken by a fatal error while
// the caller waits raises FatalError; the transfer ends with it, and `data` is not touched again.
SdoResult SDOC_Communicate(std::uint8_t node, std::uint16_t index, std::uint8_t sub_index, std::uint8_t* data,
                           std::int32_t length, SdoService service);

// Dispatcher thread: a message of type 4. Subtype 0 = a response frame (the dispatcher passes
// it only while the SDO channel is open), 1 = the tick of timer 2; other subtypes are released.
// Consumes the buffer.
void SDOC_Handler(std::uint8_t subtype, CANBuf* buf);

// Stack start, after the server: the 32 records cleared with their two semaphores, timer 2 started.
void SDOC_Start();
// Stack stop, once every library thread has ended: closes the semaphores of every record.
void SDOC_Close();

// Progress of the node's current or last transfer; all zero for a node outside 0..31 or one that
// never had a transfer since the stack start.
SdoProgress SDOC_Progress(std::uint8_t node);

// ---------------------------------------------------------------------------------------------
// The engine behind the functions above. Over the stack its port reposts as type 4 and arms
// timer 2.

class SdoClient {
public:
    static constexpr int kRecords = 32;

    explicit SdoClient(SdoClientPort& port);
    ~SdoClient();
    SdoClient(const SdoClient&) = delete;
    SdoClient& operator=(const SdoClient&) = delete;

    // Clears the records, creates their semaphores and arms the timer.
    void Start();
    // Ends every transfer a caller still waits for (outcome kStopped) and closes the semaphores;
    // later transfers fail at once.
    void Close();

    SdoResult Communicate(std::uint8_t node, std::uint16_t index, std::uint8_t sub_index, std::uint8_t* data,
                          std::int32_t length, SdoService service);
    void Handle(std::uint8_t subtype, CANBuf* buf);
    SdoProgress Progress(std::uint8_t node) const;

    // For checks: whether block transfers are in use with the node.
    bool BlockFlag(std::uint8_t node) const;

    struct Record;  // a node record; defined with the engine

private:
    void HandleFrame(CANBuf* buf);
    void HandleTick(CANBuf* buf);
    // A response, by the state of its node's record: one function a transfer state, called under
    // the record's guard. Each sends the buffer on as the next request, reposts it, or leaves it
    // to be released.
    void BlockDownloadInitiated(Record& r, PoolBuffer& buf);
    void DownloadInitiated(Record& r, PoolBuffer& buf);
    void SegmentedDownload(Record& r, PoolBuffer& buf);
    void BlockDownload(Record& r, PoolBuffer& buf);
    void BlockUploadInitiated(Record& r, PoolBuffer& buf);
    void UploadInitiated(Record& r, PoolBuffer& buf);
    void SegmentedUpload(Record& r, PoolBuffer& buf);
    void BlockUpload(Record& r, PoolBuffer& buf);

    SdoClientPort& port_;
    std::array<std::unique_ptr<Record>, kRecords> records_;
};

}  // namespace klp
