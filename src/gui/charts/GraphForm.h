#pragma once

#include <QSize>
#include <QStringList>
#include <QWidget>
#include <memory>

class QAction;
class QMimeData;
class QPrinter;
class QScrollArea;

namespace veltrio {
class TGraphWindow;
}

namespace veltrio::gui {

class TFileLocations;

enum class TChartFormat { Svg, Png, Pdf };

// The file dialog's filters, one per format, in the order of the enum.
QStringList ChartFileFilters();
TChartFormat ChartFormatOfFilter(const QString& filter);
// The format a file name asks for by its suffix; `fallback` when unknown.
TChartFormat ChartFormatOfFileName(const QString& fileName, TChartFormat fallback);
// Appends the format's suffix when the name has none of the format's.
QString WithChartSuffix(const QString& fileName, TChartFormat format);

// Images of charts saved as PNG files have this resolution.
constexpr int ChartPngPixelsPerInch = 300;

// A chart window: one chart in a scrollable view, an MDI child of the main
// window. It shares the chart with the procedure that made it and releases
// it when it closes. The procedure has given the chart its page, offset,
// fonts and line width; the window gives it the screen and its own size.
class TGraphForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int DefaultHelpContext = 1100;

    // `printer` is the program's printer (chosen in Print Setup); the window
    // uses its own when none is given.
    TGraphForm(std::shared_ptr<TGraphWindow> chart, const QString& caption, int helpContext,
               QPrinter* printer, QWidget* parent = nullptr);
    ~TGraphForm() override;

    TGraphWindow& GraphWnd() const { return *m_chart; }
    const std::shared_ptr<TGraphWindow>& Chart() const { return m_chart; }
    int HelpContext() const;
    QScrollArea* ScrollArea() const { return m_scroll; }
    // The widget the chart is painted on; its size is the chart's size.
    QWidget* ChartView() const { return m_view; }

    // The chart's size in a client area: the client's width, and its height
    // but at least 1.4 times the width (the rest is scrolled to).
    static QSize ChartSizeFor(const QSize& client);

    // The chart page written as a file; false with `error` set when it
    // cannot be written.
    bool SaveChart(const QString& fileName, TChartFormat format, QString* error = nullptr);
    // The file dialog, then SaveChart; failures are shown to the user. The
    // dialog proposes the window's caption as the file name, in the folder
    // and the format that the file locations hold (the home folder and SVG
    // without them).
    void SaveAs();
    void SetFileLocations(TFileLocations* locations) { m_locations = locations; }
    // The chart page for the clipboard: SVG ("image/svg+xml") and an image
    // at screen resolution.
    std::unique_ptr<QMimeData> ChartMimeData();
    void CopyToClipboard();
    // The print dialog, then the chart page at its true size on the paper.
    void PrintChart();
    // Prints on a printer already chosen (Print all windows).
    bool PrintChartOn(QPrinter& printer);

    QAction* SaveAsAction() const { return m_saveAsAct; }
    QAction* CopyAction() const { return m_copyAct; }
    QAction* PrintAction() const { return m_printAct; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FitChart(bool fillClient);
    QPrinter& Printer();

    std::shared_ptr<TGraphWindow> m_chart;
    QScrollArea* m_scroll;
    QWidget* m_view;
    QAction* m_saveAsAct;
    QAction* m_copyAct;
    QAction* m_printAct;
    QPrinter* m_printer;
    std::unique_ptr<QPrinter> m_ownPrinter;
    TFileLocations* m_locations = nullptr;
};

} // namespace veltrio::gui
