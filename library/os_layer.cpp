#include "library/os_layer.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "library/tracing.h"
#include "library/usb_intf.h"
#include "platform/kernel/sinks.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/thread.h"

namespace klp {
namespace {

using namespace std::chrono_literals;

constexpr int kMailboxCount = 3;
constexpr int kTimerCount = 3;
constexpr std::uint32_t kMailboxMaximum = kPoolSize;
// Waits are cut into slices so that a waiter notices a broken stack instead of blocking for ever.
constexpr std::chrono::milliseconds kWaitSlice = 50ms;
// The fault thread's wait on its mailbox.
constexpr std::int16_t kFaultWaitTicks = 5;
// Waiting for a thread to end: 100 rounds of 10 ms.
constexpr int kThreadStopRounds = 100;
constexpr std::chrono::milliseconds kThreadStopRound = 10ms;
// How often a timed mailbox wait looks for ticks given by a test.
constexpr std::chrono::milliseconds kManualTickPoll = 1ms;

struct Mailbox {
    Queue queue = nullptr;                   // guarded by the OS critical section
    Token semaphore;                         // counts queued buffers
    std::unique_ptr<kernel::Thread> thread;  // the thread serving it
    std::atomic<bool> running{false};
};

struct SoftTimer {
    std::uint16_t mailbox = 0;
    std::atomic<std::uint8_t> ticks{0};  // 0 = stopped; read without the token by TIM_Stop
    std::uint8_t type = 0;
    std::uint8_t subtype = 0;
    CANBuf* held = nullptr;
};

// The kernel's state: one per process, as the stack is one per process.
struct Kernel {
    kernel::CriticalSection lock;  // the OS critical section: pool and every queue
    std::array<CANBuf, kPoolSize> buffers{};
    List free_list = nullptr;
    int free_count = 0;

    Token timer_token;
    std::array<SoftTimer, kTimerCount> timers;
    std::array<Mailbox, kMailboxCount> mailboxes;

    std::atomic<std::uint32_t> stop{0};
    std::atomic<bool> broken{false};
    // Calls of the exports now using the stack's objects (StackCallScope). The stop flag is set
    // under the same mutex, so that no call enters once the close has begun.
    std::mutex calls_mutex;
    std::condition_variable calls_ended;
    int calls = 0;
    // Tests of tick-counting logic give the ticks themselves (OS_SetManualTicksForTests).
    std::atomic<bool> manual_ticks{false};
    std::atomic<std::uint64_t> manual_tick_count{0};
    std::atomic<bool> running{false};
    std::atomic<bool> fault_resumed{false};
    bool sdo_client_started = false;  // the close closes the client's semaphores only after their start

    StackHooks hooks;         // as set by OS_SetStackHooks
    StackHooks active_hooks;  // the copy the running stack uses

    ~Kernel() {
        // A process ending with the stack still open: let every thread end before the
        // members they use go away.
        stop = 1;
        broken = true;
        for (Mailbox& m : mailboxes) {
            if (m.thread && !m.thread->HasStarted()) m.thread->Abandon();
        }
    }
};

Kernel& K() {
    static Kernel k;
    return k;
}

thread_local std::int32_t t_sdo_timeout_ticks = 0;

// Holds a token for a scope; giving it back cannot fail for a holder, so it is not checked.
class TokenHold {
public:
    explicit TokenHold(kernel::Semaphore& token) : token_(token) { OS_WaitToken(token_); }
    ~TokenHold() { token_.Release(); }
    TokenHold(const TokenHold&) = delete;
    TokenHold& operator=(const TokenHold&) = delete;

private:
    kernel::Semaphore& token_;
};

bool InPool(const Kernel& k, const CANBuf* buf) {
    const auto first = reinterpret_cast<std::uintptr_t>(k.buffers.data());
    const auto address = reinterpret_cast<std::uintptr_t>(buf);
    return address >= first && address < first + sizeof(k.buffers) && (address - first) % sizeof(CANBuf) == 0;
}

// Reports an exception caught at the top of a library loop. A fatal error has already shown its
// message and marked the stack broken; anything else marks it broken here, as the loop's work is
// lost and waiting callers must not wait for it.
void ReportLoopException(const char* where, const std::exception* e) {
    K().broken = true;
    if (TraceOn(trace::kExceptions)) {
        TraceLibraryFormat("%s !Exception! %s", where, e != nullptr ? e->what() : "");
    }
}

void TimerTick() {
    Kernel& k = K();
    TokenHold hold(*k.timer_token);
    for (SoftTimer& t : k.timers) {
        const std::uint8_t ticks = t.ticks;
        if (ticks > 1) {
            t.ticks = static_cast<std::uint8_t>(ticks - 1);
        } else if (ticks == 1) {
            t.ticks = 0;
            CANBuf* buf = t.held;
            t.held = nullptr;
            OS_Put(t.mailbox, t.type, t.subtype, buf);
        }
    }
}

std::uint32_t TimerTask() {
    Kernel& k = K();
    while (k.stop == 0) {
        kernel::Sleep(kTick);
        // A broken stack has nobody left to take the messages; posting them would only drain
        // the pool into a second fatal error.
        if (k.broken || k.manual_ticks) continue;
        try {
            TimerTick();
        } catch (const FatalError&) {
            // shown and marked broken by the handler
        } catch (const std::exception& e) {
            ReportLoopException("Timer::TIM_Task", &e);
        } catch (...) {
            ReportLoopException("Timer::TIM_Task", nullptr);
        }
    }
    return 0;
}

// Used when no protocol module is plugged in: keeps the mailbox flowing back into the pool.
void DrainMailbox(std::uint16_t mailbox, std::int16_t timeout_ticks) {
    Kernel& k = K();
    while (k.stop == 0) {
        CANBuf* buf = OS_Get(mailbox, timeout_ticks);
        if (buf != nullptr) {
            POOL_release_CANBuf(buf);
        } else if (k.broken) {
            break;
        }
    }
}

// Runs a thread body; an exception leaving it ends the thread but not the process.
std::uint32_t RunGuarded(const char* where, const std::function<void()>& body) {
    try {
        body();
        return 0;
    } catch (const FatalError&) {
        return 1;
    } catch (const std::exception& e) {
        ReportLoopException(where, &e);
        return 1;
    } catch (...) {
        ReportLoopException(where, nullptr);
        return 1;
    }
}

// Waits up to about 1 s for the calls in flight to end: each of them gives up its waits once it
// sees the stop flag.
bool WaitForCalls(Kernel& k) {
    std::unique_lock lock(k.calls_mutex);
    return k.calls_ended.wait_for(lock, kThreadStopRounds * kThreadStopRound, [&] { return k.calls == 0; });
}

// Waits up to about 1 s for a thread to end. A thread still at its start gate is released
// without running its body, so it ends too.
bool StopThread(Mailbox& m) {
    if (!m.thread) return true;
    if (!m.thread->HasStarted()) m.thread->Abandon();
    for (int round = 0; round < kThreadStopRounds && m.thread->ExitCode() == kernel::kStillActive; ++round) {
        kernel::Sleep(kThreadStopRound);
    }
    if (m.thread->ExitCode() == kernel::kStillActive) return false;
    m.thread.reset();
    m.running = false;
    return true;
}

void FillPool(Kernel& k) {
    std::lock_guard guard(k.lock);
    k.free_list = nullptr;
    k.free_count = 0;
    for (CANBuf& buf : k.buffers) {
        buf = CANBuf{};
        buf.link = k.free_list;
        k.free_list = &buf;
        ++k.free_count;
    }
}

void ClearTimers(Kernel& k) {
    for (SoftTimer& t : k.timers) {
        t.ticks = 0;
        POOL_release_CANBuf(t.held);
        t.held = nullptr;
    }
}

// Gives every buffer still queued in a mailbox or held by a timer back to the pool, so a stopped
// stack has all 2500 buffers free again.
void ReclaimBuffers(Kernel& k) {
    std::lock_guard guard(k.lock);
    for (Mailbox& m : k.mailboxes) {
        while (CANBuf* buf = QUE_GetFIFO(m.queue)) POOL_release_CANBuf(buf);
    }
    ClearTimers(k);
}

struct CloseFailure {
    int line;
    const char* text;
};

// The stack stop, also used to undo a failed start. Returns the first failure that must be
// reported (the objects it concerns are left in place, as a thread that does not end may still
// use them).
std::optional<CloseFailure> Shutdown(Kernel& k, bool adapter_exists, bool sdo_client_started) {
    {
        std::lock_guard guard(k.calls_mutex);
        k.stop = 1;
    }
    // Calls of other threads end before anything they use goes away.
    if (!WaitForCalls(k)) return CloseFailure{241, "OS::close_KLP -> Calls not returned within 1 sec"};

    if (!StopThread(k.mailboxes[kFaultMailbox])) {
        return CloseFailure{244, "OS::close_KLP -> Thread 2 not stopped within 1 sec"};
    }
    if (adapter_exists) USB_Destroy();

    // The timer may not be armed: wake the dispatcher so it sees the stop flag at once.
    OS_WakeDispatcher();
    if (!StopThread(k.mailboxes[kDispatcherMailbox])) {
        return CloseFailure{277, "OS::close_KLP -> Thread 1 not stopped within 1 sec"};
    }
    // Only now nobody can be inside CAN_SendMsg any more.
    if (adapter_exists) USB_CloseSendToken();

    if (!StopThread(k.mailboxes[kTimerMailbox])) {
        return CloseFailure{308, "OS::close_KLP -> Thread 0 not stopped within 1 sec"};
    }

    if (k.active_hooks.free_fault_list) k.active_hooks.free_fault_list();
    if (sdo_client_started && k.active_hooks.close_sdo_client) k.active_hooks.close_sdo_client();

    // The mailbox semaphores go last: until every thread has ended, any of them may still post.
    ReclaimBuffers(k);
    for (Mailbox& m : k.mailboxes) {
        std::lock_guard guard(k.lock);
        m.semaphore.reset();
        m.running = false;
    }
    k.timer_token.reset();
    k.sdo_client_started = false;
    k.running = false;
    k.fault_resumed = false;
    k.broken = false;
    k.stop = 0;
    return std::nullopt;
}

// Which steps of the start have run, so a failure undoes exactly those.
struct StartProgress {
    bool adapter = false;
    bool sdo_client = false;
};

std::unique_ptr<kernel::Thread> NewThread(std::function<std::uint32_t()> body, kernel::Thread::Start start, int line) {
    try {
        return std::make_unique<kernel::Thread>(std::move(body), start);
    } catch (const std::exception&) {
        OS_FatalError(6, line, "OS::init_KLP");
    }
}

Token NewMailboxSemaphore(int line) {
    try {
        return std::make_unique<kernel::Semaphore>(0, static_cast<std::int32_t>(kMailboxMaximum));
    } catch (const std::exception&) {
        OS_FatalError(6, line, "OS::init_KLP");
    }
}

StartResult StartSteps(Kernel& k, StartProgress& progress, std::uint8_t adapter_param) {
    // The adapter object first: without it there is nothing to start.
    if (USB_Create(adapter_param) != StartResult::kStarted) return StartResult::kFailed;
    progress.adapter = true;

    // Empty mailboxes, none served yet.
    {
        std::lock_guard guard(k.lock);
        for (Mailbox& m : k.mailboxes) {
            m.queue = nullptr;
            m.running = false;
        }
    }
    const StackHooks& hooks = k.active_hooks;

    // The timer thread and its mailbox.
    k.mailboxes[kTimerMailbox].thread = NewThread([] { return TimerTask(); }, kernel::Thread::Start::Running, 137);
    k.mailboxes[kTimerMailbox].running = true;
    k.mailboxes[kTimerMailbox].semaphore = NewMailboxSemaphore(143);

    // The dispatcher, held at its gate until the adapter runs.
    std::function<void()> dispatcher = hooks.dispatcher_task;
    if (!dispatcher) dispatcher = [] { DrainMailbox(kDispatcherMailbox, -1); };
    k.mailboxes[kDispatcherMailbox].thread = NewThread(
        [dispatcher] { return RunGuarded("CAN_DISP::CAND_Task", dispatcher); }, kernel::Thread::Start::Suspended, 151);
    k.mailboxes[kDispatcherMailbox].running = true;
    k.mailboxes[kDispatcherMailbox].semaphore = NewMailboxSemaphore(157);

    // The fault thread, resumed only by the channel-conflict check.
    std::function<void()> fault = hooks.fault_task;
    if (!fault) fault = [] { DrainMailbox(kFaultMailbox, kFaultWaitTicks); };
    k.mailboxes[kFaultMailbox].thread =
        NewThread([fault] { return RunGuarded("FAULT::FAULT_Task", fault); }, kernel::Thread::Start::Suspended, 165);
    k.mailboxes[kFaultMailbox].running = true;
    k.mailboxes[kFaultMailbox].semaphore = NewMailboxSemaphore(171);

    // The protocol modules: network management, then the SDO server and client.
    if (hooks.start_nm) hooks.start_nm();
    if (hooks.start_sdo_server) hooks.start_sdo_server();
    progress.sdo_client = true;
    if (hooks.start_sdo_client) hooks.start_sdo_client();

    // No other SDO client seen yet.
    if (hooks.clear_conflict) hooks.clear_conflict();

    // The adapter is initialised before the dispatcher is resumed: it must be sending before the
    // dispatcher runs, or the node's first announcement (already queued by NM) would be dropped.
    if (USB_Init() != StartResult::kStarted) return StartResult::kFailed;
    k.mailboxes[kDispatcherMailbox].thread->Resume();
    return StartResult::kStarted;
}

const char* FatalFormatName(int code) {
    switch (code) {
    case 1:
        return "Generic Queue Error";
    case 2:
        return "Message Queue empty";
    case 3:
        return "Pool buffer error";
    case 4:
        return "Timer Number out of range";
    case 5:
        return "Unexpected event in module NM";
    case 6:
        return "Operating system error";
    case 7:
        return "Missing message buffer in TIM_Start";
    case 8:
        return "Unexpected event in OS protocol stack";
    case 9:
        return "NM protocol fatal error";
    case 10:
        return "Watchdog error";
    case 11:
        return "Common CMM error";
    case 12:
        return "CAN error";
    case 18:
        return "Invalid state";
    default:
        return nullptr;
    }
}

std::string FatalPrefixed(int code, int line, const char* module_text) {
    return "KLP Library Failure: " + OS_FatalText(code, line, module_text);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Fatal errors

std::string OS_FatalText(int code, int line, const char* module_text) {
    const char* text = module_text != nullptr ? module_text : "";
    const char* name = FatalFormatName(code);
    char buffer[512];
    if (name != nullptr) {
        std::snprintf(buffer, sizeof buffer, "%s; line: %d; %s", name, line, text);
    } else {
        std::snprintf(buffer, sizeof buffer, "Application error; code: %d line: %d; %s", code, line, text);
    }
    return buffer;
}

void OS_FatalError(int code, int line, const char* module_text) {
    const std::string full = FatalPrefixed(code, line, module_text);
    K().broken = true;
    kernel::MessageBox(full, "KLP Communication Error", kernel::kMbIconError);
    throw FatalError(full);
}

// ---------------------------------------------------------------------------------------------
// Mailboxes

void OS_Put(std::uint16_t mailbox, std::uint8_t type, std::uint8_t subtype, CANBuf* buf) {
    Kernel& k = K();
    if (mailbox >= kMailboxCount) {
        POOL_release_CANBuf(buf);
        OS_FatalError(6, 385, "OS::OS_Put");
    }
    if (buf == nullptr) {
        buf = POOL_get_CANBuf();
    } else if (buf->link != nullptr) {
        OS_FatalError(6, 391, "OS::OS_Put");
    }
    buf->type = type;
    buf->subtype = subtype;
    kernel::Semaphore* semaphore = nullptr;
    {
        std::lock_guard guard(k.lock);
        semaphore = k.mailboxes[mailbox].semaphore.get();
        if (semaphore != nullptr) QUE_ToFIFO(k.mailboxes[mailbox].queue, buf);
    }
    if (semaphore == nullptr) {
        // Nobody serves this mailbox: the buffer goes back rather than being lost.
        POOL_release_CANBuf(buf);
        OS_FatalError(6, 402, "OS::OS_Put");
    }
    if (!semaphore->Release()) OS_FatalError(6, 402, "OS::OS_Put");
}

namespace {

// The head of a mailbox whose semaphore was just taken.
CANBuf* TakeQueued(Kernel& k, std::uint16_t mailbox) {
    CANBuf* buf = nullptr;
    {
        std::lock_guard guard(k.lock);
        buf = QUE_GetFIFO(k.mailboxes[mailbox].queue);
    }
    // OS_Put queues before it counts, so a unit without a buffer is a broken queue.
    if (buf == nullptr) OS_FatalError(2, 441, "OS::OS_Get");
    return buf;
}

}  // namespace

CANBuf* OS_Get(std::uint16_t mailbox, std::int16_t timeout_ticks) {
    Kernel& k = K();
    if (mailbox >= kMailboxCount) OS_FatalError(6, 441, "OS::OS_Get");
    kernel::Semaphore* semaphore = k.mailboxes[mailbox].semaphore.get();
    if (semaphore == nullptr) OS_FatalError(6, 441, "OS::OS_Get");
    if (k.broken) return nullptr;

    const bool forever = timeout_ticks < 0;
    if (!forever && k.manual_ticks) {
        // Counts the ticks a test gives; the short slices only keep the wait responsive to them.
        // Without ticks at the close, the wait ends at the stop flag so that the close completes.
        const std::uint64_t start = k.manual_tick_count;
        auto expired = [&] { return k.manual_tick_count - start >= static_cast<std::uint64_t>(timeout_ticks); };
        while (semaphore->Wait(expired() ? 0ms : kManualTickPoll) != kernel::WaitResult::Signaled) {
            if (k.broken || k.stop != 0 || expired()) return nullptr;
        }
        return TakeQueued(k, mailbox);
    }
    std::chrono::milliseconds remaining = forever ? 0ms : timeout_ticks * kTick;
    for (;;) {
        const std::chrono::milliseconds slice = forever ? kWaitSlice : std::min(remaining, kWaitSlice);
        if (semaphore->Wait(slice) == kernel::WaitResult::Signaled) break;
        if (k.broken) return nullptr;
        if (!forever) {
            remaining -= slice;
            if (remaining <= 0ms) return nullptr;
        }
    }
    return TakeQueued(k, mailbox);
}

void OS_WakeDispatcher() {
    Kernel& k = K();
    kernel::Semaphore* semaphore = nullptr;
    {
        std::lock_guard guard(k.lock);
        semaphore = k.mailboxes[kDispatcherMailbox].semaphore.get();
        if (semaphore == nullptr || k.free_list == nullptr) return;
        CANBuf* buf = QUE_PopLIFO(k.free_list);
        --k.free_count;
        buf->type = msg::kIgnored;
        buf->subtype = 0;
        buf->rtr = 0;
        buf->dlc = 0;
        QUE_ToFIFO(k.mailboxes[kDispatcherMailbox].queue, buf);
    }
    semaphore->Release();
}

// ---------------------------------------------------------------------------------------------
// Tokens

Token OS_CreateSemaphor(std::uint16_t maximum, std::uint16_t initial) {
    if (maximum == 0 || initial > maximum) OS_FatalError(6, 469, "OS::OS_CreateSemaphor");
    try {
        return std::make_unique<kernel::Semaphore>(initial, maximum);
    } catch (const std::exception&) {
        OS_FatalError(6, 469, "OS::OS_CreateSemaphor");
    }
}

void OS_SendToken(kernel::Semaphore& token) {
    if (!token.Release()) OS_FatalError(6, 489, "OS::OS_SendToken");
}

void OS_WaitToken(kernel::Semaphore& token) {
    for (;;) {
        if (token.Wait(kWaitSlice) == kernel::WaitResult::Signaled) return;
        // The message of the fatal error was shown once already; the waiter just fails.
        if (K().broken) throw FatalError(FatalPrefixed(6, 509, "OS::OS_WaitToken"));
    }
}

bool OS_WaitTokenFor(kernel::Semaphore& token, std::chrono::milliseconds timeout) {
    if (token.Wait(timeout) == kernel::WaitResult::Signaled) return true;
    if (K().broken) throw FatalError(FatalPrefixed(6, 509, "OS::OS_WaitToken"));
    return false;
}

// ---------------------------------------------------------------------------------------------
// Pool and queues

CANBuf* POOL_get_CANBuf() {
    Kernel& k = K();
    CANBuf* buf = nullptr;
    {
        std::lock_guard guard(k.lock);
        buf = QUE_PopLIFO(k.free_list);
        if (buf != nullptr) --k.free_count;
    }
    if (buf == nullptr) OS_FatalError(2, 79, "POOL::POOL_get_CANBuf");
    buf->rtr = 0;
    buf->dlc = 0;
    return buf;
}

void POOL_release_CANBuf(CANBuf* buf) {
    if (buf == nullptr) return;
    Kernel& k = K();
    // A buffer still queued somewhere, or one that is not the pool's, would corrupt the free list.
    if (buf->link != nullptr || !InPool(k, buf)) OS_FatalError(3, 101, "POOL::POOL_release_CANBuf");
    std::lock_guard guard(k.lock);
    QUE_ToLIFO(k.free_list, buf);
    ++k.free_count;
}

int POOL_FreeCount() {
    Kernel& k = K();
    std::lock_guard guard(k.lock);
    return k.free_count;
}

void QUE_ToFIFO(Queue& queue, CANBuf* buf) {
    if (buf == nullptr || buf->link != nullptr) OS_FatalError(1, 95, "QUEUE::QUE_ToFIFO");
    std::lock_guard guard(K().lock);
    if (queue == nullptr) {
        buf->link = buf;
    } else {
        buf->link = queue->link;
        queue->link = buf;
    }
    queue = buf;
}

CANBuf* QUE_GetFIFO(Queue& queue) {
    std::lock_guard guard(K().lock);
    if (queue == nullptr) return nullptr;
    CANBuf* head = queue->link;
    if (head == queue) {
        queue = nullptr;
    } else {
        queue->link = head->link;
    }
    head->link = nullptr;
    return head;
}

void QUE_ToLIFO(List& list, CANBuf* buf) {
    if (buf == nullptr || buf->link != nullptr) OS_FatalError(1, 153, "QUEUE::QUE_ToLIFO");
    std::lock_guard guard(K().lock);
    buf->link = list;
    list = buf;
}

CANBuf* QUE_PopLIFO(List& list) {
    std::lock_guard guard(K().lock);
    CANBuf* head = list;
    if (head == nullptr) return nullptr;
    list = head->link;
    head->link = nullptr;
    return head;
}

// ---------------------------------------------------------------------------------------------
// Timers

void TIM_Start(std::uint8_t timer, std::uint8_t ticks, std::uint16_t mailbox, std::uint8_t type, std::uint8_t subtype,
               CANBuf* buf) {
    Kernel& k = K();
    if (timer >= kTimerCount) OS_FatalError(4, 104, "Timer::TIM_Start");
    if (!k.timer_token) OS_FatalError(18, 104, "Timer::TIM_Start");
    TokenHold hold(*k.timer_token);
    SoftTimer& t = k.timers[timer];
    CANBuf* previous = t.held;
    t.mailbox = mailbox;
    t.type = type;
    t.subtype = subtype;
    t.held = buf;
    t.ticks = ticks == 0 ? 1 : ticks;
    // Re-arming with the buffer the timer already holds must not hand it to the pool.
    if (previous != buf) POOL_release_CANBuf(previous);
}

bool TIM_Stop(std::uint8_t timer) {
    Kernel& k = K();
    if (timer >= kTimerCount) OS_FatalError(4, 132, "Timer::TIM_Stop");
    SoftTimer& t = k.timers[timer];
    if (t.ticks == 0 || !k.timer_token) return false;
    TokenHold hold(*k.timer_token);
    // It may have fired between the look and the token; then its message is already on its way.
    if (t.ticks == 0) return false;
    t.ticks = 0;
    CANBuf* held = t.held;
    t.held = nullptr;
    POOL_release_CANBuf(held);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Per-thread timeout and flags

std::int32_t OS_SdoTimeoutTicks() { return t_sdo_timeout_ticks; }

std::int32_t OS_SetSdoTimeoutMs(std::uint32_t timeout_ms) {
    t_sdo_timeout_ticks = static_cast<std::int32_t>(timeout_ms / 50 + 1);
    return t_sdo_timeout_ticks;
}

void OS_SetManualTicksForTests(bool manual) { K().manual_ticks = manual; }

void OS_TickForTests() {
    Kernel& k = K();
    ++k.manual_tick_count;
    if (k.running && !k.broken && k.timer_token) TimerTick();
}

StackCallScope::StackCallScope() {
    Kernel& k = K();
    std::lock_guard guard(k.calls_mutex);
    entered_ = k.running && k.stop == 0;
    if (entered_) ++k.calls;
}

StackCallScope::~StackCallScope() {
    if (!entered_) return;
    Kernel& k = K();
    {
        std::lock_guard guard(k.calls_mutex);
        --k.calls;
    }
    k.calls_ended.notify_all();
}

bool OS_Stopping() { return K().stop != 0; }
bool OS_Broken() { return K().broken; }
bool OS_Running() { return K().running; }

// ---------------------------------------------------------------------------------------------
// Stack start and stop

void OS_SetStackHooks(StackHooks hooks) { K().hooks = std::move(hooks); }

StartResult init_KLP(std::uint32_t timeout_ms, std::uint8_t adapter_param) {
    Kernel& k = K();
    // A second start over a running stack would pull its objects from under its threads.
    if (k.running) return StartResult::kFailed;
    // The opening thread's SDO timeout and a clean stop flag.
    OS_SetSdoTimeoutMs(timeout_ms);
    k.stop = 0;
    k.broken = false;
    k.fault_resumed = false;
    k.active_hooks = k.hooks;
    // The pool and the timers (the critical section lives with the kernel).
    FillPool(k);
    k.timer_token = OS_CreateSemaphor(1, 1);
    {
        std::lock_guard guard(k.lock);
        for (SoftTimer& t : k.timers) {
            t.ticks = 0;
            t.held = nullptr;
        }
    }

    StartProgress progress;
    StartResult result = StartResult::kFailed;
    try {
        result = StartSteps(k, progress, adapter_param);
    } catch (...) {
        // A start that ends in an exception leaves nothing running either.
        try {
            Shutdown(k, progress.adapter, progress.sdo_client);
        } catch (...) {}
        throw;
    }
    if (result != StartResult::kStarted) {
        // Nothing of a failed start stays behind, so the next start begins from scratch.
        Shutdown(k, progress.adapter, progress.sdo_client);
        return StartResult::kFailed;
    }
    k.sdo_client_started = progress.sdo_client;
    k.running = true;
    return StartResult::kStarted;
}

void close_KLP() {
    Kernel& k = K();
    // Closing a stack that is not open finds nothing to stop.
    if (const auto failure = Shutdown(k, true, k.sdo_client_started)) {
        OS_FatalError(6, failure->line, failure->text);
    }
}

void OS_ResumeFaultThread() {
    Kernel& k = K();
    Mailbox& m = k.mailboxes[kFaultMailbox];
    if (!k.running || !m.thread) return;
    if (!k.fault_resumed.exchange(true)) m.thread->Resume();
}

}  // namespace klp
