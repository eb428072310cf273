#include "platform/ui/forms/std_actions.h"

#include "platform/ui/forms/form.h"

namespace ui {

TFileOpen::TFileOpen(TComponent* owner) : TCommonDialogAction<TOpenDialog>(owner) {
    SetCaption("&Open...");
    SetHint("Open|Opens an existing file");
    SetShortCut(ui::ShortCut('O', scCtrl));
}

TFileSaveAs::TFileSaveAs(TComponent* owner) : TCommonDialogAction<TSaveDialog>(owner) {
    SetCaption("Save &As...");
    SetHint("Save As|Saves the active file with a new name");
}

TFileExit::TFileExit(TComponent* owner) : TCustomAction(owner) {
    SetCaption("E&xit");
    SetHint("Exit|Quits the application");
}

bool TFileExit::Execute() {
    if (!Enabled()) return false;
    TForm* form = nullptr;
    for (TComponent* c = Owner(); c != nullptr && form == nullptr; c = c->Owner()) form = dynamic_cast<TForm*>(c);
    if (form == nullptr && !TForm::Forms().empty()) form = TForm::Forms().front();
    if (form != nullptr) form->Close();
    return true;
}

}  // namespace ui
