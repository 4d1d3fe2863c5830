// The base table: results as reported and corrected for spiking, assigned
// values in the head, marks, notes and the uniform layout.
#include "PreliminaryFixture.h"

#include <algorithm>

#include "documents/Table.h"
#include "preliminary/BaseTable.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class BaseTable : public PreliminaryFixture {
protected:
    TTavTable& TableOf(TTavContents& doc) {
        for (std::size_t i = 0; i < doc.Count(); ++i) {
            if (auto* t = dynamic_cast<TTavTable*>(&doc.Item(i))) {
                return *t;
            }
        }
        throw std::runtime_error("no table");
    }
    static std::string Text(const TTavBaseTable& t, int row, int col) {
        const auto lines = t.ReadCell(row, col)->TextLines();
        std::string s;
        for (const auto& l : lines) {
            s += (s.empty() ? "" : "|") + l;
        }
        return s;
    }
    bool HasLine(TTavContents& doc, const std::string& line) {
        const auto lines = doc.AsStrings();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

std::string SplitStudy(double spiking, double nominal, int nominalDecimals) {
    char nom[32];
    std::snprintf(nom, sizeof nom, "%.*f", nominalDecimals, nominal);
    std::string text =
        "FILEHEADER\n  SPLITLEVEL\n  NLABS = 3\n  NREPLICATES = 2\n  NOOFLEVELS = 1\n"
        "  SUBSTANCE = \"N\"\n  UNIT = \"mg\"\n  TESTID = \"T\"\nEND\nLEVELHEADER\n"
        "  LEVELID = \"A\" \"B\"\n  NOMINAL = ";
    text += nom;
    text += "\n";
    if (spiking != MissingValue) {
        char sp[32];
        std::snprintf(sp, sizeof sp, "%.1f", spiking);
        text += std::string("  SPIKING = ") + sp + "\n  SPIKED = \"B\"\n";
    }
    text += "END\nLEVELDATA\n  01 L01 10.4 12.3 M1\n  02 L02 10.1 <0.05 M2\n  U03 L03 10.2 12.5 "
            "M2\nEND\n";
    return text;
}

TEST_F(BaseTable, SpikedSampleAsReportedAndCorrected) {
    ASSERT_EQ(Read(SplitStudy(2.0, 10.5, 2)), 0);
    program.CurrentStudy->Level(1).SetMark(1, 'C');
    auto reported = MakeSplitLevelBaseTable(program, true);
    auto corrected = MakeSplitLevelBaseTable(program, false);
    TTavTable& r = TableOf(*reported);
    TTavTable& c = TableOf(*corrected);
    // 12.3 is stored as 10.3; shown as reported and as held.
    EXPECT_EQ(Text(r, 0, 3), " 12.3");
    EXPECT_EQ(Text(c, 0, 3), " 10.3");
    // A "less than" is never corrected for display.
    EXPECT_EQ(Text(r, 1, 3), "<0.05");
    // Assigned values: the plain one, the spiked one with the spike added,
    // and corrected "12.50-2.00", split in front of its sign.
    EXPECT_EQ(Text(r.Head(), 2, 2), "10.50");
    EXPECT_EQ(Text(r.Head(), 2, 3), "12.50");
    EXPECT_EQ(Text(c.Head(), 2, 3), "12.50|-2.00");
    EXPECT_NEAR(c.Head().ReadRowHeightCm(2), 1.0, 0.03);
    EXPECT_NEAR(r.Head().ReadRowHeightCm(2), 0.5, 0.03);
    // Outlier marks are not shown; "U" is, with its note.
    EXPECT_EQ(Text(r, 0, 4), " ");
    EXPECT_EQ(Text(r, 2, 4), "U");
    EXPECT_TRUE(HasLine(*reported, program.LibText(2, 9)));
    EXPECT_FALSE(HasLine(*reported, program.LibText(2, 10)));
    EXPECT_FALSE(HasLine(*reported, program.LibText(2, 99)));
    EXPECT_EQ(program.NextHelpContext, 5100);

    ASSERT_EQ(Read(SplitStudy(-0.5, 10.5, 2)), 0);
    auto negative = MakeSplitLevelBaseTable(program, false);
    EXPECT_EQ(Text(TableOf(*negative).Head(), 2, 3), "10.00|+0.50");
}

TEST_F(BaseTable, NoSpikingAmountIsMarkedWithAStar) {
    ASSERT_EQ(Read(SplitStudy(MissingValue, 10.5, 1)), 0);
    for (const bool asReported : {true, false}) {
        auto doc = MakeSplitLevelBaseTable(program, asReported);
        EXPECT_EQ(Text(TableOf(*doc).Head(), 2, 3), "10.5*");
        EXPECT_TRUE(HasLine(*doc, program.LibText(2, 99)));
    }
}

TEST_F(BaseTable, MethodCodesOfLevelOneUnlessEveryLevelHasItsOwn) {
    Load("GLUC_PAIRS");
    program.CurrentStudy->Level(2).SetMethodCode(1, "X9");
    auto one = MakeSplitLevelBaseTable(program, true);
    TTavTable& t = TableOf(*one);
    EXPECT_EQ(Text(t, 0, t.ColCount() - 1), "M2");
    EXPECT_LT(t.ReadColWidthCm(5), 0.05); // hidden
    program.Settings.AllMethodID = true;
    auto all = MakeSplitLevelBaseTable(program, true);
    EXPECT_EQ(Text(TableOf(*all), 0, 9), "X9");
}

TEST_F(BaseTable, UniformBlocksPutTheCodeInTheLabelRow) {
    struct Case {
        int Replicates;
        int LabelRow;
    };
    for (const Case c : {Case{1, 0}, Case{2, 0}, Case{3, 0}, Case{4, 1}}) {
        SCOPED_TRACE(c.Replicates);
        LabRows labs(3, std::vector<double>(static_cast<std::size_t>(c.Replicates), 1.5));
        labs[1][0] = MissingValue;
        LoadText(false, c.Replicates, {labs});
        program.CurrentStudy->Level(1).SetMark(3, 'L');
        auto doc = MakeUniformBaseTable(program);
        TTavTable& t = TableOf(*doc);
        EXPECT_EQ(t.RowCount(), 3 * c.Replicates);
        EXPECT_EQ(Text(t, c.Replicates + c.LabelRow, 0), "L02");
        EXPECT_EQ(Text(t, c.Replicates, 2), "-");
        EXPECT_EQ(Text(t, 0, 2), " 1.5");
        EXPECT_EQ(Text(t, 2 * c.Replicates, 3), "UL");
        EXPECT_EQ(t.RowBlocks().size(), 3u);
        EXPECT_TRUE(HasLine(*doc, program.LibText(2, 10)));
        EXPECT_EQ(program.NextHelpContext, 5000);
    }
}

TEST_F(BaseTable, SpikeOnTheReportedScaleOfATransformedStudy) {
    // ln: exp(ln 10 ... ) + 2 taken back.
    EXPECT_NEAR(AddSpike(1, std::log(10.0), 2.0), std::log(12.0), 1e-12);
    EXPECT_NEAR(AddSpike(2, 1.0, 5.0), std::log10(15.0), 1e-12);
    EXPECT_NEAR(AddSpike(3, 3.0, 7.0), 4.0, 1e-12);
    EXPECT_NEAR(AddSpike(4, 0.5, 2.0), 0.25, 1e-12);
    EXPECT_EQ(AddSpike(0, 3.0, 2.0), 5.0);
}

} // namespace

namespace {

TEST_F(BaseTable, EveryHeadRowStandsOverItsColumns) {
    // The head cells of rows 1 and 2 (level names, "Results", unit, assigned
    // values) begin where their columns begin; a cell merged over several
    // columns is as wide as they are together (the covered cells are 0).
    struct Case {
        const char* Study;
        bool Split;
    } cases[] = {{"GLUC_PAIRS", true}, {"GLUC_ABC", false}, {"PENT_ABC", false}};
    for (const auto& c : cases) {
        Load(c.Study);
        auto doc = c.Split ? MakeSplitLevelBaseTable(program, true) : MakeUniformBaseTable(program);
        TTavTable& t = TableOf(*doc);
        ASSERT_EQ(t.Head().RowCount(), 3) << c.Study;
        for (int r = 0; r < 3; ++r) {
            int headX = 0;
            int bodyX = 0;
            for (int col = 0; col < t.ColCount(); ++col) {
                const TTavCell& cell = *t.Head().ReadCell(r, col);
                if (cell.Width > 0) {
                    EXPECT_EQ(headX, bodyX) << c.Study << " head row " << r << ", column " << col;
                }
                EXPECT_EQ(cell.LineWidthMm, t.ReadCell(0, col)->LineWidthMm)
                    << c.Study << " head row " << r << ", column " << col;
                headX += cell.Width;
                bodyX += t.ReadCell(0, col)->Width;
            }
            EXPECT_EQ(headX, bodyX) << c.Study << " head row " << r;
        }
    }
}

} // namespace
