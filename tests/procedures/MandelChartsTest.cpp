// Mandel's h and k charts and documents: the geometry of a page, what is
// plotted and what is listed under the chart, the critical lines, pages of
// many laboratories, markers and legend, and the documents and charts of
// the example studies as golden files.
#include "ChartFixture.h"

#include <cmath>
#include <string>
#include <vector>

#include "labs/MandelH.h"
#include "labs/MandelK.h"
#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class MandelChartsTest : public ChartFixture {
protected:
    // `labs` laboratories "A01".. with one level of the given results.
    void LoadLabs(const std::vector<std::vector<double>>& results, int replicates) {
        std::vector<std::string> rows;
        for (std::size_t i = 0; i < results.size(); ++i) {
            char code[8];
            std::snprintf(code, sizeof code, "A%02d", static_cast<int>(i + 1));
            std::string row = code;
            for (double v : results[i]) {
                row += " " + std::to_string(v);
            }
            rows.push_back(row);
        }
        LoadUniform(rows, replicates);
    }
    // Horizontal dashed lines, as (page y, left x, right x).
    static std::vector<std::array<double, 3>> DashedLines(const TGraphWindow& chart) {
        std::vector<std::array<double, 3>> out;
        for (const TLine* l : Shapes<TLine>(chart)) {
            if (l->PenStyle == TPenStyle::psDash && l->y1 == l->y2) {
                out.push_back({l->y1, l->x1, l->x2});
            }
        }
        return out;
    }
    // Marker crosses (code 13) as their centres.
    static std::vector<std::pair<double, double>> Crosses(const TGraphWindow& chart) {
        std::vector<std::pair<double, double>> out;
        for (const TLine* l : Shapes<TLine>(chart)) {
            // The rising stroke of a cross of size 0.2.
            if (std::fabs(l->x2 - l->x1 - 0.2) < 1e-4 && std::fabs(l->y2 - l->y1 - 0.2) < 1e-4) {
                out.push_back({(l->x1 + l->x2) / 2, (l->y1 + l->y2) / 2});
            }
        }
        return out;
    }
    void ExpectNoOverlaps(const std::string& what) {
        for (auto& shown : charts.Charts) {
            for (const auto& pair : OverlappingTexts(*shown.Chart)) {
                ADD_FAILURE() << what << ": " << pair;
            }
        }
    }
};

TEST_F(MandelChartsTest, PageGeometryAndCriticalLines) {
    LoadExample("LEAD");
    MandelHValues(program);
    ASSERT_EQ(charts.Charts.size(), 1u);
    EXPECT_EQ(charts.Charts[0].Caption, "Chart - Mandel's h statistic");
    EXPECT_EQ(charts.Charts[0].HelpContext, 7000);
    const TGraphWindow& chart = *charts.Charts[0].Chart;
    EXPECT_DOUBLE_EQ(chart.X0(), 1);
    EXPECT_DOUBLE_EQ(chart.Y0(), 12.5);
    EXPECT_DOUBLE_EQ(chart.XaxisLength, 17.5);
    EXPECT_DOUBLE_EQ(chart.YAxisLength, 11);
    EXPECT_EQ(chart.XMin(), 0);
    EXPECT_EQ(chart.XMax(), 12);
    EXPECT_EQ(chart.YMin(), -3);
    EXPECT_EQ(chart.YMax(), 3);
    // p = 12: 2.25 (1 %) and 1.83 (5 %) on both sides, over the whole axis.
    auto lines = DashedLines(chart);
    ASSERT_EQ(lines.size(), 4u);
    std::vector<double> at;
    for (const auto& l : lines) {
        EXPECT_NEAR(l[1], chart.PageX(0), 1e-5);
        EXPECT_NEAR(l[2], chart.PageX(12), 1e-5);
        at.push_back(std::round((12.5 - l[0]) / 11 * 6 * 100 - 300) / 100);
    }
    std::sort(at.begin(), at.end());
    EXPECT_EQ(at, (std::vector<double>{-2.25, -1.83, 1.83, 2.25}));
    // The thick line at h = 0.
    int zero = 0;
    for (const TLine* l : Shapes<TLine>(chart)) {
        if (l->Width == -3) {
            ++zero;
            EXPECT_NEAR(l->y1, chart.PageY(0), 1e-5);
            EXPECT_NEAR(l->x1, chart.PageX(0), 1e-5);
            EXPECT_NEAR(l->x2, chart.PageX(12), 1e-5);
        }
    }
    EXPECT_EQ(zero, 1);
    // The codes under their positions, no position numbers.
    const auto code = TextsReading(chart, "L03");
    ASSERT_EQ(code.size(), 1u);
    EXPECT_NEAR(code[0]->x, 1 + 3 * 17.5 / 12, 1e-5);
    EXPECT_NEAR(code[0]->y, 12.5 + 0.2, 1e-5);
    EXPECT_FALSE(HasText(chart, "7"));
    EXPECT_TRUE(HasText(chart, "Mandel's h statistic, Lead in soil, mg/kg"));
    EXPECT_TRUE(HasText(chart, "h"));
    EXPECT_TRUE(HasText(chart, "Laboratory"));
    // 36 values, every one on the axis.
    EXPECT_EQ(Crosses(chart).size(), 36u);
}

// Page 2 of 31 laboratories covers positions 17..31: the lines run over
// that page, not from 0.
TEST_F(MandelChartsTest, LaterPagesDrawTheirLinesOverTheirOwnRange) {
    std::vector<std::vector<double>> results;
    for (int i = 0; i < 31; ++i) {
        results.push_back({10.0 + (i * 7 % 11) * 0.1, 10.05 + (i * 5 % 13) * 0.1});
    }
    LoadLabs(results, 2);
    MandelHValues(program);
    ASSERT_EQ(charts.Charts.size(), 2u);
    const TGraphWindow& second = *charts.Charts[1].Chart;
    EXPECT_EQ(second.XMin(), 16);
    EXPECT_EQ(second.XMax(), 31);
    EXPECT_TRUE(HasText(second, "Mandel's h statistic, Zinc, mg/l [2/2]"));
    // p = 31: 2.41 and 1.89 from the extrapolation.
    const auto lines = DashedLines(second);
    ASSERT_EQ(lines.size(), 4u);
    for (const auto& l : lines) {
        EXPECT_NEAR(l[1], second.X0(), 1e-5);
        EXPECT_NEAR(l[2], second.X0() + 17.5, 1e-5);
    }
    EXPECT_NEAR(lines[0][0], second.PageY(2.41), 1e-5);
    EXPECT_NEAR(lines[2][0], second.PageY(1.89), 1e-5);
    for (const TLine* l : Shapes<TLine>(second)) {
        if (l->Width == -3) {
            EXPECT_NEAR(l->x1, second.X0(), 1e-5);
            EXPECT_NEAR(l->x2, second.X0() + 17.5, 1e-5);
        }
    }
    EXPECT_TRUE(HasText(second, "A17"));
    EXPECT_FALSE(HasText(second, "A16"));
}

TEST_F(MandelChartsTest, FortyFiveLaboratoriesOnTwoOrThreePages) {
    std::vector<std::vector<double>> results;
    for (int i = 0; i < 45; ++i) {
        results.push_back({20.0 + (i * 7 % 11) * 0.1, 20.05 + (i * 5 % 13) * 0.1});
    }
    LoadLabs(results, 2);
    struct Case {
        int PageSize;
        std::vector<std::pair<int, int>> Ranges;
    } cases[] = {{30, {{0, 23}, {23, 45}}}, {20, {{0, 15}, {15, 30}, {30, 45}}}};
    for (const auto& c : cases) {
        charts.Charts.clear();
        program.Settings.MandelLabsPage = c.PageSize;
        MandelKValues(program);
        ASSERT_EQ(charts.Charts.size(), c.Ranges.size()) << c.PageSize;
        for (std::size_t j = 0; j < c.Ranges.size(); ++j) {
            const TGraphWindow& chart = *charts.Charts[j].Chart;
            EXPECT_EQ(chart.XMin(), c.Ranges[j].first);
            EXPECT_EQ(chart.XMax(), c.Ranges[j].second);
            EXPECT_TRUE(HasText(chart, "Mandel's k statistic, Zinc, mg/l [" +
                                           std::to_string(j + 1) + "/" +
                                           std::to_string(c.Ranges.size()) + "]"));
        }
        ExpectNoOverlaps("45 laboratories, " + std::to_string(c.PageSize) + " a page");
    }
}

// Laboratories 1 and 2 at h = -3 and 3 exactly (single results 7 and 13
// among 17 of 10: mean 10, standard deviation 1): -3 is listed, 3 plotted.
TEST_F(MandelChartsTest, ValuesBeyondTheAxisAreListed) {
    std::vector<std::vector<double>> results = {{7}, {13}};
    for (int i = 0; i < 17; ++i) {
        results.push_back({10});
    }
    LoadLabs(results, 1);
    TMandelH h(program);
    h.Calculate();
    ASSERT_EQ(h.Values(1, 1), -3.0);
    ASSERT_EQ(h.Values(2, 1), 3.0);
    MandelHValues(program);
    const TGraphWindow& chart = OnlyChart();
    EXPECT_TRUE(HasText(chart, "Values outside the axis:"));
    EXPECT_TRUE(HasText(chart, "    Laboratory A01, Level Low"));
    EXPECT_FALSE(HasText(chart, "    Laboratory A02, Level Low"));
    const auto crosses = Crosses(chart);
    EXPECT_EQ(crosses.size(), 18u);
    bool top = false;
    for (const auto& [x, y] : crosses) {
        top |= std::fabs(x - chart.PageX(2)) < 1e-5 && std::fabs(y - chart.PageY(3)) < 1e-5;
    }
    EXPECT_TRUE(top);
    const auto heading = TextsReading(chart, "Values outside the axis:");
    ASSERT_EQ(heading.size(), 1u);
    EXPECT_NEAR(heading[0]->y, 12.5 + 2.0, 1e-5);
    EXPECT_NEAR(TextsReading(chart, "    Laboratory A01, Level Low")[0]->y, 12.5 + 2.5, 1e-5);
}

TEST_F(MandelChartsTest, FarLaboratoryIsListedNotPlotted) {
    // 33 single results: 3.2 and -3.2 among nine 0.8, nine -0.8 and 13
    // zeros (shifted by 10): h = 3.2 and -3.2, both beyond the axis.
    std::vector<std::vector<double>> results = {{13.2}, {6.8}};
    for (int i = 0; i < 9; ++i) {
        results.push_back({10.8});
        results.push_back({9.2});
    }
    for (int i = 0; i < 13; ++i) {
        results.push_back({10});
    }
    LoadLabs(results, 1);
    TMandelH h(program);
    h.Calculate();
    ASSERT_NEAR(h.Values(1, 1), 3.2, 1e-9);
    program.Settings.MandelLabsPage = 40;
    MandelHValues(program);
    const TGraphWindow& chart = OnlyChart();
    EXPECT_TRUE(HasText(chart, "    Laboratory A01, Level Low"));
    EXPECT_TRUE(HasText(chart, "    Laboratory A02, Level Low"));
    EXPECT_EQ(Crosses(chart).size(), 31u);
}

// k = 3 exactly (results 7, 10, 13 among eight laboratories without
// spread) is plotted at the top; k = 0 at the bottom.
TEST_F(MandelChartsTest, KOfThreeAndZeroArePlotted) {
    std::vector<std::vector<double>> results = {{7, 10, 13}};
    for (int i = 0; i < 8; ++i) {
        results.push_back({10, 10, 10});
    }
    LoadLabs(results, 3);
    TMandelK k(program);
    k.Calculate();
    ASSERT_EQ(k.Values(1, 1), 3.0);
    ASSERT_EQ(k.Values(2, 1), 0.0);
    MandelKValues(program);
    const TGraphWindow& chart = OnlyChart();
    EXPECT_FALSE(HasText(chart, "Values outside the axis:"));
    const auto crosses = Crosses(chart);
    ASSERT_EQ(crosses.size(), 9u);
    EXPECT_NEAR(crosses[0].second, chart.PageY(3), 1e-5);
    EXPECT_NEAR(crosses[1].second, chart.PageY(0), 1e-5);
    // k is one-sided: two lines, at p = 9, n = 3: 1.99 and 1.68.
    const auto lines = DashedLines(chart);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NEAR(lines[0][0], chart.PageY(1.99), 1e-5);
    EXPECT_NEAR(lines[1][0], chart.PageY(1.68), 1e-5);
    for (const TLine* l : Shapes<TLine>(chart)) {
        EXPECT_NE(l->Width, -3) << "no zero line for k";
    }
}

TEST_F(MandelChartsTest, NoCriticalLinesWithoutThreeValues) {
    LoadLabs({{10, 11}, {12, 14}}, 2);
    MandelHValues(program);
    MandelKValues(program);
    ASSERT_EQ(charts.Charts.size(), 2u);
    EXPECT_TRUE(DashedLines(*charts.Charts[0].Chart).empty());
    EXPECT_TRUE(DashedLines(*charts.Charts[1].Chart).empty());
}

TEST_F(MandelChartsTest, MarkersLegendAndOrder) {
    LoadExample("LEAD");
    program.Settings.DiffMarkers = true;
    program.Settings.MandelSorted = true;
    TMandelH h(program);
    h.Calculate();
    auto chart = h.BuildChart(1);
    ASSERT_NE(chart, nullptr);
    // Level 1 squares, level 2 triangles, level 3 circles of 0.2; the
    // legend's of 0.1 at 4 cm steps 1.5 cm below the axis.
    EXPECT_EQ(Shapes<TSquare>(*chart).size(), 12u + 1);
    EXPECT_EQ(Shapes<TTriangle>(*chart).size(), 12u + 1);
    EXPECT_EQ(Crosses(*chart).size(), 0u);
    const auto legend = TextsReading(*chart, "Level Soil medium");
    ASSERT_EQ(legend.size(), 1u);
    EXPECT_NEAR(legend[0]->x, 1 + 4 + 0.3, 1e-5);
    EXPECT_NEAR(legend[0]->y, 12.5 + 1.5, 1e-5);
    // Sorted: position i shows LabOrder(i).
    for (int i = 1; i <= 12; ++i) {
        const auto code = TextsReading(*chart, study().Level(1).GetRandCode(h.LabOrder(i)));
        ASSERT_EQ(code.size(), 1u);
        EXPECT_NEAR(code[0]->x, chart->PageX(i), 1e-5) << i;
    }
    EXPECT_EQ(h.LabOrder(1), 6);  // L06, the lowest means
    EXPECT_EQ(h.LabOrder(12), 3); // L03, the highest
}

TEST_F(MandelChartsTest, DiscardNote) {
    LoadExample("LEAD");
    program.Settings.DiscardOutlierTests = true;
    MandelKValues(program);
    const auto note = TextsReading(OnlyChart(), program.LibText(1, 93));
    ASSERT_EQ(note.size(), 1u);
    EXPECT_TRUE(note[0]->Font.Bold && note[0]->Font.Italic);
    ExpectNoOverlaps("discard note");
}

// Long codes on a full page take turns on two rows instead of running into
// each other.
TEST_F(MandelChartsTest, CrowdedCodesTakeTwoRows) {
    std::vector<std::string> rows;
    for (int i = 0; i < 30; ++i) {
        rows.push_back("W" + std::to_string(100 + i) + " " + std::to_string(10 + i % 7 * 0.1) +
                       " " + std::to_string(10.2 + i % 5 * 0.1));
    }
    LoadUniform(rows, 2);
    program.Settings.DiffMarkers = true;
    MandelHValues(program);
    const TGraphWindow& chart = OnlyChart();
    EXPECT_NEAR(TextsReading(chart, "W100")[0]->y, 12.5 + 0.2, 1e-5);
    EXPECT_NEAR(TextsReading(chart, "W101")[0]->y, 12.5 + 0.65, 1e-5);
    ExpectNoOverlaps("30 codes of four characters");
}

// 45 codes of four characters on one page need three rows.
TEST_F(MandelChartsTest, AllLaboratoriesOnOnePage) {
    std::vector<std::string> rows;
    for (int i = 0; i < 45; ++i) {
        rows.push_back("W" + std::to_string(100 + i) + " " + std::to_string(10 + i % 7 * 0.1) +
                       " " + std::to_string(10.2 + i % 5 * 0.1));
    }
    LoadUniform(rows, 2);
    program.Settings.MandelLabsPage = 100;
    program.Settings.DiffMarkers = true;
    MandelHValues(program);
    const TGraphWindow& chart = OnlyChart();
    EXPECT_NEAR(TextsReading(chart, "W102")[0]->y, 12.5 + 0.2 + 2 * 0.45, 1e-5);
    EXPECT_NEAR(TextsReading(chart, "W103")[0]->y, 12.5 + 0.2, 1e-5);
    ExpectNoOverlaps("45 codes of four characters");
}

TEST_F(MandelChartsTest, ExampleStudies) {
    for (const std::string name : {"LEAD", "GLUCOSE", "PESTICIDE", "NITRATE"}) {
        charts.Charts.clear();
        LoadExample(name);
        CochranTest(program);
        GrubbsTest(program);
        MandelHValues(program);
        MandelKValues(program);
        ASSERT_EQ(charts.Charts.size(), 2u) << name;
        ExpectNoOverlaps(name);
        ExpectGoldenCharts(name + ".mandel");
    }
}

} // namespace
