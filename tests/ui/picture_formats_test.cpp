#include "platform/ui/graphics/picture_formats.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/forms/dialogs.h"
#include "platform/ui/graphics/graphic.h"

namespace ui {
namespace {

TEST(PictureFormats, AnExtensionNamesItsFormatAndItsGraphicInAnyCaseWithOrWithoutTheDot) {
    struct Case {
        const char* extension;
        std::optional<TPictureFormat> format;
        const char* class_name;
    };
    const Case cases[] = {
        {"bmp", TPictureFormat::gfBitmap, "TBitmap"},
        {".ICO", TPictureFormat::gfIcon, "TIcon"},
        {"Jpg", TPictureFormat::gfJPEG, "TJPEGImage"},
        {".jpeg", TPictureFormat::gfJPEG, "TJPEGImage"},
        {"PNG", TPictureFormat::gfPNG, "TDecodedImage"},
        {"gif", TPictureFormat::gfGIF, "TDecodedImage"},
        {"emf", std::nullopt, ""},
        {"", std::nullopt, ""},
        {".", std::nullopt, ""},
        {"jp", std::nullopt, ""},
        {"jpgx", std::nullopt, ""},
        {"..bmp", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension);
        const TPictureFormatInfo* row = FindPictureFormat(c.extension);
        if (!c.format) {
            EXPECT_EQ(row, nullptr);
            continue;
        }
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->format, *c.format);
        EXPECT_EQ(&PictureFormatInfo(*c.format), row);
        const std::unique_ptr<TGraphic> graphic = row->create();
        EXPECT_EQ(graphic->ClassName(), c.class_name);
        EXPECT_TRUE(graphic->Empty());
    }
    EXPECT_TRUE(IsMetafileExtension(".EMF"));
    EXPECT_TRUE(IsMetafileExtension("wmf"));
    EXPECT_FALSE(IsMetafileExtension("bmp"));
}

TEST(PictureFormats, DataIsToldByItsFirstBytes) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> data;
        std::optional<TPictureFormat> format;
    };
    const Case cases[] = {
        {"bitmap", {'B', 'M', 0x36, 0}, TPictureFormat::gfBitmap},
        {"icon", {0, 0, 1, 0, 1, 0}, TPictureFormat::gfIcon},
        {"jpeg", {0xFF, 0xD8, 0xFF, 0xE0}, TPictureFormat::gfJPEG},
        {"png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0}, TPictureFormat::gfPNG},
        {"gif", {'G', 'I', 'F', '8', '9', 'a'}, TPictureFormat::gfGIF},
        {"a cursor, not an icon", {0, 0, 2, 0, 1, 0}, std::nullopt},
        {"cut inside the signature", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A}, std::nullopt},
        {"a jpeg's start alone", {0xFF, 0xD8}, std::nullopt},
        {"text", {'G', 'I', 'F', 'T'}, std::nullopt},
        {"nothing", {}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TPictureFormatInfo* row = FindPictureFormatOfData(c.data.data(), c.data.size());
        if (c.format) {
            ASSERT_NE(row, nullptr);
            EXPECT_EQ(row->format, *c.format);
        } else {
            EXPECT_EQ(row, nullptr);
        }
    }
    EXPECT_EQ(FindPictureFormatOfData(nullptr, 4), nullptr);
}

TEST(PictureFormats, TheGraphicFilterListsEveryExtensionInTheRegistrysOrder) {
    EXPECT_EQ(GraphicFilter(),
              "All (*.bmp;*.ico;*.jpg;*.jpeg;*.png;*.gif)|*.bmp;*.ico;*.jpg;*.jpeg;*.png;*.gif"
              "|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|JPEG Image File (*.jpg)|*.jpg"
              "|JPEG Image File (*.jpeg)|*.jpeg|Portable Network Graphics (*.png)|*.png|GIF Image (*.gif)|*.gif");
}

}  // namespace
}  // namespace ui
