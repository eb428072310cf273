// Threads that may be created suspended: the body waits behind a start gate until Resume.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace kernel {

using ThreadId = std::uint32_t;

// Small, stable, non-zero id of the calling thread (the value traces print).
ThreadId CurrentThreadId();

// Exit code a thread reports while it still runs.
inline constexpr std::uint32_t kStillActive = 259;

class Thread {
public:
    enum class Start { Running, Suspended };

    // The body's return value becomes the exit code. An exception leaving the body is caught,
    // reported on the debug output, and gives exit code 1: it never ends the process.
    Thread(std::function<std::uint32_t()> body, Start start);
    // Joins. A thread that was never resumed is released with `Abandon` first, so its body never runs.
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Opens the start gate (no effect when already open).
    void Resume();
    // Opens the start gate without running the body: the thread ends at once with exit code 0.
    void Abandon();
    bool HasStarted() const;  // the gate was opened and the body began
    // kStillActive while the thread runs (or waits at its gate), else the exit code.
    std::uint32_t ExitCode() const;
    // Waits up to `timeout` for the thread to end; true when it has ended.
    bool Join(std::chrono::milliseconds timeout);
    ThreadId Id() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

void Sleep(std::chrono::milliseconds duration);
inline void Sleep(std::uint32_t ms) { Sleep(std::chrono::milliseconds(ms)); }
// Gives up the rest of the time slice (Sleep(0)).
void Yield();

}  // namespace kernel
