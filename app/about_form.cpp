#include "app/about_form.h"

#include <cstdint>

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

namespace app {

const char* const kAboutComments =
    "Picture processing: 32-bit bitmap and resampling library,\n"
    "used under the licence of its copyright holders.";

namespace {

// The program's 32 x 32 icon: an album page with a picture frame, drawn here rather than
// loaded, so the box needs no resource file.
void DrawProgramIcon(ui::TBitmap& bitmap) {
    bitmap.SetPixelFormat(ui::TPixelFormat::pf32bit);
    bitmap.SetSize(32, 32);
    ui::TCanvas& c = bitmap.Canvas();
    c.Brush().SetColor(ui::clBtnFace);
    c.FillRect(ui::TRect{0, 0, 32, 32});
    c.Brush().SetColor(0x00804000);  // dark blue cover
    c.FillRect(ui::TRect{3, 2, 29, 30});
    c.Brush().SetColor(ui::clWhite);  // the page
    c.FillRect(ui::TRect{6, 5, 26, 27});
    c.Brush().SetColor(0x00D08040);  // the picture on it
    c.FillRect(ui::TRect{9, 8, 23, 19});
    c.Brush().SetColor(0x0000A0F0);
    c.FillRect(ui::TRect{9, 15, 23, 19});
}

}  // namespace

TAboutBox::TAboutBox(ui::TComponent* owner) : TAboutBox(owner, ProgramVersionBlock()) {}

TAboutBox::TAboutBox(ui::TComponent* owner, const TVersionBlock* block) : ui::TForm(owner) {
    SetName("AboutBox");
    SetCaption("About");
    SetBorderStyle(ui::TFormBorderStyle::bsDialog);
    SetClientWidth(298);
    SetClientHeight(213);
    SetPosition(ui::TPosition::poScreenCenter);
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-11);
    FontChanged();
    OnCreate = [this](ui::TPersistent* sender) { FormCreate(sender); };

    Panel1 = new ui::TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetBounds(8, 8, 281, 161);
    Panel1->SetBevelInner(ui::TBevelCut::bvRaised);
    Panel1->SetBevelOuter(ui::TBevelCut::bvLowered);
    Panel1->SetTabOrder(0);

    ProgramIcon = new ui::TImage(this);
    ProgramIcon->SetName("ProgramIcon");
    ProgramIcon->SetParent(Panel1);
    ProgramIcon->SetBounds(16, 16, 32, 32);
    DrawProgramIcon(ProgramIcon->Picture().Bitmap());
    ProgramIcon->SetStretch(true);
    ProgramIcon->SetAutoSize(true);

    auto bold_label = [this](const char* name, int left, int top, const char* caption) {
        auto* label = new ui::TLabel(this);
        label->SetName(name);
        label->SetParent(Panel1);
        label->SetBounds(left, top, 0, 13);
        label->Font().SetName("MS Sans Serif");
        label->Font().SetHeight(-11);
        label->Font().SetStyle(ui::TFontStyles{ui::TFontStyle::fsBold});
        label->FontChanged();
        label->SetCaption(caption);
        return label;
    };
    ProductName = bold_label("ProductName", 88, 16, "Ostrel 50 Quillbook");
    Version = bold_label("Version", 90, 33, "V1.0");
    Copyright = bold_label("Copyright", 16, 106, "");

    Comments = new ui::TLabel(this);
    Comments->SetName("Comments");
    Comments->SetParent(Panel1);
    Comments->SetAutoSize(false);
    Comments->SetWordWrap(true);
    Comments->SetBounds(16, 127, 258, 30);
    Comments->Font().SetName("Arial");
    Comments->Font().SetHeight(-9);
    Comments->FontChanged();

    OKButton = new ui::TButton(this);
    OKButton->SetName("OKButton");
    OKButton->SetParent(this);
    OKButton->SetBounds(111, 180, 75, 25);
    OKButton->SetCaption("OK");
    OKButton->SetDefault(true);
    OKButton->SetModalResult(ui::mrOk);
    OKButton->SetTabOrder(1);

    ExeInfo = new TExeInfo(this, block);
    ExeInfo->SetName("ExeInfo");

    DoCreate();
}

TAboutBox::~TAboutBox() { DoDestroy(); }

void TAboutBox::FormCreate(ui::TPersistent*) {
    Version->SetCaption(ExeInfo->FileVersion());
    Copyright->SetCaption(ExeInfo->LegalCopyright());
    Comments->SetCaption(kAboutComments);
}

}  // namespace app
