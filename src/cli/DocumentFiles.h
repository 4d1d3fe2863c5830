#pragma once

#include <filesystem>
#include <string>

namespace veltrio {

class TTavContents;

struct TDocumentFormats {
    bool Html = true;
    bool Rtf = true;
    bool Pdf = true;
    bool Text = true;
};

// Writes a document as `base`.html (with its GIF images), `base`.rtf,
// `base`.pdf and `base`.txt (its plain text) into `dir`, as `formats` asks.
// False, with `error` set, when a file cannot be written.
bool WriteDocumentFiles(TTavContents& document, const std::filesystem::path& dir,
                        const std::string& base, const TDocumentFormats& formats,
                        std::string& error);

} // namespace veltrio
