#pragma once

#include <string>

namespace veltrio {

// Numbers as the documents show them, always with "." as the decimal
// separator and "," between thousands, whatever the user's locale.

// Fixed notation: at most `precision` significant digits, the rest of the
// `decimals` places filled with zeros; numbers with more integer digits than
// `precision` fall back to exponent notation. A result that rounds to zero
// carries no minus sign.
std::string FormatFixed(double value, int precision, int decimals);
// The same with thousands separators in the integer part.
std::string FormatThousands(double value, int precision, int decimals);
// A time of day (fraction of a day) as "HH:MM:SS", 24-hour.
std::string TimeText(double time);

} // namespace veltrio
