#pragma once

#include <string>

namespace veltrio {

class TDescriptiveStatistics;

// Cell figures as fixed-width texts for the tables of the outlier tests.
// The number's decimal point stands on column `column` (1-based) of a field
// of `width` characters; without decimals the number begins at column + 1;
// -99 gives "-" on the column.
std::string AlignedNumberText(double value, int decimals, int column, int width);

std::string MeanText(const TDescriptiveStatistics& d, int level, int lab, int decimals, int column,
                     int width);
std::string SDText(const TDescriptiveStatistics& d, int level, int lab, int decimals, int column,
                   int width);
std::string AbsDifferenceText(const TDescriptiveStatistics& d, int level, int lab, int decimals,
                              int column, int width);
// These use FormatNumber.
std::string DifferenceText(const TDescriptiveStatistics& d, int level, int lab, int decimals,
                           int column, int width);
std::string CochranText(const TDescriptiveStatistics& d, int level, int decimals, int column,
                        int width);
std::string GrubbsText(const TDescriptiveStatistics& d, int level, int decimals, int column,
                       int width);

} // namespace veltrio
