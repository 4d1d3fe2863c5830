#include "documents/TextItems.h"

#include "documents/Canvas.h"
#include "documents/DocumentMessages.h"
#include "documents/HtmlExport.h"
#include "documents/Markup.h"
#include "documents/Report.h"
#include "documents/RtfExport.h"

namespace veltrio {

void TTavText::Draw(int x, int y, Canvas& canvas) {
    canvas.TextOut(x, y, Text);
}

void TTavText::Print(Report& report) {
    report.SetCursorY(report.CursorY() + report.RowHeight());
    report.SetCursorX(report.MarginLeft());
    report.PrintAtCursor(Text);
}

void TTavText::ShowInfo() const {
    ShowDocumentMessage("Line : " + Text);
}

int TTavText::ScreenHeight(Canvas& canvas) {
    CachedHeight = canvas.TextHeight(Text);
    return CachedHeight;
}

int TTavText::ScreenWidth(Canvas& canvas) {
    return canvas.TextWidth(Text);
}

double TTavText::ReportWidth(Report& report) {
    return report.TextWidthCm(Text);
}

double TTavText::ReportHeight(Report& report) {
    return report.RowHeight();
}

bool TTavText::FitsOnPage(Report& report, TTavContents&) {
    return SpaceLeft(report) > report.RowHeight();
}

void TTavText::WriteHTML(HtmlExport& out) {
    out.WriteLine(HtmlText(Text) + " <br>");
}

void TTavText::WriteRTF(RtfExport& out) {
    out.AddLine(RtfText(Text) + " \\par");
}

void TTavText::AppendPlainText(std::vector<std::string>& lines) const {
    lines.push_back(Text);
}

void TTavFormatText::Draw(int x, int y, Canvas& canvas) {
    DrawMarkup(canvas, x, y, Text);
}

void TTavFormatText::Print(Report& report) {
    report.SetCursorY(report.CursorY() + ReportHeight(report));
    report.SetCursorX(report.MarginLeft());
    PrintMarkupAt(report, report.MarginLeft(), Text);
}

void TTavFormatText::ShowInfo() const {
    ShowDocumentMessage("Line : " + Text);
}

int TTavFormatText::ScreenHeight(Canvas& canvas) {
    CachedHeight = MarkupScreenHeight(canvas, Text);
    return CachedHeight;
}

int TTavFormatText::ScreenWidth(Canvas& canvas) {
    return MarkupScreenWidth(canvas, Text);
}

double TTavFormatText::ReportWidth(Report& report) {
    return MarkupReportWidth(report, Text);
}

double TTavFormatText::ReportHeight(Report& report) {
    return MarkupReportHeight(report, Text);
}

bool TTavFormatText::FitsOnPage(Report& report, TTavContents&) {
    return SpaceLeft(report) > ReportHeight(report);
}

void TTavFormatText::WriteHTML(HtmlExport& out) {
    out.WriteLine(MarkupToHtml(Text, out));
    out.WriteLine("<br>");
}

void TTavFormatText::WriteRTF(RtfExport& out) {
    out.AddLine(MarkupToRtf(Text, out) + "\\par");
}

} // namespace veltrio
