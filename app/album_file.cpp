#include "app/album_file.h"

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

void SaveAlbum(const AlbumCards& cards, int family, const std::string& file_name) {
    HourglassScope hourglass;
    const std::vector<std::uint8_t> bytes = EncodeAlbumFile(static_cast<std::uint16_t>(family), PagesOf(cards));
    WriteFileReplacing(file_name, bytes.data(), bytes.size());
}

void OpenAlbum(AlbumCards& cards, int family, const std::string& file_name) {
    ui::TMemoryStream file;
    {
        // An unopenable file leaves before anything changes.
        ui::TFileStream in(file_name, ui::fmOpenRead | ui::fmShareDenyWrite);
        file.LoadFromStream(in);
    }
    HourglassScope hourglass;
    const auto* data = file.Memory();
    const auto size = static_cast<std::size_t>(file.Size());

    const AlbumFileHeader header = ReadAlbumFileHeader(data, size);
    if (header.family != family) {
        // Refused before anything changes: the album on screen stays.
        kernel::MessageBox(kIncompatibleAlbumText, kAlbumMessageCaption, kernel::kMbOk | kernel::kMbIconInformation);
        return;
    }

    // Everything is read and decoded first; the album changes only once the whole file is good.
    const std::vector<AlbumFileRecord> records = ReadAlbumFileRecords(data, size, header);
    std::vector<std::unique_ptr<ui::TBitmap>> pictures;
    pictures.reserve(records.size());
    ui::TMemoryStream picture_data;
    for (const AlbumFileRecord& record : records) {
        auto picture = std::make_unique<ui::TBitmap>();
        picture_data.Clear();
        picture_data.WriteBuffer(record.data, static_cast<std::int64_t>(record.size));
        picture_data.SetPosition(0);
        picture->LoadFromStream(picture_data);
        // The device gets what the card shows: a picture made for another screen is fitted now.
        FitToScreen(*picture, family);
        pictures.push_back(std::move(picture));
    }

    const int card_width = AlbumCardWidth(family);
    ui::WithinUpdate(cards, [&] {
        cards.Clear();
        for (std::size_t i = 0; i < records.size(); ++i) {
            cards.SetCardWidth(card_width);
            ui::TBitmap* slot = cards.NewCard(records[i].caption, false);
            if (slot != nullptr) slot->Assign(pictures[i].get());
        }
    });
}

}  // namespace app
