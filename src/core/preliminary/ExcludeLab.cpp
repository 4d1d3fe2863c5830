#include "preliminary/ExcludeLab.h"

#include "preliminary/OutlierCommon.h"
#include "study/Program.h"
#include "study/ReportFraming.h"

namespace veltrio {

const char* const ExcludeLabCaption = "Exclude a Laboratory";
const char* const ExcludeLabPrompt = "Choose a laboratory:";

std::vector<TExcludableLab> ExcludableLabs(const Program& program) {
    std::vector<TExcludableLab> labs;
    if (!program.CurrentStudy) {
        return labs;
    }
    const TLevel& first = program.CurrentStudy->Level(1);
    for (int lab = 1; lab <= program.CurrentStudy->NoOfLabs; ++lab) {
        if (first.GetMark(lab) != MarkUserExcluded) {
            labs.push_back({lab, first.GetRandCode(lab)});
        }
    }
    return labs;
}

bool ExcludeLaboratory(Program& program, const TExcludeLabChooser& choose) {
    if (!program.CurrentStudy || !choose) {
        return false;
    }
    const auto chosen = choose(ExcludableLabs(program));
    if (!chosen) {
        return false;
    }
    ExcludeLaboratories(program, *chosen);
    return !chosen->empty();
}

void ExcludeLaboratories(Program& program, const std::vector<int>& labs) {
    if (!program.CurrentStudy) {
        return;
    }
    DataType& s = *program.CurrentStudy;
    for (const int lab : labs) {
        if (lab >= 1 && lab <= s.NoOfLabs) {
            program.ExcludedLabs.Include(lab);
        }
    }
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        if (!program.ExcludedLabs.Contains(lab)) {
            continue;
        }
        for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
            s.Level(lv).SetMark(lab, MarkUserExcluded);
        }
    }
    // The level figures must follow the new marks now: with the outlier
    // tests discarded no test runs before the next procedure reads them.
    RecomputeCellsAndLevels(program);
    program.MarksChanged(TStateChange::Marks);
}

int FindLaboratory(const Program& program, std::string_view code) {
    if (!program.CurrentStudy) {
        return 0;
    }
    const std::string wanted = UpperCaseText(code);
    const TLevel& first = program.CurrentStudy->Level(1);
    for (int lab = 1; lab <= program.CurrentStudy->NoOfLabs; ++lab) {
        if (UpperCaseText(first.GetRandCode(lab)) == wanted) {
            return lab;
        }
    }
    return 0;
}

} // namespace veltrio
