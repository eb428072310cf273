// Runs the calls into the interface library on one thread of their own, one at a time, while the
// calling thread waits for each the way it chooses (the main window keeps its windows painted).
// The library keeps settings per calling thread (the SDO timeout), so one link's calls all go to
// the same thread, from before its open to after its close. A message box a call raises goes up on
// the waiting thread while it waits, and the call goes on once it is answered, as when the library
// is called on that thread itself.
//
// Threads: Run is called by one thread at a time (the user-interface thread); the calls run on the
// call thread.
#pragma once

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace app {

class LibraryCallThread {
public:
    // How the calling thread waits for a call to end: it returns once `ended` has answered true;
    // `ended` blocks up to the time it is given (a negative time: without a limit).
    using Waiter = std::function<void(const std::function<bool(std::chrono::milliseconds)>& ended)>;

    // An empty waiter blocks until the call ends.
    explicit LibraryCallThread(Waiter wait = {});
    // Ends the thread; waits for a call still running.
    ~LibraryCallThread();
    LibraryCallThread(const LibraryCallThread&) = delete;
    LibraryCallThread& operator=(const LibraryCallThread&) = delete;

    // Runs `call` on the call thread and returns its result; an exception it raises is raised
    // here.
    template <typename Call>
    auto Run(Call&& call) -> std::invoke_result_t<Call&> {
        using Result = std::invoke_result_t<Call&>;
        if constexpr (std::is_void_v<Result>) {
            RunErased([&call] { call(); });
        } else {
            std::optional<Result> result;
            RunErased([&call, &result] { result.emplace(call()); });
            return std::move(*result);
        }
    }

private:
    struct Shared;
    void RunErased(std::function<void()> call);

    Waiter wait_;
    std::shared_ptr<Shared> shared_;
};

}  // namespace app
