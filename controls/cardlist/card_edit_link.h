// The value an in-place edit carries, and the link a template item names to supply its own
// editor control (ItemEditor ieCustom).
#pragma once

#include <memory>
#include <string>
#include <variant>

#include "platform/ui/controls/controls.h"
#include "platform/ui/core/component.h"
#include "platform/ui/core/dates.h"

namespace cardlist {

// A date or time value, kept apart from a plain floating-point number.
struct TEditDate {
    ui::TDateTime value = 0;
    friend bool operator==(const TEditDate&, const TEditDate&) = default;
};

// What an editor gives back: stored by its type (StoreEditValue); a text goes through the
// item's text setter, which converts it by the item's data type.
using TCardEditValue = std::variant<std::string, int, double, bool, TEditDate>;

// A custom editor for a template item. The list fills OnEditorKeyDown with its editor key
// handler; the link attaches it to the editor it makes.
class TCardListEditLink : public ui::TComponent {
public:
    using ui::TComponent::TComponent;
    std::string ClassName() const override { return "TCardListEditLink"; }

    // The editor control; the list places it, parents it and frees it when the edit ends.
    virtual std::unique_ptr<ui::TWinControl> CreateEditor() = 0;
    // Called once the editor is placed.
    virtual void SetProperties() = 0;
    // Called with (1, 0) when the edit began with a typed character.
    virtual void SetSelection(int start, int length) = 0;
    virtual void FocusEditor() = 0;
    virtual void SetEditorValue(const TCardEditValue& value) = 0;
    virtual void GetEditorValue(TCardEditValue& value) = 0;

    ui::TKeyEvent OnEditorKeyDown;
};

}  // namespace cardlist
