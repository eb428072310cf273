// The SocketCAN backend: a raw CAN socket on one interface. Error frames become status records
// (bus-off, controller restart, transmit-queue overflow, other errors); a full transmit queue is
// reported as such so the caller may retry.
#pragma once

#include "platform/canapi/backend.h"
#include "platform/canapi/receive_queue.h"

namespace canapi {

BackendOpen OpenSocketCanBackend(const std::string& interface_name, ReceiveQueue& queue);

}  // namespace canapi
