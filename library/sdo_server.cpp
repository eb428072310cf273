#include "library/sdo_server.h"

#include <algorithm>
#include <cstring>

#include "library/byte_order.h"
#include "library/os_layer.h"

namespace klp {

namespace {

using sdo::AbortCode;
namespace cmd = sdo::cmd;
namespace ccs = sdo::ccs;

enum ChannelState : std::int32_t { kIdle = 0, kSegmentedDownload = 1, kBlockDownload = 2, kUpload = 3 };

// Channels 0..3 answer on these bases, channel 4 (the main one) on the common response base.
constexpr std::array<std::uint16_t, SdoServer::kChannels> kResponseBases = {0x680, 0x6A0, 0x6C0, 0x6E0,
                                                                            sdo::kResponseBase};
// Function codes (COB-ID >> 5) of the requests: channels 0..3 and the main channel.
constexpr int kFirstChannelFunction = 0x700 >> 5;
constexpr int kLastChannelFunction = 0x760 >> 5;
constexpr int kMainChannelFunction = sdo::kRequestBase >> 5;
// Every channel has its response base, and every channel its request function: one each for
// channels 0..3, and the main channel's.
static_assert(std::ranges::none_of(kResponseBases, [](std::uint16_t base) { return base == 0; }));
static_assert((kLastChannelFunction - kFirstChannelFunction + 1) + 1 == SdoServer::kChannels);

// 7-bit sequence numbers: a block has 1..127 segments.
std::uint8_t BlockSize(std::uint32_t wanted) {
    return static_cast<std::uint8_t>(std::clamp<std::uint32_t>(wanted, 1, sdo::kMaxBlockSize));
}

}  // namespace

SdoServer::SdoServer(ObjectDictionary& dictionary, SdoServerPort& port) : access_(dictionary), port_(port) {}

void SdoServer::Start() {
    for (int i = 0; i < kChannels; ++i) {
        channels_[i] = Channel{};
        channels_[i].response_base = kResponseBases[i];
        channels_[i].number = static_cast<std::uint8_t>(i);
    }
    port_.ArmTimer();
}

std::int32_t SdoServer::ChannelState(int channel) const {
    return channel >= 0 && channel < kChannels ? channels_[channel].state : -1;
}

void SdoServer::Handle(std::uint8_t subtype, CANBuf* buf) {
    if (subtype == msg::kFrame) {
        HandleFrame(buf);
    } else if (subtype == msg::kTick) {
        HandleTick(buf);
    } else {
        port_.ReleaseBuffer(buf);
    }
}

void SdoServer::EndTransfer(Channel& ch) {
    ch.state = kIdle;
    ch.counter = -1;
}

bool SdoServer::RefuseSegment(Channel& ch, PoolBuffer& buf, AbortCode not_ready, AbortCode toggle) {
    const bool ready = port_.OwnNodeReady();
    if (ready && (buf.data()[0] & cmd::kToggle) == ch.toggle) return false;
    EndTransfer(ch);
    Abort(ch, buf.release(), ready ? toggle : not_ready);
    return true;
}

void SdoServer::NotASegment(Channel& ch, PoolBuffer& buf, int ccs, AbortCode unexpected) {
    EndTransfer(ch);
    if (ccs != ccs::kAbort) Abort(ch, buf.release(), unexpected);
}

void SdoServer::Answer(const Channel& ch, CANBuf* buf) {
    buf->cob_id = static_cast<std::uint16_t>(ch.response_base + port_.OwnNodeId());
    buf->dlc = 8;
    buf->rtr = 0;
    port_.Send(buf);
}

void SdoServer::Abort(const Channel& ch, CANBuf* buf, AbortCode code) {
    std::uint8_t* d = buf->data;
    d[0] = cmd::kAbort;
    le::Put16(d + 1, ch.index);
    d[3] = ch.sub_index;
    le::Put32(d + 4, sdo::Value(code));
    Answer(ch, buf);
}

void SdoServer::HandleTick(CANBuf* buf) {
    port_.ReleaseBuffer(buf);
    for (auto& ch : channels_) {
        if (ch.counter < 0) continue;
        if (--ch.counter == 0) {
            ch.state = kIdle;
            Abort(ch, port_.TakeBuffer(), AbortCode::kChannelTimeout);
        }
    }
    port_.ArmTimer();
}

void SdoServer::HandleFrame(CANBuf* frame) {
    PoolBuffer buf(port_, frame);
    if (!port_.OwnNodeReady()) {
        Start();
        return;
    }
    const std::uint16_t cob = frame->cob_id;
    if ((cob & 0x1F) != port_.OwnNodeId()) return;
    const int function = (cob >> 5) & 0x3F;
    int channel = -1;
    if (function >= kFirstChannelFunction && function <= kLastChannelFunction) {
        channel = function & 3;
    } else if (function == kMainChannelFunction) {
        channel = 4;
    } else {
        return;
    }
    Channel& ch = channels_[channel];
    switch (ch.state) {
    case kIdle:
        Idle(ch, buf.release());
        return;
    case kSegmentedDownload:
        SegmentedDownload(ch, buf.release());
        return;
    case kBlockDownload:
        BlockDownload(ch, buf.release());
        return;
    case kUpload:
        Upload(ch, buf.release());
        return;
    default:
        EndTransfer(ch);
        return;
    }
}

void SdoServer::Idle(Channel& ch, CANBuf* frame) {
    PoolBuffer buf(port_, frame);
    std::uint8_t* d = buf.data();
    const int ccs = sdo::CommandSpecifier(d[0]);
    const bool ready = port_.OwnNodeReady();
    const int channel = ch.number;
    auto take_multiplexer = [&] {
        ch.index = le::Get16(d + 1);
        ch.sub_index = d[3];
    };

    switch (ccs) {
    case ccs::kInitiateDownload: {
        take_multiplexer();
        if (!ready) {
            Abort(ch, buf.release(), AbortCode::kNotReadyDownloadInitiate);
            return;
        }
        const int kind = d[0] & (cmd::kExpedited | cmd::kSizeIndicated);
        if (kind == cmd::kSizeIndicated) {
            ch.size = le::Get32(d + 4);
            if (!access_.WritePrepare(channel, ch.index, ch.sub_index, ch.size)) {
                Abort(ch, buf.release(), AbortCode::kDownloadRefused);
                return;
            }
            ch.counter = ch.timeout_value;
            ch.toggle = 0;
            ch.state = kSegmentedDownload;
        } else if (kind == (cmd::kExpedited | cmd::kSizeIndicated)) {
            const auto n = static_cast<std::uint32_t>(sdo::ExpeditedSize(d[0]));
            if (!access_.WritePrepare(channel, ch.index, ch.sub_index, n)) {
                Abort(ch, buf.release(), AbortCode::kExpeditedDownloadRefused);
                return;
            }
            access_.Write(channel, d + 4, n);
        } else {
            Abort(ch, buf.release(), AbortCode::kDownloadWithoutSize);
            return;
        }
        d[0] = cmd::kInitiateDownloadResponse;
        std::memset(d + 4, 0, 4);
        Answer(ch, buf.release());
        return;
    }
    case ccs::kInitiateUpload: {
        take_multiplexer();
        if (!ready) {
            Abort(ch, buf.release(), AbortCode::kNotReadyUploadInitiate);
            return;
        }
        ch.size = access_.ReadPrepare(channel, ch.index, ch.sub_index);
        if (ch.size == 0) {
            Abort(ch, buf.release(), AbortCode::kNoObject);
            return;
        }
        std::memset(d + 4, 0, 4);
        if (ch.size <= 4) {
            bool end = false;
            const std::size_t n = access_.Read(channel, d + 4, 4, end);
            d[0] = static_cast<std::uint8_t>(cmd::kInitiateUploadExpedited | sdo::ExpeditedSizeBits(n));
        } else {
            d[0] = cmd::kInitiateUploadSegmented;
            le::Put32(d + 4, ch.size);
            ch.state = kUpload;
            ch.toggle = 0;
            ch.end = false;
            ch.counter = ch.timeout_value;
        }
        Answer(ch, buf.release());
        return;
    }
    case ccs::kBlockUpload: {
        const int sub_command = d[0] & cmd::kBlockSubcommand;
        if (sub_command == cmd::kBlockInitiate) {
            take_multiplexer();
            ch.block_size = BlockSize(d[4]);
            ch.size = ch.block_remaining = access_.ReadPrepare(channel, ch.index, ch.sub_index);
            if (d[5] < ch.size) {
                d[0] = cmd::kBlockUploadInitiateResponse;
                le::Put32(d + 4, ch.size);
                Answer(ch, buf.release());
            } else {
                // Small enough for a plain upload: handle it as one.
                d[0] = cmd::kInitiateUpload;
                std::memset(d + 4, 0, 4);
                port_.Repost(buf.release());
            }
        } else if (sub_command == cmd::kBlockStart) {
            ch.staging_fill = 0;
            if (SendBlock(ch, 1, ch.block_size)) {
                ch.counter = ch.timeout_value;
                ch.state = kUpload;
            } else {
                ch.counter = -1;
            }
        } else {
            Abort(ch, buf.release(), AbortCode::kBadBlockUploadCommand);
        }
        return;
    }
    case ccs::kBlockDownload: {
        take_multiplexer();
        ch.size = le::Get32(d + 4);
        if (!access_.WritePrepare(channel, ch.index, ch.sub_index, ch.size)) {
            Abort(ch, buf.release(), AbortCode::kBlockDownloadRefused);
            return;
        }
        ch.block_size = BlockSize((ch.size + sdo::kSegmentBytes - 1) / sdo::kSegmentBytes);
        d[0] = cmd::kBlockDownloadInitiateResponse;
        std::memset(d + 4, 0, 4);
        d[4] = ch.block_size;
        ch.counter = ch.timeout_value;
        ch.state = kBlockDownload;
        ch.sequence = 1;
        // Nothing has arrived yet: a resume before the first good segment starts at 1.
        ch.last_good = 0;
        Answer(ch, buf.release());
        return;
    }
    case ccs::kAbort:
        return;
    default:
        Abort(ch, buf.release(), AbortCode::kCommandNotHandled);
        return;
    }
}

void SdoServer::SegmentedDownload(Channel& ch, CANBuf* frame) {
    PoolBuffer buf(port_, frame);
    std::uint8_t* d = buf.data();
    const int ccs = sdo::CommandSpecifier(d[0]);
    if (ccs == ccs::kDownloadSegment) {
        if (RefuseSegment(ch, buf, AbortCode::kNotReadyDownloadSegment, AbortCode::kToggleDownload)) return;
        const auto n = static_cast<std::size_t>(sdo::SegmentSize(d[0]));
        access_.Write(ch.number, d + 1, n);
        ch.counter = ch.timeout_value;
        const bool last = (d[0] & cmd::kLastSegment) != 0;
        std::memset(d, 0, 8);
        d[0] = static_cast<std::uint8_t>(cmd::kDownloadSegmentResponse | ch.toggle);
        if (last) {
            EndTransfer(ch);
        } else {
            ch.toggle ^= cmd::kToggle;
        }
        Answer(ch, buf.release());
    } else {
        NotASegment(ch, buf, ccs, AbortCode::kUnexpectedInDownload);
    }
}

void SdoServer::BlockDownload(Channel& ch, CANBuf* frame) {
    PoolBuffer buf(port_, frame);
    std::uint8_t* d = buf.data();
    ch.counter = ch.timeout_value;
    const std::uint8_t number = d[0] & cmd::kSequenceMask;
    if ((d[0] & cmd::kLastBlockSegment) == 0) {
        if (number != ch.sequence) return;  // lost in between: the client sends it again
        ++ch.sequence;
        ch.last_good = number;
        const auto n = std::min<std::uint32_t>(ch.size, sdo::kSegmentBytes);
        access_.Write(ch.number, d + 1, n);
        ch.size -= n;
        if (number == ch.block_size) {
            ch.sequence = 1;
            ch.last_good = 0;
            std::memset(d, 0, 8);
            d[0] = cmd::kBlockConfirm;
            d[1] = d[2] = ch.block_size;
            Answer(ch, buf.release());
        }
        return;
    }
    std::uint8_t ack = 0;
    std::uint8_t next_block = 0;
    if (number == ch.sequence) {
        access_.Write(ch.number, d + 1, std::min<std::uint32_t>(ch.size, sdo::kSegmentBytes));
        ch.size = 0;
        ch.state = kIdle;
        ack = number;
    } else {
        // A segment of the block went missing: the client resumes after the last good one, with
        // the block's numbering and size.
        ack = ch.last_good;
        ch.sequence = static_cast<std::uint8_t>(ch.last_good + 1);
        next_block = ch.block_size;
    }
    std::memset(d, 0, 8);
    d[0] = cmd::kBlockConfirm;
    d[1] = ack;
    d[2] = next_block;
    Answer(ch, buf.release());
}

void SdoServer::Upload(Channel& ch, CANBuf* frame) {
    PoolBuffer buf(port_, frame);
    std::uint8_t* d = buf.data();
    const int ccs = sdo::CommandSpecifier(d[0]);
    if (ccs == ccs::kUploadSegment) {
        if (RefuseSegment(ch, buf, AbortCode::kNotReadyUploadSegment, AbortCode::kToggleUpload)) return;
        std::memset(d, 0, 8);
        bool end = false;
        const std::size_t n = access_.Read(ch.number, d + 1, sdo::kSegmentBytes, end);
        ch.end = end;
        ch.counter = ch.timeout_value;
        d[0] = static_cast<std::uint8_t>(sdo::SegmentSizeBits(static_cast<std::uint32_t>(n)) | ch.toggle);
        if (end) {
            d[0] |= cmd::kLastSegment;
            EndTransfer(ch);
        } else {
            ch.toggle ^= cmd::kToggle;
        }
        Answer(ch, buf.release());
    } else if (ccs == ccs::kBlockUpload) {
        if (d[1] != ch.sequence) {
            Abort(ch, buf.release(), AbortCode::kBlockUploadWrongAck);
            return;
        }
        if (ch.block_remaining == 0) {
            EndTransfer(ch);
            return;
        }
        ch.block_size = BlockSize(d[2]);
        if (SendBlock(ch, 1, ch.block_size)) {
            ch.counter = ch.timeout_value;
        } else {
            EndTransfer(ch);
        }
    } else {
        NotASegment(ch, buf, ccs, AbortCode::kUnexpectedInUpload);
    }
}

// Sends segments first..block_size of a block upload. The channel's staging area holds the bytes
// read from the dictionary but not yet sent; reads stop before a fixed-size sub-entry that would not
// fit whole, so a read may bring fewer bytes than asked for, and the fill level is whatever is
// left after each segment, never a fixed count.
bool SdoServer::SendBlock(Channel& ch, std::uint8_t first, std::uint8_t block_size) {
    constexpr std::size_t kSegment = sdo::kSegmentBytes;
    for (int s = first; s <= block_size; ++s) {
        PoolBuffer seg(port_, port_.TakeBuffer());
        std::uint8_t* d = seg.data();
        std::memset(d, 0, 8);
        d[0] = static_cast<std::uint8_t>(s);
        ch.sequence = static_cast<std::uint8_t>(s);
        bool end = false;
        if (ch.block_remaining <= kSegment) {
            const std::size_t want = ch.block_remaining - std::min<std::size_t>(ch.staging_fill, ch.block_remaining);
            ch.staging_fill += access_.Read(ch.number, ch.staging.data() + ch.staging_fill, want, end);
            if (ch.staging_fill < ch.block_remaining) {
                Abort(ch, seg.release(), AbortCode::kGeneralError);
                return false;
            }
            std::memcpy(d + 1, ch.staging.data(), ch.block_remaining);
            ch.block_remaining = 0;
            ch.staging_fill = 0;
            d[0] |= cmd::kLastBlockSegment;
            Answer(ch, seg.release());
            return true;
        }
        if (ch.staging_fill < kSegment) {
            ch.staging_fill +=
                access_.Read(ch.number, ch.staging.data() + ch.staging_fill, ch.staging.size() - ch.staging_fill, end);
        }
        if (ch.staging_fill < kSegment) {
            // The object delivered less than its size announced.
            Abort(ch, seg.release(), AbortCode::kGeneralError);
            return false;
        }
        std::memcpy(d + 1, ch.staging.data(), kSegment);
        std::memmove(ch.staging.data(), ch.staging.data() + kSegment, ch.staging_fill - kSegment);
        ch.staging_fill -= kSegment;
        ch.block_remaining -= kSegment;
        Answer(ch, seg.release());
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// The library's server over the running stack

namespace {

SdoServer& LibraryServer() {
    static StackSdoPort port(msg::kSdoServer, kSdoServerTimer);
    static ObjectDictionary dictionary = ObjectDictionary::LibraryNode();
    static SdoServer server(dictionary, port);
    return server;
}

}  // namespace

void SDOS_Handler(std::uint8_t subtype, CANBuf* buf) { LibraryServer().Handle(subtype, buf); }
void SDOS_Start() { LibraryServer().Start(); }

}  // namespace klp
