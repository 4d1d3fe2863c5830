#include "numerics/Stat.h"

#include "base/Missing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace veltrio {
namespace {

TEST(TStat, EmptyState) {
    TStat s;
    EXPECT_EQ(s.NValues(), 0);
    EXPECT_EQ(s.Min(), MissingValue);
    EXPECT_EQ(s.Max(), MissingValue);
    EXPECT_EQ(s.Sum(), 0.0);
    EXPECT_EQ(s.Avg(), MissingValue);
    EXPECT_EQ(s.Median(), MissingValue);
    EXPECT_EQ(s.Std(), 0.0);
}

TEST(TStat, MissingValuesAreIgnored) {
    TStat s;
    s.Add(MissingValue);
    EXPECT_EQ(s.NValues(), 0);
    EXPECT_EQ(s.Min(), MissingValue);
    s.Add(3.0);
    s.Add(MissingValue);
    EXPECT_EQ(s.NValues(), 1);
    EXPECT_EQ(s.Sum(), 3.0);
    EXPECT_EQ(s.Min(), 3.0);
    EXPECT_EQ(s.Max(), 3.0);
}

TEST(TStat, FiguresOfOneToFour) {
    TStat s;
    for (double x : {3.0, 1.0, 4.0, 2.0}) {
        s.Add(x);
    }
    EXPECT_EQ(s.NValues(), 4);
    EXPECT_EQ(s.Min(), 1.0);
    EXPECT_EQ(s.Max(), 4.0);
    EXPECT_EQ(s.Sum(), 10.0);
    EXPECT_EQ(s.Avg(), 2.5);
    EXPECT_EQ(s.Median(), 2.5);
    // √(5/3): deviations ±0.5, ±1.5.
    EXPECT_NEAR(s.Std(), std::sqrt(5.0 / 3.0), 1e-14);
    EXPECT_NEAR(s.Std(), 1.291, 0.0005);
}

TEST(TStat, MedianAfterFurtherAdds) {
    // The median re-sorts after values were added to a sorted list.
    TStat s;
    for (double x : {5.0, -2.0, 7.0}) {
        s.Add(x);
    }
    EXPECT_EQ(s.Median(), 5.0);
    s.Add(-10.0);
    s.Add(-11.0);
    EXPECT_EQ(s.Median(), -2.0);
    EXPECT_EQ(s.Min(), -11.0);
}

TEST(TStat, NegativeValuesSetMinAndMax) {
    // Min and Max start at −99 but a real value below −99 is still taken.
    TStat s;
    s.Add(-150.0);
    s.Add(-120.0);
    EXPECT_EQ(s.Min(), -150.0);
    EXPECT_EQ(s.Max(), -120.0);
}

TEST(TStat, TinyDeviationsAreLeftOut) {
    TStat s;
    s.Add(1.0);
    EXPECT_EQ(s.Std(), 0.0);
    s.Add(1.0 + 1e-11);
    s.Add(1.0 - 1e-11);
    EXPECT_EQ(s.Std(), 0.0);
    // Left out of the sum, they still count in n: (4 + 4)/(4 − 1).
    TStat t;
    for (double x : {1.0, 3.0, 5.0, 3.0}) {
        t.Add(x);
    }
    EXPECT_NEAR(t.Std(), std::sqrt(8.0 / 3.0), 1e-14);
}

TEST(TStat, ClearResets) {
    TStat s;
    for (double x : {1.0, 2.0}) {
        s.Add(x);
    }
    s.Clear();
    EXPECT_EQ(s.NValues(), 0);
    EXPECT_EQ(s.Min(), MissingValue);
    EXPECT_EQ(s.Max(), MissingValue);
    EXPECT_EQ(s.Sum(), 0.0);
    EXPECT_EQ(s.Avg(), MissingValue);
    EXPECT_EQ(s.Median(), MissingValue);
    s.Add(7.0);
    EXPECT_EQ(s.Median(), 7.0);
}

TStatObject Filled(const std::vector<double>& values) {
    TStatObject s;
    for (double x : values) {
        s.Add(x);
    }
    return s;
}

TEST(TStatObject, InitialState) {
    TStatObject s;
    EXPECT_TRUE(s.KeepValues);
    EXPECT_EQ(s.Min, 999999.0);
    EXPECT_EQ(s.Max, -999999.0);
    EXPECT_EQ(s.Total(), 0.0);
    EXPECT_EQ(s.Count(), 0);
    EXPECT_EQ(s.Mean(), MissingValue);
    EXPECT_EQ(s.StdDev(), MissingValue);
}

TEST(TStatObject, AddDoesNotFilterMissingValues) {
    TStatObject s = Filled({MissingValue, 1.0});
    EXPECT_EQ(s.Count(), 2);
    EXPECT_EQ(s.Min, MissingValue);
    EXPECT_EQ(s.Mean(), -49.0);
}

TEST(TStatObject, SDIsKept) {
    TStatObject s = Filled({4.0, 1.0, 3.0, 2.0});
    EXPECT_NEAR(s.SD(), std::sqrt(5.0 / 3.0), 1e-14);
    EXPECT_EQ(s.StdDev(), s.SD());
    TStatObject one = Filled({4.0});
    EXPECT_EQ(one.SD(), 0.0);
}

TEST(TStatObject, MedianAndSort) {
    TStatObject s = Filled({9.0, 2.0, 7.0, 4.0, 5.0});
    EXPECT_EQ(s.Median(), 5.0); // 3rd smallest of 5
    EXPECT_EQ(s.Values(), (std::vector<double>{2.0, 4.0, 5.0, 7.0, 9.0}));
    s.Add(1.0);
    EXPECT_EQ(s.Median(), 4.5);
}

TEST(TStatObject, Percentiles) {
    struct Case {
        std::vector<double> values;
        int a;
        double expected;
    };
    const std::vector<double> eight = {80, 10, 70, 20, 60, 30, 50, 40};
    const std::vector<double> six = {60, 10, 50, 20, 40, 30};
    const std::vector<double> seven = {70, 10, 60, 20, 50, 30, 40};
    const std::vector<double> ten = {10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    for (const Case& c : {
             Case{eight, 25, 25.0}, // a·n = 200: mean of the 2nd and 3rd
             Case{six, 25, 20.0},   // a·n = 150: the 2nd
             Case{eight, 50, 45.0}, // the median
             Case{seven, 50, 40.0}, // the median
             Case{seven, 75, 60.0}, // a·n = 525: the 6th
             Case{ten, 90, 9.5},    // a·n = 900: mean of the 9th and 10th
             Case{ten, 10, 1.5},    // a·n = 100: mean of the 1st and 2nd
             Case{ten, 5, 1.0},     // a·n = 50: the 1st
             Case{ten, 0, 1.0},     // kept inside the values
             Case{ten, 100, 10.0},  // kept inside the values
         }) {
        TStatObject s = Filled(c.values);
        EXPECT_EQ(s.Percentile(c.a), c.expected) << c.a << " of " << c.values.size();
    }
    EXPECT_EQ(Filled({1, 2, 3, 4, 5}).Percentile(25), MissingValue);
}

} // namespace
} // namespace veltrio
