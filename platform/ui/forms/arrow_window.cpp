#include "platform/ui/forms/arrow_window.h"

#include <QPalette>
#include <QPolygon>
#include <QRegion>
#include <QWidget>

namespace ui {

const TArrowPolygon& ArrowPolygon(TArrowDirection direction) {
    static const std::array<TArrowPolygon, 4> polygons = {{
        {{{5, 0}, {10, 5}, {7, 5}, {7, 9}, {3, 9}, {3, 5}, {0, 5}}},  // up
        {{{3, 0}, {7, 0}, {7, 4}, {9, 4}, {5, 8}, {1, 4}, {3, 4}}},   // down
        {{{0, 3}, {0, 7}, {4, 7}, {4, 10}, {8, 5}, {4, 0}, {4, 3}}},  // right
        {{{0, 5}, {4, 10}, {4, 7}, {8, 7}, {8, 3}, {4, 3}, {4, 0}}},  // left
    }};
    return polygons[static_cast<std::size_t>(direction)];
}

TArrowWindow::TArrowWindow(TWinControl* list, TArrowDirection direction) : TPanel(list), direction_(direction) {
    SetBevelOuter(TBevelCut::bvNone);
    SetBevelInner(TBevelCut::bvNone);
    SetColor(0x00FF00);
    QWidget* frame = NativeWidget();
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, QColor(0, 255, 0));
    frame->setPalette(palette);
    frame->setAutoFillBackground(true);
    SetVisible(false);
    SetParent(list);
}

void TArrowWindow::SetParent(TWinControl* parent) {
    TPanel::SetParent(parent);
    MakePopup();
}

void TArrowWindow::MakePopup() {
    QWidget* w = Widget();
    // Reparenting makes the widget a child again; the arrow stays a window of its own.
    w->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPolygon outline;
    for (const TPoint& p : ArrowPolygon(direction_)) outline << QPoint(p.X, p.Y);
    w->setMask(QRegion(outline, Qt::WindingFill));
    w->setGeometry(Left(), Top(), Width(), Height());
    w->setVisible(Visible() && Parent() != nullptr);
}

TArrowPlacement PlaceDropArrow(const TRect& item, int hor_spacing, int vert_spacing, bool scrolls_vertically,
                               TPoint cursor) {
    const TRect r{item.Left - hor_spacing, item.Top - vert_spacing, item.Right + hor_spacing,
                  item.Bottom + vert_spacing};
    TArrowPlacement placement;
    if (scrolls_vertically) {
        const int y = r.Top + r.Height() / 2 - 4;
        if (cursor.X < r.Left + r.Width() / 2) {
            placement = {TArrowDirection::Left, TPoint{r.Left + hor_spacing, y}};
        } else {
            placement = {TArrowDirection::Right, TPoint{r.Right - hor_spacing - 10, y}};
        }
    } else {
        const int x = r.Left + r.Width() / 2 - 4;
        if (cursor.Y < r.Top + r.Height() / 2) {
            placement = {TArrowDirection::Up, TPoint{x, r.Top + vert_spacing}};
        } else {
            placement = {TArrowDirection::Down, TPoint{x, r.Bottom - vert_spacing - 10}};
        }
    }
    return placement;
}

int DragAutoScrollStep(int c, int extent) {
    if (c <= 14) return -1;
    if (c > extent - 15) return 1;
    return 0;
}

}  // namespace ui
