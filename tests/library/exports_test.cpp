// The eighteen exports: the shared library's export table, and their edge cases on the running
// stack (linked in, so that the adapter's close pause can be shortened).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "library/can_disp.h"
#include "library/export_names.h"
#include "library/exports.h"
#include "library/fault_monitor.h"
#include "library/nm.h"
#include "library/os_layer.h"
#include "library/sdo_client.h"
#include "library/usb_intf.h"
#include "platform/kernel/module.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/thread.h"
#include "tests/library/protocol_fixture.h"
#include "tests/support/call_on_thread.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using klp_test::Bytes;
using klp_test::ProtocolStackTest;
using klp_test::Sent;
using klp_test::SentOn;
using klp_test::WaitSent;
using klp_test::WaitUntil;

long Ms(Clock::duration d) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

TEST(ExportTable, SharedLibraryResolvesEveryDecoratedNameAndNothingElse) {
    const std::unique_ptr<kernel::Module> module = kernel::Module::Load("klp_lib_usb.dll");
    ASSERT_TRUE(module) << kernel::LastModuleError();
    std::set<std::string_view> decorated;
    for (const klp::ExportName& e : klp::kExportNames) {
        SCOPED_TRACE(std::string(e.decorated));
        EXPECT_NE(module->Symbol(std::string(klp::LinuxExportName(e.decorated))), nullptr);
        decorated.insert(e.decorated);
    }
    EXPECT_EQ(decorated.size(), 18u);
    EXPECT_EQ(klp::kExportNames[7].decorated, "@SETKLPTIMEOUT$QUL");
    EXPECT_TRUE(klp::LinuxExportName("@OPENKLP").empty());
    // The core inside stays private: its functions would clash with a second copy of the stack.
    EXPECT_EQ(module->Symbol("_ZN3klp8init_KLPEjh"), nullptr);

    // The calls a closed library answers, through the table as the program binds them.
    auto set_timeout = reinterpret_cast<std::int32_t (*)(std::uint32_t)>(
        module->Symbol(std::string(klp::LinuxExportName("@SETKLPTIMEOUT$QUL"))));
    auto node_id =
        reinterpret_cast<std::uint8_t (*)()>(module->Symbol(std::string(klp::LinuxExportName("@GETNODEIDKLP$QV"))));
    auto system_state =
        reinterpret_cast<std::uint8_t (*)()>(module->Symbol(std::string(klp::LinuxExportName("@GETSYSTEMSTATE$QV"))));
    auto fault = reinterpret_cast<const TFAULTRECORD* (*)(std::int32_t)>(
        module->Symbol(std::string(klp::LinuxExportName("@GETFAULTKLP$QI"))));
    ASSERT_TRUE(set_timeout && node_id && system_state && fault);
    EXPECT_EQ(set_timeout(2000), 41);
    EXPECT_EQ(node_id(), 255);
    EXPECT_EQ(system_state(), 255);
    EXPECT_EQ(fault(0), nullptr);
}

TEST(ExportValues, NodeStateCodes) {
    for (int state = 0; state < 256; ++state) {
        std::uint8_t expected = 255;
        if (state <= 2) expected = static_cast<std::uint8_t>(state);
        if (state == 4) expected = 3;
        if (state == 8) expected = 4;
        EXPECT_EQ(klp::NodeStateCode(static_cast<std::uint8_t>(state)), expected) << state;
    }
}

TEST(ExportValues, ProgressPercentages) {
    struct Case {
        const char* name;
        klp::SdoProgress progress;
        std::int32_t percent;
    };
    const Case cases[] = {
        {"download started", {true, 1000, 1000, 0}, 0},
        {"download done", {true, 1000, 0, 0}, 100},
        {"32 MiB download, 90 % sent", {true, 0x2000000, 0x2000000 / 10, 0}, 90},
        {"32 MiB download, just under 90 % sent", {true, 0x2000000, 0x2000000 / 10 + 1, 0}, 89},
        {"32 MiB download, one byte left", {true, 0x2000000, 1, 0}, 99},
        {"download of nothing", {true, 0, 0, 0}, 0},
        {"no transfer yet", {false, 0, 0, 0}, 0},
        {"upload", {false, 100, 0, 14}, 14},
        {"32 MiB upload done", {false, 0x2000000, 0, 0x2000000}, 100},
        {"25 MB upload", {false, 0x2000000, 0, 25000000}, 74},
    };
    for (const Case& c : cases) EXPECT_EQ(klp::ProgressPercent(c.progress), c.percent) << c.name;
}

// An SDO record over its own bytes: the 9-byte header, then the data area.
class SdoRecord {
public:
    SdoRecord(std::int32_t length, std::uint8_t node, std::uint16_t index, std::uint8_t sub, std::uint8_t attempts,
              std::size_t data_bytes)
        : bytes_(sizeof(TSDORECORD) + data_bytes) {
        record()->length = length;
        record()->index = index;
        record()->subindex = sub;
        record()->node = node;
        record()->attempts = attempts;
    }
    TSDORECORD* record() { return reinterpret_cast<TSDORECORD*>(bytes_.data()); }
    TSDORECORD* operator->() { return record(); }

private:
    std::vector<std::uint8_t> bytes_;
};

class ExportsTest : public ProtocolStackTest {
protected:
    void OpenKlp() {
        TINITKLP init{2000, 50};
        ASSERT_FALSE(OPENKLP(&init));
    }
    static std::size_t SdoRequests() {
        std::size_t count = 0;
        for (const klp_test::SentFrame& f : Sent()) count += f.cob_id >= 0x7A0 && f.cob_id <= 0x7BF;
        return count;
    }
};

TEST_F(ExportsTest, TransfersRefusedBeforeAnyBusTraffic) {
    struct Case {
        const char* name;
        bool write;
        std::int32_t length;
        std::uint8_t attempts;
    };
    const Case cases[] = {
        {"read, attempts 0", false, 10, 0},      {"write, attempts 0", true, 10, 0},
        {"write, length 0", true, 0, 3},         {"write, length 0x2000001", true, 0x2000001, 3},
        {"write, negative length", true, -5, 3}, {"read, negative capacity", false, -1, 3},
    };
    OpenKlp();
    AssignId(3);
    ASSERT_EQ(CHECKSDO5CHANNELCONFLICT(), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SdoRecord r(c.length, 3, 0x1000, 0, c.attempts, 16);
        EXPECT_TRUE(c.write ? WRITEKLP(r.record()) : READKLP(r.record()));
        EXPECT_EQ(+r->length, +c.length);
    }
    Settle();
    EXPECT_EQ(SdoRequests(), 0u);
}

TEST_F(ExportsTest, LargestWriteIsAccepted) {
    OpenKlp();
    AssignId(3);
    ASSERT_EQ(CHECKSDO5CHANNELCONFLICT(), 0);
    SdoRecord r(0x2000000, 3, 0x1019, 0, 1, 0x2000000);
    EXPECT_TRUE(WRITEKLP(r.record()));  // nobody answers the initiation
    const std::vector<klp_test::SentFrame> sent = SentOn(0x7A3);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].data, Bytes({0xC2, 0x19, 0x10, 0x00, 0x00, 0x00, 0x00, 0x02}));
}

TEST_F(ExportsTest, ReadBeforeNodeIsReadyFailsAtOnce) {
    // Without ticks no SDO time-out can pass: a read that ends has not waited for one.
    UseManualTicks();
    OpenKlp();
    SdoRecord r(8, 3, 0x1000, 0, 3, 8);
    auto read = std::async(std::launch::async, [&] { return READKLP(r.record()); });
    const bool ended = read.wait_for(klp_test::kPatience) == std::future_status::ready;
    if (!ended) {
        for (int i = 0; i < 200; ++i) klp::OS_TickForTests();  // lets it end, so the test can fail
    }
    EXPECT_TRUE(ended) << "the read waited for its time-out";
    EXPECT_TRUE(read.get());
    EXPECT_EQ(SdoRequests(), 0u);
}

TEST_F(ExportsTest, ReadAndWriteOwnDictionaryThroughLoopBack) {
    OpenKlp();
    AssignId(1);
    ASSERT_EQ(CHECKSDO5CHANNELCONFLICT(), 0);
    SETTRACEFLAGS(static_cast<std::int32_t>(klp::trace::kRead));
    SdoRecord r(40, 1, 0x100F, 255, 1, 40);
    for (int i = 0; i < 40; ++i) r->data[i] = 0xEE;
    ASSERT_FALSE(READKLP(r.record()));
    EXPECT_EQ(+r->length, 28);
    for (int i = 0; i < 28; ++i) EXPECT_EQ(r->data[i], 0) << i;
    EXPECT_EQ(r->data[28], 0xEE);  // nothing stored behind what was read
    std::string dump = "VARNHOLDklp_lib: @T:" + std::to_string(kernel::CurrentThreadId()) + " readKLP OK, LEN=28[";
    for (int i = 0; i < 28; ++i) dump += "00 ";
    EXPECT_TRUE(sinks_.HasLine(dump + "]")) << dump;

    SdoRecord w(2, 1, 0x1000, 0, 2, 2);
    EXPECT_TRUE(WRITEKLP(w.record()));  // the dictionary is read-only
}

TEST_F(ExportsTest, SystemStateWithoutAnswerIs255AfterAbout100ms) {
    OpenKlp();
    const auto start = Clock::now();
    EXPECT_EQ(GETSYSTEMSTATE(), 255);
    const long elapsed = Ms(Clock::now() - start);
    EXPECT_GE(elapsed, 90);
    EXPECT_LT(elapsed, 10000);  // the polls' own time, not a wait for ever
    // Before the node has an id the query goes out as node 255's.
    const std::vector<klp_test::SentFrame> sent = SentOn(0x15F);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].dlc, 2);
    EXPECT_EQ(sent[0].data, Bytes({6, 0xFF}));
}

TEST_F(ExportsTest, SystemStateAnswerOfTheMaster) {
    OpenKlp();
    AssignId(4);
    std::thread master([] {
        if (WaitSent(0x064, 1)) {
            canapi_recorder::Inject(canapi_recorder::ReceiveRecord(0x080, {7, 1, 5}));
        }
    });
    EXPECT_EQ(GETSYSTEMSTATE(), 5);
    master.join();
    EXPECT_EQ(SentOn(0x064).at(0).data, Bytes({6, 4}));
}

TEST_F(ExportsTest, PowerDownRequestIsReportedOnceAndBlocksTransfers) {
    OpenKlp();
    AssignId(3);
    ASSERT_EQ(CHECKSDO5CHANNELCONFLICT(), 0);
    Inject(0x080, {0x85});
    ASSERT_TRUE(WaitUntil([] { return klp::CAN_PowerDownFlag() != 0; }));
    sinks_.Clear();
    SdoRecord r(4, 3, 0x1000, 0, 3, 4);
    EXPECT_TRUE(READKLP(r.record()));
    EXPECT_TRUE(WRITEKLP(r.record()));
    EXPECT_EQ(SdoRequests(), 0u);
    // The write's refusal is written whatever the mask.
    EXPECT_TRUE(sinks_.HasLine("VARNHOLDklp_lib: writeKLP !BAD (powerdn)!"));
    EXPECT_NE(CHECKSYSTEMPOWERDOWNREQUEST(), 0);
    EXPECT_EQ(CHECKSYSTEMPOWERDOWNREQUEST(), 0);
    // Cleared: the next read asks the node again.
    SETKLPTIMEOUT(100);
    SdoRecord again(4, 3, 0x1019, 0, 1, 4);
    EXPECT_TRUE(READKLP(again.record()));  // the own dictionary has no such object
    EXPECT_EQ(SentOn(0x7A3).size(), 1u);
}

// Another thread's export that waits for the send token while CLOSEKLP runs: the close frees the
// token only after that call has given up its wait and left, so nothing uses the token once it is
// gone (the address sanitizer build sees any use), and the call ends without sending its frame.
TEST_F(ExportsTest, CallWaitingForTheSendTokenDuringTheCloseLeavesBeforeTheTokenGoes) {
    // The test dispatcher sends nothing, so that only the export waits for the token.
    Open();
    // Another sender in the middle of its frame: the token is taken and never given back, so the
    // call below can only wait for it.
    ASSERT_EQ(klp::USB_SendToken().Wait(klp_test::kPatience), kernel::WaitResult::Signaled);
    test_support::CallOnThread<int> writer([] {
        TCANRECORD frame{0x123, 2, {0xAB, 0xCD}};
        WRITECAN(&frame);
        return 0;
    });
    // Gives the writer time to block on the token; the checks below hold either way.
    std::this_thread::sleep_for(200ms);
    CLOSEKLP();
    ASSERT_TRUE(writer.Ended()) << "the export still waits for the send token of a closed stack";
    writer.Get();
    EXPECT_TRUE(SentOn(0x123).empty());
    EXPECT_TRUE(sinks_.Boxes().empty());
    ExpectNothingLeft();
}

// An export that does not leave (here: its fatal error's message box is not answered) keeps the
// close from freeing what it uses: the close fails with its own text after about 1 s and can be
// repeated once the export has left.
TEST_F(ExportsTest, CloseFailsWhileAnExportDoesNotLeaveAndCanBeRepeated) {
    Open();
    // An empty pool makes the export's frame a fatal error, whose box the sink holds up.
    std::vector<klp::CANBuf*> taken;
    while (klp::POOL_FreeCount() > 0) taken.push_back(klp::POOL_get_CANBuf());
    const auto release = std::make_shared<std::atomic<bool>>(false);
    const auto in_box = std::make_shared<std::atomic<bool>>(false);
    const kernel::MessageBoxSink recorder =
        kernel::SetMessageBoxSink([release, in_box](const std::string& text, const std::string&, unsigned) {
            if (text.find("POOL::POOL_get_CANBuf") != std::string::npos) {
                *in_box = true;
                while (!*release) std::this_thread::sleep_for(1ms);
            }
            return static_cast<int>(kernel::kIdOk);
        });
    test_support::CallOnThread<int> writer([] {
        TCANRECORD frame{0x123, 1, {1}};
        try {
            WRITECAN(&frame);
        } catch (const klp::FatalError&) {
            return 1;
        }
        return 0;
    });
    ASSERT_TRUE(WaitUntil([&] { return in_box->load(); }));
    try {
        klp::close_KLP();
        ADD_FAILURE() << "the close freed the stack under an export";
    } catch (const klp::FatalError& e) {
        EXPECT_STREQ(e.what(),
                     "KLP Library Failure: Operating system error; line: 241; OS::close_KLP -> Calls not "
                     "returned within 1 sec");
    }
    EXPECT_TRUE(klp::OS_Running());
    *release = true;
    ASSERT_TRUE(writer.Ended());
    EXPECT_EQ(writer.Get(), 1);
    kernel::SetMessageBoxSink(recorder);
    for (klp::CANBuf* buf : taken) klp::POOL_release_CANBuf(buf);
    klp::close_KLP();
    ExpectNothingLeft();
}

// Exports called from other threads while CLOSEKLP runs either finish or are refused; none of
// them meets a half-freed stack (no fatal error, nothing used after the close freed it).
TEST_F(ExportsTest, ExportsOfOtherThreadsAcrossTheCloseFinishOrAreRefused) {
    OpenKlp();
    AssignId(3);
    ASSERT_EQ(CHECKSDO5CHANNELCONFLICT(), 0);
    // Shared with the callers, which a failing test leaves behind.
    const auto stop = std::make_shared<std::atomic<bool>>(false);
    auto caller = [stop](int which) {
        return [stop, which] {
            int calls = 0;
            while (!*stop) {
                // Not to the own node: a loop-back of every frame would outrun the dispatcher.
                TCANRECORD frame{0x124, 1, {static_cast<std::uint8_t>(which)}};
                SdoRecord r(4, 3, 0x1000, 0, 1, 4);
                switch (which) {
                case 0:
                    WRITECAN(&frame);
                    break;
                case 1:
                    GETSYSTEMSTATE();
                    break;
                default:
                    READKLP(r.record());  // the own node's server answers through the loop-back
                    break;
                }
                ++calls;
            }
            return calls;
        };
    };
    std::vector<std::unique_ptr<test_support::CallOnThread<int>>> callers;
    for (int which = 0; which < 3; ++which) {
        callers.push_back(std::make_unique<test_support::CallOnThread<int>>(caller(which)));
    }
    ASSERT_TRUE(WaitSent(0x124, 5));
    CLOSEKLP();
    *stop = true;
    for (auto& c : callers) {
        ASSERT_TRUE(c->Ended()) << "an export still runs after the close";
        c->Get();
    }
    EXPECT_TRUE(sinks_.Boxes().empty()) << sinks_.Boxes().front().text;
    ExpectNothingLeft();
}

TEST_F(ExportsTest, NodeStateFollowsTheNmState) {
    OpenKlp();
    EXPECT_EQ(GETNODESTATEKLP(), 2);
    EXPECT_FALSE(READYKLP());
    EXPECT_EQ(GETNODEIDKLP(), 255);
    AssignId(6);
    EXPECT_EQ(GETNODESTATEKLP(), 3);
    EXPECT_TRUE(READYKLP());
    EXPECT_EQ(GETNODEIDKLP(), 6);
    StartNode();
    EXPECT_EQ(GETNODESTATEKLP(), 4);
    EXPECT_TRUE(READYKLP());
}

TEST_F(ExportsTest, ResetLeavesTheBusAndSetsStopped) {
    OpenKlp();
    AssignId(5);
    EXPECT_FALSE(STOPPEDKLP());
    const std::size_t announced = SentOn(0x7EF).size();
    RESETKLP();
    ASSERT_TRUE(WaitUntil([] { return klp::NM_State() == klp::kNmNoId; }));
    EXPECT_EQ(GETNODEIDKLP(), 255);
    EXPECT_TRUE(STOPPEDKLP());
    EXPECT_TRUE(WaitSent(0x7EF, announced + 1));
}

TEST_F(ExportsTest, TimeoutIsPerThread) {
    EXPECT_EQ(SETKLPTIMEOUT(0), 1);
    EXPECT_EQ(SETKLPTIMEOUT(49), 1);
    EXPECT_EQ(SETKLPTIMEOUT(50), 2);
    EXPECT_EQ(SETKLPTIMEOUT(2000), 41);
    std::int32_t other_before = -1;
    std::int32_t other_after = -1;
    std::thread other([&] {
        other_before = klp::OS_SdoTimeoutTicks();
        SETKLPTIMEOUT(100);
        other_after = klp::OS_SdoTimeoutTicks();
    });
    other.join();
    EXPECT_EQ(other_before, 0);
    EXPECT_EQ(other_after, 3);
    EXPECT_EQ(klp::OS_SdoTimeoutTicks(), 41);
}

TEST_F(ExportsTest, FaultRecordsAreCopiesWithinBounds) {
    EXPECT_EQ(GETFAULTKLP(0), nullptr);  // no list before the fault thread runs
    OpenKlp();
    ASSERT_EQ(CHECKSDO5CHANNELCONFLICT(), 0);
    ASSERT_TRUE(WaitUntil([] { return klp::FAULT_Running(); }));
    EXPECT_EQ(GETFAULTKLP(0), nullptr);
    Inject(0x045, {1, 0});
    Inject(0x046, {1, 0});
    ASSERT_TRUE(WaitUntil([] { return klp::FAULT_List().Count() == 2; }));
    EXPECT_EQ(GETFAULTKLP(2), nullptr);
    EXPECT_EQ(GETFAULTKLP(-1), nullptr);
    const TFAULTRECORD* mine = GETFAULTKLP(0);
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(+mine->node, 5);
    EXPECT_EQ(+mine->life_ms, klp::kFaultLifeMs);
    const TFAULTRECORD* theirs = nullptr;
    std::uint16_t their_node = 0;
    std::thread other([&] {
        theirs = GETFAULTKLP(1);
        if (theirs) their_node = theirs->node;
    });
    other.join();
    EXPECT_NE(theirs, mine);
    EXPECT_EQ(their_node, 6);
    // The list may drop its records at any time; the caller's copy stays readable.
    klp::FAULT_List().Free();
    EXPECT_EQ(+mine->node, 5);
    EXPECT_EQ(GETFAULTKLP(0), nullptr);
}

TEST_F(ExportsTest, ConflictCheckOpensChannelAndResumesFaultThreadOnlyWithoutConflict) {
    OpenKlp();
    EXPECT_EQ(CHECKSDO5CHANNELCONFLICT(), 0);
    EXPECT_TRUE(klp::CAN_SdoChannelOpen());
    EXPECT_TRUE(WaitUntil([] { return klp::FAULT_Running(); }));
    klp::close_KLP();

    OpenKlp();
    AssignId(3);
    Inject(0x785, {0x43, 0, 0x10, 0, 0, 0, 0, 0});  // another client's response traffic
    Settle();
    EXPECT_EQ(CHECKSDO5CHANNELCONFLICT(), 1);
    EXPECT_FALSE(klp::CAN_SdoChannelOpen());
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(klp::FAULT_Running());
}

TEST_F(ExportsTest, RawFramesSendOnlyTheirDlcBytes) {
    WRITECAN(nullptr);
    TCANRECORD closed{0x123, 1, {1}};
    WRITECAN(&closed);  // the stack is not open: nothing to send with
    OpenKlp();
    // A pooled buffer that held other bytes before.
    klp::CANBuf* dirty = klp::POOL_get_CANBuf();
    for (std::uint8_t& b : dirty->data) b = 0xEE;
    klp::POOL_release_CANBuf(dirty);
    TCANRECORD two{0x123, 2, {1, 2, 3, 4, 5, 6, 7, 8}};
    WRITECAN(&two);
    TCANRECORD nine{0x124, 9, {1, 2, 3, 4, 5, 6, 7, 8}};
    WRITECAN(&nine);
    ASSERT_EQ(SentOn(0x123).size(), 1u);
    EXPECT_EQ(SentOn(0x123)[0].dlc, 2);
    EXPECT_EQ(SentOn(0x123)[0].data, Bytes({1, 2}));
    ASSERT_EQ(SentOn(0x124).size(), 1u);
    EXPECT_EQ(SentOn(0x124)[0].dlc, 8);
    EXPECT_EQ(SentOn(0x124)[0].data, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));

    TCANRECORD remote{0x7ED, 2, {9, 9}};
    WRITECANRTR(&remote);
    WRITECANRTR(&remote);
    WRITECANRTR(&remote);
    const std::vector<klp_test::SentFrame> rtr = SentOn(0x7ED);
    ASSERT_EQ(rtr.size(), 2u);
    EXPECT_TRUE(rtr[0].rtr);
    klp::close_KLP();
    ExpectNothingLeft();
}

TEST_F(ExportsTest, OpenCloseAndTraceFlagLines) {
    SETTRACEFLAGS(0);
    EXPECT_TRUE(sinks_.HasLine("VARNHOLDklp_lib: SetTraceFlags(traceFlags:00000000)"));
    SETTRACEFLAGS(static_cast<std::int32_t>(klp::trace::kOpenClose));
    OpenKlp();
    EXPECT_TRUE(sinks_.HasLine("VARNHOLDklp_lib: openKLP()  ......"));
    EXPECT_TRUE(sinks_.HasLine("VARNHOLDklp_lib: openKLP = 0  ~~~~~~"));
    CLOSEKLP();
    EXPECT_TRUE(sinks_.HasLine("VARNHOLDklp_lib: closeKLP()  ~~~~~~"));
    EXPECT_FALSE(klp::OS_Running());
    EXPECT_TRUE(OPENKLP(nullptr));
}

}  // namespace
