// Named markers over Unix stream sockets in the user's own marker folder.
#include "platform/kernel/named_marker.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
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

constexpr std::size_t kPathRoom = sizeof(sockaddr_un::sun_path) - 1;
// What stands for a scope and name too long for a socket path: ":" and 16 hex digits.
constexpr std::size_t kDigestFileLength = 17;

// Where the user's marker folder goes: the runtime folder, unless a marker's path would not fit
// there even as a digest; else the temporary folder.
std::string MarkerFolderPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        std::string folder = std::string(runtime) + "/qbk-markers";
        if (folder.size() + 1 + kDigestFileLength <= kPathRoom) return folder;
    }
    const char* temp = std::getenv("TMPDIR");
    return std::string(temp != nullptr && temp[0] == '/' ? temp : "/tmp") + "/qbk-markers-" +
           std::to_string(::getuid());
}

// The user's marker folder, made when missing. Empty when it cannot be had as the user's own
// with no access for anybody else (another user made it first, or it is a link): markers are
// then not available at all rather than reachable by others.
std::string MarkerFolder() {
    const std::string folder = MarkerFolderPath();
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) return {};
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || (info.st_mode & 077) != 0) return {};
    return folder;
}

// Fills a socket address; false when the folder cannot be had or the path does not fit (the
// caller then reports failure rather than use a shortened path that could be another marker's).
bool MakeAddress(const std::string& name, sockaddr_un& address, socklen_t& length) {
    const std::string path = NamedMarkerAddress(name);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() + 1 > sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
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
        // A full backlog still means somebody listens under that name; a socket nobody listens
        // on any more (ECONNREFUSED) is one its holder left behind when it ended.
        if (errno == EAGAIN) return ConnectResult::Busy;
        return ConnectResult::Absent;
    }
    socket_out.reset(fd.release());
    return ConnectResult::Connected;
}

// Holds the marker folder's lock while a marker is taken or given up, so that two copies replacing
// the same left-behind socket at once cannot both believe they hold it.
class FolderLock {
public:
    explicit FolderLock(const std::string& path) {
        const std::string folder = path.substr(0, path.rfind('/'));
        fd_.reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
        if (fd_.get() >= 0) {
            while (::flock(fd_.get(), LOCK_EX) != 0 && errno == EINTR) {}
        }
    }

private:
    Fd fd_{-1};  // closing it gives the lock up
};

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
    const std::string folder = MarkerFolder();
    if (folder.empty()) return {};
    const char* scope = std::getenv("QBK_MARKER_SCOPE");
    std::string file = std::string(scope != nullptr ? scope : "") + ":" + name;
    // One file in the folder, whatever the scope and the name hold.
    std::replace(file.begin(), file.end(), '/', '_');
    std::string path = folder + "/" + file;
    // A socket path has room for little more than 100 bytes: a long scope and name stand in it
    // by a digest of them (64-bit FNV-1a), the same in every process.
    if (path.size() > kPathRoom) {
        std::uint64_t digest = 0xCBF29CE484222325u;
        for (unsigned char c : file) digest = (digest ^ c) * 0x100000001B3u;
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(digest));
        path = folder + "/:" + hex;
    }
    return path;
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
    const std::string path = address.sun_path;
    const FolderLock lock(path);
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        if (errno != EADDRINUSE) return nullptr;
        // The name's socket exists: held by a running copy, or left behind by one that ended.
        if (Fd probe(-1); ConnectTo(name, probe) != ConnectResult::Absent) return nullptr;
        if (::unlink(path.c_str()) != 0) return nullptr;
        if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), length) != 0) return nullptr;
    }
    if (::listen(fd.get(), 16) != 0) {
        ::unlink(path.c_str());
        return nullptr;
    }
    return std::unique_ptr<NamedMarker>(new NamedMarker(fd.release(), name, path));
}

NamedMarker::~NamedMarker() {
    // Only the holder removes a socket somebody listens on, so the file is still this marker's.
    const FolderLock lock(path_);
    ::unlink(path_.c_str());
    ::close(fd_);
}

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
