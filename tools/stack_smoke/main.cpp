// qbk-stack-smoke: a short run of the interface library's stack on the bus named by
// CANAPI_CHANNEL (the adapter stand-in's default is vbus:default). It starts the stack with a
// counting dispatcher instead of the protocol modules, sends a handful of frames, prints what it
// receives for about a second, stops the stack and reports. Exit code 0 only when start and stop
// both worked.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <vector>

#include "library/os_layer.h"
#include "library/usb_intf.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/thread.h"

namespace {

using namespace std::chrono_literals;

struct Received {
    std::uint16_t cob_id;
    std::uint8_t dlc;
    std::uint8_t data[8];
};

// Frames seen by the dispatcher, printed by the main thread.
class FrameLog {
public:
    void Add(const klp::CANBuf& buf) {
        std::lock_guard guard(lock_);
        Received r{buf.cob_id, buf.dlc, {}};
        for (int i = 0; i < 8; ++i) r.data[i] = buf.data[i];
        pending_.push_back(r);
        ++total_;
    }
    std::vector<Received> Take() {
        std::lock_guard guard(lock_);
        std::vector<Received> taken;
        taken.swap(pending_);
        return taken;
    }
    int Total() {
        std::lock_guard guard(lock_);
        return total_;
    }

private:
    kernel::CriticalSection lock_;
    std::vector<Received> pending_;
    int total_ = 0;
};

void Print(const Received& r) {
    std::printf("received %03X#", static_cast<unsigned>(r.cob_id));
    for (int i = 0; i < r.dlc && i < 8; ++i) std::printf("%02X", static_cast<unsigned>(r.data[i]));
    std::printf("\n");
}

int Run() {
    const char* channel = std::getenv("CANAPI_CHANNEL");
    std::printf("stack smoke run on %s\n", channel != nullptr ? channel : "vbus:default");

    FrameLog log;
    klp::StackHooks hooks;
    hooks.dispatcher_task = [&log] {
        while (!klp::OS_Stopping()) {
            klp::CANBuf* buf = klp::OS_Get(klp::kDispatcherMailbox, -1);
            if (buf == nullptr) {
                if (klp::OS_Broken()) return;
                continue;
            }
            if (buf->type == klp::msg::kCan && buf->subtype == klp::msg::kReceived) log.Add(*buf);
            klp::POOL_release_CANBuf(buf);
        }
    };
    klp::OS_SetStackHooks(std::move(hooks));

    if (klp::init_KLP(2000, 50) != klp::StartResult::kStarted) {
        std::printf("stack smoke run: the stack did not start\n");
        return 1;
    }
    for (std::uint8_t i = 0; i < 5; ++i) {
        klp::CANBuf frame{};
        frame.cob_id = static_cast<std::uint16_t>(0x7E0 + i);
        frame.dlc = 2;
        frame.data[0] = 0x5A;
        frame.data[1] = i;
        klp::USB_Send(frame);
        std::printf("sent %03X#5A%02X\n", static_cast<unsigned>(frame.cob_id), static_cast<unsigned>(i));
    }
    const auto end = std::chrono::steady_clock::now() + 1s;
    while (std::chrono::steady_clock::now() < end) {
        kernel::Sleep(50ms);
        for (const Received& r : log.Take()) Print(r);
    }
    klp::close_KLP();
    for (const Received& r : log.Take()) Print(r);
    std::printf("%d frames received\n", log.Total());
    std::printf("stack smoke run: ok\n");
    return 0;
}

}  // namespace

int main() {
    try {
        return Run();
    } catch (const std::exception& e) {
        std::printf("stack smoke run failed: %s\n", e.what());
        return 1;
    }
}
