// The command "Performance scores": its dialog offers the choices last made
// (the defaults at first), refuses a typed standard deviation that is not
// above 0, and the scores come as a document with a chart per level and the
// overview; Cancel shows nothing.
#include <QAction>
#include <QLineEdit>
#include <QRadioButton>

#include "GuiFixture.h"
#include "gui/browser/BrowseForm.h"
#include "gui/charts/GraphForm.h"
#include "gui/dialogs/ScoresDlg.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

using PerformanceScoresDlgTest = MainFormTest;

TEST_F(PerformanceScoresDlgTest, ChoicesAreCheckedKeptAndGiveTheScores) {
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(false, 2, 3, 8)), true);
    QAction* action = m_form->ProcedureAction("performance-scores");
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->isEnabled());

    int runs = 0;
    m_ui.OnExec = [&](QDialog& d) -> int {
        ++runs;
        auto* dlg = dynamic_cast<TScoresDlg*>(&d);
        EXPECT_NE(dlg, nullptr);
        if (!dlg) {
            return QDialog::Rejected;
        }
        if (runs == 1) {
            EXPECT_TRUE(dlg->AssignedButton(TAssignedChoice::Auto)->isChecked());
            EXPECT_TRUE(dlg->SigmaButton(TSigmaChoice::Robust)->isChecked());
            EXPECT_FALSE(dlg->SigmaEdit(0)->isEnabled());
            EXPECT_TRUE(dlg->SigmaEdit(1)->isVisibleTo(dlg));
            EXPECT_FALSE(dlg->SigmaEdit(2)->isVisibleTo(dlg)) << "two levels";
            dlg->AssignedButton(TAssignedChoice::Consensus)->setChecked(true);
            dlg->SigmaButton(TSigmaChoice::Typed)->setChecked(true);
            EXPECT_TRUE(dlg->SigmaEdit(0)->isEnabled());
            dlg->SigmaEdit(0)->setText(QStringLiteral("0.5"));
            // The second level's value is missing: OK is refused.
            const std::size_t messages = m_ui.Messages.size();
            dlg->accept();
            EXPECT_EQ(dlg->result(), QDialog::Rejected);
            EXPECT_EQ(m_ui.Messages.size(), messages + 1);
            dlg->SigmaEdit(1)->setText(QStringLiteral("1.5"));
            dlg->accept();
            EXPECT_EQ(dlg->result(), QDialog::Accepted);
            return dlg->result();
        }
        // The next run offers what the first chose; Cancel.
        EXPECT_TRUE(dlg->AssignedButton(TAssignedChoice::Consensus)->isChecked());
        EXPECT_TRUE(dlg->SigmaButton(TSigmaChoice::Typed)->isChecked());
        EXPECT_EQ(dlg->SigmaEdit(0)->text(), QStringLiteral("0.5"));
        EXPECT_EQ(dlg->SigmaEdit(1)->text(), QStringLiteral("1.5"));
        return QDialog::Rejected;
    };
    const std::size_t browsers = m_form->Browsers().size();
    const std::size_t charts = m_form->Charts().size();
    action->trigger();
    ASSERT_EQ(m_form->Browsers().size(), browsers + 1);
    EXPECT_EQ(m_form->Browsers().back()->HelpContext(), 7100);
    EXPECT_EQ(m_form->Browsers().back()->windowTitle().toStdString(),
              "Evaluation of laboratories - Performance scores");
    // A chart per level and the overview.
    EXPECT_EQ(m_form->Charts().size(), charts + 3);
    const Program& p = m_form->program();
    ASSERT_TRUE(p.ScoreOptions);
    EXPECT_EQ(p.ScoreOptions->Sigma, TSigmaChoice::Typed);
    EXPECT_EQ(p.ScoreOptions->TypedSigma, (std::vector<double>{0.5, 1.5}));

    action->trigger();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(m_form->Browsers().size(), browsers + 1);
    EXPECT_EQ(m_form->Charts().size(), charts + 3);
}

} // namespace
} // namespace veltrio::gui::testing
