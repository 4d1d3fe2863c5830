#include "gui/browser/DocumentPrinting.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

#include "documents/Contents.h"
#include "documents/TavPrinter.h"
#include "gui/widgets/ScreenPlacement.h"
#include "gui/widgets/UserInterface.h"
#include "platform/PaintDeviceReport.h"
#include "platform/QtConvert.h"

namespace veltrio::gui {

void PrintDocumentOn(TTavContents& document, QPrinter& printer) {
    const int cursor = document.CursorIndex();
    printer.setDocName(platform::ToQString(document.PrintTitle).left(31));
    {
        platform::PaintDeviceReport report(printer);
        TTavPrinter tavPrinter;
        tavPrinter.Document = &document;
        tavPrinter.Generate(report);
    }
    if (cursor >= 0) {
        document.SetCursorIndex(cursor);
    }
}

void PreviewDocument(QWidget* parent, TTavContents& document, QPrinter& printer) {
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QStringLiteral("Report Preview"));
    PlaceMaximized(preview);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&document](QPrinter* p) { PrintDocumentOn(document, *p); });
    TUserInterface::Current().Exec(preview);
}

} // namespace veltrio::gui
