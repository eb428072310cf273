// Menus, actions and file dialogs of the class-library stand-in, without a window.
#include <gtest/gtest.h>

#include <memory>

#include "platform/ui/forms/actions.h"
#include "platform/ui/forms/dialogs.h"
#include "platform/ui/forms/menus.h"

namespace {

using namespace ui;

TEST(ShortCutText, Table) {
    const struct {
        TShortCut shortcut;
        const char* text;
    } rows[] = {
        {ShortCut('N', scCtrl), "Ctrl+N"},
        {ShortCut('O', scCtrl), "Ctrl+O"},
        {ShortCut(0x73, scShift | scAlt), "Shift+Alt+F4"},
        {ShortCut(0x2E, 0), "Del"},
        {ShortCut('5', scCtrl | scShift), "Shift+Ctrl+5"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ShortCutToText(row.shortcut), row.text);
        EXPECT_EQ(TextToShortCut(row.text), row.shortcut) << row.text;
    }
    EXPECT_EQ(ShortCutToText(scNone), "");
    EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
    EXPECT_EQ(TextToShortCut("Hyper+Q"), scNone);
}

struct ActionFixture : ::testing::Test {
    TComponent form{nullptr};
    TActionList* list = new TActionList(&form);
    TAction* action = new TAction(&form);
    TMainMenu* menu = new TMainMenu(&form);
    TMenuItem* file = new TMenuItem(menu);
    TMenuItem* item = new TMenuItem(menu);
    int executed = 0;
    int menu_changes = 0;

    void SetUp() override {
        action->SetActionList(list);
        action->SetCaption("&New Photo Album");
        action->SetShortCut(ShortCut('N', scCtrl));
        action->OnExecute = [this](TPersistent*) { ++executed; };
        file->SetCaption("&File");
        menu->Items()->Add(file);
        file->Add(item);
        menu->OnChange = [this](TPersistent*) { ++menu_changes; };
    }
};

TEST_F(ActionFixture, LinkedItemFollowsTheActionAndExecutesIt) {
    item->SetAction(action);
    EXPECT_EQ(item->Caption(), "&New Photo Album");
    EXPECT_EQ(item->ShortCut(), ShortCut('N', scCtrl));
    EXPECT_GT(menu_changes, 0);

    menu_changes = 0;
    action->SetCaption("&Fresh");
    EXPECT_EQ(item->Caption(), "&Fresh");
    EXPECT_EQ(menu_changes, 1);
    action->SetCaption("&Fresh");  // no change, no notice
    EXPECT_EQ(menu_changes, 1);

    item->Click();
    EXPECT_EQ(executed, 1);
    EXPECT_EQ(menu->FindShortCut(ShortCut('N', scCtrl)), item);
    EXPECT_EQ(list->FindShortCut(ShortCut('N', scCtrl)), action);

    action->SetEnabled(false);
    EXPECT_FALSE(item->Enabled());
    item->Click();
    EXPECT_FALSE(action->Execute());
    EXPECT_EQ(executed, 1);
    EXPECT_EQ(menu->FindShortCut(ShortCut('N', scCtrl)), nullptr);
    EXPECT_EQ(list->FindShortCut(ShortCut('N', scCtrl)), nullptr);
}

TEST_F(ActionFixture, FreeingTheActionOrTheListLeavesNothingDangling) {
    item->SetAction(action);
    delete list;
    EXPECT_EQ(action->ActionList(), nullptr);
    delete action;
    EXPECT_EQ(item->Action(), nullptr);
    int clicks = 0;
    item->OnClick = [&](TPersistent*) { ++clicks; };
    item->Click();
    EXPECT_EQ(clicks, 1);
}

TEST_F(ActionFixture, SubItemsGoWithTheirParentAndLeaveTheTree) {
    auto* second = new TMenuItem(menu);
    second->SetCaption("-");
    file->Add(second);
    EXPECT_TRUE(second->IsLine());
    ASSERT_EQ(file->Count(), 2);
    delete item;
    ASSERT_EQ(file->Count(), 1);
    EXPECT_EQ(file->Items(0), second);
    EXPECT_THROW(file->Items(1), EListError);
    delete file;  // frees `second` with it
    EXPECT_EQ(menu->Items()->Count(), 0);
}

// A scripted file-dialog service: records the request and answers as told.
struct DialogFixture : ::testing::Test {
    TFileDialogRequest seen;
    TFileDialogResult answer;
    std::vector<int> switch_to;  // filter changes the "user" makes before confirming
    TFileDialogService previous;

    void SetUp() override {
        previous = SetFileDialogService([this](const TFileDialogRequest& r) {
            seen = r;
            TFileDialogResult result = answer;
            for (int index : switch_to) {
                r.type_changed(index);
                result.filter_index = index;
            }
            return result;
        });
    }
    void TearDown() override { SetFileDialogService(previous); }
};

TEST_F(DialogFixture, SaveDialogTypeChangeSetsTheExtensionAdded) {
    TSaveDialog dialog(nullptr);
    dialog.SetFilter("Varnhold Photo Album (*.ZRB)|*.ZRB|2568 Download File (*.HPA)|*.HPA");
    dialog.SetDefaultExt("ZRB");
    std::vector<int> seen_indexes;
    dialog.OnTypeChange = [&](TPersistent*) {
        seen_indexes.push_back(dialog.FilterIndex());
        dialog.SetDefaultExt(dialog.FilterIndex() == 2 ? "HPA" : "ZRB");
    };
    answer = {true, {"/tmp/out/album"}, 1};
    switch_to = {2};
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(seen.kind, TFileDialogKind::Save);
    ASSERT_EQ(seen.filters.size(), 2u);
    EXPECT_EQ(seen.filters[1].description, "2568 Download File (*.HPA)");
    EXPECT_EQ(seen.filters[1].pattern, "*.HPA");
    EXPECT_EQ(seen_indexes, std::vector<int>{2});
    EXPECT_EQ(dialog.FilterIndex(), 2);
    EXPECT_EQ(dialog.FileName(), "/tmp/out/album.HPA");

    // A name with an extension keeps it; a dot in a folder name is not an extension.
    switch_to = {};
    answer = {true, {"/tmp/out/album.zrb"}, 1};
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "/tmp/out/album.zrb");
    answer = {true, {"/tmp/my.dir/album"}, 1};
    dialog.SetDefaultExt("ZRB");
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "/tmp/my.dir/album.ZRB");
}

TEST_F(DialogFixture, OpenDialogKeepsTheChosenOrderAndCancelKeepsTheOldState) {
    TOpenDialog dialog(nullptr);
    dialog.SetTitle("Select Bitmap");
    dialog.SetOptions(ofHideReadOnly | ofAllowMultiSelect | ofPathMustExist | ofFileMustExist | ofEnableSizing);
    answer = {true, {"/p/c.bmp", "/p/a.bmp", "/p/b.jpg"}, 1};
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(seen.title, "Select Bitmap");
    EXPECT_TRUE(seen.options & ofAllowMultiSelect);
    EXPECT_EQ(dialog.Files(), (std::vector<std::string>{"/p/c.bmp", "/p/a.bmp", "/p/b.jpg"}));
    EXPECT_EQ(dialog.FileName(), "/p/c.bmp");

    answer = {false, {}, 1};
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Files().size(), 3u);
}

TEST(FilterText, ParsesPairsAndDropsADanglingDescription) {
    const auto entries = ParseFilter("All (*.bmp;*.jpg)|*.bmp;*.jpg|Bitmaps|*.bmp|dangling");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].pattern, "*.bmp;*.jpg");
    EXPECT_EQ(entries[1].description, "Bitmaps");
    EXPECT_TRUE(ParseFilter("").empty());
}

}  // namespace
