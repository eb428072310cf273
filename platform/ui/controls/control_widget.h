// Platform side of a control: the QWidget that stands for it. Forwards Qt's events to the
// control's virtual methods and runs the control's painting on a backing image inside the paint
// event. Only platform/ code includes this header.
#pragma once

#include <QApplication>
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
#include <QWheelEvent>
#include <QWidget>
#include <optional>
#include <utility>

#include "platform/ui/controls/application.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/controls/size_move.h"

namespace ui {

namespace control_detail {
TShiftState ShiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons);
TMouseButton ButtonOf(Qt::MouseButton b);
int VirtualKeyOf(int qt_key);
Qt::CursorShape ShapeOf(TCursor cursor);
}  // namespace control_detail

class ControlWidget : public QWidget {
public:
    explicit ControlWidget(TControl* control) : control_(control) {
        setAttribute(Qt::WA_NoSystemBackground);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QImage image(size(), QImage::Format_ARGB32);
        // A control that is not opaque starts from nothing, so the parent's pixels stay where
        // it draws none.
        image.fill(control_->Opaque() ? Qt::white : Qt::transparent);
        {
            TCanvas canvas(&image);
            const QRect exposed = event->rect();
            control_->paint_rect_ = TRect{exposed.left(), exposed.top(), exposed.right() + 1, exposed.bottom() + 1};
            Guarded([&] { control_->PaintControl(canvas); });
            control_->paint_rect_ = TRect{0, 0, 0, 0};
        }
        QPainter painter(this);
        painter.setClipRegion(event->region());
        if (control_->Opaque()) {
            // An opaque control shows its colour bits as they are, as a device-independent bitmap
            // copied to the screen would: a picture with alpha below 255 must not let what lies
            // under the widget shine through.
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(0, 0, image.convertToFormat(QImage::Format_RGB32));
        } else {
            // A transparent one is drawn over its parent, which shows where it drew nothing.
            painter.drawImage(0, 0, image);
        }
    }
    void mousePressEvent(QMouseEvent* e) override {
        Track(e);
        if (NonClientPress(e)) return;
        const QPoint p = e->position().toPoint();
        Guarded([&] {
            control_->MouseDown(control_detail::ButtonOf(e->button()),
                                control_detail::ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
        });
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        Track(e);
        if (NonClientPress(e)) return;
        const QPoint p = e->position().toPoint();
        Guarded([&] {
            const QPointer<QWidget> alive(this);  // the double click's handlers may free the control
            control_->DblClick();
            if (alive.isNull()) return;
            control_->MouseDown(control_detail::ButtonOf(e->button()),
                                control_detail::ShiftOf(e->modifiers(), e->buttons()) | ssDouble, p.x(), p.y());
        });
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        Track(e);
        if (size_move_) {
            Guarded([&] { size_move_->Track(GlobalOf(e)); });
            return;
        }
        int hit = HTCLIENT;
        const QPointer<QWidget> alive(this);  // the hit test may run the control's mouse handlers
        Guarded([&] {
            hit = SizeMoveLoop::HitTest(*control_, GlobalOf(e));
            if (!alive.isNull()) SizeMoveLoop::SetCursor(*control_, hit);
        });
        if (alive.isNull() || hit != HTCLIENT) return;
        const QPoint p = e->position().toPoint();
        Guarded([&] { control_->MouseMove(control_detail::ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        Track(e);
        if (size_move_) {
            if (e->button() != Qt::LeftButton) return;
            std::optional<SizeMoveLoop> ending(std::move(size_move_));
            size_move_.reset();
            Guarded([&] { ending->Finish(); });
            return;
        }
        if (nc_pressed_) {
            // The release of a press outside the client area is not the client's either.
            nc_pressed_ = false;
            return;
        }
        const QPoint p = e->position().toPoint();
        const bool inside = rect().contains(p);
        Guarded([&] {
            const QPointer<QWidget> alive(this);  // the click's handlers may free the control
            if (inside && e->button() == Qt::LeftButton) control_->Click();
            if (alive.isNull()) return;
            control_->MouseUp(control_detail::ButtonOf(e->button()),
                              control_detail::ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
        });
    }
    void keyPressEvent(QKeyEvent* e) override {
        auto* win = dynamic_cast<TWinControl*>(control_);
        if (win == nullptr) return;
        Guarded([&] {
            const QPointer<QWidget> alive(this);  // the key's handlers may free the control
            int key = control_detail::VirtualKeyOf(e->key());
            if (key != 0) win->KeyDown(key, control_detail::ShiftOf(e->modifiers(), Qt::NoButton));
            if (alive.isNull()) return;
            const QByteArray text = e->text().toLatin1();
            if (text.size() == 1 && static_cast<unsigned char>(text[0]) >= 0x20) {
                char ch = text[0];
                win->KeyPress(ch);
            } else if (key == VK_RETURN || key == VK_ESCAPE) {
                char ch = static_cast<char>(key);
                win->KeyPress(ch);
            }
        });
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        auto* win = dynamic_cast<TWinControl*>(control_);
        if (win == nullptr) return;
        Guarded([&] {
            int key = control_detail::VirtualKeyOf(e->key());
            if (key != 0) win->KeyUp(key, control_detail::ShiftOf(e->modifiers(), Qt::NoButton));
        });
    }
    void wheelEvent(QWheelEvent* e) override {
        const int delta = e->angleDelta().y();
        const QPoint g = e->globalPosition().toPoint();
        bool handled = false;
        if (delta != 0) {
            Guarded([&] {
                handled = control_->DoMouseWheel(control_detail::ShiftOf(e->modifiers(), e->buttons()), delta,
                                                 TPoint{g.x(), g.y()});
            });
        }
        // Qt hands an ignored wheel to the parent widget, as the class library does.
        if (handled) {
            e->accept();
        } else {
            e->ignore();
        }
    }
    void focusInEvent(QFocusEvent*) override {
        if (auto* win = dynamic_cast<TWinControl*>(control_)) Guarded([&] { win->DoEnter(); });
    }
    void focusOutEvent(QFocusEvent*) override {
        if (auto* win = dynamic_cast<TWinControl*>(control_)) Guarded([&] { win->DoExit(); });
    }
    void enterEvent(QEnterEvent*) override {
        Guarded([&] { control_->CMMouseEnter(); });
    }
    void leaveEvent(QEvent*) override {
        Guarded([&] { control_->CMMouseLeave(); });
    }
    void resizeEvent(QResizeEvent*) override {}
    bool event(QEvent* e) override {
        if (e->type() == QEvent::ShortcutOverride && WantsKey(*static_cast<QKeyEvent*>(e))) {
            // The key reaches keyPressEvent instead of a shortcut of the window.
            e->accept();
            return true;
        }
        if (e->type() == QEvent::ToolTip) {
            auto* help = static_cast<QHelpEvent*>(e);
            std::string hint = control_->Hint();
            TPoint at{help->globalPos().x(), help->globalPos().y()};
            if (!Survives([&] { control_->CMHintShowAt(hint, help->pos().x(), help->pos().y(), at); })) return true;
            if (control_->ShowHint() && !hint.empty()) {
                QToolTip::showText(QPoint(at.X, at.Y), QString::fromStdString(hint), this);
            } else {
                QToolTip::hideText();
            }
            return true;
        }
        return QWidget::event(e);
    }

private:
    // Runs `action` through the guard; false when it freed the control, and this widget with it,
    // so that nothing of either is touched again.
    template <typename F>
    bool Survives(F&& action) {
        const QPointer<QWidget> alive(this);
        Guarded(std::forward<F>(action));
        return !alive.isNull();
    }
    static TPoint GlobalOf(QMouseEvent* e) {
        const QPoint g = e->globalPosition().toPoint();
        return TPoint{g.x(), g.y()};
    }
    // A press outside the client area: the caption or a sizing edge starts the move/size loop,
    // and the control sees no mouse-down. True when the press was taken here.
    bool NonClientPress(QMouseEvent* e) {
        if (size_move_) return true;
        int hit = HTCLIENT;
        // Gone with the hit test's handlers: the press is nobody's.
        if (!Survives([&] { hit = SizeMoveLoop::HitTest(*control_, GlobalOf(e)); })) return true;
        if (hit == HTCLIENT) return false;
        if (e->button() == Qt::LeftButton && e->type() == QEvent::MouseButtonPress && SizeMoveLoop::Starts(hit)) {
            Guarded([&] { size_move_.emplace(*control_, hit, GlobalOf(e)); });
        } else {
            nc_pressed_ = true;
        }
        return true;
    }
    bool WantsKey(const QKeyEvent& e) const {
        auto* win = dynamic_cast<TWinControl*>(control_);
        if (win == nullptr) return false;
        const unsigned codes = win->DialogCode();
        switch (e.key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            return (codes & dlgcWantArrows) != 0;
        default:
            break;
        }
        const bool plain = (e.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
        const QString text = e.text();
        return (codes & dlgcWantChars) != 0 && plain && text.size() == 1 && text.at(0).isPrint();
    }
    static void Track(QMouseEvent* e) {
        const QPoint g = e->globalPosition().toPoint();
        Mouse().Track(TPoint{g.x(), g.y()});
    }
    TControl* control_;
    std::optional<SizeMoveLoop> size_move_;  // from the press on a caption or edge to its release
    bool nc_pressed_ = false;                // a press outside the client area waits for its release
};

}  // namespace ui
