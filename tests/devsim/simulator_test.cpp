#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/temp_folder.h"
#include "tools/devsim/sections_file.h"
#include "tools/devsim/simulator.h"

namespace devsim_test {
namespace {

using namespace std::chrono_literals;
using devsim::Frame;
using devsim::MakeFrame;

bool HasId(const std::vector<Frame>& frames, std::uint16_t id) {
    return std::any_of(frames.begin(), frames.end(), [id](const Frame& f) { return f.id == id; });
}

class TempFolder {
public:
    TempFolder() {
        path_ = test_support::TestTempFolder("devsim_test_");
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name, const std::string& content) const {
        const std::string file = (path_ / name).string();
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }
    std::filesystem::path path() const { return path_; }

private:
    std::filesystem::path path_;
};

TEST(Simulator, SecondClientAnswersAppearOnceTheNodeIsAdmitted) {
    devsim::Options options;
    options.nodes = {{2, 0x1031, 5, 0x0100, 0x0100}};
    options.conflict = true;
    devsim::Simulator sim(options, {});
    devsim::TimePoint now{};
    sim.Start(now);
    EXPECT_TRUE(sim.TakeDue(now + 1s).empty());
    now += 1s;
    sim.OnFrame(MakeFrame(0x7EF, {0x0F, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x01, 0x00}), now);
    EXPECT_TRUE(HasId(sim.TakeDue(now), 0x7EA));
    sim.OnFrame(MakeFrame(0x7E9, {1, 5, 0x01, 0x00, 0x0A, 0, 0, 0}), now);
    const auto first = sim.TakeDue(now);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].id, 0x7A2);
    EXPECT_EQ(first[1].id, 0x782);  // the node's answer to the request it heard
    EXPECT_EQ(first[1].data[0], 0x4B);
    EXPECT_TRUE(sim.TakeDue(now + 99ms).empty());
    EXPECT_EQ(sim.TakeDue(now + 100ms).size(), 2u);
    ASSERT_TRUE(sim.NextWake());
    EXPECT_EQ(*sim.NextWake(), now + 200ms);
}

TEST(Simulator, FaultReportsRepeatEveryPeriod) {
    devsim::Options options;
    options.master = false;
    options.faults = {{3, {0x05, 0x02}}, {31, {1, 2, 3, 4, 5, 6, 7, 8}}};
    options.fault_period = 250ms;
    devsim::Simulator sim(options, {});
    const devsim::TimePoint start{};
    sim.Start(start);
    const auto first = sim.TakeDue(start);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0], MakeFrame(0x043, {0x05, 0x02}));
    EXPECT_EQ(first[1], MakeFrame(0x05F, {1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_TRUE(sim.TakeDue(start + 249ms).empty());
    EXPECT_EQ(sim.TakeDue(start + 250ms).size(), 2u);
}

TEST(Simulator, StoresTheReceivedAlbum) {
    TempFolder folder;
    devsim::Options options;
    options.nodes = {{2, 0x1031, 5, 0x0100, 0x0100}};
    options.store_image = (folder.path() / "album.bin").string();
    devsim::Simulator sim(options, {});
    const devsim::TimePoint now{};
    auto request = [&](std::initializer_list<std::uint8_t> bytes) {
        Frame frame = MakeFrame(0x7A2, bytes);
        frame.dlc = 8;
        sim.OnFrame(frame, now);
        return sim.TakeDue(now);
    };
    ASSERT_EQ(request({0xC2, 0x19, 0x10, 0, 8, 0, 0, 0}).at(0).data[0], 0xA0);
    EXPECT_TRUE(request({0x01, 'a', 'l', 'b', 'u', 'm', ' ', 'o'}).empty());
    ASSERT_EQ(request({0x82, 'k'}).at(0).data[0], 0xA2);
    std::ifstream in(options.store_image, std::ios::binary);
    const std::string stored{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(stored, "album ok");
    EXPECT_FALSE(std::filesystem::exists(options.store_image + ".part"));
}

TEST(SectionsFile, ReadsSectionsAndNamesTheFaultyLine) {
    TempFolder folder;
    folder.File("pictures.bin", std::string("\x01\x00\x02", 3));
    folder.File("empty.bin", "");
    const std::string good = folder.File("good.txt", "# type value file\n\n6 0x09 pictures.bin\n0x02 1 empty.bin\n");
    const devsim::SectionsResult read = devsim::LoadSectionsFile(good);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.sections.size(), 2u);
    EXPECT_EQ(read.sections[0].type, 6);
    EXPECT_EQ(read.sections[0].value, 9);
    EXPECT_EQ(read.sections[0].bytes, devsim::Bytes({1, 0, 2}));
    EXPECT_TRUE(read.sections[1].bytes.empty());

    struct Case {
        const char* content;
        const char* error_part;
    };
    const Case cases[] = {
        {"6 9\n", ":1: expected"},
        {"\n256 1 pictures.bin\n", ":2: expected"},
        {"6 9 pictures.bin extra\n", ":1: expected"},
        {"6 9 missing.bin\n", ":1: cannot open"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        const devsim::SectionsResult bad = devsim::LoadSectionsFile(folder.File("bad.txt", c.content));
        EXPECT_NE(bad.error.find(c.error_part), std::string::npos) << bad.error;
        EXPECT_TRUE(bad.sections.empty());
    }
    std::string too_many;
    for (int i = 0; i < 85; ++i) too_many += "1 1 empty.bin\n";
    EXPECT_NE(devsim::LoadSectionsFile(folder.File("many.txt", too_many)).error.find("more than 84"),
              std::string::npos);
    EXPECT_NE(devsim::LoadSectionsFile((folder.path() / "none.txt").string()).error, "");
    // The simulator refuses to start without its sections.
    devsim::Options options;
    options.sections = (folder.path() / "none.txt").string();
    EXPECT_EQ(devsim::Simulator::Create(options).simulator, nullptr);
}

}  // namespace
}  // namespace devsim_test
