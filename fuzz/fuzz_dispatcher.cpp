// Random frame sequences into the interface library's dispatcher while SDO transfers run.
//
// The whole stack (dispatcher, NM, SDO client and server, fault monitor) is opened once against
// the adapter stand-in's recording channel. The fuzzing thread plays the dispatcher thread: the
// stack's own dispatcher thread idles, and every message of mailbox 1 (the input's frames, the
// worker's requests, the timers' ticks, the frames the node sends itself) is handed to its handler
// here, so an input is run without any wait on another thread. Time is the stack's manual tick
// source: each input ends with one tick, so transfers that get no useful answer time out after a
// few inputs. Every input is cut into 11-byte frames (COB-ID, flags and DLC, eight data bytes),
// while a worker thread keeps running downloads and uploads to node 2. After each input the pool
// must not run dry and the stack must not be broken.
//
// Seeds: fuzz/corpus/fuzz_dispatcher, made by make_seed_corpus.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "library/can_disp.h"
#include "library/nm.h"
#include "library/os_layer.h"
#include "library/sdo_client.h"
#include "library/stack_modules.h"
#include "platform/canapi/recorder.h"

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kFrameBytes = 11;
constexpr std::uint8_t kOwnId = 5;
constexpr std::uint8_t kServerNode = 2;
// Room the fuzzer leaves in the pool for the stack's own traffic.
constexpr int kPoolReserve = 400;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_dispatcher: %s\n", what);
    std::abort();
}

// Hands every message now in mailbox 1 to its handler, including what handling them posts.
void RunDispatcher() {
    while (klp::CANBuf* buf = klp::OS_Get(klp::kDispatcherMailbox, 0)) klp::CAND_Dispatch(buf);
    if (klp::OS_Broken()) Fail("the stack reported a fatal error");
}

void Received(std::uint16_t cob_id, bool rtr, std::uint8_t dlc, const std::uint8_t* data) {
    if (klp::POOL_FreeCount() <= kPoolReserve) Fail("the buffer pool runs dry");
    klp::CANBuf* buf = klp::POOL_get_CANBuf();
    buf->cob_id = cob_id;
    buf->rtr = rtr ? 1 : 0;
    buf->dlc = dlc;
    std::memset(buf->data, 0, sizeof buf->data);
    if (!rtr) std::memcpy(buf->data, data, dlc);
    klp::OS_Put(klp::kDispatcherMailbox, klp::msg::kCan, klp::msg::kReceived, buf);
    RunDispatcher();
}

void Received(std::uint16_t cob_id, std::initializer_list<std::uint8_t> bytes) {
    std::uint8_t data[8] = {};
    std::uint8_t n = 0;
    for (std::uint8_t b : bytes) data[n++] = b;
    Received(cob_id, false, n, data);
}

// Keeps the own node admitted with its id, so that transfers get onto the bus.
void Admit() {
    if (klp::NM_State() == klp::kNmNoId) Received(klp::cob::kAssignRequest, {1, kOwnId, 0x0F, 0x00, 0x0A, 0, 0, 0});
    klp::CAN_SetSdoChannelOpen(true);
}

class Stack {
public:
    Stack() {
        setenv("CANAPI_CHANNEL", "record", 1);
        klp::StackHooks hooks = klp::ProtocolHooks();
        // The stack's dispatcher thread leaves mailbox 1 to the fuzzing thread.
        hooks.dispatcher_task = [] {
            while (!klp::OS_Stopping()) std::this_thread::sleep_for(10ms);
        };
        klp::OS_SetStackHooks(std::move(hooks));
        klp::OS_SetManualTicksForTests(true);
        if (klp::init_KLP(2000, 50) != klp::StartResult::kStarted) Fail("the stack did not start");
        RunDispatcher();
        Admit();
        worker_ = std::thread([this] { Transfers(); });
    }
    // At the end of the process, before the library's own objects go: ticks end the worker's
    // transfer, then the stack stops its threads.
    ~Stack() {
        stop_ = true;
        while (!worker_done_) {
            klp::OS_TickForTests();
            RunDispatcher();
            std::this_thread::sleep_for(1ms);
        }
        worker_.join();
        klp::close_KLP();
    }
    Stack(const Stack&) = delete;
    Stack& operator=(const Stack&) = delete;

private:
    void Transfers() {
        // Short time-outs keep the worker moving when the fuzzer answers nothing useful.
        klp::OS_SetSdoTimeoutMs(0);
        std::vector<std::uint8_t> data(300);
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
        for (unsigned round = 0; !stop_; ++round) {
            switch (round % 4) {
            case 0:  // block download, segmented after a fall-back
                klp::SDOC_Communicate(kServerNode, 0x1019, 0, data.data(), 200, klp::SdoService::kDownload);
                break;
            case 1:  // block or segmented upload into a small area
                klp::SDOC_Communicate(kServerNode, 0x101F, 3, data.data(), 40, klp::SdoService::kUpload);
                break;
            case 2:  // expedited download
                klp::SDOC_Communicate(kServerNode, 0x1018, 0, data.data(), 4, klp::SdoService::kDownload);
                break;
            default:  // upload with a capacity of one segment
                klp::SDOC_Communicate(kServerNode, 0x1000, 0, data.data(), 7, klp::SdoService::kUpload);
                break;
            }
            // The guard bytes behind each area must never be touched.
            for (std::size_t i = 200; i < data.size(); ++i) {
                if (data[i] != static_cast<std::uint8_t>(i)) Fail("a transfer wrote past the caller's area");
            }
            if (klp::OS_Broken()) Fail("the stack reported a fatal error");
        }
        worker_done_ = true;
    }

    std::atomic<bool> stop_{false};
    std::atomic<bool> worker_done_{false};
    std::thread worker_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    // Opened once: a stack start and stop per input would cost seconds.
    static Stack stack;
    for (std::size_t at = 0; at + kFrameBytes <= size; at += kFrameBytes) {
        const std::uint8_t* f = input + at;
        // Mostly the node's own protocol range, sometimes anything below 0x800.
        const std::uint16_t cob_id = static_cast<std::uint16_t>((f[0] | f[1] << 8) & 0x7FF);
        const bool rtr = (f[2] & 0x80) != 0;
        const std::uint8_t dlc = static_cast<std::uint8_t>(std::min(f[2] & 0x0F, 8));
        Received(cob_id, rtr, dlc, f + 3);
    }
    klp::OS_TickForTests();
    RunDispatcher();
    Admit();
    canapi_recorder_reset();
    return 0;
}
