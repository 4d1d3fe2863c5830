#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace veltrio::gui {

// A modal information window that a procedure asks for: its own caption, a
// text of one label per line, an OK button and a Help button for the help
// context the procedure names (the Cochran window without spiking
// correction, the checks of the assigned values). Without a help context
// there is no Help button.
class TInfoDlg : public QDialog {
    Q_OBJECT
public:
    TInfoDlg(const QString& caption, const QString& text, int helpContext,
             QWidget* parent = nullptr);

    int HelpContext() const { return m_helpContext; }
    // The lines of the text, top to bottom.
    QStringList Lines() const;
    QPushButton* OkButton() const { return m_ok; }
    // nullptr without a help context.
    QPushButton* HelpButton() const { return m_help; }

signals:
    void HelpRequested(int helpContext);

private:
    int m_helpContext;
    QList<QLabel*> m_lines;
    QPushButton* m_ok = nullptr;
    QPushButton* m_help = nullptr;
};

} // namespace veltrio::gui
