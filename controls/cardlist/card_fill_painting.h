// The painters of the settings' fills: a TFineGradient over a rectangle, the stepped fill and
// the level-coloured progress bar. The settings objects only hold the values; the card painter
// and the list's background paint through these. Every band is clipped to its rectangle.
#pragma once

#include <vector>

#include "controls/cardlist/card_settings.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace cardlist {

// 256 bands from the gradient's Color towards its ColorTo along its direction; each band is
// Round(span/256)+1 long and overlaps the next, the last is clipped to `rect`. ColorTo clNone
// fills solid; Color clNone draws nothing.
void PaintGradient(ui::TCanvas& canvas, const TFineGradient& gradient, const ui::TRect& rect);

// What the level progress bar draws with; the list fills it from its ProgressAppearance.
struct TLevelProgressRecord {
    TColor Level0Color = 0, Level0ColorTo = 0, Level1Color = 0, Level1ColorTo = 0;
    TColor Level2Color = 0, Level2ColorTo = 0, Level3Color = 0, Level3ColorTo = 0;
    int Level1Perc = 70;
    int Level2Perc = 90;
    TColor BorderColor = 0;
    bool ShowBorder = false;
    bool Stacked = false;
    bool ShowPercentage = true;
    const ui::TFont* Font = nullptr;  // the text font, not owned; nullptr keeps the canvas font
    bool CompletionSmooth = true;
    bool ShowGradient = true;
    int Steps = 11;
    TColor Background = ui::clWhite;
    bool Vertical = false;
    int Min = 0;
    int Max = 100;
};

// Fills the record's colours and flags from `appearance` (font, background and range are the
// caller's).
TLevelProgressRecord LevelProgressRecordFrom(const TProgressAppearance& appearance);

// N bands (0 counts as 1) from colour `a` to `b`, stepping along x or along y.
void DrawSteppedGradient(ui::TCanvas& canvas, TColor a, TColor b, bool alongX, const ui::TRect& rect, int steps);

// The blocks of a bar drawn without smooth completion, for `filled` pixels of the inner length:
// 7-pixel blocks with 2-pixel gaps starting 2 pixels in, then the remainder.
std::vector<ui::TRect> LevelProgressBlocks(const ui::TRect& rect, int filled, bool vertical);

// The level-coloured progress bar of `position` in `rect`. A range (Max - Min) of 0 or less
// draws only the frame and the text.
void DrawLevelProgress(ui::TCanvas& canvas, const ui::TRect& rect, int position, const TLevelProgressRecord& r);

}  // namespace cardlist
