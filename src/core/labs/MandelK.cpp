#include "labs/MandelK.h"

#include <cmath>

#include "labs/MandelCritical.h"
#include "numerics/Stat.h"
#include "study/Program.h"

namespace veltrio {

TMandelK::TMandelK(Program& program) : TMandel(program, 0, 3) {}

double TMandelK::CriticalValue(int p, TSignificanceLevel significance) const {
    return MandelKCritical(p, m_program.CurrentStudy->NoOfReplicates, significance);
}

char TMandelK::OutlierMark() const {
    return MarkCochranOutlier;
}

bool TMandelK::OnAxis(double value) const {
    return value <= ChartMax;
}

void TMandelK::CalculateLevel(int levelNo, std::vector<double>& values) const {
    const TLevel& level = m_program.CurrentStudy->Level(levelNo);
    std::vector<double> sd(values.size(), MissingValue);
    double sumOfSquares = 0;
    int q = 0;
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        const char mark = level.GetMark(lab);
        if (mark == MarkFileExcluded || mark == MarkUserExcluded) {
            continue;
        }
        TStat own;
        for (const TResult& r : level.Results(lab)) {
            if (r.Usable()) {
                own.Add(r.Value);
            }
        }
        if (own.NValues() < 2) {
            continue;
        }
        const double s = own.Std();
        sd[static_cast<std::size_t>(lab)] = s;
        if (IsIncludedMark(mark)) {
            sumOfSquares += s * s;
            ++q;
        }
    }
    if (q == 0) {
        return;
    }
    const double sr = std::sqrt(sumOfSquares / q);
    if (!(sr > 0)) {
        return;
    }
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        const double s = sd[static_cast<std::size_t>(lab)];
        if (s != MissingValue) {
            values[static_cast<std::size_t>(lab)] = s / sr;
        }
    }
}

void MandelKValues(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    TMandelK mandel(program);
    RunMandel(mandel);
}

} // namespace veltrio
