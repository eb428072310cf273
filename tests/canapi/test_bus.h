// Helpers shared by the bus tests: private bus names and waiting with generous bounds.
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "tests/support/wait_until.h"

namespace canapi_test {

// The folder of all built binaries: QBK_TEST_BIN_DIR when set, else this test binary's own folder
// (every binary lands in the same one).
inline std::string BinDir() {
    if (const char* dir = std::getenv("QBK_TEST_BIN_DIR"); dir != nullptr && *dir != '\0') return dir;
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

// A bus name no other test run uses.
inline std::string PrivateBusName(const std::string& what) {
    static int counter = 0;
    return "test-" + what + "-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

using test_support::WaitUntil;

}  // namespace canapi_test
