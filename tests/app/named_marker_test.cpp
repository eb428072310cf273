// Named markers: visible across processes, gone with their holder, and able to carry a request.
#include "platform/kernel/named_marker.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// Each test gets its own scope so that parallel runs and a copy of the program a person runs
// never see each other's markers.
class NamedMarkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        scope_ = std::string("marker-test-") + std::to_string(::getpid()) + "-" + info->name();
        ::setenv("QBK_MARKER_SCOPE", scope_.c_str(), 1);
    }
    void TearDown() override { ::unsetenv("QBK_MARKER_SCOPE"); }
    std::string scope_;
};

TEST_F(NamedMarkerTest, ExistsOnlyWhileHeld) {
    EXPECT_FALSE(kernel::NamedMarkerExists("QBKMutex"));
    {
        auto marker = kernel::NamedMarker::Create("QBKMutex");
        ASSERT_NE(marker, nullptr);
        EXPECT_TRUE(kernel::NamedMarkerExists("QBKMutex"));
        EXPECT_FALSE(kernel::NamedMarkerExists("DX-RBMutex"));
        // The same name cannot be taken twice, in this process or any other.
        EXPECT_EQ(kernel::NamedMarker::Create("QBKMutex"), nullptr);
        // A probe is not a request.
        EXPECT_TRUE(marker->TakeRequests().empty());
    }
    EXPECT_FALSE(kernel::NamedMarkerExists("QBKMutex"));
    EXPECT_NE(kernel::NamedMarker::Create("QBKMutex"), nullptr);
}

TEST_F(NamedMarkerTest, ScopesAndUsersSeparateNames) {
    auto marker = kernel::NamedMarker::Create("QBKMutex");
    ASSERT_NE(marker, nullptr);
    const std::string address = kernel::NamedMarkerAddress("QBKMutex");
    EXPECT_NE(address.find(std::to_string(::getuid())), std::string::npos);
    EXPECT_NE(address.find(scope_), std::string::npos);
    ::setenv("QBK_MARKER_SCOPE", (scope_ + "-other").c_str(), 1);
    EXPECT_FALSE(kernel::NamedMarkerExists("QBKMutex"));
}

TEST_F(NamedMarkerTest, CarriesRequestsInOrder) {
    auto marker = kernel::NamedMarker::Create("QBKMutex");
    ASSERT_NE(marker, nullptr);
    EXPECT_TRUE(kernel::SendNamedMarkerRequest("QBKMutex", "show TQuillbookForm"));
    EXPECT_TRUE(kernel::SendNamedMarkerRequest("QBKMutex", "second"));
    EXPECT_FALSE(kernel::SendNamedMarkerRequest("DX-RBMutex", "nobody"));
    const auto requests = marker->TakeRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], "show TQuillbookForm");
    EXPECT_EQ(requests[1], "second");
    EXPECT_TRUE(marker->TakeRequests().empty());
}

TEST_F(NamedMarkerTest, OverlongRequestIsCutNotOverrun) {
    auto marker = kernel::NamedMarker::Create("QBKMutex");
    ASSERT_NE(marker, nullptr);
    EXPECT_TRUE(kernel::SendNamedMarkerRequest("QBKMutex", std::string(10000, 'x')));
    const auto requests = marker->TakeRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_LT(requests[0].size(), 256u);
    EXPECT_EQ(requests[0].find_first_not_of('x'), std::string::npos);
}

TEST_F(NamedMarkerTest, VanishesWhenHolderProcessIsKilled) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto marker = kernel::NamedMarker::Create("DX-RBMutex");
        const char ok = marker ? '1' : '0';
        (void)!::write(ready[1], &ok, 1);
        for (;;) ::pause();
    }
    ::close(ready[1]);
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(ok, '1');
    EXPECT_TRUE(kernel::NamedMarkerExists("DX-RBMutex"));
    EXPECT_EQ(kernel::NamedMarker::Create("DX-RBMutex"), nullptr);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_FALSE(kernel::NamedMarkerExists("DX-RBMutex"));
    EXPECT_NE(kernel::NamedMarker::Create("DX-RBMutex"), nullptr);
}

}  // namespace
