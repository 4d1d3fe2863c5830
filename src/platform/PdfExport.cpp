#include "platform/PdfExport.h"

#include <QBuffer>
#include <QByteArray>
#include <QPdfWriter>
#include <filesystem>

#include "base/AtomicFile.h"

#include "documents/Contents.h"
#include "documents/TavPrinter.h"
#include "platform/PaintDeviceReport.h"
#include "platform/QtConvert.h"

namespace veltrio::platform {

bool PrintDocumentToPdf(TTavContents& document, const std::filesystem::path& path,
                        std::string* error) {
    // The whole PDF is made in memory first: QPdfWriter does not report a
    // failed write, and a full disk must never leave a truncated PDF behind
    // a message of success.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("Veltrio"));
        writer.setTitle(ToQString(document.PrintTitle));
        PaintDeviceReport report(writer);
        TTavPrinter printer;
        printer.Document = &document;
        printer.Generate(report);
    }
    if (bytes.isEmpty()) {
        if (error) {
            *error = "the PDF of " + path.string() + " could not be made";
        }
        return false;
    }
    return WriteFileAtomically(path, std::string_view(bytes.constData(), bytes.size()), error);
}

} // namespace veltrio::platform
