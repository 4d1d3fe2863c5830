#pragma once

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "PreliminaryFixture.h"
#include "documents/testing/FakeCanvas.h"
#include "base/TextUtil.h"
#include "charts/GraphObjects.h"
#include "charts/GraphWindow.h"

namespace veltrio::testing {

// Records the charts handed over for chart windows.
class ChartHost : public RecordingHost {
public:
    struct Shown {
        std::shared_ptr<TGraphWindow> Chart;
        std::string Caption;
        int HelpContext = 0;
    };
    std::vector<Shown> Charts;
    void ShowChart(std::shared_ptr<TGraphWindow> chart, const std::string& caption,
                   int help) override {
        Charts.push_back({std::move(chart), caption, help});
    }
};

// The boxes of the texts the chart draws on the fixed-metric canvas, in the
// window of 800 x 1120 pixels.
inline std::vector<std::pair<std::string, std::array<int, 4>>> DrawnTextBoxes(TGraphWindow& chart) {
    veltrio::testing::FakeCanvas canvas;
    chart.Width = 800;
    chart.Height = 1120;
    chart.Paint(canvas);
    std::vector<std::pair<std::string, std::array<int, 4>>> boxes;
    for (const auto& t : canvas.Texts) {
        if (t.Value.empty() || t.Angle != 0) {
            continue;
        }
        const int w = veltrio::testing::FakeCanvas::CharWidth(t.Font.Size) *
                      static_cast<int>(Utf8Length(t.Value));
        const int h = veltrio::testing::FakeCanvas::LineHeight(t.Font.Size);
        const int left = t.Horz == THorzAlign::Center ? t.X - w / 2
                         : t.Horz == THorzAlign::Right ? t.X - w
                                                       : t.X;
        const int top = t.Vert == TVertAlign::Bottom ? t.Y - h : t.Y;
        boxes.push_back({t.Value, {left, top, left + w, top + h}});
    }
    return boxes;
}

// "a" and "b" for every two drawn texts whose boxes overlap.
inline std::vector<std::string> OverlappingTexts(TGraphWindow& chart) {
    const auto boxes = DrawnTextBoxes(chart);
    std::vector<std::string> found;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            const auto& a = boxes[i].second;
            const auto& b = boxes[j].second;
            if (a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3]) {
                found.push_back("\"" + boxes[i].first + "\" and \"" + boxes[j].first + "\"");
            }
        }
    }
    return found;
}

class ChartFixture : public PreliminaryFixture {
protected:
    ChartFixture() { program.SetHost(charts); }

    void LoadExample(const std::string& name) {
        ASSERT_EQ(ReadStudyFile(program, std::filesystem::path(VELTRIO_SOURCE_DIR) / "examples" /
                                             (name + ".PAR")),
                  0)
            << name;
        ASSERT_TRUE(program.StudyLoaded);
    }

    // A uniform study of one level "Low" with the given laboratory rows
    // ("code result..." in the file's own notation) and, when given, an
    // assigned value.
    void LoadUniform(const std::vector<std::string>& rows, int replicates,
                     const std::string& assigned = "") {
        std::ostringstream out;
        out << "FILEHEADER\n  UNIFORM\n  NLABS = " << rows.size()
            << "\n  NREPLICATES = " << replicates
            << "\n  NOOFLEVELS = 1\n  SUBSTANCE = \"Zinc\"\n  UNIT = \"mg/l\"\n"
               "  TESTID = \"T\"\nEND\nLEVELHEADER\n  LEVELID = \"Low\"\n";
        if (!assigned.empty()) {
            out << "  ASSIGNED = " << assigned << "\n";
        }
        out << "END\nLEVELDATA\n";
        int n = 0;
        for (const auto& row : rows) {
            out << "  " << ++n << " " << row << " M1\n";
        }
        out << "END\n";
        ASSERT_EQ(Read(out.str()), 0) << (charts.Messages.empty() ? "" : charts.Messages[0]);
    }
    const TGraphWindow& OnlyChart() {
        EXPECT_EQ(charts.Charts.size(), 1u);
        return *charts.Charts.at(0).Chart;
    }

    // The shapes of a kind, in drawing order.
    template <typename T> static std::vector<const T*> Shapes(const TDrawWindow& chart) {
        std::vector<const T*> out;
        for (const auto& o : chart.Objects()) {
            if (const auto* t = dynamic_cast<const T*>(o.get())) {
                out.push_back(t);
            }
        }
        return out;
    }
    // The texts that read exactly `text`.
    static std::vector<const TText*> TextsReading(const TDrawWindow& chart,
                                                  const std::string& text) {
        std::vector<const TText*> out;
        for (const TText* t : Shapes<TText>(chart)) {
            if (t->Text == text) {
                out.push_back(t);
            }
        }
        return out;
    }
    static bool HasText(const TDrawWindow& chart, const std::string& text) {
        return !TextsReading(chart, text).empty();
    }
    // Circles with a given diameter (to 1e-4 cm).
    static std::vector<const TCircle*> CirclesOfSize(const TDrawWindow& chart, double size) {
        std::vector<const TCircle*> out;
        for (const TCircle* c : Shapes<TCircle>(chart)) {
            if (std::fabs(c->Size - size) < 1e-4) {
                out.push_back(c);
            }
        }
        return out;
    }

    // Every chart shown, as its caption, help context and shapes, against
    // tests/data/charts/<name>.txt (VELTRIO_UPDATE_GOLDEN=1 rewrites it).
    void ExpectGoldenCharts(const std::string& name) {
        std::string text;
        for (const auto& shown : charts.Charts) {
            text +=
                "chart \"" + shown.Caption + "\" help " + std::to_string(shown.HelpContext) + "\n";
            for (const auto& line : shown.Chart->Describe()) {
                text += "  " + line + "\n";
            }
        }
        const auto golden = std::filesystem::path(VELTRIO_TEST_DATA) / "charts" / (name + ".txt");
        if (std::getenv("VELTRIO_UPDATE_GOLDEN")) {
            WriteFileAtomically(golden, text);
        }
        std::string expected;
        ASSERT_TRUE(ReadWholeFile(golden, expected)) << "missing golden file " << golden;
        if (text != expected) {
            const auto actual =
                std::filesystem::temp_directory_path() / ("veltrio_" + name + ".txt");
            WriteFileAtomically(actual, text);
            ADD_FAILURE() << "diff -u " << golden << " " << actual;
        }
    }

    ChartHost charts;
};

} // namespace veltrio::testing
