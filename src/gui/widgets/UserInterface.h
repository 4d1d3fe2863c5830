#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;
class QPrinter;
class QWidget;

namespace veltrio::gui {

// Everything the windows ask of the user through modal windows: message
// boxes, questions, dialogs, file names and the print dialog. The program
// uses the platform's windows; tests put a recorder in its place, since a
// modal window would wait for a user who is not there.
class TUserInterface {
public:
    virtual ~TUserInterface();

    virtual void Message(QWidget* parent, const QString& caption, const QString& text,
                         QMessageBox::Icon icon);
    virtual bool YesNo(QWidget* parent, const QString& caption, const QString& text);
    // Runs a modal dialog; QDialog::Accepted or Rejected.
    virtual int Exec(QDialog& dialog);
    // The file dialogs; empty when the user cancels. The open dialog starts
    // in `folder`; the save dialog proposes `proposedFile` (a full path) and
    // `selectedFilter`, which is in and out.
    virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter);
    virtual QString SaveFileName(QWidget* parent, const QString& caption,
                                 const QString& proposedFile, const QStringList& filters,
                                 QString* selectedFilter);
    // The print dialog; true when the user chose to print.
    virtual bool AskPrinter(QWidget* parent, QPrinter& printer);
    // The page set-up dialog; true when the user confirmed it.
    virtual bool PrintSetup(QWidget* parent, QPrinter& printer);

    // The interface of the running program.
    static TUserInterface& Current();
    // Replaces it (tests); nullptr restores the platform's windows. The
    // caller keeps ownership.
    static void SetCurrent(TUserInterface* ui);
};

// Disables a window and shows the hourglass until it goes out of scope,
// also when the work in between fails.
class TBusyWindow {
public:
    explicit TBusyWindow(QWidget* window);
    ~TBusyWindow();
    TBusyWindow(const TBusyWindow&) = delete;
    TBusyWindow& operator=(const TBusyWindow&) = delete;

private:
    QWidget* m_window;
    bool m_wasEnabled;
};

} // namespace veltrio::gui
