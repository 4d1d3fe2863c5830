#include "labs/MandelH.h"

#include "labs/MandelCritical.h"
#include "numerics/Stat.h"
#include "study/Program.h"

namespace veltrio {

namespace {

bool Excluded(char mark) {
    return mark == MarkFileExcluded || mark == MarkUserExcluded;
}

} // namespace

TMandelH::TMandelH(Program& program) : TMandel(program, -3, 3) {}

double TMandelH::CriticalValue(int p, TSignificanceLevel significance) const {
    return MandelHCritical(p, significance);
}

char TMandelH::OutlierMark() const {
    return MarkGrubbsOutlier;
}

bool TMandelH::OnAxis(double value) const {
    return ChartMin < value && value <= ChartMax;
}

void TMandelH::CalculateLevel(int levelNo, std::vector<double>& values) const {
    const TLevel& level = m_program.CurrentStudy->Level(levelNo);
    std::vector<double> means(values.size(), MissingValue);
    // Every result of the reference laboratories counts once, so a
    // laboratory with more results weighs more in the mean.
    TStat results;
    TStat referenceMeans;
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        const char mark = level.GetMark(lab);
        if (Excluded(mark)) {
            continue;
        }
        TStat own;
        for (const TResult& r : level.Results(lab)) {
            if (r.Usable()) {
                own.Add(r.Value);
            }
        }
        if (own.NValues() == 0) {
            continue;
        }
        means[static_cast<std::size_t>(lab)] = own.Avg();
        if (IsIncludedMark(mark)) {
            for (const TResult& r : level.Results(lab)) {
                if (r.Usable()) {
                    results.Add(r.Value);
                }
            }
            referenceMeans.Add(own.Avg());
        }
    }
    const double centre = results.Avg();
    const double s = referenceMeans.Std();
    if (centre == MissingValue || s == 0) {
        return;
    }
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        const double mean = means[static_cast<std::size_t>(lab)];
        if (mean != MissingValue) {
            values[static_cast<std::size_t>(lab)] = (mean - centre) / s;
        }
    }
}

void MandelHValues(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    TMandelH mandel(program);
    RunMandel(mandel);
}

} // namespace veltrio
