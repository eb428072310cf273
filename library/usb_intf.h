// Adapter access: class TUSBIntf is the only code that touches the USB-CAN adapter, through the
// adapter API library "CANAPI.DLL" loaded by name. The library-level wrappers below are what the
// rest of the stack uses.
//
// Threads: USB_Send and USB_SetupRemoteData run on any thread (the adapter lock is taken inside,
// innermost). The receive thread posts received frames to the dispatcher's mailbox.
// USB_Create, USB_Init, USB_Destroy and USB_CloseSendToken run on the thread that starts or stops
// the stack (init_KLP / close_KLP) only.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <stdexcept>

#include "library/os_layer.h"

namespace kernel {
class Semaphore;
class Event;
class Module;
class Thread;
}  // namespace kernel

namespace klp {

struct CANBuf;

// Stack start, before any thread: creates the send token and the adapter object, resets and opens
// it. Failure shows the error text in a message box and gives kFailed, leaving nothing behind (no
// token, no object, no receive thread).
StartResult USB_Create(std::uint8_t adapter_param);
// Stack start, last, before the dispatcher runs: initialises the adapter; failure gives kFailed
// without a message.
StartResult USB_Init();
// Stack stop, once the fault thread has ended: closes and destroys the adapter object (2.5 s
// pause). From its start on, sends from any thread do nothing, and the dispatcher is woken so that
// it sees the stop flag.
// Exceptions (the receive thread not ending) pass on.
void USB_Destroy();
// Closes the send token. Called once the dispatcher has ended, as it may be inside CAN_SendMsg
// until then.
void USB_CloseSendToken();

// Sends the buffer's frame (the buffer stays the caller's); nothing while not initialised.
void USB_Send(const CANBuf& buf);
// Virtual RTR: remembers the buffer's frame as the pending remote-data answer.
void USB_SetupRemoteData(const CANBuf& buf);

// The send token serialising CAN_SendMsg; valid between USB_Create and USB_CloseSendToken.
kernel::Semaphore& USB_SendToken();

// Internal setting for tests: the pause after freeing the adapter library (2500 ms by default).
// The exports never touch it.
void USB_SetReleasePauseForTests(std::chrono::milliseconds pause);

// ---------------------------------------------------------------------------------------------
// The adapter object. One exists per stack start; the wrappers above own it. Tests may create
// one directly against a recording adapter library.

// Every failure of the adapter carries one of the fixed texts ("USB CAN Adapter: ...").
class AdapterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Result of one receive call.
enum class RxResult { kNone, kFrame };

class TUSBIntf {
public:
    // Loads "CANAPI.DLL" and binds its 14 functions (a missing one stays null and is treated as
    // a failing call). Throws AdapterError("TUSBIntf: loading CANAPI.DLL failed").
    TUSBIntf();
    // Closes and destroys the object where that has not happened yet. Never throws.
    ~TUSBIntf();
    TUSBIntf(const TUSBIntf&) = delete;
    TUSBIntf& operator=(const TUSBIntf&) = delete;

    // Stack-start thread: opens the API, resets the adapter, opens its event and starts the
    // receive thread. Only while not initialised. Throws AdapterError.
    void ResetAndOpen();
    // Stack-start thread: initialises the adapter and sets the transmit time-out; frames flow
    // from then on. Only while not initialised. Throws AdapterError.
    void Initialise();
    // Any thread: transmits the frame, up to 4 calls; a last failure is dropped.
    void Send(const CANBuf& buf);
    // Any thread: stores the pending remote-data answer and, on every second call for 0x7ED,
    // sends the remote frame.
    void SetupRemoteData(const CANBuf& buf);
    // Receive thread (or a test): takes one record from the adapter. kFrame with a standard frame
    // in `out` (COB-ID, DLC, data; remote flag 0); kNone when the adapter has none or is not
    // initialised. Status records and extended frames throw AdapterError with their text.
    RxResult Receive(CANBuf& out);
    // Stack-stop thread: stops the receive thread (throws AdapterError when it does not end
    // within 1 s), stops all adapter traffic, wakes the dispatcher and closes the API.
    void Close();
    // Stack-stop thread, after Close: frees the library, then pauses (see
    // USB_SetReleasePauseForTests). Only the first call acts.
    void Destroy();

    bool Initialised() const { return not_initialised_ == 0; }

private:
    struct Api;
    std::uint32_t ReceiveTask();
    void HandleFrame(const CANBuf& frame);
    bool Transmit(const std::uint32_t record[16]);

    std::atomic<std::uint8_t> receive_state_{0};  // 0 not running, 1 running, 2 stop requested
    std::atomic<std::uint8_t> not_initialised_{1};
    std::atomic<std::uint8_t> rtr_toggle_{0};
    bool api_open_ = false;
    bool closed_ = false;
    bool destroyed_ = false;
    std::unique_ptr<kernel::Module> module_;
    std::unique_ptr<Api> api_;
    std::shared_ptr<kernel::Event> input_event_;
    CANBuf pending_{};  // the remote-data answer; guarded by the adapter lock
    std::unique_ptr<kernel::Thread> receive_thread_;
};

}  // namespace klp
