// SDO server (module SDOS): the library's node answers service-data requests of other nodes,
// and of its own client through the loop-back, about its read-only object dictionary.
//
// Five channels: channels 0..3 listen on 0x700, 0x720, 0x740, 0x760 + own id and answer on
// 0x680, 0x6A0, 0x6C0, 0x6E0 + own id; channel 4 listens on 0x7A0 + own and answers on 0x780 +
// own. Expedited, segmented and block transfers (block without CRC and without the closing end
// exchange). The server answers only while the own node is ready (NM state 4 or 8).
//
// Threads: every function here runs on the dispatcher thread (messages of type 5). Each channel
// has its own access block and block-upload staging area, so transfers on different channels may
// interleave.
#pragma once

#include <array>
#include <cstdint>

#include "library/object_dictionary.h"
#include "library/sdo_port.h"
#include "library/sdo_protocol.h"

namespace klp {

struct CANBuf;

// ---------------------------------------------------------------------------------------------
// The library's server (one per process, over the node's own dictionary)

// Dispatcher thread: a message of type 5. Subtype 0 = a request frame, 1 = the tick of timer 1;
// other subtypes are released. Consumes the buffer.
void SDOS_Handler(std::uint8_t subtype, CANBuf* buf);
// Stack start, after the network management: the five channels cleared, timer 1 started.
void SDOS_Start();

// ---------------------------------------------------------------------------------------------
// The engine. Over the stack its port reposts as type 5 and arms timer 1.

class SdoServer {
public:
    static constexpr int kChannels = 5;

    SdoServer(ObjectDictionary& dictionary, SdoServerPort& port);
    SdoServer(const SdoServer&) = delete;
    SdoServer& operator=(const SdoServer&) = delete;

    // Clears the five channels and arms the timer.
    void Start();
    void Handle(std::uint8_t subtype, CANBuf* buf);

    // For checks: the state of a channel (0 idle, 1 segmented download, 2 block download,
    // 3 upload).
    std::int32_t ChannelState(int channel) const;

private:
    struct Channel {
        std::int32_t state = 0;
        std::uint16_t index = 0;
        std::uint8_t sub_index = 0;
        std::uint32_t size = 0;
        std::uint32_t block_remaining = 0;
        bool end = false;
        std::uint8_t toggle = 0;
        std::uint16_t response_base = 0;
        std::int32_t counter = -1;
        std::int32_t timeout_value = 0;
        std::uint8_t sequence = 0;
        std::uint8_t last_good = 0;
        std::uint8_t block_size = 0;
        std::uint8_t number = 0;
        // Block upload staging: bytes read from the dictionary but not yet sent. Room for six
        // staged bytes plus one whole fixed-size sub-entry (up to 7 bytes), so a read always
        // progresses.
        std::array<std::uint8_t, 14> staging{};
        std::size_t staging_fill = 0;
    };

    void HandleFrame(CANBuf* buf);
    void HandleTick(CANBuf* buf);
    void Idle(Channel& ch, CANBuf* buf);
    void SegmentedDownload(Channel& ch, CANBuf* buf);
    void BlockDownload(Channel& ch, CANBuf* buf);
    void Upload(Channel& ch, CANBuf* buf);
    // False when the object could not be read (the channel has aborted).
    bool SendBlock(Channel& ch, std::uint8_t first, std::uint8_t block_size);
    // Back to idle, the time-out stopped.
    void EndTransfer(Channel& ch);
    // A segment request the channel cannot take, because the own node is no longer ready or the
    // toggle is out of turn: ends the transfer with the code for the reason. True when refused.
    bool RefuseSegment(Channel& ch, PoolBuffer& buf, sdo::AbortCode not_ready, sdo::AbortCode toggle);
    // Any other request during a segmented transfer ends it: the client's abort quietly, anything
    // else with `unexpected`.
    void NotASegment(Channel& ch, PoolBuffer& buf, int ccs, sdo::AbortCode unexpected);
    void Answer(const Channel& ch, CANBuf* buf);
    void Abort(const Channel& ch, CANBuf* buf, sdo::AbortCode code);

    DictionaryAccess access_;
    SdoServerPort& port_;
    std::array<Channel, kChannels> channels_{};
};

}  // namespace klp
