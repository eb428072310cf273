#include "tests/support/render.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace test_support {

namespace {

std::unique_ptr<QApplication>& ApplicationSlot() {
    static std::unique_ptr<QApplication> app;
    return app;
}

// The application ends after the last test, before static objects go: the input devices that
// key and mouse events create are its children and must not outlive it.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void TearDown() override { ApplicationSlot().reset(); }
};

[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace

void EnsureApplication() {
    if (QApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "qbk-test";
    static char* argv[] = {name, nullptr};
    ApplicationSlot() = std::make_unique<QApplication>(argc, argv);
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
