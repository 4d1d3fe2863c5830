#include "quality/Regression.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/Error.h"
#include "base/ScopeGuard.h"
#include "numerics/Distributions.h"
#include "preliminary/Grubbs.h"
#include "quality/Weights.h"
#include "study/Program.h"

namespace veltrio {

const char* const OneAssignedValueMessage =
    "The results used lie at one assigned value only: no regression line can be fitted.";
const char* const NoRegressionResultsMessage =
    "No level has results with a weight function value: no regression line can be fitted.";
const char* const NoLevelsForLabMessage =
    "There are no levels with two results for the specfied lab";
const char* const RegressionCaption = "Regression analysis";
const char* const LabRegressionCaption = "Regression analysis on a laboratory";

namespace {

std::string SumField(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%14.4f", v);
    return buf;
}

// The upper-tail probability of F(df1, df2) at F = va/vb; positive degrees
// of freedom and vb > 0. A numerator of 0 (or below, by rounding) is F = 0.
void UpperTailF(int df1, int df2, double va, double vb, double& f, double& p) {
    if (!(va > 0)) {
        f = 0.0;
        p = 1.0;
        return;
    }
    FRatioProbability(df1 + 1, df2 + 1, va, vb, f, p);
}

} // namespace

std::string RegressionConsistencyError(double sak1, double sak2, double sako, bool oneLab,
                                       double tolerance) {
    // The program's own wording of this check; the command ends with it, the
    // program and its windows stay.
    if (sak2 - 0.001 * sak2 > sak1 + tolerance) {
        return "Fejl i Regressionsanalyse\nved test af om gns. ligger på ret linje\nSAK1 " +
               SumField(sak1) + (oneLab ? " <=  SAK2" : " <  SAK2") + SumField(sak2);
    }
    if (sak1 - 0.001 * sak1 > sako + tolerance) {
        return "Fejl i Regressionsanalyse\nved test af om regre.linje forskellig fra y=x\nSAKo " +
               SumField(sako) + (oneLab ? " <=  SAK1" : " <  SAK1") + SumField(sak1);
    }
    return "";
}

void TRegressionFigures::Clear() {
    WeightValue.fill(MissingValue);
    U.fill(MissingValue);
    V.fill(MissingValue);
    LevelMeanY.fill(MissingValue);
    ResultCount.fill(0);
    Alpha = Beta = Gamma = C11 = C22 = C12 = MeanX = MissingValue;
    N = L = K = 0;
    SAK1 = SAKo = SAK2 = MissingValue;
    LackOfFitF = LackOfFitP = SlopeT = SlopeP = BiasT = BiasP = IdentityF = IdentityP =
        MissingValue;
}

TRegressionFigures::TFitResult
TRegressionFigures::Fit(const Program& program,
                        const std::array<std::vector<double>, MaxLevels + 1>& y, int visited,
                        bool oneLab) {
    const DataType& s = *program.CurrentStudy;
    const TWeights* weights = program.Weights.get();
    const int levels = s.NoOfLevels;
    K = visited;
    // 1. The weights; a level without a positive weight stays out of the fit.
    for (int lv = 1; lv <= levels; ++lv) {
        const auto i = static_cast<std::size_t>(lv);
        const double w = weights ? weights->WeightOfLevel[i] : 1.0;
        WeightValue[i] = w;
        if (w != MissingValue && w > 0) {
            U[i] = 1.0 / w;
            V[i] = s.Level(lv).NominalValue / w;
        }
    }
    auto inFit = [&](int lv) { return U[static_cast<std::size_t>(lv)] != MissingValue; };
    // 3. The normal equations.
    double syu = 0, syv = 0, suu = 0, svv = 0, suv = 0;
    for (int lv = 1; lv <= levels; ++lv) {
        const auto i = static_cast<std::size_t>(lv);
        if (!inFit(lv)) {
            continue;
        }
        for (const double r : y[i]) {
            const double yw = r / WeightValue[i];
            syu += yw * U[i];
            syv += yw * V[i];
            suu += U[i] * U[i];
            svv += V[i] * V[i];
            suv += U[i] * V[i];
        }
        ResultCount[i] = static_cast<int>(y[i].size());
        N += ResultCount[i];
        if (ResultCount[i] > 0) {
            ++L;
        }
    }
    if (N == 0) {
        return TFitResult::NoResults;
    }
    // D = Suu·Svv − Suv² is 0 (up to rounding) when every result used lies
    // at one assigned value.
    const double d = suu * svv - suv * suv;
    if (!(d > 1e-12 * suu * svv)) {
        return TFitResult::OneAssignedValue;
    }
    C11 = svv / d;
    C22 = suu / d;
    C12 = -suv / d;
    Alpha = C11 * syu + C12 * syv;
    Beta = C12 * syu + C22 * syv;
    // 6., 7. Level means and the sums of squares.
    double sak1 = 0, sako = 0, sak2 = 0, xsum = 0, total = 0;
    for (int lv = 1; lv <= levels; ++lv) {
        const auto i = static_cast<std::size_t>(lv);
        if (!inFit(lv) || y[i].empty()) {
            continue;
        }
        double m = 0;
        for (const double r : y[i]) {
            m += r / WeightValue[i];
        }
        m /= static_cast<double>(y[i].size());
        LevelMeanY[i] = m;
        xsum += ResultCount[i] * s.Level(lv).NominalValue;
        for (const double r : y[i]) {
            const double yw = r / WeightValue[i];
            total += yw * yw;
            const double e1 = yw - Alpha * U[i] - Beta * V[i];
            sak1 += e1 * e1;
            sako += (yw - V[i]) * (yw - V[i]);
            sak2 += (yw - m) * (yw - m);
        }
    }
    // Sums at the rounding noise of the scaled results are an exact fit.
    const double noise = 1e-12 * total;
    SAK1 = sak1 > noise ? sak1 : 0.0;
    SAKo = sako > noise ? sako : 0.0;
    SAK2 = sak2 > noise ? sak2 : 0.0;
    MeanX = xsum / N;
    // 4. γ, with the replicate positions as divisor.
    Gamma = (SAK1 > 0 && K > 0) ? std::sqrt(SAK1 / K) : MissingValue;
    // 8. The sums must be ordered SAK2 ≤ SAK1 ≤ SAKo.
    const std::string error = RegressionConsistencyError(SAK1, SAK2, SAKo, oneLab, noise);
    if (!error.empty()) {
        throw EVeltrioError(error);
    }
    // 9. Lack of fit: the level means on a straight line.
    if (L > 2 && N > L && SAK2 > 0 && SAK1 > SAK2) {
        UpperTailF(L - 2, N - L, (SAK1 - SAK2) / (L - 2), SAK2 / (N - L), LackOfFitF, LackOfFitP);
    }
    const bool gamma = Gamma != MissingValue && Gamma != 0;
    // 10. Slope b = 1.
    if (N > 2 && C22 > 0 && gamma) {
        SlopeT = (Beta - 1.0) / (std::sqrt(C22) * Gamma);
        SlopeP = 1.0 - StudentProbability(N - 2, SlopeT);
    }
    // 11. Bias at the mean level.
    const double q = MeanX * MeanX * C22 + C11 + 2.0 * MeanX * C12;
    if (N > 2 && q > 0 && gamma) {
        BiasT = (MeanX * Beta + Alpha - MeanX) / (Gamma * std::sqrt(q));
        BiasP = 1.0 - StudentProbability(N - 2, BiasT);
    }
    // 12. The line equal to y = x (a = 0 and b = 1 jointly).
    if (N > 2 && SAK1 > 0) {
        UpperTailF(2, N - 2, (SAKo - SAK1) / 2.0, SAK1 / (N - 2), IdentityF, IdentityP);
    }
    return TFitResult::Fitted;
}

TRegressionFigures::TFitResult TRegression::Calculate(Program& program) {
    Clear();
    for (auto& q : Quantiles) {
        q = TQuantiles{};
    }
    if (!program.CurrentStudy) {
        return TFitResult::NoResults;
    }
    if (!program.Settings.DiscardOutlierTests && !program.Outliers.GrubbsDone) {
        GrubbsTest(program);
    }
    if (!program.Stats) {
        program.RecomputeStatistics();
    }
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    // The progress gauge: the results, the quantiles, the fit and its tests.
    const bool progress = !program.QuietTests && !program.SilentMode;
    if (progress) {
        program.host().StartProgress(6);
    }
    TScopeExit endProgress([&] {
        if (progress) {
            program.host().EndProgress();
        }
    });
    std::array<std::vector<double>, MaxLevels + 1> y;
    int visited = 0;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const TLevel& l = s.Level(lv);
        const auto i = static_cast<std::size_t>(lv);
        if (progress) {
            program.host().StepProgress();
        }
        for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
            if (!l.LabValid(lab) || d.Mean(lv, lab) == MissingValue) {
                continue;
            }
            visited += s.NoOfReplicates;
            for (int rep = 1; rep <= s.NoOfReplicates; ++rep) {
                const TResult& r = l.GetResult(lab, rep);
                if (r.Usable()) {
                    y[i].push_back(r.Value);
                }
            }
        }
        // 5. The quantiles of every usable result of the valid laboratories.
        std::vector<double> all;
        for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
            if (!l.LabValid(lab)) {
                continue;
            }
            for (int rep = 1; rep <= s.NoOfReplicates; ++rep) {
                const TResult& r = l.GetResult(lab, rep);
                if (r.Usable()) {
                    all.push_back(r.Value);
                }
            }
        }
        if (all.size() >= 2) {
            std::sort(all.begin(), all.end());
            TDoubleArray values(static_cast<int>(all.size()));
            for (std::size_t j = 0; j < all.size(); ++j) {
                values.SetValue(static_cast<int>(j) + 1, all[j]);
            }
            const auto qs = values.Quantiles(static_cast<int>(all.size()));
            Quantiles[i] = {qs.Minimum, qs.P5, qs.Q1, qs.Median, qs.Q3, qs.P95, qs.Maximum};
        }
    }
    if (progress) {
        for (int step = s.NoOfLevels; step < 6; ++step) {
            program.host().StepProgress();
        }
    }
    return Fit(program, y, visited, false);
}

bool TLabRegression::HasTwoLevels(const Program& program, int lab) {
    if (!program.CurrentStudy || !program.Stats || lab < 1 ||
        lab > program.CurrentStudy->NoOfLabs) {
        return false;
    }
    const DataType& s = *program.CurrentStudy;
    int levels = 0;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        if (s.Level(lv).LabValid(lab) && program.Stats->Mean(lv, lab) != MissingValue) {
            ++levels;
        }
    }
    return levels >= 2;
}

TRegressionFigures::TFitResult TLabRegression::Calculate(Program& program) {
    const int lab = ChosenLab;
    Clear();
    ChosenLab = lab;
    if (!program.CurrentStudy || lab < 1 || lab > program.CurrentStudy->NoOfLabs) {
        return TFitResult::NoResults;
    }
    if (!program.Settings.DiscardOutlierTests && !program.Outliers.GrubbsDone) {
        GrubbsTest(program);
    }
    if (!program.Stats) {
        program.RecomputeStatistics();
    }
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    std::array<std::vector<double>, MaxLevels + 1> y;
    int visited = 0;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const TLevel& l = s.Level(lv);
        if (!l.LabValid(lab) || d.Mean(lv, lab) == MissingValue) {
            continue;
        }
        visited += s.NoOfReplicates;
        for (int rep = 1; rep <= s.NoOfReplicates; ++rep) {
            const TResult& r = l.GetResult(lab, rep);
            if (r.Usable()) {
                y[static_cast<std::size_t>(lv)].push_back(r.Value);
            }
        }
    }
    return Fit(program, y, visited, true);
}

} // namespace veltrio
