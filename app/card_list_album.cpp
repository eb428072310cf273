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

// The list's bracket holds back its refresh; the collection's holds back the list's recount of
// its selected cards, which would otherwise walk every card for each new one.
void CardListAlbum::BeginUpdate() {
    list_.BeginUpdate();
    list_.Cards().BeginUpdate();
}

void CardListAlbum::EndUpdate() {
    try {
        list_.Cards().EndUpdate();
    } catch (...) {
        list_.EndUpdate();
        throw;
    }
    list_.EndUpdate();
}

}  // namespace app
