// Thin owners over the flat text-drawing API: each object holds one native object and the last
// failing status, and is allocated from the API's own memory (starting the API when it is not
// running yet). The styled menus draw anti-aliased item texts with them. The API is started with
// the menus' unit (GdipStartup) and shut down at its end (GdipShutdown); user-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/gdiplus/gdiplus.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/colors.h"

namespace menus {

// Text smoothing a menu styler asks for.
enum class TAntiAlias : std::uint8_t { aaNone, aaClearType, aaAntiAlias };

using gdiplus::GpStatus;
using gdiplus::RectF;

// The class library's colour as opaque ARGB (system colours resolved).
std::uint32_t ColorToGdipARGB(ui::TColor color);

// Starts the API with the unit's records and takes the notification token; ends it again.
void GdipStartup();
void GdipShutdown();

class TGdiplusBase {
public:
    static void* operator new(std::size_t size);
    static void operator delete(void* block);

    // Starts the API when it is not running yet, for wrappers made on the stack as well.
    TGdiplusBase();
    TGdiplusBase(const TGdiplusBase&) = delete;
    TGdiplusBase& operator=(const TGdiplusBase&) = delete;
    virtual ~TGdiplusBase() = default;

    GpStatus LastStatus() const { return last_status_; }

protected:
    GpStatus Keep(GpStatus status) {
        if (status != gdiplus::Ok) last_status_ = status;
        return status;
    }

private:
    GpStatus last_status_ = gdiplus::Ok;
};

class TGPFontFamily : public TGdiplusBase {
public:
    TGPFontFamily(const std::u16string& name, gdiplus::GpFontCollection* collection);
    ~TGPFontFamily() override;
    const gdiplus::GpFontFamily* Native() const { return native_; }

private:
    gdiplus::GpFontFamily* native_ = nullptr;
};

class TGPFont : public TGdiplusBase {
public:
    TGPFont(const TGPFontFamily* family, float em_size, int style, int unit);
    ~TGPFont() override;
    const gdiplus::GpFont* Native() const { return native_; }

private:
    gdiplus::GpFont* native_ = nullptr;
};

class TGPBrush : public TGdiplusBase {
public:
    ~TGPBrush() override;
    const gdiplus::GpBrush* Native() const { return native_; }

protected:
    TGPBrush() = default;
    gdiplus::GpBrush* native_ = nullptr;
};

class TGPSolidBrush : public TGPBrush {
public:
    explicit TGPSolidBrush(std::uint32_t argb);
};

class TGPStringFormat : public TGdiplusBase {
public:
    TGPStringFormat(int format_flags, std::uint16_t language);
    ~TGPStringFormat() override;
    GpStatus SetAlignment(int value);
    GpStatus SetLineAlignment(int value);
    GpStatus SetHotkeyPrefix(int value);
    const gdiplus::GpStringFormat* Native() const { return native_; }

private:
    gdiplus::GpStringFormat* native_ = nullptr;
};

class TGPGraphics : public TGdiplusBase {
public:
    explicit TGPGraphics(ui::TCanvas* dc);
    ~TGPGraphics() override;
    GpStatus SetTextRenderingHint(int hint);
    GpStatus MeasureString(const std::u16string& text, int length, const TGPFont* font, const RectF& layout,
                           const TGPStringFormat* format, RectF& bounding_box, int* codepoints_fitted,
                           int* lines_filled);
    // `text` is UTF-8; it is handed on as UTF-16.
    GpStatus DrawString(const std::string& text, int length, const TGPFont* font, const RectF& layout,
                        const TGPStringFormat* format, const TGPBrush* brush);

private:
    gdiplus::GpGraphics* native_ = nullptr;
};

}  // namespace menus
