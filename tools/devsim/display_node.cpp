#include "tools/devsim/display_node.h"

#include <utility>

#include "app/device_objects.h"
#include "library/byte_order.h"
#include "tools/devsim/bus_master.h"

namespace devsim {

namespace object = app::device_object;

DisplayNode::DisplayNode(NodeSetup setup)
    : id_(setup.spec.id), flood_per_segment_(setup.flood_per_segment), server_(setup.spec.id, dictionary_, setup.sdo) {
    Build(setup);
}

void DisplayNode::Build(const NodeSetup& setup) {
    const NodeSpec& spec = setup.spec;
    dictionary_.AddValue(object::kDeviceProfile, 0, le::Bytes16(spec.profile));
    dictionary_.AddValue(object::kHardwareVersion, object::kHardwareVersionSub,
                         le::Bytes16(static_cast<std::uint16_t>(spec.hw_revision << 8)));
    dictionary_.AddValue(object::kProfileVersion, object::kProfileVersionSub, le::Bytes16(spec.profile_version));
    dictionary_.AddValue(object::kSoftwareVersion, object::kSoftwareVersionSub, le::Bytes16(spec.software_version));
    dictionary_.AddValue(object::kSoftwareVersionOfProfile2, 0, le::Bytes16(spec.software_version));
    if (spec.id == 1) {
        dictionary_.AddValue(object::kPresenceMask, object::kPresenceMaskSub, le::Bytes32(setup.node_mask));
        dictionary_.AddValue(object::kFaultReportFormat, 0, {0, setup.fault_format});
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
    dictionary_.Add(object::kSoftwareImage, 0, std::move(image));

    if (!setup.sections.empty()) {
        const auto count = static_cast<int>(setup.sections.size());
        dictionary_.AddValue(object::kDataSections, object::kSectionCountSub, {object::SectionCountByte(count)});
        for (int k = 1; k <= count; ++k) {
            const Section& section = setup.sections[static_cast<std::size_t>(k - 1)];
            dictionary_.AddValue(object::kDataSections, object::SectionInfoSub(k), {section.value, section.type});
            dictionary_.AddValue(object::kDataSections, object::SectionSizeSub(k),
                                 le::Bytes32(static_cast<std::uint32_t>(section.bytes.size())));
            dictionary_.AddValue(object::kDataSections, object::SectionDataSub(k), section.bytes);
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
