#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrio {

// A private profile file: "[Section]" lines and "Key=Value" lines below them.
// Section and key names compare without regard to ASCII case, the first of
// duplicated keys counts, and values are read without surrounding blanks.
// Every line that is not ours (comments, unknown sections and keys, lines
// that parse as nothing) is kept as it stands when the file is written back,
// so one program never loses what another put there.
class TIniFile {
public:
    TIniFile() = default;
    // Any bytes parse; a byte-order mark is skipped.
    explicit TIniFile(std::string_view bytes);

    // The value of a key, without blanks at either end; nothing when the
    // section or the key is absent.
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    // Sets a key, in place when it exists, else at the end of its section
    // (the section is appended when it is new). Line breaks in `value`
    // become blanks: a value is one line.
    void Write(std::string_view section, std::string_view key, std::string_view value);

    // The file's bytes, in its own line endings ("\n" for a new file).
    std::string Text() const;

private:
    // Index of the "[section]" line, or npos.
    std::size_t FindSection(std::string_view section) const;

    std::vector<std::string> m_lines;
    std::string m_eol = "\n";
};

// Loads a profile file. A missing file gives an empty profile and true; a
// file that exists but cannot be read gives false.
bool LoadIniFile(const std::filesystem::path& path, TIniFile& ini);
// Writes the profile beside `path` and renames it into place, creating the
// folder when needed. On failure the old file is left as it was.
bool SaveIniFile(const std::filesystem::path& path, const TIniFile& ini,
                 std::string* error = nullptr);

} // namespace veltrio
