// TFinePanelSettings: a detached copy of a panel's appearance and behaviour. A styler fills one
// and hands it to each of its panels; a panel group keeps one as the default for new panels.
//
// Changes go to OnChange, the owner's hook. Setters of looks and behaviour notify on every
// call; ColorTo, ColorMirror and ColorMirrorTo only when the value changes; the values a panel
// takes from elsewhere (Color, sizes, fixed edges, hints, shadow, Position) only store.
// Between BeginUpdate and EndUpdate nothing is sent; the last EndUpdate sends one OnChange.
#pragma once

#include <memory>
#include <string>

#include "controls/panel/panel_caption.h"
#include "controls/panel/panel_position.h"
#include "controls/panel/panel_status_bar.h"
#include "controls/panel/panel_types.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/controls/edit_controls.h"
#include "platform/ui/core/persistent.h"
#include "platform/ui/forms/stdctrls.h"
#include "platform/ui/graphics/colors.h"
#include "platform/ui/graphics/graphics.h"

namespace panel {

class TFinePanelSettings : public ui::TPersistent {
public:
    TFinePanelSettings();
    ~TFinePanelSettings() override;
    TFinePanelSettings(const TFinePanelSettings&) = delete;
    TFinePanelSettings& operator=(const TFinePanelSettings&) = delete;

    std::string ClassName() const override { return "TFinePanelSettings"; }
    // Another settings object copies nothing: a styler refills its settings from the style.
    // Any other source raises the class library's assign error.
    void Assign(const ui::TPersistent* source) override;

    void BeginUpdate() { ++update_count_; }
    // Lowers the counter when it is positive; reaching 0 sends the one OnChange of the batch.
    void EndUpdate();
    int UpdateCount() const { return update_count_; }

    // The owned caption; its own changes notify too.
    TPanelCaption& Caption() { return *caption_; }
    const TPanelCaption& Caption() const { return *caption_; }
    void SetCaption(const TPanelCaption& value);
    ui::TFont& Font() { return *font_; }
    const ui::TFont& Font() const { return *font_; }
    void SetFont(const ui::TFont& value);
    TPanelStatusBar& StatusBar() { return *status_bar_; }
    const TPanelStatusBar& StatusBar() const { return *status_bar_; }
    void SetStatusBar(const TPanelStatusBar& value);
    // Not owned; none by default.
    TPanelPosition* Position() const { return position_; }
    void SetPosition(TPanelPosition* value) { position_ = value; }

#define QBK_PANEL_SETTING(Type, Name, field, initial, ...) \
public:                                                    \
    Type Name() const { return field; }                    \
    void Set##Name(Type value) { __VA_ARGS__; }            \
                                                           \
private:                                                   \
    Type field = initial;

// Stores and notifies on every call.
#define QBK_NOTIFYING_SETTING(Type, Name, field, initial) \
    QBK_PANEL_SETTING(Type, Name, field, initial, field = value; Changed())
// Stores and notifies when the value changes.
#define QBK_CHANGE_NOTIFYING_SETTING(Type, Name, field, initial) \
    QBK_PANEL_SETTING(Type, Name, field, initial, if (ui::Store(field, value)) Changed())
// Stores only.
#define QBK_STORED_SETTING(Type, Name, field, initial) QBK_PANEL_SETTING(Type, Name, field, initial, field = value)

    QBK_NOTIFYING_SETTING(bool, AnchorHint, anchor_hint_, false)
    QBK_NOTIFYING_SETTING(bool, AutoHideChildren, auto_hide_children_, true)
    QBK_NOTIFYING_SETTING(ui::TBevelCut, BevelInner, bevel_inner_, ui::TBevelCut::bvNone)
    QBK_NOTIFYING_SETTING(ui::TBevelCut, BevelOuter, bevel_outer_, ui::TBevelCut::bvNone)
    QBK_NOTIFYING_SETTING(int, BevelWidth, bevel_width_, 1)
    QBK_NOTIFYING_SETTING(TColor, BorderColor, border_color_, ui::clBlack)
    QBK_NOTIFYING_SETTING(bool, BorderShadow, border_shadow_, false)
    QBK_NOTIFYING_SETTING(ui::TBorderStyle, BorderStyle, border_style_, ui::TBorderStyle::bsSingle)
    QBK_NOTIFYING_SETTING(int, BorderWidth, border_width_, 0)
    QBK_NOTIFYING_SETTING(bool, CanMove, can_move_, false)
    QBK_NOTIFYING_SETTING(bool, CanSize, can_size_, false)
    QBK_NOTIFYING_SETTING(bool, Collaps, collaps_, false)
    QBK_NOTIFYING_SETTING(TColor, CollapsColor, collaps_color_, ui::clBtnFace)
    QBK_NOTIFYING_SETTING(int, CollapsDelay, collaps_delay_, 0)
    QBK_NOTIFYING_SETTING(int, CollapsSteps, collaps_steps_, 0)
    QBK_STORED_SETTING(TColor, Color, color_, ui::clBtnFace)
    QBK_CHANGE_NOTIFYING_SETTING(TColor, ColorTo, color_to_, ui::clNone)
    QBK_CHANGE_NOTIFYING_SETTING(TColor, ColorMirror, color_mirror_, ui::clNone)
    QBK_CHANGE_NOTIFYING_SETTING(TColor, ColorMirrorTo, color_mirror_to_, ui::clNone)
    QBK_NOTIFYING_SETTING(ui::TCursor, Cursor, cursor_, ui::crDefault)
    QBK_STORED_SETTING(bool, FixedTop, fixed_top_, false)
    QBK_STORED_SETTING(bool, FixedLeft, fixed_left_, false)
    QBK_STORED_SETTING(bool, FixedHeight, fixed_height_, false)
    QBK_STORED_SETTING(bool, FixedWidth, fixed_width_, false)
    QBK_STORED_SETTING(int, Height, height_, 120)
    QBK_STORED_SETTING(int, Width, width_, 0)
    QBK_STORED_SETTING(std::string, Hint, hint_, {})
    QBK_NOTIFYING_SETTING(bool, Hover, hover_, false)
    QBK_NOTIFYING_SETTING(TColor, HoverColor, hover_color_, ui::clNone)
    QBK_NOTIFYING_SETTING(TColor, HoverFontColor, hover_font_color_, ui::clNone)
    QBK_NOTIFYING_SETTING(int, Indent, indent_, 0)
    QBK_NOTIFYING_SETTING(int, TopIndent, top_indent_, 0)
    QBK_STORED_SETTING(TColor, ShadowColor, shadow_color_, ui::clBlack)
    QBK_STORED_SETTING(int, ShadowOffset, shadow_offset_, 0)
    QBK_STORED_SETTING(bool, ShowHint, show_hint_, false)
    QBK_STORED_SETTING(bool, ShowMoveCursor, show_move_cursor_, false)
    // Markup.
    QBK_NOTIFYING_SETTING(std::string, Text, text_, {})
    QBK_NOTIFYING_SETTING(TTextVAlignment, TextVAlign, text_valign_, TTextVAlignment::tvaTop)
    QBK_NOTIFYING_SETTING(TColor, URLColor, url_color_, ui::clBlue)

#undef QBK_STORED_SETTING
#undef QBK_CHANGE_NOTIFYING_SETTING
#undef QBK_NOTIFYING_SETTING
#undef QBK_PANEL_SETTING

public:
    ui::TNotifyEvent OnChange;

private:
    void Changed();

    int update_count_ = 0;
    std::unique_ptr<TPanelCaption> caption_;
    std::unique_ptr<ui::TFont> font_;
    std::unique_ptr<TPanelStatusBar> status_bar_;
    TPanelPosition* position_ = nullptr;
};

}  // namespace panel
