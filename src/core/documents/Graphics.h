#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veltrio {

// A 32-bit colour value as the program's files and the markup write it:
// 0x00BBGGRR, so 255 is red and 0xFF0000 blue.
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
// A cell without a background colour.
inline constexpr TColor clNoColor = 0x80000001;

constexpr TColor MakeColor(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned ColorRed(TColor c) {
    return c & 0xFF;
}
constexpr unsigned ColorGreen(TColor c) {
    return (c >> 8) & 0xFF;
}
constexpr unsigned ColorBlue(TColor c) {
    return (c >> 16) & 0xFF;
}

// A font as documents, cells and the markup describe it. Size is in points.
struct TFont {
    std::string Name = "Times New Roman";
    int Size = 10;
    TColor Color = clBlack;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    bool operator==(const TFont&) const = default;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };

// A screen pen; Width is in pixels of the canvas.
struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = TPenStyle::psSolid;

    bool operator==(const TPen&) const = default;
};

enum class TBrushStyle { bsSolid, bsClear };

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;

    bool operator==(const TBrush&) const = default;
};

struct TPoint {
    int X = 0;
    int Y = 0;

    bool operator==(const TPoint&) const = default;
};

// A raster picture (cell pictures, the document background). Pixels are
// row by row from the top-left corner.
struct TPicture {
    int Width = 0;
    int Height = 0;
    std::vector<TColor> Pixels;

    bool Empty() const { return Width <= 0 || Height <= 0; }
};

} // namespace veltrio
