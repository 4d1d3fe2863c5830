#include "labs/PerformanceScores.h"

#include <algorithm>
#include <cmath>

#include "preliminary/Grubbs.h"
#include "quality/ANOVA.h"
#include "study/Program.h"
#include "study/Transformations.h"

namespace veltrio {

namespace {

double MedianOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

double MeanOf(const std::vector<double>& v) {
    double sum = 0;
    for (double x : v) {
        sum += x;
    }
    return sum / static_cast<double>(v.size());
}

// Two passes: the squares are taken about the mean.
double SDOf(const std::vector<double>& v, double mean) {
    double ss = 0;
    for (double x : v) {
        ss += (x - mean) * (x - mean);
    }
    return std::sqrt(ss / static_cast<double>(v.size() - 1));
}

bool Excluded(char mark) {
    return mark == MarkFileExcluded || mark == MarkUserExcluded;
}

} // namespace

TAlgorithmA AlgorithmA(std::vector<double> values) {
    TAlgorithmA a;
    a.Count = static_cast<int>(values.size());
    if (a.Count < TAlgorithmA::MinValues) {
        return a;
    }
    double x = MedianOf(values);
    std::vector<double> deviations;
    deviations.reserve(values.size());
    for (double v : values) {
        deviations.push_back(std::fabs(v - x));
    }
    double s = 1.483 * MedianOf(deviations);
    if (s == 0) {
        s = SDOf(values, MeanOf(values));
        a.StartedFromSD = true;
    }
    std::vector<double> w(values.size());
    a.Converged = s == 0;
    while (!a.Converged && a.Rounds < TAlgorithmA::MaxRounds) {
        const double delta = 1.5 * s;
        for (std::size_t i = 0; i < values.size(); ++i) {
            w[i] = std::clamp(values[i], x - delta, x + delta);
        }
        const double xNew = MeanOf(w);
        const double sNew = 1.134 * SDOf(w, xNew);
        ++a.Rounds;
        // Relative to the figures' own size; the mean also to the spread, so
        // that a consensus near 0 converges.
        const double scale = std::max(std::fabs(xNew), sNew);
        a.Converged = std::fabs(xNew - x) <= TAlgorithmA::Tolerance * scale &&
                      std::fabs(sNew - s) <= TAlgorithmA::Tolerance * sNew;
        x = xNew;
        s = sNew;
    }
    a.Mean = x;
    a.SD = s;
    return a;
}

TVerdict VerdictOf(double score) {
    if (score == MissingValue) {
        return TVerdict::None;
    }
    const double a = std::fabs(score);
    if (a <= 2) {
        return TVerdict::Satisfactory;
    }
    return a < 3 ? TVerdict::Questionable : TVerdict::Unsatisfactory;
}

double TScoreColumn::JudgedScore(int lab) const {
    const auto i = static_cast<std::size_t>(lab - 1);
    if (i >= Z.size()) {
        return MissingValue;
    }
    return RecommendZPrime ? ZPrime[i] : Z[i];
}

TPerformanceScores::TPerformanceScores(Program& program, TScoreOptions options)
    : m_program(program), m_options(std::move(options)) {}

double TPerformanceScores::SigmaOf(const TScoreColumn& column) const {
    switch (m_options.Sigma) {
    case TSigmaChoice::Robust:
        return column.Consensus.SD;
    case TSigmaChoice::Reproducibility: {
        TANOVA& anova = ANOVAOf(m_program);
        if (!anova.Calculated) {
            anova.Calculate(m_program);
        }
        return anova.SR[static_cast<std::size_t>(column.Level)];
    }
    case TSigmaChoice::Typed: {
        const auto i = static_cast<std::size_t>(column.Level - 1);
        return i < m_options.TypedSigma.size() ? m_options.TypedSigma[i] : MissingValue;
    }
    }
    return MissingValue;
}

void TPerformanceScores::Calculate() {
    m_columns.clear();
    if (!m_program.CurrentStudy) {
        return;
    }
    // The outliers are scored like every other laboratory, but marked: the
    // tests run first unless the settings discard them.
    if (!m_program.Settings.DiscardOutlierTests && !m_program.Outliers.GrubbsDone) {
        GrubbsTest(m_program);
    }
    const DataType* study = m_program.CurrentStudy.get();
    const bool split = study->Design == dkSplitLevel;
    for (int lv = 1; lv <= study->NoOfLevels; ++lv) {
        const TLevel& level = study->Level(lv);
        const int samples = split ? level.NoOfReplicates : 1;
        for (int sample = 1; sample <= samples; ++sample) {
            TScoreColumn c;
            c.Level = lv;
            c.Sample = split ? sample : 0;
            c.Name = split ? level.SampleId(sample) : level.LevelName;
            const auto labs = static_cast<std::size_t>(level.NoOfLabs);
            c.Mean.assign(labs, MissingValue);
            c.Z.assign(labs, MissingValue);
            c.ZPrime.assign(labs, MissingValue);
            // A spiked sample is scored on its values as reported: the
            // reader took the spike off, it is added back on the study's own
            // scale, and so is the level's assigned value.
            const bool spiked =
                split && sample == level.SpikedSample && level.Spiking != MissingValue;
            auto AsReported = [&](double stored) {
                return study->Transformation == 0
                           ? stored + level.Spiking
                           : Transform(study->Transformation,
                                       BackTransform(study->Transformation, stored) +
                                           level.Spiking);
            };
            std::vector<double> means;
            for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
                if (Excluded(level.GetMark(lab))) {
                    continue;
                }
                const auto results = level.Results(lab);
                double sum = 0;
                int n = 0;
                for (int r = 1; r <= level.NoOfReplicates; ++r) {
                    const TResult& res = results[static_cast<std::size_t>(r - 1)];
                    if ((!split || r == sample) && res.Usable()) {
                        sum += spiked ? AsReported(res.Value) : res.Value;
                        ++n;
                    }
                }
                if (n > 0) {
                    c.Mean[static_cast<std::size_t>(lab - 1)] = sum / n;
                    means.push_back(sum / n);
                }
            }
            c.Consensus = AlgorithmA(means);

            const bool fromFile =
                m_options.Assigned != TAssignedChoice::Consensus &&
                level.NominalValue != MissingValue;
            if (fromFile) {
                c.AssignedValue = spiked ? AsReported(level.NominalValue) : level.NominalValue;
                c.AssignedFromFile = true;
            } else if (m_options.Assigned != TAssignedChoice::File) {
                c.AssignedValue = c.Consensus.Mean;
                if (c.Consensus.Formed()) {
                    c.UncertaintyOfAssigned =
                        1.25 * c.Consensus.SD / std::sqrt(static_cast<double>(c.Consensus.Count));
                }
            }
            c.SigmaPT = SigmaOf(c);

            if (m_options.Assigned == TAssignedChoice::File && !fromFile) {
                c.Problem = TScoreProblem::NoAssignedValue;
            } else if (c.AssignedValue == MissingValue ||
                       (m_options.Sigma == TSigmaChoice::Robust && !c.Consensus.Formed())) {
                c.Problem = TScoreProblem::TooFewLaboratories;
            } else if (c.SigmaPT == MissingValue || !(c.SigmaPT > 0)) {
                c.Problem = TScoreProblem::NoSigma;
            }
            if (c.Scored()) {
                const double u = c.UncertaintyOfAssigned;
                c.RecommendZPrime = u != MissingValue && u > 0.3 * c.SigmaPT;
                for (std::size_t i = 0; i < labs; ++i) {
                    if (c.Mean[i] == MissingValue) {
                        continue;
                    }
                    const double d = c.Mean[i] - c.AssignedValue;
                    c.Z[i] = d / c.SigmaPT;
                    if (u != MissingValue) {
                        c.ZPrime[i] = d / std::sqrt(c.SigmaPT * c.SigmaPT + u * u);
                    }
                }
            }
            m_columns.push_back(std::move(c));
        }
    }
}

std::vector<TScoreColumn> ComputePerformanceScores(Program& program,
                                                   const TScoreOptions& options) {
    TPerformanceScores scores(program, options);
    scores.Calculate();
    return scores.Columns();
}

} // namespace veltrio
