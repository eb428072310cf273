// Command-line options of qbk-devsim: what the simulated bus master and display nodes do, and
// which faults they inject. HelpText() documents every flag.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/devsim/bus_master.h"
#include "tools/devsim/display_node.h"
#include "tools/devsim/injector.h"
#include "tools/devsim/sdo_server.h"

namespace devsim {

struct Options {
    std::string bus;  // empty: the bus CANAPI_CHANNEL names, else the virtual bus "default"

    bool master = true;
    MasterSetup master_setup;

    // Display nodes.
    std::vector<NodeSpec> nodes;
    std::string store_image;        // file that receives each completed download of 0x1019
    std::string sections;           // sections file served through 0x101F
    std::uint8_t fault_format = 1;  // node 1, object 0x100B, second byte
    SdoBehaviour sdo;
    std::uint32_t flood_per_segment = 0;  // every node's flood while a block download runs

    // Injection.
    std::vector<FaultReport> faults;  // each sent every fault period
    std::chrono::milliseconds fault_period{1000};
    bool conflict = false;

    bool log = false;
    bool help = false;
};

struct ParseResult {
    Options options;
    std::string error;  // empty when the command line was understood
};

// `args` without the program name.
ParseResult ParseOptions(const std::vector<std::string>& args);
std::string HelpText();

}  // namespace devsim
