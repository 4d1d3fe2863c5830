#pragma once

#include <array>

#include "base/Missing.h"
#include "study/StudyTypes.h"

namespace veltrio {

class Program;

// The differences within the sample pairs of a split-level study and the
// automatic spiking correction that the Cochran test applies with them.
// Per-level figures have slots 1..3 (index 0 unused).
class TSplitControl {
public:
    TSplitControl() { Clear(); }

    int SignificantLevels = 0;
    std::array<double, MaxLevels + 1> MeanDifference{};
    std::array<double, MaxLevels + 1> TValue{};
    std::array<double, MaxLevels + 1> PValue{};
    std::array<double, MaxLevels + 1> DiffSD{};
    std::array<double, MaxLevels + 1> DiffVariance{};
    // The pair differences have been computed for the loaded study.
    bool PairsComputed = false;

    // The state of a newly opened study.
    void Clear();
    // A level whose mean pair difference differs significantly from zero.
    bool Significant(int level) const;
    // Whether the Cochran test and its report correct the pairs: the
    // setting is on and some level is significant.
    bool CorrectionApplies(const Program& program) const;
    // Adds (apply) or takes off (remove) each significant level's mean
    // difference to every usable second result, then recomputes the cell
    // and level statistics and clears both outlier-test flags.
    void AutoSpikingCorrection(Program& program, bool apply) const;
};

// The program's split-level control, made on first use.
TSplitControl& SplitControlOf(Program& program);

} // namespace veltrio
