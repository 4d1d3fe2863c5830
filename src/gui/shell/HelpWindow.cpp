#include "gui/shell/HelpWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/shell/HelpSystem.h"

namespace veltrio::gui {

THelpWindow::THelpWindow(THelpSystem& help, QWidget* parent)
    : QWidget(parent, Qt::Window), m_help(help), m_tabs(new QTabWidget),
      m_contents(new QListWidget), m_search(new QLineEdit), m_results(new QListWidget),
      m_browser(new QTextBrowser) {
    setWindowTitle(QStringLiteral("VELTRIO Help"));
    resize(900, 640);
    m_browser->setOpenLinks(true);
    m_browser->setSearchPaths({help.Folder()});

    for (const THelpTopic& t : help.Topics()) {
        auto* item = new QListWidgetItem(t.Title, m_contents);
        item->setData(Qt::UserRole, t.FileName);
    }
    auto* searchPage = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->addWidget(new QLabel(QStringLiteral("Type a keyword:")));
    searchLayout->addWidget(m_search);
    searchLayout->addWidget(m_results, 1);
    m_tabs->addTab(m_contents, QStringLiteral("Contents"));
    m_tabs->addTab(searchPage, QStringLiteral("Search"));

    auto* splitter = new QSplitter;
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    auto open = [this](QListWidgetItem* item) {
        if (item) {
            m_browser->setSource(QUrl::fromLocalFile(item->data(Qt::UserRole).toString()));
        }
    };
    connect(m_contents, &QListWidget::itemActivated, this, open);
    connect(m_contents, &QListWidget::itemClicked, this, open);
    connect(m_results, &QListWidget::itemActivated, this, open);
    connect(m_results, &QListWidget::itemClicked, this, open);
    connect(m_search, &QLineEdit::textChanged, this, &THelpWindow::FillSearch);
    connect(m_search, &QLineEdit::returnPressed, this, [this, open] {
        if (m_results->count() > 0) {
            m_results->setCurrentRow(0);
            open(m_results->item(0));
        }
    });
    FillSearch(QString());
}

void THelpWindow::FillSearch(const QString& text) {
    m_results->clear();
    for (const THelpTopic& t : m_help.Search(text)) {
        QString label = t.Title;
        if (!t.Keywords.isEmpty()) {
            label +=
                QStringLiteral("  (") + t.Keywords.join(QStringLiteral(", ")) + QLatin1Char(')');
        }
        auto* item = new QListWidgetItem(label, m_results);
        item->setData(Qt::UserRole, t.FileName);
    }
}

void THelpWindow::ShowFile(const QString& fileName, bool searchPage) {
    m_tabs->setCurrentIndex(searchPage ? 1 : 0);
    m_browser->setSource(QUrl::fromLocalFile(fileName));
}

void THelpWindow::ShowSearch(const QString& keyword) {
    m_tabs->setCurrentIndex(1);
    m_search->setText(keyword);
    FillSearch(keyword);
    m_search->setFocus();
}

} // namespace veltrio::gui
