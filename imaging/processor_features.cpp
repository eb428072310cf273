#include "imaging/processor_features.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace imaging {

TProcessorFeatures DetectProcessorFeatures() {
    TProcessorFeatures features;
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    // __get_cpuid checks that the instruction exists (the flags-bit-21 test on 32-bit targets)
    // and that leaf 1 is supported before it executes it.
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) {
        features.HasCpuid = true;
        features.Family = (eax >> 8) & 0x0Fu;
        features.HasMmx = ((edx >> 23) & 1u) != 0;
    }
#endif
    features.PackedIntegerCapable = features.HasCpuid && features.Family >= 5 && features.HasMmx;
    return features;
}

const TProcessorFeatures& ProcessorFeatures() {
    static const TProcessorFeatures detected = DetectProcessorFeatures();
    return detected;
}

std::string DescribeProcessorFeatures(const TProcessorFeatures& f) {
    std::string text = "CPUID ";
    text += f.HasCpuid ? "yes" : "no";
    if (f.HasCpuid) {
        text += ", family " + std::to_string(f.Family);
        text += f.HasMmx ? ", MMX yes" : ", MMX no";
    }
    text += f.PackedIntegerCapable ? ", packed-integer blend capable" : ", no packed-integer blend";
    return text;
}

}  // namespace imaging
