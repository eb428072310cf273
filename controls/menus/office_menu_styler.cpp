#include "controls/menus/office_menu_styler.h"

#include <iterator>
#include <optional>

#include "controls/menus/fine_main_menu.h"
#include "controls/menus/office_colour_sets.h"
#include "platform/theme/visual_styles.h"

namespace menus {

namespace {

// Stores `value` through `set` unless the set keeps the property.
template <typename Value, typename Set>
void Put(const std::optional<Value>& value, Set set) {
    if (value) set(*value);
}

// The style each shared style stands for, in the order of the shared styles; none: the shared
// style leaves the styler as it is.
using enum TOfficeStyle;
constexpr std::optional<TOfficeStyle> kFromShared[] = {
    osOffice2003Blue,      // 0
    osOffice2003Silver,    // 1
    osOffice2003Olive,     // 2
    osOfficeXP,            // 3
    osOffice2007Luna,      // 4
    osOffice2007Obsidian,  // 5
    osOfficeXP,            // 6
    osWhidbey,             // 7
    std::nullopt,          // 8
    osOffice2007Silver,    // 9
    osVista,               // 10
    osWindows7,            // 11
    osTerminal,            // 12
    osOffice2010Blue,      // 13
    osOffice2010Silver,    // 14
    osOffice2010Black,     // 15
};
static_assert(std::size(kFromShared) == kSharedStyleCount, "one style for each shared style");

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
    case 1:
        SetStyle(TOfficeStyle::osOffice2003Blue);
        break;
    case 2:
        SetStyle(TOfficeStyle::osOffice2003Olive);
        break;
    case 3:
        SetStyle(TOfficeStyle::osOffice2003Silver);
        break;
    default:
        SetStyle(TOfficeStyle::osOfficeXP);
        break;
    }
}

void TFineMenuOfficeStyler::SetStyle(TOfficeStyle value) {
    style_ = value;
    WriteColourSet(static_cast<int>(value) % 128);
    // Redraw the bar of an attached styled menu.
    if (auto* menu = dynamic_cast<TFineMainMenu*>(Menu())) menu->DrawMenuBar();
}

void TFineMenuOfficeStyler::SetSharedStyle(TSharedStyle style) {
    const int shared = style % 128;
    if (shared >= kSharedStyleCount || !kFromShared[shared]) return;
    SetStyle(*kFromShared[shared]);
}

void TFineMenuOfficeStyler::WriteColourSet(int style) {
    if (style < 0) return;
    const TOfficeColourSet* set = OfficeColourSet(static_cast<TOfficeStyle>(style));
    if (set == nullptr) return;
    TBackground& bg = Background();
    TSeparator& sep = Separator();
    TRootItem& root = RootItem();
    TSelectedItem& sel = SelectedItem();
    TIconBar& icon = IconBar();
    TButtonAppearance& button = ButtonAppearance();
    const TOfficeColourSet::Menu& m = set->menu;
    Put(m.background_color, [&](ui::TColor c) { bg.SetColor(c); });
    Put(m.background_color_to, [&](ui::TColor c) { bg.SetColorTo(c); });
    Put(m.menu_border_color, [&](ui::TColor c) { SetMenuBorderColor(c); });
    Put(m.separator_color, [&](ui::TColor c) { sep.SetColor(c); });
    Put(m.separator_color_to, [&](ui::TColor c) { sep.SetColorTo(c); });
    const TOfficeColourSet::Root& r = set->root;
    Put(r.color, [&](ui::TColor c) { root.SetColor(c); });
    Put(r.color_to, [&](ui::TColor c) { root.SetColorTo(c); });
    Put(r.gradient_direction, [&](TGradientDirection d) { root.SetGradientDirection(d); });
    Put(r.selected_color, [&](ui::TColor c) { root.SetSelectedColor(0, c); });
    Put(r.selected_color_to, [&](ui::TColor c) { root.SetSelectedColor(1, c); });
    Put(r.selected_color_mirror, [&](ui::TColor c) { root.SetSelectedColor(2, c); });
    Put(r.selected_color_mirror_to, [&](ui::TColor c) { root.SetSelectedColor(3, c); });
    Put(r.selected_border_color, [&](ui::TColor c) { root.SetSelectedBorderColor(c); });
    Put(r.selected_text_color, [&](ui::TColor c) { root.SetSelectedTextColor(c); });
    const TOfficeColourSet::Hover& h = set->hover;
    Put(h.color, [&](ui::TColor c) { root.SetHoverColor(0, c); });
    Put(h.color_to, [&](ui::TColor c) { root.SetHoverColor(1, c); });
    Put(h.color_mirror, [&](ui::TColor c) { root.SetHoverColor(2, c); });
    Put(h.color_mirror_to, [&](ui::TColor c) { root.SetHoverColor(3, c); });
    Put(h.border_color, [&](ui::TColor c) { root.SetHoverBorderColor(c); });
    Put(h.text_color, [&](ui::TColor c) { root.SetHoverTextColor(c); });
    const TOfficeColourSet::Selected& s = set->selected;
    Put(s.color, [&](ui::TColor c) { sel.SetColor(c); });
    Put(s.color_to, [&](ui::TColor c) { sel.SetColorTo(c); });
    Put(s.color_mirror, [&](ui::TColor c) { sel.SetColorMirror(c); });
    Put(s.color_mirror_to, [&](ui::TColor c) { sel.SetColorMirrorTo(c); });
    Put(s.border_color, [&](ui::TColor c) { sel.SetBorderColor(c); });
    Put(s.check_color, [&](ui::TColor c) { sel.SetCheckColor(0, c); });
    Put(s.check_color_to, [&](ui::TColor c) { sel.SetCheckColor(1, c); });
    Put(s.check_border, [&](ui::TColor c) { sel.SetCheckBorder(c); });
    Put(s.radio_color, [&](ui::TColor c) { sel.SetRadioColor(0, c); });
    Put(s.radio_color_to, [&](ui::TColor c) { sel.SetRadioColor(1, c); });
    Put(s.radio_border, [&](ui::TColor c) { sel.SetRadioBorder(c); });
    const TOfficeColourSet::IconBar& i = set->icon_bar;
    Put(i.color, [&](ui::TColor c) { icon.SetColor(c); });
    Put(i.color_to, [&](ui::TColor c) { icon.SetColorTo(c); });
    Put(i.check_color, [&](ui::TColor c) { icon.SetCheckColor(0, c); });
    Put(i.check_color_to, [&](ui::TColor c) { icon.SetCheckColor(1, c); });
    Put(i.check_border, [&](ui::TColor c) { icon.SetCheckBorder(c); });
    Put(i.radio_color, [&](ui::TColor c) { icon.SetRadioColor(0, c); });
    Put(i.radio_color_to, [&](ui::TColor c) { icon.SetRadioColor(1, c); });
    Put(i.radio_border, [&](ui::TColor c) { icon.SetRadioBorder(c); });
    Put(i.separator_color, [&](ui::TColor c) { icon.SetSeparatorColor(c); });
    const TOfficeColourSet::Button& k = set->button;
    Put(k.hover_color, [&](ui::TColor c) { button.SetHoverColor(c); });
    Put(k.hover_color_to, [&](ui::TColor c) { button.SetHoverColorTo(c); });
    Put(k.hover_border_color, [&](ui::TColor c) { button.SetHoverBorderColor(c); });
    Put(k.down_color, [&](ui::TColor c) { button.SetDownColor(c); });
    Put(k.down_color_to, [&](ui::TColor c) { button.SetDownColorTo(c); });
    Put(k.down_border_color, [&](ui::TColor c) { button.SetDownBorderColor(c); });
}

}  // namespace menus
