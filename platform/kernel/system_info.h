// Facts about the machine the program asks the system for.
#pragma once

#include <string>

namespace kernel {

// The machine's host name; empty when the system does not give one.
std::string HostName();

// The folder for temporary files with a trailing "/": $TMPDIR when it is set and not empty,
// else "/tmp/".
std::string TempPath();

}  // namespace kernel
