#include "charts/GraphWindow.h"

#include "documents/NumberText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace veltrio {

namespace {

// Rounding noise of the scale arithmetic, relative to the unit.
constexpr double Slack = 1e-9;
// More ticks than this are a damaged scale, not an axis.
constexpr int MaxTicks = 1000;

bool IsMissing(const TPointXY& p) {
    return p.x == MissingValue || p.y == MissingValue;
}

// The label of an axis value; a value that shows as zero is "0".
std::string AxisLabel(double value, int decimals, bool thousands) {
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals)) {
        return "0";
    }
    return thousands ? FormatThousands(value, 10, decimals) : FormatFixed(value, 6, decimals);
}

// Number of whole intervals on an axis, or −1 when the scale cannot be
// divided (empty range or no interval).
int IntervalCount(double min, double max, double interval) {
    if (!(max > min) || !(interval > 0)) {
        return -1;
    }
    const double n = std::round((max - min) / interval);
    return static_cast<int>(std::min<double>(n, MaxTicks));
}

} // namespace

TAxisScale AutoScale(double largest, double smallest) {
    double a = largest, b = smallest;
    if (a < b) {
        std::swap(a, b);
    }
    if (a == b || !std::isfinite(a - b)) {
        return {a - 1, a + 1, 0.5, 1};
    }
    static constexpr std::array<double, 11> S = {0, 0.2, 0.5, 0.5, 1, 1, 1, 1, 2, 3, 2.5};
    static constexpr std::array<int, 11> D = {0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 1};
    const int e = static_cast<int>(std::floor(std::log10(a - b) + Slack));
    const double u = std::pow(10.0, e);
    int g = static_cast<int>(std::ceil((a - b) / u - Slack));
    g = std::clamp(g, 1, 10);
    const double l = std::floor(b / u + Slack);
    if (l + g < a / u && g < 10) {
        ++g;
    }
    TAxisScale scale;
    scale.Min = l * u;
    scale.Max = (l + g) * u;
    scale.Interval = S[static_cast<std::size_t>(g)] * u;
    scale.Decimals = std::max(0, D[static_cast<std::size_t>(g)] - e);
    if (scale.Max < a) {
        scale.Max = (l + g + 1) * u;
    }
    return scale;
}

void TGraphWindow::SetTickLength(double cm) {
    if (cm != m_tickLength) {
        m_tickLength = cm;
        Changed();
    }
}

void TGraphWindow::SetMarkerSize(double cm) {
    if (cm != m_markerSize) {
        m_markerSize = cm;
        Changed();
    }
}

void TGraphWindow::SetIgnoreMissing(bool on) {
    if (on != m_ignoreMissing) {
        m_ignoreMissing = on;
        Changed();
    }
}

double TGraphWindow::PageX(double x) const {
    if (!(m_xMax != m_xMin)) {
        return m_x0; // an empty range maps onto the axis origin
    }
    return m_x0 + (x - m_xMin) / (m_xMax - m_xMin) * XaxisLength;
}

double TGraphWindow::PageY(double y) const {
    if (!(m_yMax != m_yMin)) {
        return m_y0;
    }
    return m_y0 - (y - m_yMin) / (m_yMax - m_yMin) * YAxisLength;
}

bool TGraphWindow::InPlotArea(double px, double py) const {
    constexpr double eps = 1e-9;
    return px >= m_x0 - eps && px <= m_x0 + XaxisLength + eps && py >= m_y0 - YAxisLength - eps &&
           py <= m_y0 + eps;
}

void TGraphWindow::SetOrigin(double x0, double y0) {
    m_x0 = x0;
    m_y0 = y0;
    LegendCount = 0;
}

void TGraphWindow::SetAxisLengths(double xLength, double yLength) {
    XaxisLength = xLength;
    YAxisLength = yLength;
}

void TGraphWindow::SetXAxis(int decimals, int position, double min, double max, double interval) {
    m_xMin = min;
    m_xMax = max;
    if (position == 2) {
        return;
    }
    const double axisY = position == 1 ? m_y0 - YAxisLength : m_y0;
    AddLine(m_x0, axisY, m_x0 + XaxisLength, axisY);
    const int n = IntervalCount(min, max, interval);
    const double step = n >= 0 ? interval / (max - min) * XaxisLength : 0;
    const TFontDescriptor& font = m_xAxisFont ? *m_xAxisFont : StandardFont;
    for (int k = 0; k <= n && min + k * interval <= max + interval * 1e-5; ++k) {
        const double x = m_x0 + k * step;
        AddLine(x, axisY - m_tickLength, x, axisY);
        const std::string label = AxisLabel(min + k * interval, decimals, true);
        if (XaxisLabelAngle != 0) {
            AddText(label, x, axisY + 0.2, 2, 2, font, XaxisLabelAngle);
        } else if (position == 1) {
            AddText(label, x, axisY - 0.2, 1, 0, font);
        } else {
            AddText(label, x, axisY + 0.2, 1, 2, font);
        }
    }
}

void TGraphWindow::SetYAxis(int decimals, int position, double min, double max, double interval) {
    m_yMin = min;
    m_yMax = max;
    if (position == 2) {
        return;
    }
    const bool right = position == 1;
    const double axisX = right ? m_x0 + XaxisLength : m_x0;
    AddLine(axisX, m_y0, axisX, m_y0 - YAxisLength);
    const int n = IntervalCount(min, max, interval);
    const double step = n >= 0 ? interval / (max - min) * YAxisLength : 0;
    const TFontDescriptor& font = right ? (m_rightAxisFont ? *m_rightAxisFont : StandardFont)
                                        : (m_yAxisFont ? *m_yAxisFont : StandardFont);
    for (int k = 0; k <= n; ++k) {
        const double y = m_y0 - k * step;
        AddLine(axisX, y, right ? axisX - m_tickLength : axisX + m_tickLength, y);
        const double value = min + k * interval;
        if (value <= max + interval * 1e-5) {
            const std::string label = AxisLabel(value, decimals, false);
            if (right) {
                AddText(label, axisX + 0.2, y, 0, 1, font);
            } else {
                AddText(label, axisX - 0.2, y, 2, 1, font);
            }
        }
    }
}

std::pair<TAxisScale, TAxisScale>
TGraphWindow::AutoScaleAxes(std::span<const std::span<const TPointXY>> sets, int xPosition,
                            int yPosition) {
    double xLow = 2147483647, xHigh = -2147483647, yLow = 2147483647, yHigh = -2147483647;
    for (const auto& set : sets) {
        for (const TPointXY& p : set) {
            if (p.x != MissingValue) {
                xLow = std::min(xLow, p.x);
                xHigh = std::max(xHigh, p.x);
            }
            if (p.y != MissingValue) {
                yLow = std::min(yLow, p.y);
                yHigh = std::max(yHigh, p.y);
            }
        }
    }
    // Without any value an axis scales as if every value were 0.
    if (xLow > xHigh) {
        xLow = xHigh = 0;
    }
    if (yLow > yHigh) {
        yLow = yHigh = 0;
    }
    if (xLow == xHigh) {
        const double v = xLow;
        xLow = std::min(0.5 * v, 1.5 * v);
        xHigh = std::max(0.5 * v, 1.5 * v);
    }
    if (yLow == yHigh) {
        const double v = yLow;
        yLow = v == 0 ? 0 : std::min(0.5 * v, 1.5 * v);
        yHigh = v == 0 ? 10 : std::max(0.5 * v, 1.5 * v);
    }
    const TAxisScale xs = AutoScale(xHigh, xLow);
    const TAxisScale ys = AutoScale(yHigh, yLow);
    SetXAxis(xs.Decimals, xPosition, xs.Min, xs.Max, xs.Interval);
    SetYAxis(ys.Decimals, yPosition, ys.Min, ys.Max, ys.Interval);
    return {xs, ys};
}

void TGraphWindow::AddCurve(std::span<const TPointXY> points, const std::string& legend,
                            TColor lineColor, double lineWidth, TPenStyle lineStyle,
                            double markerSize, TColor markerColor, int markerCode) {
    AddSeries(points, legend, lineColor, lineWidth, lineStyle, markerSize, markerColor, markerCode,
              nullptr, nullptr, 5);
}

void TGraphWindow::AddLabelledCurve(std::span<const TPointXY> points, const std::string& legend,
                                    TColor lineColor, double lineWidth, TPenStyle lineStyle,
                                    double markerSize, TColor markerColor, int markerCode,
                                    const std::vector<std::string>& labels,
                                    const TFontDescriptor& labelFont, int labelPosition) {
    AddSeries(points, legend, lineColor, lineWidth, lineStyle, markerSize, markerColor, markerCode,
              &labels, &labelFont, labelPosition);
}

void TGraphWindow::AddSeries(std::span<const TPointXY> points, const std::string& legend,
                             TColor lineColor, double lineWidth, TPenStyle lineStyle,
                             double markerSize, TColor markerColor, int markerCode,
                             const std::vector<std::string>* labels,
                             const TFontDescriptor* labelFont, int labelPosition) {
    if (points.empty()) {
        return;
    }
    bool havePrevious = false;
    double px0 = 0, py0 = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TPointXY& p = points[i];
        if (IsMissing(p)) {
            if (!m_ignoreMissing) {
                havePrevious = false;
            }
            continue;
        }
        const double px = PageX(p.x), py = PageY(p.y);
        if (havePrevious && lineStyle != TPenStyle::psClear) {
            AddLine(px0, py0, px, py, lineColor, lineStyle, lineWidth);
        }
        DrawMarker(markerCode, markerColor, markerSize, px, py, true);
        if (labels != nullptr && labelPosition != 5 && labels->size() > i && InPlotArea(px, py)) {
            const std::string& label = (*labels)[i];
            const double m = m_markerSize;
            switch (labelPosition) {
            case 0:
                AddText(label, px - m, py, 0, 1, *labelFont);
                break;
            case 1:
                AddText(label, px + m, py, 2, 1, *labelFont);
                break;
            case 2:
                AddText(label, px, py - m, 1, 0, *labelFont);
                break;
            case 3:
                AddText(label, px, py + m, 1, 2, *labelFont);
                break;
            case 4:
                AddText(label, px, py, 1, 1, *labelFont);
                break;
            default:
                break;
            }
        }
        havePrevious = true;
        px0 = px;
        py0 = py;
    }
    if (LegendOn && !legend.empty()) {
        ++LegendCount;
        AddLegendEntry(LegendCount, legend, lineStyle, lineColor, lineWidth, markerCode,
                       markerColor, markerSize);
    }
}

void TGraphWindow::AddLegendEntry(int entry, const std::string& text, TPenStyle lineStyle,
                                  TColor lineColor, double lineWidth, int markerCode,
                                  TColor markerColor, double markerSize) {
    const double top = m_y0 - YAxisLength;
    double xs = 0, y = 0;
    switch (LegendPosition) {
    case TLegendPosition::lpOutsideRight:
        xs = m_x0 + XaxisLength + 0.3;
        y = top + (entry - 1) * 0.5;
        break;
    case TLegendPosition::lpFarOutsideRight:
        xs = m_x0 + XaxisLength + 1.5;
        y = top + (entry - 1) * 0.5;
        break;
    case TLegendPosition::lpInsideRight:
        xs = m_x0 + XaxisLength - 3;
        y = top + entry * 0.5;
        break;
    case TLegendPosition::lpBottom:
        // Four entries a row, rows 1.2 cm apart, as many rows as needed.
        xs = m_x0 + ((entry - 1) % 4) * 3.5;
        y = m_y0 + 2.0 + ((entry - 1) / 4) * 1.2;
        break;
    }
    if (lineStyle != TPenStyle::psClear) {
        AddLine(xs, y, xs + 1, y, lineColor, lineStyle, lineWidth);
    }
    DrawMarker(markerCode, markerColor, markerSize, xs + 0.5, y, false);
    const TFontDescriptor& font = m_legendFont ? *m_legendFont : TFontDescriptor{};
    if (LegendPosition == TLegendPosition::lpBottom) {
        AddText(text, xs + 0.5, y - 0.3, 1, 0, font);
    } else {
        AddText(text, xs + 1.3, y, 0, 1, font);
    }
}

void TGraphWindow::DrawMarker(int code, TColor color, double size, double x, double y, bool clip) {
    if (clip && !InPlotArea(x, y)) {
        return;
    }
    const double s = size, h = size / 2;
    auto cross = [&] {
        AddLine(x - h, y - h, x + h, y + h, color);
        AddLine(x - h, y + h, x + h, y - h, color);
    };
    switch (code) {
    case 0:
    case 1:
        AddSquare(x, y, h, color, code == 1);
        break;
    case 2:
        for (double degrees : {90.0, 30.0, 150.0}) {
            const double t = degrees * std::numbers::pi / 180;
            const double dx = h * std::cos(t), dy = h * std::sin(t);
            AddLine(x - dx, y + dy, x + dx, y - dy, color);
        }
        break;
    case 3:
    case 4:
        AddTriangle(x, y, 0.707 * s, color, code == 4);
        break;
    case 5:
    case 6:
        AddCircle(x, y, s, color, code == 6);
        break;
    case 7:
        AddLine(x, y - h, x, y + h, color);
        break;
    case 8:
        AddLine(x - h, y, x + h, y, color);
        break;
    case 9:
    case 10:
        AddHexagon(x, y, h, color, code == 10);
        break;
    case 11:
        AddCircle(x, y, s, color, false);
        AddCircle(x, y, h, color, true);
        break;
    case 13:
        cross();
        break;
    case 14:
        AddSquare(x, y, h, color, false);
        AddCircle(x, y, h, color, true);
        break;
    case 15:
        AddSquare(x, y, h, color, false);
        cross();
        break;
    case 16:
    case 17:
        AddLeftTriangle(x, y, 0.707 * s, color, code == 17);
        break;
    case 18:
    case 19:
        AddRightTriangle(x, y, 0.707 * s, color, code == 19);
        break;
    default:
        break; // 12 and unknown codes: nothing
    }
}

void TGraphWindow::AddBoxPlots(const TBoxList& list) {
    const double w = list.BoxWidth / 2;
    const double v = list.WhiskerWidth;
    for (const TBox& box : list.Boxes) {
        const std::array<double, 5> values = {box.LowWhisker, box.Q1, box.Median, box.Q3,
                                              box.HighWhisker};
        // A box without all five figures cannot be drawn.
        if (std::find(values.begin(), values.end(), MissingValue) != values.end()) {
            continue;
        }
        if (!list.Horizontal) {
            const double x = PageX(box.Position);
            const double lo = PageY(box.LowWhisker), q1 = PageY(box.Q1), med = PageY(box.Median),
                         q3 = PageY(box.Q3), hi = PageY(box.HighWhisker);
            for (double y : {q3, med, q1}) {
                AddLine(x - w, y, x + w, y);
            }
            AddLine(x - w, q1, x - w, q3);
            AddLine(x + w, q1, x + w, q3);
            AddLine(x, q3, x, hi);
            AddLine(x, lo, x, q1);
            DrawMarker(8, clBlack, v, x, hi, false);
            DrawMarker(8, clBlack, v, x, lo, false);
        } else {
            const double y = PageY(box.Position);
            const double lo = PageX(box.LowWhisker), q1 = PageX(box.Q1), med = PageX(box.Median),
                         q3 = PageX(box.Q3), hi = PageX(box.HighWhisker);
            for (double x : {q3, med, q1}) {
                AddLine(x, y - w, x, y + w);
            }
            AddLine(q1, y - w, q3, y - w);
            AddLine(q1, y + w, q3, y + w);
            AddLine(q3, y, hi, y);
            AddLine(lo, y, q1, y);
            DrawMarker(7, clBlack, v, hi, y, false);
            DrawMarker(7, clBlack, v, lo, y, false);
        }
    }
}

void TGraphWindow::DrawFrame(TColor color, TPenStyle style, double width) {
    const double l = m_x0, r = m_x0 + XaxisLength, b = m_y0, t = m_y0 - YAxisLength;
    AddLine(l, b, r, b, color, style, width);
    AddLine(r, b, r, t, color, style, width);
    AddLine(r, t, l, t, color, style, width);
    AddLine(l, t, l, b, color, style, width);
}

void TGraphWindow::SetTitle(const std::string& text, const TFontDescriptor& font, double distance) {
    const double d = distance < 0 ? 0.1 : distance;
    AddText(text, m_x0 + XaxisLength / 2, m_y0 - YAxisLength - d, 1, 0, font);
}

void TGraphWindow::SetXAxisTitle(const std::string& text, int position,
                                 const TFontDescriptor& font) {
    if (position == 1) {
        AddText(text, m_x0 + XaxisLength / 2, m_y0 + 0.7, 1, 2, font);
    }
}

void TGraphWindow::SetYAxisTitle(const std::string& text, int position,
                                 const TFontDescriptor& font) {
    if (position == 0) {
        AddText(text, m_x0 - 2.2, m_y0 - YAxisLength / 2, 1, 1, font, 90);
    } else if (position == 1) {
        AddText(text, m_x0 - 0.2, m_y0 - YAxisLength - 0.3, 0, 0, font);
    }
}

void TGraphWindow::ClearChart() {
    ClearObjects();
    LegendCount = 0;
}

} // namespace veltrio
