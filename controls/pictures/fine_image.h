// TFineImage: the graphic of a panel's background picture, drawn stretched to the rectangle it
// is given.
#pragma once

#include <memory>
#include <string>

#include "controls/pictures/raw_picture.h"

namespace panel {

class TFineImage : public TRawPicture {
public:
    std::string ClassName() const override { return "TFineImage"; }

    // Empty first, the decoded picture dropped. nullptr clears the data; another non-empty
    // TFineImage gives its data; an image control, a picture or any other graphic gives the
    // bytes its graphic saves. Decoding errors propagate.
    void Assign(const ui::TPersistent* source) override;

    // Nothing when empty or not decoded; else the picture stretched into `rect`.
    void Draw(ui::TCanvas& canvas, const ui::TRect& rect) const override;
    std::unique_ptr<ui::TGraphic> NewOfSameClass() const override { return std::make_unique<TFineImage>(); }
};

}  // namespace panel
