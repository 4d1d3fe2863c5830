#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

#include "Json.h"
#include "base/AtomicFile.h"
#include "commands/Commands.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int Status = -1;
    std::string Out;
};

// Runs veltrio-cli with `args`; standard error goes to `errFile`.
Result RunCli(const std::string& args, const fs::path& errFile) {
    const std::string cmd = std::string(VELTRIO_CLI) + " " + args + " 2>" + errFile.string();
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
    return r;
}

std::string ReadText(const fs::path& p) {
    std::string s;
    veltrio::ReadWholeFile(p, s);
    return s;
}

// A folder of this test's own: ctest runs the tests of this file side by side.
fs::path TestDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const fs::path dir = fs::temp_directory_path() / "veltrio_cli_test" / info->name();
    fs::create_directories(dir);
    return dir;
}

} // namespace

TEST(Cli, StatsJsonOfTheExampleMatchesItsReviewedOutput) {
    const fs::path example = fs::path(VELTRIO_SOURCE_DIR) / "examples" / "GLUCOSE.PAR";
    const Result r = RunCli("stats " + example.string() + " --json", TestDir() / "err.txt");
    EXPECT_EQ(r.Status, 0) << ReadText(TestDir() / "err.txt");
    const fs::path golden = fs::path(VELTRIO_TEST_DATA) / "cli" / "GLUCOSE.stats.json";
    if (std::getenv("VELTRIO_UPDATE_GOLDEN")) {
        veltrio::WriteFileAtomically(golden, r.Out);
    }
    ASSERT_TRUE(fs::exists(golden)) << "missing golden file " << golden;
    EXPECT_EQ(r.Out, ReadText(golden))
        << "diff -u " << golden << " <(veltrio-cli stats " << example << " --json)";
}

TEST(Cli, StatsTextShowsEveryLaboratory) {
    const fs::path example = fs::path(VELTRIO_SOURCE_DIR) / "examples" / "GLUCOSE.PAR";
    const Result r = RunCli("--language English stats " + example.string(), TestDir() / "err.txt");
    EXPECT_EQ(r.Status, 0) << ReadText(TestDir() / "err.txt");
    for (const char* part : {"ASTM E691 glucose A-C", "Substance: Glucose in serum", "Level 3: C",
                             "valid laboratories 8", "L08", "43.36", "41.5183"}) {
        EXPECT_NE(r.Out.find(part), std::string::npos) << part << "\n" << r.Out;
    }
}

TEST(Cli, RunWritesTheOutputFolder) {
    const fs::path out = TestDir() / "run";
    fs::remove_all(out);
    const fs::path example = fs::path(VELTRIO_SOURCE_DIR) / "examples" / "GLUCOSE.PAR";
    const Result r = RunCli("run " + example.string() + " --out " + out.string(), TestDir() / "err.txt");
    EXPECT_EQ(r.Status, 0) << ReadText(TestDir() / "err.txt");
    EXPECT_NE(ReadText(out / "study.json").find("\"TestId\": \"ASTM E691 glucose A-C\""),
              std::string::npos);
    // Every document in four formats, linked from the index.
    const std::string index = ReadText(out / "index.html");
    // The documents are numbered in the order of the procedures list.
    const std::string link = "Descriptive statistics: <a href=\"";
    const auto at = index.find(link);
    ASSERT_NE(at, std::string::npos) << index;
    const std::string base =
        index.substr(at + link.size(), index.find(".html", at) - at - link.size());
    EXPECT_EQ(base.substr(2), "-descriptive-statistics");
    EXPECT_EQ(ReadText(out / (base + ".pdf")).substr(0, 5), "%PDF-");
    EXPECT_EQ(ReadText(out / (base + ".rtf")).substr(0, 6), "{\\rtf1");
    const std::string html = ReadText(out / (base + ".html"));
    EXPECT_NE(html.find("Glucose in serum"), std::string::npos);
    EXPECT_NE(html.find("charset=\"utf-8\""), std::string::npos);
    EXPECT_NE(ReadText(out / (base + ".txt")).find("Usable\t24\t24\t24"), std::string::npos);

    // One procedure and one format.
    const fs::path only = TestDir() / "only";
    fs::remove_all(only);
    const Result again =
        RunCli("run " + example.string() +
                   " --procedure descriptive-statistics --format txt --out " + only.string(),
               TestDir() / "err.txt");
    EXPECT_EQ(again.Status, 0) << ReadText(TestDir() / "err.txt");
    EXPECT_TRUE(fs::exists(only / "01-descriptive-statistics.txt"));
    EXPECT_FALSE(fs::exists(only / "01-descriptive-statistics.pdf"));

    const Result list = RunCli("list", TestDir() / "err.txt");
    EXPECT_EQ(list.Status, 0);
    EXPECT_NE(list.Out.find("descriptive-statistics\tDescriptive statistics"), std::string::npos);
}

TEST(Cli, RefusedInputAndWrongUsage) {
    const fs::path bad = TestDir() / "BAD.PAR";
    std::ofstream(bad) << "FILEHEADER\nUNIFORM\nNLABS = 46\nNOOFLEVELS = 1\nEND\n";
    struct Case {
        std::string Args;
        int Status;
        std::string Error;
    } cases[] = {
        {"stats " + bad.string(), 1, "more than 45 laboratories"},
        {"stats " + (fs::path(VELTRIO_SOURCE_DIR) / "README.md").string(), 1,
         "is not a study file"},
        {"stats /nonexistent/X.PAR", 1, "Cannot open the file"},
        {"stats " + bad.string() + " --lang /nonexistent/ENGLISH.TEX", 1, "Missing language file"},
        {"", 2, "no command given"},
        {"frobnicate x", 2, "unknown command frobnicate"},
        {"stats", 2, "takes one study file"},
        {"run " + bad.string() + " --procedure no-such-procedure", 2,
         "unknown procedure no-such-procedure"},
        {"run x --format html,doc", 2, "--format takes html, rtf, pdf and txt, not \"doc\""},
        {"run a b", 2, "run takes one study file"},
        {"stats x --bogus", 2, "unknown option --bogus"},
        {"--language Klingon stats x", 2, "--language takes English"},
    };
    for (const auto& c : cases) {
        const Result r = RunCli(c.Args, TestDir() / "err.txt");
        EXPECT_EQ(r.Status, c.Status) << c.Args;
        const std::string err = ReadText(TestDir() / "err.txt");
        EXPECT_NE(err.find(c.Error), std::string::npos) << c.Args << "\n" << err;
    }
}

TEST(Json, EscapesAndWritesMissingAsNull) {
    veltrio::JsonWriter j;
    j.BeginObject();
    j.Key("a\"b");
    j.String("x\\y\n\x01");
    j.Key("m");
    j.Number(-99.0);
    j.Key("v");
    j.Number(0.1);
    j.Key("e");
    j.BeginArray();
    j.EndArray();
    j.EndObject();
    EXPECT_EQ(
        j.str(),
        "{\n  \"a\\\"b\": \"x\\\\y\\n\\u0001\",\n  \"m\": null,\n  \"v\": 0.1,\n  \"e\": []\n}\n");
}

TEST(Commands, NamesComeFromMenuCaptions) {
    struct Case {
        const char* Caption;
        const char* Name;
    } cases[] = {
        {"Descriptive statistics", "descriptive-statistics"},
        {"Base table (ISO Table A)", "base-table-iso-table-a"},
        {"Cochran outliers", "cochran-outliers"},
        {"Mandel's h and k", "mandels-h-and-k"},
        {"Exclude a laboratory...", "exclude-a-laboratory"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(veltrio::CommandName(c.Caption), c.Name);
    }
    for (const auto& p : veltrio::Procedures()) {
        EXPECT_EQ(veltrio::FindProcedure(p.Name), &p);
    }
}
