// TControl, TWinControl, TCustomControl and TGraphicControl over one QWidget each. Qt's events
// arrive at the virtual methods the components override (MouseDown, KeyDown, Resize, DoEnter,
// CMMouseEnter ...); painting happens only inside Qt's paint event, where Paint gets a TCanvas
// over the widget's backing image. Invalidate asks for a paint; it never draws.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/core/component.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/colors.h"
#include "platform/ui/graphics/geometry.h"
#include "platform/ui/graphics/graphics.h"

class QWidget;

namespace ui {

class TWinControl;
class ControlWidget;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
// Horizontal alignment of a text.
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6
};
using TShiftState = unsigned;
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crSizeAll = -22;

// Virtual-key codes the components test.
inline constexpr int VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28;
inline constexpr int VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24;
inline constexpr int VK_RETURN = 0x0D, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_TAB = 0x09, VK_F2 = 0x71;

using TMouseEvent = std::function<void(TPersistent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TPersistent* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TPersistent* sender, int& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TPersistent* sender, char& key)>;
// `wheel_delta` in the platform's units (120 a notch, positive away from the user);
// `mouse_pos` in screen coordinates. Setting `handled` stops the wheel here.
using TMouseWheelEvent =
    std::function<void(TPersistent* sender, TShiftState shift, int wheel_delta, TPoint mouse_pos, bool& handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TPersistent* sender, TShiftState shift, TPoint mouse_pos, bool& handled)>;
inline constexpr int WHEEL_DELTA = 120;

// The keys a windowed control asks for before the window's own key handling (menu shortcuts)
// may take them: its answer to the dialog-code query.
enum TDialogCode : unsigned { dlgcWantArrows = 0x01, dlgcWantChars = 0x80 };

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    std::string ClassName() const override { return "TControl"; }

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return bounds_.Left; }
    int Top() const { return bounds_.Top; }
    int Width() const { return bounds_.Width(); }
    int Height() const { return bounds_.Height(); }
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return bounds_; }
    int ClientWidth() const { return Width(); }
    int ClientHeight() const { return Height(); }
    TRect ClientRect() const { return TRect{0, 0, Width(), Height()}; }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFont& Font() { return font_; }
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    bool ShowHint() const { return show_hint_; }
    void SetShowHint(bool value) { show_hint_ = value; }

    // Asks for a paint of everything (or of `rect`); the paint runs in the next paint event.
    void Invalidate();
    void InvalidateRect(const TRect& rect);
    // Invalidate, then let the pending paint run now.
    void Repaint();
    void Update();

    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;

    // Platform side: the widget that stands for this control (control_widget.h has its class).
    QWidget* Widget() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;

protected:
    friend class ControlWidget;
    friend class TWinControl;
    friend class SizeMoveLoop;
    explicit TControl(TComponent* owner, bool windowed);

    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    // The wheel over the control: OnMouseWheel, then DoMouseWheelDown or DoMouseWheelUp; true
    // when one of them handled it. An unhandled wheel goes on to the parent.
    virtual bool DoMouseWheel(TShiftState shift, int wheel_delta, TPoint mouse_pos);
    // A wheel step towards / away from the user that OnMouseWheel left: OnMouseWheelDown or
    // OnMouseWheelUp; true when handled.
    virtual bool DoMouseWheelDown(TShiftState shift, TPoint mouse_pos);
    virtual bool DoMouseWheelUp(TShiftState shift, TPoint mouse_pos);
    virtual void Resize();
    virtual void CMMouseEnter();
    virtual void CMMouseLeave();
    // The hint text to show at (x, y); an empty text shows none.
    virtual void CMHintShow(std::string& hint, int x, int y);
    // As CMHintShow, for a control that also places the hint: `screen_pos` is where it shows,
    // the cursor position on entry.
    virtual void CMHintShowAt(std::string& hint, int x, int y, TPoint& screen_pos) {
        (void)screen_pos;
        CMHintShow(hint, x, y);
    }
    // Non-client handling and the move/size loop (size_move.h). The hit code of a point in
    // screen coordinates: HTCLIENT by default, so that every mouse event reaches the client.
    virtual int NCHitTest(TPoint screen_pos);
    // The cursor for a hit code, after the platform has set its own for it.
    virtual void WMSetCursor(int hit_code);
    virtual void WMEnterSizeMove() {}
    // The window rectangle the loop proposes, in screen coordinates; a handler may change it.
    virtual void WMMoving(TRect& proposed);
    virtual void WMSizing(int edge, TRect& proposed);
    virtual void WMExitSizeMove() {}
    // Draws the control; `canvas` is over the widget's backing image.
    virtual void PaintControl(TCanvas& canvas);
    // False for a control that lets its parent show wherever it paints nothing (labels, lines,
    // radio buttons on a group box); an opaque one fills its area with its colour first.
    virtual bool Opaque() const { return true; }
    // The area the running paint must cover (Qt's exposed rectangle); the whole client area
    // outside a paint.
    TRect PaintRect() const { return paint_rect_.IsEmpty() ? ClientRect() : paint_rect_; }

    std::unique_ptr<ControlWidget> widget_;

private:
    TWinControl* parent_ = nullptr;
    TRect bounds_{0, 0, 0, 0};
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clBtnFace;
    TFont font_;
    TCursor cursor_ = crDefault;
    std::string hint_;
    bool show_hint_ = false;
    TRect paint_rect_{0, 0, 0, 0};  // set by the widget for the length of one paint
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    std::string ClassName() const override { return "TWinControl"; }

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(static_cast<std::size_t>(index)); }

    void SetFocus();
    bool Focused() const;
    // Whether Tab stops on the control. A click may still focus a control without a tab stop,
    // and SetFocus always does.
    bool TabStop() const { return tab_stop_; }
    void SetTabStop(bool value);
    // The widget that takes the keyboard focus for the control: its own, or the toolkit widget
    // inside that stands for it (a push button, an edit field). Only that one takes part in
    // the toolkit's Tab walk; for the platform layer and tests.
    virtual QWidget* FocusWidget() const;
    bool DoubleBuffered() const { return double_buffered_; }
    void SetDoubleBuffered(bool value) { double_buffered_ = value; }

    void SetBounds(int left, int top, int width, int height) override;
    // Places the aligned children inside the client area.
    void Realign();

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    friend class ControlWidget;
    friend class TControl;
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyUp(int& key, TShiftState shift);
    virtual void KeyPress(char& key);
    // The TDialogCode flags of the keys this control wants; none by default.
    virtual unsigned DialogCode() const { return 0; }
    virtual void DoEnter();
    virtual void DoExit();
    // The area Realign places the aligned children in, the client rectangle on entry; a control
    // that keeps part of its client area for itself (a caption bar) narrows it.
    virtual void AlignControls(TRect& rect) { (void)rect; }

private:
    std::vector<TControl*> controls_;  // not owned: children by parent, not by owner
    bool tab_stop_ = false;
    bool double_buffered_ = false;
};

// The canvas a self-painting control's Paint draws on: the running paint's while it runs, an
// idle one for measuring outside a paint.
class TPaintCanvas {
public:
    TCanvas& Current() { return running_ != nullptr ? *running_ : idle_; }
    // Runs `paint` with `canvas` as the current one, also when it throws.
    template <typename Paint>
    void During(TCanvas& canvas, Paint&& paint) {
        struct Restore {
            TCanvas*& slot;
            ~Restore() { slot = nullptr; }
        } restore{running_};
        running_ = &canvas;
        paint();
    }

private:
    TCanvas* running_ = nullptr;
    TCanvas idle_;
};

// A windowed control that paints itself.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner) : TWinControl(owner) {}
    std::string ClassName() const override { return "TCustomControl"; }
    // The canvas of the running paint; valid only inside Paint.
    TCanvas& Canvas();

protected:
    virtual void Paint() {}
    void PaintControl(TCanvas& canvas) override;

private:
    TPaintCanvas canvas_;
};

// A control without focus or keyboard that paints itself on its parent's area.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
    std::string ClassName() const override { return "TGraphicControl"; }
    TCanvas& Canvas();

protected:
    virtual void Paint() {}
    void PaintControl(TCanvas& canvas) override;
    // It draws on its parent's area: what it leaves unpainted is the parent.
    bool Opaque() const override { return false; }

private:
    TPaintCanvas canvas_;
};

// Draws a one-pixel frame just inside `rect` in every other pixel (the focus-rectangle pen),
// starting with the top-left pixel.
void DrawFocusFrame(TCanvas& canvas, const TRect& rect, TColor color);

}  // namespace ui
