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
#include "base/ScopeGuard.h"
#include "documents/Contents.h"
#include "documents/DocumentExport.h"
#include "documents/HtmlExport.h"
#include "gui/widgets/SaveFormats.h"
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

// In the order of TDocumentFormat.
const TSaveFormat DocumentFormats[] = {
    {"Rich Text Format (*.rtf)", {QStringLiteral("rtf")}},
    {"HTML with GIF images (*.html *.htm)", {QStringLiteral("html"), QStringLiteral("htm")}},
    {"PDF (*.pdf)", {QStringLiteral("pdf")}},
};

} // namespace

QStringList DocumentFileFilters() {
    return SaveFilters(DocumentFormats);
}

TDocumentFormat FormatOfFilter(const QString& filter) {
    return static_cast<TDocumentFormat>(SaveFormatOfFilter(DocumentFormats, filter));
}

TDocumentFormat FormatOfFileName(const QString& fileName, TDocumentFormat fallback) {
    return static_cast<TDocumentFormat>(
        SaveFormatOfFileName(DocumentFormats, fileName, static_cast<int>(fallback)));
}

QString WithSuffix(const QString& fileName, TDocumentFormat format) {
    return WithSaveSuffix(DocumentFormats, fileName, static_cast<int>(format));
}

bool SaveDocument(TTavContents& document, const QString& fileName, TDocumentFormat format,
                  QString* error, const QString& title) {
    const int cursor = document.CursorIndex();
    const TSavedValue printTitle(document.PrintTitle,
                                 title.isEmpty() ? document.PrintTitle : title.toStdString());
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
    for (const std::string& line : document.PlainText()) {
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
