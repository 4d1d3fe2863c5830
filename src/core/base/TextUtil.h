#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veltrio {

// Text is UTF-8 inside the program; language and data files hold DOS code
// page 850. These convert at the file boundary.
std::string OemToAnsiText(std::string_view cp850);
// Converts UTF-8 to code page 850. Characters the code page cannot hold (and
// malformed UTF-8) become '?'; `lossless` is cleared when that happens.
std::string AnsiToOemText(std::string_view utf8, bool* lossless = nullptr);
// The code-page-850 byte of one Unicode code point, if the code page holds it.
std::optional<unsigned char> OemByteOf(char32_t cp);

// The same with a code page of its own: 850 (Western European DOS) or 852
// (Central European DOS, the Slovak language file). Any other number reads
// as 850.
bool IsSupportedCodePage(int codePage);
std::string OemToAnsiText(std::string_view oem, int codePage);
std::string AnsiToOemText(std::string_view utf8, int codePage, bool* lossless);
std::optional<unsigned char> OemByteOf(char32_t cp, int codePage);

bool IsValidUtf8(std::string_view s);
bool IsAscii(std::string_view s);

// Decodes the next code point of a UTF-8 string at `pos` and advances it.
// Malformed input yields U+FFFD and advances by one byte.
char32_t NextCodePoint(std::string_view s, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t cp);
// Number of code points.
std::size_t Utf8Length(std::string_view s);
// The first `n` code points.
std::string Utf8Left(std::string_view s, std::size_t n);
std::string_view Utf8LeftView(std::string_view s, std::size_t n);

// Codes are stored upper-cased: ASCII letters and æ, ø, å become Æ, Ø, Å.
std::string UpperCode(std::string_view utf8);
std::string UpperAscii(std::string_view s);

std::string IntText(long long n);

// Control characters have no place in the texts of a file: they would make
// SVG and HTML ill-formed and reach the terminal. Tab, CR and LF stay; form
// feed and vertical tab become blanks; every other control character (NUL,
// 0x01-0x1F, DEL) becomes '?'. Returns `bytes` itself when there is none,
// otherwise the cleaned copy kept in `storage`.
std::string_view WithoutControlCharacters(std::string_view bytes, std::string& storage);

// Trims blanks (space, tab, CR, LF) at both ends.
std::string Trim(std::string_view s);

} // namespace veltrio
