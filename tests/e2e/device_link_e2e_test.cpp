// The album editor's device link and transfers with the real interface library against
// qbk-devsim on a private virtual bus: what arrives in the simulated device, byte for byte, and
// what the editor shows when a node floods the bus.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <thread>

#include "app/album_transfer.h"
#include "app/mccan_interface.h"
#include "app/mccan_text.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/forms/application_host.h"
#include "platform/ui/forms/paint_wait.h"
#include "tests/e2e/album_send.h"
#include "tests/e2e/devsim_process.h"
#include "tests/support/wait_until.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

// A private bus and folder for one test; qbk-devsim started on demand.
class Bench {
public:
    Bench() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        // Bus names are short: the test's name goes in as a hash.
        bus_ =
            "w8-" + std::to_string(getpid()) + "-" + std::to_string(std::hash<std::string>{}(test->name()) % 1000000);
        folder_ = std::filesystem::temp_directory_path() / bus_;
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        setenv("CANAPI_CHANNEL", ("vbus:" + bus_).c_str(), 1);
        unsetenv("QBK_MODULE_KLP_LIB_USB");
    }
    ~Bench() {
        devsim_.reset();
        std::filesystem::remove_all(folder_);
    }
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // `log`: devsim writes every frame, which the tests can look for.
    ::testing::AssertionResult Start(std::vector<std::string> args, bool log = true) {
        if (log) args.push_back("--log");
        devsim_.reset();  // never two simulators on one bus
        devsim_ = std::make_unique<DevsimProcess>(bus_, args);
        if (!devsim_->WaitReady(test_support::kPatience))
            return ::testing::AssertionFailure() << "qbk-devsim did not get ready";
        return ::testing::AssertionSuccess();
    }
    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    Bytes ReadFile(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void WriteFile(const std::string& name, const Bytes& bytes) const {
        std::ofstream(Path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // Index of the first devsim log line starting with `prefix`, or -1.
    long FirstLine(const std::string& prefix) const {
        const auto lines = devsim_->Lines();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].text.rfind(prefix, 0) == 0) return static_cast<long>(i);
        }
        return -1;
    }
    DevsimProcess& devsim() { return *devsim_; }

private:
    std::string bus_;
    std::filesystem::path folder_;
    std::unique_ptr<DevsimProcess> devsim_;
};

const std::string kFinished = std::string("information: Varnhold QBK: ") + app::text::kDownloadFinished;

TEST(DeviceLinkE2e, FamilyOneAlbumArrivesByteExactAndASecondSendIsRefused) {
    Bench bench;
    ASSERT_TRUE(bench.Start({"--node", "1:0x1031:5", "--store-image", bench.Path("image.bin")}));
    Album album(3);
    app::TMCCANInterface link;
    Shown shown;
    app::DownloadAlbum(link, album.pages(), 1, shown.Ui());
    EXPECT_THAT(shown.lines, ElementsAre(kFinished));
    EXPECT_FALSE(link.IsLoaded());
    EXPECT_EQ(bench.ReadFile("image.bin"), album.Payload(1, 1, 1));
    // The idle command (own id 5) went out before the unlock write of C4 A0 17 5E to 0x1018.
    const long idle = bench.FirstLine("rx 065#1005000000000000");
    const long unlock = bench.FirstLine("rx 7A1#231810");
    EXPECT_GE(idle, 0);
    EXPECT_GT(unlock, idle);
    EXPECT_GE(bench.FirstLine("rx 7A1#23181000C4A0175E"), 0);

    bench.devsim().ClearLines();
    std::filesystem::remove(bench.Path("image.bin"));
    shown.lines.clear();
    app::DownloadAlbum(link, album.pages(), 1, shown.Ui());
    EXPECT_THAT(shown.lines, ElementsAre(std::string("message: ") + app::text::kStillIdle));
    EXPECT_EQ(bench.FirstLine("rx 7A1#"), -1);  // no SDO request at all
    EXPECT_FALSE(std::filesystem::exists(bench.Path("image.bin")));
}

TEST(DeviceLinkE2e, FamilyThreeGoesAsTheV2TransferBlockAndRefusedBlocksFallBack) {
    Bench bench;
    ASSERT_TRUE(bench.Start(
        {"--node", "1:0x1054:1", "--refuse-block", "0x05040000", "--store-image", bench.Path("image.bin")}));
    Album album(2);
    app::TMCCANInterface link;
    Shown shown;
    app::DownloadAlbum(link, album.pages(), 3, shown.Ui());
    EXPECT_THAT(shown.lines, ElementsAre(kFinished));
    const Bytes image = bench.ReadFile("image.bin");
    EXPECT_EQ(image, album.Payload(3, 0, 1));
    ASSERT_GE(image.size(), 2u);
    EXPECT_EQ(image[0] | image[1] << 8, app::kTransferBlockTag);
}

TEST(DeviceLinkE2e, RevisionFourOnFamilyOneIsNotSupported) {
    Bench bench;
    ASSERT_TRUE(bench.Start({"--node", "1:0x1031:4", "--store-image", bench.Path("image.bin")}));
    Album album(1);
    app::TMCCANInterface link;
    Shown shown;
    app::DownloadAlbum(link, album.pages(), 1, shown.Ui());
    EXPECT_THAT(shown.lines, ElementsAre("message: Enhanced Display" + std::string(app::text::kNotFoundTail)));
    EXPECT_EQ(bench.FirstLine("rx 065#10"), -1);  // no idle command
    EXPECT_FALSE(std::filesystem::exists(bench.Path("image.bin")));
}

TEST(DeviceLinkE2e, ConflictingClientFailsTheOpenAndUnloads) {
    Bench bench;
    ASSERT_TRUE(bench.Start({"--node", "1:0x1031:5", "--conflict"}));
    Album album(1);
    app::TMCCANInterface link;
    Shown shown;
    app::DownloadAlbum(link, album.pages(), 1, shown.Ui());
    EXPECT_THAT(shown.lines,
                ElementsAre(std::string("error: ") + app::text::kOpenFailed + app::text::kChannelConflict));
    EXPECT_FALSE(link.IsLoaded());
}

// A version-1 album section of the given entries.
Bytes Section(const std::vector<Bytes>& entries) {
    Bytes out{1, 0, static_cast<std::uint8_t>(entries.size()), 0};
    for (const Bytes& e : entries) {
        for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(e.size() >> shift));
    }
    for (const Bytes& e : entries) out.insert(out.end(), e.begin(), e.end());
    return out;
}

TEST(DeviceLinkE2e, UploadReadsTheAlbumSectionAndRefusesCorruptSizes) {
    Bench bench;
    const std::vector<Bytes> jpegs = {{0xFF, 0xD8, 1, 0xFF, 0xD9}, Bytes(300, 2), Bytes(5000, 3)};
    bench.WriteFile("album.bin", Section(jpegs));
    Bytes corrupt = Section(jpegs);
    corrupt[8] = 0xFF;  // the second entry claims 0xFF2C bytes
    corrupt[9] = 0xFF;
    bench.WriteFile("corrupt.bin", corrupt);
    bench.WriteFile("other.bin", Bytes(40, 9));
    {
        std::ofstream(bench.Path("sections1.txt")) << "2 0 other.bin\n6 1 album.bin\n";
        std::ofstream(bench.Path("sections2.txt")) << "6 1 corrupt.bin\n";
    }
    ASSERT_TRUE(
        bench.Start({"--node", "1:0x1031:5", "--sections", bench.Path("sections1.txt"), "--node", "2:0x1031:5"}));
    std::vector<std::string> captions;
    std::vector<Bytes> pictures;
    const app::UploadCards cards{[&] { captions.clear(), pictures.clear(); },
                                 [&](const std::string& caption, std::span<const std::uint8_t> jpeg) {
                                     captions.push_back(caption);
                                     pictures.emplace_back(jpeg.begin(), jpeg.end());
                                 }};
    app::TMCCANInterface link;
    Shown shown;
    app::UploadAlbum(link, 1, cards, shown.Ui());
    EXPECT_TRUE(shown.lines.empty()) << shown.lines.front();
    EXPECT_THAT(captions, ElementsAre("Picture 1", "Picture 2", "Picture 3"));
    EXPECT_EQ(pictures, jpegs);
    EXPECT_FALSE(link.IsLoaded());

    ASSERT_TRUE(bench.Start({"--node", "1:0x1031:5", "--sections", bench.Path("sections2.txt")}));
    app::UploadAlbum(link, 1, cards, shown.Ui());
    EXPECT_THAT(shown.lines, ElementsAre(std::string("message: ") + app::text::kMalformedSection));
    EXPECT_THAT(captions, ElementsAre("Picture 1"));
}

// Ends the whole test program with a message when the user-interface thread has not left a call
// by `limit`: a call that can only run on that thread cannot be left behind on another, so a hung
// editor fails the test this way instead of hanging it.
class Watchdog {
public:
    Watchdog(std::chrono::milliseconds limit, std::string what)
        : thread_([this, limit, what = std::move(what)] {
              std::unique_lock lock(mutex_);
              if (ended_.wait_for(lock, limit, [this] { return done_; })) return;
              std::fprintf(stderr, "%s did not end within %lld ms\n", what.c_str(),
                           static_cast<long long>(limit.count()));
              std::_Exit(EXIT_FAILURE);
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        ended_.notify_one();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread thread_;  // last: starts once the rest is there
};

std::vector<QPointer<QMessageBox>> ShownBoxes() {
    std::vector<QPointer<QMessageBox>> boxes;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) boxes.emplace_back(box);
    }
    return boxes;
}

// The editor's download, with the program's message boxes and painting waits, against a node that
// floods the bus: the flood empties the library's buffer pool on its receive thread, whose fatal
// error comes up as a box the user-interface thread built beside the transfer's own message. The
// download and the close still end, and the next download, with the library loaded anew, reaches
// a good node byte exact.
TEST(DeviceLinkE2e, AFloodedBusShowsTheLibrarysBoxAndTheNextDownloadArrives) {
    int argc = 0;
    ui::TApplicationHost host(argc, nullptr);
    host.InstallMessageBoxDialogs();
    Bench bench;
    // Unlogged: a log of the flood would slow the node down.
    ASSERT_TRUE(
        bench.Start({"--node", "1:0x1031:5", "--flood", "40", "--store-image", bench.Path("image.bin")}, false));
    const Album album = Album::Textured(1, 1);
    app::TMCCANInterface link(ui::SleepPainting, ui::WaitPainting);
    Shown shown;
    {
        const Watchdog watchdog(2 * test_support::kPatience, "the download against the flooding node");
        app::DownloadAlbum(link, album.pages(), 1, shown.Ui());
    }
    EXPECT_FALSE(link.IsLoaded());
    EXPECT_THAT(shown.lines, ElementsAre(std::string("message: ") + app::text::kE0003));
    EXPECT_FALSE(std::filesystem::exists(bench.Path("image.bin")));
    // Handed over, the box may still wait for the user-interface thread's next events.
    ASSERT_TRUE(test_support::WaitUntil([] {
        QApplication::processEvents();
        return !ShownBoxes().empty();
    })) << "the library's fatal error shows no box";
    const std::vector<QPointer<QMessageBox>> boxes = ShownBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]->thread(), QApplication::instance()->thread());
    EXPECT_EQ(boxes[0]->windowTitle().toStdString(), "KLP Communication Error");
    EXPECT_EQ(boxes[0]->text().toStdString(),
              "KLP Library Failure: Message Queue empty; line: 79; POOL::POOL_get_CANBuf");
    boxes[0]->close();

    ASSERT_TRUE(bench.Start({"--node", "1:0x1031:5", "--store-image", bench.Path("image.bin")}));
    shown.lines.clear();
    {
        const Watchdog watchdog(2 * test_support::kPatience, "the download against the good node");
        app::DownloadAlbum(link, album.pages(), 1, shown.Ui());
    }
    EXPECT_THAT(shown.lines, ElementsAre(kFinished));
    EXPECT_FALSE(link.IsLoaded());
    EXPECT_EQ(bench.ReadFile("image.bin"), album.Payload(1, 1, 1));
    QApplication::processEvents();
    EXPECT_TRUE(ShownBoxes().empty());
}

}  // namespace
}  // namespace e2e
