// What the album commands need of the window they serve: the card list seen as an album (cards
// in order, each with a caption and the bitmap of its "Picture" item). The main window
// implements it over its card list; tests use an in-memory one, so every command runs headless.
#pragma once

#include <string>

#include "app/album_page.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/graphics/bitmap.h"

namespace app {

class AlbumCards {
public:
    AlbumCards() = default;
    AlbumCards(const AlbumCards&) = delete;
    AlbumCards& operator=(const AlbumCards&) = delete;
    virtual ~AlbumCards() = default;

    virtual int Count() const = 0;
    virtual std::string Caption(int index) const = 0;
    // The bitmap of the card's "Picture" item, or nullptr when the card has no such item.
    virtual const ui::TBitmap* Picture(int index) const = 0;
    // Empties the card list.
    virtual void Clear() = 0;
    // A new card with `caption`: inserted before the selected card when `insert` is set and a
    // card is selected, else appended. Returns the bitmap of its "Picture" item (nullptr when
    // the template has none).
    virtual ui::TBitmap* NewCard(const std::string& caption, bool insert) = 0;
    // The card template's CardWidth.
    virtual void SetCardWidth(int width) = 0;
    // Brackets a run of card changes (ui::WithinUpdate): the card list lays out, sorts and
    // filters its cards once, when the outermost bracket closes, instead of after each new card.
    // An album with nothing to refresh keeps these empty.
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
};

// Shows the hourglass over the whole application for its lifetime; the default cursor comes
// back on every path, also when the command raises.
class HourglassScope {
public:
    HourglassScope() { ui::Screen().SetCursor(ui::crHourGlass); }
    ~HourglassScope() { ui::Screen().SetCursor(ui::crDefault); }
    HourglassScope(const HourglassScope&) = delete;
    HourglassScope& operator=(const HourglassScope&) = delete;
};

// The album's pages in card order (views into the cards). A card without a "Picture" item
// gives a page without a picture, which the writers refuse with a clear error.
AlbumPages PagesOf(const AlbumCards& cards);

}  // namespace app
