// Virtual-bus backend.
#include "platform/canapi/vbus_backend.h"

#include <atomic>
#include <thread>

#include "platform/kernel/sinks.h"

namespace canapi {

namespace {

class VirtualBusBackend final : public Backend {
public:
    VirtualBusBackend(std::unique_ptr<VirtualBus> bus, ReceiveQueue& queue)
        : bus_(std::move(bus)), queue_(queue), receiver_([this] { ReceiveLoop(); }) {}

    ~VirtualBusBackend() override {
        stop_ = true;
        receiver_.join();
    }

    TransmitResult Transmit(const Frame& frame, std::chrono::milliseconds /*timeout*/) override {
        const SendResult sent = bus_->Send(frame);
        // A frame nobody could take is still "on the bus": real adapters do not report missing
        // listeners either. The virtual bus has no queue to wait for.
        return sent.status == SendResult::Status::Sent ? TransmitResult::Accepted : TransmitResult::Failed;
    }

private:
    void ReceiveLoop() {
        Frame frame;
        while (!stop_) {
            // Short waits so that the destructor's stop is seen promptly.
            switch (bus_->Receive(frame, std::chrono::milliseconds(20))) {
            case ReceiveResult::Frame:
                queue_.Push(ReceiveRecord(frame));
                break;
            case ReceiveResult::Timeout:
                break;
            case ReceiveResult::Error:
                kernel::OutputDebugString("canapi: virtual bus receive failed; receiving stopped");
                return;
            }
        }
    }

    const std::unique_ptr<VirtualBus> bus_;
    ReceiveQueue& queue_;
    std::atomic<bool> stop_{false};
    std::thread receiver_;  // last member: started after everything it uses exists
};

}  // namespace

BackendOpen OpenVirtualBusBackend(const std::string& bus_name, ReceiveQueue& queue) {
    JoinResult joined = VirtualBus::Join(bus_name);
    if (!joined.bus) return {nullptr, "virtual bus \"" + bus_name + "\": " + joined.error};
    return {std::make_unique<VirtualBusBackend>(std::move(joined.bus), queue), {}};
}

}  // namespace canapi
