#include "platform/ui/graphics/draw_text.h"

#include <algorithm>
#include <vector>

namespace ui {

namespace {

constexpr const char* kEllipsis = "...";

// Length of the UTF-8 sequence starting with byte `lead` (1 for stray continuation bytes, so
// broken input still advances).
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

// Byte offsets at which whole characters end, so cuts never split a character.
std::vector<std::size_t> CharacterEnds(const std::string& s) {
    std::vector<std::size_t> ends;
    std::size_t i = 0;
    while (i < s.size()) {
        i = std::min(s.size(), i + SequenceLength(static_cast<unsigned char>(s[i])));
        ends.push_back(i);
    }
    return ends;
}

// The longest prefix of `line` that fits `width` together with "..." appended. When not even
// the ellipsis fits, the ellipsis alone is returned (clipping then cuts it).
std::string WithEndEllipsis(const TCanvas& canvas, const std::string& line, int width) {
    if (canvas.TextWidth(line) <= width) return line;
    const std::vector<std::size_t> ends = CharacterEnds(line);
    // Binary search over the number of characters kept: the width grows with the prefix.
    std::size_t lo = 0;
    std::size_t hi = ends.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        if (canvas.TextWidth(line.substr(0, ends[mid - 1]) + kEllipsis) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    return (lo == 0 ? std::string() : line.substr(0, ends[lo - 1])) + kEllipsis;
}

// Splits at explicit line breaks ("\r\n", "\n", "\r").
std::vector<std::string> SplitParagraphs(const std::string& text) {
    std::vector<std::string> out(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

// Greedy word wrap of one paragraph: words are kept whole; the spaces at a break are dropped.
void WrapParagraph(const TCanvas& canvas, const std::string& para, int width, std::vector<std::string>& lines) {
    std::string current;
    std::size_t i = 0;
    bool any = false;
    while (i < para.size()) {
        std::size_t space_end = i;
        while (space_end < para.size() && para[space_end] == ' ') ++space_end;
        std::size_t word_end = space_end;
        while (word_end < para.size() && para[word_end] != ' ') ++word_end;
        const std::string spaces = para.substr(i, space_end - i);
        const std::string word = para.substr(space_end, word_end - space_end);
        const std::string candidate = current + spaces + word;
        if (!current.empty() && canvas.TextWidth(candidate) > width) {
            lines.push_back(current);
            current = word;
        } else {
            current = candidate;
        }
        any = true;
        i = word_end;
    }
    if (any || lines.empty() || para.empty()) lines.push_back(current);
}

}  // namespace

std::vector<std::string> BreakTextLines(const TCanvas& canvas, const std::string& text, int width,
                                        TDrawTextFlags flags) {
    std::vector<std::string> lines;
    if (HasFlag(flags, TDrawTextFlags::dtSingleLine)) {
        // A single line shows line breaks as nothing rather than breaking.
        std::string line;
        for (char c : text) {
            if (c != '\r' && c != '\n') line += c;
        }
        lines.push_back(std::move(line));
    } else if (HasFlag(flags, TDrawTextFlags::dtWordBreak)) {
        for (const std::string& para : SplitParagraphs(text)) WrapParagraph(canvas, para, width, lines);
    } else {
        lines = SplitParagraphs(text);
    }
    if (HasFlag(flags, TDrawTextFlags::dtEndEllipsis)) {
        for (std::string& line : lines) line = WithEndEllipsis(canvas, line, std::max(0, width));
    }
    return lines;
}

int DrawText(TCanvas& canvas, const std::string& text, TRect& rect, TDrawTextFlags flags) {
    if (text.empty()) {
        if (HasFlag(flags, TDrawTextFlags::dtCalcRect)) {
            rect.Right = rect.Left;
            rect.Bottom = rect.Top;
        }
        return 0;
    }
    const int width = rect.Width();
    const std::vector<std::string> lines = BreakTextLines(canvas, text, width, flags);
    const int line_height = canvas.TextHeight("Wg");
    const int total_height = line_height * static_cast<int>(lines.size());

    if (HasFlag(flags, TDrawTextFlags::dtCalcRect)) {
        int widest = 0;
        for (const std::string& line : lines) widest = std::max(widest, canvas.TextWidth(line));
        rect.Right = rect.Left + widest;
        rect.Bottom = rect.Top + total_height;
        return total_height;
    }

    int y = rect.Top;
    if (HasFlag(flags, TDrawTextFlags::dtSingleLine)) {
        if (HasFlag(flags, TDrawTextFlags::dtVCenter))
            y = rect.Top + (rect.Height() - line_height) / 2;
        else if (HasFlag(flags, TDrawTextFlags::dtBottom))
            y = rect.Bottom - line_height;
    }
    const bool clip = !HasFlag(flags, TDrawTextFlags::dtNoClip);
    for (const std::string& line : lines) {
        const int w = canvas.TextWidth(line);
        int x = rect.Left;
        if (HasFlag(flags, TDrawTextFlags::dtRight))
            x = rect.Right - w;
        else if (HasFlag(flags, TDrawTextFlags::dtCenter))
            x = rect.Left + (width - w) / 2;
        if (clip) {
            if (y >= rect.Bottom) break;  // lines below the rectangle are cut away whole
            canvas.TextRect(rect, x, y, line);
        } else {
            canvas.TextOut(x, y, line);
        }
        y += line_height;
    }
    return total_height;
}

}  // namespace ui
