#pragma once

#include "labs/Mandel.h"

namespace veltrio {

// Mandel's within-laboratory consistency statistic k: a laboratory's
// standard deviation over the pooled repeatability standard deviation of
// the laboratories that stay in the level statistics. Cochran and Grubbs
// outliers are scored against it; the excluded laboratories (U, L) and
// those with fewer than two usable results get no value.
class TMandelK : public TMandel {
public:
    explicit TMandelK(Program& program);

    double CriticalValue(int p, TSignificanceLevel significance) const override;

protected:
    void CalculateLevel(int level, std::vector<double>& values) const override;
    char OutlierMark() const override;
    bool TwoSided() const override { return false; }
    int NameItem() const override { return 5; }
    int FirstNoteItem() const override { return 15; }
    std::string Symbol() const override { return "k"; }
    bool OnAxis(double value) const override;
};

// The menu command "Mandel's k-values".
void MandelKValues(Program& program);

} // namespace veltrio
