// The SocketCAN backend: a raw CAN socket on one interface. Error frames become status records
// (bus-off, controller restart, transmit-queue overflow, other errors); a full transmit queue is
// reported as such so the caller may retry. A read that is not one whole frame becomes an
// "other error" status record and the exchange goes on; a socket that fails or hangs up ends
// the receive thread after one such record, every frame read before it queued.
#pragma once

#include "platform/canapi/backend.h"
#include "platform/canapi/receive_queue.h"
#include "platform/canapi/unique_fd.h"

namespace canapi {

BackendOpen OpenSocketCanBackend(const std::string& interface_name, ReceiveQueue& queue);

// The backend over a socket already open and bound that carries one 16-byte struct can_frame
// per datagram both ways: the interface's raw CAN socket, or whatever stands in for it.
std::unique_ptr<Backend> SocketCanBackendOver(UniqueFd socket, ReceiveQueue& queue);

}  // namespace canapi
