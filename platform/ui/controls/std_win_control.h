// TStdWinControl: the base of the standard windowed controls and forms. On top of the windowed
// control it keeps a caption, a tab order among its parent's standard controls, and optionally
// a native widget of the toolkit (a push button, a radio button ...) that fills the control, so
// that the look and the keyboard handling of those controls come from the toolkit.
#pragma once

#include <string>

#include "platform/ui/controls/controls.h"

namespace ui {

class TStdWinControl : public TWinControl {
public:
    explicit TStdWinControl(TComponent* owner);
    std::string ClassName() const override { return "TStdWinControl"; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    // Position in keyboard order among the parent's standard controls. Setting it moves this
    // control there and the others behind it one place on, as the class library does.
    int TabOrder() const;
    void SetTabOrder(int order);
    // The parent's standard windowed children in tab order.
    static std::vector<TStdWinControl*> TabList(const TWinControl* parent);

    // The toolkit widget inside, or null; for the platform layer and tests.
    QWidget* NativeWidget() const { return native_; }
    QWidget* FocusWidget() const override;

    // Re-applies the font to the native widget (after Font() was changed).
    void FontChanged();

protected:
    // Takes a toolkit widget that fills the control from now on (owned by the control's widget).
    void SetNativeWidget(QWidget* widget);
    virtual void CaptionChanged() {}
    void Resize() override;

public:
    void SetParent(TWinControl* parent) override;

private:
    std::string caption_;
    QWidget* native_ = nullptr;
    double tab_key_ = 0;  // sort key among siblings; ties keep creation order
    static double next_key_;
};

// Applies the tab order of every standard control below `root` to the toolkit's focus chain:
// depth first, a container before the controls inside it. The controls inside a windowed
// container that is not a standard control stand at the container's place among its siblings.
void ApplyTabOrder(const TWinControl* root);

}  // namespace ui
