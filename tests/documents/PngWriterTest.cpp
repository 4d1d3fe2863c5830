// The PNG writer against an outside reader: Python's PIL (Debian package
// python3-pil) decodes what we write, and every pixel is compared.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "documents/PngWriter.h"

namespace veltrio {
namespace {

namespace fs = std::filesystem;

const char* const DecodeScript = R"(import sys
from PIL import Image
for path in sys.argv[1:]:
    with Image.open(path) as im:
        assert im.format == "PNG" and im.mode == "RGB", (im.format, im.mode)
        with open(path + ".rgb", "wb") as out:
            out.write(b"%d %d\n" % im.size)
            out.write(im.tobytes())
)";

TPicture MakePicture(int w, int h, unsigned seed, int colours) {
    std::mt19937 random(seed);
    std::vector<TColor> palette;
    for (int i = 0; i < colours; ++i) {
        palette.push_back(random() & 0xFFFFFF);
    }
    TPicture p;
    p.Width = w;
    p.Height = h;
    for (int i = 0; i < w * h; ++i) {
        p.Pixels.push_back(palette[random() % palette.size()]);
    }
    return p;
}

// White with black rules and a red box: rows repeat, as in charts.
TPicture ChartLike(int w, int h) {
    TPicture p;
    p.Width = w;
    p.Height = h;
    p.Pixels.assign(static_cast<std::size_t>(w * h), clWhite);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (y % 25 == 0 || x == 10) {
                p.Pixels[static_cast<std::size_t>(y * w + x)] = clBlack;
            } else if (x > 50 && x < 90 && y > 60 && y < 80) {
                p.Pixels[static_cast<std::size_t>(y * w + x)] = MakeColor(255, 0, 0);
            }
        }
    }
    return p;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(PngWriter, OutsideReaderSeesEveryPixel) {
    const std::vector<std::pair<std::string, TPicture>> cases = {
        {"one-pixel", MakePicture(1, 1, 1, 1)},
        {"noise", MakePicture(37, 23, 2, 1000)},
        {"few-colours", MakePicture(64, 3, 3, 3)},
        {"chart", ChartLike(301, 203)},
    };
    const fs::path dir =
        fs::temp_directory_path() / ("veltrio-png-" + std::to_string(std::random_device()()));
    fs::create_directories(dir);
    std::ofstream(dir / "decode.py") << DecodeScript;
    const std::string python = fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    std::string command = python + " " + (dir / "decode.py").string();
    for (const auto& [name, picture] : cases) {
        const std::string png = EncodePng(picture);
        ASSERT_FALSE(png.empty()) << name;
        std::ofstream(dir / (name + ".png"), std::ios::binary) << png;
        command += " " + (dir / (name + ".png")).string();
    }
    ASSERT_EQ(std::system(command.c_str()), 0)
        << "the outside reader failed: this test needs python3 with PIL (python3-pil)";
    for (const auto& [name, picture] : cases) {
        const std::string all = ReadAll(dir / (name + ".png.rgb"));
        std::istringstream head(all.substr(0, all.find('\n')));
        int w = 0, h = 0;
        head >> w >> h;
        EXPECT_EQ(w, picture.Width) << name;
        EXPECT_EQ(h, picture.Height) << name;
        const std::string rgb = all.substr(all.find('\n') + 1);
        ASSERT_EQ(rgb.size(), picture.Pixels.size() * 3) << name;
        std::size_t differing = 0;
        for (std::size_t i = 0; i < picture.Pixels.size(); ++i) {
            const TColor c = picture.Pixels[i];
            differing += static_cast<unsigned char>(rgb[3 * i]) != ColorRed(c) ||
                         static_cast<unsigned char>(rgb[3 * i + 1]) != ColorGreen(c) ||
                         static_cast<unsigned char>(rgb[3 * i + 2]) != ColorBlue(c);
        }
        EXPECT_EQ(differing, 0u) << name;
    }
    // A chart compresses well: a few bytes a row.
    EXPECT_LT(EncodePng(ChartLike(301, 203)).size(), 3000u);
    fs::remove_all(dir);
}

TEST(PngWriter, EmptyOrShortPictureGivesNothing) {
    TPicture none;
    EXPECT_TRUE(EncodePng(none).empty());
    TPicture shortOfPixels;
    shortOfPixels.Width = 4;
    shortOfPixels.Height = 4;
    shortOfPixels.Pixels.assign(15, clWhite);
    EXPECT_TRUE(EncodePng(shortOfPixels).empty());
}

} // namespace
} // namespace veltrio
