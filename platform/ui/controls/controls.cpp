#include "platform/ui/controls/controls.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QToolTip>
#include <QWidget>
#include <algorithm>

#include "platform/ui/controls/control_widget.h"

#include "platform/ui/controls/application.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/controls/services.h"

namespace ui {

namespace control_detail {

TShiftState ShiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
    TShiftState s = 0;
    if (mods & Qt::ShiftModifier) s |= ssShift;
    if (mods & Qt::AltModifier) s |= ssAlt;
    if (mods & Qt::ControlModifier) s |= ssCtrl;
    if (buttons & Qt::LeftButton) s |= ssLeft;
    if (buttons & Qt::RightButton) s |= ssRight;
    if (buttons & Qt::MiddleButton) s |= ssMiddle;
    return s;
}

TMouseButton ButtonOf(Qt::MouseButton b) {
    if (b == Qt::RightButton) return TMouseButton::mbRight;
    if (b == Qt::MiddleButton) return TMouseButton::mbMiddle;
    return TMouseButton::mbLeft;
}

// The virtual-key code of a Qt key: letters and digits keep their upper-case character code.
int VirtualKeyOf(int qt_key) {
    switch (qt_key) {
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Tab:
        return VK_TAB;
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Insert:
        return 0x2D;
    case Qt::Key_Delete:
        return 0x2E;
    default:
        break;
    }
    if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24) return 0x70 + (qt_key - Qt::Key_F1);
    if ((qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) || (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9)) return qt_key;
    return 0;
}

Qt::CursorShape ShapeOf(TCursor cursor) {
    switch (cursor) {
    case crHourGlass:
        return Qt::WaitCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crHSplit:
        return Qt::SplitHCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

}  // namespace control_detail

using namespace control_detail;

// --- TControl --------------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TControl(owner, false) {}

TControl::TControl(TComponent* owner, bool windowed)
    : TComponent(owner), widget_(std::make_unique<ControlWidget>(this)) {
    (void)windowed;
    widget_->setFocusPolicy(Qt::NoFocus);
    widget_->hide();
}

TControl::~TControl() {
    MarkDestroying();
    SetParent(nullptr);
}

QWidget* TControl::Widget() const { return widget_.get(); }

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_ != nullptr) {
        auto& list = parent_->controls_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        parent_->Realign();
    }
    parent_ = parent;
    widget_->setParent(parent != nullptr ? parent->Widget() : nullptr);
    if (parent != nullptr) {
        parent->controls_.push_back(this);
        widget_->setGeometry(bounds_.Left, bounds_.Top, Width(), Height());
        widget_->setVisible(visible_);
        parent->Realign();
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    const TRect next{left, top, left + std::max(width, 0), top + std::max(height, 0)};
    if (next == bounds_) return;
    const bool resized = next.Width() != bounds_.Width() || next.Height() != bounds_.Height();
    bounds_ = next;
    widget_->setGeometry(next.Left, next.Top, next.Width(), next.Height());
    if (resized) {
        // The resize event may free the control: its widget goes with it.
        const QPointer<QWidget> alive(widget_.get());
        Resize();
        if (alive.isNull()) return;
    }
    if (parent_ != nullptr && align_ != TAlign::alNone) parent_->Realign();
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    if (parent_ != nullptr) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (parent_ != nullptr) {
        widget_->setVisible(visible);
        parent_->Realign();
    }
}

void TControl::SetEnabled(bool enabled) {
    enabled_ = enabled;
    widget_->setEnabled(enabled);
}

void TControl::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Invalidate();
}

void TControl::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    widget_->setCursor(ShapeOf(cursor));
}

void TControl::Invalidate() { widget_->update(); }
void TControl::InvalidateRect(const TRect& r) { widget_->update(r.Left, r.Top, r.Width(), r.Height()); }
void TControl::Repaint() {
    Invalidate();
    Update();
}
void TControl::Update() {
    if (widget_->isVisible()) widget_->repaint();
}

TPoint TControl::ClientToScreen(TPoint p) const {
    const QPoint g = widget_->mapToGlobal(QPoint(p.X, p.Y));
    return TPoint{g.x(), g.y()};
}
TPoint TControl::ScreenToClient(TPoint p) const {
    const QPoint c = widget_->mapFromGlobal(QPoint(p.X, p.Y));
    return TPoint{c.x(), c.y()};
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TControl::Click() {
    if (OnClick) OnClick(this);
}
bool TControl::DoMouseWheel(TShiftState shift, int wheel_delta, TPoint mouse_pos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, shift, wheel_delta, mouse_pos, handled);
    if (handled) return true;
    if (wheel_delta < 0) return DoMouseWheelDown(shift, mouse_pos);
    if (wheel_delta > 0) return DoMouseWheelUp(shift, mouse_pos);
    return false;
}
bool TControl::DoMouseWheelDown(TShiftState shift, TPoint mouse_pos) {
    bool handled = false;
    if (OnMouseWheelDown) OnMouseWheelDown(this, shift, mouse_pos, handled);
    return handled;
}
bool TControl::DoMouseWheelUp(TShiftState shift, TPoint mouse_pos) {
    bool handled = false;
    if (OnMouseWheelUp) OnMouseWheelUp(this, shift, mouse_pos, handled);
    return handled;
}
void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}
void TControl::Resize() {
    if (OnResize) OnResize(this);
}
void TControl::CMMouseEnter() {}
void TControl::CMMouseLeave() {}
void TControl::CMHintShow(std::string& hint, int x, int y) {
    (void)hint;
    (void)x;
    (void)y;
}
void TControl::PaintControl(TCanvas& canvas) {
    if (color_ == clNone || !Opaque()) return;
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.Brush().SetColor(ColorToRGB(color_));
    canvas.FillRect(ClientRect());
}

// --- TWinControl -----------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner, true) {}

TWinControl::~TWinControl() {
    MarkDestroying();
    // Children may outlive their parent (their owner frees them): their widgets must not be
    // freed by Qt along with ours.
    const std::vector<TControl*> children = controls_;
    for (TControl* c : children) c->SetParent(nullptr);
}

void TWinControl::SetFocus() {
    // The focus policy stays as TabStop set it: a control focused once by the program or by a
    // click does not become a tab stop.
    FocusWidget()->setFocus(Qt::OtherFocusReason);
    // Without an active window Qt keeps the focus request pending; deliver the enter at once so
    // that headless use behaves like a shown window.
    if (!FocusWidget()->hasFocus()) {
        QFocusEvent e(QEvent::FocusIn, Qt::OtherFocusReason);
        QApplication::sendEvent(widget_.get(), &e);
    }
}

bool TWinControl::Focused() const { return FocusWidget()->hasFocus(); }

QWidget* TWinControl::FocusWidget() const { return widget_.get(); }

void TWinControl::SetTabStop(bool value) {
    tab_stop_ = value;
    FocusWidget()->setFocusPolicy(value ? Qt::StrongFocus : Qt::ClickFocus);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    const bool resized = width != Width() || height != Height();
    const QPointer<QWidget> alive(Widget());  // the resize event may free the control
    TControl::SetBounds(left, top, width, height);
    if (resized && !alive.isNull()) Realign();
}

void TWinControl::Realign() {
    TRect area = ClientRect();
    AlignControls(area);
    for (TAlign pass : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        for (TControl* c : controls_) {
            if (c->Align() != pass || !c->Visible()) continue;
            switch (pass) {
            case TAlign::alTop:
                c->SetBounds(area.Left, area.Top, area.Width(), c->Height());
                area.Top += c->Height();
                break;
            case TAlign::alBottom:
                c->SetBounds(area.Left, area.Bottom - c->Height(), area.Width(), c->Height());
                area.Bottom -= c->Height();
                break;
            case TAlign::alLeft:
                c->SetBounds(area.Left, area.Top, c->Width(), area.Height());
                area.Left += c->Width();
                break;
            case TAlign::alRight:
                c->SetBounds(area.Right - c->Width(), area.Top, c->Width(), area.Height());
                area.Right -= c->Width();
                break;
            case TAlign::alClient:
                c->SetBounds(area.Left, area.Top, area.Width(), area.Height());
                break;
            case TAlign::alNone:
                break;
            }
        }
    }
}

void TWinControl::KeyDown(int& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}
void TWinControl::KeyUp(int& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}
void TWinControl::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}
void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

// --- painting controls -----------------------------------------------------------------------

TCanvas& TCustomControl::Canvas() { return canvas_.Current(); }

void TCustomControl::PaintControl(TCanvas& canvas) {
    canvas.SetFont(Font());
    canvas.Brush().SetColor(ColorToRGB(Color()));
    canvas_.During(canvas, [this] { Paint(); });
}

TCanvas& TGraphicControl::Canvas() { return canvas_.Current(); }

void TGraphicControl::PaintControl(TCanvas& canvas) {
    canvas.SetFont(Font());
    canvas_.During(canvas, [this] { Paint(); });
}

void DrawFocusFrame(TCanvas& canvas, const TRect& r, TColor color) {
    if (r.IsEmpty()) return;
    const TColor c = ColorToRGB(color);
    // One walk around the outline, so that the dots keep their rhythm at the corners.
    int n = 0;
    auto dot = [&](int x, int y) {
        if (n++ % 2 == 0) canvas.SetPixels(x, y, c);
    };
    for (int x = r.Left; x < r.Right; ++x) dot(x, r.Top);
    for (int y = r.Top + 1; y < r.Bottom; ++y) dot(r.Right - 1, y);
    if (r.Bottom - 1 > r.Top) {
        for (int x = r.Right - 2; x >= r.Left; --x) dot(x, r.Bottom - 1);
    }
    if (r.Right - 1 > r.Left) {
        for (int y = r.Bottom - 2; y > r.Top; --y) dot(r.Left, y);
    }
}

// --- Screen and Mouse ------------------------------------------------------------------------

TScreen& Screen() {
    static TScreen screen;
    return screen;
}

TMouse& Mouse() {
    static TMouse mouse;
    return mouse;
}

void TScreen::SetCursor(TCursor cursor) {
    if (cursor == cursor_) return;
    if (cursor_ != crDefault && QApplication::instance() != nullptr) QApplication::restoreOverrideCursor();
    cursor_ = cursor;
    if (cursor != crDefault && QApplication::instance() != nullptr)
        QApplication::setOverrideCursor(QCursor(ShapeOf(cursor)));
}

void TMouse::SetCursorPos(TPoint p) {
    WarpCursor(p);
    pos_ = p;
}

}  // namespace ui
