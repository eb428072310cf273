// Modal forms end their loop on a button with a modal result, on Enter (the default button) and
// on Esc (the cancel button, or without one the dialog itself), and give the input back to the
// window under them: afterwards a key typed into the main window runs its menu's action again.
// Dialog windows keep their size and belong to the window they block, and Enter presses the
// focused button of any window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

#include "app/about_form.h"
#include "app/main_form.h"
#include "platform/kernel/sinks.h"
#include "platform/ui/forms/application_host.h"
#include "platform/ui/forms/dialogs.h"
#include "tests/app/file_dialog_fixture.h"
#include "tests/app/window_fixture.h"

namespace {

using app_test::DuringModalLoop;
using app_test::TypeKey;

// Waits until `window` has the keyboard. The toolkit calls a modal window active as soon as the
// window it belongs to is, before the keyboard has moved to it.
bool TakesTheKeyboard(QWidget* window) {
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

class ModalForms : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::EnsureApplication();
        form_ = std::make_unique<app::TQuillbookForm>(nullptr);
        about_ = std::make_unique<app::TAboutBox>(form_.get());
        form_->SetAboutBox(about_.get());
        app_test::ShowActive(*form_);
    }
    void TearDown() override {
        about_.reset();
        form_.reset();
    }

    // The main window still takes input: Ctrl+N through the window system empties the album.
    void ExpectMainWindowRunsItsMenu() {
        EXPECT_EQ(QGuiApplication::modalWindow(), nullptr) << "a modal window still blocks the others";
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_->Window())) << "the main window did not get the input back";
        for (int i = 0; i < 2; ++i) form_->PicCardList->Cards().Add()->SetCaption("card");
        TypeKey(*form_, Qt::Key_N, Qt::ControlModifier);
        EXPECT_EQ(form_->PicCardList->Cards().Count(), 0) << "the main window's shortcut did not run";
    }
    // Runs the about box from its menu item while `act` runs inside its modal loop.
    void RunAboutBox(std::function<void()> act) {
        DuringModalLoop during(std::move(act), [this] { about_->SetModalResult(ui::mrCancel); });
        app_test::ChooseMenuItem(*form_, "&Help", "&About...");
    }

    app_test::SettingsFolder scratch_;
    std::unique_ptr<app::TQuillbookForm> form_;
    std::unique_ptr<app::TAboutBox> about_;
};

TEST_F(ModalForms, AboutBoxClosedByItsOkButton) {
    bool shown_modal = false;
    RunAboutBox([&] {
        shown_modal = about_->Showing() && QGuiApplication::modalWindow() == about_->Window()->windowHandle();
        QTest::mouseClick(about_->OKButton->NativeWidget(), Qt::LeftButton);
    });
    EXPECT_TRUE(shown_modal);
    EXPECT_FALSE(about_->Showing());
    EXPECT_EQ(about_->ModalResult(), ui::mrOk);
    ExpectMainWindowRunsItsMenu();
}

TEST_F(ModalForms, AboutBoxClosedByEnterOnItsDefaultButton) {
    // The first time with the OK button focused, the second with the focus nowhere in particular.
    for (bool focus_button : {true, false}) {
        SCOPED_TRACE(focus_button ? "button focused" : "no focused button");
        RunAboutBox([&] {
            ASSERT_TRUE(TakesTheKeyboard(about_->Window()));
            if (focus_button) {
                about_->OKButton->NativeWidget()->setFocus();
            } else {
                about_->Window()->setFocus();
            }
            TypeKey(*about_, Qt::Key_Return);
        });
        EXPECT_FALSE(about_->Showing());
        EXPECT_EQ(about_->ModalResult(), ui::mrOk);
        ExpectMainWindowRunsItsMenu();
    }
}

TEST_F(ModalForms, EscPressesTheCancelButtonAndTheFrameCloseCancels) {
    ui::TForm dialog(form_.get());
    dialog.SetCaption("Question");
    auto* ok = new ui::TButton(&dialog);
    ok->SetParent(&dialog);
    ok->SetBounds(10, 10, 75, 25);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->SetModalResult(ui::mrOk);
    auto* cancel = new ui::TButton(&dialog);
    cancel->SetParent(&dialog);
    cancel->SetBounds(100, 10, 75, 25);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(ui::mrCancel);
    int cancel_clicks = 0;
    cancel->OnClick = [&](ui::TPersistent*) { ++cancel_clicks; };

    const struct {
        const char* name;
        std::function<void()> act;
        int cancel_clicks;
    } cases[] = {
        {"Esc", [&] { TypeKey(dialog, Qt::Key_Escape); }, 1},
        {"frame's close", [&] { dialog.Window()->close(); }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cancel_clicks = 0;
        ui::TModalResult result = ui::mrNone;
        {
            DuringModalLoop during(
                [&] {
                    ASSERT_TRUE(TakesTheKeyboard(dialog.Window()));
                    c.act();
                },
                [&] { dialog.SetModalResult(ui::mrOk + 100); });
            result = dialog.ShowModal();
        }
        EXPECT_EQ(result, ui::mrCancel);
        EXPECT_EQ(cancel_clicks, c.cancel_clicks);
        EXPECT_FALSE(dialog.Showing());
        ExpectMainWindowRunsItsMenu();
    }
}

TEST_F(ModalForms, AboutBoxIsAFixedSizeDialogOfTheWindowItBlocks) {
    QWidget* window = about_->Window();
    Qt::WindowFlags flags;
    QSize size, smallest, largest;
    const QWindow* owner = nullptr;
    RunAboutBox([&] {
        flags = window->windowFlags();
        size = window->size();
        smallest = window->minimumSize();
        largest = window->maximumSize();
        owner = window->windowHandle() != nullptr ? window->windowHandle()->transientParent() : nullptr;
        QTest::mouseClick(about_->OKButton->NativeWidget(), Qt::LeftButton);
    });
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(size, QSize(298, 213));
    EXPECT_EQ(smallest, size) << "the window manager may make the box smaller";
    EXPECT_EQ(largest, size) << "the window manager may make the box larger";
    // A window manager keeps a dialog above the window it belongs to and minimises and restores
    // the two together: a minimised box cannot leave a blocked window behind on its own.
    EXPECT_EQ(owner, form_->Window()->windowHandle());
    ExpectMainWindowRunsItsMenu();
}

TEST_F(ModalForms, EscClosesTheAboutBox) {
    RunAboutBox([&] {
        ASSERT_TRUE(TakesTheKeyboard(about_->Window()));
        TypeKey(*about_, Qt::Key_Escape);
    });
    EXPECT_FALSE(about_->Showing());
    EXPECT_EQ(about_->ModalResult(), ui::mrCancel);
    ExpectMainWindowRunsItsMenu();
}

TEST_F(ModalForms, AMessageBoxBelongsToTheWindowItBlocks) {
    int argc = 0;
    ui::TApplicationHost host(argc, nullptr);
    host.InstallMessageBoxDialogs();
    const QWindow* owner = nullptr;
    bool asked = false;
    DuringModalLoop during(
        [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (box == nullptr || !box->isVisible()) continue;
                asked = true;
                owner = box->windowHandle()->transientParent();
                box->accept();
            }
        },
        [] {
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
    EXPECT_EQ(kernel::MessageBox("Something failed.", "Ostrel Quillbook", kernel::kMbOk), kernel::kIdOk);
    ASSERT_TRUE(asked);
    EXPECT_EQ(owner, form_->Window()->windowHandle());
}

// The real file dialogs, as the user opens them (a shortcut, a menu item, a button), belong to
// the main window they block, as the about box and the message boxes do.
TEST_F(ModalForms, TheFileDialogsBelongToTheWindowTheyBlock) {
    const app_test::FileDialogServiceScope real_dialog(ui::TFileDialogService{});
    const struct {
        const char* name;
        std::function<void()> open;
    } cases[] = {
        {"Open Album by Ctrl+O", [&] { TypeKey(*form_, Qt::Key_O, Qt::ControlModifier); }},
        {"Save Album As from the menu", [&] { app_test::ChooseMenuItem(*form_, "&File", "Save Album &As..."); }},
        {"Add Photo", [&] { QTest::mouseClick(form_->AddPicButton->NativeWidget(), Qt::LeftButton); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int shown = 0;
        const QWindow* owner = nullptr;
        {
            const auto watch = app_test::WhenFileDialogShows([&](QFileDialog& dialog) {
                ++shown;
                owner = dialog.windowHandle() != nullptr ? dialog.windowHandle()->transientParent() : nullptr;
                dialog.reject();
            });
            DuringModalLoop during([] {},
                                   [] {
                                       for (QWidget* w : QApplication::topLevelWidgets()) {
                                           if (auto* dialog = qobject_cast<QFileDialog*>(w)) dialog->reject();
                                       }
                                   });
            c.open();
        }
        EXPECT_EQ(shown, 1);
        EXPECT_EQ(owner, form_->Window()->windowHandle());
        ExpectMainWindowRunsItsMenu();
    }
}

TEST_F(ModalForms, EnterPressesTheFocusedButtonOfAWindowWithoutADefaultButton) {
    // Add Photo runs its picture dialog: the dialog asked for tells the button was pressed.
    std::vector<std::string> asked;
    const app_test::FileDialogServiceScope asking([&](const ui::TFileDialogRequest& request) {
        asked.push_back(request.title);
        return ui::TFileDialogResult{};
    });
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        SCOPED_TRACE(key == Qt::Key_Return ? "Return" : "Enter");
        asked.clear();
        form_->AddPicButton->NativeWidget()->setFocus();
        TypeKey(*form_, key);
        EXPECT_EQ(asked, std::vector<std::string>{"Select Bitmap"});
    }
}

}  // namespace
