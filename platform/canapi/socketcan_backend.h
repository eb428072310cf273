// The SocketCAN backend: a raw CAN socket on one interface (can_socket.h) and a receive thread.
//
// Transmit waits up to the adapter's transmit time-out for room in the interface's queue.
// Received frames become receive records; the controller's error frames become status records
// (bus-off, controller restart, transmit-queue overflow, other errors), and its state changes are
// written in plain words to the debug output (bus_state.h). A read that is not one whole frame
// becomes an "other error" status record and the exchange goes on.
//
// When the interface goes down or away, one "other error" status record and one debug line say
// so; frames still queued in the socket are delivered, and reception goes on once an interface of
// the same name is up again (it may come back with a new index). A stand-in socket whose other
// end hangs up ends the receive thread after one such record.
#pragma once

#include "platform/canapi/backend.h"
#include "platform/canapi/can_socket.h"
#include "platform/canapi/receive_queue.h"

namespace canapi {

BackendOpen OpenSocketCanBackend(const std::string& interface_name, ReceiveQueue& queue);

// The backend over a socket already open and bound (or what stands in for one).
std::unique_ptr<Backend> SocketCanBackendOver(std::unique_ptr<CanSocket> socket, ReceiveQueue& queue);

}  // namespace canapi
