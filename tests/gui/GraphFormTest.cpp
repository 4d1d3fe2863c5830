// Chart windows: the chart shown through the host, its size in the window,
// Save as, Copy and Print, and what the main window's menus do with it.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSvgRenderer>

#include "GuiFixture.h"
#include "charts/ChartStyle.h"
#include "gui/charts/GraphForm.h"
#include "gui/shell/HelpSystem.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

const TColor Red = MakeColor(255, 0, 0);

class GraphFormTest : public MainFormTest {
protected:
    // The box of the pure red pixels of an image.
    static QRect RedBox(const QImage& image) {
        QRect box;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == qRgb(255, 0, 0)) {
                    box |= QRect(x, y, 1, 1);
                }
            }
        }
        return box;
    }
    // A chart as a procedure makes it: a 26 × 30 cm page with axes, a curve,
    // a title and a filled red square at (5, 5) cm.
    std::shared_ptr<TGraphWindow> Chart() {
        auto chart = NewChartWindow(m_form->program().Settings);
        chart->SetXAxis(0, 0, 0, 10, 2);
        chart->SetYAxis(0, 0, 0, 10, 2);
        const TPointXY points[] = {{1, 2}, {4, 7}, {9, 5}};
        chart->AddCurve(points, "Laboratory 3", clBlack, -1, TPenStyle::psSolid, 0.25, clBlack, 1);
        TFontDescriptor font;
        font.Size = 18;
        chart->SetTitle("Youden plot", font, -1);
        chart->AddSquare(5 - chart->OffsetX(), 5 - chart->OffsetY(), 0.4, Red, true);
        return chart;
    }
    TGraphForm& Show(std::shared_ptr<TGraphWindow> chart, const std::string& caption = "Level A",
                     int helpContext = 5400) {
        Host& host = *m_form;
        host.ShowChart(std::move(chart), caption, helpContext);
        EXPECT_NE(m_form->ActiveChart(), nullptr);
        return *m_form->ActiveChart();
    }
};

TEST_F(GraphFormTest, TheChartIsAsWideAsTheClientAndAtLeast1point4TimesAsHigh) {
    struct Case {
        QSize Client, Chart;
    } cases[] = {
        {{400, 300}, {400, 560}},
        {{400, 600}, {400, 600}},
        {{1000, 500}, {1000, 1400}},
        {{0, 0}, {1, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TGraphForm::ChartSizeFor(c.Client), c.Chart)
            << c.Client.width() << "x" << c.Client.height();
    }
}

TEST_F(GraphFormTest, TheChartIsAsWideAsTheWindowAndScrolls) {
    auto chart = Chart();
    TGraphForm form(chart, QString(), 0, nullptr);
    // Shown wide (as when maximised): still 1.4 widths tall, so the lower
    // part of the page can be scrolled to.
    form.resize(900, 400);
    form.show();
    QWidget* viewport = form.ScrollArea()->viewport();
    EXPECT_EQ(form.ChartView()->width(), viewport->width());
    EXPECT_EQ(form.ChartView()->size(), TGraphForm::ChartSizeFor(viewport->size()));
    EXPECT_EQ(QSize(chart->Width, chart->Height), form.ChartView()->size());

    // A client of 400 × 300 holds a chart of 400 × 560 that scrolls.
    form.resize(form.size() + (QSize(400, 300) - viewport->size()));
    ASSERT_EQ(viewport->size(), QSize(400, 300));
    EXPECT_EQ(form.ChartView()->size(), QSize(400, 560));
    EXPECT_EQ(QSize(chart->Width, chart->Height), QSize(400, 560));
    EXPECT_EQ(form.ScrollArea()->verticalScrollBar()->maximum(), 260);
    EXPECT_EQ(form.ScrollArea()->horizontalScrollBar()->maximum(), 0);

    // Painting scales the chart for that size and draws the square.
    const QImage shot = form.ChartView()->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(400, 560));
    const double ppcm = chart->PixelsPerCmScaled();
    EXPECT_NEAR(ppcm, 400 * 0.12 / 2.54, 1e-9); // the width rules
    EXPECT_EQ(shot.pixel(int(5 * ppcm), int(5 * ppcm)), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(int(3 * ppcm), int(5 * ppcm)), qRgb(255, 255, 255));
}

TEST_F(GraphFormTest, ShowChartOpensAChartChildWithItsCaptionAndHelp) {
    std::weak_ptr<TGraphWindow> watch;
    {
        auto chart = Chart();
        watch = chart;
        Show(std::move(chart), "Youden plot Glucose, mg/l Level A", 5400);
    }
    ASSERT_EQ(m_form->MdiArea()->subWindowList().size(), 1);
    TGraphForm& form = *m_form->ActiveChart();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Youden plot Glucose, mg/l Level A"));
    EXPECT_EQ(m_form->windowTitle(),
              QStringLiteral("VELTRIO - [Youden plot Glucose, mg/l Level A]"));
    EXPECT_EQ(form.HelpContext(), 5400);
    // Restored, the window keeps a size to work with.
    QMdiSubWindow* sub = m_form->MdiArea()->subWindowList().front();
    EXPECT_TRUE(sub->isMaximized());
    sub->showNormal();
    EXPECT_GE(sub->width(), 480);
    EXPECT_GE(sub->height(), 360);
    // F1 anywhere in the window finds its topic.
    EXPECT_EQ(THelpSystem::ContextOf(form.ChartView()), 5400);
    EXPECT_FALSE(m_form->Help().TopicFile(5400).isEmpty());
    // The chart refers to the real screen.
    const QSize screen = QGuiApplication::primaryScreen()->size();
    EXPECT_EQ(form.GraphWnd().ScreenWidth, screen.width());
    EXPECT_EQ(form.GraphWnd().ScreenHeight, screen.height());
    // The main window's commands reach the chart.
    for (QAction* a : {m_form->SaveAsAction(), m_form->PrintAction(), m_form->CopyAction()}) {
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    }
    EXPECT_EQ(m_form->Charts().size(), 1u);
    EXPECT_TRUE(m_form->Browsers().empty());

    // Without a caption or a help context: "Graph" and the chart windows'
    // topic.
    TGraphForm& plain = Show(Chart(), "", 0);
    EXPECT_EQ(plain.windowTitle(), QStringLiteral("Graph"));
    EXPECT_EQ(plain.HelpContext(), TGraphForm::DefaultHelpContext);
    EXPECT_EQ(m_form->Charts().size(), 2u);

    // Closing the windows releases their charts; the menus follow.
    m_form->mnuCloseAllClick();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m_form->MdiArea()->subWindowList().isEmpty());
    EXPECT_TRUE(watch.expired());
    EXPECT_FALSE(m_form->SaveAsAction()->isEnabled());
    EXPECT_FALSE(m_form->CopyAction()->isEnabled());
}

TEST_F(GraphFormTest, AChartThatOutlivesItsWindowNoLongerCallsIt) {
    auto chart = Chart();
    {
        TGraphForm form(chart, QStringLiteral("Box Plots"), 8100, nullptr);
        ASSERT_TRUE(chart->OnChange);
    }
    EXPECT_FALSE(chart->OnChange);
    chart->AddLine(0, 0, 1, 1); // would reach the deleted window
}

TEST_F(GraphFormTest, SaveAsWritesSvgPngAndPdf) {
    struct Case {
        const char* Name;
        int Filter;
        const char* Written;
        const char* Begins;
    };
    const Case cases[] = {
        {"chart.svg", 0, "chart.svg", "<?xml"},
        {"picture", 1, "picture.png", "\x89PNG"},
        {"page", 2, "page.pdf", "%PDF"},
        // The file name's suffix wins over the filter.
        {"other.png", 0, "other.png", "\x89PNG"},
    };
    Show(Chart());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        m_ui.SaveName = m_dir.filePath(QString::fromLatin1(c.Name));
        m_ui.SaveFilter = ChartFileFilters().at(c.Filter);
        m_form->mnuSaveAsClick();
        const std::string bytes = ReadFile(m_dir.filePath(QString::fromLatin1(c.Written)));
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes.rfind(c.Begins, 0), 0u) << bytes.substr(0, 40);
    }
    EXPECT_TRUE(m_ui.Messages.empty());

    // The drawing at its true size, cut from the 26 × 30 cm page: at 300
    // ppi the 0.8 cm square is 94 pixels wide.
    const QImage png(m_dir.filePath(QStringLiteral("picture.png")));
    EXPECT_LT(png.width(), 3071);
    EXPECT_LT(png.height(), 3543);
    EXPECT_NEAR(RedBox(png).width(), 0.8 * ChartPngPixelsPerInch / 2.54, 3);
    QSvgRenderer svg(m_dir.filePath(QStringLiteral("chart.svg")));
    EXPECT_TRUE(svg.isValid());
    EXPECT_LT(svg.viewBox().width(), 983);
    EXPECT_LT(svg.viewBox().height(), 1134);
    EXPECT_NE(ReadFile(m_dir.filePath(QStringLiteral("chart.svg"))).find("Youden plot"),
              std::string::npos);
}

TEST_F(GraphFormTest, SaveAsIntoAMissingFolderIsReported) {
    TGraphForm& form = Show(Chart());
    for (TChartFormat f : {TChartFormat::Svg, TChartFormat::Png, TChartFormat::Pdf}) {
        QString error;
        EXPECT_FALSE(form.SaveChart(m_dir.filePath(QStringLiteral("no/such/x")), f, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    m_ui.SaveName = m_dir.filePath(QStringLiteral("no/such/x.svg"));
    m_form->mnuSaveAsClick();
    ASSERT_EQ(m_ui.Messages.size(), 1u);
    EXPECT_EQ(m_ui.Messages.front().Icon, QMessageBox::Critical);
    EXPECT_TRUE(form.isEnabled());
}

TEST_F(GraphFormTest, CopyPutsSvgAndAnImageOnTheClipboard) {
    Show(Chart());
    m_form->mnuCopyClick();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->hasFormat(QStringLiteral("image/svg+xml")));
    EXPECT_TRUE(QSvgRenderer(data->data(QStringLiteral("image/svg+xml"))).isValid());
    ASSERT_TRUE(data->hasImage());
    const QImage image = qvariant_cast<QImage>(data->imageData());
    EXPECT_LT(image.width(), 983);
    EXPECT_LT(image.height(), 1134);
    EXPECT_NEAR(RedBox(image).width(), 0.8 * 96 / 2.54, 2);
}

TEST_F(GraphFormTest, PrintDrawsThePageAndLeavesThePrinterAsItWas) {
    TGraphForm& form = Show(Chart());
    // Asked for no printer, nothing is printed.
    m_form->mnuPrintClick();
    m_form->mnuPrintAllClick();
    EXPECT_EQ(m_ui.PrinterRequests, 2);
    EXPECT_TRUE(m_form->isEnabled());

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_dir.filePath(QStringLiteral("printed.pdf")));
    printer.setFullPage(false);
    printer.setPageOrientation(QPageLayout::Landscape);
    ASSERT_TRUE(form.PrintChartOn(printer));
    const std::string pdf = ReadFile(m_dir.filePath(QStringLiteral("printed.pdf")));
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    // The chart printed portrait (its paper); the user's settings are back.
    EXPECT_NE(pdf.find("/MediaBox [0 0 595"), std::string::npos);
    EXPECT_FALSE(printer.fullPage());
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
}

} // namespace
} // namespace veltrio::gui::testing
