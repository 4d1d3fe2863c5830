// The documents of Mandel's h and k: the values table with its marks and
// notes, the critical values table, the framing, and the documents of the
// public data sets as golden files (tests/data/labs).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PreliminaryFixture.h"
#include "documents/Table.h"
#include "labs/MandelH.h"
#include "labs/MandelK.h"
#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class DocumentHost : public RecordingHost {
public:
    struct Shown {
        std::shared_ptr<TTavContents> Document;
        std::string Caption;
        int HelpContext;
    };
    std::vector<Shown> Documents;
    void ShowDocument(std::shared_ptr<TTavContents> doc, const std::string& caption,
                      int help) override {
        Documents.push_back({std::move(doc), caption, help});
    }
};

class MandelReportTest : public PreliminaryFixture {
protected:
    static std::vector<TTavTable*> Tables(TTavContents& doc) {
        std::vector<TTavTable*> out;
        for (std::size_t i = 0; i < doc.Count(); ++i) {
            if (auto* t = dynamic_cast<TTavTable*>(&doc.Item(i))) {
                out.push_back(t);
            }
        }
        return out;
    }
    static std::string CellText(TTavBaseTable& t, int row, int col) {
        const auto lines = t.ReadCell(row, col)->TextLines();
        std::string text;
        for (const auto& l : lines) {
            text += (text.empty() ? "" : "|") + l;
        }
        return text;
    }
    static bool HasLine(const TTavContents& doc, const std::string& line) {
        for (const auto& l : doc.AsStrings()) {
            if (l == line) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(MandelReportTest, ShownWithCaptionAndHelp) {
    DocumentHost shown;
    program.SetHost(shown);
    Load("GLUC_ABC");
    MandelHValues(program);
    MandelKValues(program);
    ASSERT_EQ(shown.Documents.size(), 2u);
    EXPECT_EQ(shown.Documents[0].Caption, "Evaluation of laboratories - Mandel's h statistic");
    EXPECT_EQ(shown.Documents[1].Caption, "Evaluation of laboratories - Mandel's k statistic");
    EXPECT_EQ(shown.Documents[0].HelpContext, 7000);
    EXPECT_EQ(shown.Documents[1].HelpContext, 7000);
}

// GLUC_ABC after the outlier tests: lab 4 is a Cochran outlier in level 3
// with h = 4.518 and k = 4.299 (p = 8: 2.06 and 1.97 at 1 %).
TEST_F(MandelReportTest, ValuesMarksAndNotes) {
    Load("GLUC_ABC");
    CochranTest(program);
    GrubbsTest(program);
    TMandelK k(program);
    k.Calculate();
    auto doc = k.BuildReport();
    const auto tables = Tables(*doc);
    ASSERT_EQ(tables.size(), 2u);
    TTavTable& values = *tables[0];
    EXPECT_EQ(values.Title,
              (std::vector<std::string>{"Glucose in serum, mg/dl", "Mandel's k statistic"}));
    ASSERT_EQ(values.RowCount(), 8);
    ASSERT_EQ(values.ColCount(), 7);
    EXPECT_EQ(CellText(values.Head(), 0, 0), "Laboratory");
    EXPECT_EQ(CellText(values.Head(), 0, 5), "Level|C");
    EXPECT_EQ(CellText(values, 3, 0), "L04");
    EXPECT_EQ(CellText(values, 3, 5), "4.299");
    EXPECT_EQ(CellText(values, 3, 6), "C**");
    EXPECT_EQ(values.ReadCell(3, 5)->Alignment, TAlignment::alDecimal);
    EXPECT_EQ(values.ReadCell(3, 6)->Alignment, TAlignment::alLeft);
    EXPECT_TRUE(HasLine(*doc, program.LibText(8, 15)));
    EXPECT_TRUE(HasLine(*doc, program.LibText(8, 17)));
    // The critical values of the level's 8 laboratories with 3 replicates.
    TTavTable& critical = *tables[1];
    ASSERT_EQ(critical.RowCount(), 4);
    EXPECT_EQ(CellText(critical, 0, 0), "Laboratories (p)");
    EXPECT_EQ(CellText(critical, 0, 5), "8");
    EXPECT_EQ(CellText(critical, 1, 5), "3");
    EXPECT_EQ(CellText(critical, 2, 5), "1.670");
    EXPECT_EQ(CellText(critical, 3, 5), "1.970");
    EXPECT_EQ(critical.Title, std::vector<std::string>{});
}

TEST_F(MandelReportTest, HCriticalValuesWithPlusMinusAndDashes) {
    // Level B with two laboratories only: no critical values.
    LoadText(
        false, 2,
        {{{10, 11}, {12, 13}, {11, 12}, {14, 13}}, {{10, 11}, {12, 13}, {-99, -99}, {-99, -99}}});
    program.CurrentStudy->Level(1).SetMark(4, MarkGrubbsOutlier);
    TMandelH h(program);
    h.Calculate();
    auto doc = h.BuildReport();
    const auto tables = Tables(*doc);
    ASSERT_EQ(tables.size(), 2u);
    TTavTable& critical = *tables[1];
    // p = 4 in level A: ± 1.42 and ± 1.49.
    EXPECT_EQ(CellText(critical, 2, 1), "&pm 1.420");
    EXPECT_EQ(CellText(critical, 3, 1), "&pm 1.490");
    EXPECT_EQ(critical.ReadCell(2, 1)->Kind, TCellKind::ckFormatLines);
    EXPECT_EQ(CellText(critical, 0, 3), "2");
    EXPECT_EQ(CellText(critical, 2, 3), "-");
    EXPECT_EQ(CellText(critical, 3, 3), "-");
    // The Grubbs outlier keeps its value and gets its letter; the levels
    // without values show "-".
    TTavTable& values = *tables[0];
    EXPECT_EQ(CellText(values, 3, 2).substr(0, 1), "G");
    EXPECT_EQ(CellText(values, 2, 3), "-");
    EXPECT_EQ(CellText(values, 2, 4), "");
    EXPECT_TRUE(HasLine(*doc, program.LibText(8, 12)));
    EXPECT_FALSE(HasLine(*doc, program.LibText(8, 15)));
}

TEST_F(MandelReportTest, SplitLevelHeadsNameTheSamplePair) {
    Load("GLUC_PAIRS");
    TMandelH h(program);
    h.Calculate();
    auto doc = h.BuildReport();
    const auto tables = Tables(*doc);
    ASSERT_EQ(tables.size(), 2u);
    for (TTavTable* t : tables) {
        EXPECT_EQ(CellText(t->Head(), 0, 1), "Sample pair|" + study().Level(1).LevelName);
    }
}

TEST_F(MandelReportTest, RegistrationNumbersAndDiscardNote) {
    Load("GLUC_ABC");
    program.Settings.ShowRegLabNo = true;
    program.Settings.DiscardOutlierTests = true;
    TMandelH h(program);
    h.Calculate();
    auto doc = h.BuildReport();
    EXPECT_EQ(doc->AsStrings().front(), program.LibText(1, 93));
    const auto tables = Tables(*doc);
    EXPECT_EQ(CellText(*tables[0], 0, 0), "L01" + std::string(13, ' ') + "01");
    // No outlier test ran: no "G", but asterisks from the values alone
    // (lab 4 in level C at h = 4.50, p = 8).
    EXPECT_FALSE(HasLine(*doc, program.LibText(8, 12)));
    EXPECT_EQ(CellText(*tables[0], 3, 6), "**");
    EXPECT_TRUE(HasLine(*doc, program.LibText(8, 14)));
}

TEST_F(MandelReportTest, GoldenDocuments) {
    // GLUC_PAIRS is a split-level study: its levels are sample pairs.
    for (const std::string name : {"GLUC_ABC", "PENT_ABC", "GLUC_PAIRS"}) {
        Load(name);
        CochranTest(program);
        GrubbsTest(program);
        TMandelH h(program);
        h.Calculate();
        ExpectGolden(*h.BuildReport(), "labs", "mandel_h_" + name);
        TMandelK k(program);
        k.Calculate();
        ExpectGolden(*k.BuildReport(), "labs", "mandel_k_" + name);
    }
}

} // namespace
