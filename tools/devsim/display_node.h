// One simulated display device: its object dictionary and the SDO server that serves it, and,
// when told to, a flood of frames of its own while a block download runs.
//
// Objects (app/device_objects.h names them): the device profile, the hardware version (revision
// in the high byte), the profile version, the software version in both its objects, the unlock
// (writable, 4 bytes), the software image that takes the album (writable, up to 32 MiB) and, when
// sections are given, the data sections. Node 1 also answers the presence mask and the fault
// report format.
//
// Not thread-safe: the bus loop calls it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/devsim/frame.h"
#include "tools/devsim/object_dictionary.h"
#include "tools/devsim/outbox.h"
#include "tools/devsim/sdo_server.h"
#include "tools/devsim/sections_file.h"

namespace devsim {

inline constexpr std::size_t kMaxImageBytes = 0x2000000;

struct NodeSpec {
    std::uint8_t id = 0;                      // 1..31
    std::uint16_t profile = 0;                // the device profile object
    std::uint8_t hw_revision = 0;             // high byte of the hardware version object
    std::uint16_t profile_version = 0x0100;   // the profile version object
    std::uint16_t software_version = 0x0100;  // both software version objects
};

struct NodeSetup {
    NodeSpec spec;
    SdoBehaviour sdo;
    std::uint32_t node_mask = 0;    // node 1: the presence mask object
    std::uint8_t fault_format = 1;  // node 1: second byte of the fault report format object
    std::vector<Section> sections;  // the data sections object
    // Called with every completed album download (the software image object).
    std::function<void(const Bytes&)> on_image;
    // A hostile node: this many frames of its own (on 0x7C0 + id, a running count in the data)
    // for every block-download segment it receives, so that the bus floods while a download runs.
    std::uint32_t flood_per_segment = 0;
};

class DisplayNode {
public:
    explicit DisplayNode(NodeSetup setup);
    DisplayNode(const DisplayNode&) = delete;
    DisplayNode& operator=(const DisplayNode&) = delete;

    std::uint8_t id() const { return id_; }
    // Any frame heard on the bus; the node takes its SDO requests (0x7A0 + id).
    void OnFrame(const Frame& frame, TimePoint now, Outbox& out);
    void Poll(TimePoint now, Outbox& out) { server_.Poll(now, out); }
    std::optional<TimePoint> NextWake() const { return server_.NextWake(); }

    ObjectDictionary& dictionary() { return dictionary_; }
    const SdoServer& server() const { return server_; }
    // The last value written to the unlock object (0 until one was).
    std::uint32_t unlock_value() const { return unlock_value_; }
    // Frames sent so far by the flood.
    std::uint32_t flood_sent() const { return flood_sent_; }

private:
    void Build(const NodeSetup& setup);

    void Flood(TimePoint now, Outbox& out);

    const std::uint8_t id_;
    const std::uint32_t flood_per_segment_;
    ObjectDictionary dictionary_;
    SdoServer server_;
    std::uint32_t unlock_value_ = 0;
    std::uint32_t flood_sent_ = 0;
};

}  // namespace devsim
