#include "documents/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace veltrio {

namespace {

std::string ToChars(double value, std::chars_format format, int precision) {
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return std::string(buffer, result.ptr);
}

bool AllZeroDigits(const std::string& s) {
    return std::none_of(s.begin(), s.end(), [](char c) { return c >= '1' && c <= '9'; });
}

} // namespace

std::string FormatFixed(double value, int precision, int decimals) {
    decimals = std::clamp(decimals, 0, 18);
    precision = std::clamp(precision, 1, 18);
    if (!std::isfinite(value)) {
        return std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF");
    }
    int shown = decimals;
    if (value != 0.0) {
        const int intDigits = static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
        if (intDigits > precision) {
            return ToChars(value, std::chars_format::scientific, precision - 1);
        }
        shown = std::clamp(precision - intDigits, 0, decimals);
    }
    std::string text = ToChars(value, std::chars_format::fixed, shown);
    if (decimals > shown) {
        if (shown == 0) {
            text += '.';
        }
        text.append(static_cast<std::size_t>(decimals - shown), '0');
    }
    if (!text.empty() && text[0] == '-' && AllZeroDigits(text)) {
        text.erase(0, 1);
    }
    return text;
}

std::string FormatThousands(double value, int precision, int decimals) {
    std::string text = FormatFixed(value, precision, decimals);
    if (text.find_first_of("eE") != std::string::npos) {
        return text;
    }
    const std::size_t begin = (!text.empty() && text[0] == '-') ? 1 : 0;
    std::size_t end = text.find('.');
    if (end == std::string::npos) {
        end = text.size();
    }
    for (std::ptrdiff_t pos = static_cast<std::ptrdiff_t>(end) - 3;
         pos > static_cast<std::ptrdiff_t>(begin); pos -= 3) {
        text.insert(static_cast<std::size_t>(pos), 1, ',');
    }
    return text;
}

std::string TimeText(double time) {
    double fraction = time - std::floor(time);
    long seconds = std::lround(fraction * 86400.0) % 86400;
    const long h = seconds / 3600;
    const long m = (seconds / 60) % 60;
    const long s = seconds % 60;
    std::string text;
    for (long part : {h, m, s}) {
        if (!text.empty()) {
            text += ':';
        }
        text += static_cast<char>('0' + part / 10);
        text += static_cast<char>('0' + part % 10);
    }
    return text;
}

} // namespace veltrio
