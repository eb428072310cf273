#include "platform/settings/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include "tests/support/temp_folder.h"

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = test_support::TestTempFolder("qbk-registry-test-");
        std::filesystem::remove_all(dir_);
        setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

constexpr const char* kKey = "\\Software\\Varnhold Vozezuzarev\\QBK";

TEST_F(RegistryTest, LivesInTheUsersConfigFolder) { EXPECT_EQ(settings::RegistryFile(), dir_ / "qbk" / "registry"); }

TEST_F(RegistryTest, IntegerSurvivesANewObjectAndKeyNamesIgnoreCase) {
    {
        settings::TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kKey, true));
        reg.WriteInteger("ActiveDeviceFamilyIndex", 3);
    }
    settings::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\software\\varnhold vozezuzarev\\qbk", false));
    ASSERT_TRUE(reg.ValueExists("activedevicefamilyindex"));
    EXPECT_EQ(reg.ReadInteger("ActiveDeviceFamilyIndex"), 3);
    reg.WriteInteger("ActiveDeviceFamilyIndex", -7);
    EXPECT_EQ(reg.ReadInteger("ActiveDeviceFamilyIndex"), -7);
}

TEST_F(RegistryTest, MissingKeyIsNotOpenedWithoutCreate) {
    settings::TRegistry reg;
    EXPECT_FALSE(reg.OpenKey(kKey, false));
    EXPECT_FALSE(std::filesystem::exists(settings::RegistryFile()));
    EXPECT_FALSE(reg.ValueExists("ActiveDeviceFamilyIndex"));
    EXPECT_THROW(reg.WriteInteger("ActiveDeviceFamilyIndex", 1), settings::ERegistryException);
}

TEST_F(RegistryTest, MissingOrMistypedValueRaises) {
    settings::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    EXPECT_THROW(reg.ReadInteger("ActiveDeviceFamilyIndex"), settings::ERegistryException);
    reg.WriteString("Name", "a\\b\nc");
    EXPECT_THROW(reg.ReadInteger("Name"), settings::ERegistryException);
    EXPECT_EQ(reg.ReadString("Name"), "a\\b\nc");
}

TEST_F(RegistryTest, CorruptLinesAreSkippedAndOtherValuesRead) {
    std::filesystem::create_directories(settings::RegistryFile().parent_path());
    std::ofstream(settings::RegistryFile())
        << "garbage\n[Software\\Varnhold Vozezuzarev\\QBK]\nA=i:99999999999\nB=i:12x\nC=q:1\n"
           "ActiveDeviceFamilyIndex=i:4\n";
    settings::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, false));
    EXPECT_FALSE(reg.ValueExists("A"));
    EXPECT_FALSE(reg.ValueExists("B"));
    EXPECT_FALSE(reg.ValueExists("C"));
    EXPECT_EQ(reg.ReadInteger("ActiveDeviceFamilyIndex"), 4);
}

TEST_F(RegistryTest, OnlyTheCurrentUsersRootOpens) {
    settings::TRegistry reg;
    reg.SetRootKey(settings::RootKey::LocalMachine);
    EXPECT_FALSE(reg.OpenKey(kKey, true));
}

}  // namespace
