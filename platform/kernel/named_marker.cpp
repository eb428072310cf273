// Named markers over abstract-namespace Unix stream sockets.
#include "platform/kernel/named_marker.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace kernel {

namespace {

// A request is one short line; anything longer is cut here so a misbehaving peer cannot make the
// holder buffer without end.
constexpr std::size_t kMaxRequest = 256;
// How long the holder waits for the line of a peer that connected; a second copy writes it
// together with its connect, so this only bounds a peer that never writes.
constexpr int kRequestWaitMs = 50;

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// Fills an abstract address; false when the name does not fit (the caller then reports failure
// rather than use a shortened name that could collide with another marker).
bool MakeAddress(const std::string& name, sockaddr_un& address, socklen_t& length) {
    const std::string text = NamedMarkerAddress(name);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (text.size() + 1 > sizeof address.sun_path) return false;
    std::memcpy(address.sun_path + 1, text.data(), text.size());
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + text.size());
    return true;
}

enum class ConnectResult { Connected, Busy, Absent };

ConnectResult ConnectTo(const std::string& name, Fd& socket_out) {
    sockaddr_un address;
    socklen_t length = 0;
    if (!MakeAddress(name, address, length)) return ConnectResult::Absent;
    Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd.get() < 0) return ConnectResult::Absent;
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        // A full backlog still means somebody listens under that name.
        if (errno == EAGAIN) return ConnectResult::Busy;
        return ConnectResult::Absent;
    }
    socket_out.reset(fd.release());
    return ConnectResult::Connected;
}

std::string ReadLine(int fd) {
    std::string line;
    char buffer[kMaxRequest];
    while (line.size() < kMaxRequest) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, kRequestWaitMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        const ssize_t n = ::recv(fd, buffer, kMaxRequest - line.size(), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        line.append(buffer, static_cast<std::size_t>(n));
        if (line.find('\n') != std::string::npos) break;
    }
    const auto end = line.find('\n');
    if (end != std::string::npos) line.resize(end);
    return line;
}

}  // namespace

std::string NamedMarkerAddress(const std::string& name) {
    const char* scope = std::getenv("QBK_MARKER_SCOPE");
    return "qbk-marker:" + std::to_string(::getuid()) + ":" + (scope != nullptr ? scope : "") + ":" + name;
}

bool NamedMarkerExists(const std::string& name) {
    Fd fd(-1);
    return ConnectTo(name, fd) != ConnectResult::Absent;
}

bool SendNamedMarkerRequest(const std::string& name, const std::string& request) {
    Fd fd(-1);
    if (ConnectTo(name, fd) != ConnectResult::Connected) return false;
    std::string line = request.substr(0, kMaxRequest - 1) + "\n";
    // The line is far below the socket buffer, so one send takes it whole or fails.
    const ssize_t n = ::send(fd.get(), line.data(), line.size(), MSG_NOSIGNAL);
    return n == static_cast<ssize_t>(line.size());
}

std::unique_ptr<NamedMarker> NamedMarker::Create(const std::string& name) {
    sockaddr_un address;
    socklen_t length = 0;
    if (!MakeAddress(name, address, length)) return nullptr;
    Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd.get() < 0) return nullptr;
    // Binding fails with EADDRINUSE while another process holds the name: that is the test.
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), length) != 0) return nullptr;
    if (::listen(fd.get(), 16) != 0) return nullptr;
    return std::unique_ptr<NamedMarker>(new NamedMarker(fd.release(), name));
}

NamedMarker::~NamedMarker() { ::close(fd_); }

std::vector<std::string> NamedMarker::TakeRequests() {
    std::vector<std::string> requests;
    for (;;) {
        const int raw = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (raw < 0) {
            if (errno == EINTR) continue;
            break;  // EAGAIN: nothing more waiting; anything else: try again on the next wake-up
        }
        Fd peer(raw);
        std::string line = ReadLine(peer.get());
        if (!line.empty()) requests.push_back(std::move(line));
    }
    return requests;
}

}  // namespace kernel
