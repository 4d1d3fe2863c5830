#pragma once

// A GIF reader written for the tests from the format's published description
// alone, sharing no code with the writer. It is strict: any deviation from a
// well-formed file raises std::runtime_error, so a test that decodes a file
// also checks its structure.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace giftest {

struct Rgb {
    std::uint8_t R = 0, G = 0, B = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Code {
    unsigned Value = 0;
    unsigned Width = 0;
    friend bool operator==(const Code&, const Code&) = default;
};

struct DecodedImage {
    unsigned Left = 0, Top = 0, Width = 0, Height = 0;
    std::uint8_t Packed = 0;
    bool Interlaced = false;
    std::vector<Rgb> LocalTable; // empty when the image has none
    unsigned MinCodeSize = 0;
    std::vector<std::size_t> SubBlockSizes;
    std::vector<Code> Codes;                 // every code read, with the width it was read with
    std::size_t CodesAfterFull = 0;          // codes other than clear read while the table was full
    std::vector<std::size_t> DefinedAtClear; // codes defined when each clear code was read
    std::vector<std::uint8_t> Indices;       // width × height palette indices, row by row
    std::vector<Rgb> Pixels;                 // the same through the image's colour table
};

struct DecodedGif {
    std::string Signature;
    unsigned ScreenWidth = 0, ScreenHeight = 0;
    std::uint8_t Packed = 0, Background = 0, Aspect = 0;
    std::vector<Rgb> GlobalTable; // empty when the file has none
    std::vector<DecodedImage> Images;
};

DecodedGif Decode(std::string_view file);

// 0xRRGGBB of a pixel.
inline std::uint32_t RgbValue(const Rgb& c) {
    return (std::uint32_t{c.R} << 16) | (std::uint32_t{c.G} << 8) | c.B;
}

} // namespace giftest
