#pragma once

#include <filesystem>
#include <string>

namespace veltrio {
class TTavContents;
}

namespace veltrio::platform {

// Prints the document to a PDF file, the same path as printing on paper.
// The file is written beside its destination and renamed into place; false
// (with `error` set) when it cannot be written.
bool PrintDocumentToPdf(TTavContents& document, const std::filesystem::path& path,
                        std::string* error = nullptr);

} // namespace veltrio::platform
