// The editing controls: single-line edit, memo, masked edit, combo box and date-time picker,
// each over one toolkit input widget that fills the control.
//
// Keys reach the control's KeyDown and KeyPress (and so OnKeyDown and OnKeyPress) before the
// toolkit widget sees them. The toolkit widget handles the key only when the handler left it
// non-zero and did not release the control (deferred_release.h): a handler may close the control
// from inside its own key event. A key never travels on to the parent control, so a key the
// control's owner already handled through OnKeyDown is not handled twice.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/controls/edit_mask.h"
#include "platform/ui/controls/std_win_control.h"
#include "platform/ui/core/strings.h"
#include "platform/ui/core/sysutils.h"

class QKeyEvent;
class QObject;

namespace ui {

enum class TBorderStyle { bsNone, bsSingle };

// The base of the controls here: border, colour, the 3-D look, text and caret.
class TInputControl : public TStdWinControl {
public:
    explicit TInputControl(TComponent* owner);
    ~TInputControl() override;
    std::string ClassName() const override { return "TInputControl"; }

    TBorderStyle BorderStyle() const { return border_style_; }
    void SetBorderStyle(TBorderStyle style);
    // Kept for the forms that set it; the toolkit draws one look.
    bool Ctl3D() const { return ctl3d_; }
    void SetCtl3D(bool value) { ctl3d_ = value; }
    // The background of the input area (hides TControl::SetColor, which only repaints).
    void SetColor(TColor color);

    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    // The caret and the selection, in characters; a control without a text field answers 0.
    virtual int SelStart() const { return 0; }
    virtual void SetSelStart(int) {}
    virtual int SelLength() const { return 0; }
    virtual void SetSelLength(int) {}

    // The toolkit widget that takes the keyboard focus; for the platform layer and tests.
    QWidget* FocusWidget() const override {
        return focus_widget_ != nullptr ? focus_widget_ : TStdWinControl::FocusWidget();
    }

protected:
    // Takes the toolkit widget that fills the control; `focus` (default: the widget itself)
    // is the one that receives the keys.
    void SetInputWidget(QWidget* widget, QWidget* focus = nullptr);
    virtual void ApplyBorder(bool visible) = 0;

private:
    friend class InputKeyFilter;
    // True when the toolkit widget must not handle the event.
    bool FilterKey(QKeyEvent* event);

    std::unique_ptr<QObject> key_filter_;
    QWidget* focus_widget_ = nullptr;
    TBorderStyle border_style_ = TBorderStyle::bsSingle;
    bool ctl3d_ = true;
    bool in_key_ = false;
};

// One line of text.
class TEdit : public TInputControl {
public:
    explicit TEdit(TComponent* owner);
    std::string ClassName() const override { return "TEdit"; }

    // An auto-sized edit takes the height its font needs; its width stays.
    bool AutoSize() const { return auto_size_; }
    void SetAutoSize(bool value);
    void SetBounds(int left, int top, int width, int height) override;

    std::string Text() const override;
    void SetText(const std::string& text) override;
    int SelStart() const override;
    void SetSelStart(int start) override;
    int SelLength() const override;
    void SetSelLength(int length) override;

protected:
    void ApplyBorder(bool visible) override;

private:
    bool auto_size_ = true;
};

// Several lines of text; Enter starts a new line.
class TMemo : public TInputControl {
public:
    explicit TMemo(TComponent* owner);
    std::string ClassName() const override { return "TMemo"; }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    bool WordWrap() const { return word_wrap_; }
    void SetWordWrap(bool value);

    // Lines joined with "\r\n", as the class library's memo gives them.
    std::string Text() const override;
    void SetText(const std::string& text) override;
    int SelStart() const override;
    void SetSelStart(int start) override;
    int SelLength() const override;
    void SetSelLength(int length) override;

protected:
    void ApplyBorder(bool visible) override;

private:
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool word_wrap_ = true;
};

// One line of text shaped by an edit mask in the class library's syntax (edit_mask.h).
class TMaskEdit : public TEdit {
public:
    explicit TMaskEdit(TComponent* owner);
    std::string ClassName() const override { return "TMaskEdit"; }

    const std::string& EditMask() const { return edit_mask_; }
    void SetEditMask(const std::string& mask);
    // With a mask: literals only when the mask saves them, empty positions as spaces.
    std::string Text() const override;
    // Every position as shown, empty ones holding the mask's blank character.
    std::string EditText() const;

private:
    std::string edit_mask_;
    TTranslatedEditMask translated_;
};

enum class TComboBoxStyle { csDropDown, csDropDownList };

// A drop-down list of choices, with (csDropDown) or without (csDropDownList) a text field.
class TComboBox : public TInputControl {
public:
    explicit TComboBox(TComponent* owner);
    ~TComboBox() override;
    std::string ClassName() const override { return "TComboBox"; }

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    TStrings& Items() { return *items_; }
    void SetItems(const TStrings& items) { items_->Assign(&items); }
    // -1 when nothing is chosen; an index outside the list chooses nothing.
    int ItemIndex() const;
    void SetItemIndex(int index);

    // The text field, or the chosen item of a drop-down list.
    std::string Text() const override;
    // In a drop-down list: chooses the item with exactly this text (none when absent).
    void SetText(const std::string& text) override;
    int SelStart() const override;
    void SetSelStart(int start) override;
    int SelLength() const override;
    void SetSelLength(int length) override;
    bool DroppedDown() const;
    void SetDroppedDown(bool value);

protected:
    void ApplyBorder(bool visible) override;

private:
    void ItemsChanged();
    std::unique_ptr<TStringList> items_;
    TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
};

enum class TDateTimeKind { dtkDate, dtkTime };

// A date or a time of day, typed or stepped with the arrow keys.
class TDateTimePicker : public TInputControl {
public:
    explicit TDateTimePicker(TComponent* owner);
    std::string ClassName() const override { return "TDateTimePicker"; }

    TDateTimeKind Kind() const { return kind_; }
    void SetKind(TDateTimeKind kind);
    TDateTime DateTime() const { return value_; }
    void SetDateTime(TDateTime value);
    // The whole-day part; setting it keeps the time of day.
    TDateTime Date() const;
    void SetDate(TDateTime value);
    // The time of day (the fraction); setting it keeps the day.
    TDateTime Time() const;
    void SetTime(TDateTime value);

    // The value as the picker shows it (short date or long time format).
    std::string Text() const override;
    void SetText(const std::string& text) override;

protected:
    void ApplyBorder(bool visible) override;

private:
    void Show();
    void TakeShown();
    TDateTimeKind kind_ = TDateTimeKind::dtkDate;
    TDateTime value_ = 0;
    bool showing_ = false;
};

// The height the drop-down editors need at least: a shorter rectangle grows by the same amount
// above and below (an odd difference puts the extra pixel below).
inline constexpr int kDropDownEditorMinHeight = 21;
TRect GrowToMinHeight(const TRect& rect, int min_height);

}  // namespace ui
