// Performance scores: Algorithm A, u(X), z and z' of the public data sets
// and of made studies against an independent calculation in R
// (scripts/labs/performance_scores_reference.R, output in
// tests/data/labs/performance_scores_reference.csv); the choices of X and
// sigma_pt; the levels that get no scores and why; the assessments; the
// document and the charts.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ChartFixture.h"
#include "PreliminaryFixture.h"
#include "charts/GraphWindow.h"
#include "labs/PerformanceScores.h"
#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"
#include "quality/ANOVA.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

namespace fs = std::filesystem;

class PerformanceScoresTest : public PreliminaryFixture {
protected:
    void LoadFile(const fs::path& path) {
        ASSERT_EQ(ReadStudyFile(program, path), 0) << path;
        ASSERT_TRUE(program.StudyLoaded);
        program.FixedDate = "2026-01-01";
    }
    void LoadScores(const std::string& name) {
        LoadFile(fs::path(VELTRIO_TEST_DATA) / "labs" / name);
    }
};

fs::path ReferenceStudy(const std::string& file) {
    const fs::path data(VELTRIO_TEST_DATA);
    if (file == "SCORES.PAR") {
        return data / "labs" / file;
    }
    if (file == "SPIKE.PAR") {
        return data / "preliminary" / file;
    }
    return data / "validation" / file;
}

void ExpectNear(double ours, const std::string& theirs, const std::string& what) {
    if (theirs == "NA") {
        EXPECT_EQ(ours, MissingValue) << what;
        return;
    }
    const double r = std::stod(theirs);
    EXPECT_NEAR(ours, r, 1e-9 * std::max(1.0, std::fabs(r))) << what;
}

// Every laboratory of the validation studies, a made study with an excluded
// laboratory, a '<' result, a missing result, assigned values on two of
// three levels (one negative), and the spiked split-level study.
TEST_F(PerformanceScoresTest, AgreeWithTheIndependentCalculationInR) {
    const auto rows = ReadCsv(fs::path(VELTRIO_TEST_DATA) / "labs" /
                              "performance_scores_reference.csv");
    ASSERT_GT(rows.size(), 150u);
    std::map<std::string, std::vector<std::map<std::string, std::string>>> byStudy;
    for (const auto& r : rows) {
        byStudy[r.at("study")].push_back(r);
    }
    int compared = 0;
    for (const auto& [file, labs] : byStudy) {
        SCOPED_TRACE(file);
        LoadFile(ReferenceStudy(file));
        const auto columns = ComputePerformanceScores(program, {});
        for (const auto& r : labs) {
            const int level = std::stoi(r.at("level"));
            const int sample = std::stoi(r.at("sample"));
            const TScoreColumn* column = nullptr;
            for (const auto& c : columns) {
                if (c.Level == level && c.Sample == sample) {
                    column = &c;
                }
            }
            ASSERT_NE(column, nullptr) << level << "/" << sample;
            const TLevel& lv = program.CurrentStudy->Level(level);
            int lab = 0;
            for (int i = 1; i <= lv.NoOfLabs; ++i) {
                if (lv.GetRandCode(i) == r.at("lab")) {
                    lab = i;
                }
            }
            ASSERT_GT(lab, 0) << r.at("lab");
            const auto i = static_cast<std::size_t>(lab - 1);
            const std::string what = file + " " + std::to_string(level) + "/" +
                                     std::to_string(sample) + " " + r.at("lab");
            ExpectNear(column->Mean[i], r.at("mean"), what + " mean");
            ExpectNear(column->Consensus.Mean, r.at("xstar"), what + " x*");
            ExpectNear(column->Consensus.SD, r.at("sstar"), what + " s*");
            EXPECT_EQ(column->Consensus.Rounds, std::stoi(r.at("rounds"))) << what;
            ExpectNear(column->UncertaintyOfAssigned, r.at("u"), what + " u(X)");
            ExpectNear(column->AssignedValue, r.at("X"), what + " X");
            ExpectNear(column->SigmaPT, r.at("sigma"), what + " sigma_pt");
            ExpectNear(column->Z[i], r.at("z"), what + " z");
            ExpectNear(column->ZPrime[i], r.at("zprime"), what + " z'");
            ++compared;
        }
    }
    EXPECT_GT(compared, 150);
}

TEST(AlgorithmA, StartsFromTheStandardDeviationWhenMADIsZeroAndNeedsThreeValues) {
    // Four equal values and one apart: MAD is 0.
    const TAlgorithmA a = AlgorithmA({1, 1, 1, 1, 5});
    EXPECT_TRUE(a.StartedFromSD);
    EXPECT_TRUE(a.Converged);
    EXPECT_GT(a.SD, 0);
    EXPECT_EQ(a.Count, 5);
    const TAlgorithmA two = AlgorithmA({1, 2});
    EXPECT_FALSE(two.Formed());
    EXPECT_EQ(two.Count, 2);
    // All equal: s* = 0, settled at the start.
    const TAlgorithmA equal = AlgorithmA({7, 7, 7});
    EXPECT_EQ(equal.Mean, 7);
    EXPECT_EQ(equal.SD, 0);
    EXPECT_EQ(equal.Rounds, 0);
    EXPECT_TRUE(equal.Converged);
}

TEST(ScoreVerdicts, AtTheLimitsOfTheStandard) {
    const std::pair<double, TVerdict> cases[] = {
        {0, TVerdict::Satisfactory},         {2, TVerdict::Satisfactory},
        {-2, TVerdict::Satisfactory},        {2.000001, TVerdict::Questionable},
        {-2.999999, TVerdict::Questionable}, {3, TVerdict::Unsatisfactory},
        {-3, TVerdict::Unsatisfactory},      {MissingValue, TVerdict::None},
    };
    for (const auto& [score, verdict] : cases) {
        EXPECT_EQ(VerdictOf(score), verdict) << score;
    }
}

// The choices of X and sigma_pt: the file's values only (a level without
// one is not scored), the consensus everywhere, the reproducibility of the
// analysis of variance, values as given.
TEST_F(PerformanceScoresTest, ChoicesOfAssignedValueAndSigma) {
    LoadScores("SCORES.PAR");
    const auto fileOnly = ComputePerformanceScores(program, {TAssignedChoice::File});
    ASSERT_EQ(fileOnly.size(), 3u);
    EXPECT_TRUE(fileOnly[0].Scored());
    EXPECT_EQ(fileOnly[1].Problem, TScoreProblem::NoAssignedValue);
    EXPECT_EQ(fileOnly[1].Z[0], MissingValue);
    EXPECT_EQ(fileOnly[2].AssignedValue, -4.0);

    const auto consensus = ComputePerformanceScores(program, {TAssignedChoice::Consensus});
    for (const auto& c : consensus) {
        EXPECT_FALSE(c.AssignedFromFile);
        EXPECT_EQ(c.AssignedValue, c.Consensus.Mean);
        ASSERT_NE(c.UncertaintyOfAssigned, MissingValue);
        EXPECT_DOUBLE_EQ(c.UncertaintyOfAssigned,
                         1.25 * c.Consensus.SD / std::sqrt(double(c.Consensus.Count)));
        // z' allows for u(X): smaller in size than z.
        EXPECT_LT(std::fabs(c.ZPrime[0]), std::fabs(c.Z[0]));
    }

    const auto typed = ComputePerformanceScores(
        program, {TAssignedChoice::Auto, TSigmaChoice::Typed, {0.5, 2.0}});
    EXPECT_EQ(typed[0].SigmaPT, 0.5);
    EXPECT_NEAR(typed[0].Z[0], (20.3 - 20.0) / 0.5, 1e-12);
    EXPECT_EQ(typed[1].SigmaPT, 2.0);
    // No value given for the third level.
    EXPECT_EQ(typed[2].Problem, TScoreProblem::NoSigma);

    const auto reproducibility =
        ComputePerformanceScores(program, {TAssignedChoice::Auto, TSigmaChoice::Reproducibility});
    const TANOVA& anova = ANOVAOf(program);
    ASSERT_TRUE(anova.Calculated);
    for (const auto& c : reproducibility) {
        EXPECT_EQ(c.SigmaPT, anova.SR[static_cast<std::size_t>(c.Level)]);
        EXPECT_TRUE(c.Scored());
    }
}

// Fewer than three laboratory means (an excluded laboratory, one with only a
// '<' and a missing result): no consensus; all means equal: s* = 0, no
// scores; a consensus of the file's value with a robust sigma still needs
// the consensus.
TEST_F(PerformanceScoresTest, LevelsWithoutScoresSayWhy) {
    LoadScores("SCORES_FEW.PAR");
    const auto c = ComputePerformanceScores(program, {});
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].Problem, TScoreProblem::TooFewLaboratories);
    EXPECT_EQ(c[0].Consensus.Count, 2);
    EXPECT_EQ(c[0].Mean[3], MissingValue);
    EXPECT_EQ(c[1].Problem, TScoreProblem::NoSigma);
    EXPECT_EQ(c[1].Consensus.SD, 0);
    for (const auto& column : c) {
        for (double z : column.Z) {
            EXPECT_EQ(z, MissingValue);
        }
    }
    // Typed sigma_pt with the consensus as X: the two means are too few.
    const auto typed = ComputePerformanceScores(
        program, {TAssignedChoice::Consensus, TSigmaChoice::Typed, {1.0, 1.0}});
    EXPECT_EQ(typed[0].Problem, TScoreProblem::TooFewLaboratories);
    EXPECT_TRUE(typed[1].Scored());
    EXPECT_EQ(typed[1].Z[0], 0.0);
}

// Outliers of the tests take part in the consensus and are scored and
// marked; excluded laboratories are not in the table. The document says why
// a level has no scores, and recommends z' when u(X) is large.
TEST_F(PerformanceScoresTest, DocumentListsTheScoredLaboratoriesAndItsNotes) {
    LoadScores("SCORES.PAR");
    CochranTest(program);
    GrubbsTest(program);
    TPerformanceScores scores(program, {TAssignedChoice::Consensus});
    scores.Calculate();
    const auto doc = scores.BuildReport();
    ASSERT_NE(doc, nullptr);
    const auto lines = doc->AsStrings();
    auto has = [&](const std::string& start) {
        for (const auto& l : lines) {
            if (l.rfind(start, 0) == 0) {
                return true;
            }
        }
        return false;
    };
    EXPECT_FALSE(has("S04\t"));
    EXPECT_TRUE(has("S01\t"));
    bool marked = false;
    for (const auto& l : lines) {
        marked |= l.rfind("S08\tG\t", 0) == 0 || l.rfind("S08\tC\t", 0) == 0;
    }
    EXPECT_TRUE(marked) << "S08 is an outlier of level B and C";
    EXPECT_TRUE(has(program.LibText(12, 1)));

    LoadScores("SCORES_FEW.PAR");
    TPerformanceScores few(program, {});
    few.Calculate();
    const auto fewLines = few.BuildReport()->AsStrings();
    auto count = [&](const std::string& text) {
        int n = 0;
        for (const auto& l : fewLines) {
            n += l.find(text) != std::string::npos;
        }
        return n;
    };
    EXPECT_EQ(count(program.LibText(12, 24)), 1);
    EXPECT_EQ(count(program.LibText(12, 26)), 1);
    EXPECT_EQ(count(program.LibText(12, 6)), 0) << "no table of laboratories without scores";
    EXPECT_EQ(few.BuildColumnChart(few.Columns()[0]), nullptr);
    EXPECT_EQ(few.BuildOverviewChart(), nullptr);
}

// z' is recommended when u(X) > 0.3 sigma_pt: seven laboratories with a
// small typed sigma.
TEST_F(PerformanceScoresTest, LargeUncertaintyOfTheConsensusRecommendsZPrime) {
    LoadScores("SCORES.PAR");
    const auto c = ComputePerformanceScores(
        program, {TAssignedChoice::Consensus, TSigmaChoice::Typed, {0.1, 100, 100}});
    ASSERT_TRUE(c[0].Scored());
    EXPECT_GT(c[0].UncertaintyOfAssigned, 0.3 * 0.1);
    EXPECT_TRUE(c[0].RecommendZPrime);
    EXPECT_EQ(c[0].JudgedScore(1), c[0].ZPrime[0]);
    EXPECT_FALSE(c[1].RecommendZPrime);
    EXPECT_EQ(c[1].JudgedScore(1), c[1].Z[0]);
}

// The charts: a bar per scored laboratory, the lines at 0, ±2 and ±3 across
// the axis, no overlapping texts; the overview has one curve per
// laboratory.
TEST_F(PerformanceScoresTest, ChartsShowEveryScoreWithinTheirAxes) {
    LoadScores("SCORES.PAR");
    TPerformanceScores scores(program, {});
    scores.Calculate();
    for (const auto& c : scores.Columns()) {
        SCOPED_TRACE(c.Name);
        const auto chart = scores.BuildColumnChart(c);
        ASSERT_NE(chart, nullptr);
        // Each bar as tall as its score on the axis.
        int bars = 0;
        double heights = 0, scores = 0;
        for (const auto& line : chart->Describe()) {
            if (line.rfind("rectangle ", 0) == 0) {
                ++bars;
                std::istringstream in(line.substr(10));
                double x = 0, y = 0, w = 0, h = 0;
                in >> x >> y >> w >> h;
                heights += std::fabs(h);
            }
        }
        for (double z : c.Z) {
            scores += z == MissingValue ? 0 : std::fabs(z);
        }
        EXPECT_EQ(bars, 11) << "11 laboratories not excluded";
        EXPECT_NEAR(heights, scores * std::fabs(chart->PageY(1) - chart->PageY(0)), 0.01 * bars);
        double low = 0, high = 0;
        for (double z : c.Z) {
            if (z != MissingValue) {
                low = std::min(low, z);
                high = std::max(high, z);
            }
        }
        EXPECT_LE(chart->YMin(), std::min(low, -4.0));
        EXPECT_GE(chart->YMax(), std::max(high, 4.0));
        EXPECT_TRUE(OverlappingTexts(*chart).empty());
    }
    const auto overview = scores.BuildOverviewChart();
    ASSERT_NE(overview, nullptr);
    EXPECT_TRUE(OverlappingTexts(*overview).empty());
}

} // namespace
