// The state of the card list's in-place edit: which item of which card is edited, how the edit
// started, and the editor control open over the item's value.
#pragma once

#include <memory>

#include "platform/ui/controls/controls.h"

namespace cardlist {

// The editor an edit of an item opens, chosen by its template item's ItemEditor (a text item
// by its WordWrap too).
enum class CardEditorKind {
    None = -1,          // no editor open
    Text = 0,           // a one-line edit
    Memo = 1,           // the multi-line text editor
    Mask = 2,           // a number or a float in a masked edit
    Toggle = 3,         // a Boolean item: it toggles, no editor opens
    ComboBox = 4,       // the drop-down list or the drop-down edit
    DateTime = 5,       // the date or the time picker
    PictureDialog = 6,  // the modal picture dialog: it runs to its end, no editor stays open
    Custom = 7,         // the control the template item's edit link makes
};

struct CardListEditing {
    std::unique_ptr<ui::TWinControl> Editor;  // the open editor control, or null
    CardEditorKind EditorKind = CardEditorKind::None;
    int EditCardIndex = -1, EditItemIndex = -1;
    // The edit was started by a click: a check box then toggles only when the click lies in it.
    bool EditByMouse = false;
    bool EditStarting = false;  // an edit is being set up or is open
    bool Storing = false;       // the open editor's value is being stored
};

}  // namespace cardlist
