// Named markers: a name that other processes of the same user can see while this process holds
// it, and that vanishes by itself when the process ends in any way (the system closes the
// holder's socket). A marker stands where the program expects a named mutex that is only ever
// tested for existence. The holder can also receive short requests through its marker, which is
// how a second copy of the program asks the first to come to the front.
//
// A marker is an abstract-namespace Unix stream socket bound to "qbk-marker:<uid>:<scope>:<name>",
// so nothing is left on disk. The scope is the environment variable QBK_MARKER_SCOPE (empty when
// unset); tests set it so that they never meet a copy of the program a person runs.
//
// Thread use: a NamedMarker is used by one thread at a time; the free functions may be called
// from any thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kernel {

// The socket address name of a marker (without the leading zero byte of the abstract namespace).
std::string NamedMarkerAddress(const std::string& name);

// True when some process holds the marker `name` (this one included).
bool NamedMarkerExists(const std::string& name);

// Sends one request line to the holder of `name`. False when nobody holds it or it cannot take
// the request now. Never blocks for long: the holder reads requests from its own event loop.
bool SendNamedMarkerRequest(const std::string& name, const std::string& request);

class NamedMarker {
public:
    // Takes the marker. Null when the name is held already (by any process) or the socket cannot
    // be made.
    static std::unique_ptr<NamedMarker> Create(const std::string& name);
    ~NamedMarker();
    NamedMarker(const NamedMarker&) = delete;
    NamedMarker& operator=(const NamedMarker&) = delete;

    const std::string& Name() const { return name_; }
    // The listening descriptor: readable when a request (or an existence probe) is waiting. For
    // an event loop's notifier only; the marker keeps ownership.
    int Handle() const { return fd_; }
    // Accepts every waiting connection and returns the non-empty request lines read from them, in
    // arrival order. Never blocks: a peer that has not written its line at once is dropped.
    std::vector<std::string> TakeRequests();

private:
    NamedMarker(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
    int fd_;
    std::string name_;
};

}  // namespace kernel
