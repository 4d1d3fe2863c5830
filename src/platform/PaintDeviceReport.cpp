#include "platform/PaintDeviceReport.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>

#include "platform/QtCanvas.h"
#include "platform/QtConvert.h"
#include "platform/RasterPicture.h"

namespace veltrio::platform {

namespace {
constexpr int GraphicPixelsPerInch = 96;
}

PaintDeviceReport::PaintDeviceReport(QPagedPaintDevice& device)
    : m_device(device), m_dpi(device.logicalDpiX() > 0 ? device.logicalDpiX() : 600) {}

PaintDeviceReport::TMeasuredFont& PaintDeviceReport::Measured(const TFont& font) {
    for (const auto& m : m_fonts) {
        if (m->Font == font) {
            return *m;
        }
    }
    const QFont qt = ToQFont(font, m_dpi);
    const QFontMetricsF metrics(qt);
    m_fonts.push_back(std::unique_ptr<TMeasuredFont>(
        new TMeasuredFont{font, qt, metrics, metrics.height() / m_dpi * 2.54, {}}));
    return *m_fonts.back();
}

double PaintDeviceReport::FontLineHeight(const TFont& font) {
    return Measured(font).LineHeightCm;
}

double PaintDeviceReport::FontTextWidth(const TFont& font, std::string_view text) {
    TMeasuredFont& m = Measured(font);
    // Bounded: a document of many distinct numbers starts the list afresh.
    constexpr std::size_t MaxRemembered = 200000;
    auto found = m.WidthsCm.find(std::string(text));
    if (found != m.WidthsCm.end()) {
        return found->second;
    }
    if (m.WidthsCm.size() >= MaxRemembered) {
        m.WidthsCm.clear();
    }
    const double width = m.Metrics.horizontalAdvance(ToQString(text)) / m_dpi * 2.54;
    m.WidthsCm.emplace(std::string(text), width);
    return width;
}

void PaintDeviceReport::DeviceBeginDocument(const std::string&) { m_pageOpen = false; }

void PaintDeviceReport::DeviceBeginPage(double widthCm, double heightCm) {
    const QPageLayout layout(QPageSize(QSizeF(widthCm * 10.0, heightCm * 10.0), QPageSize::Millimeter),
                             QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    if (!m_painter.isActive()) {
        m_device.setPageLayout(layout);
        m_painter.begin(&m_device);
        m_painterFont = nullptr;
    } else {
        m_device.setPageLayout(layout);
        m_device.newPage();
    }
    m_pageOpen = true;
}

void PaintDeviceReport::DeviceEndPage() {}

void PaintDeviceReport::DeviceEndDocument() {
    if (m_painter.isActive()) {
        m_painter.end();
    }
}

void PaintDeviceReport::DeviceText(double x, double baseline, const TFont& font,
                                   std::string_view text) {
    const TMeasuredFont& m = Measured(font);
    if (m_painterFont != &m || !m_painter.isActive()) {
        m_painter.setFont(m.QtFont);
        m_painterFont = &m;
    }
    m_painter.setPen(ToQColor(font.Color));
    m_painter.drawText(QPointF(Px(x), Px(baseline)), ToQString(text));
}

void PaintDeviceReport::DeviceLine(double x1, double y1, double x2, double y2,
                                   const TReportPen& pen) {
    QPen p(ToQColor(pen.Color));
    p.setStyle(ToQtPenStyle(pen.Style));
    if (pen.Width < 0) {
        p.setWidthF(Px(-pen.Width / 100.0));
    } else {
        p.setWidthF(pen.Width <= 1 ? 0.0 : pen.Width);
    }
    m_painter.setPen(p);
    m_painter.drawLine(QPointF(Px(x1), Px(y1)), QPointF(Px(x2), Px(y2)));
}

void PaintDeviceReport::DeviceFillRect(double x1, double y1, double x2, double y2, TColor color) {
    m_painter.fillRect(QRectF(QPointF(Px(x1), Px(y1)), QPointF(Px(x2), Px(y2))), ToQColor(color));
}

void PaintDeviceReport::DeviceStretchPicture(double x1, double y1, double x2, double y2,
                                             const TPicture& picture) {
    m_painter.drawImage(QRectF(QPointF(Px(x1), Px(y1)), QPointF(Px(x2), Px(y2))),
                        ToQImage(picture));
}

void PaintDeviceReport::DeviceGraphic(double x, double y, double widthCm, double heightCm,
                                      const std::function<void(Canvas&)>& paint) {
    m_painter.save();
    // The graphic sets fonts of its own.
    m_painterFont = nullptr;
    m_painter.translate(Px(x), Px(y));
    m_painter.setClipRect(QRectF(0, 0, Px(widthCm), Px(heightCm)));
    // Graphics lay themselves out for a screen canvas (charts scale their
    // texts and shapes for 96 pixels per inch); the painter brings that
    // layout to the device's resolution.
    const double f = m_dpi / static_cast<double>(GraphicPixelsPerInch);
    m_painter.scale(f, f);
    QtCanvas canvas(m_painter, GraphicPixelsPerInch);
    paint(canvas);
    m_painter.restore();
}

} // namespace veltrio::platform
