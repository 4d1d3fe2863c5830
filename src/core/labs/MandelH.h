#pragma once

#include "labs/Mandel.h"

namespace veltrio {

// Mandel's between-laboratory consistency statistic h: how far a
// laboratory's mean lies from the level's mean, in standard deviations of
// the laboratory means. The reference (mean of all results, standard
// deviation of the means) is taken over the laboratories that stay in the
// level statistics; Cochran and Grubbs outliers are scored against it, the
// excluded laboratories (U, L) get no value.
class TMandelH : public TMandel {
public:
    explicit TMandelH(Program& program);

    double CriticalValue(int p, TSignificanceLevel significance) const override;

protected:
    void CalculateLevel(int level, std::vector<double>& values) const override;
    char OutlierMark() const override;
    bool TwoSided() const override { return true; }
    int NameItem() const override { return 1; }
    int FirstNoteItem() const override { return 12; }
    std::string Symbol() const override { return "h"; }
    bool OnAxis(double value) const override;
};

// The menu command "Mandel's h-values".
void MandelHValues(Program& program);

} // namespace veltrio
