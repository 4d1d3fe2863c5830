// Which menu items the main window enables for the loaded study.
#include <QAction>
#include <QMenu>
#include <map>
#include <set>

#include "GuiFixture.h"
#include "base/Error.h"
#include "commands/Commands.h"
#include "gui/shell/MenuCommands.h"
#include "gui/shell/StatusBar.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

// Every procedure the menus name, each enabled and counting its runs.
class AllProcedures {
public:
    AllProcedures() {
        for (const TMenuCommand& c : ProcedureMenuCommands()) {
            if (c.Procedure) {
                m_list[c.Procedure] = {
                    c.Procedure, c.Caption, nullptr,
                    [this, name = std::string(c.Procedure)](Program&) { ++Runs[name]; }};
            }
        }
    }
    std::function<const TProcedure*(std::string_view)> Lookup() {
        return [this](std::string_view name) -> const TProcedure* {
            auto it = m_list.find(std::string(name));
            return it == m_list.end() ? nullptr : &it->second;
        };
    }
    TProcedure& operator[](const std::string& name) { return m_list.at(name); }
    std::map<std::string, int> Runs;

private:
    std::map<std::string, TProcedure> m_list;
};

std::set<std::string> EnabledProcedures(const TMainForm& form) {
    std::set<std::string> enabled;
    for (const TMenuCommand& c : ProcedureMenuCommands()) {
        if (c.Procedure && !c.Hidden && c.Rule != TMenuRule::NoStudy &&
            form.ProcedureAction(c.Procedure)->isEnabled()) {
            enabled.insert(c.Procedure);
        }
    }
    return enabled;
}

const std::set<std::string> AlwaysWithStudy = {"execute-interlaboratory-study",
                                               "everything-below-preliminary-evaluation",
                                               "base-table-iso-table-a",
                                               "cochran-outliers",
                                               "grubbs-outliers",
                                               "control-of-recovery-rates",
                                               "descriptive-statistics",
                                               "exclude-a-laboratory",
                                               "everything-below-general-analytical-quality",
                                               "analysis-of-variance",
                                               "consensus-means-vs-assigned-values",
                                               "iso-guide-35-1989",
                                               "everything-below-evaluation-of-laboratories",
                                               "mandels-h-values",
                                               "mandels-k-values",
                                               "performance-scores",
                                               "box-plots",
                                               "method-evaluation",
                                               "histograms"};

std::set<std::string> With(std::set<std::string> extra) {
    extra.insert(AlwaysWithStudy.begin(), AlwaysWithStudy.end());
    return extra;
}

struct DesignCase {
    const char* Name;
    bool Split;
    int Levels;
    int Replicates;
    std::set<std::string> Enabled;
};

TEST_F(MainFormTest, EnablingRulesFollowTheDesignOfTheStudy) {
    const DesignCase cases[] = {
        {"split level, 2 levels, 2 replicates", true, 2, 2,
         With({"base-table-corrected-for-spiking", "youden-plots",
               "differences-within-sample-pairs", "determination-of-weight-function",
               "regression-analysis", "regression-analysis-on-a-laboratory",
               "confidence-ellipses"})},
        {"uniform level, 3 levels, 3 replicates", false, 3, 3,
         With({"line-diagrams", "determination-of-weight-function", "regression-analysis",
               "regression-analysis-on-a-laboratory"})},
        {"uniform level, 2 replicates", false, 2, 2,
         With({"youden-plots", "line-diagrams", "confidence-ellipses",
               "determination-of-weight-function", "regression-analysis",
               "regression-analysis-on-a-laboratory"})},
        {"uniform level, one level", false, 1, 3, With({"line-diagrams"})},
    };
    AllProcedures procedures;
    m_form->SetProcedureLookup(procedures.Lookup());
    EXPECT_TRUE(EnabledProcedures(*m_form).empty()) << "no study loaded";
    for (const DesignCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString file =
            WriteFile(QStringLiteral("study.PAR"), StudyText(c.Split, c.Levels, c.Replicates));
        m_form->OpenStudy(file, true);
        ASSERT_TRUE(m_form->program().StudyLoaded);
        EXPECT_EQ(EnabledProcedures(*m_form), c.Enabled);
        EXPECT_TRUE(m_form->PreliminaryMenu()->menuAction()->isEnabled());
        EXPECT_TRUE(m_form->QualityMenu()->menuAction()->isEnabled());
        EXPECT_TRUE(m_form->LaboratoriesMenu()->menuAction()->isEnabled());
        EXPECT_TRUE(m_form->TransformationAction()->isEnabled());
    }
    // A refused file leaves no study and every procedure disabled again.
    m_form->OpenStudy(WriteFile(QStringLiteral("bad.PAR"), "FILEHEADER\n  UNIFORM\n  NLABS = x\n"),
                      true);
    EXPECT_FALSE(m_form->program().StudyLoaded);
    EXPECT_TRUE(EnabledProcedures(*m_form).empty());
    EXPECT_FALSE(m_form->PreliminaryMenu()->menuAction()->isEnabled());
    EXPECT_FALSE(m_form->TransformationAction()->isEnabled());
}

TEST_F(MainFormTest, ToolsThatChooseTheirOwnFilesNeedNoStudy) {
    AllProcedures procedures;
    m_form->SetProcedureLookup(procedures.Lookup());
    EXPECT_TRUE(m_form->ProcedureAction("fast-feedback-forms")->isEnabled());
    EXPECT_FALSE(m_form->ProcedureAction("histograms")->isEnabled());
}

TEST_F(MainFormTest, AProcedureOwnRuleCanDisableItsItem) {
    AllProcedures procedures;
    procedures["histograms"].Enabled = [](const Program& p) {
        return p.CurrentStudy && p.CurrentStudy->NoOfLabs > 6;
    };
    m_form->SetProcedureLookup(procedures.Lookup());
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(false, 2, 2, 6)), true);
    EXPECT_FALSE(m_form->ProcedureAction("histograms")->isEnabled());
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(false, 2, 2, 7)), true);
    EXPECT_TRUE(m_form->ProcedureAction("histograms")->isEnabled());
}

// The shipped procedure list and the main window's own commands: an item is
// enabled exactly when its procedure exists and the rules allow it, and
// every procedure has an item.
TEST_F(MainFormTest, EveryProcedureOfTheSharedListHasItsMenuItem) {
    for (const TProcedure& p : Procedures()) {
        EXPECT_NE(m_form->ProcedureAction(p.Name), nullptr) << p.Name << " has no menu item";
    }
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(true, 2, 2)), true);
    for (const TMenuCommand& c : ProcedureMenuCommands()) {
        if (!c.Procedure) {
            continue;
        }
        const TProcedure* p = m_form->DefaultProcedure(c.Procedure);
        // Qt disables an action that is hidden ("Residual plots").
        const bool expected = p && !c.Hidden && MenuRuleAllows(c.Rule, m_form->program()) &&
                              (!p->Enabled || p->Enabled(m_form->program()));
        EXPECT_EQ(m_form->ProcedureAction(c.Procedure)->isEnabled(), expected) << c.Procedure;
    }
    EXPECT_TRUE(m_form->ProcedureAction("descriptive-statistics")->isEnabled());
    // The exclusion needs the main window's dialog, so the window brings its
    // procedure itself.
    EXPECT_TRUE(m_form->ProcedureAction("exclude-a-laboratory")->isEnabled());
}

TEST_F(MainFormTest, ExecuteInterlaboratoryStudyChosenWhileItRunsDoesNothing) {
    AllProcedures procedures;
    procedures["execute-interlaboratory-study"].Run = [&](Program&) {
        ++procedures.Runs["execute"];
        m_form->ProcedureAction("execute-interlaboratory-study")->trigger();
    };
    m_form->SetProcedureLookup(procedures.Lookup());
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(false, 3, 3)), true);
    m_form->ProcedureAction("execute-interlaboratory-study")->trigger();
    EXPECT_EQ(procedures.Runs["execute"], 1);
    // Once it has ended it can run again.
    m_form->ProcedureAction("execute-interlaboratory-study")->trigger();
    EXPECT_EQ(procedures.Runs["execute"], 2);
}

// While a command runs (its progress display lets events through) the
// commands that change or replace the study are disabled and a study file
// does not open; an error ends the command with one message and the flag is
// cleared, so the command runs again.
TEST_F(MainFormTest, WhileACommandRunsTheStudyStaysAndAnErrorEndsIt) {
    AllProcedures procedures;
    const QString other = WriteFile(QStringLiteral("other.PAR"), StudyText(false, 2, 2));
    procedures["execute-interlaboratory-study"].Run = [&](Program& p) {
        ++procedures.Runs["execute"];
        EXPECT_FALSE(m_form->ProcedureAction("exclude-a-laboratory")->isEnabled());
        EXPECT_FALSE(m_form->ProcedureAction("box-plots")->isEnabled());
        EXPECT_FALSE(m_form->TransformationAction()->isEnabled());
        EXPECT_FALSE(m_form->EditFileAction()->isEnabled());
        const DataType* before = p.CurrentStudy.get();
        m_form->OpenStudy(other, true);
        EXPECT_EQ(p.CurrentStudy.get(), before);
        throw EVeltrioError("The regression cannot be formed.");
    };
    m_form->SetProcedureLookup(procedures.Lookup());
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(false, 3, 3)), true);
    m_form->ProcedureAction("execute-interlaboratory-study")->trigger();
    ASSERT_EQ(m_ui.Messages.size(), 1u);
    EXPECT_EQ(m_ui.Messages.back().Text, QStringLiteral("The regression cannot be formed."));
    EXPECT_TRUE(m_form->ProcedureAction("box-plots")->isEnabled());
    EXPECT_TRUE(m_form->TransformationAction()->isEnabled());
    m_form->ProcedureAction("execute-interlaboratory-study")->trigger();
    EXPECT_EQ(procedures.Runs["execute"], 2);
}

TEST_F(MainFormTest, AFailingProcedureIsReportedAndEndsItsProgressBar) {
    AllProcedures procedures;
    procedures["histograms"].Run = [&](Program& p) {
        p.host().StartProgress(10);
        p.host().StepProgress();
        throw EVeltrioError("BetaI: no convergence");
    };
    m_form->SetProcedureLookup(procedures.Lookup());
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(false, 3, 3)), true);
    m_form->ProcedureAction("histograms")->trigger();
    ASSERT_FALSE(m_ui.Messages.empty());
    EXPECT_EQ(m_ui.Messages.back().Text, QStringLiteral("BetaI: no convergence"));
    EXPECT_FALSE(m_form->StatusBar().ProgressVisible());
    // The program goes on: the next command runs.
    m_form->ProcedureAction("box-plots")->trigger();
    EXPECT_EQ(procedures.Runs["box-plots"], 1);
}

TEST_F(MainFormTest, HiddenCommandsStayOutOfTheMenus) {
    EXPECT_FALSE(m_form->ProcedureAction("residual-plots")->isVisible());
    bool labReportVisible = true;
    for (QMenu* menu : m_form->findChildren<QMenu*>()) {
        if (menu->title() == QStringLiteral("Laboratory report")) {
            labReportVisible = menu->menuAction()->isVisible();
        }
    }
    EXPECT_FALSE(labReportVisible);
}

} // namespace
} // namespace veltrio::gui::testing
