// Writes the seed corpus of every fuzz target: small valid inputs that start a run deep inside the
// code instead of at its first length check. The files are committed under fuzz/corpus/<target>;
// after a change of an input format, run this again from the fuzz build and commit the result:
//
//   build-fuzz/bin/make_seed_corpus fuzz/corpus
//
// Pictures: BMP files of every pixel layout the reader takes (1, 4, 8, 16, 24 and 32 bits, RLE4
// and RLE8, bit fields, top-down rows, the 12-byte and the 108-byte headers), a JPEG, a PNG, a GIF
// and an icon; the picture target's inputs carry the format byte in front. Album files of both
// versions. Frame sequences of SDO transfers and NM traffic for the dispatcher.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QCoreApplication>
#include <QImage>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/graphics/bmp_codec.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

// ---------------------------------------------------------------------------------------------
// BMP

struct BmpLayout {
    int width = 0;
    int height = 0;  // negative: rows top-down
    int bits = 24;
    std::uint32_t compression = 0;  // 0 RGB, 1 RLE8, 2 RLE4, 3 bit fields
    int info_size = 40;             // 12, 40 or 108
    std::vector<std::uint32_t> palette;
    std::vector<std::uint32_t> masks;  // red, green, blue (and alpha with a 108-byte header)
};

// Rows in file order, each padded to four bytes; a pattern of palette indices or colours.
Bytes PixelRows(const BmpLayout& l) {
    const int rows = l.height < 0 ? -l.height : l.height;
    const std::size_t stride = ((static_cast<std::size_t>(l.width) * l.bits + 31) / 32) * 4;
    Bytes out;
    for (int y = 0; y < rows; ++y) {
        Bytes row(stride, 0);
        for (int x = 0; x < l.width; ++x) {
            const auto value = static_cast<std::uint32_t>(x * 7 + y * 13);
            const std::size_t bit = static_cast<std::size_t>(x) * l.bits;
            if (l.bits < 8) {
                const std::uint32_t index = value % static_cast<std::uint32_t>(l.palette.size());
                const int shift = 8 - l.bits - static_cast<int>(bit % 8);
                row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | index << shift);
            } else {
                const std::uint32_t v = l.bits == 8 ? value % static_cast<std::uint32_t>(l.palette.size())
                                                    : value * 0x010305u | 0x80000000u;
                for (int b = 0; b < l.bits / 8; ++b)
                    row[bit / 8 + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(v >> (8 * b));
            }
        }
        Append(out, row);
    }
    return out;
}

Bytes Bmp(const BmpLayout& l, const Bytes& pixels) {
    const bool core = l.info_size == 12;
    const std::size_t palette_bytes = l.palette.size() * (core ? 3 : 4);
    const std::size_t masks_bytes = l.info_size == 40 ? l.masks.size() * 4 : 0;
    const std::size_t offset = 14 + static_cast<std::size_t>(l.info_size) + masks_bytes + palette_bytes;
    Bytes out = {'B', 'M'};
    Put32(out, static_cast<std::uint32_t>(offset + pixels.size()));
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(offset));
    Put32(out, static_cast<std::uint32_t>(l.info_size));
    if (core) {
        Put16(out, static_cast<std::uint32_t>(l.width));
        Put16(out, static_cast<std::uint32_t>(l.height));
        Put16(out, 1);
        Put16(out, static_cast<std::uint32_t>(l.bits));
    } else {
        Put32(out, static_cast<std::uint32_t>(l.width));
        Put32(out, static_cast<std::uint32_t>(l.height));
        Put16(out, 1);
        Put16(out, static_cast<std::uint32_t>(l.bits));
        Put32(out, l.compression);
        Put32(out, static_cast<std::uint32_t>(pixels.size()));
        Put32(out, 2835);
        Put32(out, 2835);
        Put32(out, static_cast<std::uint32_t>(l.palette.size()));
        Put32(out, 0);
        if (l.info_size == 108) {
            for (std::size_t i = 0; i < 4; ++i) Put32(out, i < l.masks.size() ? l.masks[i] : 0);
            Put32(out, 0x73524742);                      // colour space "sRGB"
            for (int i = 0; i < 12; ++i) Put32(out, 0);  // end points and gamma
        } else {
            for (std::uint32_t m : l.masks) Put32(out, m);
        }
    }
    for (std::uint32_t c : l.palette) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c >> 16));
        if (!core) out.push_back(0);
    }
    Append(out, pixels);
    return out;
}

Bytes BmpOf(const BmpLayout& l) { return Bmp(l, PixelRows(l)); }

std::vector<std::uint32_t> Grey(int n) {
    std::vector<std::uint32_t> p;
    for (int i = 0; i < n; ++i) p.push_back(static_cast<std::uint32_t>(i * 255 / (n - 1)) * 0x010101u);
    return p;
}

struct Named {
    std::string name;
    Bytes bytes;
};

std::vector<Named> BmpSeeds() {
    std::vector<Named> seeds;
    seeds.push_back({"1bit.bmp", BmpOf({9, 4, 1, 0, 40, Grey(2), {}})});
    seeds.push_back({"4bit.bmp", BmpOf({7, 3, 4, 0, 40, Grey(16), {}})});
    seeds.push_back({"8bit.bmp", BmpOf({5, 4, 8, 0, 40, Grey(6), {}})});
    seeds.push_back({"24bit.bmp", BmpOf({5, 3, 24, 0, 40, {}, {}})});
    seeds.push_back({"24bit_top_down.bmp", BmpOf({3, -4, 24, 0, 40, {}, {}})});
    seeds.push_back({"24bit_core_header.bmp", BmpOf({4, 2, 24, 0, 12, {}, {}})});
    seeds.push_back({"8bit_core_header.bmp", BmpOf({4, 2, 8, 0, 12, Grey(4), {}})});
    seeds.push_back({"16bit_565_fields.bmp", BmpOf({4, 3, 16, 3, 40, {}, {0xF800, 0x07E0, 0x001F}})});
    seeds.push_back({"16bit_555.bmp", BmpOf({4, 3, 16, 0, 40, {}, {}})});
    seeds.push_back(
        {"32bit_alpha_fields_v4.bmp", BmpOf({3, 3, 32, 3, 108, {}, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}})});
    std::vector<std::uint32_t> argb(12);
    for (std::size_t i = 0; i < argb.size(); ++i) argb[i] = 0x80102030u + static_cast<std::uint32_t>(i) * 0x010203u;
    seeds.push_back({"32bit.bmp", ui::bmp::Encode32(argb.data(), 4, 3)});
    // RLE8: a run, an absolute run (odd, padded), end of line, a delta, a run, end of picture.
    const Bytes rle8 = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 1, 1, 2, 5, 0, 1};
    seeds.push_back({"rle8.bmp", Bmp({6, 3, 8, 1, 40, Grey(6), {}}, rle8)});
    // RLE4: a run of two alternating indices, an absolute run of three, end of line, end.
    const Bytes rle4 = {4, 0x12, 0, 3, 0x34, 0x50, 0, 0, 6, 0x77, 0, 1};
    seeds.push_back({"rle4.bmp", Bmp({7, 2, 4, 2, 40, Grey(16), {}}, rle4)});
    return seeds;
}

// ---------------------------------------------------------------------------------------------
// Other picture formats, through the toolkit's writers (GIF by hand: the toolkit cannot write it)

QImage SmallPicture(int w, int h, bool alpha) {
    QImage image(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba(x * 30, y * 40, (x + y) * 20, alpha ? 40 + 20 * x : 255));
    }
    return image;
}

Bytes Written(const QImage& image, const char* format) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format)) {
        std::fprintf(stderr, "make_seed_corpus: the toolkit cannot write %s\n", format);
        std::exit(1);
    }
    return Bytes(data.begin(), data.end());
}

// 2 x 2, two colours, pixels 0 1 / 1 0: LZW codes clear, 0, 1, 1, 0, end (3 bits, then 4).
Bytes Gif() {
    return {'G',  'I',  'F',  '8',  '9',  'a',  2, 0, 2, 0, 0x80, 0, 0,  // screen, global table of 2
            0,    0,    0,    0xFF, 0xFF, 0xFF,                          // black, white
            0x21, 0xF9, 4,    0,    0,    0,    0, 0,                    // graphic control extension
            0x2C, 0,    0,    0,    0,    2,    0, 2, 0, 0,              // image descriptor
            2,    3,    0x44, 0x02, 0x05, 0,                             // LZW code size, data
            0x3B};
}

// ---------------------------------------------------------------------------------------------
// Album files

Bytes Album(std::uint16_t version, std::uint16_t family, const std::vector<std::pair<std::string, Bytes>>& pages) {
    Bytes out;
    Put16(out, version);
    if (version == 2) Put16(out, family);
    Put16(out, static_cast<std::uint32_t>(pages.size()));
    for (const auto& [caption, picture] : pages) {
        Put16(out, static_cast<std::uint32_t>(caption.size()));
        out.insert(out.end(), caption.begin(), caption.end());
        Put32(out, static_cast<std::uint32_t>(picture.size()));
        Append(out, picture);
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Dispatcher frame sequences: 11 bytes a frame (COB-ID low, high, remote flag 0x80 | DLC, 8 data)

constexpr std::uint16_t kOwn = 5;  // the id the harness assigns

struct Frames {
    Bytes bytes;
    Frames& Add(std::uint16_t cob_id, std::initializer_list<std::uint8_t> data, bool remote = false) {
        Put16(bytes, cob_id);
        bytes.push_back(static_cast<std::uint8_t>((remote ? 0x80 : 0) | data.size()));
        std::size_t n = 0;
        for (std::uint8_t b : data) {
            bytes.push_back(b);
            ++n;
        }
        for (; n < 8; ++n) bytes.push_back(0);
        return *this;
    }
};

std::vector<Named> DispatcherSeeds() {
    std::vector<Named> seeds;
    // A peer reads the node's name (0x100D, 9 bytes) segmented on server channel 1.
    Frames segmented;
    segmented.Add(0x700 + kOwn, {0x40, 0x0D, 0x10, 0x00})
        .Add(0x700 + kOwn, {0x60})
        .Add(0x700 + kOwn, {0x70})
        .Add(0x700 + kOwn, {0x60});
    seeds.push_back({"server_segmented_upload", segmented.bytes});
    // A block upload of 0x100F sub 255 on channel 2: initiate, start, acknowledge, end.
    Frames block;
    block.Add(0x720 + kOwn, {0xA4, 0x0F, 0x10, 0xFF, 0x7F, 0x00})
        .Add(0x720 + kOwn, {0xA3})
        .Add(0x720 + kOwn, {0xA2, 0x04, 0x7F})
        .Add(0x720 + kOwn, {0xA1});
    seeds.push_back({"server_block_upload", block.bytes});
    // Writes the read-only dictionary refuses: expedited and segmented, then an abort.
    Frames refused;
    refused.Add(0x740 + kOwn, {0x23, 0x00, 0x10, 0x00, 1, 2, 3, 4})
        .Add(0x760 + kOwn, {0x21, 0x08, 0x10, 0x00, 10, 0, 0, 0})
        .Add(0x760 + kOwn, {0x00, 'a', 'b', 'c', 'd', 'e', 'f', 'g'})
        .Add(0x760 + kOwn, {0x80, 0x08, 0x10, 0x00, 0x00, 0x00, 0x04, 0x05});
    seeds.push_back({"server_refused_writes", refused.bytes});
    // Node 2 answers the worker's transfers: block download, expedited and segmented uploads.
    Frames client;
    client.Add(0x782, {0xA4, 0x19, 0x10, 0x00, 0x7F})
        .Add(0x782, {0xA2, 0x1D, 0x7F})
        .Add(0x782, {0xA1})
        .Add(0x782, {0x43, 0x1F, 0x10, 0x03, 1, 2, 3, 4})
        .Add(0x782, {0x4B, 0x00, 0x10, 0x00, 0x31, 0x10})
        .Add(0x782, {0x41, 0x1F, 0x10, 0x03, 12, 0, 0, 0})
        .Add(0x782, {0x00, 1, 2, 3, 4, 5, 6, 7})
        .Add(0x782, {0x1B, 8, 9, 10, 11, 12})
        .Add(0x782, {0x60, 0x19, 0x10, 0x00})
        .Add(0x782, {0x20})
        .Add(0x782, {0x80, 0x19, 0x10, 0x00, 0x00, 0x00, 0x02, 0x06});
    seeds.push_back({"client_answers", client.bytes});
    // NM: start, guarding, stop, clear, reset, a new assignment; the master's state and
    // power-down; fault reports.
    Frames nm;
    nm.Add(0x000, {1, 0, 0})
        .Add(0x7C0 + kOwn, {}, true)
        .Add(0x7C0 + kOwn, {}, true)
        .Add(0x000, {2, 0, 0})
        .Add(0x000, {0x82, 0, 0})
        .Add(0x080, {7, 1, 3})
        .Add(0x043, {0x05, 0x35, 0x34, 0x12})
        .Add(0x041, {0x34, 0x12, 0x02, 0x00, 0x01, 0xCD, 0xAB})
        .Add(0x000, {0x81, 0, 0})
        .Add(0x7EA, {6, 0x0F, 0, 0x0F, 0})
        .Add(0x7EA, {7, 0x0F, 0, 5, 0, 0, 0})
        .Add(0x7EA, {8, 0x0F, 0, 0x20, 0, 0, 0})
        .Add(0x7EA, {1, kOwn, 0x0F, 0x00, 0x0A, 0, 0, 0})
        .Add(0x080, {0x85});
    seeds.push_back({"nm_and_master", nm.bytes});
    return seeds;
}

void Write(const std::filesystem::path& folder, const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "make_seed_corpus: cannot write %s\n", (folder / name).c_str());
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seed_corpus <corpus folder>\n");
        return 2;
    }
    QCoreApplication app(argc, argv);  // the toolkit finds its image writers through it
    const std::filesystem::path root = argv[1];
    const std::vector<Named> bmps = BmpSeeds();
    for (const Named& b : bmps) Write(root / "fuzz_bmp_reader", b.name, b.bytes);

    // The picture target's first byte picks the format: bmp, ico, jpg, png, gif.
    auto picture = [&](std::uint8_t format, const std::string& name, const Bytes& file) {
        Bytes input = {format};
        Append(input, file);
        Write(root / "fuzz_picture_load", name, input);
    };
    picture(0, "24bit.bmp", bmps[3].bytes);
    picture(0, "rle8.bmp", bmps[11].bytes);
    picture(1, "icon.ico", Written(SmallPicture(16, 16, true), "ICO"));
    picture(2, "picture.jpg", Written(SmallPicture(8, 8, false), "JPG"));
    picture(3, "picture.png", Written(SmallPicture(5, 4, true), "PNG"));
    picture(4, "picture.gif", Gif());

    const auto album = root / "fuzz_album_file";
    Write(album, "version2.alb",
          Album(2, 1, {{"Beach", bmps[10].bytes}, {"Caf\xE9", bmps[2].bytes}, {"", bmps[11].bytes}}));
    Write(album, "version1.alb", Album(1, 0, {{"one", bmps[3].bytes}}));
    Write(album, "empty.alb", Album(2, 3, {}));

    for (const Named& d : DispatcherSeeds()) Write(root / "fuzz_dispatcher", d.name, d.bytes);
    return 0;
}
