#include "controls/markup/markup_layout_cache.h"

namespace panel {

MarkupLayoutCache::FontKey MarkupLayoutCache::FontKey::Of(const ui::TFont& font) {
    return FontKey{font.Name(),    font.Height(), font.Style(),         font.Color(),
                   font.Charset(), font.Pitch(),  font.PixelsPerInch(), font.Orientation()};
}

bool MarkupLayoutCache::Holds(const FontKey& font, const MarkupLayoutInputs& inputs) const {
    const MarkupLayoutInputs& kept = inputs_;
    return layout_.has_value() && font == font_ && inputs.rect == kept.rect &&
           inputs.line_spacing == kept.line_spacing && inputs.word_wrap == kept.word_wrap &&
           inputs.all_lines == kept.all_lines && inputs.pictures.images == kept.pictures.images &&
           inputs.pictures.container == kept.pictures.container && inputs.pictures.cache == kept.pictures.cache &&
           inputs.text == kept.text;
}

const MarkupLayout& MarkupLayoutCache::Get(ui::TCanvas& canvas, const MarkupLayoutInputs& inputs) {
    const FontKey font = FontKey::Of(canvas.Font());
    if (!Holds(font, inputs)) {
        layout_ = LayoutMarkup(canvas, inputs);
        inputs_ = inputs;
        font_ = font;
    }
    return *layout_;
}

const MarkupLayout& MarkupLayoutCache::ForPainting(ui::TCanvas& canvas, const MarkupLayoutInputs& inputs) {
    if (layout_.has_value() && !layout_->PicturesUnchanged(inputs.pictures)) Invalidate();
    return Get(canvas, inputs);
}

}  // namespace panel
