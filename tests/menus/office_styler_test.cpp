// The Office styler's colour sets against a fixture of the tables, written cell by cell.
#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

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

struct Cell {
    TOfficeStyle style;
    const char* property;
    std::uint32_t value;
};

// Transcribed from the colour tables: menu background, root item, root hover, selected item,
// icon bar and button appearance.
const Cell kCells[] = {
        {TOfficeStyle::osOffice2003Blue, "background.Background Color", 0xF6F6F6},
        {TOfficeStyle::osOffice2003Blue, "background.Background ColorTo", 0xF6F6F6},
        {TOfficeStyle::osOffice2003Blue, "background.MenuBorderColor", 0x962D00},
        {TOfficeStyle::osOffice2003Blue, "background.Separator Color", 0xCB8C6A},
        {TOfficeStyle::osOffice2003Blue, "background.Separator ColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Silver, "background.Background Color", 0xF6F6F6},
        {TOfficeStyle::osOffice2003Silver, "background.Background ColorTo", 0xF6F6F6},
        {TOfficeStyle::osOffice2003Silver, "background.MenuBorderColor", 0x5E8D75},
        {TOfficeStyle::osOffice2003Silver, "background.Separator Color", 0x8F6D6E},
        {TOfficeStyle::osOffice2003Silver, "background.Separator ColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Olive, "background.Background Color", 0xF6F6F6},
        {TOfficeStyle::osOffice2003Olive, "background.Background ColorTo", 0xF6F6F6},
        {TOfficeStyle::osOffice2003Olive, "background.MenuBorderColor", 0x5E8D75},
        {TOfficeStyle::osOffice2003Olive, "background.Separator Color", 0x588060},
        {TOfficeStyle::osOffice2003Olive, "background.Separator ColorTo", ui::clNone},
        {TOfficeStyle::osOfficeXP, "background.Background Color", 0xFF000005},
        {TOfficeStyle::osOfficeXP, "background.Background ColorTo", 0xFF000005},
        {TOfficeStyle::osOfficeXP, "background.MenuBorderColor", 0x808080},
        {TOfficeStyle::osOfficeXP, "background.Separator Color", 0x7A868A},
        {TOfficeStyle::osOfficeXP, "background.Separator ColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Luna, "background.Background Color", 0xF6F6F6},
        {TOfficeStyle::osOffice2007Luna, "background.Background ColorTo", 0xF6F6F6},
        {TOfficeStyle::osOffice2007Luna, "background.MenuBorderColor", 0xC0C0C0},
        {TOfficeStyle::osOffice2007Luna, "background.Separator Color", 0xC5C5C5},
        {TOfficeStyle::osOffice2007Luna, "background.Separator ColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Obsidian, "background.Background Color", 0xF6F6F6},
        {TOfficeStyle::osOffice2007Obsidian, "background.Background ColorTo", 0xF6F6F6},
        {TOfficeStyle::osOffice2007Obsidian, "background.MenuBorderColor", 0xC0C0C0},
        {TOfficeStyle::osOffice2007Obsidian, "background.Separator Color", 0xC5C5C5},
        {TOfficeStyle::osOffice2007Obsidian, "background.Separator ColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Silver, "background.Background Color", 0xFAFAFA},
        {TOfficeStyle::osOffice2007Silver, "background.Background ColorTo", 0xFAFAFA},
        {TOfficeStyle::osOffice2007Silver, "background.MenuBorderColor", 0x868686},
        {TOfficeStyle::osOffice2007Silver, "background.Separator Color", 0xC5C5C5},
        {TOfficeStyle::osOffice2007Silver, "background.Separator ColorTo", ui::clNone},
        {TOfficeStyle::osVista, "background.Background Color", 0xEEEEEE},
        {TOfficeStyle::osVista, "background.Background ColorTo", ui::clNone},
        {TOfficeStyle::osVista, "background.MenuBorderColor", 0x979797},
        {TOfficeStyle::osVista, "background.Separator Color", 0xE0E0E0},
        {TOfficeStyle::osVista, "background.Separator ColorTo", 0xFFFFFF},
        {TOfficeStyle::osWhidbey, "background.Background Color", 0xF9FCFC},
        {TOfficeStyle::osWhidbey, "background.Background ColorTo", 0xF9FCFC},
        {TOfficeStyle::osWhidbey, "background.MenuBorderColor", 0x7A868A},
        {TOfficeStyle::osWhidbey, "background.Separator Color", 0xB8C2C5},
        {TOfficeStyle::osWhidbey, "background.Separator ColorTo", ui::clNone},
        {TOfficeStyle::osWindows7, "background.Background Color", 0xEEEEEE},
        {TOfficeStyle::osWindows7, "background.Background ColorTo", ui::clNone},
        {TOfficeStyle::osWindows7, "background.MenuBorderColor", 0x979797},
        {TOfficeStyle::osWindows7, "background.Separator Color", 0xE0E0E0},
        {TOfficeStyle::osWindows7, "background.Separator ColorTo", 0xFFFFFF},
        {TOfficeStyle::osTerminal, "background.Background Color", 0xFF00000F},
        {TOfficeStyle::osTerminal, "background.Background ColorTo", 0xFF00000F},
        {TOfficeStyle::osTerminal, "background.MenuBorderColor", 0x808080},
        {TOfficeStyle::osTerminal, "background.Separator Color", 0x808080},
        {TOfficeStyle::osTerminal, "background.Separator ColorTo", 0x808080},
        {TOfficeStyle::osOffice2010Blue, "background.Background Color", 0xFFFFFF},
        {TOfficeStyle::osOffice2010Blue, "background.Background ColorTo", 0xFFFFFF},
        {TOfficeStyle::osOffice2010Blue, "background.MenuBorderColor", 0xB0ABA7},
        {TOfficeStyle::osOffice2010Blue, "background.Separator Color", 0xC9C8C7},
        {TOfficeStyle::osOffice2010Blue, "background.Separator ColorTo", 0xC9C8C7},
        {TOfficeStyle::osOffice2010Silver, "background.Background Color", 0xFFFFFF},
        {TOfficeStyle::osOffice2010Silver, "background.Background ColorTo", 0xFFFFFF},
        {TOfficeStyle::osOffice2010Silver, "background.MenuBorderColor", 0xB0ABA7},
        {TOfficeStyle::osOffice2010Silver, "background.Separator Color", 0xC9C8C7},
        {TOfficeStyle::osOffice2010Silver, "background.Separator ColorTo", 0xC9C8C7},
        {TOfficeStyle::osOffice2010Black, "background.Background Color", 0xFFFFFF},
        {TOfficeStyle::osOffice2010Black, "background.Background ColorTo", 0xFFFFFF},
        {TOfficeStyle::osOffice2010Black, "background.MenuBorderColor", 0xB0ABA7},
        {TOfficeStyle::osOffice2010Black, "background.Separator Color", 0xC9C8C7},
        {TOfficeStyle::osOffice2010Black, "background.Separator ColorTo", 0xC9C8C7},
        {TOfficeStyle::osOffice2003Blue, "root.Color", 0xF5BE9E},
        {TOfficeStyle::osOffice2003Blue, "root.ColorTo", 0xF7CDB2},
        {TOfficeStyle::osOffice2003Blue, "root.GradientDirection", kHorizontal},
        {TOfficeStyle::osOffice2003Blue, "root.SelectedColor", 0xFFEFE3},
        {TOfficeStyle::osOffice2003Blue, "root.SelectedColorTo", 0xE7B593},
        {TOfficeStyle::osOffice2003Blue, "root.SelectedColorMirror", ui::clNone},
        {TOfficeStyle::osOffice2003Blue, "root.SelectedColorMirrorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Blue, "root.SelectedBorderColor", 0x962D00},
        {TOfficeStyle::osOffice2003Blue, "root.SelectedTextColor", kKeep},
        {TOfficeStyle::osOffice2003Silver, "root.Color", 0xE5D7D7},
        {TOfficeStyle::osOffice2003Silver, "root.ColorTo", 0xF7F3F3},
        {TOfficeStyle::osOffice2003Silver, "root.GradientDirection", kHorizontal},
        {TOfficeStyle::osOffice2003Silver, "root.SelectedColor", 0xF1E9E8},
        {TOfficeStyle::osOffice2003Silver, "root.SelectedColorTo", 0xCDB9BA},
        {TOfficeStyle::osOffice2003Silver, "root.SelectedColorMirror", ui::clNone},
        {TOfficeStyle::osOffice2003Silver, "root.SelectedColorMirrorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Silver, "root.SelectedBorderColor", 0x947C7C},
        {TOfficeStyle::osOffice2003Silver, "root.SelectedTextColor", kKeep},
        {TOfficeStyle::osOffice2003Olive, "root.Color", 0xA8D9D9},
        {TOfficeStyle::osOffice2003Olive, "root.ColorTo", 0xE4F0F2},
        {TOfficeStyle::osOffice2003Olive, "root.GradientDirection", kHorizontal},
        {TOfficeStyle::osOffice2003Olive, "root.SelectedColor", 0xD5F0EC},
        {TOfficeStyle::osOffice2003Olive, "root.SelectedColorTo", 0x9FCEC2},
        {TOfficeStyle::osOffice2003Olive, "root.SelectedColorMirror", ui::clNone},
        {TOfficeStyle::osOffice2003Olive, "root.SelectedColorMirrorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Olive, "root.SelectedBorderColor", 0x5E8D75},
        {TOfficeStyle::osOffice2003Olive, "root.SelectedTextColor", kKeep},
        {TOfficeStyle::osOfficeXP, "root.Color", 0xFF00000F},
        {TOfficeStyle::osOfficeXP, "root.ColorTo", 0xFF00000F},
        {TOfficeStyle::osOfficeXP, "root.GradientDirection", kKeep},
        {TOfficeStyle::osOfficeXP, "root.SelectedColor", 0xFF00000F},
        {TOfficeStyle::osOfficeXP, "root.SelectedColorTo", ui::clNone},
        {TOfficeStyle::osOfficeXP, "root.SelectedColorMirror", ui::clNone},
        {TOfficeStyle::osOfficeXP, "root.SelectedColorMirrorTo", ui::clNone},
        {TOfficeStyle::osOfficeXP, "root.SelectedBorderColor", 0x7A868A},
        {TOfficeStyle::osOfficeXP, "root.SelectedTextColor", kKeep},
        {TOfficeStyle::osOffice2007Luna, "root.Color", 0xF2DAC2},
        {TOfficeStyle::osOffice2007Luna, "root.ColorTo", 0xF0D9C1},
        {TOfficeStyle::osOffice2007Luna, "root.GradientDirection", kVertical},
        {TOfficeStyle::osOffice2007Luna, "root.SelectedColor", 0x76AFF1},
        {TOfficeStyle::osOffice2007Luna, "root.SelectedColorTo", 0x4190F3},
        {TOfficeStyle::osOffice2007Luna, "root.SelectedColorMirror", 0x0E72F1},
        {TOfficeStyle::osOffice2007Luna, "root.SelectedColorMirrorTo", 0x4C9FFD},
        {TOfficeStyle::osOffice2007Luna, "root.SelectedBorderColor", 0x45667B},
        {TOfficeStyle::osOffice2007Luna, "root.SelectedTextColor", kKeep},
        {TOfficeStyle::osOffice2007Obsidian, "root.Color", 0xB8B8B6},
        {TOfficeStyle::osOffice2007Obsidian, "root.ColorTo", 0xA0A09E},
        {TOfficeStyle::osOffice2007Obsidian, "root.GradientDirection", kVertical},
        {TOfficeStyle::osOffice2007Obsidian, "root.SelectedColor", 0x76AFF1},
        {TOfficeStyle::osOffice2007Obsidian, "root.SelectedColorTo", 0x4190F3},
        {TOfficeStyle::osOffice2007Obsidian, "root.SelectedColorMirror", 0x0E72F1},
        {TOfficeStyle::osOffice2007Obsidian, "root.SelectedColorMirrorTo", 0x4C9FFD},
        {TOfficeStyle::osOffice2007Obsidian, "root.SelectedBorderColor", 0x45667B},
        {TOfficeStyle::osOffice2007Obsidian, "root.SelectedTextColor", kKeep},
        {TOfficeStyle::osOffice2007Silver, "root.Color", 0xE5D7D7},
        {TOfficeStyle::osOffice2007Silver, "root.ColorTo", 0xF7F3F3},
        {TOfficeStyle::osOffice2007Silver, "root.GradientDirection", kHorizontal},
        {TOfficeStyle::osOffice2007Silver, "root.SelectedColor", 0x76AFF1},
        {TOfficeStyle::osOffice2007Silver, "root.SelectedColorTo", 0x4190F3},
        {TOfficeStyle::osOffice2007Silver, "root.SelectedColorMirror", 0x0E72F1},
        {TOfficeStyle::osOffice2007Silver, "root.SelectedColorMirrorTo", 0x4C9FFD},
        {TOfficeStyle::osOffice2007Silver, "root.SelectedBorderColor", 0x45667B},
        {TOfficeStyle::osOffice2007Silver, "root.SelectedTextColor", kKeep},
        {TOfficeStyle::osVista, "root.Color", 0xFFFFFF},
        {TOfficeStyle::osVista, "root.ColorTo", 0xEEDBD4},
        {TOfficeStyle::osVista, "root.GradientDirection", kVertical},
        {TOfficeStyle::osVista, "root.SelectedColor", 0xBBB8B6},
        {TOfficeStyle::osVista, "root.SelectedColorTo", 0xE1D0C9},
        {TOfficeStyle::osVista, "root.SelectedColorMirror", 0xE1D0C9},
        {TOfficeStyle::osVista, "root.SelectedColorMirrorTo", 0xE9DAD5},
        {TOfficeStyle::osVista, "root.SelectedBorderColor", 0x534D4B},
        {TOfficeStyle::osVista, "root.SelectedTextColor", kKeep},
        {TOfficeStyle::osWhidbey, "root.Color", 0xD9E6E7},
        {TOfficeStyle::osWhidbey, "root.ColorTo", 0xD9E6E7},
        {TOfficeStyle::osWhidbey, "root.GradientDirection", kKeep},
        {TOfficeStyle::osWhidbey, "root.SelectedColor", 0xF4F9F9},
        {TOfficeStyle::osWhidbey, "root.SelectedColorTo", ui::clNone},
        {TOfficeStyle::osWhidbey, "root.SelectedColorMirror", kKeep},
        {TOfficeStyle::osWhidbey, "root.SelectedColorMirrorTo", kKeep},
        {TOfficeStyle::osWhidbey, "root.SelectedBorderColor", 0x7A868A},
        {TOfficeStyle::osWhidbey, "root.SelectedTextColor", 0x000000},
        {TOfficeStyle::osWindows7, "root.Color", 0xFFFFFF},
        {TOfficeStyle::osWindows7, "root.ColorTo", 0xEEDBD4},
        {TOfficeStyle::osWindows7, "root.GradientDirection", kVertical},
        {TOfficeStyle::osWindows7, "root.SelectedColor", 0xFCEBDC},
        {TOfficeStyle::osWindows7, "root.SelectedColorTo", 0xFCDBC1},
        {TOfficeStyle::osWindows7, "root.SelectedColorMirror", 0xFCDBC1},
        {TOfficeStyle::osWindows7, "root.SelectedColorMirrorTo", 0xFCEBDC},
        {TOfficeStyle::osWindows7, "root.SelectedBorderColor", 0xCEA27D},
        {TOfficeStyle::osWindows7, "root.SelectedTextColor", kKeep},
        {TOfficeStyle::osTerminal, "root.Color", 0xFF00000F},
        {TOfficeStyle::osTerminal, "root.ColorTo", 0xFF00000F},
        {TOfficeStyle::osTerminal, "root.GradientDirection", kVertical},
        {TOfficeStyle::osTerminal, "root.SelectedColor", 0xFF00000D},
        {TOfficeStyle::osTerminal, "root.SelectedColorTo", 0xFF00000D},
        {TOfficeStyle::osTerminal, "root.SelectedColorMirror", 0xFF00000D},
        {TOfficeStyle::osTerminal, "root.SelectedColorMirrorTo", 0xFF00000D},
        {TOfficeStyle::osTerminal, "root.SelectedBorderColor", 0x808080},
        {TOfficeStyle::osTerminal, "root.SelectedTextColor", kKeep},
        {TOfficeStyle::osOffice2010Blue, "root.Color", 0xFDF6EF},
        {TOfficeStyle::osOffice2010Blue, "root.ColorTo", 0xF0DAC7},
        {TOfficeStyle::osOffice2010Blue, "root.GradientDirection", kVertical},
        {TOfficeStyle::osOffice2010Blue, "root.SelectedColor", 0x7BEEFF},
        {TOfficeStyle::osOffice2010Blue, "root.SelectedColorTo", 0x6CD0FF},
        {TOfficeStyle::osOffice2010Blue, "root.SelectedColorMirror", 0x6CD0FF},
        {TOfficeStyle::osOffice2010Blue, "root.SelectedColorMirrorTo", 0x7BEEFF},
        {TOfficeStyle::osOffice2010Blue, "root.SelectedBorderColor", 0x308AC2},
        {TOfficeStyle::osOffice2010Blue, "root.SelectedTextColor", kKeep},
        {TOfficeStyle::osOffice2010Silver, "root.Color", 0xFFFFFF},
        {TOfficeStyle::osOffice2010Silver, "root.ColorTo", 0xEDE5E0},
        {TOfficeStyle::osOffice2010Silver, "root.GradientDirection", kVertical},
        {TOfficeStyle::osOffice2010Silver, "root.SelectedColor", 0x7BEEFF},
        {TOfficeStyle::osOffice2010Silver, "root.SelectedColorTo", 0x6CD0FF},
        {TOfficeStyle::osOffice2010Silver, "root.SelectedColorMirror", 0x6CD0FF},
        {TOfficeStyle::osOffice2010Silver, "root.SelectedColorMirrorTo", 0x7BEEFF},
        {TOfficeStyle::osOffice2010Silver, "root.SelectedBorderColor", 0x308AC2},
        {TOfficeStyle::osOffice2010Silver, "root.SelectedTextColor", kKeep},
        {TOfficeStyle::osOffice2010Black, "root.Color", 0xBFBFBF},
        {TOfficeStyle::osOffice2010Black, "root.ColorTo", 0x919191},
        {TOfficeStyle::osOffice2010Black, "root.GradientDirection", kVertical},
        {TOfficeStyle::osOffice2010Black, "root.SelectedColor", 0x7BEEFF},
        {TOfficeStyle::osOffice2010Black, "root.SelectedColorTo", 0x6CD0FF},
        {TOfficeStyle::osOffice2010Black, "root.SelectedColorMirror", 0x6CD0FF},
        {TOfficeStyle::osOffice2010Black, "root.SelectedColorMirrorTo", 0x7BEEFF},
        {TOfficeStyle::osOffice2010Black, "root.SelectedBorderColor", 0x308AC2},
        {TOfficeStyle::osOffice2010Black, "root.SelectedTextColor", kKeep},
        {TOfficeStyle::osOffice2003Blue, "hover.HoverColor", 0xCCF4FF},
        {TOfficeStyle::osOffice2003Blue, "hover.HoverColorTo", 0x9AD6FF},
        {TOfficeStyle::osOffice2003Blue, "hover.HoverColorMirror", ui::clNone},
        {TOfficeStyle::osOffice2003Blue, "hover.HoverColorMirrorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Blue, "hover.HoverBorderColor", 0x6F4B4B},
        {TOfficeStyle::osOffice2003Blue, "hover.HoverTextColor", 0xFF000008},
        {TOfficeStyle::osOffice2003Silver, "hover.HoverColor", 0xCCF4FF},
        {TOfficeStyle::osOffice2003Silver, "hover.HoverColorTo", 0x9AD6FF},
        {TOfficeStyle::osOffice2003Silver, "hover.HoverColorMirror", ui::clNone},
        {TOfficeStyle::osOffice2003Silver, "hover.HoverColorMirrorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Silver, "hover.HoverBorderColor", 0x6F4B4B},
        {TOfficeStyle::osOffice2003Silver, "hover.HoverTextColor", 0xFF000008},
        {TOfficeStyle::osOffice2003Olive, "hover.HoverColor", 0xCCF4FF},
        {TOfficeStyle::osOffice2003Olive, "hover.HoverColorTo", 0x9AD6FF},
        {TOfficeStyle::osOffice2003Olive, "hover.HoverColorMirror", ui::clNone},
        {TOfficeStyle::osOffice2003Olive, "hover.HoverColorMirrorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Olive, "hover.HoverBorderColor", 0x6F4B4B},
        {TOfficeStyle::osOffice2003Olive, "hover.HoverTextColor", 0xFF000008},
        {TOfficeStyle::osOfficeXP, "hover.HoverColor", 0xEFD3C6},
        {TOfficeStyle::osOfficeXP, "hover.HoverColorTo", ui::clNone},
        {TOfficeStyle::osOfficeXP, "hover.HoverColorMirror", ui::clNone},
        {TOfficeStyle::osOfficeXP, "hover.HoverColorMirrorTo", ui::clNone},
        {TOfficeStyle::osOfficeXP, "hover.HoverBorderColor", 0xC66931},
        {TOfficeStyle::osOfficeXP, "hover.HoverTextColor", 0xFF000008},
        {TOfficeStyle::osOffice2007Luna, "hover.HoverColor", 0xEBFDFF},
        {TOfficeStyle::osOffice2007Luna, "hover.HoverColorTo", 0xABEBFF},
        {TOfficeStyle::osOffice2007Luna, "hover.HoverColorMirror", 0x69D6FF},
        {TOfficeStyle::osOffice2007Luna, "hover.HoverColorMirrorTo", 0x96E4FF},
        {TOfficeStyle::osOffice2007Luna, "hover.HoverBorderColor", 0x99CEDB},
        {TOfficeStyle::osOffice2007Luna, "hover.HoverTextColor", 0xFF000008},
        {TOfficeStyle::osOffice2007Obsidian, "hover.HoverColor", 0xEBFDFF},
        {TOfficeStyle::osOffice2007Obsidian, "hover.HoverColorTo", 0xABEBFF},
        {TOfficeStyle::osOffice2007Obsidian, "hover.HoverColorMirror", 0x69D6FF},
        {TOfficeStyle::osOffice2007Obsidian, "hover.HoverColorMirrorTo", 0x96E4FF},
        {TOfficeStyle::osOffice2007Obsidian, "hover.HoverBorderColor", 0x99CEDB},
        {TOfficeStyle::osOffice2007Obsidian, "hover.HoverTextColor", 0xFF000008},
        {TOfficeStyle::osOffice2007Silver, "hover.HoverColor", 0xEBFDFF},
        {TOfficeStyle::osOffice2007Silver, "hover.HoverColorTo", 0xABEBFF},
        {TOfficeStyle::osOffice2007Silver, "hover.HoverColorMirror", 0x69D6FF},
        {TOfficeStyle::osOffice2007Silver, "hover.HoverColorMirrorTo", 0x96E4FF},
        {TOfficeStyle::osOffice2007Silver, "hover.HoverBorderColor", 0x99CEDB},
        {TOfficeStyle::osOffice2007Silver, "hover.HoverTextColor", 0xFF000008},
        {TOfficeStyle::osVista, "hover.HoverColor", 0xFFFFFF},
        {TOfficeStyle::osVista, "hover.HoverColorTo", 0xE7D9D3},
        {TOfficeStyle::osVista, "hover.HoverColorMirror", 0xE7D9D3},
        {TOfficeStyle::osVista, "hover.HoverColorMirrorTo", 0xF9F1EF},
        {TOfficeStyle::osVista, "hover.HoverBorderColor", 0xA79A95},
        {TOfficeStyle::osVista, "hover.HoverTextColor", 0xFF000008},
        {TOfficeStyle::osWhidbey, "hover.HoverColor", 0xEFD3C6},
        {TOfficeStyle::osWhidbey, "hover.HoverColorTo", ui::clNone},
        {TOfficeStyle::osWhidbey, "hover.HoverColorMirror", ui::clNone},
        {TOfficeStyle::osWhidbey, "hover.HoverColorMirrorTo", ui::clNone},
        {TOfficeStyle::osWhidbey, "hover.HoverBorderColor", 0xC66931},
        {TOfficeStyle::osWhidbey, "hover.HoverTextColor", 0xFF000008},
        {TOfficeStyle::osWindows7, "hover.HoverColor", 0xFFFFFF},
        {TOfficeStyle::osWindows7, "hover.HoverColorTo", 0xE7D9D3},
        {TOfficeStyle::osWindows7, "hover.HoverColorMirror", 0xE7D9D3},
        {TOfficeStyle::osWindows7, "hover.HoverColorMirrorTo", 0xF9F1EF},
        {TOfficeStyle::osWindows7, "hover.HoverBorderColor", 0xA79A95},
        {TOfficeStyle::osWindows7, "hover.HoverTextColor", 0xFF000008},
        {TOfficeStyle::osTerminal, "hover.HoverColor", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "hover.HoverColorTo", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "hover.HoverColorMirror", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "hover.HoverColorMirrorTo", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "hover.HoverBorderColor", 0x808080},
        {TOfficeStyle::osTerminal, "hover.HoverTextColor", 0x000000},
        {TOfficeStyle::osOffice2010Blue, "hover.HoverColor", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Blue, "hover.HoverColorTo", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Blue, "hover.HoverColorMirror", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Blue, "hover.HoverColorMirrorTo", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Blue, "hover.HoverBorderColor", 0x58CAF1},
        {TOfficeStyle::osOffice2010Blue, "hover.HoverTextColor", 0x000000},
        {TOfficeStyle::osOffice2010Silver, "hover.HoverColor", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Silver, "hover.HoverColorTo", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Silver, "hover.HoverColorMirror", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Silver, "hover.HoverColorMirrorTo", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Silver, "hover.HoverBorderColor", 0x58CAF1},
        {TOfficeStyle::osOffice2010Silver, "hover.HoverTextColor", 0x000000},
        {TOfficeStyle::osOffice2010Black, "hover.HoverColor", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Black, "hover.HoverColorTo", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Black, "hover.HoverColorMirror", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Black, "hover.HoverColorMirrorTo", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Black, "hover.HoverBorderColor", 0x58CAF1},
        {TOfficeStyle::osOffice2010Black, "hover.HoverTextColor", 0x000000},
        {TOfficeStyle::osOffice2003Blue, "selected.Color", 0xC2EEFF},
        {TOfficeStyle::osOffice2003Blue, "selected.ColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Blue, "selected.ColorMirror", ui::clNone},
        {TOfficeStyle::osOffice2003Blue, "selected.ColorMirrorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Blue, "selected.BorderColor", 0x800000},
        {TOfficeStyle::osOffice2003Blue, "selected.CheckColor", 0x3E80FE},
        {TOfficeStyle::osOffice2003Blue, "selected.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Blue, "selected.CheckBorder", 0x800000},
        {TOfficeStyle::osOffice2003Blue, "selected.RadioColor", 0x3E80FE},
        {TOfficeStyle::osOffice2003Blue, "selected.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Blue, "selected.RadioBorder", 0x800000},
        {TOfficeStyle::osOffice2003Silver, "selected.Color", 0xC2EEFF},
        {TOfficeStyle::osOffice2003Silver, "selected.ColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Silver, "selected.ColorMirror", ui::clNone},
        {TOfficeStyle::osOffice2003Silver, "selected.ColorMirrorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Silver, "selected.BorderColor", 0x080000},
        {TOfficeStyle::osOffice2003Silver, "selected.CheckColor", 0x3E80FE},
        {TOfficeStyle::osOffice2003Silver, "selected.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Silver, "selected.CheckBorder", 0x6F4B4B},
        {TOfficeStyle::osOffice2003Silver, "selected.RadioColor", 0x3E80FE},
        {TOfficeStyle::osOffice2003Silver, "selected.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Silver, "selected.RadioBorder", 0x6F4B4B},
        {TOfficeStyle::osOffice2003Olive, "selected.Color", 0xC2EEFF},
        {TOfficeStyle::osOffice2003Olive, "selected.ColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Olive, "selected.ColorMirror", ui::clNone},
        {TOfficeStyle::osOffice2003Olive, "selected.ColorMirrorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Olive, "selected.BorderColor", 0x385D3F},
        {TOfficeStyle::osOffice2003Olive, "selected.CheckColor", 0x3E80FE},
        {TOfficeStyle::osOffice2003Olive, "selected.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Olive, "selected.CheckBorder", 0x385D3F},
        {TOfficeStyle::osOffice2003Olive, "selected.RadioColor", 0x3E80FE},
        {TOfficeStyle::osOffice2003Olive, "selected.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Olive, "selected.RadioBorder", 0x385D3F},
        {TOfficeStyle::osOfficeXP, "selected.Color", 0xEFD3C6},
        {TOfficeStyle::osOfficeXP, "selected.ColorTo", ui::clNone},
        {TOfficeStyle::osOfficeXP, "selected.ColorMirror", ui::clNone},
        {TOfficeStyle::osOfficeXP, "selected.ColorMirrorTo", ui::clNone},
        {TOfficeStyle::osOfficeXP, "selected.BorderColor", 0xC66931},
        {TOfficeStyle::osOfficeXP, "selected.CheckColor", 0xEFD3C6},
        {TOfficeStyle::osOfficeXP, "selected.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOfficeXP, "selected.CheckBorder", 0xEFD3C6},
        {TOfficeStyle::osOfficeXP, "selected.RadioColor", 0xEFD3C6},
        {TOfficeStyle::osOfficeXP, "selected.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOfficeXP, "selected.RadioBorder", 0xEFD3C6},
        {TOfficeStyle::osOffice2007Luna, "selected.Color", 0xEBFDFF},
        {TOfficeStyle::osOffice2007Luna, "selected.ColorTo", 0xABEBFF},
        {TOfficeStyle::osOffice2007Luna, "selected.ColorMirror", 0x69D6FF},
        {TOfficeStyle::osOffice2007Luna, "selected.ColorMirrorTo", 0x96E4FF},
        {TOfficeStyle::osOffice2007Luna, "selected.BorderColor", 0x99CEDB},
        {TOfficeStyle::osOffice2007Luna, "selected.CheckColor", 0x3E80FE},
        {TOfficeStyle::osOffice2007Luna, "selected.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Luna, "selected.CheckBorder", 0x800000},
        {TOfficeStyle::osOffice2007Luna, "selected.RadioColor", 0x3E80FE},
        {TOfficeStyle::osOffice2007Luna, "selected.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Luna, "selected.RadioBorder", 0x800000},
        {TOfficeStyle::osOffice2007Obsidian, "selected.Color", 0xEBFDFF},
        {TOfficeStyle::osOffice2007Obsidian, "selected.ColorTo", 0xABEBFF},
        {TOfficeStyle::osOffice2007Obsidian, "selected.ColorMirror", 0x69D6FF},
        {TOfficeStyle::osOffice2007Obsidian, "selected.ColorMirrorTo", 0x96E4FF},
        {TOfficeStyle::osOffice2007Obsidian, "selected.BorderColor", 0x99CEDB},
        {TOfficeStyle::osOffice2007Obsidian, "selected.CheckColor", 0x3E80FE},
        {TOfficeStyle::osOffice2007Obsidian, "selected.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Obsidian, "selected.CheckBorder", 0x800000},
        {TOfficeStyle::osOffice2007Obsidian, "selected.RadioColor", 0x3E80FE},
        {TOfficeStyle::osOffice2007Obsidian, "selected.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Obsidian, "selected.RadioBorder", 0x800000},
        {TOfficeStyle::osOffice2007Silver, "selected.Color", 0xEBFDFF},
        {TOfficeStyle::osOffice2007Silver, "selected.ColorTo", 0xABEBFF},
        {TOfficeStyle::osOffice2007Silver, "selected.ColorMirror", 0x69D6FF},
        {TOfficeStyle::osOffice2007Silver, "selected.ColorMirrorTo", 0x96E4FF},
        {TOfficeStyle::osOffice2007Silver, "selected.BorderColor", 0x99CEDB},
        {TOfficeStyle::osOffice2007Silver, "selected.CheckColor", 0x3E80FE},
        {TOfficeStyle::osOffice2007Silver, "selected.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Silver, "selected.CheckBorder", 0x800000},
        {TOfficeStyle::osOffice2007Silver, "selected.RadioColor", 0x3E80FE},
        {TOfficeStyle::osOffice2007Silver, "selected.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Silver, "selected.RadioBorder", 0x800000},
        {TOfficeStyle::osVista, "selected.Color", 0xF4F1EB},
        {TOfficeStyle::osVista, "selected.ColorTo", 0xF3EBDA},
        {TOfficeStyle::osVista, "selected.ColorMirror", ui::clNone},
        {TOfficeStyle::osVista, "selected.ColorMirrorTo", ui::clNone},
        {TOfficeStyle::osVista, "selected.BorderColor", 0xEBD8A8},
        {TOfficeStyle::osVista, "selected.CheckColor", 0xF4EFE6},
        {TOfficeStyle::osVista, "selected.CheckColorTo", ui::clNone},
        {TOfficeStyle::osVista, "selected.CheckBorder", 0xE6D3CD},
        {TOfficeStyle::osVista, "selected.RadioColor", 0xF4EFE6},
        {TOfficeStyle::osVista, "selected.RadioColorTo", ui::clNone},
        {TOfficeStyle::osVista, "selected.RadioBorder", 0xE6D3CD},
        {TOfficeStyle::osWhidbey, "selected.Color", 0xEED2C1},
        {TOfficeStyle::osWhidbey, "selected.ColorTo", ui::clNone},
        {TOfficeStyle::osWhidbey, "selected.ColorMirror", ui::clNone},
        {TOfficeStyle::osWhidbey, "selected.ColorMirrorTo", ui::clNone},
        {TOfficeStyle::osWhidbey, "selected.BorderColor", 0xC56A31},
        {TOfficeStyle::osWhidbey, "selected.CheckColor", 0xC56A31},
        {TOfficeStyle::osWhidbey, "selected.CheckColorTo", ui::clNone},
        {TOfficeStyle::osWhidbey, "selected.CheckBorder", 0x000000},
        {TOfficeStyle::osWhidbey, "selected.RadioColor", 0xC56A31},
        {TOfficeStyle::osWhidbey, "selected.RadioColorTo", ui::clNone},
        {TOfficeStyle::osWhidbey, "selected.RadioBorder", 0x000000},
        {TOfficeStyle::osWindows7, "selected.Color", 0xFCEBDC},
        {TOfficeStyle::osWindows7, "selected.ColorTo", 0xFCDBC1},
        {TOfficeStyle::osWindows7, "selected.ColorMirror", ui::clNone},
        {TOfficeStyle::osWindows7, "selected.ColorMirrorTo", ui::clNone},
        {TOfficeStyle::osWindows7, "selected.BorderColor", 0xCEA27D},
        {TOfficeStyle::osWindows7, "selected.CheckColor", 0xFCEBDC},
        {TOfficeStyle::osWindows7, "selected.CheckColorTo", ui::clNone},
        {TOfficeStyle::osWindows7, "selected.CheckBorder", 0xE6D3CD},
        {TOfficeStyle::osWindows7, "selected.RadioColor", 0xFCEBDC},
        {TOfficeStyle::osWindows7, "selected.RadioColorTo", ui::clNone},
        {TOfficeStyle::osWindows7, "selected.RadioBorder", 0xCEA27D},
        {TOfficeStyle::osTerminal, "selected.Color", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "selected.ColorTo", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "selected.ColorMirror", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "selected.ColorMirrorTo", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "selected.BorderColor", 0x808080},
        {TOfficeStyle::osTerminal, "selected.CheckColor", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "selected.CheckColorTo", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "selected.CheckBorder", 0x808080},
        {TOfficeStyle::osTerminal, "selected.RadioColor", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "selected.RadioColorTo", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "selected.RadioBorder", 0x808080},
        {TOfficeStyle::osOffice2010Blue, "selected.Color", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Blue, "selected.ColorTo", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Blue, "selected.ColorMirror", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Blue, "selected.ColorMirrorTo", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Blue, "selected.BorderColor", 0x58CAF1},
        {TOfficeStyle::osOffice2010Blue, "selected.CheckColor", 0xC2F1FC},
        {TOfficeStyle::osOffice2010Blue, "selected.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2010Blue, "selected.CheckBorder", 0x3695F2},
        {TOfficeStyle::osOffice2010Blue, "selected.RadioColor", 0xC2F1FC},
        {TOfficeStyle::osOffice2010Blue, "selected.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2010Blue, "selected.RadioBorder", 0x3695F2},
        {TOfficeStyle::osOffice2010Silver, "selected.Color", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Silver, "selected.ColorTo", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Silver, "selected.ColorMirror", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Silver, "selected.ColorMirrorTo", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Silver, "selected.BorderColor", 0x58CAF1},
        {TOfficeStyle::osOffice2010Silver, "selected.CheckColor", 0xC2F1FC},
        {TOfficeStyle::osOffice2010Silver, "selected.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2010Silver, "selected.CheckBorder", 0x3695F2},
        {TOfficeStyle::osOffice2010Silver, "selected.RadioColor", 0xC2F1FC},
        {TOfficeStyle::osOffice2010Silver, "selected.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2010Silver, "selected.RadioBorder", 0x3695F2},
        {TOfficeStyle::osOffice2010Black, "selected.Color", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Black, "selected.ColorTo", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Black, "selected.ColorMirror", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Black, "selected.ColorMirrorTo", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Black, "selected.BorderColor", 0x58CAF1},
        {TOfficeStyle::osOffice2010Black, "selected.CheckColor", 0xC2F1FC},
        {TOfficeStyle::osOffice2010Black, "selected.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2010Black, "selected.CheckBorder", 0x3695F2},
        {TOfficeStyle::osOffice2010Black, "selected.RadioColor", 0xC2F1FC},
        {TOfficeStyle::osOffice2010Black, "selected.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2010Black, "selected.RadioBorder", 0x3695F2},
        {TOfficeStyle::osOffice2003Blue, "iconbar.Color", 0xFFEFE3},
        {TOfficeStyle::osOffice2003Blue, "iconbar.ColorTo", 0xE4AD87},
        {TOfficeStyle::osOffice2003Blue, "iconbar.CheckColor", 0x6FC0FF},
        {TOfficeStyle::osOffice2003Blue, "iconbar.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Blue, "iconbar.CheckBorder", 0x800000},
        {TOfficeStyle::osOffice2003Blue, "iconbar.RadioColor", 0x6FC0FF},
        {TOfficeStyle::osOffice2003Blue, "iconbar.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Blue, "iconbar.RadioBorder", 0x800000},
        {TOfficeStyle::osOffice2003Blue, "iconbar.SeparatorColor", kKeep},
        {TOfficeStyle::osOffice2003Silver, "iconbar.Color", 0xFFF9F9},
        {TOfficeStyle::osOffice2003Silver, "iconbar.ColorTo", 0xB99D9F},
        {TOfficeStyle::osOffice2003Silver, "iconbar.CheckColor", 0x6FC0FF},
        {TOfficeStyle::osOffice2003Silver, "iconbar.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Silver, "iconbar.CheckBorder", 0x6F4B4B},
        {TOfficeStyle::osOffice2003Silver, "iconbar.RadioColor", 0x6FC0FF},
        {TOfficeStyle::osOffice2003Silver, "iconbar.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Silver, "iconbar.RadioBorder", 0x6F4B4B},
        {TOfficeStyle::osOffice2003Silver, "iconbar.SeparatorColor", kKeep},
        {TOfficeStyle::osOffice2003Olive, "iconbar.Color", 0xEDFFFF},
        {TOfficeStyle::osOffice2003Olive, "iconbar.ColorTo", 0x92C7B8},
        {TOfficeStyle::osOffice2003Olive, "iconbar.CheckColor", 0x6FC0FF},
        {TOfficeStyle::osOffice2003Olive, "iconbar.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Olive, "iconbar.CheckBorder", 0x385D3F},
        {TOfficeStyle::osOffice2003Olive, "iconbar.RadioColor", 0x6FC0FF},
        {TOfficeStyle::osOffice2003Olive, "iconbar.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2003Olive, "iconbar.RadioBorder", 0x385D3F},
        {TOfficeStyle::osOffice2003Olive, "iconbar.SeparatorColor", kKeep},
        {TOfficeStyle::osOfficeXP, "iconbar.Color", 0xFF00000F},
        {TOfficeStyle::osOfficeXP, "iconbar.ColorTo", ui::clNone},
        {TOfficeStyle::osOfficeXP, "iconbar.CheckColor", 0xFF00000F},
        {TOfficeStyle::osOfficeXP, "iconbar.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOfficeXP, "iconbar.CheckBorder", 0xFF00000F},
        {TOfficeStyle::osOfficeXP, "iconbar.RadioColor", 0xFF00000F},
        {TOfficeStyle::osOfficeXP, "iconbar.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOfficeXP, "iconbar.RadioBorder", 0xFF00000F},
        {TOfficeStyle::osOfficeXP, "iconbar.SeparatorColor", kKeep},
        {TOfficeStyle::osOffice2007Luna, "iconbar.Color", 0xEEEEE9},
        {TOfficeStyle::osOffice2007Luna, "iconbar.ColorTo", 0xEEEEE9},
        {TOfficeStyle::osOffice2007Luna, "iconbar.CheckColor", 0x6FC0FF},
        {TOfficeStyle::osOffice2007Luna, "iconbar.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Luna, "iconbar.CheckBorder", 0x800000},
        {TOfficeStyle::osOffice2007Luna, "iconbar.RadioColor", 0x6FC0FF},
        {TOfficeStyle::osOffice2007Luna, "iconbar.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Luna, "iconbar.RadioBorder", 0x800000},
        {TOfficeStyle::osOffice2007Luna, "iconbar.SeparatorColor", 0xC5C5C5},
        {TOfficeStyle::osOffice2007Obsidian, "iconbar.Color", 0xEEEEE9},
        {TOfficeStyle::osOffice2007Obsidian, "iconbar.ColorTo", 0xEEEEE9},
        {TOfficeStyle::osOffice2007Obsidian, "iconbar.CheckColor", 0x6FC0FF},
        {TOfficeStyle::osOffice2007Obsidian, "iconbar.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Obsidian, "iconbar.CheckBorder", 0x800000},
        {TOfficeStyle::osOffice2007Obsidian, "iconbar.RadioColor", 0x6FC0FF},
        {TOfficeStyle::osOffice2007Obsidian, "iconbar.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Obsidian, "iconbar.RadioBorder", 0x800000},
        {TOfficeStyle::osOffice2007Obsidian, "iconbar.SeparatorColor", 0xC5C5C5},
        {TOfficeStyle::osOffice2007Silver, "iconbar.Color", 0xEFEFEF},
        {TOfficeStyle::osOffice2007Silver, "iconbar.ColorTo", 0xEFEFEF},
        {TOfficeStyle::osOffice2007Silver, "iconbar.CheckColor", 0x6FC0FF},
        {TOfficeStyle::osOffice2007Silver, "iconbar.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Silver, "iconbar.CheckBorder", 0x800000},
        {TOfficeStyle::osOffice2007Silver, "iconbar.RadioColor", 0x6FC0FF},
        {TOfficeStyle::osOffice2007Silver, "iconbar.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2007Silver, "iconbar.RadioBorder", 0x800000},
        {TOfficeStyle::osOffice2007Silver, "iconbar.SeparatorColor", 0xC5C5C5},
        {TOfficeStyle::osVista, "iconbar.Color", 0xEEEEEE},
        {TOfficeStyle::osVista, "iconbar.ColorTo", ui::clNone},
        {TOfficeStyle::osVista, "iconbar.CheckColor", 0xF4EFE6},
        {TOfficeStyle::osVista, "iconbar.CheckColorTo", ui::clNone},
        {TOfficeStyle::osVista, "iconbar.CheckBorder", 0xE6D3CD},
        {TOfficeStyle::osVista, "iconbar.RadioColor", 0xF4EFE6},
        {TOfficeStyle::osVista, "iconbar.RadioColorTo", ui::clNone},
        {TOfficeStyle::osVista, "iconbar.RadioBorder", 0xE6D3CD},
        {TOfficeStyle::osVista, "iconbar.SeparatorColor", 0xC5C5C5},
        {TOfficeStyle::osWhidbey, "iconbar.Color", 0xFBFEFE},
        {TOfficeStyle::osWhidbey, "iconbar.ColorTo", 0xACC3C4},
        {TOfficeStyle::osWhidbey, "iconbar.CheckColor", 0xE8E6E1},
        {TOfficeStyle::osWhidbey, "iconbar.CheckColorTo", ui::clNone},
        {TOfficeStyle::osWhidbey, "iconbar.CheckBorder", 0xC56A31},
        {TOfficeStyle::osWhidbey, "iconbar.RadioColor", 0xE8E6E1},
        {TOfficeStyle::osWhidbey, "iconbar.RadioColorTo", ui::clNone},
        {TOfficeStyle::osWhidbey, "iconbar.RadioBorder", 0xC56A31},
        {TOfficeStyle::osWhidbey, "iconbar.SeparatorColor", kKeep},
        {TOfficeStyle::osWindows7, "iconbar.Color", 0xEEEEEE},
        {TOfficeStyle::osWindows7, "iconbar.ColorTo", ui::clNone},
        {TOfficeStyle::osWindows7, "iconbar.CheckColor", 0xF4EFE6},
        {TOfficeStyle::osWindows7, "iconbar.CheckColorTo", ui::clNone},
        {TOfficeStyle::osWindows7, "iconbar.CheckBorder", 0xE6D3CD},
        {TOfficeStyle::osWindows7, "iconbar.RadioColor", 0xF4EFE6},
        {TOfficeStyle::osWindows7, "iconbar.RadioColorTo", ui::clNone},
        {TOfficeStyle::osWindows7, "iconbar.RadioBorder", 0xE6D3CD},
        {TOfficeStyle::osWindows7, "iconbar.SeparatorColor", 0xC5C5C5},
        {TOfficeStyle::osTerminal, "iconbar.Color", 0xFF00000F},
        {TOfficeStyle::osTerminal, "iconbar.ColorTo", 0xFF00000F},
        {TOfficeStyle::osTerminal, "iconbar.CheckColor", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "iconbar.CheckColorTo", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "iconbar.CheckBorder", 0x808080},
        {TOfficeStyle::osTerminal, "iconbar.RadioColor", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "iconbar.RadioColorTo", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "iconbar.RadioBorder", 0xC0C0C0},
        {TOfficeStyle::osTerminal, "iconbar.SeparatorColor", 0xC0C0C0},
        {TOfficeStyle::osOffice2010Blue, "iconbar.Color", 0xFFFFFF},
        {TOfficeStyle::osOffice2010Blue, "iconbar.ColorTo", 0xFFFFFF},
        {TOfficeStyle::osOffice2010Blue, "iconbar.CheckColor", 0xC2F1FC},
        {TOfficeStyle::osOffice2010Blue, "iconbar.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2010Blue, "iconbar.CheckBorder", 0x3695F2},
        {TOfficeStyle::osOffice2010Blue, "iconbar.RadioColor", 0xC2F1FC},
        {TOfficeStyle::osOffice2010Blue, "iconbar.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2010Blue, "iconbar.RadioBorder", 0x3695F2},
        {TOfficeStyle::osOffice2010Blue, "iconbar.SeparatorColor", 0xE7E4E2},
        {TOfficeStyle::osOffice2010Silver, "iconbar.Color", 0xFFFFFF},
        {TOfficeStyle::osOffice2010Silver, "iconbar.ColorTo", 0xFFFFFF},
        {TOfficeStyle::osOffice2010Silver, "iconbar.CheckColor", 0xC2F1FC},
        {TOfficeStyle::osOffice2010Silver, "iconbar.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2010Silver, "iconbar.CheckBorder", 0x3695F2},
        {TOfficeStyle::osOffice2010Silver, "iconbar.RadioColor", 0xC2F1FC},
        {TOfficeStyle::osOffice2010Silver, "iconbar.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2010Silver, "iconbar.RadioBorder", 0x3695F2},
        {TOfficeStyle::osOffice2010Silver, "iconbar.SeparatorColor", 0xE7E4E2},
        {TOfficeStyle::osOffice2010Black, "iconbar.Color", 0xFFFFFF},
        {TOfficeStyle::osOffice2010Black, "iconbar.ColorTo", 0xFFFFFF},
        {TOfficeStyle::osOffice2010Black, "iconbar.CheckColor", 0xC2F1FC},
        {TOfficeStyle::osOffice2010Black, "iconbar.CheckColorTo", ui::clNone},
        {TOfficeStyle::osOffice2010Black, "iconbar.CheckBorder", 0x3695F2},
        {TOfficeStyle::osOffice2010Black, "iconbar.RadioColor", 0xC2F1FC},
        {TOfficeStyle::osOffice2010Black, "iconbar.RadioColorTo", ui::clNone},
        {TOfficeStyle::osOffice2010Black, "iconbar.RadioBorder", 0x3695F2},
        {TOfficeStyle::osOffice2010Black, "iconbar.SeparatorColor", 0xE7E4E2},
        {TOfficeStyle::osOffice2003Blue, "button.HoverColor", 0xCCF4FF},
        {TOfficeStyle::osOffice2003Blue, "button.HoverColorTo", 0x91D0FF},
        {TOfficeStyle::osOffice2003Blue, "button.HoverBorderColor", 0x800000},
        {TOfficeStyle::osOffice2003Blue, "button.DownColor", 0x4E91FE},
        {TOfficeStyle::osOffice2003Blue, "button.DownColorTo", 0x91D3FF},
        {TOfficeStyle::osOffice2003Blue, "button.DownBorderColor", 0x800000},
        {TOfficeStyle::osOffice2003Silver, "button.HoverColor", 0xCCF4FF},
        {TOfficeStyle::osOffice2003Silver, "button.HoverColorTo", 0x91D0FF},
        {TOfficeStyle::osOffice2003Silver, "button.HoverBorderColor", 0x800000},
        {TOfficeStyle::osOffice2003Silver, "button.DownColor", 0x4E91FE},
        {TOfficeStyle::osOffice2003Silver, "button.DownColorTo", 0x91D3FF},
        {TOfficeStyle::osOffice2003Silver, "button.DownBorderColor", 0x800000},
        {TOfficeStyle::osOffice2003Olive, "button.HoverColor", 0xCCF4FF},
        {TOfficeStyle::osOffice2003Olive, "button.HoverColorTo", 0x91D0FF},
        {TOfficeStyle::osOffice2003Olive, "button.HoverBorderColor", 0x800000},
        {TOfficeStyle::osOffice2003Olive, "button.DownColor", 0x4E91FE},
        {TOfficeStyle::osOffice2003Olive, "button.DownColorTo", 0x91D3FF},
        {TOfficeStyle::osOffice2003Olive, "button.DownBorderColor", 0x800000},
        {TOfficeStyle::osOfficeXP, "button.HoverColor", 0xEFD3C6},
        {TOfficeStyle::osOfficeXP, "button.HoverColorTo", ui::clNone},
        {TOfficeStyle::osOfficeXP, "button.HoverBorderColor", 0xC66931},
        {TOfficeStyle::osOfficeXP, "button.DownColor", 0xB59284},
        {TOfficeStyle::osOfficeXP, "button.DownColorTo", ui::clNone},
        {TOfficeStyle::osOfficeXP, "button.DownBorderColor", 0xC66931},
        {TOfficeStyle::osOffice2007Luna, "button.HoverColor", 0xE0DEDD},
        {TOfficeStyle::osOffice2007Luna, "button.HoverColorTo", 0xF4F2F1},
        {TOfficeStyle::osOffice2007Luna, "button.HoverBorderColor", 0xB5AFA8},
        {TOfficeStyle::osOffice2007Luna, "button.DownColor", 0xCCCAC9},
        {TOfficeStyle::osOffice2007Luna, "button.DownColorTo", 0xEAE8E7},
        {TOfficeStyle::osOffice2007Luna, "button.DownBorderColor", 0xB5AFA8},
        {TOfficeStyle::osOffice2007Obsidian, "button.HoverColor", 0xE0DEDD},
        {TOfficeStyle::osOffice2007Obsidian, "button.HoverColorTo", 0xF4F2F1},
        {TOfficeStyle::osOffice2007Obsidian, "button.HoverBorderColor", 0xB5AFA8},
        {TOfficeStyle::osOffice2007Obsidian, "button.DownColor", 0xCCCAC9},
        {TOfficeStyle::osOffice2007Obsidian, "button.DownColorTo", 0xEAE8E7},
        {TOfficeStyle::osOffice2007Obsidian, "button.DownBorderColor", 0xB5AFA8},
        {TOfficeStyle::osOffice2007Silver, "button.HoverColor", 0xE0DEDD},
        {TOfficeStyle::osOffice2007Silver, "button.HoverColorTo", 0xF4F2F1},
        {TOfficeStyle::osOffice2007Silver, "button.HoverBorderColor", 0xB5AFA8},
        {TOfficeStyle::osOffice2007Silver, "button.DownColor", 0xCCCAC9},
        {TOfficeStyle::osOffice2007Silver, "button.DownColorTo", 0xEAE8E7},
        {TOfficeStyle::osOffice2007Silver, "button.DownBorderColor", 0xB5AFA8},
        {TOfficeStyle::osVista, "button.HoverColor", 0xE0DEDD},
        {TOfficeStyle::osVista, "button.HoverColorTo", 0xF4F2F1},
        {TOfficeStyle::osVista, "button.HoverBorderColor", 0xB5AFA8},
        {TOfficeStyle::osVista, "button.DownColor", 0xCCCAC9},
        {TOfficeStyle::osVista, "button.DownColorTo", 0xEAE8E7},
        {TOfficeStyle::osVista, "button.DownBorderColor", 0xB5AFA8},
        {TOfficeStyle::osWhidbey, "button.HoverColor", kKeep},
        {TOfficeStyle::osWhidbey, "button.HoverColorTo", kKeep},
        {TOfficeStyle::osWhidbey, "button.HoverBorderColor", kKeep},
        {TOfficeStyle::osWhidbey, "button.DownColor", kKeep},
        {TOfficeStyle::osWhidbey, "button.DownColorTo", kKeep},
        {TOfficeStyle::osWhidbey, "button.DownBorderColor", kKeep},
        {TOfficeStyle::osWindows7, "button.HoverColor", 0xE0DEDD},
        {TOfficeStyle::osWindows7, "button.HoverColorTo", 0xF4F2F1},
        {TOfficeStyle::osWindows7, "button.HoverBorderColor", 0xB5AFA8},
        {TOfficeStyle::osWindows7, "button.DownColor", 0xCCCAC9},
        {TOfficeStyle::osWindows7, "button.DownColorTo", 0xEAE8E7},
        {TOfficeStyle::osWindows7, "button.DownBorderColor", 0xB5AFA8},
        {TOfficeStyle::osTerminal, "button.HoverColor", 0xEFD3C6},
        {TOfficeStyle::osTerminal, "button.HoverColorTo", ui::clNone},
        {TOfficeStyle::osTerminal, "button.HoverBorderColor", 0xC66931},
        {TOfficeStyle::osTerminal, "button.DownColor", 0xB59284},
        {TOfficeStyle::osTerminal, "button.DownColorTo", ui::clNone},
        {TOfficeStyle::osTerminal, "button.DownBorderColor", 0xC66931},
        {TOfficeStyle::osOffice2010Blue, "button.HoverColor", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Blue, "button.HoverColorTo", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Blue, "button.HoverBorderColor", 0x58CAF1},
        {TOfficeStyle::osOffice2010Blue, "button.DownColor", 0x6CD0FF},
        {TOfficeStyle::osOffice2010Blue, "button.DownColorTo", 0x7BEEFF},
        {TOfficeStyle::osOffice2010Blue, "button.DownBorderColor", 0x308AC2},
        {TOfficeStyle::osOffice2010Silver, "button.HoverColor", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Silver, "button.HoverColorTo", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Silver, "button.HoverBorderColor", 0x58CAF1},
        {TOfficeStyle::osOffice2010Silver, "button.DownColor", 0x6CD0FF},
        {TOfficeStyle::osOffice2010Silver, "button.DownColorTo", 0x7BEEFF},
        {TOfficeStyle::osOffice2010Silver, "button.DownBorderColor", 0x308AC2},
        {TOfficeStyle::osOffice2010Black, "button.HoverColor", 0x8AE3FD},
        {TOfficeStyle::osOffice2010Black, "button.HoverColorTo", 0xD9F9FD},
        {TOfficeStyle::osOffice2010Black, "button.HoverBorderColor", 0x58CAF1},
        {TOfficeStyle::osOffice2010Black, "button.DownColor", 0x6CD0FF},
        {TOfficeStyle::osOffice2010Black, "button.DownColorTo", 0x7BEEFF},
        {TOfficeStyle::osOffice2010Black, "button.DownBorderColor", 0x308AC2},
};

struct Property {
    std::function<std::uint32_t(TFineMenuOfficeStyler&)> get;
    std::function<void(TFineMenuOfficeStyler&, std::uint32_t)> set;
};

#define QBK_COLOR(name, object, getter, setter)                                                  \
    {name, {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.object getter); }, \
            [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.object setter(static_cast<TColor>(v)); }}}

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
          [](TFineMenuOfficeStyler& s, std::uint32_t) { s.RootItem().SetGradientDirection(TGradientDirection::gdVertical); }}},
        {"root.SelectedColor",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.RootItem().SelectedColor()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.RootItem().SetSelectedColor(0, v); }}},
        {"root.SelectedColorTo",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.RootItem().SelectedColorTo()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.RootItem().SetSelectedColor(1, v); }}},
        {"root.SelectedColorMirror",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.RootItem().SelectedColorMirror()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.RootItem().SetSelectedColor(2, v); }}},
        {"root.SelectedColorMirrorTo",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.RootItem().SelectedColorMirrorTo()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.RootItem().SetSelectedColor(3, v); }}},
        QBK_COLOR("root.SelectedBorderColor", RootItem(), .SelectedBorderColor(), .SetSelectedBorderColor),
        QBK_COLOR("root.SelectedTextColor", RootItem(), .SelectedTextColor(), .SetSelectedTextColor),
        {"hover.HoverColor",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.RootItem().HoverColor()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.RootItem().SetHoverColor(0, v); }}},
        {"hover.HoverColorTo",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.RootItem().HoverColorTo()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.RootItem().SetHoverColor(1, v); }}},
        {"hover.HoverColorMirror",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.RootItem().HoverColorMirror()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.RootItem().SetHoverColor(2, v); }}},
        {"hover.HoverColorMirrorTo",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.RootItem().HoverColorMirrorTo()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.RootItem().SetHoverColor(3, v); }}},
        QBK_COLOR("hover.HoverBorderColor", RootItem(), .HoverBorderColor(), .SetHoverBorderColor),
        QBK_COLOR("hover.HoverTextColor", RootItem(), .HoverTextColor(), .SetHoverTextColor),
        QBK_COLOR("selected.Color", SelectedItem(), .Color(), .SetColor),
        QBK_COLOR("selected.ColorTo", SelectedItem(), .ColorTo(), .SetColorTo),
        QBK_COLOR("selected.ColorMirror", SelectedItem(), .ColorMirror(), .SetColorMirror),
        QBK_COLOR("selected.ColorMirrorTo", SelectedItem(), .ColorMirrorTo(), .SetColorMirrorTo),
        QBK_COLOR("selected.BorderColor", SelectedItem(), .BorderColor(), .SetBorderColor),
        {"selected.CheckColor",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.SelectedItem().CheckColor()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.SelectedItem().SetCheckColor(0, v); }}},
        {"selected.CheckColorTo",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.SelectedItem().CheckColorTo()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.SelectedItem().SetCheckColor(1, v); }}},
        QBK_COLOR("selected.CheckBorder", SelectedItem(), .CheckBorder(), .SetCheckBorder),
        {"selected.RadioColor",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.SelectedItem().RadioColor()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.SelectedItem().SetRadioColor(0, v); }}},
        {"selected.RadioColorTo",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.SelectedItem().RadioColorTo()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.SelectedItem().SetRadioColor(1, v); }}},
        QBK_COLOR("selected.RadioBorder", SelectedItem(), .RadioBorder(), .SetRadioBorder),
        QBK_COLOR("iconbar.Color", IconBar(), .Color(), .SetColor),
        QBK_COLOR("iconbar.ColorTo", IconBar(), .ColorTo(), .SetColorTo),
        {"iconbar.CheckColor",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.IconBar().CheckColor()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.IconBar().SetCheckColor(0, v); }}},
        {"iconbar.CheckColorTo",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.IconBar().CheckColorTo()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.IconBar().SetCheckColor(1, v); }}},
        QBK_COLOR("iconbar.CheckBorder", IconBar(), .CheckBorder(), .SetCheckBorder),
        {"iconbar.RadioColor",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.IconBar().RadioColor()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.IconBar().SetRadioColor(0, v); }}},
        {"iconbar.RadioColorTo",
         {[](TFineMenuOfficeStyler& s) { return static_cast<std::uint32_t>(s.IconBar().RadioColorTo()); },
          [](TFineMenuOfficeStyler& s, std::uint32_t v) { s.IconBar().SetRadioColor(1, v); }}},
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
    int styles = 0;
    for (int style = 0; style <= static_cast<int>(TOfficeStyle::osOffice2010Black); ++style) {
        if (style == static_cast<int>(TOfficeStyle::osCustom)) continue;
        ++styles;
        SetAllToSentinel();
        menu->redraws = 0;
        styler->SetStyle(static_cast<TOfficeStyle>(style));
        EXPECT_EQ(menu->redraws, 1) << style;
        int checked = 0;
        for (const Cell& cell : kCells) {
            if (static_cast<int>(cell.style) != style) continue;
            ++checked;
            const auto it = Properties().find(cell.property);
            ASSERT_NE(it, Properties().end()) << cell.property;
            const std::uint32_t actual = it->second.get(*styler);
            if (std::string(cell.property) == "root.GradientDirection") {
                EXPECT_EQ(actual, cell.value == kKeep ? kVertical : cell.value) << style << " " << cell.property;
            } else {
                EXPECT_EQ(actual, cell.value == kKeep ? kSentinel : cell.value) << style << " " << cell.property;
            }
        }
        EXPECT_EQ(checked, 46) << style;
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
        {0, TOfficeStyle::osOffice2003Blue},   {1, TOfficeStyle::osOffice2003Silver}, {2, TOfficeStyle::osOffice2003Olive},
        {3, TOfficeStyle::osOfficeXP},         {6, TOfficeStyle::osOfficeXP},         {4, TOfficeStyle::osOffice2007Luna},
        {5, TOfficeStyle::osOffice2007Obsidian}, {7, TOfficeStyle::osWhidbey},        {9, TOfficeStyle::osOffice2007Silver},
        {10, TOfficeStyle::osVista},           {11, TOfficeStyle::osWindows7},        {12, TOfficeStyle::osTerminal},
        {13, TOfficeStyle::osOffice2010Blue},  {14, TOfficeStyle::osOffice2010Silver}, {15, TOfficeStyle::osOffice2010Black},
        {128 + 1, TOfficeStyle::osOffice2003Silver},
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
        {true, "NormalColor", TOfficeStyle::osOffice2003Blue},
        {true, "HomeStead", TOfficeStyle::osOffice2003Olive},
        {true, "Metallic", TOfficeStyle::osOffice2003Silver},
        {true, "Royale", TOfficeStyle::osOfficeXP},
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
