#include "tools/devsim/simulator.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace devsim {

namespace {

std::optional<std::uint8_t> ConflictNode(const Options& options) {
    if (!options.conflict) return std::nullopt;
    return options.nodes.empty() ? std::uint8_t{1} : options.nodes.front().id;
}

}  // namespace

SimulatorResult Simulator::Create(const Options& options) {
    std::vector<Section> sections;
    if (!options.sections.empty()) {
        SectionsResult loaded = LoadSectionsFile(options.sections);
        if (!loaded.error.empty()) return {nullptr, loaded.error};
        sections = std::move(loaded.sections);
    }
    return {std::make_unique<Simulator>(options, std::move(sections)), {}};
}

Simulator::Simulator(const Options& options, std::vector<Section> sections)
    : injector_(options.faults, options.fault_period, ConflictNode(options)), store_image_(options.store_image) {
    if (options.master) master_ = std::make_unique<BusMaster>(options.master_setup);
    std::uint32_t mask = 0;
    for (const NodeSpec& spec : options.nodes) mask |= 1u << spec.id;
    for (const NodeSpec& spec : options.nodes) {
        NodeSetup setup;
        setup.spec = spec;
        setup.sdo = options.sdo;
        setup.node_mask = mask;
        setup.fault_format = options.fault_format;
        setup.sections = sections;
        setup.flood_per_segment = options.flood_per_segment;
        if (!store_image_.empty()) setup.on_image = [this](const Bytes& image) { StoreImage(image); };
        nodes_.push_back(std::make_unique<DisplayNode>(std::move(setup)));
    }
}

DisplayNode* Simulator::node(std::uint8_t id) {
    for (auto& node : nodes_) {
        if (node->id() == id) return node.get();
    }
    return nullptr;
}

void Simulator::Start(TimePoint now) { injector_.Start(now); }

void Simulator::Deliver(const Frame& frame, TimePoint now) {
    if (master_) {
        master_->OnFrame(frame, now, outbox_);
        const bool admitted = master_->admitted().has_value();
        if (admitted != admitted_) {
            admitted_ = admitted;
            injector_.SetAdmitted(admitted, now);
        }
    }
    for (auto& node : nodes_) node->OnFrame(frame, now, outbox_);
}

void Simulator::OnFrame(const Frame& frame, TimePoint now) { Deliver(frame, now); }

std::vector<Frame> Simulator::TakeDue(TimePoint now) {
    if (master_) master_->Poll(now, outbox_);
    for (auto& node : nodes_) node->Poll(now, outbox_);
    injector_.Poll(now, outbox_);

    std::vector<Frame> sent;
    std::vector<Frame> due;
    // Answers to our own frames may be due at once; hear them until nothing more is.
    for (outbox_.TakeDue(now, due); !due.empty(); outbox_.TakeDue(now, due)) {
        std::vector<Frame> batch;
        batch.swap(due);
        for (const Frame& frame : batch) {
            sent.push_back(frame);
            Deliver(frame, now);
        }
    }
    return sent;
}

std::optional<TimePoint> Simulator::NextWake() const {
    std::optional<TimePoint> wake = outbox_.NextDue();
    auto earliest = [&wake](std::optional<TimePoint> t) {
        if (t && (!wake || *t < *wake)) wake = t;
    };
    if (master_) earliest(master_->NextWake());
    for (const auto& node : nodes_) earliest(node->NextWake());
    earliest(injector_.NextWake());
    return wake;
}

void Simulator::StoreImage(const Bytes& image) const {
    // Written aside and renamed, so a reader never sees half an image.
    const std::string part = store_image_ + ".part";
    {
        std::ofstream file(part, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        if (!file) {
            std::cerr << "qbk-devsim: cannot write " << part << "\n";
            return;
        }
    }
    std::error_code error;
    std::filesystem::rename(part, store_image_, error);
    if (error) std::cerr << "qbk-devsim: cannot rename " << part << ": " << error.message() << "\n";
}

}  // namespace devsim
