// The composite commands: which procedures "Everything below" of each menu
// and "Execute interlaboratory study" run, in which order, for which study
// designs and settings; the outlier marks of earlier tests are reset first;
// a study without assigned values is told so once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PreliminaryFixture.h"
#include "commands/Commands.h"
#include "commands/Composites.h"
#include "preliminary/Grubbs.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

using Names = std::vector<std::string>;

class CompositesTest : public PreliminaryFixture {
protected:
    Names Run(void (*composite)(Program&)) {
        host.Started.clear();
        composite(program);
        return host.Started;
    }
    void LoadFile(const std::filesystem::path& path) {
        ASSERT_EQ(ReadStudyFile(program, path), 0) << path;
        program.FixedDate = "2026-01-01";
    }
};

TEST_F(CompositesTest, PreliminaryEvaluationFollowsTheDesign) {
    struct Case {
        const char* Study;
        bool Discard;
        Names Expected;
    };
    const Case cases[] = {
        // Split level: the corrected base table, the pairs, Youden plots.
        {"SPIKE", false,
         {"base-table-iso-table-a", "base-table-corrected-for-spiking",
          "differences-within-sample-pairs", "cochran-outliers", "grubbs-outliers",
          "youden-plots", "control-of-recovery-rates"}},
        // Uniform with three replicates: line diagrams, no Youden plots.
        {"GLUC_ABC", false,
         {"base-table-iso-table-a", "cochran-outliers", "grubbs-outliers", "line-diagrams",
          "control-of-recovery-rates"}},
        // Uniform with two replicates: Youden plots and no line diagrams.
        {"CREOSOTE", false,
         {"base-table-iso-table-a", "cochran-outliers", "grubbs-outliers", "youden-plots",
          "control-of-recovery-rates"}},
        // The outlier tests discarded: no test reports.
        {"GLUC_ABC", true,
         {"base-table-iso-table-a", "line-diagrams", "control-of-recovery-rates"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Study) + (c.Discard ? " discarded" : ""));
        Load(c.Study);
        program.Settings.DiscardOutlierTests = c.Discard;
        EXPECT_EQ(Run(EverythingBelowPreliminary), c.Expected);
    }
}

// Marks of earlier tests go before the tests run again (here the tests are
// discarded, so nothing marks them anew); the user's exclusions stay.
TEST_F(CompositesTest, PreliminaryEvaluationStartsFromTheMarksOfTheFile) {
    Load("GLUC_ABC");
    GrubbsTest(program);
    // Marks as an earlier run might have left them.
    program.CurrentStudy->Level(1).SetMark(1, MarkGrubbsOutlier);
    program.CurrentStudy->Level(2).SetMark(2, MarkCochranStraggler);
    program.CurrentStudy->Level(3).SetMark(3, MarkUserExcluded);
    program.Settings.DiscardOutlierTests = true;
    Run(EverythingBelowPreliminary);
    EXPECT_EQ(program.CurrentStudy->Level(1).GetMark(1), MarkNone);
    EXPECT_EQ(program.CurrentStudy->Level(2).GetMark(2), MarkNone);
    // An exclusion is the user's, not a test's: it stays.
    EXPECT_EQ(program.CurrentStudy->Level(3).GetMark(3), MarkUserExcluded);
    EXPECT_FALSE(program.Outliers.CochranDone);
    EXPECT_FALSE(program.Outliers.GrubbsDone);
}

TEST_F(CompositesTest, GeneralQualityNeedsAssignedValuesAndSaysSoOnce) {
    Load("GLUC_ABC");
    EXPECT_EQ(Run(EverythingBelowQuality), Names{"analysis-of-variance"});
    ASSERT_EQ(host.Dialogs.size(), 1u);
    EXPECT_EQ(host.Dialogs[0].Text, NominalNotOkText);

    host.Dialogs.clear();
    LoadFile(std::filesystem::path(VELTRIO_TEST_DATA) / "quality" / "GLUC_ASSIGNED.PAR");
    EXPECT_EQ(Run(EverythingBelowQuality),
              (Names{"analysis-of-variance", "consensus-means-vs-assigned-values",
                     "determination-of-weight-function", "regression-analysis"}));
    EXPECT_TRUE(host.Dialogs.empty());
}

TEST_F(CompositesTest, ExecuteRunsTheThreeMenusInTurn) {
    LoadFile(std::filesystem::path(VELTRIO_TEST_DATA) / "quality" / "GLUC_ASSIGNED.PAR");
    const Names all = Run(ExecuteInterlaboratoryStudy);
    const Names expected = {"base-table-iso-table-a",
                            "cochran-outliers",
                            "grubbs-outliers",
                            "line-diagrams",
                            "control-of-recovery-rates",
                            "analysis-of-variance",
                            "consensus-means-vs-assigned-values",
                            "determination-of-weight-function",
                            "regression-analysis",
                            "mandels-h-values",
                            "mandels-k-values"};
    EXPECT_EQ(all, expected);
    // Each is a procedure of the list, in its menu.
    for (const auto& name : all) {
        EXPECT_NE(FindProcedure(name), nullptr) << name;
    }
    EXPECT_EQ(ProcedureMenu("line-diagrams"), "Preliminary evaluation");
    EXPECT_EQ(ProcedureMenu("regression-analysis"), "General analytical quality");
    EXPECT_EQ(ProcedureMenu("mandels-k-values"), "Evaluation of laboratories");
    EXPECT_EQ(ProcedureMenu("box-plots"), "Tools");
    EXPECT_EQ(ProcedureMenu("execute-interlaboratory-study"), "Procedures");
    for (const char* name :
         {"execute-interlaboratory-study", "everything-below-preliminary-evaluation",
          "everything-below-general-analytical-quality",
          "everything-below-evaluation-of-laboratories"}) {
        EXPECT_NE(FindProcedure(name), nullptr) << name;
    }
}

} // namespace
