#pragma once

#include <array>
#include <memory>
#include <span>
#include <string>

#include "base/Missing.h"
#include "study/Program.h"
#include "study/StudyTypes.h"

namespace veltrio {

class TTavContents;
class TGraphWindow;

// A straight line fitted to a few points, with its R²; -99 where a figure
// cannot be formed.
struct TLineFit {
    double Intercept = MissingValue;
    double Slope = MissingValue;
    double RSquared = MissingValue;
};

// y = b·x by least squares (a = 0). R² = 1 − SSE/SST about the mean of y;
// -99 when SST is 0 or the sums do not decompose (SSE > SSR or SSR > SST).
TLineFit FitThroughOrigin(std::span<const double> x, std::span<const double> y);
// y = a + b·x by least squares, R² = 1 − SSE/SST (-99 when SST is 0). Without
// a slope there is no intercept either.
TLineFit FitLine(std::span<const double> x, std::span<const double> y);

// "Determination of weight function": how the reproducibility standard
// deviation s(R) depends on the assigned value µ. Five relations are fitted
// over the levels; the chosen one gives the weight w of every level that the
// regression analyses use.
//   0  s(R) = b·µ               2  s(R)² = b·µ
//   1  s(R) = a + b·µ           3  s(R)² = a + b·µ
//   4  ln s(R) = a + b·ln µ, i.e. s(R) = eᵃ·µᵇ
class TWeights : public TDerivedState {
public:
    static constexpr int RelationCount = 5;

    TWeights() { Clear(); }

    int CurrentRelation = 0;
    // -1 when no relation is valid.
    int BestRelation = 0;
    std::array<double, RelationCount> Intercept{};
    std::array<double, RelationCount> Slope{};
    std::array<double, RelationCount> RSquared{};
    // A relation may be chosen only when its coefficients were formed and it
    // gives a positive weight at the assigned value of every level.
    std::array<bool, RelationCount> RelationValid{};
    // Slots 1..3: w of the level under CurrentRelation; 1 after Clear, -99
    // where the relation gives no value.
    std::array<double, MaxLevels + 1> WeightOfLevel{};
    // The weight function holds for the current study and marks.
    bool Determined = false;

    // Any change of the study or its marks changes s(R).
    void StateChanged(TStateChange) override { Determined = false; }

    void Clear();
    // Fits the five relations to the precision figures of the current marks
    // (the analysis of variance is made again where they changed), sets the
    // validity, the best relation and CurrentRelation. Determined is set
    // only when some relation is valid.
    void Calculate(Program& program);
    // WeightOfLevel from CurrentRelation.
    void ComputeWeights(const Program& program);
    // Makes k current when it is a valid relation; otherwise nothing changes.
    // True when k is current afterwards.
    bool SelectRelation(int k);
    // The value of relation k at µ; -99 where it has none.
    double RelationValue(int k, double mu) const;

    std::unique_ptr<TTavContents> MakeReport(Program& program) const;
    // The points of s(r), s(L), s(R) and the curve of the current relation.
    // inDialog: the origin of the dialog's chart area, else of a chart window.
    void DrawChart(Program& program, TGraphWindow& chart, bool inDialog) const;

    // The dialog's list texts and the label of the proposed relation.
    std::string RelationName(Program& program, int k) const;
    // The formula of the current relation as the chart's second title line.
    std::string FormulaText(Program& program) const;
};

// The program's weight function, made and registered on first use.
TWeights& WeightsOf(Program& program);

// The message when no relation gives a positive weight at every level.
extern const char* const NoValidRelationMessage;
extern const char* const WeightFunctionCaption;

// The menu command. The checks of the assigned values, the fits, then the
// user's choice (Program::ChooseWeightRelation; without it the proposed
// relation holds); on OK the chart window and the report. Cancel restores the
// relation and weights of before the dialog and leaves the weight function
// undetermined. Returns whether the weight function is determined.
bool DeterminationOfWeightFunction(Program& program);

} // namespace veltrio
