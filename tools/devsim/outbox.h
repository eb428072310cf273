// Frames the simulator has decided to send, each with the moment it is due. Every part of the
// simulator puts its answers here; the bus loop (or a test) takes the due ones and sends them in
// order, so that delayed answers and immediate ones share one path.
//
// Not thread-safe: one owner thread (the bus loop) uses it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "tools/devsim/frame.h"

namespace devsim {

class Outbox {
public:
    // Due at `due`; frames due at the same moment leave in the order they were put.
    void SendAt(TimePoint due, const Frame& frame);
    // Moves every frame due at or before `now`, in due order, to the end of `out`.
    void TakeDue(TimePoint now, std::vector<Frame>& out);
    std::optional<TimePoint> NextDue() const;
    std::size_t Pending() const { return frames_.size(); }

private:
    // A multimap keeps equal keys in insertion order.
    std::multimap<TimePoint, Frame> frames_;
};

}  // namespace devsim
