#include "DocumentFiles.h"

#include <QImage>
#include <QPainter>

#include "base/AtomicFile.h"
#include "base/Error.h"
#include "documents/Contents.h"
#include "documents/DocumentExport.h"
#include "platform/PdfExport.h"
#include "platform/QtCanvas.h"

namespace veltrio {

bool WriteDocumentFiles(TTavContents& document, const std::filesystem::path& dir,
                        const std::string& base, const TDocumentFormats& formats,
                        std::string& error) {
    try {
        // Table cells in HTML carry the sizes of the screen layout: lay the
        // document out on a screen-like canvas first.
        {
            QImage scratch(1, 1, QImage::Format_RGB32);
            QPainter painter(&scratch);
            platform::QtCanvas canvas(painter, 96);
            LayOutForExport(document, canvas);
        }
        if (formats.Html) {
            WriteDocumentHtml(document, dir / (base + ".html"));
        }
        if (formats.Rtf &&
            !WriteFileAtomically(dir / (base + ".rtf"), WriteDocumentRtf(document), &error)) {
            return false;
        }
        if (formats.Text) {
            std::string text;
            for (const auto& line : document.PlainText()) {
                text += line + "\n";
            }
            if (!WriteFileAtomically(dir / (base + ".txt"), text, &error)) {
                return false;
            }
        }
        return !formats.Pdf || platform::PrintDocumentToPdf(document, dir / (base + ".pdf"), &error);
    } catch (const EVeltrioError& e) {
        error = e.what();
        return false;
    }
}

} // namespace veltrio
