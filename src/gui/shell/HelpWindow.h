#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QUrl;

namespace veltrio::gui {

class THelpSystem;

// The help window: the contents and a keyword search beside the topic, with
// Back and Forward through the topics shown, and Close (also Esc). The
// contents list marks the topic shown, however it was reached: by F1, a
// link, Back or Forward.
class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(THelpSystem& help, QWidget* parent = nullptr);

    void ShowFile(const QString& fileName, bool searchPage);
    void ShowSearch(const QString& keyword);
    QTextBrowser* Browser() const { return m_browser; }
    QListWidget* Contents() const { return m_contents; }
    QListWidget* SearchResults() const { return m_results; }
    QLineEdit* SearchEdit() const { return m_search; }
    QPushButton* BackButton() const { return m_back; }
    QPushButton* ForwardButton() const { return m_forward; }
    QPushButton* CloseButton() const { return m_close; }

private:
    void FillSearch(const QString& text);
    void MarkInContents(const QUrl& source);

    THelpSystem& m_help;
    QTabWidget* m_tabs;
    QListWidget* m_contents;
    QLineEdit* m_search;
    QListWidget* m_results;
    QTextBrowser* m_browser;
    QPushButton* m_back;
    QPushButton* m_forward;
    QPushButton* m_close;
};

} // namespace veltrio::gui
