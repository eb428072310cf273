// The texts of an item, through the platform's text drawing or the anti-aliasing layer.
#include "controls/menus/menu_text.h"

#include <optional>
#include <vector>

#include "controls/menus/fine_main_menu.h"
#include "controls/menus/gdip.h"
#include "controls/menus/menu_item_checks.h"
#include "controls/menus/menu_smoothed_text.h"
#include "controls/menus/menu_styler.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/core/sysutils.h"
#include "platform/ui/graphics/draw_text.h"

namespace menus {

namespace {

// The format's single-line bit alone.
ui::TDrawTextFlags SingleLineOf(ui::TDrawTextFlags format) {
    return HasFlag(format, ui::TDrawTextFlags::dtSingleLine) ? ui::TDrawTextFlags::dtSingleLine
                                                             : ui::TDrawTextFlags::dtLeft;
}

// Splits a caption at its note breaks.
std::vector<std::string> NoteLines(const std::string& caption) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = caption.find(kNoteBreak, start)) != std::string::npos; start = at + 2) {
        lines.push_back(caption.substr(start, at - start));
    }
    lines.push_back(caption.substr(start));
    return lines;
}

// The number of bytes of the UTF-8 letter that starts at `at`: a lead byte's sequence as far as
// its continuation bytes go, one byte for anything malformed.
std::size_t LetterLength(const std::string& text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t expected = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t length = 1;
    while (length < expected && at + length < text.size() &&
           (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

}  // namespace

int DrawTextA(ui::TCanvas& canvas, const std::string& text, ui::TRect& rect, ui::TDrawTextFlags format) {
    const std::string shown = ui::StripHotkey(text);
    const int height = ui::DrawText(canvas, shown, rect, format);
    if (HasFlag(format, ui::TDrawTextFlags::dtCalcRect)) return height;
    // Underline the mnemonic under its character.
    std::size_t at = std::string::npos;
    for (std::size_t i = 0, shown_pos = 0; i < text.size(); ++i, ++shown_pos) {
        if (text[i] != '&' || i + 1 >= text.size()) continue;
        ++i;
        if (text[i] != '&') {
            at = shown_pos;
            break;
        }
    }
    if (at == std::string::npos || at >= shown.size()) return height;
    const int total = canvas.TextWidth(shown);
    int x = rect.Left;
    if (HasFlag(format, ui::TDrawTextFlags::dtCenter)) x = rect.Left + (rect.Width() - total) / 2;
    if (HasFlag(format, ui::TDrawTextFlags::dtRight)) x = rect.Right - total;
    x += canvas.TextWidth(shown.substr(0, at));
    // The whole letter, however many bytes it takes.
    const int w = canvas.TextWidth(shown.substr(at, LetterLength(shown, at)));
    // The text stands at the rectangle's top (single lines are not centred without being asked).
    const int top = rect.Top;
    // Below the baseline where the font puts its own underline, clear of the glyphs.
    const ui::TTextMetric metric = canvas.TextMetric();
    const int underline = top + metric.Ascent + metric.UnderlinePosition;
    ui::TBrush saved;
    saved.Assign(&canvas.Brush());
    canvas.Brush().SetColor(canvas.Font().Color());
    canvas.FillRect(ui::TRect{x, underline, x + w, underline + metric.UnderlineThickness});
    canvas.SetBrush(saved);
    return height;
}

ui::TSize TextSize(ui::TCanvas& canvas, const std::string& text) {
    ui::TRect r{0, 0, 0, 0};
    DrawTextA(canvas, text, r, ui::TDrawTextFlags::dtCalcRect | ui::TDrawTextFlags::dtSingleLine);
    return ui::TSize{r.Width(), r.Height()};
}

void DrawMenuText(ui::TMenuItem* item, ui::TCanvas& canvas, const std::string& text, ui::TDrawTextFlags format,
                  ui::TOwnerDrawState state, ui::TRect& rect) {
    TFineMainMenu* menu = StyledMenuOf(item);
    if (menu == nullptr) return;
    TCustomFineMenuStyler& s = *menu->CurrentStyler();
    std::string shown = text;
    if (HasFlag(format, ui::TDrawTextFlags::dtCalcRect) && (shown.empty() || shown == "&")) shown += " ";
    canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
    const bool selected = (state & kSelected) != 0;
    const bool root = IsRootItem(item);
    if (root) {
        canvas.SetFont(s.RootItem().UseSystemFont() ? ui::Screen().MenuFont() : s.RootItem().Font());
        if (selected && s.RootItem().SelectedTextColor() != ui::clNone) {
            canvas.Font().SetColor(s.RootItem().SelectedTextColor());
        } else if ((state & kHot) != 0 && s.RootItem().HoverTextColor() != ui::clNone) {
            canvas.Font().SetColor(s.RootItem().HoverTextColor());
        }
    } else if (!selected) {
        canvas.SetFont(s.UseSystemFont() ? ui::Screen().MenuFont() : s.Font());
    } else {
        canvas.SetFont(s.SelectedItem().UseSystemFont() ? ui::Screen().MenuFont() : s.SelectedItem().Font());
    }
    if ((state & kDefault) != 0) canvas.Font().SetStyle(canvas.Font().Style().Include(ui::TFontStyle::fsBold));
    ui::TColor disabled = ui::clNone;
    if (!item->Enabled()) {
        disabled = !selected                                                            ? ui::clBtnShadow
                   : ui::ColorToRGB(ui::clHighlight) == ui::ColorToRGB(ui::clBtnShadow) ? ui::clBtnHighlight
                                                                                        : ui::clBtnShadow;
    }
    const bool gdip = s.AntiAlias() != TAntiAlias::aaNone && !HasFlag(format, ui::TDrawTextFlags::dtCalcRect);
    if (HasNotes(item, shown)) {
        // A caption with notes measures as the whole rectangle it is given, so that its lines
        // stand from the item's top down rather than centred as one block.
        if (HasFlag(format, ui::TDrawTextFlags::dtCalcRect)) return;
        const std::vector<std::string> lines = NoteLines(shown);
        const ui::TFont& notes_font = selected ? s.SelectedItem().NotesFont() : s.NotesFont();
        if (disabled != ui::clNone) canvas.Font().SetColor(disabled);
        ui::TRect line = rect;
        if (gdip) {
            // The lines keep the near alignment and stand from the rectangle's top down. A line
            // the text layer fails to draw goes through the platform's text drawing at its place.
            auto plain = [&](const std::string& text, const RectF& layout) {
                ui::TRect at{rect.Left, static_cast<int>(layout.Y), rect.Right, rect.Bottom};
                DrawTextA(canvas, text, at, SingleLineOf(format));
            };
            GdipTextWriter writer(canvas, s.AntiAlias());
            writer.UseFont(canvas.Font());
            RectF layout = LayoutOf(rect);
            if (!writer.Draw(lines[0], layout, canvas.Font().Color())) plain(lines[0], layout);
            const ui::TColor notes_colour = disabled != ui::clNone ? disabled : notes_font.Color();
            writer.UseFont(notes_font);
            layout.Y += 20;
            std::optional<int> h = writer.LineHeight(layout);
            if (!h) {
                ui::TCanvas measure;
                measure.SetFont(notes_font);
                h = measure.TextHeight("gh");
            }
            for (std::size_t i = 1; i < lines.size(); ++i) {
                if (!writer.Draw(lines[i], layout, notes_colour)) {
                    canvas.SetFont(notes_font);
                    canvas.Font().SetColor(notes_colour);
                    plain(lines[i], layout);
                }
                layout.Y += static_cast<float>(*h);
            }
            return;
        }
        DrawTextA(canvas, lines[0], line, SingleLineOf(format));
        line.Top += canvas.TextHeight("gh");
        canvas.SetFont(notes_font);
        if (disabled != ui::clNone) canvas.Font().SetColor(disabled);
        const int h = canvas.TextHeight("gh");
        for (std::size_t i = 1; i < lines.size(); ++i) {
            DrawTextA(canvas, lines[i], line, SingleLineOf(format));
            line.Top += h;
        }
        return;
    }
    if (disabled != ui::clNone) canvas.Font().SetColor(disabled);
    if (!gdip) {
        DrawTextA(canvas, shown, rect, format);
        return;
    }
    GdipTextWriter writer(canvas, s.AntiAlias());
    writer.UseFont(canvas.Font());
    writer.Format().SetLineAlignment(gdiplus::StringAlignmentCenter);
    if (root)
        writer.Format().SetAlignment(gdiplus::StringAlignmentCenter);
    else if (HasFlag(format, ui::TDrawTextFlags::dtRight))
        writer.Format().SetAlignment(gdiplus::StringAlignmentFar);
    if (!writer.Draw(shown, LayoutOf(rect), canvas.Font().Color())) DrawTextA(canvas, shown, rect, format);
}

}  // namespace menus
