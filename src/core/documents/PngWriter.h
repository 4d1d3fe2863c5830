#pragma once

#include <functional>
#include <string>

#include "documents/Graphics.h"

namespace veltrio {

// A picture as a PNG file's bytes: 8-bit RGB, no interlace, every row with
// the "Up" filter (charts are mostly runs of equal rows), deflated by zlib.
// An empty picture gives an empty string.
std::string EncodePng(const TPicture& picture);

// The same for rows given by the caller: `row(y, rgb)` fills the 3·width
// bytes of row y. `level` is zlib's (1 fastest, 9 smallest); a positive
// `pixelsPerMetre` is written as the picture's resolution.
std::string EncodePngRows(int width, int height,
                          const std::function<void(int y, unsigned char* rgb)>& row, int level,
                          int pixelsPerMetre = 0);

} // namespace veltrio
