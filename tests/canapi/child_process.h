// A child process with pipes on its standard input, output and error, for tests that run a tool.
// The destructor closes its input, kills it if it still runs and reaps it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace canapi_test {

class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv) {
        int in[2], out[2], err[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            dup2(err[1], 2);
            std::vector<char*> args;
            for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        close(err[1]);
        stdin_ = in[1];
        stdout_ = out[0];
        stderr_ = err[0];
    }
    ~ChildProcess() {
        CloseInput();
        if (pid_ > 0 && !exit_code_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        for (int fd : {stdout_, stderr_}) {
            if (fd >= 0) close(fd);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }

    void Write(const std::string& text) {
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = write(stdin_, text.data() + done, text.size() - done);
            if (n <= 0) return;
            done += static_cast<std::size_t>(n);
        }
    }
    void CloseInput() {
        if (stdin_ >= 0) close(stdin_);
        stdin_ = -1;
    }

    // One line of standard output (without its newline), or nothing within `timeout`.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout) {
        return ReadLineFrom(stdout_, out_buffer_, timeout);
    }
    std::optional<std::string> ReadErrorLine(std::chrono::milliseconds timeout) {
        return ReadLineFrom(stderr_, err_buffer_, timeout);
    }

    // Waits for the exit; its code, or nothing when it did not end in time.
    std::optional<int> Wait(std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!exit_code_) {
            int status = 0;
            const pid_t r = waitpid(pid_, &status, WNOHANG);
            if (r == pid_) {
                exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            if (std::chrono::steady_clock::now() > end) return std::nullopt;
            usleep(5000);
        }
        return exit_code_;
    }

private:
    static std::optional<std::string> ReadLineFrom(int fd, std::string& buffer, std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (const auto nl = buffer.find('\n'); nl != std::string::npos) {
                std::string line = buffer.substr(0, nl);
                buffer.erase(0, nl + 1);
                return line;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0) return std::nullopt;
            pollfd pfd{fd, POLLIN, 0};
            if (poll(&pfd, 1, static_cast<int>(left.count())) <= 0) continue;
            char chunk[4096];
            const ssize_t n = read(fd, chunk, sizeof(chunk));
            if (n <= 0) return std::nullopt;  // closed
            buffer.append(chunk, static_cast<std::size_t>(n));
        }
    }

    pid_t pid_ = -1;
    int stdin_ = -1, stdout_ = -1, stderr_ = -1;
    std::string out_buffer_, err_buffer_;
    std::optional<int> exit_code_;
};

}  // namespace canapi_test
