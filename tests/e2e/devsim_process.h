// qbk-devsim started as a separate process on a private virtual bus. Its standard output (the
// ready line and, with --log, every frame) is collected with arrival times by a reader thread.
// The destructor asks it to end (SIGTERM), and kills it when it does not within a second. A test
// that leaves a hanging call behind never runs that destructor; the simulator then ends with the
// thread that started it (the test's main thread, so with the test program) instead of running on
// with the test's standard error open.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

struct LogLine {
    std::chrono::steady_clock::time_point at;
    std::string text;
};

class DevsimProcess {
public:
    // `args` are the simulator's flags; the bus is added.
    DevsimProcess(const std::string& bus, std::vector<std::string> args) {
        const std::string program = BinDir() + "/qbk-devsim";
        args.insert(args.begin(), {program, "--bus", bus});
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) return;
        const pid_t parent = getpid();
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() != parent) _exit(127);  // the parent has gone already
            dup2(out[1], 1);
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        if (pid_ < 0) {
            close(out[0]);
            return;
        }
        stdout_ = out[0];
        reader_ = std::thread([this] { Read(); });
    }
    ~DevsimProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            bool ended = false;
            for (int i = 0; i < 100 && !ended; ++i) {
                ended = waitpid(pid_, nullptr, WNOHANG) == pid_;
                if (!ended) usleep(10000);
            }
            if (!ended) {
                kill(pid_, SIGKILL);
                waitpid(pid_, nullptr, 0);
            }
        }
        if (reader_.joinable()) reader_.join();  // the pipe closed with the process
        if (stdout_ >= 0) close(stdout_);
    }
    DevsimProcess(const DevsimProcess&) = delete;
    DevsimProcess& operator=(const DevsimProcess&) = delete;

    bool WaitReady(std::chrono::milliseconds timeout) {
        return WaitFor([](const LogLine& l) { return l.text == "devsim ready"; }, timeout);
    }
    // Waits until some line collected so far, or arriving within `timeout`, matches.
    bool WaitFor(const std::function<bool(const LogLine&)>& match, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] {
            for (const LogLine& l : lines_) {
                if (match(l)) return true;
            }
            return false;
        });
    }
    std::vector<LogLine> Lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    void ClearLines() {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

    // The folder of the built binaries: QBK_TEST_BIN_DIR, else this test's own folder (every
    // binary of the build lands in one).
    static std::string BinDir() {
        if (const char* dir = std::getenv("QBK_TEST_BIN_DIR"); dir != nullptr && *dir != '\0') return dir;
        std::error_code error;
        const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
        return error ? std::string(".") : self.parent_path().string();
    }

private:
    void Read() {
        std::string buffer;
        char chunk[65536];
        for (;;) {
            const ssize_t n = read(stdout_, chunk, sizeof(chunk));
            if (n <= 0) return;
            buffer.append(chunk, static_cast<std::size_t>(n));
            const auto now = std::chrono::steady_clock::now();
            std::size_t start = 0;
            std::vector<LogLine> fresh;
            for (std::size_t nl; (nl = buffer.find('\n', start)) != std::string::npos; start = nl + 1) {
                fresh.push_back({now, buffer.substr(start, nl - start)});
            }
            buffer.erase(0, start);
            if (!fresh.empty()) {
                std::lock_guard lock(mutex_);
                lines_.insert(lines_.end(), fresh.begin(), fresh.end());
                changed_.notify_all();
            }
        }
    }

    pid_t pid_ = -1;
    int stdout_ = -1;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<LogLine> lines_;
};

}  // namespace e2e
