#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QRegion>
#include <QWidget>

#include <memory>

#include "platform/ui/controls/drag_drop.h"
#include "platform/ui/controls/drag_image.h"
#include "platform/ui/forms/arrow_window.h"
#include "tests/support/render.h"

namespace ui {
namespace {

class List : public TCustomControl {
public:
    List() : TCustomControl(nullptr) {
        SetBounds(0, 0, 200, 150);
        Widget()->move(40, 60);
        Widget()->show();
    }

protected:
    void Paint() override {
        Canvas().Brush().SetColor(clBlue);
        Canvas().FillRect(ClientRect());
        Canvas().Brush().SetColor(clRed);
        Canvas().FillRect(TRect{10, 10, 30, 20});
    }
};

TEST(ArrowWindow, EachDirectionIsALimePopupOfItsOutline) {
    List list;
    struct Case {
        TArrowDirection direction;
        TPoint inside;   // a pixel of the arrow
        TPoint outside;  // a pixel of the panel the outline cuts away
    };
    const Case cases[] = {
        {TArrowDirection::Up, {5, 2}, {0, 0}},
        {TArrowDirection::Down, {5, 6}, {0, 8}},
        {TArrowDirection::Right, {6, 5}, {0, 0}},
        {TArrowDirection::Left, {2, 5}, {0, 0}},
    };
    for (const Case& c : cases) {
        auto* arrow = new TArrowWindow(&list, c.direction);  // owned by the list
        EXPECT_EQ(arrow->Owner(), &list);
        EXPECT_EQ(arrow->Parent(), &list);
        EXPECT_EQ(arrow->Direction(), c.direction);
        EXPECT_FALSE(arrow->Visible());
        QWidget* w = arrow->Widget();
        EXPECT_TRUE(w->isWindow()) << "a popup may stand over the list's edge";
        EXPECT_TRUE(w->testAttribute(Qt::WA_TransparentForMouseEvents));
        EXPECT_EQ(arrow->Width(), 185) << "it keeps the panel's size";
        const QRegion mask = w->mask();
        EXPECT_TRUE(mask.contains(QPoint(c.inside.X, c.inside.Y))) << static_cast<int>(c.direction);
        EXPECT_FALSE(mask.contains(QPoint(c.outside.X, c.outside.Y))) << static_cast<int>(c.direction);
        EXPECT_LE(mask.boundingRect().width(), 11);
        EXPECT_LE(mask.boundingRect().height(), 11);

        arrow->SetBounds(500, 300, arrow->Width(), arrow->Height());
        arrow->SetVisible(true);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->geometry().topLeft(), QPoint(500, 300)) << "placed in screen coordinates";
        const QImage image = w->grab().toImage();
        EXPECT_EQ(test_support::PixelAt(image, c.inside.X, c.inside.Y), TColor{0x00FF00});
        arrow->SetVisible(false);
        EXPECT_FALSE(w->isVisible());
    }
}

TEST(ArrowWindow, PlacementBeforeOrAfterTheItem) {
    const TRect card{20, 30, 120, 90};  // grown by 4 and 6: 16,24 .. 124,96, middle 70,60
    struct Case {
        bool vertical;
        TPoint cursor;
        TArrowPlacement placement;
    };
    const Case cases[] = {
        {true, {69, 50}, {TArrowDirection::Left, {20, 56}}},
        {true, {70, 50}, {TArrowDirection::Right, {110, 56}}},
        {false, {50, 59}, {TArrowDirection::Up, {66, 30}}},
        {false, {50, 60}, {TArrowDirection::Down, {66, 80}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlaceDropArrow(card, 4, 6, c.vertical, c.cursor), c.placement) << c.cursor.X << "," << c.cursor.Y;
    }
}

TEST(ArrowWindow, AutoScrollNearTheEdges) {
    struct Case {
        int c;
        int step;
    };
    const Case cases[] = {{-3, -1}, {0, -1}, {10, -1}, {14, -1}, {15, 0}, {185, 0}, {186, 1}, {199, 1}, {250, 1}};
    for (const Case& c : cases) EXPECT_EQ(DragAutoScrollStep(c.c, 200), c.step) << c.c;
}

TEST(DragImage, ShowsThePictureAboveAndGoesWithItsOwner) {
    List list;
    TBitmap shot;
    PaintControlTo(list, shot);
    ASSERT_EQ(shot.Width(), 200);
    EXPECT_EQ(test_support::PixelAt(shot.Image(), 15, 15), clRed);
    EXPECT_EQ(test_support::PixelAt(shot.Image(), 50, 50), clBlue);

    auto* image = new TDragImageWindow(&list);
    image->SetPicture(shot);
    image->SetAlphaBlendValue(192);
    EXPECT_EQ(image->Width(), 200);
    EXPECT_FALSE(image->Showing());
    image->ShowAt(TPoint{300, 200});
    EXPECT_TRUE(image->Showing());
    QWidget* w = image->Widget();
    EXPECT_TRUE(w->isWindow());
    EXPECT_EQ(w->geometry(), QRect(300, 200, 200, 150));
    EXPECT_TRUE(w->testAttribute(Qt::WA_TransparentForMouseEvents)) << "the drag loop looks through it";
    EXPECT_NEAR(w->windowOpacity(), 192 / 255.0, 0.01);
    const QImage shown = test_support::RenderControl(*image);
    EXPECT_EQ(test_support::PixelAt(shown, 15, 15), clRed);
    image->MoveTo(TPoint{310, 220});
    EXPECT_EQ(w->pos(), QPoint(310, 220));
    delete image;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(top->isVisible() && top->geometry() == QRect(310, 220, 200, 150)) << "the image window is gone";
    }
}

}  // namespace
}  // namespace ui
