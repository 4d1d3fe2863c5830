#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "documents/Report.h"

namespace veltrio::platform {

// The print engine's output on a paged Qt device: a QPdfWriter for PDF files
// or a QPrinter. Lengths arrive in centimetres from the top-left corner of
// the page and are drawn in device pixels.
class PaintDeviceReport : public Report {
public:
    explicit PaintDeviceReport(QPagedPaintDevice& device);
    int DeviceResolution() const override { return m_dpi; }

protected:
    double FontLineHeight(const TFont& font) override;
    double FontTextWidth(const TFont& font, std::string_view text) override;
    void DeviceBeginDocument(const std::string& title) override;
    void DeviceBeginPage(double widthCm, double heightCm) override;
    void DeviceEndPage() override;
    void DeviceEndDocument() override;
    void DeviceText(double x, double baseline, const TFont& font, std::string_view text) override;
    void DeviceLine(double x1, double y1, double x2, double y2, const TReportPen& pen) override;
    void DeviceFillRect(double x1, double y1, double x2, double y2, TColor color) override;
    void DeviceStretchPicture(double x1, double y1, double x2, double y2,
                              const TPicture& picture) override;
    void DeviceGraphic(double x, double y, double widthCm, double heightCm,
                       const std::function<void(Canvas&)>& paint) override;

private:
    // A font as the device draws it, with its measures: documents use a
    // handful of fonts and repeat their texts (codes, signs, numbers) from
    // row to row, and shaping a text is the dearest part of printing.
    struct TMeasuredFont {
        TFont Font;
        QFont QtFont;
        QFontMetricsF Metrics;
        double LineHeightCm;
        std::unordered_map<std::string, double> WidthsCm;
    };
    TMeasuredFont& Measured(const TFont& font);

    double Px(double cm) const { return cm / 2.54 * m_dpi; }
    QPagedPaintDevice& m_device;
    QPainter m_painter;
    int m_dpi;
    bool m_pageOpen = false;
    std::vector<std::unique_ptr<TMeasuredFont>> m_fonts;
    const TMeasuredFont* m_painterFont = nullptr;
};

} // namespace veltrio::platform
