#include "controls/cardlist/card_settings.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ui/core/sysutils.h"

namespace cardlist {

namespace {

using ui::Store;

// Keeps a band inside the rectangle it belongs to: the last bands of a fill are longer than the
// space left, and pixels outside the rectangle belong to someone else.
ui::TRect Clip(const ui::TRect& r, const ui::TRect& bounds) {
    return ui::TRect{std::max(r.Left, bounds.Left), std::max(r.Top, bounds.Top), std::min(r.Right, bounds.Right),
                     std::min(r.Bottom, bounds.Bottom)};
}

void FillSolid(ui::TCanvas& canvas, const ui::TRect& r, TColor color) {
    if (r.IsEmpty()) return;
    canvas.Brush().SetStyle(ui::TBrushStyle::bsSolid);
    canvas.Brush().SetColor(color);
    canvas.FillRect(r);
}

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

void TFineGradient::PaintGradient(ui::TCanvas& canvas, const ui::TRect& rect) const {
    if (color_ == ui::clNone) return;
    const TColor from = ui::ColorToRGB(color_);
    if (color_to_ == ui::clNone) {
        FillSolid(canvas, rect, from);
        return;
    }
    const TColor to = ui::ColorToRGB(color_to_);
    const bool horizontal = direction_ == TFineGradientDirection::gdHorizontal;
    const int span = horizontal ? rect.Width() : rect.Height();
    if (span <= 0 || rect.IsEmpty()) return;
    const double step = span / 256.0;
    const int band = static_cast<int>(ui::Round(step)) + 1;
    auto channel = [](int a, int b, int i) { return a + ((b - a) * i) / 256; };  // C++ '/' truncates toward zero
    for (int i = 0; i < 256; ++i) {
        const TColor c = ui::MakeColor(static_cast<std::uint8_t>(channel(ui::RedOf(from), ui::RedOf(to), i)),
                                       static_cast<std::uint8_t>(channel(ui::GreenOf(from), ui::GreenOf(to), i)),
                                       static_cast<std::uint8_t>(channel(ui::BlueOf(from), ui::BlueOf(to), i)));
        const int start = static_cast<int>(ui::Trunc(i * step));
        ui::TRect r = horizontal ? ui::TRect{rect.Left + start, rect.Top, rect.Left + start + band, rect.Bottom}
                                 : ui::TRect{rect.Left, rect.Top + start, rect.Right, rect.Top + start + band};
        FillSolid(canvas, Clip(r, rect), c);
    }
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

TLevelProgressRecord LevelProgressRecordFrom(const TProgressAppearance& a) {
    TLevelProgressRecord r;
    r.Level0Color = a.Level0Color();
    r.Level0ColorTo = a.Level0ColorTo();
    r.Level1Color = a.Level1Color();
    r.Level1ColorTo = a.Level1ColorTo();
    r.Level2Color = a.Level2Color();
    r.Level2ColorTo = a.Level2ColorTo();
    r.Level3Color = a.Level3Color();
    r.Level3ColorTo = a.Level3ColorTo();
    r.Level1Perc = a.Level1Perc();
    r.Level2Perc = a.Level2Perc();
    r.BorderColor = a.BorderColor();
    r.ShowBorder = a.ShowBorder();
    r.Stacked = a.Stacked();
    r.ShowPercentage = a.ShowPercentage();
    r.CompletionSmooth = a.CompletionSmooth();
    r.ShowGradient = a.ShowGradient();
    r.Steps = a.Steps();
    return r;
}

void DrawSteppedGradient(ui::TCanvas& canvas, TColor a, TColor b, bool alongX, const ui::TRect& rect, int steps) {
    if (rect.IsEmpty()) return;
    const int n_steps = steps <= 0 ? 1 : steps;
    const TColor ca = ui::ColorToRGB(a);
    const TColor cb = ui::ColorToRGB(b);
    const double t = ((alongX ? rect.Width() : rect.Height()) - 1) / static_cast<double>(n_steps);
    const int thickness = static_cast<int>(ui::Round(t)) + 1;
    auto channel = [n_steps](int from, int to, int n) {
        return static_cast<std::uint8_t>(from + ui::Round(static_cast<double>(n) * (to - from) / n_steps));
    };
    for (int n = 0; n < n_steps; ++n) {
        const TColor c =
            ui::MakeColor(channel(ui::RedOf(ca), ui::RedOf(cb), n), channel(ui::GreenOf(ca), ui::GreenOf(cb), n),
                          channel(ui::BlueOf(ca), ui::BlueOf(cb), n));
        const int start = static_cast<int>(ui::Round(n * t));
        const ui::TRect band = alongX
                                   ? ui::TRect{rect.Left + start, rect.Top, rect.Left + start + thickness, rect.Bottom}
                                   : ui::TRect{rect.Left, rect.Top + start, rect.Right, rect.Top + start + thickness};
        FillSolid(canvas, Clip(band, rect), c);
    }
}

namespace {

struct LevelColors {
    TColor color;
    TColor color_to;
};

LevelColors Level(const TLevelProgressRecord& r, int level) {
    switch (level) {
    case 0:
        return {r.Level0Color, r.Level0ColorTo};
    case 1:
        return {r.Level1Color, r.Level1ColorTo};
    case 2:
        return {r.Level2Color, r.Level2ColorTo};
    default:
        return {r.Level3Color, r.Level3ColorTo};
    }
}

// One filled run of the bar: solid, or two halves across the run, each stepped across it.
void FillSegment(ui::TCanvas& canvas, const ui::TRect& seg, const LevelColors& c, const TLevelProgressRecord& r) {
    if (seg.IsEmpty()) return;
    if (!r.ShowGradient) {
        FillSolid(canvas, seg, ui::ColorToRGB(c.color));
        return;
    }
    if (r.Vertical) {
        const int mid = seg.Left + seg.Width() / 2;
        DrawSteppedGradient(canvas, c.color_to, c.color, true, ui::TRect{seg.Left, seg.Top, mid, seg.Bottom}, r.Steps);
        DrawSteppedGradient(canvas, c.color, c.color_to, true, ui::TRect{mid, seg.Top, seg.Right, seg.Bottom}, r.Steps);
    } else {
        const int mid = seg.Top + seg.Height() / 2;
        DrawSteppedGradient(canvas, c.color_to, c.color, false, ui::TRect{seg.Left, seg.Top, seg.Right, mid}, r.Steps);
        DrawSteppedGradient(canvas, c.color, c.color_to, false, ui::TRect{seg.Left, mid, seg.Right, seg.Bottom},
                            r.Steps);
    }
}

}  // namespace

std::vector<ui::TRect> LevelProgressBlocks(const ui::TRect& rect, int filled, bool vertical) {
    std::vector<ui::TRect> blocks;
    auto block = [&](int from, int length) {
        if (vertical) {
            // A vertical bar grows from the bottom edge upwards.
            blocks.push_back(ui::TRect{rect.Left + 2, rect.Bottom - from - length, rect.Right - 2, rect.Bottom - from});
        } else {
            blocks.push_back(ui::TRect{rect.Left + from, rect.Top + 2, rect.Left + from + length, rect.Bottom - 2});
        }
    };
    if (filled < 10) {
        if (filled > 1) block(2, filled - 1);
        return blocks;
    }
    int pos = 2;
    block(pos, 7);
    for (int k = 1; k < filled / 9; ++k) {
        pos += 9;
        block(pos, 7);
    }
    if (filled % 9 > 2) block(pos + 9, filled % 9 - 1);
    return blocks;
}

void DrawLevelProgress(ui::TCanvas& canvas, const ui::TRect& rect, int position, const TLevelProgressRecord& r) {
    const int along = r.Vertical ? rect.Height() : rect.Width();
    const int inner = along - 2;
    // 64-bit so that extreme Min/Max values cannot overflow.
    const long long range = static_cast<long long>(r.Max) - r.Min;
    const TColor background = ui::ColorToRGB(r.Background);
    const TColor pen = r.ShowBorder ? ui::ColorToRGB(r.BorderColor) : background;

    canvas.Pen().SetStyle(ui::TPenStyle::psSolid);
    canvas.Pen().SetColor(pen);
    canvas.Brush().SetStyle(ui::TBrushStyle::bsSolid);
    canvas.Brush().SetColor(background);
    canvas.Rectangle(rect);

    // A range of zero or less has no filled part: nothing to divide by.
    if (range > 0 && r.Min < position && inner > 0) {
        const long long clamped = std::clamp<long long>(position, r.Min, r.Max);
        const long long e = std::llabs(clamped - r.Min);
        auto part = [&](double value) {
            return static_cast<int>(ui::Round(value / static_cast<double>(range) * inner));
        };
        // A run of `length` pixels starting `from` pixels after the start edge, inset by `inset`.
        auto run = [&](int from, int length, int inset) {
            if (r.Vertical)
                return ui::TRect{rect.Left + inset, rect.Bottom - from - length, rect.Right - inset,
                                 rect.Bottom - from};
            return ui::TRect{rect.Left + from, rect.Top + inset, rect.Left + from + length, rect.Bottom - inset};
        };
        const ui::TRect inside{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
        if (r.Stacked) {
            int done = 0;
            const int first = position < r.Level1Perc ? part(static_cast<double>(e)) : part(r.Level1Perc);
            FillSegment(canvas, Clip(run(1, first, 1), inside), Level(r, 0), r);
            done += first;
            if (position >= r.Level1Perc) {
                const int second = position < r.Level2Perc ? part(static_cast<double>(e - r.Level1Perc))
                                                           : part(r.Level2Perc - r.Level1Perc);
                FillSegment(canvas, Clip(run(1 + done, second, 1), inside), Level(r, 1), r);
                done += second;
                if (position >= r.Level2Perc) {
                    const int third = position == range ? inner - done : part(static_cast<double>(e - r.Level2Perc));
                    FillSegment(canvas, Clip(run(1 + done, third, 1), inside), Level(r, 3), r);
                }
            }
        } else {
            const int level = position < r.Level1Perc ? 0 : position < r.Level2Perc ? 1 : position < range ? 2 : 3;
            if (r.CompletionSmooth) {
                FillSegment(canvas, Clip(run(1, part(static_cast<double>(e)), 1), inside), Level(r, level), r);
            } else {
                const int filled =
                    static_cast<int>(ui::Round(static_cast<double>(e) * inner / static_cast<double>(range)));
                for (const ui::TRect& b : LevelProgressBlocks(rect, filled, r.Vertical)) {
                    FillSegment(canvas, Clip(b, inside), Level(r, level), r);
                }
            }
        }
    }

    if (r.ShowPercentage) {
        if (r.Font != nullptr) canvas.SetFont(*r.Font);
        canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
        const std::string text = ui::IntToStr(position) + "%";
        const ui::TSize size = canvas.TextExtent(text);
        // The canvas draws no turned text; a vertical bar centres the text the same way.
        canvas.TextOut(rect.Left + rect.Width() / 2 - size.cx / 2, rect.Top + rect.Height() / 2 - size.cy / 2, text);
    }

    canvas.Pen().SetStyle(ui::TPenStyle::psSolid);
    canvas.Pen().SetColor(pen);
    canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
    canvas.Rectangle(rect);
}

}  // namespace cardlist
