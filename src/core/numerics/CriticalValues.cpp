#include "numerics/CriticalValues.h"

#include "base/Missing.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace veltrio {

namespace {

// The tables are single-precision numbers, as the program has always held
// them; a lookup widens the stored float.
#include "numerics/CriticalValueTables.inc"

int Column(TSignificanceLevel level) {
    return level == TSignificanceLevel::OnePercent ? 0 : 1;
}

struct TPowerLaw {
    double A;
    double B;
};

// Cochran's critical value for 41 ≤ p ≤ 150 is exp(B + A·ln p); per n = 2 … 10,
// the 1 % pair and the 5 % pair.
constexpr std::array<std::array<TPowerLaw, 2>, 9> CochranPowerLaw = {{
    {{{-0.71429, 1.39423}, {-0.72466, 1.21995}}},
    {{{-0.78870, 1.24576}, {-0.78550, 1.04007}}},
    {{{-0.82068, 1.12563}, {-0.81870, 0.93595}}},
    {{{-0.83412, 1.01836}, {-0.83438, 0.84668}}},
    {{{-0.85266, 0.96384}, {-0.84871, 0.78693}}},
    {{{-0.86266, 0.90794}, {-0.86391, 0.75321}}},
    {{{-0.87196, 0.86484}, {-0.85976, 0.67610}}},
    {{{-0.87838, 0.82289}, {-0.87108, 0.65568}}},
    {{{-0.87915, 0.77397}, {-0.87261, 0.61455}}},
}};

constexpr int CochranLastP = 150;

} // namespace

double CochranCriticalValue(int n, int p, TSignificanceLevel level) {
    const int c = Column(level);
    if (n >= 2 && n <= 10) {
        if (p >= 2 && p <= 40) {
            return CochranTable[n - 2][p - 2][c];
        }
        const double q = (p >= 41 && p <= CochranLastP) ? p : CochranLastP;
        const TPowerLaw& law = CochranPowerLaw[static_cast<std::size_t>(n - 2)][c];
        return std::exp(law.B + law.A * std::log(q));
    }
    if (n > 10) {
        // Designs with this many replicates are rare; beyond 20 the value of 20
        // replicates is used, which is larger and so errs on the side of not
        // marking a laboratory.
        const int m = std::min(n, 20);
        const int q = (p >= 2 && p <= CochranLastP) ? p : CochranLastP;
        return CochranManyReplicatesTable[m - 11][q - 2][c];
    }
    return MissingValue;
}

double GrubbsCriticalValue(TGrubbsKind kind, int p, TSignificanceLevel level) {
    const int c = Column(level);
    if (p > 400) {
        return MissingValue;
    }
    if (kind == TGrubbsKind::Single) {
        if (p >= 3 && p <= 147) {
            return GrubbsSingleTable[p - 3][c];
        }
        return c == 0 ? 0.002728 * p + 3.486512 : 0.002669 * p + 3.121346;
    }
    const int q = (p >= 3 && p <= 149) ? p : 149;
    return GrubbsDoubleTable[q - 3][c];
}

} // namespace veltrio
