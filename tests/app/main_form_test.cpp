// The real main window, headless: family selection and its registry value, the album commands
// its buttons and actions run, the about box, and the form definition's geometry and tab order.
#include "app/main_form.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <qpa/qwindowsysteminterface.h>
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "app/about_form.h"
#include "app/family_setting.h"
#include "fake_klp_fixture.h"
#include "platform/kernel/sinks.h"
#include "platform/settings/registry.h"
#include "platform/ui/controls/application.h"
#include "platform/ui/controls/drag_drop.h"
#include "platform/ui/forms/application_host.h"
#include "platform/ui/graphics/bitmap.h"
#include "tests/support/call_on_thread.h"
#include "tests/support/input.h"
#include "tests/support/render.h"
#include "window_fixture.h"

namespace {

using app::TQuillbookForm;

// The process's one application object, which every test file shares.
QApplication& App() {
    test_support::EnsureApplication();
    return *qApp;
}

// Records the commands instead of running them.
class WatchedForm : public TQuillbookForm {
public:
    WatchedForm() : TQuillbookForm(nullptr) {}
    void AddPictures(const std::vector<std::string>& files, bool insert) override {
        std::string call = insert ? "insert" : "add";
        for (const std::string& file : files) call += " " + file;
        calls.push_back(call);
    }
    void SaveAlbum(const std::string& file) override { calls.push_back("save " + file); }
    void ExportDownloadFiles(const std::string& file) override { calls.push_back("export " + file); }
    std::vector<std::string> calls;
};

class MainForm : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::EnsureApplication();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("main-form-") + std::to_string(::getpid()) + info->name());
        std::filesystem::create_directories(dir_);
        ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
        previous_ = ui::SetFileDialogService([this](const ui::TFileDialogRequest& r) {
            auto result = answer;
            for (int index : switch_to) {
                r.type_changed(index);
                result.filter_index = index;
            }
            return result;
        });
    }
    void TearDown() override {
        ui::SetFileDialogService(previous_);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    static std::optional<int> Stored() {
        settings::TRegistry r;
        if (!r.OpenKey(app::kSettingsKey, false) || !r.ValueExists(app::kFamilyValueName)) return std::nullopt;
        return r.ReadInteger(app::kFamilyValueName);
    }
    static void AddCards(WatchedForm& form, int n) {
        for (int i = 0; i < n; ++i) form.PicCardList->Cards().Add()->SetCaption("card " + std::to_string(i));
    }

    std::filesystem::path dir_;
    ui::TFileDialogService previous_;
    ui::TFileDialogResult answer;
    std::vector<int> switch_to;
};

TEST_F(MainForm, RememberedFamilyIsCheckedWithoutWritingOrClearing) {
    const struct {
        int stored;
        int family;
        const char* checked;
    } rows[] = {{3, 3, "V2-Rurerovirez"}, {2, 0, "Rurerovirez"}, {7, 0, "Rurerovirez"}, {4, 4, "V2-Enhanced Display"}};
    for (const auto& row : rows) {
        ASSERT_TRUE(app::StoreRememberedFamily(row.stored));
        const auto before = std::filesystem::last_write_time(settings::RegistryFile());
        WatchedForm form;
        EXPECT_EQ(form.DeviceFamily(), row.family) << row.stored;
        int checked = 0;
        for (auto* b : {form.HCRadioButton, form.EDRadioButton, form.V2HCRadioButton, form.V2EDRadioButton}) {
            if (b->Checked()) {
                ++checked;
                EXPECT_EQ(b->Caption(), row.checked);
            }
        }
        EXPECT_EQ(checked, 1);
        EXPECT_EQ(Stored(), row.stored) << "the start wrote the registry";
        EXPECT_EQ(std::filesystem::last_write_time(settings::RegistryFile()), before);
    }
}

TEST_F(MainForm, FamilyClickEmptiesTheAlbumAndStoresTheFamily) {
    WatchedForm form;
    AddCards(form, 2);
    form.V2EDRadioButton->Click();
    EXPECT_EQ(form.DeviceFamily(), 4);
    EXPECT_TRUE(form.V2EDRadioButton->Checked());
    EXPECT_FALSE(form.HCRadioButton->Checked());
    EXPECT_EQ(form.PicCardList->Cards().Count(), 0);
    EXPECT_EQ(Stored(), 4);
}

// Each radio button, bound to its field and handler through the family table, selects its own
// family; the order makes every click a change of family.
TEST_F(MainForm, EveryRadioButtonSelectsItsFamily) {
    WatchedForm form;
    const struct {
        ui::TRadioButton* button;
        const char* name;
        const char* caption;
        int family;
    } rows[] = {
        {form.V2EDRadioButton, "V2EDRadioButton", "V2-Enhanced Display", 4},
        {form.V2HCRadioButton, "V2HCRadioButton", "V2-Rurerovirez", 3},
        {form.EDRadioButton, "EDRadioButton", "Enhanced Display", 1},
        {form.HCRadioButton, "HCRadioButton", "Rurerovirez", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.button->Name(), row.name);
        EXPECT_EQ(row.button->Caption(), row.caption);
        EXPECT_EQ(row.button->Parent(), form.GroupBox1);
        row.button->Click();
        EXPECT_EQ(form.DeviceFamily(), row.family);
        EXPECT_TRUE(row.button->Checked());
        EXPECT_EQ(Stored(), row.family);
    }
}

TEST_F(MainForm, DeleteWithoutSelectionDoesNothingAndNewEmptiesTheAlbum) {
    WatchedForm form;
    AddCards(form, 3);
    ASSERT_EQ(form.PicCardList->SelectedCard(), nullptr);
    form.RemovePicButton->Click();
    EXPECT_EQ(form.PicCardList->Cards().Count(), 3);
    EXPECT_TRUE(form.IsShortCut(ui::ShortCut('N', ui::scCtrl)));
    EXPECT_EQ(form.PicCardList->Cards().Count(), 0);
}

TEST_F(MainForm, AddAndInsertRunOneAddPicturesWithTheChosenFilesInOrder) {
    WatchedForm form;
    answer = {true, {"/p/b.jpg", "/p/a.bmp"}, 1};
    form.AddPicButton->Click();
    form.InsertPicButton->Click();
    EXPECT_EQ(form.calls, (std::vector<std::string>{"add /p/b.jpg /p/a.bmp", "insert /p/b.jpg /p/a.bmp"}));
    answer = {false, {}, 1};
    form.AddPicButton->Click();
    EXPECT_EQ(form.calls.size(), 2u);
}

// The point in the middle of a card's caption, for a click that picks the card.
ui::TPoint CaptionCentre(const cardlist::TFineCard& card) {
    const ui::TRect r = card.CaptionClientRect;
    return ui::TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

std::vector<std::string> Captions(cardlist::TCustomFineCardList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Cards().Count(); ++i) out.push_back(list.Cards().Items(i)->Caption());
    return out;
}

TEST_F(MainForm, DeletePhotoRemovesExactlyTheClickedCard) {
    WatchedForm form;
    AddCards(form, 3);
    cardlist::TFineCardList& list = *form.PicCardList;
    ASSERT_GE(list.ViewCards().size(), 2u);
    const int picked = list.ViewCards()[1];
    test_support::Click(list, CaptionCentre(*list.Cards().Items(picked)));
    ASSERT_EQ(list.SelectedCardIndex(), picked);
    form.RemovePicButton->Click();
    std::vector<std::string> expected = {"card 0", "card 1", "card 2"};
    expected.erase(expected.begin() + picked);
    EXPECT_EQ(Captions(list), expected);
    EXPECT_EQ(list.SelectedCard(), nullptr);
}

TEST_F(MainForm, DeletePhotoInAScrolledAlbumKeepsTheListWhereItWas) {
    WatchedForm form;
    AddCards(form, 20);
    cardlist::TFineCardList& list = *form.PicCardList;
    ASSERT_TRUE(list.ScrollBar().Visible());
    ASSERT_GE(list.ScrollBar().Max(), 4);
    list.ScrollBar().UserScroll(ui::TScrollCode::scPosition, 4);
    ASSERT_EQ(list.LayoutState().first_row, 4);
    const int picked = list.ViewCards().front();
    const int top = list.Cards().Items(picked)->ListRect.Top;
    test_support::Click(list, CaptionCentre(*list.Cards().Items(picked)));
    ASSERT_EQ(list.SelectedCardIndex(), picked);
    form.RemovePicButton->Click();
    EXPECT_EQ(list.Cards().Count(), 19);
    EXPECT_EQ(list.LayoutState().first_row, 4);
    EXPECT_EQ(list.ScrollBar().Position(), 4);
    EXPECT_EQ(list.Cards().Items(list.ViewCards().front())->ListRect.Top, top);
}

TEST_F(MainForm, InsertPhotoGoesBeforeTheClickedCard) {
    TQuillbookForm form(nullptr);
    cardlist::TFineCardList& list = *form.PicCardList;
    for (int i = 0; i < 3; ++i) list.Cards().Add()->SetCaption("card " + std::to_string(i));
    ui::TBitmap picture;
    picture.SetSize(40, 30);
    const std::string file = (dir_ / "inserted.bmp").string();
    picture.SaveToFile(file);
    ASSERT_GE(list.ViewCards().size(), 2u);
    const int picked = list.ViewCards()[1];
    test_support::Click(list, CaptionCentre(*list.Cards().Items(picked)));
    ASSERT_EQ(list.SelectedCardIndex(), picked);
    answer = {true, {file}, 1};
    form.InsertPicButton->Click();
    std::vector<std::string> expected = {"card 0", "card 1", "card 2"};
    expected.insert(expected.begin() + picked, "inserted");
    EXPECT_EQ(Captions(list), expected);
}

TEST_F(MainForm, TheAlbumListIsSortedSoNoCardDrags) {
    WatchedForm form;
    AddCards(form, 3);
    cardlist::TFineCardList& list = *form.PicCardList;
    ASSERT_TRUE(list.Sorted());
    const std::vector<int> order = list.DisplayOrder();
    const int picked = list.ViewCards()[0];
    const ui::TPoint at = CaptionCentre(*list.Cards().Items(picked));
    test_support::Click(list, at);
    ASSERT_EQ(list.SelectedCardIndex(), picked);
    test_support::MousePress(list, at);
    test_support::MouseMove(list, ui::TPoint{at.X + 40, at.Y + 60}, Qt::LeftButton);
    EXPECT_EQ(ui::TDragSession::Active(), nullptr);
    test_support::MouseRelease(list, ui::TPoint{at.X + 40, at.Y + 60});
    EXPECT_EQ(list.DisplayOrder(), order);
}

TEST_F(MainForm, SaveDialogFilterPicksAlbumOrDownloadFiles) {
    WatchedForm form;
    answer = {true, {"/out/album"}, 1};
    form.FileSaveAs->Execute();
    switch_to = {2};
    form.FileSaveAs->Execute();
    EXPECT_EQ(form.calls, (std::vector<std::string>{"save /out/album.ZRB", "export /out/album.HPA"}));
}

TEST_F(MainForm, FormDefinitionGeometryCaptionsAndTabOrder) {
    WatchedForm form;
    EXPECT_EQ(form.Caption(), "Ostrel 50 Quillbook");
    EXPECT_EQ(form.Width(), 801);
    EXPECT_EQ(form.Height(), 495);
    const struct {
        ui::TControl* control;
        int left, top, width, height;
    } boxes[] = {
        {form.DeviceSelectPanel, 0, 0, 801, 49},
        {form.GroupBox1, 7, 2, 787, 41},
        {form.HCRadioButton, 11, 18, 113, 17},
        {form.EDRadioButton, 160, 18, 137, 17},
        {form.V2HCRadioButton, 340, 18, 130, 17},
        {form.V2EDRadioButton, 476, 18, 141, 17},
        {form.FinePanel1, 0, 49, 106, 446},
        {form.AddPicButton, 7, 13, 93, 25},
        {form.RemovePicButton, 7, 75, 93, 25},
        {form.DownloadPicsButton, 7, 153, 93, 25},
        {form.Bevel1, 7, 138, 93, 9},
        {form.Panel2, 106, 49, 695, 446},
        {form.PicCardList, 0, 0, 695, 446},
    };
    for (const auto& b : boxes) {
        EXPECT_EQ(b.control->Left(), b.left) << b.control->Name();
        EXPECT_EQ(b.control->Top(), b.top) << b.control->Name();
        EXPECT_EQ(b.control->Width(), b.width) << b.control->Name();
        EXPECT_EQ(b.control->Height(), b.height) << b.control->Name();
    }
    EXPECT_EQ(form.EDRadioButton->TabOrder(), 0);
    EXPECT_EQ(form.HCRadioButton->TabOrder(), 1);
    EXPECT_EQ(form.V2EDRadioButton->TabOrder(), 3);
    EXPECT_EQ(form.AddPicButton->TabOrder(), 0);
    EXPECT_EQ(form.RemovePicButton->TabOrder(), 1);
    EXPECT_EQ(form.UploadPicsButton->TabOrder(), 2);
    EXPECT_EQ(form.DownloadPicsButton->TabOrder(), 3);
    EXPECT_EQ(form.InsertPicButton->TabOrder(), 4);
    EXPECT_EQ(form.RenamePhotoButton->TabOrder(), 5);
    EXPECT_FALSE(form.UploadPicsButton->Visible());
    EXPECT_FALSE(form.RenamePhotoButton->Visible());
    EXPECT_EQ(form.PicCardList->CardTemplate().CardWidth(), 500);
    EXPECT_EQ(form.PicCardList->ColumnWidth(), 540);
    // The menu: File with its four actions and a separator, Help with About.
    const ui::TMenuItem* root = form.FineMainMenu1->Items();
    ASSERT_EQ(root->Count(), 2);
    ASSERT_EQ(root->Items(0)->Count(), 5);
    EXPECT_EQ(root->Items(0)->Items(0)->Caption(), "&New Photo Album");
    EXPECT_EQ(root->Items(0)->Items(1)->Caption(), "&Open Album...");
    EXPECT_TRUE(root->Items(0)->Items(3)->IsLine());
    EXPECT_EQ(root->Items(1)->Items(0)->Caption(), "&About...");
}

TEST_F(MainForm, AboutBoxShowsTheBuildsVersionOrThePlaceholder) {
    app::TAboutBox built(nullptr);
#if QBK_TEST_VERSION_BLOCK
    EXPECT_EQ(built.Version->Caption(), QBK_TEST_FILE_VERSION);
    EXPECT_EQ(built.Copyright->Caption(), QBK_TEST_LEGAL_COPYRIGHT);
#endif
    app::TAboutBox bare(nullptr, nullptr);
    EXPECT_EQ(bare.Version->Caption(), "Updated at run-time");
    EXPECT_EQ(bare.Copyright->Caption(), "Updated at run-time");
    EXPECT_EQ(bare.ProductName->Caption(), "Ostrel 50 Quillbook");
    EXPECT_EQ(bare.Width(), 298);
    EXPECT_EQ(bare.Height(), 213);
}

// Emptying the album by New or by another family hides the scroll bar the cards needed.
TEST_F(MainForm, ScrollBarHidesWhenTheAlbumEmpties) {
    WatchedForm form;
    form.Show();
    const struct {
        const char* name;
        std::function<void()> empty;
    } cases[] = {
        {"New", [&] { ASSERT_TRUE(form.IsShortCut(ui::ShortCut('N', ui::scCtrl))); }},
        {"family", [&] { form.EDRadioButton->Click(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AddCards(form, 40);
        App().processEvents();
        ASSERT_TRUE(form.PicCardList->ScrollBar().Visible()) << "forty cards fit the window";
        ASSERT_TRUE(form.PicCardList->ScrollBar().Widget()->isVisible());
        c.empty();
        App().processEvents();
        EXPECT_EQ(form.PicCardList->Cards().Count(), 0);
        EXPECT_FALSE(form.PicCardList->ScrollBar().Visible());
        EXPECT_FALSE(form.PicCardList->ScrollBar().Widget()->isVisible());
    }
}

// Tab and Shift+Tab pressed on the shown window: each press lands on the next control of the
// form definition's tab orders that has a tab stop (the radio buttons, then the visible tool
// buttons), never on a container or the card list, even after a click focused the list; and
// the window's picture changes inside the control that took the focus, so every stop shows it.
TEST_F(MainForm, TabWalksTheTabStopsInTheirOrderAndEachShowsItsFocus) {
    WatchedForm form;
    AddCards(form, 3);
    app_test::ShowActive(form);
    ui::TWinControl* const forward[] = {form.V2HCRadioButton, form.V2EDRadioButton,    form.AddPicButton,
                                        form.RemovePicButton, form.DownloadPicsButton, form.InsertPicButton,
                                        form.EDRadioButton,   form.HCRadioButton};
    const std::vector<ui::TWinControl*> stops(std::begin(forward), std::end(forward));
    const auto focused = [&form]() -> ui::TWinControl* {
        for (int i = 0; i < form.ComponentCount(); ++i) {
            auto* c = dynamic_cast<ui::TWinControl*>(form.Components(i));
            if (c != nullptr && c->FocusWidget() == QApplication::focusWidget()) return c;
        }
        return nullptr;
    };
    const auto name = [](const ui::TWinControl* c) { return c != nullptr ? c->Name() : std::string("no control"); };
    const auto walk = [&](const std::vector<ui::TWinControl*>& expected, Qt::KeyboardModifiers mods) {
        for (ui::TWinControl* next : expected) {
            QApplication::processEvents();
            const QImage before = form.Window()->grab().toImage();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, mods);
            QApplication::processEvents();
            ASSERT_EQ(name(focused()), name(next)) << "a Tab stop on a widget that is not one of the form's controls";
            const QImage after = form.Window()->grab().toImage();
            const QPoint origin = next->FocusWidget()->mapTo(form.Window(), QPoint(0, 0));
            const QRect area(origin, next->FocusWidget()->size());
            EXPECT_NE(before.copy(area), after.copy(area)) << next->Name() << " shows no focus";
        }
    };
    {
        SCOPED_TRACE("Tab from the first radio button");
        form.HCRadioButton->SetFocus();
        walk(stops, Qt::NoModifier);
    }
    {
        SCOPED_TRACE("Shift+Tab back");
        std::vector<ui::TWinControl*> back(stops.rbegin() + 1, stops.rend());
        back.push_back(form.HCRadioButton);
        walk(back, Qt::ShiftModifier);
    }
    {
        SCOPED_TRACE("Tab from the card list focused by a click");
        test_support::Click(*form.PicCardList, ui::TPoint{form.PicCardList->Width() / 2, 5});
        QApplication::processEvents();
        ASSERT_TRUE(form.PicCardList->Focused());
        EXPECT_FALSE(form.PicCardList->TabStop());
        std::vector<ui::TWinControl*> from_list{form.EDRadioButton, form.HCRadioButton};
        from_list.insert(from_list.end(), stops.begin(), stops.end());
        walk(from_list, Qt::NoModifier);
    }
}

// Download Album's last box closes before the link's close pause: the window must paint itself
// again in between, or it goes on showing the box while the thread sleeps.
TEST_F(MainForm, DownloadRepaintsTheWindowBetweenItsLastBoxAndTheClosePause) {
    const struct {
        const char* name;
        const char* script;
    } cases[] = {{"still idle", "GETSYSTEMSTATE 5\n"}, {"no device", "READKLP 0x1017 0xFF 1 fail\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app_test::FakeKlp fake;
        fake.Script(c.script);
        WatchedForm form;
        AddCards(form, 1);
        app_test::ShowActive(form);
        QApplication::processEvents();
        bool box_closed = false;
        bool painted_before_close = false;
        struct PaintWatch : QObject {
            std::function<void()> painted;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint) painted();
                return false;
            }
        } watch;
        watch.painted = [&] {
            if (box_closed && fake.Calls("CLOSEKLP").empty()) painted_before_close = true;
        };
        form.Window()->installEventFilter(&watch);
        const auto previous = kernel::SetMessageBoxSink([&](const std::string&, const std::string&, unsigned) {
            box_closed = true;
            return kernel::kIdOk;
        });
        form.DownloadPicsButton->Click();
        kernel::SetMessageBoxSink(previous);
        form.Window()->removeEventFilter(&watch);
        EXPECT_TRUE(box_closed);
        EXPECT_FALSE(fake.Calls("CLOSEKLP").empty());
        EXPECT_TRUE(painted_before_close);
    }
}

// A transfer keeps the thread waiting for the library; meanwhile the window paints itself again
// where the window system reports it uncovered (another window moved over it and away): the
// exposure made while a library call waits is painted before that call returns.
TEST_F(MainForm, TheWindowPaintsWhileALibraryCallWaits) {
    app_test::FakeKlp fake;
    const std::string gate = fake.PathOf("gate");
    fake.Script("HOLD OPENKLP " + gate + "\nGETSYSTEMSTATE 5\n");
    WatchedForm form;
    AddCards(form, 1);
    app_test::ShowActive(form);
    QApplication::processEvents();
    // Shared with the window system's stand-in below, which a failing test leaves behind.
    struct Watch {
        std::atomic<bool> exposed{false};
        std::atomic<bool> released{false};
        std::atomic<bool> painted_during_call{false};
    };
    const auto watch = std::make_shared<Watch>();
    struct PaintWatch : QObject {
        std::shared_ptr<Watch> watch;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint && watch->exposed && !watch->released) watch->painted_during_call = true;
            return false;
        }
    } paints;
    paints.watch = watch;
    form.Window()->installEventFilter(&paints);
    app_test::MessageBoxes boxes;
    QWidget* window = form.Window();
    QWindow* handle = window->windowHandle();
    const QRegion all(QRect(QPoint(0, 0), window->size()));
    // Once the library call has begun, the window system reports the window uncovered, its image
    // gone (an expose alone may be answered from the backing store without painting); the call is
    // let go once the window painted, or after a bound.
    test_support::CallOnThread<bool> window_system([watch, window, handle, all, &fake, gate]() {
        const bool began = test_support::WaitUntil([&] { return !fake.Calls("OPENKLP").empty(); });
        watch->exposed = true;
        QMetaObject::invokeMethod(
            qApp,
            [window, handle, all] {
                QWindowSystemInterface::handleExposeEvent(handle, all);
                window->update();
            },
            Qt::QueuedConnection);
        test_support::WaitUntil([&] { return watch->painted_during_call.load(); }, std::chrono::seconds(10));
        watch->released = true;
        std::ofstream(gate) << "go";
        return began;
    });
    form.DownloadPicsButton->Click();
    // Longer than the stand-in's own bounds, so that it is never left behind with `fake`.
    ASSERT_TRUE(window_system.Ended(std::chrono::seconds(60)));
    EXPECT_TRUE(window_system.Get());
    form.Window()->removeEventFilter(&paints);
    EXPECT_TRUE(watch->painted_during_call) << "the window was not painted while the library call waited";
    EXPECT_FALSE(fake.Calls("CLOSEKLP").empty());
}

// The window system's close request (the frame's close button) reaches the window as the
// platform plugins report it: queued, delivered by the next event processing.
void RequestClose(ui::TForm& form) { QWindowSystemInterface::handleCloseEvent(form.Window()->windowHandle()); }

TEST_F(MainForm, ACloseRequestDuringDownloadClosesTheWindowWhenTheCommandEnds) {
    app_test::FakeKlp fake;
    fake.Script("GETSYSTEMSTATE 5\n");
    WatchedForm form;
    AddCards(form, 1);
    app_test::ShowActive(form);
    QApplication::processEvents();
    int argc = 0;
    ui::TApplicationHost host(argc, nullptr);
    host.InstallMessageBoxDialogs();
    // The request comes while the library keeps the thread busy, before the result box; the
    // real box answers it with its modal loop, and the box is answered from inside that loop.
    bool shown_at_box = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) {
                shown_at_box = form.Showing();
                box->accept();
            }
        }
    });
    const kernel::MessageBoxSink real_box =
        kernel::SetMessageBoxSink([&](const std::string& text, const std::string& caption, unsigned flags) {
            RequestClose(form);
            answer.start(10);
            const int result = real_box(text, caption, flags);
            answer.stop();
            return result;
        });
    QTest::mouseClick(form.DownloadPicsButton->NativeWidget(), Qt::LeftButton);
    kernel::SetMessageBoxSink(real_box);
    EXPECT_TRUE(shown_at_box);
    EXPECT_FALSE(fake.Calls("CLOSEKLP").empty());
    EXPECT_FALSE(form.Showing());
    EXPECT_FALSE(ui::Application().InHandler());

    // Without a command the request closes at once.
    form.Show();
    QApplication::processEvents();
    ASSERT_TRUE(form.Showing());
    RequestClose(form);
    QApplication::processEvents();
    EXPECT_FALSE(form.Showing());
}

}  // namespace
