// Item texts through the anti-aliasing text layer: one graphics object on the canvas and one
// string format (no wrapping, the mnemonic underlined) for a whole text, a family and font per
// font in use; everything is freed with the writer. The statuses the layer keeps tell whether a
// text was drawn, so that the caller can draw it another way.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "controls/menus/gdip.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace menus {

class GdipTextWriter {
public:
    GdipTextWriter(ui::TCanvas& canvas, TAntiAlias anti_alias);
    TGPStringFormat& Format() { return format_; }
    // Text from here on is in `font`, at its size in points.
    void UseFont(const ui::TFont& font);
    // Whether the graphics, the string format and the current font were all made and set up.
    bool Ready() const;
    // False when the text layer failed to set up or to draw (nothing is drawn then).
    bool Draw(const std::string& text, const RectF& layout, ui::TColor colour);
    // The height of a line in the current font: the box of "gh", rounded; empty on a failure.
    std::optional<int> LineHeight(const RectF& layout);

private:
    TGPGraphics graphics_;
    TGPStringFormat format_;
    std::unique_ptr<TGPFontFamily> family_;
    std::unique_ptr<TGPFont> font_;
};

// A rectangle as the text layer's layout rectangle.
RectF LayoutOf(const ui::TRect& rect);

}  // namespace menus
