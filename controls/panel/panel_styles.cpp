#include "controls/panel/panel_styles.h"

#include <optional>

#include "platform/ui/core/update_scope.h"

namespace panel {

namespace {

using ui::clBlack;
using ui::clBtnFace;
using ui::clHighlight;
using ui::clHighlightText;
using ui::clNone;
using ui::clWindowText;
using ui::TBevelCut;
using ui::TBorderStyle;
using enum TGradientDirection;

// One look. Empty optionals keep what the settings hold.
struct Look {
    // body
    TColor color, color_to, color_mirror, color_mirror_to;
    std::optional<TColor> font_color;
    TBevelCut bevel_outer;
    TColor border_color;
    bool border_shadow;
    TColor collaps_color;
    // caption
    TColor caption_color, caption_color_to;
    TGradientDirection caption_gradient;
    TColor caption_font_color;
    std::optional<int> caption_height, caption_indent;
    std::optional<bool> caption_visible;
    // status bar
    TBorderStyle bar_border_style;
    bool bar_bevel_inner;
    TColor bar_color, bar_color_to, bar_border_color;
    std::optional<TGradientDirection> bar_gradient;
    TColor bar_font_color;
};

constexpr TBevelCut kFlatBevel = TBevelCut::bvNone;
constexpr TBevelCut kRaised = TBevelCut::bvRaised;
constexpr TBorderStyle kSingle = TBorderStyle::bsSingle;
constexpr TBorderStyle kNoBorder = TBorderStyle::bsNone;
constexpr std::nullopt_t kKeep = std::nullopt;

// In the order of TFinePanelStyle; the psCustom row is never read. Each look is three lines:
// body, caption, status bar.
// clang-format off
const Look kLooks[kPanelStyleCount] = {
    // psXP
    {0xFFFFFF, 0xE3F0F2, clNone, clNone, kKeep, kFlatBevel, 0x808080, true, clBtnFace,
     clHighlight, 0xFF0000, gdHorizontal, clHighlightText, 20, 2, kKeep,
     kSingle, false, 0xE3F0F2, 0xFFFFFF, 0xC0C0C0, kKeep, clBlack},
    // psFlat
    {clBtnFace, clNone, clNone, clNone, clWindowText, kFlatBevel, 0x808080, false, clBtnFace,
     clHighlight, clNone, gdHorizontal, clHighlightText, 20, 0, kKeep,
     kSingle, false, clBtnFace, clNone, 0xC0C0C0, kKeep, clBlack},
    // psZWT
    {0xFFFFFF, 0xE4E4E4, clNone, clNone, clWindowText, kFlatBevel, 0x808080, true, clBtnFace,
     0xFFFFFF, clNone, gdHorizontal, clBlack, 20, 4, true,
     kSingle, false, 0xDEDEDE, 0xA9A9A9, 0xFFFFFF, kKeep, clBlack},
    // psClassic
    {clBtnFace, clNone, clNone, clNone, clWindowText, kRaised, 0x808080, false, clBtnFace,
     0xFFFFFF, clNone, gdHorizontal, clBlack, kKeep, kKeep, false,
     kNoBorder, true, clBtnFace, clNone, clNone, kKeep, clBlack},
    // psOffice2003Blue
    {0xFDEADA, 0xE4AE88, clNone, clNone, clWindowText, kFlatBevel, 0x808080, false, clNone,
     0xD68759, 0x933803, gdVertical, 0xFFFFFF, kKeep, kKeep, kKeep,
     kSingle, false, 0xE08F65, 0xF9DBC4, clNone, kKeep, 0xFFFFFF},
    // psOffice2003Olive
    {0xCFF0EA, 0x8CC0B1, clNone, clNone, clWindowText, kFlatBevel, 0x808080, false, clNone,
     0xC6EFE7, 0x94BDB5, gdVertical, clBlack, kKeep, kKeep, kKeep,
     kSingle, false, 0x80B0A1, 0xD3E4E3, clNone, kKeep, clBlack},
    // psOffice2003Silver
    {0xECE2E1, 0xB39698, clNone, clNone, clWindowText, kFlatBevel, 0x808080, false, clNone,
     0xEFE7E7, 0xAA8888, gdVertical, clBlack, kKeep, kKeep, kKeep,
     kSingle, false, 0xBFA8A9, 0xDECFCF, clNone, kKeep, clBlack},
    // psOffice2003Classic
    {0xFFFFFF, 0xC9D1D5, clNone, clNone, kKeep, kFlatBevel, 0x808080, true, clBtnFace,
     clHighlight, 0xFF0000, gdHorizontal, clHighlightText, 20, 2, kKeep,
     kSingle, false, 0xE3F0F2, 0xFFFFFF, 0xC0C0C0, kKeep, clBlack},
    // psOffice2007Luna
    {0xFAF1E9, 0xEDD8C7, 0xEDD8C7, 0xFFF2E7, 0x723708, kFlatBevel, 0xFFD2AF, false, clNone,
     0xFFEFE3, 0xFFD2AF, gdVertical, clBlack, kKeep, kKeep, kKeep,
     kSingle, false, 0xF7E3D3, 0xF5D0B3, 0xFFD2AF, gdVertical, 0x723708},
    // psOffice2007Obsidian
    {0xCFC6C1, 0xC5BBB4, 0xC5BBB4, 0xECECE5, 0x723708, kFlatBevel, 0xFFD2AF, false, clNone,
     0xB8B8B6, 0xA0A09E, gdVertical, 0xFFFFFF, kKeep, kKeep, kKeep,
     kSingle, false, 0xA19F9E, 0x534D4B, clBlack, gdVertical, 0xFFFFFF},
    // psWhidbey
    {0xFFFFFF, 0xE3F0F2, clNone, clNone, kKeep, kFlatBevel, 0x808080, true, clBtnFace,
     0xF3F7F8, 0xACC3C3, gdVertical, clBlack, 20, 2, kKeep,
     kSingle, false, 0xE3F0F2, 0xFFFFFF, 0xC0C0C0, kKeep, clBlack},
    // psWindowsXP
    {clBtnFace, clNone, clNone, clNone, clWindowText, kRaised, 0x808080, false, clBtnFace,
     clHighlight, clNone, gdHorizontal, clHighlightText, kKeep, kKeep, false,
     kNoBorder, true, clBtnFace, clNone, clNone, kKeep, clBlack},
    // psCustom
    {},
    // psOffice2007Silver
    {0xF9F5F3, 0xE7DCD5, 0xE7DCD5, 0xFBFAF0, 0x723708, kFlatBevel, 0xFFD2AF, false, clNone,
     0xF8F7F6, 0xE8E0DB, gdVertical, clBlack, kKeep, kKeep, kKeep,
     kSingle, false, 0xFAEEEB, 0xE5DBD7, clBlack, gdVertical, 0x723708},
    // psWindowsVista
    {0xFDF8F1, 0xFCEFD5, clNone, clNone, 0x723708, kFlatBevel, 0xFDDE99, false, clNone,
     0xFDF8F1, 0xFCEFD5, gdVertical, clBlack, kKeep, kKeep, kKeep,
     kSingle, false, 0xFDF8F1, 0xFCEFD5, 0xFDDE99, gdVertical, 0x723708},
    // psWindows7
    {0xFDFBFA, 0xFDF3EB, clNone, clNone, 0x723708, kFlatBevel, 0xFFD2AF, false, clNone,
     0xFCEBDC, 0xFCDBC1, gdVertical, clBlack, kKeep, kKeep, kKeep,
     kSingle, false, 0xFCEBDC, 0xFCDBC1, 0xCEA27D, gdVertical, 0x723708},
    // psTerminal
    {clBtnFace, clNone, clNone, clNone, clBlack, kFlatBevel, 0x808080, false, clHighlight,
     0xC0C0C0, clNone, gdVertical, clBlack, kKeep, kKeep, kKeep,
     kSingle, false, 0xC0C0C0, clNone, clBlack, gdVertical, clBlack},
    // psOffice2010Blue
    {0xFDF6EF, 0xF0DAC7, clNone, clNone, clBlack, kFlatBevel, 0xC7B29F, false, clNone,
     0xFDF6EF, 0xF0DAC7, gdVertical, 0x5B391E, kKeep, kKeep, kKeep,
     kSingle, false, 0xFDF6EF, 0xF0DAC7, 0xFDF6EF, gdVertical, 0x5B391E},
    // psOffice2010Silver
    {0xFFFFFF, 0xEDE5E0, clNone, clNone, clBlack, kFlatBevel, 0xD2CDC8, false, clNone,
     0xFFFFFF, 0xEDE5E0, gdVertical, 0x5B391E, kKeep, kKeep, kKeep,
     kSingle, false, 0xFFFFFF, 0xEDE5E0, 0xF7F3F0, gdVertical, 0x5B391E},
    // psOffice2010Black
    {0xBFBFBF, 0x919191, clNone, clNone, clBlack, kFlatBevel, 0x6D6D6D, false, clNone,
     0xBFBFBF, 0x919191, gdVertical, 0xD7D7D6, kKeep, kKeep, kKeep,
     kSingle, false, 0xBFBFBF, 0x919191, 0xBFBFBF, gdVertical, 0xD7D7D6},
};
// clang-format on

bool IsCustom(TFinePanelStyle style) {
    const int index = static_cast<int>(style);
    return style == TFinePanelStyle::psCustom || index >= kPanelStyleCount;
}

// The looks whose caption shade is grained: all but psXP, psFlat, psOffice2003Classic and
// psWhidbey (and psCustom, which writes nothing).
bool SetsShadeGrain(TFinePanelStyle style) {
    using enum TFinePanelStyle;
    return style != psXP && style != psFlat && style != psOffice2003Classic && style != psWhidbey;
}

// The looks that store the caption height without the caption's own notification.
bool StoresCaptionHeightQuietly(TFinePanelStyle style) {
    using enum TFinePanelStyle;
    return style == psXP || style == psZWT || style == psOffice2003Classic || style == psWhidbey;
}

void WriteLook(TFinePanelSettings& settings, TFinePanelStyle style) {
    const Look& look = kLooks[static_cast<int>(style)];
    TPanelCaption& caption = settings.Caption();
    TPanelStatusBar& bar = settings.StatusBar();

    settings.SetBevelInner(TBevelCut::bvNone);
    settings.SetBorderStyle(TBorderStyle::bsNone);
    caption.SetShadeType(style == TFinePanelStyle::psZWT ? TShadeType::stRMetal : TShadeType::stNormal);
    if (SetsShadeGrain(style)) {
        caption.SetShadeGrain(32);
        caption.SetShadeLight(255);
    }

    settings.SetColor(look.color);
    settings.SetColorTo(look.color_to);
    settings.SetColorMirror(look.color_mirror);
    settings.SetColorMirrorTo(look.color_mirror_to);
    if (look.font_color) settings.Font().SetColor(*look.font_color);
    settings.SetBevelOuter(look.bevel_outer);
    settings.SetBorderColor(look.border_color);
    settings.SetBorderShadow(look.border_shadow);
    settings.SetCollapsColor(look.collaps_color);

    caption.SetColor(look.caption_color);
    caption.SetColorTo(look.caption_color_to);
    caption.SetGradientDirection(look.caption_gradient);
    caption.Font().SetColor(look.caption_font_color);
    if (look.caption_height) {
        if (StoresCaptionHeightQuietly(style)) {
            caption.StoreHeight(*look.caption_height);
        } else {
            caption.SetHeight(*look.caption_height);
        }
    }
    if (look.caption_indent) caption.SetIndent(*look.caption_indent);
    if (look.caption_visible) caption.SetVisible(*look.caption_visible);

    bar.SetBorderStyle(look.bar_border_style);
    bar.SetBevelInner(look.bar_bevel_inner);
    bar.SetColor(look.bar_color);
    bar.SetColorTo(look.bar_color_to);
    bar.SetBorderColor(look.bar_border_color);
    if (look.bar_gradient) bar.SetGradientDirection(*look.bar_gradient);
    bar.Font().SetColor(look.bar_font_color);
}

}  // namespace

void FillSettings(TFinePanelSettings& settings, TFinePanelStyle style) {
    ui::WithinUpdate(settings, [&] {
        if (!IsCustom(style)) WriteLook(settings, style);
    });
}

}  // namespace panel
