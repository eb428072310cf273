#include "platform/kernel/module.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct NameCase {
    const char* module;
    const char* file;
    const char* variable;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.module; }

class KernelModuleNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(KernelModuleNames, MapToFileAndOverrideVariable) {
    const NameCase c = GetParam();
    EXPECT_EQ(kernel::ModuleFileName(c.module), c.file);
    EXPECT_EQ(kernel::ModuleOverrideVariable(c.module), c.variable);
}

INSTANTIATE_TEST_SUITE_P(Cases, KernelModuleNames,
                         ::testing::Values(NameCase{"CANAPI.DLL", "libcanapi.so", "QBK_MODULE_CANAPI"},
                                           NameCase{"klp_lib_usb.dll", "libklp_lib_usb.so", "QBK_MODULE_KLP_LIB_USB"},
                                           NameCase{"CANAPI", "libcanapi.so", "QBK_MODULE_CANAPI"},
                                           NameCase{"UxTheme.Dll", "libuxtheme.so", "QBK_MODULE_UXTHEME"},
                                           NameCase{"libcanapi.so", "libcanapi.so", "QBK_MODULE_CANAPI"},
                                           NameCase{"/opt/x/libfoo.so", "/opt/x/libfoo.so", "QBK_MODULE_FOO"},
                                           NameCase{"C:\\bin\\CANAPI.DLL", "C:\\bin\\libcanapi.so",
                                                    "QBK_MODULE_CANAPI"},
                                           NameCase{"my-lib.dll", "libmy-lib.so", "QBK_MODULE_MY_LIB"}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

// The module next to the test binary, loaded by its original-style name.
constexpr const char* kModule = "KERNEL_TEST_MODULE.DLL";
constexpr const char* kVariable = "QBK_MODULE_KERNEL_TEST_MODULE";

class KernelModuleLoad : public ::testing::Test {
protected:
    void SetUp() override { unsetenv(kVariable); }
    void TearDown() override { unsetenv(kVariable); }
    // Where every binary lands, this test included.
    static std::string BinDir() {
        if (const char* dir = std::getenv("QBK_TEST_BIN_DIR"); dir != nullptr && *dir != '\0') return dir;
        return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
    }
};

TEST_F(KernelModuleLoad, FindsTheModuleBesideTheKernelAndBindsItsExport) {
    auto module = kernel::Module::Load(kModule);
    ASSERT_NE(module, nullptr) << kernel::LastModuleError();
    EXPECT_EQ(std::filesystem::path(module->Path()).filename(), "libkernel_test_module.so");
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(module->Path()).parent_path(), BinDir()));
    auto answer = reinterpret_cast<int (*)()>(module->Symbol("kernel_test_module_answer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(module->Symbol("no_such_export"), nullptr);
}

TEST_F(KernelModuleLoad, MissingModuleGivesNullAndTheReason) {
    EXPECT_EQ(kernel::Module::Load("NO_SUCH_MODULE_ANYWHERE.DLL"), nullptr);
    EXPECT_NE(kernel::LastModuleError().find("libno_such_module_anywhere.so"), std::string::npos)
        << kernel::LastModuleError();
}

TEST_F(KernelModuleLoad, OverrideVariableNamesAnotherFileWithoutFallback) {
    const auto copy = std::filesystem::temp_directory_path() / ("qbk-kernel-test-" + std::to_string(getpid()) + ".so");
    auto beside = kernel::Module::Load(kModule);
    ASSERT_NE(beside, nullptr);
    std::filesystem::copy_file(beside->Path(), copy, std::filesystem::copy_options::overwrite_existing);

    setenv(kVariable, copy.c_str(), 1);
    auto overridden = kernel::Module::Load(kModule);
    ASSERT_NE(overridden, nullptr) << kernel::LastModuleError();
    EXPECT_EQ(overridden->Path(), copy.string());

    // A missing override file must fail even though the module exists beside the binary.
    const std::string missing = "/nonexistent/libnothing.so";
    setenv(kVariable, missing.c_str(), 1);
    EXPECT_EQ(kernel::Module::Load(kModule), nullptr);
    EXPECT_NE(kernel::LastModuleError().find(missing), std::string::npos);
    EXPECT_NE(kernel::LastModuleError().find(kVariable), std::string::npos);

    overridden.reset();
    std::filesystem::remove(copy);
}

}  // namespace
