#pragma once

#include "documents/Graphics.h"

#include <iosfwd>
#include <string>

namespace veltrio {

// The font of a chart text: "Arial", 10 points, no style, black unless set.
struct TFontDescriptor {
    std::string Name = "Arial";
    int Size = 10;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    TColor Color = clBlack;

    bool operator==(const TFontDescriptor&) const = default;

    // The style as one byte: bold 1, italic 2, underline 4, strike-out 8.
    unsigned char StyleByte() const;
    void SetStyleByte(unsigned char style);

    TFont ToFont() const;
    static TFontDescriptor FromFont(const TFont& font);

    // The name (a 32-bit little-endian length and the UTF-8 bytes), the size
    // (32-bit little-endian), the style byte and the colour (four bytes,
    // little-endian). LoadFromFile reads the same sequence and throws
    // std::runtime_error on a short or implausible record.
    void SaveToFile(std::ostream& out) const;
    void LoadFromFile(std::istream& in);
};

} // namespace veltrio
