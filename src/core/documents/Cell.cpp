#include "documents/Cell.h"

#include "documents/Canvas.h"
#include "documents/DocumentMessages.h"
#include "documents/HtmlExport.h"
#include "documents/Markup.h"
#include "documents/NumberText.h"
#include "documents/Report.h"
#include "documents/RtfExport.h"
#include "documents/Units.h"

#include <algorithm>
#include <cmath>

namespace veltrio {

namespace {

// Splits a text at its first decimal separator.
std::string BeforeSeparator(const std::string& text) {
    return text.substr(0, text.find('.'));
}

std::string FromSeparator(const std::string& text) {
    const std::size_t pos = text.find('.');
    return pos == std::string::npos ? std::string() : text.substr(pos);
}

// The cell's own font for the lifetime of the object.
class CanvasFontScope {
public:
    CanvasFontScope(Canvas& canvas, const std::optional<TFont>& font)
        : m_canvas(canvas), m_saved(canvas.Font()) {
        if (font) {
            canvas.SetFont(*font);
        }
    }
    ~CanvasFontScope() { m_canvas.SetFont(m_saved); }

private:
    Canvas& m_canvas;
    TFont m_saved;
};

class ReportFontScope {
public:
    ReportFontScope(Report& report, const std::optional<TFont>& font) : m_report(report) {
        report.PushFont();
        if (font) {
            report.SetFont(*font);
        }
    }
    ~ReportFontScope() { m_report.PopFont(); }

private:
    Report& m_report;
};

} // namespace

void TTavCell::SetValue(double value) {
    Kind = TCellKind::ckNumber;
    Value = value;
}

void TTavCell::AddLine(std::string text) {
    Kind = TCellKind::ckFormatLines;
    Lines.push_back(std::move(text));
}

void TTavCell::AddLines(const std::vector<std::string>& lines) {
    Kind = TCellKind::ckFormatLines;
    Lines.insert(Lines.end(), lines.begin(), lines.end());
}

void TTavCell::SetTime(double time) {
    Kind = TCellKind::ckTime;
    Time = time;
}

void TTavCell::SetPicture(TPicture picture) {
    Kind = TCellKind::ckPicture;
    Picture = std::move(picture);
}

void TTavCell::SetWidthCm(double cm) {
    Width = CmToPixels(cm);
}
void TTavCell::SetHeightCm(double cm) {
    Height = CmToPixels(cm);
}
double TTavCell::WidthCm() const {
    return PixelsToCm(Width);
}
double TTavCell::HeightCm() const {
    return PixelsToCm(Height);
}

bool TTavCell::IsTextKind() const {
    return Kind == TCellKind::ckLines || Kind == TCellKind::ckFormatLines;
}

std::string TTavCell::FormattedValue() const {
    if (Value == MissingValue) {
        return {};
    }
    return ThousandSeparators ? FormatThousands(Value, 15, Decimals)
                              : FormatFixed(Value, 15, Decimals);
}

bool TTavCell::HasDecimalParts() const {
    return Kind == TCellKind::ckNumber || (IsTextKind() && Lines.size() == 1);
}

std::string TTavCell::IntegerPartText() const {
    if (Kind == TCellKind::ckNumber) {
        if (Value == MissingValue) {
            return {};
        }
        if (Value > -1.0 && Value < 0.0) {
            return "-0";
        }
        return BeforeSeparator(FormattedValue());
    }
    return Lines.size() == 1 ? BeforeSeparator(Lines[0]) : std::string();
}

std::string TTavCell::DecimalPartText() const {
    if (Kind == TCellKind::ckNumber) {
        if (Value == MissingValue) {
            return {};
        }
        const double fraction = std::fabs(Value - std::trunc(Value));
        const std::string text = FormatFixed(fraction, 15, Decimals);
        return text.size() > 1 ? text.substr(1) : std::string();
    }
    return Lines.size() == 1 ? FromSeparator(Lines[0]) : std::string();
}

int TTavCell::SizeOfIntegerPart(Canvas& canvas) const {
    if (!HasDecimalParts()) {
        InternalError("TTavCell.SizeOfIntegerPart");
        return 0;
    }
    CanvasFontScope font(canvas, Font);
    const std::string text = IntegerPartText();
    return Kind == TCellKind::ckFormatLines ? MarkupScreenWidth(canvas, text)
                                            : canvas.TextWidth(text);
}

int TTavCell::SizeOfDecimalPart(Canvas& canvas) const {
    if (!HasDecimalParts()) {
        InternalError("TTavCell.SizeOfDecimalPart");
        return 0;
    }
    CanvasFontScope font(canvas, Font);
    const std::string text = DecimalPartText();
    return Kind == TCellKind::ckFormatLines ? MarkupScreenWidth(canvas, text)
                                            : canvas.TextWidth(text);
}

double TTavCell::SizeOfIntegerPartCm(Report& report) const {
    if (!HasDecimalParts()) {
        InternalError("TTavCell.SizeOfIntegerPartCm");
        return 0.0;
    }
    ReportFontScope font(report, Font);
    const std::string text = IntegerPartText();
    return Kind == TCellKind::ckFormatLines ? MarkupReportWidth(report, text)
                                            : report.TextWidthCm(text);
}

double TTavCell::SizeOfDecimalPartCm(Report& report) const {
    if (!HasDecimalParts()) {
        InternalError("TTavCell.SizeOfDecimalPartCm");
        return 0.0;
    }
    ReportFontScope font(report, Font);
    const std::string text = DecimalPartText();
    return Kind == TCellKind::ckFormatLines ? MarkupReportWidth(report, text)
                                            : report.TextWidthCm(text);
}

std::vector<std::string> TTavCell::TextLines() const {
    switch (Kind) {
    case TCellKind::ckNumber:
        return {Value == MissingValue ? std::string() : FormatFixed(Value, 10, Decimals)};
    case TCellKind::ckTime:
        return {Time == 0.0 ? std::string() : TimeText(Time)};
    case TCellKind::ckPicture:
        return {};
    case TCellKind::ckLines:
    case TCellKind::ckFormatLines:
        return Lines;
    }
    return {};
}

bool TTavCell::DecimalSplit() const {
    return Alignment == TAlignment::alDecimal && CommaPlace > 0 && HasDecimalParts();
}

// Widest content without the 8-pixel allowance; the caller has set the font.
int TTavCell::ContentWidth(Canvas& canvas) const {
    if (DecimalSplit()) {
        return SizeOfIntegerPart(canvas) + CommaPlace;
    }
    switch (Kind) {
    case TCellKind::ckNumber:
        return canvas.TextWidth(FormattedValue());
    case TCellKind::ckTime:
        return canvas.TextWidth(TimeText(Time));
    case TCellKind::ckPicture:
        return Picture ? Picture->Width : 0;
    case TCellKind::ckLines:
    case TCellKind::ckFormatLines: {
        int widest = 0;
        for (const std::string& line : Lines) {
            widest =
                std::max(widest, Kind == TCellKind::ckFormatLines ? MarkupScreenWidth(canvas, line)
                                                                  : canvas.TextWidth(line));
        }
        return widest;
    }
    }
    return 0;
}

int TTavCell::NaturalWidth(Canvas& canvas) const {
    if (MergeState == TMergeState::msCovered) {
        return 0;
    }
    CanvasFontScope font(canvas, Font);
    return ContentWidth(canvas) + 8;
}

int TTavCell::NaturalHeight(Canvas& canvas) const {
    CanvasFontScope font(canvas, Font);
    switch (Kind) {
    case TCellKind::ckNumber:
        return canvas.TextHeight(FormattedValue()) + 8;
    case TCellKind::ckTime:
        return canvas.TextHeight(TimeText(Time)) + 8;
    case TCellKind::ckPicture:
        return (Picture ? Picture->Height : 0) + 8;
    case TCellKind::ckLines:
    case TCellKind::ckFormatLines: {
        if (Lines.empty()) {
            return 4;
        }
        int height = 0;
        for (const std::string& line : Lines) {
            height += (Kind == TCellKind::ckFormatLines ? MarkupScreenHeight(canvas, line)
                                                        : canvas.TextHeight(line)) +
                      2;
        }
        return height;
    }
    }
    return 0;
}

double TTavCell::ContentWidthCm(Report& report) const {
    if (DecimalSplit()) {
        return SizeOfIntegerPartCm(report) + PixelsToCm(CommaPlace);
    }
    switch (Kind) {
    case TCellKind::ckNumber:
        return report.TextWidthCm(FormattedValue());
    case TCellKind::ckTime:
        return report.TextWidthCm(TimeText(Time));
    case TCellKind::ckPicture:
        return Picture ? PixelsToCm(Picture->Width) : 0.0;
    case TCellKind::ckLines:
    case TCellKind::ckFormatLines: {
        double widest = 0.0;
        for (const std::string& line : Lines) {
            widest =
                std::max(widest, Kind == TCellKind::ckFormatLines ? MarkupReportWidth(report, line)
                                                                  : report.TextWidthCm(line));
        }
        return widest;
    }
    }
    return 0.0;
}

double TTavCell::NaturalWidthCm(Report& report) const {
    if (MergeState == TMergeState::msCovered) {
        return 0.0;
    }
    ReportFontScope font(report, Font);
    return ContentWidthCm(report) + PixelsToCm(8);
}

double TTavCell::NaturalHeightCm(Report& report) const {
    ReportFontScope font(report, Font);
    switch (Kind) {
    case TCellKind::ckPicture:
        return Picture ? PixelsToCm(Picture->Height) : 0.0;
    case TCellKind::ckLines:
    case TCellKind::ckFormatLines:
        return static_cast<double>(Lines.size()) * report.RowHeight() + PixelsToCm(8);
    default:
        return report.RowHeight() + PixelsToCm(8);
    }
}

void TTavCell::Draw(Canvas& canvas, int x, int y) const {
    if (MergeState == TMergeState::msCovered) {
        return;
    }
    const int w = Width;
    const int h = Height;
    if (Color != clNoColor) {
        const TBrush saved = canvas.Brush();
        canvas.SetBrush(TBrush{Color, TBrushStyle::bsSolid});
        canvas.FillRect(x, y, x + w + 1, y + h + 1);
        canvas.SetBrush(saved);
    }
    {
        CanvasFontScope font(canvas, Font);
        DrawContent(canvas, x, y);
    }
    const TPen saved = canvas.Pen();
    if (LineWidthMm > 0.0) {
        TPen pen = saved;
        pen.Width = static_cast<int>(std::lround(canvas.PixelsPerInch() * LineWidthMm / 25.4));
        canvas.SetPen(pen);
    }
    if (Borders & bdTop) {
        canvas.Line(x, y, x + w, y);
    }
    if (Borders & bdLeft) {
        canvas.Line(x, y, x, y + h);
    }
    if (Borders & bdRight) {
        canvas.Line(x + w, y, x + w, y + h);
    }
    if (Borders & bdBottom) {
        canvas.Line(x, y + h, x + w, y + h);
    }
    canvas.SetPen(saved);
}

void TTavCell::DrawContent(Canvas& canvas, int x, int y) const {
    const int w = Width;
    const int top = y + 1;
    auto drawLine = [&](int lx, int ly, const std::string& line) {
        if (Kind == TCellKind::ckFormatLines) {
            DrawMarkup(canvas, lx, ly, line);
        } else {
            canvas.TextOut(lx, ly, line);
        }
    };
    auto lineWidth = [&](const std::string& line) {
        return Kind == TCellKind::ckFormatLines ? MarkupScreenWidth(canvas, line)
                                                : canvas.TextWidth(line);
    };

    if (Kind == TCellKind::ckPicture) {
        if (Picture && !Picture->Empty()) {
            canvas.StretchDraw(x + 4, y + 5, x + w - 4, y + Height - 3, *Picture);
        }
        return;
    }
    if (DecimalSplit()) {
        if (Kind == TCellKind::ckNumber && Value == MissingValue) {
            return;
        }
        const int comma = x + w - CommaPlace;
        const std::string integer = IntegerPartText();
        const int integerWidth = IsTextKind() ? lineWidth(integer) : canvas.TextWidth(integer);
        if (IsTextKind()) {
            drawLine(comma - integerWidth, top, integer);
            drawLine(comma, top, DecimalPartText());
        } else {
            canvas.TextOut(comma - integerWidth, top, integer);
            canvas.TextOut(comma, top, DecimalPartText());
        }
        return;
    }
    if (Kind == TCellKind::ckNumber || Kind == TCellKind::ckTime) {
        if ((Kind == TCellKind::ckNumber && Value == MissingValue) ||
            (Kind == TCellKind::ckTime && Time == 0.0)) {
            return;
        }
        const std::string text = Kind == TCellKind::ckNumber ? FormattedValue() : TimeText(Time);
        const int natural = ContentWidth(canvas) + 8;
        int tx = x + w - natural - 4;
        if (Alignment == TAlignment::alLeft) {
            tx = x + 4;
        } else if (Alignment == TAlignment::alCenter) {
            tx = x + 4 + (w - natural) / 2;
        }
        canvas.TextOut(tx, top, text);
        return;
    }
    int ly = top;
    for (const std::string& line : Lines) {
        const int lw = lineWidth(line);
        int lx = x + w - lw - 4;
        switch (Alignment) {
        case TAlignment::alLeft:
            lx = x + 4;
            break;
        case TAlignment::alCenter:
            lx = x + 4 + (w - lw) / 2;
            break;
        case TAlignment::alRight:
            break;
        case TAlignment::alDecimal:
            if (Lines.size() > 1 && Kind == TCellKind::ckFormatLines) {
                lx = x + 4;
            }
            break;
        }
        drawLine(lx, ly, line);
        ly += (Kind == TCellKind::ckFormatLines ? MarkupScreenHeight(canvas, line)
                                                : canvas.TextHeight(line)) +
              2;
    }
}

void TTavCell::Print(Report& report, double x, double y) const {
    if (MergeState == TMergeState::msCovered) {
        return;
    }
    const double px = PixelsToCm(1);
    const double w = WidthCm();
    const double h = HeightCm();
    if (Color != clNoColor) {
        report.FillRect(x, y, x + w + px, y + h + px, Color);
    }
    {
        ReportFontScope font(report, Font);
        const double cursorX = report.CursorX();
        const double cursorY = report.CursorY();
        PrintContent(report, x, y);
        report.GotoXY(cursorX, cursorY);
    }
    if (Borders == 0) {
        return;
    }
    // mm as hundredths of a centimetre, given negative.
    report.SetPen(clBlack, TPenStyle::psSolid, LineWidthMm > 0.0 ? -LineWidthMm * 10.0 : 1.0);
    auto rule = [&](double x1, double y1, double x2, double y2) {
        report.MoveTo(x1, y1);
        report.LineTo(x2, y2);
    };
    if (Borders & bdTop) {
        rule(x, y, x + w, y);
    }
    if (Borders & bdLeft) {
        rule(x, y, x, y + h);
    }
    if (Borders & bdRight) {
        rule(x + w, y, x + w, y + h);
    }
    if (Borders & bdBottom) {
        rule(x, y + h, x + w, y + h);
    }
}

void TTavCell::PrintContent(Report& report, double x, double y) const {
    const double px = PixelsToCm(1);
    const double w = WidthCm();
    const double lineHeight = report.RowHeight();
    const double baseline = y + px + 0.8 * lineHeight;
    report.SetCursorY(baseline);

    if (Kind == TCellKind::ckPicture) {
        if (Picture && !Picture->Empty()) {
            report.StretchPicture(x + 4 * px, y + 4 * px, x + w - 4 * px, y + HeightCm() - 4 * px,
                                  *Picture);
        }
        return;
    }
    auto printLine = [&](const std::string& line, double lx) {
        if (Kind == TCellKind::ckFormatLines) {
            PrintMarkupAt(report, lx, line);
        } else {
            report.PrintLeftAt(line, lx);
        }
    };
    auto lineWidth = [&](const std::string& line) {
        return Kind == TCellKind::ckFormatLines ? MarkupReportWidth(report, line)
                                                : report.TextWidthCm(line);
    };

    if (DecimalSplit()) {
        if (Kind == TCellKind::ckNumber && Value == MissingValue) {
            return;
        }
        const double comma = x + w - PixelsToCm(CommaPlace);
        const std::string integer = IntegerPartText();
        if (IsTextKind()) {
            printLine(integer, comma - lineWidth(integer));
            printLine(DecimalPartText(), comma);
        } else {
            report.PrintRightAt(integer, comma);
            report.PrintLeftAt(DecimalPartText(), comma);
        }
        return;
    }
    if (Kind == TCellKind::ckNumber) {
        if (Value == MissingValue) {
            return;
        }
        const std::string text = FormattedValue();
        switch (Alignment) {
        case TAlignment::alLeft:
            report.PrintLeftAt(text, x + 4 * px);
            break;
        case TAlignment::alCenter:
            report.PrintCenteredAt(text, x + w / 2);
            break;
        default:
            report.PrintRightAt(text, x + w - 4 * px);
            break;
        }
        return;
    }
    if (Kind == TCellKind::ckTime) {
        if (Time == 0.0) {
            return;
        }
        const std::string text = TimeText(Time);
        switch (Alignment) {
        case TAlignment::alLeft:
            report.PrintLeftAt(text, x + 0.05);
            break;
        case TAlignment::alCenter:
            report.PrintCenteredAt(text, x + w / 2);
            break;
        default:
            report.PrintRightAt(text, x + w);
            break;
        }
        return;
    }
    double ly = baseline;
    for (const std::string& line : Lines) {
        report.SetCursorY(ly);
        const double lw = lineWidth(line);
        double lx = x + w - 4 * px - lw;
        switch (Alignment) {
        case TAlignment::alLeft:
            lx = x + 4 * px;
            break;
        case TAlignment::alCenter:
            lx = x + w / 2 - lw / 2;
            break;
        case TAlignment::alRight:
            break;
        case TAlignment::alDecimal:
            if (Lines.size() > 1) {
                lx = x + 4 * px;
            }
            break;
        }
        printLine(line, lx);
        ly += lineHeight;
    }
}

namespace {

constexpr double kTwipsPerCm = 566.929;
constexpr double kTwipsPerMm = 56.6929;

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string HtmlCellFontOpen(const TFont& font, const HtmlExport& out) {
    std::string html = "<FONT ";
    if (font.Color != out.BaseFont.Color) {
        html += "COLOR=" + Quoted(HtmlColor(font.Color)) + " ";
    }
    if (font.Name != out.BaseFont.Name) {
        html += "FACE=" + Quoted(HtmlText(font.Name)) + " ";
    }
    html += out.SizeAttribute(font.Size) + ">" + HtmlOpeningTags(font) + "  ";
    return html;
}

std::string HtmlCellFontClose(const TFont& font) {
    return "</FONT>" + HtmlClosingTags(font) + "  ";
}

std::string JoinLines(const std::vector<std::string>& lines, const std::string& separator) {
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            joined += separator;
        }
        joined += lines[i];
    }
    return joined;
}

} // namespace

void TTavCell::WriteHTML(HtmlExport& out) const {
    if (MergeState == TMergeState::msCovered) {
        return;
    }
    std::string open = "<TD";
    switch (Alignment) {
    case TAlignment::alLeft:
        break;
    case TAlignment::alCenter:
        open += " ALIGN=CENTER";
        break;
    case TAlignment::alRight:
        open += " ALIGN=RIGHT";
        break;
    case TAlignment::alDecimal:
        open += " ALIGN=LEFT";
        break;
    }
    if (Color != clNoColor) {
        open += " BGCOLOR=" + Quoted(HtmlColor(Color));
    }
    if (out.CellSizes) {
        open += " HEIGHT = " + Quoted(std::to_string(Height)) +
                " WIDTH = " + Quoted(std::to_string(Width));
    }
    if (MergeState == TMergeState::msFirst) {
        open += " COLSPAN= " + Quoted(std::to_string(Span + 1));
    }
    // The page's style sheet draws the cell's own rules (t, b, l, r) as in
    // print, right-aligns decimal-aligned numbers (d) and shows no box for a
    // hidden column (h).
    std::string classes;
    auto add = [&classes](const char* name) {
        classes += classes.empty() ? name : std::string(" ") + name;
    };
    if (Width <= 0) {
        add("h");
    } else {
        const std::pair<std::uint8_t, const char*> rules[] = {
            {bdTop, "t"}, {bdBottom, "b"}, {bdLeft, "l"}, {bdRight, "r"}};
        for (const auto& [bit, name] : rules) {
            if ((Borders & bit) != 0) {
                add(name);
            }
        }
        if (Alignment == TAlignment::alDecimal) {
            add("d");
        }
    }
    if (!classes.empty()) {
        open += " CLASS=" + Quoted(classes);
    }
    open += ">";
    out.Write(open);
    if (Font) {
        out.Write(HtmlCellFontOpen(*Font, out));
    }
    switch (Kind) {
    case TCellKind::ckNumber:
        out.Write(Value == MissingValue ? "&nbsp;" : HtmlText(FormattedValue()));
        break;
    case TCellKind::ckTime:
        out.Write(HtmlText(TimeText(Time)));
        break;
    case TCellKind::ckPicture:
        if (Picture && !Picture->Empty()) {
            out.WritePicture(*Picture, Height, Width);
        }
        break;
    case TCellKind::ckLines:
        if (Lines.empty() || (Lines.size() == 1 && Lines.front().empty())) {
            out.Write("&nbsp;");
        }
        for (const std::string& line : Lines) {
            out.Write(HtmlText(line) + " <br>");
        }
        break;
    case TCellKind::ckFormatLines:
        for (const std::string& line : Lines) {
            out.Write(MarkupToHtml(line, out) + " ");
        }
        break;
    }
    if (Font) {
        out.Write(HtmlCellFontClose(*Font));
    }
    out.WriteLine("</TD> ");
}

namespace {
// 0.1 cm.
constexpr int kRtfNumberGapTwips = 57;
} // namespace

long TTavCell::RtfWidthTwips() const {
    return std::lround(WidthCm() * kTwipsPerCm);
}

void TTavCell::AppendRtfFrame(RtfExport& out, long& rightEdge) const {
    // A width alone declares no rule to word processors: the single line
    // style goes first.
    const std::string style =
        LineWidthMm > 0.0
            ? "\\brdrs\\brdrw" + std::to_string(std::lround(LineWidthMm * kTwipsPerMm))
            : std::string("\\brdrs");
    const std::pair<std::uint8_t, const char*> rules[] = {{bdTop, "\\clbrdrt"},
                                                          {bdLeft, "\\clbrdrl"},
                                                          {bdRight, "\\clbrdrr"},
                                                          {bdBottom, "\\clbrdrb"}};
    const long width = RtfWidthTwips();
    // A cell without width (a hidden column, a cell covered by a merge)
    // draws no rules: they would double the rules of its neighbour.
    if (width > 0) {
        for (const auto& [bit, word] : rules) {
            if ((Borders & bit) != 0) {
                out.AddLine(word + style);
            }
        }
    }
    if (Color != clNoColor) {
        out.AddLine("\\clcbpat" + std::to_string(out.ColorIndex(Color)));
    }
    // Right-aligned numbers keep a small gap to the cell on their right
    // (a mark such as "C**"), as on the screen and in print.
    if (width > 0 && (Alignment == TAlignment::alRight || Alignment == TAlignment::alDecimal)) {
        out.AddLine("\\clpadr" + std::to_string(kRtfNumberGapTwips) + "\\clpadfr3");
    }
    rightEdge += width;
    out.AddLine("\\cellx" + std::to_string(rightEdge));
}

std::string TTavCell::RtfContent(RtfExport& out) const {
    std::string rtf;
    if (Font) {
        rtf += out.FontCode(*Font) + " ";
    }
    switch (Alignment) {
    case TAlignment::alCenter:
        rtf += "\\qc ";
        break;
    case TAlignment::alLeft:
        rtf += "\\ql ";
        break;
    case TAlignment::alRight:
    case TAlignment::alDecimal:
        rtf += "\\qr ";
        break;
    }
    switch (Kind) {
    case TCellKind::ckNumber:
        rtf += RtfText(FormattedValue());
        break;
    case TCellKind::ckTime:
        rtf += RtfText(TimeText(Time));
        break;
    case TCellKind::ckPicture:
        break;
    case TCellKind::ckLines: {
        std::vector<std::string> lines;
        for (const std::string& line : Lines) {
            lines.push_back(RtfText(line));
        }
        rtf += JoinLines(lines, "\\par ");
        break;
    }
    case TCellKind::ckFormatLines: {
        std::vector<std::string> lines;
        for (const std::string& line : Lines) {
            lines.push_back(MarkupToRtf(line, out));
        }
        rtf += JoinLines(lines, "\\par ");
        break;
    }
    }
    if (Font) {
        rtf += out.FontCode(out.BaseFont());
    }
    return rtf + "\\cell";
}

void TTavCell::CollectFonts(RtfExport& out) const {
    if (Font) {
        out.AddFontAndColor(*Font);
    }
    if (Color != clNoColor) {
        out.AddColor(Color);
    }
    if (Kind == TCellKind::ckFormatLines) {
        for (const std::string& line : Lines) {
            CollectMarkupFonts(line, out);
        }
    }
}

} // namespace veltrio
