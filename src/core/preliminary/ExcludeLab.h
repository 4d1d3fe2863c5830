#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrio {

class Program;

// "Exclude a laboratory": the chosen laboratories get the mark 'L' in every
// level, which takes them out of every evaluation until a study file is
// opened again.

// A laboratory that the dialog offers: its index and its code of level 1.
struct TExcludableLab {
    int Lab = 0;
    std::string RandCode;
};

// The dialog TExcludeLabDlg: caption, label and help context.
extern const char* const ExcludeLabCaption;
extern const char* const ExcludeLabPrompt;
inline constexpr int ExcludeLabHelpContext = 300;

// The laboratories not yet excluded by the user (level-1 mark not 'L'), in
// file order.
std::vector<TExcludableLab> ExcludableLabs(const Program& program);

// The dialog's answer: the chosen laboratory indices (several may be
// chosen), or nothing for Cancel.
using TExcludeLabChooser =
    std::function<std::optional<std::vector<int>>(const std::vector<TExcludableLab>&)>;

// The command: offers ExcludableLabs to `choose` (the GUI's modal dialog);
// OK excludes the chosen ones. Returns whether anything was excluded. A
// null chooser changes nothing.
bool ExcludeLaboratory(Program& program, const TExcludeLabChooser& choose);

// The effect of OK: the laboratories join ExcludedLabs, every laboratory in
// ExcludedLabs is marked 'L' in every level (whatever its mark), both
// outlier-test flags are cleared and the statistics follow the new marks.
// Indices outside 1..NoOfLabs are ignored.
void ExcludeLaboratories(Program& program, const std::vector<int>& labs);

// The index of the laboratory with this code in level 1 (compared without
// regard to letter case); 0 when there is none.
int FindLaboratory(const Program& program, std::string_view code);

} // namespace veltrio
