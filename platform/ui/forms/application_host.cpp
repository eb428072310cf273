#include "platform/ui/forms/application_host.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/kernel/sinks.h"
#include "platform/ui/controls/application.h"
#include "platform/ui/forms/form.h"

namespace ui {

namespace {

// Gives the box its caption, text, icon and buttons.
void Describe(QMessageBox& box, const std::string& text, const std::string& caption, unsigned flags) {
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
}

// A box of the user-interface thread: modal, and its answer goes back to the caller.
int ShowDialog(const std::string& text, const std::string& caption, unsigned flags) {
    QMessageBox box;
    Describe(box, text, caption, flags);
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

// Boxes raised on other threads (the interface library's own threads report their fatal errors
// so) are handed to the user-interface thread, which alone builds windows. There each becomes a
// window of its own that does not block anything, as a box of a thread without windows does on
// the original platform: the raising thread goes on at once, and the user-interface thread only
// puts the box up, whatever it is busy with (a command waiting for the library, or its own modal
// box). So no thread ever waits for another over a box.
class HandOver {
public:
    // Any thread: queues the box for the user-interface thread. Nothing raised off that thread
    // asks a question, so the answer is OK.
    int Queue(const std::string& text, const std::string& caption, unsigned flags) {
        std::lock_guard lock(mutex_);
        if (target_ != nullptr) {
            QMetaObject::invokeMethod(
                target_, [this, text, caption, flags] { Reported([&] { Show(text, caption, flags); }); },
                Qt::QueuedConnection);
        }
        return kernel::kIdOk;
    }
    // User-interface thread, as the host ends: boxes queued from now on are dropped, and the boxes
    // still up are closed.
    void End() {
        {
            std::lock_guard lock(mutex_);
            target_ = nullptr;
        }
        context_.reset();
        for (const QPointer<QMessageBox>& box : shown_) delete box.data();
        shown_.clear();
    }

private:
    void Show(const std::string& text, const std::string& caption, unsigned flags) {
        auto* box = new QMessageBox();
        box->setAttribute(Qt::WA_DeleteOnClose);
        Describe(*box, text, caption, flags);
        // Modal to nothing, as a box of a thread without windows: the program's windows go on.
        box->setWindowModality(Qt::NonModal);
        shown_.erase(std::remove(shown_.begin(), shown_.end(), nullptr), shown_.end());
        shown_.emplace_back(box);
        box->show();
    }

    std::mutex mutex_;
    std::unique_ptr<QObject> context_ = std::make_unique<QObject>();  // lives on the user-interface thread
    QObject* target_ = context_.get();                                // null once the host ends
    std::vector<QPointer<QMessageBox>> shown_;                        // user-interface thread only
};

}  // namespace

struct TApplicationHost::Impl {
    std::unique_ptr<QApplication> app;  // null when the process had one already
    bool dialogs_installed = false;
    kernel::MessageBoxSink previous_sink;
    // Shared with the installed sink, which another thread may be running when the host ends.
    std::shared_ptr<HandOver> hand_over;
};

TApplicationHost::TApplicationHost(int& argc, char** argv) : impl_(std::make_unique<Impl>()) {
    if (QApplication::instance() == nullptr) impl_->app = std::make_unique<QApplication>(argc, argv);
}

TApplicationHost::~TApplicationHost() {
    if (impl_->dialogs_installed) kernel::SetMessageBoxSink(impl_->previous_sink);
    if (impl_->hand_over) impl_->hand_over->End();
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
    impl_->hand_over = std::make_shared<HandOver>();
    QThread* window_thread = QCoreApplication::instance()->thread();
    impl_->previous_sink =
        kernel::SetMessageBoxSink([hand_over = impl_->hand_over, window_thread](
                                      const std::string& text, const std::string& caption, unsigned flags) {
            if (QThread::currentThread() == window_thread) return ShowDialog(text, caption, flags);
            return hand_over->Queue(text, caption, flags);
        });
    impl_->dialogs_installed = true;
}

}  // namespace ui
