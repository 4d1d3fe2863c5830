#pragma once

#include "numerics/CriticalValues.h"

namespace veltrio {

// Critical values of Mandel's statistics (ISO 5725-2, indicators for h and
// k). −99 when there is none.

// p laboratories: the ISO table for 3 ≤ p ≤ 30; above it the value at p = 3
// plus a saturating rise in p, raised to the next hundredth.
double MandelHCritical(int p, TSignificanceLevel level);

// p laboratories with n replicates: the ISO table for 3 ≤ p ≤ 30 and
// 2 ≤ n ≤ 9; otherwise (p > 30, or n = 10 at any p) the value at p = 3
// plus b(n)·(1 − exp(−a(n)·(p − 3))), raised to the next hundredth.
// −99 for p < 3, n < 2 or n > 10.
double MandelKCritical(int p, int n, TSignificanceLevel level);

// The smallest multiple of 0.01 that is not below x.
double CeilHundredths(double x);

} // namespace veltrio
