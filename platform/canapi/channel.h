// The backend named by CANAPI_CHANNEL.
#pragma once

#include <optional>
#include <string>

namespace canapi {

struct Channel {
    enum class Kind { VirtualBus, SocketCan, Record };
    Kind kind = Kind::VirtualBus;
    std::string name;  // bus or interface name; empty for Record
};

struct ChannelParse {
    std::optional<Channel> channel;
    std::string error;
};

// "vbus:<name>", "socketcan:<ifname>" or "record"; an unset or empty value is "vbus:default".
ChannelParse ParseChannel(const std::string& value);

}  // namespace canapi
