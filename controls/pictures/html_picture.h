// THTMLPicture: a picture shown by the markup text's IMG tags and backgrounds. It keeps the
// picture file's bytes exactly as loaded, decodes them through the platform's picture service,
// and shows one chosen frame of a multi-frame GIF. THTMLPictureCache holds the pictures a panel
// loaded from picture addresses, keyed by the exact source text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/pictures/raw_picture.h"
#include "platform/ui/core/persistent.h"

namespace panel {

class THTMLPicture : public TRawPicture {
public:
    std::string ClassName() const override { return "THTMLPicture"; }

    // Empty first, decoded picture and frame count dropped, Frame 1. nullptr clears the data; a
    // THTMLPicture gives its Stretch, Frame, Identifier and data (then decoded unless the source
    // is empty, OnChange).
    void Assign(const ui::TPersistent* source) override;

    // Addresses: "RES://name" (any letter case) loads the program's resource `name`,
    // "FILE://path" the file; any other address is never fetched and leaves the picture empty.
    // The Identifier becomes the source text (for other addresses only when not asynchronous).
    void LoadFromAddress(const std::string& source);
    // The program's resource of that name (unchanged when there is none); errors propagate.
    void LoadFromResource(const std::string& name);

    // With Stretch the picture fills `rect`; without, it shows at its natural size at the
    // rectangle's top-left. Nothing when empty or not decoded.
    void Draw(ui::TCanvas& canvas, const ui::TRect& rect) const override;
    std::unique_ptr<ui::TGraphic> NewOfSameClass() const override { return std::make_unique<THTMLPicture>(); }

    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch) { stretch_ = stretch; }
    // The GIF frame shown, from 1. Setting it decodes again when there is data (errors
    // propagate, and the picture, its frame place and size stay as they were), then fires
    // OnFrameChange.
    int Frame() const { return frame_; }
    void SetFrame(int frame);
    // Frame markers of a GIF (counted once per data); -1 for data that is not a GIF.
    int FrameCount();
    bool IsGif() const;
    std::uint16_t FrameLeft() const { return frame_left_; }
    std::uint16_t FrameTop() const { return frame_top_; }
    std::uint16_t FrameWidth() const { return frame_width_; }
    std::uint16_t FrameHeight() const { return frame_height_; }
    // The GIF's logical screen size when it has one, else Width / Height; 0 without a picture.
    int AnimationWidth() const;
    int AnimationHeight() const;

    const std::string& Identifier() const { return identifier_; }
    bool Asynchronous() const { return asynchronous_; }
    void SetAsynchronous(bool asynchronous) { asynchronous_ = asynchronous; }

    ui::TNotifyEvent OnFrameChange;

protected:
    // Also forgets the frame count, frame place and screen size of the old data.
    void Forget() override;
    // A GIF with frame markers shows the selected frame.
    void DecodePicture() override;

private:
    std::string identifier_;
    bool stretch_ = false;
    int frame_ = 1;
    int frame_count_ = -1;
    std::uint16_t frame_left_ = 0;
    std::uint16_t frame_top_ = 0;
    std::uint16_t frame_width_ = 0;
    std::uint16_t frame_height_ = 0;
    std::uint16_t animation_width_ = 0;
    std::uint16_t animation_height_ = 0;
    bool asynchronous_ = true;
};

// The pictures a panel loaded from addresses; it owns them.
class THTMLPictureCache {
public:
    THTMLPictureCache() = default;
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;

    // A new empty picture, appended.
    THTMLPicture* NewPicture();
    // The first picture whose Identifier equals `id` exactly (case-sensitive), or nullptr.
    THTMLPicture* FindById(const std::string& id) const;
    // Raises ui::EListError outside 0..Count-1.
    THTMLPicture* Pictures(int index) const;
    int Count() const { return static_cast<int>(pictures_.size()); }
    void FreeAll() { pictures_.clear(); }

    // The picture of an address: loaded once (synchronously) the first time it is asked for,
    // found again afterwards even when it stayed empty.
    THTMLPicture* PictureForAddress(const std::string& source);

private:
    std::vector<std::unique_ptr<THTMLPicture>> pictures_;
};

}  // namespace panel
