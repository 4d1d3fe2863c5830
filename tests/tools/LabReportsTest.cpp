// The laboratory reports of a round of three files (percent limits on the
// first, absolute on the second, none on the third; an assigned value of
// 0, a missing one and a negative one; a laboratory with one usable result;
// the laboratory lines of the third file in another order): which
// documents are shown, the cells of a laboratory's results, the level
// summaries against the precision figures of the file itself, and the
// user's study, which stays loaded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/GoldenDocument.h"
#include "ToolFixture.h"
#include "charts/ChartItem.h"
#include "documents/Table.h"
#include "quality/ANOVA.h"
#include "study/StudyReader.h"
#include "study/Transformations.h"
#include "tools/LabReportText.h"
#include "tools/LabReports.h"
#include "tools/QuickResponse.h"
#include "tools/RepTexts.h"

namespace fs = std::filesystem;

namespace veltrio::testing {
namespace {

fs::path RoundDir() { return fs::path(VELTRIO_TEST_DATA) / "tools" / "labreports"; }

TRepTexts RoundTexts(Program& program) {
    TRepTexts t(&program);
    t.TestName = "Round 7 of the water laboratories";
    t.Topic = "Metals";
    t.SampleTypes = "Drinking water";
    t.Parameters = "Zinc, copper";
    t.Host = "The organiser";
    t.SamplesShipped = "2026-03-02";
    t.TestDate = "2026-03-09";
    t.Deadline = "2026-03-20";
    t.ReportDate = "2026-04-01";
    t.TotalReportDate = "2026-05-01";
    t.HomogeneityText = "The samples were homogeneous.\r\n\r\nTen bottles were tested.";
    t.StabilityText = "Stable for the time of the test.";
    t.AssignedValueText = "Formulation.";
    t.ParDir = RoundDir();
    t.ShowLegend = true;
    t.UseLabNames = true;
    t.LabNames = {{"L02", "Water works Nord"}};
    t.Signature = "The organiser, 1 April 2026";
    TReportFile percent{"LR_1.PAR", {"Zinc", 5, 10, 0, 0, 5, 10, 0, 0}};
    TReportFile absolute{"LR_2.PAR", {"Offset", 0, 0, 0.5, 1.0, 0, 0, 0.5, 1.0}};
    TReportFile none{"LR_3.PAR", {"", 0, 0, 0, 0, 0, 0, 0, 0}};
    t.ReportFiles = {percent, absolute, none};
    return t;
}

// The results table of the laboratory reports: the tables with 15 columns,
// in order of the laboratories.
std::vector<const TTavTable*> ResultTables(const TTavContents& doc) {
    std::vector<const TTavTable*> found;
    for (std::size_t i = 0; i < doc.Count(); ++i) {
        if (const auto* t = dynamic_cast<const TTavTable*>(&doc.Item(i))) {
            if (t->ColCount() == 15) {
                found.push_back(t);
            }
        }
    }
    return found;
}

std::string CellText(const TTavTable& t, int row, int col) {
    const TTavCell* c = t.ReadCell(row, col);
    if (c->Kind == TCellKind::ckNumber) {
        return c->FormattedValue();
    }
    std::string s;
    for (const auto& l : c->Lines) {
        s += l;
    }
    return s;
}

class LabReportsTest : public ToolFixture {
protected:
    bool Run(TRepTexts& texts, int first = 1, int last = 0) {
        return RunLabReports(
            program, texts, round,
            [&](TQuickResponse& r) {
                r.FirstLab = first;
                if (last > 0) {
                    r.LastLab = last;
                }
                r.SaveAsFile = false;
                return true;
            },
            [] { return fs::path(); });
    }
    TQuickResponse round;
};

TEST_F(LabReportsTest, ShowsTheSummariesTheOverviewAndTheReportsAndKeepsTheUsersStudy) {
    LoadTool("ROUND_1.PAR");
    const DataType* users = program.CurrentStudy.get();
    const char usersMark = users->Level(1).GetMark(7);
    TRepTexts texts = RoundTexts(program);
    ASSERT_TRUE(Run(texts));
    std::vector<std::string> captions;
    for (const auto& d : tools.Documents) {
        captions.push_back(d.Caption);
        EXPECT_EQ(d.HelpContext, FastFeedbackHelpContext) << d.Caption;
    }
    const std::vector<std::string> expected = {
        "Zinc in water",      "Zinc in water",   "Temperature offset", "Temperature offset",
        "Copper in water",    "Copper in water", "Copper in water",    program.LibText(4, 12)};
    EXPECT_EQ(captions, expected);
    // The user's study is the loaded one again, as it was.
    EXPECT_EQ(program.CurrentStudy.get(), users);
    EXPECT_TRUE(program.StudyLoaded);
    EXPECT_EQ(program.CurrentStudy->Level(1).GetMark(7), usersMark);
    EXPECT_FALSE(program.SilentMode);
    EXPECT_FALSE(program.QuietTests);
    // Six laboratories, one results table each, landscape pages.
    const TTavContents& reports = *tools.Documents.back().Document;
    EXPECT_EQ(reports.PrintOrientation, 2);
    EXPECT_EQ(ResultTables(reports).size(), 6u);
}

TEST_F(LabReportsTest, ResultsAreJudgedAgainstTheLimitsOfTheirFile) {
    TRepTexts texts = RoundTexts(program);
    ASSERT_TRUE(Run(texts));
    const auto tables = ResultTables(*tools.Documents.back().Document);
    ASSERT_EQ(tables.size(), 6u);
    // Rows: file 1 level Z1 (0, 1), Z0 (2, 3); file 2 T1 (4, 5), T2 (6, 7);
    // file 3 C1 (8, 9), C2 (10, 11). Columns: 3 result, 8 assigned value,
    // 10 deviation %, 11 accuracy, 12 s.d., 14 precision.
    struct Case {
        const char* What;
        int Lab; // 1-based, in the order of the first file
        int Row;
        int Col;
        const char* Text;
    };
    const Case cases[] = {
        {"3 % within limit 1 (5 %)", 1, 0, 10, "3"},
        {"3 % is A", 1, 0, 11, "A"},
        {"7 % is A* (limit 2 10 %)", 2, 0, 11, "A*"},
        {"15 % is I", 3, 0, 11, "I"},
        {"no spread of two equal results: 0 % is A", 1, 0, 14, "A"},
        {"the assigned value shown", 1, 0, 8, "10.0  "},
        {"assigned value 0: no percentage", 1, 2, 10, "-"},
        {"assigned value 0: percent limits cannot judge", 1, 2, 11, "-"},
        {"a '<' result shown with its sign", 4, 0, 3, "<1"},
        {"a '<' result is not judged", 4, 0, 11, ""},
        {"one usable result: no spread", 4, 0, 12, "-"},
        {"one usable result: no precision assessment", 4, 0, 14, "-"},
        {"negative assigned value: 0.3 of 5 is 6 %", 1, 4, 10, "6"},
        {"absolute limit 1 (0.5)", 1, 4, 11, "A"},
        {"absolute limit 2 (1.0): 0.8", 2, 4, 11, "A*"},
        {"beyond absolute limit 2: 1.5", 3, 4, 11, "I"},
        {"no assigned value: none shown", 1, 6, 8, ""},
        {"no assigned value: no deviation", 1, 6, 10, "-"},
        {"no assigned value: no assessment", 1, 6, 11, "-"},
        {"no limits: no assessment", 1, 8, 11, ""},
        {"matched by code in a permuted file", 1, 8, 3, "19.8"},
        {"matched by code in a permuted file, 2nd replicate", 1, 9, 3, "19.9"},
        {"the method of the laboratory", 3, 8, 4, "Y"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CellText(*tables[static_cast<std::size_t>(c.Lab - 1)], c.Row, c.Col), c.Text)
            << c.What;
    }
}

TEST_F(LabReportsTest, LevelSummariesCarryThePrecisionFiguresOfTheirFile) {
    TRepTexts texts = RoundTexts(program);
    ASSERT_TRUE(Run(texts));
    // The figures of LR_3 level C2 read on their own.
    ASSERT_EQ(ReadStudyFile(program, RoundDir() / "LR_3.PAR"), 0);
    TANOVA& anova = ANOVAOf(program);
    anova.Calculate(program);
    const TTavContents& summary = *tools.Documents[5].Document;
    const TTavTable* t = nullptr;
    for (std::size_t i = 0; i < summary.Count() && !t; ++i) {
        t = dynamic_cast<const TTavTable*>(&summary.Item(i));
    }
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->RowCount(), 11);
    EXPECT_DOUBLE_EQ(t->ReadCell(6, 1)->Value, anova.Sr[2]);
    EXPECT_DOUBLE_EQ(t->ReadCell(7, 1)->Value, anova.SL[2]);
    EXPECT_DOUBLE_EQ(t->ReadCell(8, 1)->Value, anova.SR[2]);
    EXPECT_DOUBLE_EQ(t->ReadCell(10, 1)->Value, 100.0 * anova.SR[2] / 30.0);
    EXPECT_EQ(t->ReadCell(0, 1)->Value, 6);
    // Two replicates: the summary holds the level's Youden chart.
    int charts = 0;
    for (std::size_t i = 0; i < summary.Count(); ++i) {
        charts += dynamic_cast<const TTavDrawWindow*>(&summary.Item(i)) ? 1 : 0;
    }
    EXPECT_EQ(charts, 1);
}

TEST_F(LabReportsTest, GoldenDocumentsOfOneLaboratory) {
    TRepTexts texts = RoundTexts(program);
    ASSERT_TRUE(Run(texts, 2, 2));
    ExpectGoldenDocument(*tools.Documents.back().Document, ToolData("labreports"), "report_L02");
    ExpectGoldenDocument(*tools.Documents[6].Document, ToolData("labreports"), "overview");
}

TEST_F(LabReportsTest, FilesThatDoNotReadAreLeftOutAndNoneGivesNothing) {
    TRepTexts texts = RoundTexts(program);
    texts.ReportFiles.insert(texts.ReportFiles.begin() + 1, TReportFile{"NO_SUCH.PAR", {}});
    ASSERT_TRUE(Run(texts));
    EXPECT_EQ(ResultTables(*tools.Documents.back().Document).size(), 6u);
    tools.Documents.clear();
    texts.ReportFiles = {TReportFile{"NO_SUCH.PAR", {}}};
    EXPECT_FALSE(Run(texts));
    EXPECT_TRUE(tools.Documents.empty());
}

TEST_F(LabReportsTest, AOneReplicateRoundHasNoSpreadsAndNoYoudenChart) {
    TRepTexts texts(&program);
    texts.ParDir = RoundDir();
    texts.ReportFiles = {{"ONE_REP.PAR", {"Lead", 5, 10, 0, 0, 5, 10, 0, 0}}};
    ASSERT_TRUE(Run(texts));
    ASSERT_EQ(tools.Documents.size(), 3u); // one summary, the overview, the reports
    const auto tables = ResultTables(*tools.Documents.back().Document);
    ASSERT_EQ(tables.size(), 4u);
    // L03: 55 against 50 is 10 %: A*; one result: no spread, no precision.
    EXPECT_EQ(CellText(*tables[2], 0, 10), "10");
    EXPECT_EQ(CellText(*tables[2], 0, 11), "A*");
    EXPECT_EQ(CellText(*tables[2], 0, 12), "-");
    EXPECT_EQ(CellText(*tables[2], 0, 14), "-");
    const TTavContents& summary = *tools.Documents.front().Document;
    for (std::size_t i = 0; i < summary.Count(); ++i) {
        EXPECT_EQ(dynamic_cast<const TTavDrawWindow*>(&summary.Item(i)), nullptr);
    }
}

TEST_F(LabReportsTest, TheSpikedSampleIsShownOnTheStudysOwnScale) {
    // Sample Ab of L01 was reported as 0.690 (the spike of 0.20 included);
    // the reader takes the spike off, the reports add it back on the scale
    // of the study: ln 0.690 in the transformed file.
    for (const char* name : {"SPLIT_1.PAR", "SPLIT_1_LN.PAR"}) {
        SCOPED_TRACE(name);
        tools.Documents.clear();
        TRepTexts texts(&program);
        texts.ParDir = fs::path(VELTRIO_TEST_DATA) / "tools";
        texts.ReportFiles = {{name, {}}};
        // The file's transformation is carried out.
        InstallTransformations(program);
        ASSERT_TRUE(Run(texts, 1, 1));
        const bool ln = std::string(name) == "SPLIT_1_LN.PAR";
        const double expected = ln ? std::log(0.690) : 0.690;
        const auto tables = ResultTables(*tools.Documents.back().Document);
        ASSERT_EQ(tables.size(), 1u);
        EXPECT_EQ(CellText(*tables[0], 1, 1), "    Ab");
        EXPECT_NEAR(std::strtod(CellText(*tables[0], 1, 3).c_str(), nullptr), expected, 0.5e-3);
        // The overview: laboratory L01, second sample of the first level.
        const TTavContents& overview = *tools.Documents[tools.Documents.size() - 2].Document;
        const TTavTable* t = nullptr;
        for (std::size_t i = 0; i < overview.Count() && !t; ++i) {
            t = dynamic_cast<const TTavTable*>(&overview.Item(i));
        }
        ASSERT_NE(t, nullptr);
        EXPECT_NEAR(std::strtod(CellText(*t, 0, 2).c_str(), nullptr), expected, 0.5e-3);
    }
}

TEST(LabReportAssessment, LimitsAndPercentages) {
    struct Case {
        double U, W;
        int P1, P2;
        double A1, A2;
        const char* Expected;
    } cases[] = {
        {0.5, 5, 5, 10, 0, 0, "A"},     // exactly limit 1
        {0.6, 6, 5, 10, 0, 0, "A*"},    //
        {0.6, 10, 5, 10, 0, 0, "A*"},   // exactly limit 2
        {0.6, 11, 5, 10, 0, 0, "I"},    //
        {0.6, 6, 5, 0, 0, 0, "I"},      // no limit 2
        {0.5, 99, 0, 0, 0.5, 1, "A"},   // absolute, exactly limit 1
        {1.0, 99, 0, 0, 0.5, 1, "A*"},  //
        {1.1, 99, 0, 0, 0.5, 1, "I"},   //
        {0.1, 1, 0, 0, 0, 0, ""},       // no limits
        {0.1, -99, 5, 10, 0, 0, "-"},   // a percentage that cannot be formed
        {0.1, -99, 0, 0, 0.5, 1, "A"},  // absolute limits need none
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LimitAssessment(c.U, c.W, c.P1, c.P2, c.A1, c.A2), c.Expected)
            << c.U << " " << c.W;
    }
    EXPECT_EQ(RoundedPercent(0.25, 10), 2);  // 2.5 to even
    EXPECT_EQ(RoundedPercent(0.35, 10), 4);  // 3.5 to even
    EXPECT_EQ(RoundedPercent(0.3, -5), 6);   // of |a|
    EXPECT_EQ(RoundedPercent(0.3, 0), -99);
    EXPECT_EQ(RoundedPercent(0.3, -99), -99);
}

TEST(LabReportText, MemosAreBrokenAtBlanksAndLongWordsAtTheWidth) {
    TFont font;
    font.Size = 10;
    // Without a measure of the screen: 10 points are 0.1764 cm a character,
    // so 4 cm hold 22 characters (23 reach the width).
    const double cm = 4.0;
    struct Case {
        const char* Text;
        std::vector<std::string> Lines;
    } cases[] = {
        {"short", {"short"}},
        {"one two three four five six seven", {"one two three four", "five six seven"}},
        {"first\r\nline joined", {"first line joined"}},
        {"para one\r\n\r\npara two", {"para one", "", "para two"}},
        {"abcdefghijklmnopqrstuvwxyz0123", {"abcdefghijklmnopqrstuv", "wxyz0123"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WrapLines(c.Text, font, cm), c.Lines) << c.Text;
    }
}

} // namespace
} // namespace veltrio::testing
