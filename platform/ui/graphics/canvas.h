// TCanvas: drawing on a picture's pixels with the class library's pixel rules.
// - A rectangle (l, t, r, b) covers columns l..r-1 and rows t..b-1: FillRect(0, 0, 10, 10)
//   fills pixels 0..9 in both directions; Rectangle and FrameRect outline exactly that area.
// - LineTo draws from the pen position up to, but not including, its end point.
// - Lines, shapes and fills are not smoothed: every pixel gets exactly the pen or brush colour.
// - Text is drawn as the desktop draws it: grey-scale smoothed glyphs fitted to the pixel grid,
//   each character at its font's whole-pixel advance (no kerning, no ligatures), so TextWidth of
//   a text is the sum of its pieces' widths and the drawn glyphs stay within it.
// - CopyRect copies pixel bytes (alpha included) without blending, stretching by nearest pixel.
// - A pen or brush of clNone draws nothing; a clear brush (bsClear) fills nothing and leaves
//   the background of text untouched.
// Drawn pixels are opaque (alpha 255) on 32-bit pictures; the smoothed edges of text are blended
// over what is there, so over transparent pixels they stay partly transparent.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/core/persistent.h"
#include "platform/ui/graphics/colors.h"
#include "platform/ui/graphics/geometry.h"
#include "platform/ui/graphics/graphics.h"

class QFont;
class QImage;

namespace ui {

class TGraphic;

// Pixel layouts a canvas can draw on. pf24bit: B, G, R bytes per pixel, rows padded to 4 bytes.
// pf32bit: B, G, R, A bytes per pixel (0xAARRGGBB as a little-endian uint32), no padding.
enum class TPixelFormat { pf24bit, pf32bit };

// Raster operations of CopyRect.
enum class TCopyMode { cmSrcCopy };

// Platform side: the installed font drawn for `font`, at its pixel size, set up for drawing
// and measuring text alike.
QFont MakeQFont(const TFont& font);

// The vertical measures of a font, in pixels: the baseline lies Ascent rows below the top of a
// text cell and Descent rows above its bottom (TextHeight is their sum); the font's underline
// starts UnderlinePosition rows below the baseline and is UnderlineThickness rows thick.
struct TTextMetric {
    int Ascent = 0;
    int Descent = 0;
    int UnderlinePosition = 1;
    int UnderlineThickness = 1;
};

// Platform side: the measures of an installed font.
TTextMetric TextMetricOf(const QFont& font);

class TCanvas : public TPersistent {
public:
    // A canvas without a picture: drawing does nothing, measuring text still works.
    TCanvas();
    // A canvas over an image owned by someone else (a bitmap, a widget's backing image), which
    // must outlive the canvas or be replaced through Attach before it goes.
    explicit TCanvas(QImage* image);
    // A canvas over pixel memory owned by the caller: `bytes_per_line` bytes per row, rows
    // top-down; the memory must outlive the canvas.
    TCanvas(void* bits, int width, int height, int bytes_per_line, TPixelFormat format);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    ~TCanvas() override;

    std::string ClassName() const override { return "TCanvas"; }
    // Fired after every drawing operation (sender = this canvas).
    TNotifyEvent OnChange;

    TBrush& Brush() { return brush_; }
    TPen& Pen() { return pen_; }
    TFont& Font() { return font_; }
    const TBrush& Brush() const { return brush_; }
    const TPen& Pen() const { return pen_; }
    const TFont& Font() const { return font_; }
    // Copy the values of another tool into this canvas's own.
    void SetBrush(const TBrush& brush) { brush_.Assign(&brush); }
    void SetPen(const TPen& pen) { pen_.Assign(&pen); }
    void SetFont(const TFont& font) { font_.Assign(&font); }

    TPoint PenPos() const { return pen_pos_; }
    void SetPenPos(TPoint p) { pen_pos_ = p; }
    TCopyMode CopyMode() const { return copy_mode_; }
    void SetCopyMode(TCopyMode mode) { copy_mode_ = mode; }

    // Width and height of the picture drawn on (0 x 0 without one).
    int Width() const;
    int Height() const;

    // The pixel's colour as 0x00BBGGRR; 0xFFFFFFFF outside the picture.
    TColor Pixels(int x, int y) const;
    // Sets one pixel (opaque); ignored outside the picture or for clNone.
    void SetPixels(int x, int y, TColor color);

    void MoveTo(int x, int y);
    // Line with the pen from PenPos to (x, y), leaving out (x, y); PenPos becomes (x, y).
    void LineTo(int x, int y);
    // Outline with the pen, inside filled with the brush.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // Fills with the brush only.
    void FillRect(const TRect& r);
    // One-pixel frame in the brush colour.
    void FrameRect(const TRect& r);
    // The keyboard-focus outline of `r`: every second pixel of the outline is inverted, starting
    // at the top-left corner, so drawing it twice removes it.
    void DrawFocusRect(const TRect& r);
    // Closed polygon: outline with the pen, inside (odd-even rule) with the brush.
    void Polygon(const std::vector<TPoint>& points);
    // Ellipse inside the bounding rectangle, outline with the pen, inside with the brush.
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }

    // Text (UTF-8) with its cell's top-left at (x, y) in the font's colour; with a solid brush the
    // cell is filled with the brush colour first. PenPos moves to the end of the text.
    void TextOut(int x, int y, const std::string& text);
    // As TextOut, clipped to `clip`.
    void TextRect(const TRect& clip, int x, int y, const std::string& text);
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;
    TSize TextExtent(const std::string& text) const;
    TTextMetric TextMetric() const;

    // The graphic at its own size with its top-left at (x, y).
    void Draw(int x, int y, const TGraphic& graphic);
    // The graphic scaled into `rect`.
    void StretchDraw(const TRect& rect, const TGraphic& graphic);
    // Copies `source_rect` of `source` into `dest` (scaled by nearest pixel when the sizes
    // differ) as raw pixel bytes. Parts outside either picture are left out.
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& source_rect);

    // Platform side: the image drawn on (nullptr without one), and re-pointing the canvas at
    // another image, for owners that replace their image (a bitmap changing its size).
    QImage* Image() const { return image_; }
    void Attach(QImage* image);
    // Copies `source_rect` of `source` into `dest` as raw pixel bytes (nearest pixel when the
    // sizes differ); with `transparent_color` set, source pixels of that colour are left out.
    // Sources without alpha give opaque pixels.
    void CopyImage(const TRect& dest, const QImage& source, const TRect& source_rect,
                   const TColor* transparent_color = nullptr);
    // Draws `source` scaled (nearest pixel) into `dest`, blending its alpha over the picture.
    void BlendImage(const TRect& dest, const QImage& source);

private:
    friend class CanvasPainter;
    void Changed();

    QImage* image_ = nullptr;
    std::unique_ptr<QImage> wrapped_;  // the image over caller memory, when made from bits
    TBrush brush_;
    TPen pen_;
    TFont font_;
    TPoint pen_pos_;
    TCopyMode copy_mode_ = TCopyMode::cmSrcCopy;
};

// Keeps a canvas's brush, pen, font and pen position and puts them back when it goes, so a
// painting routine leaves the canvas as it found it.
class TCanvasToolsGuard {
public:
    explicit TCanvasToolsGuard(TCanvas& canvas);
    ~TCanvasToolsGuard();
    TCanvasToolsGuard(const TCanvasToolsGuard&) = delete;
    TCanvasToolsGuard& operator=(const TCanvasToolsGuard&) = delete;

private:
    TCanvas& canvas_;
    TBrush brush_;
    TPen pen_;
    TFont font_;
    TPoint pen_pos_;
};

}  // namespace ui
