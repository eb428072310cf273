// An in-memory card list for the album commands.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/album_cards.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/graphics/bitmap.h"

namespace app::testing_support {

class FakeAlbum : public AlbumCards {
public:
    struct Card {
        std::string caption;
        std::unique_ptr<ui::TBitmap> picture;
    };

    int Count() const override { return static_cast<int>(cards.size()); }
    std::string Caption(int index) const override { return cards.at(static_cast<std::size_t>(index)).caption; }
    const ui::TBitmap* Picture(int index) const override {
        return cards.at(static_cast<std::size_t>(index)).picture.get();
    }
    void Clear() override {
        cards.clear();
        selected = -1;
    }
    ui::TBitmap* NewCard(const std::string& caption, bool insert) override {
        cursor_during_new_card = ui::Screen().Cursor();
        if (update_depth == 0) ++new_cards_outside_update;
        Card card{caption, std::make_unique<ui::TBitmap>()};
        ui::TBitmap* bitmap = card.picture.get();
        if (insert && selected >= 0) {
            cards.insert(cards.begin() + selected, std::move(card));
            ++selected;  // the selection stays on the card it was on
        } else {
            cards.push_back(std::move(card));
        }
        return bitmap;
    }
    void SetCardWidth(int width) override { card_width = width; }
    void BeginUpdate() override { ++update_depth; }
    void EndUpdate() override {
        if (--update_depth == 0) ++updates_closed;
    }

    std::vector<Card> cards;
    int selected = -1;
    int card_width = 500;
    ui::TCursor cursor_during_new_card = ui::crDefault;
    int update_depth = 0;
    int updates_closed = 0;  // outermost brackets closed
    int new_cards_outside_update = 0;
};

}  // namespace app::testing_support
