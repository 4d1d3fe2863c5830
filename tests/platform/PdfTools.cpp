#include "PdfTools.h"

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>
#include <regex>

#include "base/AtomicFile.h"

namespace veltrio::testing {

namespace {

// Runs a poppler tool; false (with a test failure) when it cannot.
bool Run(const char* program, const QStringList& args) {
    const QString exe = QString::fromUtf8(program);
    if (exe.isEmpty() || exe.endsWith(QStringLiteral("NOTFOUND"))) {
        ADD_FAILURE() << "poppler-utils are needed (scripts/install-deps.sh)";
        return false;
    }
    QProcess p;
    p.start(exe, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << program << " failed: " << p.readAllStandardError().toStdString();
        return false;
    }
    return true;
}

QString Q(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

} // namespace

std::vector<PdfWord> PdfWords(const std::filesystem::path& pdf) {
    const std::filesystem::path html = pdf.parent_path() / (pdf.stem().string() + "-words.html");
    std::vector<PdfWord> words;
    if (!Run(VELTRIO_PDFTOTEXT, {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                                 QStringLiteral("-l"), QStringLiteral("1"), Q(pdf), Q(html)})) {
        return words;
    }
    std::string text;
    EXPECT_TRUE(ReadWholeFile(html, text));
    std::filesystem::remove(html);
    const std::regex word(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), word);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        words.push_back({m[5].str(), std::stod(m[1].str()), std::stod(m[2].str()),
                         std::stod(m[3].str()), std::stod(m[4].str())});
    }
    return words;
}

QImage RenderPdfPage(const std::filesystem::path& pdf, int pixelsPerInch) {
    const std::filesystem::path prefix = pdf.parent_path() / (pdf.stem().string() + "-page");
    if (!Run(VELTRIO_PDFTOPPM,
             {QStringLiteral("-r"), QString::number(pixelsPerInch), QStringLiteral("-f"),
              QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
              QStringLiteral("-png"), QStringLiteral("-singlefile"), Q(pdf), Q(prefix)})) {
        return {};
    }
    const std::filesystem::path png = prefix.string() + ".png";
    QImage image(Q(png));
    std::filesystem::remove(png);
    return image;
}

std::pair<double, double> PdfPageSize(const std::filesystem::path& pdf) {
    std::string bytes;
    if (!ReadWholeFile(pdf, bytes)) {
        return {0, 0};
    }
    const std::regex box(
        R"re(/MediaBox\s*\[\s*([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s*\])re");
    std::smatch m;
    if (!std::regex_search(bytes, m, box)) {
        return {0, 0};
    }
    return {std::stod(m[3].str()) - std::stod(m[1].str()),
            std::stod(m[4].str()) - std::stod(m[2].str())};
}

} // namespace veltrio::testing
