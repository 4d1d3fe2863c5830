// Inputs that used to crash, hang or corrupt: files that are no regular
// files, a split level with other than two results a laboratory, control
// characters in the texts of a study, and values of extreme magnitude.
#include "StudyFixture.h"

#include <cmath>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "base/Error.h"
#include "settings/FileSizeLimit.h"

using namespace veltrio;
using veltrio::testing::ScratchFolder;
using veltrio::testing::StudyFixture;

namespace {

std::string SplitStudy(int replicates) {
    std::string text =
        "FILEHEADER\n SPLITLEVEL\n NLABS = 3\n NREPLICATES = " + std::to_string(replicates) +
        "\n NOOFLEVELS = 1\n SUBSTANCE = \"S\"\n UNIT = \"u\"\n TESTID = \"T\"\nEND\n"
        "LEVELHEADER\n LEVELID = \"A\" \"B\"\nEND\nLEVELDATA\n";
    for (int lab = 1; lab <= 3; ++lab) {
        text += "0" + std::to_string(lab) + " L0" + std::to_string(lab);
        for (int r = 1; r <= replicates; ++r) {
            text += " " + std::to_string(10 + lab + r);
        }
        text += " M\n";
    }
    return text + "END\n";
}

std::string UniformStudy(const std::string& results) {
    return "FILEHEADER\n UNIFORM\n NLABS = 3\n NREPLICATES = 3\n NOOFLEVELS = 1\n"
           " SUBSTANCE = \"S\"\n UNIT = \"u\"\n TESTID = \"T\"\nEND\n"
           "LEVELHEADER\n LEVELID = \"A\"\nEND\nLEVELDATA\n" +
           results + "END\n";
}

class HostileInput : public StudyFixture {};

TEST_F(HostileInput, ASplitLevelHoldsTwoResultsALaboratory) {
    for (const int n : {1, 3, 4}) {
        host.Messages.clear();
        EXPECT_EQ(Read(SplitStudy(n)), reSplitReplicates) << n;
        EXPECT_FALSE(program.StudyLoaded) << n;
        ASSERT_EQ(host.Messages.size(), 1u) << n;
        EXPECT_EQ(host.Messages[0], program.LibText(5, 77)) << n;
        EXPECT_NE(host.Messages[0].find("NREPLICATES"), std::string::npos);
    }
    host.Messages.clear();
    EXPECT_EQ(Read(SplitStudy(2)), 0);
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(HostileInput, FilesThatAreNoRegularFilesAreRefusedWithTheirReason) {
    ScratchFolder dir("veltrio-hostile");
    const auto fifo = dir / "PIPE.PAR";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::filesystem::path Path;
        std::string Reason;
    } cases[] = {
        {dir.path(), "it is a folder, not a file"},
        {fifo, "it is not a regular file"},
        {"/dev/zero", "it is not a regular file"},
        {"/dev/urandom", "it is not a regular file"},
    };
    for (const auto& c : cases) {
        host.Messages.clear();
        ASSERT_EQ(Read(UniformStudy("01 L01 1 2 3 M\n02 L02 1 2 3 M\n03 L03 1 2 3 M\n")), 0);
        EXPECT_NE(ReadStudyFile(program, c.Path), 0) << c.Path;
        EXPECT_FALSE(program.StudyLoaded) << "the old study is gone, as for any refused file";
        ASSERT_EQ(host.Messages.size(), 1u) << c.Path;
        EXPECT_EQ(host.Messages[0],
                  "Cannot open the file " + c.Path.string() + ": " + c.Reason + ".");
    }
}

TEST_F(HostileInput, ControlCharactersNeverReachTheStudy) {
    std::string text = UniformStudy(std::string("01 L\x01") + "1 1 2 3 M\x1b" +
                                    "1\n02 L02 1 2 3 M\n03 L03 1 2 3 M\x7f\n");
    text.replace(text.find("\"S\""), 3, std::string("\"Lead\0in\x07soil\"", 14));
    text.replace(text.find("\"A\""), 3, "\"lo\fw\"");
    ASSERT_EQ(Read(text), 0) << (host.Messages.empty() ? "" : host.Messages[0]);
    auto clean = [](const std::string& s) {
        for (const char c : s) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u == 0x7F) {
                return false;
            }
        }
        return true;
    };
    EXPECT_EQ(study().Substance, "Lead?in?soil");
    EXPECT_EQ(study().Level(1).LevelName, "lo w");
    EXPECT_EQ(study().Level(1).GetRandCode(1), "L?1");
    EXPECT_EQ(study().Level(1).GetMethodCode(1), "M?1");
    for (int lab = 1; lab <= 3; ++lab) {
        EXPECT_TRUE(clean(study().Level(1).GetRandCode(lab)));
        EXPECT_TRUE(clean(study().Level(1).GetMethodCode(lab)));
    }
}

TEST_F(HostileInput, SpreadOfValuesOfExtremeMagnitude) {
    // Results a, 2a, 3a have the standard deviation a for any scale a; the
    // squares of 1e200 overflow a double and those of 1e-200 vanish. A data
    // file reaches such values through a transformation (the inverse of
    // 1e-241), so they are set here directly.
    for (const double a : {1e-241, 1e-200, 1.0, 1e200, 1e241}) {
        ASSERT_EQ(Read(UniformStudy("01 L01 1 2 3 M\n02 L02 1 1 1 M\n03 L03 1 1 1 M\n")), 0);
        for (int r = 1; r <= 3; ++r) {
            program.CurrentStudy->Level(1).SetResult(1, r, ' ', r * a, 2);
        }
        program.RecomputeStatistics();
        EXPECT_NEAR(study().Level(1).LabSD(1) / a, 1.0, 1e-12) << a;
        EXPECT_NEAR(stats().Cell(1, 1).Mean / a, 2.0, 1e-12) << a;
        const double variance = stats().Variance(1, 1);
        if (a * a > 1e-300 && a * a < 1e300) {
            EXPECT_NEAR(variance / (a * a), 1.0, 1e-12) << a;
        } else {
            // Beyond a double's range: it overflows to infinity or vanishes
            // to zero, but is never a number in between.
            EXPECT_TRUE(a > 1 ? std::isinf(variance) : variance == 0.0) << a;
        }
    }
}

} // namespace

namespace {

TEST_F(HostileInput, AnErrorWhileReadingEndsTheProgressDisplay) {
    program.ApplyTransformation = [](Program&, int) {
        throw EVeltrioError("a numerical failure in the transformation");
    };
    std::string text = UniformStudy("01 L01 1 2 3 M\n02 L02 1 2 3 M\n03 L03 1 2 3 M\n");
    text.replace(text.find("END\n"), 4, " TRANSFORM = \"ln\"\nEND\n");
    EXPECT_THROW(Read(text), EVeltrioError);
    EXPECT_GT(host.ProgressStarted, 0);
    EXPECT_EQ(host.ProgressEnded, host.ProgressStarted);
}

} // namespace
