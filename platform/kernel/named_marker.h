// Named markers: a name that other processes of the same user can see while this process holds
// it, and that vanishes by itself when the process ends in any way (the system closes the
// holder's socket). A marker stands where the program expects a named mutex that is only ever
// tested for existence. The holder can also receive short requests through its marker, which is
// how a second copy of the program asks the first to come to the front.
//
// A marker is a Unix stream socket "<scope>:<name>" in a folder only the user can enter: the
// folder "qbk-markers" of the user's runtime folder (XDG_RUNTIME_DIR) when a socket path fits
// there, else "qbk-markers-<uid>" in the temporary folder (TMPDIR, else /tmp); made with no access
// for anyone else, and used only while it is the user's own and stays so. Other users can neither
// hold nor reach a marker. A holder that ended leaves its socket behind, but nobody listens there
// any more: such a marker counts as absent and the next holder replaces it. A scope and name too
// long for a socket path stand in it by a digest of them. The scope is the environment variable
// QBK_MARKER_SCOPE (empty when unset); tests set it so that they never meet a copy of the program
// a person runs.
//
// Thread use: a NamedMarker is used by one thread at a time; the free functions may be called
// from any thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kernel {

// The socket path of a marker (empty when the user's marker folder cannot be had).
std::string NamedMarkerAddress(const std::string& name);

// True when some process of this user holds the marker `name` (this one included).
bool NamedMarkerExists(const std::string& name);

// Sends one request line to the holder of `name`. False when nobody holds it or it cannot take
// the request now. Never blocks for long: the holder reads requests from its own event loop.
bool SendNamedMarkerRequest(const std::string& name, const std::string& request);

class NamedMarker {
public:
    // Takes the marker. Null when the name is held already (by any process of this user), or the
    // folder or the socket cannot be made.
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
    NamedMarker(int fd, std::string name, std::string path) : fd_(fd), name_(std::move(name)), path_(std::move(path)) {}
    int fd_;
    std::string name_;
    std::string path_;
};

}  // namespace kernel
