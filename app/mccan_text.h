// The device link's and the transfer commands' message texts, kept apart from the code so that
// they stay byte for byte what the user and the support staff know.
#pragma once

namespace app::text {

// A close that failed without a text of its own.
inline constexpr const char* kCloseFailed = "The CAN interface library could not be closed.";
// Any other call that failed without a text of its own.
inline constexpr const char* kLibraryFailed = "The CAN interface library failed.";
inline constexpr const char* kE0000 = "E0000: Communication Software not ready";
inline constexpr const char* kE0000Where = " (getDeviceIDs)";
inline constexpr const char* kE0001 =
    "E0001: System could not be set into idle mode. Power cycle system and try again!";
inline constexpr const char* kE0002 = "E0002: Enabling device software update failed";
inline constexpr const char* kE0003 = "E0003: Device software update failed";
inline constexpr const char* kE0004 = "E0004: Timeout reading device profile";
inline constexpr const char* kE0005 = "E0005: Getting own device ID failed";
inline constexpr const char* kE0011 = "E0011: DLL not found: ";
inline constexpr const char* kW0018 = "W0018: Timeout reading device hardware version";
inline constexpr const char* kW0019 = "W0019: Timeout reading device software version";
inline constexpr const char* kW0021 = "W0021: Timeout reading device profile version";
inline constexpr const char* kE0023 = "E0023: Initialization of communication interface failed";
inline constexpr const char* kE0068 = "E0068: Error reading data section of device";
inline constexpr const char* kSectionCountError = "Error reading data section count.";
inline constexpr const char* kChannelConflict =
    "A 2568 Handheld Programmer or another 2579 DXRB is already connected to the system!\r"
    "Please disconnect the other programming device before reconnecting.";
// A bound library lacking one of the functions the link needs.
inline constexpr const char* kMissingExport = "E0011: DLL function not found: ";

inline constexpr const char* kStillIdle = "System is still in idle mode. Please power cycle the system.";
inline constexpr const char* kNotFoundTail =
    " not found or connected device HW version not supported!\r\nPlease contact your dealer.";
inline constexpr const char* kOpenFailed =
    "Failed to open a CAN USB driver, or DLL not found, or no controller connected!\r\n";
inline constexpr const char* kDownloadFinished = "Download finished. Please power cycle the system.";
inline constexpr const char* kCaption = "Varnhold QBK";
inline constexpr const char* kPictureCaption = "Picture ";
// A device section whose sizes or offsets point past the bytes it holds.
inline constexpr const char* kMalformedSection = "E0068: Error reading data section of device (malformed section)";
inline constexpr const char* kMissingSection = "E0068: Error reading data section of device (no album section)";

}  // namespace app::text
