#include "documents/PngWriter.h"

#include <zlib.h>

#include <cstdint>
#include <vector>

namespace veltrio {

namespace {

void PutU32(std::string& out, std::uint32_t v) {
    out += static_cast<char>((v >> 24) & 0xFF);
    out += static_cast<char>((v >> 16) & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
    out += static_cast<char>(v & 0xFF);
}

void PutChunk(std::string& out, const char (&type)[5], const std::string& data) {
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    const auto crc = crc32(0L, reinterpret_cast<const Bytef*>(body.data()),
                           static_cast<uInt>(body.size()));
    PutU32(out, static_cast<std::uint32_t>(crc));
}

} // namespace

std::string EncodePng(const TPicture& picture) {
    if (picture.Empty() ||
        picture.Pixels.size() < static_cast<std::size_t>(picture.Width) * picture.Height) {
        return {};
    }
    const std::size_t w = static_cast<std::size_t>(picture.Width);
    const std::size_t h = static_cast<std::size_t>(picture.Height);
    const std::size_t stride = 1 + 3 * w;
    std::vector<unsigned char> raw(stride * h);
    std::vector<unsigned char> row(3 * w), previous(3 * w, 0);
    for (std::size_t y = 0; y < h; ++y) {
        for (std::size_t x = 0; x < w; ++x) {
            const TColor c = picture.Pixels[y * w + x];
            row[3 * x] = static_cast<unsigned char>(ColorRed(c));
            row[3 * x + 1] = static_cast<unsigned char>(ColorGreen(c));
            row[3 * x + 2] = static_cast<unsigned char>(ColorBlue(c));
        }
        unsigned char* out = &raw[y * stride];
        out[0] = 2; // Up: the difference to the row above
        for (std::size_t i = 0; i < row.size(); ++i) {
            out[1 + i] = static_cast<unsigned char>(row[i] - previous[i]);
        }
        previous.swap(row);
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string deflated(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(deflated.data()), &size, raw.data(),
                  static_cast<uLong>(raw.size()), 9) != Z_OK) {
        return {};
    }
    deflated.resize(size);

    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    PutU32(header, static_cast<std::uint32_t>(w));
    PutU32(header, static_cast<std::uint32_t>(h));
    header += '\x08'; // bit depth
    header += '\x02'; // RGB
    header += std::string(3, '\0');
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", deflated);
    PutChunk(png, "IEND", {});
    return png;
}

} // namespace veltrio
