#include "platform/ui/forms/application_host.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QWidget>

#include "platform/kernel/sinks.h"
#include "platform/ui/controls/application.h"
#include "platform/ui/forms/form.h"

namespace ui {

namespace {

int ShowDialog(const std::string& text, const std::string& caption, unsigned flags) {
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    switch (flags & 0xF0) {
    case kernel::kMbIconError:
        box.setIcon(QMessageBox::Critical);
        break;
    case kernel::kMbIconQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case kernel::kMbIconWarning:
        box.setIcon(QMessageBox::Warning);
        break;
    case kernel::kMbIconInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    switch (flags & 0x0F) {
    case kernel::kMbOkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case kernel::kMbYesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    BelongToBlockedWindow(box);
    // Blocked by the box, the windows would lose the close requests a running command left
    // pending.
    if (Application().InHandler()) Application().ProcessRequestMessages();
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return kernel::kIdCancel;
    case QMessageBox::Yes:
        return kernel::kIdYes;
    case QMessageBox::No:
        return kernel::kIdNo;
    default:
        return kernel::kIdOk;
    }
}

}  // namespace

struct TApplicationHost::Impl {
    std::unique_ptr<QApplication> app;  // null when the process had one already
    bool dialogs_installed = false;
    kernel::MessageBoxSink previous_sink;
};

TApplicationHost::TApplicationHost(int& argc, char** argv) : impl_(std::make_unique<Impl>()) {
    if (QApplication::instance() == nullptr) impl_->app = std::make_unique<QApplication>(argc, argv);
}

TApplicationHost::~TApplicationHost() {
    if (impl_->dialogs_installed) kernel::SetMessageBoxSink(impl_->previous_sink);
}

void TApplicationHost::SetTitle(const std::string& title) {
    // Only the application object keeps the title. Qt's display name would be appended to every
    // window title by the desktop's window system ("caption — title"), so it stays unset.
    Application().SetTitle(title);
}

void TApplicationHost::Run(TForm& main_form) {
    Application().SetMainForm(&main_form);
    main_form.Show();
    QEventLoop loop;
    while (main_form.Showing()) {
        loop.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    }
}

void TApplicationHost::InstallMessageBoxDialogs() {
    if (impl_->dialogs_installed) return;
    impl_->previous_sink = kernel::SetMessageBoxSink(ShowDialog);
    impl_->dialogs_installed = true;
}

}  // namespace ui
