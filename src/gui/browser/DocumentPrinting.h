#pragma once

class QPrinter;
class QWidget;

namespace veltrio {
class TTavContents;
}

namespace veltrio::gui {

// Prints the document on the printer through the document printer; the
// document cursor is put back afterwards.
void PrintDocumentOn(TTavContents& document, QPrinter& printer);

// The preview window with zoom and page navigation, showing the pages that
// printing would produce; printing from it is allowed.
void PreviewDocument(QWidget* parent, TTavContents& document, QPrinter& printer);

} // namespace veltrio::gui
