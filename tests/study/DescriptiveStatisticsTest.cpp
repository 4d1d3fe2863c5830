#include <gtest/gtest.h>

#include <cmath>

#include "study/DescriptiveStatistics.h"
#include "study/Study.h"

using namespace veltrio;

namespace {

void SetLab(DataType& s, int level, int lab, std::initializer_list<double> values) {
    int r = 1;
    for (double v : values) {
        s.Level(level).SetResult(lab, r++, ' ', v, 1);
    }
}

TDescriptiveStatistics Compute(const DataType& s) {
    TDescriptiveStatistics d(s.NoOfLevels, s.NoOfLabs);
    d.ComputeCells(s, nullptr);
    d.ComputeLevels(s);
    return d;
}

} // namespace

TEST(DescriptiveStatistics, CellOfTwoResults) {
    DataType s(dkUniformLevel, 1, "t", "u", "s", 2, 1);
    SetLab(s, 1, 1, {10.0, 12.0});
    const auto d = Compute(s);
    EXPECT_DOUBLE_EQ(d.Mean(1, 1), 11.0);
    EXPECT_DOUBLE_EQ(d.Variance(1, 1), 2.0);
    EXPECT_DOUBLE_EQ(d.SD(1, 1), std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(d.Difference(1, 1), -2.0);
    EXPECT_EQ(d.N(1, 1), 2);
    // One valid laboratory: no between-laboratory mean square, component 0.
    EXPECT_EQ(d.BetweenMeanSquare[0], MissingValue);
    EXPECT_EQ(d.BetweenLabVar[0], 0.0);
    EXPECT_EQ(d.NoOfValidLabs[0], 1);
    EXPECT_DOUBLE_EQ(d.GrandMean[0], 11.0);
}

TEST(DescriptiveStatistics, MarksDecideWhatCounts) {
    // Four laboratories, duplicates; lab 2 is a Cochran straggler (counts),
    // lab 3 a Grubbs outlier (cell computed, level excluded), lab 4 excluded
    // by the file (nothing computed).
    DataType s(dkUniformLevel, 1, "t", "u", "s", 2, 4);
    SetLab(s, 1, 1, {10.0, 12.0});
    SetLab(s, 1, 2, {14.0, 15.0});
    SetLab(s, 1, 3, {100.0, 101.0});
    SetLab(s, 1, 4, {50.0, 52.0});
    s.Level(1).SetMark(2, 'c');
    s.Level(1).SetMark(3, 'G');
    s.Level(1).SetMark(4, 'U');
    const auto d = Compute(s);
    EXPECT_DOUBLE_EQ(d.Mean(1, 3), 100.5);
    EXPECT_EQ(d.N(1, 4), 0);
    EXPECT_EQ(d.Mean(1, 4), MissingValue);
    EXPECT_EQ(d.Variance(1, 4), MissingValue);
    EXPECT_EQ(d.Difference(1, 4), MissingValue);
    EXPECT_EQ(d.NoOfValidLabs[0], 2);
    EXPECT_EQ(d.NoOfGrubbsLabs[0], 2);
    // Hand computation over labs 1 and 2: means 11 and 14.5, variances 2, 0.5.
    EXPECT_DOUBLE_EQ(d.GrandMean[0], 12.75);
    EXPECT_DOUBLE_EQ(d.RepeatVar[0], 1.25);
    EXPECT_DOUBLE_EQ(d.BetweenMeanSquare[0], 2 * (1.75 * 1.75) * 2);
    // n-bar = (4 - 8/4) / 1 = 2
    EXPECT_DOUBLE_EQ(d.BetweenLabVar[0], (12.25 - 1.25) / 2);
    EXPECT_DOUBLE_EQ(d.RepeatCV[0], 100 * std::sqrt(1.25) / 12.75);
    EXPECT_DOUBLE_EQ(d.BetweenLabCV[0], 100 * std::sqrt(5.5) / 12.75);
}

TEST(DescriptiveStatistics, LessThanAndMissingResults) {
    DataType s(dkUniformLevel, 1, "t", "u", "s", 3, 2);
    SetLab(s, 1, 1, {1.0, MissingValue, 3.0});
    s.Level(1).SetResult(2, 1, '<', 0.5, 1);
    SetLab(s, 1, 2, {0.5});
    s.Level(1).SetResult(2, 1, '<', 0.5, 1);
    const auto d = Compute(s);
    EXPECT_EQ(d.N(1, 1), 2);
    EXPECT_DOUBLE_EQ(d.Mean(1, 1), 2.0);
    EXPECT_EQ(d.Difference(1, 1), MissingValue); // three replicates
    EXPECT_EQ(d.N(1, 2), 0);
    EXPECT_FALSE(s.Level(1).LabValid(2));
}

TEST(DescriptiveStatistics, SplitLevelPairsNeedBothResults) {
    DataType s(dkSplitLevel, 1, "t", "u", "s", 2, 3);
    SetLab(s, 1, 1, {5.0, 6.0});
    SetLab(s, 1, 2, {5.5, MissingValue});
    SetLab(s, 1, 3, {7.0, 6.0});
    const auto d = Compute(s);
    EXPECT_EQ(d.NoOfValidLabs[0], 2);
    EXPECT_EQ(d.N(1, 2), 1);
    EXPECT_EQ(d.Difference(1, 2), MissingValue);
    EXPECT_DOUBLE_EQ(d.Difference(1, 3), 1.0);
    EXPECT_DOUBLE_EQ(d.GrandMean[0], 6.0);
    // The included but invalid lab 2 enters T2 (1 result): n-bar = (4 - 9/4) / 1.
    const double bms = 2 * 0.25 + 2 * 0.25;
    EXPECT_DOUBLE_EQ(d.BetweenMeanSquare[0], bms);
    EXPECT_DOUBLE_EQ(d.RepeatVar[0], 0.5);
    EXPECT_DOUBLE_EQ(d.BetweenLabVar[0], (bms - 0.5) / 1.75);
}

TEST(DescriptiveStatistics, NoReplicationLeavesTheComponentsUndefined) {
    // One result per laboratory: no repeatability variance, so the between-
    // laboratory component cannot be separated.
    DataType s(dkUniformLevel, 1, "t", "u", "s", 1, 3);
    SetLab(s, 1, 1, {1.0});
    SetLab(s, 1, 2, {2.0});
    SetLab(s, 1, 3, {4.0});
    const auto d = Compute(s);
    EXPECT_EQ(d.RepeatVar[0], MissingValue);
    EXPECT_NE(d.BetweenMeanSquare[0], MissingValue);
    EXPECT_EQ(d.BetweenLabVar[0], MissingValue);
    EXPECT_EQ(d.RepeatCV[0], MissingValue);
    EXPECT_EQ(d.BetweenLabCV[0], MissingValue);
}

TEST(DescriptiveStatistics, NonPositiveGrandMeanHasNoCoefficients) {
    DataType s(dkUniformLevel, 1, "t", "u", "s", 2, 2);
    SetLab(s, 1, 1, {-1.0, -2.0});
    SetLab(s, 1, 2, {-3.0, -5.0});
    const auto d = Compute(s);
    EXPECT_LT(d.GrandMean[0], 0.0);
    EXPECT_GT(d.RepeatVar[0], 0.0);
    EXPECT_EQ(d.RepeatCV[0], MissingValue);
    EXPECT_EQ(d.BetweenLabCV[0], MissingValue);
}
