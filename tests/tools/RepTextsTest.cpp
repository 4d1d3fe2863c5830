// The report texts of the laboratory reports and their file (.rxt): the
// tagged values built here byte by byte, the 80-bit numbers against
// scripts/tools/extended80_vectors.py, files cut at every byte and hostile
// files refused with nothing changed, the default legends of the language
// files, the grid cells and the laboratory-names text file.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <sstream>

#include "base/AtomicFile.h"
#include "study/Program.h"
#include "support/RecordingHost.h"
#include "tools/RepTexts.h"

namespace fs = std::filesystem;
using namespace veltrio;

namespace {

// ---- Values of the file, built without the program's writer ----

std::string Raw(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) {
        s += static_cast<char>(b);
    }
    return s;
}

std::string LittleEndian(std::uint32_t v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    return s;
}

std::string Str(std::string_view oem) {
    return Raw({6, static_cast<int>(oem.size())}) + std::string(oem);
}
std::string LStr(std::string_view oem) {
    return Raw({12}) + LittleEndian(static_cast<std::uint32_t>(oem.size()), 4) + std::string(oem);
}
std::string I8(int v) { return Raw({2, v & 0xFF}); }
std::string I16(int v) { return Raw({3}) + LittleEndian(static_cast<std::uint32_t>(v), 2); }
std::string I32(std::int32_t v) {
    return Raw({4}) + LittleEndian(static_cast<std::uint32_t>(v), 4);
}
// 80-bit extended 1.0 and -2.5, as the x87 stores them.
std::string XOne() { return Raw({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}); }
std::string XMinus2p5() { return Raw({5, 0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0}); }
std::string False() { return Raw({8}); }
std::string True() { return Raw({9}); }

// Fourteen strings; the last is the folder of the data files.
std::string Part1(const std::string& last = "C:\\PT\\2025") {
    std::string s;
    const char* texts[] = {"Nitrate 2025", "Water", "Drinking water", "NO3", "Lab Org",
                           "3 March",      "4 March", "20 March",      "1 April", "1 May",
                           "Line 1\r\nLine 2", "Stable", "Median"};
    for (const char* t : texts) {
        s += Str(t);
    }
    return s + Str(last);
}

// 3, -1000, 0 and -1 as 80-bit numbers.
std::string XThree() { return Raw({5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0x00, 0x40}); }
std::string XMinus1000() { return Raw({5, 0, 0, 0, 0, 0, 0, 0, 0xFA, 0x08, 0xC0}); }
std::string XZero() { return Raw({5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}); }
std::string XMinusOne() { return Raw({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xBF}); }

// Two files with limits of every kind. The floats are tag 5 as the program
// writes them, or, as a reader also takes them, partly integer tags.
std::string Part2(bool floatsAsWritten = false) {
    const bool x = floatsAsWritten;
    return I8(2) +
           // name, AccuPct1, AccuPct2, AccuAbs1, AccuAbs2, PrecPct1, PrecPct2, PrecAbs1,
           // PrecAbs2, alias
           Str("NITRATE.PAR") + I8(10) + I8(20) + XOne() + XMinus2p5() + I16(300) + I32(70000) +
           (x ? XZero() : I8(0)) + (x ? XMinusOne() : I8(-1)) + Str("Nitrate") + //
           Str("LEAD.PAR") + I8(0) + I8(0) + (x ? XThree() : I8(3)) +
           (x ? XMinus1000() : I16(-1000)) + I8(0) + I8(0) + XOne() + XOne() + Str("");
}

struct TFileLayout {
    std::string Bytes;
    std::size_t EndOfFiles, EndOfSwitches, EndOfNameCount, EndOfNames, EndOfLegendCount,
        EndOfLegends;
};

// A file of all six parts and where each part ends.
TFileLayout FullFile(bool floatsAsWritten = false) {
    TFileLayout f;
    f.Bytes = Part1() + Part2(floatsAsWritten);
    f.EndOfFiles = f.Bytes.size();
    f.Bytes += True() + False();
    f.EndOfSwitches = f.Bytes.size();
    f.Bytes += I8(2);
    f.EndOfNameCount = f.Bytes.size();
    f.Bytes += Str("7") + Str("Water Works") + Str("B12") + Str("");
    f.EndOfNames = f.Bytes.size();
    f.Bytes += I8(3);
    f.EndOfLegendCount = f.Bytes.size();
    f.Bytes += Str("Good") + Str("Fair") + Str("Poor");
    f.EndOfLegends = f.Bytes.size();
    f.Bytes += Str("Head of the scheme");
    return f;
}

// What FullFile holds, as a model.
TRepTexts FullModel() {
    TRepTexts r;
    r.TestName = "Nitrate 2025";
    r.Topic = "Water";
    r.SampleTypes = "Drinking water";
    r.Parameters = "NO3";
    r.Host = "Lab Org";
    r.SamplesShipped = "3 March";
    r.TestDate = "4 March";
    r.Deadline = "20 March";
    r.ReportDate = "1 April";
    r.TotalReportDate = "1 May";
    r.HomogeneityText = "Line 1\r\nLine 2";
    r.StabilityText = "Stable";
    r.AssignedValueText = "Median";
    TReportFile a{"NITRATE.PAR", {"Nitrate", 10, 20, 1.0, -2.5, 300, 70000, 0, -1}};
    TReportFile b{"LEAD.PAR", {"", 0, 0, 3, -1000, 0, 0, 1.0, 1.0}};
    r.ReportFiles = {a, b};
    r.UseLabNames = true;
    r.ShowLegend = false;
    r.LabNames = {{"7", "Water Works"}, {"B12", ""}};
    r.Legends = {"Good", "Fair", "Poor"};
    r.Signature = "Head of the scheme";
    return r;
}

// The English legends as lang/english.txt gives them (read here from the
// language source, "\_" a kept blank).
std::vector<std::string> EnglishLegends() {
    std::ifstream in(fs::path(VELTRIO_SOURCE_DIR) / "lang" / "english.txt");
    std::map<int, std::string> items;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("11.", 0) != 0) {
            continue;
        }
        const auto eq = line.find(" = ");
        const int item = std::stoi(line.substr(3, eq - 3));
        std::string text = line.substr(eq + 3);
        if (text.rfind("\\_", 0) == 0) {
            text = " " + text.substr(2);
        }
        items[item] = text;
    }
    return {items[54], items[55] + items[56], items[57] + items[58]};
}

// A model with content of its own, to see that a refused file leaves it so.
TRepTexts Prefilled() {
    TRepTexts r;
    r.RepTextsFile = "/somewhere/old.rxt";
    r.ParDir = "/somewhere";
    r.TestName = "Old test";
    r.UseLabNames = true;
    r.ShowLegend = true;
    r.ReportFiles = {{"OLD.PAR", {"Old", 1, 2, 3, 4, 5, 6, 7, 8}}};
    r.LabNames = {{"1", "Old lab"}};
    r.Legends = {"x"};
    r.Signature = "Old signature";
    return r;
}

void ExpectUnchanged(const TRepTexts& r, const std::string& context) {
    const TRepTexts before = Prefilled();
    EXPECT_TRUE(r.SameContent(before)) << context;
    EXPECT_EQ(r.RepTextsFile, before.RepTextsFile) << context;
    EXPECT_EQ(r.ParDir, before.ParDir) << context;
}

std::string Hex(std::string_view bytes) {
    std::string s;
    char buf[4];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        s += buf;
    }
    return s;
}

// ---- The 80-bit vectors ----

struct TExtendedVector {
    std::string Kind, Text;
    unsigned char Bytes[10];
    std::optional<double> Value; // empty: refused
};

std::vector<TExtendedVector> ExtendedVectors() {
    std::ifstream in(fs::path(VELTRIO_TEST_DATA) / "tools" / "extended80_vectors.csv");
    EXPECT_TRUE(in) << "extended80_vectors.csv";
    std::vector<TExtendedVector> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line.rfind("kind,", 0) == 0) {
            continue;
        }
        std::vector<std::string> cols;
        std::stringstream ss(line);
        for (std::string c; std::getline(ss, c, ',');) {
            cols.push_back(c);
        }
        EXPECT_EQ(cols.size(), 4u) << line;
        if (cols.size() != 4) {
            continue;
        }
        TExtendedVector v;
        v.Kind = cols[0];
        v.Text = cols[1];
        std::stringstream hex(cols[2]);
        for (int i = 0; i < 10; ++i) {
            unsigned b = 0;
            hex >> std::hex >> b;
            v.Bytes[i] = static_cast<unsigned char>(b);
        }
        if (cols[3] != "refused") {
            double d = 0;
            const auto res = std::from_chars(cols[3].data(), cols[3].data() + cols[3].size(), d,
                                             std::chars_format::hex);
            EXPECT_TRUE(res.ec == std::errc() && res.ptr == cols[3].data() + cols[3].size())
                << cols[3];
            v.Value = d;
        }
        rows.push_back(v);
    }
    return rows;
}

TEST(Extended80, VectorsOfTheScript) {
    const auto rows = ExtendedVectors();
    ASSERT_GE(rows.size(), 50u);
    for (const auto& v : rows) {
        SCOPED_TRACE(v.Text);
        double decoded = 12345;
        const bool ok = DecodeExtended80(v.Bytes, decoded);
        if (!v.Value) {
            EXPECT_FALSE(ok);
            EXPECT_EQ(decoded, 12345) << "a refused number leaves the value alone";
            continue;
        }
        ASSERT_TRUE(ok);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(decoded), std::bit_cast<std::uint64_t>(*v.Value))
            << decoded << " != " << *v.Value;
        if (v.Kind == "both") {
            unsigned char out[10];
            EncodeExtended80(*v.Value, out);
            EXPECT_EQ(Hex({reinterpret_cast<char*>(out), 10}),
                      Hex({reinterpret_cast<const char*>(v.Bytes), 10}));
        }
    }
}

TEST(Extended80, EveryDoubleComesBack) {
    std::mt19937_64 rng(20250301);
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t bits = rng();
        const double x = std::bit_cast<double>(bits);
        if (!std::isfinite(x)) {
            continue;
        }
        unsigned char raw[10];
        EncodeExtended80(x, raw);
        double back = 0;
        ASSERT_TRUE(DecodeExtended80(raw, back)) << std::hex << bits;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(back), bits) << std::hex << bits;
    }
}

TEST(Extended80, NonFiniteDoublesAreWrittenAsTheirExtendedKindAndRefusedOnReading) {
    for (double x : {std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN()}) {
        unsigned char raw[10];
        EncodeExtended80(x, raw);
        EXPECT_EQ(raw[9] & 0x7F, 0x7F);
        EXPECT_EQ(raw[8], 0xFF);
        EXPECT_EQ(raw[7] & 0x80, 0x80) << "integer bit";
        EXPECT_EQ(std::isnan(x), (raw[7] & 0x40) != 0 || raw[0] != 0);
        double back = 0;
        EXPECT_FALSE(DecodeExtended80(raw, back));
    }
}

// ---- Writing ----

TEST(RepTextsWrite, FullModelGivesTheBytesOfTheFormat) {
    TRepTexts r = FullModel();
    r.ParDir = "C:\\PT\\2025";
    EXPECT_EQ(Hex(r.WriteRepTexts()), Hex(FullFile(true).Bytes));
}

TEST(RepTextsWrite, EmptyModelIsFourteenEmptyStringsAndEmptyLists) {
    TRepTexts r;
    r.Legends.clear();
    std::string expected;
    for (int i = 0; i < 14; ++i) {
        expected += Str("");
    }
    expected += I8(0) + False() + False() + I8(0) + I8(0) + Str("");
    EXPECT_EQ(Hex(r.WriteRepTexts()), Hex(expected));
}

TEST(RepTextsWrite, SmallestIntegerTag) {
    // AccuPct1 of the only file stands after 14 empty strings (28 bytes), the
    // count (2) and the empty file name (2).
    const std::size_t at = 32;
    const struct {
        std::int32_t Value;
        std::string Bytes;
    } cases[] = {
        {0, Raw({2, 0x00})},
        {127, Raw({2, 0x7F})},
        {-128, Raw({2, 0x80})},
        {128, Raw({3, 0x80, 0x00})},
        {-129, Raw({3, 0x7F, 0xFF})},
        {32767, Raw({3, 0xFF, 0x7F})},
        {-32768, Raw({3, 0x00, 0x80})},
        {32768, Raw({4, 0x00, 0x80, 0x00, 0x00})},
        {40000, Raw({4, 0x40, 0x9C, 0x00, 0x00})},
        {-32769, Raw({4, 0xFF, 0x7F, 0xFF, 0xFF})},
        {std::numeric_limits<std::int32_t>::max(), Raw({4, 0xFF, 0xFF, 0xFF, 0x7F})},
        {std::numeric_limits<std::int32_t>::min(), Raw({4, 0x00, 0x00, 0x00, 0x80})},
    };
    for (const auto& c : cases) {
        TRepTexts r;
        r.ReportFiles.push_back({"", {}});
        r.ReportFiles[0].Limits.AccuPct1 = c.Value;
        const std::string bytes = r.WriteRepTexts();
        ASSERT_GT(bytes.size(), at + c.Bytes.size());
        EXPECT_EQ(Hex(bytes.substr(at, c.Bytes.size())), Hex(c.Bytes)) << c.Value;
        // The next value (AccuPct2 = 0) follows at once.
        EXPECT_EQ(Hex(bytes.substr(at + c.Bytes.size(), 2)), Hex(I8(0))) << c.Value;
        TRepTexts back;
        back.ReadRepTexts(bytes);
        EXPECT_EQ(back.ReportFiles.at(0).Limits.AccuPct1, c.Value);
    }
}

TEST(RepTextsWrite, ShortAndLongStringTags) {
    const struct {
        std::string Text;
        std::string Head;
        std::size_t FileBytes;
    } cases[] = {
        {"", Raw({6, 0}), 0},
        {std::string(255, 'a'), Raw({6, 255}), 255},
        {std::string(256, 'a'), Raw({12, 0x00, 0x01, 0x00, 0x00}), 256},
        {std::string(70000, 'b'), Raw({12, 0x70, 0x11, 0x01, 0x00}), 70000},
        // 255 characters of two UTF-8 bytes each are 255 bytes of the file.
        {[] {
             std::string s;
             for (int i = 0; i < 255; ++i) {
                 s += "\xC3\xA9"; // é
             }
             return s;
         }(),
         Raw({6, 255}), 255},
    };
    for (const auto& c : cases) {
        TRepTexts r;
        r.TestName = c.Text;
        const std::string bytes = r.WriteRepTexts();
        EXPECT_EQ(Hex(bytes.substr(0, c.Head.size())), Hex(c.Head)) << c.Text.size();
        // Then the file's bytes of the text and the next string (Topic).
        EXPECT_EQ(Hex(bytes.substr(c.Head.size() + c.FileBytes, 2)), Hex(Str("")))
            << c.Text.size();
        TRepTexts back;
        back.ReadRepTexts(bytes);
        EXPECT_EQ(back.TestName, c.Text);
    }
}

TEST(RepTextsWrite, TextsAreCodePage850InTheFile) {
    TRepTexts r;
    r.Signature = "\xC3\xA6\xC3\xB8\xC3\xA5\xC3\x86\xC3\x98\xC3\x85\xC3\xA9"; // æøåÆØÅé
    const std::string bytes = r.WriteRepTexts();
    const std::string expected = Str(Raw({0x91, 0x9B, 0x86, 0x92, 0x9D, 0x8F, 0x82}));
    ASSERT_GE(bytes.size(), expected.size());
    EXPECT_EQ(Hex(bytes.substr(bytes.size() - expected.size())), Hex(expected));
    TRepTexts back;
    back.ReadRepTexts(bytes);
    EXPECT_EQ(back.Signature, r.Signature);
    EXPECT_EQ(r.TextOutsideCodePage(), "");
    r.LabNames = {{"1", "\xE2\x82\xAC"}}; // the euro sign is not in code page 850
    EXPECT_EQ(r.TextOutsideCodePage(), "laboratory name 1");
}

TEST(RepTextsWrite, RoundTripGivesTheModelAndTheSameBytes) {
    TRepTexts r = FullModel();
    r.ParDir = "/data/pt";
    r.TestName = "Pr\xC3\xB8vning \xC3\xA5r 2025"; // Prøvning år 2025
    r.AssignedValueText = std::string(600, 'x') + "\r\n" + "end";
    r.ReportFiles.push_back({"ZINC.PAR", {"Zn", -5, 2147483647, 0.1, 1e300, -40000, 128,
                                          5e-324, -0.0}});
    r.Legends = {"A1", "A2", "A3", "A4 kept in the file"};
    const std::string bytes = r.WriteRepTexts();
    TRepTexts back;
    back.ParDir = "/data/pt";
    back.ReadRepTexts(bytes);
    EXPECT_TRUE(back.SameContent(r));
    EXPECT_EQ(back.ReportFiles, r.ReportFiles);
    EXPECT_EQ(back.Legends, r.Legends);
    EXPECT_TRUE(std::signbit(back.ReportFiles[2].Limits.PrecAbs2));
    EXPECT_EQ(back.WriteRepTexts(), bytes);
}

TEST(RepTextsWrite, ParDirIsWrittenAndDroppedOnReading) {
    TRepTexts r;
    r.ParDir = "/data/round 1";
    const std::string bytes = r.WriteRepTexts();
    EXPECT_EQ(bytes.substr(26, 15), Str("/data/round 1"));
    TRepTexts back;
    back.ParDir = "/elsewhere";
    back.RepTextsFile = "/elsewhere/t.rxt";
    back.ReadRepTexts(bytes);
    EXPECT_EQ(back.ParDir, fs::path("/elsewhere"));
    EXPECT_EQ(back.RepTextsFile, fs::path("/elsewhere/t.rxt"));
}

// ---- Reading ----

TEST(RepTextsRead, FullFile) {
    TRepTexts r = Prefilled();
    r.ReadRepTexts(FullFile().Bytes);
    EXPECT_TRUE(r.SameContent(FullModel()));
    EXPECT_EQ(r.ReportFiles, FullModel().ReportFiles);
    EXPECT_EQ(r.ParDir, fs::path("/somewhere"));
}

TEST(RepTextsRead, FileWithoutThePartsAfterTheFiles) {
    TRepTexts r = Prefilled();
    r.ReadRepTexts(Part1() + Part2());
    EXPECT_FALSE(r.UseLabNames);
    EXPECT_FALSE(r.ShowLegend);
    EXPECT_TRUE(r.LabNames.empty());
    EXPECT_EQ(r.Legends, EnglishLegends());
    EXPECT_EQ(r.Signature, "");
    EXPECT_EQ(r.ReportFiles, FullModel().ReportFiles);
    EXPECT_EQ(r.TestName, "Nitrate 2025");
}

TEST(RepTextsRead, LongStringsAndTheWiderIntegerTags) {
    // Tag 12 for a short string, tag 4 for a small count, an integer for a
    // float, tag 3 for a one-byte value: all read as their values.
    std::string s;
    for (int i = 0; i < 13; ++i) {
        s += LStr("t" + std::to_string(i));
    }
    s += LStr("dir");
    s += I32(1) + LStr("F.PAR") + I32(1) + I16(2) + I8(7) + I32(-8) + I16(3) + I8(4) + I16(500) +
         I8(0) + LStr("Alias");
    s += True() + True() + I16(1) + LStr("C") + LStr("N") + I32(0) + LStr("Sig");
    TRepTexts r;
    r.ReadRepTexts(s);
    EXPECT_EQ(r.TestName, "t0");
    EXPECT_EQ(r.AssignedValueText, "t12");
    ASSERT_EQ(r.ReportFiles.size(), 1u);
    const TThresholds expected{"Alias", 1, 2, 7.0, -8.0, 3, 4, 500.0, 0.0};
    EXPECT_EQ(r.ReportFiles[0], (TReportFile{"F.PAR", expected}));
    EXPECT_TRUE(r.UseLabNames && r.ShowLegend);
    EXPECT_EQ(r.LabNames, (std::vector<TLabName>{{"C", "N"}}));
    EXPECT_TRUE(r.Legends.empty()) << "a count of 0 empties the legends";
    EXPECT_EQ(r.ShownLegends(), EnglishLegends());
    EXPECT_EQ(r.Signature, "Sig");
}

TEST(RepTextsRead, ControlCharactersOfTheFileDoNotReachTheTexts) {
    std::string s = Str(Raw({'a', 0x00, 'b', 0x07, '\t', '\r', '\n'}));
    for (int i = 0; i < 13; ++i) {
        s += Str("");
    }
    s += I8(0);
    TRepTexts r;
    r.ReadRepTexts(s);
    EXPECT_EQ(r.TestName, "a?b?\t\r\n");
}

TEST(RepTextsRead, BooleansAreTrueOnlyForTag9) {
    const struct {
        std::string Bytes;
        bool Use, Show;
    } cases[] = {
        {True() + True(), true, true},
        {False() + True(), false, true},
        {True() + False(), true, false},
        {Raw({9, 2}), true, false}, // any other tag reads as false
        {True(), false, false},     // the second is missing: both false
    };
    for (const auto& c : cases) {
        TRepTexts r;
        r.ReadRepTexts(Part1() + Part2() + c.Bytes);
        EXPECT_EQ(r.UseLabNames, c.Use) << Hex(c.Bytes);
        EXPECT_EQ(r.ShowLegend, c.Show) << Hex(c.Bytes);
    }
}

TEST(RepTextsRead, CutAtEveryByte) {
    const TFileLayout f = FullFile();
    const TRepTexts full = FullModel();
    for (std::size_t n = 0; n <= f.Bytes.size(); ++n) {
        const std::string context = "cut after " + std::to_string(n) + " bytes";
        TRepTexts r = Prefilled();
        const std::string_view cut(f.Bytes.data(), n);
        const bool mandatory = n < f.EndOfFiles;
        const bool inNames = n >= f.EndOfNameCount && n < f.EndOfNames;
        const bool inLegends = n >= f.EndOfLegendCount && n < f.EndOfLegends;
        if (mandatory || inNames || inLegends) {
            EXPECT_THROW(r.ReadRepTexts(cut), ERepTextsRead) << context;
            ExpectUnchanged(r, context);
            continue;
        }
        ASSERT_NO_THROW(r.ReadRepTexts(cut)) << context;
        EXPECT_EQ(r.ReportFiles, full.ReportFiles) << context;
        EXPECT_EQ(r.StabilityText, full.StabilityText) << context;
        const bool switches = n >= f.EndOfSwitches;
        EXPECT_EQ(r.UseLabNames, switches && full.UseLabNames) << context;
        EXPECT_EQ(r.ShowLegend, switches && full.ShowLegend) << context;
        EXPECT_EQ(r.LabNames, n >= f.EndOfNames ? full.LabNames : std::vector<TLabName>{})
            << context;
        EXPECT_EQ(r.Legends, n >= f.EndOfLegends ? full.Legends : EnglishLegends()) << context;
        EXPECT_EQ(r.Signature, n == f.Bytes.size() ? full.Signature : "") << context;
        EXPECT_EQ(r.ParDir, fs::path("/somewhere")) << context;
    }
}

// Fourteen empty strings, then what follows.
std::string AfterTexts(const std::string& rest) {
    std::string s;
    for (int i = 0; i < 14; ++i) {
        s += Str("");
    }
    return s + rest;
}

TEST(RepTextsRead, HostileFilesAreRefusedWithWhatAndWhere) {
    const std::string file = Str("F") + I8(0) + I8(0);
    const std::string nan = Raw({5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F});
    const std::string inf = Raw({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF});
    const std::string limitsAfterAbs1 = XOne() + I8(0) + I8(0) + XOne() + XOne() + Str("");
    const struct {
        const char* Name;
        std::string Bytes;
        const char* Says;
        std::size_t At;
    } cases[] = {
        {"empty file", "", "ends where the text TestName should begin", 0},
        {"unknown tag", Raw({7, 0}), "tag 7", 0},
        {"tag 0 for a string", Raw({0}), "tag 0", 0},
        {"number for a string", Str("a") + XOne(), "tag 5 (a floating-point number) where a "
                                                   "string (the text Topic) is expected",
         2 + 1},
        {"negative long length", Raw({12, 0xFF, 0xFF, 0xFF, 0xFF}), "negative string length",
         0},
        {"huge long length", Raw({12, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}),
         "length of 2147483647 bytes for the text TestName, beyond the 1 bytes left", 0},
        {"short length beyond the end", Raw({6, 200, 'a', 'b'}), "beyond the 2 bytes left", 0},
        {"length inside its value", Raw({12, 0x01, 0x00}), "ends inside the text TestName", 0},
        {"negative file count", AfterTexts(I8(-1)), "negative number of files (-1)", 28},
        {"huge file count", AfterTexts(I32(0x7FFFFFFF)),
         "2147483647 files, more than the 0 bytes left can hold", 28},
        {"file count beyond the entries", AfterTexts(I8(2) + file + std::string(20, '\0')),
         "2 files, more than the 27 bytes left can hold", 28},
        {"string for a count", AfterTexts(Str("1")), "where an integer (the number of files)",
         28},
        {"no file count", AfterTexts(""), "ends where the number of files should begin", 28},
        {"NaN limit", AfterTexts(I8(1) + file + nan + limitsAfterAbs1),
         "not finite (or not a valid 80-bit number) for AccuAbs1 of file 1", 28 + 2 + 7},
        {"infinite limit", AfterTexts(I8(1) + file + XOne() + inf + limitsAfterAbs1),
         "AccuAbs2 of file 1", 28 + 2 + 7 + 11},
        {"Boolean for a float", AfterTexts(I8(1) + file + True() + std::string(20, '\0')),
         "tag 9 (a Boolean) where a number (AccuAbs1 of file 1)", 28 + 2 + 7},
        {"float for an integer", AfterTexts(I8(1) + Str("F") + XOne() + std::string(20, '\0')),
         "where an integer (AccuPct1 of file 1)", 28 + 2 + 3},
        {"huge name count", AfterTexts(I8(0) + True() + True() + I32(1000000)),
         "1000000 laboratory names, more than the 0 bytes left", 28 + 2 + 2},
        {"negative name count", AfterTexts(I8(0) + True() + True() + I8(-3) + I8(0)),
         "negative number of laboratory names", 28 + 2 + 2},
        {"names too many for the bytes", AfterTexts(I8(0) + False() + False() + I8(1) + Str("1")),
         "1 laboratory names, more than the 3 bytes left can hold", 28 + 2 + 2},
        {"name cut short", AfterTexts(I8(0) + False() + False() + I8(1) + Str("1") + Raw({6, 5})),
         "length of 5 bytes for laboratory name 1, beyond the 0 bytes left", 28 + 2 + 2 + 2 + 3},
        {"wrong tag in a name", AfterTexts(I8(0) + False() + False() + I8(1) + I8(5) + I8(5)),
         "where a string (the code of laboratory name 1)", 28 + 2 + 2 + 2},
        {"huge legend count", AfterTexts(I8(0) + False() + False() + I8(0) + I32(99999)),
         "99999 legends", 28 + 2 + 2 + 2},
        {"legend of another kind", AfterTexts(I8(0) + False() + False() + I8(0) + I8(1) +
                                              XOne()),
         "where a string (legend 1)", 28 + 2 + 2 + 2 + 2},
    };
    for (const auto& c : cases) {
        TRepTexts r = Prefilled();
        try {
            r.ReadRepTexts(c.Bytes);
            ADD_FAILURE() << c.Name << ": read without an error";
        } catch (const ERepTextsRead& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find(c.Says), std::string::npos) << c.Name << ": " << what;
            EXPECT_NE(what.find("at byte " + std::to_string(c.At) + "."), std::string::npos)
                << c.Name << ": " << what;
        }
        ExpectUnchanged(r, c.Name);
    }
}

TEST(RepTextsRead, OptionalPartsOfAnotherKindTakeTheirDefaults) {
    // A value that is not a count where a count may stand: no names, the
    // default legends; the signature is read where the count would be.
    TRepTexts r = Prefilled();
    r.ReadRepTexts(Part1() + Part2() + True() + True() + Str("Signed"));
    EXPECT_TRUE(r.UseLabNames && r.ShowLegend);
    EXPECT_TRUE(r.LabNames.empty());
    EXPECT_EQ(r.Legends, EnglishLegends());
    EXPECT_EQ(r.Signature, "Signed");
    r = Prefilled();
    r.ReadRepTexts(Part1() + Part2() + True() + True() + I8(0) + I8(0) + XOne());
    EXPECT_EQ(r.Signature, "") << "a number where the signature stands";
    EXPECT_TRUE(r.Legends.empty());
}

// ---- The model ----

TEST(RepTextsModel, DefaultLegendsOfTheLanguageFiles) {
    EXPECT_EQ(TRepTexts().Legends, EnglishLegends());
    const struct {
        const char* File;
        const char* First;
        const char* SecondEnds;
    } cases[] = {
        {"ENGLISH.TEX", "Accepted: the deviation from the assigned value is within limit 1.",
         "exceeds limit 1 but is within limit 2."},
        {"DANSK.TEX", "Accepteret: afvigelsen fra den tildelte v\xC3\xA6rdi er inden for "
                      "gr\xC3\xA6nse 1.",
         "overstiger gr\xC3\xA6nse 1 men er inden for gr\xC3\xA6nse 2."},
    };
    for (const auto& c : cases) {
        veltrio::testing::RecordingHost host;
        Program program(host);
        ASSERT_TRUE(program.TextLib.OpenTextLibrary(fs::path(VELTRIO_BIN_DIR) / c.File));
        TRepTexts r(&program);
        ASSERT_EQ(r.Legends.size(), 3u);
        EXPECT_EQ(r.Legends[0], c.First);
        const std::string ends = c.SecondEnds;
        ASSERT_GE(r.Legends[1].size(), ends.size());
        EXPECT_EQ(r.Legends[1].substr(r.Legends[1].size() - ends.size()), ends);
        EXPECT_EQ(r.Legends[0], program.LibText(11, 54));
        EXPECT_EQ(r.Legends[2], program.LibText(11, 57) + program.LibText(11, 58));
    }
}

TEST(RepTextsModel, ClearKeepsTheSwitches) {
    TRepTexts r = FullModel();
    r.ShowLegend = true;
    r.ParDir = "/x";
    r.ClearRepTexts();
    TRepTexts empty;
    EXPECT_TRUE(r.UseLabNames);
    EXPECT_TRUE(r.ShowLegend);
    r.UseLabNames = r.ShowLegend = false;
    EXPECT_TRUE(r.SameContent(empty));
    EXPECT_TRUE(r.ParDir.empty());
    EXPECT_EQ(r.Legends, EnglishLegends());
}

TEST(RepTextsModel, ShownLegendsAreThree) {
    const auto d = EnglishLegends();
    const struct {
        std::vector<std::string> Legends;
        std::vector<std::string> Shown;
    } cases[] = {
        {{}, d},
        {{"a"}, {"a", d[1], d[2]}},
        {{"a", "b"}, {"a", "b", d[2]}},
        {{"a", "b", "c"}, {"a", "b", "c"}},
        {{"a", "b", "c", "d"}, {"a", "b", "c"}},
        {{"", "b", ""}, {"", "b", ""}},
    };
    for (const auto& c : cases) {
        TRepTexts r;
        r.Legends = c.Legends;
        EXPECT_EQ(r.ShownLegends(), c.Shown) << c.Legends.size();
    }
}

TEST(RepTextsModel, LabTitle) {
    TRepTexts r;
    r.LabNames = {{"7", "Water Works"}, {"b12", "Lower"}, {"7", "Second of 7"}};
    const struct {
        const char* Code;
        const char* Title;
    } cases[] = {
        {"7", "  Water Works,      laboratory 7"},
        {"b12", "  Lower,      laboratory b12"},
        {"B12", "laboratory B12"},
        {"8", "laboratory 8"},
        {"", "laboratory "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(r.LabTitle(c.Code), c.Title) << c.Code;
    }
}

fs::path TempDir(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / "veltrio_reptexts_test" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(RepTextsFile, SaveAndLoad) {
    const fs::path dir = TempDir("save");
    TRepTexts r = FullModel();
    r.RepTextsFile = dir / "round.rxt";
    r.ParDir = "/data";
    std::string error;
    ASSERT_TRUE(r.SaveRepTexts(error)) << error;
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(r.RepTextsFile, bytes));
    EXPECT_EQ(bytes, r.WriteRepTexts());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
        << "no temporary file is left";

    TRepTexts back;
    back.LoadFile(dir / "round.rxt");
    EXPECT_TRUE(back.SameContent(r));
    EXPECT_EQ(back.RepTextsFile, dir / "round.rxt");
    EXPECT_EQ(back.ParDir, dir) << "the data files are looked for beside the file";

    // Saving again over the file replaces it.
    back.Signature = "Another";
    ASSERT_TRUE(back.SaveRepTexts(error)) << error;
    TRepTexts again;
    again.LoadFile(dir / "round.rxt");
    EXPECT_EQ(again.Signature, "Another");
}

TEST(RepTextsFile, RefusedLoadsAndSaves) {
    const fs::path dir = TempDir("refused");
    TRepTexts r = Prefilled();
    EXPECT_THROW(r.LoadFile(dir / "missing.rxt"), EVeltrioError);
    ExpectUnchanged(r, "missing file");

    {
        std::ofstream(dir / "bad.rxt", std::ios::binary) << Part1();
    }
    try {
        r.LoadFile(dir / "bad.rxt");
        ADD_FAILURE() << "a file without its files read";
    } catch (const ERepTextsRead& e) {
        EXPECT_NE(std::string(e.what()).find("bad.rxt"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("number of files"), std::string::npos) << e.what();
    }
    ExpectUnchanged(r, "bad file");

    std::string error;
    TRepTexts unnamed;
    EXPECT_FALSE(unnamed.SaveRepTexts(error));
    EXPECT_FALSE(error.empty());

    TRepTexts nowhere;
    nowhere.RepTextsFile = dir / "no such folder" / "x.rxt";
    error.clear();
    EXPECT_FALSE(nowhere.SaveRepTexts(error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(nowhere.RepTextsFile));
}

// ---- Grid cells and the laboratory-names text file ----

TEST(RepTextsCells, LimitCells) {
    const struct {
        const char* Cell;
        std::optional<double> Value;
    } cases[] = {
        {"2,5", 2.5},  {"2.5", 2.5},     {"", std::nullopt},  {"x", std::nullopt},
        {" 3 ", 3.0},  {"-0,25", -0.25}, {"+4", 4.0},         {"1e2", 100.0},
        {"1,2,3", {}}, {"2.5x", {}},     {"inf", {}},         {"nan", {}},
        {"1e999", {}}, {",5", 0.5},      {"--1", {}},         {"+-1", {}},
    };
    for (const auto& c : cases) {
        double v = -12345;
        const bool ok = ParseLimitCell(c.Cell, v);
        EXPECT_EQ(ok, c.Value.has_value()) << '"' << c.Cell << '"';
        if (c.Value) {
            EXPECT_EQ(v, *c.Value) << c.Cell;
        } else {
            EXPECT_EQ(v, -12345) << "a refused cell leaves the value alone: " << c.Cell;
        }
    }
}

TEST(RepTextsCells, PercentCellsRoundHalfToEven) {
    const struct {
        const char* Cell;
        std::optional<std::int32_t> Value;
    } cases[] = {
        {"2.5", 2},         {"3.5", 4},         {"2,5", 2},           {"-2.5", -2},
        {"-3.5", -4},       {"0.5", 0},         {"1.5", 2},           {"2.4", 2},
        {"2.6", 3},         {"2.5000001", 3},   {"10", 10},           {"", std::nullopt},
        {"x", {}},          {"2147483647", 2147483647},               {"2147483647.5", {}},
        {"-2147483648.5", -2147483647 - 1}, {"3e9", {}},              {"-3e9", {}},
    };
    for (const auto& c : cases) {
        std::int32_t v = -12345;
        const bool ok = ParsePercentCell(c.Cell, v);
        EXPECT_EQ(ok, c.Value.has_value()) << '"' << c.Cell << '"';
        if (c.Value) {
            EXPECT_EQ(v, *c.Value) << c.Cell;
        }
    }
}

TEST(RepTextsCells, LabNamesText) {
    const struct {
        const char* Name;
        std::string Text;
        std::vector<TLabName> Rows;
    } cases[] = {
        {"quoted", "\"Lab A\";\"007\"", {{"7", "Lab A"}}},
        {"whole number", "Water Works;12.0\r\n", {{"12", "Water Works"}}},
        {"not whole", "X;12.5", {{"12.5", "X"}}},
        {"name a number", "42;B", {{"B", "42"}}},
        {"no semicolon", "B12", {{"B12", ""}}},
        {"no semicolon, number", "\"08\"", {{"8", ""}}},
        {"empty parts", ";\n;5\nName;", {{"", ""}, {"5", ""}, {"", "Name"}}},
        {"empty line kept", "A;1\n\nB;2\n", {{"1", "A"}, {"", ""}, {"2", "B"}}},
        {"only one quote each side", "\"\"Q\"\";\"\"1\"\"", {{"\"1\"", "\"Q\""}}},
        {"first semicolon", "a;b;c", {{"b;c", "a"}}},
        {"code with blanks", "L; 3 ", {{"3", "L"}}},
        {"negative zero", "L;-0", {{"0", "L"}}},
        {"empty text", "", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseLabNamesText(c.Text), c.Rows) << c.Name;
    }
}

TEST(RepTextsCells, LabNamesTextHoldsAtMost199Rows) {
    std::string text;
    for (int i = 1; i <= 250; ++i) {
        text += "Lab " + std::to_string(i) + ";" + std::to_string(i) + "\n";
    }
    const auto rows = ParseLabNamesText(text);
    ASSERT_EQ(rows.size(), 199u);
    EXPECT_EQ(rows.front(), (TLabName{"1", "Lab 1"}));
    EXPECT_EQ(rows.back(), (TLabName{"199", "Lab 199"}));
    EXPECT_EQ(ParseLabNamesText(text, 3).size(), 3u);
}

} // namespace
