#include "app/album_file.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "app/add_picture.h"
#include "app/album_file_format.h"
#include "app/device_family.h"
#include "app/file_replace.h"
#include "platform/kernel/sinks.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/core/update_scope.h"

namespace app {
namespace {

// Either way round: a screen's side, whichever family and orientation.
AlbumPictureBounds LargestScreen() {
    int side = 0;
    for (const TDeviceFamily& family : DeviceFamilies) {
        for (const TDeviceProperty& variant : family.Variants)
            side = std::max({side, int{variant.Width}, int{variant.Height}});
    }
    return {side, side};
}

}  // namespace

void SaveAlbum(const AlbumCards& cards, int family, const std::string& file_name) {
    HourglassScope hourglass;
    const std::vector<std::uint8_t> bytes = EncodeAlbumFile(static_cast<std::uint16_t>(family), PagesOf(cards));
    WriteFileReplacing(file_name, bytes.data(), bytes.size());
}

void OpenAlbum(AlbumCards& cards, int family, const std::string& file_name) {
    // An unopenable file leaves before anything changes. The file is read a record at a time:
    // only the pictures, never the whole file, are in memory.
    ui::TFileStream file(file_name, ui::fmOpenRead | ui::fmShareDenyWrite);
    HourglassScope hourglass;

    const AlbumFileHeader header = ReadAlbumFileHeader(file);
    if (header.family != family) {
        // Refused before anything changes: the album on screen stays.
        kernel::MessageBox(kIncompatibleAlbumText, kAlbumMessageCaption, kernel::kMbOk | kernel::kMbIconInformation);
        return;
    }

    // Everything is read and decoded first; the album changes only once the whole file is good.
    // One picture at a time is decoded at its own size: fitted, it takes no more than the screen.
    const AlbumPictureBounds bounds = LargestScreen();
    std::vector<std::string> captions;
    std::vector<std::unique_ptr<ui::TBitmap>> pictures;
    ui::TMemoryStream picture_data;
    for (std::size_t i = 0; i < header.count; ++i) {
        AlbumFileRecord record = ReadAlbumFileRecord(file, i, bounds);
        auto picture = std::make_unique<ui::TBitmap>();
        picture_data.Clear();
        picture_data.WriteBuffer(record.data.data(), static_cast<std::int64_t>(record.data.size()));
        std::vector<std::uint8_t>().swap(record.data);
        picture_data.SetPosition(0);
        picture->LoadFromStream(picture_data);
        // The device gets what the card shows: a picture made for another screen is fitted now.
        FitToScreen(*picture, family);
        captions.push_back(std::move(record.caption));
        pictures.push_back(std::move(picture));
    }
    RequireAlbumFileEnd(file);

    const int card_width = AlbumCardWidth(family);
    ui::WithinUpdate(cards, [&] {
        cards.Clear();
        for (std::size_t i = 0; i < captions.size(); ++i) {
            cards.SetCardWidth(card_width);
            ui::TBitmap* slot = cards.NewCard(captions[i], false);
            if (slot != nullptr) slot->Assign(pictures[i].get());
        }
    });
}

}  // namespace app
