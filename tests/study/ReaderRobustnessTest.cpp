// Malformed input of every kind ends in a message or a loaded study. The
// libFuzzer target in fuzz/ explores further; this runs a fixed sample of
// truncations and byte mutations of a real study on every build.
#include <gtest/gtest.h>

#include <random>

#include "base/AtomicFile.h"
#include "study/Program.h"
#include "study/StudyReader.h"

using namespace veltrio;

namespace {

void ExpectConsistent(Program& program, const std::string& bytes) {
    const int error = ReadStudyText(program, bytes, "X.PAR");
    if (error == 0) {
        ASSERT_TRUE(program.StudyLoaded);
        ASSERT_NE(program.Stats, nullptr);
        ASSERT_LE(program.CurrentStudy->NoOfLevels, 3);
        ASSERT_LE(program.CurrentStudy->NoOfLabs, 45);
    } else {
        ASSERT_FALSE(program.StudyLoaded);
        ASSERT_EQ(program.CurrentStudy, nullptr);
    }
}

} // namespace

TEST(ReaderRobustness, TruncationsAndMutationsOfARealStudy) {
    std::string original;
    ASSERT_TRUE(ReadWholeFile(std::string(VELTRIO_VALIDATION_DIR) + "/PENT_ABC.PAR", original));
    SilentHost host;
    Program program(host);
    for (std::size_t n = 0; n <= original.size(); n += 3) {
        ExpectConsistent(program, original.substr(0, n));
    }
    std::mt19937 rng(20261210);
    const char interesting[] = {'\0', '"', '<', '-', ',', '.', '=', 'U', '\n', '\r', '9', '\xFF', ';'};
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = original;
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = rng() % bytes.size();
            switch (rng() % 3) {
            case 0:
                bytes[at] = interesting[rng() % sizeof interesting];
                break;
            case 1:
                bytes.erase(at, 1 + rng() % 8);
                break;
            default:
                bytes.insert(at, 1, static_cast<char>(rng() % 256));
            }
            if (bytes.empty()) {
                bytes = "F";
            }
        }
        ExpectConsistent(program, bytes);
    }
}
