#pragma once

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/Error.h"

namespace veltrio {

// A language file whose chapter table is defective: the program cannot run.
class ETextLibraryFatal : public EVeltrioError {
public:
    using EVeltrioError::EVeltrioError;
};

inline constexpr const char* TextLibFatalMessage =
    "ERROR 1 OPENING TEXTLIB: MISSING CHAPTER INFORMATIONPlease report to the Tav. Program was "
    "halted.";
inline constexpr const char* MissingLanguageFileMessage =
    "Missing language file - unable to run systemPlease check the manual - or report to TavThe "
    "program will now exit to Windows";
inline constexpr const char* UnableToOpenLanguageFileMessage = "Unable to open language file.";
inline constexpr const char* ChapterTableAddressText = "Arguments 0,0 are not valid; start by 0,1.";

// The language file: all wording of the output, addressed by (chapter, item).
class TTextLibrary {
public:
    struct Chapter {
        int Slot = -99;
        std::string Name;
        int FirstRecord = -99;
    };

    TTextLibrary() = default;
    TTextLibrary(const TTextLibrary&) = delete;
    TTextLibrary& operator=(const TTextLibrary&) = delete;

    // Opens the file and loads the chapter table. False when the file cannot
    // be opened. Throws ETextLibraryFatal (TextLibFatalMessage) when one of
    // the 30 chapter records is not a chapter record.
    bool OpenTextLibrary(const std::filesystem::path& path);
    void CloseTextLibrary();
    bool IsOpen() const { return m_file.is_open(); }

    // The text of (chapter, item), item 1-based within its chapter. An
    // address beyond the end of the file leaves `text` as it was and
    // returns false.
    bool LibText(int chapter, int item, std::string& text);
    // As above; an address beyond the end of the file gives "".
    std::string LibText(int chapter, int item);

    int ChapterCount() const { return m_chapterCount; }
    // The code page of the open file's texts (850 or 852).
    int CodePage() const { return m_codePage; }
    int RecordCount() const { return m_recordCount; }
    const Chapter& ChapterEntry(int i) const { return m_chapters.at(static_cast<std::size_t>(i)); }

private:
    std::ifstream m_file;
    int m_recordCount = 0;
    int m_chapterCount = 0;
    int m_codePage = 850;
    std::array<Chapter, 30> m_chapters{};
};

} // namespace veltrio
