#include "controls/menus/office_menu_styler.h"

#include "controls/menus/fine_main_menu.h"
#include "platform/theme/visual_styles.h"

namespace menus {

namespace {

// A dash in the tables: the property keeps its value.
constexpr std::uint32_t kKeep = 0xFFFFFFFE;
constexpr std::uint32_t kVertical = static_cast<std::uint32_t>(TGradientDirection::gdVertical);
constexpr std::uint32_t kHorizontal = static_cast<std::uint32_t>(TGradientDirection::gdHorizontal);

struct TOfficeColourSet {
    std::uint32_t background[5];
    std::uint32_t root[9];
    std::uint32_t hover[6];
    std::uint32_t selected[11];
    std::uint32_t icon_bar[9];
    std::uint32_t button[6];
};

// background: Background Color, Background ColorTo, MenuBorderColor, Separator Color, Separator ColorTo
// root: Color, ColorTo, GradientDirection, SelectedColor, SelectedColorTo, SelectedColorMirror, SelectedColorMirrorTo, SelectedBorderColor, SelectedTextColor
// hover: HoverColor, HoverColorTo, HoverColorMirror, HoverColorMirrorTo, HoverBorderColor, HoverTextColor
// selected: Color, ColorTo, ColorMirror, ColorMirrorTo, BorderColor, CheckColor, CheckColorTo, CheckBorder, RadioColor, RadioColorTo, RadioBorder
// iconbar: Color, ColorTo, CheckColor, CheckColorTo, CheckBorder, RadioColor, RadioColorTo, RadioBorder, SeparatorColor
// button: HoverColor, HoverColorTo, HoverBorderColor, DownColor, DownColorTo, DownBorderColor
constexpr TOfficeColourSet kSets[] = {
    {{0xF6F6F6, 0xF6F6F6, 0x962D00, 0xCB8C6A, ui::clNone}, {0xF5BE9E, 0xF7CDB2, kHorizontal, 0xFFEFE3, 0xE7B593, ui::clNone, ui::clNone, 0x962D00, kKeep}, {0xCCF4FF, 0x9AD6FF, ui::clNone, ui::clNone, 0x6F4B4B, 0xFF000008}, {0xC2EEFF, ui::clNone, ui::clNone, ui::clNone, 0x800000, 0x3E80FE, ui::clNone, 0x800000, 0x3E80FE, ui::clNone, 0x800000}, {0xFFEFE3, 0xE4AD87, 0x6FC0FF, ui::clNone, 0x800000, 0x6FC0FF, ui::clNone, 0x800000, kKeep}, {0xCCF4FF, 0x91D0FF, 0x800000, 0x4E91FE, 0x91D3FF, 0x800000}},  // osOffice2003Blue
    {{0xF6F6F6, 0xF6F6F6, 0x5E8D75, 0x8F6D6E, ui::clNone}, {0xE5D7D7, 0xF7F3F3, kHorizontal, 0xF1E9E8, 0xCDB9BA, ui::clNone, ui::clNone, 0x947C7C, kKeep}, {0xCCF4FF, 0x9AD6FF, ui::clNone, ui::clNone, 0x6F4B4B, 0xFF000008}, {0xC2EEFF, ui::clNone, ui::clNone, ui::clNone, 0x080000, 0x3E80FE, ui::clNone, 0x6F4B4B, 0x3E80FE, ui::clNone, 0x6F4B4B}, {0xFFF9F9, 0xB99D9F, 0x6FC0FF, ui::clNone, 0x6F4B4B, 0x6FC0FF, ui::clNone, 0x6F4B4B, kKeep}, {0xCCF4FF, 0x91D0FF, 0x800000, 0x4E91FE, 0x91D3FF, 0x800000}},  // osOffice2003Silver
    {{0xF6F6F6, 0xF6F6F6, 0x5E8D75, 0x588060, ui::clNone}, {0xA8D9D9, 0xE4F0F2, kHorizontal, 0xD5F0EC, 0x9FCEC2, ui::clNone, ui::clNone, 0x5E8D75, kKeep}, {0xCCF4FF, 0x9AD6FF, ui::clNone, ui::clNone, 0x6F4B4B, 0xFF000008}, {0xC2EEFF, ui::clNone, ui::clNone, ui::clNone, 0x385D3F, 0x3E80FE, ui::clNone, 0x385D3F, 0x3E80FE, ui::clNone, 0x385D3F}, {0xEDFFFF, 0x92C7B8, 0x6FC0FF, ui::clNone, 0x385D3F, 0x6FC0FF, ui::clNone, 0x385D3F, kKeep}, {0xCCF4FF, 0x91D0FF, 0x800000, 0x4E91FE, 0x91D3FF, 0x800000}},  // osOffice2003Olive
    {{0xFF000005, 0xFF000005, 0x808080, 0x7A868A, ui::clNone}, {0xFF00000F, 0xFF00000F, kKeep, 0xFF00000F, ui::clNone, ui::clNone, ui::clNone, 0x7A868A, kKeep}, {0xEFD3C6, ui::clNone, ui::clNone, ui::clNone, 0xC66931, 0xFF000008}, {0xEFD3C6, ui::clNone, ui::clNone, ui::clNone, 0xC66931, 0xEFD3C6, ui::clNone, 0xEFD3C6, 0xEFD3C6, ui::clNone, 0xEFD3C6}, {0xFF00000F, ui::clNone, 0xFF00000F, ui::clNone, 0xFF00000F, 0xFF00000F, ui::clNone, 0xFF00000F, kKeep}, {0xEFD3C6, ui::clNone, 0xC66931, 0xB59284, ui::clNone, 0xC66931}},  // osOfficeXP
    {{0xF6F6F6, 0xF6F6F6, 0xC0C0C0, 0xC5C5C5, ui::clNone}, {0xF2DAC2, 0xF0D9C1, kVertical, 0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B, kKeep}, {0xEBFDFF, 0xABEBFF, 0x69D6FF, 0x96E4FF, 0x99CEDB, 0xFF000008}, {0xEBFDFF, 0xABEBFF, 0x69D6FF, 0x96E4FF, 0x99CEDB, 0x3E80FE, ui::clNone, 0x800000, 0x3E80FE, ui::clNone, 0x800000}, {0xEEEEE9, 0xEEEEE9, 0x6FC0FF, ui::clNone, 0x800000, 0x6FC0FF, ui::clNone, 0x800000, 0xC5C5C5}, {0xE0DEDD, 0xF4F2F1, 0xB5AFA8, 0xCCCAC9, 0xEAE8E7, 0xB5AFA8}},  // osOffice2007Luna
    {{0xF6F6F6, 0xF6F6F6, 0xC0C0C0, 0xC5C5C5, ui::clNone}, {0xB8B8B6, 0xA0A09E, kVertical, 0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B, kKeep}, {0xEBFDFF, 0xABEBFF, 0x69D6FF, 0x96E4FF, 0x99CEDB, 0xFF000008}, {0xEBFDFF, 0xABEBFF, 0x69D6FF, 0x96E4FF, 0x99CEDB, 0x3E80FE, ui::clNone, 0x800000, 0x3E80FE, ui::clNone, 0x800000}, {0xEEEEE9, 0xEEEEE9, 0x6FC0FF, ui::clNone, 0x800000, 0x6FC0FF, ui::clNone, 0x800000, 0xC5C5C5}, {0xE0DEDD, 0xF4F2F1, 0xB5AFA8, 0xCCCAC9, 0xEAE8E7, 0xB5AFA8}},  // osOffice2007Obsidian
    {},  // osCustom writes nothing
    {{0xFAFAFA, 0xFAFAFA, 0x868686, 0xC5C5C5, ui::clNone}, {0xE5D7D7, 0xF7F3F3, kHorizontal, 0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B, kKeep}, {0xEBFDFF, 0xABEBFF, 0x69D6FF, 0x96E4FF, 0x99CEDB, 0xFF000008}, {0xEBFDFF, 0xABEBFF, 0x69D6FF, 0x96E4FF, 0x99CEDB, 0x3E80FE, ui::clNone, 0x800000, 0x3E80FE, ui::clNone, 0x800000}, {0xEFEFEF, 0xEFEFEF, 0x6FC0FF, ui::clNone, 0x800000, 0x6FC0FF, ui::clNone, 0x800000, 0xC5C5C5}, {0xE0DEDD, 0xF4F2F1, 0xB5AFA8, 0xCCCAC9, 0xEAE8E7, 0xB5AFA8}},  // osOffice2007Silver
    {{0xEEEEEE, ui::clNone, 0x979797, 0xE0E0E0, 0xFFFFFF}, {0xFFFFFF, 0xEEDBD4, kVertical, 0xBBB8B6, 0xE1D0C9, 0xE1D0C9, 0xE9DAD5, 0x534D4B, kKeep}, {0xFFFFFF, 0xE7D9D3, 0xE7D9D3, 0xF9F1EF, 0xA79A95, 0xFF000008}, {0xF4F1EB, 0xF3EBDA, ui::clNone, ui::clNone, 0xEBD8A8, 0xF4EFE6, ui::clNone, 0xE6D3CD, 0xF4EFE6, ui::clNone, 0xE6D3CD}, {0xEEEEEE, ui::clNone, 0xF4EFE6, ui::clNone, 0xE6D3CD, 0xF4EFE6, ui::clNone, 0xE6D3CD, 0xC5C5C5}, {0xE0DEDD, 0xF4F2F1, 0xB5AFA8, 0xCCCAC9, 0xEAE8E7, 0xB5AFA8}},  // osVista
    {{0xF9FCFC, 0xF9FCFC, 0x7A868A, 0xB8C2C5, ui::clNone}, {0xD9E6E7, 0xD9E6E7, kKeep, 0xF4F9F9, ui::clNone, kKeep, kKeep, 0x7A868A, 0x000000}, {0xEFD3C6, ui::clNone, ui::clNone, ui::clNone, 0xC66931, 0xFF000008}, {0xEED2C1, ui::clNone, ui::clNone, ui::clNone, 0xC56A31, 0xC56A31, ui::clNone, 0x000000, 0xC56A31, ui::clNone, 0x000000}, {0xFBFEFE, 0xACC3C4, 0xE8E6E1, ui::clNone, 0xC56A31, 0xE8E6E1, ui::clNone, 0xC56A31, kKeep}, {kKeep, kKeep, kKeep, kKeep, kKeep, kKeep}},  // osWhidbey
    {{0xEEEEEE, ui::clNone, 0x979797, 0xE0E0E0, 0xFFFFFF}, {0xFFFFFF, 0xEEDBD4, kVertical, 0xFCEBDC, 0xFCDBC1, 0xFCDBC1, 0xFCEBDC, 0xCEA27D, kKeep}, {0xFFFFFF, 0xE7D9D3, 0xE7D9D3, 0xF9F1EF, 0xA79A95, 0xFF000008}, {0xFCEBDC, 0xFCDBC1, ui::clNone, ui::clNone, 0xCEA27D, 0xFCEBDC, ui::clNone, 0xE6D3CD, 0xFCEBDC, ui::clNone, 0xCEA27D}, {0xEEEEEE, ui::clNone, 0xF4EFE6, ui::clNone, 0xE6D3CD, 0xF4EFE6, ui::clNone, 0xE6D3CD, 0xC5C5C5}, {0xE0DEDD, 0xF4F2F1, 0xB5AFA8, 0xCCCAC9, 0xEAE8E7, 0xB5AFA8}},  // osWindows7
    {{0xFF00000F, 0xFF00000F, 0x808080, 0x808080, 0x808080}, {0xFF00000F, 0xFF00000F, kVertical, 0xFF00000D, 0xFF00000D, 0xFF00000D, 0xFF00000D, 0x808080, kKeep}, {0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x000000}, {0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0x808080, 0xC0C0C0, 0xC0C0C0, 0x808080, 0xC0C0C0, 0xC0C0C0, 0x808080}, {0xFF00000F, 0xFF00000F, 0xC0C0C0, 0xC0C0C0, 0x808080, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0}, {0xEFD3C6, ui::clNone, 0xC66931, 0xB59284, ui::clNone, 0xC66931}},  // osTerminal
    {{0xFFFFFF, 0xFFFFFF, 0xB0ABA7, 0xC9C8C7, 0xC9C8C7}, {0xFDF6EF, 0xF0DAC7, kVertical, 0x7BEEFF, 0x6CD0FF, 0x6CD0FF, 0x7BEEFF, 0x308AC2, kKeep}, {0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0x000000}, {0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0xC2F1FC, ui::clNone, 0x3695F2, 0xC2F1FC, ui::clNone, 0x3695F2}, {0xFFFFFF, 0xFFFFFF, 0xC2F1FC, ui::clNone, 0x3695F2, 0xC2F1FC, ui::clNone, 0x3695F2, 0xE7E4E2}, {0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0x6CD0FF, 0x7BEEFF, 0x308AC2}},  // osOffice2010Blue
    {{0xFFFFFF, 0xFFFFFF, 0xB0ABA7, 0xC9C8C7, 0xC9C8C7}, {0xFFFFFF, 0xEDE5E0, kVertical, 0x7BEEFF, 0x6CD0FF, 0x6CD0FF, 0x7BEEFF, 0x308AC2, kKeep}, {0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0x000000}, {0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0xC2F1FC, ui::clNone, 0x3695F2, 0xC2F1FC, ui::clNone, 0x3695F2}, {0xFFFFFF, 0xFFFFFF, 0xC2F1FC, ui::clNone, 0x3695F2, 0xC2F1FC, ui::clNone, 0x3695F2, 0xE7E4E2}, {0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0x6CD0FF, 0x7BEEFF, 0x308AC2}},  // osOffice2010Silver
    {{0xFFFFFF, 0xFFFFFF, 0xB0ABA7, 0xC9C8C7, 0xC9C8C7}, {0xBFBFBF, 0x919191, kVertical, 0x7BEEFF, 0x6CD0FF, 0x6CD0FF, 0x7BEEFF, 0x308AC2, kKeep}, {0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0x000000}, {0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0xC2F1FC, ui::clNone, 0x3695F2, 0xC2F1FC, ui::clNone, 0x3695F2}, {0xFFFFFF, 0xFFFFFF, 0xC2F1FC, ui::clNone, 0x3695F2, 0xC2F1FC, ui::clNone, 0x3695F2, 0xE7E4E2}, {0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0x6CD0FF, 0x7BEEFF, 0x308AC2}},  // osOffice2010Black
};

constexpr int kStyleCount = static_cast<int>(sizeof(kSets) / sizeof(kSets[0]));

// Stores `value` through `set` unless the table says to keep the property.
template <typename Set>
void Put(std::uint32_t value, Set set) {
    if (value != kKeep) set(static_cast<ui::TColor>(value));
}

TGradientDirection Direction(ui::TColor value) { return static_cast<TGradientDirection>(value); }

}  // namespace

void TNotifierWindow::WindowProc(int message) {
    if (message == theme::WM_THEMECHANGED && OnThemeChange) OnThemeChange(this);
}

int CurrentColorScheme() {
    theme::VisualStyles& styles = theme::CurrentVisualStyles();
    if (!styles.IsThemeActive()) return 0;
    const std::string scheme = styles.CurrentColorSchemeName();
    if (scheme == "NormalColor") return 1;
    if (scheme == "HomeStead") return 2;
    if (scheme == "Metallic") return 3;
    return 0;
}

TFineMenuOfficeStyler::TFineMenuOfficeStyler(ui::TComponent* owner) : TCustomFineMenuStyler(owner) {
    SetStyle(TOfficeStyle::osOffice2003Blue);
    notifier_ = new TNotifierWindow(this);
    notifier_->OnThemeChange = [this](ui::TPersistent*) { ThemeAdapt(); };
}

void TFineMenuOfficeStyler::Loaded() {
    TCustomFineMenuStyler::Loaded();
    ThemeAdapt();
}

void TFineMenuOfficeStyler::ThemeAdapt() {
    if (!auto_theme_adapt_) return;
    switch (CurrentColorScheme()) {
    case 1: SetStyle(TOfficeStyle::osOffice2003Blue); break;
    case 2: SetStyle(TOfficeStyle::osOffice2003Olive); break;
    case 3: SetStyle(TOfficeStyle::osOffice2003Silver); break;
    default: SetStyle(TOfficeStyle::osOfficeXP); break;
    }
}

void TFineMenuOfficeStyler::SetStyle(TOfficeStyle value) {
    style_ = value;
    WriteColourSet(static_cast<int>(value) % 128);
    // Redraw the bar of an attached styled menu.
    if (auto* menu = dynamic_cast<TFineMainMenu*>(Menu())) menu->DrawMenuBar();
}

void TFineMenuOfficeStyler::SetSharedStyle(TSharedStyle style) {
    static constexpr int kMap[16] = {0, 1, 2, 3, 4, 5, 3, 9, -1, 7, 8, 10, 11, 12, 13, 14};
    const int shared = style % 128;
    if (shared > 15 || kMap[shared] < 0) return;
    SetStyle(static_cast<TOfficeStyle>(kMap[shared]));
}

void TFineMenuOfficeStyler::WriteColourSet(int style) {
    if (style == static_cast<int>(TOfficeStyle::osCustom) || style < 0 || style >= kStyleCount) return;
    const TOfficeColourSet& set = kSets[style];
    TBackground& bg = Background();
    TSeparator& sep = Separator();
    TRootItem& root = RootItem();
    TSelectedItem& sel = SelectedItem();
    TIconBar& icon = IconBar();
    TButtonAppearance& button = ButtonAppearance();
    const std::uint32_t* b = set.background;
    Put(b[0], [&](ui::TColor c) { bg.SetColor(c); });
    Put(b[1], [&](ui::TColor c) { bg.SetColorTo(c); });
    Put(b[2], [&](ui::TColor c) { SetMenuBorderColor(c); });
    Put(b[3], [&](ui::TColor c) { sep.SetColor(c); });
    Put(b[4], [&](ui::TColor c) { sep.SetColorTo(c); });
    const std::uint32_t* r = set.root;
    Put(r[0], [&](ui::TColor c) { root.SetColor(c); });
    Put(r[1], [&](ui::TColor c) { root.SetColorTo(c); });
    Put(r[2], [&](ui::TColor c) { root.SetGradientDirection(Direction(c)); });
    Put(r[3], [&](ui::TColor c) { root.SetSelectedColor(0, c); });
    Put(r[4], [&](ui::TColor c) { root.SetSelectedColor(1, c); });
    Put(r[5], [&](ui::TColor c) { root.SetSelectedColor(2, c); });
    Put(r[6], [&](ui::TColor c) { root.SetSelectedColor(3, c); });
    Put(r[7], [&](ui::TColor c) { root.SetSelectedBorderColor(c); });
    Put(r[8], [&](ui::TColor c) { root.SetSelectedTextColor(c); });
    const std::uint32_t* h = set.hover;
    Put(h[0], [&](ui::TColor c) { root.SetHoverColor(0, c); });
    Put(h[1], [&](ui::TColor c) { root.SetHoverColor(1, c); });
    Put(h[2], [&](ui::TColor c) { root.SetHoverColor(2, c); });
    Put(h[3], [&](ui::TColor c) { root.SetHoverColor(3, c); });
    Put(h[4], [&](ui::TColor c) { root.SetHoverBorderColor(c); });
    Put(h[5], [&](ui::TColor c) { root.SetHoverTextColor(c); });
    const std::uint32_t* s = set.selected;
    Put(s[0], [&](ui::TColor c) { sel.SetColor(c); });
    Put(s[1], [&](ui::TColor c) { sel.SetColorTo(c); });
    Put(s[2], [&](ui::TColor c) { sel.SetColorMirror(c); });
    Put(s[3], [&](ui::TColor c) { sel.SetColorMirrorTo(c); });
    Put(s[4], [&](ui::TColor c) { sel.SetBorderColor(c); });
    Put(s[5], [&](ui::TColor c) { sel.SetCheckColor(0, c); });
    Put(s[6], [&](ui::TColor c) { sel.SetCheckColor(1, c); });
    Put(s[7], [&](ui::TColor c) { sel.SetCheckBorder(c); });
    Put(s[8], [&](ui::TColor c) { sel.SetRadioColor(0, c); });
    Put(s[9], [&](ui::TColor c) { sel.SetRadioColor(1, c); });
    Put(s[10], [&](ui::TColor c) { sel.SetRadioBorder(c); });
    const std::uint32_t* i = set.icon_bar;
    Put(i[0], [&](ui::TColor c) { icon.SetColor(c); });
    Put(i[1], [&](ui::TColor c) { icon.SetColorTo(c); });
    Put(i[2], [&](ui::TColor c) { icon.SetCheckColor(0, c); });
    Put(i[3], [&](ui::TColor c) { icon.SetCheckColor(1, c); });
    Put(i[4], [&](ui::TColor c) { icon.SetCheckBorder(c); });
    Put(i[5], [&](ui::TColor c) { icon.SetRadioColor(0, c); });
    Put(i[6], [&](ui::TColor c) { icon.SetRadioColor(1, c); });
    Put(i[7], [&](ui::TColor c) { icon.SetRadioBorder(c); });
    Put(i[8], [&](ui::TColor c) { icon.SetSeparatorColor(c); });
    const std::uint32_t* k = set.button;
    Put(k[0], [&](ui::TColor c) { button.SetHoverColor(c); });
    Put(k[1], [&](ui::TColor c) { button.SetHoverColorTo(c); });
    Put(k[2], [&](ui::TColor c) { button.SetHoverBorderColor(c); });
    Put(k[3], [&](ui::TColor c) { button.SetDownColor(c); });
    Put(k[4], [&](ui::TColor c) { button.SetDownColorTo(c); });
    Put(k[5], [&](ui::TColor c) { button.SetDownBorderColor(c); });
}

}  // namespace menus
