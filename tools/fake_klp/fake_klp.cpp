// A scripted stand-in for the interface library. It exports the same eighteen functions, writes
// one line per call (with its arguments) to the file named by QBK_FAKE_KLP_LOG, and answers from
// the script file named by QBK_FAKE_KLP_SCRIPT. Each load starts from the script afresh, as the
// real library starts from nothing.
//
// Script lines ('#' starts a comment):
//   <FUNCTION> <answer>...                   OPENKLP, READYKLP, GETSYSTEMSTATE, GETNODEIDKLP,
//                                            CHECKSDO5CHANNELCONFLICT: numbers; CLOSEKLP: 1 raises
//                                            the library's fatal error
//   READKLP <index> <sub> <node> <answer>... hex data bytes ("3110"), "-" (no bytes), "@<file>"
//                                            (the file's bytes) or "fail"
//   WRITEKLP <index> <sub> <node> <answer>.. "ok" or "fail"
//   RAISE <FUNCTION>                         the call raises the library's fatal error
//   HOLD <FUNCTION> <file>                   the call waits (up to 30 s) until the file exists
//                                            (both for OPENKLP, CLOSEKLP, READKLP, WRITEKLP,
//                                            WRITECAN, GETSYSTEMSTATE, CHECKSDO5CHANNELCONFLICT)
// Answers are used in order; the last one repeats. Calls without a line get: OPENKLP, conflict
// check 0; READYKLP 1; system state 1; own node id 5; writes succeed; reads fail.
//
// Log lines: "load", "unload", "OPENKLP 2000 50", "SETKLPTIMEOUT 200",
// "READKLP 0x1017 0xFF 1 3 4" (index, sub-index, node, attempts, length),
// "WRITEKLP 0x1018 0x00 1 1 4 C4A0175E" (... then the data in hex), "WRITECAN 0x065 8 1005...",
// and the bare function name for calls without arguments.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "library/library_records.h"

#define FAKE_EXPORT __attribute__((visibility("default")))

namespace {

struct Answers {
    std::vector<std::string> items;
    std::size_t next = 0;
    const std::string& Take() {
        const std::string& item = items[std::min(next, items.size() - 1)];
        if (next < items.size()) ++next;
        return item;
    }
};

using SdoKey = std::tuple<unsigned, unsigned, unsigned>;

std::string Hex(const std::uint8_t* data, std::size_t size) {
    std::string out;
    char digits[3];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(digits, sizeof(digits), "%02X", data[i]);
        out += digits;
    }
    return out;
}

std::vector<std::uint8_t> Bytes(const std::string& answer) {
    std::vector<std::uint8_t> bytes;
    if (answer == "-") return bytes;
    if (!answer.empty() && answer[0] == '@') {
        std::ifstream in(answer.substr(1), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    for (std::size_t i = 0; i + 1 < answer.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(answer.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

class Fake {
public:
    Fake() {
        if (const char* log = std::getenv("QBK_FAKE_KLP_LOG")) log_ = log;
        if (const char* script = std::getenv("QBK_FAKE_KLP_SCRIPT")) LoadScript(script);
        Log("load");
    }
    ~Fake() { Log("unload"); }

    void Log(const std::string& line) const {
        if (log_.empty()) return;
        std::ofstream(log_, std::ios::app) << line << '\n';
    }

    long Number(const std::string& function, long fallback) {
        auto found = calls_.find(function);
        if (found == calls_.end() || found->second.items.empty()) return fallback;
        return std::stol(found->second.Take(), nullptr, 0);
    }

    // After its log line: a held call waits for its file, a raising one raises.
    void Act(const std::string& function) const {
        if (const auto hold = holds_.find(function); hold != holds_.end()) {
            for (int i = 0; i < 3000 && !std::ifstream(hold->second).good(); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        if (raises_.count(function) != 0) {
            throw std::runtime_error("KLP Library Failure: Message Queue empty; line: 79; POOL::POOL_get_CANBuf");
        }
    }

    // Null when the script has no line for the object.
    const std::string* Sdo(std::map<SdoKey, Answers>& table, const TSDORECORD& record) {
        auto found = table.find({record.index, record.subindex, record.node});
        if (found == table.end() || found->second.items.empty()) return nullptr;
        return &found->second.Take();
    }

    std::map<SdoKey, Answers> reads;
    std::map<SdoKey, Answers> writes;

private:
    void LoadScript(const char* path) {
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);) {
            if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
            std::istringstream words(line);
            std::string function;
            if (!(words >> function)) continue;
            Answers* answers = nullptr;
            if (function == "RAISE") {
                std::string raised;
                if (words >> raised) raises_.insert(raised);
                continue;
            }
            if (function == "HOLD") {
                std::string held, file;
                if (words >> held >> file) holds_[held] = file;
                continue;
            }
            if (function == "READKLP" || function == "WRITEKLP") {
                std::string index, sub, node;
                words >> index >> sub >> node;
                const SdoKey key{std::stoul(index, nullptr, 0), std::stoul(sub, nullptr, 0),
                                 std::stoul(node, nullptr, 0)};
                answers = &(function == "READKLP" ? reads : writes)[key];
            } else {
                answers = &calls_[function];
            }
            for (std::string answer; words >> answer;) answers->items.push_back(answer);
        }
    }

    std::string log_;
    std::map<std::string, Answers> calls_;
    std::set<std::string> raises_;
    std::map<std::string, std::string> holds_;
};

Fake fake;

std::string SdoLine(const char* function, const TSDORECORD& record) {
    char head[96];
    std::snprintf(head, sizeof(head), "%s 0x%04X 0x%02X %u %u %d", function, record.index, record.subindex, record.node,
                  record.attempts, record.length);
    return head;
}

}  // namespace

extern "C" {

FAKE_EXPORT bool OPENKLP(TINITKLP* init) {
    fake.Log("OPENKLP " + std::to_string(init->sdo_timeout_ms) + " " + std::to_string(init->adapter_param));
    fake.Act("OPENKLP");
    return fake.Number("OPENKLP", 0) != 0;
}
FAKE_EXPORT void CLOSEKLP() {
    fake.Log("CLOSEKLP");
    fake.Act("CLOSEKLP");
    // The real library raises its fatal error when a stack thread does not stop in time.
    if (fake.Number("CLOSEKLP", 0) != 0) throw std::runtime_error("Fatal error 6 in OS::close_KLP line 1 (scripted)");
}
FAKE_EXPORT void RESETKLP() { fake.Log("RESETKLP"); }
FAKE_EXPORT bool READYKLP() {
    fake.Log("READYKLP");
    return fake.Number("READYKLP", 1) != 0;
}
FAKE_EXPORT bool STOPPEDKLP() {
    fake.Log("STOPPEDKLP");
    return false;
}
FAKE_EXPORT std::uint8_t GETNODESTATEKLP() {
    fake.Log("GETNODESTATEKLP");
    return 0;
}
FAKE_EXPORT std::uint8_t GETNODEIDKLP() {
    fake.Log("GETNODEIDKLP");
    return static_cast<std::uint8_t>(fake.Number("GETNODEIDKLP", 5));
}
FAKE_EXPORT std::int32_t SETKLPTIMEOUT(std::uint32_t timeout_ms) {
    fake.Log("SETKLPTIMEOUT " + std::to_string(timeout_ms));
    return 0;
}
FAKE_EXPORT bool READKLP(TSDORECORD* record) {
    fake.Log(SdoLine("READKLP", *record));
    fake.Act("READKLP");
    const std::string* answer = fake.Sdo(fake.reads, *record);
    if (answer == nullptr || *answer == "fail") return true;
    const std::vector<std::uint8_t> bytes = Bytes(*answer);
    // Like the library, never more than the caller's capacity.
    const std::size_t n = std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(std::max(record->length, 0)));
    if (n > 0) std::memcpy(record->data, bytes.data(), n);
    record->length = static_cast<std::int32_t>(n);
    return false;
}
FAKE_EXPORT bool WRITEKLP(TSDORECORD* record) {
    fake.Log(SdoLine("WRITEKLP", *record) + " " +
             Hex(record->data, static_cast<std::size_t>(std::max(record->length, 0))));
    fake.Act("WRITEKLP");
    const std::string* answer = fake.Sdo(fake.writes, *record);
    return answer != nullptr && *answer == "fail";
}
FAKE_EXPORT void WRITECAN(TCANRECORD* record) {
    char head[32];
    std::snprintf(head, sizeof(head), "WRITECAN 0x%03X %u ", record->cob_id, record->dlc);
    fake.Log(head + Hex(record->data, std::min<std::size_t>(record->dlc, 8)));
    fake.Act("WRITECAN");
}
FAKE_EXPORT void WRITECANRTR(TCANRECORD* record) {
    char head[32];
    std::snprintf(head, sizeof(head), "WRITECANRTR 0x%03X", record->cob_id);
    fake.Log(head);
}
FAKE_EXPORT std::int32_t COMMPROGKLP(std::uint16_t node) {
    fake.Log("COMMPROGKLP " + std::to_string(node));
    return 0;
}
FAKE_EXPORT const TFAULTRECORD* GETFAULTKLP(std::int32_t index) {
    fake.Log("GETFAULTKLP " + std::to_string(index));
    return nullptr;
}
FAKE_EXPORT std::uint8_t GETSYSTEMSTATE() {
    fake.Log("GETSYSTEMSTATE");
    fake.Act("GETSYSTEMSTATE");
    return static_cast<std::uint8_t>(fake.Number("GETSYSTEMSTATE", 1));
}
FAKE_EXPORT std::int32_t CHECKSYSTEMPOWERDOWNREQUEST() {
    fake.Log("CHECKSYSTEMPOWERDOWNREQUEST");
    return 0;
}
FAKE_EXPORT std::uint8_t CHECKSDO5CHANNELCONFLICT() {
    fake.Log("CHECKSDO5CHANNELCONFLICT");
    fake.Act("CHECKSDO5CHANNELCONFLICT");
    return static_cast<std::uint8_t>(fake.Number("CHECKSDO5CHANNELCONFLICT", 0));
}
FAKE_EXPORT void SETTRACEFLAGS(std::int32_t mask) { fake.Log("SETTRACEFLAGS " + std::to_string(mask)); }

}  // extern "C"
