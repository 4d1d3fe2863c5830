// The report texts in their window: what it shows, OK that checks every
// limit before anything is taken and writes the file, the laboratory names
// and legends dialogs, "Edit parameter files", and the commands of the
// hidden Laboratory report submenu.
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>
#include <fstream>

#include "GuiFixture.h"
#include "base/AtomicFile.h"
#include "gui/dialogs/RepTextsForm.h"
#include "study/Program.h"
#include "tools/RepTexts.h"

namespace fs = std::filesystem;

namespace veltrio::gui::testing {
namespace {

using LabReportDialogsTest = MainFormTest;

fs::path RoundDir() { return fs::path(VELTRIO_TEST_DATA) / "tools" / "labreports"; }

TRepTexts Texts(Program& program, const fs::path& file) {
    TRepTexts t(&program);
    t.RepTextsFile = file;
    t.ParDir = RoundDir();
    t.TestName = "Round 7";
    t.HomogeneityText = "Line one\r\nline two";
    t.ReportFiles = {{"LR_1.PAR", {"Zinc", 5, 10, 0, 0, 5, 10, 0, 0}},
                     {"LR_2.PAR", {"Offset", 0, 0, 0.5, 1.0, 0, 0, 0.5, 1.0}}};
    return t;
}

std::string Bytes(const fs::path& p) {
    std::string s;
    ReadWholeFile(p, s);
    return s;
}

TEST_F(LabReportDialogsTest, TheWindowShowsTheTextsAndOkWritesThemOnlyWhenEveryLimitIsANumber) {
    Program& p = m_form->program();
    const fs::path file = Path(QStringLiteral("round.rxt"));
    TRepTexts texts = Texts(p, file);
    TRepTextsForm form(p, texts);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Texts for laboratory reports"));
    EXPECT_EQ(form.Edit("edNavn")->text(), QStringLiteral("Round 7"));
    EXPECT_EQ(form.Memo(0)->toPlainText(), QStringLiteral("Line one\nline two"));
    QTableWidget& grid = *form.FileGrid();
    ASSERT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.horizontalHeaderItem(0)->text(), QStringLiteral("Filnavn"));
    EXPECT_EQ(grid.horizontalHeaderItem(9)->text(), QStringLiteral("Prec. abs 2"));
    EXPECT_EQ(grid.columnWidth(0), 100);
    EXPECT_EQ(grid.item(0, 2)->text(), QStringLiteral("5"));
    EXPECT_EQ(grid.item(1, 4)->text(), QStringLiteral("0.5"));

    // A limit that is not a number: a message, nothing taken, no file.
    form.Edit("edNavn")->setText(QStringLiteral("Round 8"));
    grid.item(1, 5)->setText(QStringLiteral("one"));
    EXPECT_FALSE(form.Commit());
    ASSERT_EQ(m_ui.Messages.size(), 1u);
    EXPECT_TRUE(m_ui.Messages[0].Text.contains(QStringLiteral("\"one\" is not a number")));
    EXPECT_TRUE(m_ui.Messages[0].Text.contains(QStringLiteral("Accu. abs 2")));
    EXPECT_EQ(texts.TestName, "Round 7");
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(grid.currentRow(), 1);
    EXPECT_EQ(grid.currentColumn(), 5);

    // Decimal commas, percents rounded half to even; then the file is
    // written and the texts taken.
    grid.item(1, 5)->setText(QStringLiteral("1,5"));
    grid.item(0, 3)->setText(QStringLiteral("12.5"));
    form.Memo(1)->setPlainText(QStringLiteral("a\nb"));
    form.ShowLegendBox()->setChecked(true);
    ASSERT_TRUE(form.Commit());
    EXPECT_EQ(texts.TestName, "Round 8");
    EXPECT_EQ(texts.StabilityText, "a\r\nb");
    EXPECT_TRUE(texts.ShowLegend);
    EXPECT_DOUBLE_EQ(texts.ReportFiles[1].Limits.AccuAbs2, 1.5);
    EXPECT_EQ(texts.ReportFiles[0].Limits.AccuPct2, 12);
    TRepTexts read(&p);
    read.LoadFile(file);
    EXPECT_TRUE(read.SameContent(texts));
}

TEST_F(LabReportDialogsTest, AFileThatCannotBeWrittenKeepsTheTexts) {
    Program& p = m_form->program();
    const fs::path file = Path(QStringLiteral("no-such-folder")) / "round.rxt";
    TRepTexts texts = Texts(p, file);
    TRepTextsForm form(p, texts);
    form.Edit("edNavn")->setText(QStringLiteral("Changed"));
    EXPECT_FALSE(form.Commit());
    ASSERT_EQ(m_ui.Messages.size(), 1u);
    EXPECT_TRUE(m_ui.Messages[0].Text.contains(QStringLiteral("could not be saved")));
    EXPECT_EQ(texts.TestName, "Round 7");
}

TEST_F(LabReportDialogsTest, NamesLegendsAndParameterFilesReachTheTextsOnOk) {
    Program& p = m_form->program();
    const fs::path file = Path(QStringLiteral("round.rxt"));
    TRepTexts texts = Texts(p, file);
    TRepTextsForm form(p, texts);
    // Laboratory names from a text file of "name;code" lines.
    const QString names = WriteFile(QStringLiteral("names.txt"),
                                    "\"Water works\";\"007\"\nLab Two;12.0\nno code line\n");
    m_ui.OpenName = names;
    m_ui.OnExec = [](QDialog& d) {
        if (auto* f = dynamic_cast<TLabNamesForm*>(&d)) {
            f->LoadButton()->click();
            EXPECT_EQ(f->Grid()->columnWidth(0), 60);
            EXPECT_EQ(f->Grid()->rowCount(), TLabNamesForm::Rows);
            return int(QDialog::Accepted);
        }
        if (auto* f = dynamic_cast<TLegendForm*>(&d)) {
            EXPECT_EQ(f->Grid()->item(1, 0)->text(), QStringLiteral("A*"));
            f->Grid()->item(2, 1)->setText(QStringLiteral("Not accepted."));
            return int(QDialog::Accepted);
        }
        return int(QDialog::Rejected);
    };
    form.LabNamesButton()->click();
    form.LegendButton()->click();
    // The files: the same folder keeps the limits of LR_2, LR_3 comes new,
    // LR_1 is no longer chosen.
    QStringList offered;
    form.SetChooseFiles([&](const QString& folder, const QStringList& preselect, QString& chosen,
                            QStringList& names) {
        offered = preselect;
        chosen = folder;
        names = {QStringLiteral("LR_2.PAR"), QStringLiteral("LR_3.PAR")};
        return true;
    });
    form.EditFilesButton()->click();
    EXPECT_EQ(offered, (QStringList{"LR_1.PAR", "LR_2.PAR"}));
    ASSERT_EQ(form.FileGrid()->rowCount(), 2);
    EXPECT_EQ(form.FileGrid()->item(0, 1)->text(), QStringLiteral("Offset"));
    EXPECT_EQ(form.FileGrid()->item(1, 0)->text(), QStringLiteral("LR_3.PAR"));
    EXPECT_EQ(form.FileGrid()->item(1, 2)->text(), QStringLiteral("0"));
    // Nothing reached the texts before OK.
    EXPECT_TRUE(texts.LabNames.empty());
    ASSERT_TRUE(form.Commit());
    const std::vector<TLabName> expected = {{"7", "Water works"}, {"12", "Lab Two"},
                                            {"no code li", ""}}; // codes hold 10 characters
    EXPECT_EQ(texts.LabNames, expected);
    EXPECT_EQ(texts.Legends.at(2), "Not accepted.");
    ASSERT_EQ(texts.ReportFiles.size(), 2u);
    EXPECT_EQ(texts.ReportFiles[0].Name, "LR_2.PAR");
    EXPECT_DOUBLE_EQ(texts.ReportFiles[0].Limits.AccuAbs1, 0.5);

    // Another folder starts every chosen file anew.
    form.SetChooseFiles([&](const QString&, const QStringList&, QString& chosen,
                            QStringList& names) {
        chosen = QString::fromStdString(Path(QStringLiteral("")).string());
        names = {QStringLiteral("LR_2.PAR")};
        return true;
    });
    form.EditFilesButton()->click();
    ASSERT_EQ(form.FileGrid()->rowCount(), 1);
    EXPECT_EQ(form.FileGrid()->item(0, 1)->text(), QString());
}

TEST_F(LabReportDialogsTest, MakeReportAsksForTheTextsAndShowsEveryDocument) {
    Program& p = m_form->program();
    // A report-texts file beside the data files is not there to write to,
    // so the test works on a copy of the round.
    const fs::path dir = Path(QStringLiteral("round"));
    fs::create_directories(dir);
    for (const char* f : {"LR_1.PAR", "LR_2.PAR", "LR_3.PAR"}) {
        fs::copy_file(RoundDir() / f, dir / f);
    }
    TRepTexts texts = Texts(p, dir / "round.rxt");
    std::string why;
    ASSERT_TRUE(texts.SaveRepTexts(why)) << why;
    m_ui.OpenName = QString::fromStdString((dir / "round").string()); // ".rxt" is added
    int optionsAsked = 0;
    m_ui.OnExec = [&](QDialog&) {
        ++optionsAsked;
        return int(QDialog::Accepted);
    };
    m_ui.SaveName.clear(); // no table file
    m_form->ProcedureAction("make-report")->trigger();
    EXPECT_EQ(optionsAsked, 1);
    EXPECT_EQ(m_form->RepTexts().RepTextsFile, dir / "round.rxt");
    EXPECT_EQ(m_form->RepTexts().ParDir, dir);
    // Two files of two levels: four summaries, the overview, the reports.
    EXPECT_EQ(m_form->MdiArea()->subWindowList().size(), 6);
    EXPECT_TRUE(m_ui.Messages.empty()) << m_ui.Messages.front().Text.toStdString();
    EXPECT_FALSE(p.StudyLoaded);
}

} // namespace
} // namespace veltrio::gui::testing
