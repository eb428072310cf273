// Error frames to status codes and to plain words.
#include "platform/canapi/bus_state.h"

#include <linux/can.h>
#include <linux/can/error.h>

#include "platform/canapi/canapi.h"

namespace canapi {

namespace {

constexpr std::uint8_t kPassive = CAN_ERR_CRTL_RX_PASSIVE | CAN_ERR_CRTL_TX_PASSIVE;
constexpr std::uint8_t kWarning = CAN_ERR_CRTL_RX_WARNING | CAN_ERR_CRTL_TX_WARNING;

}  // namespace

std::uint32_t StatusCodeOf(const ErrorFrame& frame) {
    const std::uint32_t error = frame.error_class;
    if (error & CAN_ERR_BUSOFF) return kCanapiStatusBusOff;
    if (error & CAN_ERR_RESTARTED) return kCanapiStatusRestart;
    if ((error & CAN_ERR_CRTL) && (frame.data[1] & CAN_ERR_CRTL_TX_OVERFLOW)) return kCanapiStatusTransmitQueueFull;
    if (error & (CAN_ERR_TX_TIMEOUT | CAN_ERR_ACK)) return kCanapiStatusTransmitError;
    return kCanapiStatusOtherError;
}

BusStateWatch::BusStateWatch(std::string interface_name) : name_(std::move(interface_name)) {}

std::string InterfaceNotice(const std::string& name, const std::string& what) {
    return "canapi: SocketCAN interface \"" + name + "\" " + what;
}

std::vector<std::string> BusStateWatch::OnErrorFrame(const ErrorFrame& frame) {
    std::vector<std::string> lines;
    const std::uint32_t error = frame.error_class;
    const std::uint8_t controller = (error & CAN_ERR_CRTL) ? frame.data[1] : 0;
    if (error & CAN_ERR_RESTARTED) {
        lines.push_back(InterfaceNotice(name_, "restarted: it takes part in the bus again"));
        state_ = State::Active;
        unacknowledged_ = false;
    }
    if (error & CAN_ERR_BUSOFF) {
        if (state_ != State::BusOff) {
            lines.push_back(
                InterfaceNotice(name_,
                                "is bus-off: it stopped sending after too many errors, and stays off until it is "
                                "restarted (ip link set " +
                                    name_ + " type can restart-ms 100 restarts it by itself)"));
        }
        state_ = State::BusOff;
    } else if (controller & kPassive) {
        if (state_ != State::Passive) {
            lines.push_back(
                InterfaceNotice(name_,
                                "is error-passive: many of its frames failed (is another node on the bus, at the "
                                "same bit rate?)"));
        }
        state_ = State::Passive;
    } else if (controller & kWarning) {
        state_ = State::Warning;
    } else if (controller & CAN_ERR_CRTL_ACTIVE) {
        if (state_ != State::Active) lines.push_back(InterfaceNotice(name_, "is error-active again"));
        state_ = State::Active;
    }
    if ((error & CAN_ERR_ACK) && !unacknowledged_) {
        lines.push_back(
            InterfaceNotice(name_,
                            "sees no acknowledgement: no other node takes its frames (is another node on the bus, "
                            "at the same bit rate?)"));
        unacknowledged_ = true;
    }
    return lines;
}

void BusStateWatch::OnFrame() { unacknowledged_ = false; }

}  // namespace canapi
