#include "tests/support/render.h"

#include <gtest/gtest.h>

#include <gtest/gtest.h>
#include <QApplication>
#include <QWidget>
#include <memory>

namespace test_support {

namespace {

std::unique_ptr<QApplication>& TheApplication() {
    static std::unique_ptr<QApplication> app;
    return app;
}

// The application goes after the last test, while the toolkit's own process-wide objects (its
// input-device list) still exist: a static application object would outlive them and crash
// when it takes its devices apart at exit.
class ApplicationTearDown : public ::testing::Environment {
public:
    void TearDown() override { TheApplication().reset(); }
};

[[maybe_unused]] const auto* const kTearDown = ::testing::AddGlobalTestEnvironment(new ApplicationTearDown);

}  // namespace

void EnsureApplication() {
    if (QApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "qbk-test";
    static char* argv[] = {name, nullptr};
    TheApplication() = std::make_unique<QApplication>(argc, argv);
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
