#pragma once

#include "documents/Report.h"

#include <string>
#include <vector>

namespace veltrio::testing {

// A print engine with fixed metrics that records the pages it prints, so
// that pagination can be checked exactly: a font of size s points has a line
// height of 0.05 s cm and every character (code point) is 0.02 s cm wide.
// The paper is A4 (21 × 29.7 cm) unless the test sets another size.
class FakeReport : public Report {
public:
    struct Text {
        double X, Y; // Y is the base line
        std::string Value;
        TFont Font;
    };
    struct Line {
        double X1, Y1, X2, Y2;
        TReportPen Pen;
    };
    struct Fill {
        double X1, Y1, X2, Y2;
        TColor Color;
    };
    struct Picture {
        double X1, Y1, X2, Y2;
    };
    struct Page {
        double Width, Height;
        std::vector<Text> Texts;
        std::vector<Line> Lines;
        std::vector<Fill> Fills;
        std::vector<Picture> Pictures;
        // The texts in print order, one per line of this string.
        std::string Joined() const;
        // The first text with that value, nullptr when there is none.
        const Text* Find(const std::string& value) const;
    };

    static double LineHeightOf(int points) { return 0.05 * points; }
    static double CharWidthOf(int points) { return 0.02 * points; }

    std::string DocumentTitle;
    std::vector<Page> Pages;
    int DocumentsBegun = 0;
    int DocumentsEnded = 0;

    // The page on which a text is printed first, or 0.
    int PageOf(const std::string& value) const;

protected:
    double FontLineHeight(const TFont& font) override;
    double FontTextWidth(const TFont& font, std::string_view text) override;
    void DeviceBeginDocument(const std::string& title) override;
    void DeviceBeginPage(double widthCm, double heightCm) override;
    void DeviceEndPage() override {}
    void DeviceEndDocument() override { ++DocumentsEnded; }
    void DeviceText(double x, double baseline, const TFont& font, std::string_view text) override;
    void DeviceLine(double x1, double y1, double x2, double y2, const TReportPen& pen) override;
    void DeviceFillRect(double x1, double y1, double x2, double y2, TColor color) override;
    void DeviceStretchPicture(double x1, double y1, double x2, double y2,
                              const TPicture& picture) override;
    void DeviceGraphic(double x, double y, double widthCm, double heightCm,
                       const std::function<void(Canvas&)>& paint) override;

private:
    Page& Current();
};

} // namespace veltrio::testing
