#include "platform/ui/controls/drag_image.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace ui {

TDragImageWindow::TDragImageWindow(TComponent* owner) : TCustomControl(owner), picture_(std::make_unique<TBitmap>()) {
    QWidget* w = Widget();
    w->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    w->hide();
}

TDragImageWindow::~TDragImageWindow() { Widget()->hide(); }

void TDragImageWindow::SetPicture(const TBitmap& picture) {
    picture_->Assign(&picture);
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
    Invalidate();
}

void TDragImageWindow::SetAlphaBlendValue(int value) {
    alpha_ = std::clamp(value, 0, 255);
    Widget()->setWindowOpacity(alpha_ / 255.0);
}

void TDragImageWindow::ShowAt(TPoint screen) {
    MoveTo(screen);
    Widget()->show();
}

void TDragImageWindow::MoveTo(TPoint screen) { SetBounds(screen.X, screen.Y, Width(), Height()); }

void TDragImageWindow::BringToFront() { Widget()->raise(); }

bool TDragImageWindow::Showing() const { return Widget()->isVisible(); }

void TDragImageWindow::Paint() { picture_->Draw(Canvas(), ClientRect()); }

void PaintControlTo(TControl& control, TBitmap& bitmap) {
    QImage image(std::max(control.Width(), 1), std::max(control.Height(), 1), QImage::Format_ARGB32);
    image.fill(Qt::white);
    control.Widget()->render(&image);
    bitmap.SetImage(image.convertToFormat(QImage::Format_ARGB32), TPixelFormat::pf32bit);
}

}  // namespace ui
