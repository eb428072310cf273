// Loads arbitrary bytes as a picture. The first byte picks the format (as a file extension
// would), the rest is the file. Loading must succeed or raise the class library's errors; a
// loaded picture is then copied and drawn, so its size and pixels are used too. A JPEG is also
// decoded from a stream, which must give what memory gives. Inputs that claim a
// large picture are passed over (picture_claims.h).
//
// Seeds: fuzz/corpus/fuzz_picture_load, made by make_seed_corpus.
#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "fuzz/picture_claims.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/jpeg.h"
#include "platform/ui/graphics/picture.h"

namespace {

constexpr std::array<const char*, 5> kExtensions = {"bmp", "ico", "jpg", "png", "gif"};

// The toolkit's GIF reader takes frames that reach outside the screen and blocks that a header walk
// does not foresee, so for the formats it reads the harness asks it what the picture comes to
// (cheap next to copying a large picture into a bitmap).
bool ToolkitReadsLarge(const char* extension, const std::uint8_t* data, std::size_t size) {
    const std::string_view ext(extension);
    if (ext != "png" && ext != "gif" && ext != "ico") return false;
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, extension);
    const QImage image = reader.read();
    return static_cast<std::uint64_t>(image.width()) * static_cast<std::uint64_t>(image.height()) >
           fuzz::kMaxClaimedPixels;
}

// A JPEG decoded from a stream a block at a time must give what it gives from memory, or fail
// as it fails there.
void DecodeFromStreamAsFromMemory(const std::uint8_t* data, std::size_t size) {
    auto decode = [&](bool from_stream, std::vector<std::uint8_t>& pixels) {
        auto pixels_for = [&](int width, int height) {
            pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
            return pixels.data();
        };
        try {
            if (from_stream) {
                ui::TMemoryStream stream;
                stream.WriteBuffer(data, static_cast<std::int64_t>(size));
                stream.SetPosition(0);
                ui::DecodeJpegPixels32(stream, pixels_for);
            } else {
                ui::DecodeJpegPixels32(data, size, pixels_for);
            }
            return true;
        } catch (const ui::Exception&) {
            return false;
        }
    };
    std::vector<std::uint8_t> from_memory, from_stream;
    const bool memory_ok = decode(false, from_memory);
    const bool stream_ok = decode(true, from_stream);
    if (memory_ok != stream_ok || (memory_ok && from_memory != from_stream)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Image plug-ins are found through the application object; it lives for the whole run.
    static QCoreApplication app(*argc, *argv);
    // The toolkit's readers (PNG, GIF, icons) may grow a picture past what its header says while
    // decoding; their own allocation limit stops the worst early, and its warnings would only slow
    // the run down.
    QImageReader::setAllocationLimit(1);  // MB
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const char* extension = kExtensions[data[0] % kExtensions.size()];
    if (fuzz::PictureClaim(extension, data + 1, size - 1) > fuzz::kMaxClaimedPixels) return -1;
    if (ToolkitReadsLarge(extension, data + 1, size - 1)) return -1;
    try {
        std::unique_ptr<ui::TGraphic> graphic = ui::CreateGraphicForExtension(extension);
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
    } catch (const ui::Exception&) {}
    if (std::string_view(extension) == "jpg") DecodeFromStreamAsFromMemory(data + 1, size - 1);
    return 0;
}
