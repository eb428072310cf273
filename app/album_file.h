// The album file commands (extension "ZRB"): saving the card list with its device family, and
// reading a file back into the card list. The byte layout is in album_file_format.h.
#pragma once

#include <string>

#include "app/album_cards.h"

namespace app {

inline constexpr const char* kIncompatibleAlbumText = "This file is not compatible to your selected device";
inline constexpr const char* kAlbumMessageCaption = "Varnhold QBK";

// Writes the album to `file_name` through a temporary file in the same folder renamed over the
// old one, so a failed save leaves the old file whole. Errors are the class library's file
// errors; nothing else changes.
void SaveAlbum(const AlbumCards& cards, int family, const std::string& file_name);

// Replaces the album by the file's. A file that cannot be opened, or whose header is unreadable,
// raises and leaves the album as it was. A file of another family shows kIncompatibleAlbumText
// in an information box and leaves the album as it was too. A damaged record or picture raises
// before the album is touched, so a file never half-loads. Every card gets the family's card
// width, and a picture of another size than the family's screen is fitted into it
// (FitToScreen). The cards are added inside one update of the card list.
void OpenAlbum(AlbumCards& cards, int family, const std::string& file_name);

}  // namespace app
