#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace veltrio::test {

// Degrees of freedom 1 … 400: every small value, then spread out.
inline std::vector<int> DegreesOfFreedom() {
    return {1,  2,  3,  4,  5,  6,  7,  8,   9,   10,  12,  15,
            20, 25, 30, 40, 50, 60, 75, 100, 150, 200, 300, 400};
}

// Probabilities from 1e-6 to 1 − 1e-6, dense in both tails.
inline std::vector<double> Probabilities() {
    std::vector<double> p;
    for (double q : {1e-6, 1e-5, 1e-4, 1e-3, 0.01, 0.025, 0.05, 0.1, 0.25}) {
        p.push_back(q);
        p.push_back(1.0 - q);
    }
    p.push_back(0.5);
    std::sort(p.begin(), p.end());
    return p;
}

// Error of a probability relative to its smaller tail, so that 1e-6 and
// 1 − 1e-6 are both judged on their significant digits.
inline double TailRelativeError(double value, double reference) {
    const double tail = std::min(reference, 1.0 - reference);
    return std::fabs(value - reference) / tail;
}

// The argument in [lo, hi] at which a monotone function takes the value
// target, by bisection (geometric when both ends are positive, so that the
// search reaches far into the tails). Boost's own inverses give up for a few
// extreme shapes; bisection always ends.
inline double Invert(const std::function<double(double)>& f, double target, double lo, double hi) {
    const bool rising = f(hi) > f(lo);
    const bool geometric = lo > 0.0;
    for (int i = 0; i < 100; ++i) {
        const double mid = geometric ? std::sqrt(lo * hi) : 0.5 * (lo + hi);
        if (mid <= lo || mid >= hi) {
            break;
        }
        if ((f(mid) < target) == rising) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return geometric ? std::sqrt(lo * hi) : 0.5 * (lo + hi);
}

// A figure for the test report, e.g. "3.1e-07".
inline std::string Figure(double x) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2g", x);
    return buf;
}

inline double RelativeError(double value, double reference) {
    return std::fabs(value - reference) / std::fabs(reference);
}

} // namespace veltrio::test
