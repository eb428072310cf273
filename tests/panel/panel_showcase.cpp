// qbk-panel-showcase: a form with three panels, each following its own styler in a different
// look, with caption buttons, markup text, a status bar and a size grip; saves a picture of the
// window as PNG. A test tool for scripts/screenshot.sh --panels, run under a virtual X server.
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <cstdio>
#include <string>

#include "controls/panel/fine_panel.h"
#include "controls/panel/panel_styler.h"
#include "platform/ui/forms/form.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qbk-panel-showcase <out.png>\n");
        return 2;
    }
    QApplication qt(argc, argv);
    ui::TForm form(nullptr);
    form.SetClientWidth(3 * 210 + 10);
    form.SetClientHeight(280);
    form.SetColor(0xE0E0E0);

    struct Look {
        panel::TFinePanelStyle style;
        const char* caption;
        panel::TShadeType shade;
    };
    const Look looks[] = {
        {panel::TFinePanelStyle::psXP, "<b>XP</b> look", panel::TShadeType::stNormal},
        {panel::TFinePanelStyle::psOffice2003Blue, "<b>Office 2003</b> blue", panel::TShadeType::stNormal},
        {panel::TFinePanelStyle::psZWT, "<b>ZWT</b> metal shade", panel::TShadeType::stRMetal},
    };
    int left = 10;
    for (const Look& look : looks) {
        auto* styler = new panel::TFinePanelStyler(&form);
        styler->SetStyle(look.style);
        auto* p = new panel::TFinePanel(&form);
        p->SetParent(&form);
        p->SetBounds(left, 10, 200, 260);
        p->Caption().SetCloseButton(true);
        p->Caption().SetMinMaxButton(true);
        p->SetStyler(styler);
        p->Caption().SetVisible(true);
        p->Caption().SetText(look.caption);
        p->SetCanSize(true);
        p->SetText(
            "A panel with <b>markup</b> text that wraps over several lines.<br><br>"
            "<ul><li>a bullet<li>another one</ul><br>"
            "It links to <a href=\"anchor\">an anchor</a>.");
        p->StatusBar().SetVisible(true);
        p->StatusBar().SetText("Status bar");
        left += 210;
    }
    form.Show();
    for (int i = 0; i < 50; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
    QWidget* window = form.Window();
    const QPixmap shot = window->screen()->grabWindow(window->winId());
    if (!shot.save(QString::fromStdString(argv[1]), "PNG")) return 1;
    std::printf("%s\n", argv[1]);
    return 0;
}
