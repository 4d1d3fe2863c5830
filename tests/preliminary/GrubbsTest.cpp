// Grubbs' tests: the single test with its alternating passes, the double
// test on both or one side, counts, ties at the extremes, and the marks of
// the Cochran test shown in the report.
#include "PreliminaryFixture.h"

#include <algorithm>

#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class Grubbs : public PreliminaryFixture {};

// One result per laboratory: the laboratory means themselves (no Cochran
// test runs with one replicate).
LabRows Means(std::initializer_list<double> means) {
    LabRows rows;
    for (double m : means) {
        rows.push_back({m});
    }
    return rows;
}

struct Case {
    const char* Name;
    LabRows Labs;
    const char* Marks;
};

TEST_F(Grubbs, CasesOfOneLevel) {
    const Case cases[] = {
        // p = 2: no test at all.
        {"two laboratories", Means({1, 100}), "  "},
        // p = 3: the single test only (G = 1.1547 = the 1 % value, not above it).
        {"three laboratories", Means({10, 10, 40}), "   "},
        // One high outlier: marked, then the low side and the double test of
        // the low side find nothing among the others.
        {"single high outlier", Means({10.0, 10.1, 10.2, 9.9, 9.8, 10.05, 9.95, 20.0}), "       G"},
        // Two high laboratories together: no single outlier, the double test
        // marks both (SS ratio 0.0018 below 0.0563 for p = 8).
        {"pair of high outliers", Means({10.0, 10.1, 9.9, 10.05, 9.95, 10.02, 13.0, 13.1}),
         "      GG"},
        // Two low ones in the same way.
        {"pair of low outliers", Means({10.0, 10.1, 9.9, 10.05, 9.95, 10.02, 7.0, 6.9}),
         "      GG"},
        // Equal means everywhere: no spread, no statistic, no mark.
        {"no spread", Means({5, 5, 5, 5, 5}), "     "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        LoadText(false, 1, {c.Labs});
        GrubbsTest(program);
        EXPECT_EQ(Marks(1), c.Marks);
        EXPECT_TRUE(program.Outliers.GrubbsDone);
        const auto& counts = GrubbsCountsOf(program);
        EXPECT_EQ(counts.LabsBeforeGrubbs[1], static_cast<double>(c.Labs.size()));
        EXPECT_EQ(counts.LabsAfterGrubbs[1], static_cast<double>(study().Level(1).NoOfValidLabs()));
    }
}

TEST_F(Grubbs, StatisticsOfTheExtremes) {
    // Means 5, 7, 7, 1, 3: mean 4.6, SS = 27.2, s = sqrt(6.8).
    LoadText(false, 1, {Means({5, 7, 7, 1, 3})});
    const TGrubbsStatistics st = GrubbsStatistics(program, 1);
    EXPECT_EQ(st.P, 5);
    // The single test takes the first of equal extremes ...
    EXPECT_EQ(st.LabHigh, 2);
    EXPECT_EQ(st.LabLow, 4);
    EXPECT_NEAR(st.GHigh, 2.4 / std::sqrt(6.8), 1e-12);
    EXPECT_NEAR(st.GLow, 3.6 / std::sqrt(6.8), 1e-12);
    // ... the double test counts from the last of them.
    EXPECT_EQ(st.LabsHigh2[0], 3);
    EXPECT_EQ(st.LabsHigh2[1], 2);
    EXPECT_EQ(st.LabsLow2[0], 4);
    EXPECT_EQ(st.LabsLow2[1], 5);
    // Without 7 and 7: 5, 1, 3 (SS 8); without 1 and 3: 5, 7, 7 (SS 8/3).
    EXPECT_NEAR(st.GHigh2, 8.0 / 27.2, 1e-12);
    EXPECT_NEAR(st.GLow2, (8.0 / 3.0) / 27.2, 1e-12);

    LoadText(false, 1, {Means({5, 7, 1})});
    const TGrubbsStatistics three = GrubbsStatistics(program, 1);
    EXPECT_NE(three.GHigh, MissingValue);
    EXPECT_EQ(three.GHigh2, MissingValue);
    EXPECT_EQ(three.GLow2, MissingValue);
}

TEST_F(Grubbs, EqualSingleStatisticsTestTheHighSideFirst) {
    // Symmetric means: G_high = G_low, and GrubbsStat is that value.
    LoadText(false, 1, {Means({0, 5, 5, 5, 10})});
    GrubbsTest(program);
    const TGrubbsStatistics st = GrubbsStatistics(program, 1);
    EXPECT_DOUBLE_EQ(st.GHigh, st.GLow);
    EXPECT_DOUBLE_EQ(stats().GrubbsStat[0], st.GHigh);
}

TEST_F(Grubbs, RunsTheCochranTestFirstAndSkipsItsOutliers) {
    Load("GLUC_ABC");
    EXPECT_FALSE(program.Outliers.CochranDone);
    GrubbsTest(program);
    EXPECT_TRUE(program.Outliers.CochranDone);
    // Laboratory 4 of level C is a Cochran outlier; the Grubbs test counts
    // the other seven and the report shows it as "UC".
    ASSERT_EQ(study().Level(3).GetMark(4), 'C');
    EXPECT_EQ(GrubbsCountsOf(program).LabsBeforeGrubbs[3], 7.0);
    auto doc = MakeGrubbsReport(program);
    const auto lines = doc->AsStrings();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
        return l.find("\tUC\t") != std::string::npos;
    }));
    EXPECT_TRUE(std::find(lines.begin(), lines.end(), program.LibText(2, 41)) != lines.end());
    EXPECT_EQ(program.NextHelpContext, 5300);
}

TEST_F(Grubbs, ReportShowsCountsBeforeAndAfterAndTheCriticalValuesOfTheVerdict) {
    LoadText(false, 1, {Means({10.0, 10.1, 10.2, 9.9, 9.8, 10.05, 9.95, 20.0})});
    auto doc = MakeGrubbsReport(program);
    const auto lines = doc->AsStrings();
    auto row = [&](int item) {
        const std::string label = program.LibText(2, item) + "\t";
        for (const auto& l : lines) {
            if (l.rfind(label, 0) == 0) {
                return l.substr(label.size());
            }
        }
        return std::string("(none)");
    };
    EXPECT_EQ(row(112), "8\t");
    EXPECT_EQ(row(113), "7\t");
    // The statistic shown is that of the first verdict, over all 8
    // laboratories, so are its critical values (ISO 5725-2 Table 5, p = 8:
    // 2.126, 2.274), not those of the 7 left afterwards (2.020, 2.139).
    EXPECT_NE(row(34).find("2.1260"), std::string::npos) << row(34);
    EXPECT_NE(row(35).find("2.2740"), std::string::npos) << row(35);
}

} // namespace
