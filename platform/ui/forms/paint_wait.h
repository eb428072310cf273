// Waiting on the user-interface thread for work that runs elsewhere, with the windows kept
// painted: a window uncovered, resized or invalidated meanwhile is painted again, and nothing else
// runs. Input stays queued until the wait is over (as the system queues it for a busy program);
// timers and socket notifiers wait too.
#pragma once

#include <chrono>
#include <functional>

namespace ui {

// Returns once `ended` has answered true. `ended` is asked again and again and may block up to
// the slice it is given; between the asks the windows are painted. Off the user-interface thread,
// or without a window system, it only asks `ended` without a limit (a negative slice).
void WaitPainting(const std::function<bool(std::chrono::milliseconds slice)>& ended);

// Sleeps for `duration` the same way.
void SleepPainting(std::chrono::milliseconds duration);

}  // namespace ui
