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
                        const std::string& base, std::string& error) {
    try {
        // Table cells in HTML carry the sizes of the screen layout: lay the
        // document out on a screen-like canvas first.
        {
            QImage scratch(1, 1, QImage::Format_RGB32);
            QPainter painter(&scratch);
            platform::QtCanvas canvas(painter, 96);
            LayOutForExport(document, canvas);
        }
        WriteDocumentHtml(document, dir / (base + ".html"));
        if (!WriteFileAtomically(dir / (base + ".rtf"), WriteDocumentRtf(document), &error)) {
            return false;
        }
        return platform::PrintDocumentToPdf(document, dir / (base + ".pdf"), &error);
    } catch (const EVeltrioError& e) {
        error = e.what();
        return false;
    }
}

} // namespace veltrio
