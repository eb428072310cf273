#include "app/album_transfer.h"

#include <chrono>
#include <vector>

#include "app/album_cards.h"
#include "app/mccan_text.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/core/sysutils.h"

namespace app {

namespace {

using namespace std::chrono_literals;

constexpr std::uint16_t kAlbumSectionType = 6;

// Every transfer that opened the link closes it, whatever happens after the open. The command
// closes it itself so that a failing close reaches the user; the destructor only closes a link
// left open by an escaping error, and never throws.
class CloseOnExit {
public:
    explicit CloseOnExit(TMCCANInterface& link) : link_(link) {}
    ~CloseOnExit() { link_.CloseQuietly(); }
    CloseOnExit(const CloseOnExit&) = delete;
    CloseOnExit& operator=(const CloseOnExit&) = delete;

    // Closes now; a failure is shown as the transfer's other errors are.
    void Close(const TransferUi& ui) {
        if (ui.repaint) ui.repaint();
        try {
            link_.Close();
        } catch (const ui::Exception& error) {
            ui.message(error.what());
        }
    }

private:
    TMCCANInterface& link_;
};

std::uint32_t Get32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t Get16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

[[noreturn]] void Malformed() { throw ui::Exception(text::kMalformedSection); }

}  // namespace

MatchedNode MatchNode(TMCCANInterface& link, int family) {
    const TDeviceFamily& devices = DeviceFamilyAt(family);
    if (link.IsIdle()) throw ui::Exception(text::kStillIdle);
    NodeArray ids{}, profiles{};
    const std::uint8_t count = link.getDeviceIDs(ids, profiles);
    for (std::uint8_t i = 0; i < count; ++i) {
        const auto revision =
            static_cast<std::uint8_t>(link.ReadHardwareVersion(static_cast<std::uint8_t>(ids[i])) >> 8);
        for (std::uint8_t v = 0; v < devices.Count; ++v) {
            const TDeviceProperty& variant = devices.Variants[v];
            if (profiles[i] == variant.NodeType && variant.MinHardware <= revision && revision <= variant.MaxHardware) {
                return MatchedNode{ids[i], profiles[i], &variant};
            }
        }
    }
    throw ui::Exception(std::string(devices.Variants[0].Name) + text::kNotFoundTail);
}

std::uint16_t PayloadVersionFor(std::uint16_t profile, std::uint16_t software_version) {
    return profile == 0x0431 && software_version >= 0x0123 ? 2 : 1;
}

void DownloadAlbum(TMCCANInterface& link, const AlbumPages& pages, int family, const TransferUi& ui,
                   const JpegEncoder& encode) {
    ui::TMemoryStream send;
    const HourglassScope hourglass;
    try {
        link.Open();
    } catch (const ui::Exception& error) {
        ui.error_dialog(std::string(text::kOpenFailed) + error.what());
        return;
    }
    // Declared before the handler so that the link is closed after the final message too.
    CloseOnExit close(link);
    try {
        const MatchedNode match = MatchNode(link, family);
        const auto node = static_cast<std::uint8_t>(match.node);
        const std::uint16_t version = PayloadVersionFor(match.profile, link.ReadSoftwareVersion(node));
        // Building first: an album too large for the device fails before the system is touched.
        if (IsV2Family(family)) {
            BuildTransferBlockV2(pages, family, *match.variant, version, send, encode);
        } else {
            BuildAlbumPayload(pages, family, *match.variant, version, send, encode);
        }
        link.SetIdle();
        link.Wait(500ms);
        link.UnlockSoftwareUpdate(node);
        link.Wait(200ms);
        link.DownloadSoftware(node, send.Memory(), static_cast<std::int32_t>(send.Size()));
        ui.information(text::kDownloadFinished, text::kCaption);
    } catch (const ui::Exception& error) {
        ui.message(error.what());
    }
    close.Close(ui);
}

void UploadAlbum(TMCCANInterface& link, int family, const UploadCards& cards, const TransferUi& ui) {
    // Zero-filled, so nothing of an earlier use can be parsed as an album.
    std::vector<std::uint8_t> receive(kUploadBufferSize, 0);
    const HourglassScope hourglass;
    cards.clear();
    link.Open();
    CloseOnExit close(link);
    try {
        const MatchedNode match = MatchNode(link, family);
        std::uint8_t value = 0;
        const std::uint32_t size = link.ReadSectionByType(match.node, kAlbumSectionType, value, receive);
        if (size == 0) throw ui::Exception(text::kMissingSection);
        ParseAlbumSection(std::span<const std::uint8_t>(receive.data(), size), cards);
    } catch (const ui::Exception& error) {
        ui.message(error.what());
    }
    close.Close(ui);
}

void ParseAlbumSection(std::span<const std::uint8_t> section, const UploadCards& cards) {
    if (section.size() < 2) Malformed();
    const std::uint16_t version = Get16(section, 0);
    if (version > 2) return;
    if (section.size() < 4) Malformed();
    const std::uint16_t count = Get16(section, 2);
    const std::size_t index_end = 4 + 4 * static_cast<std::size_t>(count);
    if (index_end > section.size()) Malformed();
    std::uint64_t offset = index_end;
    for (std::uint16_t k = 0; k < count; ++k) {
        const std::uint32_t entry_size = Get32(section, 4 + 4 * static_cast<std::size_t>(k));
        if (offset + entry_size > section.size()) Malformed();
        auto entry = section.subspan(static_cast<std::size_t>(offset), entry_size);
        offset += entry_size;
        std::string caption;
        if (version == 2) {
            if (entry.size() < 2) Malformed();
            const std::uint16_t length = Get16(entry, 0);
            if (2u + length > entry.size()) Malformed();
            caption = ui::Cp1252ToUtf8(std::string(entry.begin() + 2, entry.begin() + 2 + length));
            entry = entry.subspan(2u + length);
        } else {
            caption = text::kPictureCaption + std::to_string(k + 1);
        }
        cards.add(caption, entry);
    }
}

}  // namespace app
