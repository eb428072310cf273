// The card list in a form designer: made on a designing form it shows four sample cards in the
// look of each card state, put on the form with an empty template it gets a "DefaultItem" row,
// and it paints the rows a designer needs to see and the focus frame on the first of them.
#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <string>
#include <vector>

#include "controls/cardlist/card_list.h"
#include "platform/ui/graphics/colors.h"
#include "tests/cardlist/card_list_fixture.h"
#include "tests/support/render.h"

namespace cardlist {
namespace {

using test_support::PixelAt;
using test_support::RenderControl;
using ui::TRect;

// A form as a designer holds it: the list is made on it and then put on it.
class DesignedList : public ::testing::Test, private testing::ApplicationReady {
protected:
    DesignedList() { form.SetBounds(0, 0, 600, 400); }

    // A list made on the form (designing or not), then put on it.
    TFineCardList& Make(bool designing, bool loading = false) {
        form.SetDesigning(designing);
        list = std::make_unique<TFineCardList>(&form);
        if (loading) list->BeginLoading();
        list->SetParent(&form);
        if (loading) list->EndLoading();
        return *list;
    }

    ui::TCustomControl form{nullptr};
    std::unique_ptr<TFineCardList> list;
};

// The pixels in `r` darker than mid-grey: the text drawn there.
int DarkPixels(const QImage& image, const TRect& r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y) {
        for (int x = r.Left; x < r.Right; ++x) {
            const QRgb p = image.pixel(x, y);
            n += qRed(p) < 0x80 && qGreen(p) < 0x80 && qBlue(p) < 0x80 ? 1 : 0;
        }
    }
    return n;
}

TEST_F(DesignedList, ShowsFourSampleCardsInTheLookOfEachState) {
    TFineCardList& designed = Make(true);
    ASSERT_EQ(designed.Cards().Count(), 4);
    const TFineCardAppearance* looks[] = {&designed.CardNormalAppearance(), &designed.CardHoverAppearance(),
                                          &designed.CardSelectedAppearance(), &designed.CardEditingAppearance()};
    const char* captions[] = {"Normal", "Hover", "Selected", "Editing"};
    const QImage image = RenderControl(designed);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(captions[i]);
        TFineCard& card = *designed.Cards().Items(i);
        EXPECT_EQ(card.Caption(), captions[i]);
        EXPECT_FALSE(card.Selected());
        const TFineCardAppearance& look = *looks[i];
        EXPECT_EQ(card.Appearance().CaptionColor().Color(), look.CaptionColor().Color());
        EXPECT_EQ(card.Appearance().Color().Color(), look.Color().Color());
        EXPECT_EQ(card.Appearance().BorderColor(), look.BorderColor());
        // Drawn in that look: the caption's and the body's colours, the frame's outside the card.
        const TRect bounds = card.ListRect;
        const TRect caption = card.CaptionClientRect;
        EXPECT_EQ(PixelAt(image, caption.Right - 3, caption.Top + 3), ui::ColorToRGB(look.CaptionColor().Color()));
        EXPECT_EQ(PixelAt(image, bounds.Left + 3, bounds.Bottom - 3), ui::ColorToRGB(look.Color().Color()));
        const ui::TColor frame = PixelAt(image, bounds.Left - 1, (bounds.Top + bounds.Bottom) / 2);
        if (look.BorderColor() != ui::clNone) {
            EXPECT_EQ(frame, ui::ColorToRGB(look.BorderColor()));
        }
    }

    // Made at run time, the list starts empty.
    EXPECT_EQ(Make(false).Cards().Count(), 0);
}

TEST_F(DesignedList, PutOnTheFormWithAnEmptyTemplateItGetsTheDefaultItemRow) {
    struct Case {
        const char* name;
        bool designing;
        bool loading;
        bool has_row;  // the template has a row before the list is put on the form
        std::vector<std::string> captions;
        int rows_when_moved;  // after the list is put on the form again, out of loading
    };
    const Case cases[] = {
        {"in a designer", true, false, false, {"DefaultItem"}, 1},
        {"in a designer, with a row of its own", true, false, true, {"Own"}, 1},
        {"in a designer, while the form loads", true, true, false, {}, 1},
        {"at run time", false, false, false, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.SetDesigning(c.designing);
        list = std::make_unique<TFineCardList>(&form);
        if (c.has_row) list->CardTemplate().Items().Add()->SetCaption("Own");
        if (c.loading) list->BeginLoading();
        list->SetParent(&form);
        if (c.loading) list->EndLoading();
        std::vector<std::string> captions;
        for (int i = 0; i < list->CardTemplate().Items().Count(); ++i)
            captions.push_back(list->CardTemplate().Items().Items(i)->Caption());
        EXPECT_EQ(captions, c.captions);
        // Every card has the template's rows.
        for (int i = 0; i < list->Cards().Count(); ++i)
            EXPECT_EQ(list->Cards().Items(i)->Items().Count(), static_cast<int>(c.captions.size())) << i;
        // Its window made again later, a designed list has its one row, never a second.
        list->SetParent(nullptr);
        list->SetParent(&form);
        EXPECT_EQ(list->CardTemplate().Items().Count(), c.rows_when_moved);
    }
}

// A row without caption or value shows "[Item caption]" and "[Item value]" in a designer, also
// when it is drawn by the program at run time (custom drawn) or shows a rating; at run time the
// same rows show nothing there.
TEST_F(DesignedList, RowsWithoutCaptionOrValueShowPlaceholdersOnlyInADesigner) {
    enum class Row { Plain, CustomDrawn, Rating };
    for (const Row kind : {Row::Plain, Row::CustomDrawn, Row::Rating}) {
        SCOPED_TRACE(static_cast<int>(kind));
        TFineCardList& designed = Make(true);
        ASSERT_EQ(designed.CardTemplate().Items().Count(), 1);
        TFineCardTemplateItem& row = *designed.CardTemplate().Items().Items(0);
        row.SetCaption("");
        row.SetCustomDraw(kind == Row::CustomDrawn);
        if (kind == Row::Rating) row.SetItemEditor(TFineCardItemEditor::ieRating);
        const TFineCardItem& item = *designed.Cards().Items(0)->Items().Items(0);
        ASSERT_FALSE(item.LabelClientRect.IsEmpty());
        ASSERT_FALSE(item.ValueClientRect.IsEmpty());
        const QImage at_design_time = RenderControl(designed);
        EXPECT_GT(DarkPixels(at_design_time, item.LabelClientRect), 0);
        EXPECT_GT(DarkPixels(at_design_time, item.ValueClientRect), 0);
        designed.SetDesigning(false);
        const QImage at_run_time = RenderControl(designed);
        EXPECT_EQ(DarkPixels(at_run_time, item.LabelClientRect), 0);
        EXPECT_EQ(DarkPixels(at_run_time, item.ValueClientRect), 0);
    }
}

// In a designer the focus frame marks the first row shown, on every card, with no card
// selected; at run time a card without a focused row has none.
TEST(DesignedListFocus, TheFirstShownRowCarriesTheFocusFrame) {
    testing::ListFixture f(2);
    TFineCardTemplateItem* second = f.list.CardTemplate().Items().Add();
    second->SetAutoSize(false);
    second->SetHeight(20);
    f.item->SetVisible(false);
    f.focused = true;
    const auto dots_over_second_row = [&](int card) {
        f.Arrange();
        auto image = f.Render();
        const TRect label = f.Card(card).Items().Items(1)->LabelClientRect;
        int dots = 0;
        for (int x = f.Card(card).ListRect.Left + 1; x < f.Card(card).ListRect.Right - 1; ++x) {
            dots += image->Canvas().Pixels(x, label.Top - 1) == f.list.FocusColor() ? 1 : 0;
        }
        return dots;
    };
    f.list.SetDesigning(true);
    EXPECT_GT(dots_over_second_row(0), 50);  // every other pixel along the card
    EXPECT_GT(dots_over_second_row(1), 50);
    f.list.SetDesigning(false);
    EXPECT_EQ(dots_over_second_row(0), 0);
    EXPECT_EQ(dots_over_second_row(1), 0);
}

}  // namespace
}  // namespace cardlist
