// Processor identification, run once per process when the subsystem starts.
//
// The blend routines once had a packed-integer implementation for processors with MMX and a
// plain one for the rest, and the two gave different pixels. Now one portable implementation
// computes the packed form's arithmetic everywhere (see blend.h), so the detection no longer
// selects code; it is kept so the program can report what the processor offers.
#pragma once

#include <cstdint>
#include <string>

namespace imaging {

struct TProcessorFeatures {
    bool HasCpuid = false;     // the identification instruction exists
    std::uint32_t Family = 0;  // bits 8-11 of the leaf-1 signature
    bool HasMmx = false;       // leaf 1, EDX bit 23
    // What the original selection rule would pick: CPUID, family 5 or later, and MMX.
    bool PackedIntegerCapable = false;
};

// Asks the processor now.
TProcessorFeatures DetectProcessorFeatures();
// Detected on first use and kept for the rest of the process.
const TProcessorFeatures& ProcessorFeatures();
// One line for logs and about boxes, e.g. "CPUID yes, family 6, MMX yes, packed-integer blend capable".
std::string DescribeProcessorFeatures(const TProcessorFeatures& features);

}  // namespace imaging
