#include "controls/cardlist/card_bitmaps.h"

#include <vector>

namespace cardlist {

using ui::TColor;

void MakeCheckBoxBitmap(ui::TBitmap& bitmap, bool checked) {
    bitmap.SetSize(kCheckBoxBitmapSize, kCheckBoxBitmapSize);
    ui::TCanvas& c = bitmap.Canvas();
    c.Brush().SetColor(ui::clWhite);
    c.FillRect(ui::TRect{0, 0, kCheckBoxBitmapSize, kCheckBoxBitmapSize});
    c.Brush().SetColor(ui::clGray);
    c.FrameRect(ui::TRect{0, 0, kCheckBoxBitmapSize, kCheckBoxBitmapSize});
    if (!checked) return;
    // A tick three pixels thick: down from (3,6) to (5,8), then up to (9,4).
    for (int t = 0; t < 3; ++t) {
        for (int i = 0; i <= 2; ++i) c.SetPixels(3 + i, 5 + i + t, ui::clBlack);
        for (int i = 0; i <= 4; ++i) c.SetPixels(5 + i, 7 - i + t, ui::clBlack);
    }
}

void MakeRatingBitmap(ui::TBitmap& bitmap, bool active) {
    bitmap.SetSize(kRatingBitmapSize, kRatingBitmapSize);
    ui::TCanvas& c = bitmap.Canvas();
    c.Brush().SetColor(ui::clWhite);
    c.FillRect(ui::TRect{0, 0, kRatingBitmapSize, kRatingBitmapSize});
    const TColor fill = active ? TColor{0x00C0FF} : TColor{0xD0D0D0};
    const TColor edge = active ? TColor{0x0080C0} : TColor{0x909090};
    c.Brush().SetColor(fill);
    c.Pen().SetColor(edge);
    c.Polygon(
        std::vector<ui::TPoint>{{6, 0}, {8, 4}, {12, 5}, {9, 8}, {10, 12}, {6, 10}, {2, 12}, {3, 8}, {0, 5}, {4, 4}});
}

}  // namespace cardlist
