#pragma once

#include <array>
#include <vector>

#include "base/Missing.h"
#include "study/StudyTypes.h"

namespace veltrio {

class DataType;
class Host;

struct TCell {
    double Mean = MissingValue;
    double Variance = MissingValue;
    double Difference = MissingValue; // result 1 - result 2, with exactly two replicates
    int N = MissingCount;
};

// Cell and level statistics of a study. Levels and laboratories are 1-based;
// per-level tables have three slots.
class TDescriptiveStatistics {
public:
    TDescriptiveStatistics(int noOfLevels, int noOfLabs);

    int NoOfLevels = 0;
    int NoOfLabs = 0;
    std::array<double, MaxLevels> GrandMean{};
    std::array<int, MaxLevels> NoOfValidLabs{};
    std::array<int, MaxLevels> NoOfGrubbsLabs{};
    std::array<double, MaxLevels> RepeatVar{};
    std::array<double, MaxLevels> BetweenMeanSquare{};
    std::array<double, MaxLevels> BetweenLabVar{};
    std::array<double, MaxLevels> RepeatCV{};
    std::array<double, MaxLevels> BetweenLabCV{};
    std::array<double, MaxLevels> CochranStat{};
    std::array<double, MaxLevels> GrubbsStat{};

    // Per-level figures by 1-based level.
    static std::size_t Slot(int level);

    void SetCell(int level, int lab, int n, double difference, double variance, double mean);
    const TCell& Cell(int level, int lab) const;
    double Mean(int level, int lab) const { return Cell(level, lab).Mean; }
    double Variance(int level, int lab) const { return Cell(level, lab).Variance; }
    double SD(int level, int lab) const;
    double Difference(int level, int lab) const { return Cell(level, lab).Difference; }
    int N(int level, int lab) const { return Cell(level, lab).N; }

    // The two statistics runs, always in this order. `progress` (may be
    // null) shows one step per laboratory and level.
    void ComputeCells(const DataType& study, Host* progress);
    void ComputeLevels(const DataType& study);

private:
    std::size_t CellIndex(int level, int lab) const;
    std::vector<TCell> m_cells;
};

} // namespace veltrio
