// Item texts through the anti-aliasing text layer.
#include "controls/menus/menu_smoothed_text.h"

#include <cmath>

#include "controls/menus/menu_util.h"
#include "platform/ui/core/sysutils.h"

namespace menus {

GdipTextWriter::GdipTextWriter(ui::TCanvas& canvas, TAntiAlias anti_alias)
    : graphics_(&canvas), format_(gdiplus::StringFormatFlagsNoWrap, 0) {
    const bool clear_type = anti_alias == TAntiAlias::aaClearType;
    graphics_.SetTextRenderingHint(clear_type ? gdiplus::TextRenderingHintClearTypeGridFit
                                              : gdiplus::TextRenderingHintAntiAlias);
    format_.SetHotkeyPrefix(gdiplus::HotkeyPrefixShow);
}

void GdipTextWriter::UseFont(const ui::TFont& font) {
    font_.reset();
    family_ = std::make_unique<TGPFontFamily>(ui::Utf8ToUtf16(font.Name()), nullptr);
    font_ = std::make_unique<TGPFont>(family_.get(), static_cast<float>(font.Size()), 0, gdiplus::UnitPoint);
}

bool GdipTextWriter::Ready() const {
    return graphics_.LastStatus() == gdiplus::Ok && format_.LastStatus() == gdiplus::Ok && family_ != nullptr &&
           family_->LastStatus() == gdiplus::Ok && font_ != nullptr && font_->LastStatus() == gdiplus::Ok;
}

bool GdipTextWriter::Draw(const std::string& text, const RectF& layout, ui::TColor colour) {
    if (!Ready()) return false;
    TGPSolidBrush brush(ColorToGdipARGB(colour));
    if (brush.LastStatus() != gdiplus::Ok) return false;
    return graphics_.DrawString(text, -1, font_.get(), layout, &format_, &brush) == gdiplus::Ok;
}

std::optional<int> GdipTextWriter::LineHeight(const RectF& layout) {
    if (!Ready()) return std::nullopt;
    RectF box;
    if (graphics_.MeasureString(u"gh", 2, font_.get(), layout, &format_, box, nullptr, nullptr) != gdiplus::Ok) {
        return std::nullopt;
    }
    return static_cast<int>(std::lround(box.Height));
}

RectF LayoutOf(const ui::TRect& rect) {
    return RectF{static_cast<float>(rect.Left), static_cast<float>(rect.Top), static_cast<float>(RectWidth(rect)),
                 static_cast<float>(RectHeight(rect))};
}

}  // namespace menus
