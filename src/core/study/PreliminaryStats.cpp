#include "study/PreliminaryStats.h"

#include <cmath>

#include "numerics/Stat.h"
#include "study/Program.h"

namespace veltrio {

namespace {

enum class ValueClass { Excluded, BelowLimit, Missing, Usable };

ValueClass Classify(char mark, const TResult& r) {
    if (mark == MarkFileExcluded || mark == MarkUserExcluded) {
        return ValueClass::Excluded;
    }
    if (r.Flag == '<') {
        return ValueClass::BelowLimit;
    }
    if (r.Value == MissingValue) {
        return ValueClass::Missing;
    }
    return ValueClass::Usable;
}

double AddUnlessMissing(double v, double add) {
    return v == MissingValue ? v : v + add;
}

double PercentOf(double part, double whole) {
    return part != MissingValue && whole != MissingValue && whole > 0 ? 100.0 * part / whole
                                                                      : MissingValue;
}

} // namespace

double RobustSDOf(double iqr) {
    return iqr == MissingValue ? MissingValue : iqr / 1.349;
}

void TPreliminaryStats::ResetDescriptive() {
    DescCalculated = false;
    for (auto& row : DescMin) {
        row.fill(2147483647.0);
    }
    for (auto& row : DescMax) {
        row.fill(-2147483647.0);
    }
    for (Grid<double>* g : {&DescMean, &DescMedian, &DescQ25, &DescQ75, &DescRange, &DescIQR,
                            &DescSD, &DescRobustSD, &DescCV, &DescRobustCV}) {
        for (auto& row : *g) {
            row.fill(MissingValue);
        }
    }
    for (Grid<int>* g : {&DescTotal, &DescExcluded, &DescBelowLimit, &DescMissing, &DescUsable}) {
        for (auto& row : *g) {
            row.fill(0);
        }
    }
}

TPreliminaryStats& CurrentDescriptiveFigures(Program& program) {
    if (!program.Prelim) {
        program.Prelim = std::make_unique<TPreliminaryStats>();
    }
    if (!program.Prelim->DescCalculated) {
        program.Prelim->ComputeDescriptive(program);
    }
    return *program.Prelim;
}

void TPreliminaryStats::ComputeDescriptive(Program& program) {
    ResetDescriptive();
    if (!program.CurrentStudy) {
        return;
    }
    if (program.CurrentStudy->Design == dkSplitLevel) {
        ComputeSplitLevel(program);
    } else {
        ComputeUniform(program);
    }
    DescCalculated = true;
}

void TPreliminaryStats::ComputeSplitLevel(Program& program) {
    const DataType& s = *program.CurrentStudy;
    const bool progress = !program.SilentMode;
    if (progress) {
        program.host().StartProgress(s.NoOfLevels * s.NoOfReplicates);
    }
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const TLevel& level = s.Level(lv);
        for (int c = 1; c <= s.NoOfReplicates; ++c) {
            std::vector<double> values;
            double sum = 0.0;
            double& mn = At(DescMin, lv, c);
            double& mx = At(DescMax, lv, c);
            for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
                ++At(DescTotal, lv, c);
                const TResult& r = level.GetResult(lab, c);
                switch (Classify(level.GetMark(lab), r)) {
                case ValueClass::Excluded:
                    ++At(DescExcluded, lv, c);
                    break;
                case ValueClass::BelowLimit:
                    ++At(DescBelowLimit, lv, c);
                    break;
                case ValueClass::Missing:
                    ++At(DescMissing, lv, c);
                    break;
                case ValueClass::Usable:
                    ++At(DescUsable, lv, c);
                    values.push_back(r.Value);
                    sum += r.Value;
                    mn = std::min(mn, r.Value);
                    mx = std::max(mx, r.Value);
                    break;
                }
            }
            const int k = static_cast<int>(values.size());
            if (k == 0) {
                mn = mx = MissingValue;
                if (progress) {
                    program.host().StepProgress();
                }
                continue;
            }
            TDoubleArray sorted(k);
            for (int i = 1; i <= k; ++i) {
                sorted.SetValue(i, values[static_cast<std::size_t>(i - 1)]);
            }
            sorted.Sort(k);
            const auto q = sorted.Quantiles(k);
            double median = q.Median;
            double q25 = q.Q1;
            double q75 = q.Q3;
            const double m = sum / k;
            double mean = m;
            // The reader removed the spike; add it back so that the figures
            // stand on the scale of the reported results.
            if (c == level.SpikedSample && level.Spiking != MissingValue) {
                median = AddUnlessMissing(median, level.Spiking);
                q25 = AddUnlessMissing(q25, level.Spiking);
                q75 = AddUnlessMissing(q75, level.Spiking);
                mn = AddUnlessMissing(mn, level.Spiking);
                mx = AddUnlessMissing(mx, level.Spiking);
                mean += level.Spiking;
            }
            At(DescMedian, lv, c) = median;
            At(DescQ25, lv, c) = q25;
            At(DescQ75, lv, c) = q75;
            At(DescRange, lv, c) = std::fabs(mx - mn);
            // Without quartiles (one value) there is no interquartile range.
            At(DescIQR, lv, c) =
                q25 == MissingValue || q75 == MissingValue ? MissingValue : std::fabs(q75 - q25);
            At(DescMean, lv, c) = mean;
            At(DescRobustSD, lv, c) = RobustSDOf(At(DescIQR, lv, c));
            At(DescRobustCV, lv, c) = PercentOf(At(DescRobustSD, lv, c), median);
            if (k >= 2) {
                // Deviations from the mean, not raw squares: raw squares
                // overflow or vanish for values of extreme magnitude and
                // cancel for values with a small spread.
                TRootSumSquares rss;
                for (const double v : values) {
                    rss.Add(v - m);
                }
                const double sd = rss.SampleSD(k);
                At(DescSD, lv, c) = sd;
                At(DescCV, lv, c) = PercentOf(sd, mean);
            }
            if (progress) {
                program.host().StepProgress();
            }
        }
    }
    if (progress) {
        program.host().EndProgress();
    }
}

void TPreliminaryStats::ComputeUniform(Program& program) {
    const DataType& s = *program.CurrentStudy;
    const bool progress = !program.SilentMode;
    if (progress) {
        program.host().StartProgress(s.NoOfLevels);
    }
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const TLevel& level = s.Level(lv);
        TStatObject values;
        for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
            ++At(DescTotal, lv, 1);
            for (int r = 1; r <= s.NoOfReplicates; ++r) {
                const TResult& res = level.GetResult(lab, r);
                switch (Classify(level.GetMark(lab), res)) {
                case ValueClass::Excluded:
                    ++At(DescExcluded, lv, 1);
                    break;
                case ValueClass::BelowLimit:
                    ++At(DescBelowLimit, lv, 1);
                    break;
                case ValueClass::Missing:
                    ++At(DescMissing, lv, 1);
                    break;
                case ValueClass::Usable:
                    ++At(DescUsable, lv, 1);
                    values.Add(res.Value);
                    break;
                }
            }
        }
        if (At(DescUsable, lv, 1) == 0) {
            At(DescMin, lv, 1) = MissingValue;
            At(DescMax, lv, 1) = MissingValue;
        } else {
            At(DescMin, lv, 1) = values.Min;
            At(DescMax, lv, 1) = values.Max;
            At(DescMean, lv, 1) = values.Mean();
            At(DescMedian, lv, 1) = values.Median();
            const double q25 = values.Percentile(25);
            const double q75 = values.Percentile(75);
            At(DescQ25, lv, 1) = q25;
            At(DescQ75, lv, 1) = q75;
            At(DescSD, lv, 1) = values.SD();
            At(DescRange, lv, 1) = values.Max - values.Min;
            // Fewer than six values have no quartiles, and so no
            // interquartile range and no robust standard deviation.
            At(DescIQR, lv, 1) =
                q25 == MissingValue || q75 == MissingValue ? MissingValue : q75 - q25;
            At(DescRobustSD, lv, 1) = RobustSDOf(At(DescIQR, lv, 1));
            At(DescCV, lv, 1) = PercentOf(At(DescSD, lv, 1), At(DescMean, lv, 1));
            At(DescRobustCV, lv, 1) = PercentOf(At(DescRobustSD, lv, 1), At(DescMedian, lv, 1));
        }
        if (progress) {
            program.host().StepProgress();
        }
    }
    if (progress) {
        program.host().EndProgress();
    }
}

} // namespace veltrio
