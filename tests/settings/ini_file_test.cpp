#include "platform/settings/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/temp_folder.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    static std::string Contents(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    test_support::ConfigFolderScope config_{"qbk-ini-test-"};
    const std::filesystem::path& dir_ = config_.Path();
};

TEST_F(IniFileTest, ValuesKeepTheirOrderAndARewriteStaysInPlace) {
    settings::TIniFile ini("panels.ini");
    EXPECT_EQ(ini.FileName(), dir_ / "qbk" / "panels.ini");
    ini.WriteInteger("Tools", "Top", 10);
    ini.WriteInteger("Tools", "Left", 20);
    ini.WriteString("Other", "Name", "x y");
    ini.WriteInteger("Tools", "Height", 30);
    ini.WriteInteger("tools", "TOP", -5);  // names ignore case; the line keeps its place
    EXPECT_EQ(Contents(ini.FileName()), "[Tools]\nTop=-5\nLeft=20\nHeight=30\n[Other]\nName=x y\n");

    const settings::TIniFile again("panels.ini");
    EXPECT_EQ(again.ReadInteger("TOOLS", "top", 0), -5);
    EXPECT_EQ(again.ReadString("Other", "Name", ""), "x y");
    EXPECT_TRUE(again.ValueExists("Tools", "Height"));
    EXPECT_FALSE(again.ValueExists("Tools", "Width"));
    EXPECT_FALSE(again.ValueExists("Missing", "Top"));
}

TEST_F(IniFileTest, ReadsAHandWrittenFile) {
    const auto file = dir_ / "hand.ini";
    std::filesystem::create_directories(dir_);
    std::ofstream(file, std::ios::binary)
        << "; made by hand\r\n[A]\r\n  Width = 120 \r\nHex=$1F\r\nOx=0x10\r\n"
           "Word=abc\r\nQuoted=\"two words\"\r\nBig=99999999999\r\n\r\n[B]\r\nWidth=7\r\n";
    settings::TIniFile ini(file.string());  // an absolute name is used as it is
    const struct {
        const char* section;
        const char* ident;
        int expected;
    } cases[] = {{"A", "Width", 120}, {"A", "Hex", 31},  {"A", "Ox", 16},      {"A", "Word", -1},
                 {"A", "Big", -1},    {"B", "Width", 7}, {"A", "Missing", -1}, {"C", "Width", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(ini.ReadInteger(c.section, c.ident, -1), c.expected) << c.section << "." << c.ident;
    EXPECT_EQ(ini.ReadString("A", "Quoted", ""), "two words");
    EXPECT_EQ(ini.ReadString("A", "Missing", "dflt"), "dflt");

    // A new value joins its section before the blank line; the comment stays.
    ini.WriteInteger("A", "New", 1);
    EXPECT_EQ(Contents(file),
              "; made by hand\n[A]\n  Width = 120 \nHex=$1F\nOx=0x10\nWord=abc\nQuoted=\"two words\"\n"
              "Big=99999999999\nNew=1\n\n[B]\nWidth=7\n");
}

TEST_F(IniFileTest, AWriteThatCannotBeStoredRaisesAndLeavesTheFile) {
    settings::TIniFile ini("keep.ini");
    ini.WriteString("S", "A", "1");
    const std::string before = Contents(ini.FileName());
    EXPECT_THROW(ini.WriteString("S", "B", "two\nlines"), settings::EIniFileException);
    EXPECT_THROW(ini.WriteString("S", "x=y", "1"), settings::EIniFileException);
    EXPECT_THROW(ini.WriteString("S]", "A", "1"), settings::EIniFileException);
    EXPECT_EQ(Contents(ini.FileName()), before);

    // A file in a folder that cannot be made.
    std::ofstream(dir_ / "plain") << "not a folder";
    settings::TIniFile blocked((dir_ / "plain" / "x.ini").string());
    try {
        blocked.WriteInteger("S", "A", 1);
        FAIL() << "no exception";
    } catch (const settings::EIniFileException& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + (dir_ / "plain" / "x.ini").string());
    }
}

TEST_F(IniFileTest, RegistryIniFileKeepsSectionsAsSubkeys) {
    {
        settings::TRegistryIniFile ini("Software\\Maker\\Panels");
        ini.WriteInteger("Tools", "Top", 12);
        ini.WriteInteger("Tools", "Left", -3);
        ini.WriteString("Tools", "Name", "42");
    }
    settings::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Maker\\Panels\\Tools", false));
    EXPECT_EQ(reg.ReadInteger("Top"), 12);  // a real integer value, not a text

    const settings::TRegistryIniFile ini("\\Software\\Maker\\Panels");
    EXPECT_EQ(ini.ReadInteger("Tools", "Top", 0), 12);
    EXPECT_EQ(ini.ReadInteger("Tools", "Left", 0), -3);
    EXPECT_EQ(ini.ReadInteger("Tools", "Name", 0), 42);  // a string holding a number
    EXPECT_EQ(ini.ReadString("Tools", "Top", ""), "12");
    EXPECT_EQ(ini.ReadInteger("Tools", "Missing", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Absent", "Top", 8), 8);
    EXPECT_TRUE(ini.ValueExists("Tools", "Left"));
    EXPECT_FALSE(ini.ValueExists("Absent", "Left"));
    // Reading made no key.
    EXPECT_FALSE(reg.OpenKey("\\Software\\Maker\\Panels\\Absent", false));
}

}  // namespace
