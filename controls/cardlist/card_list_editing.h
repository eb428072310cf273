// The state of the card list's in-place edit: which item of which card is edited, how the edit
// started, and the editor control open over the item's value.
#pragma once

#include <memory>

#include "controls/cardlist/card_item_kinds.h"
#include "platform/ui/controls/controls.h"

namespace cardlist {

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
