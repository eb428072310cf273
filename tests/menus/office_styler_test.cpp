// The Office styler: every colour set written into the appearance objects (dashes keep the
// value), shared styles, theme adaptation, and a styler bound to a plain menu.
#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controls/menus/fine_main_menu.h"
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

constexpr std::uint32_t kNone = ui::clNone;

// The styles with a colour set, in the order of the rows below.
constexpr TOfficeStyle kStyles[] = {
    TOfficeStyle::osOffice2003Blue,   TOfficeStyle::osOffice2003Silver,
    TOfficeStyle::osOffice2003Olive,  TOfficeStyle::osOfficeXP,
    TOfficeStyle::osOffice2007Luna,   TOfficeStyle::osOffice2007Obsidian,
    TOfficeStyle::osOffice2007Silver, TOfficeStyle::osVista,
    TOfficeStyle::osWhidbey,          TOfficeStyle::osWindows7,
    TOfficeStyle::osTerminal,         TOfficeStyle::osOffice2010Blue,
    TOfficeStyle::osOffice2010Silver, TOfficeStyle::osOffice2010Black,
};
constexpr bool EveryStyleButCustomInOrder() {
    std::size_t expected = 0;
    for (const TOfficeStyle style : kStyles) {
        if (expected == static_cast<std::size_t>(TOfficeStyle::osCustom)) ++expected;
        if (static_cast<std::size_t>(style) != expected++) return false;
    }
    return expected == kOfficeStyleCount;
}
static_assert(EveryStyleButCustomInOrder(), "kStyles lists every style but osCustom, in their order");

// Every cell of the colour sets, written out here apart from the styler's own table (so that a
// slip in either shows): one table a group of properties, one row a style. kKeep: the style
// leaves the property as it was.
struct SetTable {
    std::vector<std::string> columns;
    std::vector<std::vector<std::uint32_t>> rows;
};
// clang-format off
const SetTable kSetTables[] = {
    {{"background.Background Color", "background.Background ColorTo", "background.MenuBorderColor", "background.Separator Color", "background.Separator ColorTo"},
     {
         {0xF6F6F6, 0xF6F6F6, 0x962D00, 0xCB8C6A, kNone},  // osOffice2003Blue
         {0xF6F6F6, 0xF6F6F6, 0x5E8D75, 0x8F6D6E, kNone},  // osOffice2003Silver
         {0xF6F6F6, 0xF6F6F6, 0x5E8D75, 0x588060, kNone},  // osOffice2003Olive
         {0xFF000005, 0xFF000005, 0x808080, 0x7A868A, kNone},  // osOfficeXP
         {0xF6F6F6, 0xF6F6F6, 0xC0C0C0, 0xC5C5C5, kNone},  // osOffice2007Luna
         {0xF6F6F6, 0xF6F6F6, 0xC0C0C0, 0xC5C5C5, kNone},  // osOffice2007Obsidian
         {0xFAFAFA, 0xFAFAFA, 0x868686, 0xC5C5C5, kNone},  // osOffice2007Silver
         {0xEEEEEE, kNone, 0x979797, 0xE0E0E0, 0xFFFFFF},  // osVista
         {0xF9FCFC, 0xF9FCFC, 0x7A868A, 0xB8C2C5, kNone},  // osWhidbey
         {0xEEEEEE, kNone, 0x979797, 0xE0E0E0, 0xFFFFFF},  // osWindows7
         {0xFF00000F, 0xFF00000F, 0x808080, 0x808080, 0x808080},  // osTerminal
         {0xFFFFFF, 0xFFFFFF, 0xB0ABA7, 0xC9C8C7, 0xC9C8C7},  // osOffice2010Blue
         {0xFFFFFF, 0xFFFFFF, 0xB0ABA7, 0xC9C8C7, 0xC9C8C7},  // osOffice2010Silver
         {0xFFFFFF, 0xFFFFFF, 0xB0ABA7, 0xC9C8C7, 0xC9C8C7},  // osOffice2010Black
     }},
    {{"root.Color", "root.ColorTo", "root.GradientDirection", "root.SelectedColor", "root.SelectedColorTo", "root.SelectedColorMirror", "root.SelectedColorMirrorTo", "root.SelectedBorderColor", "root.SelectedTextColor"},
     {
         {0xF5BE9E, 0xF7CDB2, kHorizontal, 0xFFEFE3, 0xE7B593, kNone, kNone, 0x962D00, kKeep},  // osOffice2003Blue
         {0xE5D7D7, 0xF7F3F3, kHorizontal, 0xF1E9E8, 0xCDB9BA, kNone, kNone, 0x947C7C, kKeep},  // osOffice2003Silver
         {0xA8D9D9, 0xE4F0F2, kHorizontal, 0xD5F0EC, 0x9FCEC2, kNone, kNone, 0x5E8D75, kKeep},  // osOffice2003Olive
         {0xFF00000F, 0xFF00000F, kKeep, 0xFF00000F, kNone, kNone, kNone, 0x7A868A, kKeep},  // osOfficeXP
         {0xF2DAC2, 0xF0D9C1, kVertical, 0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B, kKeep},  // osOffice2007Luna
         {0xB8B8B6, 0xA0A09E, kVertical, 0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B, kKeep},  // osOffice2007Obsidian
         {0xE5D7D7, 0xF7F3F3, kHorizontal, 0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B, kKeep},  // osOffice2007Silver
         {0xFFFFFF, 0xEEDBD4, kVertical, 0xBBB8B6, 0xE1D0C9, 0xE1D0C9, 0xE9DAD5, 0x534D4B, kKeep},  // osVista
         {0xD9E6E7, 0xD9E6E7, kKeep, 0xF4F9F9, kNone, kKeep, kKeep, 0x7A868A, 0x000000},  // osWhidbey
         {0xFFFFFF, 0xEEDBD4, kVertical, 0xFCEBDC, 0xFCDBC1, 0xFCDBC1, 0xFCEBDC, 0xCEA27D, kKeep},  // osWindows7
         {0xFF00000F, 0xFF00000F, kVertical, 0xFF00000D, 0xFF00000D, 0xFF00000D, 0xFF00000D, 0x808080, kKeep},  // osTerminal
         {0xFDF6EF, 0xF0DAC7, kVertical, 0x7BEEFF, 0x6CD0FF, 0x6CD0FF, 0x7BEEFF, 0x308AC2, kKeep},  // osOffice2010Blue
         {0xFFFFFF, 0xEDE5E0, kVertical, 0x7BEEFF, 0x6CD0FF, 0x6CD0FF, 0x7BEEFF, 0x308AC2, kKeep},  // osOffice2010Silver
         {0xBFBFBF, 0x919191, kVertical, 0x7BEEFF, 0x6CD0FF, 0x6CD0FF, 0x7BEEFF, 0x308AC2, kKeep},  // osOffice2010Black
     }},
    {{"hover.HoverColor", "hover.HoverColorTo", "hover.HoverColorMirror", "hover.HoverColorMirrorTo", "hover.HoverBorderColor", "hover.HoverTextColor"},
     {
         {0xCCF4FF, 0x9AD6FF, kNone, kNone, 0x6F4B4B, 0xFF000008},  // osOffice2003Blue
         {0xCCF4FF, 0x9AD6FF, kNone, kNone, 0x6F4B4B, 0xFF000008},  // osOffice2003Silver
         {0xCCF4FF, 0x9AD6FF, kNone, kNone, 0x6F4B4B, 0xFF000008},  // osOffice2003Olive
         {0xEFD3C6, kNone, kNone, kNone, 0xC66931, 0xFF000008},  // osOfficeXP
         {0xEBFDFF, 0xABEBFF, 0x69D6FF, 0x96E4FF, 0x99CEDB, 0xFF000008},  // osOffice2007Luna
         {0xEBFDFF, 0xABEBFF, 0x69D6FF, 0x96E4FF, 0x99CEDB, 0xFF000008},  // osOffice2007Obsidian
         {0xEBFDFF, 0xABEBFF, 0x69D6FF, 0x96E4FF, 0x99CEDB, 0xFF000008},  // osOffice2007Silver
         {0xFFFFFF, 0xE7D9D3, 0xE7D9D3, 0xF9F1EF, 0xA79A95, 0xFF000008},  // osVista
         {0xEFD3C6, kNone, kNone, kNone, 0xC66931, 0xFF000008},  // osWhidbey
         {0xFFFFFF, 0xE7D9D3, 0xE7D9D3, 0xF9F1EF, 0xA79A95, 0xFF000008},  // osWindows7
         {0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x000000},  // osTerminal
         {0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0x000000},  // osOffice2010Blue
         {0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0x000000},  // osOffice2010Silver
         {0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0x000000},  // osOffice2010Black
     }},
    {{"selected.Color", "selected.ColorTo", "selected.ColorMirror", "selected.ColorMirrorTo", "selected.BorderColor", "selected.CheckColor", "selected.CheckColorTo", "selected.CheckBorder", "selected.RadioColor", "selected.RadioColorTo", "selected.RadioBorder"},
     {
         {0xC2EEFF, kNone, kNone, kNone, 0x800000, 0x3E80FE, kNone, 0x800000, 0x3E80FE, kNone, 0x800000},  // osOffice2003Blue
         {0xC2EEFF, kNone, kNone, kNone, 0x080000, 0x3E80FE, kNone, 0x6F4B4B, 0x3E80FE, kNone, 0x6F4B4B},  // osOffice2003Silver
         {0xC2EEFF, kNone, kNone, kNone, 0x385D3F, 0x3E80FE, kNone, 0x385D3F, 0x3E80FE, kNone, 0x385D3F},  // osOffice2003Olive
         {0xEFD3C6, kNone, kNone, kNone, 0xC66931, 0xEFD3C6, kNone, 0xEFD3C6, 0xEFD3C6, kNone, 0xEFD3C6},  // osOfficeXP
         {0xEBFDFF, 0xABEBFF, 0x69D6FF, 0x96E4FF, 0x99CEDB, 0x3E80FE, kNone, 0x800000, 0x3E80FE, kNone, 0x800000},  // osOffice2007Luna
         {0xEBFDFF, 0xABEBFF, 0x69D6FF, 0x96E4FF, 0x99CEDB, 0x3E80FE, kNone, 0x800000, 0x3E80FE, kNone, 0x800000},  // osOffice2007Obsidian
         {0xEBFDFF, 0xABEBFF, 0x69D6FF, 0x96E4FF, 0x99CEDB, 0x3E80FE, kNone, 0x800000, 0x3E80FE, kNone, 0x800000},  // osOffice2007Silver
         {0xF4F1EB, 0xF3EBDA, kNone, kNone, 0xEBD8A8, 0xF4EFE6, kNone, 0xE6D3CD, 0xF4EFE6, kNone, 0xE6D3CD},  // osVista
         {0xEED2C1, kNone, kNone, kNone, 0xC56A31, 0xC56A31, kNone, 0x000000, 0xC56A31, kNone, 0x000000},  // osWhidbey
         {0xFCEBDC, 0xFCDBC1, kNone, kNone, 0xCEA27D, 0xFCEBDC, kNone, 0xE6D3CD, 0xFCEBDC, kNone, 0xCEA27D},  // osWindows7
         {0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0x808080, 0xC0C0C0, 0xC0C0C0, 0x808080, 0xC0C0C0, 0xC0C0C0, 0x808080},  // osTerminal
         {0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0xC2F1FC, kNone, 0x3695F2, 0xC2F1FC, kNone, 0x3695F2},  // osOffice2010Blue
         {0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0xC2F1FC, kNone, 0x3695F2, 0xC2F1FC, kNone, 0x3695F2},  // osOffice2010Silver
         {0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0xC2F1FC, kNone, 0x3695F2, 0xC2F1FC, kNone, 0x3695F2},  // osOffice2010Black
     }},
    {{"iconbar.Color", "iconbar.ColorTo", "iconbar.CheckColor", "iconbar.CheckColorTo", "iconbar.CheckBorder", "iconbar.RadioColor", "iconbar.RadioColorTo", "iconbar.RadioBorder", "iconbar.SeparatorColor"},
     {
         {0xFFEFE3, 0xE4AD87, 0x6FC0FF, kNone, 0x800000, 0x6FC0FF, kNone, 0x800000, kKeep},  // osOffice2003Blue
         {0xFFF9F9, 0xB99D9F, 0x6FC0FF, kNone, 0x6F4B4B, 0x6FC0FF, kNone, 0x6F4B4B, kKeep},  // osOffice2003Silver
         {0xEDFFFF, 0x92C7B8, 0x6FC0FF, kNone, 0x385D3F, 0x6FC0FF, kNone, 0x385D3F, kKeep},  // osOffice2003Olive
         {0xFF00000F, kNone, 0xFF00000F, kNone, 0xFF00000F, 0xFF00000F, kNone, 0xFF00000F, kKeep},  // osOfficeXP
         {0xEEEEE9, 0xEEEEE9, 0x6FC0FF, kNone, 0x800000, 0x6FC0FF, kNone, 0x800000, 0xC5C5C5},  // osOffice2007Luna
         {0xEEEEE9, 0xEEEEE9, 0x6FC0FF, kNone, 0x800000, 0x6FC0FF, kNone, 0x800000, 0xC5C5C5},  // osOffice2007Obsidian
         {0xEFEFEF, 0xEFEFEF, 0x6FC0FF, kNone, 0x800000, 0x6FC0FF, kNone, 0x800000, 0xC5C5C5},  // osOffice2007Silver
         {0xEEEEEE, kNone, 0xF4EFE6, kNone, 0xE6D3CD, 0xF4EFE6, kNone, 0xE6D3CD, 0xC5C5C5},  // osVista
         {0xFBFEFE, 0xACC3C4, 0xE8E6E1, kNone, 0xC56A31, 0xE8E6E1, kNone, 0xC56A31, kKeep},  // osWhidbey
         {0xEEEEEE, kNone, 0xF4EFE6, kNone, 0xE6D3CD, 0xF4EFE6, kNone, 0xE6D3CD, 0xC5C5C5},  // osWindows7
         {0xFF00000F, 0xFF00000F, 0xC0C0C0, 0xC0C0C0, 0x808080, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0},  // osTerminal
         {0xFFFFFF, 0xFFFFFF, 0xC2F1FC, kNone, 0x3695F2, 0xC2F1FC, kNone, 0x3695F2, 0xE7E4E2},  // osOffice2010Blue
         {0xFFFFFF, 0xFFFFFF, 0xC2F1FC, kNone, 0x3695F2, 0xC2F1FC, kNone, 0x3695F2, 0xE7E4E2},  // osOffice2010Silver
         {0xFFFFFF, 0xFFFFFF, 0xC2F1FC, kNone, 0x3695F2, 0xC2F1FC, kNone, 0x3695F2, 0xE7E4E2},  // osOffice2010Black
     }},
    {{"button.HoverColor", "button.HoverColorTo", "button.HoverBorderColor", "button.DownColor", "button.DownColorTo", "button.DownBorderColor"},
     {
         {0xCCF4FF, 0x91D0FF, 0x800000, 0x4E91FE, 0x91D3FF, 0x800000},  // osOffice2003Blue
         {0xCCF4FF, 0x91D0FF, 0x800000, 0x4E91FE, 0x91D3FF, 0x800000},  // osOffice2003Silver
         {0xCCF4FF, 0x91D0FF, 0x800000, 0x4E91FE, 0x91D3FF, 0x800000},  // osOffice2003Olive
         {0xEFD3C6, kNone, 0xC66931, 0xB59284, kNone, 0xC66931},  // osOfficeXP
         {0xE0DEDD, 0xF4F2F1, 0xB5AFA8, 0xCCCAC9, 0xEAE8E7, 0xB5AFA8},  // osOffice2007Luna
         {0xE0DEDD, 0xF4F2F1, 0xB5AFA8, 0xCCCAC9, 0xEAE8E7, 0xB5AFA8},  // osOffice2007Obsidian
         {0xE0DEDD, 0xF4F2F1, 0xB5AFA8, 0xCCCAC9, 0xEAE8E7, 0xB5AFA8},  // osOffice2007Silver
         {0xE0DEDD, 0xF4F2F1, 0xB5AFA8, 0xCCCAC9, 0xEAE8E7, 0xB5AFA8},  // osVista
         {kKeep, kKeep, kKeep, kKeep, kKeep, kKeep},  // osWhidbey
         {0xE0DEDD, 0xF4F2F1, 0xB5AFA8, 0xCCCAC9, 0xEAE8E7, 0xB5AFA8},  // osWindows7
         {0xEFD3C6, kNone, 0xC66931, 0xB59284, kNone, 0xC66931},  // osTerminal
         {0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0x6CD0FF, 0x7BEEFF, 0x308AC2},  // osOffice2010Blue
         {0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0x6CD0FF, 0x7BEEFF, 0x308AC2},  // osOffice2010Silver
         {0x8AE3FD, 0xD9F9FD, 0x58CAF1, 0x6CD0FF, 0x7BEEFF, 0x308AC2},  // osOffice2010Black
     }},
};
// clang-format on

// How a property reads and how a test sets it.
struct Property {
    std::function<std::uint32_t(TFineMenuOfficeStyler&)> get;
    std::function<void(TFineMenuOfficeStyler&, std::uint32_t)> set;
};

#define QBK_COLOR(name, object, getter, setter)                                                            \
    {                                                                                                      \
        name, {                                                                                            \
            [](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.object getter); },          \
                [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.object setter(static_cast<TColor>(v)); } \
        }                                                                                                  \
    }
#define QBK_INDEXED(name, object, getter, setter, index)                                          \
    {                                                                                             \
        name, {                                                                                   \
            [](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.object getter); }, \
                [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.object setter(index, v); }      \
        }                                                                                         \
    }

const std::map<std::string, Property>& Properties() {
    static const std::map<std::string, Property> properties = {
        QBK_COLOR("background.Background Color", Background(), .Color(), .SetColor),
        QBK_COLOR("background.Background ColorTo", Background(), .ColorTo(), .SetColorTo),
        {"background.MenuBorderColor",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.MenuBorderColor()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.SetMenuBorderColor(static_cast<TColor>(v)); }}},
        QBK_COLOR("background.Separator Color", Separator(), .Color(), .SetColor),
        QBK_COLOR("background.Separator ColorTo", Separator(), .ColorTo(), .SetColorTo),
        QBK_COLOR("root.Color", RootItem(), .Color(), .SetColor),
        QBK_COLOR("root.ColorTo", RootItem(), .ColorTo(), .SetColorTo),
        {"root.GradientDirection",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.RootItem().GradientDirection()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t) {
              s.RootItem().SetGradientDirection(TGradientDirection::gdVertical);
          }}},
        QBK_INDEXED("root.SelectedColor", RootItem(), .SelectedColor(), .SetSelectedColor, 0),
        QBK_INDEXED("root.SelectedColorTo", RootItem(), .SelectedColorTo(), .SetSelectedColor, 1),
        QBK_INDEXED("root.SelectedColorMirror", RootItem(), .SelectedColorMirror(), .SetSelectedColor, 2),
        QBK_INDEXED("root.SelectedColorMirrorTo", RootItem(), .SelectedColorMirrorTo(), .SetSelectedColor, 3),
        QBK_COLOR("root.SelectedBorderColor", RootItem(), .SelectedBorderColor(), .SetSelectedBorderColor),
        QBK_COLOR("root.SelectedTextColor", RootItem(), .SelectedTextColor(), .SetSelectedTextColor),
        QBK_INDEXED("hover.HoverColor", RootItem(), .HoverColor(), .SetHoverColor, 0),
        QBK_INDEXED("hover.HoverColorTo", RootItem(), .HoverColorTo(), .SetHoverColor, 1),
        QBK_INDEXED("hover.HoverColorMirror", RootItem(), .HoverColorMirror(), .SetHoverColor, 2),
        QBK_INDEXED("hover.HoverColorMirrorTo", RootItem(), .HoverColorMirrorTo(), .SetHoverColor, 3),
        QBK_COLOR("hover.HoverBorderColor", RootItem(), .HoverBorderColor(), .SetHoverBorderColor),
        QBK_COLOR("hover.HoverTextColor", RootItem(), .HoverTextColor(), .SetHoverTextColor),
        QBK_COLOR("selected.Color", SelectedItem(), .Color(), .SetColor),
        QBK_COLOR("selected.ColorTo", SelectedItem(), .ColorTo(), .SetColorTo),
        QBK_COLOR("selected.ColorMirror", SelectedItem(), .ColorMirror(), .SetColorMirror),
        QBK_COLOR("selected.ColorMirrorTo", SelectedItem(), .ColorMirrorTo(), .SetColorMirrorTo),
        QBK_COLOR("selected.BorderColor", SelectedItem(), .BorderColor(), .SetBorderColor),
        QBK_INDEXED("selected.CheckColor", SelectedItem(), .CheckColor(), .SetCheckColor, 0),
        QBK_INDEXED("selected.CheckColorTo", SelectedItem(), .CheckColorTo(), .SetCheckColor, 1),
        QBK_COLOR("selected.CheckBorder", SelectedItem(), .CheckBorder(), .SetCheckBorder),
        QBK_INDEXED("selected.RadioColor", SelectedItem(), .RadioColor(), .SetRadioColor, 0),
        QBK_INDEXED("selected.RadioColorTo", SelectedItem(), .RadioColorTo(), .SetRadioColor, 1),
        QBK_COLOR("selected.RadioBorder", SelectedItem(), .RadioBorder(), .SetRadioBorder),
        QBK_COLOR("iconbar.Color", IconBar(), .Color(), .SetColor),
        QBK_COLOR("iconbar.ColorTo", IconBar(), .ColorTo(), .SetColorTo),
        QBK_INDEXED("iconbar.CheckColor", IconBar(), .CheckColor(), .SetCheckColor, 0),
        QBK_INDEXED("iconbar.CheckColorTo", IconBar(), .CheckColorTo(), .SetCheckColor, 1),
        QBK_COLOR("iconbar.CheckBorder", IconBar(), .CheckBorder(), .SetCheckBorder),
        QBK_INDEXED("iconbar.RadioColor", IconBar(), .RadioColor(), .SetRadioColor, 0),
        QBK_INDEXED("iconbar.RadioColorTo", IconBar(), .RadioColorTo(), .SetRadioColor, 1),
        QBK_COLOR("iconbar.RadioBorder", IconBar(), .RadioBorder(), .SetRadioBorder),
        QBK_COLOR("iconbar.SeparatorColor", IconBar(), .SeparatorColor(), .SetSeparatorColor),
        QBK_COLOR("button.HoverColor", ButtonAppearance(), .HoverColor(), .SetHoverColor),
        QBK_COLOR("button.HoverColorTo", ButtonAppearance(), .HoverColorTo(), .SetHoverColorTo),
        QBK_COLOR("button.HoverBorderColor", ButtonAppearance(), .HoverBorderColor(), .SetHoverBorderColor),
        QBK_COLOR("button.DownColor", ButtonAppearance(), .DownColor(), .SetDownColor),
        QBK_COLOR("button.DownColorTo", ButtonAppearance(), .DownColorTo(), .SetDownColorTo),
        QBK_COLOR("button.DownBorderColor", ButtonAppearance(), .DownBorderColor(), .SetDownBorderColor),
    };
    return properties;
}

#undef QBK_INDEXED
#undef QBK_COLOR

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
    // Every property of the tables is written or kept, and reads back as its cell gives it.
    ASSERT_EQ(Properties().size(), 46u);
    std::size_t columns = 0;
    for (const SetTable& table : kSetTables) {
        columns += table.columns.size();
        ASSERT_EQ(table.rows.size(), std::size(kStyles));
        for (const auto& row : table.rows) ASSERT_EQ(row.size(), table.columns.size());
    }
    ASSERT_EQ(columns, Properties().size());
    int styles = 0;
    for (std::size_t s = 0; s < std::size(kStyles); ++s) {
        const TOfficeStyle style = kStyles[s];
        SCOPED_TRACE(static_cast<int>(style));
        ++styles;
        SetAllToSentinel();
        menu->redraws = 0;
        styler->SetStyle(style);
        EXPECT_EQ(menu->redraws, 1);
        for (const SetTable& table : kSetTables) {
            for (std::size_t c = 0; c < table.columns.size(); ++c) {
                const std::string& name = table.columns[c];
                const std::uint32_t kept = name == "root.GradientDirection" ? kVertical : kSentinel;
                const std::uint32_t cell = table.rows[s][c];
                EXPECT_EQ(Properties().at(name).get(*styler), cell == kKeep ? kept : cell) << name;
            }
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
