#pragma once

#include <QString>
#include <memory>

class QMimeData;

namespace veltrio {
class TTavContents;
}

namespace veltrio::gui {

enum class TDocumentFormat { Rtf, Html, Pdf };

// The file dialog's filters, one per format, in the order of the enum.
QStringList DocumentFileFilters();
TDocumentFormat FormatOfFilter(const QString& filter);
// The format a file name asks for by its suffix; `fallback` when unknown.
TDocumentFormat FormatOfFileName(const QString& fileName, TDocumentFormat fallback);
// Appends the format's suffix when the name has none of the format's.
QString WithSuffix(const QString& fileName, TDocumentFormat format);

// Writes the document as RTF, HTML with GIF images beside it, or PDF. The
// file is written beside its destination and renamed into place. False with
// `error` set when it cannot be written. A `title` (the caption of the
// document's window) is the title of the PDF and of the HTML page in place
// of the document's print title.
bool SaveDocument(TTavContents& document, const QString& fileName, TDocumentFormat format,
                  QString* error = nullptr, const QString& title = {});

// The document for the clipboard: RTF (as "text/rtf" and "application/rtf"),
// HTML and plain text.
std::unique_ptr<QMimeData> DocumentMimeData(TTavContents& document);
void CopyDocument(TTavContents& document);

} // namespace veltrio::gui
