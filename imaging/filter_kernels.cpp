#include "imaging/filter_kernels.h"

#include <cmath>

namespace imaging {

namespace {
// pi to the full extended mantissa.
constexpr Extended kPi = 3.14159265358979323846264338327950288L;
}  // namespace

std::int64_t RoundHalfEven(Extended value) {
    const Extended lower = std::floor(value);
    const Extended diff = value - lower;
    auto n = static_cast<std::int64_t>(lower);
    if (diff > 0.5L || (diff == 0.5L && (n % 2) != 0)) ++n;
    return n;
}

float BoxKernel(float x) { return (x > -0.5f && x <= 0.5f) ? 1.0f : 0.0f; }

float TriangleKernel(float x) {
    if (x >= -1.0f && x < 0.0f) return static_cast<float>(Extended{x} + 1);
    if (x >= 0.0f && x < 1.0f) return static_cast<float>(1 - Extended{x});
    return 0.0f;
}

float CubicBSplineKernel(float x) {
    const float t = std::fabs(x);
    if (t < 1.0f) {
        const float tt = static_cast<float>(Extended{t} * t);  // t^2 rounded to single
        return static_cast<float>(0.5L * tt * t - tt + 2.0L / 3.0L);
    }
    if (t < 2.0f) {
        const float u = static_cast<float>(2 - Extended{t});  // 2 - t rounded to single
        return static_cast<float>(Extended{u} * u * u / 6);
    }
    return 0.0f;
}

float NormalisedSinc(float x) {
    if (x == 0.0f) return 1.0f;
    const float px = static_cast<float>(kPi * x);  // pi*x rounded to single before the sine
    return static_cast<float>(std::sin(Extended{px}) / px);
}

float Lanczos3Kernel(float x) {
    const float t = std::fabs(x);
    if (t >= 3.0f) return 0.0f;
    // t / 3 is rounded to single when it becomes the sinc's argument.
    const float lobe = NormalisedSinc(static_cast<float>(Extended{t} / 3));
    return static_cast<float>(Extended{NormalisedSinc(t)} * lobe);
}

float MitchellKernel(float x) {
    const float t = std::fabs(x);
    const float tt = static_cast<float>(Extended{t} * t);    // t^2 rounded to single
    const float ttt = static_cast<float>(Extended{tt} * t);  // t^3 from the rounded t^2, single
    if (t < 1.0f) return static_cast<float>((7 * Extended{ttt} - 12 * Extended{tt} + 16.0L / 3.0L) / 6);
    if (t < 2.0f) {
        return static_cast<float>((-(7.0L / 3.0L) * ttt + 12 * Extended{tt} - 20 * Extended{t} + 32.0L / 3.0L) / 6);
    }
    return 0.0f;
}

TFilterInfo FilterInfo(TStretchFilter filter) {
    switch (filter) {
    case TStretchFilter::sfNearest:
        return {BoxKernel, 1.0f};
    case TStretchFilter::sfLinear:
        return {TriangleKernel, 1.0f};
    case TStretchFilter::sfSpline:
        return {CubicBSplineKernel, 2.0f};
    case TStretchFilter::sfLanczos:
        return {Lanczos3Kernel, 3.0f};
    case TStretchFilter::sfMitchell:
        return {MitchellKernel, 2.0f};
    }
    return {BoxKernel, 1.0f};
}

}  // namespace imaging
