// Every text of the preliminary documents, of Mandel's h and k and of the
// performance scores fits its cell: measured with the
// fonts the program ships with (Times New Roman is Liberation Serif, metric
// compatible), no cell's visible text is wider than the cell, so no label
// crosses a column rule in the window, in print or in the exports.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <filesystem>

#include "PdfTools.h"
#include "StudyFixture.h"
#include "base/TextUtil.h"
#include "documents/Cell.h"
#include "documents/Contents.h"
#include "documents/DocumentExport.h"
#include "platform/QtCanvas.h"

#include "documents/Table.h"
#include "labs/MandelH.h"
#include "labs/MandelK.h"
#include "labs/PerformanceScores.h"
#include "preliminary/BaseTable.h"
#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"
#include "preliminary/RecoveryControl.h"
#include "tools/Histogram.h"
#include "tools/MethodEvaluation.h"
#include "preliminary/SplitControl.h"
#include "quality/ANOVA.h"
#include "quality/ANOVAReport.h"
#include "quality/FoundVsNominal.h"
#include "quality/ISOGuide.h"
#include "quality/Regression.h"
#include "quality/Weights.h"
#include "study/DescriptiveReport.h"
#include "study/PreliminaryStats.h"
#include "tools/QuickResponse.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class DocumentLayout : public StudyFixture {
protected:
    static void SetUpTestSuite() { EnsureGuiApplication(); }

    // "what: row r, column c: text (natural width > cell width)" for each
    // cell whose content does not fit.
    std::vector<std::string> Overflows(TTavContents& doc, const std::string& what) {
        QImage scratch(1, 1, QImage::Format_RGB32);
        QPainter painter(&scratch);
        platform::QtCanvas canvas(painter, 96);
        LayOutForExport(doc, canvas);
        // Printed at 600 dpi, text is set without the screen's hinting and
        // comes out wider; the cell must hold it in both.
        platform::QtCanvas print(painter, 600);
        auto width = [&](const TFont& font, const std::string& text) {
            canvas.SetFont(font);
            print.SetFont(font);
            const int screen = canvas.TextWidth(text);
            const int paper = (print.TextWidth(text) * 96 + 599) / 600;
            return std::max(screen, paper);
        };
        std::vector<std::string> found;
        auto check = [&](const TTavBaseTable& t, const std::string& part) {
            for (int r = 0; r < t.RowCount(); ++r) {
                for (int c = 0; c < t.ColCount(); ++c) {
                    const TTavCell& cell = *t.ReadCell(r, c);
                    const bool formatted = cell.Kind == TCellKind::ckFormatLines;
                    if (cell.Width <= 0 || (cell.Kind != TCellKind::ckLines && !formatted)) {
                        continue;
                    }
                    const TFont& font = cell.Font ? *cell.Font : doc.DefaultFont;
                    // The ink of the text: blanks that only place a number
                    // on its decimal point do not count.
                    int need = 0;
                    std::string text;
                    if (formatted) {
                        // Markup is measured as it is drawn.
                        canvas.SetFont(font);
                        print.SetFont(font);
                        need = std::max(cell.NaturalWidth(canvas) - 8,
                                        ((cell.NaturalWidth(print) - 8) * 96 + 599) / 600);
                    }
                    for (const auto& line : cell.TextLines()) {
                        if (!formatted) {
                            need = std::max(need, width(font, Trim(line)));
                        }
                        text += (text.empty() ? "" : " | ") + Trim(line);
                    }
                    // A cell keeps at least 2 pixels clear on either side of its text.
                    if (need + 4 > cell.Width) {
                        found.push_back(what + " " + part + " row " + std::to_string(r) +
                                        ", column " + std::to_string(c) + ": \"" + text + "\" (" +
                                        std::to_string(need) + " > " + std::to_string(cell.Width) +
                                        ")");
                    }
                }
            }
        };
        for (std::size_t i = 0; i < doc.Count(); ++i) {
            if (auto* t = dynamic_cast<TTavTable*>(&doc.Item(i))) {
                check(t->Head(), "head");
                check(*t, "body");
            }
        }
        return found;
    }
};

TEST_F(DocumentLayout, NoTextLeavesItsCell) {
    for (const std::string name : {"LEAD", "NITRATE", "PESTICIDE", "GLUCOSE", "SPIKE"}) {
        const auto file =
            name == "SPIKE"
                ? std::filesystem::path(VELTRIO_TEST_DATA) / "preliminary" / "SPIKE.PAR"
                : std::filesystem::path(VELTRIO_SOURCE_DIR) / "examples" / (name + ".PAR");
        ASSERT_EQ(ReadStudyFile(program, file), 0);
        program.Settings.AutoSplitCorrection = name == "SPIKE";
        std::vector<std::pair<std::string, std::unique_ptr<TTavContents>>> docs;
        if (study().Design == dkSplitLevel) {
            docs.emplace_back("base table", MakeSplitLevelBaseTable(program, true));
            docs.emplace_back("corrected base table", MakeSplitLevelBaseTable(program, false));
        } else {
            docs.emplace_back("base table", MakeUniformBaseTable(program));
        }
        docs.emplace_back("Cochran", MakeCochranReport(program));
        docs.emplace_back("Grubbs", MakeGrubbsReport(program));
        docs.emplace_back("descriptive statistics",
                          MakeDescriptiveReport(program, CurrentDescriptiveFigures(program)));
        ANOVAOf(program).Calculate(program);
        docs.emplace_back("analysis of variance", MakeANOVAReport(program));
        TFoundVsNominal found;
        found.Calculate(program);
        docs.emplace_back("consensus means", found.MakeReport(program));
        docs.emplace_back("recovery rates", TRecoveryControl().MakeReport(program));
        if (study().Design == dkSplitLevel) {
            docs.emplace_back("pair differences", MakePairDifferencesReport(program));
        }
        // After the outlier tests, so that the mark columns hold "G**" and
        // "C**"; with the registration numbers beside the codes.
        program.Settings.ShowRegLabNo = true;
        TMandelH h(program);
        h.Calculate();
        docs.emplace_back("Mandel's h", h.BuildReport());
        TMandelK k(program);
        k.Calculate();
        docs.emplace_back("Mandel's k", k.BuildReport());
        // Scores with every note: consensus as X, u(X) large against a small
        // sigma_pt given for the first level.
        TPerformanceScores scores(program, {TAssignedChoice::Consensus, TSigmaChoice::Typed,
                                            {1e-3, 1e6, 1e6}});
        scores.Calculate();
        docs.emplace_back("performance scores", scores.BuildReport());
        TPerformanceScores robust(program, {});
        robust.Calculate();
        docs.emplace_back("performance scores (robust)", robust.BuildReport());
        // With the codes, the numbers and the marks "UC", "UG" beside them.
        docs.emplace_back("recovery rates", TRecoveryControl().MakeReport(program));
        if (study().Design == dkSplitLevel) {
            docs.emplace_back("pair differences", MakePairDifferencesReport(program));
        }
        program.Settings.ShowRegLabNo = false;
        for (auto& [what, doc] : docs) {
            ASSERT_NE(doc, nullptr) << name << " " << what;
            const auto overflows = Overflows(*doc, name + " " + what);
            EXPECT_TRUE(overflows.empty()) << [&] {
                std::string all;
                for (const auto& o : overflows) {
                    all += o + "\n";
                }
                return all;
            }();
        }
    }
}

// The tools' documents: method evaluation and the histograms' fit tables.
TEST_F(DocumentLayout, NoTextLeavesItsCellInTheToolDocuments) {
    const auto tools = std::filesystem::path(VELTRIO_TEST_DATA) / "tools";
    const auto examples = std::filesystem::path(VELTRIO_SOURCE_DIR) / "examples";
    for (const auto& file :
         {tools / "METHODS.PAR", tools / "CCQMK30.PAR", tools / "ISO16269.PAR", tools / "TINY.PAR",
          examples / "LEAD.PAR", examples / "GLUCOSE.PAR", examples / "NITRATE.PAR",
          examples / "PESTICIDE.PAR"}) {
        const std::string name = file.filename().string();
        ASSERT_EQ(ReadStudyFile(program, file), 0) << name;
        std::vector<std::pair<std::string, std::unique_ptr<TTavContents>>> docs;
        docs.emplace_back("method evaluation", MethodEvaluationReport(program));
        THistogram histogram;
        histogram.Calculate(program);
        auto fits = std::make_unique<TTavContents>();
        for (int lv = 1; lv <= study().NoOfLevels; ++lv) {
            if (histogram.Levels[static_cast<std::size_t>(lv)].HasSpread) {
                histogram.HistogramFitTable(program, lv, *fits);
            }
        }
        docs.emplace_back("histograms", std::move(fits));
        for (auto& [what, doc] : docs) {
            ASSERT_NE(doc, nullptr) << name << " " << what;
            const auto overflows = Overflows(*doc, name + " " + what);
            EXPECT_TRUE(overflows.empty()) << [&] {
                std::string all;
                for (const auto& o : overflows) {
                    all += o + "\n";
                }
                return all;
            }();
        }
    }
}

// The fast feedback forms of a round, resistant and Gaussian, uniform and
// split level (long substances, the residual titles over four columns).
TEST_F(DocumentLayout, FastFeedbackFormsKeepTheirTextInTheirCells) {
    const auto dir = std::filesystem::path(VELTRIO_TEST_DATA) / "tools";
    const std::vector<std::vector<std::string>> rounds = {
        {"ROUND_1.PAR", "ROUND_2.PAR", "ROUND_3.PAR"}, {"SPLIT_1_LN.PAR", "SPLIT_2.PAR"}};
    for (const auto& round : rounds) {
        for (const bool resistant : {true, false}) {
            TQuickResponse qr;
            qr.ClearFiles();
            for (const auto& f : round) {
                ASSERT_TRUE(qr.AddFile(dir / f));
            }
            qr.LastLab = 7;
            qr.ResistantResiduals = resistant;
            ASSERT_TRUE(qr.CheckFiles(program));
            qr.ComputeFileStats(program);
            auto doc = qr.MakeForms(program);
            const std::string what = round[0] + (resistant ? " resistant" : " gaussian");
            const auto overflows = Overflows(*doc, what);
            EXPECT_TRUE(overflows.empty()) << [&] {
                std::string all;
                for (const auto& o : overflows) {
                    all += o + "\n";
                }
                return all;
            }();
        }
    }
}

// The weight function, both regressions and ISO Guide 35, with and without
// the registration numbers beside the codes.
TEST_F(DocumentLayout, RegressionDocumentsKeepTheirTextsInTheirCells) {
    const std::filesystem::path quality = std::filesystem::path(VELTRIO_TEST_DATA) / "quality";
    const std::filesystem::path examples = std::filesystem::path(VELTRIO_SOURCE_DIR) / "examples";
    for (const auto& file : {examples / "LEAD.PAR", examples / "PESTICIDE.PAR",
                             quality / "GLUC_ASSIGNED.PAR", quality / "REG_TWENTY.PAR",
                             std::filesystem::path(VELTRIO_TEST_DATA) / "preliminary" /
                                 "SPIKE.PAR"}) {
        ASSERT_EQ(ReadStudyFile(program, file), 0) << file;
        const std::string name = file.stem().string();
        std::vector<std::pair<std::string, std::unique_ptr<TTavContents>>> docs;
        TISOGuide guide;
        guide.Calculate(program);
        docs.emplace_back("ISO Guide 35", guide.MakeReport(program));
        if (study().NoOfLevels > 1 && study().Level(1).NominalValue != MissingValue) {
            TWeights& w = WeightsOf(program);
            w.Clear();
            w.Calculate(program);
            ASSERT_TRUE(w.Determined) << name;
            w.ComputeWeights(program);
            docs.emplace_back("weight function", w.MakeReport(program));
            for (const bool regNo : {false, true}) {
                program.Settings.ShowRegLabNo = regNo;
                TRegression r;
                ASSERT_EQ(r.Calculate(program), TRegressionFigures::TFitResult::Fitted) << name;
                docs.emplace_back("regression", r.MakeReport(program));
                TLabRegression lab;
                lab.ChosenLab = 1;
                while (!TLabRegression::HasTwoLevels(program, lab.ChosenLab)) {
                    ++lab.ChosenLab;
                }
                ASSERT_EQ(lab.Calculate(program), TRegressionFigures::TFitResult::Fitted) << name;
                docs.emplace_back("regression on a laboratory", lab.MakeReport(program));
            }
            program.Settings.ShowRegLabNo = false;
        }
        for (auto& [what, doc] : docs) {
            ASSERT_NE(doc, nullptr) << name << " " << what;
            const auto overflows = Overflows(*doc, name + " " + what);
            EXPECT_TRUE(overflows.empty()) << [&] {
                std::string all;
                for (const auto& o : overflows) {
                    all += o + "\n";
                }
                return all;
            }();
        }
    }
}

} // namespace
