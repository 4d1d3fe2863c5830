#pragma once

namespace veltrio {

// Critical values of the Cochran and Grubbs outlier tests. The tables are
// read-only and the lookups have no side effects. A result of −99 (the missing
// value) means that no test is possible.

enum class TSignificanceLevel { OnePercent, FivePercent };

enum class TGrubbsKind {
    Single, // one largest or one smallest laboratory: upper critical values
    Double  // two largest or two smallest laboratories: lower critical values
};

// n replicates per laboratory, p laboratories.
//   2 ≤ n ≤ 10, 2 ≤ p ≤ 40: the table (ISO 5725-2 Table 4 for n ≤ 6);
//   2 ≤ n ≤ 10, otherwise:  the power law exp(B + A·ln p) of n, with p taken
//                           as 150 outside 41 … 150;
//   n > 10:                 values from the F distribution for 2 ≤ p ≤ 150
//                           (p taken as 150 outside), n taken as 20 above 20;
//   n < 2:                  −99.
double CochranCriticalValue(int n, int p, TSignificanceLevel level);

// p laboratories; −99 for p > 400.
//   Single: the table for 3 ≤ p ≤ 147, otherwise a straight line in p.
//   Double: the table for 3 ≤ p ≤ 149 (−99 at p = 3), otherwise the value of
//           p = 149.
double GrubbsCriticalValue(TGrubbsKind kind, int p, TSignificanceLevel level);

} // namespace veltrio
