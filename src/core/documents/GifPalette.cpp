#include "documents/GifPalette.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <unordered_map>

namespace veltrio {

namespace {

constexpr std::uint32_t MaxColours = 256;

TGifColour SplitColour(std::uint32_t colour) {
    return TGifColour{static_cast<std::uint8_t>((colour >> 16) & 0xFF),
                      static_cast<std::uint8_t>((colour >> 8) & 0xFF),
                      static_cast<std::uint8_t>(colour & 0xFF)};
}

std::uint32_t RgbOf(std::uint32_t colour) {
    return colour & 0xFFFFFFu;
}

std::uint32_t RaisedCount(std::uint32_t count) {
    if (count <= 2) {
        return 2;
    }
    if (count <= 16) {
        return 16;
    }
    return 256;
}

// Linear search over the colours found so far; returns nothing as soon as a
// 257th colour turns up.
std::optional<TBitmapPalette> FewColours(const TRgbBitmap& bitmap) {
    TBitmapPalette result{TGifColourTable{}, TByteArray2D(bitmap.Width, bitmap.Height)};
    TGifColourTable& table = result.Table;
    for (std::uint32_t y = 1; y <= bitmap.Height; ++y) {
        for (std::uint32_t x = 1; x <= bitmap.Width; ++x) {
            const TGifColour colour = SplitColour(bitmap.Pixel(x - 1, y - 1));
            std::uint32_t index = 0;
            while (index < table.Count && !(table.Entries[index] == colour)) {
                ++index;
            }
            if (index == table.Count) {
                if (table.Count == MaxColours) {
                    return std::nullopt;
                }
                table.Entries[table.Count] = colour;
                ++table.Count;
            }
            result.Pixels.At(x, y) = static_cast<std::uint8_t>(index);
        }
    }
    table.Count = RaisedCount(table.Count);
    return result;
}

struct TColourUse {
    std::size_t Frequency = 0;
    std::size_t FirstSeen = 0;
};

long SquaredDistance(const TGifColour& a, const TGifColour& b) {
    const long dr = long{a.Red} - b.Red;
    const long dg = long{a.Green} - b.Green;
    const long db = long{a.Blue} - b.Blue;
    return dr * dr + dg * dg + db * db;
}

TBitmapPalette ManyColours(const TRgbBitmap& bitmap) {
    std::unordered_map<std::uint32_t, TColourUse> uses;
    for (std::size_t i = 0; i < bitmap.Pixels.size(); ++i) {
        auto [it, added] = uses.try_emplace(RgbOf(bitmap.Pixels[i]), TColourUse{0, i});
        ++it->second.Frequency;
    }
    std::vector<std::pair<std::uint32_t, TColourUse>> ranked(uses.begin(), uses.end());
    const auto moreFrequent = [](const auto& a, const auto& b) {
        if (a.second.Frequency != b.second.Frequency) {
            return a.second.Frequency > b.second.Frequency;
        }
        return a.second.FirstSeen < b.second.FirstSeen;
    };
    std::partial_sort(ranked.begin(), ranked.begin() + MaxColours, ranked.end(), moreFrequent);
    ranked.resize(MaxColours);
    std::sort(ranked.begin(), ranked.end(),
              [](const auto& a, const auto& b) { return a.second.FirstSeen < b.second.FirstSeen; });

    TBitmapPalette result{TGifColourTable{}, TByteArray2D(bitmap.Width, bitmap.Height)};
    TGifColourTable& table = result.Table;
    std::unordered_map<std::uint32_t, std::uint8_t> indexOf;
    for (const auto& [rgb, use] : ranked) {
        indexOf.emplace(rgb, static_cast<std::uint8_t>(table.Count));
        table.Entries[table.Count] = SplitColour(rgb);
        ++table.Count;
    }
    for (std::uint32_t y = 1; y <= bitmap.Height; ++y) {
        for (std::uint32_t x = 1; x <= bitmap.Width; ++x) {
            const std::uint32_t rgb = RgbOf(bitmap.Pixel(x - 1, y - 1));
            auto it = indexOf.find(rgb);
            if (it == indexOf.end()) {
                const TGifColour colour = SplitColour(rgb);
                std::uint32_t nearest = 0;
                for (std::uint32_t i = 1; i < table.Count; ++i) {
                    if (SquaredDistance(table.Entries[i], colour) <
                        SquaredDistance(table.Entries[nearest], colour)) {
                        nearest = i;
                    }
                }
                it = indexOf.emplace(rgb, static_cast<std::uint8_t>(nearest)).first;
            }
            result.Pixels.At(x, y) = it->second;
        }
    }
    return result;
}

} // namespace

TBitmapPalette BitmapToPalette(const TRgbBitmap& bitmap) {
    if (auto few = FewColours(bitmap)) {
        return std::move(*few);
    }
    return ManyColours(bitmap);
}

} // namespace veltrio
