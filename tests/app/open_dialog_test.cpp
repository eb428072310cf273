// File > Open Album... by its shortcut, through the real file dialog: one key press shows the
// dialog once, whether the user cancels it or picks a file that does not open.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_form.h"
#include "tests/app/file_dialog_fixture.h"
#include "tests/app/window_fixture.h"

namespace {

// Counts every showing of the real file dialog and answers it from inside its modal loop: the
// first with `first`, any later one by cancelling it, so that a dialog that comes back fails
// the test instead of hanging it.
class FileDialogShows : public QObject {
public:
    explicit FileDialogShows(std::function<void(QFileDialog&)> first) : first_(std::move(first)) {
        qApp->installEventFilter(this);
    }
    ~FileDialogShows() override { qApp->removeEventFilter(this); }

    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QFileDialog*>(watched);
        if (dialog == nullptr || event->type() != QEvent::Show) return false;
        ++count;
        QTimer::singleShot(0, [this, dialog = QPointer<QFileDialog>(dialog), first = count == 1] {
            if (dialog == nullptr) return;
            if (first) return first_(*dialog);
            dialog->reject();
        });
        return false;
    }

private:
    std::function<void(QFileDialog&)> first_;
};

using OpenByShortcut = app_test::RealFileDialogTest;

TEST_F(OpenByShortcut, OneKeyPressShowsTheDialogOnce) {
    const app_test::NotAnAlbum damaged = app_test::WriteNotAnAlbum(scratch_);
    ASSERT_FALSE(damaged.error.empty());
    const struct {
        const char* name;
        std::function<void(QFileDialog&)> answer;
        std::vector<std::string> texts;  // the error report's boxes show these
    } cases[] = {
        {"cancelled",
         [](QFileDialog& dialog) {
             auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
             QPushButton* cancel = buttons != nullptr ? buttons->button(QDialogButtonBox::Cancel) : nullptr;
             if (cancel == nullptr) return dialog.reject();
             QTest::mouseClick(cancel, Qt::LeftButton);
         },
         {}},
        {"a damaged album picked",
         [&](QFileDialog& dialog) {
             auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
             if (name == nullptr) return dialog.reject();
             name->setFocus();
             QTest::keyClicks(name, "damaged.ZRB");
             // The name box may offer the file it names in a pop-up: Esc takes that down first.
             QWidget* offer = name->completer() != nullptr ? name->completer()->popup() : nullptr;
             if (offer != nullptr && offer->isVisible()) QTest::keyClick(offer, Qt::Key_Escape);
             QTest::keyClick(name, Qt::Key_Return);
         },
         {damaged.error}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app::TQuillbookForm form(nullptr);
        form.FileOpen->Dialog()->SetInitialDir(scratch_.Path().string());
        app_test::ShowActive(form);
        // The focus deep inside the window: a key nobody takes passes every control around it.
        form.AddPicButton->NativeWidget()->setFocus();
        app_test::MessageBoxes boxes;
        FileDialogShows shows(c.answer);
        app_test::TypeKey(form, Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(shows.count, 1) << "the Open dialog came back";
        ASSERT_EQ(boxes.shown.size(), c.texts.size());
        for (std::size_t i = 0; i < c.texts.size(); ++i) {
            EXPECT_NE(boxes.shown[i].find(c.texts[i]), std::string::npos) << boxes.shown[i];
        }
    }
}

}  // namespace
