#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace veltrio {

// A real number as a data file writes it: an optional '-' followed by a run
// of digits, '.' and ','. The first '.' or ',' is the decimal point; a second
// one makes the number unreadable.
struct DecimalToken {
    std::size_t Length = 0; // characters of the run, '-' included
    bool Ok = false;        // the run is a number
    double Value = 0.0;     // valid when Ok
    int Decimals = 0;       // characters after the decimal point (not capped)
};

namespace detail {

inline constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The general case of ScanDecimal, for runs with more than 15 digits.
DecimalToken ScanLongDecimal(std::string_view text);

} // namespace detail

// Scans the number at the start of `text` in one pass. With at most 15
// significant digits and 22 decimals, mantissa and power of ten are both
// exact doubles, so their one quotient is the correctly rounded value; longer
// numbers go through from_chars, which rounds correctly as well.
inline DecimalToken ScanDecimal(std::string_view text) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    const bool negative = p != end && *p == '-';
    if (negative) {
        ++p;
    }
    // Most numbers have at most 15 digits in all, and then no digit needs to
    // be told apart as significant or not.
    const char* point = nullptr;
    bool secondPoint = false;
    std::uint64_t mantissa = 0;
    int digits = 0;
    for (; p != end; ++p) {
        const char c = *p;
        const unsigned digit = static_cast<unsigned char>(c) - static_cast<unsigned>('0');
        if (digit <= 9) {
            mantissa = mantissa * 10 + digit;
            ++digits;
        } else if (c == '.' || c == ',') {
            secondPoint = secondPoint || point != nullptr;
            point = point != nullptr ? point : p;
        } else {
            break;
        }
    }
    if (digits > 15) {
        return detail::ScanLongDecimal(text);
    }
    DecimalToken t;
    t.Length = static_cast<std::size_t>(p - begin);
    t.Decimals = point != nullptr ? static_cast<int>(p - point - 1) : 0;
    if (secondPoint || digits == 0) {
        return t;
    }
    // Without a second point every character after the point is a digit.
    const double v = static_cast<double>(mantissa) / detail::kExactPow10[t.Decimals];
    t.Value = negative ? -v : v;
    t.Ok = true;
    return t;
}

} // namespace veltrio
