// The markup layout's entry, and the font values a run is drawn with.
#include "controls/markup/markup_layout.h"

#include "controls/markup/markup_layouter.h"

namespace panel {

MarkupFont MarkupFont::Of(const ui::TFont& font) {
    return MarkupFont{font.Name(), font.Height(), font.Style(), font.Color(), font.Orientation()};
}

void MarkupFont::ApplyTo(ui::TFont& font) const {
    font.SetName(name);
    font.SetHeight(height);
    font.SetStyle(style);
    font.SetColor(color);
    font.SetOrientation(orientation);
}

MarkupLayout LayoutMarkup(ui::TCanvas& canvas, const MarkupLayoutInputs& inputs) {
    return markup::Layouter(canvas, inputs).Run(inputs.text);
}

}  // namespace panel
