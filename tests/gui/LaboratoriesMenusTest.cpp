// The commands of the menu "Evaluation of laboratories": Mandel's h- and
// k-values open their document and their charts, each time from the marks
// of that moment.
#include <QAction>
#include <string>
#include <vector>

#include "GuiFixture.h"
#include "documents/Contents.h"
#include "gui/browser/BrowseForm.h"
#include "gui/charts/GraphForm.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

using LaboratoriesMenusTest = MainFormTest;

TEST_F(LaboratoriesMenusTest, MandelCommandsShowTheirDocumentAndCharts) {
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(false, 3, 3)), true);
    struct Case {
        const char* Procedure;
        const char* Document;
        const char* Chart;
    } cases[] = {
        {"mandels-h-values", "Evaluation of laboratories - Mandel's h statistic",
         "Chart - Mandel's h statistic"},
        {"mandels-k-values", "Evaluation of laboratories - Mandel's k statistic",
         "Chart - Mandel's k statistic"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Procedure);
        const std::size_t browsers = m_form->Browsers().size();
        const std::size_t charts = m_form->Charts().size();
        QAction* action = m_form->ProcedureAction(c.Procedure);
        ASSERT_NE(action, nullptr);
        ASSERT_TRUE(action->isEnabled());
        action->trigger();
        ASSERT_EQ(m_form->Browsers().size(), browsers + 1);
        ASSERT_EQ(m_form->Charts().size(), charts + 1);
        const TTavBrowseForm& browser = *m_form->Browsers().back();
        EXPECT_EQ(browser.windowTitle().toStdString(), c.Document);
        EXPECT_EQ(browser.HelpContext(), 7000);
        const TGraphForm& chart = *m_form->Charts().back();
        EXPECT_EQ(chart.windowTitle().toStdString(), c.Chart);
        EXPECT_EQ(chart.HelpContext(), 7000);
        EXPECT_TRUE(m_ui.Messages.empty());
    }
}

// A laboratory excluded after a first run has no value in the next one.
TEST_F(LaboratoriesMenusTest, EveryRunReadsTheMarksOfItsMoment) {
    m_form->OpenStudy(WriteFile(QStringLiteral("s.PAR"), StudyText(false, 1, 3)), true);
    Program& p = m_form->program();
    auto firstRow = [&] {
        for (const auto& line : m_form->Browsers().back()->Document().AsStrings()) {
            if (line.rfind("L01\t", 0) == 0) {
                return line;
            }
        }
        return std::string();
    };
    m_form->ProcedureAction("mandels-h-values")->trigger();
    const std::string before = firstRow();
    ASSERT_FALSE(before.empty());
    EXPECT_NE(before, "L01\t-\t\t") << before;
    p.CurrentStudy->Level(1).SetMark(1, MarkUserExcluded);
    p.MarksChanged();
    m_form->ProcedureAction("mandels-h-values")->trigger();
    EXPECT_EQ(firstRow(), "L01\t-\t\t") << "excluded: no value";
}

} // namespace
} // namespace veltrio::gui::testing
