// One end-to-end session: a private folder for the simulator's files, qbk-devsim on a private bus, the interface
// library loaded by name and opened on that bus as the program opens it (2000 ms SDO timeout, 500 ms pause, conflict
// check). Closing takes the library's 2.5 s, so tests group their cases per session.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/devsim_process.h"
#include "tests/e2e/klp_binding.h"
#include "tests/support/protocol_bytes.h"
#include "tests/support/wait_until.h"

namespace e2e {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;
using test_support::kPatience;

struct ReadOutcome {
    bool failed = true;
    Bytes data;  // the bytes received (record length on return)
};

class Session {
public:
    // On a private virtual bus.
    Session() : Session({}, {}) {}
    // qbk-devsim on `devsim_bus` and the library on `library_channel` (as --bus and
    // CANAPI_CHANNEL name them), e.g. on two SocketCAN interfaces of one bus.
    Session(std::string devsim_bus, std::string library_channel) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = "e2e-" + std::to_string(getpid()) + "-" + test->name();
        bus_ = devsim_bus.empty() ? name : std::move(devsim_bus);
        library_channel_ = library_channel.empty() ? "vbus:" + name : std::move(library_channel);
        folder_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    ~Session() {
        if (opened_) klp_->CLOSEKLP();
        klp_.reset();
        devsim_.reset();
        std::filesystem::remove_all(folder_);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // A file in the session's own folder (for devsim's image and sections).
    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    void WriteFile(const std::string& name, const Bytes& bytes) const {
        std::ofstream(Path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    Bytes ReadFile(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Starts devsim with these flags and then the library; returns the conflict check's answer
    // through `conflict`.
    ::testing::AssertionResult Open(const std::vector<std::string>& devsim_args, std::uint8_t* conflict = nullptr) {
        devsim_ = std::make_unique<DevsimProcess>(bus_, devsim_args);
        if (!devsim_->WaitReady(kPatience)) return ::testing::AssertionFailure() << "qbk-devsim did not get ready";
        setenv("CANAPI_CHANNEL", library_channel_.c_str(), 1);
        klp_ = std::make_unique<KlpBinding>();
        if (!klp_->error().empty()) return ::testing::AssertionFailure() << klp_->error();
        TINITKLP init{2000, 50};
        if (klp_->OPENKLP(&init)) return ::testing::AssertionFailure() << "OPENKLP failed";
        opened_ = true;
        std::this_thread::sleep_for(500ms);
        const std::uint8_t seen = klp_->CHECKSDO5CHANNELCONFLICT();
        if (conflict != nullptr) *conflict = seen;
        return ::testing::AssertionSuccess();
    }

    // Closes the library now (CLOSEKLP) instead of at the end of the session.
    void Close() {
        if (opened_) klp_->CLOSEKLP();
        opened_ = false;
    }

    ::testing::AssertionResult WaitReady() {
        const auto end = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < end) {
            if (klp_->READYKLP()) return ::testing::AssertionSuccess();
            std::this_thread::sleep_for(50ms);
        }
        return ::testing::AssertionFailure() << "the library's node never got ready";
    }

    KlpBinding& klp() { return *klp_; }
    DevsimProcess& devsim() { return *devsim_; }

    ReadOutcome Read(std::uint8_t node, std::uint16_t index, std::uint8_t sub, std::int32_t capacity,
                     std::uint8_t attempts = 2) {
        std::vector<std::uint8_t> storage(sizeof(TSDORECORD) + static_cast<std::size_t>(std::max(capacity, 0)) + 16,
                                          0xEE);
        auto* record = reinterpret_cast<TSDORECORD*>(storage.data());
        *record = TSDORECORD{capacity, index, sub, node, attempts};
        ReadOutcome outcome;
        outcome.failed = klp_->READKLP(record);
        if (!outcome.failed) {
            const std::int32_t length = record->length;
            EXPECT_LE(length, capacity);
            const auto n = static_cast<std::ptrdiff_t>(std::clamp<std::int32_t>(length, 0, capacity));
            outcome.data.assign(storage.begin() + sizeof(TSDORECORD), storage.begin() + sizeof(TSDORECORD) + n);
        }
        // Nothing may land behind the caller's area.
        for (std::size_t i = storage.size() - 16; i < storage.size(); ++i) EXPECT_EQ(storage[i], 0xEE) << i;
        return outcome;
    }

    // True on failure, as the library reports it.
    bool Write(std::uint8_t node, std::uint16_t index, std::uint8_t sub, const Bytes& data, std::uint8_t attempts = 1) {
        std::vector<std::uint8_t> storage(sizeof(TSDORECORD) + data.size());
        auto* record = reinterpret_cast<TSDORECORD*>(storage.data());
        *record = TSDORECORD{static_cast<std::int32_t>(data.size()), index, sub, node, attempts};
        std::copy(data.begin(), data.end(), storage.begin() + sizeof(TSDORECORD));
        return klp_->WRITEKLP(record);
    }

    // The number of devsim's log lines that start with `prefix`, once there are at least
    // `at_least` of them or `timeout` passed: a line may still be on its way through the pipe
    // when the library call it belongs to has returned.
    std::size_t Count(const std::string& prefix, std::size_t at_least = 1,
                      std::chrono::milliseconds timeout = kPatience) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        std::size_t count = LinesStarting(prefix).size();
        while (count < at_least && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(5ms);
            count = LinesStarting(prefix).size();
        }
        return count;
    }

    // Log lines of devsim that start with `prefix` ("rx 7A2#C2", "tx 782#A2").
    std::vector<LogLine> LinesStarting(const std::string& prefix) {
        std::vector<LogLine> found;
        for (const LogLine& line : devsim_->Lines()) {
            if (line.text.rfind(prefix, 0) == 0) found.push_back(line);
        }
        return found;
    }

private:
    std::string bus_;
    std::string library_channel_;
    std::filesystem::path folder_;
    std::unique_ptr<DevsimProcess> devsim_;
    std::unique_ptr<KlpBinding> klp_;
    bool opened_ = false;
};

using test_bytes::Pattern;

}  // namespace e2e
