// A device link bound to the scripted fake library: the script and the call log live in a private
// folder, and the link's fixed waits are written into the same log ("Sleep 500") instead of
// being slept, so a test sees every call and wait in order and runs at once.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/mccan_interface.h"
#include "tests/support/temp_folder.h"

namespace app_test {

class FakeKlp {
public:
    FakeKlp() {
        setenv("QBK_MODULE_KLP_LIB_USB", (BinDir() + "/libfake_klp.so").c_str(), 1);
        setenv("QBK_FAKE_KLP_LOG", LogPath().c_str(), 1);
        setenv("QBK_FAKE_KLP_SCRIPT", (scratch_.Path() / "script").string().c_str(), 1);
        Script("");
    }
    ~FakeKlp() {
        unsetenv("QBK_MODULE_KLP_LIB_USB");
        unsetenv("QBK_FAKE_KLP_LOG");
        unsetenv("QBK_FAKE_KLP_SCRIPT");
    }
    FakeKlp(const FakeKlp&) = delete;
    FakeKlp& operator=(const FakeKlp&) = delete;

    void Script(const std::string& text) const { std::ofstream(scratch_.Path() / "script") << text; }
    // A path in the fake's folder, for a file a test makes later (a HOLD line's gate).
    std::string PathOf(const std::string& name) const { return (scratch_.Path() / name).string(); }
    std::string File(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        const auto path = scratch_.Path() / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        std::ifstream in(LogPath());
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    void ClearLog() const { std::filesystem::remove(LogPath()); }
    // The log lines that start with `prefix`.
    std::vector<std::string> Calls(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const auto& line : Log()) {
            if (line.rfind(prefix, 0) == 0) found.push_back(line);
        }
        return found;
    }

    app::TMCCANInterface::Sleeper Sleeper() const {
        const std::string log = LogPath();
        return [log](std::chrono::milliseconds duration) {
            std::ofstream(log, std::ios::app) << "Sleep " << duration.count() << '\n';
        };
    }
    std::unique_ptr<app::TMCCANInterface> Link() const { return std::make_unique<app::TMCCANInterface>(Sleeper()); }

    static std::string BinDir() {
        if (const char* dir = std::getenv("QBK_TEST_BIN_DIR"); dir != nullptr && *dir != '\0') return dir;
        return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
    }

private:
    std::string LogPath() const { return (scratch_.Path() / "log").string(); }
    test_support::ScratchFolder scratch_{"fake-klp-"};
};

}  // namespace app_test
