#include "platform/ui/graphics/graphics.h"

#include "platform/ui/core/sysutils.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>

namespace ui {

namespace {

// a * b / c rounded half away from zero, as the platform's integer scaling does.
std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return s;
}

}  // namespace

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

std::string MapFontFamily(const std::string& name) {
    struct Entry {
        const char* name;
        const char* family;
    };
    // Most form fonts are proportional sans-serif faces; Liberation Sans keeps their widths
    // closest. Anything unknown falls back to DejaVu Sans, which covers the most characters.
    static constexpr std::array<Entry, 7> kMap = {{
        {"courier new", "Liberation Mono"},
        {"times new roman", "Liberation Serif"},
        {"tahoma", "Liberation Sans"},
        {"ms sans serif", "Liberation Sans"},
        {"arial", "Liberation Sans"},
        {"segoe ui", "Liberation Sans"},
        {"symbol", "DejaVu Sans"},
    }};
    const std::string key = Lower(name);
    for (const Entry& e : kMap) {
        if (key == e.name) return e.family;
    }
    if (key.rfind("liberation", 0) == 0 || key.rfind("dejavu", 0) == 0) return name;
    return "DejaVu Sans";
}

// --- TFont -----------------------------------------------------------------------------------

void TFont::Assign(const TPersistent* source) {
    if (const auto* font = dynamic_cast<const TFont*>(source)) {
        if (font == this) return;
        const bool differs = name_ != font->name_ || height_ != font->height_ || !(style_ == font->style_) ||
                             color_ != font->color_ || charset_ != font->charset_ || pitch_ != font->pitch_ ||
                             pixels_per_inch_ != font->pixels_per_inch_ || orientation_ != font->orientation_;
        name_ = font->name_;
        height_ = font->height_;
        style_ = font->style_;
        color_ = font->color_;
        charset_ = font->charset_;
        pitch_ = font->pitch_;
        pixels_per_inch_ = font->pixels_per_inch_;
        orientation_ = font->orientation_;
        if (differs) Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TFont::SetName(const std::string& name) {
    if (!name.empty() && Store(name_, name)) Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, pixels_per_inch_); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixels_per_inch_, 72)); }

void TFont::SetHeight(int height) {
    if (Store(height_, height)) Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (Store(style_, style)) Changed();
}

void TFont::SetColor(TColor color) {
    if (Store(color_, color)) Changed();
}

void TFont::SetCharset(std::uint8_t charset) {
    if (Store(charset_, charset)) Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
    if (Store(pitch_, pitch)) Changed();
}

void TFont::SetPixelsPerInch(int ppi) {
    if (ppi > 0 && Store(pixels_per_inch_, ppi)) Changed();
}

void TFont::SetOrientation(int tenths_of_degree) {
    if (Store(orientation_, tenths_of_degree)) Changed();
}

std::string TFont::FamilyName() const { return MapFontFamily(name_); }

// --- TPen ------------------------------------------------------------------------------------

void TPen::Assign(const TPersistent* source) {
    if (const auto* pen = dynamic_cast<const TPen*>(source)) {
        if (pen == this) return;
        const bool differs =
            color_ != pen->color_ || width_ != pen->width_ || style_ != pen->style_ || mode_ != pen->mode_;
        color_ = pen->color_;
        width_ = pen->width_;
        style_ = pen->style_;
        mode_ = pen->mode_;
        if (differs) Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TPen::SetColor(TColor color) {
    if (Store(color_, color)) Changed();
}

void TPen::SetWidth(int width) {
    if (Store(width_, std::max(width, 1))) Changed();
}

void TPen::SetStyle(TPenStyle style) {
    if (Store(style_, style)) Changed();
}

void TPen::SetMode(TPenMode mode) {
    if (Store(mode_, mode)) Changed();
}

// --- TBrush ----------------------------------------------------------------------------------

void TBrush::Assign(const TPersistent* source) {
    if (const auto* brush = dynamic_cast<const TBrush*>(source)) {
        if (brush == this) return;
        const bool differs = color_ != brush->color_ || style_ != brush->style_;
        color_ = brush->color_;
        style_ = brush->style_;
        if (differs) Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TBrush::SetColor(TColor color) {
    bool changed = Store(color_, color);
    if (style_ == TBrushStyle::bsClear) {
        style_ = TBrushStyle::bsSolid;
        changed = true;
    }
    if (changed) Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (Store(style_, style)) Changed();
}

}  // namespace ui
