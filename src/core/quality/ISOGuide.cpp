#include "quality/ISOGuide.h"

#include <cmath>

#include "documents/Contents.h"
#include "documents/Table.h"
#include "numerics/Distributions.h"
#include "preliminary/ReportCells.h"
#include "study/Program.h"
#include "study/ReportFraming.h"

namespace veltrio {

namespace {

constexpr int kHelpContext = 6400;

using A = TAlignment;

bool TakesPart(char mark) {
    return mark != MarkFileExcluded && mark != MarkUserExcluded && mark != MarkCochranOutlier &&
           mark != MarkGrubbsOutlier;
}

} // namespace

void TISOGuide::Calculate(const Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    const DataType& s = *program.CurrentStudy;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const auto i = static_cast<std::size_t>(lv);
        const TLevel& l = s.Level(lv);
        const int n = s.NoOfReplicates;
        ReplicateCount[i] = n;
        int p = 0;
        double sum = 0;
        for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
            double& m = LabMean[static_cast<std::size_t>(lab)];
            m = MissingValue;
            if (!TakesPart(l.GetMark(lab))) {
                continue;
            }
            double labSum = 0;
            int count = 0;
            for (int rep = 1; rep <= n; ++rep) {
                const TResult& r = l.GetResult(lab, rep);
                if (r.Usable()) {
                    labSum += r.Value;
                    ++count;
                }
            }
            if (count > 0) {
                m = labSum / count;
                sum += m;
                ++p;
            }
        }
        LabCount[i] = p;
        LevelMean[i] = p > 0 ? sum / p : MissingValue;
        StdError[i] = LowerLimit[i] = UpperLimit[i] = MissingValue;
        if (p <= 1) {
            continue;
        }
        double d = 0;
        for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
            const double m = LabMean[static_cast<std::size_t>(lab)];
            if (m != MissingValue) {
                d += (m - LevelMean[i]) * (m - LevelMean[i]);
            }
        }
        const double ms = n * d / (p - 1);
        StdError[i] = std::sqrt(ms / (p * n));
        const double c = StudentQuantile95(p - 1) * StdError[i];
        LowerLimit[i] = LevelMean[i] - c;
        UpperLimit[i] = LevelMean[i] + c;
    }
}

std::unique_ptr<TTavContents> TISOGuide::MakeReport(Program& program) const {
    const DataType& s = *program.CurrentStudy;
    const int levels = s.NoOfLevels;
    auto doc = std::make_unique<TTavContents>();
    doc->AddText(s.Substance + ", " + s.Unit);
    auto t = std::make_unique<TTavTable>(6, levels + 1);
    t->SetAutoSize(false);
    TableLineWidth(program, *t);
    t->Title = {program.LibText(7, 1)};
    t->SetColWidthCm(0, 5.0);
    t->SetHeadHeightCm(1.4);
    SetTextCell(*t->HeadCell(0), {""}, A::alLeft);
    const int labels[] = {2, 3, 4, 7, 5, 6};
    for (int r = 0; r < 6; ++r) {
        t->SetRowHeightCm(r, 0.7);
        SetTextCell(*t->ReadCell(r, 0), {program.LibText(7, labels[r])}, A::alLeft);
    }
    const bool split = s.Design == dkSplitLevel;
    for (int lv = 1; lv <= levels; ++lv) {
        const auto i = static_cast<std::size_t>(lv);
        const TLevel& l = s.Level(lv);
        t->SetColWidthCm(lv, 2.8);
        SetTextCell(*t->HeadCell(lv), {program.LibText(split ? 2 : 1, split ? 4 : 11), l.LevelName},
                    A::alCenter);
        const int dec = l.Decimals + 1;
        SetNumberCell(*t->ReadCell(0, lv), LabCount[i], 0, A::alDecimal);
        SetNumberCell(*t->ReadCell(1, lv), ReplicateCount[i], 0, A::alDecimal);
        SetNumberCell(*t->ReadCell(2, lv), LevelMean[i], dec, A::alDecimal);
        SetNumberCell(*t->ReadCell(3, lv), StdError[i], dec, A::alDecimal);
        SetNumberCell(*t->ReadCell(4, lv), LowerLimit[i], dec, A::alDecimal);
        SetNumberCell(*t->ReadCell(5, lv), UpperLimit[i], dec, A::alDecimal);
    }
    doc->AddTable(std::move(t));
    doc->AddText(program.LibText(7, 8));
    FrameDocument(program, *doc, kHelpContext);
    return doc;
}

void ISOGuide35(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    TISOGuide guide;
    guide.Calculate(program);
    ShowDocument(program, guide.MakeReport(program), program.LibText(7, 1));
}

} // namespace veltrio
