#include "tools/devsim/bus_master.h"

namespace devsim {

namespace {

bool IsAnnouncement(const Frame& frame) {
    return !frame.rtr && (frame.id == 0x7EF || frame.id == 0x7F0) && frame.dlc == 8;
}

bool IsStateRequestId(std::uint16_t id) { return (id >= 0x060 && id <= 0x07F) || id == 0x15F; }

}  // namespace

void BusMaster::OnFrame(const Frame& frame, TimePoint now, Outbox& out) {
    if (frame.rtr) return;
    if (IsAnnouncement(frame)) {
        // A node that announces itself has no id (again): guarding it would only confuse it.
        admitted_.reset();
        next_guard_.reset();
        // Announcements repeat while the assignment is pending; one assignment answers them all.
        if (!pending_assign_) {
            pending_assign_ = MakeFrame(kAssignId, {1, setup_.assign_id, frame.data[0], frame.data[1], frame.data[2],
                                                    frame.data[3], frame.data[4], frame.data[5]});
            assign_due_ = now + setup_.assign_delay;
            Poll(now, out);
        }
        return;
    }
    if (frame.id == kAssignReplyId && frame.dlc == 8 && frame.data[0] == 1) {
        Admit(frame.data[1], now, out);
        return;
    }
    if (IsStateRequestId(frame.id) && frame.dlc >= 1) {
        if (frame.data[0] == 6) {
            out.SendAt(now, MakeFrame(kMasterCommandId, {7, 1, system_state_}));
        } else if (frame.data[0] == kIdleCommand && frame.dlc == 8) {
            system_state_ = setup_.idle_state;
        }
        return;
    }
    if (admitted_ && frame.id == kGuardBase + *admitted_ && frame.dlc == 1) ++guard_replies_;
}

void BusMaster::Admit(std::uint8_t id, TimePoint now, Outbox& out) {
    admitted_ = id;
    if (!admitted_at_) {
        admitted_at_ = now;
        if (setup_.power_down_after) power_down_due_ = now + *setup_.power_down_after;
    }
    if (setup_.nm_start) {
        out.SendAt(now, MakeFrame(kNmCommandId, {1, id, 0}));
        next_guard_ = now + setup_.guard_period;
    }
}

void BusMaster::Poll(TimePoint now, Outbox& out) {
    if (pending_assign_ && assign_due_ <= now) {
        out.SendAt(now, *pending_assign_);
        pending_assign_.reset();
    }
    if (admitted_ && next_guard_ && *next_guard_ <= now) {
        Frame request = MakeRemoteFrame(static_cast<std::uint16_t>(kGuardBase + *admitted_));
        request.dlc = 1;  // a guard request asks for one byte
        out.SendAt(now, request);
        next_guard_ = now + setup_.guard_period;
    }
    if (power_down_due_ && *power_down_due_ <= now) {
        out.SendAt(now, MakeFrame(kMasterCommandId, {kPowerDownCommand}));
        power_down_due_.reset();
    }
}

std::optional<TimePoint> BusMaster::NextWake() const {
    std::optional<TimePoint> wake;
    if (pending_assign_) wake = assign_due_;
    if (admitted_ && next_guard_ && (!wake || *next_guard_ < *wake)) wake = next_guard_;
    if (power_down_due_ && (!wake || *power_down_due_ < *wake)) wake = power_down_due_;
    return wake;
}

}  // namespace devsim
