#pragma once

#include "base/Missing.h"

#include <memory>
#include <vector>

namespace veltrio {

// A point as procedures pass series to a chart; −99 (MissingValue) in
// either coordinate marks a missing point.
struct TPointXY {
    double x = 0;
    double y = 0;
};

// A curve value; y = MissingValue is missing.
struct TCurvPoint {
    double y = MissingValue;
};

struct TCurvePoint : TCurvPoint {
    double x = MissingValue;
};

struct TCurveLabelPoint : TCurvePoint {};

// The points of a curve, in order; point i is counted from 1.
class TCurveList {
public:
    void Add(double x, double y);
    int Count() const { return static_cast<int>(m_points.size()); }
    // Throws std::out_of_range outside 1..Count().
    const TCurvePoint& Point(int i) const;
    // As the chart operations take them.
    std::vector<TPointXY> Points() const;

private:
    std::vector<TCurvePoint> m_points;
};

} // namespace veltrio
