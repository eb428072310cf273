// The virtual-bus backend: a VirtualBus participant whose receive thread queues every frame.
#pragma once

#include "platform/canapi/backend.h"
#include "platform/canapi/receive_queue.h"

namespace canapi {

BackendOpen OpenVirtualBusBackend(const std::string& bus_name, ReceiveQueue& queue);

}  // namespace canapi
