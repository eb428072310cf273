// The card list's settings objects: gradient, card appearance, sort, filter and progress
// settings. They hold values only; card_fill_painting paints the gradient and the progress bar.
//
// Every settings object reports a change through one event its owner wires; a setter stores and
// notifies only when the value differs, and Assign copies values into the owner's own object.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/core/persistent.h"
#include "platform/ui/graphics/colors.h"
#include "platform/ui/graphics/frames.h"
#include "platform/ui/graphics/graphics.h"

namespace cardlist {

using ui::TColor;

enum class TFineGradientDirection { gdHorizontal, gdVertical };

// A two-colour gradient fill. ColorTo clNone fills solid; Color clNone draws nothing.
class TFineGradient : public ui::TPersistent {
public:
    TFineGradient() = default;
    TFineGradient(const TFineGradient&) = delete;
    TFineGradient& operator=(const TFineGradient&) = delete;

    std::string ClassName() const override { return "TFineGradient"; }
    void Assign(const ui::TPersistent* source) override;

    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TColor ColorTo() const { return color_to_; }
    void SetColorTo(TColor value);
    TFineGradientDirection Direction() const { return direction_; }
    void SetDirection(TFineGradientDirection value);

    ui::TNotifyEvent OnChange;

private:
    void Changed();

    TColor color_ = ui::clWindow;
    TColor color_to_ = ui::clNone;
    TFineGradientDirection direction_ = TFineGradientDirection::gdHorizontal;
};

using TBevelCut = ui::TBevelCut;

// The look of a card in one state.
class TFineCardAppearance : public ui::TPersistent {
public:
    // StateChanged is true after a change of Enabled and after an assignment.
    using ChangeEvent = std::function<void(ui::TPersistent* sender, bool stateChanged)>;

    TFineCardAppearance();
    ~TFineCardAppearance() override;
    TFineCardAppearance(const TFineCardAppearance&) = delete;
    TFineCardAppearance& operator=(const TFineCardAppearance&) = delete;

    std::string ClassName() const override { return "TFineCardAppearance"; }
    // Copies every published value with notifications off, then fires once with StateChanged
    // true. The total frame width is derived again from the copied bevels and border.
    void Assign(const ui::TPersistent* source) override;

    TBevelCut BevelInner() const { return bevel_inner_; }
    void SetBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const { return bevel_outer_; }
    void SetBevelOuter(TBevelCut value);
    int BevelWidth() const { return bevel_width_; }
    void SetBevelWidth(int value);
    TColor BorderColor() const { return border_color_; }
    void SetBorderColor(TColor value);
    int BorderWidth() const { return border_width_; }
    void SetBorderWidth(int value);
    // Inner bevel + outer bevel (each when not bvNone) + border: the margin drawn around a card.
    int TotalFrameWidth() const { return total_frame_width_; }

    TFineGradient& CaptionColor() { return *caption_color_; }
    const TFineGradient& CaptionColor() const { return *caption_color_; }
    void SetCaptionColor(const TFineGradient& value);
    TColor CaptionBorderColor() const { return caption_border_color_; }
    void SetCaptionBorderColor(TColor value);
    int CaptionBorderWidth() const { return caption_border_width_; }
    void SetCaptionBorderWidth(int value);
    ui::TFont& CaptionFont() { return *caption_font_; }
    const ui::TFont& CaptionFont() const { return *caption_font_; }
    void SetCaptionFont(const ui::TFont& value);
    TFineGradient& Color() { return *color_; }
    const TFineGradient& Color() const { return *color_; }
    void SetColor(const TFineGradient& value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    ui::TFont& ItemLabelFont() { return *item_label_font_; }
    const ui::TFont& ItemLabelFont() const { return *item_label_font_; }
    void SetItemLabelFont(const ui::TFont& value);
    ui::TFont& ItemEditFont() { return *item_edit_font_; }
    const ui::TFont& ItemEditFont() const { return *item_edit_font_; }
    void SetItemEditFont(const ui::TFont& value);
    bool ReplaceLabelFont() const { return replace_label_font_; }
    void SetReplaceLabelFont(bool value);
    bool ReplaceEditFont() const { return replace_edit_font_; }
    void SetReplaceEditFont(bool value);

    ChangeEvent OnChange;

private:
    void Changed(bool stateChanged);
    void UpdateFrameWidth();

    bool notify_ = true;
    TBevelCut bevel_inner_ = TBevelCut::bvNone;
    TBevelCut bevel_outer_ = TBevelCut::bvRaised;
    int bevel_width_ = 1;
    TColor border_color_ = ui::clNone;
    int border_width_ = 1;
    int total_frame_width_ = 0;
    std::unique_ptr<TFineGradient> caption_color_;
    TColor caption_border_color_ = ui::clNone;
    int caption_border_width_ = 1;
    std::unique_ptr<ui::TFont> caption_font_;
    std::unique_ptr<TFineGradient> color_;
    bool enabled_ = true;
    std::unique_ptr<ui::TFont> item_label_font_;
    std::unique_ptr<ui::TFont> item_edit_font_;
    bool replace_label_font_ = false;
    bool replace_edit_font_ = false;
};

enum class TCardState { csNormal, csHover, csSelected, csEditing };

enum class TSortDirection { sdAscending, sdDescending };
enum class TSortType { stNone, stCaption, stItem, stCustom };

class TFineCardSortSettings : public ui::TPersistent {
public:
    std::string ClassName() const override { return "TFineCardSortSettings"; }
    // Copies SortDirection and SortIndex only; SortType and CaseSensitive stay.
    void Assign(const ui::TPersistent* source) override;

    TSortDirection SortDirection() const { return sort_direction_; }
    void SetSortDirection(TSortDirection value);
    int SortIndex() const { return sort_index_; }
    void SetSortIndex(int value);
    TSortType SortType() const { return sort_type_; }
    void SetSortType(TSortType value);
    bool CaseSensitive() const { return case_sensitive_; }
    void SetCaseSensitive(bool value);

    ui::TNotifyEvent OnChange;

private:
    void Changed();

    TSortDirection sort_direction_ = TSortDirection::sdAscending;
    int sort_index_ = 0;
    TSortType sort_type_ = TSortType::stNone;
    bool case_sensitive_ = false;
};

class TFineCardFilterSettings : public ui::TPersistent {
public:
    std::string ClassName() const override { return "TFineCardFilterSettings"; }
    void Assign(const ui::TPersistent* source) override;

    const std::string& FilterCondition() const { return filter_condition_; }
    void SetFilterCondition(const std::string& value);
    int FilterIndex() const { return filter_index_; }
    void SetFilterIndex(int value);

    ui::TNotifyEvent OnChange;

private:
    void Changed();

    std::string filter_condition_;
    int filter_index_ = 0;
};

enum class TProgressStyle { psXP, psClassic };

class TProgressAppearance : public ui::TPersistent {
public:
    std::string ClassName() const override { return "TProgressAppearance"; }
    // From another TProgressAppearance: every property but OnChange, then OnChange; other
    // sources are ignored.
    void Assign(const ui::TPersistent* source) override;

#define QBK_PROGRESS_PROPERTY(Type, Name, field, initial) \
public:                                                   \
    Type Name() const { return field; }                   \
    void Set##Name(Type value) {                          \
        if (field == value) return;                       \
        field = value;                                    \
        Changed();                                        \
    }                                                     \
                                                          \
private:                                                  \
    Type field = initial;

    QBK_PROGRESS_PROPERTY(TColor, UnCompleteFontColor, uncomplete_font_color_, ui::clWindowText)
    QBK_PROGRESS_PROPERTY(TColor, CompleteColor, complete_color_, 0x0000FF)
    QBK_PROGRESS_PROPERTY(TColor, UnCompleteColor, uncomplete_color_, ui::clNone)
    QBK_PROGRESS_PROPERTY(TColor, CompleteFontColor, complete_font_color_, 0xFF0000)
    QBK_PROGRESS_PROPERTY(bool, Stacked, stacked_, false)
    QBK_PROGRESS_PROPERTY(bool, ShowPercentage, show_percentage_, true)
    QBK_PROGRESS_PROPERTY(bool, ShowBorder, show_border_, false)
    QBK_PROGRESS_PROPERTY(bool, CompletionSmooth, completion_smooth_, true)
    QBK_PROGRESS_PROPERTY(bool, ShowGradient, show_gradient_, true)
    QBK_PROGRESS_PROPERTY(int, Level2Perc, level2_perc_, 90)
    QBK_PROGRESS_PROPERTY(int, Level1Perc, level1_perc_, 70)
    QBK_PROGRESS_PROPERTY(int, Steps, steps_, 11)
    QBK_PROGRESS_PROPERTY(TColor, Level3Color, level3_color_, 0x0000FF)
    QBK_PROGRESS_PROPERTY(TColor, Level1Color, level1_color_, 0x00FFFF)
    QBK_PROGRESS_PROPERTY(TColor, Level0Color, level0_color_, 0x00FF00)
    QBK_PROGRESS_PROPERTY(TColor, Level3ColorTo, level3_color_to_, 0xCACAFF)
    QBK_PROGRESS_PROPERTY(TColor, Level2ColorTo, level2_color_to_, 0xA8D3FF)
    QBK_PROGRESS_PROPERTY(TColor, Level0ColorTo, level0_color_to_, 0xE1FFE1)
    QBK_PROGRESS_PROPERTY(TColor, Level1ColorTo, level1_color_to_, 0xCAFFFF)
    QBK_PROGRESS_PROPERTY(TColor, BorderColor, border_color_, 0x000000)
    QBK_PROGRESS_PROPERTY(TColor, Level2Color, level2_color_, 0x53A9FF)
    QBK_PROGRESS_PROPERTY(TProgressStyle, Style, style_, TProgressStyle::psXP)
#undef QBK_PROGRESS_PROPERTY

public:
    ui::TNotifyEvent OnChange;

private:
    void Changed() {
        if (OnChange) OnChange(this);
    }
};

}  // namespace cardlist
