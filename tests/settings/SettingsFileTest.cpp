#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "base/AtomicFile.h"
#include "settings/FileSizeLimit.h"
#include "settings/SettingsFile.h"

using namespace veltrio;
using veltrio::testing::FileSizeLimit;
using veltrio::testing::ScratchFolder;

namespace {

// Every stored field away from its default.
TSettings Changed() {
    TSettings s;
    s.DesignColours = 200;
    s.ShowRegLabNo = true;
    s.SortLinePlot = true;
    s.LineThroughMean = true;
    s.AutoSplitCorrection = true;
    s.PrintDisclaimer = true;
    s.DiffMarkers = true;
    s.MethodCaseSensitive = true;
    s.UseMissingMethod = false;
    s.ConfirmTrans = true;
    s.Circle20 = false;
    s.UnitFFF = false;
    s.LowerXZero = true;
    s.AllMethodID = true;
    s.MandelSorted = true;
    s.MandelLabsPage = 12;
    s.OutputLanguage = 5;
    s.OutputFontName = "Liberation Sans Narrow Ø";
    s.LineWidth = 0.35;
    s.MarginLeft = 2.5;
    s.MarginTop = 0.7;
    return s;
}

void ExpectSameStored(const TSettings& a, const TSettings& b) {
    EXPECT_EQ(a.DesignColours, b.DesignColours);
    EXPECT_EQ(a.ShowRegLabNo, b.ShowRegLabNo);
    EXPECT_EQ(a.SortLinePlot, b.SortLinePlot);
    EXPECT_EQ(a.LineThroughMean, b.LineThroughMean);
    EXPECT_EQ(a.AutoSplitCorrection, b.AutoSplitCorrection);
    EXPECT_EQ(a.PrintDisclaimer, b.PrintDisclaimer);
    EXPECT_EQ(a.DiffMarkers, b.DiffMarkers);
    EXPECT_EQ(a.MethodCaseSensitive, b.MethodCaseSensitive);
    EXPECT_EQ(a.UseMissingMethod, b.UseMissingMethod);
    EXPECT_EQ(a.ConfirmTrans, b.ConfirmTrans);
    EXPECT_EQ(a.Circle20, b.Circle20);
    EXPECT_EQ(a.UnitFFF, b.UnitFFF);
    EXPECT_EQ(a.LowerXZero, b.LowerXZero);
    EXPECT_EQ(a.AllMethodID, b.AllMethodID);
    EXPECT_EQ(a.MandelSorted, b.MandelSorted);
    EXPECT_EQ(a.MandelLabsPage, b.MandelLabsPage);
    EXPECT_EQ(a.OutputLanguage, b.OutputLanguage);
    EXPECT_EQ(a.OutputFontName, b.OutputFontName);
    EXPECT_DOUBLE_EQ(a.LineWidth, b.LineWidth);
    EXPECT_DOUBLE_EQ(a.MarginLeft, b.MarginLeft);
    EXPECT_DOUBLE_EQ(a.MarginTop, b.MarginTop);
}

std::string FileText(const std::filesystem::path& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes));
    return bytes;
}

} // namespace

TEST(SettingsFile, DefaultsOfTheSettingsFile) {
    // The defaults of the settings file, written out by hand.
    TSettings s;
    s.DiscardOutlierTests = true;
    s.ShowRegLabNo = true;
    ReadSettings(TIniFile(""), s);
    ExpectSameStored(s, [] {
        TSettings d;
        d.DesignColours = 3;
        d.UseMissingMethod = true;
        d.Circle20 = true;
        d.UnitFFF = true;
        d.MandelLabsPage = 30;
        d.OutputLanguage = 0;
        d.OutputFontName = "Times New Roman";
        d.LineWidth = -1;
        d.MarginLeft = 1.0;
        d.MarginTop = 2.0;
        return d;
    }());
    EXPECT_FALSE(s.ShowRegLabNo);
    EXPECT_FALSE(s.DiscardOutlierTests);
}

TEST(SettingsFile, RoundTripOfEveryKey) {
    ScratchFolder dir("veltrio-settings");
    const auto path = dir / "VELTRIO.INI";
    const TSettings changed = Changed();
    ASSERT_TRUE(SaveSettings(changed, path));
    EXPECT_EQ(FileText(path), "[Settings]\n"
                              "DesignColours=200\n"
                              "ShowRegLabNo=1\n"
                              "SortLinePlot=1\n"
                              "LineThroughMean=1\n"
                              "AutoSplitCorrection=1\n"
                              "PrintDisclaimer=1\n"
                              "DiffMarkers=1\n"
                              "MethodCaseSensitive=1\n"
                              "UseMissingMethod=0\n"
                              "ConfirmTrans=1\n"
                              "Circle20=0\n"
                              "UnitFFF=0\n"
                              "LowerXZero=1\n"
                              "AllMethodID=1\n"
                              "MandelSorted=1\n"
                              "MandelLabsPage=12\n"
                              "OutputLanguage=5\n"
                              "OutputFontName=Liberation Sans Narrow Ø\n"
                              "LineWidth= 3.50000000000000E-0001\n"
                              "[Margins]\n"
                              "Left=25\n"
                              "Top=7\n");
    TSettings loaded;
    loaded.DiscardOutlierTests = true;
    ASSERT_TRUE(LoadSettings(loaded, path));
    ExpectSameStored(loaded, changed);
    EXPECT_FALSE(loaded.DiscardOutlierTests);

    // And back to the defaults: every key is rewritten, none only added.
    ASSERT_TRUE(SaveSettings(TSettings{}, path));
    ASSERT_TRUE(LoadSettings(loaded, path));
    ExpectSameStored(loaded, TSettings{});
}

TEST(SettingsFile, MissingFileGivesDefaults) {
    ScratchFolder dir("veltrio-settings");
    TSettings s = Changed();
    EXPECT_FALSE(LoadSettings(s, dir / "absent" / "VELTRIO.INI"));
    ExpectSameStored(s, TSettings{});
}

struct ValueCase {
    const char* Name;
    const char* Section;
    const char* Key;
    const char* Text;
    std::function<bool(const TSettings&)> Holds;
};

class SettingsValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(SettingsValue, Reads) {
    const ValueCase& c = GetParam();
    TIniFile ini;
    ini.Write(c.Section, c.Key, c.Text);
    TSettings s;
    ReadSettings(ini, s);
    EXPECT_TRUE(c.Holds(s)) << c.Key << "=" << c.Text;
}

#define HOLDS(expr) [](const TSettings& s) { return expr; }

INSTANTIATE_TEST_SUITE_P(
    Conversions, SettingsValue,
    ::testing::Values(
        ValueCase{"BoolOne", "Settings", "ShowRegLabNo", "1", HOLDS(s.ShowRegLabNo)},
        ValueCase{"BoolZero", "Settings", "Circle20", "0", HOLDS(!s.Circle20)},
        ValueCase{"BoolAnyNonZero", "Settings", "ShowRegLabNo", "7", HOLDS(s.ShowRegLabNo)},
        ValueCase{"BoolNegative", "Settings", "DiffMarkers", "-1", HOLDS(s.DiffMarkers)},
        ValueCase{"BoolBlanks", "Settings", "LowerXZero", "  1 ", HOLDS(s.LowerXZero)},
        ValueCase{"BoolWordIsDefaultFalse", "Settings", "ShowRegLabNo", "true",
                  HOLDS(!s.ShowRegLabNo)},
        ValueCase{"BoolWordIsDefaultTrue", "Settings", "UseMissingMethod", "no",
                  HOLDS(s.UseMissingMethod)},
        ValueCase{"BoolEmptyIsDefault", "Settings", "UnitFFF", "", HOLDS(s.UnitFFF)},
        ValueCase{"BoolTrailingJunk", "Settings", "Circle20", "0x", HOLDS(s.Circle20)},
        ValueCase{"KeyCase", "settings", "showreglabno", "1", HOLDS(s.ShowRegLabNo)},
        ValueCase{"ColoursTop", "Settings", "DesignColours", "255", HOLDS(s.DesignColours == 255)},
        ValueCase{"ColoursAbove", "Settings", "DesignColours", "256", HOLDS(s.DesignColours == 3)},
        ValueCase{"ColoursNegative", "Settings", "DesignColours", "-1",
                  HOLDS(s.DesignColours == 3)},
        ValueCase{"ColoursOverflow", "Settings", "DesignColours", "99999999999",
                  HOLDS(s.DesignColours == 3)},
        ValueCase{"LabsPage", "Settings", "MandelLabsPage", "+100", HOLDS(s.MandelLabsPage == 100)},
        // Quantities beyond what the Options dialog offers are taken at its
        // nearest end.
        ValueCase{"LabsPageZero", "Settings", "MandelLabsPage", "0", HOLDS(s.MandelLabsPage == 1)},
        ValueCase{"LabsPageHuge", "Settings", "MandelLabsPage", "100000",
                  HOLDS(s.MandelLabsPage == 100)},
        ValueCase{"LabsPageOverflow", "Settings", "MandelLabsPage", "-99999999999",
                  HOLDS(s.MandelLabsPage == 1)},
        ValueCase{"WidthHuge", "Settings", "LineWidth", "1e308", HOLDS(s.LineWidth == 10.0)},
        ValueCase{"WidthTiny", "Settings", "LineWidth", "1e-300", HOLDS(s.LineWidth == 0.1)},
        ValueCase{"WidthHairline", "Settings", "LineWidth", "-5", HOLDS(s.LineWidth == -5.0)},
        ValueCase{"MarginNegative", "Margins", "Left", "-5", HOLDS(s.MarginLeft == 0.0)},
        ValueCase{"MarginHuge", "Margins", "Top", "99999", HOLDS(s.MarginTop == 50.0)},
        ValueCase{"LabsPageReal", "Settings", "MandelLabsPage", "12.0",
                  HOLDS(s.MandelLabsPage == 30)},
        ValueCase{"Language", "Settings", "OutputLanguage", "2", HOLDS(s.OutputLanguage == 2)},
        ValueCase{"LanguageUnknown", "Settings", "OutputLanguage", "6",
                  HOLDS(s.OutputLanguage == 0)},
        ValueCase{"Font", "Settings", "OutputFontName", " Arial ",
                  HOLDS(s.OutputFontName == "Arial")},
        ValueCase{"FontEmpty", "Settings", "OutputFontName", "",
                  HOLDS(s.OutputFontName == "Times New Roman")},
        ValueCase{"FontNotUtf8", "Settings", "OutputFontName", "Ar\xFF\xFEial",
                  HOLDS(s.OutputFontName == "Times New Roman")},
        ValueCase{"WidthOwnNotation", "Settings", "LineWidth", " 5.00000000000000E-0001",
                  HOLDS(s.LineWidth == 0.5)},
        ValueCase{"WidthPlain", "Settings", "LineWidth", "0.5", HOLDS(s.LineWidth == 0.5)},
        ValueCase{"WidthComma", "Settings", "LineWidth", "0,25", HOLDS(s.LineWidth == 0.25)},
        ValueCase{"WidthInteger", "Settings", "LineWidth", "2", HOLDS(s.LineWidth == 2.0)},
        ValueCase{"WidthZero", "Settings", "LineWidth", "0", HOLDS(s.LineWidth == 0.0)},
        ValueCase{"WidthWord", "Settings", "LineWidth", "thin", HOLDS(s.LineWidth == -1.0)},
        ValueCase{"WidthInfinite", "Settings", "LineWidth", "inf", HOLDS(s.LineWidth == -1.0)},
        ValueCase{"WidthNaN", "Settings", "LineWidth", "nan", HOLDS(s.LineWidth == -1.0)},
        ValueCase{"WidthOverflow", "Settings", "LineWidth", "1E+9999", HOLDS(s.LineWidth == -1.0)},
        ValueCase{"WidthTwoPoints", "Settings", "LineWidth", "1.2.3", HOLDS(s.LineWidth == -1.0)},
        ValueCase{"WidthHex", "Settings", "LineWidth", "0x1p-1", HOLDS(s.LineWidth == -1.0)},
        ValueCase{"MarginTenths", "Margins", "Left", "12", HOLDS(s.MarginLeft == 1.2)},
        ValueCase{"MarginTopTenths", "Margins", "Top", "5", HOLDS(s.MarginTop == 0.5)},
        ValueCase{"MarginReal", "Margins", "Left", "12.5", HOLDS(s.MarginLeft == 1.0)},
        ValueCase{"MarginWord", "Margins", "Top", "wide", HOLDS(s.MarginTop == 2.0)},
        ValueCase{"MarginInWrongSection", "Settings", "Left", "50", HOLDS(s.MarginLeft == 1.0)}),
    [](const auto& info) { return std::string(info.param.Name); });

struct RealCase {
    double Value;
    const char* Text;
};

class ProfileReal : public ::testing::TestWithParam<RealCase> {};

TEST_P(ProfileReal, Notation) {
    const RealCase& c = GetParam();
    EXPECT_EQ(FormatProfileReal(c.Value), c.Text);
    const auto back = ParseProfileReal(c.Text);
    ASSERT_TRUE(back.has_value());
    EXPECT_NEAR(*back, c.Value, std::fabs(c.Value) * 1e-14);
}

// Fifteen significant digits, written out by hand.
INSTANTIATE_TEST_SUITE_P(Written, ProfileReal,
                         ::testing::Values(RealCase{-1.0, "-1.00000000000000E+0000"},
                                           RealCase{0.5, " 5.00000000000000E-0001"},
                                           RealCase{0.0, " 0.00000000000000E+0000"},
                                           RealCase{0.1, " 1.00000000000000E-0001"},
                                           RealCase{12.25, " 1.22500000000000E+0001"},
                                           RealCase{1.0 / 3.0, " 3.33333333333333E-0001"},
                                           RealCase{2.0 / 3.0, " 6.66666666666667E-0001"},
                                           RealCase{-0.00012345, "-1.23450000000000E-0004"},
                                           RealCase{6.02214076e23, " 6.02214076000000E+0023"},
                                           RealCase{1e-300, " 1.00000000000000E-0300"}));

TEST(ProfileRealNotation, NonFiniteIsWrittenAsZero) {
    EXPECT_EQ(FormatProfileReal(std::nan("")), " 0.00000000000000E+0000");
    EXPECT_EQ(FormatProfileReal(HUGE_VAL), " 0.00000000000000E+0000");
}

struct MarginCase {
    double Cm;
    const char* Tenths;
};

class MarginWriting : public ::testing::TestWithParam<MarginCase> {};

TEST_P(MarginWriting, TruncatedToTenths) {
    TSettings s;
    s.MarginLeft = GetParam().Cm;
    s.MarginTop = GetParam().Cm;
    TIniFile ini;
    WriteSettings(ini, s);
    EXPECT_EQ(ini.Read("Margins", "Left"), GetParam().Tenths);
    EXPECT_EQ(ini.Read("Margins", "Top"), GetParam().Tenths);
}

// 2.0 stepped down by 0.1 three times, as a spin box does, is
// 1.6999999999999997: still 17 tenths.
INSTANTIATE_TEST_SUITE_P(Cases, MarginWriting,
                         ::testing::Values(MarginCase{1.25, "12"},
                                           MarginCase{2.0 - 0.1 - 0.1 - 0.1, "17"},
                                           MarginCase{1.0, "10"}, MarginCase{2.3, "23"},
                                           MarginCase{0.7, "7"}, MarginCase{4.1, "41"},
                                           MarginCase{1.99, "19"}, MarginCase{0.29, "2"},
                                           MarginCase{0.0, "0"}, MarginCase{-0.15, "-1"},
                                           MarginCase{1e30, "2147483647"}, MarginCase{NAN, "0"}));

TEST(SettingsFile, SaveKeepsTheOtherKeysOfTheFile) {
    ScratchFolder dir("veltrio-settings");
    const auto path = dir / "VELTRIO.INI";
    const std::string before = "[Settings]\r\n"
                               "MainLeft=40\r\n"
                               "ShowRegLabNo=1\r\n"
                               "[History]\r\n"
                               "File0=/data/a.PAR\r\n"
                               "[DesignColours]\r\n"
                               "Scheme=2\r\n";
    ASSERT_TRUE(WriteFileAtomically(path, before));
    TSettings s;
    s.OutputLanguage = 1;
    ASSERT_TRUE(SaveSettings(s, path));
    const TIniFile after(FileText(path));
    EXPECT_EQ(after.Read("Settings", "MainLeft"), "40");
    EXPECT_EQ(after.Read("Settings", "ShowRegLabNo"), "0");
    EXPECT_EQ(after.Read("Settings", "OutputLanguage"), "1");
    EXPECT_EQ(after.Read("History", "File0"), "/data/a.PAR");
    EXPECT_EQ(after.Read("DesignColours", "Scheme"), "2");
    // The window keys and the history are the main window's to write.
    EXPECT_EQ(after.Read("Settings", "MainWidth"), std::nullopt);
    EXPECT_EQ(after.Read("History", "File1"), std::nullopt);
    EXPECT_EQ(FileText(path).find("\n["), FileText(path).find("\r\n[") + 1);
}

TEST(SettingsFile, SaveMakesTheFolder) {
    ScratchFolder dir("veltrio-settings");
    const auto path = dir / "config" / "veltrio" / "VELTRIO.INI";
    ASSERT_TRUE(SaveSettings(Changed(), path));
    TSettings loaded;
    ASSERT_TRUE(LoadSettings(loaded, path));
    ExpectSameStored(loaded, Changed());
}

TEST(SettingsFile, FailedSaveLeavesTheOldFile) {
    ScratchFolder dir("veltrio-settings");
    const auto path = dir / "VELTRIO.INI";
    const std::string before = "[Settings]\nShowRegLabNo=1\n";
    ASSERT_TRUE(WriteFileAtomically(path, before));
    std::string error;
    bool saved = true;
    {
        FileSizeLimit limit(16);
        saved = SaveSettings(Changed(), path, &error);
    }
    EXPECT_FALSE(saved);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(FileText(path), before);
    EXPECT_EQ(dir.FileCount(), 1u) << "no temporary file is left behind";
}

TEST(WindowPlacement, ReadsAndWrites) {
    const TWindowPlacement none = ReadWindowPlacement(TIniFile(""));
    EXPECT_EQ(none.Left, 0);
    EXPECT_EQ(none.Top, 0);
    EXPECT_FALSE(none.Width.has_value());
    EXPECT_FALSE(none.Height.has_value());

    const TWindowPlacement read = ReadWindowPlacement(
        TIniFile("[Settings]\nMainLeft=-8\nMainTop=x\nMainWidth=1024\nMainHeight=0\n"));
    EXPECT_EQ(read.Left, -8);
    EXPECT_EQ(read.Top, 0);
    EXPECT_EQ(read.Width, 1024);
    EXPECT_FALSE(read.Height.has_value()) << "a height of 0 is no size";

    TIniFile ini;
    WriteWindowPlacement(ini, TWindowPlacement{10, 20, 800, 600});
    EXPECT_EQ(ini.Text(), "[Settings]\nMainLeft=10\nMainTop=20\nMainWidth=800\nMainHeight=600\n");
    // Settings and placement share a section without disturbing each other.
    WriteSettings(ini, Changed());
    TSettings s;
    ReadSettings(ini, s);
    ExpectSameStored(s, Changed());
    const TWindowPlacement back = ReadWindowPlacement(ini);
    EXPECT_EQ(back.Left, 10);
    EXPECT_EQ(back.Height, 600);
}

struct PathCase {
    const char* Name;
    const char* Xdg;
    const char* Home;
    const char* Expected;
};

class SettingsPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(SettingsPath, FollowsTheBaseDirectories) {
    const PathCase& c = GetParam();
    EXPECT_EQ(XdgSettingsFilePath(c.Xdg, c.Home), std::filesystem::path(c.Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SettingsPath,
    ::testing::Values(PathCase{"Xdg", "/cfg", "/home/u", "/cfg/veltrio/VELTRIO.INI"},
                      PathCase{"Home", "", "/home/u", "/home/u/.config/veltrio/VELTRIO.INI"},
                      PathCase{"RelativeXdgIgnored", "cfg", "/home/u",
                               "/home/u/.config/veltrio/VELTRIO.INI"},
                      PathCase{"Nothing", "", "", "VELTRIO.INI"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SettingsPathEnvironment, OverrideAndEnvironment) {
    EXPECT_EQ(SettingsFilePath("/tmp/x.ini"), std::filesystem::path("/tmp/x.ini"));
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", "/srv/conf", 1);
    EXPECT_EQ(SettingsFilePath(), std::filesystem::path("/srv/conf/veltrio/VELTRIO.INI"));
    if (old) {
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}
