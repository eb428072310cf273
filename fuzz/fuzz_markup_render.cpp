// Lays out arbitrary markup, hit-tests it and settles what it paints, as the panel does for the
// mouse, for its auto-size and its paint: the first byte sets word wrap, the measuring mode, line spacing and
// the paint inputs (hover style, focus, selected, blink), the next two the point, the rest is the
// text (tags, attributes, entities, picture sources). The same bytes are
// also scanned as a GIF for frame markers and a frame selected. Nothing may crash, hang or read
// outside its data.
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "controls/markup/markup_renderer.h"
#include "controls/pictures/gif_frames.h"
#include "controls/pictures/picture_container.h"
#include "platform/ui/graphics/canvas.h"

// The font configuration library keeps the fonts it has matched for the life of the process;
// new font names in the input grow that cache, which is not a leak of the code under test.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Text is measured with real fonts, which need the application object; no screen is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kMaxText = 4096;
    if (size < 3 || size > kMaxText) return 0;

    const std::vector<std::uint8_t> bytes(data, data + size);
    const int frames = panel::CountGifFrameMarkers(bytes);
    const panel::GifFrameSelection selection = panel::SelectGifFrame(bytes, 1 + data[0] % 4);
    if (selection.data.size() > bytes.size() || frames < 0) __builtin_trap();

    panel::TPictureContainer container(nullptr);
    container.Items().Add()->SetName("pic");
    panel::THTMLPictureCache cache;
    panel::MarkupLayoutInputs inputs;
    inputs.text.assign(reinterpret_cast<const char*>(data + 3), size - 3);
    inputs.rect = ui::Rect(0, 0, 160, 100);
    inputs.pictures.container = &container;
    inputs.pictures.cache = &cache;
    inputs.word_wrap = (data[0] & 1) != 0;
    inputs.all_lines = (data[0] & 4) != 0;
    inputs.line_spacing = (data[0] >> 4) & 3;
    panel::MarkupPaintInputs paint;
    paint.hover_style = (data[0] & 2) != 0;
    paint.hover_anchor = 1;
    paint.focus_anchor = (data[0] & 8) ? 0 : -1;
    paint.selected = (data[0] & 64) != 0;
    paint.blink = (data[0] & 128) != 0;
    paint.point = ui::Point(data[1] % 160, data[2] % 100);

    ui::TCanvas canvas;  // measures without pixels
    const panel::MarkupLayout layout = panel::LayoutMarkup(canvas, inputs);
    const panel::MarkupHit hit = layout.HitTest(paint.point);
    if (hit.hit && hit.anchor < 1) __builtin_trap();
    if (layout.height <= 0 || layout.width < 0) __builtin_trap();
    // Every paint value settles, naming only values of the layout, and no more operations are
    // painted than were laid out. (Drawing itself is the platform's, and desktop icons need a
    // widget application.)
    const std::vector<panel::MarkupOp> painted = layout.PaintedOps(paint, ui::clWhite);
    if (painted.size() > layout.ops.size()) __builtin_trap();
    return 0;
}
