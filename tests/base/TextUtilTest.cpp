#include <gtest/gtest.h>

#include "base/TextUtil.h"

using namespace veltrio;

TEST(CodePage850, KnownCharactersBothWays) {
    // Code page 850 as published by IBM (CPGID 00850).
    struct Case {
        unsigned char Oem;
        const char* Utf8;
    } cases[] = {
        {0x41, "A"}, {0x82, "é"}, {0x86, "å"}, {0x8F, "Å"}, {0x91, "æ"}, {0x92, "Æ"},
        {0x9B, "ø"}, {0x9D, "Ø"}, {0x9C, "£"}, {0xE1, "ß"}, {0xE6, "µ"}, {0xF1, "±"},
        {0xF8, "°"}, {0xFD, "²"}, {0xA4, "ñ"}, {0xC4, "─"}, {0xFF, "\u00A0"},
    };
    for (const auto& c : cases) {
        const std::string oem(1, static_cast<char>(c.Oem));
        EXPECT_EQ(OemToAnsiText(oem), c.Utf8) << int(c.Oem);
        bool lossless = false;
        EXPECT_EQ(AnsiToOemText(c.Utf8, &lossless), oem) << c.Utf8;
        EXPECT_TRUE(lossless);
    }
}

TEST(CodePage850, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    const std::string utf8 = OemToAnsiText(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Utf8Length(utf8), 256u);
    bool lossless = false;
    EXPECT_EQ(AnsiToOemText(utf8, &lossless), all);
    EXPECT_TRUE(lossless);
}

TEST(CodePage850, UnrepresentableAndMalformedBecomeQuestionMarks) {
    bool lossless = true;
    EXPECT_EQ(AnsiToOemText("5 €", &lossless), "5 ?");
    EXPECT_FALSE(lossless);
    lossless = true;
    EXPECT_EQ(AnsiToOemText("a\xC3", &lossless), "a?");
    EXPECT_FALSE(lossless);
}

TEST(Utf8, Validation) {
    struct Case {
        std::string Text;
        bool Valid;
    } cases[] = {
        {"plain", true},      {"æøå µ", true},          {"\xC3", false},
        {"\xC3\x28", false},  {"\xE2\x82\xAC", true},   {"\xED\xA0\x80", false}, // surrogate
        {"\xC0\xAF", false},  {"\xF0\x9F\x98\x80", true}, {"\xF8\x88\x80\x80\x80", false},
        {std::string("a\0b", 3), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidUtf8(c.Text), c.Valid) << c.Text;
    }
}

TEST(Utf8, LeftCutsWholeCharacters) {
    EXPECT_EQ(Utf8Left("æøåx", 2), "æø");
    EXPECT_EQ(Utf8Left("ab", 4), "ab");
    EXPECT_EQ(Utf8Length("æøåx"), 4u);
}

TEST(Codes, UpperCaseRaisesAsciiAndDanishLetters) {
    EXPECT_EQ(UpperCode("ab1æøå"), "AB1ÆØÅ");
    EXPECT_EQ(UpperCode("é"), "é"); // only the three Danish letters beyond ASCII
    EXPECT_EQ(IntText(-42), "-42");
}
