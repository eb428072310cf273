#include "app/add_picture.h"

#include "app/device_family.h"
#include "imaging/bitmap32.h"

namespace app {

std::string CaptionFromFileName(const std::string& file_name) {
    const auto slash = file_name.rfind('/');
    std::string name = slash == std::string::npos ? file_name : file_name.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

void AddPicture(AlbumCards& cards, int family, const std::string& file_name, bool insert) {
    HourglassScope hourglass;
    const int W = ScreenWidth(family);
    const int H = ScreenHeight(family);

    imaging::TBitmap32 source;
    source.LoadFromFile(file_name);
    source.SetStretchFilter(imaging::TStretchFilter::sfLanczos);

    // New pixel memory is 0x00000000, so whatever the picture leaves uncovered stays black.
    imaging::TBitmap32 screen;
    screen.SetSize(W, H);
    screen.Draw(FitPictureRect(source.Width(), source.Height(), W, H), source.BoundsRect(), &source);

    ui::TBitmap* picture = cards.NewCard(CaptionFromFileName(file_name), insert);
    cards.SetCardWidth(W + 14);
    if (picture != nullptr) picture->Assign(&screen);
}

void AddPictures(AlbumCards& cards, int family, const std::vector<std::string>& file_names,
                 bool insert) {
    for (const std::string& file_name : file_names) AddPicture(cards, family, file_name, insert);
}

}  // namespace app
