// Turning picture files into album cards: each picture is scaled with the Lanczos filter into
// the family's screen (see FitPictureRect) on a black, fully transparent background. Pictures of
// an album file made for another screen are fitted the same way.
#pragma once

#include <string>
#include <vector>

#include "app/album_cards.h"
#include "imaging/contributor_cache.h"

namespace app {

// "beach.day" for "/pics/beach.day.jpg": the text after the last "/" without its extension.
std::string CaptionFromFileName(const std::string& file_name);

// Loads one picture file (any format the class library reads) and adds it as a card, inserted
// before the selected card when `insert` is set. An unreadable file raises the class library's
// error with the cursor restored and no card added. `weights` keeps the scaling's filter weights
// for the next pictures of the same size.
void AddPicture(AlbumCards& cards, int family, const std::string& file_name, bool insert,
                imaging::TContributorCache* weights = nullptr);

// A picture of another size than the family's screen (an album made for another screen, or
// crafted) scaled into the screen as AddPicture scales a picture file: Lanczos into
// FitPictureRect on a black, fully transparent background, 32 bits per pixel. A picture of the
// screen's size stays as it is.
void FitToScreen(ui::TBitmap& picture, int family);

// AddPicture for each file in order, with the hourglass shown throughout: the pictures are
// loaded and scaled on every core, the cards made on the calling thread. The first file that
// cannot be loaded ends the command: the cards of the files before it are added, its error
// passes on, and no later file is added.
void AddPictures(AlbumCards& cards, int family, const std::vector<std::string>& file_names, bool insert,
                 imaging::TContributorCache* weights = nullptr);

}  // namespace app
