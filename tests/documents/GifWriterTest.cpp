#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "GifReferenceDecoder.h"
#include "GifTestPictures.h"
#include "documents/GifWriter.h"

namespace veltrio {
namespace {

namespace fs = std::filesystem;
using namespace giftest_pictures;

using Bytes = std::vector<std::uint8_t>;

Bytes AsBytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

void ExpectSamePixels(const TRgbBitmap& source, const giftest::DecodedImage& image,
                      const std::string& name) {
    ASSERT_EQ(image.Width, source.Width) << name;
    ASSERT_EQ(image.Height, source.Height) << name;
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < source.Pixels.size(); ++i) {
        if (giftest::RgbValue(image.Pixels[i]) != (source.Pixels[i] & 0xFFFFFFu)) {
            if (++wrong <= 3) {
                ADD_FAILURE() << name << ": pixel " << i % source.Width << "," << i / source.Width;
            }
        }
    }
    EXPECT_EQ(wrong, 0u) << name;
}

// The LZW stream as the format wants it from us: clear first, end last,
// a clear code in mid-stream only on a full table and then at 12 bits.
void ExpectWellFormedCodes(const giftest::DecodedImage& image, const std::string& name) {
    const unsigned clear = 1u << image.MinCodeSize;
    ASSERT_FALSE(image.Codes.empty()) << name;
    EXPECT_EQ(image.Codes.front(), (giftest::Code{clear, image.MinCodeSize + 1})) << name;
    EXPECT_EQ(image.Codes.back().Value, clear + 1) << name;
    EXPECT_EQ(image.CodesAfterFull, 0u) << name;
    for (std::size_t i = 1; i < image.DefinedAtClear.size(); ++i) {
        EXPECT_EQ(image.DefinedAtClear[i], 4096u) << name << ", clear code " << i;
    }
    for (std::size_t i = 1; i < image.Codes.size(); ++i) {
        if (image.Codes[i].Value == clear) {
            EXPECT_EQ(image.Codes[i].Width, 12u) << name << ", code " << i;
        }
    }
    for (std::size_t i = 0; i + 1 < image.SubBlockSizes.size(); ++i) {
        EXPECT_EQ(image.SubBlockSizes[i], 255u) << name << ", block " << i;
    }
    ASSERT_FALSE(image.SubBlockSizes.empty()) << name;
    EXPECT_GE(image.SubBlockSizes.back(), 1u) << name;
    EXPECT_LE(image.SubBlockSizes.back(), 255u) << name;
}

TEST(GifWriter, PicturesDecodeToTheSamePixels) {
    struct Case {
        std::string name;
        TRgbBitmap picture;
        std::size_t minimumClears; // clear codes expected at least, the first included
    };
    const Case cases[] = {
        {"1x1", Picture(1, 1, [](auto, auto) { return 0x336699u; }), 1},
        {"1x1 white", TRgbBitmap(1, 1), 1},
        {"1x9 two colours", Picture(1, 9, [](auto, auto y) { return Shade(y % 2); }), 1},
        {"9x1 three colours", Picture(9, 1, [](auto x, auto) { return Shade(x % 3); }), 1},
        {"3x5 odd", RandomPicture(3, 5, 7, 1), 1},
        {"13x11 sixteen colours", RandomPicture(13, 11, 16, 2), 1},
        {"17x3 seventeen colours", RandomPicture(17, 3, 17, 3), 1},
        {"checkerboard 31x29", Picture(31, 29, [](auto x, auto y) { return Shade((x + y) % 2); }),
         1},
        {"gradient 256x256 all 256 colours",
         Picture(256, 256, [](auto x, auto y) { return Shade((x + y) % 256); }), 3},
        {"one colour 640x480", Picture(640, 480, [](auto, auto) { return 0xFFFFFFu; }), 1},
        {"noise 300x300 two colours", RandomPicture(300, 300, 2, 4), 3},
        {"noise 200x150 sixteen colours", RandomPicture(200, 150, 16, 5), 4},
        {"noise 200x200 256 colours", RandomPicture(200, 200, 256, 6), 11},
        {"runs 400x300 six colours", RunsPicture(400, 300, 6, 7), 2},
        {"runs 401x77 200 colours", RunsPicture(401, 77, 200, 8), 2},
    };
    for (const Case& c : cases) {
        const std::string bytes = GifOf(c.picture);
        giftest::DecodedGif gif;
        ASSERT_NO_THROW(gif = giftest::Decode(bytes)) << c.name;
        ASSERT_EQ(gif.Images.size(), 1u) << c.name;
        EXPECT_EQ(gif.ScreenWidth, c.picture.Width) << c.name;
        EXPECT_EQ(gif.ScreenHeight, c.picture.Height) << c.name;
        ExpectSamePixels(c.picture, gif.Images[0], c.name);
        ExpectWellFormedCodes(gif.Images[0], c.name);
        EXPECT_GE(gif.Images[0].DefinedAtClear.size(), c.minimumClears) << c.name;
    }
}

TEST(GifWriter, ColourCountFixesTableScreenByteAndCodeSize) {
    struct Case {
        std::uint32_t colours;
        std::size_t tableEntries;
        std::uint8_t screenPacked;
        unsigned minimumCodeSize;
    };
    const Case cases[] = {
        {1, 2, 0x80, 2},    {2, 2, 0x80, 2},     {3, 16, 0xB3, 4},    {16, 16, 0xB3, 4},
        {17, 256, 0xF7, 8}, {256, 256, 0xF7, 8}, {300, 256, 0xF7, 8},
    };
    for (const Case& c : cases) {
        const TRgbBitmap picture =
            Picture(20, 20, [&](auto x, auto y) { return Shade((x + 20 * y) % c.colours); });
        const giftest::DecodedGif gif = giftest::Decode(GifOf(picture));
        EXPECT_EQ(gif.Signature, "GIF87a");
        EXPECT_EQ(gif.Packed, c.screenPacked) << c.colours;
        EXPECT_EQ(gif.Background, 0);
        EXPECT_EQ(gif.Aspect, 0);
        EXPECT_EQ(gif.GlobalTable.size(), c.tableEntries) << c.colours;
        ASSERT_EQ(gif.Images.size(), 1u);
        const giftest::DecodedImage& image = gif.Images[0];
        EXPECT_EQ(image.Packed, 0) << c.colours;
        EXPECT_EQ(image.Left, 0u);
        EXPECT_EQ(image.Top, 0u);
        EXPECT_TRUE(image.LocalTable.empty());
        EXPECT_EQ(image.MinCodeSize, c.minimumCodeSize) << c.colours;
        EXPECT_EQ(image.Codes.front().Width, c.minimumCodeSize + 1) << c.colours;
    }
}

TEST(GifWriter, MoreThan256ColoursDecodeToTheNearestKeptColour) {
    // 256 main colours used 15 times each and 256 rare ones once, each rare
    // one a step of 1 in blue from its main colour and farther from any other.
    const auto mainColour = [](std::uint32_t j) { return j << 16 | 0x40u; };
    const TRgbBitmap picture = Picture(64, 64, [&](auto x, auto y) {
        const std::uint32_t i = x + 64 * y;
        return i % 16 == 15 ? (mainColour(i / 16) | 1u) : mainColour(i / 16);
    });
    const giftest::DecodedGif gif = giftest::Decode(GifOf(picture));
    ASSERT_EQ(gif.Images.size(), 1u);
    EXPECT_EQ(gif.GlobalTable.size(), 256u);
    const auto& decoded = gif.Images[0].Pixels;
    for (std::size_t i = 0; i < picture.Pixels.size(); ++i) {
        EXPECT_EQ(giftest::RgbValue(decoded[i]), mainColour(static_cast<std::uint32_t>(i / 16)))
            << "pixel " << i;
    }
}

TEST(GifWriter, OnePixelIsClearPixelAndEnd) {
    struct Case {
        std::uint32_t count;
        std::uint8_t pixel;
        std::vector<giftest::Code> codes;
        Bytes data; // the one data sub-block
    };
    const Case cases[] = {
        {2, 1, {{4, 3}, {1, 3}, {5, 3}}, {0x4C, 0x01}},
        {16, 9, {{16, 5}, {9, 5}, {17, 5}}, {0x30, 0x45}},
        {256, 200, {{256, 9}, {200, 9}, {257, 9}}, {0x00, 0x91, 0x05, 0x04}},
    };
    for (const Case& c : cases) {
        TGifColourTable table;
        table.Count = c.count;
        TByteArray2D pixels(1, 1);
        pixels.At(1, 1) = c.pixel;
        TGifFile file;
        file.AddImage(table, pixels);
        const std::string bytes = file.FileBytes();
        const giftest::DecodedGif gif = giftest::Decode(bytes);
        ASSERT_EQ(gif.Images.size(), 1u);
        EXPECT_EQ(gif.Images[0].Codes, c.codes) << c.count;
        EXPECT_EQ(gif.Images[0].Indices, Bytes{c.pixel}) << c.count;
        // Data block, zero byte and trailer end the file.
        Bytes tail = c.data;
        tail.insert(tail.begin(), static_cast<std::uint8_t>(c.data.size()));
        tail.push_back(0x00);
        tail.push_back(0x3B);
        const Bytes all = AsBytes(bytes);
        ASSERT_GE(all.size(), tail.size());
        EXPECT_EQ(Bytes(all.end() - static_cast<long>(tail.size()), all.end()), tail) << c.count;
    }
}

TEST(GifWriter, ExactBytesOfSmallFiles) {
    const Bytes empty = {0x47, 0x49, 0x46, 0x38, 0x37, 0x61,       // GIF87a
                         0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, // screen 0 x 0
                         0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,       // black, white
                         0x3B};
    TGifFile none;
    EXPECT_EQ(AsBytes(none.FileBytes()), empty);

    const Bytes redPixel = {0x47, 0x49, 0x46, 0x38, 0x37, 0x61,       // GIF87a
                            0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, // screen 1 x 1
                            0xFF, 0x00, 0x00, 0x00, 0x00, 0x00,       // red, black
                            0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, // image
                            0x02, 0x02, 0x44, 0x01, 0x00, // minimum code size 2, data
                            0x3B};
    EXPECT_EQ(AsBytes(GifOf(Picture(1, 1, [](auto, auto) { return 0xFF0000u; }))), redPixel);

    // 2 x 2 of one colour: clear, 0, 6 (the string 0 0 before it is
    // defined), 0, end, at 3 bits: 100 000 110 000 101.
    const Bytes fourPixels = {0x47, 0x49, 0x46, 0x38, 0x37, 0x61, 0x02, 0x00, 0x02,
                              0x00, 0x80, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00,
                              0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02,
                              0x00, 0x00, 0x02, 0x02, 0x84, 0x51, 0x00, 0x3B};
    EXPECT_EQ(AsBytes(GifOf(Picture(2, 2, [](auto, auto) { return 0x0000FFu; }))), fourPixels);
}

TEST(GifWriter, LargeImageIsWrittenInBlocksOf255) {
    const TRgbBitmap picture = RandomPicture(160, 120, 16, 9);
    const std::string bytes = GifOf(picture);
    const giftest::DecodedGif gif = giftest::Decode(bytes);
    const auto& blocks = gif.Images.at(0).SubBlockSizes;
    ASSERT_GT(blocks.size(), 10u);
    ExpectWellFormedCodes(gif.Images[0], "160x120");
    // Walk the file: after the image descriptor and the minimum code size,
    // length bytes 255 ... then a shorter one, a zero byte and the trailer.
    std::size_t pos = 6 + 7 + 16 * 3 + 1 + 9 + 1;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const auto length = static_cast<std::uint8_t>(bytes.at(pos));
        EXPECT_EQ(length, i + 1 < blocks.size() ? 255 : blocks.back()) << "block " << i;
        pos += 1 + length;
    }
    EXPECT_LT(blocks.back(), 255u);
    EXPECT_EQ(bytes.at(pos), '\0');
    EXPECT_EQ(bytes.at(pos + 1), '\x3B');
    EXPECT_EQ(pos + 2, bytes.size());
}

TEST(GifWriter, LaterImagesCarryTheirOwnColourTable) {
    const TRgbBitmap first = RandomPicture(3, 4, 2, 10);
    const TBitmapPalette firstPalette = BitmapToPalette(first);
    for (std::uint8_t bits = 1; bits <= 8; ++bits) {
        const std::uint32_t count = 1u << bits;
        TGifFile file;
        file.AddImage(firstPalette.Table, firstPalette.Pixels);
        TGifColourTable table;
        table.Count = count;
        for (std::uint32_t i = 0; i < count; ++i) {
            table.Entries[i] =
                TGifColour{static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i), 7};
        }
        TByteArray2D pixels(7, 2);
        for (std::uint32_t k = 1; k <= 14; ++k) {
            pixels.At((k - 1) % 7 + 1, (k - 1) / 7 + 1) =
                static_cast<std::uint8_t>((k * 5) % count);
        }
        file.AddImage(table, pixels);
        EXPECT_EQ(file.ScreenWidth(), 7u);
        EXPECT_EQ(file.ScreenHeight(), 4u);
        // A smaller third image leaves the screen as it is.
        file.AddImage(firstPalette.Table, TByteArray2D(1, 1));
        EXPECT_EQ(file.ScreenWidth(), 7u);
        EXPECT_EQ(file.ScreenHeight(), 4u);

        const giftest::DecodedGif gif = giftest::Decode(file.FileBytes());
        EXPECT_EQ(gif.Packed, 0x80) << count;
        EXPECT_EQ(gif.GlobalTable.size(), 2u) << count;
        ASSERT_EQ(gif.Images.size(), 3u);
        EXPECT_EQ(gif.ScreenWidth, 7u);
        EXPECT_EQ(gif.ScreenHeight, 4u);
        EXPECT_EQ(gif.Images[2].Packed, 0x80) << count;
        ExpectSamePixels(first, gif.Images[0], "first");
        const giftest::DecodedImage& second = gif.Images[1];
        EXPECT_EQ(second.Packed, 0x80 + bits - 1) << count;
        EXPECT_EQ(second.LocalTable.size(), count);
        EXPECT_EQ(second.MinCodeSize, bits == 1 ? 2u : bits) << count;
        for (std::uint32_t k = 1; k <= 14; ++k) {
            const std::uint32_t index = (k * 5) % count;
            EXPECT_EQ(second.Pixels[k - 1], (giftest::Rgb{static_cast<std::uint8_t>(255 - index),
                                                          static_cast<std::uint8_t>(index), 7}))
                << count << " colours, pixel " << k;
        }
        ExpectWellFormedCodes(second, "second image");
    }
}

TEST(GifWriter, ImageWithoutPixelsIsClearAndEnd) {
    for (const auto& [w, h] : {std::pair{0u, 0u}, std::pair{5u, 0u}, std::pair{0u, 3u}}) {
        const TBitmapPalette p = BitmapToPalette(TRgbBitmap(w, h));
        TGifFile file;
        file.AddImage(p.Table, p.Pixels);
        const giftest::DecodedGif gif = giftest::Decode(file.FileBytes());
        ASSERT_EQ(gif.Images.size(), 1u);
        EXPECT_EQ(gif.ScreenWidth, w);
        EXPECT_EQ(gif.ScreenHeight, h);
        EXPECT_EQ(gif.Images[0].Codes, (std::vector<giftest::Code>{{4, 3}, {5, 3}}));
    }
}

template <typename F> std::string GifErrorOf(F&& f) {
    try {
        f();
    } catch (const EGifException& e) {
        return e.what();
    }
    return "(nothing raised)";
}

TEST(GifWriter, WrongColourCountsAreRefusedAndLeaveTheFileUnchanged) {
    struct Case {
        bool asSecondImage;
        std::uint32_t count;
        std::string message;
    };
    const Case cases[] = {
        {false, 0, "Number of colors (0) wrong; must be a power of 2"},
        {false, 1, "Number of colors (1) wrong; must be a power of 2"},
        {false, 3, "Number of colors (3) wrong; must be a power of 2"},
        {false, 255, "Number of colors (255) wrong; must be a power of 2"},
        {false, 257, "Number of colors (257) wrong; must be a power of 2"},
        {false, 512, "Number of colors (512) wrong; must be a power of 2"},
        {true, 6, "Number of colors (6) wrong; must be a power of 2"},
        // The global table must have 2, 16 or 256 entries.
        {false, 4, "unexpected number of colors"},
        {false, 8, "unexpected number of colors"},
        {false, 32, "unexpected number of colors"},
        {false, 128, "unexpected number of colors"},
    };
    for (const Case& c : cases) {
        TGifFile file;
        const TByteArray2D pixels(2, 2);
        TGifColourTable twoColours;
        twoColours.Count = 2;
        if (c.asSecondImage) {
            file.AddImage(twoColours, pixels);
        }
        const std::string before = file.FileBytes();
        TGifColourTable table;
        table.Count = c.count;
        EXPECT_EQ(GifErrorOf([&] { file.AddImage(table, TByteArray2D(3, 3)); }), c.message);
        EXPECT_EQ(file.ImageCount(), c.asSecondImage ? 1u : 0u) << c.count;
        EXPECT_EQ(file.FileBytes(), before) << c.count;
    }
}

TEST(GifWriter, PictureBeyond65535PixelsIsRefused) {
    TGifColourTable table;
    table.Count = 2;
    TGifFile file;
    EXPECT_EQ(GifErrorOf([&] { file.AddImage(table, TByteArray2D(65536, 1)); }),
              "Image size (65536 x 1) too large; at most 65535 pixels each way");
    EXPECT_THROW(file.AddImage(table, TByteArray2D(1, 65536)), EGifException);
    EXPECT_EQ(file.ImageCount(), 0u);
}

TEST(GifWriter, AddImageKeepsItsOwnCopyOfThePixels) {
    TGifColourTable table;
    table.Count = 2;
    TByteArray2D pixels(2, 1);
    TGifFile file;
    file.AddImage(table, pixels);
    pixels.At(1, 1) = 1;
    EXPECT_EQ(file.Image(0).Pixels().At(1, 1), 0);
    EXPECT_EQ(&file.Image(0).Owner(), &file);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class GifWriteFile : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() / (std::string("veltrio-gif-") + info->name() + "-" +
                                             std::to_string(std::random_device()()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

TEST_F(GifWriteFile, WritesTheFileBytesAndReplacesAnOldFile) {
    const TBitmapPalette p = BitmapToPalette(RandomPicture(30, 20, 5, 11));
    TGifFile file;
    file.AddImage(p.Table, p.Pixels);
    const fs::path path = m_dir / "picture1.gif";
    {
        std::ofstream old(path, std::ios::binary);
        old << std::string(100000, 'x');
    }
    file.WriteFile(path);
    const std::string written = ReadFile(path);
    EXPECT_EQ(written, file.FileBytes());
    EXPECT_NO_THROW(giftest::Decode(written));
    // Writing again gives the same bytes.
    file.WriteFile(path);
    EXPECT_EQ(ReadFile(path), written);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(GifWriteFile, UnwritablePlaceRaisesAndLeavesNothing) {
    TGifFile file;
    const fs::path path = m_dir / "missing-folder" / "picture1.gif";
    EXPECT_THROW(file.WriteFile(path), EGifWriteError);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_THROW(file.WriteFile(m_dir), EGifWriteError); // a folder, not a file
    EXPECT_TRUE(fs::is_directory(m_dir));
}

} // namespace
} // namespace veltrio
