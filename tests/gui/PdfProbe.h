#pragma once

#include <QString>
#include <string>
#include <vector>

// What the tests read from the PDFs the program writes.

namespace veltrio::gui::testing {

// The /Title of a PDF's information dictionary (a literal string, in UTF-16
// after a byte-order mark or in PDFDocEncoding); empty when there is none.
inline QString PdfTitle(const std::string& pdf) {
    const std::string key = "/Title (";
    const std::size_t start = pdf.find(key);
    if (start == std::string::npos) {
        return {};
    }
    std::string raw;
    for (std::size_t i = start + key.size(); i < pdf.size() && pdf[i] != ')'; ++i) {
        if (pdf[i] == '\\' && i + 1 < pdf.size()) {
            ++i;
        }
        raw += pdf[i];
    }
    if (raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xfe &&
        static_cast<unsigned char>(raw[1]) == 0xff) {
        QString title;
        for (std::size_t i = 2; i + 1 < raw.size(); i += 2) {
            title += QChar(static_cast<char16_t>((static_cast<unsigned char>(raw[i]) << 8) |
                                                 static_cast<unsigned char>(raw[i + 1])));
        }
        return title;
    }
    return QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size()));
}

// The number of pages of a PDF: its page objects.
inline int PdfPageCount(const std::string& pdf) {
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos;
         at = pdf.find("/Type /Page", at + 1)) {
        if (pdf.compare(at, 12, "/Type /Pages") != 0) {
            ++pages;
        }
    }
    return pages;
}

// The width of every page in points (of its MediaBox), in page order.
inline std::vector<int> PdfPageWidths(const std::string& pdf) {
    std::vector<int> widths;
    const std::string key = "/MediaBox [0 0 ";
    for (std::size_t at = pdf.find(key); at != std::string::npos; at = pdf.find(key, at + 1)) {
        widths.push_back(std::stoi(pdf.substr(at + key.size(), 12)));
    }
    return widths;
}

} // namespace veltrio::gui::testing
