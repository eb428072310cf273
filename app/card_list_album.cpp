#include "app/card_list_album.h"

namespace app {
namespace {

constexpr const char* kPictureItem = "Picture";

}  // namespace

int CardListAlbum::Count() const { return list_.Cards().Count(); }

std::string CardListAlbum::Caption(int index) const { return list_.Cards().Items(index)->Caption(); }

const ui::TBitmap* CardListAlbum::Picture(int index) const {
    cardlist::TFineCardItem* item = list_.Cards().Items(index)->Items().ItemByName(kPictureItem);
    // Taken "as a bitmap": a picture that holds another graphic becomes an empty bitmap, as the
    // class library always did.
    return item == nullptr ? nullptr : &item->Picture().Bitmap();
}

void CardListAlbum::Clear() { list_.Cards().Clear(); }

ui::TBitmap* CardListAlbum::NewCard(const std::string& caption, bool insert) {
    cardlist::TFineCard* selected = insert ? list_.SelectedCard() : nullptr;
    cardlist::TFineCard* card = selected != nullptr ? list_.Cards().Insert(selected->Index()) : list_.Cards().Add();
    card->SetCaption(caption);
    cardlist::TFineCardItem* item = card->Items().ItemByName(kPictureItem);
    return item == nullptr ? nullptr : &item->Picture().Bitmap();
}

void CardListAlbum::SetCardWidth(int width) { list_.CardTemplate().SetCardWidth(width); }

}  // namespace app
