// TQuillbookForm: the main window. A device-family selector along the top, a tool panel of
// buttons on the left, the album as a card list filling the rest, and the file menu. It keeps
// the selected device family (remembered in the registry) and hands every command to the code
// that carries it out.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/device_family.h"
#include "app/main_window_styling.h"
#include "app/mccan_interface.h"
#include "controls/cardlist/card_list.h"
#include "imaging/contributor_cache.h"
#include "platform/ui/forms/actions.h"
#include "platform/ui/forms/dialogs.h"
#include "platform/ui/forms/form.h"
#include "platform/ui/forms/menus.h"
#include "platform/ui/forms/std_actions.h"
#include "platform/ui/forms/stdctrls.h"

namespace app {

class TAboutBox;

class TQuillbookForm : public ui::TForm {
public:
    explicit TQuillbookForm(ui::TComponent* owner);
    ~TQuillbookForm() override;
    std::string ClassName() const override { return "TQuillbookForm"; }

    // The form definition's components.
    ui::TPanel* DeviceSelectPanel;
    ui::TGroupBox* GroupBox1;
    ui::TRadioButton* HCRadioButton;
    ui::TRadioButton* EDRadioButton;
    ui::TRadioButton* V2HCRadioButton;
    ui::TRadioButton* V2EDRadioButton;
    // The tool panel; its styled look comes with the styled panel class.
    panel::TFinePanel* FinePanel1;
    ui::TButton* AddPicButton;
    ui::TButton* InsertPicButton;
    ui::TButton* RemovePicButton;
    ui::TButton* RenamePhotoButton;
    ui::TBevel* Bevel1;
    ui::TButton* DownloadPicsButton;
    ui::TButton* UploadPicsButton;
    ui::TPanel* Panel2;
    cardlist::TFineCardList* PicCardList;
    ui::TOpenDialog* OpenPictureDialog;
    // The Office-styled main menu and its styler.
    menus::TFineMainMenu* FineMainMenu1;
    menus::TFineMenuOfficeStyler* FineMenuOfficeStyler1;
    ui::TActionList* ActionList1;
    ui::TAction* FileNewAction;
    ui::TFileOpen* FileOpen;
    ui::TFileSaveAs* FileSaveAs;
    ui::TFileExit* FileExit;
    ui::TAction* AboutAction;

    // The about box the "&About..." action shows (the program creates it after this form).
    void SetAboutBox(TAboutBox* box) { about_box_ = box; }

    std::uint16_t DeviceFamily() const { return device_family_; }

    // Handlers of the form definition.
    void FormCreate(ui::TPersistent* sender);
    void FormDestroy(ui::TPersistent* sender);
    void AddPicButtonClick(ui::TPersistent* sender);
    void InsertPicButtonClick(ui::TPersistent* sender);
    void RemovePicButtonClick(ui::TPersistent* sender);
    void RenamePhotoButtonClick(ui::TPersistent* sender);
    void PicCardListCardDblClick(cardlist::TCustomFineCardList* sender, cardlist::TFineCard* card);
    void DownloadPicsButtonClick(ui::TPersistent* sender);
    void UploadPicsButtonClick(ui::TPersistent* sender);
    void FileNewActionExecute(ui::TPersistent* sender);
    void FileOpenAccept(ui::TPersistent* sender);
    void FileSaveAsAccept(ui::TPersistent* sender);
    void FileSaveAsSaveDialogTypeChange(ui::TPersistent* sender);
    void AboutActionExecute(ui::TPersistent* sender);
    void HCRadioButtonClick(ui::TPersistent* sender);
    void EDRadioButtonClick(ui::TPersistent* sender);
    void V2HCRadioButtonClick(ui::TPersistent* sender);
    void V2EDRadioButtonClick(ui::TPersistent* sender);

    // The album commands. Virtual so that a window test can watch which command a handler runs.
    virtual void AddPictures(const std::vector<std::string>& file_names, bool insert);
    virtual void OpenAlbum(const std::string& file_name);
    virtual void SaveAlbum(const std::string& file_name);
    virtual void ExportDownloadFiles(const std::string& file_name);
    virtual void DownloadAlbum();
    virtual void UploadAlbum();

protected:
    void UseDoubleBuffering();
    void StoreDeviceFamily();

private:
    void SelectFamily(std::uint16_t family);
    void RunPictureDialog(bool insert);
    // The radio button of `family`; the default family's for a family the window does not offer.
    ui::TRadioButton* RadioButtonOf(std::uint16_t family) const;
    // The family whose radio button `button` is.
    std::uint16_t FamilyOf(const ui::TRadioButton* button) const;

    // The device link; created in FormCreate, freed in FormDestroy.
    std::unique_ptr<TMCCANInterface> CANInterface;
    std::uint16_t device_family_ = kDefaultDeviceFamily;
    // Each family's radio button, made from its row of the family table; null for a family the
    // window does not offer.
    std::array<ui::TRadioButton*, kDeviceFamilyCount> radio_buttons_{};
    // The scaling's filter weights, kept from one Add Photo to the next: further pictures of a
    // size already seen skip working them out.
    imaging::TContributorCache picture_weights_;
    bool selecting_family_ = false;
    TAboutBox* about_box_ = nullptr;
};

}  // namespace app
