#include "quality/Evaluation.h"

#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"
#include "preliminary/SplitControl.h"
#include "quality/ANOVA.h"
#include "study/Program.h"

namespace veltrio {

void EvaluateStudy(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    if (!program.Settings.DiscardOutlierTests) {
        CochranTest(program);
        GrubbsTest(program);
    }
    if (program.CurrentStudy->Design == dkSplitLevel) {
        // As "Everything below": the pair differences after the tests, then
        // the tests again, now with the spiking correction where it applies.
        SplitControlOf(program).ComputeDifferences(program);
        program.Outliers.Clear();
        if (!program.Settings.DiscardOutlierTests) {
            CochranTest(program);
            GrubbsTest(program);
        }
    }
    ANOVAOf(program).Calculate(program);
}

} // namespace veltrio
