#pragma once

#include <array>
#include <memory>

#include "base/Missing.h"
#include "study/StudyTypes.h"

namespace veltrio {

class Program;
class TTavContents;

// "ISO Guide 35 : 1989": the study as a certification exercise. Per level
// the mean of the laboratory means, its standard error from their spread
// and the 95 % confidence interval from Student's t with p − 1 degrees of
// freedom. It reads the raw results; marks ' ', 'c' and 'g' take part.
// Per-level slots 1..3; -99 where a figure cannot be formed.
class TISOGuide {
public:
    std::array<int, MaxLevels + 1> LabCount{};
    std::array<int, MaxLevels + 1> ReplicateCount{};
    std::array<double, MaxLevels + 1> LevelMean{};
    // The laboratory means of the level computed last.
    std::array<double, MaxLabs + 1> LabMean{};
    std::array<double, MaxLevels + 1> StdError{};
    std::array<double, MaxLevels + 1> LowerLimit{};
    std::array<double, MaxLevels + 1> UpperLimit{};

    void Calculate(const Program& program);
    std::unique_ptr<TTavContents> MakeReport(Program& program) const;
};

// The menu command: a new evaluation, its document shown.
void ISOGuide35(Program& program);

} // namespace veltrio
