#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/SettingsFile.h"

using namespace veltrio;

namespace {

using List = std::vector<std::string>;

struct AddCase {
    const char* Name;
    List Before;
    std::string Path;
    List After;
};

class FileHistoryAdd : public ::testing::TestWithParam<AddCase> {};

TEST_P(FileHistoryAdd, MostRecentFirst) {
    List history = GetParam().Before;
    AddToFileHistory(history, GetParam().Path);
    EXPECT_EQ(history, GetParam().After);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileHistoryAdd,
    ::testing::Values(AddCase{"Empty", {}, "/a", {"/a"}},
                      AddCase{"NewGoesOnTop", {"/a", "/b"}, "/c", {"/c", "/a", "/b"}},
                      AddCase{"KnownMovesUp", {"/a", "/b", "/c"}, "/c", {"/c", "/a", "/b"}},
                      AddCase{"AlreadyOnTop", {"/a", "/b"}, "/a", {"/a", "/b"}},
                      AddCase{"FullDropsTheFifth",
                              {"/1", "/2", "/3", "/4", "/5"},
                              "/6",
                              {"/6", "/1", "/2", "/3", "/4"}},
                      AddCase{"FullKnownFifth",
                              {"/1", "/2", "/3", "/4", "/5"},
                              "/5",
                              {"/5", "/1", "/2", "/3", "/4"}},
                      // Six entries can only come from a file written by hand; the sixth
                      // stays last.
                      AddCase{"SixFromTheFile",
                              {"/1", "/2", "/3", "/4", "/5", "/6"},
                              "/7",
                              {"/7", "/1", "/2", "/3", "/4", "/6"}},
                      AddCase{"CaseMatters", {"/a.PAR"}, "/a.par", {"/a.par", "/a.PAR"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(FileHistoryFile, ReadsTheSixKeysInOrder) {
    const TIniFile ini("[History]\nFile3=/d\nFile0=/a\nFile1=none\nFile2=\nFile5=/f\nFile6=/g\n"
                       "[Other]\nFile4=/e\n");
    EXPECT_EQ(ReadFileHistory(ini), (List{"/a", "/d", "/f"}));
    EXPECT_TRUE(ReadFileHistory(TIniFile("")).empty());
}

TEST(FileHistoryFile, WritesEveryKeySoNothingStaleSurvives) {
    TIniFile ini("[History]\nFile0=/old0\nFile1=/old1\nFile2=/old2\n");
    WriteFileHistory(ini, {"/new", "/data/with blanks.PAR"});
    EXPECT_EQ(ini.Text(), "[History]\nFile0=/new\nFile1=/data/with blanks.PAR\nFile2=none\n"
                          "File3=none\nFile4=none\nFile5=none\n");
    EXPECT_EQ(ReadFileHistory(ini), (List{"/new", "/data/with blanks.PAR"}));
}

} // namespace
