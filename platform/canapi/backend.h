// A frame transport behind the adapter API: it sends frames and feeds the receive queue from a
// thread of its own, which its destructor stops.
#pragma once

#include <memory>
#include <string>

#include "platform/canapi/vbus.h"

namespace canapi {

enum class TransmitResult { Accepted, QueueFull, Failed };

class Backend {
public:
    virtual ~Backend() = default;
    virtual TransmitResult Transmit(const Frame& frame) = 0;
};

struct BackendOpen {
    std::unique_ptr<Backend> backend;  // null on failure
    std::string error;
};

}  // namespace canapi
