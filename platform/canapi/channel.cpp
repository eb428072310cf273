// Parsing of the CANAPI_CHANNEL value.
#include "platform/canapi/channel.h"

namespace canapi {

ChannelParse ParseChannel(const std::string& value) {
    if (value.empty()) return {Channel{Channel::Kind::VirtualBus, "default"}, {}};
    if (value == "record") return {Channel{Channel::Kind::Record, {}}, {}};
    const auto colon = value.find(':');
    const std::string prefix = value.substr(0, colon);
    const std::string name = colon == std::string::npos ? std::string{} : value.substr(colon + 1);
    if (prefix == "vbus" || prefix == "socketcan") {
        if (name.empty())
            return {std::nullopt,
                    "CANAPI_CHANNEL \"" + value + "\" names no " + (prefix == "vbus" ? "bus" : "interface")};
        return {Channel{prefix == "vbus" ? Channel::Kind::VirtualBus : Channel::Kind::SocketCan, name}, {}};
    }
    return {std::nullopt, "CANAPI_CHANNEL \"" + value + "\" is not vbus:<name>, socketcan:<interface> or record"};
}

}  // namespace canapi
