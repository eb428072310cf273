// File > Save Album As... through the real file dialog, driven as a user drives it: the type
// picked in its type box decides whether an album file or the download files are written,
// picking a type sets the dialog's default extension while it is open, and an existing album
// is replaced only when the user says so.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/card_list_album.h"
#include "app/device_family.h"
#include "app/main_form.h"
#include "tests/app/download_file_check.h"
#include "tests/app/file_dialog_fixture.h"
#include "tests/app/picture_cards.h"
#include "tests/app/window_fixture.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Answers the next question box the file dialog asks with `answer` and keeps its text; keep the
// returned handle until the question has been asked (dropping it stops the looking).
std::shared_ptr<std::function<void()>> AnswerQuestion(QFileDialog& dialog, QMessageBox::StandardButton answer,
                                                      std::string& text) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [&dialog, answer, &text, weak = std::weak_ptr<std::function<void()>>(poll)] {
        auto* box = dialog.findChild<QMessageBox*>();
        if (box != nullptr && box->isVisible() && box->button(answer) != nullptr) {
            text = box->text().toStdString();
            return QTest::mouseClick(box->button(answer), Qt::LeftButton);
        }
        if (auto next = weak.lock()) QTimer::singleShot(10, [next] { (*next)(); });
    };
    QTimer::singleShot(0, [poll] { (*poll)(); });
    return poll;
}

using SaveAsDialog = app_test::RealFileDialogTest;

TEST_F(SaveAsDialog, TheTypePickedInTheTypeBoxDecidesWhatIsWritten) {
    const struct {
        const char* name;
        int family;
        std::vector<Qt::Key> type_keys;  // pressed in the type box
        const char* typed;               // into the name box
        const char* default_ext;         // the dialog's while it is open, after the keys
        std::vector<std::string> written;
    } cases[] = {
        {"download files of a V1 family",
         0,
         {Qt::Key_Down},
         "album",
         "HPA",
         {"5831-0009_HW4-6_album.HPA", "5831-0109_HW4-6_album.HPA"}},
        {"download files of a V2 family",
         3,
         {Qt::Key_Down},
         "photos.HPA",
         "HPA",
         {"5831-8009_photos.HPA", "5831-8109_photos.HPA"}},
        {"back to the album type", 0, {Qt::Key_Down, Qt::Key_Up}, "album", "ZRB", {"album.ZRB"}},
    };
    const int cards = 2;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = scratch_.Path() / ("case" + std::to_string(&c - cases));
        fs::create_directories(folder);
        app::TQuillbookForm form(nullptr);
        (c.family == 3 ? form.V2HCRadioButton : form.HCRadioButton)->Click();
        ASSERT_EQ(form.DeviceFamily(), c.family);
        const app::TDeviceFamily& family = app::DeviceFamilyAt(c.family);
        {
            app::CardListAlbum album(*form.PicCardList);
            ASSERT_NO_FATAL_FAILURE(app_test::AddPictureCards(album, cards, ui::TPixelFormat::pf24bit,
                                                              family.Variants[0].Width, family.Variants[0].Height));
        }
        form.Show();
        form.FileSaveAs->Dialog()->SetInitialDir(folder.string());

        std::string seen_ext;
        bool driven = false;
        auto keep = app_test::WhenFileDialogShows([&](QFileDialog& dialog) {
            auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
            auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
            auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
            QPushButton* save = buttons != nullptr ? buttons->button(QDialogButtonBox::Save) : nullptr;
            if (types == nullptr || name == nullptr || save == nullptr) return dialog.reject();
            types->setFocus();
            for (Qt::Key key : c.type_keys) QTest::keyClick(types, key);
            seen_ext = form.FileSaveAs->Dialog()->DefaultExt();
            name->setFocus();
            QTest::keyClicks(name, c.typed);
            driven = true;
            QTest::mouseClick(save, Qt::LeftButton);
        });
        app_test::MessageBoxes boxes;
        app_test::ChooseMenuItem(form, "&File", "Save Album &As...");
        ASSERT_TRUE(driven) << "the dialog has no type box, name box or Save button";
        EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front();
        EXPECT_EQ(seen_ext, c.default_ext);
        ASSERT_EQ(NamesIn(folder), c.written);
        if (c.written.size() == 1) {
            const auto album = ReadFile(folder / c.written[0]);
            ASSERT_GE(album.size(), 6u);
            EXPECT_EQ(app_test::U16At(album, 0), 2);
            EXPECT_EQ(app_test::U16At(album, 2), c.family);
            EXPECT_EQ(app_test::U16At(album, 4), cards);
            continue;
        }
        ASSERT_EQ(c.written.size(), family.Count);
        for (std::size_t v = 0; v < family.Count; ++v) {
            EXPECT_EQ(
                app_test::DownloadFileProblem(ReadFile(folder / c.written[v]), c.family, family.Variants[v], cards), "")
                << c.written[v];
        }
    }
}

TEST_F(SaveAsDialog, ReplacingAnExistingAlbumIsAskedFirst) {
    // Typed with and without the extension: the dialog asks about the file that would be
    // written, which has the default extension either way.
    for (const char* typed : {"album", "album.ZRB"}) {
        SCOPED_TRACE(typed);
        const fs::path folder = scratch_.Path() / (std::string("typed-") + typed);
        fs::create_directories(folder);
        const fs::path album_file = folder / "album.ZRB";
        app::TQuillbookForm form(nullptr);
        const app::TDeviceFamily& family = app::DeviceFamilyAt(form.DeviceFamily());
        auto fill = [&](int cards) {
            form.PicCardList->Cards().Clear();
            app::CardListAlbum album(*form.PicCardList);
            app_test::AddPictureCards(album, cards, ui::TPixelFormat::pf24bit, family.Variants[0].Width,
                                      family.Variants[0].Height);
        };
        auto cards_in_file = [&] {
            const auto bytes = ReadFile(album_file);
            return bytes.size() >= 6 ? app_test::U16At(bytes, 4) : -1;
        };
        fill(7);
        form.SaveAlbum(album_file.string());
        ASSERT_EQ(cards_in_file(), 7);
        fill(1);
        form.Show();
        form.FileSaveAs->Dialog()->SetInitialDir(folder.string());

        std::vector<std::string> questions;
        int cards_after_no = 0;
        bool open_after_no = false;
        auto keep = app_test::WhenFileDialogShows([&](QFileDialog& dialog) {
            auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
            auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
            QPushButton* save = buttons != nullptr ? buttons->button(QDialogButtonBox::Save) : nullptr;
            if (name == nullptr || save == nullptr) return dialog.reject();
            name->setFocus();
            QTest::keyClicks(name, typed);
            for (QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
                std::string question;
                auto answering = AnswerQuestion(dialog, answer, question);
                QTest::mouseClick(save, Qt::LeftButton);
                if (question.empty()) return;  // saved without a word
                questions.push_back(question);
                if (answer == QMessageBox::No) {
                    cards_after_no = cards_in_file();
                    open_after_no = dialog.isVisible();
                }
            }
        });
        app_test::MessageBoxes boxes;
        app_test::ChooseMenuItem(form, "&File", "Save Album &As...");
        EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front();
        const std::string question = "album.ZRB already exists.\nDo you want to replace it?";
        ASSERT_EQ(questions, (std::vector<std::string>{question, question})) << "replaced without asking";
        EXPECT_EQ(cards_after_no, 7) << "No replaced the album";
        EXPECT_TRUE(open_after_no) << "No closed the dialog";
        EXPECT_EQ(cards_in_file(), 1) << "Yes did not replace the album";
        EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"album.ZRB"});
    }
}

}  // namespace
