#include "platform/gdiplus/gdiplus.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cmath>
#include <cstdlib>
#include <new>
#include <string>

#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/graphics.h"

namespace gdiplus {

struct GpFontFamily {
    QString family;
};
struct GpFont {
    QString family;
    float em_points;
    int style;
};
struct GpBrush {
    ARGB color;
};
struct GpStringFormat {
    int flags;
    int align = StringAlignmentNear;
    int line_align = StringAlignmentNear;
    int hotkey_prefix = HotkeyPrefixNone;
};
struct GpGraphics {
    ui::TCanvas* canvas;
    int hint = TextRenderingHintSystemDefault;
};

namespace {

// The API's own process state: started or not, and the token handed out.
struct ApiState {
    bool started = false;
    std::uintptr_t token = 0;
    std::uintptr_t next_token = 1;
};
ApiState& State() {
    static ApiState state;
    return state;
}

QString TextOf(const char16_t* text, int length) {
    if (length < 0) return QString::fromUtf16(text);
    return QString::fromUtf16(text, length);
}

QFont QtFont(const GpFont& font, int hint) {
    QFont q(font.family);
    q.setPixelSize(std::max(1, static_cast<int>(font.em_points * 96.0f / 72.0f + 0.5f)));
    q.setBold((font.style & 1) != 0);
    q.setItalic((font.style & 2) != 0);
    q.setUnderline((font.style & 4) != 0);
    q.setStrikeOut((font.style & 8) != 0);
    // Every hint smooths in grey; the plain anti-aliasing hint leaves the outlines where the font
    // designed them, the others (the system's default among them) fit them to the pixel grid.
    // The advances are the font's own, without kerning or ligatures, as the canvas draws text.
    q.setStyleStrategy(
        QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias | QFont::PreferNoShaping));
    q.setHintingPreference(hint == TextRenderingHintAntiAlias ? QFont::PreferNoHinting : QFont::PreferFullHinting);
    q.setKerning(false);
    return q;
}

// The text as shown and the position of the underlined mnemonic (-1 for none).
QString ApplyHotkeyPrefix(const QString& text, int prefix, int& underline) {
    underline = -1;
    if (prefix == HotkeyPrefixNone) return text;
    QString shown;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != u'&' && underline < 0 && prefix == HotkeyPrefixShow)
                underline = static_cast<int>(shown.size());
        } else if (text[i] == u'&') {
            continue;
        }
        shown += text[i];
    }
    return shown;
}

QRectF Layout(const RectF* layout) {
    return layout != nullptr ? QRectF(layout->X, layout->Y, layout->Width, layout->Height) : QRectF();
}

int QtAlignment(const GpStringFormat* format) {
    int flags = 0;
    const int align = format != nullptr ? format->align : StringAlignmentNear;
    const int line = format != nullptr ? format->line_align : StringAlignmentNear;
    flags |= align == StringAlignmentCenter ? Qt::AlignHCenter
             : align == StringAlignmentFar  ? Qt::AlignRight
                                            : Qt::AlignLeft;
    flags |= line == StringAlignmentCenter ? Qt::AlignVCenter
             : line == StringAlignmentFar  ? Qt::AlignBottom
                                           : Qt::AlignTop;
    if (format == nullptr || (format->flags & StringFormatFlagsNoWrap) == 0) flags |= Qt::TextWordWrap;
    return flags;
}

template <typename T>
GpStatus Make(T** out, T value) {
    if (!State().started) return GdiplusNotInitialized;
    if (out == nullptr) return InvalidParameter;
    *out = new (std::nothrow) T(std::move(value));
    return *out != nullptr ? Ok : GenericError;
}

}  // namespace

GpStatus GdiplusStartup(std::uintptr_t* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
    if (token == nullptr || input == nullptr || input->GdiplusVersion != 1) return InvalidParameter;
    if (input->SuppressBackgroundThread && output == nullptr) return InvalidParameter;
    ApiState& state = State();
    state.started = true;
    state.token = state.next_token++;
    *token = state.token;
    if (output != nullptr) {
        output->NotificationHook = [](std::uintptr_t* t) {
            if (t == nullptr) return InvalidParameter;
            *t = State().next_token++;
            return Ok;
        };
        output->NotificationUnhook = [](std::uintptr_t) {};
    }
    return Ok;
}

void GdiplusShutdown(std::uintptr_t token) {
    ApiState& state = State();
    if (state.started && token == state.token) state.started = false;
}

void* GdipAlloc(std::size_t size) { return State().started ? std::malloc(size) : nullptr; }
void GdipFree(void* block) { std::free(block); }

GpStatus GdipCreateFontFamilyFromName(const char16_t* name, GpFontCollection*, GpFontFamily** family) {
    if (name == nullptr || *name == 0) return InvalidParameter;
    const std::string mapped = ui::MapFontFamily(QString::fromUtf16(name).toStdString());
    return Make(family, GpFontFamily{QString::fromStdString(mapped)});
}
GpStatus GdipDeleteFontFamily(GpFontFamily* family) {
    delete family;
    return Ok;
}
GpStatus GdipCreateFont(const GpFontFamily* family, float em_size, int style, int unit, GpFont** font) {
    if (family == nullptr || em_size <= 0 || unit != UnitPoint) return InvalidParameter;
    return Make(font, GpFont{family->family, em_size, style});
}
GpStatus GdipDeleteFont(GpFont* font) {
    delete font;
    return Ok;
}
GpStatus GdipCreateSolidFill(ARGB color, GpBrush** brush) { return Make(brush, GpBrush{color}); }
GpStatus GdipDeleteBrush(GpBrush* brush) {
    delete brush;
    return Ok;
}
GpStatus GdipCreateStringFormat(int flags, std::uint16_t, GpStringFormat** format) {
    return Make(format, GpStringFormat{flags});
}
GpStatus GdipDeleteStringFormat(GpStringFormat* format) {
    delete format;
    return Ok;
}
GpStatus GdipSetStringFormatAlign(GpStringFormat* format, int align) {
    if (format == nullptr || align < 0 || align > 2) return InvalidParameter;
    format->align = align;
    return Ok;
}
GpStatus GdipSetStringFormatLineAlign(GpStringFormat* format, int align) {
    if (format == nullptr || align < 0 || align > 2) return InvalidParameter;
    format->line_align = align;
    return Ok;
}
GpStatus GdipSetStringFormatHotkeyPrefix(GpStringFormat* format, int prefix) {
    if (format == nullptr || prefix < 0 || prefix > 2) return InvalidParameter;
    format->hotkey_prefix = prefix;
    return Ok;
}
GpStatus GdipCreateFromHDC(HDC dc, GpGraphics** graphics) {
    if (dc == nullptr) return InvalidParameter;
    return Make(graphics, GpGraphics{dc});
}
GpStatus GdipDeleteGraphics(GpGraphics* graphics) {
    delete graphics;
    return Ok;
}
GpStatus GdipSetTextRenderingHint(GpGraphics* graphics, int hint) {
    if (graphics == nullptr || hint < 0 || hint > 5) return InvalidParameter;
    graphics->hint = hint;
    return Ok;
}

GpStatus GdipMeasureString(GpGraphics* graphics, const char16_t* text, int length, const GpFont* font,
                           const RectF* layout, const GpStringFormat* format, RectF* bounding_box,
                           int* codepoints_fitted, int* lines_filled) {
    if (graphics == nullptr || text == nullptr || font == nullptr || layout == nullptr || bounding_box == nullptr) {
        return InvalidParameter;
    }
    int underline = -1;
    const QString shown =
        ApplyHotkeyPrefix(TextOf(text, length), format != nullptr ? format->hotkey_prefix : 0, underline);
    const QFontMetricsF metrics(QtFont(*font, graphics->hint));
    const QRectF box = metrics.boundingRect(Layout(layout), QtAlignment(format), shown);
    *bounding_box = RectF{static_cast<float>(box.x()), static_cast<float>(box.y()), static_cast<float>(box.width()),
                          static_cast<float>(box.height())};
    if (codepoints_fitted != nullptr) *codepoints_fitted = static_cast<int>(TextOf(text, length).size());
    if (lines_filled != nullptr) *lines_filled = 1;
    return Ok;
}

GpStatus GdipDrawString(GpGraphics* graphics, const char16_t* text, int length, const GpFont* font, const RectF* layout,
                        const GpStringFormat* format, const GpBrush* brush) {
    if (graphics == nullptr || text == nullptr || font == nullptr || layout == nullptr || brush == nullptr) {
        return InvalidParameter;
    }
    QImage* image = graphics->canvas->Image();
    if (image == nullptr || image->isNull()) return Ok;
    int underline = -1;
    const QString shown =
        ApplyHotkeyPrefix(TextOf(text, length), format != nullptr ? format->hotkey_prefix : 0, underline);
    QPainter painter(image);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFont qfont = QtFont(*font, graphics->hint);
    painter.setFont(qfont);
    const ARGB c = brush->color;
    painter.setPen(QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF, (c >> 24) & 0xFF));
    // Centred text may start between two pixels: its baseline is moved onto a whole row, so the
    // glyphs keep their grid-fitted edges and the mnemonic's underline stays one clean row.
    const QFontMetricsF metrics(qfont);
    const QRectF area = Layout(layout);
    const QRectF box = metrics.boundingRect(area, QtAlignment(format), shown);
    const QPointF shift(std::round(box.x()) - box.x(), std::round(box.y()) - box.y());
    QRectF drawn;
    painter.drawText(area.translated(shift), QtAlignment(format), shown, &drawn);
    if (underline >= 0) {
        // Under the mnemonic where the font puts its own underline.
        const ui::TTextMetric metric = ui::TextMetricOf(qfont);
        const qreal x = drawn.x() + metrics.horizontalAdvance(shown.left(underline));
        const qreal w = metrics.horizontalAdvance(shown.mid(underline, 1));
        const qreal y = std::round(drawn.y()) + metric.Ascent + metric.UnderlinePosition;
        painter.fillRect(QRectF(x, y, w, metric.UnderlineThickness), painter.pen().color());
    }
    return Ok;
}

}  // namespace gdiplus
