// The simulated bus master: admits the interface library's node and plays the system around it.
//
// - An identity announcement (0x7EF or 0x7F0) is answered, after the assign delay, with an id
//   assignment on 0x7EA {1, id, identity word, identity value} echoing the announced identity;
//   announcements heard while that assignment is pending get no second one.
// - The node's assignment reply on 0x7E9 makes it known; with nm_start the master then sends
//   the NM start command on 0x000 {1, id, 0} and guards the node with remote requests on
//   0x7C0 + id every guard period.
// - A system-state query on 0x060..0x07F or 0x15F (0x60 + 255: a node without id) with data[0] 6
//   is answered on 0x080 {7, 1, state}; the idle command (data[0] 0x10, DLC 8) switches the
//   answered state to the idle state.
// - Optionally a forced power-down 0x080 {0x85} some time after the node got its id.
//
// Not thread-safe: the bus loop calls it.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "tools/devsim/frame.h"
#include "tools/devsim/outbox.h"

namespace devsim {

inline constexpr std::uint16_t kNmCommandId = 0x000;
inline constexpr std::uint16_t kMasterCommandId = 0x080;
inline constexpr std::uint16_t kGuardBase = 0x7C0;
inline constexpr std::uint16_t kAssignId = 0x7EA;
inline constexpr std::uint16_t kAssignReplyId = 0x7E9;
inline constexpr std::uint8_t kIdleCommand = 0x10;
inline constexpr std::uint8_t kPowerDownCommand = 0x85;

struct MasterSetup {
    std::uint8_t assign_id = 5;
    std::chrono::milliseconds assign_delay{0};
    std::uint8_t system_state = 1;
    std::uint8_t idle_state = 5;
    bool nm_start = false;
    std::chrono::milliseconds guard_period{300};
    std::optional<std::chrono::milliseconds> power_down_after;
};

class BusMaster {
public:
    explicit BusMaster(MasterSetup setup) : setup_(setup), system_state_(setup.system_state) {}

    void OnFrame(const Frame& frame, TimePoint now, Outbox& out);
    void Poll(TimePoint now, Outbox& out);
    std::optional<TimePoint> NextWake() const;

    // The id the library's node confirmed, once it did.
    std::optional<std::uint8_t> admitted() const { return admitted_; }
    std::optional<TimePoint> admitted_at() const { return admitted_at_; }
    std::uint8_t system_state() const { return system_state_; }
    std::uint32_t guard_replies() const { return guard_replies_; }

private:
    void Admit(std::uint8_t id, TimePoint now, Outbox& out);

    const MasterSetup setup_;
    std::uint8_t system_state_;
    std::optional<std::uint8_t> admitted_;
    std::optional<TimePoint> admitted_at_;  // first admission, for the power-down
    std::optional<Frame> pending_assign_;   // due at assign_due_
    TimePoint assign_due_{};
    std::optional<TimePoint> next_guard_;
    std::optional<TimePoint> power_down_due_;
    std::uint32_t guard_replies_ = 0;
};

}  // namespace devsim
