#include "controls/markup/markup_pictures.h"

#include "controls/markup/markup_text.h"
#include "controls/pictures/html_picture.h"
#include "controls/pictures/picture_container.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/controls/shell_icons.h"
#include "platform/ui/core/sysutils.h"

namespace panel {

namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

ui::TSize Scaled(ui::TSize size) {
    // The canvas measures at the screen resolution the sizes are given for.
    return ui::TSize{ui::MulDiv(size.cx, ui::kScreenPixelsPerInch, 96),
                     ui::MulDiv(size.cy, ui::kScreenPixelsPerInch, 96)};
}

}  // namespace

MarkupPicture ResolveMarkupPicture(const std::string& source, const MarkupPictureSources& sources) {
    MarkupPicture out;
    const std::string upper = ui::UpperCase(source);
    if (StartsWith(upper, "IDX:")) {
        const int index = MarkupNumber(source.substr(4));
        if (sources.images && index < sources.images->Count()) {
            out.kind = MarkupPictureKind::ImageList;
            out.image_index = index;
            out.size = Scaled(ui::TSize{sources.images->Width(), sources.images->Height()});
        }
        return out;
    }
    if (StartsWith(upper, "SSYS:") || StartsWith(upper, "LSYS:")) {
        out.kind = MarkupPictureKind::ShellIcon;
        out.large = upper[0] == 'L';
        out.shell_name = source.substr(5);
        out.size = Scaled(ui::ShellIconSize(out.large));
        return out;
    }
    THTMLPicture* picture = nullptr;
    if (source.find(':') == std::string::npos) {
        if (sources.container) picture = sources.container->FindPicture(source);
    } else if (source.find("://") != std::string::npos) {
        if (sources.cache) picture = sources.cache->PictureForAddress(source);
    }
    if (picture && !picture->Empty()) {
        out.kind = MarkupPictureKind::Picture;
        out.picture = picture;
        out.size = Scaled(ui::TSize{picture->AnimationWidth(), picture->AnimationHeight()});
    }
    return out;
}

}  // namespace panel
