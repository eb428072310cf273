// The two album transfers over the bus: sending the album to the device of the selected family,
// and reading a device's album back. Both run one whole transfer on the device link and show
// their outcome through the caller's message functions, so they run with or without a window.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "app/album_page.h"
#include "app/album_payload.h"
#include "app/device_family.h"
#include "app/mccan_interface.h"

namespace app {

// How a transfer shows its outcome.
struct TransferUi {
    std::function<void(const std::string& text)> error_dialog;  // error icon, one OK button
    std::function<void(const std::string& text)> message;       // plain message box, OK button
    std::function<void(const std::string& text, const std::string& caption)> information;  // information icon
    // Shows the windows again after the last message box, before closing the link pauses the
    // thread; may be empty.
    std::function<void()> repaint;
};

// What an upload does to the card list. `add` appends one card with its caption and shows the
// JPEG picture; an exception it raises ends the upload like any other error.
struct UploadCards {
    std::function<void()> clear;
    std::function<void(const std::string& caption, std::span<const std::uint8_t> jpeg)> add;
};

struct MatchedNode {
    std::uint16_t node = 255;
    std::uint16_t profile = 0;
    const TDeviceProperty* variant = nullptr;
};

// The first listed node, then the first variant of `family`, whose profile and hardware revision
// fit. Raises ui::Exception when the system is idle or no node fits.
MatchedNode MatchNode(TMCCANInterface& link, int family);

// 2 for profile 0x0431 nodes running software 0x0123 or later, which read captions; else 1.
std::uint16_t PayloadVersionFor(std::uint16_t profile, std::uint16_t software_version);

void DownloadAlbum(TMCCANInterface& link, const AlbumPages& pages, int family, const TransferUi& ui,
                   const JpegEncoder& encode = EncodeJpeg85);

// The upload's receive buffer: the largest album section a device can hold.
inline constexpr std::size_t kUploadBufferSize = 0x110000;

// Raises what Open raises (the upload leaves open failures to the application's error report).
void UploadAlbum(TMCCANInterface& link, int family, const UploadCards& cards, const TransferUi& ui);

// Hands each card of an album section (index and entries) to `add`. A version above 2 adds
// nothing. Raises ui::Exception when an offset or size points past `section`; the cards before
// the bad entry have been added by then.
void ParseAlbumSection(std::span<const std::uint8_t> section, const UploadCards& cards);

}  // namespace app
