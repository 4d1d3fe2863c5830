#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace veltrio::gui {

// The editor of a study file. The file is read in its own encoding (code
// page 850, or UTF-8 when it is valid UTF-8 with non-ASCII text) and written
// back in it; Save replaces the file through a temporary file beside it, so
// a failed save leaves the original as it was and keeps the window open.
class TEditorForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContextId = 1000;
    static constexpr const char* ReadErrorMessage = "File could not be edited.";

    explicit TEditorForm(QWidget* parent = nullptr);

    // False (after the message) when the file cannot be read.
    bool LoadFile(const QString& fileName);
    // Writes the text back; false (after the message) when that fails.
    bool SaveFile();

    QPlainTextEdit* Editor() const { return m_editor; }
    bool IsUtf8() const { return m_utf8; }

signals:
    void HelpRequested(int helpContext);

private:
    QPlainTextEdit* m_editor;
    QPushButton* m_save;
    QString m_fileName;
    bool m_utf8 = false;
    bool m_crlf = true;
};

} // namespace veltrio::gui
