// The standard controls the program's forms are built from: panels, group boxes, radio buttons,
// push buttons, bevels, labels and images.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/controls/std_win_control.h"
#include "platform/ui/forms/form.h"
#include "platform/ui/graphics/frames.h"
#include "platform/ui/graphics/picture.h"

namespace ui {

class TPanel : public TStdWinControl {
public:
    explicit TPanel(TComponent* owner);
    std::string ClassName() const override { return "TPanel"; }
    TBevelCut BevelOuter() const { return bevel_outer_; }
    void SetBevelOuter(TBevelCut cut);
    TBevelCut BevelInner() const { return bevel_inner_; }
    void SetBevelInner(TBevelCut cut);

protected:
    void CaptionChanged() override;

private:
    void ApplyBevel();
    TBevelCut bevel_outer_ = TBevelCut::bvRaised;
    TBevelCut bevel_inner_ = TBevelCut::bvNone;
};

class TGroupBox : public TStdWinControl {
public:
    explicit TGroupBox(TComponent* owner);
    std::string ClassName() const override { return "TGroupBox"; }

protected:
    void CaptionChanged() override;
};

class TRadioButton : public TStdWinControl {
public:
    explicit TRadioButton(TComponent* owner);
    std::string ClassName() const override { return "TRadioButton"; }
    bool Checked() const { return checked_; }
    // Checking a button clears its siblings and fires OnClick, whether the user or the program
    // checked it; clearing one fires nothing.
    void SetChecked(bool checked);
    // The user's click: checks the button.
    void Click() override;

protected:
    void CaptionChanged() override;
    // Only the toolkit's button and caption: the group box or panel below shows around them.
    bool Opaque() const override { return false; }

private:
    bool checked_ = false;
};

class TButton : public TStdWinControl {
public:
    explicit TButton(TComponent* owner);
    std::string ClassName() const override { return "TButton"; }
    bool Default() const { return default_; }
    void SetDefault(bool v);
    // The button Esc presses on its form.
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    // A click sets the form's modal result to this value first (when not mrNone).
    TModalResult ModalResult() const { return modal_result_; }
    void SetModalResult(TModalResult v) { modal_result_ = v; }
    void Click() override;

protected:
    void CaptionChanged() override;

private:
    bool default_ = false;
    bool cancel_ = false;
    TModalResult modal_result_ = mrNone;
};

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle { bsLowered, bsRaised };

// Lines and boxes in the button-shadow and button-highlight colours: a lowered bevel has the
// shadow on its top and left, a raised one the highlight. A line is two pixels wide (shadow and
// highlight) on the edge it names; nothing else of the control is painted.
class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* owner);
    std::string ClassName() const override { return "TBevel"; }
    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape shape);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle style);

protected:
    void Paint() override;

private:
    TBevelShape shape_ = TBevelShape::bsBox;
    TBevelStyle style_ = TBevelStyle::bsLowered;
};

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);
    std::string ClassName() const override { return "TLabel"; }
    // An auto-sized label takes the size of its text (one line unless word-wrapped).
    bool AutoSize() const { return auto_size_; }
    void SetAutoSize(bool v);
    bool WordWrap() const { return word_wrap_; }
    void SetWordWrap(bool v);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // Re-applies the font (after Font() was changed).
    void FontChanged();
    // The shown text's toolkit widget; for tests.
    QWidget* NativeWidget() const { return label_; }

protected:
    void Resize() override;

private:
    void Fit();
    QWidget* label_;
    std::string caption_;
    bool auto_size_ = true;
    bool word_wrap_ = false;
};

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;
    std::string ClassName() const override { return "TImage"; }
    TPicture& Picture() { return *picture_; }
    const TPicture& Picture() const { return *picture_; }
    // Call after changing the picture's graphic so the control shows it.
    void PictureChanged();
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    bool AutoSize() const { return auto_size_; }
    void SetAutoSize(bool v);

protected:
    void Resize() override;

private:
    QWidget* label_;
    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool auto_size_ = false;
};

// The form a control sits on, or null.
TForm* GetParentForm(TControl* control);

}  // namespace ui
