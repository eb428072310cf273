// A hostile display node against the real interface library: one that asks for every block of a
// block download again, one that floods the bus while the download runs, and one that does both.
// The download ends within a bound, failing, or (under the flood alone) with the album byte exact;
// a fatal error of the library on one of its own threads (its buffer pool emptied by the flood)
// raises its box and still lets the call and the close end; and a download afterwards, with the
// library loaded anew, reaches a good node byte exact.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/device_objects.h"
#include "tests/e2e/session.h"
#include "tests/library/sink_recorder.h"
#include "tests/support/call_on_thread.h"

namespace e2e {
namespace {

using test_support::CallOnThread;
namespace object = app::device_object;

const Bytes kUnlock{0xC4, 0xA0, 0x17, 0x5E};
constexpr const char* kFatalBox = "KLP Library Failure: ";
constexpr const char* kFatalCaption = "KLP Communication Error";

// The library's calls of one download as the device link makes them: the update time-out, the
// unlock and the album in one write. True when a write failed.
bool Download(Session& s, std::uint8_t node, const Bytes& album) {
    s.klp().SETKLPTIMEOUT(60000);
    if (s.Write(node, sdo::kUnlockIndex, 0, kUnlock)) return true;
    return s.Write(node, object::kSoftwareImage, 0, album);
}

TEST(E2eHostileNode, ADownloadAgainstAHostileNodeEndsAndTheNextOneWorks) {
    // Some blocks of 127 segments: the flood (40 frames a segment) outgrows the library's pool of
    // 2,500 buffers within one block.
    const Bytes album = Pattern(20000, 5);
    const struct {
        const char* name;
        std::vector<std::string> flags;
        bool refuses;  // the node never takes a block: the download must fail
        // The node's frames are logged and its refusals counted (not under the flood, whose log
        // would slow the node down).
        bool logged;
    } cases[] = {
        {"every block asked for again", {"--resend-blocks", "--log"}, true, true},
        {"the bus flooded", {"--flood", "40"}, false, false},
        {"the bus flooded and every block asked for again", {"--flood", "40", "--resend-blocks"}, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        klp_test::SinkRecorder sinks;
        {
            auto s = std::make_shared<Session>();
            std::vector<std::string> flags{"--node", "1:0x1031:5", "--store-image", s->Path("album.bin")};
            flags.insert(flags.end(), c.flags.begin(), c.flags.end());
            ASSERT_TRUE(s->Open(flags));
            ASSERT_TRUE(s->WaitReady());
            // Shared with the call, which a hanging library would leave behind.
            CallOnThread<bool> download([s, album] { return Download(*s, 1, album); });
            ASSERT_TRUE(download.Ended(2 * kPatience)) << "the download does not end";
            const bool failed = download.Get();
            if (c.refuses) {
                EXPECT_TRUE(failed);
            }
            if (c.logged) {
                EXPECT_GE(s->Count("tx 781#A200", 2), 2u) << "the node did not ask for a block again";
            }
            if (!failed) {
                EXPECT_EQ(s->ReadFile("album.bin"), album);
            }
            // A box only for the library's fatal error (the flood emptying the pool), once.
            const std::vector<klp_test::MessageBoxCall> boxes = sinks.Boxes();
            EXPECT_LE(boxes.size(), 1u);
            for (const klp_test::MessageBoxCall& box : boxes) {
                EXPECT_EQ(box.text.rfind(kFatalBox, 0), 0u) << box.text;
                EXPECT_EQ(box.caption, kFatalCaption);
            }
            CallOnThread<bool> close([s] {
                s->Close();
                return true;
            });
            ASSERT_TRUE(close.Ended(kPatience)) << "the close does not end";
        }
        // The library loaded anew, against a good node.
        const std::size_t boxes_before = sinks.Boxes().size();
        Session good;
        ASSERT_TRUE(good.Open({"--node", "1:0x1031:5", "--store-image", good.Path("album.bin")}));
        ASSERT_TRUE(good.WaitReady());
        EXPECT_FALSE(Download(good, 1, album));
        EXPECT_EQ(good.ReadFile("album.bin"), album);
        EXPECT_EQ(sinks.Boxes().size(), boxes_before) << "a box raised against the good node";
    }
}

}  // namespace
}  // namespace e2e
