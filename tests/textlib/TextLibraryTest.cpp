#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/TextUtil.h"
#include "textlib/TextLibrary.h"
#include "textlib/TextLibraryFormat.h"
#include "textlib/TextLibraryWriter.h"

namespace fs = std::filesystem;
using namespace veltrio;

namespace {

fs::path WriteTemp(const std::string& name, const std::string& bytes) {
    const fs::path p = fs::temp_directory_path() / ("veltrio_textlib_" + name);
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
}

std::string Compile(const std::string& source) {
    std::vector<std::string> errors;
    std::string bytes = CompileLanguageSource(source, "test.txt", errors);
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front());
    return bytes;
}

const char* kSource = R"(# a small language
chapter 0 = General
0.1 = First text
0.2 =
0.3 = \_kept spaces\_
chapter 1 = Tables
1.1 = Mean
1.2 = Straggler (5 %) and outlier (1 %)
1.4 = µ ± °, æøå ÆØÅ é
)";

} // namespace

TEST(TextLibrary, LooksUpItemsByChapterAndItem) {
    const fs::path p = WriteTemp("basic.TEX", Compile(kSource));
    TTextLibrary lib;
    ASSERT_TRUE(lib.OpenTextLibrary(p));
    EXPECT_EQ(lib.ChapterCount(), 2);
    EXPECT_EQ(lib.ChapterEntry(0).Name, "General");
    EXPECT_EQ(lib.ChapterEntry(0).FirstRecord, 31);
    EXPECT_EQ(lib.LibText(0, 1), "First text");
    EXPECT_EQ(lib.LibText(0, 2), "");          // a text of length 0
    EXPECT_EQ(lib.LibText(0, 3), " kept spaces ");
    EXPECT_EQ(lib.LibText(1, 1), "Mean");
    EXPECT_EQ(lib.LibText(1, 2), "Straggler (5 %) and outlier (1 %)");
    EXPECT_EQ(lib.LibText(1, 3), "");          // a gap in the numbering
    EXPECT_EQ(lib.LibText(1, 4), "µ ± °, æøå ÆØÅ é");
    lib.CloseTextLibrary();
    EXPECT_FALSE(lib.IsOpen());
}

TEST(TextLibrary, AddressRules) {
    const fs::path p = WriteTemp("rules.TEX", Compile(kSource));
    TTextLibrary lib;
    ASSERT_TRUE(lib.OpenTextLibrary(p));
    // Item 0 of chapter 0 falls into the chapter table.
    EXPECT_EQ(lib.LibText(0, 0), "Arguments 0,0 are not valid; start by 0,1.");
    // A chapter outside 0..ChapterCount-1 addresses record `item` directly:
    // record 31 is the first item of chapter 0.
    EXPECT_EQ(lib.LibText(-1, 31), "First text");
    EXPECT_EQ(lib.LibText(7, 34), "Mean");
    EXPECT_EQ(lib.LibText(-1, 5), "Arguments 0,0 are not valid; start by 0,1.");
    // Beyond the end of the file the caller's text is left as it was.
    std::string text = "unchanged";
    EXPECT_FALSE(lib.LibText(1, 500, text));
    EXPECT_EQ(text, "unchanged");
}

TEST(TextLibrary, TextsAreScrambledInTheFile) {
    const std::string bytes = Compile(kSource);
    EXPECT_EQ(bytes.size() % texfile::RecordSize, 0u);
    EXPECT_EQ(bytes.find("First text"), std::string::npos);
    EXPECT_EQ(bytes.find("Straggler"), std::string::npos);
    // Chapter names are stored plain.
    EXPECT_NE(bytes.find("General"), std::string::npos);
}

TEST(TextLibrary, UnusedChapterSlotLowersTheCount) {
    std::string bytes = Compile(kSource);
    // Mark chapter 0 unused: chapter 1 is still found by its record position,
    // but only chapter numbers below the count (now 1) are translated.
    bytes[1] = static_cast<char>(0x9D);
    bytes[2] = static_cast<char>(0xFF);
    const fs::path p = WriteTemp("unused.TEX", bytes);
    TTextLibrary lib;
    ASSERT_TRUE(lib.OpenTextLibrary(p));
    EXPECT_EQ(lib.ChapterCount(), 1);
    EXPECT_EQ(lib.ChapterEntry(0).FirstRecord, -99);
    // Chapter 0 is below the count; its entry is empty, so record -99 + 1 - 1
    // falls before the chapter table end and gives the fixed text.
    EXPECT_EQ(lib.LibText(0, 1), "Arguments 0,0 are not valid; start by 0,1.");
    // Chapter 1 is no longer translated: item 34 means record 34.
    EXPECT_EQ(lib.LibText(1, 34), "Mean");
}

TEST(TextLibrary, DefectiveFiles) {
    TTextLibrary lib;
    EXPECT_FALSE(lib.OpenTextLibrary("/nonexistent/ENGLISH.TEX"));

    std::string bytes = Compile(kSource);
    bytes[5 * texfile::RecordSize] = 2; // record 6 is not a chapter record
    const fs::path bad = WriteTemp("badkind.TEX", bytes);
    try {
        lib.OpenTextLibrary(bad);
        FAIL() << "a defective chapter table must stop the program";
    } catch (const ETextLibraryFatal& e) {
        EXPECT_STREQ(e.what(), TextLibFatalMessage);
    }
    EXPECT_FALSE(lib.IsOpen());

    const fs::path shortFile = WriteTemp("short.TEX", std::string(113 * 3, '\1'));
    EXPECT_THROW(lib.OpenTextLibrary(shortFile), ETextLibraryFatal);
    const fs::path empty = WriteTemp("empty.TEX", "");
    EXPECT_THROW(lib.OpenTextLibrary(empty), ETextLibraryFatal);
}

TEST(TextLibrary, BuiltEnglishFileHoldsTheReaderMessages) {
    TTextLibrary lib;
    ASSERT_TRUE(lib.OpenTextLibrary(fs::path(VELTRIO_BIN_DIR) / "ENGLISH.TEX"));
    for (int item : {2, 3, 4, 5, 6, 17, 41, 42, 43, 44, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56,
                     57, 58, 59, 71, 72, 74, 75, 76}) {
        std::string text;
        ASSERT_TRUE(lib.LibText(5, item, text)) << "(5, " << item << ")";
        EXPECT_FALSE(text.empty()) << "(5, " << item << ")";
        EXPECT_NE(text, "Arguments 0,0 are not valid; start by 0,1.");
    }
}

TEST(TextLibrary, TextsOfACentralEuropeanFileReadInTheirOwnCodePage) {
    // Slovak letters exist in code page 852 only; the file names its code page.
    const std::string slovak = "Opakovateľnosť: ľščťžýáíéúäôň ĽŠČŤŽ";
    const fs::path p = WriteTemp("cp852.TEX", Compile("codepage 852\nchapter 0 = Úroveň\n0.1 = " +
                                                      slovak + "\n"));
    TTextLibrary lib;
    ASSERT_TRUE(lib.OpenTextLibrary(p));
    EXPECT_EQ(lib.CodePage(), 852);
    EXPECT_EQ(lib.LibText(0, 1), slovak);
    EXPECT_EQ(lib.ChapterEntry(0).Name, "Úroveň");

    // In the file: one byte a letter, the bytes of code page 852 (ľ 96h, š E7h,
    // č 9Fh), scrambled by the key stream.
    std::ifstream in(p, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    const std::size_t at = 30 * texfile::RecordSize;
    ASSERT_EQ(static_cast<unsigned char>(bytes[at + texfile::ItemLengthOffset]),
              Utf8Length(slovak));
    unsigned k = texfile::KeySeed;
    std::string oem;
    for (std::size_t i = 0; i < Utf8Length(slovak); ++i) {
        oem += static_cast<char>(
            (static_cast<unsigned char>(bytes[at + texfile::ItemTextOffset + i]) - k) & 0xFF);
        k = texfile::NextKey(k);
    }
    EXPECT_EQ(static_cast<unsigned char>(oem[9]), 0x96u);  // ľ of "Opakovateľnosť"
    EXPECT_EQ(static_cast<unsigned char>(oem[13]), 0x9Cu); // ť
    EXPECT_EQ(static_cast<unsigned char>(oem[16]), 0x96u); // ľ
    EXPECT_EQ(static_cast<unsigned char>(oem[17]), 0xE7u); // š
    EXPECT_EQ(static_cast<unsigned char>(oem[18]), 0x9Fu); // č

    // A file without a code page (the bytes 0, as older files have) reads
    // as 850, and so does a number the program does not know.
    const fs::path western = WriteTemp("cp850.TEX", Compile(kSource));
    ASSERT_TRUE(lib.OpenTextLibrary(western));
    EXPECT_EQ(lib.CodePage(), 850);
    EXPECT_EQ(lib.LibText(1, 4), "µ ± °, æøå ÆØÅ é");
    std::string odd = Compile(kSource);
    odd[texfile::CodePageOffset] = static_cast<char>(0xB5); // 437
    odd[texfile::CodePageOffset + 1] = 0x01;
    ASSERT_TRUE(lib.OpenTextLibrary(WriteTemp("cp437.TEX", odd)));
    EXPECT_EQ(lib.CodePage(), 850);
    EXPECT_EQ(lib.LibText(1, 4), "µ ± °, æøå ÆØÅ é");
}
