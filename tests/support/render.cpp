#include "tests/support/render.h"

#include <QApplication>
#include <QInputDevice>
#include <QWidget>
#include <memory>

namespace test_support {

void EnsureApplication() {
    if (QApplication::instance() != nullptr) return;
    // Qt's input-device list must outlive the application, whose input devices leave that list
    // when the application goes at the end of the process: made first, it is freed last.
    (void)QInputDevice::devices();
    static int argc = 1;
    static char name[] = "qbk-test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

QImage RenderControl(ui::TControl& control) {
    EnsureApplication();
    QImage image(control.Width(), control.Height(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    control.Widget()->render(&image);
    return image;
}

ui::TColor PixelAt(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return ui::MakeColor(static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
                         static_cast<std::uint8_t>(qBlue(p)));
}

}  // namespace test_support
