#include "app/main_window_styling.h"

namespace app {

namespace {

void SetTahoma(ui::TFont& font, int height, ui::TColor colour, ui::TFontStyles style = {}) {
    font.SetName("Tahoma");
    font.SetHeight(height);
    font.SetColor(colour);
    font.SetStyle(style);
}

}  // namespace

menus::TFineMenuOfficeStyler* CreateMainMenuStyler(ui::TComponent* owner) {
    auto* styler = new menus::TFineMenuOfficeStyler(owner);
    styler->SetName("FineMenuOfficeStyler1");
    styler->SetStyle(menus::TOfficeStyle::osOffice2003Silver);
    ApplyStoredMenuStyling(*styler);
    return styler;
}

void ApplyStoredMenuStyling(menus::TFineMenuOfficeStyler& styler) {
    using namespace menus;
    styler.SetAntiAlias(TAntiAlias::aaNone);
    styler.SetAutoThemeAdapt(false);

    // Colours as the class library writes them: 0x00BBGGRR.
    styler.Background().SetColor(0xF6F6F6);  // near-white grey
    styler.Background().SetColorTo(0xF6F6F6);
    styler.Background().SetPosition(TBackgroundPosition::bpCenter);

    TButtonAppearance& button = styler.ButtonAppearance();
    button.SetDownColor(0x4E91FE);     // pressed: orange
    button.SetDownColorTo(0x91D3FF);   // to light orange
    button.SetHoverColor(0xCCF4FF);    // hovered: pale yellow
    button.SetHoverColorTo(0x91D0FF);  // to light orange
    button.SetDownBorderColor(ui::clNavy);
    button.SetHoverBorderColor(ui::clNavy);
    ui::TFont font;
    SetTahoma(font, -11, ui::clWindowText);
    button.SetCaptionFont(font);

    styler.IconBar().SetColorTo(0xB99D9F);  // greyish lavender

    TSelectedItem& selected = styler.SelectedItem();
    selected.SetBorderColor(0x080000);  // all but black, a trace of blue
    SetTahoma(font, -11, ui::clWindowText);
    selected.SetFont(font);
    SetTahoma(font, -8, ui::clWindowText);
    selected.SetNotesFont(font);

    TRootItem& root = styler.RootItem();
    root.SetColorTo(0xF7F3F3);           // near-white, a touch of blue
    root.SetSelectedColor(0, 0xF1E9E8);  // open: pale lavender
    root.SetSelectedColor(1, 0xCDB9BA);  // to greyish lavender
    root.SetHoverColor(0, 0xCCF4FF);     // hovered: pale yellow
    root.SetHoverColor(1, 0x9AD6FF);     // to light orange
    SetTahoma(font, -11, ui::clMenuText);
    root.SetFont(font);

    TSideBar& side = styler.SideBar();
    SetTahoma(font, -19, ui::clWhite, ui::TFontStyles{ui::TFontStyle::fsBold, ui::TFontStyle::fsItalic});
    side.SetFont(font);
    side.Image().SetPosition(TBackgroundPosition::bpCenter);
    side.Background().SetPosition(TBackgroundPosition::bpCenter);
    side.SetSplitterColorTo(ui::clBlack);

    styler.Separator().SetGradientType(TGradientType::gtBoth);
    styler.SetMenuBorderColor(0x5E8D75);  // grey-green
    SetTahoma(font, -11, ui::clMenuText);
    styler.SetFont(font);
    SetTahoma(font, -8, ui::clGray);
    styler.SetNotesFont(font);
}

void StyleToolPanel(panel::TFinePanel& panel) {
    panel.SetColor(ui::clSilver);
    panel.SetColorTo(ui::clMenu);
    SetTahoma(panel.Font(), -11, ui::clWindowText);
    panel::TPanelCaption& caption = panel.Caption();
    caption.SetColor(ui::clHighlight);
    caption.SetColorTo(ui::clNone);
    ui::TFont font;
    SetTahoma(font, -11, ui::clHighlightText);
    caption.SetFont(font);
    caption.SetGradientDirection(panel::TGradientDirection::gdVertical);
    SetTahoma(font, -11, ui::clWindowText);
    panel.StatusBar().SetFont(font);
    panel.SetFullHeight(0);
    panel.SetVersion("2.0.1.0");
}

void StyleMainMenu(menus::TFineMainMenu& menu, menus::TFineMenuOfficeStyler& styler) {
    menu.SetMenuStyler(&styler);
    menu.HookItems(nullptr, true, true);
    menu.UpdateItems();
}

}  // namespace app
