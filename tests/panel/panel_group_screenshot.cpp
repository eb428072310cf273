// qbk-panel-group-screenshot: a panel group of three panels, the middle one collapsed, shown on
// the screen and saved as PNG. A test tool run under a virtual X server:
//   scripts/screenshot.sh --panel-group [out.png]
#include <QApplication>
#include <QPixmap>
#include <QThread>
#include <QWidget>

#include <cstdio>
#include <memory>

#include "controls/panel/panel_group.h"

namespace {

panel::TFinePanel* AddPanel(ui::TComponent* owner, panel::TFinePanelGroup* group, int top, int height,
                            const char* caption, const char* text, ui::TColor color, ui::TColor caption_color) {
    auto* p = new panel::TFinePanel(owner);
    p->SetParent(group);
    p->SetBounds(0, top, 200, height);
    p->SetCollapsDelay(0);
    p->SetColor(color);
    p->Caption().SetVisible(true);
    p->Caption().SetHeight(22);
    p->Caption().SetColor(caption_color);
    p->Caption().SetText(caption);
    p->Caption().Font().SetColor(ui::clWhite);
    p->Caption().SetMinMaxButton(true);
    p->Caption().SetCloseButton(true);
    p->SetText(text);
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qbk-panel-group-screenshot <out.png>\n");
        return 2;
    }
    QApplication qt(argc, argv);
    auto host = std::make_unique<ui::TCustomControl>(nullptr);
    host->SetBounds(0, 0, 260, 320);
    auto* group = new panel::TFinePanelGroup(host.get());
    group->SetParent(host.get());
    group->SetBounds(0, 0, 260, 320);
    group->SetColor(0xF0E0D0);
    group->BeginLoading();
    AddPanel(host.get(), group, 0, 110, "<b>Devices</b>",
             "Display <b>node 3</b><br>Profile 2.1<br><a href=\"details\">Details</a>", 0xFFF4E8, 0x8B4513);
    auto* middle =
        AddPanel(host.get(), group, 120, 120, "<b>Album</b> (collapsed)", "Hidden while collapsed", 0xE8F4FF, 0x2F6B2F);
    AddPanel(
        host.get(), group, 240, 150, "<b>Transfer</b>",
        "Last download: <i>12 cards</i><br><font color=\"clRed\">2 warnings</font><br><a href=\"log\">Show the log</a>",
        0xF0FFF0, 0x1F3F8F);
    group->EndLoading();
    // A collapsed caption is drawn in its close colour.
    middle->Caption().SetCloseColor(0x5A8A5A);
    middle->SetCollaps(true);

    QWidget* window = host->Widget();
    window->setWindowTitle("Panel group");
    window->show();
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
    const bool saved = window->grab().save(argv[1], "PNG");
    std::printf("%s %s\n", saved ? "saved" : "could not save", argv[1]);
    return saved ? 0 : 1;
}
