// Backgrounds with an optional picture, composed in their off-screen buffer.
#include "controls/menus/menu_background.h"

#include <algorithm>

#include "controls/menus/menu_gradients.h"
#include "controls/menus/menu_util.h"

namespace menus {

ui::TPoint ImagePosition(const TBackground& background, const ui::TRect& rect) {
    ui::TPoint p{rect.Left, rect.Top};
    const ui::TPicture* picture = background.ImageOrNull();
    if (picture == nullptr || picture->Graphic() == nullptr || picture->Graphic()->Empty()) return p;
    const int w = picture->Width(), h = picture->Height();
    const int W = RectWidth(rect), H = RectHeight(rect);
    using P = TBackgroundPosition;
    switch (background.Position()) {
    case P::bpTopLeft:
    case P::bpBottomLeft:
        p.X += background.OffsetX();
        break;
    case P::bpTopRight:
    case P::bpBottomRight:
        p.X += W + background.OffsetX() - w;
        break;
    case P::bpTopCenter:
    case P::bpBottomCenter:
    case P::bpCenter:
        p.X += (W - w) / 2 + background.OffsetX();
        break;
    default:
        break;
    }
    switch (background.Position()) {
    case P::bpTopLeft:
    case P::bpTopRight:
    case P::bpTopCenter:
        p.Y += background.OffsetY();
        break;
    case P::bpBottomLeft:
    case P::bpBottomRight:
    case P::bpBottomCenter:
        p.Y += H + background.OffsetY() - h;
        break;
    case P::bpCenter:
        p.Y += (H - h) / 2 + background.OffsetY();
        break;
    default:
        break;
    }
    return p;
}

void DrawBackground(ui::TCanvas& canvas, ui::TRect rect, TBackground& background, bool paint_colour) {
    rect = ui::TRect{rect.Left + background.MarginX(), rect.Top + background.MarginY(),
                     rect.Right - background.MarginX(), rect.Bottom - background.MarginY()};
    ui::TBitmap& buffer = background.Buffer();
    buffer.SetSize(std::max(0, RectWidth(rect)), std::max(0, RectHeight(rect)));
    const ui::TPicture* picture = background.ImageOrNull();
    const bool has_picture = background.HasImage();
    const TBackgroundPosition pos = background.Position();
    if (paint_colour &&
        (!has_picture || (pos != TBackgroundPosition::bpTiled && pos != TBackgroundPosition::bpStretched) ||
         picture->Graphic()->Transparent())) {
        GradientFill(&buffer, buffer.Canvas(), ui::TRect{0, 0, buffer.Width(), buffer.Height()},
                     background.GradientDirection(), background.ColorTo(), background.Color());
    }
    if (has_picture) {
        const ui::TGraphic& graphic = *picture->Graphic();
        const ui::TRect all{0, 0, buffer.Width(), buffer.Height()};
        if (pos == TBackgroundPosition::bpTiled) {
            if (graphic.Width() >= 1 && graphic.Height() >= 1) {
                for (int y = 0; y < buffer.Height(); y += graphic.Height()) {
                    for (int x = 0; x < buffer.Width(); x += graphic.Width()) buffer.Canvas().Draw(x, y, graphic);
                }
            }
        } else if (pos == TBackgroundPosition::bpStretched) {
            buffer.Canvas().StretchDraw(all, graphic);
        } else if (pos == TBackgroundPosition::bpXY) {
            buffer.Canvas().Draw(background.OffsetX(), background.OffsetY(), graphic);
        } else {
            const ui::TPoint p = ImagePosition(background, all);
            buffer.Canvas().Draw(p.X, p.Y, graphic);
        }
    }
    canvas.Draw(rect.Left, rect.Top, buffer);
}

ui::TBitmap& TBackgroundCache::Picture(TBackground& background, const ui::TRect& area) {
    const Key key{&background,           RectWidth(area),      RectHeight(area),     background.ImageRevision(),
                  background.Position(), background.OffsetX(), background.OffsetY(), background.MarginX(),
                  background.MarginY()};
    if (key_ != key) {
        bitmap_.SetSize(key.width, key.height);
        DrawBackground(bitmap_.Canvas(), area, background, false);
        key_ = key;
    }
    return bitmap_;
}

}  // namespace menus
