#include "tools/devsim/bus_port.h"

#include "platform/canapi/can_socket.h"

namespace devsim {

namespace {

using namespace std::chrono_literals;

// How long a frame of the simulator waits for room in an interface's transmit queue: what the
// adapter of the interface library waits, too.
constexpr std::chrono::milliseconds kTransmitTimeout = 500ms;

class VirtualBusPort final : public BusPort {
public:
    explicit VirtualBusPort(std::unique_ptr<canapi::VirtualBus> bus) : bus_(std::move(bus)) {}
    void Send(const canapi::Frame& frame) override { bus_->Send(frame); }
    canapi::ReceiveResult Receive(canapi::Frame& frame, std::chrono::milliseconds timeout) override {
        return bus_->Receive(frame, timeout);
    }

private:
    const std::unique_ptr<canapi::VirtualBus> bus_;
};

class SocketCanPort final : public BusPort {
public:
    explicit SocketCanPort(std::unique_ptr<canapi::CanSocket> socket) : socket_(std::move(socket)) {}
    void Send(const canapi::Frame& frame) override {
        socket_->Send(frame, canapi::CanSocket::Clock::now() + kTransmitTimeout);
    }
    canapi::ReceiveResult Receive(canapi::Frame& frame, std::chrono::milliseconds timeout) override {
        const canapi::Received received = socket_->Receive(timeout);
        switch (received.kind) {
        case canapi::Received::Kind::Frame:
            frame = received.frame;
            return canapi::ReceiveResult::Frame;
        case canapi::Received::Kind::Failed:
        case canapi::Received::Kind::HungUp:
            return canapi::ReceiveResult::Error;
        default:
            // The controller's error frames and odd reads are not frames of a node.
            return canapi::ReceiveResult::Timeout;
        }
    }

private:
    const std::unique_ptr<canapi::CanSocket> socket_;
};

}  // namespace

BusJoin JoinBus(const canapi::Channel& channel) {
    if (channel.kind == canapi::Channel::Kind::SocketCan) {
        canapi::CanSocketOpen opened = canapi::CanSocket::Open(channel.name);
        if (!opened.socket) return {nullptr, opened.error};
        return {std::make_unique<SocketCanPort>(std::move(opened.socket)), {}};
    }
    canapi::JoinResult joined = canapi::VirtualBus::Join(channel.name);
    if (!joined.bus) return {nullptr, joined.error};
    return {std::make_unique<VirtualBusPort>(std::move(joined.bus)), {}};
}

canapi::ChannelParse ChooseBus(const std::string& explicit_value, const char* canapi_channel) {
    if (!explicit_value.empty()) {
        if (explicit_value.find(':') == std::string::npos) {
            return {canapi::Channel{canapi::Channel::Kind::VirtualBus, explicit_value}, {}};
        }
        canapi::ChannelParse parsed = canapi::ParseChannel(explicit_value);
        if (parsed.channel && parsed.channel->kind == canapi::Channel::Kind::Record) {
            return {std::nullopt, "--bus \"record\" is no bus to join"};
        }
        return parsed;
    }
    if (canapi_channel != nullptr) {
        const canapi::ChannelParse parsed = canapi::ParseChannel(canapi_channel);
        if (parsed.channel && parsed.channel->kind != canapi::Channel::Kind::Record) return parsed;
    }
    return {canapi::Channel{canapi::Channel::Kind::VirtualBus, "default"}, {}};
}

}  // namespace devsim
