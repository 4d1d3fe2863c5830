#include "gui/browser/DocumentFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <exception>

#include "base/AtomicFile.h"
#include "documents/Contents.h"
#include "documents/DocumentExport.h"
#include "documents/HtmlExport.h"
#include "platform/PdfExport.h"
#include "platform/QtCanvas.h"

namespace veltrio::gui {

namespace {

std::filesystem::path ToPath(const QString& s) {
    return std::filesystem::path(s.toStdU16String());
}

// Tables take the cell sizes of a screen layout before they are exported.
void LayOut(TTavContents& document) {
    constexpr int ppi = 96;
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    scratch.setDotsPerMeterX(static_cast<int>(ppi / 0.0254 + 0.5));
    scratch.setDotsPerMeterY(static_cast<int>(ppi / 0.0254 + 0.5));
    QPainter painter(&scratch);
    platform::QtCanvas canvas(painter, ppi);
    LayOutForExport(document, canvas);
}

} // namespace

QStringList DocumentFileFilters() {
    return {QStringLiteral("Rich Text Format (*.rtf)"),
            QStringLiteral("HTML with GIF images (*.html *.htm)"), QStringLiteral("PDF (*.pdf)")};
}

TDocumentFormat FormatOfFilter(const QString& filter) {
    if (filter.contains(QLatin1String("*.htm"))) {
        return TDocumentFormat::Html;
    }
    if (filter.contains(QLatin1String("*.pdf"))) {
        return TDocumentFormat::Pdf;
    }
    return TDocumentFormat::Rtf;
}

TDocumentFormat FormatOfFileName(const QString& fileName, TDocumentFormat fallback) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("rtf")) {
        return TDocumentFormat::Rtf;
    }
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) {
        return TDocumentFormat::Html;
    }
    if (suffix == QLatin1String("pdf")) {
        return TDocumentFormat::Pdf;
    }
    return fallback;
}

QString WithSuffix(const QString& fileName, TDocumentFormat format) {
    if (FormatOfFileName(fileName, format) == format && !QFileInfo(fileName).suffix().isEmpty()) {
        return fileName;
    }
    switch (format) {
    case TDocumentFormat::Rtf:
        return fileName + QStringLiteral(".rtf");
    case TDocumentFormat::Html:
        return fileName + QStringLiteral(".html");
    case TDocumentFormat::Pdf:
        return fileName + QStringLiteral(".pdf");
    }
    return fileName;
}

bool SaveDocument(TTavContents& document, const QString& fileName, TDocumentFormat format,
                  QString* error) {
    const int cursor = document.CursorIndex();
    std::string why;
    bool ok = false;
    try {
        switch (format) {
        case TDocumentFormat::Rtf:
            ok = WriteFileAtomically(ToPath(fileName), WriteDocumentRtf(document), &why);
            break;
        case TDocumentFormat::Html:
            LayOut(document);
            WriteDocumentHtml(document, ToPath(fileName));
            ok = true;
            break;
        case TDocumentFormat::Pdf:
            ok = platform::PrintDocumentToPdf(document, ToPath(fileName), &why);
            break;
        }
    } catch (const std::exception& e) {
        ok = false;
        why = e.what();
    }
    if (cursor >= 0) {
        document.SetCursorIndex(cursor);
    }
    if (!ok && error) {
        *error = QString::fromStdString(why);
    }
    return ok;
}

std::unique_ptr<QMimeData> DocumentMimeData(TTavContents& document) {
    const int cursor = document.CursorIndex();
    auto data = std::make_unique<QMimeData>();
    const QByteArray rtf = QByteArray::fromStdString(WriteDocumentRtf(document));
    data->setData(QStringLiteral("text/rtf"), rtf);
    data->setData(QStringLiteral("application/rtf"), rtf);
    // Pictures of the HTML form need files; they go to the temporary folder.
    LayOut(document);
    HtmlExport html(ToPath(QDir::temp().filePath(QStringLiteral("veltrio-clipboard.html"))));
    try {
        WriteDocumentHtml(document, html);
        data->setHtml(QString::fromStdString(html.Text()));
    } catch (const std::exception&) {
        // RTF and plain text still reach the clipboard.
    }
    QString text;
    for (const std::string& line : document.AsStrings()) {
        text += QString::fromStdString(line);
        text += QLatin1Char('\n');
    }
    data->setText(text);
    if (cursor >= 0) {
        document.SetCursorIndex(cursor);
    }
    return data;
}

void CopyDocument(TTavContents& document) {
    QApplication::clipboard()->setMimeData(DocumentMimeData(document).release());
}

} // namespace veltrio::gui
