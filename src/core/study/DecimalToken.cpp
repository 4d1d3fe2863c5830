#include "study/DecimalToken.h"

#include <charconv>
#include <cmath>
#include <string>

namespace veltrio::detail {

namespace {

// Numbers with more than 15 significant digits or more than 22 decimals.
bool ParseLongDecimal(std::string_view run, double& value) {
    std::string copy(run);
    if (const auto comma = copy.find(','); comma != std::string::npos) {
        copy[comma] = '.';
    }
    const auto res =
        std::from_chars(copy.data(), copy.data() + copy.size(), value, std::chars_format::fixed);
    return res.ec == std::errc() && res.ptr == copy.data() + copy.size() && std::isfinite(value);
}

} // namespace

DecimalToken ScanLongDecimal(std::string_view text) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    const bool negative = p != end && *p == '-';
    if (negative) {
        ++p;
    }
    const char* point = nullptr;
    std::uint64_t mantissa = 0;
    int significant = 0;
    int exactDecimals = 0;
    bool anyDigit = false;
    bool secondPoint = false;
    bool tooLong = false;      // the exact path gave up ...
    bool secondBefore = false; // ... after a second point had already refused the number
    for (; p != end; ++p) {
        const char c = *p;
        const unsigned digit = static_cast<unsigned char>(c) - static_cast<unsigned>('0');
        if (digit <= 9) {
            anyDigit = true;
            if (!tooLong) {
                significant += (mantissa != 0 || digit != 0) ? 1 : 0;
                mantissa = mantissa * 10 + digit;
                exactDecimals += point != nullptr ? 1 : 0;
                if (significant > 15 || exactDecimals > 22) {
                    tooLong = true;
                    secondBefore = secondPoint;
                }
            }
        } else if (c == '.' || c == ',') {
            if (point != nullptr) {
                secondPoint = true;
            } else {
                point = p;
            }
        } else {
            break;
        }
    }
    DecimalToken t;
    t.Length = static_cast<std::size_t>(p - begin);
    t.Decimals = point != nullptr ? static_cast<int>(p - point - 1) : 0;
    if (tooLong && !secondBefore) {
        t.Ok = ParseLongDecimal(std::string_view(begin, t.Length), t.Value);
        return t;
    }
    if (secondPoint || !anyDigit) {
        return t;
    }
    const double v = static_cast<double>(mantissa) / kExactPow10[exactDecimals];
    t.Value = negative ? -v : v;
    t.Ok = true;
    return t;
}

} // namespace veltrio::detail
