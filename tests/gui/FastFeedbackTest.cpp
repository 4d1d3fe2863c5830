// The command "Fast feedback forms": the file selection dialog moves only
// files that read and keeps the order chosen, the options dialog gives the
// range of laboratories, the forms come as one document with the table
// file, and the user's study stays the loaded one on every path.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <string>
#include <vector>

#include "GuiFixture.h"
#include "documents/Contents.h"
#include "gui/browser/BrowseForm.h"
#include "gui/dialogs/FFselectDlg.h"
#include "gui/dialogs/FfResidualDlg.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

using FastFeedbackTest = MainFormTest;

std::string Fixture(const char* name) {
    QFile f(QStringLiteral(VELTRIO_TEST_DATA "/tools/") + QString::fromUtf8(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll().toStdString();
}

QStringList Names(const QListWidget* list) {
    QStringList names;
    for (int row = 0; row < list->count(); ++row) {
        names << list->item(row)->text();
    }
    return names;
}

void Select(QListWidget* list, const QStringList& names) {
    for (int row = 0; row < list->count(); ++row) {
        list->item(row)->setSelected(names.contains(list->item(row)->text()));
    }
}

TEST_F(FastFeedbackTest, ChosenFilesGiveOneDocumentAndTheTableFile) {
    // The round lies in its own folder, with a file that does not read.
    const QString round = m_dir.filePath(QStringLiteral("round"));
    ASSERT_TRUE(QDir().mkpath(round));
    for (const char* name : {"ROUND_1.PAR", "ROUND_2.PAR", "ROUND_3.PAR"}) {
        WriteFile(QStringLiteral("round/") + QString::fromUtf8(name), Fixture(name));
    }
    WriteFile(QStringLiteral("round/BROKEN.par"), "FILEHEADER\n  NLABS = x\n");
    WriteFile(QStringLiteral("round/notes.txt"), "not a study");

    const QString own = WriteFile(QStringLiteral("own.PAR"), StudyText(false, 2, 2));
    m_form->OpenStudy(own, true);
    Program& p = m_form->program();
    const std::string ownSubstance = p.CurrentStudy->Substance;

    int dialogs = 0;
    m_ui.SaveName = m_dir.filePath(QStringLiteral("forms"));
    m_ui.OnExec = [&](QDialog& d) -> int {
        ++dialogs;
        if (auto* sel = dynamic_cast<TFFselectDlg*>(&d)) {
            EXPECT_EQ(sel->windowTitle(), QStringLiteral("Fast Feedback File Selection"));
            // The folder is opened from the directory list.
            sel->SetDirectory(m_dir.path());
            const auto folders = sel->DirectoryList()->findItems(QStringLiteral("round"),
                                                                 Qt::MatchExactly);
            EXPECT_EQ(folders.size(), 1);
            if (!folders.isEmpty()) {
                emit sel->DirectoryList()->itemActivated(folders.front());
            }
            EXPECT_EQ(sel->Directory(), QDir(round).absolutePath());
            EXPECT_EQ(sel->DirectoryList()->item(0)->text(), QStringLiteral(".."));
            QListWidget* from = sel->UnselectedList();
            QListWidget* to = sel->SelectedList();
            EXPECT_EQ(Names(from), (QStringList{"BROKEN.par", "ROUND_1.PAR", "ROUND_2.PAR",
                                                "ROUND_3.PAR"}));
            EXPECT_FALSE(sel->RemoveButton()->isEnabled());
            // The broken file stays behind with the reader's message; the
            // good ones move.
            const std::size_t messages = m_ui.Messages.size();
            Select(from, {"BROKEN.par", "ROUND_3.PAR"});
            sel->AddButton()->click();
            EXPECT_EQ(m_ui.Messages.size(), messages + 1);
            EXPECT_EQ(Names(to), QStringList{"ROUND_3.PAR"});
            EXPECT_EQ(Names(from), (QStringList{"BROKEN.par", "ROUND_1.PAR", "ROUND_2.PAR"}));
            // The chosen order is kept: 3, then 1.
            Select(from, {"ROUND_1.PAR"});
            sel->AddButton()->click();
            EXPECT_EQ(Names(to), (QStringList{"ROUND_3.PAR", "ROUND_1.PAR"}));
            // Given back, a file is offered again; then chosen once more.
            Select(to, {"ROUND_3.PAR"});
            sel->RemoveButton()->click();
            EXPECT_EQ(Names(to), QStringList{"ROUND_1.PAR"});
            EXPECT_TRUE(Names(from).contains("ROUND_3.PAR"));
            Select(from, {"ROUND_2.PAR"});
            sel->AddButton()->click();
            Select(from, {"ROUND_3.PAR"});
            sel->AddButton()->click();
            EXPECT_EQ(Names(to), (QStringList{"ROUND_1.PAR", "ROUND_2.PAR", "ROUND_3.PAR"}));
            EXPECT_EQ(sel->LargestNoOfLabs(), 7);
            // Probing did not replace the user's study.
            EXPECT_EQ(p.CurrentStudy->Substance, ownSubstance);
            return QDialog::Accepted;
        }
        if (auto* opt = dynamic_cast<TFfResidualDlg*>(&d)) {
            EXPECT_EQ(opt->windowTitle(), QStringLiteral("Fast Feedback Residual"));
            EXPECT_TRUE(opt->ResistantButton()->isChecked());
            EXPECT_TRUE(opt->SaveAsFileBox()->isChecked());
            EXPECT_TRUE(opt->AllLabsButton()->isChecked());
            EXPECT_EQ(opt->ToBox()->maximum(), 7);
            EXPECT_EQ(opt->ToBox()->value(), 7);
            // Changing a limit chooses the range.
            opt->FromBox()->setValue(2);
            opt->ToBox()->setValue(3);
            EXPECT_TRUE(opt->RangeButton()->isChecked());
            opt->GaussianButton()->setChecked(true);
            return QDialog::Accepted;
        }
        ADD_FAILURE() << "unexpected dialog " << d.windowTitle().toStdString();
        return QDialog::Rejected;
    };
    const std::size_t browsers = m_form->Browsers().size();
    QAction* action = m_form->ProcedureAction("fast-feedback-forms");
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->isEnabled());
    action->trigger();
    EXPECT_EQ(dialogs, 2);
    ASSERT_EQ(m_form->Browsers().size(), browsers + 1);
    const TTavBrowseForm& browser = *m_form->Browsers().back();
    EXPECT_EQ(browser.windowTitle().toStdString(), p.LibText(4, 12));
    EXPECT_EQ(browser.HelpContext(), 900);
    // The table file holds the forms of laboratories 2 and 3 only, Gaussian.
    const std::string tab = ReadFile(m_dir.filePath(QStringLiteral("forms.tab")));
    EXPECT_NE(tab.find("L02"), std::string::npos);
    EXPECT_NE(tab.find("L03"), std::string::npos);
    EXPECT_EQ(tab.find("L01"), std::string::npos);
    EXPECT_EQ(tab.find("L04"), std::string::npos);
    // The heading of the residual columns stands on two lines.
    EXPECT_NE(tab.find("Gaussian residual"), std::string::npos);
    EXPECT_EQ(tab.find("Resistant residual"), std::string::npos);
    ASSERT_EQ(m_ui.SaveProposals.size(), 1u);
    EXPECT_TRUE(m_ui.SaveProposals.front().endsWith(QStringLiteral(".tab")));
    // The user's study is the loaded one afterwards.
    ASSERT_TRUE(p.StudyLoaded && p.CurrentStudy);
    EXPECT_EQ(p.CurrentStudy->Substance, ownSubstance);
    EXPECT_EQ(p.CurrentStudy->NoOfLevels, 2);
}

// Cancel in either dialog ends the command: no document, no table file, and
// the options dialog is not shown after a cancelled file selection.
TEST_F(FastFeedbackTest, CancelInEitherDialogEndsTheCommand) {
    WriteFile(QStringLiteral("ROUND_1.PAR"), Fixture("ROUND_1.PAR"));
    m_ui.SaveName = m_dir.filePath(QStringLiteral("forms.tab"));
    for (const bool cancelSelection : {true, false}) {
        SCOPED_TRACE(cancelSelection ? "selection" : "options");
        std::vector<QString> shown;
        m_ui.OnExec = [&](QDialog& d) -> int {
            shown.push_back(d.windowTitle());
            if (auto* sel = dynamic_cast<TFFselectDlg*>(&d)) {
                sel->SetDirectory(m_dir.path());
                Select(sel->UnselectedList(), {"ROUND_1.PAR"});
                sel->AddButton()->click();
                EXPECT_EQ(Names(sel->SelectedList()), QStringList{"ROUND_1.PAR"});
                return cancelSelection ? QDialog::Rejected : QDialog::Accepted;
            }
            return QDialog::Rejected;
        };
        const std::size_t browsers = m_form->Browsers().size();
        m_form->ProcedureAction("fast-feedback-forms")->trigger();
        EXPECT_EQ(shown.size(), cancelSelection ? 1u : 2u);
        EXPECT_EQ(m_form->Browsers().size(), browsers);
        EXPECT_FALSE(QFile::exists(m_ui.SaveName));
        EXPECT_TRUE(m_ui.Messages.empty());
    }
}

} // namespace
} // namespace veltrio::gui::testing
