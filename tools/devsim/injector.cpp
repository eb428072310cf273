#include "tools/devsim/injector.h"

#include <algorithm>
#include <utility>

#include "app/device_objects.h"
#include "tools/devsim/sdo_server.h"

namespace devsim {

Injector::Injector(std::vector<FaultReport> faults, std::chrono::milliseconds fault_period,
                   std::optional<std::uint8_t> conflict_node)
    : faults_(std::move(faults)),
      fault_period_(std::max(fault_period, std::chrono::milliseconds(1))),
      conflict_node_(conflict_node) {}

void Injector::Start(TimePoint now) {
    if (!faults_.empty()) next_fault_ = now;
}

void Injector::SetAdmitted(bool admitted, TimePoint now) {
    if (!conflict_node_) return;
    if (!admitted) {
        next_conflict_.reset();
    } else if (!next_conflict_) {
        next_conflict_ = now;
    }
}

void Injector::Poll(TimePoint now, Outbox& out) {
    if (next_fault_ && *next_fault_ <= now) {
        for (const FaultReport& fault : faults_) {
            Frame frame;
            frame.id = static_cast<std::uint16_t>(kFaultBase + fault.node);
            frame.dlc = static_cast<std::uint8_t>(std::min<std::size_t>(fault.data.size(), 8));
            std::copy_n(fault.data.begin(), frame.dlc, frame.data.begin());
            out.SendAt(now, frame);
        }
        next_fault_ = now + fault_period_;
    }
    if (next_conflict_ && *next_conflict_ <= now) {
        // An expedited-or-segmented upload of the profile, as any other programming device would start.
        Frame request = MakeFrame(static_cast<std::uint16_t>(sdo::kRequestBase + *conflict_node_),
                                  {sdo::cmd::kInitiateUpload, 0, 0, 0, 0, 0, 0, 0});
        Put16(request, 1, app::device_object::kDeviceProfile);  // sub-index 0
        out.SendAt(now, request);
        next_conflict_ = now + kConflictPeriod;
    }
}

std::optional<TimePoint> Injector::NextWake() const {
    if (next_fault_ && next_conflict_) return std::min(*next_fault_, *next_conflict_);
    return next_fault_ ? next_fault_ : next_conflict_;
}

}  // namespace devsim
