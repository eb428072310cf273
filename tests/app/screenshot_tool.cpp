// qbk-screenshot: shows the real main window with three pictures added and saves a picture of
// it as PNG; with --about, the about box in front of it instead; with --file-menu, the File
// menu open. A test tool for scripts/screenshot.sh, run under a virtual X server.
#include <QApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/about_form.h"
#include "app/main_form.h"
#include "platform/ui/forms/menu_bar.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[1] : "";
    const bool about = mode == "--about";
    const bool file_menu = mode == "--file-menu";
    if (argc < 2 || argc > 3 || (argc == 3 && !about && !file_menu)) {
        std::fprintf(stderr, "usage: qbk-screenshot [--about|--file-menu] <out.png>\n");
        return 2;
    }
    const char* out = argv[argc - 1];
    QApplication qt(argc, argv);
    const auto dir = std::filesystem::temp_directory_path() / "qbk-screenshot";
    std::filesystem::create_directories(dir);
    app::TQuillbookForm form(nullptr);
    const ui::TColor colours[] = {0x002060C0, 0x0040A040, 0x00C06020};
    for (int i = 0; i < 3; ++i) {
        ui::TBitmap picture;
        picture.SetPixelFormat(ui::TPixelFormat::pf24bit);
        picture.SetSize(400, 300);
        picture.Canvas().Brush().SetColor(colours[i]);
        picture.Canvas().FillRect(ui::TRect{0, 0, 400, 300});
        picture.Canvas().Brush().SetColor(ui::clWhite);
        picture.Canvas().FillRect(ui::TRect{40 + 60 * i, 60, 160 + 60 * i, 180});
        const std::string file = (dir / ("picture-" + std::to_string(i + 1) + ".bmp")).string();
        picture.SaveToFile(file);
        form.AddPictures({file}, false);
    }
    form.Show();
    app::TAboutBox box(&form);
    if (about) box.Show();
    for (int i = 0; i < 50; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
    QWidget* window = about ? box.Window() : form.Window();
    QPixmap shot;
    if (file_menu) {
        // Alt+F as the user would press it; the drop-down is a window of its own, so the picture
        // is taken from the screen over both.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F, Qt::AltModifier);
        QApplication::sendEvent(window, &press);
        for (int i = 0; i < 25; ++i) {
            QApplication::processEvents();
            QThread::msleep(20);
        }
        QRect area = window->frameGeometry();
        if (ui::TMenuBar* bar = form.MenuBar(); bar != nullptr && bar->PopupCount() > 0) {
            area = area.united(bar->Popup(0).Widget()->geometry());
        }
        shot = window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    } else {
        shot = window->screen()->grabWindow(window->winId());
    }
    if (!shot.save(QString::fromStdString(out), "PNG")) return 1;
    std::printf("saved %s (%dx%d), window title \"%s\"\n", out, shot.width(), shot.height(),
                window->windowTitle().toStdString().c_str());
    return 0;
}
