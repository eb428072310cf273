// Errors of the commands the main menu runs reach the application's default error report (one
// message box with the exception's text) and leave the album as it was; the window's title and
// its file dialogs' captions and type labels are the program's own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QTimer>

#include <algorithm>
#include <fstream>
#include <random>

#include "app/album_file.h"
#include "app/album_payload.h"
#include "app/card_list_album.h"
#include "app/main_form.h"
#include "platform/ui/controls/application.h"
#include "platform/ui/forms/application_host.h"
#include "tests/app/fake_album.h"
#include "tests/app/file_dialog_fixture.h"
#include "tests/app/picture_cards.h"
#include "tests/app/window_fixture.h"

namespace {

using app_test::ChooseMenuItem;

class MenuCommands : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::EnsureApplication();
        form_ = std::make_unique<app::TQuillbookForm>(nullptr);
    }
    void TearDown() override { form_.reset(); }

    // `count` cards with noise pictures of the selected family's screen size, which a JPEG
    // cannot make small.
    void AddNoiseCards(int count, int width = 176, int height = 220) {
        app::CardListAlbum album(*form_->PicCardList);
        std::mt19937 random(7);
        app_test::AddPictureCards(album, count, ui::TPixelFormat::pf24bit, width, height, [&](ui::TBitmap& picture) {
            for (int y = 0; y < height; ++y) {
                std::uint8_t* row = picture.ScanLine(y);
                for (int x = 0; x < 3 * width; ++x) row[x] = static_cast<std::uint8_t>(random());
            }
        });
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> captions;
        for (int i = 0; i < form_->PicCardList->Cards().Count(); ++i)
            captions.push_back(form_->PicCardList->Cards().Items(i)->Caption());
        return captions;
    }
    // What the default error report shows for `text`.
    static std::string Report(std::string text) {
        if (!text.empty() && text.back() != '.') text += '.';
        return ui::Application().Title() + ": " + text;
    }

    app_test::SettingsFolder scratch_;
    std::unique_ptr<app::TQuillbookForm> form_;
    ui::TFileDialogResult answer_;
    app_test::FileDialogServiceScope answering_{[this](const ui::TFileDialogRequest&) { return answer_; }};
};

TEST_F(MenuCommands, FailuresReachTheErrorReportOnceAndKeepTheAlbum) {
    // Not a folder for anyone, root included: the parent is a plain file.
    const std::string plain_file = scratch_.File("plain-file");
    std::ofstream(plain_file) << "x";
    const app_test::NotAnAlbum damaged = app_test::WriteNotAnAlbum(scratch_);
    ASSERT_FALSE(damaged.error.empty());

    const struct {
        const char* name;
        const char* item;
        std::string file;
        int filter_index;
        std::string text;  // the exception's
    } cases[] = {
        {"open a damaged album", "&Open Album...", damaged.path, 1, damaged.error},
        {"save into no folder", "Save Album &As...", plain_file + "/album.ZRB", 1,
         "Cannot create file \"" + plain_file + "/album.ZRB\". Not a directory"},
        {"export over the capacity", "Save Album &As...", scratch_.File("album.HPA"), 2, app::kCapacityMessage},
    };
    AddNoiseCards(10);
    const std::vector<std::string> before = Captions();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app_test::MessageBoxes boxes;
        answer_ = {true, {c.file}, c.filter_index};
        ChooseMenuItem(*form_, "&File", c.item);
        EXPECT_EQ(boxes.shown, std::vector<std::string>{Report(c.text)});
        EXPECT_EQ(Captions(), before);
    }
    for (const auto& entry : std::filesystem::directory_iterator(scratch_.Path())) {
        EXPECT_NE(entry.path().extension(), ".HPA") << "the refused export wrote " << entry.path();
    }
}

// File > Open Album... with a file that cannot become the album leaves the album on screen as it
// was: one of another family gets the incompatibility box, a damaged one (a picture length of 0,
// which read on would turn bitmap bytes into captions) the error report.
TEST_F(MenuCommands, RefusedOpensKeepTheAlbumOnScreen) {
    app::testing_support::FakeAlbum other;
    // Transparent black, as the bars of a fitted picture: read on from a wrong length, its zeros
    // make empty records.
    ASSERT_NO_FATAL_FAILURE(
        app_test::AddPictureCards(other, 7, ui::TPixelFormat::pf32bit, 176, 220, [](ui::TBitmap& picture) {
            for (int y = 0; y < 220; ++y) std::fill_n(picture.ScanLine(y), picture.BytesPerScanLine(), 0);
        }));
    const std::string of_family_1 = scratch_.File("enhanced.ZRB");
    app::SaveAlbum(other, 1, of_family_1);
    const std::string zero_length = scratch_.File("zero.ZRB");
    app::SaveAlbum(other, 0, zero_length);
    {
        // The first record's picture length (after the header and "Picture 1") becomes 0.
        std::fstream file(zero_length, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(6 + 2 + 9);
        file.write("\0\0\0\0", 4);
    }
    const struct {
        const char* name;
        std::string file;
        std::string shown;
    } cases[] = {
        {"another family", of_family_1, "Varnhold QBK: This file is not compatible to your selected device"},
        {"a picture length of 0", zero_length, Report("Album file is not valid: a picture has no data")},
    };
    AddNoiseCards(3);
    const std::vector<std::string> before = Captions();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app_test::MessageBoxes boxes;
        answer_ = {true, {c.file}, 1};
        ChooseMenuItem(*form_, "&File", "&Open Album...");
        EXPECT_EQ(boxes.shown, std::vector<std::string>{c.shown});
        ASSERT_EQ(Captions().size(), before.size()) << "the album on screen changed";
        EXPECT_EQ(Captions(), before);
    }
}

TEST_F(MenuCommands, TitleIsTheFormCaptionAlone) {
    int argc = 1;
    char name[] = "qbk";
    char* argv[] = {name, nullptr};
    ui::TApplicationHost host(argc, argv);
    host.SetTitle("Ostrel Quillbook");
    EXPECT_EQ(ui::Application().Title(), "Ostrel Quillbook");
    // The window system would append a display name to every window title.
    EXPECT_NE(QGuiApplication::applicationDisplayName().toStdString(), "Ostrel Quillbook");
    form_->Show();
    EXPECT_EQ(form_->Window()->windowTitle().toStdString(), "Ostrel 50 Quillbook");
    EXPECT_EQ(form_->Window()->windowHandle()->title().toStdString(), "Ostrel 50 Quillbook");
}

// The real file dialog of each command: its caption and the labels of its file types.
TEST_F(MenuCommands, FileDialogsShowTheirCaptionsAndEachPatternOnce) {
    const app_test::FileDialogServiceScope real_dialog(ui::TFileDialogService{});
    struct Seen {
        std::string title;
        std::vector<std::string> types;
    };
    // Reads the dialog once it shows, then cancels it.
    auto look = [](Seen& seen) {
        return app_test::WhenFileDialogShows([&seen](QFileDialog& dialog) {
            seen.title = dialog.windowTitle().toStdString();
            if (auto* combo = dialog.findChild<QComboBox*>("fileTypeCombo")) {
                for (int i = 0; i < combo->count(); ++i) seen.types.push_back(combo->itemText(i).toStdString());
            }
            dialog.reject();
        });
    };
    form_->Show();
    {
        Seen seen;
        auto keep = look(seen);
        ChooseMenuItem(*form_, "&File", "&Open Album...");
        EXPECT_EQ(seen.title, "Open");
        EXPECT_EQ(seen.types, (std::vector<std::string>{"Varnhold Photo Album (*.ZRB)"}));
    }
    {
        Seen seen;
        auto keep = look(seen);
        ChooseMenuItem(*form_, "&File", "Save Album &As...");
        EXPECT_EQ(seen.title, "Save As");
        EXPECT_EQ(seen.types, (std::vector<std::string>{"Varnhold Photo Album (*.ZRB)", "2568 Download File (*.HPA)"}));
    }
    {
        Seen seen;
        auto keep = look(seen);
        QTest::mouseClick(form_->AddPicButton->NativeWidget(), Qt::LeftButton);
        EXPECT_EQ(seen.title, "Select Bitmap");
        ASSERT_FALSE(seen.types.empty());
        EXPECT_EQ(seen.types[0], "All (*.bmp;*.ico;*.jpg;*.jpeg;*.png;*.gif)");
        EXPECT_EQ(seen.types.back(), "GIF Image (*.gif)");
    }
    EXPECT_EQ(form_->PicCardList->Cards().Count(), 0);
}

}  // namespace
