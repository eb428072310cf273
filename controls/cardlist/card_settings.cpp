#include "controls/cardlist/card_settings.h"

namespace cardlist {

namespace {

using ui::Store;

}  // namespace

// --- TFineGradient ---------------------------------------------------------------------------

void TFineGradient::Assign(const ui::TPersistent* source) {
    if (const auto* other = dynamic_cast<const TFineGradient*>(source)) {
        color_ = other->color_;
        color_to_ = other->color_to_;
        direction_ = other->direction_;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TFineGradient::SetColor(TColor value) {
    if (Store(color_, value)) Changed();
}
void TFineGradient::SetColorTo(TColor value) {
    if (Store(color_to_, value)) Changed();
}
void TFineGradient::SetDirection(TFineGradientDirection value) {
    if (Store(direction_, value)) Changed();
}

void TFineGradient::Changed() {
    if (OnChange) OnChange(this);
}
// --- TFineCardAppearance ---------------------------------------------------------------------

TFineCardAppearance::TFineCardAppearance()
    : caption_color_(std::make_unique<TFineGradient>()),
      caption_font_(std::make_unique<ui::TFont>()),
      color_(std::make_unique<TFineGradient>()),
      item_label_font_(std::make_unique<ui::TFont>()),
      item_edit_font_(std::make_unique<ui::TFont>()) {
    // The painting offsets a card's items by this width, so it must match the bevels and the
    // border from the start, not only after a setter ran.
    UpdateFrameWidth();
    auto gradient_changed = [this](ui::TPersistent*) { Changed(false); };
    caption_color_->OnChange = gradient_changed;
    color_->OnChange = gradient_changed;
    caption_font_->OnChange = gradient_changed;
    item_label_font_->OnChange = gradient_changed;
    item_edit_font_->OnChange = gradient_changed;
}

TFineCardAppearance::~TFineCardAppearance() = default;

void TFineCardAppearance::Assign(const ui::TPersistent* source) {
    const auto* other = dynamic_cast<const TFineCardAppearance*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this) return;
    notify_ = false;
    try {
        bevel_inner_ = other->bevel_inner_;
        bevel_outer_ = other->bevel_outer_;
        bevel_width_ = other->bevel_width_;
        border_color_ = other->border_color_;
        border_width_ = other->border_width_;
        caption_border_color_ = other->caption_border_color_;
        caption_border_width_ = other->caption_border_width_;
        caption_color_->Assign(other->caption_color_.get());
        caption_font_->Assign(other->caption_font_.get());
        color_->Assign(other->color_.get());
        enabled_ = other->enabled_;
        item_label_font_->Assign(other->item_label_font_.get());
        item_edit_font_->Assign(other->item_edit_font_.get());
        replace_label_font_ = other->replace_label_font_;
        replace_edit_font_ = other->replace_edit_font_;
        UpdateFrameWidth();
    } catch (...) {
        notify_ = true;
        Changed(true);
        throw;
    }
    notify_ = true;
    Changed(true);
}

void TFineCardAppearance::SetBevelInner(TBevelCut value) {
    if (!Store(bevel_inner_, value)) return;
    UpdateFrameWidth();
    Changed(false);
}
void TFineCardAppearance::SetBevelOuter(TBevelCut value) {
    if (!Store(bevel_outer_, value)) return;
    UpdateFrameWidth();
    Changed(false);
}
void TFineCardAppearance::SetBevelWidth(int value) {
    if (!Store(bevel_width_, value)) return;
    UpdateFrameWidth();
    Changed(false);
}
void TFineCardAppearance::SetBorderColor(TColor value) {
    if (Store(border_color_, value)) Changed(false);
}
void TFineCardAppearance::SetBorderWidth(int value) {
    if (!Store(border_width_, value)) return;
    UpdateFrameWidth();
    Changed(false);
}
void TFineCardAppearance::SetCaptionColor(const TFineGradient& value) { caption_color_->Assign(&value); }
void TFineCardAppearance::SetCaptionBorderColor(TColor value) {
    if (Store(caption_border_color_, value)) Changed(false);
}
void TFineCardAppearance::SetCaptionBorderWidth(int value) {
    if (Store(caption_border_width_, value)) Changed(false);
}
void TFineCardAppearance::SetCaptionFont(const ui::TFont& value) {
    caption_font_->Assign(&value);
    Changed(false);
}
void TFineCardAppearance::SetColor(const TFineGradient& value) { color_->Assign(&value); }
void TFineCardAppearance::SetEnabled(bool value) {
    if (Store(enabled_, value)) Changed(true);
}
void TFineCardAppearance::SetItemLabelFont(const ui::TFont& value) {
    item_label_font_->Assign(&value);
    Changed(false);
}
void TFineCardAppearance::SetItemEditFont(const ui::TFont& value) {
    item_edit_font_->Assign(&value);
    Changed(false);
}
void TFineCardAppearance::SetReplaceLabelFont(bool value) {
    if (Store(replace_label_font_, value)) Changed(false);
}
void TFineCardAppearance::SetReplaceEditFont(bool value) {
    if (Store(replace_edit_font_, value)) Changed(false);
}

void TFineCardAppearance::Changed(bool stateChanged) {
    if (notify_ && OnChange) OnChange(this, stateChanged);
}

void TFineCardAppearance::UpdateFrameWidth() {
    total_frame_width_ = (bevel_inner_ != TBevelCut::bvNone ? bevel_width_ : 0) +
                         (bevel_outer_ != TBevelCut::bvNone ? bevel_width_ : 0) + border_width_;
}

// --- sort and filter settings ----------------------------------------------------------------

void TFineCardSortSettings::Assign(const ui::TPersistent* source) {
    if (const auto* other = dynamic_cast<const TFineCardSortSettings*>(source)) {
        sort_direction_ = other->sort_direction_;
        sort_index_ = other->sort_index_;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}
void TFineCardSortSettings::SetSortDirection(TSortDirection value) {
    if (Store(sort_direction_, value)) Changed();
}
void TFineCardSortSettings::SetSortIndex(int value) {
    if (Store(sort_index_, value)) Changed();
}
void TFineCardSortSettings::SetSortType(TSortType value) {
    if (Store(sort_type_, value)) Changed();
}
void TFineCardSortSettings::SetCaseSensitive(bool value) {
    if (Store(case_sensitive_, value)) Changed();
}
void TFineCardSortSettings::Changed() {
    if (OnChange) OnChange(this);
}

void TFineCardFilterSettings::Assign(const ui::TPersistent* source) {
    if (const auto* other = dynamic_cast<const TFineCardFilterSettings*>(source)) {
        filter_index_ = other->filter_index_;
        filter_condition_ = other->filter_condition_;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}
void TFineCardFilterSettings::SetFilterCondition(const std::string& value) {
    if (Store(filter_condition_, value)) Changed();
}
void TFineCardFilterSettings::SetFilterIndex(int value) {
    if (Store(filter_index_, value)) Changed();
}
void TFineCardFilterSettings::Changed() {
    if (OnChange) OnChange(this);
}

// --- progress --------------------------------------------------------------------------------

void TProgressAppearance::Assign(const ui::TPersistent* source) {
    const auto* o = dynamic_cast<const TProgressAppearance*>(source);
    if (o == nullptr || o == this) return;
    uncomplete_font_color_ = o->uncomplete_font_color_;
    complete_color_ = o->complete_color_;
    uncomplete_color_ = o->uncomplete_color_;
    complete_font_color_ = o->complete_font_color_;
    stacked_ = o->stacked_;
    show_percentage_ = o->show_percentage_;
    show_border_ = o->show_border_;
    completion_smooth_ = o->completion_smooth_;
    show_gradient_ = o->show_gradient_;
    level2_perc_ = o->level2_perc_;
    level1_perc_ = o->level1_perc_;
    steps_ = o->steps_;
    level3_color_ = o->level3_color_;
    level1_color_ = o->level1_color_;
    level0_color_ = o->level0_color_;
    level3_color_to_ = o->level3_color_to_;
    level2_color_to_ = o->level2_color_to_;
    level0_color_to_ = o->level0_color_to_;
    level1_color_to_ = o->level1_color_to_;
    border_color_ = o->border_color_;
    level2_color_ = o->level2_color_;
    style_ = o->style_;
    Changed();
}

}  // namespace cardlist
