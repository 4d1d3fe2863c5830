#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Missing.h"

namespace veltrio {

class Program;
class TTavContents;

// One method group of a level.
struct Tnxs {
    int N = 0;
    double Mean = 0;
    // -99 with fewer than two results.
    double SD = 0;
};

// The method codes of a level. IndexOf compares whole codes, with or without
// regard to letter case.
class TCaseStringList {
public:
    explicit TCaseStringList(bool caseSensitive = false) : m_caseSensitive(caseSensitive) {}

    // The first entry equal to the code, -1 when there is none.
    int IndexOf(std::string_view code) const;
    void Add(std::string code) { m_items.push_back(std::move(code)); }
    void Exchange(int i, int j);
    void Delete(int i);
    int Count() const { return static_cast<int>(m_items.size()); }
    const std::string& operator[](int i) const { return m_items.at(static_cast<std::size_t>(i)); }
    std::string& operator[](int i) { return m_items.at(static_cast<std::size_t>(i)); }

private:
    bool m_caseSensitive;
    std::vector<std::string> m_items;
};

// The code with every letter raised to its capital (ASCII and Latin-1, UTF-8):
// two codes that are equal up to case give the same text.
std::string CaseFolded(std::string_view code);
// Raises a-z and the Danish letters å, æ, ø to their capitals (UTF-8).
std::string FoldCase(std::string_view code);
// The order of method codes: letters without regard to case, runs of digits
// by their value (M2 before M10), digits before letters, the Danish letters
// after Z, the empty code first. True when a sorts before b or equals it.
bool CodesInOrder(std::string_view a, std::string_view b);

// The evaluation of one level: the method groups, the homogeneity of their
// variances (Bartlett, log-variance) and the comparison of their means
// (analysis of variance, or Kruskal-Wallis when the variances differ).
// Statistics that were not or could not be computed are -99.
class TMethodEval {
public:
    TMethodEval(Program& program, int level);

    int Level;
    TCaseStringList MethodCodes;
    std::vector<Tnxs> Groups;
    int TotalN = 0;
    bool HomogeneousB = false;
    bool HomogeneousL = false;
    double B = MissingValue, PB = MissingValue;
    double L = MissingValue, PL = MissingValue;
    double Z = MissingValue, PZ = MissingValue;
    double H = MissingValue, PH = MissingValue;

    void BuildGroups();
    void BartlettTest();
    void LogVarianceTest();
    void MethodANOVA();
    void KruskalWallisTest();
    void NameMissingGroup();
    // BuildGroups and, with at least two groups, the tests as the document
    // shows them; the group without code gets its display name unless
    // `nameMissingGroup` is false (its code then stays empty).
    void Calculate(bool nameMissingGroup = true);
    bool FewMethods() const { return MethodCodes.Count() < 2; }

private:
    // The laboratory takes part: not excluded, and with a method code
    // unless the group without code is in use.
    bool LabTakesPart(int lab) const;

    Program& m_program;
};

// "Method evaluation": the document of every level's evaluation.
std::unique_ptr<TTavContents> MethodEvaluationReport(Program& program);
// The menu command: the document, shown.
void MethodEvaluation(Program& program);

} // namespace veltrio
