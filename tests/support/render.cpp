#include "tests/support/render.h"

#include <QApplication>
#include <QWidget>
#include <memory>

namespace test_support {

void EnsureApplication() {
    if (QApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "qbk-test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the toolkit's own process-wide objects (its input-device list) go before
    // a static application object would, and taking the application apart after them crashes.
    [[maybe_unused]] static QApplication* const app = new QApplication(argc, argv);
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
