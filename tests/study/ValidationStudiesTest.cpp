// The public validation studies read end to end, their level statistics
// compared with a one-way analysis of variance computed independently in R
// (scripts/study/descriptive_reference.R, output in
// tests/data/study/descriptive_reference.csv).
#include "StudyFixture.h"

#include <fstream>
#include <algorithm>
#include <sstream>

using namespace veltrio;
using veltrio::testing::StudyFixture;

namespace {

struct Reference {
    std::string Study;
    int Level = 0;
    int P = 0;
    double GrandMean, RepeatVar, BetweenMeanSquare, BetweenLabVar, RepeatCV, BetweenLabCV;
};

std::vector<Reference> LoadReference() {
    std::ifstream in(std::string(VELTRIO_TEST_DATA) + "/study/descriptive_reference.csv");
    std::vector<Reference> rows;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream ss(line);
        Reference r;
        ss >> r.Study >> r.Level >> r.P >> r.GrandMean >> r.RepeatVar >> r.BetweenMeanSquare >>
            r.BetweenLabVar >> r.RepeatCV >> r.BetweenLabCV;
        rows.push_back(r);
    }
    return rows;
}

void ExpectRelative(double actual, double expected, const std::string& what) {
    if (expected == MissingValue) {
        EXPECT_EQ(actual, MissingValue) << what;
    } else if (expected == 0.0) {
        EXPECT_EQ(actual, 0.0) << what;
    } else {
        // Algebraically exact computations: agreement to 1e-12.
        EXPECT_NEAR(actual / expected, 1.0, 1e-12) << what << " " << actual << " vs " << expected;
    }
}

} // namespace

class ValidationStudies : public StudyFixture {};

TEST_F(ValidationStudies, LevelStatisticsAgreeWithR) {
    const auto rows = LoadReference();
    ASSERT_EQ(rows.size(), 15u);
    std::string loaded;
    for (const auto& r : rows) {
        if (r.Study != loaded) {
            const auto path = std::filesystem::path(VELTRIO_VALIDATION_DIR) / (r.Study + ".PAR");
            ASSERT_EQ(ReadStudyFile(program, path), 0) << path;
            loaded = r.Study;
        }
        const auto s = TDescriptiveStatistics::Slot(r.Level);
        const std::string what = r.Study + " level " + std::to_string(r.Level);
        EXPECT_EQ(stats().NoOfValidLabs[s], r.P) << what;
        ExpectRelative(stats().GrandMean[s], r.GrandMean, what + " grand mean");
        ExpectRelative(stats().RepeatVar[s], r.RepeatVar, what + " repeatability variance");
        ExpectRelative(stats().BetweenMeanSquare[s], r.BetweenMeanSquare, what + " between MS");
        ExpectRelative(stats().BetweenLabVar[s], r.BetweenLabVar, what + " between variance");
        ExpectRelative(stats().RepeatCV[s], r.RepeatCV, what + " repeatability CV");
        ExpectRelative(stats().BetweenLabCV[s], r.BetweenLabCV, what + " between CV");
    }
    EXPECT_TRUE(host.Messages.empty());
}
