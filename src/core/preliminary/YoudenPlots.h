#pragma once

#include <span>

#include "charts/Curves.h"

namespace veltrio {

class Program;
class TGraphWindow;

// The spread of one coordinate of a point list, robust against single
// far-away laboratories: the smallest and largest value and the median
// ± 5.2 median absolute deviations. Missing coordinates (−99) are left out
// as long as one point remains.
struct TRobustRange {
    double Min = 0;
    double Max = 0;
    double Upper = 0;
    double Lower = 0;
};
enum class TCoordinate { X, Y };
TRobustRange RobustRange(std::span<const TPointXY> points, TCoordinate coordinate);

// One chart window per level in which some laboratory has both results:
// each laboratory as the point (result 1, result 2), the Cochran and Grubbs
// outliers circled, the assigned value, the diagonal.
void YoudenPlots(Program& program);

// The plot of a level on a chart; the title lines only with withTitles
// (the laboratory report draws the plot without them).
void YoudenChart(Program& program, TGraphWindow& chart, int level, bool withTitles);

} // namespace veltrio
