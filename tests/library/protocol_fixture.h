// Test helper: the whole protocol stack (real dispatcher, NM, SDO client and server, fault
// monitor) opened against the adapter stand-in's recording channel. Tests play the bus by
// injecting receive records and read what the node transmitted.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "library/can_disp.h"
#include "library/nm.h"
#include "library/os_layer.h"
#include "library/stack_modules.h"
#include "platform/canapi/recorder.h"
#include "tests/library/stack_fixture.h"

namespace klp_test {

// One frame the node handed to the adapter.
struct SentFrame {
    std::uint16_t cob_id = 0;
    std::uint8_t dlc = 0;
    bool rtr = false;
    std::array<std::uint8_t, 8> data{};
};

inline std::vector<SentFrame> Sent() {
    std::vector<SentFrame> frames;
    for (const canapi_recorder::Record& r : canapi_recorder::Transmits()) {
        SentFrame f;
        f.cob_id = static_cast<std::uint16_t>(r[0]);
        f.dlc = static_cast<std::uint8_t>(r[1]);
        for (int i = 0; i < 8; ++i) f.data[i] = static_cast<std::uint8_t>(r[2 + i]);
        f.rtr = r[11] != 0;
        frames.push_back(f);
    }
    return frames;
}

inline std::vector<SentFrame> SentOn(std::uint16_t cob_id) {
    std::vector<SentFrame> frames;
    for (const SentFrame& f : Sent()) {
        if (f.cob_id == cob_id) frames.push_back(f);
    }
    return frames;
}

inline bool WaitSent(std::uint16_t cob_id, std::size_t count, std::chrono::milliseconds timeout = kPatience) {
    return WaitUntil([&] { return SentOn(cob_id).size() >= count; }, timeout);
}

inline std::array<std::uint8_t, 8> Bytes(std::initializer_list<std::uint8_t> data) {
    std::array<std::uint8_t, 8> bytes{};
    std::size_t i = 0;
    for (std::uint8_t b : data) bytes[i++] = b;
    return bytes;
}

class ProtocolStackTest : public StackTest {
protected:
    void OpenProtocol() {
        klp::InstallProtocolHooks();
        ASSERT_EQ(klp::init_KLP(2000, 50), klp::StartResult::kStarted);
        ASSERT_TRUE(klp::OS_Running());
    }

    static void Inject(std::uint16_t cob_id, std::initializer_list<std::uint8_t> data, bool remote = false) {
        ASSERT_TRUE(canapi_recorder::Inject(canapi_recorder::ReceiveRecord(cob_id, data, remote)));
    }

    // The bus master assigns the node id (identity 15 / 10).
    void AssignId(std::uint8_t id) {
        Inject(0x7EA, {1, id, 0x0F, 0x00, 0x0A, 0x00, 0x00, 0x00});
        ASSERT_TRUE(WaitUntil([&] { return klp::NM_OwnNodeId() == id && klp::NM_State() == klp::kNmAssigned; }));
    }
    // The bus master's start command to every node.
    void StartNode() {
        Inject(0x000, {1, 0, 0});
        ASSERT_TRUE(WaitUntil([] { return klp::NM_State() == klp::kNmOperational; }));
    }

    // Returns once the dispatcher handled everything injected so far, and what that looped back to
    // it: each round sends a system-state marker behind the frames and waits for it.
    void Settle(int rounds = 3) {
        for (int round = 0; round < rounds; ++round) {
            const std::uint8_t marker = static_cast<std::uint8_t>(++marker_ % 200);
            Inject(0x080, {7, 1, marker});
            ASSERT_TRUE(WaitUntil([&] { return klp::CAN_SystemState() == marker; }));
        }
    }

    // Gives `ticks` timer ticks (after UseManualTicks), each handled by the dispatcher, together with
    // what it posted to the dispatcher in turn, before the next.
    void Tick(int ticks = 1) {
        for (int i = 0; i < ticks; ++i) {
            klp::OS_TickForTests();
            Settle(2);
        }
    }

private:
    int marker_ = 0;
};

}  // namespace klp_test
