#include "controls/panel/panel_styler.h"

#include <optional>

#include "controls/panel/color_scheme.h"
#include "controls/panel/fine_panel.h"

namespace panel {

namespace {

// The panel look of each library-wide style number; empty where the number has no panel look.
std::optional<TFinePanelStyle> PanelStyleOf(menus::TSharedStyle shared) {
    using enum TFinePanelStyle;
    static constexpr std::optional<TFinePanelStyle> kMap[16] = {
        psOffice2003Blue, psOffice2003Silver,   psOffice2003Olive,  psOffice2003Classic,
        psOffice2007Luna, psOffice2007Obsidian, psWindowsXP,        psWhidbey,
        std::nullopt,     psOffice2007Silver,   psWindowsVista,     psWindows7,
        psTerminal,       psOffice2010Blue,     psOffice2010Silver, psOffice2010Black};
    const int index = shared % 128;
    if (index > 15) return std::nullopt;
    return kMap[index];
}

ui::TWinControl* FirstWindowedOwner(ui::TComponent* component) {
    for (ui::TComponent* c = component; c != nullptr; c = c->Owner()) {
        if (auto* windowed = dynamic_cast<ui::TWinControl*>(c)) return windowed;
    }
    return nullptr;
}

}  // namespace

TFinePanelStyler::TFinePanelStyler(ui::TComponent* owner)
    : ui::TComponent(owner), notifier_(new TThemeNotifierWindow(this)) {
    if (ui::TWinControl* parent = FirstWindowedOwner(owner)) notifier_->SetParent(parent);
    notifier_->OnThemeChange = [this](ui::TPersistent*) { ThemeAdapt(); };
    settings_ = std::make_unique<TFinePanelSettings>();
    settings_->OnChange = [this](ui::TPersistent*) { ApplyToPanels(); };
    SetStyle(TFinePanelStyle::psXP);
    auto_theme_adapt_ = false;
}

TFinePanelStyler::~TFinePanelStyler() {
    MarkDestroying();
    // The notifier window goes with the owned components, after this body: it must not reach
    // a styler whose settings are gone.
    notifier_->OnThemeChange = nullptr;
    settings_.reset();
}

void TFinePanelStyler::Assign(const ui::TPersistent* source) {
    const auto* other = dynamic_cast<const TFinePanelStyler*>(source);
    if (other == nullptr) return;
    auto_theme_adapt_ = other->auto_theme_adapt_;
    settings_->Assign(other->settings_.get());
    comments_ = other->comments_;
    SetStyle(other->style_);
}

void TFinePanelStyler::SetStyle(TFinePanelStyle value) {
    style_ = value;
    FillSettings(*settings_, value);
}

void TFinePanelStyler::SetSharedStyle(menus::TSharedStyle style) {
    if (const std::optional<TFinePanelStyle> panel_style = PanelStyleOf(style)) SetStyle(*panel_style);
}

void TFinePanelStyler::Loaded() {
    ui::TComponent::Loaded();
    if (!Designing()) ThemeAdapt();
    ApplyToPanels();
}

void TFinePanelStyler::ApplyToPanels() {
    if (Loading() || Destroying() || Owner() == nullptr || settings_ == nullptr) return;
    ui::TComponent* owner = Owner();
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        auto* panel = dynamic_cast<TCustomFinePanel*>(owner->Components(i));
        if (panel != nullptr && panel->Styler() == this) panel->ApplySettings(*settings_);
    }
}

void TFinePanelStyler::ThemeAdapt() {
    if (!auto_theme_adapt_) return;
    switch (CurrentColorScheme()) {
    case 1:
        SetStyle(TFinePanelStyle::psOffice2003Blue);
        break;
    case 2:
        SetStyle(TFinePanelStyle::psOffice2003Olive);
        break;
    case 3:
        SetStyle(TFinePanelStyle::psOffice2003Silver);
        break;
    default:
        SetStyle(TFinePanelStyle::psOffice2003Classic);
        break;
    }
}

}  // namespace panel
