#include "platform/kernel/sinks.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(KernelMessageBoxSink, RecorderSeesTheCallAndChoosesTheAnswer) {
    std::string text, caption;
    unsigned flags = 0;
    auto previous = kernel::SetMessageBoxSink([&](const std::string& t, const std::string& c, unsigned f) {
        text = t;
        caption = c;
        flags = f;
        return static_cast<int>(kernel::kIdNo);
    });
    EXPECT_FALSE(previous);  // the default was installed
    EXPECT_EQ(kernel::MessageBox("Really?", "Question", kernel::kMbYesNo | kernel::kMbIconQuestion), kernel::kIdNo);
    EXPECT_EQ(text, "Really?");
    EXPECT_EQ(caption, "Question");
    EXPECT_EQ(flags, static_cast<unsigned>(kernel::kMbYesNo | kernel::kMbIconQuestion));
    EXPECT_TRUE(kernel::SetMessageBoxSink({}));  // hands back the recorder
}

TEST(KernelMessageBoxSink, DefaultWritesCaptionAndTextToStderrAndAnswersOk) {
    kernel::SetMessageBoxSink({});
    testing::internal::CaptureStderr();
    const int answer = kernel::MessageBox("KLP Library Failure: x", "KLP Communication Error", kernel::kMbIconError);
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, kernel::kIdOk);
    EXPECT_EQ(written, "KLP Communication Error: KLP Library Failure: x\n");
}

TEST(KernelDebugOutputSink, ReplacedRestoredAndLinesNeverInterleave) {
    std::vector<std::string> lines;  // no lock: the kernel calls the sink one line at a time
    kernel::SetDebugOutputSink([&](const std::string& line) { lines.push_back(line); });
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([t] {
            for (int i = 0; i < 200; ++i) kernel::OutputDebugString("w" + std::to_string(t) + "-" + std::to_string(i));
        });
    }
    for (auto& w : writers) w.join();
    auto recorder = kernel::SetDebugOutputSink({});
    EXPECT_TRUE(recorder);
    ASSERT_EQ(lines.size(), 800u);
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), 800u);

    testing::internal::CaptureStderr();
    kernel::OutputDebugString("VARNHOLDklp_lib: after restore");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "VARNHOLDklp_lib: after restore\n");
}

TEST(KernelDebugOutputSink, DefaultAppendsToTheNamedFile) {
    kernel::SetDebugOutputSink({});
    const auto file = std::filesystem::temp_directory_path() / ("qbk-debug-" + std::to_string(getpid()) + ".txt");
    { std::ofstream(file) << "earlier\n"; }
    setenv("QBK_DEBUG_OUTPUT", file.c_str(), 1);
    kernel::OutputDebugString("first");
    kernel::OutputDebugString("second\n");  // a line that brings its own newline gets no second one
    unsetenv("QBK_DEBUG_OUTPUT");
    testing::internal::CaptureStderr();
    kernel::OutputDebugString("to stderr again");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "to stderr again\n");

    std::ifstream in(file);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "earlier\nfirst\nsecond\n");
    std::filesystem::remove(file);
}

}  // namespace
