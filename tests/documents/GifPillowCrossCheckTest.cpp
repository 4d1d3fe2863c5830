#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "GifTestPictures.h"
#include "documents/GifWriter.h"

// A second, outside reader: Python's imaging library (Debian package
// python3-pil) decodes what we write, and every pixel is compared.

namespace veltrio {
namespace {

namespace fs = std::filesystem;
using namespace giftest_pictures;

const char* const DecodeScript = R"(import sys
from PIL import Image, ImageSequence
for path in sys.argv[1:]:
    with Image.open(path) as im:
        for n, frame in enumerate(ImageSequence.Iterator(im)):
            rgb = frame.convert("RGB")
            with open("%s.%d.rgb" % (path, n), "wb") as out:
                out.write(b"%d %d\n" % rgb.size)
                out.write(rgb.tobytes())
)";

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Frame n as the library shows it: the logical screen, each later image
// painted over the earlier ones.
struct Frame {
    unsigned width = 0, height = 0;
    std::string rgb;
};

Frame ReadFrame(const fs::path& path) {
    const std::string all = ReadAll(path);
    Frame f;
    std::istringstream head(all.substr(0, all.find('\n')));
    head >> f.width >> f.height;
    f.rgb = all.substr(all.find('\n') + 1);
    return f;
}

std::size_t DifferingInFrame(const TRgbBitmap& picture, const Frame& frame) {
    if (frame.rgb.size() != std::size_t{frame.width} * frame.height * 3 ||
        picture.Width > frame.width || picture.Height > frame.height) {
        return picture.Pixels.size();
    }
    std::size_t differing = 0;
    for (std::uint32_t y = 0; y < picture.Height; ++y) {
        for (std::uint32_t x = 0; x < picture.Width; ++x) {
            const std::size_t at = (std::size_t{y} * frame.width + x) * 3;
            const auto byte = [&](std::size_t k) {
                return std::uint32_t{static_cast<unsigned char>(frame.rgb[at + k])};
            };
            const std::uint32_t got = byte(0) << 16 | byte(1) << 8 | byte(2);
            differing += got != (picture.Pixel(x, y) & 0xFFFFFFu);
        }
    }
    return differing;
}

TEST(GifPillowCrossCheck, OutsideReaderSeesEveryPixel) {
    struct Case {
        std::string name;
        std::vector<TRgbBitmap> pictures;
    };
    const auto firstColour = [](auto, auto) { return 0x336699u; };
    const std::vector<Case> cases = {
        {"one-pixel", {Picture(1, 1, firstColour)}},
        {"two-colours-odd", {RandomPicture(33, 17, 2, 31)}},
        {"sixteen-colours", {RandomPicture(97, 61, 16, 32)}},
        {"chart", {ChartPicture(301, 203, 9)}},
        {"256-colours-with-resets", {RandomPicture(211, 157, 256, 33)}},
        {"two-colour-resets", {RandomPicture(400, 250, 2, 34)}},
        {"runs", {RunsPicture(640, 480, 40, 35)}},
        {"two-images", {ChartPicture(120, 40, 3), RandomPicture(60, 70, 64, 36)}},
    };
    const fs::path dir =
        fs::temp_directory_path() / ("veltrio-gif-pil-" + std::to_string(std::random_device()()));
    fs::create_directories(dir);
    // Debian's package installs for the system's interpreter, which another
    // python3 earlier on the path may hide.
    const std::string python = fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    std::string command = python + " " + (dir / "decode.py").string();
    std::ofstream(dir / "decode.py") << DecodeScript;
    for (const Case& c : cases) {
        TGifFile file;
        for (const TRgbBitmap& picture : c.pictures) {
            const TBitmapPalette palette = BitmapToPalette(picture);
            file.AddImage(palette.Table, palette.Pixels);
        }
        file.WriteFile(dir / (c.name + ".gif"));
        command += " " + (dir / (c.name + ".gif")).string();
    }
    const int status = std::system(command.c_str());
    ASSERT_EQ(status, 0) << "the outside reader failed: this test needs python3 with PIL "
                            "(Debian package python3-pil)";
    for (const Case& c : cases) {
        for (std::size_t n = 0; n < c.pictures.size(); ++n) {
            const fs::path frame = dir / (c.name + ".gif." + std::to_string(n) + ".rgb");
            ASSERT_TRUE(fs::exists(frame)) << c.name << ", image " << n + 1;
            EXPECT_EQ(DifferingInFrame(c.pictures[n], ReadFrame(frame)), 0u)
                << c.name << ", image " << n + 1;
        }
    }
    fs::remove_all(dir);
}

} // namespace
} // namespace veltrio
