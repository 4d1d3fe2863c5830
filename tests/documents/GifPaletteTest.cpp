#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "documents/GifPalette.h"

namespace veltrio {
namespace {

TGifColour ColourOf(std::uint32_t rgb) {
    return TGifColour{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                      static_cast<std::uint8_t>(rgb)};
}

// A bitmap of `colours` distinct colours, each used once in scan order and
// the first one filling the rest.
TRgbBitmap WithColours(std::uint32_t colours, std::uint32_t width, std::uint32_t height) {
    TRgbBitmap b(width, height, 0x000100);
    for (std::uint32_t i = 0; i < colours; ++i) {
        b.Pixels[i] = 0x000100 + i * 0x010203;
    }
    return b;
}

TEST(GifPalette, CountIsRaisedToTwoSixteenOr256) {
    struct Case {
        std::uint32_t colours;
        std::uint32_t count;
    };
    for (const Case& c : {Case{1, 2}, Case{2, 2}, Case{3, 16}, Case{16, 16}, Case{17, 256},
                          Case{255, 256}, Case{256, 256}}) {
        const TBitmapPalette p = BitmapToPalette(WithColours(c.colours, 20, 15));
        EXPECT_EQ(p.Table.Count, c.count) << c.colours << " colours";
        // Every colour is exact, at the index of its first occurrence.
        for (std::uint32_t i = 0; i < c.colours; ++i) {
            EXPECT_EQ(p.Pixels.Bytes().At(i + 1), i) << c.colours << " colours, pixel " << i;
            EXPECT_EQ(p.Table.Entries[i], ColourOf(0x000100 + i * 0x010203));
        }
        // Entries added by raising the count are black.
        for (std::uint32_t i = c.colours; i < c.count; ++i) {
            EXPECT_EQ(p.Table.Entries[i], TGifColour{}) << c.colours << " colours, entry " << i;
        }
    }
}

TEST(GifPalette, IndicesFollowFirstOccurrenceRowByRowFromTheTop) {
    const std::uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
    TRgbBitmap b(3, 2);
    b.Pixels = {white, red, white, //
                blue,  red, green};
    const TBitmapPalette p = BitmapToPalette(b);
    ASSERT_EQ(p.Pixels.Width(), 3u);
    ASSERT_EQ(p.Pixels.Height(), 2u);
    const std::uint8_t expected[2][3] = {{0, 1, 0}, {2, 1, 3}};
    for (std::uint32_t y = 1; y <= 2; ++y) {
        for (std::uint32_t x = 1; x <= 3; ++x) {
            EXPECT_EQ(p.Pixels.At(x, y), expected[y - 1][x - 1]) << x << "," << y;
        }
    }
    EXPECT_EQ(p.Table.Count, 16u);
    EXPECT_EQ(p.Table.Entries[0], (TGifColour{255, 255, 255}));
    EXPECT_EQ(p.Table.Entries[1], (TGifColour{255, 0, 0}));
    EXPECT_EQ(p.Table.Entries[2], (TGifColour{0, 0, 255}));
    EXPECT_EQ(p.Table.Entries[3], (TGifColour{0, 255, 0}));
}

TEST(GifPalette, AlphaIsIgnored) {
    TRgbBitmap b(2, 1);
    b.Pixels = {0xFF123456, 0x00123456};
    const TBitmapPalette p = BitmapToPalette(b);
    EXPECT_EQ(p.Pixels.At(2, 1), 0);
    EXPECT_EQ(p.Table.Entries[0], (TGifColour{0x12, 0x34, 0x56}));
}

TEST(GifPalette, EmptyBitmapHasTwoEntries) {
    for (const auto& [w, h] : {std::pair{0u, 0u}, std::pair{0u, 4u}, std::pair{4u, 0u}}) {
        const TBitmapPalette p = BitmapToPalette(TRgbBitmap(w, h));
        EXPECT_EQ(p.Table.Count, 2u);
        EXPECT_EQ(p.Pixels.Width(), w);
        EXPECT_EQ(p.Pixels.Height(), h);
    }
}

long Distance(const TGifColour& a, const TGifColour& b) {
    const long dr = a.Red - b.Red, dg = a.Green - b.Green, db = a.Blue - b.Blue;
    return dr * dr + dg * dg + db * db;
}

TEST(GifPalette, MoreThan256ColoursKeepTheMostFrequentAndMapTheRestToTheNearest) {
    // 200 "main" colours used 5 times or more, each first seen after a rare
    // one; 200 rare colours used once or twice.
    TRgbBitmap b(60, 30);
    std::vector<std::uint32_t> mainColours, rareColours;
    for (std::uint32_t i = 0; i < 200; ++i) {
        mainColours.push_back(((i * 37) % 256) << 16 | ((i * 11) % 256) << 8 | 0x40);
        rareColours.push_back(((i * 53) % 256) << 16 | ((i * 7) % 256) << 8 | 0xC1);
    }
    std::size_t k = 0;
    for (std::uint32_t i = 0; i < 200; ++i) {
        b.Pixels[k++] = rareColours[i];
        if (i % 3 == 0) {
            b.Pixels[k++] = rareColours[i];
        }
        for (int n = 0; n < 5; ++n) {
            b.Pixels[k++] = mainColours[i];
        }
    }
    // The remainder: 56 colours used 3 times, so 256 colours are used 3 or
    // more times and the rare ones at most twice.
    std::vector<std::uint32_t> thrice;
    for (std::uint32_t i = 0; i < 56; ++i) {
        thrice.push_back(0x808000 + i);
        for (int n = 0; n < 3; ++n) {
            b.Pixels[k++] = thrice.back();
        }
    }
    while (k < b.Pixels.size()) {
        b.Pixels[k++] = mainColours[0];
    }

    const TBitmapPalette p = BitmapToPalette(b);
    ASSERT_EQ(p.Table.Count, 256u);
    std::set<std::uint32_t> kept;
    std::vector<std::uint32_t> order;
    for (std::uint32_t i = 0; i < 256; ++i) {
        const TGifColour& c = p.Table.Entries[i];
        order.push_back(std::uint32_t{c.Red} << 16 | std::uint32_t{c.Green} << 8 | c.Blue);
        kept.insert(order.back());
    }
    std::set<std::uint32_t> expectedKept(mainColours.begin(), mainColours.end());
    expectedKept.insert(thrice.begin(), thrice.end());
    EXPECT_EQ(kept, expectedKept);

    // In the order of first occurrence.
    std::vector<std::uint32_t> firstSeen;
    for (std::uint32_t rgb : b.Pixels) {
        if (expectedKept.count(rgb) &&
            std::find(firstSeen.begin(), firstSeen.end(), rgb) == firstSeen.end()) {
            firstSeen.push_back(rgb);
        }
    }
    EXPECT_EQ(order, firstSeen);

    for (std::uint32_t y = 1; y <= 30; ++y) {
        for (std::uint32_t x = 1; x <= 60; ++x) {
            const std::uint32_t rgb = b.Pixel(x - 1, y - 1);
            const TGifColour given = p.Table.Entries[p.Pixels.At(x, y)];
            if (kept.count(rgb)) {
                EXPECT_EQ(given, ColourOf(rgb)) << x << "," << y;
                continue;
            }
            for (std::uint32_t i = 0; i < 256; ++i) {
                ASSERT_LE(Distance(given, ColourOf(rgb)),
                          Distance(p.Table.Entries[i], ColourOf(rgb)))
                    << "pixel " << x << "," << y << " has a nearer entry " << i;
            }
        }
    }
}

TEST(GifPalette, EqualFrequencyKeepsTheEarlierColour) {
    // 256 greys and one more colour, each once: the last to appear is dropped
    // and takes the nearest grey.
    TRgbBitmap b(257, 1);
    for (std::uint32_t i = 0; i < 256; ++i) {
        b.Pixels[i] = i * 0x010101;
    }
    b.Pixels[256] = 0x7F8080;
    const TBitmapPalette p = BitmapToPalette(b);
    ASSERT_EQ(p.Table.Count, 256u);
    for (std::uint32_t i = 0; i < 256; ++i) {
        EXPECT_EQ(p.Pixels.At(i + 1, 1), i);
    }
    EXPECT_EQ(p.Pixels.At(257, 1), 0x80);
}

} // namespace
} // namespace veltrio
