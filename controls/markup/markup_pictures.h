// What the markup's picture sources name, and the drawing helpers of markup backgrounds: the
// stepped gradient, the desktop's file icons and scaled bitmap output.
#pragma once

#include <string>

#include "controls/pictures/html_picture.h"
#include "controls/pictures/picture_container.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

namespace panel {

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

// Draws the desktop icon of `name` (a path, a file name whose extension tells its kind, or a
// stock icon number) at (x, y) when `draw`; when printing, through a bitmap scaled by `factor`.
// Returns the icon size.
ui::TSize DrawShellIcon(ui::TCanvas& canvas, int x, int y, bool large, bool draw, bool print, double factor,
                        const std::string& name);

// Stripes of `steps` colours from `start` to `end` across `rect` (left to right when
// horizontal, else top to bottom); a border colour other than clNone outlines the rectangle.
void GradientFill(ui::TCanvas& canvas, ui::TColor start, ui::TColor end, bool horizontal, const ui::TRect& rect,
                  int steps, ui::TColor border);

// The whole bitmap drawn scaled into `dest`.
void DrawScaledBitmap(ui::TCanvas& canvas, const ui::TRect& dest, const ui::TBitmap& bitmap);

}  // namespace panel
