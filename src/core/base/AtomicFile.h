#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace veltrio {

// Writes `bytes` to a temporary file in the folder of `path`, flushes it and
// renames it over `path`, so a failure never leaves a half-written file.
// Returns false (and leaves `path` untouched) when any step fails; `error`
// then says why.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error = nullptr);

// Reads a whole file as bytes. Returns false when it cannot be read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

} // namespace veltrio
