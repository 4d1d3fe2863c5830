// "Exclude a laboratory": what the dialog offers, OK and Cancel, the marks,
// the cleared test flags and the statistics that follow.
#include "PreliminaryFixture.h"

#include <algorithm>

#include "preliminary/ExcludeLab.h"
#include "preliminary/Grubbs.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class ExcludeLab : public PreliminaryFixture {};

TEST_F(ExcludeLab, TwoChosenLaboratoriesLeaveEveryLevel) {
    Load("GLUC_ABC");
    GrubbsTest(program);
    ASSERT_TRUE(program.Outliers.GrubbsDone);
    std::vector<TExcludableLab> offered;
    const bool changed = ExcludeLaboratory(program, [&](const std::vector<TExcludableLab>& labs) {
        offered = labs;
        return std::optional<std::vector<int>>({2, 5});
    });
    EXPECT_TRUE(changed);
    ASSERT_EQ(offered.size(), 8u);
    EXPECT_EQ(offered[1].Lab, 2);
    EXPECT_EQ(offered[1].RandCode, "L02");
    for (int lv = 1; lv <= 3; ++lv) {
        EXPECT_EQ(study().Level(lv).GetMark(2), 'L');
        EXPECT_EQ(study().Level(lv).GetMark(5), 'L');
    }
    EXPECT_FALSE(program.Outliers.CochranDone);
    EXPECT_FALSE(program.Outliers.GrubbsDone);
    // The level figures follow at once.
    EXPECT_EQ(stats().NoOfValidLabs[0], 6);
    // The next Grubbs report counts neither and shows both as "UL".
    auto doc = MakeGrubbsReport(program);
    const auto lines = doc->AsStrings();
    const auto ul = std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind("L02\t", 0) == 0 || l.rfind("L05\t", 0) == 0;
    });
    EXPECT_EQ(ul, 2);
    for (const auto& l : lines) {
        if (l.rfind("L02\t", 0) == 0) {
            EXPECT_NE(l.find("\tUL\t"), std::string::npos) << l;
        }
    }
    EXPECT_EQ(GrubbsCountsOf(program).LabsBeforeGrubbs[1], 6.0);
    // Already excluded laboratories are not offered again.
    EXPECT_EQ(ExcludableLabs(program).size(), 6u);
}

TEST_F(ExcludeLab, CancelChangesNothing) {
    Load("GLUC_ABC");
    GrubbsTest(program);
    const std::string marks = Marks(3);
    EXPECT_FALSE(ExcludeLaboratory(program, [](const std::vector<TExcludableLab>&) {
        return std::optional<std::vector<int>>();
    }));
    EXPECT_EQ(Marks(3), marks);
    EXPECT_TRUE(program.Outliers.CochranDone);
    EXPECT_TRUE(program.Outliers.GrubbsDone);
    // Without a dialog nothing happens either.
    EXPECT_FALSE(ExcludeLaboratory(program, nullptr));
    EXPECT_TRUE(program.Outliers.GrubbsDone);
}

TEST_F(ExcludeLab, ALaboratoryExcludedByTheFileBecomesUL) {
    Load("SPLIT");
    ASSERT_EQ(study().Level(1).GetMark(4), 'U');
    ExcludeLaboratories(program, {4});
    EXPECT_EQ(study().Level(1).GetMark(4), 'L');
    EXPECT_EQ(study().Level(1).MarkText(4), "UL");
    EXPECT_TRUE(program.ExcludedLabs.Contains(4));
}

TEST_F(ExcludeLab, FindsLaboratoriesByCodeAndIgnoresUnknownIndices) {
    Load("GLUC_ABC");
    EXPECT_EQ(FindLaboratory(program, "L03"), 3);
    EXPECT_EQ(FindLaboratory(program, "l03"), 3);
    EXPECT_EQ(FindLaboratory(program, "L99"), 0);
    ExcludeLaboratories(program, {0, 9, -1});
    EXPECT_EQ(Marks(1), "        ");
}

} // namespace
