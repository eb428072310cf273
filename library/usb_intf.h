// Adapter access: class TUSBIntf is the only code that touches the USB-CAN adapter, through the
// adapter API library "CANAPI.DLL" loaded by name. The library-level wrappers below are what the
// rest of the stack uses.
//
// Threads: USB_Send and USB_SetupRemoteData run on any thread (the adapter lock is taken inside,
// innermost). The receive thread posts received frames to the dispatcher's mailbox.
#pragma once

#include <chrono>
#include <cstdint>

namespace kernel { class Semaphore; }

namespace klp {

struct CANBuf;

// Stack start step 5: creates the send token and the adapter object, resets and opens it.
// Failure shows the error text in a message box and gives 1; else 0.
std::uint8_t USB_Create(std::uint8_t adapter_param);
// Stack start step 15: initialises the adapter; failure gives 1 without a message.
std::uint8_t USB_Init();
// Stack stop step 3: closes and destroys the adapter object (2.5 s pause), closes the send token.
void USB_Destroy();

// Sends the buffer's frame (the buffer stays the caller's); nothing while not initialised.
void USB_Send(const CANBuf& buf);
// Virtual RTR: remembers the buffer's frame as the pending remote-data answer.
void USB_SetupRemoteData(const CANBuf& buf);

// The send token serialising CAN_SendMsg; valid between USB_Create and USB_Destroy.
kernel::Semaphore& USB_SendToken();

// Internal setting for tests: the pause after freeing the adapter library (2500 ms by default).
// The exports never touch it.
void USB_SetReleasePauseForTests(std::chrono::milliseconds pause);

}  // namespace klp
