// The standard file actions: open and save-as run their dialog and report the choice through
// OnAccept (or OnCancel); exit closes the main window.
#pragma once

#include "platform/ui/forms/actions.h"
#include "platform/ui/forms/dialogs.h"

namespace ui {

template <class TDialog>
class TCommonDialogAction : public TCustomAction {
public:
    explicit TCommonDialogAction(TComponent* owner) : TCustomAction(owner), dialog_(new TDialog(this)) {
        dialog_->SetName("Dialog");
    }
    TDialog* Dialog() const { return dialog_; }

    // A disabled action does nothing; otherwise the dialog runs and its answer picks the event.
    bool Execute() override {
        if (!Enabled()) return false;
        if (BeforeExecute) BeforeExecute(this);
        if (dialog_->Execute()) {
            if (OnAccept) OnAccept(this);
        } else if (OnCancel) {
            OnCancel(this);
        }
        return true;
    }

    TNotifyEvent BeforeExecute;
    TNotifyEvent OnAccept;
    TNotifyEvent OnCancel;

private:
    TDialog* dialog_;  // owned through the component model
};

class TFileOpen : public TCommonDialogAction<TOpenDialog> {
public:
    explicit TFileOpen(TComponent* owner);
    std::string ClassName() const override { return "TFileOpen"; }
};

class TFileSaveAs : public TCommonDialogAction<TSaveDialog> {
public:
    explicit TFileSaveAs(TComponent* owner);
    std::string ClassName() const override { return "TFileSaveAs"; }
};

class TFileExit : public TCustomAction {
public:
    explicit TFileExit(TComponent* owner);
    std::string ClassName() const override { return "TFileExit"; }
    // Closes the main window: the form that owns the action, else the first form created.
    bool Execute() override;
};

}  // namespace ui
