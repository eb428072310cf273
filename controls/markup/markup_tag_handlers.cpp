// The markup's tags: one row a tag in the table below, with its attributes and what its opening
// and closing forms do where they stand. A new tag is a new row (and, when it carries state from
// tag to tag, a field of the Layouter); the anchors, pictures, lists and backgrounds do enough to
// have files of their own.
#include "controls/markup/markup_layouter.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "controls/markup/markup_colors.h"
#include "controls/markup/markup_text.h"

namespace panel::markup {

namespace {

using TagAction = void (*)(Layouter&, const Tag&, Line&);

// A row of the tag table. A tag acts by the first row whose name matches its own and that has
// an action for its form (opening or closing); a Prefix row matches every name that starts with
// its own, so that one row stands for a family of tags.
struct TagRule {
    enum class Match { Exact, Prefix };
    std::string_view name;
    Match match = Match::Exact;
    TagAction open = nullptr;
    TagAction close = nullptr;

    constexpr TagAction Action(bool closing) const { return closing ? close : open; }
    constexpr bool Matches(std::string_view tag) const {
        return match == Match::Exact ? tag == name : tag.starts_with(name);
    }
    // Whether this row takes every tag that `later` would act on.
    constexpr bool Covers(const TagRule& later) const {
        return later.match == Match::Exact ? Matches(later.name)
                                           : match == Match::Prefix && later.name.starts_with(name);
    }
};

// The reader gives a tag's name in capitals and digits (markup_tag_reader.h): a row written
// otherwise would never match.
constexpr bool NamedAsRead(std::string_view name) {
    if (name.empty()) return false;
    for (const char c : name) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

// Every row is named as tags are read, has an action, and acts: no earlier row with an action
// for the same form takes all of its tags.
template <std::size_t N>
constexpr bool EveryRowActs(const TagRule (&rules)[N]) {
    for (std::size_t row = 0; row < N; ++row) {
        if (!NamedAsRead(rules[row].name) || (!rules[row].open && !rules[row].close)) return false;
        for (const bool closing : {false, true}) {
            if (!rules[row].Action(closing)) continue;
            for (std::size_t earlier = 0; earlier < row; ++earlier) {
                if (rules[earlier].Action(closing) && rules[earlier].Covers(rules[row])) return false;
            }
        }
    }
    return true;
}

}  // namespace

void Layouter::SetStyle(ui::TFontStyle style, bool on) {
    ui::TFontStyles s = Font().Style();
    if (on)
        s.Include(style);
    else
        s.Exclude(style);
    Font().SetStyle(s);
}

void Layouter::SetUnderline(bool on) {
    SetStyle(ui::TFontStyle::fsUnderline, on);
    underline_ = Fixed(on ? 1 : 0);
}

void Layouter::HandleTag(const Tag& tag, Line& line) {
    using Match = TagRule::Match;
    using Source = MarkupPaintValue::Source;
    using Test = MarkupPaintValue::Test;
    static constexpr TagRule kTags[] = {
        // A HREF: an anchor (markup_anchors.cpp).
        {"A", Match::Exact, [](Layouter& l, const Tag& tag, Line& line) { l.OpenAnchor(tag, line); },
         [](Layouter& l, const Tag&, Line& line) { l.CloseAnchor(line); }},
        // B: bold.
        {"B", Match::Exact, [](Layouter& l, const Tag&, Line&) { l.SetStyle(ui::TFontStyle::fsBold, true); },
         [](Layouter& l, const Tag&, Line&) { l.SetStyle(ui::TFontStyle::fsBold, false); }},
        // BL...: blinking text; while the blink is off it takes the canvas's brush colour.
        {"BL", Match::Prefix,
         [](Layouter& l, const Tag&, Line&) {
             l.color_ = l.Choice(Test::Blink, 0, l.color_, l.FromPaint(Source::CanvasBrush));
         }},
        // BODY BACKGROUND, BGTOPLEFT, BGTOPRIGHT, BGCOLOR, BGCOLORTO, DIR: the pictures, colour and
        // gradient behind the text (markup_backgrounds.cpp).
        {"BODY", Match::Exact, [](Layouter& l, const Tag& tag, Line& line) { l.Body(tag, line); }},
        // BR: a line break.
        {"BR", Match::Exact,
         [](Layouter& l, const Tag&, Line& line) {
             line.ends = true;
             l.out_.plain_text += '\r';
         }},
        // Every closing tag whose name starts with B and that no row above closes (</BL...>,
        // </BODY>, </BR>): the text colour of the base font again.
        {"B", Match::Prefix, nullptr, [](Layouter& l, const Tag&, Line&) { l.color_ = l.base_color_; }},
        // E: the error marking, a red zig-zag under the runs.
        {"E", Match::Exact, [](Layouter& l, const Tag&, Line&) { l.error_ = true; },
         [](Layouter& l, const Tag&, Line&) { l.error_ = false; }},
        // FONT FACE, COLOR, BGCOLOR, SIZE (1 to 5, else points); closing: the base font's name,
        // height and colour, and the background before it.
        {"FONT", Match::Exact,
         [](Layouter& l, const Tag& tag, Line&) {
             const std::string face = Attribute(tag, "FACE");
             if (!face.empty()) l.Font().SetName(face);
             const ui::TColor color = MarkupColor(Attribute(tag, "COLOR", true));
             if (color != ui::clNone) l.color_ = l.UnlessSelected(l.color_, l.Fixed(color));
             const ui::TColor background = MarkupColor(Attribute(tag, "BGCOLOR", true));
             if (background != ui::clNone) {
                 l.font_saved_brush_ = l.brush_;
                 l.font_brush_set_ = true;
                 l.brush_ = l.UnlessSelected(l.brush_, l.Fixed(background));
             }
             if (HasAttribute(tag, "SIZE")) {
                 static constexpr int kSizes[] = {8, 10, 12, 14, 16};
                 const int v = MarkupNumber(Attribute(tag, "SIZE"));
                 const int points = (v >= 1 && v <= 5) ? kSizes[v - 1] : v;
                 // Beyond a thousand points a single letter outgrows any screen; larger sizes are
                 // taken as that, so a mistyped size cannot ask the font engine for a giant face.
                 // 0 points (also a value without digits) leaves the size to the font engine.
                 l.Font().SetSize(std::min(points, kLargestPoints));
             }
         },
         [](Layouter& l, const Tag&, Line&) {
             l.Font().SetName(l.base_.name);
             l.Font().SetHeight(l.base_.height);
             l.color_ = l.UnlessSelected(l.color_, l.base_color_);
             if (l.font_brush_set_) l.brush_ = l.UnlessSelected(l.brush_, l.font_saved_brush_);
             l.font_brush_set_ = false;
         }},
        // HI: highlighted text, in the highlight colours.
        {"HI", Match::Exact,
         [](Layouter& l, const Tag&, Line&) {
             l.hi_saved_brush_ = l.brush_;
             l.hi_saved_text_ = l.color_;
             l.hi_on_ = true;
             l.brush_ = l.Fixed(ui::clHighlight);
             l.color_ = l.Fixed(ui::clHighlightText);
         },
         [](Layouter& l, const Tag&, Line&) {
             if (l.hi_on_) {
                 l.brush_ = l.hi_saved_brush_;
                 l.color_ = l.hi_saved_text_;
             }
             l.hi_on_ = false;
         }},
        // HR: a rule across the text, on a line of its own.
        {"HR", Match::Exact,
         [](Layouter&, const Tag&, Line& line) {
             line.ends = true;
             PendingOp rule = Pending(MarkupOpKind::Rule, Vertical::Rule, false);
             rule.op.color = ui::clBlack;
             line.ops.push_back(rule);
         }},
        // I: italic.
        {"I", Match::Exact, [](Layouter& l, const Tag&, Line&) { l.SetStyle(ui::TFontStyle::fsItalic, true); },
         [](Layouter& l, const Tag&, Line&) { l.SetStyle(ui::TFontStyle::fsItalic, false); }},
        // IND X: the line goes on at x when it is not past it yet.
        {"IND", Match::Exact,
         [](Layouter&, const Tag& tag, Line& line) {
             int x = 0;
             if (WholeNumber(Attribute(tag, "X"), x) && line.width < x) {
                 line.width = x;
                 line.pen = x;
             }
         }},
        // IMG SRC, ALT, WIDTH, HEIGHT, ALIGN, WRAP: a picture in the text
        // (markup_inline_pictures.cpp).
        {"IMG", Match::Exact, [](Layouter& l, const Tag& tag, Line& line) { l.Picture(tag, line); }},
        // LI TYPE, COLOR: a list item with its bullet (markup_lists.cpp); closing ends its line.
        {"LI", Match::Exact, [](Layouter& l, const Tag& tag, Line& line) { l.ListItem(tag, line); },
         [](Layouter&, const Tag&, Line& line) { line.ends = true; }},
        // OF X: the text goes on at x, and lines are that much narrower until the closing tag.
        {"OF", Match::Exact,
         [](Layouter& l, const Tag& tag, Line& line) {
             const int x = MarkupNumber(Attribute(tag, "X"));
             line.pen = x;
             line.width = x;
             l.of_offset_ = x;
         },
         [](Layouter& l, const Tag&, Line&) { l.of_offset_ = 0; }},
        // P ALIGN, INDENT, BGCOLOR, BGCOLORTO: a paragraph (markup_backgrounds.cpp); closing ends
        // its line and its background.
        {"P", Match::Exact, [](Layouter& l, const Tag& tag, Line& line) { l.Paragraph(tag, line); },
         [](Layouter& l, const Tag&, Line& line) {
             line.ends = true;
             l.para_.background = false;
             if (l.para_.brush_set) l.brush_ = l.para_.saved_brush;
             l.para_.brush_set = false;
         }},
        // R A: text rotated by a degrees.
        {"R", Match::Exact,
         [](Layouter& l, const Tag& tag, Line&) {
             l.saved_orientation_ = l.Font().Orientation();
             l.Font().SetOrientation(MarkupNumber(Attribute(tag, "A")) * 10);
         },
         [](Layouter& l, const Tag&, Line&) { l.Font().SetOrientation(l.saved_orientation_); }},
        // S: struck out.
        {"S", Match::Exact, [](Layouter& l, const Tag&, Line&) { l.SetStyle(ui::TFontStyle::fsStrikeOut, true); },
         [](Layouter& l, const Tag&, Line&) { l.SetStyle(ui::TFontStyle::fsStrikeOut, false); }},
        // SHAD: runs with a shadow.
        {"SHAD", Match::Exact, [](Layouter& l, const Tag&, Line&) { l.shadow_ = true; },
         [](Layouter& l, const Tag&, Line&) { l.shadow_ = false; }},
        // SUB, SUP: subscript and superscript; either closing ends both.
        {"SUB", Match::Exact, [](Layouter& l, const Tag&, Line&) { l.sub_ = true; },
         [](Layouter& l, const Tag&, Line&) { l.sub_ = l.sup_ = false; }},
        {"SUP", Match::Exact, [](Layouter& l, const Tag&, Line&) { l.sup_ = true; },
         [](Layouter& l, const Tag&, Line&) { l.sub_ = l.sup_ = false; }},
        // U: underlined.
        {"U", Match::Exact, [](Layouter& l, const Tag&, Line&) { l.SetUnderline(true); },
         [](Layouter& l, const Tag&, Line&) { l.SetUnderline(false); }},
        // UL: a list one level deeper, from a new line; a closing tag outside any list ends the
        // underline.
        {"UL", Match::Exact,
         [](Layouter& l, const Tag&, Line& line) {
             ++l.list_.level;
             line.ends = true;
         },
         [](Layouter& l, const Tag&, Line&) {
             if (l.list_.level > 0)
                 --l.list_.level;
             else
                 l.SetUnderline(false);
         }},
        // Z: hidden text.
        {"Z", Match::Exact, [](Layouter& l, const Tag&, Line&) { l.hidden_ = true; },
         [](Layouter& l, const Tag&, Line&) { l.hidden_ = false; }},
    };
    static_assert(EveryRowActs(kTags), "a tag row is misnamed, has no action or is taken by an earlier row");

    // Tags without a row are skipped.
    for (const TagRule& rule : kTags) {
        const TagAction action = rule.Action(tag.closing);
        if (action && rule.Matches(tag.name)) {
            action(*this, tag, line);
            return;
        }
    }
}

}  // namespace panel::markup
