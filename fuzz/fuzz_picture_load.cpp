// Loads arbitrary bytes as a picture. The first byte picks the format (as a file extension
// would), the rest is the file. Loading must succeed or raise the class library's errors; a
// loaded picture is then copied and drawn, so its size and pixels are used too.
#include <QCoreApplication>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/graphics/picture.h"
#include "platform/ui/core/streams.h"

namespace {

constexpr std::array<const char*, 5> kExtensions = {"bmp", "ico", "jpg", "png", "gif"};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Image plug-ins are found through the application object; it lives for the whole run.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    try {
        std::unique_ptr<ui::TGraphic> graphic = ui::CreateGraphicForExtension(kExtensions[data[0] % kExtensions.size()]);
        ui::TMemoryStream stream;
        stream.WriteBuffer(data + 1, static_cast<std::int64_t>(size - 1));
        stream.SetPosition(0);
        graphic->LoadFromStream(stream);
        ui::TPicture picture;
        picture.Assign(graphic.get());
        ui::TBitmap target;
        target.SetPixelFormat(ui::TPixelFormat::pf32bit);
        target.SetSize(16, 16);
        target.Canvas().StretchDraw(ui::Rect(0, 0, 16, 16), *picture.Graphic());
        target.Canvas().Draw(-3, -3, *picture.Graphic());
    } catch (const ui::Exception&) {
    }
    return 0;
}
