#include "study/Transformations.h"

#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "base/AtomicFile.h"
#include "base/ScopeGuard.h"
#include "base/Missing.h"
#include "base/TextUtil.h"
#include "study/PreliminaryStats.h"
#include "study/Program.h"
#include "study/StudyReader.h"

namespace veltrio {

namespace {

namespace fs = std::filesystem;

struct TransformationKind {
    const char* Name;
    const char* Choice;
    int Decimals;
};

constexpr std::array<TransformationKind, NoOfTransformations> kKinds{{
    {"none", "No transformation", -99}, // decimals stay
    {"ln", "ln  ", 3},
    {"log10", "log10", 4},
    {"square root", "Square root", 3},
    {"inverse", "Inverse (1/x)", 4},
}};

int Checked(int index) {
    return index >= 0 && index < NoOfTransformations ? index : 0;
}

const TransformationKind& Kind(int index) {
    return kKinds[static_cast<std::size_t>(Checked(index))];
}

double Finite(double y) {
    return std::isfinite(y) ? y : MissingValue;
}

// ---- The data file's lines ----

struct FileLine {
    std::string Text;
    std::string End; // the line's own line break; empty on a last line without one
};

std::vector<FileLine> SplitLines(std::string_view bytes) {
    std::vector<FileLine> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        std::size_t next = end;
        if (next < bytes.size() && bytes[next] == '\r') {
            ++next;
        }
        if (next < bytes.size() && bytes[next] == '\n') {
            ++next;
        }
        lines.push_back({std::string(bytes.substr(pos, end - pos)),
                         std::string(bytes.substr(end, next - end))});
        pos = next;
    }
    return lines;
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
// What the reader skips between a keyword and its value.
bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == ':' || c == ';' || c == '=';
}

// A keyword of the reader: a run of letters outside double quotes, of which
// the first six count.
struct Keyword {
    std::size_t Begin;
    std::size_t End;
    std::string Word;
};

std::vector<Keyword> KeywordsOf(const std::string& line) {
    std::vector<Keyword> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            i = close == std::string::npos ? line.size() : close + 1;
        } else if (IsLetter(line[i])) {
            const std::size_t b = i;
            while (i < line.size() && IsLetter(line[i])) {
                ++i;
            }
            words.push_back({b, i, UpperAscii(line.substr(b, i - b)).substr(0, 6)});
        } else {
            ++i;
        }
    }
    return words;
}

bool HasKeyword(const std::string& line, std::string_view word) {
    for (const auto& k : KeywordsOf(line)) {
        if (k.Word == word) {
            return true;
        }
    }
    return false;
}

// The line without its TRANSFORM keywords and their quoted names; nothing
// when no other text than blanks remains.
std::optional<std::string> WithoutTransform(const std::string& line) {
    std::string out = line;
    const auto words = KeywordsOf(line);
    bool removed = false;
    for (auto it = words.rbegin(); it != words.rend(); ++it) {
        if (it->Word != "TRANSF") {
            continue;
        }
        std::size_t end = it->End;
        while (end < out.size() && IsSeparator(out[end])) {
            ++end;
        }
        if (end < out.size() && out[end] == '"') {
            const std::size_t close = out.find('"', end + 1);
            end = close == std::string::npos ? out.size() : close + 1;
        }
        out.erase(it->Begin, end - it->Begin);
        removed = true;
    }
    if (!removed) {
        return out;
    }
    if (Trim(out).empty()) {
        return std::nullopt;
    }
    return out;
}

std::size_t LeadingSpaces(const std::string& line) {
    const std::size_t first = line.find_first_not_of(' ');
    return first == std::string::npos ? 0 : first;
}

} // namespace

std::string TransformationName(int index) {
    return Kind(index).Name;
}
std::string TransformationChoice(int index) {
    return Kind(index).Choice;
}
std::string TransformationPanelText(int index) {
    return Utf8Left("Transformation: " + TransformationName(index), 27);
}
int TransformedDecimals(int index) {
    return Kind(index).Decimals;
}

bool Transformable(int index, double x) {
    if (x == MissingValue || Checked(index) == 0) {
        return true;
    }
    if (!std::isfinite(x)) {
        return false;
    }
    switch (Checked(index)) {
    case 1:
    case 2:
        return x > 0;
    case 3:
        return x >= 0;
    default:
        return x != 0;
    }
}

double Transform(int index, double x) {
    if (x == MissingValue || !Transformable(index, x)) {
        return MissingValue;
    }
    switch (Checked(index)) {
    case 1:
        return Finite(std::log(x));
    case 2:
        return Finite(std::log(x) / std::log(10.0));
    case 3:
        return Finite(std::sqrt(x));
    case 4:
        return Finite(1.0 / x);
    default:
        return x;
    }
}

double BackTransform(int index, double x) {
    if (x == MissingValue) {
        return MissingValue;
    }
    switch (Checked(index)) {
    case 1:
        return Finite(std::exp(x));
    case 2:
        return Finite(std::pow(10.0, x));
    case 3:
        return Finite(x * x);
    case 4:
        return Finite(1.0 / x);
    default:
        return x;
    }
}

bool ApplyTransformation(Program& program, int index) {
    if (!program.CurrentStudy || index < 0 || index >= NoOfTransformations) {
        return false;
    }
    DataType& study = *program.CurrentStudy;
    if (index == 0) {
        study.Transformation = 0;
        return true;
    }
    const bool progress = !program.SilentMode;
    if (progress) {
        program.host().StartProgress(2 * study.NoOfLevels * study.NoOfLabs);
    }
    TScopeExit endProgress([&] {
        if (progress) {
            program.host().EndProgress();
        }
    });

    for (int lv = 1; lv <= study.NoOfLevels; ++lv) {
        const TLevel& level = study.Level(lv);
        for (int lab = 1; lab <= study.NoOfLabs; ++lab) {
            if (level.GetMark(lab) != MarkFileExcluded) {
                for (int r = 1; r <= study.NoOfReplicates; ++r) {
                    if (!Transformable(index, level.GetResult(lab, r).Value)) {
                        endProgress.Release();
                        if (progress) {
                            program.host().EndProgress();
                        }
                        program.host().ShowMessage(NotTransformableText);
                        return false;
                    }
                }
            }
            if (progress) {
                program.host().StepProgress();
            }
        }
    }

    const int decimals = TransformedDecimals(index);
    study.Unit = Utf8Left(TransformationName(index) + " ", 12) + study.Unit;
    for (int lv = 1; lv <= study.NoOfLevels; ++lv) {
        TLevel& level = study.Level(lv);
        for (int lab = 1; lab <= study.NoOfLabs; ++lab) {
            for (int r = 1; r <= study.NoOfReplicates; ++r) {
                const TResult result = level.GetResult(lab, r);
                // A laboratory marked 'U' may hold values that stay as they are.
                if (result.Value != MissingValue && Transformable(index, result.Value)) {
                    level.SetResult(lab, r, result.Flag, Transform(index, result.Value), decimals);
                }
            }
            if (progress) {
                program.host().StepProgress();
            }
        }
        level.Decimals = static_cast<std::int8_t>(decimals);
        level.MaxDecimals = static_cast<std::int8_t>(decimals);
        level.NominalDecimals = static_cast<std::uint8_t>(decimals);
        if (level.NominalValue != MissingValue && Transformable(index, level.NominalValue)) {
            level.NominalValue = Transform(index, level.NominalValue);
        }
    }
    study.Transformation = static_cast<std::uint8_t>(index);
    endProgress.Release();
    if (progress) {
        program.host().EndProgress();
    }

    // Read from a file the statistics come afterwards; on a loaded study the
    // figures of the old scale must go.
    if (program.Stats) {
        program.StudyReplaced();
    } else if (program.Prelim) {
        program.Prelim->ResetDescriptive();
    }
    return true;
}

double SpikeAdded(int index, double stored, double spike) {
    if (index == 0) {
        return stored + spike;
    }
    return Transform(index, BackTransform(index, stored) + spike);
}

void InstallTransformations(Program& program) {
    program.ApplyTransformation = [](Program& p, int index) { ApplyTransformation(p, index); };
}

std::string TransformedFileText(std::string_view bytes, int index) {
    const std::vector<FileLine> lines = SplitLines(bytes);

    // The line that stands first after the header closes: the first one
    // holding "END" anywhere, even inside a quoted text ("Legend").
    std::optional<std::size_t> closing;
    // The line of the reader's END keyword, which really ends the header.
    std::optional<std::size_t> headerEnd;
    for (std::size_t i = 0; i < lines.size() && !(closing && headerEnd); ++i) {
        if (!closing && UpperAscii(lines[i].Text).find("END") != std::string::npos) {
            closing = i;
        }
        if (!headerEnd && HasKeyword(lines[i].Text, "END")) {
            headerEnd = i;
        }
    }
    // An earlier TRANSFORM goes wherever the reader would still take it.
    const std::size_t lastHeaderLine = headerEnd ? *headerEnd : (closing ? *closing : lines.size());

    std::string fallbackEnd = "\r\n";
    for (const auto& line : lines) {
        if (!line.End.empty()) {
            fallbackEnd = line.End;
            break;
        }
    }

    std::string out;
    out.reserve(bytes.size() + 32);
    std::size_t indent = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const FileLine& line = lines[i];
        if (!closing || i <= *closing) {
            if (line.Text.find_first_not_of(' ') != std::string::npos) {
                indent = std::max(indent, LeadingSpaces(line.Text));
            }
        }
        if (closing && i == *closing) {
            out += std::string(indent, ' ') + "TRANSFORM = \"" +
                   UpperAscii(TransformationName(index)) + "\"";
            out += line.End.empty() ? fallbackEnd : line.End;
        }
        if (i <= lastHeaderLine) {
            const auto kept = WithoutTransform(line.Text);
            if (kept) {
                out += *kept + line.End;
            }
        } else {
            out += line.Text + line.End;
        }
    }
    return out;
}

bool WriteTransformation(const fs::path& path, int index, std::string* error) {
    std::string bytes;
    std::string why;
    if (!ReadWholeFile(path, bytes, &why)) {
        if (error) {
            *error = "Cannot write the file " + path.string() + ": it cannot be read again (" +
                     why + ").";
        }
        return false;
    }
    return WriteFileAtomically(path, TransformedFileText(bytes, index), error);
}

bool ExecuteTransformation(Program& program, int index) {
    if (index < 0 || index >= NoOfTransformations) {
        return false;
    }
    const fs::path path = program.CurrentFile;
    std::string error;
    if (path.empty()) {
        program.host().ShowMessage("Cannot write the file: the study was not read from a file.");
        return false;
    }
    if (!WriteTransformation(path, index, &error)) {
        program.host().ShowMessage(error);
        return false;
    }
    // The file names the transformation the user just chose: no question.
    const TSavedValue noQuestion(program.Settings.ConfirmTrans, false);
    // Reading the file replaces the study and clears what was derived.
    return ReadStudyFile(program, path) == 0;
}

} // namespace veltrio
