#pragma once

#include <array>

#include "base/Missing.h"
#include "study/Program.h"

namespace veltrio {

// The figures of "Descriptive statistics": per level and, in a split-level
// design, per sample column (a uniform design uses column 1). Levels and
// columns are 1-based in the accessors.
class TPreliminaryStats : public TDerivedState {
public:
    template <typename T> using Grid = std::array<std::array<T, 4>, 3>;

    TPreliminaryStats() { ResetDescriptive(); }

    // The figures count the outliers of the tests as usable: only
    // exclusions and other values (another study or scale) void them.
    void StateChanged(TStateChange change) override {
        if (change != TStateChange::OutlierTest) {
            ResetDescriptive();
        }
    }

    bool DescCalculated = false;
    Grid<double> DescMin{};
    Grid<double> DescMax{};
    Grid<double> DescMean{};
    Grid<double> DescMedian{};
    Grid<double> DescQ25{};
    Grid<double> DescQ75{};
    Grid<double> DescRange{};
    Grid<double> DescIQR{};
    Grid<double> DescSD{};
    Grid<double> DescRobustSD{};
    Grid<double> DescCV{};
    Grid<double> DescRobustCV{};
    Grid<int> DescTotal{};
    Grid<int> DescExcluded{};
    Grid<int> DescBelowLimit{};
    Grid<int> DescMissing{};
    Grid<int> DescUsable{};

    template <typename T> static T& At(Grid<T>& g, int level, int column) {
        return g.at(static_cast<std::size_t>(level - 1)).at(static_cast<std::size_t>(column - 1));
    }
    template <typename T> static const T& At(const Grid<T>& g, int level, int column) {
        return g.at(static_cast<std::size_t>(level - 1)).at(static_cast<std::size_t>(column - 1));
    }

    void ResetDescriptive();
    // Computes the figures of the loaded study and sets DescCalculated.
    void ComputeDescriptive(Program& program);

private:
    void ComputeSplitLevel(Program& program);
    void ComputeUniform(Program& program);
};

// The program's descriptive figures, made on first use and computed when
// they are not current.
TPreliminaryStats& CurrentDescriptiveFigures(Program& program);

// The robust standard deviation of an interquartile range: IQR / 1.349.
double RobustSDOf(double iqr);

} // namespace veltrio
