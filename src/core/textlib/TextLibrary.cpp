#include "textlib/TextLibrary.h"

#include <cstdint>

#include "base/TextUtil.h"
#include "textlib/TextLibraryFormat.h"

namespace veltrio {

namespace {

int ReadInt16(const unsigned char* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

} // namespace

bool TTextLibrary::OpenTextLibrary(const std::filesystem::path& path) {
    CloseTextLibrary();
    // A folder, device or pipe is no language file; opening a pipe would
    // wait for a writer that never comes.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return false;
    }
    m_file.open(path, std::ios::binary);
    if (!m_file.is_open()) {
        return false;
    }
    m_file.seekg(0, std::ios::end);
    const auto size = static_cast<long long>(m_file.tellg());
    m_file.seekg(0);
    m_recordCount = static_cast<int>(
        std::min<long long>(size / static_cast<long long>(texfile::RecordSize), 1LL << 30));

    bool allChapters = true;
    unsigned char rec[texfile::RecordSize];
    for (int i = 0; i < texfile::ChapterRecords; ++i) {
        if (i >= m_recordCount ||
            !m_file.read(reinterpret_cast<char*>(rec), texfile::RecordSize)) {
            allChapters = false;
            break;
        }
        if (rec[0] != 1) {
            allChapters = false;
        }
        if (i == 0) {
            const int cp = ReadInt16(rec + texfile::CodePageOffset);
            m_codePage = IsSupportedCodePage(cp) ? cp : texfile::DefaultCodePage;
        }
        const int slot = ReadInt16(rec + 1);
        if (slot != texfile::UnusedSlot) {
            Chapter& c = m_chapters[static_cast<std::size_t>(i)];
            c.Slot = slot;
            const std::size_t len = std::min<std::size_t>(rec[3], texfile::ChapterNameMax);
            c.Name = OemToAnsiText(std::string_view(reinterpret_cast<const char*>(rec + 4), len),
                                   m_codePage);
            c.FirstRecord = ReadInt16(rec + 24);
            ++m_chapterCount;
        }
    }
    if (!allChapters) {
        CloseTextLibrary();
        throw ETextLibraryFatal(TextLibFatalMessage);
    }
    m_file.clear();
    return true;
}

void TTextLibrary::CloseTextLibrary() {
    if (m_file.is_open()) {
        m_file.close();
    }
    m_file.clear();
    m_recordCount = 0;
    m_chapterCount = 0;
    m_codePage = texfile::DefaultCodePage;
    m_chapters.fill(Chapter{});
}

bool TTextLibrary::LibText(int chapter, int item, std::string& text) {
    if (!m_file.is_open()) {
        return false;
    }
    long long r = item;
    if (chapter >= 0 && chapter < m_chapterCount) {
        r = static_cast<long long>(m_chapters[static_cast<std::size_t>(chapter)].FirstRecord) +
            item - 1;
    }
    if (r > m_recordCount) {
        return false;
    }
    if (r <= texfile::ChapterRecords) {
        text = ChapterTableAddressText;
        return true;
    }
    unsigned char rec[texfile::RecordSize];
    m_file.clear();
    m_file.seekg(static_cast<std::streamoff>((r - 1) * static_cast<long long>(texfile::RecordSize)));
    if (!m_file.read(reinterpret_cast<char*>(rec), texfile::RecordSize)) {
        m_file.clear();
        throw EVeltrioError("I/O error reading the language file (record " + IntText(r) + ")");
    }
    const std::size_t n = std::min<std::size_t>(rec[texfile::ItemLengthOffset], texfile::ItemTextMax);
    std::string oem(n, '\0');
    unsigned k = texfile::KeySeed;
    for (std::size_t i = 0; i < n; ++i) {
        oem[i] = static_cast<char>((rec[texfile::ItemTextOffset + i] - k) & 0xFF);
        k = texfile::NextKey(k);
    }
    text = OemToAnsiText(oem, m_codePage);
    return true;
}

std::string TTextLibrary::LibText(int chapter, int item) {
    std::string text;
    LibText(chapter, item, text);
    return text;
}

} // namespace veltrio
