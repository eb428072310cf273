// The SDO server of one simulated display node: requests on 0x7A0 + node, answers on
// 0x780 + node, every answer with DLC 8.
//
// Speaks expedited and segmented transfers both ways, and block transfers both ways in the form
// the interface library uses: without CRC and without the closing end exchange, so a block
// download is complete with its last segment and a block upload with the confirmation of its
// last block. A block confirmation that acknowledges less than the whole block makes the client
// go on from the next sequence number inside the same block; the server expects exactly that.
//
// Faults to inject (SdoBehaviour) let tests reach the client's failure paths: block refusal,
// dropped segments, late or missing block confirmations, aborts, silence, and blocks asked for
// again without end.
//
// Not thread-safe: the bus loop calls it.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>

#include "tools/devsim/frame.h"
#include "tools/devsim/object_dictionary.h"
#include "tools/devsim/outbox.h"

namespace devsim {

struct SdoBehaviour {
    // Abort code with which block initiations (both directions) are refused; none = accepted.
    std::optional<std::uint32_t> refuse_block;
    // Block-download segments lost the first time they arrive, by their 1-based place in the
    // transfer (segment k carries bytes 7(k-1) .. 7k-1); their re-sends get through.
    std::set<std::size_t> drop_segments;
    std::chrono::milliseconds confirm_delay{0};     // block-download confirmations leave this late
    bool withhold_confirm = false;                  // block-download confirmations never leave
    std::map<std::uint16_t, std::uint32_t> aborts;  // every initiation on the index is aborted so
    bool silent = false;                            // nothing is answered at all
    std::uint8_t block_size = sdo::kMaxBlockSize;   // offered for block downloads, 1..127
    // A hostile node: every block-download confirmation acknowledges nothing of the block, so
    // the client is asked for the same block again and again and the download never completes.
    bool resend_blocks = false;
};

class SdoServer {
public:
    enum class State {
        kIdle,
        kSegmentedDownload,
        kBlockDownload,
        kSegmentedUpload,
        kBlockUploadInitiated,
        kBlockUpload
    };

    struct Stats {
        std::uint32_t segments_received = 0;  // block-download segment frames, dropped ones included
        std::uint32_t segments_dropped = 0;
        std::uint32_t confirmations_sent = 0;
        std::uint32_t blocks_asked_again = 0;  // confirmations that acknowledged nothing (resend_blocks)
        std::uint32_t downloads_completed = 0;
        std::uint32_t uploads_completed = 0;
        std::uint32_t aborts_sent = 0;
        std::uint32_t aborts_received = 0;
    };

    SdoServer(std::uint8_t node, ObjectDictionary& dictionary, SdoBehaviour behaviour);

    std::uint8_t node() const { return node_; }
    // A request frame on 0x7A0 + node.
    void OnRequest(const Frame& request, TimePoint now, Outbox& out);
    // Sends a delayed block confirmation once it is due.
    void Poll(TimePoint now, Outbox& out);
    std::optional<TimePoint> NextWake() const;

    // The software-update unlock: block initiations are accepted from now on.
    void AllowBlocks() { behaviour_.refuse_block.reset(); }
    bool RefusesBlocks() const { return behaviour_.refuse_block.has_value(); }

    State state() const { return state_; }
    const Stats& stats() const { return stats_; }

private:
    struct PendingConfirm {
        TimePoint due;
    };

    void Idle(const Frame& request, TimePoint now, Outbox& out);
    void InitiateDownload(const Frame& request, TimePoint now, Outbox& out);
    void InitiateUpload(const Frame& request, TimePoint now, Outbox& out);
    void BlockUploadCommand(const Frame& request, TimePoint now, Outbox& out);
    void InitiateBlockDownload(const Frame& request, TimePoint now, Outbox& out);
    void DownloadSegment(const Frame& request, TimePoint now, Outbox& out);
    void UploadSegment(const Frame& request, TimePoint now, Outbox& out);
    void BlockUploadConfirm(const Frame& request, TimePoint now, Outbox& out);
    void BlockSegment(const Frame& request, TimePoint now, Outbox& out);
    void SendUploadBlock(TimePoint now, Outbox& out);
    void ReleaseConfirm(TimePoint now, Outbox& out);
    // A busy channel that sees an initiation drops its transfer and serves the new one.
    bool RestartsTransfer(const Frame& request) const;
    void Finish();

    Frame Response(std::uint8_t command) const;
    void Answer(const Frame& frame, TimePoint now, Outbox& out);
    void Abort(std::uint16_t index, std::uint8_t sub_index, AbortCode code, TimePoint now, Outbox& out);
    void Abort(std::uint16_t index, std::uint8_t sub_index, std::uint32_t code, TimePoint now, Outbox& out);
    std::optional<std::uint32_t> InjectedAbort(std::uint16_t index) const;

    const std::uint8_t node_;
    ObjectDictionary& dictionary_;
    SdoBehaviour behaviour_;
    Stats stats_;

    State state_ = State::kIdle;
    std::uint16_t index_ = 0;
    std::uint8_t sub_index_ = 0;
    std::uint8_t toggle_ = 0;
    Bytes buffer_;              // download: bytes received; upload: the object's bytes
    std::size_t size_ = 0;      // download: announced size
    std::size_t position_ = 0;  // segmented transfers and block upload: next byte

    // Block download: segment s of the current block belongs at block_base_ + (s - 1) * 7.
    std::size_t block_base_ = 0;
    std::uint8_t block_size_ = 0;
    std::uint8_t expected_ = 1;      // next sequence number in order
    std::uint8_t block_start_ = 1;   // where the client (re-)starts sending in this block
    std::uint8_t last_seen_ = 0;     // number of the last segment frame that arrived
    bool last_stored_ = false;       // the final segment is in
    std::set<std::size_t> dropped_;  // places already lost once in this transfer
    std::optional<PendingConfirm> pending_confirm_;

    // Block upload.
    std::size_t block_start_position_ = 0;
    std::uint8_t last_sent_ = 0;
    bool final_sent_ = false;
};

}  // namespace devsim
