#include "platform/ChartExport.h"

#include "documents/PngWriter.h"

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

// The white space kept around the drawing of an exported chart.
constexpr double ExportMarginCm = 0.3;

// The part of the page an exported chart shows: the drawing and a small
// margin, in centimetres of the true-size page. A chart without shapes
// keeps its whole page.
struct TDrawingArea {
    double Left = 0, Top = 0, Width = 0, Height = 0;
};

TDrawingArea DrawingArea(TDrawWindow& chart) {
    // A chart laid out to fit a given size (a chart item of a document)
    // keeps it.
    if (chart.Proportioning == TProportioning::pFitToSize) {
        return {0, 0, chart.ExportWidthCm(), chart.ExportHeightCm()};
    }
    TrueSizeLayout layout(chart);
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter painter(&scratch);
    QtCanvas canvas(painter, ScreenPixelsPerInch);
    const auto box = chart.DrawnBox(canvas, true);
    // Chart pixels to true centimetres.
    const double perCm = ScreenPixelsPerCm / layout.Factor();
    if (box[2] <= box[0] || box[3] <= box[1]) {
        return {0, 0, chart.ExportWidthCm(), chart.ExportHeightCm()};
    }
    TDrawingArea area;
    area.Left = std::max(0.0, box[0] / perCm - ExportMarginCm);
    area.Top = std::max(0.0, box[1] / perCm - ExportMarginCm);
    area.Width = box[2] / perCm + ExportMarginCm - area.Left;
    area.Height = box[3] / perCm + ExportMarginCm - area.Top;
    return area;
}

// The drawing of the area, its top-left corner at the painter's origin.
void PaintChartArea(TDrawWindow& chart, QPainter& painter, double pixelsPerInch,
                    const TDrawingArea& area) {
    painter.save();
    painter.translate(-area.Left * pixelsPerInch / 2.54, -area.Top * pixelsPerInch / 2.54);
    PaintChartPage(chart, painter, pixelsPerInch);
    painter.restore();
}

bool Fail(std::string* error, const std::string& why) {
    if (error) {
        *error = why;
    }
    return false;
}

QByteArray ChartAsPng(TDrawWindow& chart, int pixelsPerInch) {
    const QImage image = ChartAsImage(chart, pixelsPerInch);
    if (image.isNull()) {
        return {};
    }
    // Rows differenced with the row above and zlib's fastest level: a chart
    // of lines and text on white compresses nearly as well as with the
    // adaptive filters of a general PNG writer, in a fraction of the time.
    const int width = image.width();
    const std::string png = EncodePngRows(
        width, image.height(),
        [&](int y, unsigned char* rgb) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                rgb[3 * x] = static_cast<unsigned char>(qRed(line[x]));
                rgb[3 * x + 1] = static_cast<unsigned char>(qGreen(line[x]));
                rgb[3 * x + 2] = static_cast<unsigned char>(qBlue(line[x]));
            }
        },
        1, image.dotsPerMeterX());
    return QByteArray(png.data(), static_cast<qsizetype>(png.size()));
}

QByteArray ChartAsPdf(TDrawWindow& chart) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("Veltrio"));
        const TDrawingArea area = DrawingArea(chart);
        const double wcm = area.Width;
        const double hcm = area.Height;
        // Exact: a page near a standard size must not snap to it.
        const QPageSize size(QSizeF(wcm * 10.0, hcm * 10.0), QPageSize::Millimeter, QString(),
                             QPageSize::ExactMatch);
        writer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            return {};
        }
        PaintChartArea(chart, painter, writer.resolution(), area);
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
    const TDrawingArea area = DrawingArea(chart);
    const int w = PagePixels(area.Width, ScreenPixelsPerInch);
    const int h = PagePixels(area.Height, ScreenPixelsPerInch);
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
    PaintChartArea(chart, painter, ScreenPixelsPerInch, area);
    painter.end();
    return bytes;
}

QImage ChartAsImage(TDrawWindow& chart, int pixelsPerInch) {
    const int ppi = std::max(1, pixelsPerInch);
    const TDrawingArea area = DrawingArea(chart);
    QImage image(PagePixels(area.Width, ppi), PagePixels(area.Height, ppi), QImage::Format_RGB32);
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
    PaintChartArea(chart, painter, ppi, area);
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
