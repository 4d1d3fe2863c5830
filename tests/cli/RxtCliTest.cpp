// veltrio-cli rxt: a report-texts file as JSON and JSON written as a
// report-texts file, the refusals with their exit status and message, the
// arguments of lab-reports, and the strict JSON reader behind --write.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

#include "JsonRead.h"
#include "base/AtomicFile.h"
#include "tools/RepTexts.h"

namespace fs = std::filesystem;
using namespace veltrio;

namespace {

struct Result {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// Runs veltrio-cli with `args` (already quoted for the shell) in `dir`.
Result RunCli(const std::string& args, const fs::path& dir) {
    const fs::path errFile = dir / "stderr.txt";
    const std::string cmd = "cd '" + dir.string() + "' && " + std::string(VELTRIO_CLI) + " " +
                            args + " 2>'" + errFile.string() + "'";
    Result r;
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) {
        return r;
    }
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) {
        r.Out.append(buf.data(), n);
    }
    const int status = pclose(pipe);
    r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ReadWholeFile(errFile, r.Err);
    return r;
}

fs::path TestDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const fs::path dir = fs::temp_directory_path() / "veltrio_rxt_cli_test" / info->name();
    fs::remove_all(dir);
    fs::create_directories(dir);
    return fs::canonical(dir);
}

void WriteText(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

std::string ReadBytes(const fs::path& p) {
    std::string s;
    ReadWholeFile(p, s);
    return s;
}

// A model with every field set; texts within code page 850.
TRepTexts SampleTexts() {
    TRepTexts r;
    r.TestName = "Nitrat i drikkevand \xC3\xA6\xC3\xB8\xC3\xA5"; // æøå
    r.Topic = "Water";
    r.SampleTypes = "Drinking water";
    r.Parameters = "NO3";
    r.Host = "Lab Org";
    r.SamplesShipped = "3 March";
    r.TestDate = "4 March";
    r.Deadline = "20 March";
    r.ReportDate = "1 April";
    r.TotalReportDate = "1 May";
    r.HomogeneityText = "Line 1\r\nLine \"2\"\\";
    r.StabilityText = "Stable\tfor weeks";
    r.AssignedValueText = std::string(300, 'm');
    r.UseLabNames = true;
    r.ShowLegend = true;
    r.ReportFiles = {{"NITRATE.PAR", {"Nitrate", 10, 20, 0.1, -99, 40000, -1, 1e300, -0.0}},
                     {"LEAD.PAR", {"", 0, 0, 0, 0, 0, 0, 0, 0}}};
    r.LabNames = {{"7", "Water Works"}, {"B12", ""}};
    r.Legends = {"Good", "Fair"};
    r.Signature = "Head of the scheme";
    return r;
}

const char* const kKeys[] = {"TestName",        "Topic",         "SampleTypes",
                             "Parameters",      "Host",          "SamplesShipped",
                             "TestDate",        "Deadline",      "ReportDate",
                             "TotalReportDate", "HomogeneityText", "StabilityText",
                             "AssignedValueText", "ParDir",      "UseLabNames",
                             "ShowLegend",      "ReportFiles",   "LabNames",
                             "Legends",         "Signature"};

// The JSON of veltrio-cli compared with a model, field by field.
void ExpectJsonOf(const std::string& json, const TRepTexts& r, const fs::path& parDir) {
    JsonValue root;
    std::string error;
    ASSERT_TRUE(ParseJson(json, root, error)) << error << "\n" << json;
    ASSERT_EQ(root.Type, JsonValue::Kind::Object);
    ASSERT_EQ(root.Members.size(), std::size(kKeys));
    for (std::size_t i = 0; i < std::size(kKeys); ++i) {
        EXPECT_EQ(root.Members[i].first, kKeys[i]) << "the keys in the order of the model";
    }
    auto text = [&](const char* key) { return root.Find(key)->String; };
    EXPECT_EQ(text("TestName"), r.TestName);
    EXPECT_EQ(text("Topic"), r.Topic);
    EXPECT_EQ(text("SampleTypes"), r.SampleTypes);
    EXPECT_EQ(text("Parameters"), r.Parameters);
    EXPECT_EQ(text("Host"), r.Host);
    EXPECT_EQ(text("SamplesShipped"), r.SamplesShipped);
    EXPECT_EQ(text("TestDate"), r.TestDate);
    EXPECT_EQ(text("Deadline"), r.Deadline);
    EXPECT_EQ(text("ReportDate"), r.ReportDate);
    EXPECT_EQ(text("TotalReportDate"), r.TotalReportDate);
    EXPECT_EQ(text("HomogeneityText"), r.HomogeneityText);
    EXPECT_EQ(text("StabilityText"), r.StabilityText);
    EXPECT_EQ(text("AssignedValueText"), r.AssignedValueText);
    EXPECT_EQ(text("ParDir"), parDir.string());
    EXPECT_EQ(text("Signature"), r.Signature);
    EXPECT_EQ(root.Find("UseLabNames")->Type, JsonValue::Kind::Bool);
    EXPECT_EQ(root.Find("UseLabNames")->Bool, r.UseLabNames);
    EXPECT_EQ(root.Find("ShowLegend")->Bool, r.ShowLegend);
    const JsonValue& files = *root.Find("ReportFiles");
    ASSERT_EQ(files.Items.size(), r.ReportFiles.size());
    for (std::size_t i = 0; i < files.Items.size(); ++i) {
        const JsonValue& f = files.Items[i];
        const TReportFile& e = r.ReportFiles[i];
        EXPECT_EQ(f.Find("Name")->String, e.Name);
        EXPECT_EQ(f.Find("Alias")->String, e.Limits.Alias);
        EXPECT_EQ(f.Find("AccuPct1")->Number, e.Limits.AccuPct1);
        EXPECT_EQ(f.Find("AccuPct2")->Number, e.Limits.AccuPct2);
        EXPECT_EQ(f.Find("AccuAbs1")->Number, e.Limits.AccuAbs1);
        EXPECT_EQ(f.Find("AccuAbs2")->Number, e.Limits.AccuAbs2);
        EXPECT_EQ(f.Find("PrecPct1")->Number, e.Limits.PrecPct1);
        EXPECT_EQ(f.Find("PrecPct2")->Number, e.Limits.PrecPct2);
        EXPECT_EQ(f.Find("PrecAbs1")->Number, e.Limits.PrecAbs1);
        EXPECT_EQ(f.Find("PrecAbs2")->Number, e.Limits.PrecAbs2);
        EXPECT_EQ(std::signbit(f.Find("PrecAbs2")->Number), std::signbit(e.Limits.PrecAbs2));
        EXPECT_EQ(f.Members.size(), 10u);
    }
    const JsonValue& labs = *root.Find("LabNames");
    ASSERT_EQ(labs.Items.size(), r.LabNames.size());
    for (std::size_t i = 0; i < labs.Items.size(); ++i) {
        EXPECT_EQ(labs.Items[i].Find("Code")->String, r.LabNames[i].Code);
        EXPECT_EQ(labs.Items[i].Find("Name")->String, r.LabNames[i].Name);
    }
    const JsonValue& legends = *root.Find("Legends");
    ASSERT_EQ(legends.Items.size(), r.Legends.size());
    for (std::size_t i = 0; i < legends.Items.size(); ++i) {
        EXPECT_EQ(legends.Items[i].String, r.Legends[i]);
    }
}

TEST(RxtCli, JsonOfAReportTextsFile) {
    const fs::path dir = TestDir();
    TRepTexts r = SampleTexts();
    r.RepTextsFile = dir / "round.rxt";
    r.ParDir = "/where/it/was/written";
    std::string error;
    ASSERT_TRUE(r.SaveRepTexts(error)) << error;
    const Result res = RunCli("rxt round.rxt --json", dir);
    ASSERT_EQ(res.Status, 0) << res.Err;
    EXPECT_EQ(res.Err, "");
    // ParDir is where the file is now, not the folder it was written with.
    ExpectJsonOf(res.Out, r, dir);
}

TEST(RxtCli, WriteThenJsonRoundTrip) {
    const fs::path dir = TestDir();
    const std::string json = R"({
  "TestName": "Nitrat i drikkevand \u00e6\u00f8\u00e5",
  "Topic": "Water", "SampleTypes": "Drinking water", "Parameters": "NO3",
  "Host": "Lab Org", "SamplesShipped": "3 March", "TestDate": "4 March",
  "Deadline": "20 March", "ReportDate": "1 April", "TotalReportDate": "1 May",
  "HomogeneityText": "Line 1\r\nLine \"2\"\\", "StabilityText": "Stable\tfor weeks",
  "AssignedValueText": ")" + std::string(300, 'm') + R"(",
  "ParDir": ")" + dir.string() + R"(",
  "UseLabNames": true, "ShowLegend": true,
  "ReportFiles": [
    {"Name": "NITRATE.PAR", "Alias": "Nitrate", "AccuPct1": 10, "AccuPct2": 20,
     "AccuAbs1": 0.1, "AccuAbs2": -99, "PrecPct1": 40000, "PrecPct2": -1,
     "PrecAbs1": 1e300, "PrecAbs2": -0},
    {"Name": "LEAD.PAR"}
  ],
  "LabNames": [{"Code": "7", "Name": "Water Works"}, {"Code": "B12"}],
  "Legends": ["Good", "Fair"],
  "Signature": "Head of the scheme"
})";
    WriteText(dir / "in.json", json);
    Result res = RunCli("rxt --write in.json first.rxt", dir);
    ASSERT_EQ(res.Status, 0) << res.Err;
    EXPECT_EQ(res.Out, "Wrote first.rxt\n");

    // The file holds the model that the JSON describes.
    TRepTexts read;
    read.LoadFile(dir / "first.rxt");
    const TRepTexts expected = SampleTexts();
    EXPECT_TRUE(read.SameContent(expected));
    EXPECT_EQ(read.ReportFiles, expected.ReportFiles);
    TRepTexts withDir = expected;
    withDir.ParDir = dir;
    EXPECT_EQ(ReadBytes(dir / "first.rxt"), withDir.WriteRepTexts());

    res = RunCli("rxt first.rxt --json", dir);
    ASSERT_EQ(res.Status, 0) << res.Err;
    ExpectJsonOf(res.Out, expected, dir);

    // The JSON printed writes the same file again.
    WriteText(dir / "again.json", res.Out);
    res = RunCli("rxt --write again.json second.rxt", dir);
    ASSERT_EQ(res.Status, 0) << res.Err;
    EXPECT_EQ(ReadBytes(dir / "second.rxt"), ReadBytes(dir / "first.rxt"));
}

TEST(RxtCli, MissingKeysTakeTheValuesOfNewTexts) {
    const fs::path dir = TestDir();
    WriteText(dir / "empty.json", "{}");
    Result res = RunCli("rxt --write empty.json empty.rxt", dir);
    ASSERT_EQ(res.Status, 0) << res.Err;
    EXPECT_EQ(ReadBytes(dir / "empty.rxt"), TRepTexts().WriteRepTexts());

    // The default legends of the language chosen.
    res = RunCli("--language Dansk rxt --write empty.json dansk.rxt", dir);
    ASSERT_EQ(res.Status, 0) << res.Err;
    TRepTexts dansk;
    dansk.LoadFile(dir / "dansk.rxt");
    ASSERT_EQ(dansk.Legends.size(), 3u);
    EXPECT_EQ(dansk.Legends[0].rfind("Accepteret: afvigelsen", 0), 0u) << dansk.Legends[0];
}

TEST(RxtCli, Refusals) {
    const fs::path dir = TestDir();
    WriteText(dir / "trailing.json", "{\"TestName\": \"a\",\n}");
    WriteText(dir / "type.json", "{\"UseLabNames\": \"yes\"}");
    WriteText(dir / "fraction.json", "{\"ReportFiles\": [{\"AccuPct1\": 2.5}]}");
    WriteText(dir / "range.json", "{\"ReportFiles\": [{\"PrecPct2\": 3000000000}]}");
    WriteText(dir / "unknown.json", "{\"Tittle\": \"a\"}");
    WriteText(dir / "unknownfile.json", "{\"ReportFiles\": [{\"Nmae\": \"a\"}]}");
    WriteText(dir / "twice.json", "{\"Topic\": \"a\", \"Topic\": \"b\"}");
    WriteText(dir / "notarray.json", "{\"Legends\": \"A\"}");
    WriteText(dir / "notobject.json", "[]");
    WriteText(dir / "euro.json", "{\"Signature\": \"\\u20ac\"}");
    WriteText(dir / "ok.json", "{}");
    WriteText(dir / "bad.rxt", std::string("\x06\x05" "ab", 4));
    // An existing file that a refused --write must leave alone.
    WriteText(dir / "kept.rxt", "kept");
    const struct {
        std::string Args;
        int Status;
        std::string Says;
    } cases[] = {
        {"rxt --write trailing.json kept.rxt", 1,
         "trailing.json: line 2, column 1: expected a key in double quotes, found '}'"},
        {"rxt --write type.json kept.rxt", 1,
         "type.json: line 1, column 17: UseLabNames must be a Boolean, not a string"},
        {"rxt --write fraction.json kept.rxt", 1,
         "line 1, column 31: ReportFiles[0].AccuPct1 must be a whole number"},
        {"rxt --write range.json kept.rxt", 1, "ReportFiles[0].PrecPct2 must be a whole number"},
        {"rxt --write unknown.json kept.rxt", 1, "unknown key \"Tittle\" in the report texts"},
        {"rxt --write unknownfile.json kept.rxt", 1, "unknown key \"Nmae\" in ReportFiles[0]"},
        {"rxt --write twice.json kept.rxt", 1,
         "line 1, column 16: the key \"Topic\" appears twice"},
        {"rxt --write notarray.json kept.rxt", 1, "Legends must be an array, not a string"},
        {"rxt --write notobject.json kept.rxt", 1,
         "the report texts must be an object, not an array"},
        {"rxt --write euro.json kept.rxt", 1, "Signature holds characters that a report-texts "
                                              "file (code page 850) cannot hold"},
        {"rxt --write missing.json kept.rxt", 1, "cannot read missing.json"},
        {"rxt --write ok.json no/such/folder/x.rxt", 1, "cannot write no/such/folder/x.rxt"},
        {"rxt bad.rxt --json", 1,
         "bad.rxt: The report-texts file cannot be read: a string length of 5 bytes for the "
         "text TestName, beyond the 2 bytes left at byte 0."},
        {"rxt missing.rxt --json", 1, "Cannot read missing.rxt"},
        {"rxt bad.rxt", 2, "rxt takes one report-texts file and --json"},
        {"rxt a.rxt b.rxt --json", 2, "rxt takes one report-texts file"},
        {"rxt --write ok.json", 2, "rxt takes one report-texts file"},
        {"rxt --write ok.json out.rxt --json", 2, "rxt takes one report-texts file"},
        {"rxt --write", 2, "--write needs a value"},
        {"lab-reports texts.rxt", 2, "lab-reports needs --out DIR"},
        {"lab-reports --out d", 2, "lab-reports takes one report-texts file (FILE.rxt)"},
        {"lab-reports a.rxt b.rxt --out d", 2, "lab-reports takes one report-texts file"},
        {"lab-reports a.rxt --out d --par-dir", 2, "--par-dir needs a value"},
        {"lab-reports a.rxt --out d --labs 7", 2, "--labs takes FROM-TO"},
    };
    for (const auto& c : cases) {
        const Result res = RunCli(c.Args, dir);
        EXPECT_EQ(res.Status, c.Status) << c.Args << "\n" << res.Err;
        EXPECT_NE(res.Err.find(c.Says), std::string::npos) << c.Args << "\n" << res.Err;
        EXPECT_EQ(res.Err.rfind("veltrio-cli: ", 0), 0u) << c.Args << "\n" << res.Err;
        EXPECT_EQ(res.Out, "") << c.Args;
        EXPECT_EQ(ReadBytes(dir / "kept.rxt"), "kept") << c.Args;
    }
    EXPECT_FALSE(fs::exists(dir / "out.rxt"));
}

TEST(RxtCli, LabReportsIsTheRunnersCommand) {
    // The arguments are taken here; the command itself runs in veltrio-cli-run,
    // so a usage error of veltrio-cli never shows as one of the runner.
    const fs::path dir = TestDir();
    const Result res = RunCli("lab-reports none.rxt --par-dir data --labs 2-5 --out out", dir);
    EXPECT_EQ(res.Err.find("unknown command"), std::string::npos) << res.Err;
}

// ---- The JSON reader ----

TEST(JsonRead, RefusedTexts) {
    const struct {
        std::string Text;
        std::string Says;
    } cases[] = {
        {"", "line 1, column 1: expected a value, found the end of the text"},
        {"[1,]", "line 1, column 4: expected a value, found ']'"},
        {"{\"a\":1 \"b\":2}", "line 1, column 8: expected ',' or '}' after a member"},
        {"{\"a\" 1}", "line 1, column 6: expected ':' after the key \"a\""},
        {"{a:1}", "line 1, column 2: expected a key in double quotes"},
        {"[1 2]", "line 1, column 4: expected ',' or ']'"},
        {"1 2", "line 1, column 3: more text after the value"},
        {"01", "line 1, column 1: a number with a leading zero"},
        {"-", "a number without digits"},
        {"1.", "a number without digits after its decimal point"},
        {"1e", "a number without digits in its exponent"},
        {"+1", "expected a value, found '+'"},
        {"1e999", "a number beyond the range of a double"},
        {"-1e999", "a number beyond the range of a double"},
        {"NaN", "expected a value, found 'N'"},
        {"nul", "expected a value"},
        {"\"abc", "line 1, column 1: a string without its closing double quote"},
        {"\"a\tb\"", "a control character (byte 9) in a string"},
        {"\"\\x\"", "line 1, column 2: an unknown escape \\x"},
        {"\"\\u12\"", "a \\u escape needs four hexadecimal digits"},
        {"\"\\ud800\"", "a high surrogate without its low surrogate"},
        {"\"\\ud800\\u0041\"", "a high surrogate without its low surrogate"},
        {"\"\\udc00\"", "a low surrogate without its high surrogate"},
        {"\"\xFF\"", "line 1, column 2: the text is not valid UTF-8"},
        {std::string(300, '['), "nested deeper than 200 levels"},
        {"{\"a\":1,\"a\":2}", "line 1, column 8: the key \"a\" appears twice"},
        {"[\n  1,\n  \xC3\xA6]", "line 3, column 3: expected a value, found a byte 195"},
        {"// comment\n1", "expected a value, found '/'"},
    };
    for (const auto& c : cases) {
        JsonValue v;
        std::string error;
        EXPECT_FALSE(ParseJson(c.Text, v, error)) << c.Text;
        EXPECT_NE(error.find(c.Says), std::string::npos) << c.Text << "\n" << error;
    }
}

TEST(JsonRead, ReadTexts) {
    JsonValue v;
    std::string error;
    ASSERT_TRUE(ParseJson("\xEF\xBB\xBF {\"s\": \"\\u00e6\\ud83d\\ude00\\n\\/\", \"n\": -0, "
                          "\"u\": 1e-400, \"e\": 2.5E+2, \"a\": [true, false, null, {}, []]}\r\n",
                          v, error))
        << error;
    EXPECT_EQ(v.Find("s")->String, "\xC3\xA6\xF0\x9F\x98\x80\n/");
    EXPECT_TRUE(std::signbit(v.Find("n")->Number));
    EXPECT_EQ(v.Find("u")->Number, 0.0);
    EXPECT_EQ(v.Find("e")->Number, 250.0);
    const JsonValue& a = *v.Find("a");
    ASSERT_EQ(a.Items.size(), 5u);
    EXPECT_TRUE(a.Items[0].Bool);
    EXPECT_EQ(a.Items[1].Type, JsonValue::Kind::Bool);
    EXPECT_FALSE(a.Items[1].Bool);
    EXPECT_EQ(a.Items[2].Type, JsonValue::Kind::Null);
    EXPECT_EQ(a.Items[3].Type, JsonValue::Kind::Object);
    EXPECT_EQ(a.Items[4].Type, JsonValue::Kind::Array);
    EXPECT_EQ(JsonPosition("ab\ncd", 4), "line 2, column 2");
    EXPECT_EQ(JsonPosition("\xC3\xA6\xC3\xA6x", 4), "line 1, column 3");
}

} // namespace

namespace {

// The report texts of the test round, written by rxt --write from its JSON,
// with the data files beside it or named by --par-dir.
TEST(LabReportsCli, TheRoundGivesItsSummariesOverviewAndReports) {
    const fs::path dir = TestDir();
    const fs::path data = fs::path(VELTRIO_TEST_DATA) / "tools" / "labreports";
    ASSERT_EQ(RunCli("rxt --write '" + (data / "ROUND7.json").string() + "' round.rxt", dir).Status,
              0);
    Result res = RunCli("lab-reports round.rxt --par-dir '" + data.string() +
                            "' --labs 2-3 --out out",
                        dir);
    ASSERT_EQ(res.Status, 0) << res.Err;
    // Three files of two levels: six summaries, the overview, the reports.
    for (const char* base : {"01-level-summary", "06-level-summary", "07-results-overview",
                             "08-laboratory-reports"}) {
        for (const char* ext : {".html", ".rtf", ".pdf", ".txt"}) {
            EXPECT_TRUE(fs::exists(dir / "out" / (std::string(base) + ext))) << base << ext;
        }
    }
    EXPECT_FALSE(fs::exists(dir / "out" / "09-laboratory-reports.txt"));
    std::string reports, index;
    ReadWholeFile(dir / "out" / "08-laboratory-reports.txt", reports);
    ReadWholeFile(dir / "out" / "index.html", index);
    // Laboratories 2 and 3 only, the names of the report texts in the title.
    EXPECT_NE(reports.find("Water works Nord,      laboratory L02"), std::string::npos);
    EXPECT_NE(reports.find("laboratory L03"), std::string::npos);
    EXPECT_EQ(reports.find("laboratory L01"), std::string::npos);
    EXPECT_NE(index.find("08-laboratory-reports.pdf"), std::string::npos);

    // Without --par-dir the files are looked for beside the report texts:
    // none is there, and nothing is made.
    res = RunCli("lab-reports round.rxt --out empty", dir);
    EXPECT_EQ(res.Status, 1);
    EXPECT_NE(res.Err.find("None of the data files of the report texts could be read"),
              std::string::npos)
        << res.Err;
    EXPECT_FALSE(fs::exists(dir / "empty" / "index.html"));

    struct Case {
        const char* Args;
        int Status;
        const char* Message;
    } cases[] = {
        {"lab-reports no-such.rxt --out x", 1, "no-such.rxt"},
        {"lab-reports round.rxt", 2, "--out"},
    };
    for (const Case& c : cases) {
        res = RunCli(c.Args, dir);
        EXPECT_EQ(res.Status, c.Status) << c.Args;
        EXPECT_NE(res.Err.find(c.Message), std::string::npos) << c.Args << ": " << res.Err;
    }
}

} // namespace
