// Traffic the simulator adds on its own: fault reports that repeat every fault period, and a
// second SDO client that keeps reading the device profile object of a display node once the
// library's node is admitted, so that the library sees answers on 0x780 + node it never asked for.
//
// Not thread-safe: the bus loop calls it.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "tools/devsim/frame.h"
#include "tools/devsim/outbox.h"

namespace devsim {

inline constexpr std::uint16_t kFaultBase = 0x040;
inline constexpr std::chrono::milliseconds kConflictPeriod{100};

struct FaultReport {
    std::uint8_t node = 0;           // 1..31
    std::vector<std::uint8_t> data;  // 0..8 bytes
};

class Injector {
public:
    Injector(std::vector<FaultReport> faults, std::chrono::milliseconds fault_period,
             std::optional<std::uint8_t> conflict_node);

    void Start(TimePoint now);
    // Whether the library's node currently has an id (the conflict client talks only then).
    void SetAdmitted(bool admitted, TimePoint now);
    void Poll(TimePoint now, Outbox& out);
    std::optional<TimePoint> NextWake() const;

private:
    const std::vector<FaultReport> faults_;
    const std::chrono::milliseconds fault_period_;
    const std::optional<std::uint8_t> conflict_node_;
    std::optional<TimePoint> next_fault_;
    std::optional<TimePoint> next_conflict_;
};

}  // namespace devsim
