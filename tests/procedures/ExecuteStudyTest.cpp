// "Execute interlaboratory study" on the example studies: the documents and
// charts it shows, in order, named by their help contexts, for the designs
// and settings that change what runs (split level with and without the
// automatic spiking correction, uniform with two and three replicates, one
// level, the outlier tests discarded, no assigned values).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ChartFixture.h"
#include "PreliminaryFixture.h"
#include "commands/Composites.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

// Records documents and charts in the order they are shown.
class SequenceHost : public ChartHost {
public:
    struct Window {
        bool Chart;
        std::string Caption;
        int HelpContext;
    };
    std::vector<Window> Windows;
    void ShowDocument(std::shared_ptr<TTavContents>, const std::string& caption, int help) override {
        Windows.push_back({false, caption, help});
    }
    void ShowChart(std::shared_ptr<TGraphWindow> chart, const std::string& caption,
                   int help) override {
        Windows.push_back({true, caption, help});
        ChartHost::ShowChart(std::move(chart), caption, help);
    }
    // The help contexts with runs of equal ones shown once.
    std::vector<int> Contexts() const {
        std::vector<int> out;
        for (const Window& w : Windows) {
            if (out.empty() || out.back() != w.HelpContext) {
                out.push_back(w.HelpContext);
            }
        }
        return out;
    }
    int Count(int help, bool chart) const {
        int n = 0;
        for (const Window& w : Windows) {
            n += w.HelpContext == help && w.Chart == chart ? 1 : 0;
        }
        return n;
    }
};

class ExecuteStudyTest : public PreliminaryFixture {
protected:
    ExecuteStudyTest() { program.SetHost(windows); }
    SequenceHost windows;
};

std::filesystem::path Example(const char* name) {
    return std::filesystem::path(VELTRIO_SOURCE_DIR) / "examples" / (std::string(name) + ".PAR");
}

TEST_F(ExecuteStudyTest, EveryExampleShowsTheWindowsOfItsDesign) {
    const auto data = std::filesystem::path(VELTRIO_TEST_DATA);
    struct Case {
        const char* Name;
        std::filesystem::path File;
        bool AutoSplit;
        bool Discard;
        std::vector<int> Contexts;
        int Dialogs; // messages of the composites (assigned values, spiking correction)
        int LineDiagrams, YoudenPlots;
    };
    // 5000 base table, 5100 corrected for spiking, 5600 pair differences,
    // 5200 Cochran, 5300 Grubbs, 5400 Youden plots, 5500 line diagrams,
    // 5700 recovery rates, 6000 analysis of variance, 6100 consensus means,
    // 6200 weight function, 6300 regression, 7000 Mandel's h and k.
    const Case cases[] = {
        {"split level, automatic correction", Example("NITRATE"), true, false,
         {5000, 5100, 5600, 5200, 5300, 5400, 5700, 6000, 7000}, 1, 0, 2},
        // The pair differences run before Cochran's test, so its note on the
        // missing correction is not shown either way.
        {"split level, no automatic correction", Example("NITRATE"), false, false,
         {5000, 5100, 5600, 5200, 5300, 5400, 5700, 6000, 7000}, 1, 0, 2},
        {"uniform, two replicates", Example("PESTICIDE"), true, false,
         {5000, 5200, 5300, 5400, 5700, 6000, 6100, 6200, 6300, 7000}, 0, 0, 2},
        {"uniform, three replicates, no assigned values", Example("GLUCOSE"), true, false,
         {5000, 5200, 5300, 5500, 5700, 6000, 7000}, 1, 3, 0},
        {"uniform, four replicates", Example("LEAD"), true, false,
         {5000, 5200, 5300, 5500, 5700, 6000, 6100, 6200, 6300, 7000}, 0, 3, 0},
        {"outlier tests discarded", Example("LEAD"), true, true,
         {5000, 5500, 5700, 6000, 6100, 6200, 6300, 7000}, 0, 3, 0},
        {"one level", data / "tools" / "labreports" / "ONE_REP.PAR", true, false,
         {5000, 5200, 5300, 5500, 5700, 6000, 6100, 7000}, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        windows.Windows.clear();
        windows.Dialogs.clear();
        program.Settings.AutoSplitCorrection = c.AutoSplit;
        program.Settings.DiscardOutlierTests = c.Discard;
        ASSERT_EQ(ReadStudyFile(program, c.File), 0);
        ExecuteInterlaboratoryStudy(program);
        EXPECT_EQ(windows.Contexts(), c.Contexts);
        EXPECT_EQ(static_cast<int>(windows.Dialogs.size()), c.Dialogs);
        EXPECT_EQ(windows.Count(5500, true), c.LineDiagrams);
        EXPECT_EQ(windows.Count(5400, true), c.YoudenPlots);
        ASSERT_FALSE(windows.Windows.empty());
        EXPECT_EQ(windows.Windows.front().Caption, program.LibText(5, 71));
        // Mandel's h and k: a document and at least one chart each.
        EXPECT_GE(windows.Count(7000, false), 2);
        EXPECT_GE(windows.Count(7000, true), 2);
    }
}

} // namespace
