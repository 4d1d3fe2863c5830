// Confidence ellipses: the groups, their figures against R
// (scripts/tools/ellipse_reference.R), the outline as points of Mahalanobis
// distance² χ, the charts and their legends.
#include "ToolFixture.h"

#include <cmath>

#include "charts/GraphObjects.h"
#include "tools/ConfidenceEllipses.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class ConfidenceEllipsesTest : public ToolFixture {
protected:
    // One level, two replicates; rows "code x y method".
    void LoadPairs(const std::vector<std::string>& rows) {
        std::ostringstream out;
        out << "FILEHEADER\n  UNIFORM\n  NLABS = " << rows.size()
            << "\n  NREPLICATES = 2\n  NOOFLEVELS = 1\n  SUBSTANCE = \"Zinc\"\n"
               "  UNIT = \"mg/l\"\n  TESTID = \"T\"\nEND\nLEVELHEADER\n  LEVELID = \"Low\"\n"
               "END\nLEVELDATA\n";
        int n = 0;
        for (const auto& row : rows) {
            out << "  " << ++n << " " << row << "\n";
        }
        out << "END\n";
        ASSERT_EQ(Read(out.str()), 0);
    }
    static double Mahalanobis(const TMethodGroup& g, const TPointXY& p) {
        const double a = g.Covariance[0], d = g.Covariance[1], b = g.Covariance[3];
        const double det = a * b - d * d;
        const double dx = p.x - g.MeanX, dy = p.y - g.MeanY;
        return (b * dx * dx - 2 * d * dx * dy + a * dy * dy) / det;
    }
    // The texts of the legend entries, in order.
    static std::vector<std::string> LegendTexts(const TGraphWindow& chart) {
        std::vector<std::string> texts;
        for (const TText* t : Shapes<TText>(chart)) {
            if (t->x > chart.X0() + chart.XaxisLength) {
                texts.push_back(t->Text);
            }
        }
        return texts;
    }
};

TEST(PrincipalAxesTest, EdgeCases) {
    // VarX 4, VarY 1, cov 1: wider in x, the major axis rising gently.
    const TPrincipalAxes p = PrincipalAxes({4, 1, 1, 1});
    EXPECT_NEAR(p.Lambda1, 2.5 + std::sqrt(13.0) / 2, 1e-12);
    EXPECT_NEAR(p.Lambda2, 2.5 - std::sqrt(13.0) / 2, 1e-12);
    EXPECT_NEAR(p.U1.y / p.U1.x, p.Lambda1 - 4, 1e-12);
    EXPECT_NEAR(p.U1.y / p.U1.x, 0.30277563773, 1e-9);
    // Equal variances: the axes on the diagonals.
    EXPECT_NEAR(PrincipalAxes({2, 0.5, 0.5, 2}).U1.y / PrincipalAxes({2, 0.5, 0.5, 2}).U1.x, 1,
                1e-12);
    EXPECT_NEAR(PrincipalAxes({2, -0.5, -0.5, 2}).U1.y / PrincipalAxes({2, -0.5, -0.5, 2}).U1.x, -1,
                1e-12);
    // Unit vectors, at right angles.
    EXPECT_NEAR(p.U1.x * p.U1.x + p.U1.y * p.U1.y, 1, 1e-15);
    EXPECT_NEAR(p.U1.x * p.U2.x + p.U1.y * p.U2.y, 0, 1e-15);
}

// The creosote study with method codes: means, covariances and eigenvalues
// against R's colMeans, cov and eigen; every outline point at distance² χ.
TEST_F(ConfidenceEllipsesTest, FiguresAndOutlinesAgreeWithR) {
    LoadTool("CREOSOTE_M.PAR");
    TKonfidensElipser e(program);
    e.ResetGroups();
    ASSERT_TRUE(e.ChooseGroups());
    // "a" and "A" are one method.
    EXPECT_EQ(tools.OfferedCodes, (std::vector<std::string>{"A", "B", "C"}));
    ASSERT_TRUE(e.ComputeGroups(1));
    const auto rows = ReadCsv(ToolData("ellipse_reference.csv"));
    ASSERT_EQ(rows.size(), 3u);
    double maxDev = 0;
    for (std::size_t g = 0; g < rows.size(); ++g) {
        const auto& r = rows[g];
        const TMethodGroup& group = e.Groups[g];
        SCOPED_TRACE(r.at("group"));
        EXPECT_EQ(group.Text(), r.at("group"));
        if (r.at("MeanX") == "NA") {
            EXPECT_FALSE(group.Valid);
            continue;
        }
        ASSERT_TRUE(group.Valid);
        EXPECT_NEAR(group.MeanX, std::stod(r.at("MeanX")), 1e-12);
        EXPECT_NEAR(group.MeanY, std::stod(r.at("MeanY")), 1e-12);
        EXPECT_NEAR(group.VarX, std::stod(r.at("VarX")), 1e-12);
        EXPECT_NEAR(group.VarY, std::stod(r.at("VarY")), 1e-12);
        EXPECT_NEAR(group.Covariance[1], std::stod(r.at("Cov")), 1e-12);
        const TPrincipalAxes axes = PrincipalAxes(group.Covariance);
        EXPECT_NEAR(axes.Lambda1, std::stod(r.at("Lambda1")), 1e-10);
        EXPECT_NEAR(axes.Lambda2, std::stod(r.at("Lambda2")), 1e-10);
        EXPECT_NEAR(TKonfidensElipser::Chi, std::stod(r.at("Chi95")), 5e-4);
        const auto outline = e.Outline(group);
        ASSERT_EQ(outline.size(), 122u);
        EXPECT_EQ(outline.front().x, outline.back().x);
        EXPECT_EQ(outline.front().y, outline.back().y);
        for (std::size_t i = 0; i < outline.size(); ++i) {
            const double d2 = Mahalanobis(group, outline[i]);
            EXPECT_NEAR(d2, TKonfidensElipser::Chi, 1e-8) << "point " << i + 1;
            maxDev = std::max(maxDev, std::fabs(d2 - TKonfidensElipser::Chi));
        }
    }
    std::cout << "ellipse outlines: max |d² - 5.991| " << maxDev << "\n";
}

// A 'C' laboratory counts in the spread but not in the mean; a laboratory
// with a '<' or missing result counts nowhere; a group whose laboratories
// are all outliers has no mean and no ellipse.
TEST_F(ConfidenceEllipsesTest, MarksAndUnusableResults) {
    LoadPairs({"A1 10 11 P", "A2 12 12.5 P", "A3 11 12 P", "A4 30 31 P", "A5 <10 11 P",
               "A6 -99 11 P", "A7 5 6 Q", "A8 7 7.5 Q"});
    TLevel& level = program.CurrentStudy->Level(1);
    level.SetMark(4, MarkCochranOutlier);
    level.SetMark(7, MarkGrubbsOutlier);
    level.SetMark(8, MarkCochranOutlier);
    TKonfidensElipser e(program);
    tools.Choice = TMethodGroupChoice{{{{"P"}, {"Q"}, {}, {}, {}}}, 0};
    ASSERT_TRUE(e.ChooseGroups());
    ASSERT_TRUE(e.ComputeGroups(1));
    const TMethodGroup& p = e.Groups[0];
    EXPECT_DOUBLE_EQ(p.MeanX, 11.0);
    EXPECT_DOUBLE_EQ(p.MeanY, 35.5 / 3);
    // Spread around that mean over four laboratories (A4 included).
    const double vx = (1 + 1 + 0 + 19.0 * 19.0) / 3;
    EXPECT_NEAR(p.VarX, vx, 1e-12);
    EXPECT_TRUE(p.Valid);
    const TMethodGroup& q = e.Groups[1];
    EXPECT_EQ(q.MeanX, MissingValue);
    EXPECT_FALSE(q.Valid);
    e.MakeEllipseCharts();
    ASSERT_EQ(tools.Charts.size(), 1u);
    EXPECT_EQ(LegendTexts(*tools.Charts[0].Chart),
              (std::vector<std::string>{"P", "Q (no ellipse)"}));
}

// Data around 0.05 with a correlation of 0.95 keep their ellipse (the
// determinant is below 1e-10, the correlation is not 1); a perfect
// correlation gives none; negative, narrow data get an axis that holds
// the whole outline with its lower end below its upper end.
TEST_F(ConfidenceEllipsesTest, SmallValuesNegativeValuesAndSingularGroups) {
    LoadPairs({"A1 0.0500 0.0502 P", "A2 0.0520 0.0519 P", "A3 0.0480 0.0483 P",
               "A4 0.0510 0.0505 P", "A5 0.0490 0.0497 P", "B1 -100.21 -100.31 Q",
               "B2 -100.25 -100.33 Q", "B3 -100.23 -100.36 Q", "C1 1 2 R", "C2 2 4 R", "C3 3 6 R"});
    TKonfidensElipser e(program);
    tools.Choice = TMethodGroupChoice{{{{"P"}, {"Q"}, {"R"}, {}, {}}}, 0};
    ASSERT_TRUE(e.ChooseGroups());
    ASSERT_TRUE(e.ComputeGroups(1));
    const TMethodGroup& p = e.Groups[0];
    const double det = p.VarX * p.VarY - p.Covariance[1] * p.Covariance[1];
    EXPECT_LT(det, 1e-10);
    EXPECT_GT(p.Covariance[1] / std::sqrt(p.VarX * p.VarY), 0.9);
    EXPECT_TRUE(p.Valid);
    EXPECT_TRUE(e.Groups[1].Valid);
    EXPECT_FALSE(e.Groups[2].Valid);

    // Only the negative group: the axes hold its outline.
    tools.Choice = TMethodGroupChoice{{{{"Q"}, {}, {}, {}, {}}}, 0};
    TKonfidensElipser q(program);
    ASSERT_TRUE(q.ChooseGroups());
    ASSERT_TRUE(q.ComputeGroups(1));
    const auto chart = q.DrawEllipses(1);
    ASSERT_LT(chart->XMin(), chart->XMax());
    ASSERT_LT(chart->YMin(), chart->YMax());
    for (const auto& pt : q.Outline(q.Groups[0])) {
        EXPECT_GE(pt.x, chart->XMin());
        EXPECT_LE(pt.x, chart->XMax());
        EXPECT_GE(pt.y, chart->YMin());
        EXPECT_LE(pt.y, chart->YMax());
    }
}

// Five rows whatever the number of codes; a code in two groups serves both;
// the method numbers display labels the ellipses and lists only the groups
// without an ellipse, after the first V entries.
TEST_F(ConfidenceEllipsesTest, GroupsAndDisplayTypes) {
    LoadTool("CREOSOTE_M.PAR");
    tools.Choice = TMethodGroupChoice{{{{"A"}, {"B", "a"}, {"C"}, {"b"}, {}}}, 1};
    TKonfidensElipser e(program);
    ASSERT_TRUE(e.ChooseGroups());
    EXPECT_EQ(e.DisplayType, 1);
    EXPECT_EQ(e.Groups[1].Text(), "a & B");
    EXPECT_FALSE(e.Groups[4].Methods.has_value());
    e.MakeEllipseCharts();
    ASSERT_EQ(tools.Charts.size(), 1u);
    const TGraphWindow& chart = *tools.Charts[0].Chart;
    EXPECT_EQ(tools.Charts[0].Caption, "Confidence ellipses, level 1");
    EXPECT_EQ(tools.Charts[0].HelpContext, 8300);
    EXPECT_TRUE(HasText(chart, "A"));
    EXPECT_TRUE(HasText(chart, "a & B"));
    EXPECT_EQ(LegendTexts(chart), (std::vector<std::string>{"C (no ellipse)"}));
}

// Two groups of the same method: one ellipse over the other, and their
// labels stepping aside from each other.
TEST_F(ConfidenceEllipsesTest, LabelsOfEqualEllipsesDoNotOverlap) {
    LoadTool("CREOSOTE_M.PAR");
    tools.Choice = TMethodGroupChoice{{{{"A"}, {"a"}, {}, {}, {}}}, 1};
    ConfidenceEllipses(program);
    ASSERT_EQ(tools.Charts.size(), 1u);
    TGraphWindow& chart = *tools.Charts[0].Chart;
    EXPECT_EQ(TextsReading(chart, "A").size() + TextsReading(chart, "a").size(), 2u);
    const auto overlaps = OverlappingTexts(chart);
    EXPECT_TRUE(overlaps.empty()) << overlaps.front();
}

TEST_F(ConfidenceEllipsesTest, CancelShowsNothing) {
    LoadTool("CREOSOTE_M.PAR");
    tools.Cancel = true;
    ConfidenceEllipses(program);
    EXPECT_EQ(tools.DialogsShown, 1);
    EXPECT_TRUE(tools.Charts.empty());
    EXPECT_TRUE(tools.Messages.empty());
}

TEST_F(ConfidenceEllipsesTest, LevelWithoutAnEllipseGetsTheMessage) {
    LoadPairs({"A1 1 2 P", "A2 2 3 Q"});
    ConfidenceEllipses(program);
    EXPECT_TRUE(tools.Charts.empty());
    ASSERT_EQ(tools.Messages.size(), 1u);
    EXPECT_EQ(tools.Messages[0],
              "No method group can be drawn as a confidence ellipse in level Low");
}

TEST_F(ConfidenceEllipsesTest, GoldenCreosote) {
    LoadTool("CREOSOTE_M.PAR");
    ConfidenceEllipses(program);
    ASSERT_EQ(tools.Charts.size(), 1u);
    ExpectGoldenToolCharts("ellipses_creosote_chart");
    const auto overlaps = OverlappingTexts(*tools.Charts[0].Chart);
    EXPECT_TRUE(overlaps.empty()) << overlaps.front();
}

} // namespace
