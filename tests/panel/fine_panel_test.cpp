// The panel's structure: its starting values, references to other components, copying, the
// styler's settings, the expanded extent and where it places its child controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdint>
#include <memory>
#include <vector>

#include "controls/panel/fine_panel.h"
#include "controls/panel/panel_styler.h"
#include "controls/pictures/picture_container.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/core/component.h"
#include "platform/ui/core/filer.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/forms/form.h"
#include "platform/ui/forms/stdctrls.h"
#include "tests/support/render.h"
#include "tests/support/wait_until.h"

namespace panel {
namespace {

class FinePanelTest : public testing::Test {
protected:
    void SetUp() override {
        test_support::EnsureApplication();
        panel = new TFinePanel(&owner);
        panel->SetBounds(0, 0, 120, 100);
    }
    ui::TComponent owner{nullptr};
    TFinePanel* panel = nullptr;  // owned by `owner`
};

TEST_F(FinePanelTest, StartsWithTheDocumentedValues) {
    EXPECT_EQ(panel->Version(), "2.0.1.0");
    panel->SetVersion("9.9.9.9");
    EXPECT_EQ(panel->Version(), "2.0.1.0");
    EXPECT_EQ(panel->ShadowOffset(), 2);
    EXPECT_EQ(panel->ShadowColor(), 0x808080u);
    EXPECT_EQ(panel->CollapsDelay(), 20);
    EXPECT_EQ(panel->CollapsSteps(), 0);
    EXPECT_EQ(panel->CollapsColor(), 0x808080u);
    EXPECT_EQ(panel->URLColor(), 0xFF0000u);
    EXPECT_EQ(panel->ColorTo(), ui::clNone);
    EXPECT_EQ(panel->ColorMirror(), ui::clNone);
    EXPECT_EQ(panel->ColorMirrorTo(), ui::clNone);
    EXPECT_EQ(panel->HoverColor(), ui::clNone);
    EXPECT_EQ(panel->HoverFontColor(), ui::clNone);
    EXPECT_EQ(panel->BorderColor(), 0u);
    EXPECT_TRUE(panel->Buffered());
    EXPECT_TRUE(panel->AutoHideChildren());
    EXPECT_TRUE(panel->SizeGrip());
    EXPECT_TRUE(panel->DoubleBuffered());
    EXPECT_FALSE(panel->OwnerDoubleBuffered());
    EXPECT_EQ(panel->BevelOuter(), ui::TBevelCut::bvRaised);
    EXPECT_EQ(panel->BevelInner(), ui::TBevelCut::bvNone);
    EXPECT_EQ(panel->BevelWidth(), 1);
    EXPECT_EQ(panel->GradientDirection(), TGradientDirection::gdVertical);
    EXPECT_EQ(panel->BackgroundPosition(), TBackGroundPosition::bpTopLeft);
    EXPECT_EQ(panel->TextVAlign(), TTextVAlignment::tvaTop);
    EXPECT_EQ(panel->ExpandedColor(), panel->Color());
    EXPECT_EQ(panel->Images(), nullptr);
    EXPECT_EQ(panel->Styler(), nullptr);
    EXPECT_EQ(panel->PictureContainer(), nullptr);
    EXPECT_EQ(panel->Position().Panel(), panel);
    EXPECT_EQ(panel->AutoSize().Panel(), panel);
    EXPECT_TRUE(panel->IsWinXP());  // this platform answers as version 5.1
}

TEST_F(FinePanelTest, HeightAndWidthKeepTheExpandedExtentOnlyAlongTheCaption) {
    struct Case {
        TCaptionPosition position;
        bool collapsed;
        bool collapsing;
        bool set_height;  // else the width
        int expected_full;
    };
    const Case cases[] = {
        {TCaptionPosition::cpTop, false, false, true, 77},   {TCaptionPosition::cpTop, true, false, true, 5},
        {TCaptionPosition::cpTop, false, true, true, 5},     {TCaptionPosition::cpLeft, false, false, true, 5},
        {TCaptionPosition::cpLeft, false, false, false, 77}, {TCaptionPosition::cpLeft, true, false, false, 5},
        {TCaptionPosition::cpTop, false, false, false, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "left " << (c.position == TCaptionPosition::cpLeft) << " collapsed "
                                        << c.collapsed << " collapsing " << c.collapsing << " height " << c.set_height);
        panel->Caption().SetPosition(c.position);
        panel->StoreCollaps(c.collapsed);
        panel->SetCollapsing(c.collapsing);
        panel->SetFullHeight(5);
        if (c.set_height) {
            panel->SetHeight(77);
            EXPECT_EQ(panel->Height(), 77);
        } else {
            panel->SetWidth(77);
            EXPECT_EQ(panel->Width(), 77);
        }
        EXPECT_EQ(panel->FullHeight(), c.expected_full);
        panel->SetBounds(0, 0, 120, 100);
    }
}

TEST_F(FinePanelTest, FreeingAReferencedComponentClearsTheReference) {
    auto* images = new ui::TImageList(&owner);
    auto* container = new TPictureContainer(&owner);
    auto* styler = new TFinePanelStyler(&owner);
    panel->SetImages(images);
    panel->SetPictureContainer(container);
    panel->SetStyler(styler);
    panel->StatusBar().SetVisible(true);
    panel->StatusBar().SetImageIndex(0);
    panel->SetText("<IMG src=\"idx:0\">text");
    test_support::RenderControl(*panel);

    delete images;
    EXPECT_EQ(panel->Images(), nullptr);
    EXPECT_EQ(panel->PictureContainer(), container);
    delete styler;
    EXPECT_EQ(panel->Styler(), nullptr);
    delete container;
    EXPECT_EQ(panel->PictureContainer(), nullptr);
    // Painting afterwards must not reach the freed objects (the sanitizer build checks).
    const QImage image = test_support::RenderControl(*panel);
    EXPECT_EQ(image.width(), 120);

    // A component the panel referred to before, but no longer, does not clear the new one.
    auto* first = new ui::TImageList(&owner);
    auto* second = new ui::TImageList(&owner);
    panel->SetImages(first);
    panel->SetImages(second);
    delete first;
    EXPECT_EQ(panel->Images(), second);
}

TEST_F(FinePanelTest, AStylerAppliesItsSettingsButTheButtonsStayThePanels) {
    TFinePanelStyler styler(nullptr);
    TFinePanelSettings& s = styler.Settings();
    s.SetColor(0x123456);
    s.SetColorTo(0x654321);
    s.SetBorderColor(0x00FF00);
    s.SetBevelOuter(ui::TBevelCut::bvNone);
    s.SetShadowOffset(5);
    s.SetIndent(7);
    s.SetText("not applied");
    s.SetHeight(300);
    s.Caption().SetColor(0x0000FF);
    s.Caption().SetCloseButton(true);
    s.Caption().SetMinMaxButton(true);
    s.StatusBar().SetColor(0x111111);
    panel->SetText("own text");

    panel->SetStyler(&styler);
    EXPECT_EQ(panel->Color(), 0x123456u);
    EXPECT_EQ(panel->ColorTo(), 0x654321u);
    EXPECT_EQ(panel->BorderColor(), 0x00FF00u);
    EXPECT_EQ(panel->BevelOuter(), ui::TBevelCut::bvNone);
    EXPECT_EQ(panel->ShadowOffset(), 5);
    EXPECT_EQ(panel->Indent(), 7);
    EXPECT_EQ(panel->Caption().Color(), 0x0000FFu);
    EXPECT_EQ(panel->StatusBar().Color(), 0x111111u);
    EXPECT_FALSE(panel->Caption().CloseButton());
    EXPECT_FALSE(panel->Caption().MinMaxButton());
    EXPECT_EQ(panel->Text(), "own text");
    EXPECT_EQ(panel->Height(), 100);
    panel->SetStyler(nullptr);  // the styler goes before the panel
}

TEST_F(FinePanelTest, AStylerSetWhileLoadingAppliesAtLoaded) {
    TFinePanelStyler styler(nullptr);
    styler.Settings().SetColor(0x010203);
    owner.BeginLoading();
    panel->SetStyler(&styler);
    EXPECT_NE(panel->Color(), 0x010203u);
    owner.EndLoading();
    EXPECT_EQ(panel->Color(), 0x010203u);
    EXPECT_EQ(panel->ExpandedColor(), ui::clBtnFace);  // taken before the styler's colour came
    panel->SetStyler(nullptr);
}

TEST_F(FinePanelTest, AssignCopiesAPanelAndRefusesAnythingElse) {
    TFinePanel source(nullptr);
    source.SetText("<b>copied</b>");
    source.SetColorTo(0x00FFFF);
    source.SetShadowOffset(4);
    source.SetHeight(55);
    source.Caption().SetColor(0x0000FF);
    source.Caption().SetText("kept");
    source.SetFreeOnClose(true);
    panel->Caption().SetText("own caption");
    panel->Assign(&source);
    EXPECT_EQ(panel->Text(), "<b>copied</b>");
    EXPECT_EQ(panel->ColorTo(), 0x00FFFFu);
    EXPECT_EQ(panel->ShadowOffset(), 4);
    EXPECT_EQ(panel->Height(), 55);
    EXPECT_TRUE(panel->FreeOnClose());
    EXPECT_EQ(panel->Caption().Color(), 0x0000FFu);
    EXPECT_EQ(panel->Caption().Text(), "own caption");  // a caption's assign leaves its text

    ui::TFont font;
    EXPECT_THROW(panel->Assign(&font), ui::EInvalidCast);
    EXPECT_THROW(panel->Assign(nullptr), ui::EInvalidCast);
}

TEST_F(FinePanelTest, ChildrenAreAlignedBelowTheCaptionAndAboveTheStatusBar) {
    auto* child = new ui::TPanel(&owner);
    child->SetParent(panel);
    child->SetAlign(ui::TAlign::alClient);
    panel->Caption().SetVisible(true);
    panel->Caption().SetHeight(24);
    panel->StatusBar().SetVisible(true);
    panel->StatusBar().SetHeight(18);
    panel->Realign();
    EXPECT_EQ(child->BoundsRect(), (ui::TRect{0, 22, 120, 82}));

    panel->Caption().SetPosition(TCaptionPosition::cpLeft);
    panel->Realign();
    EXPECT_EQ(child->BoundsRect(), (ui::TRect{22, 0, 102, 100}));
}

TEST_F(FinePanelTest, FullHeightIsStreamedEvenWhenZeroAndReadBack) {
    for (const int full_height : {0, 300}) {
        panel->SetFullHeight(full_height);
        ui::TMemoryStream stream;
        ui::WriteDefinedProperties(*panel, stream);
        const std::uint8_t value_kind = full_height == 0 ? 2 : 3;  // 8-bit and 16-bit integers
        std::vector<std::uint8_t> expected = {10, 'F', 'u', 'l', 'l', 'H', 'e', 'i', 'g', 'h', 't', value_kind};
        if (full_height == 0)
            expected.push_back(0);
        else
            expected.insert(expected.end(), {0x2C, 0x01});
        expected.push_back(0);  // end of the list
        std::vector<std::uint8_t> bytes(static_cast<size_t>(stream.Size()));
        stream.SetPosition(0);
        stream.ReadBuffer(bytes.data(), stream.Size());
        EXPECT_EQ(bytes, expected);

        auto* restored = new TFinePanel(&owner);
        restored->SetFullHeight(77);
        stream.SetPosition(0);
        ui::ReadDefinedProperties(*restored, stream);
        EXPECT_EQ(restored->FullHeight(), full_height);
    }
}

TEST(FinePanelResizeTest, PaintsAtOnceUnlessItsWindowDoubleBuffersIt) {
    test_support::EnsureApplication();
    ui::TForm form(nullptr);
    form.SetClientWidth(300);
    form.SetClientHeight(200);
    auto* panel = new TFinePanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 100, 100);
    int paints = 0;
    panel->OnPaint = [&](ui::TPersistent*, ui::TCanvas&, const ui::TRect&) { ++paints; };
    form.Show();
    // Until the window is on the screen no paint can run.
    ASSERT_TRUE(test_support::WaitUntil([&] {
        QApplication::processEvents();
        return paints > 0;
    }));
    paints = 0;
    panel->SetBounds(0, 0, 120, 100);
    EXPECT_EQ(paints, 1);
    panel->SetOwnerDoubleBuffered(true);
    panel->SetBounds(0, 0, 140, 100);
    EXPECT_EQ(paints, 1);  // the window's own paint comes later, with everything else
    form.Hide();
}

}  // namespace
}  // namespace panel
