// Histograms: classes, counts, the normal and lognormal fits and their G
// tests against an independent recomputation in R
// (scripts/tools/histogram_reference.R), the chart and the document.
#include "ToolFixture.h"

#include <cmath>

#include "documents/Contents.h"
#include "numerics/Distributions.h"
#include "tools/Histogram.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class HistogramTest : public ToolFixture {
protected:
    THistogram Computed() {
        THistogram h;
        h.Calculate(program);
        return h;
    }
    // One result per laboratory, codes B1, B2, ...
    void LoadValues(const std::vector<std::string>& values) {
        std::vector<std::string> rows;
        for (const auto& v : values) {
            rows.push_back("B" + std::to_string(rows.size() + 1) + " " + v);
        }
        LoadUniform(rows, 1);
    }
    std::vector<std::string> DocumentText() {
        EXPECT_EQ(tools.Documents.size(), 1u);
        return tools.Documents.at(0).Document->AsStrings();
    }
    static bool Contains(const std::vector<std::string>& lines, const std::string& part) {
        for (const auto& l : lines) {
            if (l.find(part) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
};

TEST(OneDigitWidthTest, RoundsToOneSignificantDigit) {
    const struct {
        double x, width;
    } cases[] = {{0.92, 0.9},         {3.4, 3},       {9.6, 10},       {12, 10}, {0.4 * 0.23, 0.09},
                 {0.4 * 23, 9},       {25, 20},       {35, 40},        {1, 1},   {10, 10},
                 {0.000047, 0.00005}, {7.5e-7, 8e-7}, {123456, 100000}};
    for (const auto& c : cases) {
        EXPECT_NEAR(OneDigitWidth(c.x), c.width, 1e-12 * c.width) << c.x;
    }
    EXPECT_EQ(OneDigitWidth(0.0), MissingValue);
    EXPECT_EQ(OneDigitWidth(-3.0), MissingValue);
    EXPECT_EQ(OneDigitWidth(std::nan("")), MissingValue);
}

// Φ against R's pnorm on both sides of the switch at |z| = 2.5; the tails
// to the relative accuracy of the continued fraction's stopping rule.
TEST(NormalCDFTest, AgreesWithPnorm) {
    const auto rows = ReadCsv(ToolData("normal_cdf_reference.csv"));
    ASSERT_GE(rows.size(), 15u);
    for (const auto& r : rows) {
        const double z = std::stod(r.at("z"));
        const double lower = std::stod(r.at("lower"));
        const double upper = std::stod(r.at("upper"));
        const double phi = NormalCDF(z);
        // The series stops at its 17th term (an error of 3e-9 near 2.5);
        // the continued fraction stops when a·R settles to 1e-6.
        if (std::fabs(z) < 2.5) {
            EXPECT_NEAR(phi, lower, 5e-9) << z;
        } else {
            const double tail = z > 0 ? 1.0 - phi : phi;
            const double expected = z > 0 ? upper : lower;
            EXPECT_NEAR(tail, expected, 1e-4 * expected) << z;
            EXPECT_NEAR(phi, lower, 2e-9) << z;
        }
    }
    EXPECT_EQ(NormalCDF(0.0), 0.5);
}

// Every figure of the histograms of the fixtures against R: counts with
// cut(), class probabilities with pnorm()/plnorm(), G = 2·ΣO·ln(O/E) with
// pchisq() on 14 degrees of freedom.
TEST_F(HistogramTest, FiguresAgreeWithR) {
    const auto rows = ReadCsv(ToolData("histogram_reference.csv"));
    ASSERT_EQ(rows.size(), 7u);
    double maxP = 0, maxG = 0;
    for (const auto& r : rows) {
        const std::string file = r.at("file");
        const int lv = std::stoi(r.at("level"));
        SCOPED_TRACE(file + " level " + r.at("level"));
        LoadTool(file);
        const THistogram hist = Computed();
        const THistogramLevel& h = hist.Levels[static_cast<std::size_t>(lv)];
        ASSERT_TRUE(h.HasSpread);
        EXPECT_EQ(h.N, std::stoi(r.at("n")));
        EXPECT_TRUE(Near(h.Mean, std::stod(r.at("mean")), 1e-12));
        EXPECT_NEAR(h.SD, std::stod(r.at("sd")), 1e-12 * std::stod(r.at("sd")));
        EXPECT_NEAR(h.ClassWidth, std::stod(r.at("width")), 1e-12 * h.ClassWidth);
        EXPECT_EQ(static_cast<int>(h.Outside.size()), std::stoi(r.at("outside")));
        for (int i = 1; i <= HistogramClassCount; ++i) {
            const THistogramClass& c = h.Classes[static_cast<std::size_t>(i - 1)];
            EXPECT_EQ(c.Count, std::stod(r.at("count" + std::to_string(i)))) << "class " << i;
            const double pn = std::stod(r.at("pn" + std::to_string(i)));
            EXPECT_NEAR(c.PNormal, pn, 1e-7) << "class " << i;
            maxP = std::max(maxP, std::fabs(c.PNormal - pn));
        }
        EXPECT_NEAR(h.GNormal, std::stod(r.at("G")), 1e-5 * std::stod(r.at("G")));
        EXPECT_NEAR(h.PNormal, std::stod(r.at("p")), 1e-6);
        maxG = std::max(maxG, std::fabs(h.GNormal - std::stod(r.at("G"))));
        const bool lognormal = r.at("Gl") != "NA";
        EXPECT_EQ(h.LognormalOK, lognormal);
        if (lognormal) {
            for (int i = 1; i <= HistogramClassCount; ++i) {
                const THistogramClass& c = h.Classes[static_cast<std::size_t>(i - 1)];
                EXPECT_NEAR(c.PLognormal, std::stod(r.at("plg" + std::to_string(i))), 1e-7)
                    << "class " << i;
            }
            EXPECT_NEAR(h.GLognormal, std::stod(r.at("Gl")), 1e-5 * std::stod(r.at("Gl")));
            EXPECT_NEAR(h.PLognormal, std::stod(r.at("pl")), 1e-6);
        } else {
            EXPECT_EQ(h.GLognormal, MissingValue);
            EXPECT_EQ(h.PLognormal, MissingValue);
        }
    }
    std::cout << "histograms vs R: max |dP class| " << maxP << ", max |dG| " << maxG << "\n";
}

// Bounds ±0.5, ±1.5, ... exactly: a value on a bound belongs to the class
// below it, one on the lower bound of class 2 is listed, not counted.
TEST_F(HistogramTest, ValuesOnBoundsAndOutside) {
    LoadValues({"-7.5", "-2.5", "-1.5", "-0.5", "0", "0", "0", "0", "0.5", "1.5", "2.5", "7.5"});
    const THistogram hist = Computed();
    const THistogramLevel& h = hist.Levels[1];
    ASSERT_TRUE(h.HasSpread);
    EXPECT_EQ(h.Mean, 0.0);
    EXPECT_EQ(h.ClassWidth, 1.0);
    const std::array<double, 17> counts{0, 0, 0, 0, 0, 1, 1, 1, 5, 1, 1, 0, 0, 0, 0, 1, 0};
    for (std::size_t i = 0; i < counts.size(); ++i) {
        EXPECT_EQ(h.Classes[i].Count, counts[i]) << "class " << i + 1;
    }
    EXPECT_EQ(h.Classes[1].Lower, -7.5);
    EXPECT_EQ(h.Classes[15].Upper, 7.5);
    ASSERT_EQ(h.Outside.size(), 1u);
    EXPECT_EQ(h.Outside[0].RandCode, "B1");
    EXPECT_EQ(h.Outside[0].Value, -7.5);
    // Negative values: no lognormal fit.
    EXPECT_FALSE(h.LognormalOK);

    RunHistograms(program);
    ASSERT_EQ(tools.Charts.size(), 1u);
    const TGraphWindow& chart = *tools.Charts[0].Chart;
    EXPECT_EQ(tools.Charts[0].Caption, "Histogram, level Low");
    EXPECT_EQ(tools.Charts[0].HelpContext, 8400);
    EXPECT_TRUE(HasText(chart, "Values outside the axis:"));
    EXPECT_TRUE(HasText(chart, "Laboratory B1, value -7.5"));
    EXPECT_EQ(chart.XMin(), -7.5);
    EXPECT_EQ(chart.XMax(), 7.5);
    const auto lines = DocumentText();
    // The lognormal column shows "-" and no lognormal G test is reported.
    // (The plain text leaves out a table's first footnote line, the normal
    // G test.)
    EXPECT_FALSE(Contains(lines, "Lognormal distribution, G test"));
    EXPECT_FALSE(Contains(lines, "The lognormal distribution"));
    EXPECT_TRUE(Contains(lines, "The normal distribution"));
    EXPECT_EQ(tools.Documents[0].Caption, "Histograms");
}

// A level with one value or with equal values gets the message and no chart;
// the other levels are still drawn.
TEST_F(HistogramTest, LevelsWithoutSpreadGetTheMessage) {
    LoadText(false, 1, {{{5}, {5}, {5}}, {{1}, {2}, {4}}, {{3}, {-99}, {-99}}});
    RunHistograms(program);
    ASSERT_EQ(tools.Messages.size(), 2u);
    EXPECT_EQ(tools.Messages[0], "No histogram: the values show no spread in level A");
    EXPECT_EQ(tools.Messages[1], "No histogram: the values show no spread in level C");
    ASSERT_EQ(tools.Charts.size(), 1u);
    EXPECT_EQ(tools.Charts[0].Caption, "Histogram, level B");
    ASSERT_EQ(tools.Documents.size(), 1u);
    EXPECT_EQ(tools.Documents[0].HelpContext, 8400);
}

// No level with spread: the messages, and no empty document.
TEST_F(HistogramTest, NoDocumentWithoutAnyHistogram) {
    LoadValues({"2.5", "2.5", "2.5"});
    RunHistograms(program);
    EXPECT_EQ(tools.Messages.size(), 1u);
    EXPECT_TRUE(tools.Charts.empty());
    EXPECT_TRUE(tools.Documents.empty());
}

// Excluded laboratories and '<' results are left out; outlier marks are not.
TEST_F(HistogramTest, UsableValues) {
    LoadValues({"1", "2", "<3", "4", "-99", "5"});
    program.CurrentStudy->Level(1).SetMark(4, MarkUserExcluded);
    program.CurrentStudy->Level(1).SetMark(6, MarkGrubbsOutlier);
    const THistogram hist = Computed();
    EXPECT_EQ(hist.Levels[1].N, 3);
    EXPECT_DOUBLE_EQ(hist.Levels[1].Mean, 8.0 / 3.0);
}

// The G tests have 14 degrees of freedom: p is the upper tail of χ²(14).
TEST_F(HistogramTest, GTestsOnFourteenDegreesOfFreedom) {
    EXPECT_EQ(THistogram::DegreesOfFreedom, 14);
    LoadTool("METHODS.PAR");
    const THistogram hist = Computed();
    const THistogramLevel& h = hist.Levels[2];
    EXPECT_NEAR(h.PNormal, 1.0 - ChiSquareProbability(14, h.GNormal), 1e-15);
    EXPECT_GE(h.GNormal, 0.0);
}

// A lognormal spread of 0 (values whose logarithms do not differ in a
// double) drops the lognormal fit instead of dividing by it.
TEST_F(HistogramTest, LognormalSpreadOfZeroDropsTheFit) {
    THistogram h;
    LoadValues({"10", "11", "12"});
    h.Calculate(program);
    EXPECT_TRUE(h.Levels[1].LognormalOK);
    // Values 5e-11 apart relative to their size: they spread, their
    // logarithms do not.
    LoadValues({"1000000", "1000000.00005", "1000000.0001"});
    h.Calculate(program);
    const THistogramLevel& l = h.Levels[1];
    ASSERT_TRUE(l.HasSpread);
    ASSERT_EQ(h.LogStats[1].StdDev(), 0.0);
    EXPECT_FALSE(l.LognormalOK);
    EXPECT_EQ(l.GLognormal, MissingValue);
    EXPECT_EQ(l.PLognormal, MissingValue);
    EXPECT_TRUE(std::isfinite(l.GNormal));
}

TEST_F(HistogramTest, GoldenIso16269) {
    LoadTool("ISO16269.PAR");
    RunHistograms(program);
    ASSERT_EQ(tools.Documents.size(), 1u);
    ExpectGolden(*tools.Documents[0].Document, "tools", "histogram_iso16269");
    ExpectGoldenToolCharts("histogram_iso16269_chart");
    const auto overlaps = OverlappingTexts(*tools.Charts[0].Chart);
    EXPECT_TRUE(overlaps.empty()) << overlaps.front();
}

TEST_F(HistogramTest, GoldenTraceLevel) {
    LoadTool("TINY.PAR");
    RunHistograms(program);
    ASSERT_EQ(tools.Documents.size(), 1u);
    ExpectGolden(*tools.Documents[0].Document, "tools", "histogram_tiny");
    ExpectGoldenToolCharts("histogram_tiny_chart");
    const auto overlaps = OverlappingTexts(*tools.Charts[0].Chart);
    EXPECT_TRUE(overlaps.empty()) << overlaps.front();
}

} // namespace
