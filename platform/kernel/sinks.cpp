// The message-box and debug-output sinks and their defaults.
#include "platform/kernel/sinks.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace kernel {

namespace {

// The default debug output: stderr, or the file named by QBK_DEBUG_OUTPUT (read on every line,
// so a test may switch it; the file is reopened when the name changes).
class DefaultDebugOutput {
public:
    void Write(const std::string& line) {
        std::lock_guard lock(mutex_);
        const char* name = std::getenv("QBK_DEBUG_OUTPUT");
        const std::string wanted = name != nullptr ? name : "";
        if (wanted != file_name_) {
            file_.reset();
            file_name_ = wanted;
            if (!wanted.empty()) file_.reset(std::fopen(wanted.c_str(), "a"));
        }
        std::FILE* out = file_ ? file_.get() : stderr;
        std::fwrite(line.data(), 1, line.size(), out);
        if (line.empty() || line.back() != '\n') std::fputc('\n', out);
        std::fflush(out);
    }

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::mutex mutex_;
    std::string file_name_;
    std::unique_ptr<std::FILE, Closer> file_;
};

struct Sinks {
    std::mutex mutex;
    MessageBoxSink message_box;  // empty: the default
    DebugOutputSink debug_output;
    // Held while a debug sink runs, so lines from several threads reach it one at a time; recursive
    // so a sink that itself writes a debug line does not deadlock.
    std::recursive_mutex debug_call;
    DefaultDebugOutput default_debug;
};

Sinks& Instance() {
    static Sinks sinks;
    return sinks;
}

thread_local MessageBoxSink thread_message_box;

}  // namespace

int MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    if (thread_message_box) return thread_message_box(text, caption, flags);
    auto& sinks = Instance();
    MessageBoxSink sink;
    {
        std::lock_guard lock(sinks.mutex);
        sink = sinks.message_box;
    }
    // Called outside the lock: a real dialog may take long, and other threads may show their own.
    if (sink) return sink(text, caption, flags);
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    return kIdOk;
}

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink) {
    auto& sinks = Instance();
    std::lock_guard lock(sinks.mutex);
    std::swap(sinks.message_box, sink);
    return sink;
}

void SetThreadMessageBoxSink(MessageBoxSink sink) { thread_message_box = std::move(sink); }

void OutputDebugString(const std::string& line) {
    auto& sinks = Instance();
    std::lock_guard call(sinks.debug_call);
    DebugOutputSink sink;
    {
        std::lock_guard lock(sinks.mutex);
        sink = sinks.debug_output;
    }
    if (sink) {
        sink(line);
    } else {
        sinks.default_debug.Write(line);
    }
}

DebugOutputSink SetDebugOutputSink(DebugOutputSink sink) {
    auto& sinks = Instance();
    std::lock_guard lock(sinks.mutex);
    std::swap(sinks.debug_output, sink);
    return sink;
}

}  // namespace kernel
