// The weight function, the regressions and ISO Guide 35 from the menu of the
// general analytical quality: the weight dialog (its list, its live chart,
// Cancel), "Choose a laboratory" and the windows the commands open.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTextBrowser>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "GuiFixture.h"
#include "base/AtomicFile.h"
#include "charts/GraphWindow.h"
#include "gui/browser/BrowseForm.h"
#include "gui/charts/GraphForm.h"
#include "gui/dialogs/ExcludeLabDlg.h"
#include "gui/dialogs/WeightFuncGraphForm.h"
#include "gui/shell/HelpSystem.h"
#include "gui/shell/HelpWindow.h"
#include "gui/shell/MenuCommands.h"
#include "quality/Weights.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

using QualityMenusTest = MainFormTest;

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

std::string Fixture(const std::string& name) {
    std::string text;
    veltrio::ReadWholeFile(std::filesystem::path(VELTRIO_TEST_DATA) / "quality" / (name + ".PAR"),
                           text);
    return text;
}

// The chart's curve: the shapes that the relation draws.
std::vector<std::string> Shapes(const TGraphWindow& chart) {
    return chart.Describe();
}

TEST_F(QualityMenusTest, WeightDialogIgnoresAnInvalidRelationAndCancelRestores) {
    // Relations 0, 2 and 4 give no positive weight at the negative assigned
    // value; relation 1 is proposed.
    m_form->OpenStudy(WriteFile(QStringLiteral("n.PAR"), Fixture("REG_NEGATIVE")), true);
    ASSERT_TRUE(m_form->program().StudyLoaded);
    bool shown = false;
    m_ui.OnExec = [&](QDialog& d) {
        auto* dialog = dynamic_cast<TWeightFuncGraphForm*>(&d);
        EXPECT_NE(dialog, nullptr);
        if (!dialog) {
            return int(QDialog::Rejected);
        }
        shown = true;
        EXPECT_EQ(dialog->property("helpContext").toInt(), 1400);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Determination of weight function"));
        QComboBox* list = dialog->cbRelation();
        EXPECT_EQ(list->count(), 5);
        EXPECT_EQ(list->currentIndex(), 1);
        EXPECT_EQ(dialog->lblBestRelation()->text(),
                  QString::fromUtf8("Best relation: s(R) = a + b·µ"));
        auto* model = qobject_cast<QStandardItemModel*>(list->model());
        EXPECT_FALSE(model->item(2)->isEnabled());
        EXPECT_TRUE(model->item(3)->isEnabled());
        const auto before = Shapes(dialog->Chart());
        // An invalid relation: ignored, the previous curve drawn again.
        list->setCurrentIndex(2);
        EXPECT_EQ(list->currentIndex(), 1);
        EXPECT_EQ(m_form->program().Weights->CurrentRelation, 1);
        EXPECT_EQ(Shapes(dialog->Chart()), before);
        // A valid one: a new curve at once.
        list->setCurrentIndex(3);
        EXPECT_EQ(m_form->program().Weights->CurrentRelation, 3);
        EXPECT_NE(Shapes(dialog->Chart()), before);
        // Copy puts the chart on the clipboard; Help shows the dialog's topic.
        QApplication::clipboard()->clear();
        dialog->CopyButton()->click();
        const QMimeData* copied = QApplication::clipboard()->mimeData();
        EXPECT_TRUE(copied && copied->hasFormat(QStringLiteral("image/svg+xml")));
        dialog->findChild<QPushButton*>(QStringLiteral("HelpBtn"))->click();
        EXPECT_TRUE(m_form->Help().Window() &&
                    m_form->Help().Window()->Browser()->documentTitle() ==
                        QStringLiteral("Weight function dialog"));
        // A look at the dialog (VELTRIO_SCREENSHOTS names a folder).
        if (const char* dir = std::getenv("VELTRIO_SCREENSHOTS")) {
            dialog->show();
            dialog->grab().save(QString::fromUtf8(dir) + QStringLiteral("/weight-dialog.png"));
        }
        return int(QDialog::Rejected);
    };
    m_form->RunMenuCommand(Command("determination-of-weight-function"));
    EXPECT_TRUE(shown);
    const TWeights& w = *m_form->program().Weights;
    EXPECT_EQ(w.CurrentRelation, 1);
    EXPECT_FALSE(w.Determined);
    EXPECT_TRUE(m_form->Browsers().empty());
    EXPECT_TRUE(m_form->Charts().empty());
    // The regression asks for the weight function and stops at Cancel.
    shown = false;
    m_form->RunMenuCommand(Command("regression-analysis"));
    EXPECT_TRUE(shown);
    EXPECT_TRUE(m_form->Browsers().empty());
}

TEST_F(QualityMenusTest, CommandsOpenTheirWindows) {
    m_form->OpenStudy(WriteFile(QStringLiteral("g.PAR"), Fixture("GLUC_ASSIGNED")), true);
    ASSERT_TRUE(m_form->program().StudyLoaded);
    int weightDialogs = 0;
    QString labTitle;
    m_ui.OnExec = [&](QDialog& d) {
        if (auto* dialog = dynamic_cast<TWeightFuncGraphForm*>(&d)) {
            ++weightDialogs;
            dialog->cbRelation()->setCurrentIndex(1);
            return int(QDialog::Accepted);
        }
        if (auto* labs = dynamic_cast<TExcludeLabDlg*>(&d)) {
            labTitle = labs->windowTitle();
            EXPECT_EQ(labs->LBLabList()->selectionMode(), QAbstractItemView::SingleSelection);
            labs->LBLabList()->item(1)->setSelected(true);
            return int(QDialog::Accepted);
        }
        ADD_FAILURE() << "unexpected dialog " << d.windowTitle().toStdString();
        return int(QDialog::Rejected);
    };
    m_form->RunMenuCommand(Command("regression-analysis"));
    EXPECT_EQ(weightDialogs, 1);
    EXPECT_EQ(HelpContexts(*m_form), (std::vector<int>{6200, 6300}));
    EXPECT_EQ(m_form->Charts().size(), 2u);
    EXPECT_EQ(m_form->program().Weights->CurrentRelation, 1);
    // Determined: the one-laboratory regression asks only for the laboratory.
    m_form->RunMenuCommand(Command("regression-analysis-on-a-laboratory"));
    EXPECT_EQ(weightDialogs, 1);
    EXPECT_EQ(labTitle, QStringLiteral("Choose a laboratory"));
    EXPECT_EQ(HelpContexts(*m_form), (std::vector<int>{6200, 6300, 6500}));
    ASSERT_EQ(m_form->Charts().size(), 3u);
    m_form->RunMenuCommand(Command("iso-guide-35-1989"));
    EXPECT_EQ(HelpContexts(*m_form), (std::vector<int>{6200, 6300, 6500, 6400}));
    EXPECT_TRUE(m_ui.Messages.empty());
    // Cancelling "Choose a laboratory" opens nothing.
    m_ui.OnExec = [](QDialog&) { return int(QDialog::Rejected); };
    m_form->RunMenuCommand(Command("regression-analysis-on-a-laboratory"));
    EXPECT_EQ(m_form->Browsers().size(), 4u);
    if (const char* dir = std::getenv("VELTRIO_SCREENSHOTS")) {
        for (TGraphForm* chart : m_form->Charts()) {
            chart->resize(700, 800);
            chart->grab().save(QString::fromUtf8(dir) + "/" + chart->windowTitle() + ".png");
        }
    }
}

TEST_F(QualityMenusTest, ALaboratoryWithoutTwoLevelsIsSaid) {
    // Laboratory L01 has results in level A only.
    std::string text = Fixture("REG_TWO_LEVELS");
    const std::string line = "  01 K01 ";
    const auto second = text.find(line, text.find(line) + 1);
    ASSERT_NE(second, std::string::npos);
    const auto end = text.find(" M1", second);
    text.replace(second, end - second, line + "-99 -99");
    m_form->OpenStudy(WriteFile(QStringLiteral("t.PAR"), text), true);
    ASSERT_TRUE(m_form->program().StudyLoaded);
    m_ui.OnExec = [&](QDialog& d) {
        if (auto* labs = dynamic_cast<TExcludeLabDlg*>(&d)) {
            labs->LBLabList()->item(0)->setSelected(true);
            return int(QDialog::Accepted);
        }
        ADD_FAILURE() << "the weight dialog came first";
        return int(QDialog::Rejected);
    };
    m_form->RunMenuCommand(Command("regression-analysis-on-a-laboratory"));
    ASSERT_EQ(m_ui.Messages.size(), 1u);
    EXPECT_EQ(m_ui.Messages[0].Text,
              QStringLiteral("There are no levels with two results for the specfied lab"));
    EXPECT_TRUE(m_form->Browsers().empty());
}

TEST_F(QualityMenusTest, TheTopicsOfTheQualityCommandsExist) {
    struct Topic {
        int Context;
        const char* Title;
    } topics[] = {{1400, "Weight function dialog"},
                  {6200, "Determination of weight function"},
                  {6300, "Regression analysis"},
                  {6400, "ISO Guide 35 : 1989"},
                  {6500, "Regression analysis on a laboratory"}};
    for (const Topic& t : topics) {
        m_form->Help().ShowContext(t.Context);
        ASSERT_TRUE(m_form->Help().Window());
        EXPECT_EQ(m_form->Help().Window()->Browser()->documentTitle(), QString::fromUtf8(t.Title))
            << t.Context;
    }
}

} // namespace
} // namespace veltrio::gui::testing
