#pragma once

#include "charts/GraphWindow.h"
#include "settings/Settings.h"

#include <memory>
#include <string>

namespace veltrio {

// The program-wide look of charts.

// The legend font and the fonts of the x and left y axis labels in the
// output font of the settings.
void ChartFonts(TGraphWindow& graph, const TSettings& settings);
// The output font of the settings at a size, for chart texts.
TFontDescriptor ChartOutputFont(const TSettings& settings, int size, bool bold = false);

// LineWidth (mm) as cm when it is ≥ 0, else −1 (the thinnest line).
double ChartLineWidth(const TSettings& settings);
// The note for charts made with the outlier tests switched off, bold
// italic, 10 points, with its bottom-left corner at (x, y).
void AddChartDiscardNote(TGraphWindow& graph, const std::string& note, double x, double y);

// A chart for a chart window, as every procedure starts one: the chart
// fonts, a page of 26 × 30 cm, the offset from the margins of the settings
// (left − 1, top − 2 cm) and the chart line width.
std::shared_ptr<TGraphWindow> NewChartWindow(const TSettings& settings);
// The same set-up for a chart made by the caller (one that a document owns).
void SetUpChartWindow(TGraphWindow& graph, const TSettings& settings);

} // namespace veltrio
