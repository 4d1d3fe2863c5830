// Golden documents of the base table, the Cochran and the Grubbs reports on
// the example studies: plain text, RTF and HTML, compared exactly
// (VELTRIO_UPDATE_GOLDEN=1 rewrites them after review).
#include "PreliminaryFixture.h"

#include "preliminary/BaseTable.h"
#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"
#include "preliminary/RecoveryControl.h"
#include "preliminary/SplitControl.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class ReportGolden : public PreliminaryFixture {};

// Records the documents handed over for a browser window.
class DocumentHost : public RecordingHost {
public:
    struct Document {
        std::string Caption;
        int HelpContext;
    };
    std::vector<Document> Shown;
    void ShowDocument(std::shared_ptr<TTavContents>, const std::string& caption,
                      int help) override {
        Shown.push_back({caption, help});
    }
};

TEST_F(ReportGolden, BaseTables) {
    Load("GLUC_ABC");
    ExpectGolden(*MakeUniformBaseTable(program), "preliminary", "basetable_GLUC_ABC");
    Load("GLUC_PAIRS");
    ExpectGolden(*MakeSplitLevelBaseTable(program, true), "preliminary", "basetable_GLUC_PAIRS");
    ExpectGolden(*MakeSplitLevelBaseTable(program, false), "preliminary",
                 "basetable_corrected_GLUC_PAIRS");
    Load("SPLIT");
    ExpectGolden(*MakeSplitLevelBaseTable(program, true), "preliminary", "basetable_SPLIT");
}

TEST_F(ReportGolden, CochranReports) {
    for (const std::string name : {"GLUC_ABC", "PENT_ABC", "GLUC_PAIRS"}) {
        Load(name);
        auto doc = MakeCochranReport(program);
        ASSERT_NE(doc, nullptr);
        ExpectGolden(*doc, "preliminary", "cochran_" + name);
    }
}

TEST_F(ReportGolden, GrubbsReports) {
    for (const std::string name : {"GLUC_ABC", "PENT_ABC", "GLUC_PAIRS"}) {
        Load(name);
        auto doc = MakeGrubbsReport(program);
        ASSERT_NE(doc, nullptr);
        ExpectGolden(*doc, "preliminary", "grubbs_" + name);
    }
}

TEST_F(ReportGolden, RecoveryReports) {
    for (const std::string name : {"GLUC_ABC", "GLUC_PAIRS", "SPIKE"}) {
        Load(name);
        auto doc = TRecoveryControl().MakeReport(program);
        ASSERT_NE(doc, nullptr);
        ExpectGolden(*doc, "preliminary", "recovery_" + name);
    }
}

// The split-level study with a spiking error: the pair differences, then
// the Cochran report on the corrected pairs (setting on) and on the pairs
// as stored (off).
TEST_F(ReportGolden, PairDifferencesAndTheCorrectedCochranReport) {
    for (const bool on : {true, false}) {
        const std::string suffix = on ? "SPIKE_on" : "SPIKE_off";
        Load("SPIKE");
        program.Settings.AutoSplitCorrection = on;
        auto pairs = MakePairDifferencesReport(program);
        ASSERT_NE(pairs, nullptr);
        ExpectGolden(*pairs, "preliminary", "pairs_" + suffix);
        auto cochran = MakeCochranReport(program);
        ASSERT_NE(cochran, nullptr);
        ExpectGolden(*cochran, "preliminary", "cochran_" + suffix);
    }
    Load("GLUC_PAIRS");
    ExpectGolden(*MakePairDifferencesReport(program), "preliminary", "pairs_GLUC_PAIRS");
}

TEST_F(ReportGolden, ShownWithTheirCaptions) {
    DocumentHost shown;
    program.SetHost(shown);
    Load("GLUC_PAIRS");
    BaseTableReport(program);
    BaseTableCorrectedReport(program);
    CochranReport(program);
    GrubbsReport(program);
    PairDifferencesReport(program);
    RecoveryReport(program);
    ASSERT_EQ(shown.Shown.size(), 6u);
    EXPECT_EQ(shown.Shown[4].Caption, program.LibText(5, 5));
    EXPECT_EQ(shown.Shown[4].HelpContext, 5600);
    EXPECT_EQ(shown.Shown[5].Caption, program.LibText(5, 4));
    EXPECT_EQ(shown.Shown[5].HelpContext, 5700);
    EXPECT_EQ(shown.Shown[0].Caption, program.LibText(5, 71));
    EXPECT_EQ(shown.Shown[0].HelpContext, 5000);
    EXPECT_EQ(shown.Shown[1].Caption, program.LibText(5, 72));
    EXPECT_EQ(shown.Shown[1].HelpContext, 5100);
    EXPECT_EQ(shown.Shown[2].Caption, program.LibText(5, 2));
    EXPECT_EQ(shown.Shown[2].HelpContext, 5200);
    EXPECT_EQ(shown.Shown[3].Caption, program.LibText(5, 3));
    EXPECT_EQ(shown.Shown[3].HelpContext, 5300);
}

} // namespace
