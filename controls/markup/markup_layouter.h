// The layout pass of markup texts, shared by its files: the state that carries from tag to tag
// and line to line, and the lines being built. Private to the markup layout.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "controls/markup/markup_layout.h"
#include "controls/markup/markup_tag_reader.h"

namespace panel::markup {

using ui::TDrawTextFlags;

constexpr int kListIndent = 12;  // pixels per list level, and the room of a bullet
constexpr int kBulletSize = 8;
constexpr int kBulletTop = 2;
constexpr const char* kLineProbe = "gh";  // the text whose height is one line of the font
constexpr int kLargestPoints = 1000;

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

inline PendingOp Pending(MarkupOpKind kind, Vertical vertical, bool in_line, bool sub = false, bool sup = false) {
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

// The open anchor and the count of anchors so far.
struct AnchorState {
    int counter = 0;
    bool open = false;
    std::string value;
    std::size_t index = 0;                              // into the layout's anchors
    MarkupValueRef saved_brush = MarkupValueRef::None;  // the text cells' background before it
};

// The list level (UL) and the current item's bullet (LI).
struct ListState {
    int level = 0;
    std::string bullet_type;
    ui::TColor bullet_color = ui::clNone;
};

// The paragraph (P): alignment, indent and the background of its line bands.
struct ParagraphState {
    ParagraphAlign align = ParagraphAlign::Left;
    int indent = 0;
    bool background = false;
    ui::TColor color = ui::clNone;
    bool brush_set = false;
    MarkupValueRef saved_brush = MarkupValueRef::None;
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

    // The line builder (markup_line_builder.cpp): lines broken, runs placed, lines aligned.
    void LayoutLine(std::string& text, Line& line);
    void PlaceRun(const std::string& run, Line& line, std::string& text, std::size_t end);
    // The tags: the table of markup_tag_handlers.cpp, and a file each for anchors, pictures,
    // lists and backgrounds.
    void HandleTag(const Tag& tag, Line& line);
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
    MarkupValueRef Fixed(ui::TColor value) { return Value({MarkupPaintValue::Source::Fixed, value}); }
    MarkupValueRef FromPaint(MarkupPaintValue::Source source) { return Value({source}); }
    MarkupValueRef Choice(MarkupPaintValue::Test test, int anchor, MarkupValueRef when_true,
                          MarkupValueRef when_false) {
        return Value({MarkupPaintValue::Source::Choice, ui::clNone, test, anchor, when_true, when_false});
    }
    MarkupValueRef Value(const MarkupPaintValue& value) {
        out_.values.push_back(value);
        return static_cast<MarkupValueRef>(out_.values.size() - 1);
    }
    // What stays as it is when the text is painted selected, else becomes `value`.
    MarkupValueRef UnlessSelected(MarkupValueRef kept, MarkupValueRef value) {
        return Choice(MarkupPaintValue::Test::Selected, 0, kept, value);
    }

    ui::TCanvas& canvas_;
    const ui::TRect rect_;
    const MarkupLayoutInputs& o_;
    const MarkupFont base_;
    MarkupLayout out_;
    bool no_prefix_ = false;

    // Paint values of the base font's colour, the text colour, the text cells' background and
    // the underline.
    MarkupValueRef base_color_ = MarkupValueRef::None;
    MarkupValueRef color_ = MarkupValueRef::None;
    MarkupValueRef brush_ = MarkupValueRef::None;
    MarkupValueRef underline_ = MarkupValueRef::None;
    MarkupValueRef shown_unless_selected_ = MarkupValueRef::None;
    AnchorState anchor_;
    int image_counter_ = 0;
    ListState list_;
    bool hidden_ = false;
    bool shadow_ = false;
    bool error_ = false;
    bool sub_ = false;
    bool sup_ = false;
    ParagraphState para_;
    bool font_brush_set_ = false;  // as the text is painted unselected
    MarkupValueRef font_saved_brush_ = MarkupValueRef::None;
    MarkupValueRef hi_saved_brush_ = MarkupValueRef::None;
    MarkupValueRef hi_saved_text_ = MarkupValueRef::None;
    bool hi_on_ = false;
    int saved_orientation_ = 0;
    int of_offset_ = 0;
};

}  // namespace panel::markup
