#include "tools/devsim/sdo_server.h"

#include <algorithm>
#include <cstring>

namespace devsim {

namespace {

namespace cmd = sdo::cmd;
namespace ccs = sdo::ccs;

constexpr std::size_t kSegmentBytes = sdo::kSegmentBytes;

int Ccs(const Frame& frame) { return sdo::CommandSpecifier(frame.data[0]); }
std::uint8_t Subcommand(const Frame& frame) { return frame.data[0] & cmd::kBlockSubcommand; }
std::uint16_t FrameIndex(const Frame& frame) { return Get16(frame, 1); }
std::uint8_t FrameSubIndex(const Frame& frame) { return frame.data[3]; }

}  // namespace

SdoServer::SdoServer(std::uint8_t node, ObjectDictionary& dictionary, SdoBehaviour behaviour)
    : node_(node), dictionary_(dictionary), behaviour_(std::move(behaviour)) {
    behaviour_.block_size = std::clamp<std::uint8_t>(behaviour_.block_size, 1, sdo::kMaxBlockSize);
}

Frame SdoServer::Response(std::uint8_t command) const {
    Frame frame;
    frame.id = static_cast<std::uint16_t>(sdo::kResponseBase + node_);
    frame.dlc = 8;
    frame.data[0] = command;
    return frame;
}

void SdoServer::Answer(const Frame& frame, TimePoint now, Outbox& out) { out.SendAt(now, frame); }

void SdoServer::Abort(std::uint16_t index, std::uint8_t sub_index, std::uint32_t code, TimePoint now, Outbox& out) {
    Frame frame = Response(cmd::kAbort);
    Put16(frame, 1, index);
    frame.data[3] = sub_index;
    Put32(frame, 4, code);
    ++stats_.aborts_sent;
    Answer(frame, now, out);
}

void SdoServer::Abort(std::uint16_t index, std::uint8_t sub_index, AbortCode code, TimePoint now, Outbox& out) {
    Abort(index, sub_index, static_cast<std::uint32_t>(code), now, out);
}

std::optional<std::uint32_t> SdoServer::InjectedAbort(std::uint16_t index) const {
    auto it = behaviour_.aborts.find(index);
    if (it == behaviour_.aborts.end()) return std::nullopt;
    return it->second;
}

void SdoServer::Finish() {
    state_ = State::kIdle;
    pending_confirm_.reset();
    buffer_.clear();
    buffer_.shrink_to_fit();
}

bool SdoServer::RestartsTransfer(const Frame& request) const {
    switch (Ccs(request)) {
    case ccs::kInitiateDownload:
    case ccs::kInitiateUpload:
        return true;
    case ccs::kBlockUpload:
        return Subcommand(request) == cmd::kBlockInitiate;
    case ccs::kBlockDownload:  // bit 0 tells the end from the initiation
        return (request.data[0] & cmd::kBlockEnd) == 0;
    default:
        return false;
    }
}

void SdoServer::OnRequest(const Frame& request, TimePoint now, Outbox& out) {
    if (behaviour_.silent) return;
    if (state_ == State::kBlockDownload) {
        // Segments carry a bare sequence number in data[0]; only frames that cannot be one of
        // this transfer's segments are read as commands.
        BlockSegment(request, now, out);
        return;
    }
    if (state_ == State::kIdle) {
        Idle(request, now, out);
        return;
    }
    if (Ccs(request) == ccs::kAbort) {
        ++stats_.aborts_received;
        Finish();
        return;
    }
    if (RestartsTransfer(request)) {
        Finish();
        Idle(request, now, out);
        return;
    }
    switch (state_) {
    case State::kSegmentedDownload:
        if (Ccs(request) == ccs::kDownloadSegment) return DownloadSegment(request, now, out);
        break;
    case State::kSegmentedUpload:
        if (Ccs(request) == ccs::kUploadSegment) return UploadSegment(request, now, out);
        break;
    case State::kBlockUploadInitiated:
        if (Ccs(request) == ccs::kBlockUpload && Subcommand(request) == cmd::kBlockStart) {
            state_ = State::kBlockUpload;
            return SendUploadBlock(now, out);
        }
        break;
    case State::kBlockUpload:
        if (Ccs(request) == ccs::kBlockUpload && Subcommand(request) == cmd::kBlockConfirmation)
            return BlockUploadConfirm(request, now, out);
        break;
    default:
        break;
    }
    Abort(index_, sub_index_, AbortCode::kCommandInvalid, now, out);
    Finish();
}

void SdoServer::Idle(const Frame& request, TimePoint now, Outbox& out) {
    switch (Ccs(request)) {
    case ccs::kInitiateDownload:
        return InitiateDownload(request, now, out);
    case ccs::kInitiateUpload:
        return InitiateUpload(request, now, out);
    case ccs::kBlockUpload:
        return BlockUploadCommand(request, now, out);
    case ccs::kBlockDownload:
        if ((request.data[0] & cmd::kBlockEnd) == 0) return InitiateBlockDownload(request, now, out);
        break;
    case ccs::kAbort:
        ++stats_.aborts_received;
        return;
    default:
        break;
    }
    Abort(FrameIndex(request), FrameSubIndex(request), AbortCode::kCommandInvalid, now, out);
}

void SdoServer::InitiateDownload(const Frame& request, TimePoint now, Outbox& out) {
    const std::uint16_t index = FrameIndex(request);
    const std::uint8_t sub = FrameSubIndex(request);
    if (auto code = InjectedAbort(index)) return Abort(index, sub, *code, now, out);
    const bool expedited = (request.data[0] & cmd::kExpedited) != 0;
    const bool size_given = (request.data[0] & cmd::kSizeIndicated) != 0;
    Frame answer = Response(cmd::kInitiateDownloadResponse);
    std::memcpy(&answer.data[1], &request.data[1], 3);
    if (expedited) {
        const std::size_t n = size_given ? static_cast<std::size_t>(sdo::ExpeditedSize(request.data[0])) : 4;
        if (AbortCode code = dictionary_.CheckWrite(index, sub, n); code != AbortCode::kNone)
            return Abort(index, sub, code, now, out);
        dictionary_.Write(index, sub, Bytes(request.data.begin() + 4, request.data.begin() + 4 + n));
        ++stats_.downloads_completed;
        return Answer(answer, now, out);
    }
    if (!size_given) return Abort(index, sub, AbortCode::kCommandInvalid, now, out);
    const std::size_t size = Get32(request, 4);
    if (AbortCode code = dictionary_.CheckWrite(index, sub, size); code != AbortCode::kNone)
        return Abort(index, sub, code, now, out);
    state_ = State::kSegmentedDownload;
    index_ = index;
    sub_index_ = sub;
    toggle_ = 0;
    size_ = size;
    buffer_.clear();
    buffer_.reserve(size);
    Answer(answer, now, out);
}

void SdoServer::DownloadSegment(const Frame& request, TimePoint now, Outbox& out) {
    if ((request.data[0] & cmd::kToggle) != toggle_) {
        Abort(index_, sub_index_, AbortCode::kToggleNotAlternated, now, out);
        return Finish();
    }
    const auto n = static_cast<std::size_t>(sdo::SegmentSize(request.data[0]));
    const bool last = (request.data[0] & cmd::kLastSegment) != 0;
    const std::size_t total = buffer_.size() + n;
    if (total > size_ || (last && total != size_)) {
        Abort(index_, sub_index_, AbortCode::kLengthMismatch, now, out);
        return Finish();
    }
    buffer_.insert(buffer_.end(), request.data.begin() + 1, request.data.begin() + 1 + n);
    Frame answer = Response(static_cast<std::uint8_t>(cmd::kDownloadSegmentResponse | toggle_));
    toggle_ ^= cmd::kToggle;
    if (last) {
        dictionary_.Write(index_, sub_index_, buffer_);
        ++stats_.downloads_completed;
        Finish();
    }
    Answer(answer, now, out);
}

void SdoServer::InitiateUpload(const Frame& request, TimePoint now, Outbox& out) {
    const std::uint16_t index = FrameIndex(request);
    const std::uint8_t sub = FrameSubIndex(request);
    if (auto code = InjectedAbort(index)) return Abort(index, sub, *code, now, out);
    ReadResult read = dictionary_.Read(index, sub);
    if (read.abort != AbortCode::kNone) return Abort(index, sub, read.abort, now, out);
    const std::size_t size = read.data.size();
    if (size <= 4) {
        Frame answer = Response(static_cast<std::uint8_t>(cmd::kInitiateUploadExpedited |
                                                          sdo::ExpeditedSizeBits(static_cast<std::uint32_t>(size))));
        std::memcpy(&answer.data[1], &request.data[1], 3);
        std::copy(read.data.begin(), read.data.end(), answer.data.begin() + 4);
        ++stats_.uploads_completed;
        return Answer(answer, now, out);
    }
    state_ = State::kSegmentedUpload;
    index_ = index;
    sub_index_ = sub;
    toggle_ = 0;
    buffer_ = std::move(read.data);
    position_ = 0;
    Frame answer = Response(cmd::kInitiateUploadSegmented);
    std::memcpy(&answer.data[1], &request.data[1], 3);
    Put32(answer, 4, static_cast<std::uint32_t>(size));
    Answer(answer, now, out);
}

void SdoServer::UploadSegment(const Frame& request, TimePoint now, Outbox& out) {
    if ((request.data[0] & cmd::kToggle) != toggle_) {
        Abort(index_, sub_index_, AbortCode::kToggleNotAlternated, now, out);
        return Finish();
    }
    const std::size_t n = std::min(kSegmentBytes, buffer_.size() - position_);
    const bool last = position_ + n == buffer_.size();
    Frame answer = Response(static_cast<std::uint8_t>(toggle_ | sdo::SegmentSizeBits(static_cast<std::uint32_t>(n)) |
                                                      (last ? cmd::kLastSegment : 0)));
    std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(position_), n, answer.data.begin() + 1);
    position_ += n;
    toggle_ ^= cmd::kToggle;
    if (last) {
        ++stats_.uploads_completed;
        Finish();
    }
    Answer(answer, now, out);
}

void SdoServer::BlockUploadCommand(const Frame& request, TimePoint now, Outbox& out) {
    const std::uint16_t index = FrameIndex(request);
    const std::uint8_t sub = FrameSubIndex(request);
    if (Subcommand(request) != cmd::kBlockInitiate) return Abort(index, sub, AbortCode::kCommandInvalid, now, out);
    if (auto code = InjectedAbort(index)) return Abort(index, sub, *code, now, out);
    if (behaviour_.refuse_block) return Abort(index, sub, *behaviour_.refuse_block, now, out);
    const std::uint8_t block_size = request.data[4];
    if (block_size < 1 || block_size > sdo::kMaxBlockSize)
        return Abort(index, sub, AbortCode::kInvalidBlockSize, now, out);
    ReadResult read = dictionary_.Read(index, sub);
    if (read.abort != AbortCode::kNone) return Abort(index, sub, read.abort, now, out);
    const std::size_t threshold = request.data[5];
    if (read.data.size() <= threshold) {
        // Small objects go the plain way, as the client's protocol switch threshold asks.
        return InitiateUpload(request, now, out);
    }
    state_ = State::kBlockUploadInitiated;
    index_ = index;
    sub_index_ = sub;
    block_size_ = block_size;
    buffer_ = std::move(read.data);
    position_ = 0;
    final_sent_ = false;
    Frame answer = Response(cmd::kBlockUploadInitiateResponse);
    std::memcpy(&answer.data[1], &request.data[1], 3);
    Put32(answer, 4, static_cast<std::uint32_t>(buffer_.size()));
    Answer(answer, now, out);
}

void SdoServer::SendUploadBlock(TimePoint now, Outbox& out) {
    block_start_position_ = position_;
    for (std::uint8_t seq = 1; seq <= block_size_; ++seq) {
        const std::size_t n = std::min(kSegmentBytes, buffer_.size() - position_);
        const bool last = position_ + n == buffer_.size();
        Frame segment = Response(static_cast<std::uint8_t>(seq | (last ? cmd::kLastBlockSegment : 0)));
        std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(position_), n, segment.data.begin() + 1);
        position_ += n;
        last_sent_ = seq;
        Answer(segment, now, out);
        if (last) {
            final_sent_ = true;
            return;
        }
    }
}

void SdoServer::BlockUploadConfirm(const Frame& request, TimePoint now, Outbox& out) {
    const std::uint8_t ack = request.data[1];
    if (ack > last_sent_) {
        Abort(index_, sub_index_, AbortCode::kInvalidSequence, now, out);
        return Finish();
    }
    if (ack == last_sent_ && final_sent_) {
        ++stats_.uploads_completed;
        return Finish();
    }
    const std::uint8_t next_size = request.data[2];
    if (next_size < 1 || next_size > sdo::kMaxBlockSize) {
        Abort(index_, sub_index_, AbortCode::kInvalidBlockSize, now, out);
        return Finish();
    }
    // Segments after the acknowledged one were lost: the next block starts right behind it.
    position_ = block_start_position_ + static_cast<std::size_t>(ack) * kSegmentBytes;
    final_sent_ = false;
    block_size_ = next_size;
    SendUploadBlock(now, out);
}

void SdoServer::InitiateBlockDownload(const Frame& request, TimePoint now, Outbox& out) {
    const std::uint16_t index = FrameIndex(request);
    const std::uint8_t sub = FrameSubIndex(request);
    if (auto code = InjectedAbort(index)) return Abort(index, sub, *code, now, out);
    if (behaviour_.refuse_block) return Abort(index, sub, *behaviour_.refuse_block, now, out);
    if ((request.data[0] & cmd::kBlockSizeIndicated) == 0)
        return Abort(index, sub, AbortCode::kCommandInvalid, now, out);
    const std::size_t size = Get32(request, 4);
    if (AbortCode code = dictionary_.CheckWrite(index, sub, size); code != AbortCode::kNone)
        return Abort(index, sub, code, now, out);
    state_ = State::kBlockDownload;
    index_ = index;
    sub_index_ = sub;
    size_ = size;
    buffer_.assign(size, 0);
    block_base_ = 0;
    block_size_ = behaviour_.block_size;
    expected_ = 1;
    block_start_ = 1;
    last_seen_ = 0;
    last_stored_ = false;
    dropped_.clear();
    pending_confirm_.reset();
    Frame answer = Response(cmd::kBlockDownloadInitiateResponse);
    std::memcpy(&answer.data[1], &request.data[1], 3);
    answer.data[4] = block_size_;
    Answer(answer, now, out);
}

void SdoServer::BlockSegment(const Frame& request, TimePoint now, Outbox& out) {
    const std::uint8_t seq = request.data[0] & cmd::kSequenceMask;
    const bool last = (request.data[0] & cmd::kLastBlockSegment) != 0;
    const std::size_t offset = block_base_ + (static_cast<std::size_t>(seq) - 1) * kSegmentBytes;
    const std::size_t left = seq >= 1 && offset < size_ ? size_ - offset : 0;
    // A segment's number must fit the block and its place the object: the final segment holds
    // the last 1..7 bytes, every other one 7 bytes with more to follow. The client numbers its
    // frames consecutively and only ever restarts where it began sending in this block, so a
    // command frame of a new transfer (after the client gave this one up without an abort) is not
    // taken for a segment.
    bool segment = seq >= 1 && seq <= block_size_ && (last ? left >= 1 && left <= kSegmentBytes : left > kSegmentBytes);
    if (segment && seq != last_seen_ + 1 && seq != block_start_) segment = false;
    if (!segment) {
        Finish();
        Idle(request, now, out);
        return;
    }
    ++stats_.segments_received;
    last_seen_ = seq;
    const std::size_t position = offset / kSegmentBytes + 1;
    if (behaviour_.drop_segments.count(position) != 0 && dropped_.insert(position).second) {
        // Lost on the way: the numbering goes on, but nothing of it is stored, and a lost block
        // end leaves the block without its confirmation, so the client has to send it again.
        ++stats_.segments_dropped;
        return;
    }
    if (seq <= expected_) {
        const std::size_t n = last ? left : kSegmentBytes;
        std::copy_n(request.data.begin() + 1, n, buffer_.begin() + static_cast<std::ptrdiff_t>(offset));
        if (seq == expected_) {
            expected_ = static_cast<std::uint8_t>(seq + 1);
            last_stored_ = last;
        }
    }
    if (!last && seq != block_size_) return;

    // End of the block as the client sends it. A re-send that overtakes a late confirmation
    // still gets that one answer, so the client never sees two for one block.
    if (!pending_confirm_) pending_confirm_ = PendingConfirm{now + behaviour_.confirm_delay};
    if (behaviour_.withhold_confirm) return;
    if (pending_confirm_->due <= now) ReleaseConfirm(now, out);
}

void SdoServer::ReleaseConfirm(TimePoint now, Outbox& out) {
    pending_confirm_.reset();
    Frame answer = Response(cmd::kBlockConfirm);
    answer.data[2] = behaviour_.block_size;
    ++stats_.confirmations_sent;
    if (behaviour_.resend_blocks) {
        // Nothing of the block counts as arrived (last good segment 0): the client has to send
        // all of it again, from the block's first segment, and never gets further.
        answer.data[1] = 0;
        expected_ = 1;
        block_start_ = 1;
        last_seen_ = 0;
        last_stored_ = false;
        ++stats_.blocks_asked_again;
        Answer(answer, now, out);
        return;
    }
    // Acknowledge what has arrived in order by now, which a late confirmation may have seen grow.
    const std::uint8_t ack = static_cast<std::uint8_t>(expected_ - 1);
    answer.data[1] = ack;
    if (last_stored_) {
        dictionary_.Write(index_, sub_index_, buffer_);
        ++stats_.downloads_completed;
        Finish();
    } else if (ack == block_size_) {
        block_base_ += static_cast<std::size_t>(block_size_) * kSegmentBytes;
        block_size_ = behaviour_.block_size;
        expected_ = 1;
        block_start_ = 1;
        last_seen_ = 0;
    } else {
        // The client goes on behind the acknowledged segment, numbering on inside this block.
        block_start_ = expected_;
        last_seen_ = ack;
    }
    Answer(answer, now, out);
}

void SdoServer::Poll(TimePoint now, Outbox& out) {
    if (behaviour_.silent || behaviour_.withhold_confirm) return;
    if (state_ == State::kBlockDownload && pending_confirm_ && pending_confirm_->due <= now) ReleaseConfirm(now, out);
}

std::optional<TimePoint> SdoServer::NextWake() const {
    if (behaviour_.withhold_confirm || state_ != State::kBlockDownload || !pending_confirm_) return std::nullopt;
    return pending_confirm_->due;
}

}  // namespace devsim
