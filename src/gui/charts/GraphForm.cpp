#include "gui/charts/GraphForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>

#include "charts/GraphWindow.h"
#include "gui/browser/PrintJob.h"
#include "gui/widgets/FileLocations.h"
#include "gui/widgets/ProgramIcons.h"
#include "gui/widgets/SaveFormats.h"
#include "gui/widgets/UserInterface.h"
#include "platform/ChartExport.h"
#include "platform/QtCanvas.h"

namespace veltrio::gui {

namespace {

// Charts are laid out for a screen of this resolution.
constexpr int ScreenPixelsPerInch = 96;

std::filesystem::path ToPath(const QString& s) {
    return std::filesystem::path(s.toStdU16String());
}

// The surface the chart is painted on; the chart takes the widget's size.
class TChartView : public QWidget {
public:
    TChartView(TGraphWindow& chart, QWidget* parent) : QWidget(parent), m_chart(chart) {
        // The chart paints its own background over the whole widget.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        platform::QtCanvas canvas(painter, ScreenPixelsPerInch);
        m_chart.Width = width();
        m_chart.Height = height();
        m_chart.Paint(canvas);
    }

private:
    TGraphWindow& m_chart;
};

// Tells the window when the client area changes size.
class TChartScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    std::function<void()> OnResize;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QScrollArea::resizeEvent(event);
        if (OnResize) {
            OnResize();
        }
    }
};

} // namespace

namespace {

// In the order of TChartFormat.
const TSaveFormat ChartFormats[] = {
    {"SVG drawing (*.svg)", {QStringLiteral("svg")}},
    {"PNG image, 300 ppi (*.png)", {QStringLiteral("png")}},
    {"PDF (*.pdf)", {QStringLiteral("pdf")}},
};

} // namespace

QStringList ChartFileFilters() {
    return SaveFilters(ChartFormats);
}

TChartFormat ChartFormatOfFilter(const QString& filter) {
    return static_cast<TChartFormat>(SaveFormatOfFilter(ChartFormats, filter));
}

TChartFormat ChartFormatOfFileName(const QString& fileName, TChartFormat fallback) {
    return static_cast<TChartFormat>(
        SaveFormatOfFileName(ChartFormats, fileName, static_cast<int>(fallback)));
}

QString WithChartSuffix(const QString& fileName, TChartFormat format) {
    return WithSaveSuffix(ChartFormats, fileName, static_cast<int>(format));
}

TGraphForm::TGraphForm(std::shared_ptr<TGraphWindow> chart, const QString& caption, int helpContext,
                       QPrinter* printer, QWidget* parent)
    : QWidget(parent), m_chart(std::move(chart)), m_scroll(new TChartScrollArea(this)),
      m_view(new TChartView(*m_chart, m_scroll)), m_saveAsAct(new QAction(tr("&Save as..."), this)),
      m_copyAct(new QAction(tr("&Copy"), this)), m_printAct(new QAction(tr("&Print..."), this)),
      m_printer(printer) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption.isEmpty() ? QStringLiteral("Graph") : caption);
    setProperty("helpContext", helpContext > 0 ? helpContext : DefaultHelpContext);

    // The chart's automatic scale refers to the screen it is shown on.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        m_chart->ScreenWidth = std::max(1, screen->size().width());
        m_chart->ScreenHeight = std::max(1, screen->size().height());
    }

    // The chart is as wide as the window and scrolls vertically.
    m_scroll->setWidget(m_view);
    m_scroll->setWidgetResizable(false);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setBackgroundRole(QPalette::Base);
    static_cast<TChartScrollArea*>(m_scroll)->OnResize = [this] { FitChart(false); };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);

    m_chart->OnChange = [view = m_view] { view->update(); };

    m_saveAsAct->setIcon(ProgramIcon(QStringLiteral("document-save-as")));
    m_copyAct->setIcon(ProgramIcon(QStringLiteral("edit-copy")));
    m_printAct->setIcon(ProgramIcon(QStringLiteral("document-print")));
    m_saveAsAct->setStatusTip(tr("Save the chart as SVG, PNG or PDF"));
    m_copyAct->setStatusTip(tr("Copy the chart to the clipboard"));
    m_printAct->setStatusTip(tr("Print the chart"));
    connect(m_saveAsAct, &QAction::triggered, this, &TGraphForm::SaveAs);
    connect(m_copyAct, &QAction::triggered, this, &TGraphForm::CopyToClipboard);
    connect(m_printAct, &QAction::triggered, this, &TGraphForm::PrintChart);
    m_view->addAction(m_saveAsAct);
    m_view->addAction(m_copyAct);
    m_view->addAction(m_printAct);
    m_view->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_scroll->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(m_scroll);

    FitChart(true);
}

TGraphForm::~TGraphForm() {
    // The chart may outlive the window (whoever else holds it); it must not
    // call back into a widget that is gone.
    m_chart->OnChange = nullptr;
}

int TGraphForm::HelpContext() const {
    return property("helpContext").toInt();
}

QSize TGraphForm::ChartSizeFor(const QSize& client) {
    const int w = std::max(1, client.width());
    const int h = std::max(1, client.height());
    return {w, std::max(h, static_cast<int>(std::lround(1.4 * w)))};
}

void TGraphForm::FitChart(bool fillClient) {
    const QSize client = m_scroll->viewport()->size();
    const QSize size = fillClient ? client.expandedTo(QSize(1, 1)) : ChartSizeFor(client);
    m_view->resize(size);
    m_chart->Width = size.width();
    m_chart->Height = size.height();
}

void TGraphForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // As on every resize: the chart is as wide as the window and never
    // shorter than 1.4 widths, so a maximised window still scrolls to the
    // bottom of the page.
    if (!event->spontaneous()) {
        FitChart(false);
    }
}

bool TGraphForm::SaveChart(const QString& fileName, TChartFormat format, QString* error) {
    const std::filesystem::path path = ToPath(fileName);
    std::string why;
    bool ok = false;
    switch (format) {
    case TChartFormat::Svg:
        ok = platform::SaveChartAsSvg(*m_chart, path, &why);
        break;
    case TChartFormat::Png:
        ok = platform::SaveChartAsPng(*m_chart, path, ChartPngPixelsPerInch, &why);
        break;
    case TChartFormat::Pdf:
        ok = platform::SaveChartAsPdf(*m_chart, path, &why);
        break;
    }
    if (!ok && error) {
        *error = QString::fromStdString(why);
    }
    return ok;
}

void TGraphForm::SaveAs() {
    using TKind = TFileLocations::TKind;
    const QStringList filters = ChartFileFilters();
    QString filter =
        m_locations ? m_locations->SaveFilter(TKind::Chart, filters.first()) : filters.first();
    const QString folder = m_locations ? m_locations->SaveFolder() : QDir::homePath();
    const QString proposed =
        WithChartSuffix(QDir(folder).filePath(TFileLocations::FileNameOf(windowTitle())),
                        ChartFormatOfFilter(filter));
    QString name = TUserInterface::Current().SaveFileName(this, tr("Save chart as"), proposed,
                                                          filters, &filter);
    if (name.isEmpty()) {
        return;
    }
    const TChartFormat format = ChartFormatOfFileName(name, ChartFormatOfFilter(filter));
    name = WithChartSuffix(name, format);
    QString error;
    bool saved = false;
    {
        TBusyWindow busy(nullptr);
        saved = SaveChart(name, format, &error);
    }
    if (saved) {
        if (m_locations) {
            m_locations->Saved(TKind::Chart, name, filters.at(static_cast<int>(format)));
        }
    } else {
        TUserInterface::Current().Message(this, QStringLiteral("VELTRIO"),
                                          tr("The chart could not be saved.\n%1").arg(error),
                                          QMessageBox::Critical);
    }
}

std::unique_ptr<QMimeData> TGraphForm::ChartMimeData() {
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("image/svg+xml"), platform::ChartAsSvg(*m_chart));
    data->setImageData(platform::ChartAsImage(*m_chart, ScreenPixelsPerInch));
    return data;
}

void TGraphForm::CopyToClipboard() {
    QApplication::clipboard()->setMimeData(ChartMimeData().release());
}

QPrinter& TGraphForm::Printer() {
    if (m_printer) {
        return *m_printer;
    }
    if (!m_ownPrinter) {
        m_ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *m_ownPrinter;
}

void TGraphForm::PrintChart() {
    QPrinter& printer = Printer();
    if (!TUserInterface::Current().AskPrinter(this, printer)) {
        return;
    }
    TBusyWindow busy(this);
    PrintChartOn(printer);
}

bool TGraphForm::PrintChartOn(QPrinter& printer) {
    TPrintJob job(printer, windowTitle());
    job.AddChart(*m_chart);
    return job.Finish();
}

} // namespace veltrio::gui
