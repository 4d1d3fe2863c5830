#pragma once

#include <array>
#include <memory>

#include "base/Missing.h"
#include "study/StudyTypes.h"

namespace veltrio {

class Program;
class TTavContents;
class TGraphWindow;

// "Consensus means vs assigned values": each level's general mean m of the
// participating laboratories against its assigned value µ, as a recovery
// 100·m/µ and as a chart against the line y = x. Slots 1..3 (0 unused).
class TFoundVsNominal {
public:
    TFoundVsNominal() { Recovery.fill(MissingValue); }

    std::array<double, MaxLevels + 1> Recovery{};

    // The recovery of every level from the current level statistics (they
    // follow the marks of the outlier tests and of exclusions).
    void Calculate(const Program& program);
    std::unique_ptr<TTavContents> MakeReport(Program& program) const;
    // Null when no level has both a consensus mean and an assigned value.
    std::shared_ptr<TGraphWindow> MakeChart(Program& program) const;
};

// The menu command: the assigned values are checked first (every level must
// have one; otherwise the check's message and nothing else), then the
// document and the chart.
void ConsensusMeansVsAssignedValues(Program& program);

} // namespace veltrio
