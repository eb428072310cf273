#include "controls/markup/markup_pictures.h"

#include <cmath>

#include "controls/markup/markup_text.h"
#include "platform/ui/controls/shell_icons.h"
#include "platform/ui/core/sysutils.h"

namespace panel {

namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The whole text as a non-negative decimal number.
bool WholeNumber(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

ui::TSize Scaled(ui::TSize size) {
    // The canvas measures at the screen resolution the sizes are given for.
    return ui::TSize{ui::MulDiv(size.cx, ui::kScreenPixelsPerInch, 96),
                     ui::MulDiv(size.cy, ui::kScreenPixelsPerInch, 96)};
}

}  // namespace

MarkupPicture ResolveMarkupPicture(const std::string& source, const MarkupPictureSources& sources) {
    MarkupPicture out;
    const std::string upper = ui::UpperCase(source);
    if (StartsWith(upper, "IDX:")) {
        const int index = MarkupNumber(source.substr(4));
        if (sources.images && index < sources.images->Count()) {
            out.kind = MarkupPictureKind::ImageList;
            out.image_index = index;
            out.size = Scaled(ui::TSize{sources.images->Width(), sources.images->Height()});
        }
        return out;
    }
    if (StartsWith(upper, "SSYS:") || StartsWith(upper, "LSYS:")) {
        out.kind = MarkupPictureKind::ShellIcon;
        out.large = upper[0] == 'L';
        out.shell_name = source.substr(5);
        out.size = Scaled(ui::ShellIconSize(out.large));
        return out;
    }
    THTMLPicture* picture = nullptr;
    if (source.find(':') == std::string::npos) {
        if (sources.container) picture = sources.container->FindPicture(source);
    } else if (source.find("://") != std::string::npos) {
        if (sources.cache) picture = sources.cache->PictureForAddress(source);
    }
    if (picture && !picture->Empty()) {
        out.kind = MarkupPictureKind::Picture;
        out.picture = picture;
        out.size = Scaled(ui::TSize{picture->AnimationWidth(), picture->AnimationHeight()});
    }
    return out;
}

ui::TSize DrawShellIcon(ui::TCanvas& canvas, int x, int y, bool large, bool draw, bool print, double factor,
                        const std::string& name) {
    const ui::TSize size = ui::ShellIconSize(large);
    if (!draw) return size;
    int index = 0;
    const bool stock = WholeNumber(name, index);
    auto draw_on = [&](ui::TCanvas& target, int tx, int ty) {
        if (stock)
            ui::DrawShellStockIcon(target, tx, ty, large, index);
        else
            ui::DrawShellFileIcon(target, tx, ty, large, name);
    };
    if (!print) {
        draw_on(canvas, x, y);
        return size;
    }
    ui::TBitmap bitmap;
    bitmap.SetSize(size.cx, size.cy);
    bitmap.Canvas().Brush().SetColor(ui::clWhite);
    bitmap.Canvas().FillRect(ui::Rect(0, 0, size.cx, size.cy));
    draw_on(bitmap.Canvas(), 0, 0);
    DrawScaledBitmap(canvas,
                     ui::Bounds(x, y, static_cast<int>(std::lround(size.cx * factor)),
                                static_cast<int>(std::lround(size.cy * factor))),
                     bitmap);
    return size;
}

void GradientFill(ui::TCanvas& canvas, ui::TColor start, ui::TColor end, bool horizontal, const ui::TRect& rect,
                  int steps, ui::TColor border) {
    if (steps <= 0) steps = 1;
    const ui::TColor from = ui::ColorToRGB(start);
    const ui::TColor to = ui::ColorToRGB(end);
    const int origin = horizontal ? rect.Left : rect.Top;
    const int far_edge = horizontal ? rect.Right : rect.Bottom;
    const double stripe = static_cast<double>(far_edge - origin) / steps;
    const int whole = static_cast<int>(stripe);
    auto channel = [&](std::uint8_t a, std::uint8_t b, int i) {
        return static_cast<std::uint8_t>(a + ui::Round(static_cast<double>(i) * (b - a) / steps));
    };
    for (int i = 0; i < steps; ++i) {
        const ui::TColor colour =
            ui::MakeColor(channel(ui::RedOf(from), ui::RedOf(to), i), channel(ui::GreenOf(from), ui::GreenOf(to), i),
                          channel(ui::BlueOf(from), ui::BlueOf(to), i));
        const int a = origin + static_cast<int>(ui::Round(i * stripe));
        const int b = std::min(far_edge, a + whole + 1);
        if (b <= a) continue;
        canvas.Pen().SetColor(colour);
        canvas.Brush().SetColor(colour);
        if (horizontal)
            canvas.Rectangle(a, rect.Top, b, rect.Bottom);
        else
            canvas.Rectangle(rect.Left, a, rect.Right, b);
    }
    if (border != ui::clNone) {
        canvas.Brush().SetColor(border);
        canvas.FrameRect(rect);
    }
}

void DrawScaledBitmap(ui::TCanvas& canvas, const ui::TRect& dest, const ui::TBitmap& bitmap) {
    canvas.CopyImage(dest, bitmap.Image(), ui::Rect(0, 0, bitmap.Width(), bitmap.Height()));
}

}  // namespace panel
