#include "app/mccan_interface.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/device_objects.h"
#include "app/mccan_text.h"
#include "library/export_names.h"
#include "platform/kernel/thread.h"

namespace app {

namespace {

using namespace std::chrono_literals;
namespace object = device_object;

constexpr const char* kModuleName = "klp_lib_usb.dll";
constexpr std::uint32_t kSdoTimeoutMs = 2000;
constexpr std::uint32_t kNodeMaskTimeoutMs = 200;
constexpr std::uint32_t kUpdateTimeoutMs = 60000;
constexpr std::uint8_t kNoOwnId = 255;
constexpr std::uint16_t kSkippedProfile = 15;
// Room the library may use behind a section read's data.
constexpr std::size_t kSectionSlack = 4352;

// A TSDORECORD laid over zero-filled storage, so that a short reply never leaves stale bytes.
class SdoBuffer {
public:
    explicit SdoBuffer(std::size_t data_capacity) : storage_(sizeof(TSDORECORD) + data_capacity, 0) {}
    TSDORECORD* record() { return reinterpret_cast<TSDORECORD*>(storage_.data()); }
    std::uint8_t* data() { return storage_.data() + sizeof(TSDORECORD); }
    std::size_t capacity() const { return storage_.size() - sizeof(TSDORECORD); }

private:
    std::vector<std::uint8_t> storage_;
};

// The device's software-update unlock value, little-endian as it goes on the bus. Assembled from
// its parts so that the value never stands in the program as one constant.
std::array<std::uint8_t, 4> UnlockBytes() {
    std::array<std::uint8_t, 4> bytes{};
    const std::uint8_t parts[4][2] = {{0xC, 0x4}, {0xA, 0x0}, {0x1, 0x7}, {0x5, 0xE}};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>((parts[i][0] << 4) | parts[i][1]);
    }
    return bytes;
}

// Puts the library's SDO timeout back to the normal one however the access ends.
class TimeoutScope {
public:
    using SetTimeout = std::function<void(std::uint32_t timeout_ms)>;
    TimeoutScope(SetTimeout set, std::uint32_t timeout_ms) : set_(std::move(set)) { set_(timeout_ms); }
    ~TimeoutScope() {
        try {
            set_(kSdoTimeoutMs);
        } catch (...) {
            // Only a broken library fails here; the access's own failure is what the caller sees.
        }
    }
    TimeoutScope(const TimeoutScope&) = delete;
    TimeoutScope& operator=(const TimeoutScope&) = delete;

private:
    SetTimeout set_;
};

}  // namespace

struct TMCCANInterface::Entries {
    bool (*OPENKLP)(TINITKLP*) = nullptr;
    void (*CLOSEKLP)() = nullptr;
    void (*RESETKLP)() = nullptr;
    bool (*READYKLP)() = nullptr;
    bool (*STOPPEDKLP)() = nullptr;
    std::uint8_t (*GETNODESTATEKLP)() = nullptr;
    std::uint8_t (*GETNODEIDKLP)() = nullptr;
    bool (*READKLP)(TSDORECORD*) = nullptr;
    bool (*WRITEKLP)(TSDORECORD*) = nullptr;
    void (*WRITECAN)(TCANRECORD*) = nullptr;
    void (*WRITECANRTR)(TCANRECORD*) = nullptr;
    std::int32_t (*SETKLPTIMEOUT)(std::uint32_t) = nullptr;
    std::int32_t (*COMMPROGKLP)(std::uint16_t) = nullptr;
    const TFAULTRECORD* (*GETFAULTKLP)(std::int32_t) = nullptr;
    std::uint8_t (*GETSYSTEMSTATE)() = nullptr;
    std::int32_t (*CHECKSYSTEMPOWERDOWNREQUEST)() = nullptr;
    std::uint8_t (*CHECKSDO5CHANNELCONFLICT)() = nullptr;
};

TMCCANInterface::TMCCANInterface(Sleeper sleep, Waiter wait) : sleep_(std::move(sleep)), wait_(std::move(wait)) {
    if (!sleep_) sleep_ = [](std::chrono::milliseconds duration) { kernel::Sleep(duration); };
}

TMCCANInterface::~TMCCANInterface() {
    CloseQuietly();
    // Its close failed once more: a thread of the library may still run the library's code, so
    // the library is never unloaded.
    if (module_) module_->KeepLoaded();
}

template <typename Call>
auto TMCCANInterface::Library(Call&& call, const char* textless_failure) {
    try {
        return calls_->Run(std::forward<Call>(call));
    } catch (const std::exception& error) {
        // The library's own exception class means nothing to the callers: they get its text.
        throw ui::Exception(*error.what() != '\0' ? error.what() : textless_failure);
    } catch (...) {
        throw ui::Exception(textless_failure);
    }
}

void TMCCANInterface::Wait(std::chrono::milliseconds duration) { sleep_(duration); }

void TMCCANInterface::Open() {
    // A transfer that ended without Close must not leave a second stack running beside this one.
    Close();

    module_ = kernel::Module::Load(kModuleName);
    if (!module_) throw ui::Exception(std::string(text::kE0011) + " " + kModuleName);

    auto entries = std::make_unique<Entries>();
    std::string missing;
    const auto bind = [&](auto& entry, std::string_view decorated) {
        std::string_view name = klp::LinuxExportName(decorated);
        if (name.empty()) name = decorated;
        void* address = module_->Symbol(std::string(name));
        if (address == nullptr && missing.empty()) missing = std::string(decorated);
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(address);
    };
    bind(entries->OPENKLP, "@OPENKLP$QP8TINITKLP");
    bind(entries->CLOSEKLP, "@CLOSEKLP$QV");
    bind(entries->RESETKLP, "@RESETKLP$QV");
    bind(entries->READYKLP, "@READYKLP$QV");
    bind(entries->STOPPEDKLP, "@STOPPEDKLP$QV");
    bind(entries->GETNODEIDKLP, "@GETNODEIDKLP$QV");
    bind(entries->GETNODESTATEKLP, "@GETNODESTATEKLP$QV");
    bind(entries->READKLP, "@READKLP$QP10TSDORECORD");
    bind(entries->WRITEKLP, "@WRITEKLP$QP10TSDORECORD");
    bind(entries->WRITECAN, "@WRITECAN$QP10TCANRECORD");
    bind(entries->WRITECANRTR, "@WRITECANRTR$QP10TCANRECORD");
    bind(entries->SETKLPTIMEOUT, "@SETKLPTIMEOUT$QUL");
    bind(entries->COMMPROGKLP, "@COMMPROGKLP$QUS");
    bind(entries->GETFAULTKLP, "@GETFAULTKLP$QI");
    bind(entries->GETSYSTEMSTATE, "@GETSYSTEMSTATE$QV");
    bind(entries->CHECKSYSTEMPOWERDOWNREQUEST, "@CHECKSYSTEMPOWERDOWNREQUEST$QV");
    bind(entries->CHECKSDO5CHANNELCONFLICT, "@CHECKSDO5CHANNELCONFLICT$QV");
    if (!missing.empty()) {
        Unload();
        throw ui::Exception(std::string(text::kMissingExport) + missing);
    }
    entries_ = std::move(entries);
    calls_ = std::make_unique<LibraryCallThread>(wait_);

    TINITKLP init{kSdoTimeoutMs, 50};
    bool failed = true;
    try {
        failed = Library([&] { return entries_->OPENKLP(&init); });
    } catch (const ui::Exception&) {
        // A start that raises has taken down what it built.
        Unload();
        throw;
    }
    if (failed) {
        Unload();
        throw ui::Exception(text::kE0023);
    }
    opened_ = true;
    Wait(500ms);
    // Besides the check itself, this call lets the library start handling SDO answers.
    std::uint8_t conflict = 0;
    try {
        conflict = Library([&] { return entries_->CHECKSDO5CHANNELCONFLICT(); });
    } catch (const ui::Exception&) {
        CloseQuietly();
        throw;
    }
    if (conflict != 0) {
        CloseQuietly();
        throw ui::Exception(text::kChannelConflict);
    }
}

void TMCCANInterface::Close() {
    if (!module_) return;
    // The library reports a stack thread that does not stop with its own fatal error. That thread
    // may still be running the library's code, so the library stays loaded, and the error goes to
    // the caller in the class the transfers catch.
    if (opened_ && entries_ && entries_->CLOSEKLP != nullptr) {
        Library([this] { entries_->CLOSEKLP(); }, text::kCloseFailed);
    }
    Unload();
}

void TMCCANInterface::CloseQuietly() noexcept {
    try {
        Close();
    } catch (...) {
        // Nobody is left to tell: the library has shown its fatal error itself.
    }
}

void TMCCANInterface::Unload() {
    opened_ = false;
    // The call thread ends before the library goes: it may hold the library's per-thread data.
    calls_.reset();
    entries_.reset();
    module_.reset();
}

std::uint8_t TMCCANInterface::getDeviceIDs(NodeArray& ids, NodeArray& profiles) {
    bool ready = false;
    for (int call = 0; call < 9 && !ready; ++call) {
        if (call > 0) Wait(500ms);
        ready = Library([this] { return entries_->READYKLP(); });
    }
    if (!ready) throw ui::Exception(std::string(text::kE0000) + text::kE0000Where);

    const std::uint32_t mask = ReadNodeMask();
    std::uint8_t count = 0;
    for (std::uint8_t node = 1; node <= 16; ++node) {
        if ((mask & (1u << node)) == 0) continue;
        const std::uint16_t profile = ReadDeviceProfile(node);
        if (profile == kSkippedProfile) continue;
        ids[count] = node;
        profiles[count] = profile;
        ++count;
    }
    return count;
}

bool TMCCANInterface::Read(std::uint16_t index, std::uint8_t sub, std::uint8_t node, std::uint8_t attempts,
                           std::int32_t length, std::uint32_t& value) {
    SdoBuffer buffer(static_cast<std::size_t>(length));
    *buffer.record() = TSDORECORD{length, index, sub, node, attempts};
    if (Library([&] { return entries_->READKLP(buffer.record()); })) return false;
    value = 0;
    for (std::int32_t i = length - 1; i >= 0; --i) value = (value << 8) | buffer.data()[i];
    return true;
}

std::uint16_t TMCCANInterface::Read16(std::uint16_t index, std::uint8_t sub, std::uint8_t node, std::uint8_t attempts,
                                      const char* error, bool communication) {
    std::uint32_t value = 0;
    if (!Read(index, sub, node, attempts, 2, value)) {
        if (communication) throw ECommunicationError(error);
        throw ui::Exception(error);
    }
    return static_cast<std::uint16_t>(value);
}

std::uint32_t TMCCANInterface::ReadNodeMask() {
    TimeoutScope scope(SetTimeout(), kNodeMaskTimeoutMs);
    std::uint32_t mask = 0;
    if (!Read(object::kPresenceMask, object::kPresenceMaskSub, 1, 3, 4, mask)) return 0;
    return mask;
}

std::uint16_t TMCCANInterface::ReadDeviceProfile(std::uint8_t node) {
    return Read16(object::kDeviceProfile, 0, node, 2, text::kE0004, true);
}

std::uint16_t TMCCANInterface::ReadHardwareVersion(std::uint8_t node) {
    return Read16(object::kHardwareVersion, object::kHardwareVersionSub, node, 2, text::kW0018, true);
}

std::uint16_t TMCCANInterface::ReadProfileVersion(std::uint8_t node) {
    return Read16(object::kProfileVersion, object::kProfileVersionSub, node, 2, text::kW0021, true);
}

std::uint16_t TMCCANInterface::ReadSoftwareVersion(std::uint8_t node) {
    const std::uint16_t profile_version = ReadProfileVersion(node);
    if ((profile_version >> 8) == 2) return Read16(object::kSoftwareVersionOfProfile2, 0, node, 2, text::kW0019, true);
    return Read16(object::kSoftwareVersion, object::kSoftwareVersionSub, node, 2, text::kW0019, true);
}

std::function<void(std::uint32_t timeout_ms)> TMCCANInterface::SetTimeout() {
    return [this](std::uint32_t timeout_ms) { Library([&] { entries_->SETKLPTIMEOUT(timeout_ms); }); };
}

bool TMCCANInterface::IsIdleState(std::uint8_t first) {
    if (first == 5) return true;
    return Library([this] { return entries_->GETSYSTEMSTATE(); }) == 4;
}

bool TMCCANInterface::IsIdle() {
    return IsIdleState(Library([this] { return entries_->GETSYSTEMSTATE(); }));
}

void TMCCANInterface::SetIdle() {
    if (IsIdle()) return;
    const std::uint8_t id = Library([this] { return entries_->GETNODEIDKLP(); });
    if (id == kNoOwnId) throw ui::Exception(text::kE0005);
    TCANRECORD frame{static_cast<std::uint16_t>(0x60 + id), 8, {0x10, id, 0, 0, 0, 0, 0, 0}};
    Library([&] { entries_->WRITECAN(&frame); });
    for (int poll = 0; poll < 10; ++poll) {
        Wait(500ms);
        if (IsIdle()) return;
    }
    throw ui::Exception(text::kE0001);
}

void TMCCANInterface::UnlockSoftwareUpdate(std::uint8_t node) {
    TimeoutScope scope(SetTimeout(), kUpdateTimeoutMs);
    SdoBuffer buffer(4);
    *buffer.record() = TSDORECORD{4, sdo::kUnlockIndex, 0, node, 1};
    const auto bytes = UnlockBytes();
    std::copy(bytes.begin(), bytes.end(), buffer.data());
    if (Library([&] { return entries_->WRITEKLP(buffer.record()); })) throw ui::Exception(text::kE0002);
}

void TMCCANInterface::DownloadSoftware(std::uint8_t node, const std::uint8_t* data, std::int32_t length) {
    TimeoutScope scope(SetTimeout(), kUpdateTimeoutMs);
    if (length < 0 || (length > 0 && data == nullptr)) throw ui::Exception(text::kE0003);
    SdoBuffer buffer(static_cast<std::size_t>(length));
    *buffer.record() = TSDORECORD{length, object::kSoftwareImage, 0, node, 1};
    if (length > 0) std::memcpy(buffer.data(), data, static_cast<std::size_t>(length));
    if (Library([&] { return entries_->WRITEKLP(buffer.record()); })) throw ui::Exception(text::kE0003);
}

std::uint16_t TMCCANInterface::ReadSectionCount(std::uint8_t node) {
    std::uint32_t byte = 0;
    if (!Read(object::kDataSections, object::kSectionCountSub, node, 3, 1, byte)) {
        throw ui::Exception(text::kSectionCountError);
    }
    return static_cast<std::uint16_t>(object::SectionCountOf(static_cast<std::uint8_t>(byte)));
}

std::uint16_t TMCCANInterface::ReadSectionInfo(std::uint8_t node, std::uint8_t k) {
    return Read16(object::kDataSections, object::SectionInfoSub(k), node, 3, text::kE0068, false);
}

std::uint32_t TMCCANInterface::ReadSectionSize(std::uint8_t node, std::uint8_t k) {
    std::uint32_t size = 0;
    if (!Read(object::kDataSections, object::SectionSizeSub(k), node, 3, 4, size)) throw ui::Exception(text::kE0068);
    return size;
}

void TMCCANInterface::ReadSectionData(std::uint8_t node, std::uint8_t k, std::uint8_t* destination, std::int32_t size) {
    if (size < 0 || (size > 0 && destination == nullptr)) throw ui::Exception(text::kMalformedSection);
    SdoBuffer buffer(static_cast<std::size_t>(size) + kSectionSlack);
    *buffer.record() = TSDORECORD{size, object::kDataSections, object::SectionDataSub(k), node, 2};
    if (Library([&] { return entries_->READKLP(buffer.record()); })) throw ui::Exception(text::kE0068);
    // The announced size and the bytes that came are both the device's word: only what both
    // agree on is taken.
    if (buffer.record()->length != size) throw ui::Exception(text::kMalformedSection);
    if (size > 0) std::memcpy(destination, buffer.data(), static_cast<std::size_t>(size));
}

std::uint32_t TMCCANInterface::ReadSectionByType(std::uint16_t node, std::uint16_t type, std::uint8_t& value,
                                                 std::span<std::uint8_t> destination) {
    const auto node8 = static_cast<std::uint8_t>(node);
    const std::uint16_t count = ReadSectionCount(node8);
    std::uint32_t result = 0;
    for (std::uint16_t k = 1; k <= count; ++k) {
        const auto k8 = static_cast<std::uint8_t>(k);
        const std::uint16_t info = ReadSectionInfo(node8, k8);
        if ((info >> 8) != type) continue;
        const std::uint32_t size = ReadSectionSize(node8, k8);
        if (size > destination.size()) throw ui::Exception(text::kMalformedSection);
        ReadSectionData(node8, k8, destination.data(), static_cast<std::int32_t>(size));
        value = static_cast<std::uint8_t>(info & 0xFF);
        result = size;
    }
    return result;
}

}  // namespace app
