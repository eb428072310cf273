// A raw CAN socket on one Linux SocketCAN interface, found by its name. It carries one 16-byte
// struct can_frame a datagram each way, with the controller's error frames switched on.
//
// Sending waits for room: a controller's transmit queue is short (ten frames by default), and a
// block transfer puts over a hundred frames on the bus back to back. The queue gives no signal
// when it drains, so a frame it refused is offered again after a short step, which keeps the
// queue filled and the bus busy (a step of milliseconds would let a ten-frame queue run dry). A
// socket whose own send buffer is full is waited for until it has room again.
//
// An interface may go down, come back, or be unplugged and plugged in again with a new index:
// Receive reports the error once, and Rebind finds the interface by its name again.
//
// Threads: Send may run on any thread, concurrently with Receive and Rebind on one other thread.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/canapi/unique_fd.h"
#include "platform/canapi/vbus.h"

namespace canapi {

class CanSocket;

struct CanSocketOpen {
    std::unique_ptr<CanSocket> socket;  // null on failure
    std::string error;                  // why, in words a user can act on
};

// A controller's error frame: the kernel's error class bits and its eight detail bytes.
struct ErrorFrame {
    std::uint32_t error_class = 0;
    std::array<std::uint8_t, 8> data{};
};

struct Received {
    enum class Kind {
        Frame,       // `frame` holds a frame of another node
        ErrorFrame,  // `error_frame` holds what the controller reported
        Odd,         // a datagram that is not one frame (`what` says how long it was)
        Timeout,     // nothing within the wait
        Failed,      // the socket reported `error` (errno): the interface went down or away
        HungUp,      // the other end of a stand-in socket closed: nothing more will come
    };
    Kind kind = Kind::Timeout;
    Frame frame;
    ErrorFrame error_frame;
    int error = 0;
    std::string what;
};

// What became of a frame handed to an adapter: on the bus's queue, refused because the queue stayed
// full until the caller's time-out, or failed (the interface is down or gone, or the frame is not
// one a bus carries).
enum class TransmitResult { Accepted, QueueFull, Failed };

class CanSocket {
public:
    using Clock = std::chrono::steady_clock;

    // Opens a socket bound to the interface `name`, which must exist and be up.
    static CanSocketOpen Open(const std::string& name);
    // A socket already open and bound, or whatever stands in for one (a socket pair in tests);
    // `name` is the interface Rebind looks for (empty: none).
    static std::unique_ptr<CanSocket> Over(UniqueFd socket, std::string name);

    CanSocket(const CanSocket&) = delete;
    CanSocket& operator=(const CanSocket&) = delete;

    const std::string& Name() const { return name_; }

    // Puts the frame on the interface's queue, waiting until `deadline` while the queue is full.
    TransmitResult Send(const Frame& frame, Clock::time_point deadline);
    // Waits up to `timeout` for one datagram.
    Received Receive(std::chrono::milliseconds timeout);

    enum class Presence { Up, Down, Gone };
    // Looks the interface up by its name and binds the socket to it again when its index changed
    // (it was unplugged and plugged in again). Gone when no interface of the name exists, or
    // the socket could not be bound to it.
    Presence Rebind();

private:
    CanSocket(UniqueFd socket, std::string name, int index);

    const UniqueFd socket_;
    const std::string name_;
    int index_;  // the interface index bound to; touched by Rebind's thread only
};

}  // namespace canapi
