// Fast feedback forms: which rounds of files are accepted, the figures and
// residual classes against R (scripts/tools/fast_feedback_reference.R), the
// laboratories matched by code, files that vanish or change, the user's
// study and switches kept, the table file, the month names, golden forms.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "base/AtomicFile.h"
#include "documents/Contents.h"
#include "documents/Table.h"
#include "study/PreliminaryStats.h"
#include "study/StudyFixture.h"
#include "study/Transformations.h"
#include "support/GoldenDocument.h"
#include "tools/QuickResponse.h"

namespace fs = std::filesystem;
using namespace veltrio;
using namespace veltrio::testing;

namespace {

const fs::path kData = fs::path(VELTRIO_TEST_DATA) / "tools";

struct TShownDocument {
    std::shared_ptr<TTavContents> Document;
    std::string Caption;
    int HelpContext = 0;
};

class FeedbackHost : public RecordingHost {
public:
    std::vector<TShownDocument> Shown;
    void ShowDocument(std::shared_ptr<TTavContents> d, const std::string& caption,
                      int help) override {
        Shown.push_back({std::move(d), caption, help});
    }
};

class QuickResponseTest : public ::testing::Test {
protected:
    QuickResponseTest() : program(host) {
        EXPECT_TRUE(program.TextLib.OpenTextLibrary(fs::path(VELTRIO_BIN_DIR) / "ENGLISH.TEX"));
        InstallTransformations(program);
        program.FixedDate = "2026-12-10";
    }

    void Choose(const std::vector<std::string>& names) {
        qr.ClearFiles();
        for (const auto& n : names) {
            ASSERT_TRUE(qr.AddFile(kData / n)) << n;
        }
        qr.LastLab = 7;
    }

    // Runs the whole generation without a table file; the document shown.
    TTavContents* Run(const std::vector<std::string>& names, bool resistant = true) {
        Choose(names);
        qr.ResistantResiduals = resistant;
        qr.SaveAsFile = false;
        const std::size_t before = host.Shown.size();
        if (!qr.Generate(program, {}) || host.Shown.size() != before + 1) {
            return nullptr;
        }
        return host.Shown.back().Document.get();
    }

    // The data tables of the document (those with 11 columns and a head).
    static std::vector<const TTavTable*> DataTables(const TTavContents& doc) {
        std::vector<const TTavTable*> tables;
        for (std::size_t i = 0; i < doc.Count(); ++i) {
            if (const auto* t = dynamic_cast<const TTavTable*>(&doc.Item(i))) {
                tables.push_back(t);
            }
        }
        return tables;
    }

    static std::string CellText(const TTavTable& t, int row, int col) {
        const auto lines = t.ReadCell(row, col)->TextLines();
        return lines.empty() ? "" : lines.front();
    }

    FeedbackHost host;
    Program program;
    TQuickResponse qr;
};

// ---------------------------------------------------------------------------
// Which sets of files make a round.

struct RoundCase {
    const char* Name;
    std::vector<std::string> Files;
    bool Accepted;
    // Words the refusal must hold.
    std::vector<std::string> MessageHolds;
};

const RoundCase kRoundCases[] = {
    {"three files of one round", {"ROUND_1.PAR", "ROUND_2.PAR", "ROUND_3.PAR"}, true, {}},
    {"test id in another case", {"ROUND_1.PAR", "ROUND_3_CASE.PAR"}, true, {}},
    {"laboratory lines permuted", {"ROUND_1.PAR", "ROUND_2_PERMUTED.PAR"}, true, {}},
    {"a file with a transformation", {"ROUND_1.PAR", "ROUND_2_LN.PAR"}, true, {}},
    {"one file alone", {"SPLIT_1.PAR"}, true, {}},
    {"another number of laboratories", {"ROUND_1.PAR", "DIFFER_NLABS.PAR"}, false, {FilesVaryText}},
    {"another test id", {"ROUND_1.PAR", "DIFFER_TESTID.PAR"}, false, {FilesVaryText}},
    {"another number of replicates", {"ROUND_1.PAR", "SPLIT_1.PAR"}, false, {FilesVaryText}},
    {"a laboratory code missing",
     {"ROUND_1.PAR", "MISSING_CODE.PAR"},
     false,
     {"L07", "ROUND_1.PAR", "MISSING_CODE.PAR", "Fast feedback cannot be executed."}},
};

TEST_F(QuickResponseTest, RoundsOfFilesAreAcceptedOrRefusedWithTheirMessage) {
    for (const auto& c : kRoundCases) {
        SCOPED_TRACE(c.Name);
        host.Messages.clear();
        Choose(c.Files);
        EXPECT_EQ(qr.CheckFiles(program), c.Accepted);
        if (c.Accepted) {
            EXPECT_TRUE(host.Messages.empty());
            continue;
        }
        ASSERT_EQ(host.Messages.size(), 1u);
        for (const auto& word : c.MessageHolds) {
            EXPECT_NE(host.Messages[0].find(word), std::string::npos) << host.Messages[0];
        }
        // A refused round shows no document.
        qr.SaveAsFile = false;
        const std::size_t shown = host.Shown.size();
        EXPECT_FALSE(qr.Generate(program, {}));
        EXPECT_EQ(host.Shown.size(), shown);
    }
}

// ---------------------------------------------------------------------------
// Figures and residual classes against R.

std::vector<std::map<std::string, std::string>> ReadCsv(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::vector<std::string> names;
    std::vector<std::map<std::string, std::string>> rows;
    auto split = [](const std::string& l) {
        std::vector<std::string> parts;
        std::stringstream ss(l);
        std::string p;
        while (std::getline(ss, p, ',')) {
            const auto b = p.find_first_not_of(' ');
            parts.push_back(b == std::string::npos ? "" : p.substr(b));
        }
        return parts;
    };
    if (std::getline(in, line)) {
        names = split(line);
    }
    while (std::getline(in, line)) {
        const auto parts = split(line);
        std::map<std::string, std::string> row;
        for (std::size_t i = 0; i < names.size() && i < parts.size(); ++i) {
            row[names[i]] = parts[i];
        }
        rows.push_back(row);
    }
    return rows;
}

double Num(const std::string& s) {
    return std::strtod(s.c_str(), nullptr);
}

void ExpectClose(double actual, const std::string& expected, const std::string& what) {
    const double e = Num(expected);
    EXPECT_NEAR(actual, e, 1e-12 * std::max(1.0, std::fabs(e))) << what;
}

TEST_F(QuickResponseTest, CentreAndSpreadAgreeWithR) {
    const auto rows = ReadCsv(kData / "fast_feedback_figures.csv");
    ASSERT_GT(rows.size(), 20u);
    for (const auto& r : rows) {
        const std::string what =
            r.at("file") + " level " + r.at("level") + " column " + r.at("column");
        Choose({r.at("file")});
        ASSERT_TRUE(qr.CheckFiles(program)) << what;
        qr.ComputeFileStats(program);
        const TFeedbackFile& f = qr.FileNames.front();
        // R's figures are on the stored scale: a spiked sample without its
        // spike.
        const TPreliminaryStats& p = f.FiguresOfStoredValues();
        const int lv = std::stoi(r.at("level")), col = std::stoi(r.at("column"));
        const TLevel& level = f.Study->Level(lv);
        const bool spiked = f.Study->Design == dkSplitLevel && col == level.SpikedSample &&
                            level.Spiking != MissingValue;
        // The figures of the report carry the spike in the spiked column.
        const double spike = spiked ? level.Spiking : 0.0;
        EXPECT_NEAR(TPreliminaryStats::At(f.Stats->DescMedian, lv, col) - spike,
                    TPreliminaryStats::At(p.DescMedian, lv, col), 1e-12)
            << what;
        EXPECT_EQ(TPreliminaryStats::At(p.DescUsable, lv, col), std::stoi(r.at("n"))) << what;
        ExpectClose(TPreliminaryStats::At(p.DescMedian, lv, col), r.at("median"), what + " median");
        ExpectClose(TPreliminaryStats::At(p.DescRobustSD, lv, col), r.at("robust_sd"),
                    what + " robust sd");
        ExpectClose(TPreliminaryStats::At(p.DescMean, lv, col), r.at("mean"), what + " mean");
        ExpectClose(TPreliminaryStats::At(p.DescSD, lv, col), r.at("sd"), what + " sd");
    }
}

TEST_F(QuickResponseTest, ResidualClassesAndShownCentresAgreeWithR) {
    const auto rows = ReadCsv(kData / "fast_feedback_residuals.csv");
    ASSERT_GT(rows.size(), 500u);
    std::map<std::pair<std::string, bool>, TTavContents*> forms;
    std::map<std::pair<std::string, bool>, std::vector<std::string>> codes;
    int checked = 0, withoutResidual = 0;
    for (const auto& r : rows) {
        const bool resistant = r.at("kind") == "resistant";
        const auto key = std::make_pair(r.at("file"), resistant);
        if (!forms.count(key)) {
            forms[key] = Run({r.at("file")}, resistant);
            ASSERT_NE(forms[key], nullptr) << r.at("file");
        }
        const auto tables = DataTables(*forms[key]);
        // One table a laboratory (one file); laboratory index by the form's
        // head line "Laboratory CODE".
        int form = -1, n = 0;
        const auto text = forms[key]->AsStrings();
        for (const auto& line : text) {
            if (line.rfind(program.LibText(4, 2) + " ", 0) == 0) {
                if (line == program.LibText(4, 2) + " " + r.at("code")) {
                    form = n;
                }
                ++n;
            }
        }
        ASSERT_GE(form, 0) << r.at("code");
        ASSERT_EQ(static_cast<int>(tables.size()), n);
        const TTavTable& t = *tables[static_cast<std::size_t>(form)];
        const int reps = t.RowCount() / 3;
        const int row = (std::stoi(r.at("level")) - 1) * reps + std::stoi(r.at("rep")) - 1;
        const std::string what =
            r.at("file") + " " + r.at("code") + " row " + std::to_string(row) + " " + r.at("kind");
        for (int c = 2; c <= 5; ++c) {
            const std::string expected =
                r.at("class") != "NA" && std::stoi(r.at("class")) + 1 == c ? r.at("sign") : "";
            EXPECT_EQ(CellText(t, row, c), expected) << what << " column " << c;
        }
        withoutResidual += r.at("class") == "NA";
        // The centre as shown, to its last decimal.
        const TTavCell& centre = *t.ReadCell(row, 9);
        EXPECT_NEAR(centre.Value, Num(r.at("shown_centre")), 1e-9) << what;
        ++checked;
    }
    EXPECT_EQ(checked, static_cast<int>(rows.size()));
    // The 'U' laboratory (3 results), the '<' value, in both kinds.
    EXPECT_GE(withoutResidual, 8);
}

// ---------------------------------------------------------------------------
// Laboratories by code.

TEST_F(QuickResponseTest, PermutedLaboratoryLinesGiveEachLaboratoryItsOwnResults) {
    TTavContents* inOrder = Run({"ROUND_1.PAR", "ROUND_2.PAR"});
    ASSERT_NE(inOrder, nullptr);
    const auto expected = inOrder->AsStrings();
    TTavContents* permuted = Run({"ROUND_1.PAR", "ROUND_2_PERMUTED.PAR"});
    ASSERT_NE(permuted, nullptr);
    EXPECT_EQ(permuted->AsStrings(), expected);
    // And the permuted file first: the forms come in its order, each with
    // the laboratory's own values from both files.
    TTavContents* first = Run({"ROUND_2_PERMUTED.PAR", "ROUND_1.PAR"});
    ASSERT_NE(first, nullptr);
    const auto tables = DataTables(*first);
    ASSERT_EQ(tables.size(), 14u);
    // The first line of ROUND_2_PERMUTED is L06 (reversed, first two
    // swapped): its level D values 1.31 1.3 1.31 in ROUND_2.PAR.
    EXPECT_EQ(CellText(*tables[0], 0, 6), "1.31");
    EXPECT_EQ(CellText(*tables[0], 1, 6), "1.3");
    // Its level A values in ROUND_1.PAR: 0.43 0.41 0.4.
    EXPECT_EQ(CellText(*tables[1], 0, 6), "0.43");
    EXPECT_EQ(CellText(*tables[1], 2, 6), "0.4");
}

TEST_F(QuickResponseTest, ExcludedLaboratoryAndValueBelowTheLimitShowTheirValues) {
    TTavContents* doc = Run({"ROUND_1_U_LT.PAR"});
    ASSERT_NE(doc, nullptr);
    const auto tables = DataTables(*doc);
    ASSERT_EQ(tables.size(), 7u);
    // L03 ('U'): values shown, no residual.
    EXPECT_EQ(CellText(*tables[2], 0, 6), "0.51");
    // L05: "<0.49", no residual.
    EXPECT_EQ(CellText(*tables[4], 0, 6), "<0.49");
    for (int c = 2; c <= 5; ++c) {
        EXPECT_EQ(CellText(*tables[2], 0, c), "");
        EXPECT_EQ(CellText(*tables[4], 0, c), "");
    }
    // The usable count leaves out the three results of L03 and the '<'.
    EXPECT_EQ(CellText(*tables[0], 0, 8), "17");
}

TEST_F(QuickResponseTest, SpikedSampleIsShownOnTheStudysOwnScale) {
    // Sample Ab of L01 reported 0.690 (0.49 + 0.20 spike) in both files.
    for (const char* name : {"SPLIT_1.PAR", "SPLIT_1_LN.PAR"}) {
        SCOPED_TRACE(name);
        TTavContents* doc = Run({name});
        ASSERT_NE(doc, nullptr);
        const auto tables = DataTables(*doc);
        ASSERT_EQ(tables.size(), 7u);
        const std::string shown = CellText(*tables[0], 1, 6);
        const bool ln = std::string(name) == "SPLIT_1_LN.PAR";
        const double expected = ln ? std::log(0.690) : 0.690;
        EXPECT_NEAR(std::strtod(shown.c_str(), nullptr), expected, 0.5e-3) << shown;
        EXPECT_EQ(CellText(*tables[0], 1, 1), "Ab");
        EXPECT_EQ(CellText(*tables[0], 1, 7), "M1");
    }
}

// ---------------------------------------------------------------------------
// Reading the files.

TEST_F(QuickResponseTest, TransformationIsDecidedOncePerFile) {
    program.Settings.ConfirmTrans = true;
    host.Answer = true;
    ASSERT_NE(Run({"ROUND_1.PAR", "ROUND_2_LN.PAR", "ROUND_3.PAR"}), nullptr);
    EXPECT_EQ(host.Questions.size(), 1u);
}

class ChangedFilesTest : public QuickResponseTest {
protected:
    ChangedFilesTest() {
        dir = fs::temp_directory_path() / ("veltrio_ff_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        for (const char* n : {"ROUND_1.PAR", "ROUND_2.PAR"}) {
            fs::copy_file(kData / n, dir / n, fs::copy_options::overwrite_existing);
        }
    }
    ~ChangedFilesTest() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(ChangedFilesTest, VanishedOrChangedFileStopsTheRunWithAMessage) {
    struct Case {
        const char* Name;
        void (*Change)(const fs::path&);
        const char* Says;
    };
    const Case cases[] = {
        {"removed", [](const fs::path& p) { fs::remove(p); }, "is no longer there"},
        {"rewritten", [](const fs::path& p) { std::ofstream(p, std::ios::app) << "\n"; },
         "was changed"},
        {"replaced by garbage of the same size",
         [](const fs::path& p) {
             const auto size = fs::file_size(p);
             fs::remove(p);
             std::ofstream(p) << std::string(size, 'x');
             fs::last_write_time(p, fs::last_write_time(p) + std::chrono::seconds(5));
         },
         "was changed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::copy_file(kData / "ROUND_2.PAR", dir / "ROUND_2.PAR",
                      fs::copy_options::overwrite_existing);
        qr.ClearFiles();
        ASSERT_TRUE(qr.AddFile(dir / "ROUND_1.PAR"));
        ASSERT_TRUE(qr.AddFile(dir / "ROUND_2.PAR"));
        qr.LastLab = 7;
        c.Change(dir / "ROUND_2.PAR");
        host.Messages.clear();
        const std::size_t shown = host.Shown.size();
        EXPECT_FALSE(qr.Generate(program, {}));
        ASSERT_EQ(host.Messages.size(), 1u);
        EXPECT_NE(host.Messages[0].find(c.Says), std::string::npos) << host.Messages[0];
        EXPECT_NE(host.Messages[0].find("ROUND_2.PAR"), std::string::npos);
        EXPECT_EQ(host.Shown.size(), shown);
        EXPECT_FALSE(program.SilentMode);
    }
}

TEST_F(QuickResponseTest, UsersStudyAndSwitchesAreKeptOnEveryPath) {
    const fs::path lead = fs::path(VELTRIO_SOURCE_DIR) / "examples" / "LEAD.PAR";
    ASSERT_EQ(ReadStudyFile(program, lead), 0);
    const DataType* before = program.CurrentStudy.get();
    const TDescriptiveStatistics* stats = program.Stats.get();
    program.QuietTests = true;
    for (const auto& files : {std::vector<std::string>{"ROUND_1.PAR", "ROUND_2.PAR"},
                              std::vector<std::string>{"ROUND_1.PAR", "DIFFER_NLABS.PAR"},
                              std::vector<std::string>{"ROUND_1.PAR", "MISSING_CODE.PAR"}}) {
        SCOPED_TRACE(files[1]);
        Run(files);
        EXPECT_EQ(program.CurrentStudy.get(), before);
        EXPECT_EQ(program.Stats.get(), stats);
        EXPECT_TRUE(program.StudyLoaded);
        EXPECT_EQ(program.CurrentFile, lead);
        EXPECT_EQ(program.CurrentStudy->TestId, before->TestId);
        EXPECT_FALSE(program.SilentMode);
        EXPECT_TRUE(program.QuietTests);
    }
}

TEST_F(QuickResponseTest, ListOfFilesHasNoFixedLimit) {
    std::vector<std::string> files(60, "ROUND_1.PAR");
    TTavContents* doc = Run(files);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(DataTables(*doc).size(), 60u * 7u);
}

TEST_F(QuickResponseTest, EmptyRangeOfLaboratoriesGivesAnEmptyDocument) {
    Choose({"ROUND_1.PAR"});
    qr.FirstLab = 3;
    qr.LastLab = 2;
    qr.SaveAsFile = false;
    ASSERT_TRUE(qr.Generate(program, {}));
    ASSERT_EQ(host.Shown.size(), 1u);
    EXPECT_TRUE(DataTables(*host.Shown[0].Document).empty());
    EXPECT_EQ(host.Shown[0].Caption, program.LibText(4, 12));
    EXPECT_EQ(host.Shown[0].HelpContext, FastFeedbackHelpContext);
}

TEST_F(QuickResponseTest, RangeOfLaboratoriesPicksTheirForms) {
    Choose({"ROUND_1.PAR", "ROUND_2.PAR"});
    qr.FirstLab = 2;
    qr.LastLab = 4;
    qr.SaveAsFile = false;
    ASSERT_TRUE(qr.Generate(program, {}));
    const auto text = host.Shown.back().Document->AsStrings();
    std::vector<std::string> heads;
    for (const auto& l : text) {
        if (l.rfind("Laboratory ", 0) == 0) {
            heads.push_back(l);
        }
    }
    EXPECT_EQ(heads,
              (std::vector<std::string>{"Laboratory L02", "Laboratory L03", "Laboratory L04"}));
    EXPECT_EQ(host.ProgressSteps, 3);
    EXPECT_EQ(host.ProgressEnded, 1);
}

// ---------------------------------------------------------------------------
// The table file.

TEST_F(QuickResponseTest, TableFileIsWrittenAndReadsBackAsTheDocument) {
    const fs::path tab =
        fs::temp_directory_path() / ("veltrio_ff_" + std::to_string(::getpid()) + ".tab");
    Choose({"ROUND_1.PAR", "ROUND_2.PAR", "ROUND_3.PAR"});
    ASSERT_TRUE(qr.Generate(program, tab));
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(tab, bytes));
    fs::remove(tab);
    std::vector<std::string> lines;
    std::stringstream ss(bytes);
    for (std::string l; std::getline(ss, l);) {
        lines.push_back(l);
    }
    EXPECT_EQ(lines, host.Shown.back().Document->AsStrings());
    // A row of L01's first table: substance, level, residual sign in the
    // class column, value, method, count, centre, spread, TAB-separated.
    EXPECT_NE(bytes.find("Pentosans A-C\tA\t+\t\t\t\t0.44\t\t21\t0.410\t0.067\t"),
              std::string::npos);
}

TEST_F(QuickResponseTest, FailedTableFileIsReportedAndTheFormsStillShown) {
    Choose({"ROUND_1.PAR"});
    const fs::path tab = fs::path("/nonexistent-folder-veltrio") / "forms.tab";
    EXPECT_FALSE(qr.Generate(program, tab));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_NE(host.Messages[0].find("could not be saved"), std::string::npos);
    EXPECT_EQ(host.Shown.size(), 1u);
    EXPECT_FALSE(fs::exists(tab));
}

// ---------------------------------------------------------------------------
// Month names.

struct DateCase {
    int Language;
    int Month;
    const char* Text;
};

const DateCase kDateCases[] = {
    {0, 1, "Jan, 2026"},        {0, 12, "Dec, 2026"},       {1, 5, "Maj, 2026"},
    {1, 10, "Okt, 2026"},       {2, 3, "M\u00e4r, 2026"},   {2, 12, "Dez, 2026"},
    {3, 1, "janv., 2026"},      {3, 2, "f\u00e9vr., 2026"}, {3, 3, "mars, 2026"},
    {3, 6, "juin, 2026"},       {3, 7, "juil., 2026"},      {3, 8, "ao\u00fbt, 2026"},
    {3, 12, "d\u00e9c., 2026"}, {4, 5, "may., 2026"},
    {4, 12, "dic., 2026"},      {5, 6, "j\u00fan, 2026"},   {5, 11, "nov., 2026"},
    {6, 11, "11, 2026"},        {-1, 2, "02, 2026"},
};

TEST(DateTextTest, MonthNamesByLanguageAreUtf8Text) {
    for (const auto& c : kDateCases) {
        EXPECT_EQ(DateText(c.Language, 2026, c.Month), c.Text)
            << "language " << c.Language << " month " << c.Month;
    }
}

TEST_F(QuickResponseTest, FormHeadCarriesTheFixedDateInTheOutputLanguage) {
    program.Settings.OutputLanguage = 3;
    TTavContents* doc = Run({"ROUND_1.PAR"});
    ASSERT_NE(doc, nullptr);
    const auto text = doc->AsStrings();
    EXPECT_NE(std::find(text.begin(), text.end(),
                        program.LibText(4, 1) + " E691 pentosan round 1 (d\u00e9c., 2026)"),
              text.end());
}

// ---------------------------------------------------------------------------
// Golden forms.

TEST_F(QuickResponseTest, GoldenFormsOfTheRound) {
    TTavContents* doc = Run({"ROUND_1.PAR", "ROUND_2.PAR", "ROUND_3.PAR"});
    ASSERT_NE(doc, nullptr);
    ExpectGoldenDocument(*doc, kData, "feedback_round_resistant");
    program.Settings.PrintDisclaimer = true;
    doc = Run({"SPLIT_1.PAR", "SPLIT_2.PAR"}, false);
    ASSERT_NE(doc, nullptr);
    ExpectGoldenDocument(*doc, kData, "feedback_split_gaussian");
}

} // namespace
