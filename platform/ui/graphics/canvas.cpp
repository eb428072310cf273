#include "platform/ui/graphics/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/ui/graphics/graphic.h"

namespace ui {

namespace {

// Pixels are read and written as 0xAARRGGBB. The two layouts of our bitmaps (and the 32-bit
// layouts of widget images) are handled on the bytes, so nothing is blended or premultiplied.
bool IsFourByte(QImage::Format f) {
    return f == QImage::Format_ARGB32 || f == QImage::Format_RGB32 || f == QImage::Format_ARGB32_Premultiplied;
}

bool HasAlpha(const QImage& image) { return image.format() == QImage::Format_ARGB32; }

// Pixel x of `line`, row y of `image`, whose format is `f`: the callers fetch the row and the
// format once per row, since Qt checks (and for a writable row, detaches) on every such call.
std::uint32_t ReadArgbIn(const uchar* line, QImage::Format f, const QImage& image, int x, int y) {
    if (IsFourByte(f)) {
        std::uint32_t v = 0;
        std::memcpy(&v, line + 4 * x, 4);
        if (f == QImage::Format_RGB32) v |= 0xFF000000u;
        return v;
    }
    if (f == QImage::Format_BGR888) {
        const uchar* p = line + 3 * x;
        return 0xFF000000u | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
    return image.pixel(x, y);
}

void WriteArgbIn(uchar* line, QImage::Format f, QImage& image, int x, int y, std::uint32_t argb) {
    if (IsFourByte(f)) {
        if (f == QImage::Format_RGB32) argb |= 0xFF000000u;
        std::memcpy(line + 4 * x, &argb, 4);
        return;
    }
    if (f == QImage::Format_BGR888) {
        uchar* p = line + 3 * x;
        p[0] = static_cast<uchar>(argb);
        p[1] = static_cast<uchar>(argb >> 8);
        p[2] = static_cast<uchar>(argb >> 16);
        return;
    }
    image.setPixel(x, y, argb);
}

std::uint32_t ReadArgb(const QImage& image, int x, int y) {
    return ReadArgbIn(image.constScanLine(y), image.format(), image, x, y);
}

void WriteArgb(QImage& image, int x, int y, std::uint32_t argb) {
    WriteArgbIn(image.scanLine(y), image.format(), image, x, y, argb);
}

// 0x00BBGGRR -> opaque 0xFFRRGGBB.
std::uint32_t ToArgb(TColor color) {
    const TColor c = ColorToRGB(color);
    return 0xFF000000u | (std::uint32_t{RedOf(c)} << 16) | (std::uint32_t{GreenOf(c)} << 8) | BlueOf(c);
}

TColor FromArgb(std::uint32_t argb) {
    return MakeColor(static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
                     static_cast<std::uint8_t>(argb));
}

QColor ToQColor(TColor color) {
    const TColor c = ColorToRGB(color);
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

bool Usable(const QImage* image) { return image != nullptr && !image->isNull(); }

}  // namespace

// Maps a font of the form definitions onto an installed family at the same pixel size.
QFont MakeQFont(const TFont& font) {
    QFont q(QString::fromStdString(font.FamilyName()));
    q.setBold(font.Style().Contains(TFontStyle::fsBold));
    q.setItalic(font.Style().Contains(TFontStyle::fsItalic));
    q.setUnderline(font.Style().Contains(TFontStyle::fsUnderline));
    q.setStrikeOut(font.Style().Contains(TFontStyle::fsStrikeOut));
    // Text as the desktop draws it: grey-scale smoothed edges (no sub-pixel colour fringes, so
    // the pixels do not depend on the screen's sub-pixel order), glyphs fitted to the pixel grid
    // with whole-pixel advances, and neither kerning nor ligatures: the width of a text is the
    // sum of its characters' advances, so a text measured or drawn in pieces (word wrap, the end
    // ellipsis, markup runs, a mnemonic's underline) lines up with the same text drawn whole.
    q.setStyleStrategy(
        QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias | QFont::PreferNoShaping));
    q.setHintingPreference(QFont::PreferFullHinting);
    q.setKerning(false);
    const int height = font.Height();
    if (height < 0) {
        q.setPixelSize(-height);
    } else if (height > 0) {
        // A positive height is the whole cell (ascent + descent): scale the em size to fit it.
        q.setPixelSize(height);
        const int cell = QFontMetrics(q).height();
        if (cell > 0) q.setPixelSize(std::max(1, (height * height + cell / 2) / cell));
    } else {
        q.setPixelSize(11);
    }
    return q;
}

TTextMetric TextMetricOf(const QFont& font) {
    const QFontMetrics metrics(font);
    // The row the font's own underline (fsUnderline) starts on: its offset below the baseline
    // rounded up to a whole row, never on the baseline's row itself.
    const int underline = static_cast<int>(std::ceil(QFontMetricsF(font).underlinePos()));
    return TTextMetric{metrics.ascent(), metrics.descent(), std::max(1, underline), std::max(1, metrics.lineWidth())};
}

// The one place that opens a painter on a canvas's image, with the settings every drawing
// operation needs (shapes with hard pixel edges, text smoothed as its font asks); it ends when
// it goes out of scope.
class CanvasPainter {
public:
    explicit CanvasPainter(TCanvas& canvas) : painter_(canvas.image_) {
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setRenderHint(QPainter::TextAntialiasing, true);
        painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    QPainter& operator*() { return painter_; }
    QPainter* operator->() { return &painter_; }

private:
    QPainter painter_;
};

TCanvas::TCanvas() = default;

TCanvas::TCanvas(QImage* image) : image_(image) {}

TCanvas::TCanvas(void* bits, int width, int height, int bytes_per_line, TPixelFormat format) {
    if (bits != nullptr && width > 0 && height > 0) {
        const QImage::Format f = format == TPixelFormat::pf32bit ? QImage::Format_ARGB32 : QImage::Format_BGR888;
        wrapped_ = std::make_unique<QImage>(static_cast<uchar*>(bits), width, height, bytes_per_line, f);
        image_ = wrapped_.get();
    }
}

TCanvas::~TCanvas() = default;

void TCanvas::Attach(QImage* image) {
    wrapped_.reset();
    image_ = image;
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

int TCanvas::Width() const { return Usable(image_) ? image_->width() : 0; }
int TCanvas::Height() const { return Usable(image_) ? image_->height() : 0; }

TColor TCanvas::Pixels(int x, int y) const {
    if (!Usable(image_) || x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) return 0xFFFFFFFFu;
    return FromArgb(ReadArgb(*image_, x, y));
}

void TCanvas::SetPixels(int x, int y, TColor color) {
    if (color == clNone || !Usable(image_) || x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) return;
    WriteArgb(*image_, x, y, ToArgb(color));
    Changed();
}

namespace {

// Sets one pen pixel with the pen's mix mode; outside the picture nothing happens.
void PlotPen(QImage& image, int x, int y, const TPen& pen) {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
    const std::uint32_t colour = ToArgb(pen.Color());
    switch (pen.Mode()) {
    case TPenMode::pmCopy:
        WriteArgb(image, x, y, colour);
        break;
    case TPenMode::pmNot:
        WriteArgb(image, x, y, ReadArgb(image, x, y) ^ 0x00FFFFFFu);
        break;
    case TPenMode::pmXor:
        WriteArgb(image, x, y, ReadArgb(image, x, y) ^ (colour & 0x00FFFFFFu));
        break;
    }
}

// A pen wider than one pixel is a square of its width centred on each point of the line.
void StampPen(QImage& image, int x, int y, const TPen& pen) {
    const int w = pen.Width();
    if (w <= 1) {
        PlotPen(image, x, y, pen);
        return;
    }
    const int x0 = x - (w - 1) / 2;
    const int y0 = y - (w - 1) / 2;
    for (int yy = y0; yy < y0 + w; ++yy) {
        for (int xx = x0; xx < x0 + w; ++xx) PlotPen(image, xx, yy, pen);
    }
}

bool DrawsWithPen(const TPen& pen) { return pen.Style() != TPenStyle::psClear && pen.Color() != clNone; }
bool FillsWithBrush(const TBrush& brush) { return brush.Style() != TBrushStyle::bsClear && brush.Color() != clNone; }

// Bresenham from (x0, y0) towards (x1, y1); the end point itself is not drawn.
void DrawLine(QImage& image, int x0, int y0, int x1, int y1, const TPen& pen) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0;
    int y = y0;
    while (x != x1 || y != y1) {
        StampPen(image, x, y, pen);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void FillArea(QImage& image, const TRect& r, std::uint32_t argb) {
    const TRect c = IntersectRect(r, TRect{0, 0, image.width(), image.height()});
    if (c.IsEmpty()) return;
    // The two layouts bitmaps use are filled row by row (fills dominate painting a list);
    // any other goes pixel by pixel.
    if (image.format() == QImage::Format_BGR888 || image.format() == QImage::Format_ARGB32) {
        const bool three = image.format() == QImage::Format_BGR888;
        const uchar b = static_cast<uchar>(argb), g = static_cast<uchar>(argb >> 8),
                    rr = static_cast<uchar>(argb >> 16);
        for (int y = c.Top; y < c.Bottom; ++y) {
            uchar* line = image.scanLine(y);
            if (three) {
                for (uchar *p = line + 3 * c.Left, *end = line + 3 * c.Right; p < end; p += 3) {
                    p[0] = b;
                    p[1] = g;
                    p[2] = rr;
                }
            } else {
                for (int x = c.Left; x < c.Right; ++x) std::memcpy(line + 4 * x, &argb, 4);
            }
        }
        return;
    }
    const QImage::Format format = image.format();
    for (int y = c.Top; y < c.Bottom; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = c.Left; x < c.Right; ++x) WriteArgbIn(line, format, image, x, y, argb);
    }
}

// Normalises a rectangle given with its corners in any order.
TRect Ordered(int left, int top, int right, int bottom) {
    return TRect{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

}  // namespace

void TCanvas::MoveTo(int x, int y) { pen_pos_ = TPoint{x, y}; }

void TCanvas::LineTo(int x, int y) {
    if (Usable(image_) && DrawsWithPen(pen_)) DrawLine(*image_, pen_pos_.X, pen_pos_.Y, x, y, pen_);
    pen_pos_ = TPoint{x, y};
    Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    if (!Usable(image_)) return;
    const TRect r = Ordered(left, top, right, bottom);
    if (r.IsEmpty()) return;
    if (FillsWithBrush(brush_)) FillArea(*image_, r, ToArgb(brush_.Color()));
    if (DrawsWithPen(pen_)) {
        const int x1 = r.Right - 1;
        const int y1 = r.Bottom - 1;
        for (int x = r.Left; x <= x1; ++x) {
            StampPen(*image_, x, r.Top, pen_);
            if (y1 != r.Top) StampPen(*image_, x, y1, pen_);
        }
        for (int y = r.Top + 1; y < y1; ++y) {
            StampPen(*image_, r.Left, y, pen_);
            if (x1 != r.Left) StampPen(*image_, x1, y, pen_);
        }
    }
    Changed();
}

void TCanvas::FillRect(const TRect& r) {
    if (!Usable(image_)) return;
    if (FillsWithBrush(brush_)) FillArea(*image_, r, ToArgb(brush_.Color()));
    Changed();
}

void TCanvas::FrameRect(const TRect& r) {
    if (!Usable(image_) || r.IsEmpty()) return;
    if (FillsWithBrush(brush_)) {
        const std::uint32_t c = ToArgb(brush_.Color());
        FillArea(*image_, TRect{r.Left, r.Top, r.Right, r.Top + 1}, c);
        FillArea(*image_, TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, c);
        FillArea(*image_, TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, c);
        FillArea(*image_, TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, c);
    }
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
    if (!Usable(image_) || r.IsEmpty()) return;
    auto invert = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) return;
        WriteArgb(*image_, x, y, ReadArgb(*image_, x, y) ^ 0x00FFFFFFu);
    };
    // The outline's pixels in one walk round it, every second one inverted.
    std::vector<TPoint> outline;
    for (int x = r.Left; x < r.Right; ++x) outline.push_back({x, r.Top});
    for (int y = r.Top + 1; y < r.Bottom; ++y) outline.push_back({r.Right - 1, y});
    if (r.Bottom - 1 > r.Top) {
        for (int x = r.Right - 2; x >= r.Left; --x) outline.push_back({x, r.Bottom - 1});
    }
    if (r.Right - 1 > r.Left) {
        for (int y = r.Bottom - 2; y > r.Top; --y) outline.push_back({r.Left, y});
    }
    for (std::size_t i = 0; i < outline.size(); i += 2) invert(outline[i].X, outline[i].Y);
    Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
    if (!Usable(image_) || points.empty()) return;
    if (FillsWithBrush(brush_) && points.size() >= 3) {
        QPolygon polygon;
        for (const TPoint& p : points) polygon << QPoint(p.X, p.Y);
        CanvasPainter painter(*this);
        painter->setPen(Qt::NoPen);
        painter->setBrush(ToQColor(brush_.Color()));
        painter->drawPolygon(polygon, Qt::OddEvenFill);
    }
    if (DrawsWithPen(pen_)) {
        // Every edge leaves out its end point, which is the next edge's start: each vertex once.
        for (std::size_t i = 0; i < points.size(); ++i) {
            const TPoint& a = points[i];
            const TPoint& b = points[(i + 1) % points.size()];
            if (a == b) {
                StampPen(*image_, a.X, a.Y, pen_);
            } else {
                DrawLine(*image_, a.X, a.Y, b.X, b.Y, pen_);
            }
        }
    }
    Changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
    if (!Usable(image_)) return;
    const TRect r = Ordered(left, top, right, bottom);
    if (r.IsEmpty()) return;
    {
        CanvasPainter painter(*this);
        if (DrawsWithPen(pen_)) {
            QPen qpen(ToQColor(pen_.Color()));
            qpen.setWidth(pen_.Width() <= 1 ? 0 : pen_.Width());
            painter->setPen(qpen);
        } else {
            painter->setPen(Qt::NoPen);
        }
        painter->setBrush(FillsWithBrush(brush_) ? QBrush(ToQColor(brush_.Color())) : QBrush(Qt::NoBrush));
        // An aliased outline of a w x h rectangle covers w + 1 x h + 1 pixels: shrink by one so the
        // ellipse stays inside columns Left..Right-1 and rows Top..Bottom-1.
        painter->drawEllipse(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
    }
    Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) { TextRect(TRect{0, 0, Width(), Height()}, x, y, text); }

void TCanvas::TextRect(const TRect& clip, int x, int y, const std::string& text) {
    const TSize extent = TextExtent(text);
    if (Usable(image_) && !clip.IsEmpty()) {
        CanvasPainter painter(*this);
        painter->setClipRect(QRect(clip.Left, clip.Top, clip.Width(), clip.Height()));
        if (FillsWithBrush(brush_)) {
            painter->fillRect(QRect(x, y, extent.cx, extent.cy), ToQColor(brush_.Color()));
        }
        if (font_.Color() != clNone && !text.empty()) {
            const QFont qfont = MakeQFont(font_);
            painter->setFont(qfont);
            painter->setPen(ToQColor(font_.Color()));
            if (font_.Orientation() != 0) {
                // A turned base line runs from the start point at the font's angle.
                painter->translate(x, y);
                painter->rotate(-font_.Orientation() / 10.0);
                painter->drawText(QPoint(0, QFontMetrics(qfont).ascent()), QString::fromStdString(text));
            } else {
                painter->drawText(QPoint(x, y + QFontMetrics(qfont).ascent()), QString::fromStdString(text));
            }
        }
    }
    pen_pos_ = TPoint{x + extent.cx, y};
    Changed();
}

int TCanvas::TextWidth(const std::string& text) const { return TextExtent(text).cx; }
int TCanvas::TextHeight(const std::string& text) const { return TextExtent(text).cy; }

TSize TCanvas::TextExtent(const std::string& text) const {
    const QFontMetrics metrics(MakeQFont(font_));
    return TSize{metrics.horizontalAdvance(QString::fromStdString(text)), metrics.height()};
}

TTextMetric TCanvas::TextMetric() const { return TextMetricOf(MakeQFont(font_)); }

void TCanvas::Draw(int x, int y, const TGraphic& graphic) {
    if (graphic.Empty()) return;
    graphic.Draw(*this, Bounds(x, y, graphic.Width(), graphic.Height()));
    Changed();
}

void TCanvas::StretchDraw(const TRect& rect, const TGraphic& graphic) {
    if (graphic.Empty()) return;
    graphic.Draw(*this, rect);
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& source_rect) {
    if (!Usable(source.image_)) return;
    CopyImage(dest, *source.image_, source_rect);
}

void TCanvas::CopyImage(const TRect& dest, const QImage& source, const TRect& source_rect,
                        const TColor* transparent_color) {
    if (!Usable(image_) || source.isNull() || dest.IsEmpty() || source_rect.IsEmpty()) return;
    const TRect visible = IntersectRect(dest, TRect{0, 0, image_->width(), image_->height()});
    const bool keep_alpha = HasAlpha(source);
    const std::uint32_t key = transparent_color ? (ToArgb(*transparent_color) & 0x00FFFFFFu) : 0;
    // Copying from an image onto itself must read the pixels as they were before the copy.
    const QImage from = (&source == image_) ? source.copy() : source;
    const long long dw = dest.Width();
    const long long dh = dest.Height();
    const long long sw = source_rect.Width();
    const long long sh = source_rect.Height();
    // Unscaled, opaque copies between images of one layout move whole rows: the same bytes the
    // pixel loop below would write, without a per-pixel format test (pictures on cards).
    const bool same_layout =
        from.format() == image_->format() &&
        (from.format() == QImage::Format_BGR888 || (from.format() == QImage::Format_ARGB32 && keep_alpha));
    if (transparent_color == nullptr && same_layout && dw == sw && dh == sh) {
        const int bpp = from.format() == QImage::Format_BGR888 ? 3 : 4;
        for (int y = visible.Top; y < visible.Bottom; ++y) {
            const int sy = source_rect.Top + (y - dest.Top);
            if (sy < 0 || sy >= from.height()) continue;
            int x0 = std::max(visible.Left, dest.Left - source_rect.Left);
            int x1 = std::min(visible.Right, dest.Left + (from.width() - source_rect.Left));
            if (x1 <= x0) continue;
            const int sx0 = source_rect.Left + (x0 - dest.Left);
            std::memcpy(image_->scanLine(y) + static_cast<std::size_t>(bpp) * x0,
                        from.constScanLine(sy) + static_cast<std::size_t>(bpp) * sx0,
                        static_cast<std::size_t>(bpp) * static_cast<std::size_t>(x1 - x0));
        }
        Changed();
        return;
    }
    const QImage::Format from_format = from.format();
    const QImage::Format to_format = image_->format();
    for (int y = visible.Top; y < visible.Bottom; ++y) {
        // Nearest pixel by the centre of the target pixel.
        const long long sy = source_rect.Top + ((2LL * (y - dest.Top) + 1) * sh) / (2 * dh);
        if (sy < 0 || sy >= from.height()) continue;
        const uchar* in = from.constScanLine(static_cast<int>(sy));
        uchar* out = image_->scanLine(y);
        for (int x = visible.Left; x < visible.Right; ++x) {
            const long long sx = source_rect.Left + ((2LL * (x - dest.Left) + 1) * sw) / (2 * dw);
            if (sx < 0 || sx >= from.width()) continue;
            std::uint32_t argb = ReadArgbIn(in, from_format, from, static_cast<int>(sx), static_cast<int>(sy));
            if (transparent_color && (argb & 0x00FFFFFFu) == key) continue;
            if (!keep_alpha) argb |= 0xFF000000u;
            WriteArgbIn(out, to_format, *image_, x, y, argb);
        }
    }
    Changed();
}

void TCanvas::BlendImage(const TRect& dest, const QImage& source) {
    if (!Usable(image_) || source.isNull() || dest.IsEmpty()) return;
    {
        CanvasPainter painter(*this);
        painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter->drawImage(QRect(dest.Left, dest.Top, dest.Width(), dest.Height()), source);
    }
    Changed();
}

TCanvasToolsGuard::TCanvasToolsGuard(TCanvas& canvas) : canvas_(canvas), pen_pos_(canvas.PenPos()) {
    brush_.Assign(&canvas.Brush());
    pen_.Assign(&canvas.Pen());
    font_.Assign(&canvas.Font());
}

TCanvasToolsGuard::~TCanvasToolsGuard() {
    canvas_.Brush().Assign(&brush_);
    canvas_.Pen().Assign(&pen_);
    canvas_.Font().Assign(&font_);
    canvas_.SetPenPos(pen_pos_);
}

}  // namespace ui
