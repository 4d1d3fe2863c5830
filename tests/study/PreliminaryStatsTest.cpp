// "Descriptive statistics": the figures against an independent computation
// in R (scripts/study/preliminary_reference.R, output in
// tests/data/study/preliminary_reference.csv), the counts, and the document.
#include "StudyFixture.h"
#include "support/GoldenDocument.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "base/AtomicFile.h"
#include "documents/Contents.h"
#include "documents/DocumentExport.h"
#include "documents/testing/FakeCanvas.h"
#include "study/DescriptiveReport.h"
#include "study/PreliminaryStats.h"
#include "study/ReportFraming.h"

using namespace veltrio;
using veltrio::testing::StudyFixture;

namespace {

struct Row {
    std::string Study;
    int Level, Column, Usable;
    std::array<double, 12> Figures; // min q25 median q75 max mean sd range iqr rs cv rcv
};

std::vector<Row> LoadRows() {
    std::ifstream in(std::string(VELTRIO_TEST_DATA) + "/study/preliminary_reference.csv");
    std::vector<Row> rows;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream ss(line);
        Row r;
        ss >> r.Study >> r.Level >> r.Column >> r.Usable;
        for (double& f : r.Figures) {
            ss >> f;
        }
        rows.push_back(r);
    }
    return rows;
}

std::string PathOf(const std::string& study) {
    return study == "SPLIT" ? std::string(VELTRIO_TEST_DATA) + "/study/SPLIT.PAR"
                            : std::string(VELTRIO_VALIDATION_DIR) + "/" + study + ".PAR";
}

} // namespace

class PreliminaryStats : public StudyFixture {
protected:
    TPreliminaryStats prelim;
};

TEST_F(PreliminaryStats, FiguresAgreeWithR) {
    const auto rows = LoadRows();
    ASSERT_EQ(rows.size(), 7u);
    std::string loaded;
    for (const auto& r : rows) {
        if (r.Study != loaded) {
            ASSERT_EQ(ReadStudyFile(program, PathOf(r.Study)), 0);
            prelim.ResetDescriptive();
            prelim.ComputeDescriptive(program);
            ASSERT_TRUE(prelim.DescCalculated);
            loaded = r.Study;
        }
        using P = TPreliminaryStats;
        const double actual[12] = {
            P::At(prelim.DescMin, r.Level, r.Column),   P::At(prelim.DescQ25, r.Level, r.Column),
            P::At(prelim.DescMedian, r.Level, r.Column), P::At(prelim.DescQ75, r.Level, r.Column),
            P::At(prelim.DescMax, r.Level, r.Column),   P::At(prelim.DescMean, r.Level, r.Column),
            P::At(prelim.DescSD, r.Level, r.Column),    P::At(prelim.DescRange, r.Level, r.Column),
            P::At(prelim.DescIQR, r.Level, r.Column),   P::At(prelim.DescRobustSD, r.Level, r.Column),
            P::At(prelim.DescCV, r.Level, r.Column),    P::At(prelim.DescRobustCV, r.Level, r.Column)};
        static const char* names[12] = {"min", "q25", "median", "q75", "max", "mean",
                                        "sd",  "range", "iqr", "robust sd", "cv", "robust cv"};
        EXPECT_EQ(P::At(prelim.DescUsable, r.Level, r.Column), r.Usable);
        for (int i = 0; i < 12; ++i) {
            const std::string what = r.Study + " level " + std::to_string(r.Level) + " column " +
                                     std::to_string(r.Column) + " " + names[i];
            if (r.Figures[i] == MissingValue) {
                EXPECT_EQ(actual[i], MissingValue) << what;
            } else {
                // Sums of a few dozen values: agreement to 1e-12 relative.
                EXPECT_NEAR(actual[i], r.Figures[i], 1e-12 * std::max(1.0, std::fabs(r.Figures[i])))
                    << what;
            }
        }
    }
}

TEST_F(PreliminaryStats, CountsClassifyEveryResult) {
    ASSERT_EQ(ReadStudyFile(program, PathOf("SPLIT")), 0);
    prelim.ComputeDescriptive(program);
    using P = TPreliminaryStats;
    struct Case {
        int Level, Column, Total, Excluded, Below, Missing, Usable;
    } cases[] = {
        {1, 1, 7, 1, 0, 1, 5},
        {1, 2, 7, 1, 1, 0, 5},
        {2, 1, 7, 1, 0, 5, 1},
        {2, 2, 7, 1, 0, 3, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(P::At(prelim.DescTotal, c.Level, c.Column), c.Total);
        EXPECT_EQ(P::At(prelim.DescExcluded, c.Level, c.Column), c.Excluded);
        EXPECT_EQ(P::At(prelim.DescBelowLimit, c.Level, c.Column), c.Below);
        EXPECT_EQ(P::At(prelim.DescMissing, c.Level, c.Column), c.Missing);
        EXPECT_EQ(P::At(prelim.DescUsable, c.Level, c.Column), c.Usable);
    }
    prelim.ResetDescriptive();
    EXPECT_FALSE(prelim.DescCalculated);
    EXPECT_EQ(P::At(prelim.DescMean, 1, 1), MissingValue);
    EXPECT_EQ(P::At(prelim.DescMin, 1, 1), 2147483647.0);
    EXPECT_EQ(P::At(prelim.DescUsable, 1, 1), 0);
}

TEST_F(PreliminaryStats, StandardDeviationOfValuesOfExtremeMagnitude) {
    // Split level, sample 1: a, 2a, 3a (+ the other laboratories' missing
    // values) has the standard deviation a at any scale; raw squares gave
    // infinity near 1e241, zero near 1e-241, and lost the spread of values
    // that are large next to it.
    ASSERT_EQ(ReadStudyFile(program, PathOf("SPLIT")), 0);
    struct Case {
        double Offset, Scale;
    } cases[] = {{0.0, 1e-241}, {0.0, 1e241}, {0.0, 1.0}, {1e6, 1e-3}};
    for (const auto& c : cases) {
        TLevel& level = program.CurrentStudy->Level(1);
        for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
            level.SetMark(lab, MarkNone);
            level.SetResult(lab, 1, ' ', lab <= 3 ? c.Offset + lab * c.Scale : MissingValue, 2);
        }
        prelim.ComputeDescriptive(program);
        const double sd = TPreliminaryStats::At(prelim.DescSD, 1, 1);
        EXPECT_NEAR(sd / c.Scale, 1.0, c.Offset == 0.0 ? 1e-12 : 1e-5) << c.Scale;
    }
}

TEST_F(PreliminaryStats, UniformLevelBelowSixValuesHasNoQuartiles) {
    const std::string file = R"(FILEHEADER UNIFORM NLABS = 6 NREPLICATES = 1 NOOFLEVELS = 1
SUBSTANCE = "Zinc" UNIT = "%" TESTID = "Q" END
LEVELHEADER LEVELID = "A" END LEVELDATA
1 A 1.0 M
2 B 2.0 M
3 C 4.0 M
4 D 8.0 M
5 E 16.0 M
6 F 32.0 M
END
)";
    ASSERT_EQ(Read(file), 0);
    prelim.ComputeDescriptive(program);
    using P = TPreliminaryStats;
    EXPECT_EQ(P::At(prelim.DescQ25, 1, 1), 2.0); // a*n = 150: the 2nd smallest
    EXPECT_EQ(P::At(prelim.DescQ75, 1, 1), 16.0);
    EXPECT_EQ(P::At(prelim.DescIQR, 1, 1), 14.0);
    EXPECT_DOUBLE_EQ(P::At(prelim.DescRobustSD, 1, 1), 14.0 / 1.349);

    // An outlier mark does not exclude here; only U and L do.
    program.CurrentStudy->Level(1).SetMark(6, 'G');
    program.CurrentStudy->Level(1).SetMark(5, 'L');
    prelim.ComputeDescriptive(program);
    EXPECT_EQ(P::At(prelim.DescUsable, 1, 1), 5);
    EXPECT_EQ(P::At(prelim.DescExcluded, 1, 1), 1);
    EXPECT_EQ(P::At(prelim.DescQ25, 1, 1), MissingValue);
    EXPECT_EQ(P::At(prelim.DescQ75, 1, 1), MissingValue);
    EXPECT_EQ(P::At(prelim.DescIQR, 1, 1), MissingValue);
    // Without quartiles there is no robust spread either (not a spread of 0).
    EXPECT_EQ(P::At(prelim.DescRobustSD, 1, 1), MissingValue);
    EXPECT_EQ(P::At(prelim.DescRobustCV, 1, 1), MissingValue);
    EXPECT_EQ(P::At(prelim.DescMax, 1, 1), 32.0);
}

using veltrio::testing::ExpectGoldenDocument;

TEST_F(PreliminaryStats, ReportDocumentMatchesItsGoldenText) {
    for (const std::string study : {"GLUC_ABC", "SPLIT"}) {
        ASSERT_EQ(ReadStudyFile(program, PathOf(study)), 0);
        program.CurrentFile = study + ".PAR";
        program.FixedDate = "2026-01-01";
        prelim.ResetDescriptive();
        auto doc = MakeDescriptiveReport(program, prelim);
        ASSERT_NE(doc, nullptr);
        EXPECT_TRUE(prelim.DescCalculated);
        EXPECT_EQ(program.NextHelpContext, 5800);
        EXPECT_EQ(doc->PrintTitle, "VELTRIO");
        ASSERT_EQ(doc->PageFooter.size(), 2u);
        EXPECT_EQ(doc->PageFooter[1], "2026-01-01");
        ExpectGoldenDocument(*doc, std::filesystem::path(VELTRIO_TEST_DATA) / "study",
                             "descriptive_" + study);
    }
    DescriptiveReport(program, prelim);
    EXPECT_EQ(host.ProgressStarted, host.ProgressEnded);
}

// Every study shipped in examples/ gives its reviewed descriptive statistics,
// so an example can never break silently.
TEST_F(PreliminaryStats, EveryExampleStudy) {
    int studies = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(VELTRIO_SOURCE_DIR) / "examples")) {
        if (entry.path().extension() != ".PAR") {
            continue;
        }
        const std::string name = entry.path().stem().string();
        ASSERT_EQ(ReadStudyFile(program, entry.path()), 0) << name;
        program.CurrentFile = "examples/" + entry.path().filename().string();
        program.FixedDate = "2026-01-01";
        prelim.ResetDescriptive();
        auto doc = MakeDescriptiveReport(program, prelim);
        ASSERT_NE(doc, nullptr);
        ExpectGoldenDocument(*doc, std::filesystem::path(VELTRIO_TEST_DATA) / "examples",
                             name + ".descriptive-statistics");
        ++studies;
    }
    EXPECT_GE(studies, 4);
}
