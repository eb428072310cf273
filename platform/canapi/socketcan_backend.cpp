// SocketCAN backend.
#include "platform/canapi/socketcan_backend.h"

#include <linux/can.h>
#include <linux/can/error.h>
#include <linux/can/raw.h>
#include <net/if.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/uio.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>
#include <thread>

#include "platform/canapi/canapi.h"
#include "platform/kernel/sinks.h"

namespace canapi {

namespace {

std::uint32_t StatusCode(const can_frame& error) {
    if (error.can_id & CAN_ERR_BUSOFF) return kCanapiStatusBusOff;
    if (error.can_id & CAN_ERR_RESTARTED) return kCanapiStatusRestart;
    if ((error.can_id & CAN_ERR_CRTL) && (error.data[1] & CAN_ERR_CRTL_TX_OVERFLOW)) {
        return kCanapiStatusTransmitQueueFull;
    }
    if (error.can_id & (CAN_ERR_TX_TIMEOUT | CAN_ERR_ACK)) return kCanapiStatusTransmitError;
    return kCanapiStatusOtherError;
}

class SocketCanBackend final : public Backend {
public:
    SocketCanBackend(UniqueFd socket, ReceiveQueue& queue)
        : socket_(std::move(socket)), queue_(queue), receiver_([this] { ReceiveLoop(); }) {}

    ~SocketCanBackend() override {
        stop_ = true;
        receiver_.join();
    }

    TransmitResult Transmit(const Frame& frame) override {
        can_frame out{};
        out.can_id = frame.id | (frame.extended ? CAN_EFF_FLAG : 0) | (frame.rtr ? CAN_RTR_FLAG : 0);
        out.can_dlc = frame.dlc;
        if (!frame.rtr) std::memcpy(out.data, frame.data.data(), frame.dlc);
        const ssize_t sent = send(socket_.Get(), &out, sizeof(out), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent == static_cast<ssize_t>(sizeof(out))) return TransmitResult::Accepted;
        if (sent < 0 && (errno == ENOBUFS || errno == EAGAIN || errno == EWOULDBLOCK)) return TransmitResult::QueueFull;
        return TransmitResult::Failed;
    }

private:
    enum class Read { Next, End };

    void ReceiveLoop() {
        while (!stop_) {
            pollfd pfd{socket_.Get(), POLLIN, 0};
            const int ready = poll(&pfd, 1, 20);
            if (ready < 0 && errno != EINTR) {
                End(std::string("poll failed: ") + std::strerror(errno));
                return;
            }
            if (ready <= 0) continue;
            if (ReceiveOne(pfd.revents) == Read::End) return;
        }
    }

    // One datagram off the socket into the queue.
    Read ReceiveOne(short events) {
        can_frame in{};
        iovec part{&in, sizeof in};
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        const ssize_t size = recvmsg(socket_.Get(), &message, MSG_DONTWAIT);
        if (size < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return Read::Next;
            // The interface went away (ENETDOWN and the like): say so rather than go quiet.
            End(std::string("receive failed: ") + std::strerror(errno));
            return Read::End;
        }
        // Every datagram queued before a hang-up has been read by now: this is its end.
        if (size == 0 && (events & POLLHUP)) {
            End("the socket hung up");
            return Read::End;
        }
        if (size != static_cast<ssize_t>(sizeof in) || (message.msg_flags & MSG_TRUNC)) {
            Odd(message.msg_flags & MSG_TRUNC ? "more than " + std::to_string(sizeof in) + " bytes"
                                              : std::to_string(size) + " bytes");
            return Read::Next;
        }
        if (in.can_id & CAN_ERR_FLAG) {
            queue_.Push(StatusRecord(StatusCode(in)));
            return Read::Next;
        }
        Frame frame;
        frame.extended = (in.can_id & CAN_EFF_FLAG) != 0;
        frame.rtr = (in.can_id & CAN_RTR_FLAG) != 0;
        frame.id = in.can_id & (frame.extended ? CAN_EFF_MASK : CAN_SFF_MASK);
        frame.dlc = in.can_dlc > 8 ? 8 : in.can_dlc;
        if (!frame.rtr) std::memcpy(frame.data.data(), in.data, frame.dlc);
        queue_.Push(ReceiveRecord(frame));
        return Read::Next;
    }

    // A read that is not one frame: the caller learns that something was lost on the way, and
    // the frames after it still come.
    void Odd(const std::string& what) {
        queue_.Push(StatusRecord(kCanapiStatusOtherError));
        kernel::OutputDebugString("canapi: SocketCAN read of " + what + " is not a frame");
    }

    // Nothing more will arrive: one status record says so, and the receive thread ends.
    void End(const std::string& why) {
        queue_.Push(StatusRecord(kCanapiStatusOtherError));
        kernel::OutputDebugString("canapi: SocketCAN " + why);
    }

    const UniqueFd socket_;
    ReceiveQueue& queue_;
    std::atomic<bool> stop_{false};
    std::thread receiver_;
};

}  // namespace

BackendOpen OpenSocketCanBackend(const std::string& interface_name, ReceiveQueue& queue) {
    const std::string what = "SocketCAN interface \"" + interface_name + "\": ";
    if (interface_name.size() >= IFNAMSIZ) return {nullptr, what + "name too long"};
    UniqueFd fd(socket(PF_CAN, SOCK_RAW | SOCK_CLOEXEC, CAN_RAW));
    if (!fd.Valid()) return {nullptr, what + "cannot create a CAN socket: " + std::strerror(errno)};
    const unsigned index = if_nametoindex(interface_name.c_str());
    if (index == 0) return {nullptr, what + "no such interface"};
    // A socket binds to an interface that is down, but nothing it sends leaves the machine: say
    // so at once instead of letting every transfer time out.
    ifreq request{};
    std::memcpy(request.ifr_name, interface_name.c_str(), interface_name.size() + 1);
    if (ioctl(fd.Get(), SIOCGIFFLAGS, &request) == 0 && (request.ifr_flags & IFF_UP) == 0) {
        return {nullptr, what + "is down (bring it up with its bit rate first)"};
    }
    can_err_mask_t errors = CAN_ERR_TX_TIMEOUT | CAN_ERR_CRTL | CAN_ERR_ACK | CAN_ERR_BUSOFF | CAN_ERR_RESTARTED;
    setsockopt(fd.Get(), SOL_CAN_RAW, CAN_RAW_ERR_FILTER, &errors, sizeof(errors));
    sockaddr_can address{};
    address.can_family = AF_CAN;
    address.can_ifindex = static_cast<int>(index);
    if (bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        return {nullptr, what + "cannot bind: " + std::strerror(errno)};
    }
    return {SocketCanBackendOver(std::move(fd), queue), {}};
}

std::unique_ptr<Backend> SocketCanBackendOver(UniqueFd socket, ReceiveQueue& queue) {
    return std::make_unique<SocketCanBackend>(std::move(socket), queue);
}

}  // namespace canapi
