// The commands of the Tools menu that evaluate the loaded study: method
// evaluation, confidence ellipses with their method grouping dialog, and
// histograms.
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "GuiFixture.h"
#include "gui/browser/BrowseForm.h"
#include "gui/charts/GraphForm.h"
#include "gui/dialogs/ChoseMethodDlg.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

using ToolsMenusTest = MainFormTest;

std::string Fixture(const char* name) {
    std::ifstream in(std::string(VELTRIO_TEST_DATA) + "/tools/" + name);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// With VELTRIO_SHOT_DIR set, a picture of the widget for a look by eye.
void Picture(QWidget& w, const char* name) {
    if (const char* dir = std::getenv("VELTRIO_SHOT_DIR")) {
        for (int i = 0; i < 10; ++i) {
            QApplication::processEvents();
        }
        w.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromLatin1(name)));
    }
}

TEST(ChoseMethodDlgTest, ControlsAndTheRulesOfTheGrid) {
    TChoseMethodDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("ChoseMethodDlg"));
    EXPECT_EQ(dlg.property("helpContext").toInt(), 2200);
    dlg.SetCodes({"A", "B", "C"});
    ASSERT_EQ(dlg.Methods()->count(), 3);
    EXPECT_EQ(dlg.MthGrid()->rowCount(), 5);
    EXPECT_EQ(dlg.MthGrid()->columnCount(), 3);
    EXPECT_EQ(dlg.Display()->checkedId(), 0);
    // A cell takes a code when it is the first of its row or follows a
    // filled cell, and the row does not hold the code yet.
    EXPECT_FALSE(dlg.CanDrop(0, 1, "A"));
    EXPECT_TRUE(dlg.DropCode(0, 0, "A"));
    EXPECT_FALSE(dlg.CanDrop(0, 1, "A"));
    EXPECT_TRUE(dlg.DropCode(0, 1, "B"));
    EXPECT_TRUE(dlg.DropCode(0, 2, "C"));
    EXPECT_FALSE(dlg.CanDrop(5, 0, "A"));
    EXPECT_FALSE(dlg.CanDrop(0, 3, "A"));
    // The same code may stand in another row.
    EXPECT_TRUE(dlg.DropCode(1, 0, "A"));
    // Moving a cell closes the gap in its row; a row takes a code once.
    EXPECT_TRUE(dlg.MoveCell(0, 1, 1, 1));
    EXPECT_EQ(dlg.CellText(0, 0), QStringLiteral("A"));
    EXPECT_EQ(dlg.CellText(0, 1), QStringLiteral("C"));
    EXPECT_EQ(dlg.CellText(0, 2), QString());
    EXPECT_EQ(dlg.CellText(1, 1), QStringLiteral("B"));
    EXPECT_FALSE(dlg.MoveCell(0, 0, 1, 2));
    EXPECT_EQ(dlg.CellText(0, 0), QStringLiteral("A"));
    // Removing one does too.
    dlg.RemoveCell(0, 0);
    EXPECT_EQ(dlg.CellText(0, 0), QStringLiteral("C"));
    // A double click fills the first empty cell of the current row.
    dlg.MthGrid()->setCurrentCell(2, 0);
    dlg.AddToCurrentRow("B");
    dlg.AddToCurrentRow("B");
    dlg.AddToCurrentRow("C");
    EXPECT_EQ(dlg.CellText(2, 0), QStringLiteral("B"));
    EXPECT_EQ(dlg.CellText(2, 1), QStringLiteral("C"));
    dlg.Display()->button(1)->setChecked(true);
    const TMethodGroupChoice choice = dlg.Choice();
    EXPECT_EQ(choice.Groups[0], (std::vector<std::string>{"C"}));
    EXPECT_EQ(choice.Groups[1], (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(choice.Groups[2], (std::vector<std::string>{"B", "C"}));
    EXPECT_TRUE(choice.Groups[3].empty());
    EXPECT_EQ(choice.DisplayType, 1);
    std::vector<int> help;
    QObject::connect(&dlg, &TChoseMethodDlg::HelpRequested, [&](int c) { help.push_back(c); });
    dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Help)->click();
    EXPECT_EQ(help, std::vector<int>{2200});
}

// The drops as the mouse makes them: a code from the list on a cell, a cell
// on another cell, a cell on the list.
TEST(ChoseMethodDlgTest, DropsOnTheGridAndTheList) {
    TChoseMethodDlg dlg;
    dlg.SetCodes({"A", "B"});
    dlg.resize(600, 400);
    dlg.show();
    QApplication::processEvents();
    auto drop = [&](QWidget* target, QPoint at, const QString& type, const QByteArray& data) {
        QMimeData mime;
        mime.setData(type, data);
        // Qt hands a drop only to the widget that took the drag when it
        // entered.
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent event(QPointF(at), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    QTableWidget* grid = dlg.MthGrid();
    auto cellCentre = [&](int row, int col) {
        return grid->visualRect(grid->model()->index(row, col)).center();
    };
    const QString code = TChoseMethodDlg::CodeMimeType();
    const QString cell = TChoseMethodDlg::CellMimeType();
    // Not into the second cell of an empty row.
    drop(grid->viewport(), cellCentre(0, 1), code, "A");
    EXPECT_EQ(dlg.CellText(0, 1), QString());
    drop(grid->viewport(), cellCentre(0, 0), code, "A");
    drop(grid->viewport(), cellCentre(0, 1), code, "B");
    EXPECT_EQ(dlg.CellText(0, 0), QStringLiteral("A"));
    EXPECT_EQ(dlg.CellText(0, 1), QStringLiteral("B"));
    // A cell onto the first cell of another row: moved, the gap closed.
    drop(grid->viewport(), cellCentre(3, 0), cell, "0,0");
    EXPECT_EQ(dlg.CellText(3, 0), QStringLiteral("A"));
    EXPECT_EQ(dlg.CellText(0, 0), QStringLiteral("B"));
    EXPECT_EQ(dlg.CellText(0, 1), QString());
    // A cell onto the list: removed.
    drop(dlg.Methods()->viewport(), QPoint(5, 5), cell, "3,0");
    EXPECT_EQ(dlg.CellText(3, 0), QString());
    EXPECT_EQ(dlg.Choice().Groups[0], std::vector<std::string>{"B"});
    EXPECT_TRUE(dlg.Choice().Groups[3].empty());
}

TEST_F(ToolsMenusTest, HistogramsAndMethodEvaluationShowTheirWindows) {
    m_form->OpenStudy(WriteFile(QStringLiteral("m.PAR"), Fixture("METHODS.PAR")), true);
    ASSERT_TRUE(m_form->program().StudyLoaded);
    QAction* histograms = m_form->ProcedureAction("histograms");
    ASSERT_TRUE(histograms->isEnabled());
    histograms->trigger();
    ASSERT_EQ(m_form->Charts().size(), 3u);
    EXPECT_EQ(m_form->Charts().front()->windowTitle().toStdString(), "Histogram, level A");
    EXPECT_EQ(m_form->Charts().front()->HelpContext(), 8400);
    ASSERT_EQ(m_form->Browsers().size(), 1u);
    EXPECT_EQ(m_form->Browsers().back()->windowTitle().toStdString(), "Histograms");
    EXPECT_EQ(m_form->Browsers().back()->HelpContext(), 8400);
    Picture(*m_form->Charts().front(), "histogram_chart.png");

    QAction* methods = m_form->ProcedureAction("method-evaluation");
    ASSERT_TRUE(methods->isEnabled());
    methods->trigger();
    ASSERT_EQ(m_form->Browsers().size(), 2u);
    EXPECT_EQ(m_form->Browsers().back()->windowTitle().toStdString(), "Method evaluation");
    EXPECT_EQ(m_form->Browsers().back()->HelpContext(), 8200);
    Picture(*m_form->Browsers().back(), "method_evaluation.png");
    EXPECT_TRUE(m_ui.Messages.empty());
    // Two replicates: the ellipses are offered.
    EXPECT_TRUE(m_form->ProcedureAction("confidence-ellipses")->isEnabled());
}

TEST_F(ToolsMenusTest, ConfidenceEllipsesFromTheDialog) {
    m_form->OpenStudy(WriteFile(QStringLiteral("c.PAR"), Fixture("CREOSOTE_M.PAR")), true);
    std::vector<QString> offered;
    m_ui.OnExec = [&](QDialog& d) {
        auto* dlg = dynamic_cast<TChoseMethodDlg*>(&d);
        if (!dlg) {
            return int(QDialog::Rejected);
        }
        for (int i = 0; i < dlg->Methods()->count(); ++i) {
            offered.push_back(dlg->Methods()->item(i)->text());
        }
        dlg->DropCode(0, 0, "A");
        dlg->DropCode(1, 0, "B");
        dlg->DropCode(1, 1, "C");
        dlg->DropCode(2, 0, "C");
        dlg->show();
        Picture(*dlg, "chose_method_dlg.png");
        return int(QDialog::Accepted);
    };
    m_form->ProcedureAction("confidence-ellipses")->trigger();
    EXPECT_EQ(offered, (std::vector<QString>{"A", "B", "C"}));
    ASSERT_EQ(m_form->Charts().size(), 1u);
    const TGraphForm& chart = *m_form->Charts().back();
    EXPECT_EQ(chart.windowTitle().toStdString(), "Confidence ellipses, level 1");
    EXPECT_EQ(chart.HelpContext(), 8300);
    Picture(*m_form->Charts().back(), "ellipses_chart.png");
    EXPECT_TRUE(m_ui.Messages.empty());

    // Cancel: no window, no message.
    m_ui.OnExec = [](QDialog&) { return int(QDialog::Rejected); };
    m_form->ProcedureAction("confidence-ellipses")->trigger();
    EXPECT_EQ(m_form->Charts().size(), 1u);
    EXPECT_TRUE(m_ui.Messages.empty());
}

} // namespace
} // namespace veltrio::gui::testing
