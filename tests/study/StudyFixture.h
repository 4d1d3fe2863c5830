#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "study/Program.h"
#include "study/StudyReader.h"
#include "support/RecordingHost.h"

namespace veltrio::testing {

// A program with the built English language file open and a recording host.
class StudyFixture : public ::testing::Test {
protected:
    StudyFixture() : program(host) {
        const bool opened =
            program.TextLib.OpenTextLibrary(std::filesystem::path(VELTRIO_BIN_DIR) / "ENGLISH.TEX");
        EXPECT_TRUE(opened) << "the build writes ENGLISH.TEX next to the programs";
    }

    int Read(const std::string& text) { return ReadStudyText(program, text, "TEST.PAR"); }

    const DataType& study() const { return *program.CurrentStudy; }
    const TDescriptiveStatistics& stats() const { return *program.Stats; }

    RecordingHost host;
    Program program;
};

} // namespace veltrio::testing
