#include "app/album_cards.h"

namespace app {

AlbumPages PagesOf(const AlbumCards& cards) {
    AlbumPages pages;
    pages.reserve(static_cast<std::size_t>(cards.Count()));
    for (int i = 0; i < cards.Count(); ++i) pages.push_back({cards.Caption(i), cards.Picture(i)});
    return pages;
}

}  // namespace app
