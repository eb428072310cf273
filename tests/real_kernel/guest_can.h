// The guest's CAN interfaces (tools/guest_kernel), as the real-kernel tests and the transfer
// benchmark set them up: can0 for the interface library, as a user's adapter, and can1 for
// qbk-devsim, two emulated controllers on one emulated bus at 250 kbit/s. The guest's iproute2
// tools are at /sbin. Only for use inside the guest.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace guest {

inline constexpr const char* kLibraryChannel = "socketcan:can0";
inline constexpr const char* kDeviceBus = "socketcan:can1";
// The modelled bus's rate: a token bucket counts each frame as its 16 bytes in the kernel, 128
// bits, about what a frame of eight data bytes takes on the wire.
inline constexpr double kModelledFramesPerSecond = 250000.0 / 128;

// A program of the guest run without a shell (the guest's shell is a minimal one); its exit
// status, or -1 when it could not run. `quiet` sends its output nowhere.
inline int Run(std::vector<std::string> argv, bool quiet = false) {
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// Runs /sbin/<tool> with `args`; the command line when it failed, else empty.
inline std::string Tool(const std::string& tool, std::vector<std::string> args) {
    args.insert(args.begin(), "/sbin/" + tool);
    std::string line;
    for (const std::string& a : args) line += (line.empty() ? "" : " ") + a;
    return Run(std::move(args)) == 0 ? std::string() : line + " failed";
}

// The library's interface behind a transmit queue of `frames`; with `modelled_bus`, a token
// bucket at the bus's bit rate in front of the controller stands for the time each frame takes on
// a real bus (the emulated bus takes none), the queue of `frames` behind it. What failed, or empty.
inline std::string SetQueue(int frames, bool modelled_bus) {
    Run({"/sbin/tc", "qdisc", "del", "dev", "can0", "root"}, true);  // back to the default qdisc
    std::string failed = Tool("ip", {"link", "set", "can0", "txqueuelen", std::to_string(frames)});
    if (!failed.empty() || !modelled_bus) return failed;
    failed = Tool("tc", {"qdisc", "add", "dev", "can0", "root", "handle", "1:", "tbf", "rate", "250kbit", "burst", "32",
                         "latency", "1s"});
    if (!failed.empty()) return failed;
    return Tool("tc", {"qdisc", "add", "dev", "can0", "parent", "1:1", "handle", "10:", "pfifo", "limit",
                       std::to_string(frames)});
}

inline std::string ReadLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// Frames the interface has put on the bus since it was registered.
inline std::uint64_t TxPackets(const std::string& interface) {
    const std::string count = ReadLine("/sys/class/net/" + interface + "/statistics/tx_packets");
    return count.empty() ? 0 : std::stoull(count);
}

}  // namespace guest
