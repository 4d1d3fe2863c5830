#pragma once

#include <string>

#include "documents/Graphics.h"

namespace veltrio {

// A picture as a PNG file's bytes: 8-bit RGB, no interlace, every row with
// the "Up" filter (charts are mostly runs of equal rows), deflated by zlib.
// An empty picture gives an empty string.
std::string EncodePng(const TPicture& picture);

} // namespace veltrio
