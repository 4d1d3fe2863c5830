// The preliminary-evaluation commands of the main window: base tables,
// Cochran and Grubbs outliers with the Cochran information window, and the
// exclusion of laboratories with its dialog.
#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "GuiFixture.h"
#include "gui/browser/BrowseForm.h"
#include "gui/dialogs/ExcludeLabDlg.h"
#include "gui/dialogs/InfoDlg.h"
#include "gui/shell/HelpSystem.h"
#include "gui/shell/HelpWindow.h"
#include "gui/shell/MenuCommands.h"
#include "documents/Contents.h"
#include "study/PreliminaryStats.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

using PreliminaryMenusTest = MainFormTest;

const TMenuCommand& Command(std::string_view procedure) {
    for (const TMenuCommand& c : ProcedureMenuCommands()) {
        if (c.Procedure && c.Procedure == procedure) {
            return c;
        }
    }
    throw std::runtime_error("no menu command " + std::string(procedure));
}

std::vector<int> HelpContexts(const TMainForm& form) {
    std::vector<int> contexts;
    for (const TTavBrowseForm* b : form.Browsers()) {
        contexts.push_back(b->HelpContext());
    }
    return contexts;
}

// The marks of every laboratory in one level, as a string ("  L  L").
std::string Marks(const Program& p, int level) {
    std::string marks;
    for (int lab = 1; lab <= p.CurrentStudy->NoOfLabs; ++lab) {
        marks += p.CurrentStudy->Level(level).GetMark(lab);
    }
    return marks;
}

QString HelpTitle(TMainForm& form) {
    return form.Help().Window() ? form.Help().Window()->Browser()->documentTitle() : QString();
}

struct ItemCase {
    const char* Procedure;
    bool SplitEnabled;
    bool UniformEnabled;
    // The help context of the report's browser window.
    int HelpContext;
};

const ItemCase PreliminaryItems[] = {
    {"base-table-iso-table-a", true, true, 5000},
    {"base-table-corrected-for-spiking", true, false, 5100},
    {"cochran-outliers", true, true, 5200},
    {"grubbs-outliers", true, true, 5300},
    {"differences-within-sample-pairs", true, false, 5600},
    {"control-of-recovery-rates", true, true, 5700},
    {"exclude-a-laboratory", true, true, 0},
};

TEST_F(PreliminaryMenusTest, ItemsFollowTheDesignAndRunTheirProcedures) {
    for (const ItemCase& c : PreliminaryItems) {
        EXPECT_FALSE(m_form->ProcedureAction(c.Procedure)->isEnabled())
            << c.Procedure << " without a study";
    }
    for (const bool split : {true, false}) {
        SCOPED_TRACE(split ? "split level" : "uniform level");
        m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(split, 2, split ? 2 : 3)),
                          true);
        ASSERT_TRUE(m_form->program().StudyLoaded);
        for (const ItemCase& c : PreliminaryItems) {
            SCOPED_TRACE(c.Procedure);
            const bool enabled = split ? c.SplitEnabled : c.UniformEnabled;
            EXPECT_EQ(m_form->ProcedureAction(c.Procedure)->isEnabled(), enabled);
            if (c.HelpContext == 0) {
                continue;
            }
            m_form->mnuCloseAllClick();
            // Through the menu's own dispatch, which also guards disabled
            // items.
            m_form->RunMenuCommand(Command(c.Procedure));
            EXPECT_EQ(HelpContexts(*m_form),
                      enabled ? std::vector<int>{c.HelpContext} : std::vector<int>{});
        }
        EXPECT_TRUE(m_ui.Messages.empty()) << m_ui.Messages.front().Text.toStdString();
    }
}

TEST_F(PreliminaryMenusTest, OutlierReportsMarkTheStudy) {
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(false, 2, 3)), true);
    Program& p = m_form->program();
    EXPECT_FALSE(p.Outliers.CochranDone);
    m_form->ProcedureAction("cochran-outliers")->trigger();
    EXPECT_TRUE(p.Outliers.CochranDone);
    EXPECT_FALSE(p.Outliers.GrubbsDone);
    m_form->ProcedureAction("grubbs-outliers")->trigger();
    EXPECT_TRUE(p.Outliers.GrubbsDone);
    EXPECT_EQ(HelpContexts(*m_form), (std::vector<int>{5200, 5300}));
}

struct CochranCase {
    const char* Name;
    bool Split;
    bool AutoSplitCorrection;
    bool Window;
};

TEST_F(PreliminaryMenusTest, CochranShowsItsInformationWindowBeforeTheReportWhereItApplies) {
    const CochranCase cases[] = {
        {"split level with automatic correction", true, true, true},
        {"split level without automatic correction", true, false, false},
        {"uniform level with automatic correction", false, true, false},
    };
    const QStringList expectedLines = {
        QStringLiteral("Cochran outliers is calculated without automatic spiking correction. If "
                       "you want automatic spiking correction, select:"),
        QStringLiteral("Procedures | Preliminary evaluation | everything below"),
        QStringLiteral("or"),
        QStringLiteral("Procedures | Execute interlaboratory study"),
        QStringLiteral("or"),
        QStringLiteral("Procedures | Preliminary evaluation |  Differences within sample pairs"),
        QStringLiteral("followed by"),
        QStringLiteral("Procedures | Preliminary evaluation |  Cochran outliers"),
    };
    for (const CochranCase& c : cases) {
        SCOPED_TRACE(c.Name);
        m_form->mnuCloseAllClick();
        m_form->Help().CloseWindow();
        m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(c.Split, 2, 2)), true);
        m_form->program().Settings.AutoSplitCorrection = c.AutoSplitCorrection;
        int shown = 0;
        m_ui.OnExec = [&](QDialog& d) {
            ++shown;
            auto* info = dynamic_cast<TInfoDlg*>(&d);
            EXPECT_NE(info, nullptr) << "a dialog of another kind";
            if (!info) {
                return int(QDialog::Rejected);
            }
            EXPECT_EQ(info->windowTitle(), QStringLiteral("Cocran without spiking correction "));
            EXPECT_EQ(info->Lines(), expectedLines);
            EXPECT_NE(info->OkButton(), nullptr);
            EXPECT_TRUE(m_form->Browsers().empty()) << "the report comes after the window";
            EXPECT_EQ(THelpSystem::ContextOf(info), 5200);
            // Help shows the topic of the Cochran test.
            EXPECT_NE(info->HelpButton(), nullptr);
            if (info->HelpButton()) {
                info->HelpButton()->click();
            }
            EXPECT_EQ(HelpTitle(*m_form), QStringLiteral("Cochran outliers"));
            return int(QDialog::Accepted);
        };
        m_form->ProcedureAction("cochran-outliers")->trigger();
        EXPECT_EQ(shown, c.Window ? 1 : 0);
        EXPECT_EQ(HelpContexts(*m_form), std::vector<int>{5200});
    }
}

TEST_F(PreliminaryMenusTest, InformationWindowHasHelpOnlyWithAContext) {
    TInfoDlg with(QStringLiteral("Caption"), QStringLiteral("one\ntwo"), 1200);
    EXPECT_EQ(with.windowTitle(), QStringLiteral("Caption"));
    EXPECT_EQ(with.Lines(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    ASSERT_NE(with.HelpButton(), nullptr);
    int asked = 0;
    QObject::connect(&with, &TInfoDlg::HelpRequested, [&](int context) { asked = context; });
    with.HelpButton()->click();
    EXPECT_EQ(asked, 1200);
    TInfoDlg without(QStringLiteral("Caption"), QStringLiteral("text"), 0);
    EXPECT_EQ(without.HelpButton(), nullptr);
    EXPECT_NE(without.OkButton(), nullptr);
}

// Answers the exclusion dialog: records what it offers, selects the rows
// whose codes are given and closes it with `result`.
struct ExcludeAnswer {
    std::vector<QString> Offered;
    QString Caption;
    QString Prompt;
    int Runs = 0;

    std::function<int(QDialog&)> Choose(std::vector<QString> codes, int result) {
        return [this, codes, result](QDialog& d) {
            ++Runs;
            auto* dlg = dynamic_cast<TExcludeLabDlg*>(&d);
            EXPECT_NE(dlg, nullptr);
            if (!dlg) {
                return int(QDialog::Rejected);
            }
            Caption = dlg->windowTitle();
            Prompt = dlg->findChild<QLabel*>()->text();
            Offered.clear();
            QListWidget* list = dlg->LBLabList();
            EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
            for (int row = 0; row < list->count(); ++row) {
                Offered.push_back(list->item(row)->text());
                const bool wanted =
                    std::find(codes.begin(), codes.end(), list->item(row)->text()) != codes.end();
                list->item(row)->setSelected(wanted);
            }
            return result;
        };
    }
};

TEST_F(PreliminaryMenusTest, ExcludeALaboratoryMarksTheChosenInEveryLevel) {
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(false, 3, 3)), true);
    Program& p = m_form->program();
    // The outlier tests have run: the exclusion clears their flags.
    m_form->ProcedureAction("grubbs-outliers")->trigger();
    ASSERT_TRUE(p.Outliers.CochranDone && p.Outliers.GrubbsDone);
    const std::string before = Marks(p, 1);

    struct Step {
        const char* Name;
        std::vector<QString> Choose;
        int Result;
        std::vector<QString> Offered;
        // The marks of each level afterwards.
        std::string Marks;
        bool FlagsCleared;
    };
    const std::vector<QString> all = {QStringLiteral("L01"), QStringLiteral("L02"),
                                      QStringLiteral("L03"), QStringLiteral("L04"),
                                      QStringLiteral("L05"), QStringLiteral("L06")};
    const Step steps[] = {
        {"Cancel changes nothing", {QStringLiteral("L02")}, QDialog::Rejected, all, before, false},
        {"two laboratories at once",
         {QStringLiteral("L02"), QStringLiteral("L05")},
         QDialog::Accepted,
         all,
         " L  L ",
         true},
        {"the excluded ones are not offered again",
         {QStringLiteral("L06")},
         QDialog::Accepted,
         {QStringLiteral("L01"), QStringLiteral("L03"), QStringLiteral("L04"),
          QStringLiteral("L06")},
         " L  LL",
         true},
    };
    ExcludeAnswer answer;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.Name);
        m_form->ProcedureAction("grubbs-outliers")->trigger();
        ASSERT_TRUE(p.Outliers.CochranDone && p.Outliers.GrubbsDone);
        m_ui.OnExec = answer.Choose(s.Choose, s.Result);
        m_form->ProcedureAction("exclude-a-laboratory")->trigger();
        EXPECT_EQ(answer.Offered, s.Offered);
        EXPECT_EQ(answer.Caption, QStringLiteral("Exclude a Laboratory"));
        EXPECT_EQ(answer.Prompt, QStringLiteral("Choose a laboratory:"));
        for (int level = 1; level <= 3; ++level) {
            EXPECT_EQ(Marks(p, level), s.Marks) << "level " << level;
        }
        EXPECT_EQ(p.Outliers.CochranDone, !s.FlagsCleared);
        EXPECT_EQ(p.Outliers.GrubbsDone, !s.FlagsCleared);
    }
    EXPECT_EQ(answer.Runs, 3);
    // The set of excluded laboratories holds exactly the chosen ones.
    EXPECT_TRUE(p.ExcludedLabs.Contains(2) && p.ExcludedLabs.Contains(5) &&
                p.ExcludedLabs.Contains(6));
    EXPECT_FALSE(p.ExcludedLabs.Contains(1));
    // Opening the study again ends the exclusion.
    m_form->OpenStudy(m_form->CurrentFile(), false);
    EXPECT_EQ(Marks(m_form->program(), 1), "      ");
}

TEST_F(PreliminaryMenusTest, ExcludeDialogHelpAndGuard) {
    // Without a study the command asks nothing.
    int asked = 0;
    m_ui.OnExec = [&](QDialog&) {
        ++asked;
        return int(QDialog::Rejected);
    };
    m_form->mnuExcludeALabClick();
    m_form->RunMenuCommand(Command("exclude-a-laboratory"));
    EXPECT_EQ(asked, 0);

    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(true, 2, 2)), true);
    m_ui.OnExec = [&](QDialog& d) {
        ++asked;
        EXPECT_EQ(THelpSystem::ContextOf(&d), 300);
        auto* help = d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Help);
        EXPECT_NE(help, nullptr);
        if (help) {
            help->click();
        }
        return int(QDialog::Rejected);
    };
    m_form->ProcedureAction("exclude-a-laboratory")->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(HelpTitle(*m_form), QStringLiteral("Exclude a laboratory"));
    EXPECT_EQ(Marks(m_form->program(), 1), "      ");
}

TEST_F(PreliminaryMenusTest, TheTopicsOfThePreliminaryCommandsExist) {
    struct Topic {
        int Context;
        const char* Title;
    } topics[] = {{5000, "Base table (ISO table A)"},
                  {5100, "Base table corrected for spiking"},
                  {5200, "Cochran outliers"},
                  {5300, "Grubbs outliers"},
                  {300, "Exclude a laboratory"},
                  {6000, "Analysis of variance"},
                  {6100, "Consensus means vs assigned values"},
                  {5600, "Differences within sample pairs"},
                  {5700, "Control of recovery rates"}};
    for (const Topic& t : topics) {
        m_form->Help().ShowContext(t.Context);
        EXPECT_EQ(HelpTitle(*m_form), QString::fromUtf8(t.Title)) << t.Context;
    }
}

} // namespace
} // namespace veltrio::gui::testing

namespace veltrio::gui::testing {
namespace {

TEST_F(PreliminaryMenusTest, DescriptiveStatisticsFollowAnExclusion) {
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(false, 3, 3)), true);
    Program& p = m_form->program();
    auto lastDocument = [&] {
        const auto browsers = m_form->Browsers();
        return browsers.empty() ? std::vector<std::string>()
                                : browsers.back()->Document().AsStrings();
    };
    m_form->ProcedureAction("descriptive-statistics")->trigger();
    const auto before = lastDocument();
    ASSERT_FALSE(before.empty());
    ASSERT_TRUE(p.Prelim && p.Prelim->DescCalculated);
    EXPECT_EQ(TPreliminaryStats::At(p.Prelim->DescUsable, 1, 1), 18);

    ExcludeAnswer answer;
    m_ui.OnExec = answer.Choose({QStringLiteral("L01"), QStringLiteral("L02")}, QDialog::Accepted);
    m_form->ProcedureAction("exclude-a-laboratory")->trigger();
    ASSERT_EQ(Marks(p, 1), "LL    ");
    EXPECT_FALSE(p.Prelim->DescCalculated) << "the figures of the old marks are gone";

    m_form->ProcedureAction("descriptive-statistics")->trigger();
    const auto after = lastDocument();
    for (int level = 1; level <= 3; ++level) {
        EXPECT_EQ(TPreliminaryStats::At(p.Prelim->DescUsable, level, 1), 12) << level;
        EXPECT_EQ(TPreliminaryStats::At(p.Prelim->DescExcluded, level, 1), 6) << level;
    }
    EXPECT_NE(after, before) << "the second document shows the exclusion";
}

} // namespace
} // namespace veltrio::gui::testing

namespace veltrio::gui::testing {
namespace {

TEST_F(PreliminaryMenusTest, QualityReportsRunFromTheirMenu) {
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(false, 2, 3)), true);
    ASSERT_TRUE(m_form->program().StudyLoaded);
    m_form->RunMenuCommand(Command("analysis-of-variance"));
    EXPECT_EQ(HelpContexts(*m_form), std::vector<int>{6000});
    // Without assigned values the consensus means are refused with the
    // check's dialog, and no window opens.
    for (int lv = 1; lv <= 2; ++lv) {
        m_form->program().CurrentStudy->Level(lv).NominalValue = MissingValue;
    }
    m_form->mnuCloseAllClick();
    QString shownTitle;
    m_ui.OnExec = [&](QDialog& dialog) {
        shownTitle = dialog.windowTitle();
        return int(QDialog::Accepted);
    };
    m_form->RunMenuCommand(Command("consensus-means-vs-assigned-values"));
    EXPECT_TRUE(m_form->Browsers().empty());
    EXPECT_EQ(shownTitle, QStringLiteral("Concensus values vs assigned values"));
    // With them: the table and the chart.
    shownTitle.clear();
    for (int lv = 1; lv <= 2; ++lv) {
        m_form->program().CurrentStudy->Level(lv).NominalValue = 10.0 * lv;
    }
    m_form->RunMenuCommand(Command("consensus-means-vs-assigned-values"));
    EXPECT_EQ(HelpContexts(*m_form), std::vector<int>{6100});
    EXPECT_NE(m_form->ActiveChart(), nullptr);
    EXPECT_TRUE(shownTitle.isEmpty());
    EXPECT_TRUE(m_ui.Messages.empty());
}

} // namespace
} // namespace veltrio::gui::testing

namespace veltrio::gui::testing {
namespace {

// "Residual plots" is hidden; run, it only shows its message.
TEST_F(PreliminaryMenusTest, ResidualPlotsShowTheirMessage) {
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(false, 2, 3)), true);
    ASSERT_TRUE(m_form->program().StudyLoaded);
    EXPECT_FALSE(m_form->ProcedureAction("residual-plots")->isVisible());
    m_form->RunMenuCommand(Command("residual-plots"));
    EXPECT_TRUE(m_form->Browsers().empty());
    ASSERT_EQ(m_ui.Messages.size(), 1u);
    EXPECT_EQ(m_ui.Messages.front().Text,
              QString::fromStdString(m_form->program().LibText(5, 17)));
}

// Once the pair differences are computed, Cochran outliers no longer shows
// the information window, and its test runs again.
TEST_F(PreliminaryMenusTest, CochranAfterThePairDifferencesNeedsNoInformationWindow) {
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(true, 2, 2)), true);
    Program& p = m_form->program();
    p.Settings.AutoSplitCorrection = true;
    int shown = 0;
    m_ui.OnExec = [&](QDialog&) {
        ++shown;
        return int(QDialog::Accepted);
    };
    m_form->ProcedureAction("differences-within-sample-pairs")->trigger();
    EXPECT_FALSE(p.Outliers.CochranDone);
    m_form->ProcedureAction("cochran-outliers")->trigger();
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(p.Outliers.CochranDone);
    EXPECT_EQ(HelpContexts(*m_form), (std::vector<int>{5600, 5200}));
}

} // namespace
} // namespace veltrio::gui::testing
