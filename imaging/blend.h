// Row routines under the stretch copy: copying, filling and blending runs of TColor32 pixels.
//
// Every blend computes, for each of the four channels (alpha included),
//     c = (F_c * w + B_c * (256 - w) + 128) >> 8
// with a weight w of 0..256. This is the arithmetic of the packed-integer implementation,
// written in portable code, so every processor produces the same pixels and alpha travels like
// the colour channels. (The old plain implementation rounded its two terms separately and wrote
// alpha 0 from the master-alpha variants; its results depended on the processor.)
//
// All routines run on the caller's thread and touch only the memory they are given. Counts of
// 0 or less do nothing. Source and destination runs must not partly overlap.
#pragma once

#include <cstdint>

#include "imaging/color32.h"

namespace imaging {

// Copies Count pixels in ascending address order; nothing when Source == Dest.
void CopyPixels(const TColor32* Source, TColor32* Dest, int Count);
// Writes Value into Count pixels.
void FillPixels(TColor32* Dest, int Count, TColor32 Value);
// Low when Value < Low, else High when Value > High, else Value.
int ClampInt(int Value, int Low, int High);

// The weight of the master-alpha variants: ((MasterAlpha + 1) * alpha) >> 8, limited to 256 so
// that a MasterAlpha above 255 cannot push the blend outside its range (the stored MasterAlpha
// keeps its value; only the arithmetic is bounded).
std::uint32_t MasterAlphaWeight(std::uint32_t MasterAlpha, TColor32 F);

// F over B with weight w (0..256, larger values are treated as 256).
TColor32 BlendWeighted(TColor32 F, TColor32 B, std::uint32_t w);

// Each source pixel over its destination pixel by its own alpha: alpha 0 leaves the
// destination, alpha 255 replaces it with the source.
void BlendRow(const TColor32* Source, TColor32* Dest, int Count);
// As BlendRow with each weight scaled by MasterAlpha (MasterAlphaWeight); weight 0 leaves the
// destination unchanged.
void BlendRowMasterAlpha(const TColor32* Source, TColor32* Dest, int Count, std::uint32_t MasterAlpha);
// One pixel F over B in place, weighted as BlendRowMasterAlpha.
void BlendPixelMasterAlpha(TColor32 F, TColor32& B, std::uint32_t MasterAlpha);

// Leaves the processor's packed-integer state before floating-point work. The portable blends
// never enter that state, so there is nothing to leave; the samplers still call it at the
// points where the state must be clean, so a vector blend added later has one place to hook in.
void EndPackedMode();

}  // namespace imaging
