#include "base/TextUtil.h"

#include <algorithm>

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace veltrio {

namespace {

// Code page 850, bytes 0x80..0xFF as Unicode code points.
constexpr std::array<char16_t, 128> kCp850High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

// Code page 852 (Central European DOS), bytes 0x80..0xFF: the code page of
// the Slovak language file.
constexpr std::array<char16_t, 128> kCp852High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x016F, 0x0107, 0x00E7,
    0x0142, 0x00EB, 0x0150, 0x0151, 0x00EE, 0x0179, 0x00C4, 0x0106,
    0x00C9, 0x0139, 0x013A, 0x00F4, 0x00F6, 0x013D, 0x013E, 0x015A,
    0x015B, 0x00D6, 0x00DC, 0x0164, 0x0165, 0x0141, 0x00D7, 0x010D,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x0104, 0x0105, 0x017D, 0x017E,
    0x0118, 0x0119, 0x00AC, 0x017A, 0x010C, 0x015F, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x011A,
    0x015E, 0x2563, 0x2551, 0x2557, 0x255D, 0x017B, 0x017C, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x0102, 0x0103,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x0111, 0x0110, 0x010E, 0x00CB, 0x010F, 0x0147, 0x00CD, 0x00CE,
    0x011B, 0x2518, 0x250C, 0x2588, 0x2584, 0x0162, 0x016E, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x0143, 0x0144, 0x0148, 0x0160, 0x0161,
    0x0154, 0x00DA, 0x0155, 0x0170, 0x00FD, 0x00DD, 0x0163, 0x00B4,
    0x00AD, 0x02DD, 0x02DB, 0x02C7, 0x02D8, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x02D9, 0x0171, 0x0158, 0x0159, 0x25A0, 0x00A0,
};

const std::array<char16_t, 128>& HighHalf(int codePage) {
    return codePage == 852 ? kCp852High : kCp850High;
}

} // namespace

bool IsSupportedCodePage(int codePage) { return codePage == 850 || codePage == 852; }

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + extra >= s.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i <= extra; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += extra + 1;
    return cp;
}

bool IsValidUtf8(std::string_view s) {
    std::size_t pos = 0;
    while (pos < s.size()) {
        if (static_cast<unsigned char>(s[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t before = pos;
        const char32_t cp = NextCodePoint(s, pos);
        if (cp == 0xFFFD && pos == before + 1 && static_cast<unsigned char>(s[before]) >= 0x80) {
            return false;
        }
    }
    return true;
}

bool IsAscii(std::string_view s) {
    // Eight bytes at a time: no byte has its high bit set.
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        if (word & 0x8080808080808080ull) {
            return false;
        }
    }
    for (; i < s.size(); ++i) {
        if (static_cast<unsigned char>(s[i]) >= 0x80) {
            return false;
        }
    }
    return true;
}

std::size_t Utf8Length(std::string_view s) {
    std::size_t n = 0;
    std::size_t pos = 0;
    while (pos < s.size()) {
        NextCodePoint(s, pos);
        ++n;
    }
    return n;
}

std::string_view Utf8LeftView(std::string_view s, std::size_t n) {
    if (s.size() <= n) {
        return s; // never more code points than bytes
    }
    std::size_t pos = 0;
    std::size_t count = 0;
    while (pos < s.size() && count < n) {
        NextCodePoint(s, pos);
        ++count;
    }
    return s.substr(0, pos);
}

std::string Utf8Left(std::string_view s, std::size_t n) { return std::string(Utf8LeftView(s, n)); }

std::string OemToAnsiText(std::string_view oem, int codePage) {
    const auto& high = HighHalf(codePage);
    std::string out;
    out.reserve(oem.size());
    for (char c : oem) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            AppendUtf8(out, high[b - 0x80]);
        }
    }
    return out;
}

std::string OemToAnsiText(std::string_view cp850) { return OemToAnsiText(cp850, 850); }

std::optional<unsigned char> OemByteOf(char32_t cp, int codePage) {
    if (cp < 0x80) {
        return static_cast<unsigned char>(cp);
    }
    const auto& high = HighHalf(codePage);
    for (std::size_t i = 0; i < high.size(); ++i) {
        if (high[i] == cp) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

std::optional<unsigned char> OemByteOf(char32_t cp) { return OemByteOf(cp, 850); }

std::string AnsiToOemText(std::string_view utf8, int codePage, bool* lossless) {
    std::string out;
    out.reserve(utf8.size());
    bool ok = true;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = NextCodePoint(utf8, pos);
        const auto b = OemByteOf(cp, codePage);
        if (b && cp != 0xFFFD) {
            out += static_cast<char>(*b);
        } else {
            out += '?';
            ok = false;
        }
    }
    if (lossless) {
        *lossless = ok;
    }
    return out;
}

std::string AnsiToOemText(std::string_view utf8, bool* lossless) {
    return AnsiToOemText(utf8, 850, lossless);
}

std::string UpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::string UpperCode(std::string_view utf8) {
    if (IsAscii(utf8)) {
        return UpperAscii(utf8);
    }
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = NextCodePoint(utf8, pos);
        if (cp >= 'a' && cp <= 'z') {
            cp = cp - 'a' + 'A';
        } else if (cp == 0xE6) { // æ
            cp = 0xC6;
        } else if (cp == 0xF8) { // ø
            cp = 0xD8;
        } else if (cp == 0xE5) { // å
            cp = 0xC5;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string IntText(long long n) {
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, n);
    return std::string(buf, res.ptr);
}

std::string Trim(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && blank(s[b])) {
        ++b;
    }
    while (e > b && blank(s[e - 1])) {
        --e;
    }
    return std::string(s.substr(b, e - b));
}

namespace {

bool IsControlByte(unsigned char c) {
    return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F;
}

} // namespace

std::string_view WithoutControlCharacters(std::string_view bytes, std::string& storage) {
    const auto first = std::find_if(bytes.begin(), bytes.end(), [](char c) {
        return IsControlByte(static_cast<unsigned char>(c));
    });
    if (first == bytes.end()) {
        return bytes;
    }
    storage.assign(bytes);
    for (auto it = storage.begin() + (first - bytes.begin()); it != storage.end(); ++it) {
        const auto c = static_cast<unsigned char>(*it);
        if (c == '\f' || c == '\v') {
            *it = ' ';
        } else if (IsControlByte(c)) {
            *it = '?';
        }
    }
    return storage;
}

} // namespace veltrio
