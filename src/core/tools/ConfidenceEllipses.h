#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Missing.h"
#include "charts/Curves.h"

namespace veltrio {

class Program;
class TGraphWindow;

// The principal axes of a 2 × 2 covariance matrix [a, d; d, b]: the
// eigenvalues λ1 ≥ λ2 and the unit vectors of the major and minor axes.
struct TPrincipalAxes {
    double Lambda1 = 0;
    double Lambda2 = 0;
    TPointXY U1{};
    TPointXY U2{};
};
// Needs d ≠ 0.
TPrincipalAxes PrincipalAxes(const std::array<double, 4>& covariance);

// One method group of the confidence ellipses.
struct TMethodGroup {
    // [VarX, cov; cov, VarY], row by row.
    std::array<double, 4> Covariance{MissingValue, MissingValue, MissingValue, MissingValue};
    // The group's codes, sorted without regard to case and without
    // duplicates; none: the group takes no part.
    std::optional<std::vector<std::string>> Methods;
    double MeanX = MissingValue;
    double MeanY = MissingValue;
    double VarX = MissingValue;
    double VarY = MissingValue;
    bool Valid = false;

    // The codes joined by " & ".
    std::string Text() const;
    bool Contains(const std::string& code) const;
};

// "Confidence ellipses": per level, the 95 % confidence ellipse of the pairs
// (result 1, result 2) of each method group's laboratories.
class TKonfidensElipser {
public:
    static constexpr int MaxGroups = 5;
    // χ²(2) at 95 %.
    static constexpr double Chi = 5.991;
    static constexpr int OutlinePoints = 122;

    explicit TKonfidensElipser(Program& program) : m_program(program) {}

    // 0 ellipses with markers, 1 ellipses with method numbers.
    std::uint8_t DisplayType = 0;
    // Groups 1..5 at indices 0..4.
    std::array<TMethodGroup, MaxGroups> Groups{};

    void ResetGroups();
    // The non-empty method codes of the laboratories that are not
    // excluded, in any level, sorted without regard to case, each once.
    std::vector<std::string> CollectMethodCodes() const;
    // The dialog through the host; false on Cancel.
    bool ChooseGroups();
    // Fills the groups' figures of one level; whether any group is valid.
    bool ComputeGroups(int level);
    // The closed outline of a valid group.
    std::vector<TPointXY> Outline(const TMethodGroup& group) const;
    // The chart of a level whose groups were computed.
    std::shared_ptr<TGraphWindow> DrawEllipses(int level) const;
    // One chart window, or the message, per level.
    void MakeEllipseCharts();

    // Adds a code to a group (sorted, no duplicates up to case).
    static void AddMethod(TMethodGroup& group, const std::string& code);

private:
    Program& m_program;
};

// The menu command.
void ConfidenceEllipses(Program& program);

} // namespace veltrio
