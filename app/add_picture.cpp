#include "app/add_picture.h"

#include <memory>

#include "app/device_family.h"
#include "imaging/bitmap32.h"
#include "imaging/scaled_pictures.h"
#include "platform/ui/core/update_scope.h"

namespace app {

namespace {

imaging::TFitRect FitInto(int W, int H) {
    return [W, H](int w, int h) { return FitPictureRect(w, h, W, H); };
}

void AddCard(AlbumCards& cards, int family, const std::string& file_name, const imaging::TBitmap32& screen,
             bool insert) {
    ui::TBitmap* picture = cards.NewCard(CaptionFromFileName(file_name), insert);
    cards.SetCardWidth(ScreenWidth(family) + 14);
    if (picture != nullptr) picture->Assign(&screen);
}

}  // namespace

std::string CaptionFromFileName(const std::string& file_name) {
    const auto slash = file_name.rfind('/');
    std::string name = slash == std::string::npos ? file_name : file_name.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

void AddPicture(AlbumCards& cards, int family, const std::string& file_name, bool insert,
                imaging::TContributorCache* weights) {
    HourglassScope hourglass;
    const int W = ScreenWidth(family);
    const int H = ScreenHeight(family);
    const std::unique_ptr<imaging::TBitmap32> screen =
        imaging::LoadScaledPicture(file_name, W, H, FitInto(W, H), weights);
    AddCard(cards, family, file_name, *screen, insert);
}

void FitToScreen(ui::TBitmap& picture, int family) {
    const int W = ScreenWidth(family);
    const int H = ScreenHeight(family);
    if (picture.Width() == W && picture.Height() == H) return;
    imaging::TBitmap32 source;
    source.Assign(&picture);
    source.SetStretchFilter(imaging::TStretchFilter::sfLanczos);
    imaging::TBitmap32 screen;
    screen.SetSize(W, H);
    screen.Draw(FitPictureRect(source.Width(), source.Height(), W, H), source.BoundsRect(), &source);
    picture.Assign(&screen);
}

void AddPictures(AlbumCards& cards, int family, const std::vector<std::string>& file_names, bool insert,
                 imaging::TContributorCache* weights) {
    HourglassScope hourglass;
    const int W = ScreenWidth(family);
    const int H = ScreenHeight(family);
    // The pictures are loaded side by side; the cards are made here, on this thread, in order,
    // and the card list lays them out once, at the end (also when a file fails).
    ui::WithinUpdate(cards, [&] {
        imaging::LoadScaledPictures(
            file_names, W, H, FitInto(W, H),
            [&](std::size_t i, std::unique_ptr<imaging::TBitmap32> screen) {
                AddCard(cards, family, file_names[i], *screen, insert);
            },
            weights);
    });
}

}  // namespace app
