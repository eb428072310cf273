// Runs a Simulator on a bus: hands it every frame heard, sends what it has due, and
// sleeps until its next deadline or the next frame, until `stop` is set.
//
// With a log stream, every frame heard and sent is written there, one line each, in the frame
// text form behind "rx " or "tx " ("rx 7EF#0F000A0000000100").
#pragma once

#include <atomic>
#include <ostream>
#include <string>

#include "tools/devsim/bus_port.h"
#include "tools/devsim/simulator.h"

namespace devsim {

enum class LoopEnd { Stopped, BusError };

LoopEnd RunOnBus(Simulator& simulator, BusPort& bus, const std::atomic<bool>& stop, std::ostream* log);

}  // namespace devsim
