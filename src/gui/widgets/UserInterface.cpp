#include "gui/widgets/UserInterface.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace veltrio::gui {

namespace {
TUserInterface* g_override = nullptr;
}

TUserInterface::~TUserInterface() = default;

void TUserInterface::Message(QWidget* parent, const QString& caption, const QString& text,
                             QMessageBox::Icon icon) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

bool TUserInterface::YesNo(QWidget* parent, const QString& caption, const QString& text) {
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

int TUserInterface::Exec(QDialog& dialog) {
    return dialog.exec();
}

QString TUserInterface::OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                     const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString TUserInterface::SaveFileName(QWidget* parent, const QString& caption,
                                     const QString& proposedFile, const QStringList& filters,
                                     QString* selectedFilter) {
    return QFileDialog::getSaveFileName(parent, caption, proposedFile,
                                        filters.join(QStringLiteral(";;")), selectedFilter);
}

bool TUserInterface::AskPrinter(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool TUserInterface::PrintSetup(QWidget* parent, QPrinter& printer) {
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

TUserInterface& TUserInterface::Current() {
    static TUserInterface platform;
    return g_override ? *g_override : platform;
}

void TUserInterface::SetCurrent(TUserInterface* ui) {
    g_override = ui;
}

TBusyWindow::TBusyWindow(QWidget* window)
    : m_window(window), m_wasEnabled(window && window->isEnabled()) {
    if (m_window) {
        m_window->setEnabled(false);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

TBusyWindow::~TBusyWindow() {
    QApplication::restoreOverrideCursor();
    if (m_window) {
        m_window->setEnabled(m_wasEnabled);
    }
}

} // namespace veltrio::gui
