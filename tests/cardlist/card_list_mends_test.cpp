// Faults and deviations of the card list found when it was tried and read against its rules:
// one case each, every case on a fresh list laid out and painted by the list itself.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QMetaObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/cardlist/card_list.h"
#include "controls/cardlist/card_painting.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/graphics/bitmap.h"
#include "tests/cardlist/counted_object.h"
#include "tests/support/render.h"

namespace cardlist {
namespace {

using test_support::PixelAt;
using test_support::RenderControl;
using ui::TRect;

using testing::Counted;

// A list of `cards` cards (one item of height 20, white background) at 280 x 320.
std::unique_ptr<TFineCardList> MakeList(int cards, TFineCardItemDataType type = TFineCardItemDataType::idtString) {
    test_support::EnsureApplication();
    auto list = std::make_unique<TFineCardList>(nullptr);
    list->BeginUpdate();
    TFineCardTemplateItem* item = list->CardTemplate().Items().Add();
    item->SetAutoSize(false);
    item->SetHeight(20);
    item->SetDataType(type);
    for (int i = 0; i < cards; ++i) list->Cards().Add()->SetCaption("Card " + std::to_string(i));
    list->Color().SetColor(ui::clWhite);
    list->Color().SetColorTo(ui::clNone);
    list->CardNormalAppearance().Color().SetColor(ui::clWhite);
    list->EndUpdate();
    return list;
}

int HoveredCards(TFineCardList& list) {
    int n = 0;
    for (int i = 0; i < list.Cards().Count(); ++i) n += list.Cards().Items(i)->Hovered ? 1 : 0;
    return n;
}

// A picture of `w` x `h` in `fill` whose bottom-left pixel (the automatic transparency key)
// is `corner`.
void FillPicture(ui::TBitmap& pic, int w, int h, ui::TColor fill, ui::TColor corner) {
    pic.SetSize(w, h);
    pic.Canvas().Brush().SetColor(fill);
    pic.Canvas().FillRect(TRect{0, 0, w, h});
    pic.Canvas().SetPixels(0, h - 1, corner);
}

struct Mend {
    const char* name;
    std::function<void()> check;
};

TEST(CardListMends, EachFaultStaysMended) {
    const Mend mends[] = {
        {"removing a card before the hover card leaves no hover look behind",
         [] {
             auto list = MakeList(3);
             list->SetHoverCard(2);
             ASSERT_TRUE(list->Cards().Items(2)->Hovered);
             list->Cards().Delete(0);
             EXPECT_EQ(HoveredCards(*list), 0);
             EXPECT_EQ(list->HoverCardIndex(), -1);
         }},
        {"removing the hover card itself clears the hover index",
         [] {
             auto list = MakeList(3);
             list->SetHoverCard(1);
             delete list->Cards().Items(1);
             EXPECT_EQ(HoveredCards(*list), 0);
             EXPECT_EQ(list->HoverCardIndex(), -1);
         }},
        {"Assign turns the scroll bar with the copied ScrollBarType",
         [] {
             auto source = MakeList(2);
             source->SetScrollBarType(TScrollBarType::sbtVertical);
             auto target = MakeList(2);
             const int thickness = target->ScrollBar().Height();
             target->Assign(source.get());
             EXPECT_EQ(target->ScrollBarType(), TScrollBarType::sbtVertical);
             EXPECT_EQ(target->ScrollBar().Kind(), ui::TScrollBarKind::sbVertical);
             EXPECT_EQ(target->ScrollBar().Align(), ui::TAlign::alRight);
             EXPECT_EQ(target->ScrollBar().Width(), thickness);
         }},
        {"a classic progress bar with a negative value stays inside its rectangle",
         [] {
             ui::TBitmap bmp;
             bmp.SetSize(80, 40);
             bmp.Canvas().Brush().SetColor(ui::clWhite);
             bmp.Canvas().FillRect(TRect{0, 0, 80, 40});
             TProgressAppearance look;
             look.SetUnCompleteColor(ui::clBlue);
             const TRect rect{20, 10, 70, 30};
             CardPainter::DrawProgress(bmp.Canvas(), rect, -50, 100, 0, true, look);
             for (int y = 0; y < 40; ++y) {
                 for (int x = 0; x < 80; ++x) {
                     if (rect.Contains(ui::Point(x, y))) continue;
                     ASSERT_EQ(bmp.Canvas().Pixels(x, y), ui::clWhite) << x << "," << y;
                 }
             }
             EXPECT_EQ(bmp.Canvas().Pixels(25, 20), ui::clBlue);  // all of the bar is still to do
         }},
        {"ownership asked for before the object is attached frees it with the card",
         [] {
             int ends = 0;
             {
                 auto list = MakeList(1);
                 TFineCardItem* item = list->Cards().Items(0)->Items().Items(0);
                 item->SetOwnsItemObject(true);
                 item->SetItemObject(new Counted(ends));
                 EXPECT_TRUE(item->OwnsItemObject());
             }
             EXPECT_EQ(ends, 1);
         }},
        {"assigning from an item that only refers to the owned object frees it once",
         [] {
             int ends = 0;
             {
                 auto list = MakeList(2);
                 TFineCardItem* owner = list->Cards().Items(0)->Items().Items(0);
                 TFineCardItem* other = list->Cards().Items(1)->Items().Items(0);
                 auto* object = new Counted(ends);
                 owner->SetItemObject(object);
                 owner->SetOwnsItemObject(true);
                 other->SetItemObject(object);
                 owner->Assign(other);
                 EXPECT_EQ(ends, 0);
                 EXPECT_EQ(owner->ItemObject(), object);
                 EXPECT_EQ(other->ItemObject(), object);
             }
             EXPECT_EQ(ends, 1);
         }},
        {"a picture with alpha below 255 shows its colour in the widget",
         [] {
             auto list = MakeList(1, TFineCardItemDataType::idtImage);
             TFineCardItem* item = list->Cards().Items(0)->Items().Items(0);
             const TRect value = item->ValueClientRect;
             ui::TBitmap& pic = item->Picture().Bitmap();
             pic.SetPixelFormat(ui::TPixelFormat::pf32bit);
             pic.SetSize(8, 8);
             for (int y = 0; y < 8; ++y) {
                 std::uint8_t* row = pic.ScanLine(y);
                 for (int x = 0; x < 8; ++x) {
                     row[4 * x + 0] = 0x00;  // blue
                     row[4 * x + 1] = 0x00;  // green
                     row[4 * x + 2] = 0xFF;  // red
                     row[4 * x + 3] = 0x40;  // alpha
                 }
             }
             const QImage img = RenderControl(*list);
             EXPECT_EQ(PixelAt(img, value.Left + 2, value.Top + value.Height() / 2), ui::clRed);
         }},
        {"the caption picture is drawn from Images by the card's ImageIndex",
         [] {
             auto list = MakeList(2);
             ui::TImageList images(nullptr);
             images.SetSize(10, 10);
             ui::TBitmap green;
             FillPicture(green, 10, 10, ui::clLime, ui::clLime);
             images.Add(green);
             list->SetImages(&images);
             list->Cards().Items(0)->ImageIndex = 0;
             const QImage img = RenderControl(*list);
             for (int i = 0; i < 2; ++i) {
                 const TRect cap = list->Cards().Items(i)->CaptionClientRect;
                 const int inset = list->Cards().Items(i)->Appearance().CaptionBorderWidth() + 2;
                 const int top = cap.Top + std::max(0, (list->CardTemplate().CardCaptionHeight() - 10) / 2);
                 EXPECT_EQ(PixelAt(img, cap.Left + inset + 5, top + 5) == ui::clLime, i == 0) << i;
             }
             list->SetImages(nullptr);
         }},
        {"TransparentImage leaves stretched and uncut pictures plain",
         [] {
             for (TFineCardImageSize size : {TFineCardImageSize::isStretched, TFineCardImageSize::isOriginal}) {
                 auto list = MakeList(1, TFineCardItemDataType::idtImage);
                 TFineCardTemplateItem* ti = list->CardTemplate().Items().Items(0);
                 ti->SetTransparentImage(true);
                 ti->SetImageSize(size);
                 ti->SetValueAlignment(TAlignment::taLeftJustify);
                 ti->SetValueLayout(TTextLayout::tlBottom);
                 TFineCardItem* item = list->Cards().Items(0)->Items().Items(0);
                 const TRect value = item->ValueClientRect;
                 FillPicture(item->Picture().Bitmap(), 8, 8, ui::clBlue, ui::clRed);
                 const QImage img = RenderControl(*list);
                 EXPECT_EQ(PixelAt(img, value.Left, value.Bottom - 1), ui::clRed) << static_cast<int>(size);
             }
         }},
        {"inserting before the selected card keeps SelectedCardIndex",
         [] {
             auto list = MakeList(3);
             list->SelectCardIndex(1);
             TFineCard* selected = list->SelectedCard();
             list->Cards().Insert(0);
             EXPECT_EQ(list->SelectedCardIndex(), 1);
             EXPECT_EQ(list->SelectedCard(), selected);
         }},
        {"removing a card keeps a scrolled list where it was",
         [] {
             auto list = MakeList(20);
             ASSERT_GE(list->LayoutState().column_count, 5);
             list->ScrollBar().UserScroll(ui::TScrollCode::scPosition, 3);
             ASSERT_EQ(list->LayoutState().first_column, 3);
             const int first_in_view = list->ViewCards().front();
             list->Cards().Delete(list->Cards().Count() - 1);
             EXPECT_EQ(list->LayoutState().first_column, 3);
             EXPECT_EQ(list->ViewCards().front(), first_in_view);
             // A card before the view moves the view's indexes down with it: the same card
             // still opens the view.
             TFineCard* anchor = list->Cards().Items(first_in_view);
             list->Cards().Delete(0);
             EXPECT_EQ(anchor->ListRect.Left, list->CardHorSpacing());
             EXPECT_GT(list->LayoutState().first_column, 1);
         }},
        {"removing a card keeps a list scrolled by rows where it was, within the new range",
         [] {
             auto list = MakeList(20);
             list->SetScrollBarType(TScrollBarType::sbtVertical);
             ASSERT_TRUE(list->ScrollBar().Visible());
             const int last_row = list->ScrollBar().Max();
             ASSERT_GE(last_row, 8);
             list->ScrollBar().UserScroll(ui::TScrollCode::scPosition, 5);
             ASSERT_EQ(list->LayoutState().first_row, 5);
             const int top = list->Cards().Items(list->ViewCards().front())->ListRect.Top;
             // The selected card in view goes, as Delete Photo removes it.
             list->SelectCardIndex(list->ViewCards().front());
             delete list->SelectedCard();
             EXPECT_EQ(list->LayoutState().first_row, 5);
             EXPECT_EQ(list->ScrollBar().Position(), 5);
             EXPECT_EQ(list->Cards().Items(list->ViewCards().front())->ListRect.Top, top);
             // At the end of the list the view keeps to the last row that can open it.
             list->ScrollBar().UserScroll(ui::TScrollCode::scPosition, list->ScrollBar().Max());
             const int end = list->LayoutState().first_row;
             list->Cards().Delete(list->Cards().Count() - 1);
             EXPECT_EQ(list->LayoutState().first_row, std::min(end, list->ScrollBar().Max()));
             EXPECT_GT(list->LayoutState().first_row, 1);
             EXPECT_EQ(list->ScrollBar().Position(), list->LayoutState().first_row);
             // An emptied list starts again from the top.
             list->Cards().Clear();
             for (int i = 0; i < 20; ++i) list->Cards().Add()->SetCaption("New " + std::to_string(i));
             EXPECT_EQ(list->LayoutState().first_row, 1);
         }},
        {"a list freed by an event its delayed loading lets run is not touched again",
         [] {
             std::unique_ptr<TFineCardList> list = MakeList(3);
             ASSERT_EQ(list->ViewCards().size(), 3u);
             list->SetDelayedCardLoad(true);
             std::vector<std::string> loaded;
             list->OnDelayedCardLoad = [&](TCustomFineCardList*, TFineCard* card) {
                 loaded.push_back(card->Caption());
                 // As a window closed meanwhile would: the next events free the list.
                 QMetaObject::invokeMethod(
                     qApp, [&] { list.reset(); }, Qt::QueuedConnection);
             };
             list->DelayedLoadTimer().Tick();
             EXPECT_EQ(list, nullptr);
             EXPECT_EQ(loaded, std::vector<std::string>{"Card 0"});
         }},
    };
    for (const Mend& m : mends) {
        SCOPED_TRACE(m.name);
        m.check();
    }
}

}  // namespace
}  // namespace cardlist
