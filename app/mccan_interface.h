// The album editor's device link: loads the USB-CAN interface library for one transfer, binds its
// functions and turns them into object-dictionary operations on the display nodes of the bus.
// Every operation blocks the calling (user-interface) thread; the library itself is called on the
// link's own call thread meanwhile, so that the calling thread can keep its windows painted.
//
// A failure the library raises (its fatal error) reaches the caller as ui::Exception with the
// library's text, as every other failure of the link does.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "app/library_call_thread.h"
#include "app/mccan_text.h"

#include "library/library_records.h"
#include "platform/kernel/module.h"
#include "platform/ui/core/exceptions.h"

namespace app {

// A timeout of an identity or version read; every other link failure is a plain ui::Exception.
class ECommunicationError : public ui::Exception {
public:
    using ui::Exception::Exception;
};

// Room the callers give getDeviceIDs: sixteen nodes and one spare entry.
using NodeArray = std::array<std::uint16_t, 17>;

class TMCCANInterface {
public:
    // Every fixed wait of the link (and of the transfers that use it) goes through here, so that
    // the waits can be counted or skipped by tests and measurements.
    using Sleeper = std::function<void(std::chrono::milliseconds)>;
    // How the calling thread waits while a library call runs (see LibraryCallThread); empty:
    // it just blocks.
    using Waiter = LibraryCallThread::Waiter;

    explicit TMCCANInterface(Sleeper sleep = {}, Waiter wait = {});
    // A link still open at the end (a transfer that never reached its Close) is closed here so
    // that no stack threads outlive the window.
    ~TMCCANInterface();
    TMCCANInterface(const TMCCANInterface&) = delete;
    TMCCANInterface& operator=(const TMCCANInterface&) = delete;

    // Loads, binds and opens the library; raises ui::Exception on every failure and then leaves
    // nothing open or loaded.
    void Open();
    // Closes the stack and unloads the library; nothing happens when none is loaded. A failure
    // of the library's close (it raises its fatal error when a stack thread does not stop) raises
    // ui::Exception with the library's text and leaves the library loaded, as that thread may
    // still run its code; the next Close (or Open) closes it again.
    void Close();
    // Close for destructors and cleanup paths: never raises. A library that still cannot be
    // closed in the destructor stays in the process until it ends.
    void CloseQuietly() noexcept;
    bool IsLoaded() const { return module_ != nullptr; }

    // Fills ids/profiles with the present nodes 1..16 whose profile is not 15; returns their count.
    std::uint8_t getDeviceIDs(NodeArray& ids, NodeArray& profiles);

    std::uint32_t ReadNodeMask();
    std::uint16_t ReadDeviceProfile(std::uint8_t node);
    std::uint16_t ReadHardwareVersion(std::uint8_t node);
    std::uint16_t ReadProfileVersion(std::uint8_t node);
    std::uint16_t ReadSoftwareVersion(std::uint8_t node);

    bool IsIdle();
    void SetIdle();

    void UnlockSoftwareUpdate(std::uint8_t node);
    void DownloadSoftware(std::uint8_t node, const std::uint8_t* data, std::int32_t length);

    std::uint16_t ReadSectionCount(std::uint8_t node);
    std::uint16_t ReadSectionInfo(std::uint8_t node, std::uint8_t k);
    std::uint32_t ReadSectionSize(std::uint8_t node, std::uint8_t k);
    // Reads section k into `destination` (which must hold `size` bytes). A reply of another
    // length than the size the node announced is a malformed section.
    void ReadSectionData(std::uint8_t node, std::uint8_t k, std::uint8_t* destination, std::int32_t size);
    // Reads every section of `type` into `destination`, the last one winning; returns the last
    // match's size, 0 when none matched. A section larger than `destination` is refused.
    std::uint32_t ReadSectionByType(std::uint16_t node, std::uint16_t type, std::uint8_t& value,
                                    std::span<std::uint8_t> destination);

    // One fixed wait.
    void Wait(std::chrono::milliseconds duration);

private:
    struct Entries;

    bool Read(std::uint16_t index, std::uint8_t sub, std::uint8_t node, std::uint8_t attempts, std::int32_t length,
              std::uint32_t& value);
    std::uint16_t Read16(std::uint16_t index, std::uint8_t sub, std::uint8_t node, std::uint8_t attempts,
                         const char* error, bool communication);
    bool IsIdleState(std::uint8_t first);
    void Unload();
    // Runs one library call on the call thread; what the library raises comes back as
    // ui::Exception with its text (`textless_failure` when it has none).
    template <typename Call>
    auto Library(Call&& call, const char* textless_failure = text::kLibraryFailed);
    // Sets the SDO timeout of the library's calling thread, for TimeoutScope.
    std::function<void(std::uint32_t timeout_ms)> SetTimeout();

    Sleeper sleep_;
    Waiter wait_;
    std::unique_ptr<LibraryCallThread> calls_;  // from Open until the library is unloaded
    std::unique_ptr<kernel::Module> module_;
    std::unique_ptr<Entries> entries_;
    bool opened_ = false;
};

}  // namespace app
