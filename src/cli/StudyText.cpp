#include "StudyText.h"

#include <charconv>

#include "study/Program.h"
#include "study/ReportFraming.h"

namespace veltrio {

namespace {

// Fixed notation with "." whatever the locale; "-" for the missing value.
std::string Fixed(double v, int decimals) {
    if (v == MissingValue) {
        return "-";
    }
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    return std::string(buf, res.ptr);
}

std::string Cell(const std::string& s, std::size_t width) { return PadLeft(s, width); }

const char* const kTransformations[] = {"none", "ln", "log10", "square root", "inverse"};

} // namespace

std::string StudyToText(const Program& program) {
    if (!program.CurrentStudy || !program.Stats) {
        return "No study is loaded.\n";
    }
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    std::string out;
    out += s.TestId + "\n";
    out += "Substance: " + s.Substance + "    Unit: " + s.Unit + "\n";
    out += std::string("Design: ") + (s.Design == dkSplitLevel ? "split level" : "uniform level") +
           "    Laboratories: " + std::to_string(s.NoOfLabs) +
           "    Replicates: " + std::to_string(s.NoOfReplicates) +
           "    Levels: " + std::to_string(s.NoOfLevels) + "\n";
    out += std::string("Transformation: ") + kTransformations[s.Transformation % 5];
    if (s.FileTransformation != s.Transformation) {
        out += std::string(" (the file names ") + kTransformations[s.FileTransformation % 5] + ")";
    }
    out += "\nExcluded by the file:";
    if (program.ExcludedCodes.Count() == 0) {
        out += " none";
    }
    for (int i = 1; i <= program.ExcludedCodes.Count(); ++i) {
        out += " " + program.ExcludedCodes.Code(i);
    }
    out += "\n";
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const TLevel& l = s.Level(lv);
        const auto slot = TDescriptiveStatistics::Slot(lv);
        const int dec = l.Decimals + 2;
        out += "\nLevel " + std::to_string(lv) + ": " + l.LevelName;
        if (s.Design == dkSplitLevel) {
            out += "    samples";
            for (int r = 1; r <= s.NoOfReplicates; ++r) {
                out += " " + l.SampleId(r);
            }
            if (l.Spiking != MissingValue) {
                out += "    spike " + Fixed(l.Spiking, l.SpikingDecimals) + " on " +
                       l.SampleId(l.SpikedSample);
            }
        }
        out += "    assigned value " + Fixed(l.NominalValue, l.NominalDecimals) + "\n";
        out += "  valid laboratories " + std::to_string(d.NoOfValidLabs[slot]) +
               "    grand mean " + Fixed(d.GrandMean[slot], dec) +
               "    repeatability variance " + Fixed(d.RepeatVar[slot], dec + 1) +
               "    between-laboratory mean square " + Fixed(d.BetweenMeanSquare[slot], dec + 1) +
               "\n  between-laboratory variance " + Fixed(d.BetweenLabVar[slot], dec + 1) +
               "    CV(r) % " + Fixed(d.RepeatCV[slot], 2) +
               "    CV(L) % " + Fixed(d.BetweenLabCV[slot], 2) + "\n";
        std::string head = "  " + Cell("Code", 5) + Cell("Reg", 5) + Cell("Meth", 5) +
                           Cell("Mark", 5);
        for (int r = 1; r <= s.NoOfReplicates; ++r) {
            head += Cell("Result " + std::to_string(r), 11);
        }
        head += Cell("N", 3) + Cell("Mean", 12) + Cell("Variance", 13) +
                (s.NoOfReplicates == 2 ? Cell("Difference", 12) : "") + "\n";
        out += head;
        for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
            std::string row = "  " + Cell(l.GetRandCode(lab), 5) + Cell(l.GetRegLabNo(lab), 5) +
                              Cell(l.GetMethodCode(lab), 5) + Cell(l.MarkText(lab), 5);
            for (int r = 1; r <= s.NoOfReplicates; ++r) {
                const TResult& res = l.GetResult(lab, r);
                std::string v = Fixed(res.Value, res.Decimals);
                if (res.Flag == '<') {
                    v = "<" + v;
                }
                row += Cell(v, 11);
            }
            row += Cell(std::to_string(d.N(lv, lab)), 3) + Cell(Fixed(d.Mean(lv, lab), dec), 12) +
                   Cell(Fixed(d.Variance(lv, lab), dec + 1), 13);
            if (s.NoOfReplicates == 2) {
                row += Cell(Fixed(d.Difference(lv, lab), dec), 12);
            }
            out += row + "\n";
        }
    }
    return out;
}

} // namespace veltrio
