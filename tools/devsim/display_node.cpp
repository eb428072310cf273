#include "tools/devsim/display_node.h"

#include <utility>

#include "library/byte_order.h"
#include "tools/devsim/bus_master.h"

namespace devsim {

DisplayNode::DisplayNode(NodeSetup setup)
    : id_(setup.spec.id), flood_per_segment_(setup.flood_per_segment), server_(setup.spec.id, dictionary_, setup.sdo) {
    Build(setup);
}

void DisplayNode::Build(const NodeSetup& setup) {
    const NodeSpec& spec = setup.spec;
    dictionary_.AddValue(0x1000, 0, le::Bytes16(spec.profile));
    dictionary_.AddValue(0x1009, 0xFF, le::Bytes16(static_cast<std::uint16_t>(spec.hw_revision << 8)));
    dictionary_.AddValue(0x100C, 0xFF, le::Bytes16(spec.profile_version));
    dictionary_.AddValue(0x100A, 0xFF, le::Bytes16(spec.software_version));
    dictionary_.AddValue(0x1023, 0, le::Bytes16(spec.software_version));
    if (spec.id == 1) {
        dictionary_.AddValue(0x1017, 0xFF, le::Bytes32(setup.node_mask));
        dictionary_.AddValue(0x100B, 0, {0, setup.fault_format});
    }

    ObjectEntry unlock;
    unlock.readable = false;
    unlock.writable = true;
    unlock.write_size = 4;
    unlock.on_written = [this](const Bytes& bytes) {
        unlock_value_ = le::Get32(bytes.data());
        if (unlock_value_ == sdo::kUnlockValue) server_.AllowBlocks();
    };
    dictionary_.Add(sdo::kUnlockIndex, 0, std::move(unlock));

    ObjectEntry image;
    image.readable = false;
    image.writable = true;
    image.max_write_size = kMaxImageBytes;
    image.on_written = setup.on_image;
    dictionary_.Add(0x1019, 0, std::move(image));

    if (!setup.sections.empty()) {
        dictionary_.AddValue(0x101F, 0, {static_cast<std::uint8_t>(3 * setup.sections.size() + 1)});
        std::uint8_t sub = 1;
        for (const Section& section : setup.sections) {
            dictionary_.AddValue(0x101F, sub++, {section.value, section.type});
            dictionary_.AddValue(0x101F, sub++, le::Bytes32(static_cast<std::uint32_t>(section.bytes.size())));
            dictionary_.AddValue(0x101F, sub++, section.bytes);
        }
    }
}

void DisplayNode::OnFrame(const Frame& frame, TimePoint now, Outbox& out) {
    if (frame.rtr || frame.id != sdo::kRequestBase + id_) return;
    const std::uint32_t segments = server_.stats().segments_received;
    server_.OnRequest(frame, now, out);
    if (flood_per_segment_ > 0 && server_.stats().segments_received != segments) Flood(now, out);
}

void DisplayNode::Flood(TimePoint now, Outbox& out) {
    for (std::uint32_t i = 0; i < flood_per_segment_; ++i) {
        Frame frame;
        frame.id = static_cast<std::uint16_t>(kGuardBase + id_);
        frame.dlc = 8;
        Put32(frame, 0, flood_sent_++);
        out.SendAt(now, frame);
    }
}

}  // namespace devsim
