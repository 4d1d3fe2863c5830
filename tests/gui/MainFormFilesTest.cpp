// The main window's title names the study; the file dialogs start in the
// study's folder, remember the folder used last and propose the window's
// caption as the file name.
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <functional>

#include "GuiFixture.h"
#include "PdfProbe.h"
#include "charts/ChartStyle.h"
#include "documents/Contents.h"
#include "gui/browser/BrowseForm.h"
#include "gui/browser/DocumentFiles.h"
#include "gui/charts/GraphForm.h"
#include "gui/widgets/FileLocations.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

class MainFormFilesTest : public MainFormTest {
protected:
    // A study file in a folder of its own below the temporary folder.
    QString StudyIn(const QString& folder, const QString& name = QStringLiteral("S.PAR")) {
        QDir(m_dir.path()).mkpath(folder);
        return WriteFile(folder + QLatin1Char('/') + name, StudyText(false, 2, 2));
    }
    QString Folder(const QString& folder) const {
        return QFileInfo(m_dir.filePath(folder)).absoluteFilePath();
    }
    void ShowDocument(const std::string& caption) {
        auto doc = std::make_shared<TTavContents>();
        doc->AddText("A line");
        Host& host = *m_form;
        host.ShowDocument(doc, caption, 0);
    }
    void ShowChart(const std::string& caption) {
        Host& host = *m_form;
        host.ShowChart(NewChartWindow(m_form->program().Settings), caption, 0);
    }
};

TEST(MainFormFileNames, ACaptionBecomesAFileNameEveryFileSystemTakes) {
    struct Case {
        const char* Caption;
        const char* Name;
    };
    const Case cases[] = {
        {"Descriptive statistics", "Descriptive statistics"},
        {"Youden plot Glucose, mg/l Level A", "Youden plot Glucose, mg-l Level A"},
        {"ISO Guide 35 : 1989", "ISO Guide 35 - 1989"},
        {"a\\b*c?d\"e<f>g|h", "a-b-c-d-e-f-g-h"},
        {"  Mandel's   h-values\tLevel 2 ", "Mandel's h-values Level 2"},
        {"Level 1.", "Level 1"},
        {"..hidden", "hidden"},
        {"Tab\x01le", "Tab-le"},
        {" . ", "Document"},
        {"", "Document"},
        {"Blei in Böden", "Blei in Böden"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TFileLocations::FileNameOf(QString::fromUtf8(c.Caption)),
                  QString::fromUtf8(c.Name))
            << c.Caption;
    }
}

TEST_F(MainFormFilesTest, TheTitleNamesTheStudyFileAndTheActiveWindow) {
    const QString good = StudyIn(QStringLiteral("a"), QStringLiteral("LEAD.PAR"));
    const QString bad =
        WriteFile(QStringLiteral("BAD.PAR"), "FILEHEADER\n  UNIFORM\n  NLABS = x\n");
    struct Step {
        const char* Name;
        std::function<void()> Do;
        const char* Title;
    };
    const Step steps[] = {
        {"start", [] {}, "VELTRIO"},
        {"study opened", [&] { m_form->OpenStudy(good, true); }, "VELTRIO - LEAD.PAR"},
        {"document shown", [&] { ShowDocument("Descriptive statistics"); },
         "VELTRIO - LEAD.PAR - [Descriptive statistics]"},
        {"chart shown", [&] { ShowChart("Youden plot"); }, "VELTRIO - LEAD.PAR - [Youden plot]"},
        {"chart restored", [&] { m_form->MdiArea()->currentSubWindow()->showNormal(); },
         "VELTRIO - LEAD.PAR - [Youden plot]"},
        {"document activated",
         [&] { m_form->MdiArea()->setActiveSubWindow(m_form->MdiArea()->subWindowList().front()); },
         "VELTRIO - LEAD.PAR - [Descriptive statistics]"},
        {"document maximised", [&] { m_form->MdiArea()->currentSubWindow()->showMaximized(); },
         "VELTRIO - LEAD.PAR - [Descriptive statistics]"},
        {"windows closed", [&] { m_form->mnuCloseAllClick(); }, "VELTRIO - LEAD.PAR"},
        {"refused file", [&] { m_form->OpenStudy(bad, true); }, "VELTRIO"},
        {"study again", [&] { m_form->OpenStudy(good, true); }, "VELTRIO - LEAD.PAR"},
    };
    m_form->show();
    for (const Step& s : steps) {
        s.Do();
        EXPECT_EQ(m_form->windowTitle(), QString::fromLatin1(s.Title)) << s.Name;
    }
}

TEST_F(MainFormFilesTest, TheOpenDialogStartsInTheFolderOfTheStudyOpenedLast) {
    const QString a = StudyIn(QStringLiteral("a"));
    const QString b = StudyIn(QStringLiteral("b"));
    m_ui.OpenName.clear();
    m_form->mnuOpenClick();
    m_ui.OpenName = a;
    m_form->mnuOpenClick();
    m_ui.OpenName = b;
    m_form->mnuOpenClick();
    m_ui.OpenName.clear();
    m_form->mnuOpenClick();
    // A study from the file history counts as well.
    m_form->HistoryActions().at(1)->trigger();
    m_form->mnuOpenClick();
    const std::vector<QString> expected = {QDir::homePath(), QDir::homePath(), Folder("a"),
                                           Folder("b"), Folder("a")};
    EXPECT_EQ(m_ui.OpenFolders, expected);

    // The next start begins where the newest file of the history lies.
    m_form->SaveState();
    m_form.reset();
    m_ui.OpenFolders.clear();
    m_form = MakeForm();
    m_form->mnuOpenClick();
    EXPECT_EQ(m_ui.OpenFolders, std::vector<QString>{Folder("a")});
}

TEST_F(MainFormFilesTest, SaveAsProposesTheCaptionInTheStudysFolderThenTheFolderSavedInto) {
    m_form->OpenStudy(StudyIn(QStringLiteral("study")), true);
    QDir(m_dir.path()).mkpath(QStringLiteral("out"));
    const QString out = Folder("out");
    struct Step {
        const char* Name;
        std::function<void()> Show;
        QString Answer;       // the file the user chooses; empty cancels
        QString ChosenFilter; // the filter the user chooses; empty keeps it
        QString Proposed;
        QString FilterOffered;
    };
    const QStringList docs = DocumentFileFilters();
    const QStringList charts = ChartFileFilters();
    const Step steps[] = {
        {"first document",
         [&] { ShowDocument("Descriptive statistics"); },
         {},
         {},
         Folder("study") + "/Descriptive statistics.rtf",
         docs.at(0)},
        {"saved elsewhere as PDF", [] {}, out + "/mine", docs.at(2),
         Folder("study") + "/Descriptive statistics.rtf", docs.at(0)},
        {"next document",
         [&] { ShowDocument("Grubbs outlier test: level 1/2"); },
         {},
         {},
         out + "/Grubbs outlier test- level 1-2.pdf",
         docs.at(2)},
        {"a chart", [&] { ShowChart("Youden plot Glucose, mg/l"); }, out + "/plot.png",
         charts.at(1), out + "/Youden plot Glucose, mg-l.svg", charts.at(0)},
        {"the chart again", [] {}, {}, {}, out + "/Youden plot Glucose, mg-l.png", charts.at(1)},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.Name);
        s.Show();
        m_ui.SaveName = s.Answer;
        m_ui.SaveFilter = s.ChosenFilter;
        m_ui.SaveProposals.clear();
        m_ui.SaveFiltersOffered.clear();
        m_form->mnuSaveAsClick();
        ASSERT_EQ(m_ui.SaveProposals.size(), 1u);
        EXPECT_EQ(m_ui.SaveProposals.front(), s.Proposed);
        EXPECT_EQ(m_ui.SaveFiltersOffered.front(), s.FilterOffered);
    }
    EXPECT_TRUE(QFileInfo(out + "/mine.pdf").isFile());
    EXPECT_TRUE(QFileInfo(out + "/plot.png").isFile());
    EXPECT_TRUE(m_ui.Messages.empty());

    // A study in another folder starts over in its folder.
    m_form->OpenStudy(StudyIn(QStringLiteral("other")), true);
    m_form->MdiArea()->setActiveSubWindow(m_form->MdiArea()->subWindowList().front());
    m_ui.SaveName.clear();
    m_ui.SaveProposals.clear();
    m_form->mnuSaveAsClick();
    ASSERT_EQ(m_ui.SaveProposals.size(), 1u);
    EXPECT_EQ(m_ui.SaveProposals.front(), Folder("other") + "/Descriptive statistics.pdf");
}

TEST_F(MainFormFilesTest, APdfSavedFromAWindowIsTitledWithItsCaption) {
    m_form->OpenStudy(StudyIn(QStringLiteral("study")), true);
    ShowDocument("Cochran outlier test, Lead in soil");
    const std::string printTitle = m_form->ActiveBrowser()->Document().PrintTitle;
    m_ui.SaveName = m_dir.filePath(QStringLiteral("cochran.pdf"));
    m_form->mnuSaveAsClick();
    const std::string pdf = ReadFile(m_ui.SaveName);
    ASSERT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_EQ(PdfTitle(pdf), QStringLiteral("Cochran outlier test, Lead in soil"));
    // The document keeps its own print title.
    EXPECT_EQ(m_form->ActiveBrowser()->Document().PrintTitle, printTitle);
}

} // namespace
} // namespace veltrio::gui::testing
