// Control of recovery rates, the differences within sample pairs and the
// automatic spiking correction of the Cochran test. The figures of the
// split-level study SPIKE.PAR are checked against base R
// (scripts/preliminary/recovery_pairs_reference.R: t.test of the laboratory
// means against the assigned value and of the pair differences against 0,
// Cochran's C of the pairs with and without the mean difference).
#include "PreliminaryFixture.h"

#include <cstring>
#include <stdexcept>

#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"
#include "preliminary/RecoveryControl.h"
#include "preliminary/SplitControl.h"
#include "study/Program.h"
#include "study/Transformations.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

const std::filesystem::path kSpike =
    std::filesystem::path(VELTRIO_TEST_DATA) / "preliminary" / "SPIKE.PAR";

// Every stored result with its bits, to compare for exact equality.
struct StoredResult {
    std::uint64_t Bits;
    char Flag;
    int Decimals;
    bool operator==(const StoredResult&) const = default;
};

std::vector<StoredResult> StoredResults(const DataType& s) {
    std::vector<StoredResult> out;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
            for (int rep = 1; rep <= s.NoOfReplicates; ++rep) {
                const TResult r = s.Level(lv).GetResult(lab, rep);
                std::uint64_t bits = 0;
                std::memcpy(&bits, &r.Value, sizeof bits);
                out.push_back({bits, r.Flag, r.Decimals});
            }
        }
    }
    return out;
}

bool Contains(const TTavContents& doc, const std::string& text) {
    for (const auto& line : doc.AsStrings()) {
        if (line.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

class RecoveryPairs : public PreliminaryFixture {
protected:
    void LoadSpike(bool correction) {
        ASSERT_EQ(ReadStudyFile(program, kSpike), 0);
        program.Settings.AutoSplitCorrection = correction;
        program.CurrentFile = "SPIKE.PAR";
        program.FixedDate = "2026-01-01";
    }
    std::vector<std::map<std::string, std::string>> Reference() const {
        return ReadCsv(std::filesystem::path(VELTRIO_TEST_DATA) / "preliminary" /
                       "recovery_pairs_reference.csv");
    }
    TSplitControl& split() { return SplitControlOf(program); }
};

TEST_F(RecoveryPairs, RecoveryAgreesWithR) {
    LoadSpike(false);
    TRecoveryControl rc;
    rc.ComputeRecovery(program);
    const auto ref = Reference();
    ASSERT_EQ(ref.size(), 2u);
    for (const auto& row : ref) {
        const auto lv = static_cast<std::size_t>(std::stoi(row.at("level")));
        SCOPED_TRACE(lv);
        EXPECT_EQ(rc.NoOfLabs[lv], std::stoi(row.at("rec_p")));
        EXPECT_TRUE(Near(rc.MeanOfMeans[lv], CsvNumber(row.at("rec_mean")), 1e-12));
        EXPECT_TRUE(Near(rc.Variance[lv], CsvNumber(row.at("rec_var")), 1e-10));
        EXPECT_TRUE(Near(rc.SD[lv], CsvNumber(row.at("rec_sd")), 1e-10));
        EXPECT_TRUE(Near(rc.TValue[lv], CsvNumber(row.at("rec_t")), 1e-10));
        EXPECT_TRUE(Near(rc.PValue[lv], CsvNumber(row.at("rec_P")), 1e-8));
    }
}

TEST_F(RecoveryPairs, PairDifferencesAgreeWithR) {
    LoadSpike(false);
    split().ComputeDifferences(program);
    EXPECT_TRUE(split().PairsComputed);
    const auto ref = Reference();
    ASSERT_EQ(ref.size(), 2u);
    for (const auto& row : ref) {
        const auto lv = static_cast<std::size_t>(std::stoi(row.at("level")));
        SCOPED_TRACE(lv);
        // The '<' second result of K10 leaves level 1 with nine pairs.
        EXPECT_EQ(split().NoOfLabs[lv], std::stoi(row.at("pairs_p")));
        EXPECT_TRUE(Near(split().MeanDifference[lv], CsvNumber(row.at("pairs_mean")), 1e-12));
        EXPECT_TRUE(Near(split().DiffVariance[lv], CsvNumber(row.at("pairs_var")), 1e-10));
        EXPECT_TRUE(Near(split().DiffSD[lv], CsvNumber(row.at("pairs_sd")), 1e-10));
        EXPECT_TRUE(Near(split().TValue[lv], CsvNumber(row.at("pairs_t")), 1e-10));
        EXPECT_TRUE(Near(split().PValue[lv], CsvNumber(row.at("pairs_P")), 1e-8));
    }
    EXPECT_TRUE(split().Significant(1));
    EXPECT_FALSE(split().Significant(2));
    EXPECT_EQ(split().SignificantLevels, 1);
}

// Cochran's C of level 1 on the pairs as stored and on the corrected pairs,
// with the setting off and on; the stored results are the same bits after.
TEST_F(RecoveryPairs, CochranOnCorrectedPairsAgreesWithR) {
    const auto ref = Reference();
    struct Case {
        bool Correction;
        const char* Column;
        char MarkK09;
    };
    for (const Case c : {Case{false, "cochran_raw", ' '}, Case{true, "cochran_corrected", 'C'}}) {
        SCOPED_TRACE(c.Correction);
        LoadSpike(c.Correction);
        const auto before = StoredResults(study());
        split().ComputeDifferences(program);
        program.Outliers.Clear();
        CochranTest(program);
        EXPECT_TRUE(Near(stats().CochranStat[0], CsvNumber(ref[0].at(c.Column)), 1e-12));
        EXPECT_EQ(study().Level(1).GetMark(9), c.MarkK09);
        // Level 2 is not significant: never corrected.
        EXPECT_TRUE(Near(stats().CochranStat[1], CsvNumber(ref[1].at("cochran_raw")), 1e-12));
        EXPECT_EQ(StoredResults(study()), before);
        auto doc = MakeCochranReport(program);
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(Contains(*doc, program.LibText(2, 109)), c.Correction);
        EXPECT_EQ(StoredResults(study()), before);
        // The cell statistics follow the restored results again.
        EXPECT_TRUE(Near(stats().Difference(1, 9), 20.5 - 22.4, 1e-12));
    }
}

// The table of the Cochran report shows the corrected differences.
TEST_F(RecoveryPairs, CochranReportShowsCorrectedPairs) {
    for (const bool correction : {false, true}) {
        LoadSpike(correction);
        split().ComputeDifferences(program);
        program.Outliers.Clear();
        auto doc = MakeCochranReport(program);
        ASSERT_NE(doc, nullptr);
        // K09: d = 20.5 - 22.4 = -1.9; corrected -1.9 + 0.756 = -1.1 (one
        // decimal, as the results).
        EXPECT_EQ(Contains(*doc, "-1.1"), correction);
        EXPECT_EQ(Contains(*doc, "-1.9"), !correction);
    }
}

TEST_F(RecoveryPairs, CorrectionRestoresOnException) {
    LoadSpike(true);
    split().ComputeDifferences(program);
    const auto before = StoredResults(study());
    const TResult lessThan = study().Level(1).GetResult(10, 2);
    const TResult stored = study().Level(1).GetResult(1, 2);
    ASSERT_EQ(lessThan.Flag, '<');
    try {
        const TSpikingCorrection correction(program, split());
        ASSERT_TRUE(correction.Applied());
        // Inside: level 1 shifted by the mean difference, K10's '<' result
        // and level 2 untouched.
        const double d = split().MeanDifference[1];
        EXPECT_EQ(study().Level(1).GetResult(1, 2).Value, stored.Value + d);
        EXPECT_EQ(study().Level(1).GetResult(10, 2).Value, lessThan.Value);
        EXPECT_EQ(study().Level(1).GetResult(10, 2).Flag, '<');
        EXPECT_EQ(study().Level(2).GetResult(1, 2).Value, 30.0);
        throw std::runtime_error("stop");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(StoredResults(study()), before);
    EXPECT_FALSE(program.Outliers.CochranDone);
}

TEST_F(RecoveryPairs, ClearedWhenStudyOrMarksChange) {
    struct Case {
        TStateChange Change;
        bool Kept;
    };
    for (const Case c : {Case{TStateChange::OutlierTest, true}, Case{TStateChange::Marks, false},
                         Case{TStateChange::Study, false}}) {
        LoadSpike(true);
        split().ComputeDifferences(program);
        ASSERT_EQ(split().SignificantLevels, 1);
        if (c.Change == TStateChange::Study) {
            program.StudyReplaced();
        } else {
            program.MarksChanged(c.Change);
        }
        EXPECT_EQ(split().PairsComputed, c.Kept);
        EXPECT_EQ(split().SignificantLevels, c.Kept ? 1 : 0);
    }
}

TEST_F(RecoveryPairs, PairsReportClearsTestFlagsAndNamesLevels) {
    for (const bool correction : {false, true}) {
        LoadSpike(correction);
        GrubbsTest(program);
        auto doc = MakePairDifferencesReport(program);
        ASSERT_NE(doc, nullptr);
        EXPECT_FALSE(program.Outliers.CochranDone);
        EXPECT_FALSE(program.Outliers.GrubbsDone);
        EXPECT_TRUE(Contains(*doc, program.LibText(2, 61) + " A1A2" + program.LibText(2, 62)));
        EXPECT_TRUE(Contains(*doc, program.LibText(2, correction ? 63 : 64)));
        EXPECT_FALSE(Contains(*doc, program.LibText(2, correction ? 64 : 63)));
        EXPECT_TRUE(Contains(*doc, program.LibText(2, 46)));
    }
}

TEST(LevelListTest, JoinsNames) {
    struct Case {
        std::vector<std::string> Names;
        const char* Expected;
    };
    for (const Case& c :
         {Case{{"A"}, "A"}, Case{{"A", "B"}, "A and B"}, Case{{"A", "B", "C"}, "A, B and C"}}) {
        EXPECT_EQ(LevelList(c.Names, " and"), c.Expected);
    }
}

TEST_F(RecoveryPairs, ThreeSignificantLevelsAreListed) {
    // Every level: sample 2 about 1 below sample 1, with some spread.
    const LabRows rows = {{10.0, 9.0}, {10.2, 9.1}, {9.9, 9.0}, {10.1, 8.9}, {10.0, 9.1}};
    LoadText(true, 2, {rows, rows, rows});
    auto doc = MakePairDifferencesReport(program);
    EXPECT_EQ(split().SignificantLevels, 3);
    EXPECT_TRUE(Contains(*doc, program.LibText(2, 61) + " S0aS0b, S1aS1b" + program.LibText(2, 57) +
                                   " S2aS2b" + program.LibText(2, 62)));
}

TEST_F(RecoveryPairs, PairEdgeCases) {
    struct Case {
        const char* Name;
        LabRows Rows;
        double Mean, SD;
    };
    const Case cases[] = {
        // One laboratory with a pair: s, t and P cannot be computed.
        {"one laboratory", {{10.0, 9.0}, {10.0, -99}, {-99, 9.5}}, 1.0, MissingValue},
        // All differences equal: s = 0, no t.
        {"equal differences", {{10.0, 9.5}, {11.0, 10.5}, {12.0, 11.5}}, 0.5, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        LoadText(true, 2, {c.Rows});
        program.Settings.AutoSplitCorrection = true;
        const auto before = StoredResults(study());
        split().ComputeDifferences(program);
        EXPECT_EQ(split().MeanDifference[1], c.Mean);
        EXPECT_EQ(split().DiffSD[1], c.SD);
        EXPECT_EQ(split().TValue[1], MissingValue);
        EXPECT_EQ(split().PValue[1], MissingValue);
        EXPECT_FALSE(split().Significant(1));
        EXPECT_EQ(split().SignificantLevels, 0);
        auto doc = MakeCochranReport(program);
        EXPECT_FALSE(Contains(*doc, program.LibText(2, 109)));
        EXPECT_EQ(StoredResults(study()), before);
    }
}

TEST_F(RecoveryPairs, NoMeanDifferenceWithoutPairs) {
    // A split-level study with three results a cell has no pair
    // differences: never a mean difference of 0. The reader refuses such a
    // file, so the study is made split level after reading.
    LoadText(false, 3, {{{10.0, 9.0, 9.5}, {10.2, 9.1, 9.6}, {9.9, 9.0, 9.4}}});
    program.CurrentStudy->Design = dkSplitLevel;
    program.RecomputeStatistics();
    split().ComputeDifferences(program);
    EXPECT_EQ(split().NoOfLabs[1], 0);
    EXPECT_EQ(split().MeanDifference[1], MissingValue);
    EXPECT_EQ(split().TValue[1], MissingValue);
    EXPECT_EQ(split().SignificantLevels, 0);
}

TEST_F(RecoveryPairs, RecoveryEdgeCases) {
    struct Case {
        const char* Name;
        LabRows Rows;
        const char* Assigned; // the ASSIGNED line, or none
        double SD, T;
        const char* Recovery; // as the recovery row shows it
    };
    const Case cases[] = {
        {"one laboratory", {{10.0, 10.2}, {-99, -99}}, "10", MissingValue, MissingValue, "101.0"},
        {"equal means",
         {{10.0, 10.2}, {10.2, 10.0}, {10.1, 10.1}},
         "10",
         0.0,
         MissingValue,
         "101.0"},
        {"assigned value missing",
         {{10.0, 10.2}, {10.4, 10.6}},
         nullptr,
         std::sqrt(0.08),
         MissingValue,
         "-"},
        {"assigned value 0", {{1.0, 1.2}, {1.4, 1.6}}, "0", std::sqrt(0.08), 6.5, "-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string text = StudyText(false, 2, {c.Rows});
        if (c.Assigned) {
            const auto at = text.find("LEVELID");
            text.insert(at, std::string("ASSIGNED = ") + c.Assigned + "\n  ");
        }
        ASSERT_EQ(Read(text), 0);
        TRecoveryControl rc;
        rc.ComputeRecovery(program);
        if (c.SD == MissingValue) {
            EXPECT_EQ(rc.SD[1], MissingValue);
            EXPECT_EQ(rc.Variance[1], MissingValue);
        } else {
            EXPECT_TRUE(Near(rc.SD[1], c.SD, 1e-12));
        }
        if (c.T == MissingValue) {
            EXPECT_EQ(rc.TValue[1], MissingValue);
            EXPECT_EQ(rc.PValue[1], MissingValue);
        } else {
            // t = sqrt(2) * (1.3 - 0) / sqrt(0.08) = 6.5.
            EXPECT_TRUE(Near(rc.TValue[1], c.T, 1e-12));
            EXPECT_NE(rc.PValue[1], MissingValue);
        }
        auto doc = rc.MakeReport(program);
        const auto lines = doc->AsStrings();
        bool recoveryRow = false;
        for (const auto& line : lines) {
            const auto label = line.find(program.LibText(2, 108));
            if (label != std::string::npos) {
                recoveryRow = true;
                EXPECT_NE(line.find(c.Recovery, label + program.LibText(2, 108).size()),
                          std::string::npos)
                    << line;
            }
        }
        EXPECT_TRUE(recoveryRow);
    }
}

TEST_F(RecoveryPairs, RecoveryStarsAndNotes) {
    struct Case {
        double P;
        const char* Stars;
    };
    for (const Case c : {Case{0.0004, "***"}, Case{0.004, "**"}, Case{0.04, "*"}, Case{0.05, ""},
                         Case{MissingValue, ""}}) {
        EXPECT_EQ(SignificanceStars(c.P), c.Stars) << c.P;
    }
    LoadSpike(false);
    auto doc = TRecoveryControl().MakeReport(program);
    // Level 1: P = 0.0147, one star and the notes of all three levels.
    for (const int item : {44, 45, 46}) {
        EXPECT_TRUE(Contains(*doc, program.LibText(2, item))) << item;
    }
    EXPECT_FALSE(Contains(*doc, program.LibText(2, 47)));
}

// A transformation replaces the study: the pair differences of the old
// scale are gone. The recovery is taken back to the original scale:
// in R, m <- mean((log(a) + log(b - 2)) / 2) over K01..K09 of level 1,
// 100 * exp(m) / 20 = 102.3.
TEST_F(RecoveryPairs, TransformedStudy) {
    LoadSpike(true);
    program.Settings.DiscardOutlierTests = true;
    split().ComputeDifferences(program);
    ASSERT_TRUE(split().PairsComputed);
    ASSERT_TRUE(ApplyTransformation(program, 1));
    EXPECT_FALSE(split().PairsComputed);
    EXPECT_EQ(split().SignificantLevels, 0);
    TRecoveryControl rc;
    auto doc = rc.MakeReport(program);
    EXPECT_TRUE(Near(rc.MeanOfMeans[1], 3.018380, 1e-6));
    bool found = false;
    for (const auto& line : doc->AsStrings()) {
        if (line.find(program.LibText(2, 108)) != std::string::npos) {
            found = true;
            EXPECT_NE(line.find("102.3"), std::string::npos) << line;
        }
    }
    EXPECT_TRUE(found);
    EXPECT_TRUE(Contains(*doc, program.LibText(2, 115)));
}

// A Grubbs outlier leaves the mean and the spread and is shown "UG".
TEST_F(RecoveryPairs, GrubbsOutliersAreLeftOut) {
    const LabRows rows = {{10.0, 10.1}, {10.2, 10.1}, {9.9, 10.0}, {10.1, 10.2},
                          {10.0, 9.9},  {10.1, 10.0}, {9.8, 9.9},  {14.0, 14.1}};
    std::string text = StudyText(false, 2, {rows});
    text.insert(text.find("LEVELID"), "ASSIGNED = 10\n  ");
    ASSERT_EQ(Read(text), 0);
    TRecoveryControl rc;
    auto doc = rc.MakeReport(program);
    ASSERT_EQ(study().Level(1).GetMark(8), 'G');
    EXPECT_EQ(rc.NoOfLabs[1], 7);
    // The mean of the seven others: (20.1 + 20.3 + 19.9 + 20.3 + 19.9 +
    // 20.1 + 19.7) / 2 / 7.
    EXPECT_TRUE(Near(rc.MeanOfMeans[1], 140.3 / 14, 1e-12));
    EXPECT_TRUE(Contains(*doc, "UG"));
    EXPECT_TRUE(Contains(*doc, program.LibText(2, 49)));
    EXPECT_FALSE(Contains(*doc, program.LibText(2, 48)));
}

TEST_F(RecoveryPairs, ResidualPlotsOnlyTellTheirMessage) {
    LoadSpike(false);
    const auto before = StoredResults(study());
    ResidualPlots(program);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0], program.LibText(5, 17));
    EXPECT_EQ(StoredResults(study()), before);
}

TEST_F(RecoveryPairs, CochranDialogUntilPairsComputed) {
    LoadSpike(true);
    CochranOutliersCommand(program);
    ASSERT_EQ(host.Dialogs.size(), 1u);
    EXPECT_EQ(host.Dialogs[0].Caption, CochranDialogCaption);
    PairDifferencesReport(program);
    CochranOutliersCommand(program);
    EXPECT_EQ(host.Dialogs.size(), 1u);
    // With the pairs computed, the Cochran test ran again on corrected pairs.
    EXPECT_EQ(study().Level(1).GetMark(9), 'C');
}

} // namespace
