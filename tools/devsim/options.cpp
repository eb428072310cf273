#include "tools/devsim/options.h"

#include <set>
#include <sstream>

namespace devsim {

namespace {

// Frames a flooding node sends for each segment it receives, at most.
constexpr unsigned long long kMaxFlood = 10000;

struct Number {
    bool ok = false;
    unsigned long long value = 0;
};

// Decimal or 0x hex, the whole text.
Number ParseNumber(const std::string& text, unsigned long long max) {
    try {
        std::size_t used = 0;
        if (text.empty() || text[0] == '-') return {};
        const unsigned long long value = std::stoull(text, &used, 0);
        if (used != text.size() || value > max) return {};
        return {true, value};
    } catch (const std::exception&) {
        return {};
    }
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

bool ParseHexBytes(const std::string& text, std::vector<std::uint8_t>& out) {
    if (text.size() % 2 != 0 || text.size() > 16) return false;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const Number byte = ParseNumber("0x" + text.substr(i, 2), 0xFF);
        if (!byte.ok) return false;
        out.push_back(static_cast<std::uint8_t>(byte.value));
    }
    return true;
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) {}

    ParseResult Run() {
        for (next_ = 0; next_ < args_.size() && error_.empty();) {
            std::string flag = args_[next_++];
            std::optional<std::string> inline_value;
            if (const auto eq = flag.find('='); flag.rfind("--", 0) == 0 && eq != std::string::npos) {
                inline_value = flag.substr(eq + 1);
                flag.resize(eq);
            }
            inline_value_ = inline_value;
            Flag(flag);
        }
        if (result_.options.nodes.empty()) result_.options.nodes.push_back(NodeSpec{1, 0x1031, 5});
        if (error_.empty()) Check();
        result_.error = error_;
        return result_;
    }

private:
    void Flag(const std::string& flag) {
        Options& o = result_.options;
        if (flag == "--help" || flag == "-h") {
            o.help = true;
        } else if (flag == "--bus") {
            if (auto v = Value(flag)) o.bus = *v;
        } else if (flag == "--assign-id") {
            Byte(flag, o.master_setup.assign_id);
        } else if (flag == "--assign-delay-ms") {
            Millis(flag, o.master_setup.assign_delay);
        } else if (flag == "--state") {
            Byte(flag, o.master_setup.system_state);
        } else if (flag == "--idle-state") {
            Byte(flag, o.master_setup.idle_state);
        } else if (flag == "--nm-start") {
            o.master_setup.nm_start = true;
        } else if (flag == "--guard-period-ms") {
            Millis(flag, o.master_setup.guard_period);
        } else if (flag == "--no-master") {
            o.master = false;
        } else if (flag == "--power-down-after-ms") {
            std::chrono::milliseconds after{0};
            if (Millis(flag, after)) o.master_setup.power_down_after = after;
        } else if (flag == "--node") {
            if (auto v = Value(flag)) Node(*v);
        } else if (flag == "--store-image") {
            if (auto v = Value(flag)) o.store_image = *v;
        } else if (flag == "--sections") {
            if (auto v = Value(flag)) o.sections = *v;
        } else if (flag == "--fault-format") {
            Byte(flag, o.fault_format);
        } else if (flag == "--refuse-block") {
            if (auto v = Value(flag)) {
                const Number code = ParseNumber(*v, 0xFFFFFFFF);
                if (!code.ok) return Fail("--refuse-block takes an abort code, e.g. 0x05040000");
                o.sdo.refuse_block = static_cast<std::uint32_t>(code.value);
            }
        } else if (flag == "--drop-segment") {
            if (auto v = Value(flag)) {
                const Number place = ParseNumber(*v, 0xFFFFFFFF);
                if (!place.ok || place.value == 0) return Fail("--drop-segment takes a segment number from 1");
                o.sdo.drop_segments.insert(static_cast<std::size_t>(place.value));
            }
        } else if (flag == "--delay-confirm-ms") {
            Millis(flag, o.sdo.confirm_delay);
        } else if (flag == "--withhold-confirm") {
            o.sdo.withhold_confirm = true;
        } else if (flag == "--abort") {
            if (auto v = Value(flag)) Abort(*v);
        } else if (flag == "--silent") {
            o.sdo.silent = true;
        } else if (flag == "--block-size") {
            std::uint8_t size = 0;
            if (Byte(flag, size)) {
                if (size < 1 || size > sdo::kMaxBlockSize) return Fail("--block-size takes 1..127");
                o.sdo.block_size = size;
            }
        } else if (flag == "--resend-blocks") {
            o.sdo.resend_blocks = true;
        } else if (flag == "--flood") {
            if (auto v = Value(flag)) {
                const Number count = ParseNumber(*v, kMaxFlood);
                if (!count.ok || count.value == 0)
                    return Fail("--flood takes a number of frames per segment, 1.." + std::to_string(kMaxFlood));
                o.flood_per_segment = static_cast<std::uint32_t>(count.value);
            }
        } else if (flag == "--fault") {
            if (auto v = Value(flag)) Fault(*v);
        } else if (flag == "--fault-period-ms") {
            Millis(flag, o.fault_period);
        } else if (flag == "--conflict") {
            o.conflict = true;
        } else if (flag == "--log") {
            o.log = true;
        } else {
            Fail("unknown argument \"" + flag + "\"");
        }
    }

    std::optional<std::string> Value(const std::string& flag) {
        if (inline_value_) return inline_value_;
        if (next_ >= args_.size()) {
            Fail(flag + " needs a value");
            return std::nullopt;
        }
        return args_[next_++];
    }

    bool Byte(const std::string& flag, std::uint8_t& out) {
        const auto v = Value(flag);
        if (!v) return false;
        const Number n = ParseNumber(*v, 0xFF);
        if (!n.ok) {
            Fail(flag + " takes a number 0..255, not \"" + *v + "\"");
            return false;
        }
        out = static_cast<std::uint8_t>(n.value);
        return true;
    }

    bool Millis(const std::string& flag, std::chrono::milliseconds& out) {
        const auto v = Value(flag);
        if (!v) return false;
        const Number n = ParseNumber(*v, 24ull * 3600 * 1000);
        if (!n.ok) {
            Fail(flag + " takes milliseconds, not \"" + *v + "\"");
            return false;
        }
        out = std::chrono::milliseconds(n.value);
        return true;
    }

    void Node(const std::string& text) {
        const auto parts = Split(text, ':');
        NodeSpec spec;
        const Number id = parts.size() >= 3 && parts.size() <= 5 ? ParseNumber(parts[0], 31) : Number{};
        const Number profile = parts.size() >= 3 ? ParseNumber(parts[1], 0xFFFF) : Number{};
        const Number hw = parts.size() >= 3 ? ParseNumber(parts[2], 0xFF) : Number{};
        const Number pv = parts.size() >= 4 ? ParseNumber(parts[3], 0xFFFF) : Number{true, spec.profile_version};
        const Number sw = parts.size() >= 5 ? ParseNumber(parts[4], 0xFFFF) : Number{true, spec.software_version};
        if (!id.ok || id.value == 0 || !profile.ok || !hw.ok || !pv.ok || !sw.ok) {
            return Fail("--node takes id:profile:hwrev[:profile-version[:software-version]], id 1..31, not \"" + text +
                        "\"");
        }
        spec.id = static_cast<std::uint8_t>(id.value);
        spec.profile = static_cast<std::uint16_t>(profile.value);
        spec.hw_revision = static_cast<std::uint8_t>(hw.value);
        spec.profile_version = static_cast<std::uint16_t>(pv.value);
        spec.software_version = static_cast<std::uint16_t>(sw.value);
        result_.options.nodes.push_back(spec);
    }

    void Abort(const std::string& text) {
        const auto parts = Split(text, ':');
        const Number index = parts.size() == 2 ? ParseNumber(parts[0], 0xFFFF) : Number{};
        const Number code = parts.size() == 2 ? ParseNumber(parts[1], 0xFFFFFFFF) : Number{};
        if (!index.ok || !code.ok)
            return Fail("--abort takes index:code, e.g. 0x1019:0x08000020, not \"" + text + "\"");
        result_.options.sdo.aborts[static_cast<std::uint16_t>(index.value)] = static_cast<std::uint32_t>(code.value);
    }

    void Fault(const std::string& text) {
        const auto parts = Split(text, ':');
        const Number node = parts.size() == 2 ? ParseNumber(parts[0], 31) : Number{};
        FaultReport fault;
        if (!node.ok || node.value == 0 || !ParseHexBytes(parts[1], fault.data)) {
            return Fail("--fault takes node:hexbytes (node 1..31, at most 8 bytes), e.g. 3:05020000, not \"" + text +
                        "\"");
        }
        fault.node = static_cast<std::uint8_t>(node.value);
        result_.options.faults.push_back(std::move(fault));
    }

    void Check() {
        const Options& o = result_.options;
        std::set<std::uint8_t> ids;
        for (const NodeSpec& spec : o.nodes) {
            if (!ids.insert(spec.id).second) return Fail("node " + std::to_string(spec.id) + " given twice");
            if (o.master && spec.id == o.master_setup.assign_id) {
                return Fail("node " + std::to_string(spec.id) + " is the id the master assigns to the library");
            }
        }
    }

    void Fail(const std::string& error) {
        if (error_.empty()) error_ = error;
    }

    const std::vector<std::string>& args_;
    std::size_t next_ = 0;
    std::optional<std::string> inline_value_;
    ParseResult result_;
    std::string error_;
};

}  // namespace

ParseResult ParseOptions(const std::vector<std::string>& args) { return Parser(args).Run(); }

std::string HelpText() {
    return R"(usage: qbk-devsim [options]
Joins a bus and plays the bus master and display nodes for the interface library.
Prints "devsim ready" once it has joined. Numbers are decimal or 0x hex.

  --bus <bus>                bus to join: vbus:<name> or a bare name for a virtual bus,
                             socketcan:<interface> for a SocketCAN interface (default: the bus
                             CANAPI_CHANNEL names, else the virtual bus "default")
Bus master:
  --no-master                play no bus master (display nodes only)
  --assign-id N              id assigned to the library's node (default 5)
  --assign-delay-ms N        wait before answering an announcement (default 0)
  --state N                  system state answered on 0x080 {7,1,N} (default 1)
  --idle-state N             state answered after the idle command {0x10, id, 0...} (default 5)
  --nm-start                 send the NM start command once the node has its id, then guard it
  --guard-period-ms N        time between guard requests (default 300)
  --power-down-after-ms N    send the forced power-down 0x080 {0x85} N ms after the node got its id
Display nodes:
  --node id:profile:hwrev[:profile-version[:software-version]]
                             a display node (repeatable; default one node 1:0x1031:5; versions
                             default 0x0100). Objects: 0x1000 profile, 0x1009/FF hardware version
                             (hwrev << 8), 0x100C/FF profile version, 0x100A/FF and 0x1023 software
                             version, 0x1018 unlock, 0x1019 album download, 0x101F data sections;
                             node 1 also 0x1017/FF node mask and 0x100B fault format
  --store-image <file>       write every album received on 0x1019 to <file>
  --sections <file>          data sections for 0x101F: lines "<type> <value> <data file>"
  --fault-format N           second byte of 0x100B on node 1 (default 1)
SDO behaviour (every node):
  --block-size N             block size offered for block downloads, 1..127 (default 127)
  --refuse-block CODE        abort block initiations with CODE (0x05020000, 0x05040000 or
                             0x06000002 make the library fall back) until 0x5E17A0C4 is
                             written to 0x1018
  --drop-segment N           lose block-download segment N (1-based place in the transfer) the
                             first time it arrives (repeatable)
  --delay-confirm-ms N       send block-download confirmations N ms late
  --withhold-confirm         never send block-download confirmations
  --abort INDEX:CODE         abort every transfer of object INDEX with CODE (repeatable)
  --silent                   answer no SDO request at all
  --resend-blocks            a hostile node: confirm every block of a block download as not
                             received (last good segment 0), so the client is asked for the same
                             block again and again and the download never completes
Injected traffic:
  --flood N                  every node: for each block-download segment received, send N
                             frames of its own on 0x7C0+id (1..10000), flooding the bus while a
                             download runs
  --fault NODE:HEXBYTES      fault report on 0x040+NODE, e.g. 3:05020000 (repeatable)
  --fault-period-ms N        repeat the fault reports every N ms (default 1000)
  --conflict                 once the node has its id, play a second SDO client reading 0x1000 of
                             the first display node every 100 ms, so answers appear on 0x780+node
Other:
  --log                      write every frame heard ("rx ") and sent ("tx ") to stdout, in the
                             frame text form 7E9#0105010000000000 / 7ED#R
  --help                     this text
)";
}

}  // namespace devsim
