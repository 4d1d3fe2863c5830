#pragma once

#include <string>
#include <vector>

namespace veltrio {

class Canvas;
class Report;
class TTavContents;
// The writers of the exchange formats; every item writes its own piece.
class HtmlExport;
class RtfExport;

// An item of a document: text lines, formatted lines, tables, charts and
// format items. Screen measures are canvas pixels, report measures
// centimetres.
class TTavBrowseObject {
public:
    virtual ~TTavBrowseObject();

    // The screen height last measured by ScreenHeight.
    int CachedHeight = 0;

    virtual void Draw(int x, int y, Canvas& canvas);
    virtual void Print(Report& report);
    virtual void Preview(int x, int y);
    // A diagnostic message describing the item.
    virtual void ShowInfo() const;
    virtual int ScreenHeight(Canvas& canvas);
    virtual int ScreenWidth(Canvas& canvas);
    virtual bool IsFormat() const;
    virtual void WriteHTML(HtmlExport& out);
    virtual void WriteRTF(RtfExport& out);
    virtual double ReportWidth(Report& report) = 0;
    virtual double ReportHeight(Report& report) = 0;
    // Whether the item can be printed at the report's cursor; the document
    // cursor stands on this item.
    virtual bool FitsOnPage(Report& report, TTavContents& document) = 0;

    // The item's lines in the document's plain text.
    virtual void AppendPlainText(std::vector<std::string>& lines) const;
};

// Room between the report cursor and the page footer:
// section bottom − Y − footer height.
double SpaceLeft(const Report& report);

} // namespace veltrio
