#pragma once

#include <filesystem>
#include <string>

namespace veltrio {

class TTavContents;

// Writes a document as `base`.html (with its GIF images), `base`.rtf and
// `base`.pdf into `dir`. False, with `error` set, when a file cannot be
// written.
bool WriteDocumentFiles(TTavContents& document, const std::filesystem::path& dir,
                        const std::string& base, std::string& error);

} // namespace veltrio
