#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace veltrio {

class Program;

// Transformations by index (`Transformation` of the study): 0 none, 1 ln,
// 2 log10, 3 square root, 4 inverse. Indices outside 0..4 act as 0.
inline constexpr int NoOfTransformations = 5;

// The name in the data file (upper-cased there) and the status panel:
// "none", "ln", "log10", "square root", "inverse".
std::string TransformationName(int index);
// The choice of the transformation dialog: "No transformation", "ln  ",
// "log10", "Square root", "Inverse (1/x)".
std::string TransformationChoice(int index);
// The transformation panel: "Transformation: " and the name, 27 characters
// at most.
std::string TransformationPanelText(int index);
// The decimals of transformed values and level figures: 3 for ln and the
// square root, 4 for log10 and the inverse; -99 for none (unchanged).
int TransformedDecimals(int index);

// ln x > 0, log10 x > 0, square root x >= 0, inverse x != 0; index 0 always.
// The missing value -99 is always transformable; an infinite or NaN value
// never is (but under index 0).
bool Transformable(int index, double x);
// f(x) of the table. -99 stays -99; a value that is not transformable, or
// whose image is not finite, gives -99.
double Transform(int index, double x);
// The inverse of f: e^x, 10^x, x², 1/x. -99 stays -99; a result that is not
// finite (1/0, e^1000) gives -99.
double BackTransform(int index, double x);

inline constexpr const char* NotTransformableText =
    "Some values can not be transformed. Exclude the labs that contains invalid values, by "
    "marking them with U in the datafile.";

// Transforms the loaded study in memory. Index 0 only sets `Transformation`
// to 0. Otherwise every value of the laboratories not marked 'U' must be
// transformable, or the message above is shown and the study stays as it was
// (false). Then the unit gets the name in front, every transformable result
// (also of 'U' laboratories) and every level's assigned value take f(x), the
// decimals become the transformation's, `Spiking` stays, and
// `Transformation` := index. Statistics that exist are recomputed and the
// descriptive figures cleared. The reader calls this through
// `Program::ApplyTransformation` when a data file names a transformation.
// A spike added to a stored value of a spiked sample on the study's own
// scale: a transformed study stores the transformed value of
// (result - spike).
double SpikeAdded(int index, double stored, double spike);

bool ApplyTransformation(Program& program, int index);

// Makes the reader apply the transformation a data file names.
void InstallTransformations(Program& program);

// The data file `bytes` with its TRANSFORM line for `index`. The new line
// `TRANSFORM = "LN"`, indented like the deepest line so far, stands before
// the first line whose upper-cased text holds "END" (a text such as "Legend"
// counts). An earlier TRANSFORM keyword with its name goes wherever the
// reader would still find it in the header, and its line with it when nothing
// else is left on it; the word inside a quoted text is no keyword. Every other
// byte stays as it is, so the file keeps its encoding and line ends.
std::string TransformedFileText(std::string_view bytes, int index);

// Rewrites the data file at `path` with the TRANSFORM line of `index`. The
// new text is written beside the file and renamed over it, so the file is
// either rewritten whole or left as it was (false, `error` says why).
bool WriteTransformation(const std::filesystem::path& path, int index,
                         std::string* error = nullptr);

// The command "Transformation" once the dialog was confirmed with `index`:
// writes the TRANSFORM line into the current file and reads the file again
// (without the ConfirmTrans question), which applies the transformation to
// the values as written, so a new choice never stacks on an earlier one; then
// clears the descriptive figures. A file that cannot be rewritten is reported
// through the host and the loaded study stays as it was (false). The caller
// shows TransformationPanelText of the study's `Transformation` afterwards.
bool ExecuteTransformation(Program& program, int index);

} // namespace veltrio
