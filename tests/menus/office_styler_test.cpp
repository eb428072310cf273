// The Office styler: every colour set written into the appearance objects (dashes keep the
// value), shared styles, theme adaptation, and a styler bound to a plain menu.
#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "controls/menus/fine_main_menu.h"
#include "controls/menus/office_colour_sets.h"
#include "controls/menus/office_menu_styler.h"
#include "platform/theme/fake_visual_styles.h"
#include "platform/ui/forms/form.h"
#include "platform/ui/forms/menu_bar.h"
#include "tests/support/render.h"

namespace {

using namespace menus;
using ui::TColor;

constexpr std::uint32_t kKeep = 0xFFFFFFFE;  // a dash: the property keeps its value
constexpr std::uint32_t kVertical = 0;
constexpr std::uint32_t kHorizontal = 1;
constexpr TColor kSentinel = 0x00ABCDEF;

struct Cell {
    TOfficeStyle style;
    const char* property;
    std::uint32_t value;
};

// A few cells of the colour tables, against slips in the sets: the style the main window uses,
// a system colour, a gradient direction and dashes.
const Cell kCells[] = {
    {TOfficeStyle::osOffice2003Silver, "background.MenuBorderColor", 0x5E8D75},
    {TOfficeStyle::osOffice2003Silver, "root.Color", 0xE5D7D7},
    {TOfficeStyle::osOffice2003Silver, "root.SelectedBorderColor", 0x947C7C},
    {TOfficeStyle::osOffice2003Silver, "selected.BorderColor", 0x080000},
    {TOfficeStyle::osOffice2003Silver, "iconbar.ColorTo", 0xB99D9F},
    {TOfficeStyle::osOfficeXP, "background.Background Color", 0xFF000005},
    {TOfficeStyle::osOffice2007Luna, "root.GradientDirection", kVertical},
    {TOfficeStyle::osVista, "background.Background ColorTo", ui::clNone},
    {TOfficeStyle::osWhidbey, "root.SelectedTextColor", 0x000000},
    {TOfficeStyle::osWhidbey, "root.SelectedColorMirror", kKeep},
    {TOfficeStyle::osWhidbey, "button.DownColor", kKeep},
    {TOfficeStyle::osOffice2010Black, "button.DownBorderColor", 0x308AC2},
};

// How a property reads, how a test sets it, and what a colour set writes into it (empty: kept).
struct Property {
    std::function<std::uint32_t(TFineMenuOfficeStyler&)> get;
    std::function<void(TFineMenuOfficeStyler&, std::uint32_t)> set;
    std::function<std::optional<std::uint32_t>(const TOfficeColourSet&)> written;
};

#define QBK_WRITTEN(field) [](const TOfficeColourSet& c) -> std::optional<std::uint32_t> { return c.field; }
#define QBK_COLOR(name, field, object, getter, setter)                                                      \
    {                                                                                                       \
        name, {                                                                                             \
            [](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.object getter); },           \
                [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.object setter(static_cast<TColor>(v)); }, \
                QBK_WRITTEN(field)                                                                          \
        }                                                                                                   \
    }
#define QBK_INDEXED(name, field, object, getter, setter, index)                                                  \
    {                                                                                                            \
        name, {                                                                                                  \
            [](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.object getter); },                \
                [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.object setter(index, v); }, QBK_WRITTEN(field) \
        }                                                                                                        \
    }

const std::map<std::string, Property>& Properties() {
    static const std::map<std::string, Property> properties = {
        QBK_COLOR("background.Background Color", menu.background_color, Background(), .Color(), .SetColor),
        QBK_COLOR("background.Background ColorTo", menu.background_color_to, Background(), .ColorTo(), .SetColorTo),
        {"background.MenuBorderColor",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.MenuBorderColor()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.SetMenuBorderColor(static_cast<TColor>(v)); },
          QBK_WRITTEN(menu.menu_border_color)}},
        QBK_COLOR("background.Separator Color", menu.separator_color, Separator(), .Color(), .SetColor),
        QBK_COLOR("background.Separator ColorTo", menu.separator_color_to, Separator(), .ColorTo(), .SetColorTo),
        QBK_COLOR("root.Color", root.color, RootItem(), .Color(), .SetColor),
        QBK_COLOR("root.ColorTo", root.color_to, RootItem(), .ColorTo(), .SetColorTo),
        {"root.GradientDirection",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.RootItem().GradientDirection()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t) {
              s.RootItem().SetGradientDirection(TGradientDirection::gdVertical);
          },
          [](const TOfficeColourSet& c) -> std::optional<std::uint32_t> {
              if (!c.root.gradient_direction) return std::nullopt;
              return static_cast<std::uint32_t>(*c.root.gradient_direction);
          }}},
        QBK_INDEXED("root.SelectedColor", root.selected_color, RootItem(), .SelectedColor(), .SetSelectedColor, 0),
        QBK_INDEXED("root.SelectedColorTo", root.selected_color_to, RootItem(), .SelectedColorTo(), .SetSelectedColor,
                    1),
        QBK_INDEXED("root.SelectedColorMirror", root.selected_color_mirror, RootItem(), .SelectedColorMirror(),
                    .SetSelectedColor, 2),
        QBK_INDEXED("root.SelectedColorMirrorTo", root.selected_color_mirror_to, RootItem(), .SelectedColorMirrorTo(),
                    .SetSelectedColor, 3),
        QBK_COLOR("root.SelectedBorderColor", root.selected_border_color, RootItem(), .SelectedBorderColor(),
                  .SetSelectedBorderColor),
        QBK_COLOR("root.SelectedTextColor", root.selected_text_color, RootItem(), .SelectedTextColor(),
                  .SetSelectedTextColor),
        QBK_INDEXED("hover.HoverColor", hover.color, RootItem(), .HoverColor(), .SetHoverColor, 0),
        QBK_INDEXED("hover.HoverColorTo", hover.color_to, RootItem(), .HoverColorTo(), .SetHoverColor, 1),
        QBK_INDEXED("hover.HoverColorMirror", hover.color_mirror, RootItem(), .HoverColorMirror(), .SetHoverColor, 2),
        QBK_INDEXED("hover.HoverColorMirrorTo", hover.color_mirror_to, RootItem(), .HoverColorMirrorTo(),
                    .SetHoverColor, 3),
        QBK_COLOR("hover.HoverBorderColor", hover.border_color, RootItem(), .HoverBorderColor(), .SetHoverBorderColor),
        QBK_COLOR("hover.HoverTextColor", hover.text_color, RootItem(), .HoverTextColor(), .SetHoverTextColor),
        QBK_COLOR("selected.Color", selected.color, SelectedItem(), .Color(), .SetColor),
        QBK_COLOR("selected.ColorTo", selected.color_to, SelectedItem(), .ColorTo(), .SetColorTo),
        QBK_COLOR("selected.ColorMirror", selected.color_mirror, SelectedItem(), .ColorMirror(), .SetColorMirror),
        QBK_COLOR("selected.ColorMirrorTo", selected.color_mirror_to, SelectedItem(), .ColorMirrorTo(),
                  .SetColorMirrorTo),
        QBK_COLOR("selected.BorderColor", selected.border_color, SelectedItem(), .BorderColor(), .SetBorderColor),
        QBK_INDEXED("selected.CheckColor", selected.check_color, SelectedItem(), .CheckColor(), .SetCheckColor, 0),
        QBK_INDEXED("selected.CheckColorTo", selected.check_color_to, SelectedItem(), .CheckColorTo(), .SetCheckColor,
                    1),
        QBK_COLOR("selected.CheckBorder", selected.check_border, SelectedItem(), .CheckBorder(), .SetCheckBorder),
        QBK_INDEXED("selected.RadioColor", selected.radio_color, SelectedItem(), .RadioColor(), .SetRadioColor, 0),
        QBK_INDEXED("selected.RadioColorTo", selected.radio_color_to, SelectedItem(), .RadioColorTo(), .SetRadioColor,
                    1),
        QBK_COLOR("selected.RadioBorder", selected.radio_border, SelectedItem(), .RadioBorder(), .SetRadioBorder),
        QBK_COLOR("iconbar.Color", icon_bar.color, IconBar(), .Color(), .SetColor),
        QBK_COLOR("iconbar.ColorTo", icon_bar.color_to, IconBar(), .ColorTo(), .SetColorTo),
        QBK_INDEXED("iconbar.CheckColor", icon_bar.check_color, IconBar(), .CheckColor(), .SetCheckColor, 0),
        QBK_INDEXED("iconbar.CheckColorTo", icon_bar.check_color_to, IconBar(), .CheckColorTo(), .SetCheckColor, 1),
        QBK_COLOR("iconbar.CheckBorder", icon_bar.check_border, IconBar(), .CheckBorder(), .SetCheckBorder),
        QBK_INDEXED("iconbar.RadioColor", icon_bar.radio_color, IconBar(), .RadioColor(), .SetRadioColor, 0),
        QBK_INDEXED("iconbar.RadioColorTo", icon_bar.radio_color_to, IconBar(), .RadioColorTo(), .SetRadioColor, 1),
        QBK_COLOR("iconbar.RadioBorder", icon_bar.radio_border, IconBar(), .RadioBorder(), .SetRadioBorder),
        QBK_COLOR("iconbar.SeparatorColor", icon_bar.separator_color, IconBar(), .SeparatorColor(), .SetSeparatorColor),
        QBK_COLOR("button.HoverColor", button.hover_color, ButtonAppearance(), .HoverColor(), .SetHoverColor),
        QBK_COLOR("button.HoverColorTo", button.hover_color_to, ButtonAppearance(), .HoverColorTo(), .SetHoverColorTo),
        QBK_COLOR("button.HoverBorderColor", button.hover_border_color, ButtonAppearance(), .HoverBorderColor(),
                  .SetHoverBorderColor),
        QBK_COLOR("button.DownColor", button.down_color, ButtonAppearance(), .DownColor(), .SetDownColor),
        QBK_COLOR("button.DownColorTo", button.down_color_to, ButtonAppearance(), .DownColorTo(), .SetDownColorTo),
        QBK_COLOR("button.DownBorderColor", button.down_border_color, ButtonAppearance(), .DownBorderColor(),
                  .SetDownBorderColor),
    };
    return properties;
}

#undef QBK_INDEXED
#undef QBK_WRITTEN

class BarSpy : public TFineMainMenu {
public:
    explicit BarSpy(ui::TComponent* owner) : TFineMainMenu(owner) {}
    void DrawMenuBar() override { ++redraws; }
    int redraws = 0;
};

struct OfficeFixture : ::testing::Test {
    bool application_ = (test_support::EnsureApplication(), true);
    ui::TComponent owner{nullptr};
    TFineMenuOfficeStyler* styler = new TFineMenuOfficeStyler(&owner);
    void SetAllToSentinel() {
        for (const auto& [name, property] : Properties()) property.set(*styler, kSentinel);
    }
};

TEST_F(OfficeFixture, EveryStyleWritesItsTableAndDashesKeepTheValue) {
    auto* menu = new BarSpy(&owner);
    menu->SetMenuStyler(styler);
    // Every property a set names is written or kept, and the cells read back as the tables give them.
    ASSERT_EQ(Properties().size(), 46u);
    auto expect_written = [&](const std::string& name, const Property& property, std::optional<std::uint32_t> value) {
        const std::uint32_t kept = name == "root.GradientDirection" ? kVertical : kSentinel;
        EXPECT_EQ(property.get(*styler), value.value_or(kept)) << static_cast<int>(styler->Style()) << " " << name;
    };
    int styles = 0;
    for (int style = 0; style <= static_cast<int>(TOfficeStyle::osOffice2010Black); ++style) {
        if (style == static_cast<int>(TOfficeStyle::osCustom)) continue;
        ++styles;
        SetAllToSentinel();
        menu->redraws = 0;
        styler->SetStyle(static_cast<TOfficeStyle>(style));
        EXPECT_EQ(menu->redraws, 1) << style;
        const TOfficeColourSet* set = OfficeColourSet(static_cast<TOfficeStyle>(style));
        ASSERT_NE(set, nullptr) << style;
        for (const auto& [name, property] : Properties()) expect_written(name, property, property.written(*set));
        for (const Cell& cell : kCells) {
            if (static_cast<int>(cell.style) != style) continue;
            expect_written(cell.property, Properties().at(cell.property),
                           cell.value == kKeep ? std::nullopt : std::optional<std::uint32_t>(cell.value));
        }
    }
    EXPECT_EQ(styles, 14);
    // osCustom keeps every colour and still redraws the bar.
    SetAllToSentinel();
    menu->redraws = 0;
    styler->SetStyle(TOfficeStyle::osCustom);
    EXPECT_EQ(menu->redraws, 1);
    for (const auto& [name, property] : Properties()) {
        if (name != "root.GradientDirection") {
            EXPECT_EQ(property.get(*styler), kSentinel) << name;
        }
    }
    EXPECT_EQ(styler->Style(), TOfficeStyle::osCustom);
}

TEST_F(OfficeFixture, SharedStylesMapOntoOfficeStyles) {
    const struct {
        int shared;
        TOfficeStyle style;
    } rows[] = {
        {0, TOfficeStyle::osOffice2003Blue},     {1, TOfficeStyle::osOffice2003Silver},
        {2, TOfficeStyle::osOffice2003Olive},    {3, TOfficeStyle::osOfficeXP},
        {6, TOfficeStyle::osOfficeXP},           {4, TOfficeStyle::osOffice2007Luna},
        {5, TOfficeStyle::osOffice2007Obsidian}, {7, TOfficeStyle::osWhidbey},
        {9, TOfficeStyle::osOffice2007Silver},   {10, TOfficeStyle::osVista},
        {11, TOfficeStyle::osWindows7},          {12, TOfficeStyle::osTerminal},
        {13, TOfficeStyle::osOffice2010Blue},    {14, TOfficeStyle::osOffice2010Silver},
        {15, TOfficeStyle::osOffice2010Black},   {128 + 1, TOfficeStyle::osOffice2003Silver},
    };
    for (const auto& row : rows) {
        styler->SetStyle(TOfficeStyle::osCustom);
        styler->SetSharedStyle(static_cast<TSharedStyle>(row.shared));
        EXPECT_EQ(styler->Style(), row.style) << row.shared;
    }
    styler->SetStyle(TOfficeStyle::osVista);
    styler->SetSharedStyle(8);
    styler->SetSharedStyle(16);
    EXPECT_EQ(styler->Style(), TOfficeStyle::osVista);
}

TEST_F(OfficeFixture, ThemeAdaptationFollowsTheColourScheme) {
    theme::FakeVisualStyles styles;
    theme::ScopedVisualStyles scope(styles);
    const struct {
        bool active;
        const char* scheme;
        TOfficeStyle style;
    } rows[] = {
        {true, "NormalColor", TOfficeStyle::osOffice2003Blue}, {true, "HomeStead", TOfficeStyle::osOffice2003Olive},
        {true, "Metallic", TOfficeStyle::osOffice2003Silver},  {true, "Royale", TOfficeStyle::osOfficeXP},
        {false, "NormalColor", TOfficeStyle::osOfficeXP},
    };
    styler->SetAutoThemeAdapt(true);
    for (const auto& row : rows) {
        styles.active = row.active;
        styles.color_scheme = row.scheme;
        styler->SetStyle(TOfficeStyle::osVista);
        styler->NotifierWindow().WindowProc(theme::WM_THEMECHANGED);
        EXPECT_EQ(styler->Style(), row.style) << row.scheme;
    }
    styler->SetAutoThemeAdapt(false);
    styler->SetStyle(TOfficeStyle::osVista);
    styler->NotifierWindow().WindowProc(theme::WM_THEMECHANGED);
    EXPECT_EQ(styler->Style(), TOfficeStyle::osVista);
}

// A menu that counts the refreshes it is told of.
class PlainMenuSpy : public ui::TMainMenu {
public:
    explicit PlainMenuSpy(ui::TComponent* owner) : ui::TMainMenu(owner) {}
    int changes = 0;

protected:
    void MenuChanged(ui::TMenuItem* source, bool rebuild) override {
        ++changes;
        ui::TMainMenu::MenuChanged(source, rebuild);
    }
};

// Counts the paints a widget gets.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QObject* watched) { watched->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(OfficeFixture, WithoutAStyledMenuColoursChangeAndNothingRedraws) {
    ui::TForm form{nullptr};
    auto* plain = new PlainMenuSpy(&form);
    auto* item = new ui::TMenuItem(plain);
    item->SetCaption("&File");
    plain->Items()->Add(item);
    form.SetMenu(plain);
    form.Show();
    ui::TMenuWindow& bar = form.MenuBar()->Window();
    PaintCounter counter(bar.Widget());
    QApplication::processEvents();
    styler->SetMenu(plain);
    plain->changes = 0;
    counter.paints = 0;
    styler->SetStyle(TOfficeStyle::osOffice2010Black);
    ui::TFont font;
    font.SetHeight(-15);
    styler->SetFont(font);  // a change that rebuilds a styled menu
    QApplication::processEvents();
    EXPECT_EQ(styler->RootItem().Color(), 0xBFBFBFu);
    EXPECT_EQ(plain->changes, 0);
    EXPECT_EQ(counter.paints, 0);
    // The counters do see a refresh of this bar.
    plain->UpdateItems();
    bar.Invalidate();
    QApplication::processEvents();
    EXPECT_GT(plain->changes, 0);
    EXPECT_GT(counter.paints, 0);
}

}  // namespace
