// Youden plots: the robust axis range, what is plotted, circled and listed,
// and the charts of the example studies as golden geometry.
#include "ChartFixture.h"

#include <array>
#include <sstream>

#include "base/TextUtil.h"

#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"
#include "preliminary/YoudenPlots.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

TEST(RobustRange, MedianAndMedianAbsoluteDeviation) {
    struct Case {
        std::vector<double> values;
        double min, max, upper, lower;
    };
    const Case cases[] = {
        // median 3, deviations 0 1 1 2 97: MAD 1.
        {{4, 100, 1, 3, 2}, 1, 100, 3 + 5.2, 3 - 5.2},
        // even count: median 2.5, deviations .5 .5 1.5 7.5: MAD 1.
        {{10, 1, 3, 2}, 1, 10, 2.5 + 5.2, 2.5 - 5.2},
        // missing values leave.
        {{-99, 5, -99, 7, 6}, 5, 7, 6 + 5.2, 6 - 5.2},
        // negative values are values.
        {{-3, -1, -2}, -3, -1, -2 + 5.2, -2 - 5.2},
        // all missing: one missing point remains.
        {{-99, -99}, -99, -99, -99, -99},
    };
    for (const auto& c : cases) {
        std::vector<TPointXY> points;
        for (double v : c.values) {
            points.push_back({v, 0});
        }
        const TRobustRange r = RobustRange(points, TCoordinate::X);
        EXPECT_DOUBLE_EQ(r.Min, c.min);
        EXPECT_DOUBLE_EQ(r.Max, c.max);
        EXPECT_NEAR(r.Upper, c.upper, 1e-12);
        EXPECT_NEAR(r.Lower, c.lower, 1e-12);
        // The y coordinate is read separately.
        EXPECT_DOUBLE_EQ(RobustRange(points, TCoordinate::Y).Max, 0);
    }
}

class YoudenPlotsTest : public ChartFixture {
protected:
    // The code texts drawn at laboratory points (size 8, centred).
    std::vector<std::string> PlottedCodes(const TGraphWindow& chart) {
        std::vector<std::string> codes;
        for (const TText* t : Shapes<TText>(chart)) {
            if (t->Font.Size == 8 && t->HorzAlign == 1 && t->VertAlign == 1) {
                codes.push_back(t->Text);
            }
        }
        return codes;
    }
};

TEST_F(YoudenPlotsTest, LessThanResultsAndExcludedLaboratoriesAreNotPlotted) {
    LoadUniform(
        {"A1 10.1 10.3", "A2 <5 10.0", "A3 9.8 <5", "A4 10.4 10.2", "A5 -99 9.9", "A6 9.9 10.0"},
        2);
    program.CurrentStudy->Level(1).SetMark(6, MarkUserExcluded);
    YoudenPlots(program);
    EXPECT_EQ(PlottedCodes(OnlyChart()), (std::vector<std::string>{"A1", "A4"}));
    EXPECT_EQ(charts.Charts[0].HelpContext, 5400);
    EXPECT_EQ(charts.Charts[0].Caption, "Youden plot Zinc, mg/l, Level Low");
}

TEST_F(YoudenPlotsTest, FarLaboratoryDoesNotWidenTheAxesAndIsListed) {
    LoadUniform({"A1 10.1 10.3", "A2 10.0 9.9", "A3 9.8 9.7", "A4 10.4 10.2", "A5 10.2 10.1",
                 "A6 9.9 10.0", "A7 100 98"},
                2);
    program.Settings.Circle20 = false;
    YoudenPlots(program);
    const TGraphWindow& chart = OnlyChart();
    EXPECT_LT(chart.XMax(), 20);
    EXPECT_EQ(chart.XMax(), chart.YMax());
    EXPECT_EQ(chart.XMin(), chart.YMin());
    EXPECT_TRUE(HasText(chart, "Laboratories outside the axes:"));
    EXPECT_TRUE(HasText(chart, " A7"));
}

TEST_F(YoudenPlotsTest, NegativeResultsDoNotPullTheAxesBelowZero) {
    LoadUniform({"A1 -1.0 -0.5", "A2 0.5 0.7", "A3 0.2 0.1", "A4 0.4 0.6"}, 2);
    YoudenPlots(program);
    EXPECT_EQ(OnlyChart().XMin(), 0);
}

TEST_F(YoudenPlotsTest, AssignedValueAndTwentyPercentCircle) {
    LoadUniform({"A1 10.1 10.3", "A2 10.0 9.9", "A3 9.8 9.7", "A4 10.4 10.2"}, 2, "10");
    program.Settings.Circle20 = true;
    YoudenPlots(program);
    const TGraphWindow& chart = OnlyChart();
    EXPECT_LE(chart.XMin(), 8);
    EXPECT_GE(chart.XMax(), 12);
    // Radius 2 on the axis scale: a diameter of 4 units in page cm.
    const double diameter = 4 * 11 / (chart.XMax() - chart.XMin());
    const auto circles = CirclesOfSize(chart, diameter);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_NEAR(circles[0]->x, chart.PageX(10), 1e-4);
    EXPECT_NEAR(circles[0]->y, chart.PageY(10), 1e-4);
    // The assigned value as a filled point with its label and legend entry.
    const auto points = CirclesOfSize(chart, 0.15);
    ASSERT_GE(points.size(), 2u); // on the plot and in the legend
    EXPECT_TRUE(points[0]->Filled);
    EXPECT_EQ(TextsReading(chart, "Assigned value").size(), 2u);
    EXPECT_TRUE(HasText(chart, " y=x"));

    charts.Charts.clear();
    program.Settings.Circle20 = false;
    YoudenPlots(program);
    EXPECT_TRUE(
        CirclesOfSize(OnlyChart(), 4 * 11 / (OnlyChart().XMax() - OnlyChart().XMin())).empty());
}

TEST_F(YoudenPlotsTest, GrubbsOutlierIsDrawnTwice) {
    LoadUniform({"A1 10.1 10.3", "A2 10.0 9.9", "A3 9.8 9.7", "A4 10.4 10.2", "A5 11.0 11.2"}, 2);
    program.CurrentStudy->Level(1).SetMark(5, MarkGrubbsOutlier);
    YoudenPlots(program);
    const TGraphWindow& chart = OnlyChart();
    const auto rings = CirclesOfSize(chart, 0.4);
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_FALSE(rings[0]->Filled);
    EXPECT_NEAR(rings[0]->x, chart.PageX(11.0), 1e-4);
    EXPECT_NEAR(rings[0]->y, chart.PageY(11.2), 1e-4);
    const auto label = TextsReading(chart, "Grubbs");
    ASSERT_EQ(label.size(), 1u);
    EXPECT_GT(label[0]->y, rings[0]->y); // below the point
    const auto code = TextsReading(chart, "A5");
    ASSERT_EQ(code.size(), 1u);
    EXPECT_NEAR(code[0]->x, rings[0]->x, 1e-4);
}

TEST_F(YoudenPlotsTest, FifteenLaboratoriesOutsideMakeThreeLines) {
    std::vector<std::string> rows;
    for (int i = 0; i < 20; ++i) {
        rows.push_back("B" + std::to_string(i) + " 10." + std::to_string(i % 10) + " 10.1");
    }
    // Far below the others: beyond the robust range, not below zero.
    for (int i = 0; i < 15; ++i) {
        rows.push_back("C" + std::to_string(i) + " 0.01 0.02");
    }
    LoadUniform(rows, 2);
    YoudenPlots(program);
    const TGraphWindow& chart = OnlyChart();
    ASSERT_GT(chart.XMin(), 0.02);
    std::vector<const TText*> lines;
    for (const TText* t : Shapes<TText>(chart)) {
        if (t->x == static_cast<float>(chart.X0()) && t->y > chart.Y0() + 1.4) {
            lines.push_back(t);
        }
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]->Text, "Laboratories outside the axes:");
    EXPECT_EQ(lines[1]->Text, " C0 C1 C2 C3 C4 C5 C6 C7 C8 C9 C10 C11 C12 C13");
    EXPECT_EQ(lines[2]->Text, " C14");
    EXPECT_NEAR(lines[2]->y, chart.Y0() + 1.5 + 1.0, 1e-5);
}

TEST_F(YoudenPlotsTest, LevelWithoutCompleteLaboratoryGetsNoWindow) {
    LoadUniform({"A1 10.1 -99", "A2 <5 10.0", "A3 -99 9.9"}, 2);
    ASSERT_TRUE(study().Level(1).AllLabsIncomplete);
    YoudenPlots(program);
    EXPECT_TRUE(charts.Charts.empty());
}

TEST_F(YoudenPlotsTest, DiscardNoteWhenOutlierTestsAreDiscarded) {
    LoadUniform({"A1 10.1 10.3", "A2 10.0 9.9"}, 2);
    program.Settings.DiscardOutlierTests = true;
    YoudenPlots(program);
    const auto note = TextsReading(OnlyChart(), program.LibText(1, 93));
    ASSERT_EQ(note.size(), 1u);
    EXPECT_TRUE(note[0]->Font.Bold && note[0]->Font.Italic);
}

// The split-level example (after its outlier tests) and the uniform one with
// two replicates.
TEST_F(YoudenPlotsTest, ExampleStudies) {
    for (const std::string name : {"NITRATE", "PESTICIDE"}) {
        charts.Charts.clear();
        LoadExample(name);
        CochranTest(program);
        GrubbsTest(program);
        YoudenPlots(program);
        EXPECT_EQ(static_cast<int>(charts.Charts.size()), study().NoOfLevels) << name;
        ExpectGoldenCharts(name + ".youden-plots");
    }
}

TEST_F(YoudenPlotsTest, SplitLevelTitlesNameThePairAndTheSpike) {
    LoadExample("NITRATE");
    YoudenPlots(program);
    ASSERT_FALSE(charts.Charts.empty());
    const TGraphWindow& chart = *charts.Charts[0].Chart;
    const TLevel& level = study().Level(1);
    EXPECT_TRUE(HasText(chart, " " + level.SampleId(2) + "=" + level.SampleId(1)));
    EXPECT_TRUE(HasText(chart, "Youden plot"));
    bool spikeLine = false;
    for (const TText* t : Shapes<TText>(chart)) {
        spikeLine |= t->Text.rfind("Spike of", 0) == 0 || t->Text == program.LibText(0, 5);
    }
    EXPECT_TRUE(spikeLine);
    // The title and the window caption name both samples of the pair, not
    // only the first two letters of the level name.
    const std::string pair = level.SampleId(1) + "/" + level.SampleId(2);
    EXPECT_TRUE(HasText(chart, study().Substance + ", Sample pair " + pair));
    EXPECT_NE(charts.Charts[0].Caption.find("Sample pair " + pair), std::string::npos)
        << charts.Charts[0].Caption;
}

TEST_F(YoudenPlotsTest, AxesSayWhichSampleOrReplicateTheyShow) {
    struct Case {
        const char* Study;
        std::string X, Y;
    } cases[] = {
        {"NITRATE", "N1, mg/l", "N2, mg/l"},
        {"PESTICIDE", "Replicate 1, µg/kg", "Replicate 2, µg/kg"},
    };
    for (const auto& c : cases) {
        charts.Charts.clear();
        LoadExample(c.Study);
        YoudenPlots(program);
        ASSERT_FALSE(charts.Charts.empty()) << c.Study;
        const TGraphWindow& chart = *charts.Charts[0].Chart;
        EXPECT_TRUE(HasText(chart, c.X)) << c.Study;
        EXPECT_TRUE(HasText(chart, c.Y)) << c.Study;
    }
}

} // namespace

namespace {

TEST_F(YoudenPlotsTest, LabelsDoNotPrintOverEachOther) {
    // Laboratories close together (NITRATE: W04, W10, W01 and the assigned
    // value within a few tenths) keep their codes and the assigned value's
    // label apart.
    for (const std::string name : {"NITRATE", "PESTICIDE"}) {
        charts.Charts.clear();
        LoadExample(name);
        YoudenPlots(program);
        ASSERT_FALSE(charts.Charts.empty());
        for (auto& shown : charts.Charts) {
            for (const auto& pair : OverlappingTexts(*shown.Chart)) {
                ADD_FAILURE() << name << ": " << pair;
            }
        }
    }
}

} // namespace
