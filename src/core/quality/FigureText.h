#pragma once

#include <cmath>
#include <string>

#include "base/Missing.h"
#include "documents/NumberText.h"

namespace veltrio {

// The texts of the figures that the weight function and the regression
// documents share.

// A figure with thousands separators; "-" for a missing one.
inline std::string Num(double v, int precision, int decimals) {
    return v == MissingValue ? std::string("-") : FormatThousands(v, precision, decimals);
}

// eᵃ of the logarithmic relation; "-" without an intercept or when it
// overflows.
inline std::string ExpNum(double a, int precision, int decimals) {
    if (a == MissingValue) {
        return "-";
    }
    const double e = std::exp(a);
    return std::isfinite(e) ? FormatThousands(e, precision, decimals) : std::string("-");
}

// Decimals of u = 1/w: as many as w has integer digits (1 up to 10, 2 up to
// 100, ...).
inline int InverseDecimals(double w) {
    int d = 1;
    for (double limit = 10; w > limit && d < 12; limit *= 10) {
        ++d;
    }
    return d;
}

} // namespace veltrio
