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

}  // namespace kernel
