// The loopback virtual bus over Unix datagram sockets.
#include "platform/canapi/vbus.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace canapi {

namespace {

// Wire form of a frame, 16 bytes: magic, version, flags (bit 0 remote, bit 1 extended), DLC,
// id (32-bit little-endian), 8 data bytes. The magic and version let a receiver drop stray datagrams.
constexpr std::uint8_t kMagic = 0x51;
constexpr std::uint8_t kVersion = 1;
constexpr std::size_t kWireSize = 16;
constexpr std::uint8_t kFlagRemote = 0x01;
constexpr std::uint8_t kFlagExtended = 0x02;

// How long a send waits for a peer whose queue is full before skipping it. The receive threads of
// live participants drain their sockets at once, but on a loaded machine a live one can be kept
// off the processor for a good part of a second: the wait is long enough that only a stuck reader
// loses frames (and it is waited for once, not once per frame).
constexpr auto kStallTimeout = std::chrono::milliseconds(2000);
constexpr auto kRescanInterval = std::chrono::milliseconds(100);

std::atomic<unsigned> g_participant_counter{0};

std::array<std::uint8_t, kWireSize> Encode(const Frame& f) {
    std::array<std::uint8_t, kWireSize> w{};
    w[0] = kMagic;
    w[1] = kVersion;
    w[2] = static_cast<std::uint8_t>((f.rtr ? kFlagRemote : 0) | (f.extended ? kFlagExtended : 0));
    w[3] = f.dlc;
    for (int i = 0; i < 4; ++i) w[4 + i] = static_cast<std::uint8_t>(f.id >> (8 * i));
    for (int i = 0; i < 8; ++i) w[8 + i] = f.rtr ? 0 : f.data[i];
    return w;
}

bool Decode(const std::uint8_t* w, std::size_t size, Frame& f) {
    if (size != kWireSize || w[0] != kMagic || w[1] != kVersion) return false;
    Frame out;
    out.rtr = (w[2] & kFlagRemote) != 0;
    out.extended = (w[2] & kFlagExtended) != 0;
    out.dlc = w[3];
    for (int i = 0; i < 4; ++i) out.id |= static_cast<std::uint32_t>(w[4 + i]) << (8 * i);
    if (!out.rtr) {
        for (int i = 0; i < 8; ++i) out.data[i] = w[8 + i];
    }
    if (!IsValidFrame(out)) return false;
    f = out;
    return true;
}

bool ValidBusName(const std::string& name) {
    if (name.empty() || name.size() > 64 || name == "." || name == "..") return false;
    for (unsigned char c : name) {
        if (!(std::isalnum(c) || c == '.' || c == '_' || c == '-')) return false;
    }
    return true;
}

std::string RuntimeRoot() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime == '/') return std::string(runtime) + "/qbk-vbus";
    // /tmp is shared by all users: a folder per user keeps buses and permissions apart.
    return "/tmp/qbk-vbus-" + std::to_string(getuid());
}

bool MakeFolder(const std::string& path, std::string& error) {
    if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) {
        struct stat st {};
        if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
        error = path + " is not a folder";
        return false;
    }
    error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
}

bool MakeAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

bool IsValidFrame(const Frame& frame) {
    return frame.dlc <= 8 && frame.id <= (frame.extended ? kMaxExtendedId : kMaxStandardId);
}

struct VirtualBus::Peer {
    std::string file;  // name inside the folder
    sockaddr_un address{};
    bool stalled = false;  // its last send timed out: try without waiting until it reads again
};

std::string VirtualBus::Folder(const std::string& name) { return RuntimeRoot() + "/" + name; }

JoinResult VirtualBus::Join(const std::string& name) {
    JoinResult result;
    if (!ValidBusName(name)) {
        result.error = "invalid bus name \"" + name + "\" (letters, digits, '.', '_', '-')";
        return result;
    }
    const std::string folder = Folder(name);
    if (!MakeFolder(RuntimeRoot(), result.error) || !MakeFolder(folder, result.error)) return result;

    UniqueFd folder_fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder_fd.Valid()) {
        result.error = "cannot open " + folder + ": " + std::strerror(errno);
        return result;
    }
    UniqueFd socket_fd(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!socket_fd.Valid()) {
        result.error = std::string("cannot create a socket: ") + std::strerror(errno);
        return result;
    }
    // The pid and counter keep names readable; the random part keeps them apart when several
    // copies of this code live in one process (the adapter library and a tool each have one).
    std::random_device random;
    std::string path;
    for (int attempt = 0;; ++attempt) {
        char suffix[9];
        std::snprintf(suffix, sizeof(suffix), "%08x", static_cast<unsigned>(random()));
        path = folder + "/" + std::to_string(getpid()) + "-" + std::to_string(g_participant_counter.fetch_add(1)) +
               "-" + suffix;
        sockaddr_un address{};
        if (!MakeAddress(path, address)) {
            result.error = "socket path too long: " + path;
            return result;
        }
        if (bind(socket_fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) break;
        if (errno != EADDRINUSE || attempt == 8) {
            result.error = "cannot bind " + path + ": " + std::strerror(errno);
            return result;
        }
    }
    timeval stall{};
    const auto stall_us = std::chrono::duration_cast<std::chrono::microseconds>(kStallTimeout).count();
    stall.tv_sec = static_cast<time_t>(stall_us / 1000000);
    stall.tv_usec = static_cast<suseconds_t>(stall_us % 1000000);
    setsockopt(socket_fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &stall, sizeof(stall));
    int buffer_bytes = 1 << 20;  // room for many small datagrams in flight
    setsockopt(socket_fd.Get(), SOL_SOCKET, SO_SNDBUF, &buffer_bytes, sizeof(buffer_bytes));
    setsockopt(socket_fd.Get(), SOL_SOCKET, SO_RCVBUF, &buffer_bytes, sizeof(buffer_bytes));

    result.bus.reset(new VirtualBus(name, folder, path, std::move(socket_fd), std::move(folder_fd)));
    return result;
}

VirtualBus::VirtualBus(std::string name, std::string folder, std::string own_path, UniqueFd socket, UniqueFd folder_fd)
    : name_(std::move(name)),
      folder_(std::move(folder)),
      own_path_(std::move(own_path)),
      socket_(std::move(socket)),
      folder_fd_(std::move(folder_fd)) {}

VirtualBus::~VirtualBus() { unlink(own_path_.c_str()); }

bool VirtualBus::FolderChangedLocked() {
    struct stat st {};
    if (fstat(folder_fd_.Get(), &st) != 0) return true;
    const std::int64_t stamp = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    return stamp != folder_stamp_;
}

void VirtualBus::RescanLocked() {
    struct stat st {};
    // Taken before reading the folder, so a participant joining during the read shows as a change.
    if (fstat(folder_fd_.Get(), &st) == 0) {
        folder_stamp_ = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    }
    last_scan_ = std::chrono::steady_clock::now();
    rescan_ = false;

    const std::string own_file = own_path_.substr(folder_.size() + 1);
    std::vector<Peer> found;
    if (DIR* dir = opendir(folder_.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string file = entry->d_name;
            if (file == "." || file == ".." || file == own_file) continue;
            if (entry->d_type != DT_SOCK) {
                struct stat entry_stat {};
                if (entry->d_type != DT_UNKNOWN || lstat((folder_ + "/" + file).c_str(), &entry_stat) != 0 ||
                    !S_ISSOCK(entry_stat.st_mode)) {
                    continue;
                }
            }
            Peer peer;
            peer.file = file;
            if (!MakeAddress(folder_ + "/" + file, peer.address)) continue;
            for (const Peer& old : peers_) {
                if (old.file == file) peer.stalled = old.stalled;
            }
            found.push_back(std::move(peer));
        }
        closedir(dir);
    }
    peers_ = std::move(found);
}

SendResult VirtualBus::Send(const Frame& frame) {
    SendResult result;
    if (!IsValidFrame(frame)) {
        result.status = SendResult::Status::InvalidFrame;
        return result;
    }
    const auto wire = Encode(frame);

    std::lock_guard lock(send_mutex_);
    if (rescan_ || std::chrono::steady_clock::now() - last_scan_ >= kRescanInterval || FolderChangedLocked()) {
        RescanLocked();
    }
    bool failed = false;
    for (auto it = peers_.begin(); it != peers_.end();) {
        const int flags = MSG_NOSIGNAL | (it->stalled ? MSG_DONTWAIT : 0);
        ssize_t sent;
        do {
            sent = sendto(socket_.Get(), wire.data(), wire.size(), flags,
                          reinterpret_cast<const sockaddr*>(&it->address), sizeof(it->address));
        } while (sent < 0 && errno == EINTR);
        if (sent == static_cast<ssize_t>(wire.size())) {
            it->stalled = false;
            ++result.delivered;
            ++it;
            continue;
        }
        const int error = sent < 0 ? errno : EMSGSIZE;
        if (error == EAGAIN || error == EWOULDBLOCK) {
            it->stalled = true;
            ++result.dropped;
            ++it;
            continue;
        }
        // Nobody is bound to the file any more: its owner died without leaving. Remove it so that
        // nobody tries it again.
        if (error == ECONNREFUSED) unlink(it->address.sun_path);
        if (error != ECONNREFUSED && error != ENOENT) failed = true;
        it = peers_.erase(it);
        rescan_ = true;
    }
    if (failed && result.delivered == 0 && result.dropped == 0) result.status = SendResult::Status::Failed;
    return result;
}

ReceiveResult VirtualBus::Receive(Frame& frame, std::chrono::milliseconds timeout) {
    const bool forever = timeout < std::chrono::milliseconds::zero();
    const auto deadline = std::chrono::steady_clock::now() + (forever ? std::chrono::milliseconds::zero() : timeout);
    for (;;) {
        int wait_ms = -1;
        if (!forever) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            wait_ms = left.count() > 0 ? static_cast<int>(left.count()) : 0;
        }
        pollfd pfd{socket_.Get(), POLLIN, 0};
        const int ready = poll(&pfd, 1, wait_ms);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return ReceiveResult::Error;
        }
        if (ready == 0) return ReceiveResult::Timeout;
        std::uint8_t buffer[64];
        const ssize_t size = recv(socket_.Get(), buffer, sizeof(buffer), MSG_DONTWAIT);
        if (size < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
            return ReceiveResult::Error;
        }
        // A datagram that is not a well-formed frame is ignored; the wait goes on.
        if (Decode(buffer, static_cast<std::size_t>(size), frame)) return ReceiveResult::Frame;
    }
}

std::size_t VirtualBus::Peers() {
    std::lock_guard lock(send_mutex_);
    RescanLocked();
    return peers_.size();
}

}  // namespace canapi
