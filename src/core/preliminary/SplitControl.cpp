#include "preliminary/SplitControl.h"

#include <cmath>

#include "numerics/Distributions.h"
#include "preliminary/Grubbs.h"
#include "preliminary/OutlierCommon.h"
#include "study/Program.h"

namespace veltrio {

void TSplitControl::Clear() {
    SignificantLevels = 0;
    MeanDifference.fill(MissingValue);
    TValue.fill(MissingValue);
    PValue.fill(MissingValue);
    DiffSD.fill(MissingValue);
    DiffVariance.fill(MissingValue);
    NoOfLabs.fill(0);
    PairsComputed = false;
}

void TSplitControl::ComputeDifferences(Program& program) {
    Clear();
    if (!program.CurrentStudy) {
        return;
    }
    // The tests that run here must not use figures of an earlier run.
    if (!program.Settings.DiscardOutlierTests && !program.Outliers.GrubbsDone) {
        GrubbsTest(program);
    }
    if (!program.Stats) {
        program.RecomputeStatistics();
    }
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const auto i = static_cast<std::size_t>(lv);
        const TLevel& level = s.Level(lv);
        // Only differences that exist are summed, and their number is the p
        // of the mean and of the degrees of freedom (a cell without exactly
        // two results has none).
        const TLabFigureSpread spread =
            LabFigureSpread(level, [&](int lab) { return d.Difference(lv, lab); });
        const int p = spread.P;
        NoOfLabs[i] = p;
        if (p == 0) {
            continue;
        }
        const double mean = spread.Mean;
        MeanDifference[i] = mean;
        if (p < 2) {
            continue;
        }
        const double var = spread.Variance;
        DiffVariance[i] = var;
        DiffSD[i] = var > 0 ? std::sqrt(var) : 0.0;
        if (DiffSD[i] <= 0) {
            continue;
        }
        const double t = mean * std::sqrt(static_cast<double>(p)) / DiffSD[i];
        if (!std::isfinite(t)) {
            continue;
        }
        TValue[i] = t;
        PValue[i] = 1.0 - StudentProbability(p - 1, t);
    }
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        SignificantLevels += Significant(lv) ? 1 : 0;
    }
    PairsComputed = true;
}

void TSplitControl::StateChanged(TStateChange change) {
    if (change != TStateChange::OutlierTest) {
        Clear();
    }
}

bool TSplitControl::Significant(int level) const {
    const double p = PValue.at(static_cast<std::size_t>(level));
    return p != MissingValue && p < 0.05;
}

bool TSplitControl::CorrectionApplies(const Program& program) const {
    return SignificantLevels > 0 && program.Settings.AutoSplitCorrection;
}

void TSplitControl::AutoSpikingCorrection(Program& program, bool apply) const {
    if (!program.CurrentStudy) {
        return;
    }
    DataType& s = *program.CurrentStudy;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const double d = MeanDifference.at(static_cast<std::size_t>(lv));
        if (!Significant(lv) || d == MissingValue || s.NoOfReplicates < 2) {
            continue;
        }
        TLevel& level = s.Level(lv);
        for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
            const TResult r = level.GetResult(lab, 2);
            if (r.Flag == '<' || r.Value == MissingValue) {
                continue;
            }
            level.SetResult(lab, 2, r.Flag, apply ? r.Value + d : r.Value - d, r.Decimals);
        }
    }
    RecomputeCellsAndLevels(program);
    program.Outliers.Clear();
}

TSplitControl& SplitControlOf(Program& program) {
    if (!program.SplitControl) {
        program.SplitControl = std::make_shared<TSplitControl>();
        program.Register(program.SplitControl);
    }
    return *program.SplitControl;
}

TSpikingCorrection::TSpikingCorrection(Program& program, const TSplitControl& split)
    : m_program(program) {
    if (!program.CurrentStudy || !split.CorrectionApplies(program)) {
        return;
    }
    const DataType& s = *program.CurrentStudy;
    if (s.NoOfReplicates < 2) {
        return;
    }
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
            m_saved.push_back({lv, lab, s.Level(lv).GetResult(lab, 2)});
        }
    }
    m_applied = true;
    split.AutoSpikingCorrection(program, true);
}

TSpikingCorrection::~TSpikingCorrection() {
    if (!m_applied || !m_program.CurrentStudy) {
        return;
    }
    DataType& s = *m_program.CurrentStudy;
    for (const Saved& saved : m_saved) {
        s.Level(saved.Level)
            .SetResult(saved.Lab, 2, saved.Result.Flag, saved.Result.Value, saved.Result.Decimals);
    }
    RecomputeCellsAndLevels(m_program);
    m_program.Outliers.Clear();
}

} // namespace veltrio
