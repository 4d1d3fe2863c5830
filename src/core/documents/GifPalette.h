#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "documents/GifByteArrays.h"

namespace veltrio {

struct TGifColour {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;

    friend bool operator==(const TGifColour&, const TGifColour&) = default;
};

// A GIF colour table: entries 0 to Count − 1 are in use.
struct TGifColourTable {
    std::array<TGifColour, 256> Entries{};
    std::uint32_t Count = 0;
};

// A picture's pixels as 32-bit colours 0xAARRGGBB, row by row from the top,
// each row from the left: the layout of a QImage in Format_RGB32 or
// Format_ARGB32, so the platform layer copies scan lines as they are. The
// alpha byte is ignored; a GIF of ours carries no transparency.
struct TRgbBitmap {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::vector<std::uint32_t> Pixels;

    TRgbBitmap() = default;
    TRgbBitmap(std::uint32_t width, std::uint32_t height, std::uint32_t fill = 0xFFFFFFFFu)
        : Width(width), Height(height), Pixels(std::size_t{width} * height, fill) {}

    // Pixel (x, y), 0-based from the top left.
    std::uint32_t Pixel(std::uint32_t x, std::uint32_t y) const {
        return Pixels.at(std::size_t{y} * Width + x);
    }
    void SetPixel(std::uint32_t x, std::uint32_t y, std::uint32_t colour) {
        Pixels.at(std::size_t{y} * Width + x) = colour;
    }
};

struct TBitmapPalette {
    TGifColourTable Table;
    TByteArray2D Pixels;
};

// Reduces a bitmap to a colour table and the palette index of every pixel.
// The colours enter the table in the order they first occur; the count is
// then raised to 2, 16 or 256 entries (black fills the entries no pixel uses).
//
// A bitmap of more than 256 colours keeps the 256 most frequent ones (the
// earlier one first on equal frequency) in the order they first occur; every
// other colour takes the nearest of them in RGB space (the lower index on
// equal distance). Charts have a few main colours and, when drawn with
// antialiasing, many rare shades along their edges, so the main colours stay
// exact.
TBitmapPalette BitmapToPalette(const TRgbBitmap& bitmap);

} // namespace veltrio
