// The six language sources against the English one: the same chapters and
// items, every text within a record and its code page, fragments joined the
// same way, markup that still parses, and built files that read back the
// source's texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "base/TextUtil.h"
#include "documents/Markup.h"
#include "textlib/Languages.h"
#include "textlib/TextLibrary.h"
#include "textlib/TextLibraryWriter.h"

namespace fs = std::filesystem;
using namespace veltrio;

namespace {

struct SourceFile {
    const char* File;
    int OutputLanguage;
    int CodePage;
};

const SourceFile kSources[] = {
    {"english.txt", 0, 850},  {"dansk.txt", 1, 850},   {"deutsch.txt", 2, 850},
    {"francais.txt", 3, 850}, {"espanol.txt", 4, 850}, {"slovak.txt", 5, 852},
};

TLanguageSource Parse(const char* file, std::vector<std::string>& errors) {
    const fs::path p = fs::path(VELTRIO_SOURCE_DIR) / "lang" / file;
    std::ifstream in(p, std::ios::binary);
    EXPECT_TRUE(in.is_open()) << p;
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    return ParseLanguageSource(text, file, errors);
}

// The commands of a formatted line, in order: what must survive translation.
std::vector<std::string> Commands(const std::string& line) {
    std::vector<std::string> out;
    for (const TMarkupPiece& p : SplitMarkup(line)) {
        if (p.Kind == TMarkupKind::mkSymbol) {
            out.push_back(p.Symbol ? "symbol " + p.Command : "unknown symbol " + p.Command);
        } else if (p.Kind == TMarkupKind::mkFontRun) {
            out.push_back("font run " + p.FontName + " " + p.FontSize + " " + p.FontStyle);
        } else if (p.Kind == TMarkupKind::mkSubscript) {
            out.push_back("subscript");
        } else if (p.Kind == TMarkupKind::mkSuperscript) {
            out.push_back("superscript");
        }
    }
    return out;
}

class LanguageSources : public ::testing::TestWithParam<SourceFile> {};

TEST_P(LanguageSources, HoldExactlyTheItemsOfTheEnglishSourceAndEachFits) {
    const SourceFile& src = GetParam();
    std::vector<std::string> errors;
    const TLanguageSource english = Parse("english.txt", errors);
    const TLanguageSource lang = Parse(src.File, errors);
    for (const auto& e : errors) {
        ADD_FAILURE() << e;
    }
    ASSERT_TRUE(errors.empty());
    EXPECT_EQ(lang.CodePage, src.CodePage);

    ASSERT_EQ(lang.Chapters.size(), english.Chapters.size());
    for (const auto& [ch, en] : english.Chapters) {
        const auto found = lang.Chapters.find(ch);
        ASSERT_NE(found, lang.Chapters.end()) << src.File << ": chapter " << ch << " is missing";
        const auto& items = found->second.Items;
        for (const auto& [item, enItem] : en.Items) {
            const std::string address = std::to_string(ch) + "." + std::to_string(item);
            const auto t = items.find(item);
            if (t == items.end()) {
                ADD_FAILURE() << src.File << ": item " << address << " is missing";
                continue;
            }
            const std::string& text = t->second.Text;
            const std::string& english = enItem.Text;
            const std::string where = std::string(src.File) + ":" + std::to_string(t->second.Line) +
                                      ": " + address + " \"" + text + "\"";
            // One byte a character in the file's code page, 80 to a record.
            bool lossless = true;
            const std::string oem = AnsiToOemText(text, src.CodePage, &lossless);
            EXPECT_TRUE(lossless) << where;
            EXPECT_LE(oem.size(), 80u) << where;
            // Fragments keep the blanks that join them to their neighbours.
            EXPECT_EQ(text.empty(), english.empty()) << where;
            if (!text.empty() && !english.empty()) {
                EXPECT_EQ(text.front() == ' ', english.front() == ' ') << where << ": leading blank";
                EXPECT_EQ(text.back() == ' ', english.back() == ' ') << where << ": trailing blank";
            }
            EXPECT_EQ(Commands(text), Commands(english)) << where << ": markup";
        }
        for (const auto& [item, t] : items) {
            EXPECT_TRUE(en.Items.count(item))
                << src.File << ":" << t.Line << ": " << ch << "." << item << " is not an English item";
        }
    }
}

TEST_P(LanguageSources, BuiltFileReadsBackEveryText) {
    const SourceFile& src = GetParam();
    std::vector<std::string> errors;
    const TLanguageSource lang = Parse(src.File, errors);
    ASSERT_TRUE(errors.empty());
    TTextLibrary lib;
    const fs::path built = fs::path(VELTRIO_BIN_DIR) / LanguageFileName(src.OutputLanguage);
    ASSERT_TRUE(lib.OpenTextLibrary(built)) << built;
    EXPECT_EQ(lib.CodePage(), src.CodePage);
    for (const auto& [ch, chapter] : lang.Chapters) {
        EXPECT_EQ(lib.ChapterEntry(ch).Name, chapter.Name);
        for (const auto& [item, t] : chapter.Items) {
            EXPECT_EQ(lib.LibText(ch, item), t.Text) << src.File << ": " << ch << "." << item;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllSix, LanguageSources, ::testing::ValuesIn(kSources),
                         [](const ::testing::TestParamInfo<SourceFile>& info) {
                             std::string name = info.param.File;
                             return name.substr(0, name.find('.'));
                         });

} // namespace
