#include "gui/browser/DocumentPrinting.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

#include "gui/browser/PrintJob.h"
#include "gui/widgets/ScreenPlacement.h"
#include "gui/widgets/UserInterface.h"

namespace veltrio::gui {

void PrintDocumentOn(TTavContents& document, QPrinter& printer, const QString& title) {
    TPrintJob job(printer, title);
    job.AddDocument(document);
    job.Finish();
}

void PreviewDocument(QWidget* parent, TTavContents& document, QPrinter& printer,
                     const QString& title) {
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QStringLiteral("Report Preview"));
    PlaceMaximized(preview);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&document, &title](QPrinter* p) { PrintDocumentOn(document, *p, title); });
    TUserInterface::Current().Exec(preview);
}

} // namespace veltrio::gui
