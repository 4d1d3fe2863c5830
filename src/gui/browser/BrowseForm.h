#pragma once

#include <QWidget>
#include <memory>

class QPrinter;
class QPushButton;

namespace veltrio {
class TTavContents;
}

namespace veltrio::gui {

class TDocumentView;

// A browser window: a document in a scrollable view with the buttons Close,
// Print and Preview. The window owns the document (shared with whoever still
// exports it) and releases it when it closes.
class TTavBrowseForm : public QWidget {
    Q_OBJECT
public:
    // `printer` is the program's printer (chosen in Print Setup); the window
    // uses its own when none is given.
    TTavBrowseForm(std::shared_ptr<TTavContents> document, const QString& caption, int helpContext,
                   QPrinter* printer, QWidget* parent = nullptr);
    ~TTavBrowseForm() override;

    TTavContents& Document() const { return *m_document; }
    TDocumentView& View() const { return *m_view; }
    int HelpContext() const;

    // The print dialog, then the document on the chosen printer. The window
    // is disabled meanwhile and enabled again also when printing fails.
    void PrintDocument();
    // Prints on a printer already chosen (Print all windows).
    void PrintDocumentOn(QPrinter& printer);
    void PreviewDocument();

    QPushButton* OkButton() const { return m_ok; }
    QPushButton* PrintButton() const { return m_print; }
    QPushButton* PreviewButton() const { return m_preview; }

private:
    QPrinter& Printer();

    std::shared_ptr<TTavContents> m_document;
    TDocumentView* m_view;
    QPushButton* m_ok;
    QPushButton* m_print;
    QPushButton* m_preview;
    QPrinter* m_printer;
    std::unique_ptr<QPrinter> m_ownPrinter;
};

} // namespace veltrio::gui
