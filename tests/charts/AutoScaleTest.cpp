#include "charts/GraphWindow.h"

#include <gtest/gtest.h>

namespace veltrio {
namespace {

struct ScaleCase {
    double Largest, Smallest;
    double Min, Max, Interval;
    int Decimals;
};

TEST(AutoScaleTest, Cases) {
    const ScaleCase cases[] = {
        {10, 0, 0, 10, 2, 0},
        {0.35, 0.05, 0, 0.4, 0.1, 2}, // g raised from 3 to 4
        {7, 7, 6, 8, 0.5, 1},         // equal values
        {99, 1, 0, 100, 25, 0},       // g = 10
        {123, 17, 0, 200, 50, 0},
        {-3, -17, -20, 0, 5, 0},                     // negative values: g = 2, l = -2
        {1, 0, 0, 1, 0.2, 1},                        // g = 1
        {0.0123, 0.0101, 0.0100, 0.0130, 0.0005, 4}, // u = 0.001, g = 3, l = 10
        {0, 17, 0, 20, 5, 0},            // largest and smallest given the wrong way round
        {1061, 1009, 1000, 1070, 10, 0}, // g = 6 raised to 7
        {55, 51, 51, 55, 1, 1},          // g = 4, l + g = 55 not below 55
    };
    for (const ScaleCase& c : cases) {
        const TAxisScale s = AutoScale(c.Largest, c.Smallest);
        EXPECT_NEAR(s.Min, c.Min, 1e-12) << c.Largest << " " << c.Smallest;
        EXPECT_NEAR(s.Max, c.Max, 1e-12) << c.Largest << " " << c.Smallest;
        EXPECT_NEAR(s.Interval, c.Interval, 1e-12) << c.Largest << " " << c.Smallest;
        EXPECT_EQ(s.Decimals, c.Decimals) << c.Largest << " " << c.Smallest;
        // Every scale shows both values.
        EXPECT_LE(s.Min, std::min(c.Largest, c.Smallest) + 1e-12);
        EXPECT_GE(s.Max, std::max(c.Largest, c.Smallest) - 1e-12);
    }
}

TEST(AutoScaleTest, MaximumRaisedWhenTheLargestValueIsNotCovered) {
    // 19.5 and 10.5: e = 0, u = 1, g = 9, l = 10; l + g = 19 < 19.5 and g < 10
    // gives g = 10, max 20.
    EXPECT_EQ(AutoScale(19.5, 10.5), (TAxisScale{10, 20, 2.5, 1}));
    // e = 0, u = 1, g = 10, l = 1: max 11 covers 10.95.
    const TAxisScale s = AutoScale(10.95, 1.05);
    EXPECT_DOUBLE_EQ(s.Min, 1);
    EXPECT_DOUBLE_EQ(s.Max, 11);
    // g = 10 cannot grow; max 11 < 11.5 adds one unit.
    const TAxisScale t = AutoScale(11.5, 1.6);
    EXPECT_DOUBLE_EQ(t.Min, 1);
    EXPECT_DOUBLE_EQ(t.Max, 12);
    EXPECT_DOUBLE_EQ(t.Interval, 2.5);
}

} // namespace
} // namespace veltrio
