#include "textlib/TextLibraryWriter.h"

#include <charconv>
#include <map>
#include <optional>

#include "base/TextUtil.h"
#include "textlib/TextLibraryFormat.h"

namespace veltrio {

namespace {


std::optional<int> ParseInt(std::string_view s) {
    int v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || s.empty()) {
        return std::nullopt;
    }
    return v;
}

// Resolves the escapes "\_" and "\\"; false on any other escape.
bool Unescape(std::string_view in, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '\\') {
            out += in[i];
            continue;
        }
        if (i + 1 >= in.size()) {
            return false;
        }
        const char e = in[++i];
        if (e == '_') {
            out += ' ';
        } else if (e == '\\') {
            out += '\\';
        } else {
            return false;
        }
    }
    return true;
}

void PutInt16(std::string& rec, std::size_t at, int v) {
    const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
    rec[at] = static_cast<char>(u & 0xFF);
    rec[at + 1] = static_cast<char>(u >> 8);
}

} // namespace

TLanguageSource ParseLanguageSource(std::string_view source, std::string_view sourceName,
                                    std::vector<std::string>& errors) {
    TLanguageSource result;
    auto& chapters = result.Chapters;
    int codePage = texfile::DefaultCodePage;
    bool anyEntry = false;
    int lineNo = 0;
    std::size_t pos = 0;
    auto fail = [&](int line, const std::string& what) {
        errors.push_back(std::string(sourceName) + ":" + IntText(line) + ": " + what);
    };
    if (!IsValidUtf8(source)) {
        fail(1, "the source is not valid UTF-8");
        return {};
    }
    while (pos <= source.size()) {
        std::size_t end = source.find('\n', pos);
        if (end == std::string_view::npos) {
            end = source.size();
        }
        std::string_view line = source.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') {
            if (end == source.size()) {
                break;
            }
            continue;
        }
        if (trimmed.rfind("codepage", 0) == 0) {
            const auto cp = ParseInt(Trim(std::string_view(trimmed).substr(8)));
            if (anyEntry) {
                fail(lineNo, "the code page must be named before the first chapter or item");
            } else if (!cp || !IsSupportedCodePage(*cp)) {
                fail(lineNo, "code page must be 850 or 852");
            } else {
                codePage = *cp;
            }
            continue;
        }
        anyEntry = true;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            fail(lineNo, "expected \"chapter N = name\" or \"C.I = text\"");
            continue;
        }
        const std::string key = Trim(line.substr(0, eq));
        std::string_view value = line.substr(eq + 1);
        if (!value.empty() && value.front() == ' ') {
            value.remove_prefix(1);
        }
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) {
            value.remove_suffix(1);
        }
        std::string text;
        if (!Unescape(value, text)) {
            fail(lineNo, "unknown escape in text (use \\_ for a kept space, \\\\ for a backslash)");
            continue;
        }
        bool lossless = true;
        std::string oem = AnsiToOemText(text, codePage, &lossless);
        if (!lossless) {
            fail(lineNo, "the text holds a character that code page " + IntText(codePage) +
                             " cannot hold");
            continue;
        }
        if (key.rfind("chapter ", 0) == 0) {
            const auto ch = ParseInt(Trim(std::string_view(key).substr(8)));
            if (!ch || *ch < 0 || *ch >= texfile::ChapterRecords) {
                fail(lineNo, "chapter number must be 0 to 29");
                continue;
            }
            if (oem.size() > texfile::ChapterNameMax) {
                fail(lineNo, "chapter name longer than 20 bytes");
                continue;
            }
            TLanguageSource::Chapter& c = chapters[*ch];
            if (c.Line != 0) {
                fail(lineNo, "chapter " + IntText(*ch) + " is declared twice (first in line " +
                                 IntText(c.Line) + ")");
                continue;
            }
            c.Name = text;
            c.Line = lineNo;
            continue;
        }
        const std::size_t dot = key.find('.');
        const auto ch = dot == std::string::npos ? std::nullopt : ParseInt(key.substr(0, dot));
        const auto item = dot == std::string::npos ? std::nullopt : ParseInt(key.substr(dot + 1));
        if (!ch || !item) {
            fail(lineNo, "expected an address \"chapter.item\", found \"" + key + "\"");
            continue;
        }
        if (*ch < 0 || *ch >= texfile::ChapterRecords || *item < 1 || *item > 9999) {
            fail(lineNo, "address " + key + " is out of range (chapter 0 to 29, item from 1)");
            continue;
        }
        if (oem.size() > texfile::ItemTextMax) {
            fail(lineNo, "text of " + key + " is " + IntText(static_cast<long long>(oem.size())) +
                             " bytes; at most 80 fit a record");
            continue;
        }
        TLanguageSource::Chapter& c = chapters[*ch];
        auto [it, inserted] = c.Items.try_emplace(*item, TLanguageSource::Item{text, lineNo});
        if (!inserted) {
            fail(lineNo, "duplicate address " + key + " (first in line " +
                             IntText(it->second.Line) + ")");
        }
    }
    for (const auto& [ch, c] : chapters) {
        if (c.Line == 0) {
            const int first = c.Items.begin()->second.Line;
            fail(first, "chapter " + IntText(ch) + " has items but no \"chapter " + IntText(ch) +
                            " = name\" line");
        }
    }
    result.CodePage = codePage;
    return result;
}

std::string CompileLanguageSource(std::string_view source, std::string_view sourceName,
                                  std::vector<std::string>& errors) {
    const std::size_t before = errors.size();
    const TLanguageSource parsed = ParseLanguageSource(source, sourceName, errors);
    if (errors.size() != before) {
        return {};
    }
    const auto& chapters = parsed.Chapters;
    const int codePage = parsed.CodePage;
    const auto oemOf = [codePage](const std::string& text) {
        return AnsiToOemText(text, codePage, nullptr);
    };

    // Chapters 0..max are all in use, so that every chapter below the count
    // of chapters in use is translated.
    const int maxChapter = chapters.empty() ? -1 : chapters.rbegin()->first;
    std::string out;
    std::vector<std::string> items;
    int nextRecord = texfile::ChapterRecords + 1;
    for (int ch = 0; ch < texfile::ChapterRecords; ++ch) {
        std::string rec(texfile::RecordSize, '\0');
        rec[0] = 1;
        if (ch == 0) {
            PutInt16(rec, texfile::CodePageOffset, codePage);
        }
        if (ch > maxChapter) {
            PutInt16(rec, 1, texfile::UnusedSlot);
            PutInt16(rec, 24, texfile::UnusedSlot);
            out += rec;
            continue;
        }
        PutInt16(rec, 1, ch);
        const auto found = chapters.find(ch);
        if (found != chapters.end()) {
            const std::string name = oemOf(found->second.Name);
            rec[3] = static_cast<char>(name.size());
            rec.replace(4, name.size(), name);
        }
        const int count = found == chapters.end() || found->second.Items.empty()
                              ? 0
                              : found->second.Items.rbegin()->first;
        // An empty chapter points past any file, so that its lookups find
        // nothing rather than the next chapter's texts.
        PutInt16(rec, 24, count == 0 ? texfile::MaxRecords : nextRecord);
        out += rec;
        for (int item = 1; item <= count; ++item) {
            std::string irec(texfile::RecordSize, '\0');
            irec[0] = 2;
            PutInt16(irec, 1, ch);
            PutInt16(irec, 3, item);
            const auto it = found->second.Items.find(item);
            const std::string oem = it == found->second.Items.end() ? "" : oemOf(it->second.Text);
            irec[texfile::ItemLengthOffset] = static_cast<char>(oem.size());
            unsigned k = texfile::KeySeed;
            for (std::size_t i = 0; i < oem.size(); ++i) {
                irec[texfile::ItemTextOffset + i] =
                    static_cast<char>((static_cast<unsigned char>(oem[i]) + k) & 0xFF);
                k = texfile::NextKey(k);
            }
            items.push_back(std::move(irec));
        }
        nextRecord += count;
        if (nextRecord > texfile::MaxRecords) {
            errors.push_back(std::string(sourceName) + ": too many items for one language file");
            return {};
        }
    }
    for (const auto& r : items) {
        out += r;
    }
    return out;
}

} // namespace veltrio
