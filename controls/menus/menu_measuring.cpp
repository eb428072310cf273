// The sizes of menu-bar buttons and drop-down items.
#include "controls/menus/menu_measuring.h"

#include <algorithm>
#include <string>

#include "controls/menus/fine_main_menu.h"
#include "controls/menus/menu_item_checks.h"
#include "controls/menus/menu_shortcuts.h"
#include "controls/menus/menu_styler.h"
#include "controls/menus/menu_text.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/forms/menu_bar.h"

namespace menus {

void MeasureItem(ui::TMenuItem* item, ui::TCanvas& canvas, int& width, int& height, bool side_bar) {
    if (!item->Visible()) {
        width = height = 0;
        return;
    }
    TFineMainMenu* menu = StyledMenuOf(item);
    if (menu == nullptr) return;
    TCustomFineMenuStyler& s = *menu->CurrentStyler();
    const bool root = IsRootItem(item);
    if (root) {
        const ui::TSize button = ui::MenuBarButtonSize();
        width = button.cx;
        height = button.cy;
    }
    if (item->IsLine()) {
        width = -2;
        height = s.Separator().Width() + 2;
        return;
    }
    if (!root) width = s.IconBar().Size();
    ui::TImageList* images = menu->Images();
    if (images != nullptr && (item->ImageIndex() >= 0 || !root)) {
        if (!root)
            height = std::max(height, images->Height());
        else
            width = images->Width();
    } else if (!item->HasBitmap() || item->Bitmap().Empty()) {
        if (!root)
            height -= 3;
        else
            width = -7;
    } else {
        if (!root)
            height = std::max(height, item->Bitmap().Height());
        else
            width = item->Bitmap().Width();
    }
    if (!root) {
        width += 15;
        height += 2;
    }
    const bool notes = HasNotes(item, item->Caption());
    std::string text = notes ? item->Caption().substr(0, item->Caption().find(kNoteBreak)) : item->Caption();
    if (item->ShortCut() != ui::scNone) text += ShortCutText(item->ShortCut(), menu->IntlKeybShortCuts());
    if (root) {
        if (!s.RootItem().UseSystemFont()) canvas.SetFont(s.RootItem().Font());
    } else if (!s.UseSystemFont()) {
        canvas.SetFont(s.Font());
    } else if (!s.SelectedItem().UseSystemFont()) {
        canvas.SetFont(s.SelectedItem().Font());
    }
    const ui::TSize extent = TextSize(canvas, text);
    width += extent.cx + 7;
    height = std::max(height, extent.cy + 6);
    if (root) return;
    if ((item->ShortCut() & 0x200) != 0) width += canvas.TextWidth(kWinKeyPrefix);
    if (side_bar && !InLaterColumn(item)) width += s.SideBar().Size() + s.SideBar().SplitterWidth();
    height += height % 2;
    width += kDropDownExtra;
    if (notes) {
        canvas.SetFont(s.NotesFont());
        const int h = canvas.TextHeight("gh");
        std::string rest = item->Caption();
        for (std::size_t at; (at = rest.find(kNoteBreak)) != std::string::npos;) {
            width = std::max(width, TextSize(canvas, rest.substr(0, at)).cx);
            height += h;
            rest.erase(0, at + 2);
        }
        if (!rest.empty()) width = std::max(width, TextSize(canvas, rest).cx + s.IconBar().Size() + 32);
    }
}

}  // namespace menus
