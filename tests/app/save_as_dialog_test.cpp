// File > Save Album As... through the real file dialog, driven as a user drives it: the type
// picked in its type box decides whether an album file or the download files are written, and
// picking a type sets the dialog's default extension while it is open.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/card_list_album.h"
#include "app/device_family.h"
#include "app/main_form.h"
#include "platform/ui/forms/dialogs.h"
#include "tests/app/download_file_check.h"
#include "tests/app/window_fixture.h"
#include "tests/support/render.h"

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

class SaveAsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::EnsureApplication();
        previous_ = ui::SetFileDialogService({});
    }
    void TearDown() override { ui::SetFileDialogService(previous_); }

    app_test::SettingsFolder scratch_;
    ui::TFileDialogService previous_;
};

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
            for (int k = 0; k < cards; ++k) {
                ui::TBitmap* picture = album.NewCard("Picture " + std::to_string(k + 1), false);
                ASSERT_NE(picture, nullptr);
                picture->SetPixelFormat(ui::TPixelFormat::pf24bit);
                picture->SetSize(family.Variants[0].Width, family.Variants[0].Height);
            }
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

}  // namespace
