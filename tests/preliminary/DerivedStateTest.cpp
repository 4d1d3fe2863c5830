// Figures derived from the study follow every change of its marks and every
// new study; temporary corrections are undone on every path.
#include "PreliminaryFixture.h"

#include <memory>
#include <stdexcept>

#include "base/Error.h"
#include "preliminary/Cochran.h"
#include "preliminary/ExcludeLab.h"
#include "preliminary/Grubbs.h"
#include "preliminary/SplitControl.h"
#include "study/PreliminaryStats.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class DerivedState : public PreliminaryFixture {};

struct Listener : TDerivedState {
    std::vector<TStateChange> Heard;
    void StateChanged(TStateChange change) override { Heard.push_back(change); }
};

TEST_F(DerivedState, AnExclusionVoidsTheDescriptiveFigures) {
    Load("GLUC_ABC");
    const TPreliminaryStats& before = CurrentDescriptiveFigures(program);
    ASSERT_EQ(TPreliminaryStats::At(before.DescUsable, 1, 1), 24);
    ExcludeLaboratories(program, {1, 2});
    EXPECT_FALSE(program.Prelim->DescCalculated);
    const TPreliminaryStats& after = CurrentDescriptiveFigures(program);
    for (int lv = 1; lv <= 3; ++lv) {
        EXPECT_EQ(TPreliminaryStats::At(after.DescUsable, lv, 1), 18) << lv;
        EXPECT_EQ(TPreliminaryStats::At(after.DescExcluded, lv, 1), 6) << lv; // 2 x 3 results
    }
    // The outlier tests leave them: their outliers count as usable there.
    GrubbsTest(program);
    EXPECT_TRUE(program.Prelim->DescCalculated);
}

TEST_F(DerivedState, RegisteredObjectsHearEveryChangeUntilTheyAreGone) {
    Load("GLUC_ABC");
    auto listener = std::make_shared<Listener>();
    program.Register(listener);
    CochranTest(program);
    GrubbsTest(program);
    ExcludeLaboratories(program, {3});
    Load("PENT_ABC");
    const std::vector<TStateChange> expected = {
        TStateChange::OutlierTest, TStateChange::OutlierTest, TStateChange::Marks,
        TStateChange::Study};
    EXPECT_EQ(listener->Heard, expected);
    // The flags of the tests follow as well.
    EXPECT_FALSE(program.Outliers.CochranDone);
    EXPECT_FALSE(program.Outliers.GrubbsDone);
    std::weak_ptr<Listener> weak = listener;
    listener.reset();
    EXPECT_TRUE(weak.expired()) << "the program does not keep an object alive";
    CochranTest(program); // and does not call it any more
    EXPECT_TRUE(program.Outliers.CochranDone);
}

TEST_F(DerivedState, GrubbsKeepsTheCochranMarksAndTheirFlag) {
    Load("GLUC_ABC");
    CochranTest(program);
    GrubbsTest(program);
    EXPECT_TRUE(program.Outliers.CochranDone);
    EXPECT_TRUE(program.Outliers.GrubbsDone);
    // A new Cochran test resets the Grubbs marks, so Grubbs is not done.
    CochranTest(program);
    EXPECT_TRUE(program.Outliers.CochranDone);
    EXPECT_FALSE(program.Outliers.GrubbsDone);
}

TEST_F(DerivedState, PairDifferencesFollowExclusionsAndStudiesButNotTheTests) {
    Load("GLUC_PAIRS");
    TSplitControl& split = SplitControlOf(program);
    split.SignificantLevels = 1;
    split.PairsComputed = true;
    CochranTest(program);
    GrubbsTest(program);
    EXPECT_TRUE(split.PairsComputed) << "the tests run with the correction these figures give";
    EXPECT_EQ(split.SignificantLevels, 1);
    ExcludeLaboratories(program, {2});
    EXPECT_FALSE(split.PairsComputed);
    EXPECT_EQ(split.SignificantLevels, 0);
}

TEST_F(DerivedState, TheSpikingCorrectionGivesBackTheExactValuesAlsoOnAnError) {
    // 0.1 + 0.7 - 0.7 is not 0.1 in binary: undoing by arithmetic would
    // change the study.
    LoadText(true, 2, {{{0.1, 0.1}, {0.3, 0.2}, {0.11, 0.13}, {0.1, 0.1}}});
    program.Settings.AutoSplitCorrection = true;
    TSplitControl& split = SplitControlOf(program);
    split.SignificantLevels = 1;
    split.PValue[1] = 0.001;
    split.MeanDifference[1] = 0.7;
    std::vector<double> before;
    for (int lab = 1; lab <= 4; ++lab) {
        before.push_back(study().Level(1).GetResult(lab, 2).Value);
    }
    ASSERT_NE(0.1 + 0.7 - 0.7, 0.1);
    try {
        const TSpikingCorrection correction(program, split);
        ASSERT_TRUE(correction.Applied());
        EXPECT_NE(study().Level(1).GetResult(1, 2).Value, before[0]);
        throw EVeltrioError("a numerical failure inside the test");
    } catch (const EVeltrioError&) {
    }
    for (int lab = 1; lab <= 4; ++lab) {
        EXPECT_EQ(study().Level(1).GetResult(lab, 2).Value, before[lab - 1]) << lab;
    }
    EXPECT_EQ(stats().Cell(1, 1).Mean, 0.1);
    EXPECT_FALSE(program.Outliers.CochranDone);
    // The whole test leaves the values as they were, to the bit.
    CochranTest(program);
    for (int lab = 1; lab <= 4; ++lab) {
        EXPECT_EQ(study().Level(1).GetResult(lab, 2).Value, before[lab - 1]) << lab;
    }
}

TEST_F(DerivedState, CochranEndsWhenAVarianceOverflows) {
    // A result of 1e160 gives a variance beyond a double: C = inf/inf.
    const std::string huge = "1" + std::string(160, '0');
    std::string text = StudyText(false, 2, {{{1.0, 2.0}, {1.5, 2.5}, {2.0, 3.0}, {1.0, 1.2}}});
    const auto at = text.find("L01 1 2");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 7, "L01 " + huge + " 2");
    ASSERT_EQ(Read(text), 0);
    ASSERT_TRUE(std::isinf(stats().Variance(1, 1)));
    CochranTest(program);
    EXPECT_TRUE(program.Outliers.CochranDone);
    EXPECT_EQ(stats().CochranStat[0], MissingValue) << "not computable";
    EXPECT_EQ(Marks(1), "    ");
    // The report says so instead of hanging.
    auto doc = MakeCochranReport(program);
    ASSERT_NE(doc, nullptr);
    // Two overflowing laboratories: the sum of variances overflows as well.
    text = StudyText(false, 2, {{{1.0, 2.0}, {1.5, 2.5}, {2.0, 3.0}, {1.0, 1.2}}});
    text.replace(text.find("L01 1 2"), 7, "L01 " + huge + " 2");
    text.replace(text.find("L02 1.5 2.5"), 11, "L02 -" + huge + " 2.5");
    ASSERT_EQ(Read(text), 0);
    CochranTest(program);
    EXPECT_EQ(stats().CochranStat[0], MissingValue);
}

} // namespace
