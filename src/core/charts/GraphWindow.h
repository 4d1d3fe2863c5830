#pragma once

#include "charts/Curves.h"
#include "charts/DrawWindow.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace veltrio {

enum class TLegendPosition { lpOutsideRight, lpFarOutsideRight, lpInsideRight, lpBottom };

// The result of the automatic scale rule.
struct TAxisScale {
    double Min = 0;
    double Max = 0;
    double Interval = 0;
    int Decimals = 0;

    bool operator==(const TAxisScale&) const = default;
};

// The automatic scale of an axis that must show `largest` and `smallest`.
TAxisScale AutoScale(double largest, double smallest);

// A box of a box plot: lower whisker end, first quartile, median, third
// quartile, upper whisker end, and its position on the category axis.
struct TBox {
    double LowWhisker = MissingValue;
    double Q1 = MissingValue;
    double Median = MissingValue;
    double Q3 = MissingValue;
    double HighWhisker = MissingValue;
    double Position = 0;
};

struct TBoxList {
    std::vector<TBox> Boxes;
    double BoxWidth = 1.5;
    double WhiskerWidth = 0.25;
    // false: vertical boxes; true: horizontal boxes.
    bool Horizontal = false;
};

// A drawing surface with an axes system: data coordinates map into the plot
// area x0..x0 + XaxisLength, y0 − YAxisLength..y0 (page cm). Set both axes
// before adding curves or boxes.
class TGraphWindow : public TDrawWindow {
public:
    double TickLength() const { return m_tickLength; }
    void SetTickLength(double cm);
    double MarkerSize() const { return m_markerSize; }
    void SetMarkerSize(double cm);
    bool IgnoreMissing() const { return m_ignoreMissing; }
    void SetIgnoreMissing(bool on);

    double XaxisLength = 11;
    double YAxisLength = 11;
    bool LegendOn = true;
    TLegendPosition LegendPosition = TLegendPosition::lpOutsideRight;
    double XaxisLabelAngle = 0;
    TPrinterOrientation PageOrientation = TPrinterOrientation::poPortrait;
    int LegendCount = 0;

    double X0() const { return m_x0; }
    double Y0() const { return m_y0; }
    // The axes' data ranges, as the last SetXAxis and SetYAxis set them.
    double XMin() const { return m_xMin; }
    double XMax() const { return m_xMax; }
    double YMin() const { return m_yMin; }
    double YMax() const { return m_yMax; }

    // Data coordinates as page cm.
    double PageX(double x) const;
    double PageY(double y) const;
    // Whether a page point lies in the plot area, edges included.
    bool InPlotArea(double px, double py) const;

    void SetOrigin(double x0, double y0);
    void SetAxisLengths(double xLength, double yLength);
    // position 0 bottom, 1 top, 2 no axis line, ticks or labels.
    void SetXAxis(int decimals, int position, double min, double max, double interval);
    // position 0 left, 1 right, 2 none.
    void SetYAxis(int decimals, int position, double min, double max, double interval);
    // Scales both axes over every point of the sets (missing coordinates
    // ignored) and draws them; returns the x and y scales.
    std::pair<TAxisScale, TAxisScale> AutoScaleAxes(std::span<const std::span<const TPointXY>> sets,
                                                    int xPosition, int yPosition);

    void AddCurve(std::span<const TPointXY> points, const std::string& legend, TColor lineColor,
                  double lineWidth, TPenStyle lineStyle, double markerSize, TColor markerColor,
                  int markerCode);
    // labelPosition: 0 left-aligned at x − MarkerSize, 1 right-aligned at
    // x + MarkerSize, 2 above, 3 below, 4 centred on the point, 5 no labels.
    void AddLabelledCurve(std::span<const TPointXY> points, const std::string& legend,
                          TColor lineColor, double lineWidth, TPenStyle lineStyle,
                          double markerSize, TColor markerColor, int markerCode,
                          const std::vector<std::string>& labels, const TFontDescriptor& labelFont,
                          int labelPosition);
    void AddBoxPlots(const TBoxList& boxes);
    void AddLegendEntry(int entry, const std::string& text, TPenStyle lineStyle, TColor lineColor,
                        double lineWidth, int markerCode, TColor markerColor, double markerSize);
    // Marker codes 0 to 19; other codes draw nothing. With clip, only a
    // point in the plot area gets its marker.
    void DrawMarker(int code, TColor color, double size, double x, double y, bool clip);
    void DrawFrame(TColor color, TPenStyle style, double width);
    void SetTitle(const std::string& text, const TFontDescriptor& font, double distance);
    void SetXAxisTitle(const std::string& text, int position, const TFontDescriptor& font);
    void SetYAxisTitle(const std::string& text, int position, const TFontDescriptor& font);
    void SetLegendFont(const TFontDescriptor& font) { m_legendFont = font; }
    void SetXAxisFont(const TFontDescriptor& font) { m_xAxisFont = font; }
    void SetYAxisFont(const TFontDescriptor& font) { m_yAxisFont = font; }
    void SetRightAxisFont(const TFontDescriptor& font) { m_rightAxisFont = font; }
    void ClearChart();

    // The font used where an optional font is not set.
    TFontDescriptor StandardFont{"Arial", 10};

private:
    void AddSeries(std::span<const TPointXY> points, const std::string& legend, TColor lineColor,
                   double lineWidth, TPenStyle lineStyle, double markerSize, TColor markerColor,
                   int markerCode, const std::vector<std::string>* labels,
                   const TFontDescriptor* labelFont, int labelPosition);

    double m_tickLength = 0.2;
    double m_markerSize = 0.25;
    bool m_ignoreMissing = false;
    double m_x0 = 2;
    double m_y0 = 13;
    double m_xMin = 0, m_xMax = 1, m_yMin = 0, m_yMax = 1;
    std::optional<TFontDescriptor> m_legendFont;
    std::optional<TFontDescriptor> m_xAxisFont;
    std::optional<TFontDescriptor> m_yAxisFont;
    std::optional<TFontDescriptor> m_rightAxisFont;
};

} // namespace veltrio
