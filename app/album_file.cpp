#include "app/album_file.h"

#include <memory>
#include <vector>

#include "app/album_file_format.h"
#include "app/device_family.h"
#include "app/file_replace.h"
#include "platform/kernel/sinks.h"
#include "platform/ui/core/streams.h"

namespace app {

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
        // Users know this: the album is gone and the message explains why.
        cards.Clear();
        kernel::MessageBox(kIncompatibleAlbumText, kAlbumMessageCaption, kernel::kMbOk | kernel::kMbIconInformation);
        return;
    }

    // Everything is read and decoded first; the album changes only once the whole file is good.
    const AlbumPictureBounds bounds{ScreenWidth(family), ScreenHeight(family)};
    std::vector<AlbumFileRecord> records;
    std::vector<std::unique_ptr<ui::TBitmap>> pictures;
    ui::TMemoryStream picture_data;
    for (std::size_t i = 0; i < header.count; ++i) {
        AlbumFileRecord record = ReadAlbumFileRecord(file, i, bounds);
        auto picture = std::make_unique<ui::TBitmap>();
        // No data is an empty picture; the program never writes one, but it is no error.
        if (!record.data.empty()) {
            picture_data.Clear();
            picture_data.WriteBuffer(record.data.data(), static_cast<std::int64_t>(record.data.size()));
            picture_data.SetPosition(0);
            picture->LoadFromStream(picture_data);
            // Decoded: the file's bytes of it are no longer needed.
            std::vector<std::uint8_t>().swap(record.data);
        }
        records.push_back(std::move(record));
        pictures.push_back(std::move(picture));
    }

    cards.Clear();
    const int card_width = AlbumCardWidth(family);
    for (std::size_t i = 0; i < records.size(); ++i) {
        cards.SetCardWidth(card_width);
        ui::TBitmap* slot = cards.NewCard(records[i].caption, false);
        if (slot != nullptr) slot->Assign(pictures[i].get());
    }
}

}  // namespace app
