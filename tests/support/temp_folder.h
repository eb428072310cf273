// A folder under the system's temporary directory for the running test alone: named after the
// test and this process, so that copies of the suite running side by side on one machine (other
// worktrees, repeated runs) never share or remove each other's files.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace test_support {

inline std::filesystem::path TestTempFolder(const std::string& prefix) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::filesystem::temp_directory_path() /
           (prefix + std::to_string(::getpid()) + "_" + (test != nullptr ? test->name() : "no-test"));
}

}  // namespace test_support
