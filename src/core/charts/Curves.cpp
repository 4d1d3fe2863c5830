#include "charts/Curves.h"

#include <stdexcept>

namespace veltrio {

void TCurveList::Add(double x, double y) {
    TCurvePoint p;
    p.x = x;
    p.y = y;
    m_points.push_back(p);
}

const TCurvePoint& TCurveList::Point(int i) const {
    if (i < 1 || i > Count()) {
        throw std::out_of_range("TCurveList.Point");
    }
    return m_points[static_cast<std::size_t>(i - 1)];
}

std::vector<TPointXY> TCurveList::Points() const {
    std::vector<TPointXY> result;
    result.reserve(m_points.size());
    for (const TCurvePoint& p : m_points) {
        result.push_back({p.x, p.y});
    }
    return result;
}

} // namespace veltrio
