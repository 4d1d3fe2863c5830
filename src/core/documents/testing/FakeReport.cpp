#include "documents/testing/FakeReport.h"

#include "base/TextUtil.h"
#include "documents/testing/FakeCanvas.h"

namespace veltrio::testing {

std::string FakeReport::Page::Joined() const {
    std::string out;
    for (const Text& text : Texts) {
        out += text.Value;
        out += '\n';
    }
    return out;
}

const FakeReport::Text* FakeReport::Page::Find(const std::string& value) const {
    for (const Text& text : Texts) {
        if (text.Value == value) {
            return &text;
        }
    }
    return nullptr;
}

int FakeReport::PageOf(const std::string& value) const {
    for (std::size_t i = 0; i < Pages.size(); ++i) {
        if (Pages[i].Find(value) != nullptr) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

double FakeReport::FontLineHeight(const TFont& font) {
    return LineHeightOf(font.Size);
}

double FakeReport::FontTextWidth(const TFont& font, std::string_view text) {
    return static_cast<double>(Utf8Length(text)) * CharWidthOf(font.Size);
}

void FakeReport::DeviceBeginDocument(const std::string& title) {
    ++DocumentsBegun;
    DocumentTitle = title;
    Pages.clear();
}

void FakeReport::DeviceBeginPage(double widthCm, double heightCm) {
    Pages.push_back(Page{widthCm, heightCm, {}, {}, {}, {}});
}

FakeReport::Page& FakeReport::Current() {
    if (Pages.empty()) {
        Pages.push_back(Page{PageWidth(), PageHeight(), {}, {}, {}, {}});
    }
    return Pages.back();
}

void FakeReport::DeviceText(double x, double baseline, const TFont& font, std::string_view text) {
    Current().Texts.push_back(Text{x, baseline, std::string(text), font});
}

void FakeReport::DeviceLine(double x1, double y1, double x2, double y2, const TReportPen& pen) {
    Current().Lines.push_back(Line{x1, y1, x2, y2, pen});
}

void FakeReport::DeviceFillRect(double x1, double y1, double x2, double y2, TColor color) {
    Current().Fills.push_back(Fill{x1, y1, x2, y2, color});
}

void FakeReport::DeviceStretchPicture(double x1, double y1, double x2, double y2, const TPicture&) {
    Current().Pictures.push_back(Picture{x1, y1, x2, y2});
}

void FakeReport::DeviceGraphic(double x, double y, double widthCm, double heightCm,
                               const std::function<void(Canvas&)>& paint) {
    Current().Pictures.push_back(Picture{x, y, x + widthCm, y + heightCm});
    FakeCanvas canvas;
    paint(canvas);
}

} // namespace veltrio::testing
