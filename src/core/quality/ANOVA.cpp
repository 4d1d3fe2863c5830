#include "quality/ANOVA.h"

#include <cmath>
#include <vector>

#include "numerics/Distributions.h"
#include "preliminary/Grubbs.h"
#include "study/Program.h"

namespace veltrio {

namespace {

void SetAllMissing(TANOVA& a, std::size_t lv) {
    a.SumSq[lv].fill(MissingValue);
    a.DF[lv].fill(MissingValue);
}

// Counts (degrees of freedom + 1) for the F functions.
int CountOf(double df) {
    return static_cast<int>(std::lround(df)) + 1;
}

} // namespace

TANOVA::TANOVA() {
    Clear();
    Sr.fill(MissingValue);
    SL.fill(MissingValue);
    SR.fill(MissingValue);
    SampleVarRatio.fill(MissingValue);
    SampleVarP.fill(MissingValue);
}

void TANOVA::Clear() {
    for (std::size_t lv = 0; lv <= MaxLevels; ++lv) {
        SumSq[lv].fill(0.0);
        DF[lv].fill(0.0);
        MeanSq[lv].fill(0.0);
        FValue[lv].fill(0.0);
        PValue[lv].fill(0.0);
        SampleSumSq[lv].fill(0.0);
    }
}

void TANOVA::Calculate(Program& program) {
    Clear();
    if (!program.CurrentStudy) {
        return;
    }
    if (!program.Settings.DiscardOutlierTests && !program.Outliers.GrubbsDone) {
        GrubbsTest(program);
    }
    if (!program.Stats) {
        program.RecomputeStatistics();
    }
    const DataType& s = *program.CurrentStudy;
    const bool progress = !program.QuietTests;
    if (progress) {
        program.host().StartProgress(s.NoOfLabs * s.NoOfLevels * s.NoOfReplicates);
    }
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        if (s.Design == dkSplitLevel) {
            CalculateSplit(program, lv, progress);
        } else {
            CalculateUniform(program, lv);
        }
    }
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        StandardDeviations(program, lv);
    }
    Calculated = true;
    if (progress) {
        program.host().EndProgress();
    }
}

void TANOVA::MeanSquares(int level) {
    const auto lv = static_cast<std::size_t>(level);
    for (std::size_t k = 0; k < 3; ++k) {
        const double df = DF[lv][k];
        MeanSq[lv][k] = (df == 0.0 || df == MissingValue || SumSq[lv][k] == MissingValue)
                            ? MissingValue
                            : SumSq[lv][k] / df;
    }
}

void TANOVA::CalculateUniform(Program& program, int level) {
    const DataType& s = *program.CurrentStudy;
    const TLevel& l = s.Level(level);
    const TDescriptiveStatistics& d = *program.Stats;
    const auto lv = static_cast<std::size_t>(level);

    std::vector<int> labs;
    double sum = 0.0;
    int total = 0;
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        if (!l.FirstResultValid(lab) || d.Mean(level, lab) == MissingValue) {
            continue;
        }
        labs.push_back(lab);
        for (int rep = 1; rep <= s.NoOfReplicates; ++rep) {
            const TResult& r = l.GetResult(lab, rep);
            if (r.Usable()) {
                sum += r.Value;
                ++total;
            }
        }
    }
    if (total == 0) {
        SetAllMissing(*this, lv);
    } else {
        const double mean = sum / total;
        double between = 0.0;
        double within = 0.0;
        double all = 0.0;
        for (const int lab : labs) {
            const double labMean = d.Mean(level, lab);
            between += d.N(level, lab) * (labMean - mean) * (labMean - mean);
            for (int rep = 1; rep <= s.NoOfReplicates; ++rep) {
                const TResult& r = l.GetResult(lab, rep);
                if (r.Usable()) {
                    all += (r.Value - mean) * (r.Value - mean);
                    within += (r.Value - labMean) * (r.Value - labMean);
                }
            }
        }
        SumSq[lv][0] = between;
        DF[lv][0] = static_cast<double>(labs.size()) - 1.0;
        SumSq[lv][3] = all;
        DF[lv][3] = total - 1.0;
        DF[lv][2] = DF[lv][3] - DF[lv][0];
        // Summed directly rather than as total minus between, which leaves
        // rounding noise (possibly negative) where every cell has no spread.
        SumSq[lv][2] = within;
    }
    MeanSquares(level);
    const double b = MeanSq[lv][0];
    const double w = MeanSq[lv][2];
    if (b > 0.0 && w > 0.0) {
        double f = 0.0;
        double p = 0.0;
        FRatioProbability(CountOf(DF[lv][0]), CountOf(DF[lv][2]), b, w, f, p);
        FValue[lv][0] = f;
        PValue[lv][0] = p;
    } else {
        FValue[lv][0] = MissingValue;
    }
}

void TANOVA::CalculateSplit(Program& program, int level, bool progress) {
    const DataType& s = *program.CurrentStudy;
    const TLevel& l = s.Level(level);
    const TDescriptiveStatistics& d = *program.Stats;
    const auto lv = static_cast<std::size_t>(level);
    constexpr int n = 2;

    std::vector<int> labs;
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        if (l.LabValid(lab) && d.Mean(level, lab) != MissingValue && d.N(level, lab) == n) {
            labs.push_back(lab);
        }
    }
    if (labs.empty()) {
        SetAllMissing(*this, lv);
        MeanSquares(level);
        FValue[lv].fill(MissingValue);
        PValue[lv][1] = 1.0;
        SampleVarRatio[lv] = MissingValue;
        SampleVarP[lv] = MissingValue;
        return;
    }
    const double p = static_cast<double>(labs.size());
    // The grand mean of the counted pairs (the level's GrandMean when the
    // statistics follow the marks).
    double m = 0.0;
    for (const int lab : labs) {
        m += d.Mean(level, lab);
    }
    m /= p;
    std::array<double, n> sampleMean{};
    std::array<int, n> sampleCount{};
    for (const int lab : labs) {
        for (int j = 1; j <= n; ++j) {
            const TResult& r = l.GetResult(lab, j);
            if (r.Usable()) {
                sampleMean[j - 1] += r.Value;
                ++sampleCount[j - 1];
            }
            if (progress) {
                program.host().StepProgress();
            }
        }
    }
    int samples = 0;
    double samplesSS = 0.0;
    for (int j = 0; j < n; ++j) {
        if (sampleCount[j] == 0) {
            sampleMean[j] = MissingValue;
            continue;
        }
        sampleMean[j] /= sampleCount[j];
        ++samples;
        samplesSS += (sampleMean[j] - m) * (sampleMean[j] - m);
    }
    double labsSS = 0.0;
    double residual = 0.0;
    double all = 0.0;
    int total = 0;
    std::array<double, n> sampleSS{};
    for (const int lab : labs) {
        const double labMean = d.Mean(level, lab);
        labsSS += (labMean - m) * (labMean - m);
        for (int j = 0; j < n; ++j) {
            const TResult& r = l.GetResult(lab, j + 1);
            if (!r.Usable()) {
                continue;
            }
            const double e = r.Value - labMean - sampleMean[j] + m;
            residual += e * e;
            all += (r.Value - m) * (r.Value - m);
            sampleSS[j] += (r.Value - sampleMean[j]) * (r.Value - sampleMean[j]);
            ++total;
        }
    }
    SumSq[lv][0] = n * labsSS;
    DF[lv][0] = p - 1.0;
    SumSq[lv][1] = p * samplesSS;
    DF[lv][1] = samples - 1.0;
    SumSq[lv][2] = residual;
    DF[lv][2] = (p - 1.0) * (n - 1);
    SumSq[lv][3] = all;
    DF[lv][3] = total - 1.0;
    SampleSumSq[lv][0] = sampleSS[0];
    SampleSumSq[lv][1] = sampleSS[1];
    MeanSquares(level);

    const double w = MeanSq[lv][2];
    for (const std::size_t k : {std::size_t{1}, std::size_t{0}}) {
        const double ms = MeanSq[lv][k];
        if (ms > 0.0 && w > 0.0) {
            double f = 0.0;
            double prob = 0.0;
            FRatioProbability(CountOf(DF[lv][k]), CountOf(DF[lv][2]), ms, w, f, prob);
            FValue[lv][k] = f;
            PValue[lv][k] = prob;
        } else {
            FValue[lv][k] = MissingValue;
            if (k == 1) {
                PValue[lv][1] = 1.0;
            }
        }
    }

    // The samples' spreads compared with (p - 1)/2 degrees of freedom each.
    const long k = std::lround(DF[lv][0] / 2.0 + 0.0001);
    if (sampleSS[0] > 0.0 && sampleSS[1] > 0.0 && k >= 1) {
        double ratio = 0.0;
        double prob = 0.0;
        FTestProbabilityTwoSided(static_cast<int>(k) + 1, static_cast<int>(k) + 1, sampleSS[0],
                                 sampleSS[1], ratio, prob);
        SampleVarRatio[lv] = ratio;
        SampleVarP[lv] = prob;
    } else {
        SampleVarRatio[lv] = MissingValue;
        SampleVarP[lv] = MissingValue;
    }
}

void TANOVA::StandardDeviations(const Program& program, int level) {
    const DataType& s = *program.CurrentStudy;
    const auto lv = static_cast<std::size_t>(level);
    const double w = MeanSq[lv][2];
    const double b = MeanSq[lv][0];
    Sr[lv] = (w != MissingValue && w >= 0.0) ? std::sqrt(w) : MissingValue;
    if (w == MissingValue || b == MissingValue || b <= w) {
        // Without a within mean square s(L) cannot be separated.
        SL[lv] = 0.0;
    } else if (s.Design == dkSplitLevel) {
        SL[lv] = std::sqrt((b - w) * 0.5);
    } else {
        SL[lv] = std::sqrt((b - w) / s.NoOfReplicates);
    }
    SR[lv] = Sr[lv] != MissingValue ? std::sqrt(SL[lv] * SL[lv] + Sr[lv] * Sr[lv]) : MissingValue;
}

double TANOVA::RepeatabilityLimit(int level) const {
    const double sr = Sr.at(static_cast<std::size_t>(level));
    return sr > 0.0 ? 2.8 * sr : MissingValue;
}

double TANOVA::ReproducibilityLimit(int level) const {
    const double sR = SR.at(static_cast<std::size_t>(level));
    return sR > 0.0 ? 2.8 * sR : MissingValue;
}

TANOVA& ANOVAOf(Program& program) {
    if (!program.ANOVA) {
        program.ANOVA = std::make_shared<TANOVA>();
        program.Register(program.ANOVA);
    }
    return *program.ANOVA;
}

} // namespace veltrio
