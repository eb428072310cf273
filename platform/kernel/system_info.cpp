#include "platform/kernel/system_info.h"

#include <limits.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace kernel {

std::string HostName() {
    // HOST_NAME_MAX excludes the terminator; a name that fills the buffer may be cut without one.
    char buffer[HOST_NAME_MAX + 1] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0) return {};
    return buffer;
}

int ProcessorCount() {
    // The processors this process may use (a container or a task set may allow fewer than the
    // machine has), else what the standard library knows.
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0) {
        const int allowed = CPU_COUNT(&set);
        if (allowed > 0) return allowed;
    }
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::string TempPath() {
    const char* dir = std::getenv("TMPDIR");
    std::string path = (dir != nullptr && *dir != '\0') ? dir : "/tmp";
    if (path.back() != '/') path += '/';
    return path;
}

OsVersion SystemVersion() { return OsVersion{5, 1}; }

bool KernelExports(const std::string& name) {
    // The services this stand-in provides under the kernel library's names.
    static const char* const kExports[] = {"GetLocaleInfoEx", "GetTickCount",   "OutputDebugStringA",
                                           "LoadLibraryA",    "GetProcAddress", "FreeLibrary"};
    for (const char* e : kExports) {
        if (name == e) return true;
    }
    return false;
}

}  // namespace kernel
