#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "GifReferenceDecoder.h"
#include "GifTestPictures.h"
#include "documents/GifWriter.h"

// Whole files compared byte for byte with reviewed copies in
// tests/data/documents/gif. VELTRIO_UPDATE_GOLDEN=1 rewrites them; a missing
// one fails. Every golden file is also decoded here and compared with its
// picture, so a rewritten file that shows the wrong pixels fails too.

namespace veltrio {
namespace {

namespace fs = std::filesystem;
using namespace giftest_pictures;

fs::path GoldenPath(const std::string& name) {
    return fs::path(VELTRIO_TEST_DATA) / "documents" / "gif" / name;
}

bool UpdateGolden() {
    const char* update = std::getenv("VELTRIO_UPDATE_GOLDEN");
    return update != nullptr && std::string(update) == "1";
}

std::string Hex(const std::string& bytes, std::size_t from, std::size_t count) {
    std::string out;
    for (std::size_t i = from; i < bytes.size() && i < from + count; ++i) {
        char b[4];
        std::snprintf(b, sizeof b, "%02X ", static_cast<unsigned char>(bytes[i]));
        out += b;
    }
    return out;
}

void ExpectGolden(const std::string& name, const std::string& bytes) {
    const fs::path path = GoldenPath(name);
    if (UpdateGolden()) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "missing golden file " << path
                    << " (write it with VELTRIO_UPDATE_GOLDEN=1 and review it)";
    std::ostringstream golden;
    golden << in.rdbuf();
    const std::string expected = golden.str();
    if (expected == bytes) {
        return;
    }
    std::size_t at = 0;
    while (at < expected.size() && at < bytes.size() && expected[at] == bytes[at]) {
        ++at;
    }
    const std::size_t from = at < 8 ? 0 : at - 8;
    ADD_FAILURE() << name << " differs from " << path << " at byte " << at << " (sizes "
                  << expected.size() << " and " << bytes.size()
                  << ")\n  golden: " << Hex(expected, from, 24)
                  << "\n  now:    " << Hex(bytes, from, 24);
}

struct Golden {
    std::string name;
    std::vector<TRgbBitmap> pictures; // the first image and any later ones
};

std::vector<Golden> Goldens() {
    return {
        {"chart-2-colours-41x29.gif",
         {Picture(41, 29,
                  [](auto x, auto y) {
                      return (x == 2 || y == 26 || (x > 2 && y == 25 - x * 2 / 3)) ? 0x000000u
                                                                                   : 0xFFFFFFu;
                  })}},
        {"chart-9-colours-61x47.gif", {ChartPicture(61, 47, 7)}},
        {"noise-256-colours-128x96.gif", {RandomPicture(128, 96, 256, 21)}},
        {"two-images.gif", {ChartPicture(30, 40, 1), RunsPicture(50, 20, 12, 22)}},
    };
}

TEST(GifGolden, FilesMatchTheReviewedCopies) {
    for (const Golden& g : Goldens()) {
        TGifFile file;
        for (const TRgbBitmap& picture : g.pictures) {
            const TBitmapPalette palette = BitmapToPalette(picture);
            file.AddImage(palette.Table, palette.Pixels);
        }
        ExpectGolden(g.name, file.FileBytes());
    }
}

TEST(GifGolden, ReviewedCopiesShowTheirPictures) {
    for (const Golden& g : Goldens()) {
        std::ifstream in(GoldenPath(g.name), std::ios::binary);
        ASSERT_TRUE(in) << g.name;
        std::ostringstream bytes;
        bytes << in.rdbuf();
        const giftest::DecodedGif gif = giftest::Decode(bytes.str());
        ASSERT_EQ(gif.Images.size(), g.pictures.size()) << g.name;
        for (std::size_t i = 0; i < g.pictures.size(); ++i) {
            EXPECT_EQ(DifferingPixels(g.pictures[i], gif.Images[i]), 0u)
                << g.name << ", image " << i + 1;
        }
    }
}

} // namespace
} // namespace veltrio
