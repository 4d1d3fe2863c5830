#include "tools/LabReportText.h"

#include "base/TextUtil.h"

namespace veltrio {

namespace {

TTextWidthCm& Measure() {
    static TTextWidthCm measure;
    return measure;
}

double MeasuredCm(const TFont& font, std::string_view text) {
    double w = ReportTextWidthCm(font, text);
    if (font.Size == 12 || font.Size == 13) {
        w *= 1.06;
    }
    return w;
}

void WrapParagraph(std::string p, const TFont& font, double widthCm,
                   std::vector<std::string>& out) {
    while (!p.empty()) {
        if (MeasuredCm(font, p) < widthCm) {
            out.push_back(p);
            return;
        }
        // Gather characters until the gathered text reaches the width.
        std::size_t pos = 0, before = 0;
        while (pos < p.size()) {
            before = pos;
            NextCodePoint(p, pos);
            if (MeasuredCm(font, std::string_view(p).substr(0, pos)) >= widthCm) {
                break;
            }
        }
        const std::size_t space = p.rfind(' ', pos == 0 ? 0 : pos - 1);
        if (space != std::string::npos && space > 0) {
            out.push_back(p.substr(0, space));
            p.erase(0, space + 1);
            continue;
        }
        // One word wider than the line: broken where the width is reached,
        // at least one character a line.
        std::size_t cut = before > 0 ? before : pos;
        out.push_back(p.substr(0, cut));
        p.erase(0, cut);
    }
}

} // namespace

void SetReportTextMeasure(TTextWidthCm measure) { Measure() = std::move(measure); }

double ReportTextWidthCm(const TFont& font, std::string_view text) {
    if (Measure()) {
        return Measure()(font, text);
    }
    // Half an em a character: 1 point is 2.54 / 72 cm.
    return static_cast<double>(Utf8Length(text)) * font.Size * 0.5 * 2.54 / 72.0;
}

std::vector<std::string> WrapLines(const std::string& text, const TFont& font, double widthCm) {
    std::vector<std::string> out;
    std::string paragraph;
    bool inParagraph = false;
    auto flush = [&] {
        if (inParagraph) {
            WrapParagraph(paragraph, font, widthCm, out);
        }
        paragraph.clear();
        inParagraph = false;
    };
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::string trimmed = Trim(line);
        if (trimmed.empty()) {
            if (inParagraph) {
                flush();
                out.push_back("");
            }
        } else {
            paragraph += (inParagraph ? " " : "") + trimmed;
            inParagraph = true;
        }
        if (end == text.size()) {
            break;
        }
        start = end + 1;
    }
    flush();
    return out;
}

} // namespace veltrio
