// Caption shades against pictures worked out here, pixel by pixel, from the shade formulas:
// exact for the fixed shades, by the set of values each pixel may take for the random ones.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "controls/panel/caption_shade.h"
#include "controls/panel/fine_panel.h"
#include "tests/support/render.h"

namespace panel {
namespace {

using ui::TColor;

constexpr TColor kCaption = 0x3080C0;  // red C0, green 80, blue 30
constexpr int kLight = 230;

TColor Shade(int i) {
    auto ch = [i](int c) { return static_cast<TColor>((i * c / 255) & 0xFF); };
    return ch(0xC0) | (ch(0x80) << 8) | (ch(0x30) << 16);
}

int Cube(int t) { return t * t * t / 128 / 128; }
int Bump(int t) { return Cube(t) * 120 / 128 + 128; }

// A picture of w x h as the loops of a shade leave it: loops over 0..w and 0..h, writes
// outside the picture dropped.
struct Expected {
    int w, h;
    std::vector<TColor> px;
    Expected(int width, int height) : w(width), h(height), px(static_cast<std::size_t>(width * height), 0xFFFFFF) {}
    void Put(int x, int y, int intensity) {
        if (x >= 0 && y >= 0 && x < w && y < h) px[static_cast<std::size_t>(y * w + x)] = Shade(intensity);
    }
    TColor At(int x, int y) const { return px[static_cast<std::size_t>(y * w + x)]; }
};

Expected Formula(TShadeType type, int w, int h) {
    Expected e(w, h);
    const int L = kLight;
    for (int x = 0; x <= w; ++x) {
        for (int y = 0; y <= h; ++y) {
            switch (type) {
            case TShadeType::stDiagShade:
                e.Put(x, y, L - (L - 255 + x * 129 / w + y * 129 / h) / 2);
                break;
            case TShadeType::stHShade:
                e.Put(x, y, L - (239 * (w - x) / w + 8) / 2);
                break;
            case TShadeType::stHShadeInv:
                e.Put(w - x, y, L - (239 * (w - x) / w + 8) / 2);
                break;
            case TShadeType::stVShade:
                e.Put(w - x, y, L - (239 * y / h + 8) / 4);
                break;
            case TShadeType::stVShadeInv:
                e.Put(x, h - y, L - (239 * y / h + 8) / 4);
                break;
            case TShadeType::stHBump:
                e.Put(x, y, L - Bump((w - x) * 255 / w - 127) / 2);
                break;
            case TShadeType::stVBump:
                e.Put(x, y, L - Bump(y * 255 / h - 127) / 2);
                break;
            case TShadeType::stSoftBump: {
                int v = (Cube(y * 255 / h - 127) + Cube((w - x) * 255 / w - 127)) * 120 / 128 + 128;
                v = v < 8 ? 8 : (v > 247 ? 247 : v);
                e.Put(x, y, L - v / 2);
                break;
            }
            case TShadeType::stHardBump:
                e.Put(x, y, L - (Cube(y * 255 / h - 127) * 112 / 128 + 128) / 2);
                break;
            default:
                break;
            }
        }
    }
    if (type == TShadeType::stHardBump) {
        const int d = std::min(w / 6, 16);
        const int q = h * h / 4;
        for (int y = 0; y <= h; ++y) {
            for (int x = 0; x <= w; ++x) {
                const int dy = y - h / 2, dx = x - w / 2;
                const int E = dy * dy * d / q + w / 2 - d;
                if (dx > E) e.Put(x, y, L - ((w - x) * 128 / d + 8) / 2);
                if (dx + E < 0) e.Put(x, y, L - (247 - x * 128 / d) / 2);
            }
        }
    }
    if (type == TShadeType::stIRadial || type == TShadeType::stORadial) {
        const int d0 = static_cast<int>(std::nearbyint(std::abs(w - h)));
        for (int x = 0; x <= w / 2; ++x) {
            for (int y = 0; y <= h / 2; ++y) {
                const int dx = x - w / 2, dy = y - h / 2;
                const int d = static_cast<int>(std::nearbyint(std::sqrt(static_cast<double>(dx * dx + dy * dy))));
                const int v = type == TShadeType::stIRadial ? d0 - d : d;
                const int i = static_cast<int>(std::nearbyint(static_cast<double>(v) / d0 * L));
                e.Put(x, y, i);
                e.Put(w - x, h - y, i);
                e.Put(w - x, y, i);
                e.Put(x, h - y, i);
            }
        }
    }
    return e;
}

std::unique_ptr<ui::TBitmap> Render(TShadeType type, int w, int h, bool on_left = false, unsigned seed = 1) {
    CaptionShadeSpec spec;
    spec.type = type;
    spec.color = kCaption;
    spec.light = kLight;
    spec.grain = 32;
    spec.caption_on_left = on_left;
    std::mt19937 random(seed);
    auto bmp = std::make_unique<ui::TBitmap>();
    RenderShade(*bmp, w, h, spec, random);
    return bmp;
}

TEST(CaptionShadeTest, FixedShadesFollowTheirFormulas) {
    const TShadeType types[] = {TShadeType::stDiagShade, TShadeType::stHShade,    TShadeType::stHShadeInv,
                                TShadeType::stVShade,    TShadeType::stVShadeInv, TShadeType::stHBump,
                                TShadeType::stVBump,     TShadeType::stSoftBump,  TShadeType::stHardBump,
                                TShadeType::stIRadial,   TShadeType::stORadial};
    const std::pair<int, int> sizes[] = {{60, 20}, {20, 47}, {7, 3}};
    for (TShadeType type : types) {
        for (auto [w, h] : sizes) {
            SCOPED_TRACE(testing::Message() << "shade " << static_cast<int>(type) << " size " << w << "x" << h);
            auto bmp = Render(type, w, h);
            ASSERT_EQ(bmp->Width(), w);
            ASSERT_EQ(bmp->Height(), h);
            const Expected e = Formula(type, w, h);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    ASSERT_EQ(bmp->Canvas().Pixels(x, y), e.At(x, y)) << x << "," << y;
                }
            }
        }
    }
}

TEST(CaptionShadeTest, PlainKindsFillWithTheCaptionColour) {
    for (TShadeType type : {TShadeType::stNormal, TShadeType::stXPCaption, TShadeType::stBitmap,
                            TShadeType::stBitmapRStretch, TShadeType::stBitmapLStretch}) {
        auto bmp = Render(type, 30, 10);
        EXPECT_EQ(bmp->Canvas().Pixels(0, 0), kCaption);
        EXPECT_EQ(bmp->Canvas().Pixels(29, 9), kCaption);
    }
}

TEST(CaptionShadeTest, BothRadialShadesMirrorExactly) {
    for (TShadeType type : {TShadeType::stIRadial, TShadeType::stORadial}) {
        for (auto [w, h] : {std::pair{60, 20}, {61, 21}, {20, 100}}) {
            auto bmp = Render(type, w, h);
            ui::TCanvas& c = bmp->Canvas();
            // The mirror axes run through w / 2 and h / 2: column x pairs with w - x.
            for (int y = 1; y < h; ++y) {
                for (int x = 1; x < w; ++x) {
                    ASSERT_EQ(c.Pixels(x, y), c.Pixels(w - x, y)) << w << "x" << h << " " << x << "," << y;
                    ASSERT_EQ(c.Pixels(x, y), c.Pixels(x, h - y)) << w << "x" << h << " " << x << "," << y;
                    ASSERT_EQ(c.Pixels(x, y), c.Pixels(w - x, h - y)) << w << "x" << h << " " << x << "," << y;
                }
            }
        }
    }
}

TEST(CaptionShadeTest, SizesTheFormulasCannotTakeFillWithTheCaptionColour) {
    struct Case {
        TShadeType type;
        int w, h;
    };
    // Square captions leave the radial shades no distance to scale by; the hard bump's rim
    // needs a caption 6 pixels wide and 2 high.
    const Case cases[] = {{TShadeType::stIRadial, 20, 20},
                          {TShadeType::stORadial, 1, 1},
                          {TShadeType::stHardBump, 5, 20},
                          {TShadeType::stHardBump, 40, 1},
                          {TShadeType::stHardBump, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.type) << " " << c.w << "x" << c.h);
        auto bmp = Render(c.type, c.w, c.h);
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) ASSERT_EQ(bmp->Canvas().Pixels(x, y), kCaption) << x << "," << y;
        }
    }
    // No picture at all (a panel of no width) renders nothing and does not fail.
    for (TShadeType type : {TShadeType::stIRadial, TShadeType::stHardBump, TShadeType::stLMetal, TShadeType::stNoise}) {
        auto bmp = Render(type, 0, 20);
        EXPECT_EQ(bmp->Width(), 0);
    }
}

TEST(CaptionShadeTest, NoiseTakesOnlyTheValuesOfItsGrain) {
    std::set<TColor> allowed;
    for (int r = 0; r < 32; ++r) allowed.insert(Shade(kLight - (r + 128) / 2));
    auto bmp = Render(TShadeType::stNoise, 50, 20);
    std::set<TColor> seen;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 50; ++x) {
            const TColor c = bmp->Canvas().Pixels(x, y);
            ASSERT_TRUE(allowed.count(c)) << x << "," << y;
            seen.insert(c);
        }
    }
    EXPECT_GT(seen.size(), 8u);
}

TEST(CaptionShadeTest, MetalIsTheDiagonalShadeOverStrokes) {
    const int w = 60, h = 20;
    for (TShadeType type : {TShadeType::stLMetal, TShadeType::stRMetal}) {
        auto bmp = Render(type, w, h);
        // Each pixel is re-shaded over the blue of what was there: white, or a stroke of
        // intensity L - 0 .. L - 39.
        std::vector<int> blues{255};
        for (int k = 0; k < 40; ++k) blues.push_back(static_cast<int>((Shade(kLight - k) >> 16) & 0xFF));
        int stroked = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const TColor c = bmp->Canvas().Pixels(x, y);
                bool found = false;
                for (int b : blues) {
                    if (c == Shade(kLight - (kLight - b + x * 120 / w + y * 120 / h) / 2)) {
                        found = true;
                        if (b != 255) ++stroked;
                        break;
                    }
                }
                ASSERT_TRUE(found) << x << "," << y;
            }
        }
        EXPECT_GT(stroked, 0);
    }
}

TEST(CaptionShadeTest, ThePanelRendersANewNoiseEachTime) {
    test_support::EnsureApplication();
    TFinePanel panel(nullptr);
    panel.SetBounds(0, 0, 80, 60);
    panel.Caption().SetShadeType(TShadeType::stNoise);
    panel.RenderCaptionShade();
    ui::TBitmap first;
    first.Assign(&panel.CaptionShade());
    ASSERT_EQ(first.Width(), 80);
    ASSERT_EQ(first.Height(), 20);
    panel.RenderCaptionShade();
    bool differ = false;
    for (int y = 0; y < 20 && !differ; ++y) {
        for (int x = 0; x < 80 && !differ; ++x) {
            differ =
                first.Canvas().Pixels(x, y) != const_cast<ui::TBitmap&>(panel.CaptionShade()).Canvas().Pixels(x, y);
        }
    }
    EXPECT_TRUE(differ);
    // A caption on the left gets a shade as wide as the caption and as high as the panel.
    panel.Caption().SetPosition(TCaptionPosition::cpLeft);
    EXPECT_EQ(panel.CaptionShade().Width(), 20);
    EXPECT_EQ(panel.CaptionShade().Height(), 60);
}

}  // namespace
}  // namespace panel
