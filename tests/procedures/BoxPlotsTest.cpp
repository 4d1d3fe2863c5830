// Box plots: panels, boxes, points beyond the whiskers, values outside the
// axis, and the chart of each example study as golden geometry.
#include "ChartFixture.h"

#include <sstream>

#include "documents/NumberText.h"
#include "study/PreliminaryStats.h"
#include "tools/BoxPlots.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class BoxPlotsTest : public ChartFixture {
protected:
    // One result per laboratory, codes B1, B2, ...
    void LoadValues(const std::vector<std::string>& values) {
        std::vector<std::string> rows;
        for (const auto& v : values) {
            rows.push_back("B" + std::to_string(rows.size() + 1) + " " + v);
        }
        LoadUniform(rows, 1);
    }
    double Q(const TPreliminaryStats::Grid<double>& g) const {
        return TPreliminaryStats::At(g, 1, 1);
    }
    // Hollow circles of the points (size 0.25), by page x.
    static std::vector<double> PointXs(const TGraphWindow& chart) {
        std::vector<double> xs;
        for (const TCircle* c : CirclesOfSize(chart, 0.25)) {
            xs.push_back(c->x);
        }
        return xs;
    }
    static bool StartsWithText(const TGraphWindow& chart, const std::string& prefix) {
        for (const TText* t : Shapes<TText>(chart)) {
            if (t->Text.rfind(prefix, 0) == 0) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(BoxPlotsTest, PointsBeyondTheWhiskersAndValuesOutsideTheAxis) {
    LoadValues({"10", "11", "12", "13", "14", "15", "16", "17", "40", "-30"});
    MakeBoxPlots(program);
    const TGraphWindow& chart = OnlyChart();
    EXPECT_EQ(charts.Charts[0].Caption, "Box Plots");
    EXPECT_EQ(charts.Charts[0].HelpContext, 8100);
    const TPreliminaryStats& p = *program.Prelim;
    const double q25 = Q(p.DescQ25), q75 = Q(p.DescQ75), iqr = Q(p.DescIQR);
    ASSERT_NE(iqr, MissingValue);
    // The axis spans at least Q25 − 2 IQR .. Q75 + 2 IQR.
    EXPECT_LE(chart.XMin(), q25 - 2 * iqr);
    EXPECT_GE(chart.XMax(), q75 + 2 * iqr);
    // Every value inside the whiskers is not drawn; those beyond them but
    // on the axis are points; the others are counted.
    int points = 0, counted = 0;
    std::vector<double> expected;
    for (double v : {10, 11, 12, 13, 14, 15, 16, 17, 40, -30}) {
        if (v < chart.XMin() || v > chart.XMax()) {
            ++counted;
        } else if (v < q25 - iqr || v > q75 + iqr) {
            ++points;
            expected.push_back(chart.PageX(v));
        }
    }
    const auto xs = PointXs(chart);
    ASSERT_EQ(static_cast<int>(xs.size()), points);
    for (std::size_t i = 0; i < xs.size(); ++i) {
        EXPECT_NEAR(xs[i], expected[i], 1e-4);
    }
    EXPECT_TRUE(HasText(chart, " Outside: " + std::to_string(counted)));
    EXPECT_GT(counted + points, 0);
    // The explanation follows the last level, below its tick labels.
    const auto explanation = TextsReading(chart, "Explanation:");
    ASSERT_EQ(explanation.size(), 1u);
    EXPECT_NEAR(explanation[0]->y, 5.0 + 1.0, 1e-5);
    EXPECT_TRUE(HasText(chart, "Low."));
}

TEST_F(BoxPlotsTest, ValueAtTheWhiskerEndIsNotAPoint) {
    // Quartiles of 1..8 by the program's rule; a value exactly at Q75 + IQR.
    LoadValues({"1", "2", "3", "4", "5", "6", "7", "8"});
    program.Prelim = std::make_unique<TPreliminaryStats>();
    program.Prelim->ComputeDescriptive(program);
    const double whisker = Q(program.Prelim->DescQ75) + Q(program.Prelim->DescIQR);
    std::vector<std::string> values{"1", "2", "3", "4", "5", "6", "7", "8"};
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", whisker);
    values.push_back(text);
    LoadValues(values);
    program.Prelim.reset();
    MakeBoxPlots(program);
    const double w = Q(program.Prelim->DescQ75) + Q(program.Prelim->DescIQR);
    for (double x : PointXs(OnlyChart())) {
        EXPECT_GT(std::fabs(x - OnlyChart().PageX(std::stod(text))), 1e-3)
            << "value " << text << " at whisker end " << w;
    }
}

TEST_F(BoxPlotsTest, FewerThanSixResultsGiveNoPanelButTheExplanation) {
    LoadValues({"10", "11", "12", "13", "14"});
    MakeBoxPlots(program);
    const TGraphWindow& chart = OnlyChart();
    EXPECT_TRUE(Shapes<TCircle>(chart).empty());
    EXPECT_FALSE(StartsWithText(chart, " Q75"));
    EXPECT_TRUE(HasText(chart, "Explanation:"));
}

TEST_F(BoxPlotsTest, LowerXZeroCountsNegativeValuesAsOutside) {
    LoadValues({"1", "2", "3", "4", "5", "6", "7", "-4"});
    program.Settings.LowerXZero = true;
    MakeBoxPlots(program);
    const TGraphWindow& chart = OnlyChart();
    EXPECT_EQ(chart.XMin(), 0);
    EXPECT_TRUE(HasText(chart, " Outside: 1"));
    EXPECT_TRUE(PointXs(chart).empty());
}

TEST_F(BoxPlotsTest, CollapsedBox) {
    LoadValues({"5", "5", "5", "5", "5", "5", "5", "9"});
    MakeBoxPlots(program);
    const TGraphWindow& chart = OnlyChart();
    ASSERT_EQ(Q(program.Prelim->DescIQR), 0);
    // AutoScale's equal ends: 4 .. 6; 9 is outside.
    EXPECT_EQ(chart.XMin(), 4);
    EXPECT_EQ(chart.XMax(), 6);
    EXPECT_TRUE(HasText(chart, " Outside: 1"));
}

TEST_F(BoxPlotsTest, SplitLevelBoxesOnTheReportedScale) {
    LoadExample("NITRATE");
    MakeBoxPlots(program);
    const TGraphWindow& chart = OnlyChart();
    const TLevel& level = study().Level(1);
    EXPECT_TRUE(HasText(chart, level.SampleId(1) + "."));
    EXPECT_TRUE(HasText(chart, level.SampleId(2) + "."));
    // Each sample's own figures and outside count.
    const int spiked = level.SpikedSample;
    const double median = TPreliminaryStats::At(program.Prelim->DescMedian, 1, spiked);
    EXPECT_TRUE(HasText(chart, " M   = " + FormatThousands(median, 8, level.Decimals + 1)));
    int outsideLines = 0;
    for (const TText* t : Shapes<TText>(chart)) {
        outsideLines += t->Text.rfind(" Outside:", 0) == 0;
    }
    EXPECT_EQ(outsideLines, 2 * study().NoOfLevels);
}

TEST_F(BoxPlotsTest, ExampleStudies) {
    for (const std::string name : {"LEAD", "NITRATE", "PESTICIDE", "GLUCOSE"}) {
        charts.Charts.clear();
        LoadExample(name);
        program.Prelim.reset();
        MakeBoxPlots(program);
        ExpectGoldenCharts(name + ".box-plots");
        // No text prints over another: the four figure lines beside a box,
        // the explanation below the tick labels of the last axis.
        ASSERT_EQ(charts.Charts.size(), 1u);
        for (const auto& pair : OverlappingTexts(*charts.Charts[0].Chart)) {
            ADD_FAILURE() << name << ": " << pair;
        }
    }
}

} // namespace
