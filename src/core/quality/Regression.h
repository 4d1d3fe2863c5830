#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "base/Missing.h"
#include "study/StudyTypes.h"

namespace veltrio {

class Program;
class TTavContents;
class TGraphWindow;

// The weighted regression y = a + b·x + E, σ(E) = γ·w(x), of the results y
// on the assigned values x of the levels, w being the weight function. Each
// result enters scaled by its level's weight: y/w = a·u + b·v with u = 1/w,
// v = x/w. Per-level arrays have slots 1..3; -99 where a figure cannot be
// formed.
class TRegressionFigures {
public:
    using PerLevel = std::array<double, MaxLevels + 1>;

    TRegressionFigures() { Clear(); }

    PerLevel WeightValue{};
    PerLevel U{};
    PerLevel V{};
    PerLevel LevelMeanY{};
    std::array<int, MaxLevels + 1> ResultCount{};
    double Alpha = MissingValue;
    double Beta = MissingValue;
    double Gamma = MissingValue;
    double C11 = MissingValue;
    double C22 = MissingValue;
    double C12 = MissingValue;
    // The result-weighted mean assigned value.
    double MeanX = MissingValue;
    int N = 0;
    // Levels that have results in the fit.
    int L = 0;
    // Replicate positions visited (the divisor of γ²).
    int K = 0;
    double SAK1 = MissingValue;
    double SAKo = MissingValue;
    double SAK2 = MissingValue;
    double LackOfFitF = MissingValue;
    double LackOfFitP = MissingValue;
    double SlopeT = MissingValue;
    double SlopeP = MissingValue;
    double BiasT = MissingValue;
    double BiasP = MissingValue;
    double IdentityF = MissingValue;
    double IdentityP = MissingValue;

    void Clear();

    // What Calculate found.
    enum class TFitResult {
        Fitted,
        // No result in any level with a positive weight.
        NoResults,
        // The results used lie on one assigned value (D = 0): no line.
        OneAssignedValue,
    };

protected:
    // The fit of the used results, per level (slots 1..3), scaled by the
    // level weights of the program's weight function. `visited` counts the
    // replicate positions of the laboratories taken. Throws EVeltrioError
    // when the sums of squares contradict each other.
    TFitResult Fit(const Program& program, const std::array<std::vector<double>, MaxLevels + 1>& y,
                   int visited, bool oneLab);
};

// The consistency checks of the sums of squares: empty when they hold, else
// the message that ends the command. SAK2 ≤ SAK1 ≤ SAKo within 0.1 % and
// within `tolerance` (the rounding noise of the sums).
std::string RegressionConsistencyError(double sak1, double sak2, double sako, bool oneLab,
                                       double tolerance = 0);

extern const char* const OneAssignedValueMessage;
extern const char* const NoRegressionResultsMessage;
extern const char* const NoLevelsForLabMessage;
extern const char* const RegressionCaption;
extern const char* const LabRegressionCaption;

// "Regression analysis": every usable result of every counted laboratory.
class TRegression : public TRegressionFigures {
public:
    struct TQuantiles {
        double Minimum = MissingValue, P5 = MissingValue, Q1 = MissingValue, Median = MissingValue,
               Q3 = MissingValue, P95 = MissingValue, Maximum = MissingValue;
    };
    std::array<TQuantiles, MaxLevels + 1> Quantiles{};

    // Needs a determined weight function.
    TFitResult Calculate(Program& program);
    std::unique_ptr<TTavContents> MakeReport(Program& program) const;
    std::shared_ptr<TGraphWindow> MakeChart(Program& program) const;
};

// "Regression analysis on a laboratory": the results of one laboratory.
class TLabRegression : public TRegressionFigures {
public:
    int ChosenLab = MissingCount;

    // Whether the laboratory has, in at least two levels, a valid cell with
    // a mean.
    static bool HasTwoLevels(const Program& program, int lab);
    TFitResult Calculate(Program& program);
    std::unique_ptr<TTavContents> MakeReport(Program& program) const;
    std::shared_ptr<TGraphWindow> MakeChart(Program& program) const;
};

// The menu commands: the checks of the assigned values, the outlier test of
// the preparation, the weight function when it is not determined (stopping
// when it is cancelled), then the figures, the document and the chart. The
// regression on a laboratory has the laboratory chosen (and checked) before
// the weight function.
void RegressionAnalysis(Program& program);
void RegressionAnalysisOnALaboratory(Program& program);

} // namespace veltrio
