#include "documents/PngWriter.h"

#include <zlib.h>

#include <cstdint>
#include <memory>
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
    return EncodePngRows(
        picture.Width, picture.Height,
        [&](int y, unsigned char* rgb) {
            const TColor* line = &picture.Pixels[static_cast<std::size_t>(y) * w];
            for (std::size_t x = 0; x < w; ++x) {
                rgb[3 * x] = static_cast<unsigned char>(ColorRed(line[x]));
                rgb[3 * x + 1] = static_cast<unsigned char>(ColorGreen(line[x]));
                rgb[3 * x + 2] = static_cast<unsigned char>(ColorBlue(line[x]));
            }
        },
        9);
}

std::string EncodePngRows(int width, int height,
                          const std::function<void(int y, unsigned char* rgb)>& fill, int level,
                          int pixelsPerMetre) {
    if (width <= 0 || height <= 0) {
        return {};
    }
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t h = static_cast<std::size_t>(height);
    const std::size_t stride = 1 + 3 * w;
    // Every byte is written below: no need to clear them first.
    const std::unique_ptr<unsigned char[]> raw(new unsigned char[stride * h]);
    std::vector<unsigned char> row(3 * w), previous(3 * w, 0);
    for (std::size_t y = 0; y < h; ++y) {
        fill(static_cast<int>(y), row.data());
        unsigned char* out = &raw[y * stride];
        out[0] = 2; // Up: the difference to the row above
        for (std::size_t i = 0; i < row.size(); ++i) {
            out[1 + i] = static_cast<unsigned char>(row[i] - previous[i]);
        }
        previous.swap(row);
    }
    // The fastest level matches runs only: rows differenced with the row
    // above are mostly runs of zeros.
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, 15, 8, level <= 1 ? Z_RLE : Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        return {};
    }
    const uLong bound = deflateBound(&z, static_cast<uLong>(stride * h));
    const std::unique_ptr<Bytef[]> out(new Bytef[bound]);
    z.next_in = raw.get();
    z.avail_in = static_cast<uInt>(stride * h);
    z.next_out = out.get();
    z.avail_out = static_cast<uInt>(bound);
    const int done = deflate(&z, Z_FINISH);
    const std::string deflated(reinterpret_cast<const char*>(out.get()), z.total_out);
    deflateEnd(&z);
    if (done != Z_STREAM_END) {
        return {};
    }

    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    PutU32(header, static_cast<std::uint32_t>(w));
    PutU32(header, static_cast<std::uint32_t>(h));
    header += '\x08'; // bit depth
    header += '\x02'; // RGB
    header += std::string(3, '\0');
    PutChunk(png, "IHDR", header);
    if (pixelsPerMetre > 0) {
        std::string phys;
        PutU32(phys, static_cast<std::uint32_t>(pixelsPerMetre));
        PutU32(phys, static_cast<std::uint32_t>(pixelsPerMetre));
        phys += '\x01'; // the unit is the metre
        PutChunk(png, "pHYs", phys);
    }
    PutChunk(png, "IDAT", deflated);
    PutChunk(png, "IEND", {});
    return png;
}

} // namespace veltrio
