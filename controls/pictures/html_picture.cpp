#include "controls/pictures/html_picture.h"

#include "controls/pictures/gif_frames.h"
#include "controls/pictures/picture_decoding.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/resources.h"
#include "platform/ui/core/sysutils.h"

namespace panel {

namespace {

constexpr const char* kResourceScheme = "RES://";
constexpr const char* kFileScheme = "FILE://";

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

void THTMLPicture::Forget() {
    TRawPicture::Forget();
    frame_count_ = -1;
    frame_left_ = frame_top_ = frame_width_ = frame_height_ = 0;
    animation_width_ = animation_height_ = 0;
}

void THTMLPicture::DecodePicture() {
    const std::vector<std::uint8_t>& data = data_.Bytes();
    if (!panel::IsGif(data) || CountGifFrameMarkers(data) == 0) {
        picture_ = DecodePictureData(data);
        frame_left_ = frame_top_ = frame_width_ = frame_height_ = 0;
        animation_width_ = animation_height_ = 0;
        return;
    }
    // The frame's place and the screen size change only with the picture: a frame that does not
    // decode leaves the one shown before, where it was.
    const GifFrameSelection selection = SelectGifFrame(data, frame_);
    picture_ = DecodePictureData(selection.data);
    animation_width_ = selection.screen_width;
    animation_height_ = selection.screen_height;
    frame_left_ = selection.left;
    frame_top_ = selection.top;
    frame_width_ = selection.width;
    frame_height_ = selection.height;
}

void THTMLPicture::Assign(const ui::TPersistent* source) {
    if (source == this) return;
    Forget();
    frame_ = 1;
    if (source == nullptr) {
        data_.Clear();
        return;
    }
    const auto* other = dynamic_cast<const THTMLPicture*>(source);
    if (other == nullptr) return;
    stretch_ = other->stretch_;
    frame_ = other->frame_;
    identifier_ = other->identifier_;
    CopyData(*other);
    Changed();
}

void THTMLPicture::LoadFromAddress(const std::string& source) {
    const std::string upper = ui::UpperCase(source);
    if (StartsWith(upper, kResourceScheme)) {
        identifier_ = source;
        const std::string name = source.substr(std::string(kResourceScheme).size());
        if (!name.empty()) LoadFromResource(name);
    } else if (StartsWith(upper, kFileScheme)) {
        identifier_ = source;
        const std::string path = source.substr(std::string(kFileScheme).size());
        if (!path.empty()) LoadFromFile(path);
    } else if (!asynchronous_) {
        // Internet addresses are never fetched: the picture stays empty.
        identifier_ = source;
    }
}

void THTMLPicture::LoadFromResource(const std::string& name) {
    std::vector<std::uint8_t> bytes;
    if (!ui::FindProgramResource(name, bytes)) return;
    ui::TMemoryStream stream;
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.Seek(0, ui::TSeekOrigin::soBeginning);
    LoadFromStream(stream);
}

void THTMLPicture::SetFrame(int frame) {
    frame_ = frame;
    if (data_.Size() == 0) return;
    DecodeData();
    if (OnFrameChange) OnFrameChange(this);
}

bool THTMLPicture::IsGif() const { return panel::IsGif(data_.Bytes()); }

int THTMLPicture::FrameCount() {
    if (frame_count_ >= 0) return frame_count_;
    if (!IsGif()) return -1;
    frame_count_ = CountGifFrameMarkers(data_.Bytes());
    return frame_count_;
}

int THTMLPicture::AnimationWidth() const {
    if (!picture_) return 0;
    return animation_width_ != 0 ? animation_width_ : Width();
}

int THTMLPicture::AnimationHeight() const {
    if (!picture_) return 0;
    return animation_height_ != 0 ? animation_height_ : Height();
}

void THTMLPicture::Draw(ui::TCanvas& canvas, const ui::TRect& rect) const {
    if (empty_ || !picture_) return;
    if (stretch_) {
        RenderStretched(*picture_, canvas, rect);
        return;
    }
    const int hw = picture_->HimetricWidth();
    const int hh = picture_->HimetricHeight();
    const int w = ui::PixelsFromHimetric(hw, pixels_per_inch_x_);
    const int h = ui::PixelsFromHimetric(hh, pixels_per_inch_y_);
    picture_->Render(canvas, rect.Left, rect.Top, w, h, 0, hh, hw, -hh);
}

THTMLPicture* THTMLPictureCache::NewPicture() {
    pictures_.push_back(std::make_unique<THTMLPicture>());
    return pictures_.back().get();
}

THTMLPicture* THTMLPictureCache::FindById(const std::string& id) const {
    for (const auto& picture : pictures_) {
        if (picture->Identifier() == id) return picture.get();
    }
    return nullptr;
}

THTMLPicture* THTMLPictureCache::Pictures(int index) const {
    if (index < 0 || index >= Count()) {
        throw ui::EListError("List index out of bounds (" + std::to_string(index) + ")");
    }
    return pictures_[static_cast<std::size_t>(index)].get();
}

THTMLPicture* THTMLPictureCache::PictureForAddress(const std::string& source) {
    if (FindById(source) == nullptr) {
        THTMLPicture* picture = NewPicture();
        picture->SetAsynchronous(false);
        try {
            picture->LoadFromAddress(source);
        } catch (const ui::Exception&) {
            // A resource that does not decode leaves an empty picture, found again next time.
        }
    }
    return FindById(source);
}

}  // namespace panel
