#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <vector>

#include "Json.h"
#include "base/AtomicFile.h"
#include "commands/Commands.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int Status = -1;
    std::string Out;
};

// Runs a veltrio-cli with `args`; standard error goes to `errFile`.
Result RunProgram(const fs::path& program, const std::string& args, const fs::path& errFile) {
    const std::string cmd = program.string() + " " + args + " 2>" + errFile.string();
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

Result RunCli(const std::string& args, const fs::path& errFile) {
    return RunProgram(VELTRIO_CLI, args, errFile);
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

// A parsed JSON value: enough of JSON to read what veltrio-cli writes.
struct JValue {
    enum Kind { Null, Bool, Number, String, Array, Object } Type = Null;
    bool B = false;
    double N = 0;
    std::string S;
    std::vector<JValue> Items;
    std::map<std::string, JValue> Members;

    const JValue& operator[](const std::string& key) const {
        static const JValue missing;
        auto it = Members.find(key);
        return it == Members.end() ? missing : it->second;
    }
    bool Has(const std::string& key) const { return Members.count(key) > 0; }
};

class JReader {
public:
    explicit JReader(const std::string& text) : m_s(text) {}
    // Throws on malformed input or trailing text.
    JValue Document() {
        JValue v = Value();
        Space();
        if (m_i != m_s.size()) {
            throw std::runtime_error("text after the JSON value");
        }
        return v;
    }

private:
    void Space() {
        while (m_i < m_s.size() && std::isspace(static_cast<unsigned char>(m_s[m_i]))) {
            ++m_i;
        }
    }
    void Expect(char c) {
        Space();
        if (m_i >= m_s.size() || m_s[m_i] != c) {
            throw std::runtime_error(std::string("expected ") + c + " at " + std::to_string(m_i));
        }
        ++m_i;
    }
    bool Word(const char* w) {
        const std::string word(w);
        if (m_s.compare(m_i, word.size(), word) == 0) {
            m_i += word.size();
            return true;
        }
        return false;
    }
    std::string Str() {
        Expect('"');
        std::string out;
        while (m_i < m_s.size() && m_s[m_i] != '"') {
            char c = m_s[m_i++];
            if (c == '\\' && m_i < m_s.size()) {
                const char e = m_s[m_i++];
                switch (e) {
                case 'n':
                    c = '\n';
                    break;
                case 't':
                    c = '\t';
                    break;
                case 'u':
                    c = static_cast<char>(std::stoi(m_s.substr(m_i, 4), nullptr, 16));
                    m_i += 4;
                    break;
                default:
                    c = e;
                }
            }
            out += c;
        }
        Expect('"');
        return out;
    }
    JValue Value() {
        Space();
        JValue v;
        if (m_i >= m_s.size()) {
            throw std::runtime_error("unexpected end of JSON");
        }
        const char c = m_s[m_i];
        if (c == '{') {
            v.Type = JValue::Object;
            ++m_i;
            Space();
            if (m_s[m_i] == '}') {
                ++m_i;
                return v;
            }
            do {
                const std::string key = Str();
                Expect(':');
                v.Members[key] = Value();
                Space();
            } while (m_s[m_i] == ',' && ++m_i);
            Expect('}');
        } else if (c == '[') {
            v.Type = JValue::Array;
            ++m_i;
            Space();
            if (m_s[m_i] == ']') {
                ++m_i;
                return v;
            }
            do {
                v.Items.push_back(Value());
                Space();
            } while (m_s[m_i] == ',' && ++m_i);
            Expect(']');
        } else if (c == '"') {
            v.Type = JValue::String;
            v.S = Str();
        } else if (Word("true") || Word("false")) {
            v.Type = JValue::Bool;
            v.B = m_s[m_i - 1] == 'e' && m_s[m_i - 2] == 'u';
        } else if (Word("null")) {
            v.Type = JValue::Null;
        } else {
            v.Type = JValue::Number;
            std::size_t used = 0;
            v.N = std::stod(m_s.substr(m_i), &used);
            m_i += used;
        }
        return v;
    }

    const std::string& m_s;
    std::size_t m_i = 0;
};

// A CSV file with a header line, as rows of column name to text.
std::vector<std::map<std::string, std::string>> ReadCsv(const fs::path& p) {
    std::istringstream in(ReadText(p));
    auto split = [](const std::string& line) {
        std::vector<std::string> cells;
        std::string cell;
        std::istringstream l(line);
        while (std::getline(l, cell, ',')) {
            cells.push_back(cell);
        }
        if (!line.empty() && line.back() == ',') {
            cells.emplace_back();
        }
        return cells;
    };
    std::string line;
    std::getline(in, line);
    const std::vector<std::string> head = split(line);
    std::vector<std::map<std::string, std::string>> rows;
    while (std::getline(in, line)) {
        if (line.empty()) {
            continue;
        }
        const std::vector<std::string> cells = split(line);
        std::map<std::string, std::string> row;
        for (std::size_t i = 0; i < head.size() && i < cells.size(); ++i) {
            row[head[i]] = cells[i];
        }
        rows.push_back(row);
    }
    return rows;
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
    const Result r =
        RunCli("run " + example.string() + " --out " + out.string(), TestDir() / "err.txt");
    EXPECT_EQ(r.Status, 0) << ReadText(TestDir() / "err.txt");
    EXPECT_NE(ReadText(out / "study.json").find("\"TestId\": \"ASTM E691 glucose A-C\""),
              std::string::npos);
    // Without procedure names the whole evaluation runs, as "Execute
    // interlaboratory study" does; the index groups its files by menu, in
    // menu order.
    const std::string index = ReadText(out / "index.html");
    const auto preliminary = index.find("<h2>Preliminary evaluation</h2>");
    const auto quality = index.find("<h2>General analytical quality</h2>");
    const auto labs = index.find("<h2>Evaluation of laboratories</h2>");
    ASSERT_NE(preliminary, std::string::npos) << index;
    ASSERT_NE(quality, std::string::npos) << index;
    ASSERT_NE(labs, std::string::npos) << index;
    EXPECT_LT(preliminary, quality);
    EXPECT_LT(quality, labs);
    EXPECT_LT(index.find("Base table:"), quality);
    EXPECT_LT(index.find("Grubbs outlier test:"), quality);
    EXPECT_GT(index.find("Mandel's k statistic"), labs);
    // The tools are not part of it.
    EXPECT_EQ(index.find("box-plots"), std::string::npos);
    // No assigned values: said once for the composite, and the procedures
    // that need them are left out.
    const std::string err = ReadText(TestDir() / "err.txt");
    EXPECT_EQ(err.find("Nominal Value Not OK"), err.rfind("Nominal Value Not OK")) << err;
    EXPECT_EQ(index.find("consensus-means"), std::string::npos);
    // Every document in four formats, linked from the index.
    const std::string link = "Analysis of variance: <a href=\"";
    const auto at = index.find(link);
    ASSERT_NE(at, std::string::npos) << index;
    const std::string base =
        index.substr(at + link.size(), index.find(".html", at) - at - link.size());
    EXPECT_EQ(base.substr(2), "-analysis-of-variance");
    EXPECT_EQ(ReadText(out / (base + ".pdf")).substr(0, 5), "%PDF-");
    EXPECT_EQ(ReadText(out / (base + ".rtf")).substr(0, 6), "{\\rtf1");
    const std::string html = ReadText(out / (base + ".html"));
    EXPECT_NE(html.find("Glucose in serum"), std::string::npos);
    EXPECT_NE(html.find("charset=\"utf-8\""), std::string::npos);
    EXPECT_NE(ReadText(out / (base + ".txt")).find("Laboratories\t7\t"), std::string::npos);

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

TEST(Cli, RunWritesEveryChartAsSvgAndPng) {
    const fs::path out = TestDir() / "charts";
    fs::remove_all(out);
    const fs::path example = fs::path(VELTRIO_SOURCE_DIR) / "examples" / "NITRATE.PAR";
    const Result r = RunCli("run " + example.string() +
                                " --procedure youden-plots --procedure box-plots --out " +
                                out.string(),
                            TestDir() / "err.txt");
    ASSERT_EQ(r.Status, 0) << ReadText(TestDir() / "err.txt");
    // One Youden plot per level and one box-plot chart, in order, linked.
    const std::string index = ReadText(out / "index.html");
    for (const char* base : {"01-youden-plots-1", "02-youden-plots-2", "03-box-plots"}) {
        SCOPED_TRACE(base);
        const std::string svg = ReadText(out / (std::string(base) + ".svg"));
        EXPECT_NE(svg.find("<svg"), std::string::npos);
        EXPECT_EQ(ReadText(out / (std::string(base) + ".png")).substr(1, 3), "PNG");
        EXPECT_NE(index.find(std::string("<a href=\"") + base + ".svg\">svg</a>"),
                  std::string::npos)
            << index;
        EXPECT_NE(index.find(std::string("<a href=\"") + base + ".png\">png</a>"),
                  std::string::npos);
    }
    EXPECT_NE(ReadText(out / "01-youden-plots-1.svg").find("Youden plot"), std::string::npos);
    EXPECT_NE(ReadText(out / "03-box-plots.svg").find("Explanation:"), std::string::npos);
    EXPECT_NE(index.find("Box Plots:"), std::string::npos);
    EXPECT_FALSE(fs::exists(out / "03-box-plots.pdf"));

    // Charts only in the formats asked for.
    const fs::path svgOnly = TestDir() / "svg-only";
    fs::remove_all(svgOnly);
    ASSERT_EQ(RunCli("run " + example.string() + " --procedure box-plots --format svg --out " +
                         svgOnly.string(),
                     TestDir() / "err.txt")
                  .Status,
              0);
    EXPECT_TRUE(fs::exists(svgOnly / "01-box-plots.svg"));
    EXPECT_FALSE(fs::exists(svgOnly / "01-box-plots.png"));
}

// Mandel's h and k: the document first, then one chart per page of
// laboratories (45 laboratories at 20 a page: three pages).
TEST(Cli, RunWritesMandelsChartsPageByPage) {
    const fs::path dir = TestDir();
    std::string study =
        "FILEHEADER\n UNIFORM\n NLABS = 45\n NREPLICATES = 2\n NOOFLEVELS = 1\n"
        " SUBSTANCE = \"Zinc\"\n UNIT = \"mg/l\"\n TESTID = \"T\"\nEND\n"
        "LEVELHEADER\n LEVELID = \"Low\"\nEND\nLEVELDATA\n";
    for (int i = 1; i <= 45; ++i) {
        study += " " + std::to_string(i) + " Z" + std::to_string(i) + " " +
                 std::to_string(10 + i % 7 * 0.1) + " " + std::to_string(10 + i % 5 * 0.1) +
                 " M\n";
    }
    study += "END\n";
    ASSERT_TRUE(veltrio::WriteFileAtomically(dir / "ZINC.PAR", study));
    ASSERT_TRUE(veltrio::WriteFileAtomically(dir / "VELTRIO.INI",
                                             "[Settings]\nMandelLabsPage=20\n"));
    const fs::path out = dir / "out";
    fs::remove_all(out);
    const Result r = RunCli("run " + (dir / "ZINC.PAR").string() + " --settings " +
                                (dir / "VELTRIO.INI").string() +
                                " --procedure mandels-h-values --procedure mandels-k-values"
                                " --format txt,svg --out " + out.string(),
                            dir / "err.txt");
    ASSERT_EQ(r.Status, 0) << ReadText(dir / "err.txt");
    EXPECT_NE(ReadText(out / "01-mandels-h-values-1.txt").find("Mandel's h statistic"),
              std::string::npos);
    for (int page = 1; page <= 3; ++page) {
        const std::string svg =
            ReadText(out / ("0" + std::to_string(page + 1) + "-mandels-h-values-" +
                            std::to_string(page + 1) + ".svg"));
        EXPECT_NE(svg.find("[" + std::to_string(page) + "/3]"), std::string::npos) << page;
    }
    EXPECT_TRUE(fs::exists(out / "05-mandels-k-values-1.txt"));
    EXPECT_TRUE(fs::exists(out / "08-mandels-k-values-4.svg"));
    EXPECT_FALSE(fs::exists(out / "09-mandels-k-values-5.svg"));
}

TEST(Cli, RunExcludesALaboratoryFirst) {
    const fs::path out = TestDir() / "excluded";
    fs::remove_all(out);
    const fs::path example = fs::path(VELTRIO_SOURCE_DIR) / "examples" / "LEAD.PAR";
    const Result r = RunCli("run " + example.string() +
                                " --exclude L03 --procedure line-diagrams --format svg --out " +
                                out.string(),
                            TestDir() / "err.txt");
    ASSERT_EQ(r.Status, 0) << ReadText(TestDir() / "err.txt");
    EXPECT_NE(ReadText(out / "index.html").find("<p>Excluded laboratories: L03</p>"),
              std::string::npos);
    // Every level's diagram circles L03 with "UL"; without the exclusion
    // none does.
    for (const char* base : {"01-line-diagrams-1", "02-line-diagrams-2", "03-line-diagrams-3"}) {
        EXPECT_NE(ReadText(out / (std::string(base) + ".svg")).find(">UL<"), std::string::npos)
            << base;
    }
    fs::remove_all(out);
    ASSERT_EQ(RunCli("run " + example.string() +
                         " --procedure line-diagrams --format svg --out " + out.string(),
                     TestDir() / "err.txt")
                  .Status,
              0);
    EXPECT_EQ(ReadText(out / "01-line-diagrams-1.svg").find(">UL<"), std::string::npos);

    const Result unknown = RunCli("run " + example.string() + " --exclude X99 --out " +
                                      (TestDir() / "unknown").string(),
                                  TestDir() / "err.txt");
    EXPECT_EQ(unknown.Status, 1);
    EXPECT_NE(ReadText(TestDir() / "err.txt").find("the study has no laboratory X99"),
              std::string::npos);
}

TEST(Cli, NamedProceduresThatWriteNothingFailTheRun) {
    const fs::path lead = fs::path(VELTRIO_SOURCE_DIR) / "examples" / "LEAD.PAR";
    struct Case {
        std::string Args;
        std::string Message;
        const char* Written; // still written, or nullptr
    };
    const Case cases[] = {
        // Four replicates: no Youden plots; the box plots are still written.
        {"--procedure youden-plots --procedure box-plots", "youden-plots does not apply to this study",
         "01-box-plots.svg"},
        // Charts are never HTML.
        {"--procedure box-plots --procedure descriptive-statistics --format html",
         "box-plots wrote no file in the formats asked for", "01-descriptive-statistics.html"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args);
        const fs::path out = TestDir() / "nothing";
        fs::remove_all(out);
        const Result r = RunCli("run " + lead.string() + " " + c.Args + " --out " + out.string(),
                                TestDir() / "err.txt");
        EXPECT_EQ(r.Status, 1);
        EXPECT_NE(ReadText(TestDir() / "err.txt").find(c.Message), std::string::npos)
            << ReadText(TestDir() / "err.txt");
        EXPECT_TRUE(fs::exists(out / c.Written));
        EXPECT_TRUE(fs::exists(out / "index.html"));
    }
}

TEST(Cli, RefusedInputAndWrongUsage) {
    const fs::path bad = TestDir() / "BAD.PAR";
    std::ofstream(bad) << "FILEHEADER\nUNIFORM\nNLABS = 46\nNOOFLEVELS = 1\nEND\n";
    const fs::path split3 = TestDir() / "SPLIT3.PAR";
    std::ofstream(split3) << "FILEHEADER\nSPLITLEVEL\nNLABS = 2\nNREPLICATES = 3\nNOOFLEVELS = 1\n"
                             "SUBSTANCE = \"S\"\nUNIT = \"u\"\nTESTID = \"T\"\nEND\n";
    struct Case {
        std::string Args;
        int Status;
        std::string Error;
    } cases[] = {
        {"stats " + bad.string(), 1, "more than 45 laboratories"},
        {"stats " + (fs::path(VELTRIO_SOURCE_DIR) / "README.md").string(), 1,
         "is not a study file"},
        {"stats /nonexistent/X.PAR", 1, "Cannot open the file"},
        // Neither program may abort or read without end on what is no file.
        {"stats " + TestDir().string(), 1, "it is a folder, not a file"},
        {"stats /dev/zero", 1, "/dev/zero: it is not a regular file"},
        {"run /dev/urandom", 1, "/dev/urandom: it is not a regular file"},
        {"stats " + split3.string(), 1, "NREPLICATES = 2"},
        // A study without assigned values: the check's message, and the
        // procedure named for the run is skipped.
        {"run " + (fs::path(VELTRIO_SOURCE_DIR) / "examples" / "GLUCOSE.PAR").string() +
             " --procedure consensus-means-vs-assigned-values --out " +
             (TestDir() / "skipped").string(),
         1, "consensus-means-vs-assigned-values was skipped"},
        {"stats " + bad.string() + " --settings /dev/zero", 1, "cannot read the settings file"},
        {"stats " + bad.string() + " --settings " + TestDir().string(), 1,
         "cannot read the settings file"},
        {"stats " + bad.string() + " --lang /nonexistent/ENGLISH.TEX", 1, "Missing language file"},
        {"", 2, "no command given"},
        {"frobnicate x", 2, "unknown command frobnicate"},
        {"stats", 2, "takes one study file"},
        {"run " + bad.string() + " --procedure no-such-procedure", 2,
         "unknown procedure no-such-procedure"},
        {"run x --format html,doc", 2,
         "--format takes html, rtf, pdf, txt, svg and png, not \"doc\""},
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

TEST(CliLanguageFile, AMissingOneIsNamedWithWhereItWasLookedForAndWhatIsThere) {
    // Copies of the program in folders of their own: the program looks for
    // its language files beside itself.
    const fs::path bin = fs::canonical(VELTRIO_CLI).parent_path();
    const fs::path english = bin / "ENGLISH.TEX";
    ASSERT_TRUE(fs::is_regular_file(english));
    auto programIn = [](const fs::path& folder, const std::vector<std::string>& languageFiles,
                        const fs::path& realLanguageFile) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        const fs::path program = folder / "veltrio-cli";
        fs::copy_file(VELTRIO_CLI, program);
        fs::permissions(program, fs::perms::owner_all);
        for (const std::string& name : languageFiles) {
            fs::copy_file(realLanguageFile, folder / name);
        }
        std::ofstream(folder / "notes.txt") << "no language file\n";
        fs::create_directories(folder / "OLD.TEX");
        return program;
    };
    const fs::path several = TestDir() / "several";
    const fs::path none = TestDir() / "none";
    const fs::path damaged = TestDir() / "damaged";
    struct Case {
        const char* Name;
        fs::path Program;
        std::string Args;
        std::vector<std::string> Said;
    };
    const Case cases[] = {
        {"a language the folder lacks",
         programIn(several, {"ENGLISH.TEX", "dansk.tex"}, english),
         "--language Deutsch stats x.PAR",
         {"veltrio-cli: Missing language file: DEUTSCH.TEX (looked for in " + several.string() +
              ")\n",
          "veltrio-cli: the language files in " + several.string() +
              " are: ENGLISH.TEX, dansk.tex\n",
          "--lang FILE", "--language NAME"}},
        {"a folder without language files",
         programIn(none, {}, english),
         "stats x.PAR",
         {"veltrio-cli: Missing language file: ENGLISH.TEX (looked for in " + none.string() + ")\n",
          "veltrio-cli: there are no language files (*.TEX) in " + none.string() + "\n"}},
        {"a file named with --lang",
         VELTRIO_CLI,
         "--lang /nonexistent/ENGLISH.TEX stats x.PAR",
         {"veltrio-cli: Missing language file: ENGLISH.TEX (looked for in /nonexistent)\n",
          "veltrio-cli: the language files in " + bin.string() + " are: ", "ENGLISH.TEX"}},
        {"a damaged file",
         programIn(damaged, {"ENGLISH.TEX"}, TestDir() / "several" / "notes.txt"),
         "stats x.PAR",
         {"veltrio-cli: Damaged language file (its chapter table is incomplete): ENGLISH.TEX "
          "(looked for in " +
              damaged.string() + ")\n",
          "are: ENGLISH.TEX\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const Result r = RunProgram(c.Program, c.Args, TestDir() / "err.txt");
        EXPECT_EQ(r.Status, 1);
        const std::string err = ReadText(TestDir() / "err.txt");
        for (const std::string& said : c.Said) {
            EXPECT_NE(err.find(said), std::string::npos) << said << "\nnot in:\n" << err;
        }
        // The folder and the plain file are no language files.
        EXPECT_EQ(err.find("OLD.TEX"), std::string::npos) << err;
        EXPECT_EQ(err.find("notes.txt"), std::string::npos) << err;
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

namespace {

const fs::path LeadExample() {
    return fs::path(VELTRIO_SOURCE_DIR) / "examples" / "LEAD.PAR";
}

// `stats LEAD.PAR --json --evaluate` with the extra arguments, parsed.
JValue EvaluateLead(const std::string& extra) {
    const fs::path err = TestDir() / "err.txt";
    const Result r = RunCli("stats " + LeadExample().string() + " --json --evaluate" + extra, err);
    EXPECT_EQ(r.Status, 0) << extra << "\n" << ReadText(err);
    try {
        return JReader(r.Out).Document();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "not JSON (" << e.what() << "):\n" << r.Out;
        return {};
    }
}

bool Near(double actual, double expected, double relative) {
    return std::abs(actual - expected) <= relative * std::max(1.0, std::abs(expected));
}

// The mark of a laboratory in one level of the evaluation; "?" when absent.
std::string MarkOf(const JValue& level, const std::string& code) {
    for (const JValue& m : level["Marks"].Items) {
        if (m["RandCode"].S == code) {
            return m["Mark"].S;
        }
    }
    return "?";
}

} // namespace

// The outlier verdicts and the precision figures of the lead example, with
// and without the exclusion of a laboratory, against the figures of
// scripts/cli/lead_evaluate_reference.R.
TEST(CliEvaluate, LeadExampleAgreesWithTheIndependentReference) {
    const auto marks = ReadCsv(fs::path(VELTRIO_TEST_DATA) / "cli" / "LEAD.evaluate.marks.csv");
    const auto precision =
        ReadCsv(fs::path(VELTRIO_TEST_DATA) / "cli" / "LEAD.evaluate.precision.csv");
    ASSERT_EQ(marks.size(), 2u * 3u * 12u);
    ASSERT_EQ(precision.size(), 2u * 3u);
    for (const std::string excluded : {"", "L07"}) {
        SCOPED_TRACE("excluded: " + excluded);
        const JValue doc = EvaluateLead(excluded.empty() ? "" : " --exclude " + excluded);
        ASSERT_TRUE(doc["loaded"].B);
        EXPECT_FALSE(doc["DiscardOutlierTests"].B);
        const auto& excludedLabs = doc["ExcludedLabs"].Items;
        ASSERT_EQ(excludedLabs.size(), excluded.empty() ? 0u : 1u);
        if (!excluded.empty()) {
            EXPECT_EQ(excludedLabs[0].S, excluded);
        }
        const auto& levels = doc["Levels"].Items;
        ASSERT_EQ(levels.size(), 3u);
        for (const auto& row : marks) {
            if (row.at("exclude") != excluded) {
                continue;
            }
            const JValue& level = levels.at(std::stoul(row.at("level")) - 1);
            EXPECT_EQ(MarkOf(level, row.at("lab")), row.at("mark"))
                << "level " << row.at("level") << ", laboratory " << row.at("lab");
        }
        for (const auto& row : precision) {
            if (row.at("exclude") != excluded) {
                continue;
            }
            const JValue& level = levels.at(std::stoul(row.at("level")) - 1);
            SCOPED_TRACE("level " + row.at("level"));
            struct Figure {
                const char* Key;
                const char* Column;
            } figures[] = {{"CochranStat", "cochranC"},
                           {"GrubbsStat", "grubbsG"},
                           {"Sr", "sr"},
                           {"SL", "sL"},
                           {"SR", "sR"},
                           {"r", "r"},
                           {"R", "R"}};
            for (const Figure& f : figures) {
                ASSERT_EQ(level[f.Key].Type, JValue::Number) << f.Key;
                EXPECT_TRUE(Near(level[f.Key].N, std::stod(row.at(f.Column)), 1e-9))
                    << f.Key << " " << level[f.Key].N << " expected " << row.at(f.Column);
            }
            // The limits are 2.8 times the standard deviations.
            EXPECT_TRUE(Near(level["r"].N, 2.8 * level["Sr"].N, 1e-12));
            EXPECT_TRUE(Near(level["R"].N, 2.8 * level["SR"].N, 1e-12));
        }
    }
}

// The verdicts that the lead example was made for, and what the exclusion
// of the Cochran outlier changes.
TEST(CliEvaluate, ExcludingTheCochranOutlierOfTheLeadExample) {
    const JValue plain = EvaluateLead("");
    const JValue without = EvaluateLead(" --exclude L07");
    const auto& a = plain["Levels"].Items;
    const auto& b = without["Levels"].Items;
    ASSERT_EQ(a.size(), 3u);
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(MarkOf(a[0], "L07"), "C") << "Cochran outlier in level 1";
    EXPECT_EQ(MarkOf(a[1], "L03"), "g") << "Grubbs straggler in level 2";
    EXPECT_EQ(MarkOf(a[1], "L07"), " ");
    EXPECT_EQ(MarkOf(a[2], "L07"), " ");
    for (std::size_t lv = 0; lv < 3; ++lv) {
        SCOPED_TRACE("level " + std::to_string(lv + 1));
        EXPECT_EQ(MarkOf(b[lv], "L07"), "L");
        EXPECT_EQ(b[lv]["NoOfValidLabs"].N, 11) << "L07 no longer counts";
        for (const char* key : {"Sr", "SL", "SR", "r", "R"}) {
            EXPECT_TRUE(b[lv].Has(key)) << key;
        }
    }
    EXPECT_EQ(MarkOf(b[1], "L03"), "g") << "the straggler stays";
    // Level 1 had L07 out already as an outlier: its precision stays, but
    // the Cochran test now starts without it.
    EXPECT_DOUBLE_EQ(b[0]["Sr"].N, a[0]["Sr"].N);
    EXPECT_LT(b[0]["CochranStat"].N, a[0]["CochranStat"].N);
    // In the other levels L07 counted and every figure follows its removal.
    for (std::size_t lv : {1u, 2u}) {
        EXPECT_NE(b[lv]["Sr"].N, a[lv]["Sr"].N) << "level " << lv + 1;
        EXPECT_NE(b[lv]["SR"].N, a[lv]["SR"].N) << "level " << lv + 1;
    }
    // Codes are compared without regard to letter case.
    const JValue lower = EvaluateLead(" --exclude l07");
    ASSERT_EQ(lower["ExcludedLabs"].Items.size(), 1u);
    EXPECT_EQ(lower["ExcludedLabs"].Items[0].S, "L07");
}

TEST(CliEvaluate, AnUnknownLaboratoryCodeIsRefused) {
    const fs::path err = TestDir() / "err.txt";
    for (const char* code : {"L99", "L07X", "101"}) {
        const Result r =
            RunCli("stats " + LeadExample().string() + " --json --evaluate --exclude " + code, err);
        EXPECT_EQ(r.Status, 1) << code;
        EXPECT_TRUE(r.Out.empty()) << code << "\n" << r.Out;
        EXPECT_NE(ReadText(err).find(std::string("the study has no laboratory ") + code),
                  std::string::npos)
            << ReadText(err);
    }
}

// Mandel's h and k of every level after the outlier tests, with and without
// the exclusion of L07, against scripts/labs/mandel_reference.R; the
// critical values of the count of values as printed in ISO 5725-2 (n = 4),
// and the marks that follow from both.
TEST(CliEvaluate, MandelStatisticsOfTheLeadExample) {
    const auto rows = ReadCsv(fs::path(VELTRIO_TEST_DATA) / "cli" / "LEAD.evaluate.mandel.csv");
    ASSERT_EQ(rows.size(), 2u * 3u * 12u);
    // p -> h 5 %, h 1 %, k 5 %, k 1 % (n = 4).
    const std::map<int, std::array<double, 4>> printed = {{11, {1.82, 2.22, 1.58, 1.85}},
                                                          {12, {1.83, 2.25, 1.58, 1.85}}};
    for (const std::string excluded : {"", "L07"}) {
        SCOPED_TRACE("excluded: " + excluded);
        const JValue doc = EvaluateLead(excluded.empty() ? "" : " --exclude " + excluded);
        const auto& levels = doc["Levels"].Items;
        ASSERT_EQ(levels.size(), 3u);
        for (int lv = 1; lv <= 3; ++lv) {
            SCOPED_TRACE("level " + std::to_string(lv));
            const JValue& level = levels[static_cast<std::size_t>(lv - 1)];
            std::vector<std::map<std::string, std::string>> labs;
            for (const auto& r : rows) {
                if (r.at("exclude") == excluded && std::stoi(r.at("level")) == lv) {
                    labs.push_back(r);
                }
            }
            ASSERT_EQ(labs.size(), 12u);
            for (const char* statistic : {"h", "k"}) {
                const bool h = std::string(statistic) == "h";
                const JValue& m = level[h ? "MandelH" : "MandelK"];
                ASSERT_EQ(m["Values"].Items.size(), 12u) << statistic;
                ASSERT_EQ(m["Marks"].Items.size(), 12u) << statistic;
                int count = 0;
                for (const auto& r : labs) {
                    count += r.at(statistic) == "NA" ? 0 : 1;
                }
                EXPECT_EQ(m["ValueCount"].N, count) << statistic;
                const auto& crit = printed.at(count);
                const double c5 = crit[h ? 0 : 2], c1 = crit[h ? 1 : 3];
                EXPECT_EQ(m["Critical5"].N, c5) << statistic;
                EXPECT_EQ(m["Critical1"].N, c1) << statistic;
                for (std::size_t i = 0; i < labs.size(); ++i) {
                    const auto& r = labs[i];
                    const JValue& v = m["Values"].Items[i];
                    const std::string where = std::string(statistic) + " " + r.at("lab");
                    if (r.at(statistic) == "NA") {
                        EXPECT_EQ(v.Type, JValue::Null) << where;
                        EXPECT_EQ(m["Marks"].Items[i].S, "") << where;
                        continue;
                    }
                    ASSERT_EQ(v.Type, JValue::Number) << where;
                    const double expected = std::stod(r.at(statistic));
                    EXPECT_TRUE(Near(v.N, expected, 1e-10)) << where << " " << v.N;
                    const double tested = h ? std::abs(expected) : expected;
                    const std::string letter =
                        r.at("mark") == (h ? "G" : "C") ? r.at("mark") : std::string();
                    EXPECT_EQ(m["Marks"].Items[i].S,
                              letter + (tested >= c5 ? "*" : "") + (tested >= c1 ? "*" : ""))
                        << where;
                }
            }
        }
    }
}

namespace {

const fs::path SpikeStudy() {
    return fs::path(VELTRIO_TEST_DATA) / "preliminary" / "SPIKE.PAR";
}

JValue Evaluate(const fs::path& study, const std::string& extra) {
    const fs::path err = TestDir() / "err.txt";
    const Result r = RunCli("stats " + study.string() + " --json --evaluate" + extra, err);
    EXPECT_EQ(r.Status, 0) << extra << "\n" << ReadText(err);
    try {
        return JReader(r.Out).Document();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "not JSON (" << e.what() << "):\n" << r.Out;
        return {};
    }
}

} // namespace

// The pair differences and the recovery of the split-level study with a
// spiking error against scripts/preliminary/recovery_pairs_reference.R; the
// correction makes K09 a Cochran outlier, and only when it is on.
TEST(CliEvaluate, RecoveryAndPairDifferencesAgreeWithR) {
    const auto ref =
        ReadCsv(fs::path(VELTRIO_TEST_DATA) / "preliminary" / "recovery_pairs_reference.csv");
    ASSERT_EQ(ref.size(), 2u);
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on);
        const JValue doc =
            Evaluate(SpikeStudy(), std::string(" --auto-split-correction ") + (on ? "on" : "off"));
        EXPECT_EQ(doc["AutoSplitCorrection"].B, on);
        EXPECT_EQ(doc["SignificantLevels"].N, 1);
        const auto& levels = doc["Levels"].Items;
        ASSERT_EQ(levels.size(), 2u);
        // Off: a Grubbs straggler, which stays in the figures.
        EXPECT_EQ(MarkOf(levels[0], "K09"), on ? "C" : "g");
        for (std::size_t i = 0; i < 2; ++i) {
            SCOPED_TRACE(i + 1);
            const auto& row = ref[i];
            const JValue& split = levels[i]["SplitControl"];
            struct Figure {
                const char* Json;
                const char* R;
            };
            for (const Figure f : {Figure{"MeanDifference", "pairs_mean"},
                                   Figure{"TValue", "pairs_t"}, Figure{"PValue", "pairs_P"},
                                   Figure{"DiffSD", "pairs_sd"},
                                   Figure{"DiffVariance", "pairs_var"}}) {
                ASSERT_EQ(split[f.Json].Type, JValue::Number) << f.Json;
                EXPECT_TRUE(Near(split[f.Json].N, std::stod(row.at(f.R)), 1e-8))
                    << f.Json << " " << split[f.Json].N;
            }
            EXPECT_EQ(split["NoOfLabs"].N, std::stod(row.at("pairs_p")));
            if (on && i == 0) {
                // Without the outlier K09 the recovery is another one.
                EXPECT_EQ(levels[i]["RecoveryControl"]["NoOfLabs"].N, 8);
                continue;
            }
            const JValue& rec = levels[i]["RecoveryControl"];
            for (const Figure f :
                 {Figure{"MeanOfMeans", "rec_mean"}, Figure{"TValue", "rec_t"},
                  Figure{"PValue", "rec_P"}, Figure{"SD", "rec_sd"},
                  Figure{"Variance", "rec_var"}}) {
                ASSERT_EQ(rec[f.Json].Type, JValue::Number) << f.Json;
                EXPECT_TRUE(Near(rec[f.Json].N, std::stod(row.at(f.R)), 1e-8))
                    << f.Json << " " << rec[f.Json].N;
            }
            EXPECT_EQ(rec["NoOfLabs"].N, std::stod(row.at("rec_p")));
        }
    }
}

TEST(CliEvaluate, MissingFiguresAreNullAndUniformStudiesHaveNoPairs) {
    // The second level of the nitrate example has no assigned value.
    const JValue nitrate =
        Evaluate(fs::path(VELTRIO_SOURCE_DIR) / "examples" / "NITRATE.PAR", "");
    const auto& levels = nitrate["Levels"].Items;
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_EQ(levels[0]["RecoveryControl"]["TValue"].Type, JValue::Number);
    EXPECT_EQ(levels[1]["RecoveryControl"]["TValue"].Type, JValue::Null);
    EXPECT_EQ(levels[1]["RecoveryControl"]["PValue"].Type, JValue::Null);
    EXPECT_EQ(levels[1]["RecoveryControl"]["MeanOfMeans"].Type, JValue::Number);
    EXPECT_EQ(levels[1]["SplitControl"]["TValue"].Type, JValue::Number);
    const JValue lead = EvaluateLead("");
    EXPECT_EQ(lead["SignificantLevels"].N, 0);
    for (const JValue& level : lead["Levels"].Items) {
        EXPECT_EQ(level["SplitControl"].Type, JValue::Null);
        EXPECT_EQ(level["RecoveryControl"]["NoOfLabs"].Type, JValue::Number);
    }
}

TEST(Cli, RunsThePairsTheRecoveryAndTheResidualPlots) {
    const fs::path dir = TestDir();
    const fs::path out = dir / "out";
    fs::remove_all(out);
    const fs::path err = dir / "err.txt";
    // Cochran twice with the correction on and no pairs computed: the
    // dialog's text once.
    Result r = RunCli("run " + SpikeStudy().string() +
                          " --auto-split-correction on --procedure cochran-outliers"
                          " --procedure cochran-outliers --procedure"
                          " differences-within-sample-pairs --procedure control-of-recovery-rates"
                          " --format txt --out " + out.string(),
                      err);
    ASSERT_EQ(r.Status, 0) << ReadText(err);
    const std::string said = ReadText(err);
    const std::string caption = "Cocran without spiking correction";
    ASSERT_NE(said.find(caption), std::string::npos) << said;
    EXPECT_EQ(said.find(caption, said.find(caption) + 1), std::string::npos) << said;
    EXPECT_NE(ReadText(out / "03-differences-within-sample-pairs.txt")
                  .find("Automatic spiking correction is on"),
              std::string::npos);
    EXPECT_NE(ReadText(out / "04-control-of-recovery-rates.txt").find("Control of recovery rates"),
              std::string::npos);
    // The residual plots only say that they are not there.
    r = RunCli("run " + SpikeStudy().string() + " --procedure residual-plots --format txt --out " +
                   out.string(),
               err);
    EXPECT_NE(ReadText(err).find("Residual plots are not available"), std::string::npos);
    // A run of every procedure leaves them out.
    fs::remove_all(out);
    r = RunCli("run " + SpikeStudy().string() + " --format txt --out " + out.string(), err);
    ASSERT_EQ(r.Status, 0) << ReadText(err);
    EXPECT_EQ(ReadText(err).find("Residual plots"), std::string::npos);
    EXPECT_EQ(RunCli("run " + SpikeStudy().string() + " --auto-split-correction yes", err).Status,
              2);
}

namespace {

fs::path QualityStudy(const std::string& name) {
    return fs::path(VELTRIO_TEST_DATA) / "quality" / (name + ".PAR");
}

} // namespace

// The weight function, the regression and ISO Guide 35 of the studies in
// which the outlier tests mark nothing, against
// scripts/quality/regression_reference.R; null for what R leaves NA.
TEST(CliEvaluate, WeightsRegressionAndISOGuideAgreeWithR) {
    const auto rows =
        ReadCsv(fs::path(VELTRIO_TEST_DATA) / "quality" / "regression_reference.csv");
    for (const std::string name : {"REG_TWENTY", "REG_TWO_LEVELS", "REG_NEGATIVE"}) {
        SCOPED_TRACE(name);
        const JValue doc = Evaluate(QualityStudy(name), "");
        const JValue& w = doc["Weights"];
        const JValue& reg = doc["Regression"];
        ASSERT_EQ(w.Type, JValue::Object);
        ASSERT_EQ(reg.Type, JValue::Object);
        int compared = 0;
        for (const auto& r : rows) {
            // s(R) and the one-laboratory fit are not in the JSON figures.
            if (r.at("study") != name || r.at("name") == "SR" ||
                r.at("name").rfind("Lab.", 0) == 0) {
                continue;
            }
            const std::string f = r.at("name");
            const auto i = static_cast<std::size_t>(std::stoi(r.at("index")));
            SCOPED_TRACE(f + " " + r.at("index"));
            const JValue* v = nullptr;
            if (f == "Intercept" || f == "Slope" || f == "RSquared" || f == "RelationValid") {
                v = &w[f].Items.at(i);
            } else if (f == "WeightOfLevel") {
                v = &w[f].Items.at(i - 1);
            } else if (f == "BestRelation") {
                v = &w[f];
            } else if (f == "LevelMean" || f == "LabCount" || f == "StdError" ||
                       f == "LowerLimit" || f == "UpperLimit") {
                v = &doc["Levels"].Items.at(i - 1)["ISOGuide"][f];
            } else {
                v = &reg[f];
            }
            ++compared;
            if (r.at("value") == "NA") {
                EXPECT_EQ(v->Type, JValue::Null);
                continue;
            }
            const double ref = std::stod(r.at("value"));
            if (f == "RelationValid") {
                ASSERT_EQ(v->Type, JValue::Bool);
                EXPECT_EQ(v->B, ref == 1);
                continue;
            }
            ASSERT_EQ(v->Type, JValue::Number);
            const double tolerance = f == "LowerLimit" || f == "UpperLimit" ? 1e-4 : 1e-8;
            EXPECT_TRUE(Near(v->N, ref, tolerance)) << v->N << " vs " << ref;
        }
        EXPECT_GT(compared, 40);
        EXPECT_EQ(w["CurrentRelation"].N, w["BestRelation"].N);
    }
}

TEST(CliEvaluate, WeightRelationChoosesAndRefuses) {
    // Relation 3 is valid in this study: it is current, its weights differ.
    const JValue chosen = Evaluate(QualityStudy("REG_NEGATIVE"), " --weight-relation 3");
    EXPECT_EQ(chosen["Weights"]["CurrentRelation"].N, 3);
    EXPECT_EQ(chosen["Weights"]["BestRelation"].N, 1);
    ASSERT_EQ(chosen["Regression"].Type, JValue::Object);
    // A relation that gives no weight at the negative assigned value: refused
    // with its reason, and no weight function.
    const fs::path err = TestDir() / "err.txt";
    const Result refused = RunCli(
        "stats " + QualityStudy("REG_NEGATIVE").string() + " --json --evaluate --weight-relation 2",
        err);
    EXPECT_NE(ReadText(err).find("does not give a positive weight"), std::string::npos);
    const JValue doc = JReader(refused.Out).Document();
    EXPECT_EQ(doc["Weights"]["CurrentRelation"].Type, JValue::Null);
    EXPECT_EQ(doc["Regression"].Type, JValue::Null);
    // Not a relation at all: wrong usage.
    for (const char* bad : {"5", "x", "-1", "12"}) {
        const Result r = RunCli("stats " + QualityStudy("REG_NEGATIVE").string() +
                                    " --json --evaluate --weight-relation " + bad,
                                err);
        EXPECT_EQ(r.Status, 2) << bad;
        EXPECT_NE(ReadText(err).find("--weight-relation takes best or a relation number 0 to 4"),
                  std::string::npos);
    }
}

TEST(Cli, RegressionProceduresRunAndSayWhatIsMissing) {
    const fs::path out = TestDir() / "out";
    const fs::path err = TestDir() / "err.txt";
    fs::remove_all(out);
    const std::string study = QualityStudy("GLUC_ASSIGNED").string();
    const Result r = RunCli("run " + study +
                                " --procedure determination-of-weight-function"
                                " --procedure regression-analysis --procedure iso-guide-35-1989"
                                " --procedure regression-analysis-on-a-laboratory --lab L03"
                                " --format txt,svg --out " + out.string(),
                            err);
    EXPECT_EQ(r.Status, 0) << ReadText(err);
    for (const char* f : {"01-determination-of-weight-function-1.svg",
                          "02-determination-of-weight-function-2.txt",
                          "iso-guide-35-1989.txt"}) {
        bool found = false;
        for (const auto& e : fs::directory_iterator(out)) {
            found = found || e.path().filename().string().find(f) != std::string::npos;
        }
        EXPECT_TRUE(found) << f;
    }
    // Without --lab the one-laboratory regression is skipped with a message.
    const Result noLab = RunCli("run " + study +
                                    " --procedure regression-analysis-on-a-laboratory --out " +
                                    out.string(),
                                err);
    EXPECT_EQ(noLab.Status, 1);
    EXPECT_NE(ReadText(err).find("name it with --lab CODE"), std::string::npos);
    EXPECT_NE(ReadText(err).find("regression-analysis-on-a-laboratory was skipped"),
              std::string::npos);
    // A study with one replicate has no s(R): no weight function, said.
    const Result one = RunCli("run " + QualityStudy("REG_ONE_REPLICATE").string() +
                                  " --procedure regression-analysis --out " + out.string(),
                              err);
    EXPECT_EQ(one.Status, 1);
    EXPECT_NE(ReadText(err).find("the weight function cannot be determined"), std::string::npos);
}

// The method evaluation and the histograms of the study of method groups
// in stats --json --evaluate (default settings: codes without regard to
// case, the group without code in use) against
// scripts/tools/method_evaluation_reference.R and
// scripts/tools/histogram_reference.R.
TEST(CliEvaluate, MethodEvaluationAndHistogramsAgreeWithR) {
    const fs::path tools = fs::path(VELTRIO_TEST_DATA) / "tools";
    const JValue doc = Evaluate(tools / "METHODS.PAR", "");
    const auto& levels = doc["Levels"].Items;
    ASSERT_EQ(levels.size(), 3u);
    const auto tests = ReadCsv(tools / "method_tests_reference.csv");
    const auto groups = ReadCsv(tools / "method_groups_reference.csv");
    const auto hist = ReadCsv(tools / "histogram_reference.csv");
    const std::string variant = "METHODS.PAR:nocase:missing";
    auto expectFigure = [](const JValue& v, const std::string& r, double rel, const char* what) {
        if (r == "NA") {
            EXPECT_EQ(v.Type, JValue::Null) << what;
        } else {
            ASSERT_EQ(v.Type, JValue::Number) << what;
            EXPECT_TRUE(Near(v.N, std::stod(r), rel)) << what << " " << v.N << " vs " << r;
        }
    };
    for (int lv = 1; lv <= 3; ++lv) {
        SCOPED_TRACE(lv);
        const JValue& m = levels[static_cast<std::size_t>(lv - 1)]["MethodEvaluation"];
        for (const auto& row : tests) {
            if (row.at("variant") != variant || std::stoi(row.at("level")) != lv) {
                continue;
            }
            EXPECT_EQ(m["TotalN"].N, std::stod(row.at("TotalN")));
            EXPECT_EQ(m["Groups"].Items.size(), std::stoul(row.at("k")));
            for (const char* f : {"B", "L", "Z", "H"}) {
                expectFigure(m[f], row.at(f), 1e-9, f);
            }
            for (const char* f : {"PB", "PL", "PZ", "PH"}) {
                expectFigure(m[f], row.at(f), 1e-7, f);
            }
        }
        // The document's order: no code, M2, m3, M10.
        std::vector<std::string> codes;
        for (const JValue& g : m["Groups"].Items) {
            codes.push_back(g["Code"].S);
            for (const auto& row : groups) {
                if (row.at("variant") == variant && std::stoi(row.at("level")) == lv &&
                    row.at("code") == g["Code"].S) {
                    EXPECT_EQ(g["N"].N, std::stod(row.at("n")));
                    expectFigure(g["Mean"], row.at("mean"), 1e-12, "Mean");
                    expectFigure(g["SD"], row.at("sd"), 1e-12, "SD");
                }
            }
        }
        if (lv == 1) {
            EXPECT_EQ(codes, (std::vector<std::string>{"", "M2", "m3", "M10"}));
        }
        const JValue& h = levels[static_cast<std::size_t>(lv - 1)]["Histogram"];
        for (const auto& row : hist) {
            if (row.at("file") != "METHODS.PAR" || std::stoi(row.at("level")) != lv) {
                continue;
            }
            expectFigure(h["ClassWidth"], row.at("width"), 1e-12, "ClassWidth");
            ASSERT_EQ(h["Counts"].Items.size(), 17u);
            for (int i = 1; i <= 17; ++i) {
                EXPECT_EQ(h["Counts"].Items[static_cast<std::size_t>(i - 1)].N,
                          std::stod(row.at("count" + std::to_string(i))));
            }
            expectFigure(h["GNormal"], row.at("G"), 1e-6, "GNormal");
            expectFigure(h["pNormal"], row.at("p"), 1e-6, "pNormal");
            expectFigure(h["GLognormal"], row.at("Gl"), 1e-6, "GLognormal");
            expectFigure(h["pLognormal"], row.at("pl"), 1e-6, "pLognormal");
        }
    }
}

// A lognormal fit that was dropped (negative values) is null.
TEST(CliEvaluate, HistogramNullForADroppedLognormalFit) {
    const JValue doc =
        Evaluate(fs::path(VELTRIO_TEST_DATA) / "tools" / "ISO16269.PAR", "");
    const JValue& h = doc["Levels"].Items.at(0)["Histogram"];
    ASSERT_EQ(h.Type, JValue::Object);
    EXPECT_EQ(h["GLognormal"].Type, JValue::Null);
    EXPECT_EQ(h["pLognormal"].Type, JValue::Null);
    EXPECT_EQ(h["pNormal"].Type, JValue::Number);
}

// The method groups of the confidence ellipses from the command line: a
// chart for the groups given, an unknown code refused with its message,
// wrong usage refused before anything runs.
TEST(Cli, ConfidenceEllipsesTakeTheirMethodGroups) {
    const fs::path study = fs::path(VELTRIO_TEST_DATA) / "tools" / "CREOSOTE_M.PAR";
    const fs::path err = TestDir() / "err.txt";
    const fs::path out = TestDir() / "ellipses";
    fs::remove_all(out);
    const Result ok = RunCli("run " + study.string() +
                                 " --procedure confidence-ellipses --method-group A,b"
                                 " --method-group C --ellipse-display numbers --format svg --out " +
                                 out.string(),
                             err);
    ASSERT_EQ(ok.Status, 0) << ReadText(err);
    bool found = false;
    for (const auto& f : fs::directory_iterator(out)) {
        if (f.path().extension() == ".svg") {
            const std::string svg = ReadText(f.path());
            // Labelled with the study's spelling of the codes; C has no ellipse.
            EXPECT_NE(svg.find("A &amp; B"), std::string::npos);
            EXPECT_NE(svg.find("C (no ellipse)"), std::string::npos);
            found = true;
        }
    }
    EXPECT_TRUE(found);
    const Result unknown = RunCli("run " + study.string() +
                                      " --procedure confidence-ellipses --method-group X --out " +
                                      out.string(),
                                  err);
    EXPECT_EQ(unknown.Status, 1);
    EXPECT_NE(ReadText(err).find("no laboratory with the method code \"X\""), std::string::npos);
    std::string six;
    for (int i = 0; i < 6; ++i) {
        six += " --method-group A";
    }
    for (const std::string& args : {std::string(" --method-group A,"), six,
                                    std::string(" --ellipse-display dots")}) {
        EXPECT_EQ(RunCli("run " + study.string() + args + " --out " + out.string(), err).Status, 2)
            << args;
    }
}

// The performance scores in the figures of `stats --evaluate`: per level of
// a uniform study one object, per level of a split-level study an array of
// the two samples; the choices of the command line reach them, and a wrong
// choice is a usage error. The figures themselves are checked against R
// in the tests of the scores.
TEST(CliEvaluate, PerformanceScoresFollowTheChoices) {
    const fs::path scores = fs::path(VELTRIO_TEST_DATA) / "labs" / "SCORES.PAR";
    const JValue byDefault = Evaluate(scores, "");
    const auto& levels = byDefault["Levels"].Items;
    ASSERT_EQ(levels.size(), 3u);
    const JValue& a = levels[0]["Scores"];
    ASSERT_EQ(a.Type, JValue::Object);
    EXPECT_EQ(a["AssignedValue"].N, 20.0);
    EXPECT_TRUE(a["AssignedFromFile"].B);
    EXPECT_EQ(a["UncertaintyOfAssigned"].Type, JValue::Null);
    EXPECT_EQ(a["SigmaPT"].N, a["AlgorithmA"]["SD"].N);
    EXPECT_EQ(a["AlgorithmA"]["NoOfLabs"].N, 11);
    ASSERT_EQ(a["z"].Items.size(), 12u);
    EXPECT_EQ(a["z"].Items[3].Type, JValue::Null) << "S04 is excluded";
    EXPECT_EQ(a["zPrime"].Items[0].Type, JValue::Null) << "no u(X) for the file's value";
    // Level B has no assigned value: the consensus.
    EXPECT_FALSE(levels[1]["Scores"]["AssignedFromFile"].B);
    EXPECT_EQ(levels[1]["Scores"]["zPrime"].Items[0].Type, JValue::Number);

    const JValue chosen = Evaluate(scores, " --assigned file --sigma-pt 0.5,2,0.1");
    const auto& l = chosen["Levels"].Items;
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0]["Scores"]["SigmaPT"].N, 0.5);
    EXPECT_NEAR(l[0]["Scores"]["z"].Items[0].N, (20.3 - 20.0) / 0.5, 1e-12);
    EXPECT_EQ(l[1]["Scores"]["Problem"].S, "NoAssignedValue");
    EXPECT_EQ(l[1]["Scores"]["z"].Items[0].Type, JValue::Null);
    EXPECT_EQ(l[2]["Scores"]["SigmaPT"].N, 0.1);

    const JValue split = Evaluate(SpikeStudy(), "");
    const JValue& pair = split["Levels"].Items[0]["Scores"];
    ASSERT_EQ(pair.Type, JValue::Array);
    ASSERT_EQ(pair.Items.size(), 2u);
    EXPECT_EQ(pair.Items[0]["Sample"].S, "A1");
    // The spiked sample on its values as reported: its assigned value is
    // the level's plus the spike of 2.
    EXPECT_EQ(pair.Items[1]["AssignedValue"].N, 22.0);

    const fs::path err = TestDir() / "err.txt";
    for (const std::string bad :
         {" --assigned median", " --sigma-pt 0", " --sigma-pt 1,x", " --sigma-pt 1,2,3,4",
          " --sigma-pt -1", " --sigma-pt robustly"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(RunCli("stats " + scores.string() + " --json --evaluate" + bad, err).Status, 2);
        EXPECT_NE(ReadText(err).find(bad.substr(1, bad.find(' ', 1) - 1)), std::string::npos);
    }
}
