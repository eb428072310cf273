// Test helper: records every debug line and message box of the process while it lives, and puts
// the previous sinks back afterwards.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/kernel/sinks.h"

namespace klp_test {

struct MessageBoxCall {
    std::string text;
    std::string caption;
    unsigned flags = 0;
};

class SinkRecorder {
public:
    SinkRecorder() {
        previous_debug_ = kernel::SetDebugOutputSink([this](const std::string& line) {
            std::lock_guard guard(mutex_);
            lines_.push_back(line);
        });
        previous_box_ =
            kernel::SetMessageBoxSink([this](const std::string& text, const std::string& caption, unsigned flags) {
                std::lock_guard guard(mutex_);
                boxes_.push_back({text, caption, flags});
                return static_cast<int>(kernel::kIdOk);
            });
    }
    ~SinkRecorder() {
        kernel::SetDebugOutputSink(previous_debug_);
        kernel::SetMessageBoxSink(previous_box_);
    }
    SinkRecorder(const SinkRecorder&) = delete;
    SinkRecorder& operator=(const SinkRecorder&) = delete;

    std::vector<std::string> Lines() const {
        std::lock_guard guard(mutex_);
        return lines_;
    }
    std::vector<MessageBoxCall> Boxes() const {
        std::lock_guard guard(mutex_);
        return boxes_;
    }
    bool HasLine(const std::string& line) const {
        std::lock_guard guard(mutex_);
        for (const std::string& l : lines_) {
            if (l == line) return true;
        }
        return false;
    }
    void Clear() {
        std::lock_guard guard(mutex_);
        lines_.clear();
        boxes_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    std::vector<MessageBoxCall> boxes_;
    kernel::DebugOutputSink previous_debug_;
    kernel::MessageBoxSink previous_box_;
};

}  // namespace klp_test
