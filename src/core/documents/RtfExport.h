#pragma once

#include "documents/Graphics.h"

#include <string>
#include <string_view>
#include <vector>

namespace veltrio {

// The state an RTF document is written with: the font and colour lists that
// the file's tables declare (so that "\f2" and "\cf0" mean the same in every
// item), the base font that local fonts return to, and the lines written so
// far. A document writer fills the lists before any item writes.
class RtfExport {
public:
    // Font names are kept to this many characters.
    static constexpr std::size_t MaxFontName = 80;

    // Adding a name or colour that is already listed does nothing; names
    // compare exactly.
    void AddFont(std::string_view name);
    void AddColor(TColor color);
    // The font's name and colour.
    void AddFontAndColor(const TFont& font);
    // Position from 0; −1 when absent.
    int FontIndex(std::string_view name) const;
    int ColorIndex(TColor color) const;
    const std::vector<std::string>& Fonts() const { return m_fonts; }
    const std::vector<TColor>& Colors() const { return m_colors; }

    // "\f<font> \b \i0 \ul0 \strike0 \fs<2 × size> \cf<colour>" with the
    // indexes in the lists. With makeBase the font becomes the base font.
    std::string FontCode(const TFont& font, bool makeBase = false);
    const TFont& BaseFont() const { return m_baseFont; }
    int BaseFontIndex() const { return m_baseFontIndex; }

    void AddLine(std::string line) { m_lines.push_back(std::move(line)); }
    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    std::vector<std::string> m_fonts;
    std::vector<TColor> m_colors;
    TFont m_baseFont;
    int m_baseFontIndex = 0;
    std::vector<std::string> m_lines;
};

// UTF-8 text as RTF text: "\", "{" and "}" escaped, a TAB as "\tab ", and
// every character beyond ASCII as "\uN?" with N its UTF-16 code unit as a
// signed 16-bit number (two escapes for characters beyond the BMP). The "?"
// is what readers without Unicode show.
std::string RtfText(std::string_view utf8);

} // namespace veltrio
