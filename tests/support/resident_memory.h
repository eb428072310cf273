// The process's resident memory as the system counts it, for tests and tools that check how much
// memory a command takes: the peak since the last reset, from /proc/self/status.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace test_support {

// Whether the peaks measured are the program's: a sanitizer's allocator keeps freed memory back
// and shadows every byte, so there they measure the sanitizer. Tests check peaks only where they
// are the program's.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kPeaksAreThePrograms = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool kPeaksAreThePrograms = false;
#else
inline constexpr bool kPeaksAreThePrograms = true;
#endif
#else
inline constexpr bool kPeaksAreThePrograms = true;
#endif

// How far the resident memory rises above what it is when the watch starts, in MiB.
class PeakWatch {
public:
    PeakWatch();
    double RiseMiB() const;

private:
    double before_;
};

// Starts a new peak at the memory resident now.
inline void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The peak resident memory since the last reset (or the start), in MiB.
inline double PeakResidentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    }
    return 0;
}

// The resident memory now, in MiB.
inline double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    }
    return 0;
}

inline PeakWatch::PeakWatch() {
    ResetPeakResident();
    before_ = ResidentMiB();
}

inline double PeakWatch::RiseMiB() const { return PeakResidentMiB() - before_; }

}  // namespace test_support
