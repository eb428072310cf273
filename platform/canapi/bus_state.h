// What a SocketCAN controller's error frames mean: the adapter's status code for each, and its
// state (error-passive, bus-off, restarted, no acknowledgement) in plain words, once per change,
// for the person at the debug output. Nothing here touches a socket.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/canapi/can_socket.h"

namespace canapi {

// One debug line about the interface: "canapi: SocketCAN interface "<name>" <what>".
std::string InterfaceNotice(const std::string& name, const std::string& what);

// The status code of the adapter's status record for an error frame (canapi.h's kCanapiStatus...).
std::uint32_t StatusCodeOf(const ErrorFrame& frame);

class BusStateWatch {
public:
    explicit BusStateWatch(std::string interface_name);

    // The lines to write for this error frame; none when it tells nothing new.
    std::vector<std::string> OnErrorFrame(const ErrorFrame& frame);
    // A frame of another node arrived: frames are acknowledged again.
    void OnFrame();

private:
    enum class State { Active, Warning, Passive, BusOff };

    const std::string name_;
    State state_ = State::Active;
    bool unacknowledged_ = false;
};

}  // namespace canapi
