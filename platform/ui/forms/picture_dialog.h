// The open dialog for pictures: an open dialog whose filter lists every picture format the
// picture class reads. It asks the same file-dialog service as every open dialog (dialogs.h).
#pragma once

#include <string>

#include "platform/ui/forms/dialogs.h"

namespace ui {

class TOpenPictureDialog : public TOpenDialog {
public:
    explicit TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) { SetFilter(GraphicFilter()); }
    std::string ClassName() const override { return "TOpenPictureDialog"; }
};

}  // namespace ui
