// The whole simulated bus behind one participant: the bus master, the display nodes and the
// injected traffic. It is driven by time and frames only (no sockets, no threads), so tests run
// it in-process by feeding it frames; the bus loop runs it on a virtual bus.
//
// Every frame one of its parts sends is heard by its other parts too, as on a real bus (this
// is how the second SDO client of the conflict case reaches a display node).
//
// Not thread-safe: one thread drives it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/devsim/bus_master.h"
#include "tools/devsim/display_node.h"
#include "tools/devsim/frame.h"
#include "tools/devsim/injector.h"
#include "tools/devsim/options.h"
#include "tools/devsim/outbox.h"

namespace devsim {

class Simulator;

struct SimulatorResult {
    std::unique_ptr<Simulator> simulator;  // null on failure
    std::string error;
};

class Simulator {
public:
    // Reads the sections file the options name; fails when it cannot.
    static SimulatorResult Create(const Options& options);
    Simulator(const Options& options, std::vector<Section> sections);
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    void Start(TimePoint now);
    // A frame from another participant of the bus.
    void OnFrame(const Frame& frame, TimePoint now);
    // The frames due by `now`, in the order they go on the bus.
    std::vector<Frame> TakeDue(TimePoint now);
    // When TakeDue may next have something (nothing: only a received frame can change that).
    std::optional<TimePoint> NextWake() const;

    BusMaster* master() { return master_.get(); }
    DisplayNode* node(std::uint8_t id);

private:
    void Deliver(const Frame& frame, TimePoint now);
    void StoreImage(const Bytes& image) const;

    std::unique_ptr<BusMaster> master_;
    std::vector<std::unique_ptr<DisplayNode>> nodes_;
    Injector injector_;
    Outbox outbox_;
    std::string store_image_;
    bool admitted_ = false;
};

}  // namespace devsim
