// A frame transport behind the adapter API: it sends frames and feeds the receive queue from a
// thread of its own, which its destructor stops.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/canapi/can_socket.h"
#include "platform/canapi/vbus.h"

namespace canapi {

class Backend {
public:
    virtual ~Backend() = default;
    // Waits up to `timeout` for room in the adapter's transmit queue.
    virtual TransmitResult Transmit(const Frame& frame, std::chrono::milliseconds timeout) = 0;
};

struct BackendOpen {
    std::unique_ptr<Backend> backend;  // null on failure
    std::string error;
};

}  // namespace canapi
