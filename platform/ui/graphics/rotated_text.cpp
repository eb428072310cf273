#include "platform/ui/graphics/rotated_text.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "platform/ui/graphics/graphics.h"

namespace ui {

namespace {

QFont ToQFont(const TLogFont& log) {
    TFont font;
    font.SetName(log.FaceName);
    font.SetHeight(log.Height);
    TFontStyles style;
    if (log.Weight >= FW_BOLD) style.Include(TFontStyle::fsBold);
    if (log.Italic) style.Include(TFontStyle::fsItalic);
    if (log.Underline) style.Include(TFontStyle::fsUnderline);
    if (log.StrikeOut) style.Include(TFontStyle::fsStrikeOut);
    font.SetStyle(style);
    return MakeQFont(font);
}

}  // namespace

TLogFont LogFontOf(const TFont& font, int escapement, int orientation) {
    TLogFont log;
    log.Height = font.Height();
    log.Escapement = escapement;
    log.Orientation = orientation;
    const TFontStyles style = font.Style();
    log.Weight = style.Contains(TFontStyle::fsBold) ? FW_BOLD : FW_NORMAL;
    log.Italic = style.Contains(TFontStyle::fsItalic);
    log.Underline = style.Contains(TFontStyle::fsUnderline);
    log.StrikeOut = style.Contains(TFontStyle::fsStrikeOut);
    log.CharSet = DEFAULT_CHARSET;
    log.FaceName = font.Name();
    switch (font.Pitch()) {
    case TFontPitch::fpVariable:
        log.PitchAndFamily = VARIABLE_PITCH;
        break;
    case TFontPitch::fpFixed:
        log.PitchAndFamily = FIXED_PITCH;
        break;
    case TFontPitch::fpDefault:
        log.PitchAndFamily = DEFAULT_PITCH;
        break;
    }
    return log;
}

TSize RotatedTextExtent(const TLogFont& font, const std::string& text) {
    const QFontMetrics metrics(ToQFont(font));
    return TSize{metrics.horizontalAdvance(QString::fromStdString(text)), metrics.height()};
}

void RotatedTextOut(TCanvas& canvas, const TLogFont& font, int x, int y, const TRect& clip, const std::string& text,
                    TColor color) {
    QImage* image = canvas.Image();
    if (image == nullptr || image->isNull() || clip.IsEmpty() || color == clNone || text.empty()) return;
    const QFont qfont = ToQFont(font);
    QPainter painter(image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setClipRect(QRect(clip.Left, clip.Top, clip.Width(), clip.Height()));
    painter.translate(x, y);
    painter.rotate(-font.Escapement / 10.0);  // the platform turns counter-clockwise
    painter.setFont(qfont);
    const TColor rgb = ColorToRGB(color);
    painter.setPen(QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                          static_cast<int>((rgb >> 16) & 0xFF)));
    painter.drawText(QPoint(0, QFontMetrics(qfont).ascent()), QString::fromStdString(text));
}

}  // namespace ui
