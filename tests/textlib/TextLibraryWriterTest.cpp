#include <gtest/gtest.h>

#include "base/TextUtil.h"
#include "textlib/TextLibraryWriter.h"

using namespace veltrio;

namespace {

std::vector<std::string> ErrorsOf(const std::string& source) {
    std::vector<std::string> errors;
    const std::string bytes = CompileLanguageSource(source, "lang/x.txt", errors);
    if (!errors.empty()) {
        EXPECT_TRUE(bytes.empty());
    }
    return errors;
}

} // namespace

TEST(TextLibraryWriter, RefusesFaultySourcesNamingTheLine) {
    const std::string eighty(80, 'x');
    struct Case {
        std::string Source;
        std::string Expected; // a part of the first error
    } cases[] = {
        {"chapter 0 = A\n0.1 = " + eighty + "\n", ""},
        {"chapter 0 = A\n0.1 = " + eighty + "y\n", "lang/x.txt:2: text of 0.1 is 81 bytes"},
        // "é" is one byte in the file's code page, so 80 of them fit.
        {"chapter 0 = A\n0.1 = " + std::string(80 * 1, 'e') + "\n", ""},
        {"chapter 0 = A\n0.1 = one\n\n0.1 = two\n", "lang/x.txt:4: duplicate address 0.1 (first in line 2)"},
        {"chapter 0 = A\n0.1 = 5 €\n", "lang/x.txt:2: the text holds a character that code page 850 cannot hold"},
        {"chapter 0 = A\n0.1 = Ω\n", "lang/x.txt:2: the text holds a character"},
        {"chapter 0 = A\nchapter 0 = B\n", "lang/x.txt:2: chapter 0 is declared twice"},
        {"chapter 30 = A\n", "lang/x.txt:1: chapter number must be 0 to 29"},
        {"chapter 0 = A name of more than twenty\n", "lang/x.txt:1: chapter name longer than 20 bytes"},
        {"chapter 0 = A\nhello\n", "lang/x.txt:2: expected"},
        {"chapter 0 = A\n0.x = text\n", "lang/x.txt:2: expected an address"},
        {"chapter 0 = A\n0.0 = text\n", "lang/x.txt:2: address 0.0 is out of range"},
        {"1.1 = orphan\n", "lang/x.txt:1: chapter 1 has items but no"},
        {"chapter 0 = A\n0.1 = bad \\q escape\n", "lang/x.txt:2: unknown escape"},
        {std::string("chapter 0 = A\n0.1 = \xff\n"), "the source is not valid UTF-8"},
        {"codepage 852\nchapter 0 = A\n0.1 = ľščťž\n", ""},
        {"chapter 0 = A\n0.1 = ľ\n", "lang/x.txt:2: the text holds a character that code page 850"},
        {"codepage 852\nchapter 0 = A\n0.1 = 5 µg\n", "lang/x.txt:3: the text holds a character that code page 852"},
        {"chapter 0 = A\ncodepage 852\n", "lang/x.txt:2: the code page must be named before"},
        {"codepage 437\nchapter 0 = A\n", "lang/x.txt:1: code page must be 850 or 852"},
        {"codepage\nchapter 0 = A\n", "lang/x.txt:1: code page must be 850 or 852"},
    };
    for (const auto& c : cases) {
        const auto errors = ErrorsOf(c.Source);
        if (c.Expected.empty()) {
            EXPECT_TRUE(errors.empty()) << c.Source;
        } else {
            ASSERT_FALSE(errors.empty()) << c.Source;
            EXPECT_NE(errors.front().find(c.Expected), std::string::npos)
                << errors.front() << "\n  expected: " << c.Expected;
        }
    }
}

TEST(TextLibraryWriter, EightyCodePageBytesOfAccentedText) {
    std::string text;
    for (int i = 0; i < 80; ++i) {
        text += "é";
    }
    EXPECT_TRUE(ErrorsOf("chapter 0 = A\n0.1 = " + text + "\n").empty());
    EXPECT_FALSE(ErrorsOf("chapter 0 = A\n0.1 = " + text + "é\n").empty());
}
