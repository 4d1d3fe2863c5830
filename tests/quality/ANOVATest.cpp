// The analysis of variance and the precision estimates s(r), s(L), s(R).
// Verified against base R's anova(lm()) on the public example studies
// (scripts/preliminary/outlier_precision_reference.R, output in
// tests/data/quality/precision_reference.csv), with the outlier tests and
// with "Discard outlier tests"; sums of squares are exact algebra (1e-10),
// probabilities come from the incomplete beta function (1e-8). Edge cases
// are worked by hand in the comments.
#include "PreliminaryFixture.h"

#include "preliminary/ExcludeLab.h"
#include "quality/ANOVA.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class ANOVA : public PreliminaryFixture {};

TEST_F(ANOVA, PrecisionOfTheExampleStudiesAgreesWithR) {
    const auto rows =
        ReadCsv(std::filesystem::path(VELTRIO_TEST_DATA) / "quality" / "precision_reference.csv");
    ASSERT_EQ(rows.size(), 2u * 18u);
    std::string loaded;
    for (const auto& r : rows) {
        const std::string name = r.at("study");
        const int lv = std::stoi(r.at("level"));
        const bool discard = r.at("discard") == "1";
        SCOPED_TRACE(name + " level " + r.at("level") + (discard ? " discarded" : ""));
        Load(name);
        program.Settings.DiscardOutlierTests = discard;
        TANOVA& a = ANOVAOf(program);
        a.Calculate(program);
        ASSERT_TRUE(a.Calculated);
        const auto i = static_cast<std::size_t>(lv);
        EXPECT_TRUE(Near(a.MeanSq[i][0], CsvNumber(r.at("MSlab")), 1e-10));
        EXPECT_TRUE(Near(a.MeanSq[i][2], CsvNumber(r.at("MSwithin")), 1e-10));
        EXPECT_TRUE(Near(a.FValue[i][0], CsvNumber(r.at("F0")), 1e-9));
        EXPECT_TRUE(Near(a.PValue[i][0], CsvNumber(r.at("P0")), 1e-8));
        EXPECT_TRUE(Near(a.Sr[i], CsvNumber(r.at("sr")), 1e-10));
        EXPECT_TRUE(Near(a.SL[i], CsvNumber(r.at("sL")), 1e-10));
        EXPECT_TRUE(Near(a.SR[i], CsvNumber(r.at("sR")), 1e-10));
        EXPECT_TRUE(Near(a.ReproducibilityLimit(lv), 2.8 * CsvNumber(r.at("sR")), 1e-10));
        if (study().Design == dkSplitLevel) {
            EXPECT_TRUE(Near(a.FValue[i][1], CsvNumber(r.at("F1")), 1e-9));
            EXPECT_TRUE(Near(a.PValue[i][1], CsvNumber(r.at("P1")), 1e-8));
            EXPECT_TRUE(Near(a.SampleVarRatio[i], CsvNumber(r.at("sampleRatio")), 1e-10));
            EXPECT_TRUE(Near(a.SampleVarP[i], CsvNumber(r.at("sampleP")), 1e-8));
            EXPECT_EQ(a.DF[i][1], 1.0);
        }
        // The sums add up.
        EXPECT_NEAR(a.SumSq[i][0] + a.SumSq[i][1] + a.SumSq[i][2], a.SumSq[i][3],
                    1e-9 * std::max(1.0, a.SumSq[i][3]));
    }
}

TEST_F(ANOVA, UnequalReplicatesWeightTheLaboratoriesButSLUsesTheNominalN) {
    // Laboratories (10, 12), (14, -), (11, 13): grand mean 12;
    // SS between = 2·1 + 1·4 + 2·0 = 6 on 2 DF; SS within = 2 + 2 = 4 on 2 DF.
    LoadText(false, 2, {{{10, 12}, {14, MissingValue}, {11, 13}}});
    TANOVA& a = ANOVAOf(program);
    a.Calculate(program);
    EXPECT_DOUBLE_EQ(a.SumSq[1][0], 6.0);
    EXPECT_DOUBLE_EQ(a.DF[1][0], 2.0);
    EXPECT_DOUBLE_EQ(a.SumSq[1][2], 4.0);
    EXPECT_DOUBLE_EQ(a.DF[1][2], 2.0);
    EXPECT_DOUBLE_EQ(a.SumSq[1][3], 10.0);
    EXPECT_DOUBLE_EQ(a.DF[1][3], 4.0);
    EXPECT_EQ(a.MeanSq[1][1], MissingValue);
    EXPECT_DOUBLE_EQ(a.Sr[1], std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(a.SL[1], std::sqrt(0.5)); // (3 - 2)/2, not /n̄
    EXPECT_DOUBLE_EQ(a.SR[1], std::sqrt(2.5));
    // F(2, 2) = 1.5: upper tail 1/(1 + 1.5) = 0.4.
    EXPECT_NEAR(a.PValue[1][0], 0.4, 1e-10);
}

TEST_F(ANOVA, FirstResultMissingLeavesTheLaboratoryOut) {
    // (10, 12), (-, 14), (11, 13): the second laboratory does not count;
    // grand mean 11.5, SS between 1 on 1 DF < within 4 on 2 DF: s(L) = 0.
    LoadText(false, 2, {{{10, 12}, {MissingValue, 14}, {11, 13}}});
    TANOVA& a = ANOVAOf(program);
    a.Calculate(program);
    EXPECT_DOUBLE_EQ(a.SumSq[1][0], 1.0);
    EXPECT_DOUBLE_EQ(a.DF[1][0], 1.0);
    EXPECT_DOUBLE_EQ(a.MeanSq[1][2], 2.0);
    EXPECT_EQ(a.SL[1], 0.0);
    EXPECT_DOUBLE_EQ(a.SR[1], a.Sr[1]);
    // F = 0.5 below 1: still the upper tail P(F(1, 2) > 0.5), which is that
    // of |t| with 2 DF and t² = F: 1 - t/sqrt(2 + t²).
    const double t = std::sqrt(0.5);
    EXPECT_NEAR(a.PValue[1][0], 1.0 - t / std::sqrt(2.0 + t * t), 1e-10);
}

TEST_F(ANOVA, LevelWithoutUsableResults) {
    LoadText(false, 2,
             {{{10, 12}, {11, 13}, {12, 12}},
              {{MissingValue, MissingValue},
               {MissingValue, MissingValue},
               {MissingValue, MissingValue}}});
    TANOVA& a = ANOVAOf(program);
    a.Calculate(program);
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(a.SumSq[2][k], MissingValue);
        EXPECT_EQ(a.DF[2][k], MissingValue);
    }
    EXPECT_EQ(a.MeanSq[2][0], MissingValue);
    EXPECT_EQ(a.FValue[2][0], MissingValue);
    EXPECT_EQ(a.Sr[2], MissingValue);
    EXPECT_EQ(a.SL[2], 0.0);
    EXPECT_EQ(a.SR[2], MissingValue);
    EXPECT_EQ(a.RepeatabilityLimit(2), MissingValue);
    // The other level is computed.
    EXPECT_NE(a.Sr[1], MissingValue);
}

TEST_F(ANOVA, OneReplicateGivesNoRepeatabilityAndNoBetweenComponent) {
    LoadText(false, 1, {{{10}, {11}, {13}}});
    TANOVA& a = ANOVAOf(program);
    a.Calculate(program);
    EXPECT_EQ(a.DF[1][2], 0.0);
    EXPECT_EQ(a.MeanSq[1][2], MissingValue);
    EXPECT_EQ(a.Sr[1], MissingValue);
    // Not sqrt(MS between + 99): without a within mean square s(L) is 0.
    EXPECT_EQ(a.SL[1], 0.0);
    EXPECT_EQ(a.SR[1], MissingValue);
}

TEST_F(ANOVA, SampleSpreadTestUsesHalfTheLaboratoryDegreesOfFreedom) {
    // F(k, k) with k = 2 has the upper tail 1/(1 + F): the two-sided
    // probability is 2/(1 + ratio). Five counted pairs give k = 2; six, k = 3.
    Load("GLUC_PAIRS");
    program.Settings.DiscardOutlierTests = true;
    ExcludeLaboratories(program, {6, 7, 8});
    TANOVA& a = ANOVAOf(program);
    a.Calculate(program);
    EXPECT_EQ(a.DF[1][0], 4.0);
    const double ratio = a.SampleVarRatio[1];
    ASSERT_GT(ratio, 1.0);
    EXPECT_NEAR(a.SampleVarP[1], 2.0 / (1.0 + ratio), 1e-10);
    // A pair with one result missing is not counted.
    program.CurrentStudy->Level(1).SetResult(1, 2, ' ', MissingValue, 2);
    program.RecomputeStatistics();
    a.Calculate(program);
    EXPECT_EQ(a.DF[1][0], 3.0);
    EXPECT_EQ(a.DF[1][3], 7.0);
}

TEST_F(ANOVA, ExclusionWithDiscardedTestsChangesThePrecision) {
    Load("GLUC_ABC");
    program.Settings.DiscardOutlierTests = true;
    TANOVA& a = ANOVAOf(program);
    a.Calculate(program);
    const double before = a.SR[3];
    EXPECT_FALSE(program.Outliers.GrubbsDone);
    // Laboratory 4 of level C (148.30 among values near 133) is what the
    // Cochran test would remove; excluded by hand it leaves as well.
    ExcludeLaboratories(program, {FindLaboratory(program, "L04")});
    a.Calculate(program);
    EXPECT_LT(a.SR[3], before);
    EXPECT_EQ(a.DF[3][0], 6.0);
}

TEST_F(ANOVA, ProgressUnlessQuiet) {
    Load("GLUC_PAIRS");
    host.ProgressStarted = host.ProgressSteps = host.ProgressEnded = 0;
    program.Settings.DiscardOutlierTests = true;
    ANOVAOf(program).Calculate(program);
    EXPECT_EQ(host.ProgressStarted, 1);
    EXPECT_EQ(host.ProgressEnded, 1);
    EXPECT_EQ(host.ProgressSteps, 8 * 2 * 3); // every counted pair's two samples
    program.QuietTests = true;
    ANOVAOf(program).Calculate(program);
    EXPECT_EQ(host.ProgressStarted, 1);
}

} // namespace
