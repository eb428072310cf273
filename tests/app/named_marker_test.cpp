// Named markers: visible across processes, gone with their holder, and able to carry a request.
#include "platform/kernel/named_marker.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "app/program.h"

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

TEST_F(NamedMarkerTest, ScopesSeparateNames) {
    auto marker = kernel::NamedMarker::Create("QBKMutex");
    ASSERT_NE(marker, nullptr);
    EXPECT_NE(kernel::NamedMarkerAddress("QBKMutex").find(scope_), std::string::npos);
    ::setenv("QBK_MARKER_SCOPE", (scope_ + "-other").c_str(), 1);
    EXPECT_FALSE(kernel::NamedMarkerExists("QBKMutex"));
}

// A marker is a socket in a folder that is the user's own with no access for anybody else, so no
// other user can take its name first or reach it.
TEST_F(NamedMarkerTest, MarkerLivesWhereOnlyTheUserCanReachIt) {
    auto marker = kernel::NamedMarker::Create("QBKMutex");
    ASSERT_NE(marker, nullptr);
    const std::filesystem::path address = kernel::NamedMarkerAddress("QBKMutex");
    ASSERT_TRUE(address.is_absolute()) << address;
    struct stat file {};
    ASSERT_EQ(::lstat(address.c_str(), &file), 0) << address;
    EXPECT_TRUE(S_ISSOCK(file.st_mode));
    struct stat folder {};
    ASSERT_EQ(::lstat(address.parent_path().c_str(), &folder), 0);
    EXPECT_TRUE(S_ISDIR(folder.st_mode));
    EXPECT_EQ(folder.st_uid, ::getuid());
    EXPECT_EQ(folder.st_mode & 077, 0u);
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

// Runs `attack` in a child process that has become another user (nobody) and waits until it has
// done it; the child then stays until the returned process id is killed. -1 when this process
// cannot act as another user.
pid_t AsAnotherUser(const std::function<void()>& attack) {
    if (::geteuid() != 0) return -1;
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        ::close(ready[0]);
        const bool other = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        if (other) attack();
        const char done = other ? '1' : '0';
        (void)!::write(ready[1], &done, 1);
        for (;;) ::pause();
    }
    ::close(ready[1]);
    char done = 0;
    const bool ok = ::read(ready[0], &done, 1) == 1 && done == '1';
    ::close(ready[0]);
    if (!ok) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        return -1;
    }
    return child;
}

// Takes whatever a marker's address names, in both socket namespaces, as another user might.
void Squat(const std::string& address) {
    for (bool abstract : {true, false}) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        const std::size_t n = std::min(address.size(), sizeof a.sun_path - 2);
        std::memcpy(a.sun_path + (abstract ? 1 : 0), address.data(), n);
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + n + 1);
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), length) == 0) ::listen(fd, 16);
        // Left open: the child holds what it got until it is killed.
    }
}

// Another local user who takes the markers' names first, whatever they are, neither stops the
// editor from starting nor holds a marker in its place.
TEST_F(NamedMarkerTest, AnotherUserCannotTakeTheMarkers) {
    // A short private runtime folder: a socket's path has room for 107 bytes only.
    std::string runtime_template = "/tmp/qbk-rt-XXXXXX";
    ASSERT_NE(::mkdtemp(runtime_template.data()), nullptr);
    const std::filesystem::path runtime = runtime_template;
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    const std::string own = kernel::NamedMarkerAddress(app::kOwnMarkerName);
    const std::string station = kernel::NamedMarkerAddress(app::kStationMarkerName);
    const pid_t squatter = AsAnotherUser([&] {
        Squat(own);
        Squat(station);
    });
    if (squatter < 0) {
        ::unsetenv("XDG_RUNTIME_DIR");
        std::filesystem::remove_all(runtime);
        GTEST_SKIP() << "acting as another user needs root";
    }
    EXPECT_FALSE(kernel::NamedMarkerExists(app::kOwnMarkerName));
    EXPECT_FALSE(kernel::NamedMarkerExists(app::kStationMarkerName));
    EXPECT_EQ(app::CheckStart(), app::TStartCheck::Run);
    {
        auto station_marker = kernel::NamedMarker::Create(app::kStationMarkerName);
        auto own_marker = kernel::NamedMarker::Create(app::kOwnMarkerName);
        EXPECT_NE(station_marker, nullptr);
        EXPECT_NE(own_marker, nullptr);
        EXPECT_TRUE(kernel::NamedMarkerExists(app::kOwnMarkerName));
    }
    ::kill(squatter, SIGKILL);
    ::waitpid(squatter, nullptr, 0);
    ::unsetenv("XDG_RUNTIME_DIR");
    std::filesystem::remove_all(runtime);
}

// A marker folder that another user made first is not used: there are no markers then, and the
// editor starts all the same.
TEST_F(NamedMarkerTest, MarkerFolderOfAnotherUserIsNotUsed) {
    std::string temp_template = "/tmp/qbk-tmp-XXXXXX";
    ASSERT_NE(::mkdtemp(temp_template.data()), nullptr);
    const std::filesystem::path temp = temp_template;
    std::filesystem::permissions(temp, std::filesystem::perms::all | std::filesystem::perms::sticky_bit);
    ::unsetenv("XDG_RUNTIME_DIR");
    ::setenv("TMPDIR", temp.c_str(), 1);
    const std::string folder = (temp / ("qbk-markers-" + std::to_string(::getuid()))).string();
    const pid_t squatter = AsAnotherUser([&] { ::mkdir(folder.c_str(), 0777); });
    if (squatter < 0) {
        ::unsetenv("TMPDIR");
        std::filesystem::remove_all(temp);
        GTEST_SKIP() << "acting as another user needs root";
    }
    EXPECT_EQ(kernel::NamedMarkerAddress(app::kOwnMarkerName), "");
    EXPECT_EQ(kernel::NamedMarker::Create(app::kOwnMarkerName), nullptr);
    EXPECT_EQ(app::CheckStart(), app::TStartCheck::Run);
    ::kill(squatter, SIGKILL);
    ::waitpid(squatter, nullptr, 0);
    ::unsetenv("TMPDIR");
    std::filesystem::remove_all(temp);
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
