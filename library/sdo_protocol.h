// The service-data protocol as this bus speaks it: COB-ID bases, command bytes and abort codes,
// shared by the library's client and server and by the simulated display nodes, so that both
// sides of every transfer read the same names.
//
// Byte 0 of every frame carries the command: its top three bits are the command specifier (ccs
// from a client, scs from a server), the low bits its flags. Block segments are the exception:
// byte 0 is the sequence number (1..127) with bit 7 set on the last segment.
#pragma once

#include <cstdint>

namespace sdo {

// COB-IDs, + node id: requests of a client to the node's main channel, and the node's answers.
inline constexpr std::uint16_t kRequestBase = 0x7A0;
inline constexpr std::uint16_t kResponseBase = 0x780;

// The software-update unlock: this value written to the object makes a node that refused block
// transfers accept them again (and the library's client try them again).
inline constexpr std::uint16_t kUnlockIndex = 0x1018;
inline constexpr std::uint32_t kUnlockValue = 0x5E17A0C4;

inline constexpr int kSegmentBytes = 7;             // data bytes of a segment
inline constexpr std::uint8_t kMaxBlockSize = 127;  // sequence numbers have 7 bits

constexpr int CommandSpecifier(std::uint8_t command) { return command >> 5; }

// Command specifiers of a client's request.
namespace ccs {
inline constexpr int kDownloadSegment = 0;
inline constexpr int kInitiateDownload = 1;
inline constexpr int kInitiateUpload = 2;
inline constexpr int kUploadSegment = 3;
inline constexpr int kAbort = 4;
inline constexpr int kBlockUpload = 5;
inline constexpr int kBlockDownload = 6;
}  // namespace ccs

// Command specifiers of a server's answer.
namespace scs {
inline constexpr int kUploadSegment = 0;
inline constexpr int kDownloadSegment = 1;
inline constexpr int kInitiateUpload = 2;
inline constexpr int kInitiateDownload = 3;
inline constexpr int kAbort = 4;
inline constexpr int kBlockDownload = 5;
inline constexpr int kBlockUpload = 6;
inline constexpr int kReserved = 7;
}  // namespace scs

// Whole command bytes and the flags inside them.
namespace cmd {
inline constexpr std::uint8_t kAbort = 0x80;

// Initiate download (client) and its flags; the expedited size bits say how many of the four
// data bytes are unused.
inline constexpr std::uint8_t kInitiateDownload = 0x20;
inline constexpr std::uint8_t kSizeIndicated = 0x01;
inline constexpr std::uint8_t kExpedited = 0x02;
inline constexpr std::uint8_t kInitiateDownloadExpedited = kInitiateDownload | kExpedited | kSizeIndicated;  // 0x23
inline constexpr std::uint8_t kInitiateDownloadResponse = 0x60;

// Initiate upload (client) and the server's two answers to it.
inline constexpr std::uint8_t kInitiateUpload = 0x40;
inline constexpr std::uint8_t kInitiateUploadSegmented = 0x41;  // size in bytes 4..7
inline constexpr std::uint8_t kInitiateUploadExpedited = 0x43;  // data in bytes 4..7

// Segments: the toggle alternates from 0 with every segment of a transfer; the last one of a
// segmented transfer carries the end flag and the count of unused data bytes.
inline constexpr std::uint8_t kToggle = 0x10;
inline constexpr std::uint8_t kLastSegment = 0x01;
inline constexpr std::uint8_t kUploadSegmentRequest = 0x60;     // | toggle
inline constexpr std::uint8_t kDownloadSegmentResponse = 0x20;  // | toggle

// Block transfers, without CRC. The low two bits of a block command are its subcommand.
inline constexpr std::uint8_t kBlockSubcommand = 0x03;
inline constexpr std::uint8_t kBlockInitiate = 0;
inline constexpr std::uint8_t kBlockEnd = 1;
inline constexpr std::uint8_t kBlockConfirmation = 2;
inline constexpr std::uint8_t kBlockStart = 3;
inline constexpr std::uint8_t kBlockSizeIndicated = 0x02;
inline constexpr std::uint8_t kBlockDownloadInitiate = 0xC2;          // client, size indicated
inline constexpr std::uint8_t kBlockUploadInitiateResponse = 0xC2;    // server, size indicated
inline constexpr std::uint8_t kBlockUploadInitiate = 0xA0;            // client
inline constexpr std::uint8_t kBlockDownloadInitiateResponse = 0xA0;  // server
inline constexpr std::uint8_t kBlockUploadStart = 0xA3;               // client
inline constexpr std::uint8_t kBlockConfirm = 0xA2;  // either side: last good sequence, next block size
inline constexpr std::uint8_t kLastBlockSegment = 0x80;
inline constexpr std::uint8_t kSequenceMask = 0x7F;
}  // namespace cmd

// Data bytes an expedited frame carries (1..4) and the flags that say so.
constexpr int ExpeditedSize(std::uint8_t command) { return 4 - ((command >> 2) & 3); }
constexpr std::uint8_t ExpeditedSizeBits(std::uint32_t size) {
    return static_cast<std::uint8_t>(((4 - size) & 3) << 2);
}
// Data bytes of a segment (0..7) and the flags that say so.
constexpr int SegmentSize(std::uint8_t command) { return kSegmentBytes - ((command >> 1) & 7); }
constexpr std::uint8_t SegmentSizeBits(std::uint32_t size) { return static_cast<std::uint8_t>(((7 - size) & 7) << 1); }

// Abort codes, little-endian in bytes 4..7 of an abort frame. The library's client and server
// speak the device family's dialect, whose table gives some codes another meaning than the
// standard list the simulated nodes follow; each group below is one side's table, so a value
// may appear under two names.
enum class AbortCode : std::uint32_t {
    kNone = 0,

    // Sent by the library's client.
    kDownloadUnexpected = 0x05020001,  // a segment or upload answer to a download initiation
    kUploadUnexpected = 0x05020003,    // a download answer to an upload initiation
    kTooLarge = 0x06010000,            // the object's announced size exceeds the caller's room
    kBeyondArea = 0x04000000,          // a segment that does not fit the caller's room
    kBadSequence = 0x05010002,         // a block segment out of order
    kBadLastSequence = 0x05010001,     // the last block segment out of order
    kIncomplete = 0x08000000,          // a last segment while more data was announced
    kNoBlockUpload = 0x06000003,       // a server refusing block uploads for good

    // Sent by the library's server.
    kToggleUpload = 0x05040001,
    kUnexpectedInUpload = 0x05040002,
    kToggleDownload = 0x05040003,
    kUnexpectedInDownload = 0x05040004,
    kChannelTimeout = 0x05040005,
    kCommandNotHandled = 0x05040000,
    kDownloadWithoutSize = 0x05030000,
    kBadBlockUploadCommand = 0x05010000,
    kBlockUploadWrongAck = 0x05020001,
    kDownloadRefused = 0x06020000,
    kExpeditedDownloadRefused = 0x06020001,
    kNoObject = 0x06020002,
    kBlockDownloadRefused = 0x06000000,
    kNotReadyDownloadSegment = 0x08000013,
    kNotReadyUploadSegment = 0x08000014,
    kNotReadyUploadInitiate = 0x08000015,
    kNotReadyDownloadInitiate = 0x08000016,
    kGeneralError = 0x08000000,  // not in the server's own table: an object short of its size

    // Sent by the simulated display nodes (the standard meanings).
    kToggleNotAlternated = 0x05030000,
    kCommandInvalid = 0x05040001,
    kInvalidBlockSize = 0x05040002,
    kInvalidSequence = 0x05040003,
    kWriteOnly = 0x06010001,
    kReadOnly = 0x06010002,
    kObjectMissing = 0x06020000,
    kLengthMismatch = 0x06070010,
    kNoData = 0x08000024,

    // Refusals of block transfers on which the library's client falls back to the plain forms.
    kFallBackIdle = 0x05020000,
    kFallBackCommand = 0x05040000,
    kFallBackBlocksOff = 0x06000002,
};

constexpr std::uint32_t Value(AbortCode code) { return static_cast<std::uint32_t>(code); }

// Whether a refused block initiation makes the library's client switch to the plain forms.
constexpr bool IsFallBackCode(std::uint32_t code) {
    return code == Value(AbortCode::kFallBackIdle) || code == Value(AbortCode::kFallBackCommand) ||
           code == Value(AbortCode::kFallBackBlocksOff);
}

}  // namespace sdo
