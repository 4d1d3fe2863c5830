#include "gui/browser/BrowseForm.h"

#include <QHBoxLayout>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "documents/Contents.h"
#include "gui/browser/DocumentPrinting.h"
#include "gui/browser/DocumentView.h"
#include "gui/widgets/UserInterface.h"

namespace veltrio::gui {

TTavBrowseForm::TTavBrowseForm(std::shared_ptr<TTavContents> document, const QString& caption,
                               int helpContext, QPrinter* printer, QWidget* parent)
    : QWidget(parent), m_document(std::move(document)), m_view(new TDocumentView(this)),
      m_ok(new QPushButton(tr("Close"), this)), m_print(new QPushButton(tr("Print"), this)),
      m_preview(new QPushButton(tr("Preview"), this)), m_printer(printer) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption.isEmpty() ? QStringLiteral("Browser") : caption);
    setProperty("helpContext", helpContext);
    m_ok->setStatusTip(tr("Close this window"));
    m_print->setStatusTip(tr("Print the document"));
    m_preview->setStatusTip(tr("Show the printed pages"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addStretch(1);
    buttons->addWidget(m_print);
    buttons->addStretch(1);
    buttons->addWidget(m_preview);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &QWidget::close);
    connect(m_print, &QPushButton::clicked, this, &TTavBrowseForm::PrintDocument);
    connect(m_preview, &QPushButton::clicked, this, &TTavBrowseForm::PreviewDocument);

    m_view->SetDocument(m_document);
    m_view->setFocus();
}

TTavBrowseForm::~TTavBrowseForm() = default;

int TTavBrowseForm::HelpContext() const {
    return property("helpContext").toInt();
}

QPrinter& TTavBrowseForm::Printer() {
    if (m_printer) {
        return *m_printer;
    }
    if (!m_ownPrinter) {
        m_ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *m_ownPrinter;
}

void TTavBrowseForm::PrintDocument() {
    QPrinter& printer = Printer();
    if (!TUserInterface::Current().AskPrinter(this, printer)) {
        return;
    }
    PrintDocumentOn(printer);
}

void TTavBrowseForm::PrintDocumentOn(QPrinter& printer) {
    TBusyWindow busy(this);
    gui::PrintDocumentOn(*m_document, printer, windowTitle());
}

void TTavBrowseForm::PreviewDocument() {
    // The preview is modal and has its own Print button.
    gui::PreviewDocument(window(), *m_document, Printer(), windowTitle());
}

} // namespace veltrio::gui
