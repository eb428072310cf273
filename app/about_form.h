// TAboutBox: the about box, created hidden at program start and shown modally by the main
// window's "&About..." action. It shows the program's file version and copyright line.
#pragma once

#include "app/exe_info.h"
#include "platform/ui/forms/form.h"
#include "platform/ui/forms/stdctrls.h"

namespace app {

class TAboutBox : public ui::TForm {
public:
    explicit TAboutBox(ui::TComponent* owner);
    // With another version block (null: a program without one).
    TAboutBox(ui::TComponent* owner, const TVersionBlock* block);
    ~TAboutBox() override;
    std::string ClassName() const override { return "TAboutBox"; }

    ui::TPanel* Panel1;
    ui::TImage* ProgramIcon;
    ui::TLabel* ProductName;
    ui::TLabel* Version;
    ui::TLabel* Copyright;
    ui::TLabel* Comments;
    ui::TButton* OKButton;
    TExeInfo* ExeInfo;

    void FormCreate(ui::TPersistent* sender);
};

// The acknowledgement the about box shows under the copyright line.
extern const char* const kAboutComments;

}  // namespace app
