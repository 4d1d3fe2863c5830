#pragma once

#include <array>

#include "base/Missing.h"
#include "study/Program.h"
#include "study/StudyTypes.h"

namespace veltrio {

// The analysis of variance of an interlaboratory study, level by level, and
// the precision estimates of ISO 5725-2 derived from it: s(r), s(L), s(R).
// Uniform-level design: one-way (between laboratories, within laboratories).
// Split-level design: two-way without replication (laboratories, samples,
// residual) and a test of the two samples' spreads.
//
// Every per-level table is indexed by the 1-based level (slot 0 unused).
// Sources: 0 laboratories, 1 samples (split level only), 2 within/residual,
// 3 total. -99 marks a figure that cannot be formed.
class TANOVA : public TDerivedState {
public:
    template <std::size_t N> using PerLevel = std::array<std::array<double, N>, MaxLevels + 1>;

    TANOVA();

    PerLevel<4> SumSq{};
    PerLevel<4> DF{};
    PerLevel<3> MeanSq{};
    PerLevel<2> FValue{};
    // Upper-tail probability P(F(DF source, DF within) > FValue).
    PerLevel<2> PValue{};
    // Split level: per sample, the sum of squares about the sample mean.
    PerLevel<2> SampleSumSq{};
    // Split level: larger over smaller SampleSumSq and its two-sided
    // probability.
    std::array<double, MaxLevels + 1> SampleVarRatio{};
    std::array<double, MaxLevels + 1> SampleVarP{};
    std::array<double, MaxLevels + 1> Sr{};
    std::array<double, MaxLevels + 1> SL{};
    std::array<double, MaxLevels + 1> SR{};
    bool Calculated = false;

    // Figures of other marks or another study are not the current ones.
    void StateChanged(TStateChange) override { Calculated = false; }

    // Sums, degrees of freedom, mean squares, F values, probabilities and
    // sample sums of squares of every level to 0.
    void Clear();
    // Applies the outlier tests first unless they are discarded, then
    // computes every level for the study's design and sets Calculated.
    void Calculate(Program& program);

    // The repeatability and reproducibility limits 2.8·s(r) and 2.8·s(R);
    // -99 when the standard deviation is not positive.
    double RepeatabilityLimit(int level) const;
    double ReproducibilityLimit(int level) const;

private:
    void CalculateUniform(Program& program, int level);
    void CalculateSplit(Program& program, int level, bool progress);
    void MeanSquares(int level);
    void StandardDeviations(const Program& program, int level);
};

// The program's analysis of variance, made on first use.
TANOVA& ANOVAOf(Program& program);

} // namespace veltrio
