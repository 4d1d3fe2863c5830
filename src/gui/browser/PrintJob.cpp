#include "gui/browser/PrintJob.h"

#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>

#include "charts/DrawWindow.h"
#include "documents/Contents.h"
#include "documents/TavPrinter.h"
#include "platform/ChartExport.h"
#include "platform/PaintDeviceReport.h"

namespace veltrio::gui {

// The report keeps the printer open from one document to the next: a
// document's end is not the job's.
class TPrintJob::TJobReport : public platform::PaintDeviceReport {
public:
    explicit TJobReport(QPrinter& printer) : PaintDeviceReport(printer), m_printer(printer) {}

    void EndJob() {
        if (m_pages > 0) {
            PaintDeviceReport::DeviceEndDocument();
        }
    }
    int Pages() const { return m_pages; }
    bool Opened() const { return m_opened; }

    // The painter the report draws with, while a page is open.
    QPainter* ActivePainter() const {
        QPaintEngine* engine = m_printer.paintEngine();
        return engine && engine->isActive() ? engine->painter() : nullptr;
    }

protected:
    void DeviceBeginPage(double widthCm, double heightCm) override {
        PaintDeviceReport::DeviceBeginPage(widthCm, heightCm);
        if (m_pages++ == 0) {
            m_opened = ActivePainter() != nullptr;
        }
    }
    void DeviceEndDocument() override {}

private:
    QPrinter& m_printer;
    int m_pages = 0;
    bool m_opened = false;
};

TPrintJob::TPrintJob(QPrinter& printer, const QString& title)
    : m_printer(printer), m_userLayout(printer.pageLayout()),
      m_report(std::make_unique<TJobReport>(printer)) {
    m_printer.setDocName(title);
    // The document printer's own page (the report's paper).
    m_documentPaperWidth = m_report->PageWidth();
    m_documentPaperHeight = m_report->PageHeight();
}

TPrintJob::~TPrintJob() {
    Finish();
}

void TPrintJob::AddDocument(TTavContents& document) {
    m_report->SetPaperSize(m_documentPaperWidth, m_documentPaperHeight);
    m_report->SetOrientation(TOrientation::poPortrait);
    TTavPrinter printer;
    printer.Document = &document;
    printer.Generate(*m_report);
}

void TPrintJob::AddChart(TDrawWindow& chart) {
    const QSizeF paper = m_userLayout.pageSize().size(QPageSize::Millimeter);
    m_report->SetPaperSize(paper.width() / 10.0, paper.height() / 10.0);
    m_report->SetOrientation(chart.PrinterOrientation == TPrinterOrientation::poLandscape
                                 ? TOrientation::poLandscape
                                 : TOrientation::poPortrait);
    TJobReport& report = *m_report;
    const int resolution = m_printer.resolution();
    report.OnBeforePrint = nullptr;
    report.OnPrintHeader = nullptr;
    report.OnPrintFooter = nullptr;
    report.OnNewPage = nullptr;
    report.OnPrint = [&report, &chart, resolution](Report& r) {
        r.DrawGraphicAt(0, 0, r.PageWidth(), r.PageHeight(), [&](Canvas&) {
            // The chart page is drawn at its true size from the paper's
            // corner, not through the report's screen-sized canvas.
            if (QPainter* painter = report.ActivePainter()) {
                painter->save();
                painter->resetTransform();
                painter->setClipping(false);
                platform::PaintChartPage(chart, *painter, resolution);
                painter->restore();
            }
        });
    };
    report.Execute();
    report.OnPrint = nullptr;
}

bool TPrintJob::Finish() {
    if (m_finished) {
        return m_report->Opened();
    }
    m_finished = true;
    m_report->EndJob();
    m_printer.setPageLayout(m_userLayout);
    return m_report->Opened();
}

int TPrintJob::Pages() const {
    return m_report->Pages();
}

} // namespace veltrio::gui
