#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "settings/IniFile.h"

using namespace veltrio;

namespace {

struct ReadCase {
    const char* Name;
    std::string Text;
    const char* Section;
    const char* Key;
    std::optional<std::string> Expected;
};

class IniRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, FindsTheValue) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(TIniFile(c.Text).Read(c.Section, c.Key), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lookup, IniRead,
    ::testing::Values(
        ReadCase{"Plain", "[S]\nK=v\n", "S", "K", "v"},
        ReadCase{"NamesIgnoreCase", "[settings]\nlinewidth=3\n", "Settings", "LineWidth", "3"},
        ReadCase{"BlanksAroundEverything", "  [ S ]  \n  K  =  a b  \n", "S", "K", "a b"},
        ReadCase{"EmptyValue", "[S]\nK=\n", "S", "K", ""},
        ReadCase{"ValueKeepsLaterEquals", "[S]\nK=a=b\n", "S", "K", "a=b"},
        ReadCase{"FirstDuplicateCounts", "[S]\nK=1\nK=2\n", "S", "K", "1"},
        ReadCase{"FirstSectionCounts", "[S]\nA=1\n[S]\nK=2\n", "S", "K", std::nullopt},
        ReadCase{"OtherSection", "[T]\nK=1\n[S]\nJ=2\n", "S", "K", std::nullopt},
        ReadCase{"KeyBeforeAnySection", "K=1\n[S]\n", "S", "K", std::nullopt},
        ReadCase{"CommentedOut", "[S]\n;K=1\n# K=2\n", "S", "K", std::nullopt},
        ReadCase{"NoEquals", "[S]\nK 1\n", "S", "K", std::nullopt},
        ReadCase{"UnclosedSectionIsNoSection", "[S]\n[T\nK=1\n", "S", "K", "1"},
        ReadCase{"CrLf", "[S]\r\nK=v\r\n", "S", "K", "v"},
        ReadCase{"BareCr", "[S]\rK=v\r", "S", "K", "v"},
        ReadCase{"NoFinalLineBreak", "[S]\nK=v", "S", "K", "v"},
        ReadCase{"ByteOrderMark", "\xEF\xBB\xBF[S]\nK=v\n", "S", "K", "v"},
        ReadCase{"NulInValue", std::string("[S]\nK=a\0b\n", 9), "S", "K", std::string("a\0b", 3)},
        ReadCase{"Empty", "", "S", "K", std::nullopt}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(IniWrite, UpdatesInPlaceAndKeepsEverythingElse) {
    const std::string before = "; made by hand\n"
                               "[Settings]\n"
                               "Unknown=keep me\n"
                               "LineWidth=2\n"
                               "\n"
                               "[Vendor]\n"
                               "X=1\n";
    TIniFile ini(before);
    ini.Write("settings", "LineWidth", "3");
    ini.Write("Settings", "New", "n");
    ini.Write("History", "File0", "none");
    EXPECT_EQ(ini.Text(), "; made by hand\n"
                          "[Settings]\n"
                          "Unknown=keep me\n"
                          "LineWidth=3\n"
                          "New=n\n"
                          "\n"
                          "[Vendor]\n"
                          "X=1\n"
                          "[History]\n"
                          "File0=none\n");
}

TEST(IniWrite, KeepsTheFilesLineEndings) {
    TIniFile ini("[S]\r\nA=1\r\n");
    ini.Write("S", "B", "2");
    EXPECT_EQ(ini.Text(), "[S]\r\nA=1\r\nB=2\r\n");
    TIniFile fresh;
    fresh.Write("S", "A", "1");
    EXPECT_EQ(fresh.Text(), "[S]\nA=1\n");
}

TEST(IniWrite, AValueStaysOnOneLine) {
    TIniFile ini;
    ini.Write("S", "K", "a\nb\r\n[Evil]");
    ini.Write("S", "L", "2");
    EXPECT_EQ(ini.Read("S", "K"), "a b  [Evil]");
    EXPECT_EQ(ini.Read("S", "L"), "2");
    EXPECT_EQ(ini.Read("Evil", "L"), std::nullopt);
}

// Whatever the bytes, the profile parses, writes its lines back unchanged and
// takes new keys that read back.
TEST(IniRobustness, AnyBytes) {
    std::mt19937 gen(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> pick(0, 9);
    const std::string alphabet = "[]=;#\r\n \tSK";
    for (int round = 0; round < 500; ++round) {
        std::string bytes;
        const int length = round % 60;
        for (int i = 0; i < length; ++i) {
            bytes += pick(gen) < 6 ? alphabet[static_cast<std::size_t>(byte(gen)) % alphabet.size()]
                                   : static_cast<char>(byte(gen));
        }
        TIniFile ini(bytes);
        const std::string text = ini.Text();
        EXPECT_EQ(TIniFile(text).Text(), text) << "round " << round;
        ini.Write("Settings", "LineWidth", "7");
        ini.Write("History", "File0", "/a/b.PAR");
        const TIniFile again(ini.Text());
        EXPECT_EQ(again.Read("Settings", "LineWidth"), "7") << "round " << round;
        EXPECT_EQ(again.Read("History", "File0"), "/a/b.PAR") << "round " << round;
    }
}

} // namespace
