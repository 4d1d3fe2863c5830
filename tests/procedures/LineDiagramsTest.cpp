// Line diagrams: rows, exclusion marks, the value axis and the figures
// below, and the charts of the example studies as golden geometry.
#include "ChartFixture.h"

#include <sstream>

#include "labs/LineDiagrams.h"
#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"
#include "study/PreliminaryStats.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class LineDiagramsTest : public ChartFixture {
protected:
    // The result series: vertical dashes (marker code 7) at a laboratory's
    // row, as (page x) per row y.
    static std::vector<const TLine*> Dashes(const TGraphWindow& chart, double pageY) {
        std::vector<const TLine*> out;
        for (const TLine* l : Shapes<TLine>(chart)) {
            const double mid = (l->y1 + l->y2) / 2;
            if (l->x1 == l->x2 && std::fabs(mid - pageY) < 1e-4 &&
                std::fabs(std::fabs(l->y2 - l->y1) - 0.2) < 1e-4) {
                out.push_back(l);
            }
        }
        return out;
    }
};

TEST_F(LineDiagramsTest, RowsScaleAndCaption) {
    LoadUniform({"A1 11 12", "A2 12 13", "A3 11 10", "A4 14 13"}, 2);
    LineDiagrams(program);
    const TGraphWindow& chart = OnlyChart();
    EXPECT_EQ(charts.Charts[0].Caption, "Line diagram : Level Low");
    EXPECT_EQ(charts.Charts[0].HelpContext, 5500);
    // Four rows one cm apart; laboratory axis 0..4.
    EXPECT_DOUBLE_EQ(chart.Y0(), 4 + 2);
    EXPECT_DOUBLE_EQ(chart.YAxisLength, 4);
    EXPECT_EQ(chart.YMin(), 0);
    EXPECT_EQ(chart.YMax(), 4);
    // The scale of 10..14 is 10..14.
    EXPECT_EQ(chart.XMin(), 10);
    EXPECT_EQ(chart.XMax(), 14);
    // Laboratory 3's code right-aligned left of the axis at its row.
    const auto code = TextsReading(chart, "A3");
    ASSERT_EQ(code.size(), 1u);
    EXPECT_NEAR(code[0]->y, chart.Y0() - 3, 1e-5);
    EXPECT_EQ(code[0]->HorzAlign, 2);
    // Its results 11 and 10: 10 is the axis minimum and is not plotted but
    // listed; the axis maximum 14 is plotted.
    const auto dashes = Dashes(chart, chart.Y0() - 3);
    ASSERT_EQ(dashes.size(), 1u);
    EXPECT_NEAR(dashes[0]->x1, chart.PageX(11), 1e-4);
    EXPECT_EQ(Dashes(chart, chart.Y0() - 4).size(), 2u);
    EXPECT_TRUE(HasText(chart, "Values outside the axis:"));
    EXPECT_TRUE(HasText(chart, "    Laboratory A3, value 10"));
}

TEST_F(LineDiagramsTest, ExcludedLaboratoriesAreCircledAndLabelled) {
    LoadUniform({"A1 11 12", "A2 12 13", "ABC 11 12", "A4 14 10"}, 2);
    TLevel& level = program.CurrentStudy->Level(1);
    level.SetMark(2, MarkFileExcluded);
    level.SetMark(3, MarkGrubbsOutlier);
    LineDiagrams(program);
    const TGraphWindow& chart = OnlyChart();
    // Grubbs: circled, labelled, results drawn.
    const auto grubbs = TextsReading(chart, "Grubbs");
    ASSERT_EQ(grubbs.size(), 1u);
    EXPECT_NEAR(grubbs[0]->y, chart.Y0() - 3, 1e-5);
    const double xc = chart.X0() - 0.3;
    const auto ring3 = CirclesOfSize(chart, 2 * 0.12 + 0.6);
    ASSERT_EQ(ring3.size(), 1u);
    EXPECT_NEAR(ring3[0]->x, xc - 3 * 0.12, 1e-5);
    EXPECT_NEAR(grubbs[0]->x, xc - 3 * 0.12 - (2 * 0.12 + 0.6) / 2 - 0.1, 1e-5);
    EXPECT_EQ(Dashes(chart, chart.Y0() - 3).size(), 2u);
    // U: circled, labelled, results not drawn.
    EXPECT_EQ(TextsReading(chart, "U").size(), 1u);
    EXPECT_EQ(CirclesOfSize(chart, 0.12 + 0.6).size(), 1u);
    EXPECT_TRUE(Dashes(chart, chart.Y0() - 2).empty());
    // Without outliers: laboratories 1 and 4, four results.
    EXPECT_TRUE(HasText(chart, "n = 4"));
}

TEST_F(LineDiagramsTest, RowSpacing) {
    for (const int labs : {20, 30}) {
        charts.Charts.clear();
        std::vector<std::string> rows;
        for (int i = 0; i < labs; ++i) {
            rows.push_back("L" + std::to_string(i) + " 10." + std::to_string(i % 10) + " 10");
        }
        LoadUniform(rows, 2);
        LineDiagrams(program);
        const TGraphWindow& chart = OnlyChart();
        const double s = labs > 22 ? 23.0 / labs : 1.0;
        EXPECT_NEAR(chart.YAxisLength, labs * s, 1e-9) << labs;
        const auto last = TextsReading(chart, "L" + std::to_string(labs - 1));
        ASSERT_EQ(last.size(), 1u);
        EXPECT_NEAR(last[0]->y, chart.Y0() - labs * s, 1e-4) << labs;
    }
}

TEST_F(LineDiagramsTest, LevelWithoutUsableValues) {
    LoadUniform({"A1 <1 -99", "A2 -99 <1"}, 2);
    LineDiagrams(program);
    const TGraphWindow& chart = OnlyChart();
    EXPECT_TRUE(HasText(chart, "No usable values in this level."));
    EXPECT_EQ(chart.XMin(), 0);
    EXPECT_EQ(chart.XMax(), 1);
    EXPECT_TRUE(Shapes<TCircle>(chart).empty());
}

TEST_F(LineDiagramsTest, FiguresWithAndWithoutOutliers) {
    LoadUniform({"A1 10.00 12.00", "A2 11.00 13.00", "A3 20.00 22.00"}, 2);
    program.CurrentStudy->Level(1).SetMark(3, MarkCochranOutlier);
    LineDiagrams(program);
    const TGraphWindow& chart = OnlyChart();
    // All usable results: 10 12 11 13 20 22, mean 14.67; without the
    // outlier: 10 12 11 13, mean 11.5, s = sqrt(5/3) = 1.29.
    EXPECT_TRUE(HasText(chart, "n = 6"));
    EXPECT_TRUE(HasText(chart, "n = 4"));
    EXPECT_TRUE(HasText(chart, "Mean = 11.50"));
    EXPECT_TRUE(HasText(chart, "s = 1.29"));
}

TEST_F(LineDiagramsTest, ExampleStudies) {
    for (const std::string name : {"LEAD", "GLUCOSE"}) {
        charts.Charts.clear();
        LoadExample(name);
        CochranTest(program);
        GrubbsTest(program);
        program.Prelim.reset();
        LineDiagrams(program);
        EXPECT_EQ(static_cast<int>(charts.Charts.size()), study().NoOfLevels) << name;
        ExpectGoldenCharts(name + ".line-diagrams");
    }
}

} // namespace
