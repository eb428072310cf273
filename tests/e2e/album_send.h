// What an album send needs in a test: the album's pictures, the payload the device must receive
// for them, and a record of what the transfer showed the user.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/album_payload.h"
#include "app/album_transfer.h"
#include "app/device_family.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/bitmap.h"

namespace e2e {

using Bytes = std::vector<std::uint8_t>;

class Album {
public:
    // `count` small blank pictures of their own sizes.
    explicit Album(int count) {
        for (int i = 0; i < count; ++i) Add(16 + i, 12, false);
    }
    // `count` pictures of the family's screen size, each with a texture of its own that JPEG does
    // not shrink to nothing, as photographs are.
    static Album Textured(int count, int family) {
        Album album(0);
        for (int i = 0; i < count; ++i) album.Add(app::ScreenWidth(family), app::ScreenHeight(family), true);
        return album;
    }

    const app::AlbumPages& pages() const { return pages_; }
    Bytes Payload(int family, int variant, std::uint16_t version) const {
        ui::TMemoryStream out;
        const auto& property =
            app::DeviceFamilies[static_cast<std::size_t>(family)].Variants[static_cast<std::size_t>(variant)];
        if (app::IsV2Family(family)) {
            app::BuildTransferBlockV2(pages_, family, property, version, out);
        } else {
            app::BuildAlbumPayload(pages_, family, property, version, out);
        }
        return Bytes(out.Memory(), out.Memory() + out.Size());
    }

private:
    void Add(int width, int height, bool textured) {
        auto bitmap = std::make_unique<ui::TBitmap>();
        bitmap->SetSize(width, height);
        if (textured) Texture(*bitmap, static_cast<std::uint32_t>(bitmaps_.size()) + 1);
        pages_.push_back({"Picture " + std::to_string(bitmaps_.size() + 1), bitmap.get()});
        bitmaps_.push_back(std::move(bitmap));
    }
    // Gradients under a little noise from a fixed seed: the same album on every run.
    static void Texture(ui::TBitmap& bitmap, std::uint32_t seed) {
        std::uint32_t state = seed * 2654435761u;
        for (int y = 0; y < bitmap.Height(); ++y) {
            std::uint8_t* row = bitmap.ScanLine(y);
            for (int x = 0; x < bitmap.Width(); ++x) {
                state = state * 1664525u + 1013904223u;
                const int noise = static_cast<int>(state >> 31);
                row[3 * x + 0] = static_cast<std::uint8_t>((x * 255 / bitmap.Width() + noise) & 0xFF);
                row[3 * x + 1] = static_cast<std::uint8_t>((y * 255 / bitmap.Height() + noise) & 0xFF);
                row[3 * x + 2] = static_cast<std::uint8_t>((seed * 37 + x + y + noise) & 0xFF);
            }
        }
    }

    std::vector<std::unique_ptr<ui::TBitmap>> bitmaps_;
    app::AlbumPages pages_;
};

// Every message the transfer showed, one line each: "error: ...", "message: ...",
// "information: <caption>: ...".
struct Shown {
    std::vector<std::string> lines;
    app::TransferUi Ui() {
        return {[this](const std::string& t) { lines.push_back("error: " + t); },
                [this](const std::string& t) { lines.push_back("message: " + t); },
                [this](const std::string& t, const std::string& c) { lines.push_back("information: " + c + ": " + t); },
                {}};
    }
};

}  // namespace e2e
