// The program's start rules, with the built `qbk` run as a process on the offscreen platform.
#include "app/program.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/kernel/named_marker.h"
#include "tests/canapi/child_process.h"

namespace {

using namespace std::chrono_literals;
using canapi_test::ChildProcess;

// Every test runs its copies in a private marker scope and settings folder, with message boxes
// written to standard error instead of shown.
class ProgramProcess : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string tag = std::string("program-test-") + std::to_string(::getpid()) + "-" + info->name();
        config_ = std::filesystem::temp_directory_path() / tag;
        std::filesystem::create_directories(config_);
        ::setenv("QBK_MARKER_SCOPE", tag.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
        ::setenv("QBK_MESSAGE_BOXES", "stderr", 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // A runtime folder of its own keeps the toolkit from warning on standard error.
        runtime_ = config_ / "runtime";
        std::filesystem::create_directories(runtime_);
        std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        // The program is built next to this test executable.
        program_ = (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "qbk").string();
    }
    void TearDown() override {
        ::unsetenv("QBK_MARKER_SCOPE");
        ::unsetenv("QBK_MESSAGE_BOXES");
        std::error_code ec;
        std::filesystem::remove_all(config_, ec);
    }

    std::unique_ptr<ChildProcess> Start() {
        auto child = std::make_unique<ChildProcess>(std::vector<std::string>{program_});
        EXPECT_TRUE(child->Started());
        return child;
    }
    // Generous: a cold start of the program under a sanitizer takes a while.
    static bool WaitForMarker(const char* name, bool present, std::chrono::milliseconds limit = 20s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (kernel::NamedMarkerExists(name) != present) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }
    static std::string RestOfErrors(ChildProcess& child) {
        std::string all;
        while (auto line = child.ReadErrorLine(200ms)) all += *line + "\n";
        return all;
    }

    std::filesystem::path config_;
    std::filesystem::path runtime_;
    std::string program_;
};

TEST_F(ProgramProcess, SecondStartEndsAtOnceWithoutMessageWhileTheFirstRuns) {
    auto first = Start();
    ASSERT_TRUE(WaitForMarker(app::kOwnMarkerName, true));
    // The first copy holds the station marker too, so the station program will not start beside it.
    EXPECT_TRUE(kernel::NamedMarkerExists(app::kStationMarkerName));

    auto second = Start();
    const auto code = second->Wait(15s);
    ASSERT_TRUE(code.has_value()) << "the second copy did not end";
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(RestOfErrors(*second), "");
    EXPECT_FALSE(first->Wait(0ms).has_value()) << "the first copy ended";
}

TEST_F(ProgramProcess, RunningStationStopsTheStartWithItsMessage) {
    auto station = kernel::NamedMarker::Create(app::kStationMarkerName);
    ASSERT_NE(station, nullptr);
    auto copy = Start();
    const auto code = copy->Wait(15s);
    ASSERT_TRUE(code.has_value()) << "the copy did not end";
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(RestOfErrors(*copy),
              "Error: 2579 DXRB is running. Please close the 2579 DXRB application before starting this "
              "application.\n");
    // It ended before making any marker of its own, so it never ran a window either.
    EXPECT_FALSE(kernel::NamedMarkerExists(app::kOwnMarkerName));
}

TEST_F(ProgramProcess, KilledCopyLeavesNoMarkersBehind) {
    auto first = Start();
    ASSERT_TRUE(WaitForMarker(app::kOwnMarkerName, true));
    first.reset();  // kills it
    ASSERT_TRUE(WaitForMarker(app::kOwnMarkerName, false, 5s));
    EXPECT_FALSE(kernel::NamedMarkerExists(app::kStationMarkerName));

    auto next = Start();
    ASSERT_TRUE(WaitForMarker(app::kOwnMarkerName, true));
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(next->Wait(0ms).has_value()) << "the new copy ended: " << RestOfErrors(*next);
}

}  // namespace
