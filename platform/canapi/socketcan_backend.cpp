// SocketCAN backend.
#include "platform/canapi/socketcan_backend.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>
#include <thread>

#include "platform/canapi/bus_state.h"
#include "platform/canapi/canapi.h"
#include "platform/kernel/sinks.h"

namespace canapi {

namespace {

using namespace std::chrono_literals;

// The receive thread looks at the stop flag at least this often.
constexpr std::chrono::milliseconds kReceiveWait = 20ms;
// While the interface is down or gone, it is looked for this often.
constexpr std::chrono::milliseconds kLookAgain = 100ms;

class SocketCanBackend final : public Backend {
public:
    SocketCanBackend(std::unique_ptr<CanSocket> socket, ReceiveQueue& queue)
        : socket_(std::move(socket)), queue_(queue), watch_(socket_->Name()), receiver_([this] { ReceiveLoop(); }) {}

    ~SocketCanBackend() override {
        stop_ = true;
        receiver_.join();
    }

    TransmitResult Transmit(const Frame& frame, std::chrono::milliseconds timeout) override {
        return socket_->Send(frame, CanSocket::Clock::now() + timeout);
    }

private:
    void ReceiveLoop() {
        while (!stop_) {
            const Received received = socket_->Receive(kReceiveWait);
            switch (received.kind) {
            case Received::Kind::Frame:
                watch_.OnFrame();
                queue_.Push(ReceiveRecord(received.frame));
                break;
            case Received::Kind::ErrorFrame:
                queue_.Push(StatusRecord(StatusCodeOf(received.error_frame)));
                for (const std::string& line : watch_.OnErrorFrame(received.error_frame)) Say(line);
                break;
            case Received::Kind::Odd:
                // The caller learns that something was lost on the way; the frames after it still come.
                queue_.Push(StatusRecord(kCanapiStatusOtherError));
                Say("canapi: SocketCAN read of " + received.what + " is not a frame");
                break;
            case Received::Kind::Failed:
                Lost(received.error);
                break;
            case Received::Kind::HungUp:
                queue_.Push(StatusRecord(kCanapiStatusOtherError));
                Say("canapi: SocketCAN socket hung up; nothing more will be received");
                return;
            case Received::Kind::Timeout:
                break;
            }
            if (lost_ && CanSocket::Clock::now() >= look_again_) LookForTheInterface();
        }
    }

    // The socket reported the interface down or gone: once per loss, whatever it says next.
    void Lost(int error) {
        if (lost_) return;
        lost_ = true;
        look_again_ = CanSocket::Clock::now();
        queue_.Push(StatusRecord(kCanapiStatusOtherError));
        Say(Line(std::string(error == ENODEV ? "is gone" : "is down") + " (" + std::strerror(error) +
                 "); reception goes on when it is up again"));
    }

    void LookForTheInterface() {
        look_again_ = CanSocket::Clock::now() + kLookAgain;
        if (socket_->Rebind() != CanSocket::Presence::Up) return;
        lost_ = false;
        Say(Line("is up again"));
    }

    std::string Line(const std::string& what) const { return InterfaceNotice(socket_->Name(), what); }
    static void Say(const std::string& line) { kernel::OutputDebugString(line); }

    const std::unique_ptr<CanSocket> socket_;
    ReceiveQueue& queue_;
    // Receive thread only.
    BusStateWatch watch_;
    bool lost_ = false;
    CanSocket::Clock::time_point look_again_{};

    std::atomic<bool> stop_{false};
    std::thread receiver_;  // last: started once everything it uses exists
};

}  // namespace

BackendOpen OpenSocketCanBackend(const std::string& interface_name, ReceiveQueue& queue) {
    CanSocketOpen opened = CanSocket::Open(interface_name);
    if (!opened.socket) return {nullptr, opened.error};
    return {SocketCanBackendOver(std::move(opened.socket), queue), {}};
}

std::unique_ptr<Backend> SocketCanBackendOver(std::unique_ptr<CanSocket> socket, ReceiveQueue& queue) {
    return std::make_unique<SocketCanBackend>(std::move(socket), queue);
}

}  // namespace canapi
