#include "settings/IniFile.h"

#include <system_error>

#include "base/AtomicFile.h"
#include "base/TextUtil.h"

namespace veltrio {

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsBlankLine(std::string_view line) {
    return Trim(line).empty();
}

// The name of a "[name]" line; nothing for any other line.
std::optional<std::string> SectionName(std::string_view line) {
    const std::string t = Trim(line);
    if (t.empty() || t.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = t.find(']');
    if (close == std::string::npos) {
        return std::nullopt;
    }
    return Trim(std::string_view(t).substr(1, close - 1));
}

struct KeyLine {
    std::string Key;
    std::string Value;
};

// The key and value of a "key=value" line; comments and lines without '='
// or without a key are nothing.
std::optional<KeyLine> ParseKeyLine(std::string_view line) {
    const std::string t = Trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '#' || t.front() == '[') {
        return std::nullopt;
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string::npos) {
        return std::nullopt;
    }
    KeyLine kv{Trim(std::string_view(t).substr(0, eq)), Trim(std::string_view(t).substr(eq + 1))};
    if (kv.Key.empty()) {
        return std::nullopt;
    }
    return kv;
}

std::string OneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return out;
}

} // namespace

TIniFile::TIniFile(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    bool eolSeen = false;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        m_lines.emplace_back(bytes.substr(pos, end - pos));
        std::size_t next = end;
        if (next < bytes.size() && bytes[next] == '\r') {
            ++next;
        }
        if (next < bytes.size() && bytes[next] == '\n') {
            ++next;
        }
        if (!eolSeen && next > end) {
            m_eol = std::string(bytes.substr(end, next - end));
            eolSeen = true;
        }
        pos = next;
    }
}

std::size_t TIniFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = SectionName(m_lines[i]);
        if (name && SameName(*name, section)) {
            return i;
        }
    }
    return std::string::npos;
}

std::optional<std::string> TIniFile::Read(std::string_view section, std::string_view key) const {
    const std::size_t start = FindSection(section);
    if (start == std::string::npos) {
        return std::nullopt;
    }
    for (std::size_t i = start + 1; i < m_lines.size() && !SectionName(m_lines[i]); ++i) {
        const auto kv = ParseKeyLine(m_lines[i]);
        if (kv && SameName(kv->Key, key)) {
            return kv->Value;
        }
    }
    return std::nullopt;
}

void TIniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
    const std::string line = OneLine(key) + "=" + OneLine(value);
    std::size_t start = FindSection(section);
    if (start == std::string::npos) {
        m_lines.push_back("[" + OneLine(section) + "]");
        m_lines.push_back(line);
        return;
    }
    // After the last line of the section that is not blank, so that a blank
    // line before the next section stays where it is.
    std::size_t insertAt = start + 1;
    for (std::size_t i = start + 1; i < m_lines.size() && !SectionName(m_lines[i]); ++i) {
        const auto kv = ParseKeyLine(m_lines[i]);
        if (kv && SameName(kv->Key, key)) {
            m_lines[i] = line;
            return;
        }
        if (!IsBlankLine(m_lines[i])) {
            insertAt = i + 1;
        }
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
}

std::string TIniFile::Text() const {
    std::string out;
    for (const auto& line : m_lines) {
        out += line;
        out += m_eol;
    }
    return out;
}

bool LoadIniFile(const std::filesystem::path& path, TIniFile& ini) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) && !ec) {
        ini = TIniFile();
        return true;
    }
    std::string bytes;
    if (ec || !ReadWholeFile(path, bytes)) {
        return false;
    }
    ini = TIniFile(bytes);
    return true;
}

bool SaveIniFile(const std::filesystem::path& path, const TIniFile& ini, std::string* error) {
    if (path.has_parent_path()) {
        std::error_code ec;
        std::filesystem::create_directories(path.parent_path(), ec);
        // A failure here shows up as the failure to write the file.
    }
    return WriteFileAtomically(path, ini.Text(), error);
}

} // namespace veltrio
