#include "documents/RtfExport.h"

#include "base/TextUtil.h"

#include <algorithm>

namespace veltrio {

namespace {

std::string ListedName(std::string_view name) {
    return Utf8Left(name, RtfExport::MaxFontName);
}

void AppendUnicodeEscape(std::string& out, unsigned unit) {
    const int value = unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit);
    out += "\\u" + std::to_string(value) + "?";
}

} // namespace

void RtfExport::AddFont(std::string_view name) {
    if (FontIndex(name) < 0) {
        m_fonts.push_back(ListedName(name));
    }
}

void RtfExport::AddColor(TColor color) {
    if (ColorIndex(color) < 0) {
        m_colors.push_back(color);
    }
}

void RtfExport::AddFontAndColor(const TFont& font) {
    AddFont(font.Name);
    AddColor(font.Color);
}

int RtfExport::FontIndex(std::string_view name) const {
    const auto it = std::find(m_fonts.begin(), m_fonts.end(), ListedName(name));
    return it == m_fonts.end() ? -1 : static_cast<int>(it - m_fonts.begin());
}

int RtfExport::ColorIndex(TColor color) const {
    const auto it = std::find(m_colors.begin(), m_colors.end(), color);
    return it == m_colors.end() ? -1 : static_cast<int>(it - m_colors.begin());
}

std::string RtfExport::FontCode(const TFont& font, bool makeBase) {
    const int index = FontIndex(font.Name);
    std::string code = "\\f" + std::to_string(index);
    code += font.Bold ? " \\b" : " \\b0";
    code += font.Italic ? " \\i" : " \\i0";
    code += font.Underline ? " \\ul" : " \\ul0";
    code += font.StrikeOut ? " \\strike" : " \\strike0";
    code += " \\fs" + std::to_string(2 * font.Size);
    code += " \\cf" + std::to_string(ColorIndex(font.Color));
    if (makeBase) {
        m_baseFontIndex = index;
        m_baseFont = font;
    }
    return code;
}

std::string RtfText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = NextCodePoint(utf8, pos);
        switch (cp) {
        case '\\':
            out += "\\\\";
            break;
        case '{':
            out += "\\{";
            break;
        case '}':
            out += "\\}";
            break;
        case '\t':
            out += "\\tab ";
            break;
        default:
            if (cp < 0x80) {
                out += static_cast<char>(cp);
            } else if (cp <= 0xFFFF) {
                AppendUnicodeEscape(out, cp);
            } else {
                const char32_t v = cp - 0x10000;
                AppendUnicodeEscape(out, 0xD800 + (v >> 10));
                AppendUnicodeEscape(out, 0xDC00 + (v & 0x3FF));
            }
            break;
        }
    }
    return out;
}

} // namespace veltrio
