// The controller's state in plain words: each change once, with the interface's name.
#include <linux/can.h>
#include <linux/can/error.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/canapi/bus_state.h"

namespace {

canapi::ErrorFrame Error(std::uint32_t classes, std::uint8_t controller = 0) {
    canapi::ErrorFrame frame;
    frame.error_class = classes;
    frame.data[1] = controller;
    return frame;
}

// One step of a sequence: an error frame (or a frame of another node), and the word the line it
// gives must hold (empty: no line).
struct Step {
    const char* name;
    bool node_frame;
    canapi::ErrorFrame error;
    const char* says;
};

TEST(BusStateWatch, EachChangeIsSaidOnceInPlainWords) {
    const Step steps[] = {
        {"warning is no news", false, Error(CAN_ERR_CRTL, CAN_ERR_CRTL_TX_WARNING), ""},
        {"passive", false, Error(CAN_ERR_CRTL, CAN_ERR_CRTL_TX_PASSIVE), "is error-passive"},
        {"passive again", false, Error(CAN_ERR_CRTL, CAN_ERR_CRTL_RX_PASSIVE), ""},
        {"back to warning", false, Error(CAN_ERR_CRTL, CAN_ERR_CRTL_RX_WARNING), ""},
        {"active", false, Error(CAN_ERR_CRTL, CAN_ERR_CRTL_ACTIVE), "is error-active again"},
        {"active again", false, Error(CAN_ERR_CRTL, CAN_ERR_CRTL_ACTIVE), ""},
        {"no acknowledgement", false, Error(CAN_ERR_ACK), "sees no acknowledgement"},
        {"still none", false, Error(CAN_ERR_ACK), ""},
        {"a node answers", true, {}, ""},
        {"none again", false, Error(CAN_ERR_ACK), "sees no acknowledgement"},
        {"bus-off", false, Error(CAN_ERR_BUSOFF), "restart-ms"},
        {"bus-off again", false, Error(CAN_ERR_BUSOFF | CAN_ERR_CRTL, CAN_ERR_CRTL_TX_PASSIVE), ""},
        {"restarted", false, Error(CAN_ERR_RESTARTED), "restarted"},
        {"acknowledgement missing after the restart", false, Error(CAN_ERR_ACK), "sees no acknowledgement"},
        {"a transmit overflow is no state", false, Error(CAN_ERR_CRTL, CAN_ERR_CRTL_TX_OVERFLOW), ""},
        {"passive after bus-off and restart", false, Error(CAN_ERR_CRTL, CAN_ERR_CRTL_TX_PASSIVE), "is error-passive"},
    };
    canapi::BusStateWatch watch("can7");
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.node_frame) {
            watch.OnFrame();
            continue;
        }
        const std::vector<std::string> lines = watch.OnErrorFrame(step.error);
        if (std::string(step.says).empty()) {
            EXPECT_TRUE(lines.empty()) << lines.front();
            continue;
        }
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].rfind("canapi: SocketCAN interface \"can7\" ", 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find(step.says), std::string::npos) << lines[0];
    }
}

TEST(BusStateWatch, ABusOffNamesHowToRestartTheInterfaceItself) {
    canapi::BusStateWatch watch("slcan0");
    const std::vector<std::string> lines = watch.OnErrorFrame(Error(CAN_ERR_BUSOFF));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("ip link set slcan0 type can restart-ms"), std::string::npos) << lines[0];
}

}  // namespace
