#include "study/DescriptiveStatistics.h"

#include <cmath>
#include <stdexcept>

#include "base/Host.h"
#include "base/TextUtil.h"
#include "numerics/Stat.h"
#include "study/Study.h"

namespace veltrio {

TDescriptiveStatistics::TDescriptiveStatistics(int noOfLevels, int noOfLabs)
    : NoOfLevels(noOfLevels), NoOfLabs(noOfLabs),
      m_cells(static_cast<std::size_t>(MaxLevels) * static_cast<std::size_t>(std::max(noOfLabs, 0))) {
    GrandMean.fill(MissingValue);
    NoOfValidLabs.fill(0);
    NoOfGrubbsLabs.fill(0);
    RepeatVar.fill(MissingValue);
    BetweenMeanSquare.fill(MissingValue);
    BetweenLabVar.fill(MissingValue);
    RepeatCV.fill(MissingValue);
    BetweenLabCV.fill(MissingValue);
    CochranStat.fill(MissingValue);
    GrubbsStat.fill(MissingValue);
}

std::size_t TDescriptiveStatistics::Slot(int level) {
    if (level < 1 || level > MaxLevels) {
        throw std::out_of_range("level index " + IntText(level) + " outside 1..3");
    }
    return static_cast<std::size_t>(level - 1);
}

std::size_t TDescriptiveStatistics::CellIndex(int level, int lab) const {
    const std::size_t s = Slot(level);
    if (lab < 1 || lab > NoOfLabs) {
        throw std::out_of_range("laboratory index " + IntText(lab) + " outside 1.." +
                                IntText(NoOfLabs));
    }
    return s * static_cast<std::size_t>(NoOfLabs) + static_cast<std::size_t>(lab - 1);
}

void TDescriptiveStatistics::SetCell(int level, int lab, int n, double difference, double variance,
                                     double mean) {
    m_cells[CellIndex(level, lab)] = TCell{mean, variance, difference, n};
}

const TCell& TDescriptiveStatistics::Cell(int level, int lab) const {
    return m_cells[CellIndex(level, lab)];
}

double TDescriptiveStatistics::SD(int level, int lab) const {
    const double v = Variance(level, lab);
    return v == MissingValue ? MissingValue : std::sqrt(v);
}

void TDescriptiveStatistics::ComputeCells(const DataType& study, Host* progress) {
    const int levels = std::min<int>(NoOfLevels, study.NoOfLevels);
    if (progress) {
        progress->StartProgress(levels * NoOfLabs);
    }
    for (int lv = 1; lv <= levels; ++lv) {
        const TLevel& level = study.Level(lv);
        for (int lab = 1; lab <= NoOfLabs; ++lab) {
            const bool counted = level.GetMark(lab) != MarkFileExcluded;
            const auto results = level.Results(lab);
            int n = 0;
            double sum = 0.0;
            if (counted) {
                for (const TResult& res : results) {
                    if (res.Usable()) {
                        sum += res.Value;
                        ++n;
                    }
                }
            }
            const double mean = n > 0 ? sum / n : MissingValue;
            double variance = MissingValue;
            if (n >= 2) {
                TRootSumSquares rss;
                for (const TResult& res : results) {
                    if (res.Usable()) {
                        rss.Add(res.Value - mean);
                    }
                }
                variance = rss.SampleVariance(n);
            }
            double difference = MissingValue;
            if (counted && results.size() == 2 && results[0].Usable() && results[1].Usable()) {
                difference = results[0].Value - results[1].Value;
            }
            SetCell(lv, lab, n, difference, variance, mean);
            if (progress) {
                progress->StepProgress();
            }
        }
        NoOfGrubbsLabs[Slot(lv)] = level.NoOfValidLabs();
    }
    if (progress) {
        progress->EndProgress();
    }
}

void TDescriptiveStatistics::ComputeLevels(const DataType& study) {
    const int levels = std::min<int>(NoOfLevels, study.NoOfLevels);
    for (int lv = 1; lv <= levels; ++lv) {
        const TLevel& level = study.Level(lv);
        const std::size_t s = Slot(lv);
        std::vector<char> valid(static_cast<std::size_t>(NoOfLabs) + 1, 0);
        int p = 0;
        for (int lab = 1; lab <= NoOfLabs; ++lab) {
            valid[static_cast<std::size_t>(lab)] = level.LabValid(lab);
            p += valid[static_cast<std::size_t>(lab)] ? 1 : 0;
        }
        NoOfValidLabs[s] = p;

        double t1 = 0.0;
        double weighted = 0.0;
        for (int lab = 1; lab <= NoOfLabs; ++lab) {
            if (valid[static_cast<std::size_t>(lab)]) {
                const TCell& c = Cell(lv, lab);
                t1 += c.N;
                weighted += c.N * c.Mean;
            }
        }
        const double x = t1 > 0 ? weighted / t1 : MissingValue;
        GrandMean[s] = x;

        double pooled = 0.0;
        double t2 = 0.0;
        for (int lab = 1; lab <= NoOfLabs; ++lab) {
            if (!IsIncludedMark(level.GetMark(lab))) {
                continue;
            }
            const TCell& c = Cell(lv, lab);
            if (c.N > 0 && c.Variance != MissingValue) {
                pooled += (c.N - 1) * c.Variance;
            }
            if (c.N > 0) {
                t2 += static_cast<double>(c.N) * c.N;
            }
        }
        RepeatVar[s] = t1 - p > 0 ? pooled / (t1 - p) : MissingValue;

        double nBar = MissingValue;
        if (p >= 2 && t1 != 0) {
            double between = 0.0;
            for (int lab = 1; lab <= NoOfLabs; ++lab) {
                if (valid[static_cast<std::size_t>(lab)]) {
                    const TCell& c = Cell(lv, lab);
                    between += c.N * (c.Mean - x) * (c.Mean - x);
                }
            }
            BetweenMeanSquare[s] = between / (p - 1);
            nBar = (t1 - t2 / t1) / (p - 1);
        } else {
            BetweenMeanSquare[s] = MissingValue;
        }

        // Without a repeatability variance (no replication) the between-
        // laboratory component cannot be separated from it.
        if (RepeatVar[s] == MissingValue && BetweenMeanSquare[s] != MissingValue) {
            BetweenLabVar[s] = MissingValue;
        } else if (BetweenMeanSquare[s] >= RepeatVar[s] && nBar != MissingValue && nBar > 0) {
            BetweenLabVar[s] = (BetweenMeanSquare[s] - RepeatVar[s]) / nBar;
        } else {
            BetweenLabVar[s] = 0.0;
        }

        if (x != MissingValue && x > 0) {
            RepeatCV[s] = RepeatVar[s] > 0 ? 100.0 * std::sqrt(RepeatVar[s]) / x : MissingValue;
            BetweenLabCV[s] =
                BetweenLabVar[s] > 0 ? 100.0 * std::sqrt(BetweenLabVar[s]) / x : MissingValue;
        } else {
            RepeatCV[s] = MissingValue;
            BetweenLabCV[s] = MissingValue;
        }
    }
}

} // namespace veltrio
