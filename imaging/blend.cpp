#include "imaging/blend.h"

#include <algorithm>

namespace imaging {

void CopyPixels(const TColor32* Source, TColor32* Dest, int Count) {
    if (Count <= 0 || Source == Dest) return;
    std::copy_n(Source, Count, Dest);
}

void FillPixels(TColor32* Dest, int Count, TColor32 Value) {
    if (Count <= 0) return;
    std::fill_n(Dest, Count, Value);
}

int ClampInt(int Value, int Low, int High) {
    if (Value < Low) return Low;
    if (Value > High) return High;
    return Value;
}

std::uint32_t MasterAlphaWeight(std::uint32_t MasterAlpha, TColor32 F) {
    // 64-bit so that MasterAlpha + 1 cannot wrap for 0xFFFFFFFF.
    const std::uint64_t w = ((std::uint64_t{MasterAlpha} + 1) * AlphaOf(F)) >> 8;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(w, 256));
}

TColor32 BlendWeighted(TColor32 F, TColor32 B, std::uint32_t w) {
    if (w > 256) w = 256;
    const std::uint32_t iw = 256 - w;
    // Two channels per 32-bit word, 16 bits each: F_c*w + B_c*(256-w) + 128 <= 65408, so no lane
    // carries into its neighbour; the same sums the packed form keeps in 16-bit lanes.
    const std::uint32_t br = (((F & 0x00FF00FFu) * w + (B & 0x00FF00FFu) * iw + 0x00800080u) >> 8) & 0x00FF00FFu;
    const std::uint32_t ga =
        ((((F >> 8) & 0x00FF00FFu) * w + ((B >> 8) & 0x00FF00FFu) * iw + 0x00800080u)) & 0xFF00FF00u;
    return br | ga;
}

void BlendRow(const TColor32* Source, TColor32* Dest, int Count) {
    for (int i = 0; i < Count; ++i) {
        const TColor32 f = Source[i];
        const std::uint32_t a = AlphaOf(f);
        if (a == 0) continue;
        Dest[i] = (a == 255) ? f : BlendWeighted(f, Dest[i], a);
    }
}

void BlendRowMasterAlpha(const TColor32* Source, TColor32* Dest, int Count, std::uint32_t MasterAlpha) {
    for (int i = 0; i < Count; ++i) BlendPixelMasterAlpha(Source[i], Dest[i], MasterAlpha);
}

void BlendPixelMasterAlpha(TColor32 F, TColor32& B, std::uint32_t MasterAlpha) {
    const std::uint32_t w = MasterAlphaWeight(MasterAlpha, F);
    if (w == 0) return;
    B = BlendWeighted(F, B, w);
}

void EndPackedMode() {}

}  // namespace imaging
