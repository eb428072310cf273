// The message-box and debug-output sinks. The library's defaults write to stderr; the program
// installs a real message box; tests install recorders. Nothing here ever blocks on a dialog.
#pragma once

#include <functional>
#include <string>

namespace kernel {

// Flags of a message box, as the system passes them.
enum MessageBoxFlags : unsigned {
    kMbOk = 0x0000,
    kMbOkCancel = 0x0001,
    kMbYesNo = 0x0004,
    kMbIconError = 0x0010,
    kMbIconQuestion = 0x0020,
    kMbIconWarning = 0x0030,
    kMbIconInformation = 0x0040,
};
// Answers of a message box.
enum MessageBoxResult : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

using MessageBoxSink = std::function<int(const std::string& text, const std::string& caption, unsigned flags)>;
using DebugOutputSink = std::function<void(const std::string& line)>;

// Shows a message box through the installed sink (default: the text on stderr, answer kIdOk).
int MessageBox(const std::string& text, const std::string& caption, unsigned flags);
// Installs a sink; an empty function restores the default. Returns the previous sink (empty when
// it was the default). The sink runs outside the kernel's lock and may be called from any thread.
MessageBoxSink SetMessageBoxSink(MessageBoxSink sink);

// Installs a sink for the calling thread only, which takes that thread's boxes before the process's
// sink does (an empty function removes it): for a thread whose boxes another thread puts up.
void SetThreadMessageBoxSink(MessageBoxSink sink);

// Writes one debug line through the installed sink. The default writes to stderr, or appends to
// the file named by QBK_DEBUG_OUTPUT when that variable is set.
void OutputDebugString(const std::string& line);
// Same rules as SetMessageBoxSink; the kernel calls the debug sink for one line at a time (never
// concurrently), so a recording sink needs no lock of its own.
DebugOutputSink SetDebugOutputSink(DebugOutputSink sink);

}  // namespace kernel
