// The flat text-drawing API stand-in over QPainter: start-up and shut-down, font families and
// fonts, solid brushes, string formats and graphics over a canvas, measuring and drawing
// strings. Every call returns a status; objects are owned by the caller, who deletes them with
// the matching call. A device context is a canvas. Calls before start-up fail with
// GdiplusNotInitialized; user-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace ui {
class TCanvas;
}

namespace gdiplus {

enum GpStatus : int {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    GdiplusNotInitialized = 18,
};

using ARGB = std::uint32_t;
using HDC = ui::TCanvas*;

struct GdiplusStartupInput {
    std::uint32_t GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    bool SuppressBackgroundThread = false;
    bool SuppressExternalCodecs = false;
};
// With the background thread suppressed the caller runs the hook and unhook itself.
struct GdiplusStartupOutput {
    std::function<GpStatus(std::uintptr_t* token)> NotificationHook;
    std::function<void(std::uintptr_t token)> NotificationUnhook;
};

GpStatus GdiplusStartup(std::uintptr_t* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
void GdiplusShutdown(std::uintptr_t token);
// Memory for wrapper objects; null while the API is not started.
void* GdipAlloc(std::size_t size);
void GdipFree(void* block);

struct RectF {
    float X = 0;
    float Y = 0;
    float Width = 0;
    float Height = 0;
};

struct GpFontCollection;
struct GpFontFamily;
struct GpFont;
struct GpBrush;
struct GpStringFormat;
struct GpGraphics;

inline constexpr int UnitPoint = 3;
inline constexpr int StringFormatFlagsNoWrap = 0x1000;
inline constexpr int StringAlignmentNear = 0, StringAlignmentCenter = 1, StringAlignmentFar = 2;
inline constexpr int HotkeyPrefixNone = 0, HotkeyPrefixShow = 1, HotkeyPrefixHide = 2;
inline constexpr int TextRenderingHintSystemDefault = 0, TextRenderingHintAntiAlias = 4,
                     TextRenderingHintClearTypeGridFit = 5;

GpStatus GdipCreateFontFamilyFromName(const char16_t* name, GpFontCollection* collection, GpFontFamily** family);
GpStatus GdipDeleteFontFamily(GpFontFamily* family);
GpStatus GdipCreateFont(const GpFontFamily* family, float em_size, int style, int unit, GpFont** font);
GpStatus GdipDeleteFont(GpFont* font);
GpStatus GdipCreateSolidFill(ARGB color, GpBrush** brush);
GpStatus GdipDeleteBrush(GpBrush* brush);
GpStatus GdipCreateStringFormat(int flags, std::uint16_t language, GpStringFormat** format);
GpStatus GdipDeleteStringFormat(GpStringFormat* format);
GpStatus GdipSetStringFormatAlign(GpStringFormat* format, int align);
GpStatus GdipSetStringFormatLineAlign(GpStringFormat* format, int align);
GpStatus GdipSetStringFormatHotkeyPrefix(GpStringFormat* format, int prefix);
GpStatus GdipCreateFromHDC(HDC dc, GpGraphics** graphics);
GpStatus GdipDeleteGraphics(GpGraphics* graphics);
GpStatus GdipSetTextRenderingHint(GpGraphics* graphics, int hint);
// `length` -1 means up to the terminating zero.
GpStatus GdipMeasureString(GpGraphics* graphics, const char16_t* text, int length, const GpFont* font,
                           const RectF* layout, const GpStringFormat* format, RectF* bounding_box,
                           int* codepoints_fitted, int* lines_filled);
GpStatus GdipDrawString(GpGraphics* graphics, const char16_t* text, int length, const GpFont* font, const RectF* layout,
                        const GpStringFormat* format, const GpBrush* brush);

}  // namespace gdiplus
