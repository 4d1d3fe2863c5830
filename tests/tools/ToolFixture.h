#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChartFixture.h"

namespace veltrio::testing {

// Records charts, documents and messages of the tools.
class ToolHost : public ChartHost {
public:
    struct ShownDocument {
        std::shared_ptr<TTavContents> Document;
        std::string Caption;
        int HelpContext = 0;
    };
    std::vector<ShownDocument> Documents;
    // The method grouping dialog: the codes it was offered; Cancel, or the
    // groups to answer with (none: the default answer).
    std::vector<std::string> OfferedCodes;
    int DialogsShown = 0;
    bool Cancel = false;
    std::optional<TMethodGroupChoice> Choice;
    bool ChooseMethodGroups(const std::vector<std::string>& codes,
                            TMethodGroupChoice& choice) override {
        ++DialogsShown;
        OfferedCodes = codes;
        if (Cancel) {
            return false;
        }
        if (Choice) {
            choice = *Choice;
            return true;
        }
        return Host::ChooseMethodGroups(codes, choice);
    }
    void ShowDocument(std::shared_ptr<TTavContents> document, const std::string& caption,
                      int help) override {
        Documents.push_back({std::move(document), caption, help});
    }
};

inline std::filesystem::path ToolData(const std::string& name) {
    return std::filesystem::path(VELTRIO_TEST_DATA) / "tools" / name;
}

class ToolFixture : public ChartFixture {
protected:
    ToolFixture() { program.SetHost(tools); }

    void LoadTool(const std::string& file) {
        ASSERT_EQ(ReadStudyFile(program, ToolData(file)), 0) << file;
        ASSERT_TRUE(program.StudyLoaded) << file;
        program.CurrentFile = file;
        program.FixedDate = "2026-01-01";
    }

    // Every chart shown, as caption, help context and shapes, against
    // tests/data/tools/<name>.txt (VELTRIO_UPDATE_GOLDEN=1 rewrites it).
    void ExpectGoldenToolCharts(const std::string& name) {
        std::string text;
        for (const auto& shown : tools.Charts) {
            text +=
                "chart \"" + shown.Caption + "\" help " + std::to_string(shown.HelpContext) + "\n";
            for (const auto& line : shown.Chart->Describe()) {
                text += "  " + line + "\n";
            }
        }
        const auto golden = ToolData(name + ".txt");
        if (std::getenv("VELTRIO_UPDATE_GOLDEN")) {
            WriteFileAtomically(golden, text);
        }
        std::string expected;
        ASSERT_TRUE(ReadWholeFile(golden, expected)) << "missing golden file " << golden;
        if (text != expected) {
            const auto actual =
                std::filesystem::temp_directory_path() / ("veltrio_tools_" + name + ".txt");
            WriteFileAtomically(actual, text);
            ADD_FAILURE() << "diff -u " << golden << " " << actual;
        }
    }

    ToolHost tools;
};

} // namespace veltrio::testing
