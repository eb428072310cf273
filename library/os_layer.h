// The library's small real-time kernel: stack start and stop, three mailboxes served by three
// threads, one pool of 2500 message buffers, intrusive FIFO/LIFO queues, tokens (semaphores of
// one), three one-shot software timers counted in 50 ms ticks, and the fatal error handler.
//
// Threads: OS_Put, OS_Get, the pool, the queues and the timers may be called from any library
// thread or caller thread; they take the OS critical section inside (a leaf lock). init_KLP and
// close_KLP run on the caller's thread and must not overlap.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace kernel {
class Semaphore;
}

namespace klp {

// ---------------------------------------------------------------------------------------------
// Message buffers

// Message types carried by a buffer.
namespace msg {
inline constexpr std::uint8_t kCan = 0;        // subtype: kReceived, kSend, kFault
inline constexpr std::uint8_t kNm = 1;         // subtype: NM event number
inline constexpr std::uint8_t kSdoClient = 4;  // subtype: kFrame, kTick
inline constexpr std::uint8_t kSdoServer = 5;  // subtype: kFrame, kTick
inline constexpr std::uint8_t kIgnored = 7;    // wakes the dispatcher, no action

inline constexpr std::uint8_t kReceived = 0;
inline constexpr std::uint8_t kSend = 1;
inline constexpr std::uint8_t kFault = 2;
inline constexpr std::uint8_t kFrame = 0;
inline constexpr std::uint8_t kTick = 1;
}  // namespace msg

// The unit of all traffic inside the library. The pool owns every buffer; a user holds one
// between POOL_get_CANBuf (or OS_Get) and handing it on or releasing it.
struct CANBuf {
    CANBuf* link = nullptr;  // next buffer while queued; null while held by a user
    std::uint8_t type = 0;
    std::uint8_t subtype = 0;
    std::uint16_t cob_id = 0;
    std::uint8_t rtr = 0;  // 1 = remote frame
    std::uint8_t dlc = 0;  // 0..8
    std::uint8_t data[8] = {};
};

inline constexpr int kPoolSize = 2500;

// Mailboxes: 0 the timer thread's (nothing posts to it), 1 the dispatcher's, 2 the fault thread's.
inline constexpr std::uint16_t kTimerMailbox = 0;
inline constexpr std::uint16_t kDispatcherMailbox = 1;
inline constexpr std::uint16_t kFaultMailbox = 2;

// Software timers and their users.
inline constexpr std::uint8_t kNmTimer = 0;
inline constexpr std::uint8_t kSdoServerTimer = 1;
inline constexpr std::uint8_t kSdoClientTimer = 2;

inline constexpr std::chrono::milliseconds kTick{50};

// A queue is a pointer to the TAIL of a circular singly linked list (null = empty);
// a list (the LIFO free list) is a pointer to its head.
using Queue = CANBuf*;
using List = CANBuf*;

// ---------------------------------------------------------------------------------------------
// Operations (names as the module traces and error texts use them)

// Takes a fresh buffer when `buf` is null; sets type and subtype; appends to the mailbox;
// releases the mailbox semaphore once. A buffer whose link is not null is a fatal error.
void OS_Put(std::uint16_t mailbox, std::uint8_t type, std::uint8_t subtype, CANBuf* buf);
// Waits up to timeout_ticks * 50 ms (-1 = for ever); null on time-out, else the queue's head.
// Fails (returns null) once the stack is broken, so no caller blocks for ever after a fatal error.
// Called by the thread that serves the mailbox only.
CANBuf* OS_Get(std::uint16_t mailbox, std::int16_t timeout_ticks);
// Any thread: posts an ignored message (type 7) to mailbox 1 so that the dispatcher wakes and
// looks at the stop flag. Does nothing when mailbox 1 is not served or the pool is empty; never
// raises.
void OS_WakeDispatcher();

// A token is a semaphore with a maximum; closing it is destroying it.
using Token = std::unique_ptr<kernel::Semaphore>;
Token OS_CreateSemaphor(std::uint16_t maximum, std::uint16_t initial);
void OS_SendToken(kernel::Semaphore& token);
// Waits without time limit; once the stack is broken a waiter that does not get the token within
// 50 ms throws FatalError (without a second message box) instead of blocking for ever.
void OS_WaitToken(kernel::Semaphore& token);
// Waits up to `timeout` for the token: true when taken. Throws as OS_WaitToken once the stack is
// broken.
bool OS_WaitTokenFor(kernel::Semaphore& token, std::chrono::milliseconds timeout);

// Pops a free buffer (remote flag and DLC cleared, the rest keeps its old contents). An empty pool
// raises the kernel's fatal error code 2 ("Message Queue empty"; line 79 in its text). The pool is
// filled by init_KLP.
CANBuf* POOL_get_CANBuf();
// Null is ignored. A buffer still linked, or not one of the pool's, raises fatal error code 3
// ("Pool buffer error"; line 101 in its text).
void POOL_release_CANBuf(CANBuf* buf);
int POOL_FreeCount();  // buffers now on the free list (for checks and tests)

void QUE_ToFIFO(Queue& queue, CANBuf* buf);
CANBuf* QUE_GetFIFO(Queue& queue);  // null when empty
void QUE_ToLIFO(List& list, CANBuf* buf);
CANBuf* QUE_PopLIFO(List& list);  // null when empty

// Any thread, under the timer token: (re)arms a one-shot timer (0 ticks counts as 1); a buffer the
// timer still holds goes back to the pool; `buf` (or a fresh one, when null) is posted on expiry.
void TIM_Start(std::uint8_t timer, std::uint8_t ticks, std::uint16_t mailbox, std::uint8_t type, std::uint8_t subtype,
               CANBuf* buf);
// False when the timer is not running (or fired meanwhile); else stops it, releases its buffer,
// true.
bool TIM_Stop(std::uint8_t timer);

// The calling thread's SDO timeout in ticks (0 until set).
std::int32_t OS_SdoTimeoutTicks();
// Sets the calling thread's SDO timeout to (ms / 50) + 1 ticks and returns that count.
std::int32_t OS_SetSdoTimeoutMs(std::uint32_t timeout_ms);

// Tests of logic that counts ticks: while manual, the timer thread gives no ticks and timed
// mailbox waits count only the ticks of OS_TickForTests, so such a test does not depend on how
// fast the machine is. OS_TickForTests (any thread, stack running) counts every running timer
// down by one, as one pass of the timer thread does. Off by default.
void OS_SetManualTicksForTests(bool manual);
void OS_TickForTests();

// The stop flag: non-zero from the start of close_KLP; library loops end when they see it.
bool OS_Stopping();
// True after a fatal error until the stack is closed.
bool OS_Broken();

// ---------------------------------------------------------------------------------------------
// Fatal errors

// Carries the full text "KLP Library Failure: ...".
class FatalError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Formats the code's text, shows it in the message box "KLP Communication Error" and throws
// FatalError with the same text. Marks the stack broken.
[[noreturn]] void OS_FatalError(int code, int line, const char* module_text);
// The text without the "KLP Library Failure: " prefix, from the code table.
std::string OS_FatalText(int code, int line, const char* module_text);

// ---------------------------------------------------------------------------------------------
// Stack start and stop

// The protocol modules plug into the stack start through these hooks, so the kernel does not
// depend on them. Every hook may be empty.
struct StackHooks {
    std::function<void()> dispatcher_task;  // body of CAND_Task (mailbox 1); runs until OS_Stopping
    std::function<void()> fault_task;       // body of the fault thread (mailbox 2)
    // In the order the start calls them, after the three threads exist and before the adapter is
    // initialised:
    std::function<void()> start_nm;          // own id 255, NM state 2, the first announcement queued
    std::function<void()> start_sdo_server;  // channels initialised, timer 1 started
    std::function<void()> start_sdo_client;  // 32 node records, timer 2 started
    std::function<void()> clear_conflict;    // no other SDO client seen yet
    // In the order the close calls them, once every library thread has ended:
    std::function<void()> free_fault_list;
    std::function<void()> close_sdo_client;  // the node records' semaphores
};
void OS_SetStackHooks(StackHooks hooks);

// Result of starting the stack or one of its parts.
enum class StartResult : std::uint8_t { kStarted, kFailed };

// Caller's thread. Starts the stack; kFailed leaves nothing behind (everything built so far is torn
// down again; a start over a running stack is refused). A fatal error during the start passes on as
// FatalError, also after tearing down. The dispatcher is resumed only after the adapter runs.
// close_KLP: caller's thread; stops every thread, destroys the adapter (2.5 s pause) and gives
// every buffer back to the pool. A thread that does not end within 1 s raises fatal error code 6
// ("Operating system error").
StartResult init_KLP(std::uint32_t timeout_ms, std::uint8_t adapter_param);
void close_KLP();
bool OS_Running();  // between a successful init_KLP and close_KLP

// Caller threads: an export that uses the running stack's objects (the send token, the mailboxes,
// the node records, the threads) holds a scope for as long as it does. A scope opened while the
// stack is not running, or once its close has begun, is refused (false) and the export does
// nothing. close_KLP sets the stop flag and then waits up to about 1 s for the scopes held to end
// (every wait inside them gives up at the stop flag) before it frees anything; when they do not
// end it raises fatal error code 6 ("OS::close_KLP -> Calls not returned within 1 sec") and frees
// nothing.
class StackCallScope {
public:
    StackCallScope();
    ~StackCallScope();
    StackCallScope(const StackCallScope&) = delete;
    StackCallScope& operator=(const StackCallScope&) = delete;
    explicit operator bool() const { return entered_; }

private:
    bool entered_ = false;
};

// Any thread: resumes the fault thread (first call while running only).
void OS_ResumeFaultThread();

}  // namespace klp
