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

    styler.Background().SetColor(16185078);
    styler.Background().SetColorTo(16185078);
    styler.Background().SetPosition(TBackgroundPosition::bpCenter);

    TButtonAppearance& button = styler.ButtonAppearance();
    button.SetDownColor(5149182);
    button.SetDownColorTo(9556991);
    button.SetHoverColor(13432063);
    button.SetHoverColorTo(9556223);
    button.SetDownBorderColor(ui::clNavy);
    button.SetHoverBorderColor(ui::clNavy);
    ui::TFont font;
    SetTahoma(font, -11, ui::clWindowText);
    button.SetCaptionFont(font);

    styler.IconBar().SetColorTo(12164511);

    TSelectedItem& selected = styler.SelectedItem();
    selected.SetBorderColor(524288);
    SetTahoma(font, -11, ui::clWindowText);
    selected.SetFont(font);
    SetTahoma(font, -8, ui::clWindowText);
    selected.SetNotesFont(font);

    TRootItem& root = styler.RootItem();
    root.SetColorTo(16249843);
    root.SetSelectedColor(0, 15854056);
    root.SetSelectedColor(1, 13482426);
    root.SetHoverColor(0, 13432063);
    root.SetHoverColor(1, 10147583);
    SetTahoma(font, -11, ui::clMenuText);
    root.SetFont(font);

    TSideBar& side = styler.SideBar();
    SetTahoma(font, -19, ui::clWhite, ui::TFontStyles{ui::TFontStyle::fsBold, ui::TFontStyle::fsItalic});
    side.SetFont(font);
    side.Image().SetPosition(TBackgroundPosition::bpCenter);
    side.Background().SetPosition(TBackgroundPosition::bpCenter);
    side.SetSplitterColorTo(ui::clBlack);

    styler.Separator().SetGradientType(TGradientType::gtBoth);
    styler.SetMenuBorderColor(6196597);
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
