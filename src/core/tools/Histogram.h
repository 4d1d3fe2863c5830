#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "base/Missing.h"
#include "numerics/Stat.h"
#include "study/StudyTypes.h"

namespace veltrio {

class Program;
class TGraphWindow;
class TTavContents;

// One class of a histogram: (Lower, Upper], except the open tails 1 and 17.
struct THistogramClass {
    double Lower = 0;
    double Upper = 0;
    double Count = 0;
    double PNormal = 0;
    double PLognormal = 0;
};

inline constexpr int HistogramClassCount = 17;

// A usable value beyond the outer classes, listed below the chart.
struct THistogramOutside {
    std::string RandCode;
    double Value = MissingValue;
    int Decimals = 0;
};

// The figures of one level's histogram and its goodness-of-fit tests.
struct THistogramLevel {
    // Two or more usable values that are not all equal.
    bool HasSpread = false;
    int N = 0;
    double Mean = MissingValue;
    double SD = MissingValue;
    double LogMean = MissingValue;
    double LogSD = MissingValue;
    // The lognormal fit applies: every value and every bound that it needs
    // is positive and the logarithms spread.
    bool LognormalOK = false;
    double ClassWidth = MissingValue;
    // Classes 1..17 at indices 0..16.
    std::array<THistogramClass, HistogramClassCount> Classes{};
    double MaxCount = 0;
    std::vector<THistogramOutside> Outside;
    double SumPNormal = MissingValue;
    double SumPLognormal = MissingValue;
    // G statistics and their upper-tail probabilities; -99 for a fit that
    // was dropped.
    double GNormal = MissingValue;
    double PNormal = MissingValue;
    double GLognormal = MissingValue;
    double PLognormal = MissingValue;
};

// "Histograms": per level the distribution of the laboratories' results in
// 17 classes of 0.4 standard deviations (one significant digit) centred on
// the mean, and G tests of a fitted normal and lognormal distribution.
class THistogram {
public:
    // The G tests have 17 classes less one, less the two estimated
    // parameters.
    static constexpr int DegreesOfFreedom = HistogramClassCount - 1 - 2;

    // Per-level figures, slots 1..3.
    std::array<THistogramLevel, MaxLevels + 1> Levels{};
    std::array<TStatObject, MaxLevels + 1> ValueStats{};
    std::array<TStatObject, MaxLevels + 1> LogStats{};

    // Collects the usable values of every level and computes the classes,
    // the counts and the fits.
    void Calculate(Program& program);
    // The chart of one level (it must have spread).
    std::shared_ptr<TGraphWindow> HistogramChart(Program& program, int level) const;
    // The fit table of one level as a keep-together block of the document.
    void HistogramFitTable(Program& program, int level, TTavContents& document) const;

private:
    void PrepareHistograms(Program& program);
    void ComputeLevel(Program& program, int level);
};

// The menu command: a chart per level with spread, the document of the fit
// tables, and a message for every level without spread.
void RunHistograms(Program& program);

// x (> 0) rounded to one significant digit (halves to even): 0.92 -> 0.9,
// 3.4 -> 3, 9.6 -> 10, 12 -> 10. -99 for x that is not positive and finite.
double OneDigitWidth(double x);
// The standard normal distribution function by its power series near 0 and
// its continued fraction in the tails.
double NormalCDF(double z);

} // namespace veltrio
