// The bus qbk-devsim takes part in: the virtual bus or a SocketCAN interface, named as
// CANAPI_CHANNEL names them ("vbus:<name>", "socketcan:<interface>").
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/canapi/channel.h"
#include "platform/canapi/vbus.h"

namespace devsim {

class BusPort {
public:
    virtual ~BusPort() = default;
    // Puts the frame on the bus. A frame the bus cannot take is the bus's loss, as on a real bus.
    virtual void Send(const canapi::Frame& frame) = 0;
    // Waits up to `timeout` for a frame of another participant.
    virtual canapi::ReceiveResult Receive(canapi::Frame& frame, std::chrono::milliseconds timeout) = 0;
};

struct BusJoin {
    std::unique_ptr<BusPort> port;  // null on failure
    std::string error;
};

BusJoin JoinBus(const canapi::Channel& channel);

// The bus to join: the --bus value ("vbus:<name>", "socketcan:<interface>", or a bare virtual-bus
// name), else CANAPI_CHANNEL when it names a virtual bus or an interface, else the virtual bus
// "default". An error only for a --bus value that names nothing.
canapi::ChannelParse ChooseBus(const std::string& explicit_value, const char* canapi_channel);

}  // namespace devsim
