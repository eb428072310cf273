#include "tools/devsim/outbox.h"

namespace devsim {

void Outbox::SendAt(TimePoint due, const Frame& frame) { frames_.emplace(due, frame); }

void Outbox::TakeDue(TimePoint now, std::vector<Frame>& out) {
    auto end = frames_.upper_bound(now);
    for (auto it = frames_.begin(); it != end; ++it) out.push_back(it->second);
    frames_.erase(frames_.begin(), end);
}

std::optional<TimePoint> Outbox::NextDue() const {
    if (frames_.empty()) return std::nullopt;
    return frames_.begin()->first;
}

}  // namespace devsim
