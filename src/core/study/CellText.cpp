#include "study/CellText.h"

#include <charconv>
#include <cmath>

#include "base/Missing.h"
#include "base/TextUtil.h"
#include "study/DescriptiveStatistics.h"
#include "study/ReportFraming.h"

namespace veltrio {

std::string AlignedNumberText(double value, int decimals, int column, int width) {
    std::string out(static_cast<std::size_t>(std::max(width, 0)), ' ');
    auto put = [&](int col, char c) {
        if (col >= 1 && col <= width) {
            out[static_cast<std::size_t>(col - 1)] = c;
        }
    };
    if (value == MissingValue) {
        put(column, '-');
        return out;
    }
    // FormatNumber places the point; only the no-decimals case differs.
    if (decimals > 0) {
        return FormatNumber(width, column, decimals, value);
    }
    const std::string s = Trim(FormatNumber(64, 40, 0, value));
    for (std::size_t i = 0; i < s.size(); ++i) {
        put(column + 1 + static_cast<int>(i), s[i]);
    }
    return out;
}

std::string MeanText(const TDescriptiveStatistics& d, int level, int lab, int decimals, int column,
                     int width) {
    return AlignedNumberText(d.Mean(level, lab), decimals, column, width);
}

std::string SDText(const TDescriptiveStatistics& d, int level, int lab, int decimals, int column,
                   int width) {
    return AlignedNumberText(d.SD(level, lab), decimals, column, width);
}

std::string AbsDifferenceText(const TDescriptiveStatistics& d, int level, int lab, int decimals,
                              int column, int width) {
    const double v = d.Difference(level, lab);
    return AlignedNumberText(v == MissingValue ? v : std::fabs(v), decimals, column, width);
}

std::string DifferenceText(const TDescriptiveStatistics& d, int level, int lab, int decimals,
                           int column, int width) {
    return FormatNumber(width, column, decimals, d.Difference(level, lab));
}

std::string CochranText(const TDescriptiveStatistics& d, int level, int decimals, int column,
                        int width) {
    return FormatNumber(width, column, decimals, d.CochranStat[TDescriptiveStatistics::Slot(level)]);
}

std::string GrubbsText(const TDescriptiveStatistics& d, int level, int decimals, int column,
                       int width) {
    return FormatNumber(width, column, decimals, d.GrubbsStat[TDescriptiveStatistics::Slot(level)]);
}

} // namespace veltrio
