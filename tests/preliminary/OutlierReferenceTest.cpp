// Verified: the Cochran and Grubbs tests on public interlaboratory data
// (ASTM E691 glucose and pentosan examples, the ISO 5725 creosote example,
// the glucose duplicates as split-level pairs) against an independent
// first-principles calculation in base R:
//   scripts/preliminary/outlier_precision_reference.R
// which writes tests/data/preliminary/outlier_reference.csv (the verdict for
// every laboratory) and tests/data/quality/precision_reference.csv (the
// first-pass statistics). Critical values there are those of ISO 5725-2
// Tables 4 and 5; the statistics are exact algebra (tolerance 1e-12).
#include "PreliminaryFixture.h"

#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

const char* const kStudies[] = {"GLUC_ABC", "GLUC_DE",  "PENT_ABC",  "PENT_DEF",
                                "PENT_GHI", "CREOSOTE", "GLUC_PAIRS"};

class OutlierReference : public PreliminaryFixture {};

TEST_F(OutlierReference, MarksAgreeWithTheIndependentCalculation) {
    const auto rows =
        ReadCsv(std::filesystem::path(VELTRIO_TEST_DATA) / "preliminary" / "outlier_reference.csv");
    ASSERT_GT(rows.size(), 100u);
    int outliers = 0;
    for (const std::string name : kStudies) {
        Load(name);
        GrubbsTest(program);
        EXPECT_TRUE(program.Outliers.CochranDone);
        EXPECT_TRUE(program.Outliers.GrubbsDone);
        int compared = 0;
        for (const auto& r : rows) {
            if (r.at("study") != name) {
                continue;
            }
            const int level = std::stoi(r.at("level"));
            const int lab = std::stoi(r.at("lab"));
            const char expected = r.at("mark").empty() ? ' ' : r.at("mark")[0];
            EXPECT_EQ(study().Level(level).GetMark(lab), expected)
                << name << " level " << level << " laboratory " << lab;
            outliers += expected == 'C' || expected == 'G';
            ++compared;
        }
        EXPECT_EQ(compared, study().NoOfLabs * study().NoOfLevels) << name;
    }
    // The data hold outliers of both tests; a test that marks nothing fails.
    EXPECT_GE(outliers, 8);
}

TEST_F(OutlierReference, FirstPassStatisticsAgree) {
    const auto rows =
        ReadCsv(std::filesystem::path(VELTRIO_TEST_DATA) / "quality" / "precision_reference.csv");
    for (const std::string name : kStudies) {
        Load(name);
        CochranTest(program);
        for (const auto& r : rows) {
            if (r.at("study") != name || r.at("discard") != "0") {
                continue;
            }
            const int level = std::stoi(r.at("level"));
            const auto slot = TDescriptiveStatistics::Slot(level);
            EXPECT_TRUE(Near(stats().CochranStat[slot], CsvNumber(r.at("cochranC")), 1e-12))
                << name << " level " << level;
            EXPECT_EQ(stats().NoOfGrubbsLabs[slot], std::stoi(r.at("cochranP")));
        }
        GrubbsTest(program);
        const auto& counts = GrubbsCountsOf(program);
        for (const auto& r : rows) {
            if (r.at("study") != name || r.at("discard") != "0") {
                continue;
            }
            const int level = std::stoi(r.at("level"));
            const auto slot = TDescriptiveStatistics::Slot(level);
            EXPECT_TRUE(Near(stats().GrubbsStat[slot], CsvNumber(r.at("grubbsG")), 1e-12))
                << name << " level " << level;
            EXPECT_EQ(counts.LabsBeforeGrubbs[static_cast<std::size_t>(level)],
                      std::stoi(r.at("grubbsP")));
            // After the test the count is that of the laboratories left.
            EXPECT_EQ(stats().NoOfGrubbsLabs[slot], study().Level(level).NoOfValidLabs());
            EXPECT_EQ(counts.LabsAfterGrubbs[static_cast<std::size_t>(level)],
                      study().Level(level).NoOfValidLabs());
        }
    }
}

} // namespace
