// The main window's card list as an album: the album commands read and fill it through this.
// The main window holds one beside its PicCardList and passes it to every command.
#pragma once

#include "app/album_cards.h"
#include "controls/cardlist/card_list.h"

namespace app {

class CardListAlbum : public AlbumCards {
public:
    explicit CardListAlbum(cardlist::TCustomFineCardList& list) : list_(list) {}

    int Count() const override;
    std::string Caption(int index) const override;
    const ui::TBitmap* Picture(int index) const override;
    void Clear() override;
    ui::TBitmap* NewCard(const std::string& caption, bool insert) override;
    void SetCardWidth(int width) override;
    void BeginUpdate() override;
    void EndUpdate() override;

private:
    cardlist::TCustomFineCardList& list_;
};

}  // namespace app
