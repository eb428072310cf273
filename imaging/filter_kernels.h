// The resampling kernels of the stretch copy. Each takes a single-precision argument and returns
// a single-precision value; intermediate arithmetic runs in x87 extended precision except where
// a kernel rounds to single on purpose. The album shows exactly the pixels these produce, so the
// rounding points below are part of the contract, not an implementation detail.
#pragma once

#include <cstdint>
#include <limits>

namespace imaging {

// Extended precision: 64-bit mantissa, as the contributor weights are specified in.
using Extended = long double;
static_assert(std::numeric_limits<Extended>::digits == 64,
              "the resampling weights need x87 extended precision (64-bit mantissa)");

enum class TStretchFilter : std::uint8_t { sfNearest = 0, sfLinear = 1, sfSpline = 2, sfLanczos = 3, sfMitchell = 4 };

using TFilterKernel = float (*)(float x);

float BoxKernel(float x);
float TriangleKernel(float x);
float CubicBSplineKernel(float x);
float Lanczos3Kernel(float x);
float MitchellKernel(float x);
// sin(pi*x)/(pi*x), 1 at 0; pi*x is rounded to single first and the quotient is single.
float NormalisedSinc(float x);

struct TFilterInfo {
    TFilterKernel Kernel;
    float Radius;
};
// One row per filter value; sfNearest's box row exists for completeness (its sampler never
// evaluates a kernel).
TFilterInfo FilterInfo(TStretchFilter filter);

// Round to the nearest integer, halves to even, whatever the floating-point environment says.
std::int64_t RoundHalfEven(Extended value);

}  // namespace imaging
