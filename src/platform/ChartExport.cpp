#include "platform/ChartExport.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <functional>

#include "base/AtomicFile.h"
#include "charts/DrawWindow.h"
#include "platform/QtCanvas.h"

namespace veltrio::platform {

namespace {

// Charts are laid out for a screen canvas of 96 pixels per inch; other
// resolutions scale the painter, so texts, pixel-wide lines and shapes keep
// their proportions.
constexpr int ScreenPixelsPerInch = 96;
constexpr double ScreenPixelsPerCm = ScreenPixelsPerInch / 2.54;

// While it lives, the chart's window has the size for which its page comes
// out at one screen centimetre per page centimetre (or as near as whole
// pixels allow; Factor() makes up the rest). The window's size is restored
// afterwards.
class TrueSizeLayout {
public:
    explicit TrueSizeLayout(TDrawWindow& chart)
        : m_chart(chart), m_width(chart.Width), m_height(chart.Height) {
        if (chart.Proportioning == TProportioning::pFitToSize) {
            // The plot fills the window: the window is the page.
            chart.Width =
                std::max(1, static_cast<int>(std::lround(chart.PlotWidth * ScreenPixelsPerCm)));
            chart.Height =
                std::max(1, static_cast<int>(std::lround(chart.PlotHeight * ScreenPixelsPerCm)));
        } else {
            // A window narrower than the screen's proportions scales by its
            // width: 800 pixels give one screen centimetre per page
            // centimetre, whatever the screen's size.
            const double sw = std::max(1, chart.ScreenWidth);
            const double sh = std::max(1, chart.ScreenHeight);
            chart.Width = 800;
            chart.Height = std::max(1120, static_cast<int>(std::floor(800 * sh / sw)) + 1);
        }
        chart.CalcDimensions(chart.Width, chart.Height, ScreenPixelsPerInch);
        m_factor =
            chart.PixelsPerCmScaled() > 0 ? ScreenPixelsPerCm / chart.PixelsPerCmScaled() : 1;
    }
    ~TrueSizeLayout() {
        m_chart.Width = m_width;
        m_chart.Height = m_height;
        // The window's own scale again, for whoever reads it next.
        m_chart.CalcDimensions(m_width, m_height, ScreenPixelsPerInch);
    }
    TrueSizeLayout(const TrueSizeLayout&) = delete;
    TrueSizeLayout& operator=(const TrueSizeLayout&) = delete;

    // The painter scale that brings the drawn page to its true size on a
    // 96-ppi surface (1 unless the proportioning does not follow the window).
    double Factor() const { return m_factor; }

private:
    TDrawWindow& m_chart;
    int m_width;
    int m_height;
    double m_factor = 1;
};

int PagePixels(double cm, double pixelsPerInch) {
    return std::max(1, static_cast<int>(std::lround(cm * pixelsPerInch / 2.54)));
}

bool Fail(std::string* error, const std::string& why) {
    if (error) {
        *error = why;
    }
    return false;
}

QByteArray ChartAsPng(TDrawWindow& chart, int pixelsPerInch) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!ChartAsImage(chart, pixelsPerInch).save(&buffer, "PNG")) {
        return {};
    }
    return bytes;
}

QByteArray ChartAsPdf(TDrawWindow& chart) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("Veltrio"));
        const double wcm = chart.ExportWidthCm();
        const double hcm = chart.ExportHeightCm();
        // Exact: a page near a standard size must not snap to it.
        const QPageSize size(QSizeF(wcm * 10.0, hcm * 10.0), QPageSize::Millimeter, QString(),
                             QPageSize::ExactMatch);
        writer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            return {};
        }
        PaintChartPage(chart, painter, writer.resolution());
        painter.end();
    }
    return bytes;
}

bool SaveBytes(const QByteArray& bytes, const std::filesystem::path& file, std::string* error) {
    if (bytes.isEmpty()) {
        return Fail(error, "cannot draw the chart for " + file.string());
    }
    return WriteFileAtomically(file, std::string_view(bytes.constData(), bytes.size()), error);
}

} // namespace

void PaintChartPage(TDrawWindow& chart, QPainter& painter, double pixelsPerInch) {
    TrueSizeLayout layout(chart);
    painter.save();
    const double f = pixelsPerInch / ScreenPixelsPerInch * layout.Factor();
    painter.scale(f, f);
    QtCanvas canvas(painter, ScreenPixelsPerInch);
    chart.DrawExport(canvas, true);
    painter.restore();
}

QByteArray ChartAsSvg(TDrawWindow& chart) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const int w = PagePixels(chart.ExportWidthCm(), ScreenPixelsPerInch);
    const int h = PagePixels(chart.ExportHeightCm(), ScreenPixelsPerInch);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setResolution(ScreenPixelsPerInch);
    svg.setSize(QSize(w, h));
    svg.setViewBox(QRect(0, 0, w, h));
    svg.setTitle(QStringLiteral("Chart"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return {};
    }
    PaintChartPage(chart, painter, ScreenPixelsPerInch);
    painter.end();
    return bytes;
}

QImage ChartAsImage(TDrawWindow& chart, int pixelsPerInch) {
    const int ppi = std::max(1, pixelsPerInch);
    QImage image(PagePixels(chart.ExportWidthCm(), ppi), PagePixels(chart.ExportHeightCm(), ppi),
                 QImage::Format_RGB32);
    if (image.isNull()) {
        // Too large to hold in memory.
        return image;
    }
    image.fill(Qt::white);
    const int dpm = static_cast<int>(std::lround(ppi / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    PaintChartPage(chart, painter, ppi);
    return image;
}

bool SaveChartAsSvg(TDrawWindow& chart, const std::filesystem::path& file, std::string* error) {
    return SaveBytes(ChartAsSvg(chart), file, error);
}

bool SaveChartAsPng(TDrawWindow& chart, const std::filesystem::path& file, int pixelsPerInch,
                    std::string* error) {
    return SaveBytes(ChartAsPng(chart, pixelsPerInch), file, error);
}

bool SaveChartAsPdf(TDrawWindow& chart, const std::filesystem::path& file, std::string* error) {
    return SaveBytes(ChartAsPdf(chart), file, error);
}

} // namespace veltrio::platform
