// The drawing tools of a canvas: font, pen and brush. Each reports a change of any of its
// values through OnChange (only when a value really changes), so an owner can repaint.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/ui/core/persistent.h"
#include "platform/ui/graphics/colors.h"

namespace ui {

// How a text sits between the left and right edges of its rectangle.
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Base of the three tools: change notification.
class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

    std::string ClassName() const override { return "TGraphicsObject"; }

protected:
    // Fires OnChange (sender = this).
    void Changed();
};

enum class TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(std::initializer_list<TFontStyle> styles) {
        for (TFontStyle s : styles) bits_ |= Bit(s);
    }
    constexpr bool Contains(TFontStyle s) const { return (bits_ & Bit(s)) != 0; }
    constexpr TFontStyles& Include(TFontStyle s) {
        bits_ |= Bit(s);
        return *this;
    }
    constexpr TFontStyles& Exclude(TFontStyle s) {
        bits_ &= static_cast<std::uint8_t>(~Bit(s));
        return *this;
    }
    constexpr bool Empty() const { return bits_ == 0; }
    friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

private:
    static constexpr std::uint8_t Bit(TFontStyle s) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(s));
    }
    std::uint8_t bits_ = 0;
};

enum class TFontPitch { fpDefault, fpVariable, fpFixed };

inline constexpr std::uint8_t ANSI_CHARSET = 0;
inline constexpr std::uint8_t DEFAULT_CHARSET = 1;
inline constexpr std::uint8_t SYMBOL_CHARSET = 2;

// Screen resolution the class library measures fonts at.
inline constexpr int kScreenPixelsPerInch = 96;

// A font. Height < 0 is the character height in pixels, Height > 0 the cell height;
// Size is in points: Size = -Height * 72 / PixelsPerInch (rounded), as the class library does.
// Defaults: "Tahoma", Height -11 (8 points), clWindowText, no style, DEFAULT_CHARSET.
class TFont : public TGraphicsObject {
public:
    TFont() = default;
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    void Assign(const TPersistent* source) override;
    std::string ClassName() const override { return "TFont"; }

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);  // an empty name is ignored
    int Size() const;
    void SetSize(int points);
    int Height() const { return height_; }
    void SetHeight(int height);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    std::uint8_t Charset() const { return charset_; }
    void SetCharset(std::uint8_t charset);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);
    int PixelsPerInch() const { return pixels_per_inch_; }
    void SetPixelsPerInch(int ppi);  // values <= 0 are ignored
    // Angle of the text's base line in tenths of a degree, counter-clockwise (the escapement
    // and orientation of a font's logical description); text turns about its start point.
    // Measuring ignores it, as the platform's text extent does.
    int Orientation() const { return orientation_; }
    void SetOrientation(int tenths_of_degree);

    // The installed font family that stands in for Name (Liberation or DejaVu).
    std::string FamilyName() const;

private:
    std::string name_ = "Tahoma";
    int height_ = -11;
    TFontStyles style_;
    TColor color_ = clWindowText;
    std::uint8_t charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = TFontPitch::fpDefault;
    int pixels_per_inch_ = kScreenPixelsPerInch;
    int orientation_ = 0;
};

// Maps a font name of the system's forms to the installed family drawn in its place. This is
// the one place that knows the mapping.
std::string MapFontFamily(const std::string& name);

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// How the pen's pixels combine with the target: copy, invert the target, or xor the pen colour in.
enum class TPenMode { pmCopy, pmNot, pmXor };

// Defaults: clBlack, width 1, solid, copy.
class TPen : public TGraphicsObject {
public:
    TPen() = default;
    TPen(const TPen&) = delete;
    TPen& operator=(const TPen&) = delete;

    void Assign(const TPersistent* source) override;
    std::string ClassName() const override { return "TPen"; }

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);  // values below 1 become 1
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode);

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = TPenStyle::psSolid;
    TPenMode mode_ = TPenMode::pmCopy;
};

enum class TBrushStyle { bsSolid, bsClear };

// Defaults: clWhite, solid.
class TBrush : public TGraphicsObject {
public:
    TBrush() = default;
    TBrush(const TBrush&) = delete;
    TBrush& operator=(const TBrush&) = delete;

    void Assign(const TPersistent* source) override;
    std::string ClassName() const override { return "TBrush"; }

    TColor Color() const { return color_; }
    // Setting a colour makes a clear brush solid again, as the class library does.
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
};

}  // namespace ui
