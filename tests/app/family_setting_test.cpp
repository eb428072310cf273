// The remembered device family in the per-user registry file.
#include "app/family_setting.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/settings/registry.h"

namespace {

class FamilySetting : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("family-setting-") + std::to_string(::getpid()) + "-" + info->name());
        std::filesystem::create_directories(dir_);
        ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    static void WriteRaw(void (*write)(settings::TRegistry&)) {
        settings::TRegistry r;
        ASSERT_TRUE(r.OpenKey(app::kSettingsKey, true));
        write(r);
    }
    std::filesystem::path dir_;
};

TEST_F(FamilySetting, NothingStoredReadsNothing) {
    EXPECT_EQ(app::ReadRememberedFamily(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(settings::RegistryFile()));
}

TEST_F(FamilySetting, StoredValuesReadBackOnlyWhenSelectable) {
    const struct {
        int stored;
        std::optional<int> read;
    } rows[] = {
        {0, 0}, {1, 1}, {2, std::nullopt}, {3, 3}, {4, 4}, {5, std::nullopt}, {7, std::nullopt}, {-1, std::nullopt}};
    for (const auto& row : rows) {
        ASSERT_TRUE(app::StoreRememberedFamily(row.stored));
        EXPECT_EQ(app::ReadRememberedFamily(), row.read) << "stored " << row.stored;
    }
    settings::TRegistry r;
    ASSERT_TRUE(r.OpenKey("\\Software\\Varnhold Vozezuzarev\\QBK", false));
    EXPECT_EQ(r.ReadInteger("ActiveDeviceFamilyIndex"), -1);
}

TEST_F(FamilySetting, ValueOfAnotherTypeIsIgnored) {
    WriteRaw([](settings::TRegistry& r) { r.WriteString("ActiveDeviceFamilyIndex", "3"); });
    EXPECT_EQ(app::ReadRememberedFamily(), std::nullopt);
}

TEST_F(FamilySetting, UnwritableStoreFailsQuietly) {
    // The settings folder is a plain file: nothing can be created below it.
    std::filesystem::remove_all(dir_);
    std::ofstream(dir_.string()) << "not a folder";
    EXPECT_FALSE(app::StoreRememberedFamily(3));
    EXPECT_EQ(app::ReadRememberedFamily(), std::nullopt);
    std::filesystem::remove(dir_);
}

}  // namespace
