// Raw CAN socket on a SocketCAN interface.
#include "platform/canapi/can_socket.h"

#include <linux/can.h>
#include <linux/can/error.h>
#include <linux/can/raw.h>
#include <net/if.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace canapi {

namespace {

static_assert(sizeof(can_frame) == 16);

// A frame the interface's queue refused is offered again after a step that starts short (a frame
// takes 130 µs on a 1 Mbit/s bus, so a queue of a few frames never runs dry while the sender
// waits) and doubles while the queue stays full, up to a millisecond, so that a stopped controller
// does not keep the sender spinning.
constexpr std::chrono::microseconds kFirstRetryStep{50};
constexpr std::chrono::microseconds kLongestRetryStep{1000};

// Every error class that says something about the bus or the controller.
constexpr can_err_mask_t kErrorClasses =
    CAN_ERR_TX_TIMEOUT | CAN_ERR_CRTL | CAN_ERR_ACK | CAN_ERR_BUSOFF | CAN_ERR_RESTARTED;

timespec Timespec(std::chrono::nanoseconds span) {
    if (span.count() < 0) span = {};
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(span);
    return {static_cast<time_t>(seconds.count()), static_cast<long>((span - seconds).count())};
}

can_frame ToCanFrame(const Frame& frame) {
    can_frame out{};
    out.can_id = frame.id | (frame.extended ? CAN_EFF_FLAG : 0) | (frame.rtr ? CAN_RTR_FLAG : 0);
    out.can_dlc = frame.dlc;
    if (!frame.rtr) std::memcpy(out.data, frame.data.data(), frame.dlc);
    return out;
}

Frame FromCanFrame(const can_frame& in) {
    Frame frame;
    frame.extended = (in.can_id & CAN_EFF_FLAG) != 0;
    frame.rtr = (in.can_id & CAN_RTR_FLAG) != 0;
    frame.id = in.can_id & (frame.extended ? CAN_EFF_MASK : CAN_SFF_MASK);
    frame.dlc = in.can_dlc > 8 ? 8 : in.can_dlc;
    if (!frame.rtr) std::memcpy(frame.data.data(), in.data, frame.dlc);
    return frame;
}

// The interface's flags; false when they cannot be read (it is gone).
bool InterfaceIsUp(int socket, const std::string& name) {
    ifreq request{};
    std::memcpy(request.ifr_name, name.c_str(), name.size() + 1);
    return ioctl(socket, SIOCGIFFLAGS, &request) == 0 && (request.ifr_flags & IFF_UP) != 0;
}

// Every frame of the bus, and the controller's error frames. An interface that goes away takes
// the socket's frame filter with it, so a socket bound again needs it anew.
void ReceiveEverything(int socket) {
    const can_filter everything{0, 0};
    setsockopt(socket, SOL_CAN_RAW, CAN_RAW_FILTER, &everything, sizeof(everything));
    setsockopt(socket, SOL_CAN_RAW, CAN_RAW_ERR_FILTER, &kErrorClasses, sizeof(kErrorClasses));
}

bool Bind(int socket, int index) {
    sockaddr_can address{};
    address.can_family = AF_CAN;
    address.can_ifindex = index;
    return bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
}

}  // namespace

CanSocket::CanSocket(UniqueFd socket, std::string name, int index)
    : socket_(std::move(socket)), name_(std::move(name)), index_(index) {}

CanSocketOpen CanSocket::Open(const std::string& name) {
    const std::string what = "SocketCAN interface \"" + name + "\": ";
    if (name.empty() || name.size() >= IFNAMSIZ) return {nullptr, what + "not an interface name"};
    UniqueFd fd(socket(PF_CAN, SOCK_RAW | SOCK_CLOEXEC, CAN_RAW));
    if (!fd.Valid()) return {nullptr, what + "cannot create a CAN socket: " + std::strerror(errno)};
    const unsigned index = if_nametoindex(name.c_str());
    if (index == 0) return {nullptr, what + "no such interface"};
    // A socket binds to an interface that is down, but nothing it sends leaves the machine: say
    // so at once instead of letting every transfer time out.
    if (!InterfaceIsUp(fd.Get(), name)) return {nullptr, what + "is down (bring it up with its bit rate first)"};
    ReceiveEverything(fd.Get());
    if (!Bind(fd.Get(), static_cast<int>(index))) return {nullptr, what + "cannot bind: " + std::strerror(errno)};
    return {std::unique_ptr<CanSocket>(new CanSocket(std::move(fd), name, static_cast<int>(index))), {}};
}

std::unique_ptr<CanSocket> CanSocket::Over(UniqueFd socket, std::string name) {
    return std::unique_ptr<CanSocket>(new CanSocket(std::move(socket), std::move(name), -1));
}

TransmitResult CanSocket::Send(const Frame& frame, Clock::time_point deadline) {
    if (!IsValidFrame(frame)) return TransmitResult::Failed;
    const can_frame out = ToCanFrame(frame);
    std::chrono::microseconds step = kFirstRetryStep;
    for (;;) {
        const ssize_t sent = send(socket_.Get(), &out, sizeof(out), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent == static_cast<ssize_t>(sizeof(out))) return TransmitResult::Accepted;
        if (sent >= 0) return TransmitResult::Failed;
        const int error = errno;
        if (error == EINTR) continue;
        // ENOBUFS: the interface's queue is full; EAGAIN: the socket's own send buffer is.
        if (error != ENOBUFS && error != EAGAIN && error != EWOULDBLOCK) return TransmitResult::Failed;
        const Clock::time_point now = Clock::now();
        if (now >= deadline) return TransmitResult::QueueFull;
        if (error == ENOBUFS) {
            // The queue gives no signal when it drains: look again after a step.
            const timespec pause = Timespec(std::min<std::chrono::nanoseconds>(step, deadline - now));
            nanosleep(&pause, nullptr);
            step = std::min(step * 2, kLongestRetryStep);
        } else {
            // The socket wakes its sender as soon as frames of its own have left.
            pollfd pfd{socket_.Get(), POLLOUT, 0};
            const timespec wait = Timespec(deadline - now);
            ppoll(&pfd, 1, &wait, nullptr);
        }
    }
}

Received CanSocket::Receive(std::chrono::milliseconds timeout) {
    Received result;
    pollfd pfd{socket_.Get(), POLLIN, 0};
    const int ready = poll(&pfd, 1, static_cast<int>(timeout.count()));
    if (ready < 0) {
        if (errno == EINTR) return result;
        result.kind = Received::Kind::Failed;
        result.error = errno;
        return result;
    }
    if (ready == 0) return result;

    can_frame in{};
    iovec part{&in, sizeof in};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    const ssize_t size = recvmsg(socket_.Get(), &message, MSG_DONTWAIT);
    if (size < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return result;
        result.kind = Received::Kind::Failed;
        result.error = errno;
        // An interface that went away takes the socket's binding with it.
        if (result.error == ENODEV) index_ = 0;
        return result;
    }
    // Every datagram queued before a hang-up has been read by now: this is its end.
    if (size == 0 && (pfd.revents & POLLHUP)) {
        result.kind = Received::Kind::HungUp;
        return result;
    }
    if (size != static_cast<ssize_t>(sizeof in) || (message.msg_flags & MSG_TRUNC)) {
        result.kind = Received::Kind::Odd;
        result.what = message.msg_flags & MSG_TRUNC ? "more than " + std::to_string(sizeof in) + " bytes"
                                                    : std::to_string(size) + " bytes";
        return result;
    }
    if (in.can_id & CAN_ERR_FLAG) {
        result.kind = Received::Kind::ErrorFrame;
        result.error_frame.error_class = in.can_id & CAN_ERR_MASK;
        std::copy(std::begin(in.data), std::end(in.data), result.error_frame.data.begin());
        return result;
    }
    result.kind = Received::Kind::Frame;
    result.frame = FromCanFrame(in);
    return result;
}

CanSocket::Presence CanSocket::Rebind() {
    if (name_.empty()) return Presence::Gone;
    const unsigned index = if_nametoindex(name_.c_str());
    if (index == 0) return Presence::Gone;
    if (static_cast<int>(index) != index_) {
        ReceiveEverything(socket_.Get());
        if (!Bind(socket_.Get(), static_cast<int>(index))) return Presence::Gone;
        index_ = static_cast<int>(index);
    }
    return InterfaceIsUp(socket_.Get(), name_) ? Presence::Up : Presence::Down;
}

}  // namespace canapi
