#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace veltrio {

// Writes `bytes` to a temporary file in the folder of `path`, flushes and
// syncs it and renames it over `path`, so a failure never leaves a
// half-written file. A symbolic link is followed: its target is rewritten
// and the link stays. The file keeps its permissions; a file that may not
// be written (read-only) is refused. Returns false (and leaves `path`
// untouched) when any step fails; `error` then says why, in words for the
// user ("the disk is full", "the file is read-only").
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error = nullptr);

// No file the program reads (a study, settings, a language source) comes
// near this size; anything larger is refused unread.
inline constexpr std::size_t MaxReadFileSize = 8u * 1024u * 1024u;

// Reads a whole regular file as bytes. Folders, devices, pipes and files
// larger than `limit` are refused without being read. Returns false when
// the file cannot be read; `error` then says why.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes,
                   std::string* error = nullptr, std::size_t limit = MaxReadFileSize);

} // namespace veltrio
