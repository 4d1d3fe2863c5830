#pragma once

#include <QPageLayout>
#include <QString>
#include <memory>

class QPrinter;

namespace veltrio {
class TDrawWindow;
class TTavContents;
} // namespace veltrio

namespace veltrio::gui {

// One print job for any number of documents and chart pages, printed one
// after the other: a printer prints them as one job, and a PDF printer
// writes them all into its one file. Documents are printed by the document
// printer on its page; a chart page takes the printer's paper in the chart's
// orientation and shows the chart at its true size. The printer's page
// set-up is the user's again when the job ends.
class TPrintJob {
public:
    // `title` names the job in the printer's queue and titles a PDF.
    TPrintJob(QPrinter& printer, const QString& title);
    ~TPrintJob();
    TPrintJob(const TPrintJob&) = delete;
    TPrintJob& operator=(const TPrintJob&) = delete;

    void AddDocument(TTavContents& document);
    void AddChart(TDrawWindow& chart);
    // Ends the job (the destructor does it as well); false when nothing was
    // printed or the printer could not be opened.
    bool Finish();
    // Pages printed so far.
    int Pages() const;

private:
    class TJobReport;

    QPrinter& m_printer;
    const QPageLayout m_userLayout;
    std::unique_ptr<TJobReport> m_report;
    double m_documentPaperWidth;
    double m_documentPaperHeight;
    bool m_finished = false;
};

} // namespace veltrio::gui
