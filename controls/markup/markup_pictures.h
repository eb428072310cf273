// What the markup's picture sources name: an image list's pictures, the desktop's file icons,
// a container's named pictures and pictures loaded from addresses. A layout keeps pointers to
// the sources and pictures; it never owns them.
#pragma once

#include <string>

#include "platform/ui/graphics/geometry.h"

namespace ui {
class TImageList;
}  // namespace ui

namespace panel {

class THTMLPicture;       // controls/pictures/html_picture.h
class THTMLPictureCache;  // controls/pictures/html_picture.h
class TPictureContainer;  // controls/pictures/picture_container.h

// Where the pictures of a markup text come from; each may be absent.
struct MarkupPictureSources {
    const ui::TImageList* images = nullptr;
    TPictureContainer* container = nullptr;
    THTMLPictureCache* cache = nullptr;
};

enum class MarkupPictureKind { None, ImageList, ShellIcon, Picture };

// A resolved picture source with its size in canvas pixels (0 x 0 for None).
struct MarkupPicture {
    MarkupPictureKind kind = MarkupPictureKind::None;
    int image_index = 0;              // ImageList
    bool large = false;               // ShellIcon
    std::string shell_name;           // ShellIcon
    THTMLPicture* picture = nullptr;  // Picture (container or address), never an empty one
    ui::TSize size;
};

// Resolves a source in the order "IDX:n" (image n of the image list, below its count; n is the
// leading digits, 0 without any), "SSYS:" / "LSYS:" (the small / large desktop icon of a file,
// folder or stock number), a name without ":" (the container's picture) and an address with
// "://" (the cache's picture, loaded once). Sizes are scaled by the canvas's pixels per inch /
// 96; a picture's size is its animation size.
MarkupPicture ResolveMarkupPicture(const std::string& source, const MarkupPictureSources& sources);

}  // namespace panel
