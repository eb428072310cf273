// qbk-devsim: a simulated bus (bus master and display nodes) on the virtual bus or a SocketCAN
// interface, for the end-to-end tests and for trying the editor without hardware. See HelpText() for the flags.
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "tools/devsim/bus_loop.h"
#include "tools/devsim/options.h"
#include "tools/devsim/simulator.h"

namespace {

// Set from the signal handler: the one place a plain global is needed.
std::atomic<bool> g_stop{false};

extern "C" void OnSignal(int) { g_stop.store(true); }

}  // namespace

int main(int argc, char** argv) {
    const devsim::ParseResult parsed = devsim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::cerr << "qbk-devsim: " << parsed.error << "\n" << devsim::HelpText();
        return 2;
    }
    if (parsed.options.help) {
        std::cout << devsim::HelpText();
        return 0;
    }

    devsim::SimulatorResult created = devsim::Simulator::Create(parsed.options);
    if (!created.simulator) {
        std::cerr << "qbk-devsim: " << created.error << "\n";
        return 1;
    }
    const canapi::ChannelParse bus = devsim::ChooseBus(parsed.options.bus, std::getenv("CANAPI_CHANNEL"));
    if (!bus.channel) {
        std::cerr << "qbk-devsim: " << bus.error << "\n";
        return 2;
    }
    devsim::BusJoin joined = devsim::JoinBus(*bus.channel);
    if (!joined.port) {
        std::cerr << "qbk-devsim: " << joined.error << "\n";
        return 1;
    }

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::cout << "devsim ready" << std::endl;
    const devsim::LoopEnd end =
        devsim::RunOnBus(*created.simulator, *joined.port, g_stop, parsed.options.log ? &std::cout : nullptr);
    std::cout.flush();
    if (end == devsim::LoopEnd::BusError) {
        std::cerr << "qbk-devsim: receiving from the bus failed\n";
        return 1;
    }
    return 0;
}
