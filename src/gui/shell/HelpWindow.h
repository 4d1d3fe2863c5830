#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

namespace veltrio::gui {

class THelpSystem;

// The help window: the contents and a keyword search beside the topic.
class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(THelpSystem& help, QWidget* parent = nullptr);

    void ShowFile(const QString& fileName, bool searchPage);
    void ShowSearch(const QString& keyword);
    QTextBrowser* Browser() const { return m_browser; }
    QListWidget* SearchResults() const { return m_results; }
    QLineEdit* SearchEdit() const { return m_search; }

private:
    void FillSearch(const QString& text);

    THelpSystem& m_help;
    QTabWidget* m_tabs;
    QListWidget* m_contents;
    QLineEdit* m_search;
    QListWidget* m_results;
    QTextBrowser* m_browser;
};

} // namespace veltrio::gui
