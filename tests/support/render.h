// Headless UI test support: one Qt application per test process (offscreen platform, 96 dpi,
// set by the test helper's environment) and rendering a control into an image.
#pragma once

#include <QImage>

#include "platform/ui/controls/controls.h"
#include "platform/ui/graphics/colors.h"

namespace test_support {

// Creates the process's Qt application on first use.
void EnsureApplication();

// Paints `control` through its own paint event into a new image of its size (32-bit ARGB).
QImage RenderControl(ui::TControl& control);

// The pixel at (x, y) as 0x00BBGGRR, to compare with TColor values.
ui::TColor PixelAt(const QImage& image, int x, int y);

}  // namespace test_support
