// A markup layout kept between paints and mouse moves. It is laid out again only when what it
// is laid out from differs (text, rectangle, font values, word wrap, line spacing, picture
// sources), when painting finds that a picture source no longer resolves to the picture it
// placed, or after Invalidate.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "controls/markup/markup_layout.h"

namespace panel {

class MarkupLayoutCache {
public:
    // The layout of `inputs` with the canvas's font: the kept one when it was made from the same.
    // For measuring and hit-testing: picture references are not followed.
    const MarkupLayout& Get(ui::TCanvas& canvas, const MarkupLayoutInputs& inputs);
    // As Get, and laid out again when a picture it places has changed or gone, so that
    // painting never draws a picture that is no more.
    const MarkupLayout& ForPainting(ui::TCanvas& canvas, const MarkupLayoutInputs& inputs);
    // The kept layout is dropped: the next Get lays out.
    void Invalidate() { layout_.reset(); }

private:
    // The font values that measuring reads.
    struct FontKey {
        std::string name;
        int height = 0;
        ui::TFontStyles style;
        ui::TColor color = ui::clNone;
        std::uint8_t charset = 0;
        ui::TFontPitch pitch = ui::TFontPitch::fpDefault;
        int pixels_per_inch = 0;
        int orientation = 0;
        friend bool operator==(const FontKey&, const FontKey&) = default;
        static FontKey Of(const ui::TFont& font);
    };
    bool Holds(const FontKey& font, const MarkupLayoutInputs& inputs) const;

    std::optional<MarkupLayout> layout_;
    MarkupLayoutInputs inputs_;
    FontKey font_;
};

}  // namespace panel
