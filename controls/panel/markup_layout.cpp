#include "controls/panel/markup_layout.h"

#include <algorithm>

#include "controls/panel/markup_colors.h"
#include "controls/panel/markup_text.h"
#include "platform/ui/core/sysutils.h"

namespace panel {

namespace {

constexpr int kListIndent = 12;  // pixels per list level, and the room of a bullet
constexpr int kBulletSize = 8;
constexpr int kBulletTop = 2;
constexpr const char* kLineProbe = "gh";  // the text whose height is one line of the font
constexpr int kLargestPoints = 1000;

using ui::TDrawTextFlags;

// A tag as written and upper-cased; `name` is the tag's word after "<" or "</".
struct Tag {
    std::string raw;
    std::string upper;
    bool closing = false;
    std::string name;
};

Tag ParseTag(const std::string& raw) {
    Tag tag;
    tag.raw = raw;
    tag.upper = ui::UpperCase(raw);
    tag.closing = raw.size() > 3 && raw[1] == '/';
    std::size_t i = tag.closing ? 2 : 1;
    while (i < tag.upper.size()) {
        const char c = tag.upper[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) break;
        tag.name += c;
        ++i;
    }
    return tag;
}

// Position just after attribute `name` (preceded by a blank, followed by "=") in the upper-cased
// tag, or npos.
std::size_t FindAttribute(const Tag& tag, const std::string& name) {
    const std::string key = " " + name;
    std::size_t at = 0;
    while ((at = tag.upper.find(key, at)) != std::string::npos) {
        std::size_t p = at + key.size();
        while (p < tag.upper.size() && tag.upper[p] == ' ') ++p;
        if (p < tag.upper.size() && tag.upper[p] == '=') return p + 1;
        at += key.size();
    }
    return std::string::npos;
}

bool HasAttribute(const Tag& tag, const std::string& name) {
    const std::string key = " " + name;
    std::size_t at = 0;
    while ((at = tag.upper.find(key, at)) != std::string::npos) {
        const std::size_t p = at + key.size();
        const char next = p < tag.upper.size() ? tag.upper[p] : '>';
        if (next == ' ' || next == '=' || next == '>' || next == '/') return true;
        at = p;
    }
    return false;
}

// The attribute's value between double quotes (or up to a blank or ">" without them), as
// written or upper-cased; empty when the tag lacks it.
std::string Attribute(const Tag& tag, const std::string& name, bool upper = false) {
    std::size_t p = FindAttribute(tag, name);
    if (p == std::string::npos) return {};
    const std::string& from = upper ? tag.upper : tag.raw;
    while (p < from.size() && from[p] == ' ') ++p;
    if (p < from.size() && from[p] == '"') {
        const std::size_t end = from.find('"', p + 1);
        return from.substr(p + 1, end == std::string::npos ? std::string::npos : end - p - 1);
    }
    std::size_t end = p;
    while (end < from.size() && from[end] != ' ' && from[end] != '>') ++end;
    return from.substr(p, end - p);
}

// The text between the tag's first two double quotes.
std::string FirstQuoted(const std::string& raw) {
    const std::size_t a = raw.find('"');
    if (a == std::string::npos) return {};
    const std::size_t b = raw.find('"', a + 1);
    return raw.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
}

bool WholeNumber(const std::string& value, int& n) {
    if (value.empty()) return false;
    for (char c : value) {
        if (c < '0' || c > '9') return false;
    }
    n = MarkupNumber(value);
    return true;
}

// The platform's prefix rule for text drawn without the no-prefix flag: "&&" shows one "&", a
// single "&" marks the next character and is not shown.
std::string WithoutPrefixes(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

// The alignment of a paragraph's lines (P ALIGN); it holds until the next P tag that names one.
enum class ParagraphAlign { Left, Right, Center };

// How an operation's rows are fixed once its line's height is known.
enum class Vertical { Fixed, Run, Rule, Band, BandGradient };

struct PendingOp {
    MarkupOp op;
    Vertical vertical = Vertical::Fixed;
    bool in_line = true;  // x relative to the line's left (else absolute)
    bool sub = false;
    bool sup = false;
};

PendingOp Pending(MarkupOpKind kind, Vertical vertical, bool in_line, bool sub = false, bool sup = false) {
    PendingOp p;
    p.op.kind = kind;
    p.vertical = vertical;
    p.in_line = in_line;
    p.sub = sub;
    p.sup = sup;
    return p;
}

struct PendingBox {
    MarkupAnchorBox box;
    bool text = true;  // rows from the run's bottom and height
    int height = 0;
    bool sub = false;
    bool sup = false;
};

struct Line {
    int top = 0;
    int height = 0;
    int width = 0;
    int gh = 0;  // height of one line of the font the line began with
    int sub = 0;
    int sup = 0;
    int lift = 0;
    int pen = 0;  // relative to the line's left
    int trailing_blank = 0;
    bool ends = false;
    bool break_before = false;
    bool list_item = false;
    bool has_content = false;  // a run or picture stands on the line
    std::vector<PendingOp> ops;
    std::vector<PendingBox> boxes;
    // Anchor bounds on this line: (index into the layout's anchors, start pen or -1, end pen or -1).
    struct AnchorMark {
        std::size_t anchor;
        int start;
        int end;
    };
    std::vector<AnchorMark> anchor_marks;
    // Focus outline segments of the anchors on this line; paint draws those of the focused one.
    struct FocusMark {
        int anchor;
        int start;
        int end;
    };
    std::vector<FocusMark> focus;
    int focus_start = -1;  // of the open anchor
};

class Layouter {
public:
    Layouter(ui::TCanvas& canvas, const MarkupLayoutInputs& inputs)
        : canvas_(canvas), rect_(inputs.rect), o_(inputs), base_(MarkupFont::Of(canvas.Font())) {
        base_color_ = Fixed(base_.color);
        color_ = base_color_;
        brush_ = Fixed(ui::clNone);
        underline_ = Fixed(base_.style.Contains(ui::TFontStyle::fsUnderline) ? 1 : 0);
        out_.sources = inputs.pictures;
    }

    MarkupLayout Run(std::string text);

private:
    ui::TFont& Font() { return canvas_.Font(); }
    int LineProbeHeight() { return canvas_.TextHeight(kLineProbe); }
    int Available() const { return rect_.Width() - of_offset_; }

    void LayoutLine(std::string& text, Line& line);
    void PlaceRun(const std::string& run, Line& line, std::string& text, std::size_t end);
    void HandleTag(const Tag& tag, Line& line);
    void OpeningTag(const Tag& tag, Line& line);
    void ClosingTag(const Tag& tag, Line& line);
    void Picture(const Tag& tag, Line& line);
    void ListItem(const Tag& tag, Line& line);
    void Body(const Tag& tag, Line& line);
    void Paragraph(const Tag& tag, Line& line);
    void OpenAnchor(const Tag& tag, Line& line);
    void CloseAnchor(Line& line);
    void FinishLine(Line& line);
    void SetStyle(ui::TFontStyle style, bool on);
    void SetUnderline(bool on);
    MarkupPicture Resolve(const std::string& source);
    // Paint values: a fixed one, one of the paint inputs, or a choice between two.
    int Fixed(ui::TColor value) { return Value({MarkupPaintValue::Source::Fixed, value}); }
    int FromPaint(MarkupPaintValue::Source source) { return Value({source}); }
    int Choice(MarkupPaintValue::Test test, int anchor, int when_true, int when_false) {
        return Value({MarkupPaintValue::Source::Choice, ui::clNone, test, anchor, when_true, when_false});
    }
    int Value(const MarkupPaintValue& value) {
        out_.values.push_back(value);
        return static_cast<int>(out_.values.size()) - 1;
    }
    // What stays as it is when the text is painted selected, else becomes `value`.
    int UnlessSelected(int kept, int value) { return Choice(MarkupPaintValue::Test::Selected, 0, kept, value); }

    ui::TCanvas& canvas_;
    const ui::TRect rect_;
    const MarkupLayoutInputs& o_;
    const MarkupFont base_;
    MarkupLayout out_;
    bool no_prefix_ = false;

    // Paint values of the base font's colour, the text colour, the text cells' background and
    // the underline.
    int base_color_ = -1;
    int color_ = -1;
    int brush_ = -1;
    int underline_ = -1;
    int shown_unless_selected_ = -1;
    int anchor_counter_ = 0;
    bool anchor_open_ = false;
    std::string anchor_value_;
    std::size_t anchor_index_ = 0;
    int anchor_saved_brush_ = -1;
    int image_counter_ = 0;
    int list_level_ = 0;
    bool hidden_ = false;
    bool shadow_ = false;
    bool error_ = false;
    bool sub_ = false;
    bool sup_ = false;
    bool para_background_ = false;
    ui::TColor para_color_ = ui::clNone;
    bool para_brush_set_ = false;
    int para_saved_brush_ = -1;
    bool font_brush_set_ = false;  // as the text is painted unselected
    int font_saved_brush_ = -1;
    int hi_saved_brush_ = -1;
    int hi_saved_text_ = -1;
    bool hi_on_ = false;
    std::string bullet_type_;
    ui::TColor bullet_color_ = ui::clNone;
    int saved_orientation_ = 0;
    ParagraphAlign align_ = ParagraphAlign::Left;
    int indent_ = 0;
    int of_offset_ = 0;
};

void Layouter::SetStyle(ui::TFontStyle style, bool on) {
    ui::TFontStyles s = Font().Style();
    if (on) s.Include(style);
    else s.Exclude(style);
    Font().SetStyle(s);
}

void Layouter::SetUnderline(bool on) {
    SetStyle(ui::TFontStyle::fsUnderline, on);
    underline_ = Fixed(on ? 1 : 0);
}

MarkupPicture Layouter::Resolve(const std::string& source) {
    const MarkupPicture picture = ResolveMarkupPicture(source, o_.pictures);
    auto& resolved = out_.resolved_pictures;
    const bool known = std::any_of(resolved.begin(), resolved.end(), [&](const auto& r) { return r.first == source; });
    if (!known) resolved.emplace_back(source, picture);
    return picture;
}

MarkupLayout Layouter::Run(std::string text) {
    no_prefix_ = text.find(" & ") != std::string::npos;
    while (ReplaceMarkupEntities(text)) {
    }
    if (const std::size_t hash = text.find("<#"); hash != std::string::npos) {
        text.erase(hash, 1);
        if (const std::size_t gt = text.find('>', hash); gt != std::string::npos) text.erase(gt, 1);
    }
    std::string lines;
    lines.reserve(text.size());
    for (char c : text) {
        if (c == '\r') lines += "<BR>";
        else if (c != '\n') lines += c;
    }
    text = std::move(lines);

    int top = rect_.Top;
    std::size_t index = 0;
    while (!text.empty()) {
        Line line;
        line.top = top;
        line.gh = LineProbeHeight();
        line.height = line.gh;
        sub_ = sup_ = false;
        const int h0 = line.gh;
        text = ui::Trim(text);
        const std::size_t before = text.size();
        LayoutLine(text, line);
        if (!text.empty() && text.size() == before) {
            // Defensive: a line always consumes something, so the loop ends.
            const std::size_t gt = text.find('>');
            text.erase(0, gt == std::string::npos ? text.size() : gt + 1);
        }
        FinishLine(line);
        ++index;
        const int advance = line.height + line.sub + line.sup;
        top += advance;
        out_.height += advance;
        if (!o_.all_lines && h0 + top > rect_.Bottom) text.clear();
    }
    out_.line_count = static_cast<int>(index);
    base_.ApplyTo(Font());
    if (out_.height == 0) out_.height = LineProbeHeight();
    out_.anchor_count = anchor_counter_;
    return std::move(out_);
}

void Layouter::LayoutLine(std::string& text, Line& line) {
    line.pen = of_offset_;
    if (para_background_) {
        PendingOp fill = Pending(MarkupOpKind::Fill, Vertical::Band, false);
        fill.op.color = para_color_;
        line.ops.push_back(fill);
    }
    if (anchor_open_) {
        line.anchor_marks.push_back({anchor_index_, 0, -1});
        line.focus_start = 1;
    }
    while (!text.empty() && !line.ends && !line.break_before) {
        std::size_t end = text.find('<');
        if (end == std::string::npos) end = text.size();
        if (o_.word_wrap) {
            const std::size_t blank = text.find(' ');
            if (blank != std::string::npos && blank < end) end = blank + 1;
        }
        if (end > 0) PlaceRun(text.substr(0, end), line, text, end);
        if (!text.empty() && text[0] == '<' && text.size() <= 2) text.clear();
        if (line.ends || text.empty() || text[0] != '<') continue;
        const std::size_t gt = text.find('>');
        const Tag tag = ParseTag(gt == std::string::npos ? text : text.substr(0, gt + 1));
        HandleTag(tag, line);
        if (line.break_before) break;  // the tag starts the next line
        text.erase(0, gt == std::string::npos ? text.size() : gt + 1);
    }
    line.width -= line.trailing_blank;
    if (out_.width < line.width) out_.width = line.width + 2;
    if (line.focus_start >= 0) line.focus.push_back({anchor_counter_, line.focus_start, line.pen});
    line.focus_start = -1;
}

void Layouter::PlaceRun(const std::string& raw_run, Line& line, std::string& text, std::size_t end) {
    const std::string run = ReplaceRunEntities(raw_run);
    const int h = canvas_.TextHeight(run);
    if (sub_) line.sub = std::max(line.sub, h / 4);
    if (sup_) line.sup = std::max(line.sup, h / 4);
    line.height = std::max(line.height, h);
    out_.plain_text += run;
    if (hidden_) {
        text.erase(0, end);
        return;
    }
    const std::string shown = no_prefix_ ? run : WithoutPrefixes(run);
    ui::TRect calc = ui::Rect(rect_.Left, line.top, rect_.Right, line.top + line.height);
    ui::DrawText(canvas_, shown, calc, TDrawTextFlags::dtCalcRect | TDrawTextFlags::dtSingleLine | TDrawTextFlags::dtBottom);
    const int w = calc.Width();
    line.width += w;
    // A run that does not fit moves to the next line, unless nothing stands on this one yet:
    // then it stays alone however wide it is, so every line takes something.
    if (line.width >= Available() && o_.word_wrap && line.has_content) {
        line.ends = true;
        line.width -= w;
        return;
    }
    text.erase(0, end);
    line.has_content = true;
    line.trailing_blank = (!run.empty() && run.back() == ' ') ? canvas_.TextWidth(" ") : 0;

    PendingOp op = Pending(MarkupOpKind::Text, Vertical::Run, true, sub_, sup_);
    op.op.rect = ui::Rect(line.pen, line.top, 0, 0);
    op.op.text = shown;
    op.op.font = MarkupFont::Of(Font());
    op.op.color_value = color_;
    op.op.background_value = brush_;
    op.op.underline_value = underline_;
    op.op.width = w;
    op.op.shadow = shadow_;
    op.op.error = error_;
    op.op.flags = TDrawTextFlags::dtSingleLine | TDrawTextFlags::dtBottom;
    if (!o_.word_wrap) op.op.flags = op.op.flags | TDrawTextFlags::dtEndEllipsis;
    // Turned text leaves its line's band; cutting it there would leave nothing of it.
    if (op.op.font.orientation != 0) op.op.flags = op.op.flags | TDrawTextFlags::dtNoClip;
    line.ops.push_back(std::move(op));
    if (anchor_open_) {
        PendingBox box;
        box.box = {anchor_counter_, anchor_value_, ui::Rect(line.pen, 0, line.pen + w, 0), false, 0, false};
        box.height = h;
        box.sub = sub_;
        box.sup = sup_;
        line.boxes.push_back(std::move(box));
    }
    line.pen += w;
}

void Layouter::HandleTag(const Tag& tag, Line& line) {
    if (tag.closing) ClosingTag(tag, line);
    else OpeningTag(tag, line);
}

void Layouter::OpeningTag(const Tag& tag, Line& line) {
    const std::string& n = tag.name;
    if (n == "A") {
        OpenAnchor(tag, line);
    } else if (n == "B") {
        SetStyle(ui::TFontStyle::fsBold, true);
    } else if (n.rfind("BL", 0) == 0) {
        color_ = Choice(MarkupPaintValue::Test::Blink, 0, color_, FromPaint(MarkupPaintValue::Source::CanvasBrush));
    } else if (n == "BODY") {
        Body(tag, line);
    } else if (n == "BR") {
        line.ends = true;
        out_.plain_text += '\r';
    } else if (n == "E") {
        error_ = true;
    } else if (n == "FONT") {
        const std::string face = Attribute(tag, "FACE");
        if (!face.empty()) Font().SetName(face);
        const ui::TColor color = MarkupColor(Attribute(tag, "COLOR", true));
        if (color != ui::clNone) color_ = UnlessSelected(color_, Fixed(color));
        const ui::TColor background = MarkupColor(Attribute(tag, "BGCOLOR", true));
        if (background != ui::clNone) {
            font_saved_brush_ = brush_;
            font_brush_set_ = true;
            brush_ = UnlessSelected(brush_, Fixed(background));
        }
        if (HasAttribute(tag, "SIZE")) {
            static constexpr int kSizes[] = {8, 10, 12, 14, 16};
            const int v = MarkupNumber(Attribute(tag, "SIZE"));
            const int points = (v >= 1 && v <= 5) ? kSizes[v - 1] : v;
            // Beyond a thousand points a single letter outgrows any screen; larger sizes are
            // taken as that, so a mistyped size cannot ask the font engine for a giant face.
            // 0 points (also a value without digits) leaves the size to the font engine.
            Font().SetSize(std::min(points, kLargestPoints));
        }
    } else if (n == "HI") {
        hi_saved_brush_ = brush_;
        hi_saved_text_ = color_;
        hi_on_ = true;
        brush_ = Fixed(ui::clHighlight);
        color_ = Fixed(ui::clHighlightText);
    } else if (n == "HR") {
        line.ends = true;
        PendingOp rule = Pending(MarkupOpKind::Rule, Vertical::Rule, false);
        rule.op.color = ui::clBlack;
        line.ops.push_back(rule);
    } else if (n == "I") {
        SetStyle(ui::TFontStyle::fsItalic, true);
    } else if (n == "IND") {
        int x = 0;
        if (WholeNumber(Attribute(tag, "X"), x) && line.width < x) {
            line.width = x;
            line.pen = x;
        }
    } else if (n == "IMG") {
        Picture(tag, line);
    } else if (n == "LI") {
        ListItem(tag, line);
    } else if (n == "OF") {
        const int x = MarkupNumber(Attribute(tag, "X"));
        line.pen = x;
        line.width = x;
        of_offset_ = x;
    } else if (n == "P") {
        Paragraph(tag, line);
    } else if (n == "R") {
        saved_orientation_ = Font().Orientation();
        Font().SetOrientation(MarkupNumber(Attribute(tag, "A")) * 10);
    } else if (n == "S") {
        SetStyle(ui::TFontStyle::fsStrikeOut, true);
    } else if (n == "SHAD") {
        shadow_ = true;
    } else if (n == "SUB") {
        sub_ = true;
    } else if (n == "SUP") {
        sup_ = true;
    } else if (n == "U") {
        SetUnderline(true);
    } else if (n == "UL") {
        ++list_level_;
        line.ends = true;
    } else if (n == "Z") {
        hidden_ = true;
    }
}

void Layouter::ClosingTag(const Tag& tag, Line& line) {
    const std::string& n = tag.name;
    if (n == "A") {
        CloseAnchor(line);
    } else if (n == "B") {
        SetStyle(ui::TFontStyle::fsBold, false);
    } else if (!n.empty() && n[0] == 'B') {
        color_ = base_color_;
    } else if (n == "E") {
        error_ = false;
    } else if (n == "FONT") {
        Font().SetName(base_.name);
        Font().SetHeight(base_.height);
        color_ = UnlessSelected(color_, base_color_);
        if (font_brush_set_) brush_ = UnlessSelected(brush_, font_saved_brush_);
        font_brush_set_ = false;
    } else if (n == "HI") {
        if (hi_on_) {
            brush_ = hi_saved_brush_;
            color_ = hi_saved_text_;
        }
        hi_on_ = false;
    } else if (n == "I") {
        SetStyle(ui::TFontStyle::fsItalic, false);
    } else if (n == "LI") {
        line.ends = true;
    } else if (n == "OF") {
        of_offset_ = 0;
    } else if (n == "P") {
        line.ends = true;
        para_background_ = false;
        if (para_brush_set_) brush_ = para_saved_brush_;
        para_brush_set_ = false;
    } else if (n == "R") {
        Font().SetOrientation(saved_orientation_);
    } else if (n == "S") {
        SetStyle(ui::TFontStyle::fsStrikeOut, false);
    } else if (n == "SHAD") {
        shadow_ = false;
    } else if (n == "SUB" || n == "SUP") {
        sub_ = sup_ = false;
    } else if (n == "U") {
        SetUnderline(false);
    } else if (n == "UL") {
        if (list_level_ > 0) --list_level_;
        else SetUnderline(false);
    } else if (n == "Z") {
        hidden_ = false;
    }
}

void Layouter::OpenAnchor(const Tag& tag, Line& line) {
    using Test = MarkupPaintValue::Test;
    using Source = MarkupPaintValue::Source;
    if (anchor_open_) CloseAnchor(line);  // anchors do not nest
    const int n = ++anchor_counter_;
    // Without hover style every anchor is drawn as a hovered one (underlined, on the hover
    // background), but in the URL colour: only hover style shows the hover font colour.
    underline_ = Choice(Test::Decorated, n, Fixed(1), underline_);
    anchor_saved_brush_ = brush_;
    brush_ = Choice(Test::HoverBrush, n, FromPaint(Source::HoverColor), brush_);
    color_ = UnlessSelected(color_, Choice(Test::HoverFont, n, FromPaint(Source::HoverFontColor),
                                            FromPaint(Source::UrlColor)));
    anchor_value_ = FirstQuoted(tag.raw);
    anchor_open_ = true;
    anchor_index_ = out_.anchors.size();
    out_.anchors.push_back({anchor_counter_, anchor_value_, {}});
    line.anchor_marks.push_back({anchor_index_, line.pen, -1});
    line.focus_start = line.pen;
}

void Layouter::CloseAnchor(Line& line) {
    using Test = MarkupPaintValue::Test;
    if (!anchor_open_) return;
    const int n = anchor_counter_;
    underline_ = Choice(Test::Decorated, n, Fixed(0), underline_);
    brush_ = Choice(Test::HoverBrush, n, anchor_saved_brush_, brush_);
    color_ = UnlessSelected(color_, base_color_);
    anchor_open_ = false;
    for (Line::AnchorMark& mark : line.anchor_marks) {
        if (mark.anchor == anchor_index_ && mark.end < 0) mark.end = line.pen;
    }
    if (line.focus_start >= 0) {
        line.focus.push_back({n, line.focus_start, line.pen});
        line.focus_start = -1;
    }
}

void Layouter::Picture(const Tag& tag, Line& line) {
    const int number = ++image_counter_;
    const std::string source = Attribute(tag, "SRC");
    const int width = MarkupNumber(Attribute(tag, "WIDTH"));
    const int height = MarkupNumber(Attribute(tag, "HEIGHT"));
    const MarkupPicture picture = Resolve(source);
    if (picture.kind == MarkupPictureKind::None) return;
    const bool sized = picture.kind == MarkupPictureKind::Picture && width >= 1 && height >= 1;
    const ui::TSize size = sized ? ui::TSize{ui::MulDiv(width, ui::kScreenPixelsPerInch, 96),
                                             ui::MulDiv(height, ui::kScreenPixelsPerInch, 96)}
                                 : picture.size;
    // A picture that fits an empty line but not what is left of this one starts the next line;
    // on a line with nothing on it yet it stays, so the line takes something.
    if (line.has_content && size.cx > Available() - line.width && size.cx <= Available()) {
        --image_counter_;  // counted again on the next line
        line.break_before = true;
        return;
    }
    PendingOp op = Pending(MarkupOpKind::Picture, Vertical::Fixed, true);
    op.op.rect = ui::Bounds(line.pen, line.top, size.cx, size.cy);
    op.op.picture = picture;
    op.op.stretch = sized;
    op.op.image_number = number;
    if (HasAttribute(tag, "ALT")) op.op.alt_source = Attribute(tag, "ALT");
    line.ops.push_back(std::move(op));
    if (anchor_open_) {
        PendingBox box;
        box.box = {anchor_counter_, anchor_value_, ui::Bounds(line.pen, line.top, size.cx, size.cy), true, number, true};
        box.text = false;
        line.boxes.push_back(std::move(box));
    }
    line.width += size.cx;
    line.pen += size.cx;
    line.height = std::max(line.height, size.cy);
    line.has_content = true;
    line.trailing_blank = 0;
    const int gh = LineProbeHeight();
    if (tag.upper.find("\"TOP") != std::string::npos) line.lift = line.height - gh;
    else if (tag.upper.find("\"MIDDLE") != std::string::npos) line.lift = (line.height - gh) / 2;
    if (HasAttribute(tag, "WRAP")) {
        line.height = gh;
        line.lift = 0;
    }
}

void Layouter::ListItem(const Tag& tag, Line& line) {
    bullet_type_ = Attribute(tag, "TYPE", true);
    bullet_color_ = MarkupColor(Attribute(tag, "COLOR", true));
    line.width += list_level_ * kListIndent;
    if (line.list_item) {
        // One list item per line: the second starts the next line, where its bullet is drawn;
        // its indent still counts in this line's width.
        line.break_before = true;
        return;
    }
    line.list_item = true;
    line.pen += list_level_ * kListIndent - kListIndent;
    if (!hidden_) {
        if (bullet_type_ == "SQUARE" || bullet_type_ == "CIRCLE") {
            // Without COLOR the shape has no colour of its own: it is not filled.
            PendingOp bullet = Pending(MarkupOpKind::Bullet, Vertical::Fixed, true);
            bullet.op.rect = ui::Bounds(line.pen, line.top + kBulletTop, kBulletSize, kBulletSize);
            bullet.op.color = bullet_color_;
            bullet.op.circle = bullet_type_ == "CIRCLE";
            line.ops.push_back(bullet);
        } else if (bullet_type_.empty()) {
            PendingOp mark = Pending(MarkupOpKind::Text, Vertical::Run, true);
            mark.op.rect = ui::Rect(line.pen, line.top, 0, 0);
            mark.op.text = list_level_ % 2 == 1 ? "\xE2\x80\xA2" : "o";
            mark.op.font = MarkupFont::Of(Font());
            mark.op.font.name = "Symbol";
            if (bullet_color_ != ui::clNone) mark.op.font.color = bullet_color_;
            else mark.op.color_value = color_;
            mark.op.underline_value = underline_;
            mark.op.flags = TDrawTextFlags::dtSingleLine | TDrawTextFlags::dtBottom;
            line.ops.push_back(std::move(mark));
        }
    }
    line.pen += kListIndent;
}

void Layouter::Body(const Tag& tag, Line& line) {
    // A selected text is painted without the backgrounds.
    if (shown_unless_selected_ < 0) shown_unless_selected_ = UnlessSelected(Fixed(0), Fixed(1));
    auto picture_at = [&](const std::string& attribute, int where) {
        // where: 0 tiled, 1 top-left, 2 top-right
        const std::string source = Attribute(tag, attribute);
        if (source.empty()) return;
        const MarkupPicture picture = Resolve(source);
        if (picture.kind == MarkupPictureKind::None) return;
        PendingOp op = Pending(MarkupOpKind::Picture, Vertical::Fixed, false);
        op.op.picture = picture;
        op.op.shown_value = shown_unless_selected_;
        const bool icon = picture.kind != MarkupPictureKind::Picture;
        // Icons are not tiled, and an image-list picture in the top-left corner stands at the pen.
        if ((where == 0 && icon) || (where == 1 && picture.kind == MarkupPictureKind::ImageList)) {
            op.in_line = true;
            op.op.rect = ui::Bounds(line.pen, line.top, picture.size.cx, picture.size.cy);
        } else if (where == 0) {
            if (picture.size.cx <= 0 || picture.size.cy <= 0) return;
            op.op.kind = MarkupOpKind::TiledPicture;
            op.op.rect = rect_;
            op.op.width = picture.size.cx;
        } else {
            const int left = where == 1 ? rect_.Left : rect_.Right - picture.size.cx;
            op.op.rect = ui::Bounds(left, rect_.Top, picture.size.cx, picture.size.cy);
        }
        line.ops.push_back(std::move(op));
    };
    picture_at("BACKGROUND", 0);
    picture_at("BGTOPLEFT", 1);
    picture_at("BGTOPRIGHT", 2);
    const ui::TColor from = MarkupColor(Attribute(tag, "BGCOLOR", true));
    if (from == ui::clNone) return;
    const ui::TColor to = MarkupColor(Attribute(tag, "BGCOLORTO", true));
    PendingOp op = Pending(MarkupOpKind::Fill, Vertical::Fixed, false);
    op.op.color = from;
    op.op.shown_value = shown_unless_selected_;
    if (to == ui::clNone) {
        op.op.rect = ui::Rect(rect_.Left - 2, rect_.Top, rect_.Right, rect_.Bottom);
    } else {
        op.op.kind = MarkupOpKind::Gradient;
        op.op.rect = rect_;
        op.op.color_to = to;
        const std::string dir = Attribute(tag, "DIR", true);
        op.op.horizontal = dir.empty() || dir == "H";
    }
    line.ops.push_back(std::move(op));
}

void Layouter::Paragraph(const Tag& tag, Line& line) {
    const std::string align = Attribute(tag, "ALIGN", true);
    if (align == "LEFT") align_ = ParagraphAlign::Left;
    else if (align == "RIGHT") align_ = ParagraphAlign::Right;
    else if (align == "CENTER") align_ = ParagraphAlign::Center;
    if (HasAttribute(tag, "INDENT")) indent_ = MarkupNumber(Attribute(tag, "INDENT"));
    const ui::TColor from = MarkupColor(Attribute(tag, "BGCOLOR", true));
    if (from == ui::clNone) return;
    const ui::TColor to = MarkupColor(Attribute(tag, "BGCOLORTO", true));
    PendingOp band = Pending(MarkupOpKind::Fill, Vertical::Band, false);
    band.op.color = from;
    if (to != ui::clNone) {
        band.op.kind = MarkupOpKind::Gradient;
        band.op.color_to = to;
        band.vertical = Vertical::BandGradient;
    } else {
        // The text cells take the paragraph's colour too.
        if (!para_brush_set_) para_saved_brush_ = brush_;
        para_brush_set_ = true;
        brush_ = from;
    }
    line.ops.push_back(band);
    para_background_ = true;
    para_color_ = from;
}

void Layouter::FinishLine(Line& line) {
    line.height += o_.line_spacing;
    int left = rect_.Left;
    if (align_ == ParagraphAlign::Right && rect_.Right - line.width > left) left = rect_.Right - line.width;
    else if (align_ == ParagraphAlign::Center && rect_.Right - left - line.width > 0) left += (rect_.Right - left - line.width) / 2;
    left += indent_;
    const int bottom = line.top + line.height + line.sub + line.sup;
    auto run_bottom = [&](bool sub, bool sup) {
        return bottom - line.sub + (sub ? line.sub : 0) - (sup ? line.sup : 0) - line.lift;
    };
    const int w_width = canvas_.TextWidth("w");
    for (PendingOp& p : line.ops) {
        MarkupOp& op = p.op;
        if (p.in_line) {
            op.rect.Left += left;
            op.rect.Right += left;
        }
        switch (p.vertical) {
            case Vertical::Fixed: break;
            case Vertical::Run:
                op.rect.Right = rect_.Right;
                op.rect.Bottom = run_bottom(p.sub, p.sup);
                // Without word wrap a run starting within a "w" of the right edge is not drawn.
                if (!o_.word_wrap && op.kind == MarkupOpKind::Text && op.rect.Left >= rect_.Right - w_width) continue;
                break;
            case Vertical::Rule: {
                const int y = run_bottom(false, false) + 1;
                op.rect = ui::Rect(rect_.Left, y, rect_.Right, y + 1);
                break;
            }
            case Vertical::Band: op.rect = ui::Rect(rect_.Left, line.top, rect_.Right, bottom); break;
            case Vertical::BandGradient: op.rect = ui::Rect(rect_.Left, line.top, rect_.Right, bottom + 2); break;
        }
        out_.ops.push_back(std::move(op));
    }
    for (const Line::FocusMark& mark : line.focus) {
        MarkupOp focus;
        focus.kind = MarkupOpKind::FocusRect;
        const int b = run_bottom(false, false);
        focus.rect = ui::Rect(left + mark.start - 1, b - line.gh, left + mark.end + 1, b);
        focus.shown_value = Choice(MarkupPaintValue::Test::Focused, mark.anchor, Fixed(1), Fixed(0));
        out_.ops.push_back(std::move(focus));
    }
    for (PendingBox& p : line.boxes) {
        MarkupAnchorBox box = p.box;
        box.box.Left += left;
        box.box.Right += left;
        if (p.text) {
            const int b = run_bottom(p.sub, p.sup);
            box.box.Top = b - p.height;
            box.box.Bottom = b;
        }
        out_.boxes.push_back(std::move(box));
    }
    for (const Line::AnchorMark& mark : line.anchor_marks) {
        // An anchor's hover rectangle covers its part on the line where it ends; an anchor left
        // open at the end of the text ends with its last line.
        MarkupAnchor& anchor = out_.anchors[mark.anchor];
        const int end = mark.end >= 0 ? mark.end : line.pen;
        anchor.hover_rect = ui::Rect(left + mark.start, line.top, left + end, bottom);
    }
}

}  // namespace

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

bool MarkupLayout::PicturesUnchanged(const MarkupPictureSources& now) const {
    for (const auto& [source, picture] : resolved_pictures) {
        const MarkupPicture again = ResolveMarkupPicture(source, now);
        if (again.kind != picture.kind || again.image_index != picture.image_index || again.large != picture.large ||
            again.shell_name != picture.shell_name || again.picture != picture.picture || again.size != picture.size)
            return false;
    }
    return true;
}

MarkupLayout LayoutMarkup(ui::TCanvas& canvas, const MarkupLayoutInputs& inputs) {
    return Layouter(canvas, inputs).Run(inputs.text);
}

}  // namespace panel
