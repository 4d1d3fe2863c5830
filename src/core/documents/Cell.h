#pragma once

#include "base/Missing.h"
#include "documents/Graphics.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltrio {

class Canvas;
class HtmlExport;
class Report;
class RtfExport;

enum class TCellKind : std::uint8_t {
    ckLines = 0,       // plain text lines
    ckNumber = 1,      // Value with Decimals
    ckPicture = 2,     // Picture
    ckTime = 3,        // Time, a time of day
    ckFormatLines = 4, // lines with markup
};

enum class TMergeState : std::uint8_t {
    msNormal = 0,
    msCovered = 3, // covered by a merged cell to its left
    msFirst = 4,   // first cell of a merged run
};

enum class TAlignment : std::uint8_t { alCenter = 0, alLeft = 1, alRight = 2, alDecimal = 3 };

// Rules drawn around a cell (the Borders bits).
inline constexpr std::uint8_t bdTop = 1;
inline constexpr std::uint8_t bdBottom = 2;
inline constexpr std::uint8_t bdLeft = 4;
inline constexpr std::uint8_t bdRight = 8;
inline constexpr std::uint8_t bdAll = bdTop | bdBottom | bdLeft | bdRight;

// A table cell. Width, Height and CommaPlace are screen pixels; centimetres
// convert with PixelsPerCm.
class TTavCell {
public:
    TCellKind Kind = TCellKind::ckNumber;
    TMergeState MergeState = TMergeState::msNormal;
    TColor Color = clNoColor;
    double Value = MissingValue;
    std::optional<TPicture> Picture;
    int Decimals = 3;
    bool ThousandSeparators = false;
    TAlignment Alignment = TAlignment::alRight;
    double Time = 0.0;
    std::uint8_t Borders = bdAll;
    // Width of the rules in mm; <= 0 the thinnest pen.
    double LineWidthMm = -1.0;
    // The cell's own font; none means the current font.
    std::optional<TFont> Font;
    int Width = 50;
    int Height = 15;
    // alDecimal: room right of the decimal separator.
    int CommaPlace = 0;
    std::vector<std::string> Lines;
    // msFirst: number of covered cells to the right.
    int Span = 0;

    void SetValue(double value);
    void AddLine(std::string text);
    void AddLines(const std::vector<std::string>& lines);
    void SetTime(double time);
    void SetPicture(TPicture picture);
    void SetFont(const TFont& font) { Font = font; }
    void SetWidthCm(double cm);
    void SetHeightCm(double cm);
    double WidthCm() const;
    double HeightCm() const;

    // The number as shown (empty for MissingValue).
    std::string FormattedValue() const;
    // Numbers and one-line texts split at the decimal separator.
    bool HasDecimalParts() const;
    std::string IntegerPartText() const;
    std::string DecimalPartText() const;
    int SizeOfIntegerPart(Canvas& canvas) const;
    int SizeOfDecimalPart(Canvas& canvas) const;
    double SizeOfIntegerPartCm(Report& report) const;
    double SizeOfDecimalPartCm(Report& report) const;

    // The cell as lines of plain text.
    std::vector<std::string> TextLines() const;

    // Size from the contents, with the cell's own font.
    int NaturalWidth(Canvas& canvas) const;
    int NaturalHeight(Canvas& canvas) const;
    double NaturalWidthCm(Report& report) const;
    double NaturalHeightCm(Report& report) const;

    // The cell at its own Width and Height.
    void Draw(Canvas& canvas, int x, int y) const;
    void Print(Report& report, double x, double y) const;

    // Exports. A covered cell writes no HTML.
    void WriteHTML(HtmlExport& out) const;
    // The rule lines and "\cellx" of the cell; rightEdge (twips) moves on by
    // the cell's width.
    void AppendRtfFrame(RtfExport& out, long& rightEdge) const;
    // The width in twips as the RTF frame gives it; 0 for a hidden cell.
    long RtfWidthTwips() const;
    // Font, alignment and content, ended by "\cell".
    std::string RtfContent(RtfExport& out) const;
    // The fonts and colours the cell needs in RTF.
    void CollectFonts(RtfExport& out) const;

private:
    bool IsTextKind() const;
    bool DecimalSplit() const;
    int ContentWidth(Canvas& canvas) const;
    double ContentWidthCm(Report& report) const;
    void DrawContent(Canvas& canvas, int x, int y) const;
    void PrintContent(Report& report, double x, double y) const;
};

} // namespace veltrio
