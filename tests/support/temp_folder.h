// A folder under the system's temporary directory for the running test alone: named after the
// test and this process, so that copies of the suite running side by side on one machine (other
// worktrees, repeated runs) never share or remove each other's files.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace test_support {

// The running test's folder path (not created): `prefix`, the process id, the suite and test name.
inline std::filesystem::path TestTempFolder(const std::string& prefix) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test != nullptr ? std::string(test->test_suite_name()) + "-" + test->name() : "no-test";
    for (char& c : name) {
        if (c == '/') c = '_';  // parameterised tests
    }
    return std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid()) + "_" + name);
}

// The running test's folder, created empty and removed with everything in it at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix = "qbk-") : path_(TestTempFolder(prefix)) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The per-user config folder ($XDG_CONFIG_HOME, where the registry and relative ini files live)
// moved to the running test's scratch folder for as long as this object lives.
class ConfigFolderScope {
public:
    explicit ConfigFolderScope(const std::string& prefix = "qbk-config-") : folder_(prefix) {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) previous_ = old;
        setenv("XDG_CONFIG_HOME", folder_.Path().c_str(), 1);
    }
    ~ConfigFolderScope() {
        if (previous_.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
    }
    ConfigFolderScope(const ConfigFolderScope&) = delete;
    ConfigFolderScope& operator=(const ConfigFolderScope&) = delete;

    const std::filesystem::path& Path() const { return folder_.Path(); }

private:
    ScratchFolder folder_;
    std::string previous_;
};

}  // namespace test_support
