#pragma once

#include "documents/BrowseObject.h"

#include <string>

namespace veltrio {

// A plain text line.
class TTavText : public TTavBrowseObject {
public:
    explicit TTavText(std::string text) : Text(std::move(text)) {}

    std::string Text;

    void Draw(int x, int y, Canvas& canvas) override;
    void Print(Report& report) override;
    void ShowInfo() const override;
    int ScreenHeight(Canvas& canvas) override;
    int ScreenWidth(Canvas& canvas) override;
    double ReportWidth(Report& report) override;
    double ReportHeight(Report& report) override;
    bool FitsOnPage(Report& report, TTavContents& document) override;
    void WriteHTML(HtmlExport& out) override;
    void WriteRTF(RtfExport& out) override;
    void AppendPlainText(std::vector<std::string>& lines) const override;
};

// A line with markup (symbols, scripts, font runs).
class TTavFormatText : public TTavBrowseObject {
public:
    explicit TTavFormatText(std::string text) : Text(std::move(text)) {}

    std::string Text;

    void Draw(int x, int y, Canvas& canvas) override;
    void Print(Report& report) override;
    void ShowInfo() const override;
    int ScreenHeight(Canvas& canvas) override;
    int ScreenWidth(Canvas& canvas) override;
    double ReportWidth(Report& report) override;
    double ReportHeight(Report& report) override;
    bool FitsOnPage(Report& report, TTavContents& document) override;
    void WriteHTML(HtmlExport& out) override;
    void WriteRTF(RtfExport& out) override;
};

} // namespace veltrio
