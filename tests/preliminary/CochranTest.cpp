// The Cochran test: the iterative removal of outliers, the conditions on
// laboratories and replicates, ties, zero spreads, the marks of the other
// test and the automatic spiking correction around the test.
#include "PreliminaryFixture.h"

#include "base/TextUtil.h"
#include "numerics/CriticalValues.h"
#include "preliminary/ExcludeLab.h"
#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"
#include "preliminary/SplitControl.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class Cochran : public PreliminaryFixture {};

// Values with a variance of 1, 4, 9, 25 or 100 about 10 (three replicates).
std::vector<double> Spread(double sd, double centre = 10.0) {
    return {centre - sd, centre, centre + sd};
}

struct Case {
    const char* Name;
    bool Split;
    int Replicates;
    LabRows Labs;
    const char* Marks; // expected marks of the level
    double Statistic;  // CochranStat after the test (-99: not computed)
    int FirstPassLabs; // NoOfGrubbsLabs after the test
};

TEST_F(Cochran, CasesOfOneLevel) {
    const Case cases[] = {
        // The first pass finds an outlier (C = 100/113, above 0.722 for p = 6),
        // the second a straggler (9/13 = 0.692 between 0.684 and 0.788).
        {"outlier then straggler",
         false,
         3,
         {Spread(10), Spread(3), Spread(1), Spread(1), Spread(1), Spread(1)},
         "Cc    ",
         100.0 / 113.0,
         6},
        // Two laboratories share the largest variance: the first is tested
        // (25/52 = 0.481 between 0.445 and 0.536 for p = 10).
        {"tie of the largest variance",
         false,
         3,
         {Spread(0.5), Spread(0.5), Spread(5), Spread(0.5), Spread(5), Spread(0.5), Spread(0.5),
          Spread(0.5), Spread(0.5), Spread(0.5)},
         "  c       ",
         25.0 / 52.0,
         10},
        // n = 3 and p = 2: the test runs (100/101 = 0.990, between 0.975 and 0.995).
        {"two laboratories, three replicates",
         false,
         3,
         {Spread(1), Spread(10)},
         " c",
         100.0 / 101.0,
         2},
        // n = 2 and p = 2: no test.
        {"two laboratories, duplicates", false, 2, {{10, 11}, {10, 30}}, "  ", MissingValue, 2},
        // No spread at all: C cannot be formed and nothing is marked.
        {"all variances zero",
         false,
         3,
         {Spread(0), Spread(0), Spread(0), Spread(0)},
         "    ",
         MissingValue,
         4},
        // Split level, three pairs: the outlier leaves, and the remaining two
        // pairs meet the critical value 1.1, which no C exceeds.
        {"split level, outlier leaves two pairs",
         true,
         2,
         {{10.0, 10.1}, {10.0, 9.9}, {10.0, 20.0}},
         "  C",
         50.0 / 50.01,
         3},
        // One replicate: no variances, no test.
        {"one replicate", false, 1, {{1}, {2}, {30}}, "   ", MissingValue, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        LoadText(c.Split, c.Replicates, {c.Labs});
        CochranTest(program);
        EXPECT_EQ(Marks(1), c.Marks);
        EXPECT_TRUE(Near(stats().CochranStat[0], c.Statistic, 1e-12));
        EXPECT_EQ(stats().NoOfGrubbsLabs[0], c.FirstPassLabs);
        EXPECT_TRUE(program.Outliers.CochranDone);
    }
}

TEST_F(Cochran, ResetsTheMarksOfBothTestsAndKeepsOthers) {
    LoadText(false, 3, {{Spread(1), Spread(1), Spread(1), Spread(1)}});
    TLevel& level = program.CurrentStudy->Level(1);
    level.SetMark(1, 'G');
    level.SetMark(2, 'g');
    level.SetMark(3, 'L');
    level.SetMark(4, 'C');
    CochranTest(program);
    EXPECT_EQ(Marks(1), "  L ");
}

TEST_F(Cochran, LevelFiguresFollowTheMarks) {
    LoadText(false, 3, {{Spread(10), Spread(3), Spread(1), Spread(1), Spread(1), Spread(1)}});
    EXPECT_EQ(stats().NoOfValidLabs[0], 6);
    CochranTest(program);
    EXPECT_EQ(stats().NoOfValidLabs[0], 5);
    EXPECT_DOUBLE_EQ(stats().GrandMean[0], 10.0);
    // Pooled within-laboratory variance without the outlier: (9 + 4·1)/5.
    EXPECT_NEAR(stats().RepeatVar[0], 13.0 / 5.0, 1e-12);
}

TEST_F(Cochran, ReportShowsTheOtherTestsOutlierAsUG) {
    Load("GLUC_ABC");
    GrubbsTest(program);
    // Find a Grubbs outlier made by hand in level 1, as an earlier run would.
    program.CurrentStudy->Level(1).SetMark(2, 'G');
    auto doc = MakeCochranReport(program);
    ASSERT_NE(doc, nullptr);
    const auto lines = doc->AsStrings();
    bool ug = false;
    bool note = false;
    for (const auto& l : lines) {
        ug = ug || l.find("\tUG\t") != std::string::npos;
        note = note || l == program.LibText(2, 26);
    }
    EXPECT_TRUE(ug);
    EXPECT_TRUE(note);
    // The report used the existing marks: it did not test again.
    EXPECT_EQ(study().Level(1).GetMark(2), 'G');
}

TEST_F(Cochran, OutlierAndStragglerNotesInTheReport) {
    LoadText(false, 3, {{Spread(10), Spread(3), Spread(1), Spread(1), Spread(1), Spread(1)}});
    auto doc = MakeCochranReport(program);
    const auto lines = doc->AsStrings();
    auto has = [&](const std::string& s) {
        return std::find(lines.begin(), lines.end(), s) != lines.end();
    };
    EXPECT_TRUE(has(program.LibText(2, 21)));
    EXPECT_TRUE(has(program.LibText(2, 23)));
    EXPECT_FALSE(has(program.LibText(2, 22)));
    EXPECT_FALSE(has(program.LibText(2, 24)));
    EXPECT_EQ(program.NextHelpContext, 5200);
}

TEST_F(Cochran, AutomaticSpikingCorrectionAppliesForTheTestOnly) {
    // Second samples 1.0 higher than the first, except a laboratory whose
    // pair differs by 3.0: against the mean difference that pair stands out.
    LoadText(true, 2,
             {{{10.0, 11.0}, {12.0, 13.1}, {11.0, 11.9}, {10.5, 11.5}, {9.0, 12.0}, {10.2, 11.2}}});
    program.Settings.AutoSplitCorrection = true;
    TSplitControl& split = SplitControlOf(program);
    split.SignificantLevels = 1;
    split.PValue[1] = 0.001;
    split.MeanDifference[1] = -1.0; // result 1 minus result 2
    const double before = study().Level(1).GetResult(5, 2).Value;
    CochranTest(program);
    // Corrected, the differences are 0, 0.1, -0.1, 0, 2.0 and 0: laboratory 5
    // holds 4/4.02 of the sum of squares, an outlier at 1 % for p = 6.
    EXPECT_EQ(study().Level(1).GetMark(5), 'C');
    EXPECT_NEAR(stats().CochranStat[0], 4.0 / 4.02, 1e-12);
    EXPECT_EQ(study().Level(1).GetResult(5, 2).Value, before);
    EXPECT_TRUE(program.Outliers.CochranDone);
    // Without the correction the mean difference swamps the test.
    program.Settings.AutoSplitCorrection = false;
    CochranTest(program);
    EXPECT_NE(stats().CochranStat[0], MissingValue);
    EXPECT_GT(std::fabs(stats().CochranStat[0] - 4.0 / 4.02), 0.1);
}

TEST_F(Cochran, ResultBelowALimitIsNeverShifted) {
    LoadText(true, 2, {{{10.0, 11.0}, {12.0, 13.0}, {11.0, 12.0}}});
    program.CurrentStudy->Level(1).SetResult(2, 2, '<', 0.5, 1);
    TSplitControl& split = SplitControlOf(program);
    split.SignificantLevels = 1;
    split.PValue[1] = 0.01;
    split.MeanDifference[1] = -1.0;
    split.AutoSpikingCorrection(program, true);
    EXPECT_EQ(study().Level(1).GetResult(1, 2).Value, 10.0);
    EXPECT_EQ(study().Level(1).GetResult(2, 2).Value, 0.5);
    EXPECT_FALSE(program.Outliers.CochranDone);
    split.AutoSpikingCorrection(program, false);
    EXPECT_EQ(study().Level(1).GetResult(1, 2).Value, 11.0);
}

TEST_F(Cochran, DialogBeforeTheSplitLevelReportWhilePairsAreNotComputed) {
    Load("GLUC_PAIRS");
    program.Settings.AutoSplitCorrection = true;
    CochranOutliersCommand(program);
    ASSERT_EQ(host.Dialogs.size(), 1u);
    EXPECT_EQ(host.Dialogs[0].Caption, "Cocran without spiking correction ");
    EXPECT_NE(host.Dialogs[0].Text.find("Procedures | Execute interlaboratory study"),
              std::string::npos);
    SplitControlOf(program).PairsComputed = true;
    CochranOutliersCommand(program);
    EXPECT_EQ(host.Dialogs.size(), 1u);
    program.Settings.AutoSplitCorrection = false;
    SplitControlOf(program).PairsComputed = false;
    CochranOutliersCommand(program);
    EXPECT_EQ(host.Dialogs.size(), 1u);
    // A uniform study never asks.
    Load("GLUC_ABC");
    program.Settings.AutoSplitCorrection = true;
    CochranOutliersCommand(program);
    EXPECT_EQ(host.Dialogs.size(), 1u);
}

TEST_F(Cochran, QuietTestsShowNoProgress) {
    Load("GLUC_ABC");
    host.ProgressStarted = host.ProgressSteps = host.ProgressEnded = 0;
    program.QuietTests = true;
    CochranTest(program);
    EXPECT_EQ(host.ProgressStarted, 0);
    program.QuietTests = false;
    CochranTest(program);
    EXPECT_EQ(host.ProgressStarted, 1);
    EXPECT_EQ(host.ProgressEnded, 1);
    EXPECT_EQ(host.ProgressSteps, 3);
}

} // namespace

namespace {

using SL = TSignificanceLevel;

// The value cells of a statistics-table row of the report, by its label.
std::vector<std::string> ReportRow(Program& program, TTavContents& doc, int item) {
    const std::string label = program.LibText(2, item) + "\t";
    for (const auto& line : doc.AsStrings()) {
        if (line.rfind(label, 0) == 0) {
            std::vector<std::string> cells;
            std::string rest = line.substr(label.size());
            std::size_t at = 0;
            while (at <= rest.size()) {
                const std::size_t tab = rest.find('\t', at);
                const std::string cell = Trim(rest.substr(at, tab - at));
                if (!cell.empty()) {
                    cells.push_back(cell);
                }
                if (tab == std::string::npos) {
                    break;
                }
                at = tab + 1;
            }
            return cells;
        }
    }
    return {};
}

std::string Fixed4(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

TEST_F(Cochran, CountsAndCriticalValuesAreThoseOfTheLaboratoriesTested) {
    struct Case {
        const char* Study;
        std::vector<std::string> Exclude;
        bool GrubbsFirst;
        int Level;
        int Tested; // laboratories whose variance entered the test
    } cases[] = {
        // Three excluded, one without results, one with a single result:
        // 9 variances, tested against the value for 9.
        {"PESTICIDE", {}, false, 1, 9},
        // Two excluded by the user, and the Grubbs test run in between.
        {"LEAD", {"L02", "L04"}, true, 1, 10},
        {"LEAD", {"L02", "L04"}, true, 2, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Study) + " level " + std::to_string(c.Level));
        ASSERT_EQ(ReadStudyFile(program, std::filesystem::path(VELTRIO_SOURCE_DIR) / "examples" /
                                             (std::string(c.Study) + ".PAR")),
                  0);
        std::vector<int> labs;
        for (const auto& code : c.Exclude) {
            labs.push_back(FindLaboratory(program, code));
        }
        ExcludeLaboratories(program, labs);
        if (c.GrubbsFirst) {
            // The report then shows the Cochran test that the Grubbs test
            // ran, after the Grubbs test changed the counts of the study.
            GrubbsTest(program);
        }
        auto doc = MakeCochranReport(program);
        const int n = study().NoOfReplicates;
        int outliers = 0;
        for (int lab = 1; lab <= study().NoOfLabs; ++lab) {
            outliers += study().Level(c.Level).GetMark(lab) == MarkCochranOutlier ? 1 : 0;
        }
        const std::size_t at = static_cast<std::size_t>(c.Level - 1);
        const auto before = ReportRow(program, *doc, 112);
        const auto after = ReportRow(program, *doc, 113);
        const auto crit5 = ReportRow(program, *doc, 19);
        const auto crit1 = ReportRow(program, *doc, 20);
        ASSERT_GT(crit1.size(), at);
        EXPECT_EQ(before.at(at), std::to_string(c.Tested));
        EXPECT_EQ(after.at(at), std::to_string(c.Tested - outliers));
        EXPECT_EQ(crit5.at(at), Fixed4(CochranCriticalValue(n, c.Tested, SL::FivePercent)));
        EXPECT_EQ(crit1.at(at), Fixed4(CochranCriticalValue(n, c.Tested, SL::OnePercent)));
        if (!c.GrubbsFirst) {
            EXPECT_EQ(stats().NoOfGrubbsLabs[at], c.Tested) << "the first pass tested them all";
        }
    }
}

} // namespace
