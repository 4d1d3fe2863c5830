#pragma once

// Pictures for the GIF tests, made from rules; the random ones from a fixed
// seed (mt19937's sequence is fixed by the standard, and only its raw output
// is used), so every run and every machine sees the same pixels.

#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "GifReferenceDecoder.h"
#include "documents/GifWriter.h"

namespace veltrio::giftest_pictures {

inline TRgbBitmap
Picture(std::uint32_t w, std::uint32_t h,
        const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& colour) {
    TRgbBitmap b(w, h);
    for (std::uint32_t y = 0; y < h; ++y) {
        for (std::uint32_t x = 0; x < w; ++x) {
            b.SetPixel(x, y, colour(x, y));
        }
    }
    return b;
}

// Colour number i, spread over the RGB cube.
inline std::uint32_t Shade(std::uint32_t i) {
    return (i * 0x3B1D07u) & 0xFFFFFFu;
}

inline TRgbBitmap RandomPicture(std::uint32_t w, std::uint32_t h, std::uint32_t colours,
                                std::uint32_t seed) {
    std::mt19937 random(seed);
    return Picture(w, h, [&](std::uint32_t, std::uint32_t) { return Shade(random() % colours); });
}

// Runs of one colour of random length, as in a chart's rows.
inline TRgbBitmap RunsPicture(std::uint32_t w, std::uint32_t h, std::uint32_t colours,
                              std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uint32_t left = 0, current = 0;
    return Picture(w, h, [&](std::uint32_t, std::uint32_t) {
        if (left == 0) {
            left = 1 + random() % 40;
            current = Shade(random() % colours);
        }
        --left;
        return current;
    });
}

// A small chart: white ground, black axes, and `series` coloured lines.
inline TRgbBitmap ChartPicture(std::uint32_t w, std::uint32_t h, std::uint32_t series) {
    const std::uint32_t colours[] = {0xFF0000, 0x0000FF, 0x008000, 0xFF8000, 0x800080,
                                     0x00C0C0, 0x808080, 0xC0C000, 0x400000, 0x004040};
    return Picture(w, h, [&](std::uint32_t x, std::uint32_t y) -> std::uint32_t {
        if (x == 2 || y == h - 3) {
            return 0x000000;
        }
        for (std::uint32_t s = 0; s < series && s < 10; ++s) {
            if (x > 2 && y == (h - 4) - ((x * (s + 1)) % (h - 4))) {
                return colours[s];
            }
        }
        return 0xFFFFFF;
    });
}

// The whole file of one picture, as the HTML export makes it.
inline std::string GifOf(const TRgbBitmap& bitmap) {
    const TBitmapPalette palette = BitmapToPalette(bitmap);
    TGifFile file;
    file.AddImage(palette.Table, palette.Pixels);
    return file.FileBytes();
}

// How many decoded pixels differ from the picture's colour; all of them when
// the sizes differ.
inline std::size_t DifferingPixels(const TRgbBitmap& picture, const giftest::DecodedImage& image) {
    if (image.Width != picture.Width || image.Height != picture.Height) {
        return picture.Pixels.size() + image.Pixels.size();
    }
    std::size_t differing = 0;
    for (std::size_t i = 0; i < picture.Pixels.size(); ++i) {
        differing += giftest::RgbValue(image.Pixels[i]) != (picture.Pixels[i] & 0xFFFFFFu);
    }
    return differing;
}

} // namespace veltrio::giftest_pictures
