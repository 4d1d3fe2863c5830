#include "tools/MethodEvaluation.h"

#include <algorithm>
#include <cmath>

#include "documents/Contents.h"
#include "documents/NumberText.h"
#include "documents/Table.h"
#include "numerics/Distributions.h"
#include "numerics/Stat.h"
#include "study/Program.h"
#include "study/ReportFraming.h"

namespace veltrio {

namespace {

constexpr int MethodHelpContext = 8200;

using A = TAlignment;

bool Excluded(char mark) {
    return mark == MarkFileExcluded || mark == MarkUserExcluded;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// FoldCase, and for the lookup that ignores case also the other Latin-1
// letters (UTF-8 C3 A0..BE except the division sign).
std::string FoldAllLetters(std::string_view code) {
    std::string s(code);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 'a' && c <= 'z') {
            s[i] = static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && i + 1 < s.size()) {
            const auto n = static_cast<unsigned char>(s[i + 1]);
            if (n >= 0xA0 && n <= 0xBE && n != 0xB7) {
                s[i + 1] = static_cast<char>(n - 0x20);
            }
            ++i;
        }
    }
    return s;
}

// A number as the lines of the document show it: three decimals, "-" for
// a figure that could not be computed.
std::string Figure(double x) {
    return x == MissingValue ? "-" : FormatFixed(x, 15, 3);
}

// 1 − P(χ²(ν) ≤ x); a statistic a little below 0, which only rounding can
// give (all groups alike), counts as 0.
double UpperChiSquare(int nu, double& x) {
    x = std::max(0.0, x);
    return std::clamp(1.0 - ChiSquareProbability(nu, x), 0.0, 1.0);
}

void TextCell(TTavCell& cell, const std::string& text, A alignment, std::uint8_t borders) {
    cell.Lines.clear();
    cell.AddLines({text});
    cell.Kind = TCellKind::ckLines;
    cell.Alignment = alignment;
    cell.Borders = borders;
}

void NumberCell(TTavCell& cell, double value, int decimals) {
    cell.Kind = TCellKind::ckNumber;
    cell.Decimals = decimals;
    cell.SetValue(value);
    cell.Alignment = A::alRight;
}

} // namespace

std::string CaseFolded(std::string_view code) {
    return FoldAllLetters(code);
}

int TCaseStringList::IndexOf(std::string_view code) const {
    if (m_caseSensitive) {
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            if (m_items[i] == code) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    const std::string folded = FoldAllLetters(code);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (FoldAllLetters(m_items[i]) == folded) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TCaseStringList::Exchange(int i, int j) {
    std::swap(m_items.at(static_cast<std::size_t>(i)), m_items.at(static_cast<std::size_t>(j)));
}

void TCaseStringList::Delete(int i) {
    m_items.erase(m_items.begin() + i);
}

std::string FoldCase(std::string_view code) {
    std::string s(code);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 'a' && c <= 'z') {
            s[i] = static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && i + 1 < s.size()) {
            const auto n = static_cast<unsigned char>(s[i + 1]);
            // å æ ø -> Å Æ Ø
            if (n == 0xA5 || n == 0xA6 || n == 0xB8) {
                s[i + 1] = static_cast<char>(n - 0x20);
            }
            ++i;
        }
    }
    return s;
}

bool CodesInOrder(std::string_view a0, std::string_view b0) {
    // Folding first: it changes letters only, never digits, and keeps the
    // byte order of the Danish letters after Z.
    const std::string a = FoldCase(a0);
    const std::string b = FoldCase(b0);
    std::size_t i = 0, j = 0;
    while (true) {
        while (i < a.size() && j < b.size() && a[i] == b[j] && !IsDigit(a[i])) {
            ++i;
            ++j;
        }
        if (i >= a.size()) {
            return true;
        }
        if (j >= b.size()) {
            return false;
        }
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            // Compare the runs as numbers without converting them, so that a
            // run of any length compares: leading zeros skipped, then the
            // longer run is larger, then digit by digit.
            std::size_t ei = i, ej = j;
            while (ei < a.size() && IsDigit(a[ei])) {
                ++ei;
            }
            while (ej < b.size() && IsDigit(b[ej])) {
                ++ej;
            }
            std::size_t si = i, sj = j;
            while (si + 1 < ei && a[si] == '0') {
                ++si;
            }
            while (sj + 1 < ej && b[sj] == '0') {
                ++sj;
            }
            const std::string_view na(a.data() + si, ei - si);
            const std::string_view nb(b.data() + sj, ej - sj);
            if (na.size() != nb.size()) {
                return na.size() < nb.size();
            }
            if (na != nb) {
                return na < nb;
            }
            i = ei;
            j = ej;
            continue;
        }
        return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    }
}

TMethodEval::TMethodEval(Program& program, int level)
    : Level(level), MethodCodes(program.Settings.MethodCaseSensitive), m_program(program) {}

bool TMethodEval::LabTakesPart(int lab) const {
    const TLevel& level = m_program.CurrentStudy->Level(Level);
    if (Excluded(level.GetMark(lab))) {
        return false;
    }
    return !level.GetMethodCode(lab).empty() || m_program.Settings.UseMissingMethod;
}

void TMethodEval::BuildGroups() {
    const TLevel& level = m_program.CurrentStudy->Level(Level);
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        if (!LabTakesPart(lab)) {
            continue;
        }
        const std::string& code = level.GetMethodCode(lab);
        if (MethodCodes.IndexOf(code) == -1) {
            MethodCodes.Add(code);
        }
    }
    const int k = MethodCodes.Count();
    for (int i = 0; i + 1 < k; ++i) {
        for (int j = i + 1; j < k; ++j) {
            if (!CodesInOrder(MethodCodes[i], MethodCodes[j])) {
                MethodCodes.Exchange(i, j);
            }
        }
    }
    // The spread of each group around its mean in a second pass, with a
    // test for zero relative to the size of the values.
    std::vector<TStatObject> values(static_cast<std::size_t>(k));
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        if (!LabTakesPart(lab)) {
            continue;
        }
        const int g = MethodCodes.IndexOf(level.GetMethodCode(lab));
        if (g == -1) {
            continue;
        }
        for (const TResult& r : level.Results(lab)) {
            if (r.Usable()) {
                values[static_cast<std::size_t>(g)].Add(r.Value);
            }
        }
    }
    Groups.assign(static_cast<std::size_t>(k), Tnxs{});
    for (int g = 0; g < k; ++g) {
        TStatObject& v = values[static_cast<std::size_t>(g)];
        Tnxs& group = Groups[static_cast<std::size_t>(g)];
        group.N = v.Count();
        if (group.N > 0) {
            group.Mean = v.Mean();
        }
        group.SD = group.N < 2 ? MissingValue : v.SD();
    }
    for (int g = k - 1; g >= 0; --g) {
        if (Groups[static_cast<std::size_t>(g)].N == 0) {
            Groups.erase(Groups.begin() + g);
            MethodCodes.Delete(g);
        }
    }
    TotalN = 0;
    for (const Tnxs& g : Groups) {
        TotalN += g.N;
    }
}

void TMethodEval::BartlettTest() {
    const int k = MethodCodes.Count();
    const int n = TotalN;
    double pooled = 0, sumLn = 0;
    for (const Tnxs& g : Groups) {
        if (g.SD != MissingValue && g.SD > 0) {
            const double v = g.SD * g.SD;
            pooled += (g.N - 1) * v;
            sumLn += (g.N - 1) * std::log(v);
        }
    }
    pooled = n - k < 1 ? MissingValue : pooled / (n - k);
    B = PB = MissingValue;
    HomogeneousB = false;
    if (pooled == MissingValue || !(pooled > 0)) {
        return;
    }
    B = (n - k) * std::log(pooled) - sumLn;
    if (B > 0) {
        PB = UpperChiSquare(k - 1, B);
    }
    HomogeneousB = PB != MissingValue && PB > 0.05;
}

void TMethodEval::LogVarianceTest() {
    const int k = MethodCodes.Count();
    double s1 = 0, s2 = 0, s3 = 0;
    for (const Tnxs& g : Groups) {
        if (g.N < 2 || g.SD == MissingValue || !(g.SD > 0)) {
            continue;
        }
        const double w = std::sqrt(2.0 / (g.N - 1));
        const double y = std::log(g.SD * g.SD);
        s1 += (y / w) * (y / w);
        s2 += y / (w * w);
        s3 += 1 / (w * w);
    }
    L = PL = MissingValue;
    HomogeneousL = false;
    if (!(s3 > 0)) {
        return;
    }
    L = s1 - s2 * s2 / s3;
    PL = UpperChiSquare(k - 1, L);
    HomogeneousL = PL > 0.05;
}

void TMethodEval::MethodANOVA() {
    const int k = MethodCodes.Count();
    const int n = TotalN;
    Z = PZ = MissingValue;
    if (n < 1 || k < 2 || n - k < 1) {
        return;
    }
    double grand = 0;
    for (const Tnxs& g : Groups) {
        grand += g.N * g.Mean;
    }
    grand /= n;
    double between = 0, within = 0;
    for (const Tnxs& g : Groups) {
        between += g.N * (g.Mean - grand) * (g.Mean - grand);
        if (g.SD != MissingValue) {
            within += (g.N - 1) * g.SD * g.SD;
        }
    }
    between /= k - 1;
    within /= n - k;
    // Without a positive variance on either side there is no F ratio, and
    // no verdict: Z and PZ stay -99.
    if (within > 0 && between > 0 && std::isfinite(between / within)) {
        FRatioProbability(k, n - k + 1, between, within, Z, PZ);
    }
}

void TMethodEval::KruskalWallisTest() {
    const TLevel& level = m_program.CurrentStudy->Level(Level);
    struct Observation {
        double Value;
        int Group;
        double Rank = 0;
    };
    std::vector<Observation> obs;
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        if (!LabTakesPart(lab)) {
            continue;
        }
        const int g = MethodCodes.IndexOf(level.GetMethodCode(lab));
        for (const TResult& r : level.Results(lab)) {
            if (r.Usable() && g != -1) {
                obs.push_back({r.Value, g});
            }
        }
    }
    H = PH = MissingValue;
    const int k = MethodCodes.Count();
    const auto n = static_cast<int>(obs.size());
    if (n < 1 || k < 2) {
        return;
    }
    std::vector<std::size_t> order(obs.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return obs[x].Value < obs[y].Value; });
    // Mid-ranks of runs of equal values (1-based positions q..p).
    for (std::size_t q = 0; q < order.size();) {
        std::size_t p = q;
        while (p + 1 < order.size() && obs[order[p + 1]].Value == obs[order[q]].Value) {
            ++p;
        }
        const double rank = (static_cast<double>(p + 1) + static_cast<double>(q + 1)) / 2;
        for (std::size_t i = q; i <= p; ++i) {
            obs[order[i]].Rank = rank;
        }
        q = p + 1;
    }
    std::vector<double> rankSums(static_cast<std::size_t>(k), 0.0);
    for (const Observation& o : obs) {
        rankSums[static_cast<std::size_t>(o.Group)] += o.Rank;
    }
    double sum = 0;
    for (int g = 0; g < k; ++g) {
        const int ng = Groups[static_cast<std::size_t>(g)].N;
        if (ng > 0) {
            const double r = rankSums[static_cast<std::size_t>(g)];
            sum += r * r / ng;
        }
    }
    const double nn = TotalN;
    H = 12.0 / (nn * (nn + 1)) * sum - 3 * (nn + 1);
    PH = UpperChiSquare(k - 1, H);
}

void TMethodEval::NameMissingGroup() {
    if (MethodCodes.Count() > 0 && MethodCodes[0].empty()) {
        MethodCodes[0] = m_program.LibText(6, 17);
    }
}

void TMethodEval::Calculate(bool nameMissingGroup) {
    BuildGroups();
    if (FewMethods()) {
        return;
    }
    BartlettTest();
    LogVarianceTest();
    if (HomogeneousL) {
        MethodANOVA();
    } else {
        KruskalWallisTest();
    }
    if (nameMissingGroup) {
        NameMissingGroup();
    }
}

namespace {

std::unique_ptr<TTavTable> GroupTable(Program& program, const TMethodEval& e) {
    const int k = e.MethodCodes.Count();
    auto t = std::make_unique<TTavTable>(k, 6);
    t->SetAutoSize(false);
    t->Head().SetRowCount(2);
    TableLineWidth(program, *t);
    t->SetColWidthCm(0, 2.5);
    for (int c = 1; c <= 5; ++c) {
        t->SetColWidthCm(c, 3.0);
    }
    for (int r = 0; r < k; ++r) {
        t->SetRowHeightCm(r, 0.6);
    }
    TTavBaseTable& head = t->Head();
    head.SetRowHeightCm(0, 0.6);
    head.SetRowHeightCm(1, 0.6);
    const std::string heads[6] = {program.LibText(6, 8), "n", "x", "s", program.LibText(6, 9),
                                  program.LibText(6, 10)};
    for (int c = 0; c < 6; ++c) {
        TextCell(*head.ReadCell(0, c), "", A::alCenter, bdTop | bdLeft | bdRight);
        TextCell(*head.ReadCell(1, c), heads[c], A::alCenter, bdBottom | bdLeft | bdRight);
    }
    TextCell(*head.ReadCell(0, 4), program.LibText(6, 7), A::alCenter, bdTop | bdLeft | bdRight);
    head.MergeRowCells(0, 4, 1);

    for (int i = 0; i < k; ++i) {
        const Tnxs& g = e.Groups[static_cast<std::size_t>(i)];
        TextCell(*t->ReadCell(i, 0), e.MethodCodes[i], A::alCenter, bdAll);
        if (g.N < 2) {
            for (int c = 1; c <= 5; ++c) {
                TextCell(*t->ReadCell(i, c), "-", A::alRight, bdAll);
            }
            continue;
        }
        // The 95 % limits of the group's mean: t with N - 1 degrees of
        // freedom, those of its standard deviation.
        const double half =
            StudentQuantile95(g.N - 1) * g.SD / std::sqrt(static_cast<double>(g.N));
        NumberCell(*t->ReadCell(i, 1), g.N, 0);
        NumberCell(*t->ReadCell(i, 2), g.Mean, 3);
        NumberCell(*t->ReadCell(i, 3), g.SD, 3);
        NumberCell(*t->ReadCell(i, 4), g.Mean - half, 3);
        NumberCell(*t->ReadCell(i, 5), g.Mean + half, 3);
    }
    return t;
}

// "   " + label + figures, then the verdict; no verdict for a probability
// that could not be computed.
void TestLines(TTavContents& doc, const std::string& line, double p, const std::string& yes,
               const std::string& no, bool positive) {
    doc.AddText(line);
    if (p != MissingValue) {
        doc.AddText("   " + (positive ? yes : no));
    }
}

} // namespace

std::unique_ptr<TTavContents> MethodEvaluationReport(Program& program) {
    if (!program.CurrentStudy) {
        return nullptr;
    }
    const DataType& s = *program.CurrentStudy;
    auto doc = std::make_unique<TTavContents>();
    TFont heading = doc->DefaultFont;
    heading.Size = 14;
    heading.Underline = true;
    TFont body;
    body.Name = program.Settings.OutputFontName;
    body.Size = 11;
    TFont title = body;
    title.Size = 14;
    title.Bold = true;

    program.host().StartProgress(s.NoOfLevels);
    doc->SetFont(title);
    doc->AddText(program.LibText(6, 1) + ": " + s.Substance + " " + s.Unit);
    doc->AddText(" ");
    const bool split = s.Design == dkSplitLevel;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const TLevel& level = s.Level(lv);
        TMethodEval e(program, lv);
        e.Calculate();
        doc->BlockBegin();
        doc->SetFont(heading);
        if (e.FewMethods()) {
            doc->AddText(program.LibText(1, 11) + " " + level.LevelName);
            doc->SetFont(body);
            doc->AddText(program.LibText(6, 16));
            doc->AddText(" ");
            doc->BlockEnd();
            program.host().StepProgress();
            continue;
        }
        doc->AddText(program.LibText(split ? 2 : 1, split ? 4 : 11) + " " + level.LevelName);
        doc->SetFont(body);
        doc->AddText(program.LibText(6, 2));
        const std::string homogeneous = program.LibText(6, 5);
        const std::string heterogeneous = program.LibText(6, 6);
        TestLines(*doc,
                  "   " + program.LibText(6, 3) + " B=" + Figure(e.B) + ", p(B)=" + Figure(e.PB),
                  e.PB, homogeneous, heterogeneous, e.HomogeneousB);
        TestLines(*doc,
                  "   " + program.LibText(6, 4) + " L=" + Figure(e.L) + ", p(L)=" + Figure(e.PL),
                  e.PL, homogeneous, heterogeneous, e.HomogeneousL);
        doc->AddTable(GroupTable(program, e));
        doc->AddText(program.LibText(6, 11));
        const std::string differ = program.LibText(6, 13);
        const std::string same = program.LibText(6, 14);
        if (e.HomogeneousL) {
            TestLines(*doc,
                      "   " + program.LibText(6, 12) + " Z =" + Figure(e.Z) +
                          ", p(Z) =" + Figure(e.PZ),
                      e.PZ, differ, same, e.PZ != MissingValue && e.PZ < 0.05);
            // The next level's heading a line apart, as after the rank test.
            doc->AddText(" ");
        } else {
            TestLines(*doc,
                      "   " + program.LibText(6, 15) + " H =" + Figure(e.H) +
                          ", p(H) =" + Figure(e.PH),
                      e.PH, differ, same, e.PH != MissingValue && e.PH < 0.05);
            doc->AddText(" ");
        }
        doc->BlockEnd();
        program.host().StepProgress();
    }
    program.host().EndProgress();
    FrameDocument(program, *doc, MethodHelpContext);
    return doc;
}

void MethodEvaluation(Program& program) {
    auto doc = MethodEvaluationReport(program);
    if (doc) {
        ShowDocument(program, std::move(doc), program.LibText(6, 1));
    }
}

} // namespace veltrio
