// The loopback virtual bus: every participant, in any process of this user, receives every frame
// the others send, never its own. Nothing leaves the machine.
//
// A bus is a folder <runtime dir>/qbk-vbus/<name>/ ($XDG_RUNTIME_DIR, else /tmp/qbk-vbus-<uid>/<name>/)
// holding one Unix datagram socket file per participant, named "<pid>-<counter>-<random>". Sending writes
// the frame to every other socket file of the folder; a file whose owner died is removed on the
// first failed send. The list of peers is cached and read again when the folder changes, at
// least every 100 ms, and after a send error.
//
// Threads: Send may be called from several threads at once; Receive from one thread at a time,
// concurrently with Send.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/canapi/unique_fd.h"

namespace canapi {

// One CAN frame. A standard frame has an 11-bit id, an extended frame a 29-bit id. A remote
// frame carries a DLC but no data.
struct Frame {
    std::uint32_t id = 0;
    bool rtr = false;
    bool extended = false;
    std::uint8_t dlc = 0;
    std::array<std::uint8_t, 8> data{};

    bool operator==(const Frame&) const = default;
};

inline constexpr std::uint32_t kMaxStandardId = 0x7FF;
inline constexpr std::uint32_t kMaxExtendedId = 0x1FFFFFFF;

// A frame the bus can carry: id within its range, DLC 0..8.
bool IsValidFrame(const Frame& frame);

class VirtualBus;

struct JoinResult {
    std::unique_ptr<VirtualBus> bus;  // null on failure
    std::string error;                // why it failed
};

struct SendResult {
    enum class Status { Sent, InvalidFrame, Failed };
    Status status = Status::Sent;
    std::size_t delivered = 0;  // peers that took the frame
    std::size_t dropped = 0;    // live peers that could not take it (their queue stayed full)
};

enum class ReceiveResult { Frame, Timeout, Error };

class VirtualBus {
public:
    // Joins the bus `name` (letters, digits, '.', '_', '-'; not "." or ".."), creating its folder.
    static JoinResult Join(const std::string& name);
    // The folder of bus `name` (it may not exist yet).
    static std::string Folder(const std::string& name);

    ~VirtualBus();  // leaves the bus: closes the socket and removes its file
    VirtualBus(const VirtualBus&) = delete;
    VirtualBus& operator=(const VirtualBus&) = delete;

    // Writes the frame to every other participant. A peer whose queue stays full for a while is
    // skipped (counted in `dropped`) until it reads again, so one stuck reader cannot stall the bus.
    SendResult Send(const Frame& frame);
    // Waits up to `timeout` (negative: for ever) for a frame from another participant.
    ReceiveResult Receive(Frame& frame, std::chrono::milliseconds timeout);

    // Reads the folder now and returns the number of other participants.
    std::size_t Peers();
    const std::string& Name() const { return name_; }
    const std::string& SocketPath() const { return own_path_; }

private:
    struct Peer;
    VirtualBus(std::string name, std::string folder, std::string own_path, UniqueFd socket, UniqueFd folder_fd);
    void RescanLocked();
    bool FolderChangedLocked();

    const std::string name_;
    const std::string folder_;
    const std::string own_path_;
    const UniqueFd socket_;
    const UniqueFd folder_fd_;  // kept open to notice new participants cheaply (its change time)

    std::mutex send_mutex_;
    std::vector<Peer> peers_;
    std::chrono::steady_clock::time_point last_scan_{};
    std::int64_t folder_stamp_ = -1;
    bool rescan_ = true;
};

}  // namespace canapi
