// The one-pass number scanner of the data-file reader against a plain
// two-pass reference (find the run, then parse it) and against strtod: same
// acceptance, same length, same decimals and bit-identical values.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "study/DecimalToken.h"

using namespace veltrio;

namespace {

// Reference: the run is '-'? followed by digits, '.' and ','; the value is
// the quotient of an exact mantissa and an exact power of ten while both are
// exact, otherwise from_chars on the run with its first ',' made a '.'.
DecimalToken Reference(std::string_view text) {
    std::size_t n = 0;
    if (n < text.size() && text[n] == '-') {
        ++n;
    }
    bool pointSeen = false;
    int decimals = 0;
    while (n < text.size()) {
        const char c = text[n];
        if (!(c >= '0' && c <= '9') && c != '.' && c != ',') {
            break;
        }
        ++n;
        if (pointSeen) {
            ++decimals;
        } else if (c == '.' || c == ',') {
            pointSeen = true;
        }
    }
    DecimalToken t;
    t.Length = n;
    t.Decimals = decimals;
    const std::string_view run = text.substr(0, n);

    static constexpr double pow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::size_t i = 0;
    const bool negative = !run.empty() && run[0] == '-';
    if (negative) {
        ++i;
    }
    std::uint64_t mantissa = 0;
    int significant = 0;
    int exactDecimals = 0;
    bool point = false;
    bool anyDigit = false;
    for (; i < run.size(); ++i) {
        const char c = run[i];
        if (c >= '0' && c <= '9') {
            anyDigit = true;
            if (mantissa != 0 || c != '0') {
                ++significant;
            }
            mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
            if (point) {
                ++exactDecimals;
            }
            if (significant > 15 || exactDecimals > 22) {
                break;
            }
        } else if (!point) {
            point = true;
        } else {
            return t;
        }
    }
    if (!anyDigit) {
        return t;
    }
    if (i == run.size()) {
        const double v = static_cast<double>(mantissa) / pow10[exactDecimals];
        t.Value = negative ? -v : v;
        t.Ok = true;
        return t;
    }
    std::string copy(run);
    if (const auto comma = copy.find(','); comma != std::string::npos) {
        copy[comma] = '.';
    }
    double value = 0.0;
    const auto res =
        std::from_chars(copy.data(), copy.data() + copy.size(), value, std::chars_format::fixed);
    t.Ok = res.ec == std::errc() && res.ptr == copy.data() + copy.size() && std::isfinite(value);
    if (t.Ok) {
        t.Value = value;
    }
    return t;
}

void ExpectSame(const std::string& text) {
    const DecimalToken got = ScanDecimal(text);
    const DecimalToken want = Reference(text);
    ASSERT_EQ(got.Ok, want.Ok) << '"' << text << '"';
    ASSERT_EQ(got.Length, want.Length) << '"' << text << '"';
    ASSERT_EQ(got.Decimals, want.Decimals) << '"' << text << '"';
    if (want.Ok) {
        ASSERT_EQ(std::bit_cast<std::uint64_t>(got.Value), std::bit_cast<std::uint64_t>(want.Value))
            << '"' << text << "\" gives " << got.Value << ", not " << want.Value;
    }
}

// A well-formed number is the correctly rounded value of what it writes.
void ExpectCorrectlyRounded(const std::string& text) {
    const DecimalToken got = ScanDecimal(text);
    ASSERT_TRUE(got.Ok) << text;
    ASSERT_EQ(got.Length, text.size()) << text;
    std::string c(text);
    if (const auto comma = c.find(','); comma != std::string::npos) {
        c[comma] = '.';
    }
    const double want = std::strtod(c.c_str(), nullptr);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(got.Value), std::bit_cast<std::uint64_t>(want)) << text;
}

} // namespace

TEST(DecimalToken, TableOfCases) {
    struct Case {
        const char* Text;
        bool Ok;
        std::size_t Length;
        int Decimals;
        double Value;
    };
    const Case cases[] = {
        {"10.123", true, 6, 3, 10.123},
        {"1,25", true, 4, 2, 1.25},
        {"-99", true, 3, 0, -99.0},
        {"<0.5", false, 0, 0, 0.0},
        {"0.5 M1", true, 3, 1, 0.5},
        {"12abc", true, 2, 0, 12.0},
        {"1.", true, 2, 0, 1.0},
        {".5", true, 2, 1, 0.5},
        {",75", true, 3, 2, 0.75},
        {"-0.000123", true, 9, 6, -0.000123},
        {"007", true, 3, 0, 7.0},
        {"123456789012345", true, 15, 0, 123456789012345.0},
        {"1234567890123456", true, 16, 0, 1234567890123456.0},
        {"0.1234567890123456789", true, 21, 19, 0.1234567890123456789},
        {"0.00000000000000000000001", true, 25, 23, 1e-23},
        {"99999999999999999999.5", true, 22, 1, 99999999999999999999.5},
        {"", false, 0, 0, 0.0},
        {"-", false, 1, 0, 0.0},
        {"-x", false, 1, 0, 0.0},
        {".", false, 1, 0, 0.0},
        {",", false, 1, 0, 0.0},
        {"1.2.3", false, 5, 3, 0.0},
        {"1,2.3", false, 5, 3, 0.0},
        {"1..", false, 3, 1, 0.0},
        {"--1", false, 1, 0, 0.0},
        {"12345678901234567.8.9", false, 21, 3, 0.0},
        {"1.2345678901234567,8", false, 20, 18, 0.0},
    };
    for (const Case& c : cases) {
        const DecimalToken t = ScanDecimal(c.Text);
        EXPECT_EQ(t.Ok, c.Ok) << c.Text;
        EXPECT_EQ(t.Length, c.Length) << c.Text;
        EXPECT_EQ(t.Decimals, c.Decimals) << c.Text;
        if (c.Ok && t.Ok) {
            EXPECT_EQ(t.Value, c.Value) << c.Text;
        }
        ExpectSame(c.Text);
    }
    EXPECT_TRUE(std::signbit(ScanDecimal("-0").Value));
    EXPECT_TRUE(std::signbit(ScanDecimal("-0,000").Value));
}

TEST(DecimalToken, GeneratedNumbersAreCorrectlyRoundedAndMatchTheReference) {
    std::mt19937_64 rng(20240611);
    const char* const points[] = {".", ","};
    for (int i = 0; i < 200000; ++i) {
        // 1 to 24 digits, some of them leading zeros, the point anywhere.
        const int digits = 1 + static_cast<int>(rng() % 24);
        std::string body;
        for (int d = 0; d < digits; ++d) {
            const bool zero = d < digits / 2 && rng() % 4 == 0;
            body += static_cast<char>('0' + (zero ? 0 : rng() % 10));
        }
        const auto where = static_cast<std::size_t>(rng() % static_cast<unsigned>(digits + 2));
        if (where <= body.size()) {
            body.insert(where, points[rng() % 2]);
        }
        const std::string text = (rng() % 3 == 0 ? "-" : "") + body;
        if (text.find_first_of("0123456789") == std::string::npos) {
            continue;
        }
        ExpectSame(text);
        ExpectCorrectlyRounded(text);
    }
}

TEST(DecimalToken, ReadingLikeTheBenchmarkStudy) {
    // Values as laboratories report them: two-digit integer part, three decimals.
    for (int whole = 0; whole < 100; ++whole) {
        for (int frac = 0; frac < 1000; ++frac) {
            const std::string text =
                std::to_string(whole) + "." + std::to_string(1000 + frac).substr(1);
            ExpectSame(text);
            ExpectCorrectlyRounded(text);
        }
    }
}

TEST(DecimalToken, RandomTextMatchesTheReference) {
    std::mt19937 rng(977);
    const std::string alphabet = "0123456789012345678901234567890123456789..,,--x <";
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        const int length = static_cast<int>(rng() % 30);
        for (int k = 0; k < length; ++k) {
            text += alphabet[rng() % alphabet.size()];
        }
        ExpectSame(text);
    }
}
