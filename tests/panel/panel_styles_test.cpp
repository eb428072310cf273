// Every named panel look against a fixture written out from the style tables by hand (body,
// caption, status bar), with the settings primed beforehand so that a value a look must leave
// alone, and a value it must write, can both be seen.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "controls/panel/panel_styles.h"

namespace panel {
namespace {

using S = TFinePanelStyle;
using ui::TBevelCut;
using ui::TBorderStyle;
constexpr ui::TColor none = 0x1FFFFFFF;
constexpr std::nullopt_t unchanged = std::nullopt;
constexpr TGradientDirection H = TGradientDirection::gdHorizontal;
constexpr TGradientDirection V = TGradientDirection::gdVertical;

struct BodyRow {
    S style;
    ui::TColor color, color_to, mirror, mirror_to;
    std::optional<ui::TColor> font;
    TBevelCut bevel_outer;
    ui::TColor border_color;
    bool border_shadow;
    ui::TColor collaps_color;
};

const BodyRow kBody[] = {
    {S::psXP, 0xFFFFFF, 0xE3F0F2, none, none, unchanged, TBevelCut::bvNone, 0x808080, true, 0xFF00000F},
    {S::psFlat, 0xFF00000F, none, none, none, 0xFF000008, TBevelCut::bvNone, 0x808080, false, 0xFF00000F},
    {S::psZWT, 0xFFFFFF, 0xE4E4E4, none, none, 0xFF000008, TBevelCut::bvNone, 0x808080, true, 0xFF00000F},
    {S::psClassic, 0xFF00000F, none, none, none, 0xFF000008, TBevelCut::bvRaised, 0x808080, false, 0xFF00000F},
    {S::psOffice2003Blue, 0xFDEADA, 0xE4AE88, none, none, 0xFF000008, TBevelCut::bvNone, 0x808080, false, none},
    {S::psOffice2003Olive, 0xCFF0EA, 0x8CC0B1, none, none, 0xFF000008, TBevelCut::bvNone, 0x808080, false, none},
    {S::psOffice2003Silver, 0xECE2E1, 0xB39698, none, none, 0xFF000008, TBevelCut::bvNone, 0x808080, false, none},
    {S::psOffice2003Classic, 0xFFFFFF, 0xC9D1D5, none, none, unchanged, TBevelCut::bvNone, 0x808080, true, 0xFF00000F},
    {S::psOffice2007Luna, 0xFAF1E9, 0xEDD8C7, 0xEDD8C7, 0xFFF2E7, 0x723708, TBevelCut::bvNone, 0xFFD2AF, false, none},
    {S::psOffice2007Obsidian, 0xCFC6C1, 0xC5BBB4, 0xC5BBB4, 0xECECE5, 0x723708, TBevelCut::bvNone, 0xFFD2AF, false,
     none},
    {S::psWhidbey, 0xFFFFFF, 0xE3F0F2, none, none, unchanged, TBevelCut::bvNone, 0x808080, true, 0xFF00000F},
    {S::psWindowsXP, 0xFF00000F, none, none, none, 0xFF000008, TBevelCut::bvRaised, 0x808080, false, 0xFF00000F},
    {S::psOffice2007Silver, 0xF9F5F3, 0xE7DCD5, 0xE7DCD5, 0xFBFAF0, 0x723708, TBevelCut::bvNone, 0xFFD2AF, false, none},
    {S::psWindowsVista, 0xFDF8F1, 0xFCEFD5, none, none, 0x723708, TBevelCut::bvNone, 0xFDDE99, false, none},
    {S::psWindows7, 0xFDFBFA, 0xFDF3EB, none, none, 0x723708, TBevelCut::bvNone, 0xFFD2AF, false, none},
    {S::psTerminal, 0xFF00000F, none, none, none, 0x000000, TBevelCut::bvNone, 0x808080, false, 0xFF00000D},
    {S::psOffice2010Blue, 0xFDF6EF, 0xF0DAC7, none, none, 0x000000, TBevelCut::bvNone, 0xC7B29F, false, none},
    {S::psOffice2010Silver, 0xFFFFFF, 0xEDE5E0, none, none, 0x000000, TBevelCut::bvNone, 0xD2CDC8, false, none},
    {S::psOffice2010Black, 0xBFBFBF, 0x919191, none, none, 0x000000, TBevelCut::bvNone, 0x6D6D6D, false, none},
};

struct CaptionRow {
    S style;
    ui::TColor color, color_to;
    TGradientDirection gradient;
    ui::TColor font;
    std::optional<int> height, indent;
    std::optional<bool> visible;
};

const CaptionRow kCaption[] = {
    {S::psXP, 0xFF00000D, 0xFF0000, H, 0xFF00000E, 20, 2, unchanged},
    {S::psFlat, 0xFF00000D, none, H, 0xFF00000E, 20, 0, unchanged},
    {S::psZWT, 0xFFFFFF, none, H, 0x000000, 20, 4, true},
    {S::psClassic, 0xFFFFFF, none, H, 0x000000, unchanged, unchanged, false},
    {S::psOffice2003Blue, 0xD68759, 0x933803, V, 0xFFFFFF, unchanged, unchanged, unchanged},
    {S::psOffice2003Olive, 0xC6EFE7, 0x94BDB5, V, 0x000000, unchanged, unchanged, unchanged},
    {S::psOffice2003Silver, 0xEFE7E7, 0xAA8888, V, 0x000000, unchanged, unchanged, unchanged},
    {S::psOffice2003Classic, 0xFF00000D, 0xFF0000, H, 0xFF00000E, 20, 2, unchanged},
    {S::psOffice2007Luna, 0xFFEFE3, 0xFFD2AF, V, 0x000000, unchanged, unchanged, unchanged},
    {S::psOffice2007Obsidian, 0xB8B8B6, 0xA0A09E, V, 0xFFFFFF, unchanged, unchanged, unchanged},
    {S::psWhidbey, 0xF3F7F8, 0xACC3C3, V, 0x000000, 20, 2, unchanged},
    {S::psWindowsXP, 0xFF00000D, none, H, 0xFF00000E, unchanged, unchanged, false},
    {S::psOffice2007Silver, 0xF8F7F6, 0xE8E0DB, V, 0x000000, unchanged, unchanged, unchanged},
    {S::psWindowsVista, 0xFDF8F1, 0xFCEFD5, V, 0x000000, unchanged, unchanged, unchanged},
    {S::psWindows7, 0xFCEBDC, 0xFCDBC1, V, 0x000000, unchanged, unchanged, unchanged},
    {S::psTerminal, 0xC0C0C0, none, V, 0x000000, unchanged, unchanged, unchanged},
    {S::psOffice2010Blue, 0xFDF6EF, 0xF0DAC7, V, 0x5B391E, unchanged, unchanged, unchanged},
    {S::psOffice2010Silver, 0xFFFFFF, 0xEDE5E0, V, 0x5B391E, unchanged, unchanged, unchanged},
    {S::psOffice2010Black, 0xBFBFBF, 0x919191, V, 0xD7D7D6, unchanged, unchanged, unchanged},
};

struct StatusRow {
    S style;
    TBorderStyle border_style;
    bool bevel_inner;
    ui::TColor color, color_to, border_color;
    std::optional<TGradientDirection> gradient;
    ui::TColor font;
};

constexpr TBorderStyle single = TBorderStyle::bsSingle;

const StatusRow kStatus[] = {
    {S::psXP, single, false, 0xE3F0F2, 0xFFFFFF, 0xC0C0C0, unchanged, 0x000000},
    {S::psFlat, single, false, 0xFF00000F, none, 0xC0C0C0, unchanged, 0x000000},
    {S::psZWT, single, false, 0xDEDEDE, 0xA9A9A9, 0xFFFFFF, unchanged, 0x000000},
    {S::psClassic, TBorderStyle::bsNone, true, 0xFF00000F, none, none, unchanged, 0x000000},
    {S::psOffice2003Blue, single, false, 0xE08F65, 0xF9DBC4, none, unchanged, 0xFFFFFF},
    {S::psOffice2003Olive, single, false, 0x80B0A1, 0xD3E4E3, none, unchanged, 0x000000},
    {S::psOffice2003Silver, single, false, 0xBFA8A9, 0xDECFCF, none, unchanged, 0x000000},
    {S::psOffice2003Classic, single, false, 0xE3F0F2, 0xFFFFFF, 0xC0C0C0, unchanged, 0x000000},
    {S::psOffice2007Luna, single, false, 0xF7E3D3, 0xF5D0B3, 0xFFD2AF, V, 0x723708},
    {S::psOffice2007Obsidian, single, false, 0xA19F9E, 0x534D4B, 0x000000, V, 0xFFFFFF},
    {S::psWhidbey, single, false, 0xE3F0F2, 0xFFFFFF, 0xC0C0C0, unchanged, 0x000000},
    {S::psWindowsXP, TBorderStyle::bsNone, true, 0xFF00000F, none, none, unchanged, 0x000000},
    {S::psOffice2007Silver, single, false, 0xFAEEEB, 0xE5DBD7, 0x000000, V, 0x723708},
    {S::psWindowsVista, single, false, 0xFDF8F1, 0xFCEFD5, 0xFDDE99, V, 0x723708},
    {S::psWindows7, single, false, 0xFCEBDC, 0xFCDBC1, 0xCEA27D, V, 0x723708},
    {S::psTerminal, single, false, 0xC0C0C0, none, 0x000000, V, 0x000000},
    {S::psOffice2010Blue, single, false, 0xFDF6EF, 0xF0DAC7, 0xFDF6EF, V, 0x5B391E},
    {S::psOffice2010Silver, single, false, 0xFFFFFF, 0xEDE5E0, 0xF7F3F0, V, 0x5B391E},
    {S::psOffice2010Black, single, false, 0xBFBFBF, 0x919191, 0xBFBFBF, V, 0xD7D7D6},
};

// The looks that grain the caption shade (ShadeGrain 32, ShadeLight 255).
bool Grained(S s) {
    const int n = static_cast<int>(s);
    return (n >= 2 && n <= 6) || n == 8 || n == 9 || n == 11 || (n >= 13 && n <= 19);
}

// Values no look writes, in two variants, so that "left alone" and "written" are both visible
// whatever a look's value happens to be.
struct Primer {
    ui::TColor color;
    bool flag;
    int number;
    TGradientDirection direction;
    std::uint8_t grain;
    int light;
};
const Primer kPrimers[] = {{0x00ABCDEF, true, 99, V, 7, 222}, {0x00123456, false, 55, H, 9, 201}};

void Prime(TFinePanelSettings& s, const Primer& p) {
    s.SetBevelInner(TBevelCut::bvSpace);
    s.SetBevelOuter(TBevelCut::bvSpace);
    s.SetBorderStyle(TBorderStyle::bsSingle);
    s.SetColor(p.color);
    s.SetColorTo(p.color);
    s.SetColorMirror(p.color);
    s.SetColorMirrorTo(p.color);
    s.Font().SetColor(p.color);
    s.SetBorderColor(p.color);
    s.SetBorderShadow(p.flag);
    s.SetCollapsColor(p.color);
    TPanelCaption& c = s.Caption();
    c.SetShadeType(TShadeType::stHBump);
    c.SetShadeGrain(p.grain);
    c.SetShadeLight(p.light);
    c.SetColor(p.color);
    c.SetColorTo(p.color);
    c.SetGradientDirection(p.direction);
    c.Font().SetColor(p.color);
    c.SetHeight(p.number);
    c.SetIndent(p.number);
    c.SetVisible(p.flag);
    TPanelStatusBar& b = s.StatusBar();
    b.SetBorderStyle(TBorderStyle::bsSingle);
    b.SetBevelInner(p.flag);
    b.SetColor(p.color);
    b.SetColorTo(p.color);
    b.SetBorderColor(p.color);
    b.SetGradientDirection(p.direction);
    b.Font().SetColor(p.color);
}

TEST(PanelStyles, EveryLookWritesItsTablesAndLeavesTheRest) {
    ASSERT_EQ(std::size(kBody), 19u);
    for (std::size_t i = 0; i < std::size(kBody); ++i) {
        const BodyRow& body = kBody[i];
        const CaptionRow& cap = kCaption[i];
        const StatusRow& bar = kStatus[i];
        ASSERT_EQ(cap.style, body.style);
        ASSERT_EQ(bar.style, body.style);
        for (const Primer& p : kPrimers) {
            TFinePanelSettings s;
            Prime(s, p);
            FillSettings(s, body.style);
            const std::string where =
                "style " + std::to_string(static_cast<int>(body.style)) + " primer " + std::to_string(p.color);
            SCOPED_TRACE(where);
            // common to every look
            EXPECT_EQ(s.BevelInner(), TBevelCut::bvNone);
            EXPECT_EQ(s.BorderStyle(), TBorderStyle::bsNone);
            EXPECT_EQ(s.Caption().ShadeType(), body.style == S::psZWT ? TShadeType::stRMetal : TShadeType::stNormal);
            EXPECT_EQ(s.Caption().ShadeGrain(), Grained(body.style) ? 32 : p.grain);
            EXPECT_EQ(s.Caption().ShadeLight(), Grained(body.style) ? 255 : p.light);
            // body
            EXPECT_EQ(s.Color(), body.color);
            EXPECT_EQ(s.ColorTo(), body.color_to);
            EXPECT_EQ(s.ColorMirror(), body.mirror);
            EXPECT_EQ(s.ColorMirrorTo(), body.mirror_to);
            EXPECT_EQ(s.Font().Color(), body.font.value_or(p.color));
            EXPECT_EQ(s.BevelOuter(), body.bevel_outer);
            EXPECT_EQ(s.BorderColor(), body.border_color);
            EXPECT_EQ(s.BorderShadow(), body.border_shadow);
            EXPECT_EQ(s.CollapsColor(), body.collaps_color);
            // caption
            EXPECT_EQ(s.Caption().Color(), cap.color);
            EXPECT_EQ(s.Caption().ColorTo(), cap.color_to);
            EXPECT_EQ(s.Caption().GradientDirection(), cap.gradient);
            EXPECT_EQ(s.Caption().Font().Color(), cap.font);
            EXPECT_EQ(s.Caption().Height(), cap.height.value_or(p.number));
            EXPECT_EQ(s.Caption().Indent(), cap.indent.value_or(p.number));
            EXPECT_EQ(s.Caption().Visible(), cap.visible.value_or(p.flag));
            // status bar
            EXPECT_EQ(s.StatusBar().BorderStyle(), bar.border_style);
            EXPECT_EQ(s.StatusBar().BevelInner(), bar.bevel_inner);
            EXPECT_EQ(s.StatusBar().Color(), bar.color);
            EXPECT_EQ(s.StatusBar().ColorTo(), bar.color_to);
            EXPECT_EQ(s.StatusBar().BorderColor(), bar.border_color);
            EXPECT_EQ(s.StatusBar().GradientDirection(), bar.gradient.value_or(p.direction));
            EXPECT_EQ(s.StatusBar().Font().Color(), bar.font);
        }
    }
}

TEST(PanelStyles, EveryFillEndsInExactlyOneNotification) {
    for (int n = 0; n < kPanelStyleCount + 2; ++n) {  // the custom look and two values past the last too
        TFinePanelSettings s;
        int changes = 0;
        s.OnChange = [&](ui::TPersistent*) { ++changes; };
        FillSettings(s, static_cast<S>(n));
        EXPECT_EQ(changes, 1) << "style " << n;
        EXPECT_EQ(s.UpdateCount(), 0) << "style " << n;
    }
}

TEST(PanelStyles, TheCustomLookAndValuesPastTheLastWriteNothing) {
    for (const int n : {static_cast<int>(S::psCustom), kPanelStyleCount, 255}) {
        TFinePanelSettings s;
        Prime(s, kPrimers[0]);
        FillSettings(s, static_cast<S>(n));
        EXPECT_EQ(s.Color(), kPrimers[0].color) << n;
        EXPECT_EQ(s.BevelInner(), TBevelCut::bvSpace) << n;
        EXPECT_EQ(s.Caption().ShadeType(), TShadeType::stHBump) << n;
        EXPECT_EQ(s.Caption().Height(), kPrimers[0].number) << n;
        EXPECT_EQ(s.StatusBar().Color(), kPrimers[0].color) << n;
    }
}

// A look that stores the caption height quietly raises no caption notification for it: with
// the indent already at the look's value nothing after the height notifies, so the caption's
// last notification still sees the old height. A look that sets it through the setter shows
// the new one. (psZWT stores quietly too, but its Visible, written last, always notifies.)
TEST(PanelStyles, SomeLooksStoreTheCaptionHeightWithoutTheCaptionsNotification) {
    const struct {
        S style;
        int indent;
        bool quiet;
    } cases[] = {{S::psXP, 2, true}, {S::psOffice2003Classic, 2, true}, {S::psWhidbey, 2, true}, {S::psFlat, 0, false}};
    for (const auto& c : cases) {
        TFinePanelSettings s;
        s.Caption().SetHeight(30);
        s.Caption().SetIndent(c.indent);
        int last_seen = -1;
        ui::TNotifyEvent settings_hook = s.Caption().OnChange;
        s.Caption().OnChange = [&](ui::TPersistent* sender) {
            last_seen = s.Caption().Height();
            settings_hook(sender);
        };
        FillSettings(s, c.style);
        EXPECT_EQ(s.Caption().Height(), 20) << static_cast<int>(c.style);
        EXPECT_EQ(last_seen, c.quiet ? 30 : 20) << static_cast<int>(c.style);
    }
}

}  // namespace
}  // namespace panel
