// TExeInfo: the version strings from the compiled-in block, the placeholder without one, and
// the machine facts.
#include "app/exe_info.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

using app::TExeInfo;
using app::TVersionBlock;

TVersionBlock FullBlock() {
    TVersionBlock block;
    block.translations = {{0x0407, 0x04B0}, {0x0409, 0x04E4}};
    const std::string t = "StringFileInfo\\040704B0\\";
    for (const char* key : {"CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
                            "LegalTradeMarks", "OriginalFileName", "ProductName", "ProductVersion", "Comments"}) {
        block.strings[t + key] = std::string("v:") + key;
    }
    // A second table that must not be read: only the first translation names the table.
    block.strings["StringFileInfo\\040904E4\\CompanyName"] = "wrong table";
    return block;
}

std::vector<std::string> AllStrings(const TExeInfo& info) {
    return {info.CompanyName(),    info.FileDescription(), info.FileVersion(),      info.InternalName(),
            info.LegalCopyright(), info.LegalTradeMark(),  info.OriginalFileName(), info.ProductName(),
            info.ProductVersion(), info.Comments()};
}

TEST(ExeInfo, NoBlockLeavesEveryStringAsPlaceholder) {
    TExeInfo info(nullptr, nullptr);
    for (const auto& s : AllStrings(info)) EXPECT_EQ(s, "Updated at run-time");
}

TEST(ExeInfo, ReadsTheTenKeysFromTheFirstTranslationsTable) {
    const TVersionBlock block = FullBlock();
    TExeInfo info(nullptr, &block);
    const std::vector<std::string> expected = {
        "v:CompanyName",     "v:FileDescription",  "v:FileVersion", "v:InternalName",   "v:LegalCopyright",
        "v:LegalTradeMarks", "v:OriginalFileName", "v:ProductName", "v:ProductVersion", "v:Comments"};
    EXPECT_EQ(AllStrings(info), expected);
}

TEST(ExeInfo, MissingKeyReadsEmpty) {
    TVersionBlock block = FullBlock();
    block.strings.erase("StringFileInfo\\040704B0\\Comments");
    TExeInfo info(nullptr, &block);
    EXPECT_EQ(info.Comments(), "");
    EXPECT_EQ(info.CompanyName(), "v:CompanyName");
}

TEST(ExeInfo, FixedPartMasksFlagsAndConvertsTheDate) {
    TVersionBlock block = FullBlock();
    block.fixed.file_flags = 0x2B;
    block.fixed.file_flags_mask = 0x0F;
    block.fixed.file_os = 0x40004;
    block.fixed.file_type = 1;
    // 1 January 2000 00:00 UTC as a file time: 125911584000000000 = 0x01BF53EB256D4000.
    block.fixed.file_date_ms = 0x01BF53EB;
    block.fixed.file_date_ls = 0x256D4000;
    TExeInfo info(nullptr, &block);
    EXPECT_EQ(info.FileFlags(), 0x0Bu);
    EXPECT_EQ(info.TargetOS(), 0x40004u);
    EXPECT_EQ(info.FileType(), 1u);
    EXPECT_DOUBLE_EQ(info.FileDate(), 36526.0);  // days from 30 December 1899
}

TEST(ExeInfo, DesignTimeOwnerSkipsTheBlock) {
    ui::TComponent owner(nullptr);
    owner.SetDesigning(true);
    const TVersionBlock block = FullBlock();
    auto* info = new TExeInfo(&owner, &block);
    EXPECT_EQ(info->CompanyName(), "Updated at run-time");
}

TEST(ExeInfo, VersionIsTheComponentsOwnWhateverIsWritten) {
    TExeInfo info(nullptr, nullptr);
    EXPECT_EQ(info.VersionNumber(), 0x01020100u);
    info.SetVersion("9.9.9.9");
    EXPECT_EQ(info.Version(), "1.2.1.0");
}

// The machine's name as the system's own interface gives it, apart from the code under test.
std::string SystemNodeName() {
    utsname names{};
    if (::uname(&names) != 0) return {};
    return names.nodename;
}

TEST(ExeInfo, MachineFactsOfThisSystem) {
    TExeInfo info(nullptr, nullptr);
    const std::string name = SystemNodeName();
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(info.ComputerName(), name);
    // Writing the name renames nothing: the component, and the machine, keep the name they had.
    info.SetComputerName("renamed-by-a-test");
    EXPECT_EQ(info.ComputerName(), name);
    EXPECT_EQ(SystemNodeName(), name);
    if (SystemNodeName() != name) ::sethostname(name.data(), name.size());  // a test run as root
    EXPECT_EQ(info.OSName(), "Unknown");
    info.SetWindowsDir("C:\\WINDOWS\\");
    EXPECT_EQ(info.WindowsDir(), "");
    EXPECT_EQ(info.SystemDir(), "");

    const char* saved = std::getenv("TMPDIR");
    const std::string saved_value = saved ? saved : "";
    ::setenv("TMPDIR", "/var/tmp/qbk", 1);
    EXPECT_EQ(info.TempDir(), "/var/tmp/qbk/");
    ::setenv("TMPDIR", "", 1);
    EXPECT_EQ(info.TempDir(), "/tmp/");
    if (saved)
        ::setenv("TMPDIR", saved_value.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

TEST(ExeInfo, ProgramBlockIsWhatTheBuildCompiledIn) {
    TExeInfo info(nullptr);
#if QBK_TEST_VERSION_BLOCK
    ASSERT_NE(app::ProgramVersionBlock(), nullptr);
    EXPECT_EQ(info.FileVersion(), QBK_TEST_FILE_VERSION);
    EXPECT_EQ(info.LegalCopyright(), QBK_TEST_LEGAL_COPYRIGHT);
    EXPECT_EQ(info.ProductName(), "Ostrel 50 Quillbook");
    EXPECT_EQ(info.Comments(), "");  // the build stores no comment
#else
    EXPECT_EQ(app::ProgramVersionBlock(), nullptr);
    EXPECT_EQ(info.FileVersion(), "Updated at run-time");
#endif
}

}  // namespace
