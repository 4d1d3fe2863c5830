// The forms of the fast feedback: one page per laboratory, one table per
// file with a row per level and replicate.
#include <algorithm>
#include <cmath>

#include "base/ScopeGuard.h"
#include "base/TextUtil.h"
#include "documents/BaseTable.h"
#include "documents/Contents.h"
#include "documents/NumberText.h"
#include "documents/Table.h"
#include "study/PreliminaryStats.h"
#include "study/Program.h"
#include "study/ReportFraming.h"
#include "study/Transformations.h"
#include "tools/QuickResponse.h"

namespace veltrio {

namespace {

constexpr int kColumns = 11;
constexpr double kColumnWidths[kColumns] = {3.0, 2.0, 1.0, 1.0, 1.0, 1.0, 2.0, 1.5, 1.2, 2.0, 2.2};

void SetText(TTavCell& cell, const std::string& text, TAlignment alignment) {
    cell.Kind = TCellKind::ckLines;
    cell.Lines.clear();
    cell.AddLine(text);
    cell.Alignment = alignment;
    cell.Borders = 0;
}

void SetNumber(TTavCell& cell, double value, int decimals) {
    cell.Kind = TCellKind::ckNumber;
    cell.Decimals = decimals;
    cell.Alignment = TAlignment::alDecimal;
    cell.Borders = 0;
    cell.SetValue(value);
}

// Column 0 holds the substances: as wide as the longest of them needs, the
// same in every table of the document so that the columns stay aligned.
double SubstanceWidthCm(const std::vector<TFeedbackFile>& files) {
    std::size_t longest = 0;
    for (const auto& f : files) {
        longest = std::max(longest, Utf8Length(f.Substance));
    }
    // About 0.2 cm a character of the 10-point output font, and a margin.
    return std::max(kColumnWidths[0], 0.2 * static_cast<double>(longest) + 0.3);
}

std::unique_ptr<TTavBaseTable> ColumnTitles(Program& program, bool resistant, double width0) {
    auto t = std::make_unique<TTavBaseTable>(2, kColumns);
    t->SetAutoSize(false);
    t->SetRowHeightCm(0, 0.9);
    t->SetRowHeightCm(1, 0.5);
    for (int c = 0; c < kColumns; ++c) {
        t->SetColWidthCm(c, c == 0 ? width0 : kColumnWidths[c]);
        for (int r = 0; r < 2; ++r) {
            SetText(*t->ReadCell(r, c), "", TAlignment::alCenter);
        }
    }
    SetText(*t->ReadCell(1, 0), program.LibText(4, 6), TAlignment::alLeft);
    SetText(*t->ReadCell(0, 0), "", TAlignment::alLeft);
    SetText(*t->ReadCell(1, 1), program.LibText(4, 27), TAlignment::alCenter);
    // The kind of residual is wider than its four class columns: its
    // explanation in brackets goes on a line of its own.
    const std::string kind = program.LibText(4, resistant ? 9 : 3);
    const std::size_t bracket = kind.find(" (");
    SetText(*t->ReadCell(0, 2), kind.substr(0, bracket), TAlignment::alCenter);
    if (bracket != std::string::npos) {
        t->ReadCell(0, 2)->AddLine(kind.substr(bracket + 1));
    }
    const char* const classes[] = {"<1", "1-2", "2-3", ">3"};
    for (int i = 0; i < 4; ++i) {
        SetText(*t->ReadCell(1, 2 + i), classes[i], TAlignment::alCenter);
    }
    SetText(*t->ReadCell(0, 6), program.LibText(4, 4), TAlignment::alCenter);
    SetText(*t->ReadCell(1, 6), program.LibText(4, 28), TAlignment::alCenter);
    SetText(*t->ReadCell(1, 7), program.LibText(4, 29), TAlignment::alCenter);
    SetText(*t->ReadCell(1, 8), "N", TAlignment::alCenter);
    SetText(*t->ReadCell(1, 9), program.LibText(4, resistant ? 33 : 30), TAlignment::alCenter);
    if (resistant) {
        SetText(*t->ReadCell(0, 10), program.LibText(4, 32), TAlignment::alCenter);
    }
    SetText(*t->ReadCell(1, 10), program.LibText(4, 31), TAlignment::alCenter);
    t->MergeRowCells(0, 2, 3);
    return t;
}

} // namespace

std::unique_ptr<TTavContents> TQuickResponse::MakeForms(Program& program) {
    auto doc = std::make_unique<TTavContents>();
    const TFont font10 = OutputFont(program, 10);
    doc->SetFont(font10);
    doc->DefaultFont = font10;
    if (FileNames.empty() || !FileNames.front().Study) {
        return doc;
    }
    const DataType& ref = *FileNames.front().Study;
    const int last = std::min<int>(LastLab, ref.NoOfLabs);
    const int first = std::max(FirstLab, 1);
    if (last >= first) {
        program.host().StartProgress(last - first + 1);
    }
    TScopeExit endProgress([&] {
        if (last >= first) {
            program.host().EndProgress();
        }
    });
    const std::string date = DateText(program);
    const double width0 = SubstanceWidthCm(FileNames);
    for (int s = first; s <= last; ++s) {
        const std::string code = ref.Level(1).GetRandCode(s);
        if (program.Settings.PrintDisclaimer) {
            doc->SetFont(OutputFont(program, 18, true));
            doc->AddText(program.LibText(4, 26));
            doc->SetFont(font10);
        }
        doc->AddText("");
        doc->AddText(program.LibText(4, 1) + " " + RefTestId + " (" + date + ")");
        doc->AddText("");
        doc->AddText(program.LibText(4, 2) + " " + code);
        doc->AddText("");
        doc->AddTable(ColumnTitles(program, ResistantResiduals, width0));
        for (std::size_t f = 0; f < FileNames.size(); ++f) {
            const TFeedbackFile& file = FileNames[f];
            const DataType& study = *file.Study;
            const TPreliminaryStats& stats = *file.Stats;
            const bool split = study.Design == dkSplitLevel;
            const int reps = study.NoOfReplicates;
            auto table = std::make_unique<TTavTable>(study.NoOfLevels * reps, kColumns);
            table->SetAutoSize(false);
            for (int c = 0; c < kColumns; ++c) {
                table->SetColWidthCm(c, c == 0 ? width0 : kColumnWidths[c]);
                TTavCell* h = table->HeadCell(c);
                SetText(*h, "", TAlignment::alCenter);
            }
            TTavCell* h0 = table->HeadCell(0);
            h0->Alignment = TAlignment::alLeft;
            if (program.Settings.UnitFFF) {
                h0->Lines = {"[" + study.Unit + "]"};
                h0->SetFont(OutputFont(program, 8, false, true));
            }
            for (int lv = 1; lv <= study.NoOfLevels; ++lv) {
                const TLevel& level = study.Level(lv);
                // Laboratories are matched by their code, not their line.
                const int lab = LabInFile(static_cast<int>(f), lv, code);
                for (int r = 1; r <= reps; ++r) {
                    const int row = (lv - 1) * reps + (r - 1);
                    const int col = split ? r : 1;
                    const bool spiked =
                        split && r == level.SpikedSample && level.Spiking != MissingValue;
                    const double spike = spiked ? level.Spiking : 0.0;
                    const TPreliminaryStats& stored = file.FiguresOfStoredValues();
                    const double centre = ResistantResiduals
                                              ? TPreliminaryStats::At(stored.DescMedian, lv, col)
                                              : TPreliminaryStats::At(stored.DescMean, lv, col);
                    const double w = ResistantResiduals
                                         ? TPreliminaryStats::At(stored.DescRobustSD, lv, col)
                                         : TPreliminaryStats::At(stored.DescSD, lv, col);
                    for (int c = 0; c < kColumns; ++c) {
                        SetText(*table->ReadCell(row, c), "", TAlignment::alCenter);
                    }
                    SetText(*table->ReadCell(row, 0), file.Substance, TAlignment::alLeft);
                    SetText(*table->ReadCell(row, 1), split ? level.SampleId(r) : level.LevelName,
                            TAlignment::alCenter);
                    const TResult& res = level.GetResult(lab, r);
                    const char mark = level.GetMark(lab);
                    if (mark != MarkFileExcluded && mark != MarkUserExcluded && res.Flag == ' ' &&
                        w != MissingValue && w > 0 && centre != MissingValue &&
                        res.Value != MissingValue) {
                        const double d = std::fabs(res.Value - centre) / w;
                        const int cls = d < 1 ? 2 : d < 2 ? 3 : d < 3 ? 4 : 5;
                        const char* sign = res.Value > centre   ? "+"
                                           : res.Value < centre ? "-"
                                                                : "0";
                        SetText(*table->ReadCell(row, cls), sign, TAlignment::alCenter);
                    }
                    if (res.Value == MissingValue) {
                        SetText(*table->ReadCell(row, 6), "-", TAlignment::alDecimal);
                    } else {
                        const double shown =
                            spiked ? SpikeAdded(study.Transformation, res.Value, spike) : res.Value;
                        SetText(*table->ReadCell(row, 6),
                                (res.Flag == '<' ? "<" : "") +
                                    FormatThousands(shown, 15, res.Decimals),
                                TAlignment::alDecimal);
                    }
                    SetText(*table->ReadCell(row, 7), level.GetMethodCode(lab),
                            TAlignment::alCenter);
                    SetText(*table->ReadCell(row, 8),
                            std::to_string(TPreliminaryStats::At(stats.DescUsable, lv, col)),
                            TAlignment::alCenter);
                    const double centreShown = centre == MissingValue || !spiked
                                                   ? centre
                                                   : SpikeAdded(study.Transformation, centre, spike);
                    SetNumber(*table->ReadCell(row, 9), centreShown, level.Decimals + 1);
                    SetNumber(*table->ReadCell(row, 10), w, level.Decimals + 1);
                }
            }
            doc->BlockBegin();
            doc->AddTable(std::move(table));
            for (int i = 0; i < 3; ++i) {
                doc->AddText("");
            }
            doc->BlockEnd();
        }
        if (s < last) {
            doc->PageBreak();
        }
        program.host().StepProgress();
    }
    FrameDocument(program, *doc, FastFeedbackHelpContext);
    doc->PageFooter = {FileNames.front().Path.filename().string(), ShortDateText(program)};
    return doc;
}

} // namespace veltrio
