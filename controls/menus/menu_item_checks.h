// Tests on the items of a styled menu (root item, first visible, later column, depth, whether
// the side bar shows), and what the measuring and painting read about an item: its styled menu
// and styler, its owner-draw state bits, and whether its caption carries note lines.
#pragma once

#include <string>

#include "platform/ui/forms/menus.h"

namespace menus {

class TFineMainMenu;
class TCustomFineMenuStyler;

inline constexpr ui::TOwnerDrawState kSelected = ui::odSelected;
inline constexpr ui::TOwnerDrawState kDisabled = ui::odDisabled;
inline constexpr ui::TOwnerDrawState kDefault = ui::odDefault;
inline constexpr ui::TOwnerDrawState kHot = ui::odHotLight;
// Separates the note lines of a caption: a backslash and an n, not a line break.
inline constexpr const char* kNoteBreak = "\\n";

ui::TMenuItem* FirstVisibleChild(const ui::TMenuItem* parent);
bool IsFirstVisible(const ui::TMenuItem* item);
bool InLaterColumn(const ui::TMenuItem* item);
int ItemDepth(const ui::TMenuItem* item);
bool IsRootItem(const ui::TMenuItem* item);
bool IsLastRootItem(const ui::TMenuItem* item);
bool SideBarShown(const ui::TMenuItem* item);

// The styled menu holding the item (null for an item of another menu) and its current styler.
TFineMainMenu* StyledMenuOf(const ui::TMenuItem* item);
TCustomFineMenuStyler& StylerOf(const ui::TMenuItem* item);
// Whether the item's menu shows note lines, and whether `text` has any to show.
bool ShowNotes(const ui::TMenuItem* item);
bool HasNotes(const ui::TMenuItem* item, const std::string& text);

}  // namespace menus
