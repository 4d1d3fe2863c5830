#pragma once

class QPrinter;
class QString;
class QWidget;

namespace veltrio {
class TTavContents;
}

namespace veltrio::gui {

// Prints the document on the printer through the document printer, as a job
// of its own named `title` (the caption of the document's window); the
// document cursor is put back afterwards.
void PrintDocumentOn(TTavContents& document, QPrinter& printer, const QString& title);

// The preview window with zoom and page navigation, showing the pages that
// printing would produce; printing from it is allowed.
void PreviewDocument(QWidget* parent, TTavContents& document, QPrinter& printer,
                     const QString& title);

} // namespace veltrio::gui
