// Golden documents of the base table, the Cochran and the Grubbs reports on
// the example studies: plain text, RTF and HTML, compared exactly
// (VELTRIO_UPDATE_GOLDEN=1 rewrites them after review).
#include "PreliminaryFixture.h"

#include "preliminary/BaseTable.h"
#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"

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

TEST_F(ReportGolden, ShownWithTheirCaptions) {
    DocumentHost shown;
    program.SetHost(shown);
    Load("GLUC_PAIRS");
    BaseTableReport(program);
    BaseTableCorrectedReport(program);
    CochranReport(program);
    GrubbsReport(program);
    ASSERT_EQ(shown.Shown.size(), 4u);
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
