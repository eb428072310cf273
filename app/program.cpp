#include "app/program.h"

#include <cstdlib>
#include <exception>
#include <string>

#include "app/about_form.h"
#include "app/main_form.h"
#include "controls/menus/fine_main_menu.h"
#include "controls/panel/panel_unit.h"
#include "platform/kernel/large_memory.h"
#include "platform/kernel/sinks.h"
#include "platform/ui/controls/application.h"
#include "platform/ui/forms/application_host.h"
#include "platform/ui/forms/marker_watch.h"

namespace app {

void ShowStartError(const std::string& text) {
    kernel::MessageBox(text, "Error", kernel::kMbOk | kernel::kMbIconError);
}

TStartCheck CheckStart() {
    if (kernel::NamedMarkerExists(kOwnMarkerName)) {
        // Nobody may answer (the other copy is still starting or already closing): then nothing
        // visible happens and this copy ends all the same.
        kernel::SendNamedMarkerRequest(kOwnMarkerName, std::string(kShowRequestPrefix) + kMainFormClassName);
        return TStartCheck::AnotherCopyRuns;
    }
    if (kernel::NamedMarkerExists(kStationMarkerName)) {
        ShowStartError(kStationRunningText);
        return TStartCheck::StationRuns;
    }
    return TStartCheck::Run;
}

TProgramMarkers::~TProgramMarkers() {
    station_.reset();
    own_.reset();
}

TProgramMarkers CreateMarkers() {
    TProgramMarkers markers;
    markers.station_ = kernel::NamedMarker::Create(kStationMarkerName);
    if (!markers.station_) ShowStartError(kStationMarkerFailedText);
    markers.own_ = kernel::NamedMarker::Create(kOwnMarkerName);
    if (!markers.own_) ShowStartError(kOwnMarkerFailedText);
    return markers;
}

namespace {

// What a second copy's request does here: the window of that class comes up in its normal
// state and in front.
void HandleMarkerRequest(const std::string& request) {
    const std::string prefix = kShowRequestPrefix;
    if (request.compare(0, prefix.size(), prefix) != 0) return;
    ui::TForm* form = ui::TForm::FindForm(request.substr(prefix.size()));
    if (form == nullptr) return;
    form->SetWindowState(ui::TWindowState::wsNormal);
    form->Show();
    form->BringToFront();
}

}  // namespace

int RunProgram(int argc, char** argv) {
    // Pictures are decoded on several threads: their memory goes back to the system when freed.
    kernel::ReturnLargeBlocksToTheSystem();
    ui::TApplicationHost host(argc, argv);
    // The panels' unit: the visual-styles library bound, released after the menus' unit ends.
    panel::TPanelUnit panel_unit;
    // The menus' unit: the text-drawing API started, the menu animation off in this process.
    menus::TMenusUnit menus_unit;
    // Message boxes are dialogs, except when a test asks for them on standard error.
    const char* boxes = std::getenv("QBK_MESSAGE_BOXES");
    if (boxes == nullptr || std::string(boxes) != "stderr") host.InstallMessageBoxDialogs();

    if (CheckStart() != TStartCheck::Run) return 0;
    TProgramMarkers markers = CreateMarkers();
    host.SetTitle(kApplicationTitle);

    std::unique_ptr<TQuillbookForm> main_form;
    std::unique_ptr<TAboutBox> about_box;
    try {
        main_form = std::make_unique<TQuillbookForm>(nullptr);
        about_box = std::make_unique<TAboutBox>(nullptr);
    } catch (const std::exception& e) {
        ui::Application().HandleException(e);
        return 1;
    }
    main_form->SetAboutBox(about_box.get());

    std::unique_ptr<ui::TMarkerWatch> watch;
    if (markers.Own() != nullptr) watch = std::make_unique<ui::TMarkerWatch>(*markers.Own(), HandleMarkerRequest);

    host.Run(*main_form);

    watch.reset();
    main_form->SetAboutBox(nullptr);
    about_box.reset();
    main_form.reset();
    ui::Application().SetMainForm(nullptr);
    return 0;
}

}  // namespace app
