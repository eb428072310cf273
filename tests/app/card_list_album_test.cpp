#include "app/card_list_album.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/add_picture.h"
#include "app/album_file.h"
#include "app/download_files.h"
#include "controls/cardlist/card_list.h"
#include "tests/support/render.h"
#include "tests/support/temp_folder.h"

namespace app {
namespace {

namespace fs = std::filesystem;

// The list is a widget: it needs an application object, made once if no other test made one.
class CardListAlbumTest : public testing::Test {
protected:
    static void SetUpTestSuite() { test_support::EnsureApplication(); }

    void SetUp() override {
        dir_ = test_support::TestTempFolder("qbk_cla_");
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        list_ = std::make_unique<cardlist::TFineCardList>(nullptr);
        list_->CardTemplate().SetCardWidth(500);
        cardlist::TFineCardTemplateItem* item = list_->CardTemplate().Items().Add();
        item->SetName("Picture");
        item->SetCaption("Picture");
        item->SetDataType(cardlist::TFineCardItemDataType::idtImage);
        album_ = std::make_unique<CardListAlbum>(*list_);
    }
    void TearDown() override {
        album_.reset();
        list_.reset();
        fs::remove_all(dir_);
    }
    std::string Bmp(const std::string& name, int w, int h) {
        ui::TBitmap bitmap;
        bitmap.SetSize(w, h);
        const std::string file = (dir_ / name).string();
        bitmap.SaveToFile(file);
        return file;
    }

    fs::path dir_;
    std::unique_ptr<cardlist::TFineCardList> list_;
    std::unique_ptr<CardListAlbum> album_;
};

TEST_F(CardListAlbumTest, AddInsertSaveAndOpenOnTheRealList) {
    AddPicture(*album_, 1, Bmp("a.bmp", 64, 48), false);
    AddPicture(*album_, 1, Bmp("b.bmp", 48, 64), false);
    list_->SelectCardIndex(1);
    AddPicture(*album_, 1, Bmp("c.bmp", 10, 10), true);
    ASSERT_EQ(list_->Cards().Count(), 3);
    EXPECT_EQ(list_->Cards().Items(0)->Caption(), "a");
    EXPECT_EQ(list_->Cards().Items(1)->Caption(), "c");
    EXPECT_EQ(list_->Cards().Items(2)->Caption(), "b");
    EXPECT_EQ(list_->CardTemplate().CardWidth(), 334);
    const ui::TBitmap* picture = album_->Picture(1);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 320);
    EXPECT_EQ(picture->Height(), 240);

    SaveAlbum(*album_, 1, (dir_ / "x.ZRB").string());
    list_->Cards().Clear();
    list_->CardTemplate().SetCardWidth(500);
    OpenAlbum(*album_, 1, (dir_ / "x.ZRB").string());
    ASSERT_EQ(list_->Cards().Count(), 3);
    EXPECT_EQ(list_->Cards().Items(2)->Caption(), "b");
    EXPECT_EQ(list_->CardTemplate().CardWidth(), 334);
    EXPECT_EQ(album_->Picture(2)->Width(), 320);

    // Export reads the same cards.
    ExportDownloadFiles(PagesOf(*album_), 1, (dir_ / "album.HPA").string());
    EXPECT_TRUE(fs::exists(dir_ / "5833-2309_HW2-3_album.HPA"));
    EXPECT_TRUE(fs::exists(dir_ / "5833-2309_HW5_album.HPA"));
}

// Opening an album or adding many pictures lays the list out once, not once for every card
// added: each card's look is applied a few times, not again for every card added after it.
TEST_F(CardListAlbumTest, ManyCardsAreLaidOutOnceNotOnceACard) {
    constexpr int kCards = 40;
    const std::string picture = Bmp("p.bmp", 320, 240);
    for (int k = 0; k < kCards; ++k) AddPicture(*album_, 1, picture, false);
    const std::string file = (dir_ / "many.ZRB").string();
    SaveAlbum(*album_, 1, file);
    int applied = 0;
    list_->OnCardAppearance = [&applied](cardlist::TCustomFineCardList*, cardlist::TFineCard*, cardlist::TCardState,
                                         cardlist::TFineCardAppearance*) { ++applied; };

    OpenAlbum(*album_, 1, file);
    ASSERT_EQ(list_->Cards().Count(), kCards);
    EXPECT_LE(applied, 4 * kCards) << "opening";

    list_->Cards().Clear();
    applied = 0;
    AddPictures(*album_, 1, std::vector<std::string>(kCards, picture), false);
    ASSERT_EQ(list_->Cards().Count(), kCards);
    EXPECT_LE(applied, 4 * kCards) << "adding";
}

}  // namespace
}  // namespace app
