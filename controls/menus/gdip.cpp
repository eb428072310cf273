#include "controls/menus/gdip.h"

#include <new>
#include <vector>

#include "platform/ui/core/sysutils.h"

namespace menus {

namespace {

// The unit's start-up records and tokens, one set per process.
struct StartupRecords {
    gdiplus::GdiplusStartupInput input{1, nullptr, true, false};
    gdiplus::GdiplusStartupOutput output;
    std::uintptr_t token = 0;
    std::uintptr_t notification_token = 0;
    bool started = false;
};
StartupRecords& Records() {
    static StartupRecords records;
    return records;
}

}  // namespace

std::uint32_t ColorToGdipARGB(ui::TColor color) {
    const ui::TColor rgb = ui::ColorToRGB(color);
    const std::uint32_t r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
    return 0xFF000000u | r << 16 | g << 8 | b;
}

void GdipStartup() {
    StartupRecords& rec = Records();
    if (rec.started) return;
    if (gdiplus::GdiplusStartup(&rec.token, &rec.input, &rec.output) != gdiplus::Ok) return;
    rec.started = true;
    // The background thread is suppressed, so the program carries the notification hook.
    if (rec.output.NotificationHook) rec.output.NotificationHook(&rec.notification_token);
}

void GdipShutdown() {
    StartupRecords& rec = Records();
    if (!rec.started) return;
    if (rec.output.NotificationUnhook) rec.output.NotificationUnhook(rec.notification_token);
    gdiplus::GdiplusShutdown(rec.token);
    rec.started = false;
}

TGdiplusBase::TGdiplusBase() {
    if (!Records().started) GdipStartup();
}

void* TGdiplusBase::operator new(std::size_t size) {
    void* block = gdiplus::GdipAlloc(size);
    if (block == nullptr) {
        // Not started yet: start it and try once more.
        GdipStartup();
        block = gdiplus::GdipAlloc(size);
    }
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void TGdiplusBase::operator delete(void* block) { gdiplus::GdipFree(block); }

TGPFontFamily::TGPFontFamily(const std::u16string& name, gdiplus::GpFontCollection* collection) {
    Keep(gdiplus::GdipCreateFontFamilyFromName(name.c_str(), collection, &native_));
}
TGPFontFamily::~TGPFontFamily() { gdiplus::GdipDeleteFontFamily(native_); }

TGPFont::TGPFont(const TGPFontFamily* family, float em_size, int style, int unit) {
    Keep(gdiplus::GdipCreateFont(family != nullptr ? family->Native() : nullptr, em_size, style, unit, &native_));
}
TGPFont::~TGPFont() { gdiplus::GdipDeleteFont(native_); }

TGPBrush::~TGPBrush() { gdiplus::GdipDeleteBrush(native_); }

TGPSolidBrush::TGPSolidBrush(std::uint32_t argb) { Keep(gdiplus::GdipCreateSolidFill(argb, &native_)); }

TGPStringFormat::TGPStringFormat(int format_flags, std::uint16_t language) {
    Keep(gdiplus::GdipCreateStringFormat(format_flags, language, &native_));
}
TGPStringFormat::~TGPStringFormat() { gdiplus::GdipDeleteStringFormat(native_); }
GpStatus TGPStringFormat::SetAlignment(int value) { return Keep(gdiplus::GdipSetStringFormatAlign(native_, value)); }
GpStatus TGPStringFormat::SetLineAlignment(int value) {
    return Keep(gdiplus::GdipSetStringFormatLineAlign(native_, value));
}
GpStatus TGPStringFormat::SetHotkeyPrefix(int value) {
    return Keep(gdiplus::GdipSetStringFormatHotkeyPrefix(native_, value));
}

TGPGraphics::TGPGraphics(ui::TCanvas* dc) { Keep(gdiplus::GdipCreateFromHDC(dc, &native_)); }
TGPGraphics::~TGPGraphics() { gdiplus::GdipDeleteGraphics(native_); }
GpStatus TGPGraphics::SetTextRenderingHint(int hint) { return Keep(gdiplus::GdipSetTextRenderingHint(native_, hint)); }

GpStatus TGPGraphics::MeasureString(const std::u16string& text, int length, const TGPFont* font, const RectF& layout,
                                    const TGPStringFormat* format, RectF& bounding_box, int* codepoints_fitted,
                                    int* lines_filled) {
    return Keep(gdiplus::GdipMeasureString(native_, text.c_str(), length, font != nullptr ? font->Native() : nullptr,
                                           &layout, format != nullptr ? format->Native() : nullptr, &bounding_box,
                                           codepoints_fitted, lines_filled));
}

GpStatus TGPGraphics::DrawString(const std::string& text, int length, const TGPFont* font, const RectF& layout,
                                 const TGPStringFormat* format, const TGPBrush* brush) {
    // A terminated copy of the text in UTF-16, freed after the call.
    const std::u16string wide =
        ui::Utf8ToUtf16(text.substr(0, length < 0 ? std::string::npos : static_cast<std::size_t>(length)));
    return Keep(gdiplus::GdipDrawString(
        native_, wide.c_str(), static_cast<int>(wide.size()), font != nullptr ? font->Native() : nullptr, &layout,
        format != nullptr ? format->Native() : nullptr, brush != nullptr ? brush->Native() : nullptr));
}

}  // namespace menus
