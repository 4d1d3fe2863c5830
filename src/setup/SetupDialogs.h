#pragma once

#include <QDialog>
#include <QIcon>

#include "setup/Setup.h"

class QPlainTextEdit;
class QPushButton;

namespace veltrio::setup {

// The icon of setup's windows.
QIcon SetupIcon();

// One page of setup as a modal dialog: the LICENSE layout (text, default
// button, Cancel) for pages 0 and 1, the DONE layout (text, default button)
// for page 2. Esc and Cancel end it with false, the default button with true.
class TSetupDialog : public QDialog {
    Q_OBJECT
public:
    TSetupDialog(int page, const QIcon& icon, QWidget* parent = nullptr);

    QPlainTextEdit* TextBox() const { return m_text; }
    QPushButton* DefaultButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

private:
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Setup with its dialogs on the screen.
class TGuiSetupUi : public TSetupUi {
public:
    TGuiSetupUi();
    bool ShowPage(int index) override;
    TScriptResult Install(const std::function<TScriptResult()>& run) override;
    void ShowError(const std::string& message) override;

private:
    QIcon m_icon;
};

// Setup without a display (setup --yes): every page is printed and accepted,
// the failure goes to standard error.
class TConsoleSetupUi : public TSetupUi {
public:
    bool ShowPage(int index) override;
    void ShowError(const std::string& message) override;
};

} // namespace veltrio::setup
