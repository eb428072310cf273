#include "app/main_form.h"

#include <algorithm>
#include <exception>

#include "app/about_form.h"
#include "app/add_picture.h"
#include "app/album_file.h"
#include "app/album_transfer.h"
#include "app/card_list_album.h"
#include "app/download_files.h"
#include "app/family_setting.h"
#include "platform/kernel/sinks.h"
#include "platform/ui/controls/application.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/forms/paint_wait.h"
#include "platform/ui/graphics/colors.h"
#include "platform/ui/graphics/jpeg.h"

namespace app {

namespace {

using ui::TPersistent;

// The form's published radio buttons and their click handlers. They are bound by component name to
// the buttons that the family table's rows make, as a form definition binds its fields. A family
// added to the table without an entry here still gets its button (reached through RadioButtonOf),
// whose click selects its family.
struct PublishedRadio {
    const char* name;
    ui::TRadioButton* TQuillbookForm::*field;
    void (TQuillbookForm::*click)(TPersistent*);
};

constexpr PublishedRadio kPublishedRadios[] = {
    {"HCRadioButton", &TQuillbookForm::HCRadioButton, &TQuillbookForm::HCRadioButtonClick},
    {"EDRadioButton", &TQuillbookForm::EDRadioButton, &TQuillbookForm::EDRadioButtonClick},
    {"V2HCRadioButton", &TQuillbookForm::V2HCRadioButton, &TQuillbookForm::V2HCRadioButtonClick},
    {"V2EDRadioButton", &TQuillbookForm::V2EDRadioButton, &TQuillbookForm::V2EDRadioButtonClick},
};

constexpr const PublishedRadio* PublishedRadioNamed(const char* name) {
    for (const PublishedRadio& radio : kPublishedRadios) {
        if (family_table::SameText(radio.name, name)) return &radio;
    }
    return nullptr;
}

constexpr bool EveryPublishedRadioHasARow() {
    for (const PublishedRadio& radio : kPublishedRadios) {
        int rows = 0;
        for (const TDeviceFamily& family : DeviceFamilies) {
            if (family_table::SameText(family.Selector.Name, radio.name)) ++rows;
        }
        if (rows != 1) return false;
    }
    return true;
}
static_assert(EveryPublishedRadioHasARow(), "a published radio button names no row of DeviceFamilies");

struct ButtonSpec {
    ui::TButton* TQuillbookForm::*field;
    const char* name;
    int top;
    const char* caption;
    int tab_order;
    void (TQuillbookForm::*handler)(TPersistent*);
};

void SetGradient(cardlist::TFineGradient& g, ui::TColor from, ui::TColor to) {
    g.SetColor(from);
    g.SetColorTo(to);
    g.SetDirection(cardlist::TFineGradientDirection::gdVertical);
}

struct AppearanceSpec {
    ui::TColor border, caption_from, caption_to, caption_font, body_from, body_to;
};

void SetAppearance(cardlist::TFineCardAppearance& a, const AppearanceSpec& spec) {
    a.SetBevelOuter(cardlist::TBevelCut::bvNone);
    a.SetBorderColor(spec.border);
    a.SetCaptionBorderColor(ui::clWhite);
    SetGradient(a.CaptionColor(), spec.caption_from, spec.caption_to);
    SetGradient(a.Color(), spec.body_from, spec.body_to);
    ui::TFont caption;
    caption.SetName("MS Sans Serif");
    caption.SetHeight(-11);
    caption.SetStyle(ui::TFontStyles{ui::TFontStyle::fsBold});
    caption.SetColor(spec.caption_font);
    a.SetCaptionFont(caption);
    for (ui::TFont* f : {&a.ItemLabelFont(), &a.ItemEditFont()}) {
        f->SetName("MS Sans Serif");
        f->SetHeight(-11);
    }
}

}  // namespace

TQuillbookForm::TQuillbookForm(ui::TComponent* owner) : ui::TForm(owner) {
    SetName("QuillbookForm");
    SetCaption("Ostrel 50 Quillbook");
    SetClientWidth(801);
    SetClientHeight(495);
    SetColor(ui::clBtnFace);
    Font().SetName("Arial");
    Font().SetHeight(-11);
    FontChanged();
    SetPosition(ui::TPosition::poScreenCenter);
    OnCreate = [this](TPersistent* s) { FormCreate(s); };
    OnDestroy = [this](TPersistent* s) { FormDestroy(s); };

    // Actions first: the menu items take their captions from them.
    ActionList1 = new ui::TActionList(this);
    ActionList1->SetName("ActionList1");
    FileNewAction = new ui::TAction(this);
    FileNewAction->SetName("FileNewAction");
    FileNewAction->SetCaption("&New Photo Album");
    FileNewAction->SetShortCut(ui::ShortCut('N', ui::scCtrl));
    FileNewAction->OnExecute = [this](TPersistent* s) { FileNewActionExecute(s); };
    FileOpen = new ui::TFileOpen(this);
    FileOpen->SetName("FileOpen");
    FileOpen->SetCaption("&Open Album...");
    FileOpen->SetShortCut(ui::ShortCut('O', ui::scCtrl));
    FileOpen->SetHint("Open|Opens an existing file");
    FileOpen->Dialog()->SetDefaultExt("ZRB");
    FileOpen->Dialog()->SetFilter("Varnhold Photo Album (*.ZRB)|*.ZRB");
    FileOpen->OnAccept = [this](TPersistent* s) { FileOpenAccept(s); };
    FileSaveAs = new ui::TFileSaveAs(this);
    FileSaveAs->SetName("FileSaveAs");
    FileSaveAs->SetCaption("Save Album &As...");
    FileSaveAs->SetShortCut(ui::scNone);
    FileSaveAs->SetHint("Save As|Saves the active file with a new name");
    FileSaveAs->Dialog()->SetDefaultExt("ZRB");
    // Saving over an existing file replaces it: the dialog asks first.
    FileSaveAs->Dialog()->SetOptions(FileSaveAs->Dialog()->Options() | ui::ofOverwritePrompt);
    FileSaveAs->Dialog()->SetFilter("Varnhold Photo Album (*.ZRB)|*.ZRB|2568 Download File (*.HPA)|*.HPA");
    FileSaveAs->Dialog()->OnTypeChange = [this](TPersistent* s) { FileSaveAsSaveDialogTypeChange(s); };
    FileSaveAs->OnAccept = [this](TPersistent* s) { FileSaveAsAccept(s); };
    FileExit = new ui::TFileExit(this);
    FileExit->SetName("FileExit");
    FileExit->SetCaption("E&xit");
    FileExit->SetHint("Exit|Quits the application");
    AboutAction = new ui::TAction(this);
    AboutAction->SetName("AboutAction");
    AboutAction->SetCaption("&About...");
    AboutAction->OnExecute = [this](TPersistent* s) { AboutActionExecute(s); };
    for (ui::TContainedAction* a :
         {static_cast<ui::TContainedAction*>(FileNewAction), static_cast<ui::TContainedAction*>(FileOpen),
          static_cast<ui::TContainedAction*>(FileSaveAs), static_cast<ui::TContainedAction*>(FileExit)}) {
        a->SetActionList(ActionList1);
        a->SetCategory("File");
    }
    AboutAction->SetActionList(ActionList1);
    AboutAction->SetCategory("Help");

    FineMenuOfficeStyler1 = CreateMainMenuStyler(this);
    FineMainMenu1 = new menus::TFineMainMenu(this);
    FineMainMenu1->SetName("FineMainMenu1");
    auto add_menu = [this](ui::TMenuItem* parent, const char* caption, ui::TBasicAction* action) {
        auto* item = new ui::TMenuItem(FineMainMenu1);
        if (action != nullptr) {
            item->SetAction(action);
        } else {
            item->SetCaption(caption);
        }
        parent->Add(item);
        return item;
    };
    ui::TMenuItem* file = add_menu(FineMainMenu1->Items(), "&File", nullptr);
    add_menu(file, nullptr, FileNewAction);
    add_menu(file, nullptr, FileOpen);
    add_menu(file, nullptr, FileSaveAs);
    add_menu(file, "-", nullptr);
    add_menu(file, nullptr, FileExit);
    ui::TMenuItem* help = add_menu(FineMainMenu1->Items(), "&Help", nullptr);
    add_menu(help, nullptr, AboutAction);
    StyleMainMenu(*FineMainMenu1, *FineMenuOfficeStyler1);
    SetMenu(FineMainMenu1);

    DeviceSelectPanel = new ui::TPanel(this);
    DeviceSelectPanel->SetName("DeviceSelectPanel");
    DeviceSelectPanel->SetParent(this);
    DeviceSelectPanel->SetHeight(49);
    DeviceSelectPanel->SetAlign(ui::TAlign::alTop);
    DeviceSelectPanel->SetBevelOuter(ui::TBevelCut::bvNone);
    DeviceSelectPanel->SetTabOrder(0);

    GroupBox1 = new ui::TGroupBox(this);
    GroupBox1->SetName("GroupBox1");
    GroupBox1->SetParent(DeviceSelectPanel);
    GroupBox1->SetBounds(7, 2, 787, 41);
    GroupBox1->SetCaption("Select Device");

    for (std::size_t family = 0; family < DeviceFamilies.size(); ++family) {
        const TFamilySelector& selector = DeviceFamilies[family].Selector;
        if (selector.Name == nullptr) continue;
        auto* button = new ui::TRadioButton(this);
        button->SetName(selector.Name);
        button->SetParent(GroupBox1);
        button->SetBounds(selector.Left, 18, selector.Width, 17);
        button->SetCaption(selector.Caption);
        radio_buttons_[family] = button;
        if (const PublishedRadio* published = PublishedRadioNamed(selector.Name)) {
            this->*published->field = button;
            const auto click = published->click;
            button->OnClick = [this, click](TPersistent* s) { (this->*click)(s); };
        } else {
            button->OnClick = [this, family](TPersistent*) { SelectFamily(static_cast<std::uint16_t>(family)); };
        }
    }
    // Set in ascending order, each lands exactly on its place.
    for (int order = 0; order < SelectableFamilyCount(); ++order) {
        for (std::size_t family = 0; family < DeviceFamilies.size(); ++family) {
            if (radio_buttons_[family] != nullptr && DeviceFamilies[family].Selector.TabOrder == order) {
                radio_buttons_[family]->SetTabOrder(order);
            }
        }
    }
    // The definition checks this button; that check is not the user's choice of a family.
    selecting_family_ = true;
    RadioButtonOf(kDefaultDeviceFamily)->SetChecked(true);
    selecting_family_ = false;

    FinePanel1 = new panel::TFinePanel(this);
    FinePanel1->SetName("FinePanel1");
    FinePanel1->SetParent(this);
    FinePanel1->SetBounds(0, 49, 106, 446);
    FinePanel1->SetAlign(ui::TAlign::alLeft);
    StyleToolPanel(*FinePanel1);

    const ButtonSpec buttons[] = {
        {&TQuillbookForm::AddPicButton, "AddPicButton", 13, "Add Photo", 0, &TQuillbookForm::AddPicButtonClick},
        {&TQuillbookForm::InsertPicButton, "InsertPicButton", 44, "Insert Photo", 4,
         &TQuillbookForm::InsertPicButtonClick},
        {&TQuillbookForm::RemovePicButton, "RemovePicButton", 75, "Delete Photo", 1,
         &TQuillbookForm::RemovePicButtonClick},
        {&TQuillbookForm::RenamePhotoButton, "RenamePhotoButton", 106, "Rename Photo", 5,
         &TQuillbookForm::RenamePhotoButtonClick},
        {&TQuillbookForm::DownloadPicsButton, "DownloadPicsButton", 153, "Download Album", 3,
         &TQuillbookForm::DownloadPicsButtonClick},
        {&TQuillbookForm::UploadPicsButton, "UploadPicsButton", 184, "Upload Album", 2,
         &TQuillbookForm::UploadPicsButtonClick},
    };
    for (const auto& b : buttons) {
        auto* button = new ui::TButton(this);
        this->*b.field = button;
        button->SetName(b.name);
        button->SetParent(FinePanel1);
        button->SetBounds(7, b.top, 93, 25);
        button->SetCaption(b.caption);
        const auto handler = b.handler;
        button->OnClick = [this, handler](TPersistent* s) { (this->*handler)(s); };
    }
    for (int order = 0; order < 6; ++order) {
        for (const auto& b : buttons) {
            if (b.tab_order == order) (this->*b.field)->SetTabOrder(order);
        }
    }
    RenamePhotoButton->SetVisible(false);

    Bevel1 = new ui::TBevel(this);
    Bevel1->SetName("Bevel1");
    Bevel1->SetParent(FinePanel1);
    Bevel1->SetBounds(7, 138, 93, 9);
    Bevel1->SetShape(ui::TBevelShape::bsTopLine);

    Panel2 = new ui::TPanel(this);
    Panel2->SetName("Panel2");
    Panel2->SetParent(this);
    Panel2->SetBounds(106, 49, 695, 446);
    Panel2->SetAlign(ui::TAlign::alClient);
    Panel2->SetTabOrder(2);

    PicCardList = new cardlist::TFineCardList(this);
    PicCardList->SetName("PicCardList");
    PicCardList->SetParent(Panel2);
    PicCardList->SetAlign(ui::TAlign::alClient);
    PicCardList->CardTemplate().SetCardWidth(500);
    {
        cardlist::TFineCardTemplateItem* item = PicCardList->CardTemplate().Items().Add();
        item->SetName("Picture");
        item->SetCaption("Picture");
        item->SetDataType(cardlist::TFineCardItemDataType::idtImage);
        item->SetItemEditor(cardlist::TFineCardItemEditor::iePictureDialog);
        item->SetItemType(cardlist::TFineCardItemType::itItem);
        item->SetReadOnly(true);
        item->SetMaxHeight(500);
        item->SetHeight(0);
        item->SetTransparentImage(false);
    }
    PicCardList->SetColumnWidth(540);
    PicCardList->SetScrollBarType(cardlist::TScrollBarType::sbtVertical);
    PicCardList->SetShowGridLine(false);
    PicCardList->SetGridLineWidth(2);
    PicCardList->SetDelayedCardLoad(false);
    PicCardList->SetDelayedCardLoadInterval(100);
    PicCardList->SetBorderColor(12164479);
    PicCardList->SetBorderWidth(0);
    SetGradient(PicCardList->Color(), ui::clSilver, ui::clWhite);
    SetAppearance(PicCardList->CardNormalAppearance(),
                  {ui::clHighlight, ui::clSilver, ui::clWhite, ui::clHighlight, 14145495, ui::clWhite});
    SetAppearance(PicCardList->CardSelectedAppearance(),
                  {ui::clHighlight, 8182519, 557032, ui::clWhite, 13891839, ui::clWhite});
    SetAppearance(PicCardList->CardHoverAppearance(),
                  {ui::clBlack, 13224393, ui::clWhite, ui::clBlack, 14145495, ui::clWhite});
    SetAppearance(PicCardList->CardEditingAppearance(),
                  {ui::clBlack, ui::clSilver, ui::clRed, ui::clWhite, 13891839, ui::clWhite});
    PicCardList->OnCardDblClick = [this](cardlist::TCustomFineCardList* s, cardlist::TFineCard* c) {
        PicCardListCardDblClick(s, c);
    };

    OpenPictureDialog = new ui::TOpenDialog(this);
    OpenPictureDialog->SetName("OpenPictureDialog");
    OpenPictureDialog->SetTitle("Select Bitmap");
    OpenPictureDialog->SetOptions(ui::ofHideReadOnly | ui::ofAllowMultiSelect | ui::ofPathMustExist |
                                  ui::ofFileMustExist | ui::ofEnableSizing);

    DoCreate();
}

TQuillbookForm::~TQuillbookForm() { DoDestroy(); }

void TQuillbookForm::UseDoubleBuffering() {
    try {
        SetDoubleBuffered(true);
        for (int i = 0; i < ComponentCount(); ++i) {
            if (auto* control = dynamic_cast<ui::TWinControl*>(Components(i))) control->SetDoubleBuffered(true);
            if (auto* tool_panel = dynamic_cast<panel::TFinePanel*>(Components(i))) {
                tool_panel->SetOwnerDoubleBuffered(true);
            }
        }
    } catch (const ui::Exception&) {}
}

void TQuillbookForm::FormCreate(TPersistent*) {
    UseDoubleBuffering();
    // A transfer keeps the thread waiting for the bus; meanwhile the windows stay painted.
    CANInterface = std::make_unique<TMCCANInterface>(ui::SleepPainting, ui::WaitPainting);
    DeviceSelectPanel->SetVisible(true);
    device_family_ = kDefaultDeviceFamily;
    UploadPicsButton->SetVisible(false);
    RenamePhotoButton->SetVisible(false);
    if (const auto remembered = ReadRememberedFamily()) device_family_ = static_cast<std::uint16_t>(*remembered);
    selecting_family_ = true;
    RadioButtonOf(device_family_)->SetChecked(true);
    selecting_family_ = false;
}

void TQuillbookForm::FormDestroy(TPersistent*) { CANInterface.reset(); }

ui::TRadioButton* TQuillbookForm::RadioButtonOf(std::uint16_t family) const {
    if (family < radio_buttons_.size() && radio_buttons_[family] != nullptr) return radio_buttons_[family];
    return radio_buttons_[kDefaultDeviceFamily];
}

std::uint16_t TQuillbookForm::FamilyOf(const ui::TRadioButton* button) const {
    const auto found = std::find(radio_buttons_.begin(), radio_buttons_.end(), button);
    return static_cast<std::uint16_t>(found - radio_buttons_.begin());
}

void TQuillbookForm::SelectFamily(std::uint16_t family) {
    if (selecting_family_) return;
    device_family_ = family;
    StoreDeviceFamily();
    // A family change discards the album without asking: its pictures are scaled for the old one.
    CardListAlbum(*PicCardList).Clear();
}

void TQuillbookForm::StoreDeviceFamily() {
    StoreRememberedFamily(device_family_);  // failures are silent
}

void TQuillbookForm::HCRadioButtonClick(TPersistent*) { SelectFamily(FamilyOf(HCRadioButton)); }
void TQuillbookForm::EDRadioButtonClick(TPersistent*) { SelectFamily(FamilyOf(EDRadioButton)); }
void TQuillbookForm::V2HCRadioButtonClick(TPersistent*) { SelectFamily(FamilyOf(V2HCRadioButton)); }
void TQuillbookForm::V2EDRadioButtonClick(TPersistent*) { SelectFamily(FamilyOf(V2EDRadioButton)); }

void TQuillbookForm::RunPictureDialog(bool insert) {
    OpenPictureDialog->SetFilter(ui::GraphicFilter());
    // The base picture class registers no extension of its own.
    OpenPictureDialog->SetDefaultExt("");
    if (!OpenPictureDialog->Execute()) return;
    AddPictures(OpenPictureDialog->Files(), insert);
}

void TQuillbookForm::AddPicButtonClick(TPersistent*) { RunPictureDialog(false); }
void TQuillbookForm::InsertPicButtonClick(TPersistent*) { RunPictureDialog(true); }

void TQuillbookForm::RemovePicButtonClick(TPersistent*) {
    if (cardlist::TFineCard* card = PicCardList->SelectedCard()) delete card;
}

void TQuillbookForm::RenamePhotoButtonClick(TPersistent*) {}
void TQuillbookForm::PicCardListCardDblClick(cardlist::TCustomFineCardList*, cardlist::TFineCard*) {}

void TQuillbookForm::DownloadPicsButtonClick(TPersistent*) { DownloadAlbum(); }
void TQuillbookForm::UploadPicsButtonClick(TPersistent*) { UploadAlbum(); }

void TQuillbookForm::FileNewActionExecute(TPersistent*) { CardListAlbum(*PicCardList).Clear(); }

void TQuillbookForm::FileOpenAccept(TPersistent*) { OpenAlbum(FileOpen->Dialog()->FileName()); }

void TQuillbookForm::FileSaveAsAccept(TPersistent*) {
    switch (FileSaveAs->Dialog()->FilterIndex()) {
    case 1:
        SaveAlbum(FileSaveAs->Dialog()->FileName());
        break;
    case 2:
        ExportDownloadFiles(FileSaveAs->Dialog()->FileName());
        break;
    default:
        break;
    }
}

void TQuillbookForm::FileSaveAsSaveDialogTypeChange(TPersistent*) {
    switch (FileSaveAs->Dialog()->FilterIndex()) {
    case 1:
        FileSaveAs->Dialog()->SetDefaultExt("ZRB");
        // Saving over an existing file replaces it: the dialog asks first.
        FileSaveAs->Dialog()->SetOptions(FileSaveAs->Dialog()->Options() | ui::ofOverwritePrompt);
        break;
    case 2:
        FileSaveAs->Dialog()->SetDefaultExt("HPA");
        break;
    default:
        break;
    }
}

void TQuillbookForm::AboutActionExecute(TPersistent*) {
    if (about_box_ != nullptr) about_box_->ShowModal();
}

namespace {

TransferUi MessageBoxes() {
    TransferUi ui;
    ui.error_dialog = [](const std::string& text) {
        kernel::MessageBox(text, "Error", kernel::kMbOk | kernel::kMbIconError);
    };
    ui.message = [](const std::string& text) { kernel::MessageBox(text, ui::Application().Title(), kernel::kMbOk); };
    ui.information = [](const std::string& text, const std::string& caption) {
        kernel::MessageBox(text, caption, kernel::kMbOk | kernel::kMbIconInformation);
    };
    ui.repaint = [] { ui::Application().ProcessPaintMessages(); };
    return ui;
}

}  // namespace

void TQuillbookForm::AddPictures(const std::vector<std::string>& file_names, bool insert) {
    CardListAlbum album(*PicCardList);
    app::AddPictures(album, device_family_, file_names, insert, &picture_weights_);
}

void TQuillbookForm::OpenAlbum(const std::string& file_name) {
    CardListAlbum album(*PicCardList);
    app::OpenAlbum(album, device_family_, file_name);
}

void TQuillbookForm::SaveAlbum(const std::string& file_name) {
    const CardListAlbum album(*PicCardList);
    app::SaveAlbum(album, device_family_, file_name);
}

void TQuillbookForm::ExportDownloadFiles(const std::string& file_name) {
    const CardListAlbum album(*PicCardList);
    app::ExportDownloadFiles(PagesOf(album), device_family_, file_name);
}

void TQuillbookForm::DownloadAlbum() {
    const CardListAlbum album(*PicCardList);
    app::DownloadAlbum(*CANInterface, PagesOf(album), device_family_, MessageBoxes());
}

void TQuillbookForm::UploadAlbum() {
    UploadCards cards;
    cards.clear = [this] { CardListAlbum(*PicCardList).Clear(); };
    cards.add = [this](const std::string& caption, std::span<const std::uint8_t> jpeg) {
        CardListAlbum album(*PicCardList);
        ui::TBitmap* picture = album.NewCard(caption, false);
        if (picture == nullptr) return;
        ui::TMemoryStream stream;
        stream.WriteBuffer(jpeg.data(), static_cast<std::int64_t>(jpeg.size()));
        stream.SetPosition(0);
        ui::TJPEGImage image;
        image.LoadFromStream(stream);
        album.SetCardWidth(image.Width() + 14);
        picture->Assign(&image);
    };
    app::UploadAlbum(*CANInterface, device_family_, cards, MessageBoxes());
}

}  // namespace app
