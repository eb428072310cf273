// Every debug line of the process (the adapter stand-in's and the library's), kept for a test
// from construction to destruction in place of the default debug output.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/kernel/sinks.h"
#include "tests/support/wait_until.h"

namespace test_support {

class DebugLines {
public:
    DebugLines() {
        kernel::SetDebugOutputSink([this](const std::string& line) {
            std::lock_guard lock(mutex_);
            lines_.push_back(line);
        });
    }
    ~DebugLines() { kernel::SetDebugOutputSink({}); }
    DebugLines(const DebugLines&) = delete;
    DebugLines& operator=(const DebugLines&) = delete;

    std::vector<std::string> Lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    // The lines that hold `part`.
    std::size_t Count(const std::string& part) const {
        std::lock_guard lock(mutex_);
        std::size_t n = 0;
        for (const std::string& line : lines_) n += line.find(part) != std::string::npos;
        return n;
    }
    // Waits until a line holds one of `parts`.
    bool WaitFor(const std::vector<std::string>& parts) const {
        return WaitUntil([&] {
            for (const std::string& part : parts) {
                if (Count(part) > 0) return true;
            }
            return false;
        });
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace test_support
