#pragma once

#include "documents/Graphics.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace veltrio {

// The state an HTML page is written with: the font that the page's font
// changes have reached, the base font that relative sizes refer to, the
// GIF files of picture cells, the two switches, and the text written so far
// (a document writer puts it into the file).
class HtmlExport {
public:
    HtmlExport() = default;
    // GIF files go into the folder of `htmlFileName` and are named after it.
    explicit HtmlExport(std::filesystem::path htmlFileName)
        : HtmlFileName(std::move(htmlFileName)) {}

    // The font of the last font change; none before the first.
    std::optional<TFont> CurrentFont;
    bool FontElementOpen = false;
    // Sizes are written relative to this font's (the document's DefaultFont).
    TFont BaseFont;
    std::filesystem::path HtmlFileName;
    // The number tried next for a GIF file name.
    int GifCounter = 0;
    // Symbols as their HTML names ("&plusmn") instead of characters.
    bool SymbolNames = false;
    // Table cells carry HEIGHT and WIDTH.
    bool CellSizes = true;

    void Write(std::string_view text) { m_text += text; }
    void WriteLine(std::string_view text) {
        m_text += text;
        m_text += '\n';
    }
    const std::string& Text() const { return m_text; }

    // ' SIZE="+1" ' and the like for a font of `size` points relative to the
    // base font; empty within 2 points of it. With normalVariant, sizes from
    // the base size up to 2 points above write 'Size="Normal"' (no space).
    std::string SizeAttribute(int size, bool normalVariant = false) const;

    // The first four characters of the HTML file's name, cut after a full
    // stop among them.
    std::string GifBaseName() const;
    // An image element for the picture and the GIF file it refers to, named
    // base + counter + ".gif" with the first counter whose file does not
    // exist. When the counter passes 9999 the naming message is shown and
    // nothing is written. The element is written before the file; errors of
    // the GIF writer propagate.
    void WritePicture(const TPicture& picture, int height, int width);

private:
    std::string m_text;
};

// "<B>", "<I>", "<U>", "<STRIKE>" for the styles the font has and `except`
// (when given) has not; the closing tags in the reverse order.
std::string HtmlOpeningTags(const TFont& font, const TFont* except = nullptr);
std::string HtmlClosingTags(const TFont& font, const TFont* except = nullptr);

// UTF-8 text for HTML: "<", ">", "&" and '"' as character references.
std::string HtmlText(std::string_view utf8);
// A colour as six hexadecimal digits, red, green, blue: 0x0000FF (red in
// the program's notation) is "FF0000".
std::string HtmlColor(TColor color);

} // namespace veltrio
