// Waiting in tests for something that must happen. A passing test stops waiting as soon as it
// happens, so only a failing one waits the whole patience; the bound is generous so that a loaded
// machine or a sanitizer build never turns a slow pass into a failure. Never a timing assertion.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace test_support {

inline constexpr std::chrono::milliseconds kPatience = std::chrono::seconds(30);

// Polls `done` every 2 ms until it holds (true) or `limit` passed (false).
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = kPatience) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace test_support
