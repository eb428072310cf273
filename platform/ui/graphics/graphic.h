// TGraphic: the abstract picture of the class library (bitmap, JPEG, icon, ...), with its size,
// persistence through streams and files, and drawing on a canvas.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/core/persistent.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/geometry.h"

namespace ui {

class TCanvas;

class TGraphic : public TPersistent {
public:
    TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;

    std::string ClassName() const override { return "TGraphic"; }

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Graphics that cannot change their size raise EInvalidGraphicOperation.
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    virtual bool Empty() const = 0;

    // Reads the graphic from the stream's position to its end (or to the graphic's own end).
    // Unreadable data raises EInvalidGraphic and leaves the graphic unchanged.
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) const = 0;
    virtual void LoadFromFile(const std::string& file_name);
    void SaveToFile(const std::string& file_name) const;

    // Drawn transparently: a bitmap leaves out its transparent colour, an icon blends its alpha.
    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool transparent);

    // Draws the graphic scaled into `rect` of the canvas. TCanvas::Draw/StretchDraw call it.
    virtual void Draw(TCanvas& canvas, const TRect& rect) const = 0;

    // A new, empty graphic of the same class (what a picture uses to copy a graphic).
    virtual std::unique_ptr<TGraphic> NewOfSameClass() const = 0;

    TNotifyEvent OnChange;

protected:
    // Fires OnChange (sender = this); every content change calls it.
    virtual void Changed();

private:
    bool transparent_ = false;
};

}  // namespace ui
