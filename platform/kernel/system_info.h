// Facts about the machine the program asks the system for.
#pragma once

#include <string>

namespace kernel {

// The machine's host name; empty when the system does not give one.
std::string HostName();

// The number of processors the program may run on (at least 1): the size of a pool of threads
// that should keep every core busy.
int ProcessorCount();

// The folder for temporary files with a trailing "/": $TMPDIR when it is set and not empty,
// else "/tmp/".
std::string TempPath();

// The version of the desktop system as its version query answers it. This platform answers as
// the desktop generation the program was first made for (5.1), whose services it stands in for.
struct OsVersion {
    int major = 0;
    int minor = 0;
};
OsVersion SystemVersion();

// Whether the kernel-services library exports a function of this name (the newer locale
// queries, for example), as a look-up by name would find it.
bool KernelExports(const std::string& name);

}  // namespace kernel
