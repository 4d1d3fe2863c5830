// Printing from the main window: Print all windows is one job (a PDF printer
// asks for its file once and gets every window), a printout is titled with
// the window's caption, the user's page set-up survives printing, and Page
// Setup shows the margins the printouts use.
#include <QFileInfo>
#include <QMdiArea>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <functional>

#include "GuiFixture.h"
#include "PdfProbe.h"
#include "charts/ChartStyle.h"
#include "documents/Contents.h"
#include "gui/browser/BrowseForm.h"
#include "gui/browser/DocumentFiles.h"
#include "gui/shell/OptionsDlg.h"
#include "gui/widgets/FloatEdit.h"
#include "settings/SettingsFile.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

std::shared_ptr<TTavContents> Lines(const std::string& name, int lines) {
    auto doc = std::make_shared<TTavContents>();
    for (int i = 1; i <= lines; ++i) {
        doc->AddText(name + ", line " + std::to_string(i));
    }
    return doc;
}

class MainFormPrintingTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        m_form->OpenStudy(WriteFile(QStringLiteral("LEAD.PAR"), StudyText(false, 2, 2)), true);
        // The print dialog chooses a PDF printer and its file.
        m_ui.OnAskPrinter = [this](QPrinter& p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(m_pdf);
            return true;
        };
    }
    // The pages of the document alone, as Save as writes it.
    int PagesOf(TTavContents& document) {
        const QString file = m_dir.filePath(QStringLiteral("alone.pdf"));
        EXPECT_TRUE(SaveDocument(document, file, TDocumentFormat::Pdf));
        return PdfPageCount(ReadFile(file));
    }
    QString m_pdf = m_dir.filePath(QStringLiteral("printed.pdf"));
};

TEST_F(MainFormPrintingTest, PrintAllWindowsToAPdfAsksOnceAndWritesEveryWindowInOrder) {
    Host& host = *m_form;
    auto first = Lines("First", 150);
    auto second = Lines("Second", 10);
    host.ShowDocument(first, "Descriptive statistics", 0);
    host.ShowChart(NewChartWindow(m_form->program().Settings), "Youden plot", 0);
    host.ShowDocument(second, "Grubbs outlier test", 0);
    const int firstPages = PagesOf(*first);
    ASSERT_GE(firstPages, 2) << "a document of several pages";
    const int expected = firstPages + 1 + PagesOf(*second);

    m_form->Printer().setPageSize(QPageSize(QPageSize::Letter));
    m_form->Printer().setPageOrientation(QPageLayout::Landscape);
    m_form->mnuPrintAllClick();
    EXPECT_EQ(m_ui.PrinterRequests, 1);
    const std::string pdf = ReadFile(m_pdf);
    ASSERT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_EQ(PdfPageCount(pdf), expected);
    EXPECT_EQ(PdfTitle(pdf), QStringLiteral("VELTRIO - LEAD.PAR"));
    // The chart's page (the printer's Letter paper, portrait as the chart
    // asks) stands between the documents' A4 pages.
    std::vector<int> widths(static_cast<std::size_t>(firstPages), 595);
    widths.push_back(612);
    widths.resize(static_cast<std::size_t>(expected), 595);
    EXPECT_EQ(PdfPageWidths(pdf), widths);
    // The user's page set-up is as it was.
    EXPECT_EQ(m_form->Printer().pageLayout().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(m_form->Printer().pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_TRUE(m_form->isEnabled());
    EXPECT_TRUE(m_ui.Messages.empty());
}

TEST_F(MainFormPrintingTest, APrintoutIsTitledWithTheWindowsCaption) {
    Host& host = *m_form;
    auto doc = Lines("Lead", 60);
    struct Case {
        const char* Name;
        std::function<void()> Show;
        QString Caption;
        std::function<int()> Pages;
    };
    const Case cases[] = {
        {"document", [&] { host.ShowDocument(doc, "Cochran outlier test, Lead in soil", 0); },
         QStringLiteral("Cochran outlier test, Lead in soil"), [&] { return PagesOf(*doc); }},
        {"chart",
         [&] {
             host.ShowChart(NewChartWindow(m_form->program().Settings),
                            "Box plot, Lead in soil, mg/kg", 0);
         },
         QStringLiteral("Box plot, Lead in soil, mg/kg"), [] { return 1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Show();
        QFile::remove(m_pdf);
        m_form->mnuPrintClick();
        const std::string pdf = ReadFile(m_pdf);
        ASSERT_EQ(pdf.rfind("%PDF", 0), 0u);
        EXPECT_EQ(PdfTitle(pdf), c.Caption);
        EXPECT_EQ(PdfPageCount(pdf), c.Pages());
    }
}

TEST_F(MainFormPrintingTest, PageSetupShowsTheMarginsThePrintoutsUse) {
    struct Case {
        double Left, Top;
        QMarginsF Shown; // mm
    };
    const Case cases[] = {
        {1.0, 2.0, {10, 20, 10, 10}},
        {2.5, 1.5, {25, 15, 10, 10}},
        {0.0, 3.2, {0, 32, 10, 10}},
    };
    TSettings& settings = m_form->program().Settings;
    QMarginsF shown;
    m_ui.OnPrintSetup = [&shown](QPrinter& p) {
        shown = p.pageLayout().margins(QPageLayout::Millimeter);
        return false;
    };
    // Printing lays out pages of its own; Page Setup still shows the margins.
    Host& host = *m_form;
    host.ShowDocument(Lines("Lead", 5), "Base table", 0);
    m_form->mnuPrintClick();
    ASSERT_TRUE(QFileInfo(m_pdf).isFile());
    for (const Case& c : cases) {
        settings.MarginLeft = c.Left;
        settings.MarginTop = c.Top;
        shown = {};
        m_form->mnuPrintSetupClick();
        for (auto [got, want] :
             {std::pair{shown.left(), c.Shown.left()}, std::pair{shown.top(), c.Shown.top()},
              std::pair{shown.right(), c.Shown.right()},
              std::pair{shown.bottom(), c.Shown.bottom()}}) {
            EXPECT_NEAR(got, want, 0.01) << c.Left << " " << c.Top;
        }
        // Cancelled, the settings stay.
        EXPECT_EQ(settings.MarginLeft, c.Left);
        EXPECT_EQ(settings.MarginTop, c.Top);
    }
}

TEST_F(MainFormPrintingTest, MarginsChangedInPageSetupBecomeTheSettings) {
    TSettings& settings = m_form->program().Settings;
    m_ui.OnPrintSetup = [](QPrinter& p) {
        return p.setPageMargins(QMarginsF(32.4, 17.0, 12, 12), QPageLayout::Millimeter);
    };
    m_form->OptionsDialog().LoadControls();
    m_form->OptionsDialog().show();
    m_form->mnuPrintSetupClick();
    EXPECT_DOUBLE_EQ(settings.MarginLeft, 3.2);
    EXPECT_DOUBLE_EQ(settings.MarginTop, 1.7);
    TSettings saved;
    ASSERT_TRUE(LoadSettings(saved, Path(QStringLiteral("VELTRIO.INI"))));
    EXPECT_DOUBLE_EQ(saved.MarginLeft, 3.2);
    EXPECT_DOUBLE_EQ(saved.MarginTop, 1.7);
    // The open Options dialog shows them too, so its OK keeps them.
    EXPECT_DOUBLE_EQ(m_form->OptionsDialog().MarginLeft()->Value(), 3.2);
    EXPECT_DOUBLE_EQ(m_form->OptionsDialog().MarginTop()->Value(), 1.7);
    m_form->OptionsDialog().hide();
    EXPECT_TRUE(m_ui.Messages.empty());
}

} // namespace
} // namespace veltrio::gui::testing
