#include "gui/shell/HelpWindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/shell/HelpSystem.h"
#include "gui/widgets/ProgramIcons.h"
#include "gui/widgets/ScreenPlacement.h"

namespace veltrio::gui {

namespace {

bool SameFile(const QString& a, const QString& b) {
    return !a.isEmpty() && !b.isEmpty() &&
           QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

THelpWindow::THelpWindow(THelpSystem& help, QWidget* parent)
    : QWidget(parent, Qt::Window), m_help(help), m_tabs(new QTabWidget),
      m_contents(new QListWidget), m_search(new QLineEdit), m_results(new QListWidget),
      m_browser(new QTextBrowser), m_back(new QPushButton(tr("&Back"))),
      m_forward(new QPushButton(tr("&Forward"))), m_close(new QPushButton(tr("Close"))) {
    setWindowTitle(QStringLiteral("VELTRIO Help"));
    // Two thirds of the screen: room for the topic beside the contents, and
    // the program's window still in sight.
    PlaceCentred(*this, 2.0 / 3.0);
    m_browser->setOpenLinks(true);
    m_browser->setSearchPaths({help.Folder()});

    for (const THelpTopic& t : help.Topics()) {
        auto* item = new QListWidgetItem(t.Title, m_contents);
        item->setData(Qt::UserRole, t.FileName);
    }
    auto* searchPage = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchPage);
    auto* keywordLabel = new QLabel(tr("&Type a keyword:"));
    keywordLabel->setBuddy(m_search);
    searchLayout->addWidget(keywordLabel);
    searchLayout->addWidget(m_search);
    searchLayout->addWidget(m_results, 1);
    m_tabs->addTab(m_contents, tr("&Contents"));
    m_tabs->addTab(searchPage, tr("&Search"));

    m_back->setIcon(ProgramIcon(QStringLiteral("go-previous")));
    m_forward->setIcon(ProgramIcon(QStringLiteral("go-next")));
    m_close->setIcon(ProgramIcon(QStringLiteral("window-close")));
    m_back->setToolTip(tr("The topic shown before (Alt+Left)"));
    m_forward->setToolTip(tr("The topic shown after (Alt+Right)"));
    m_close->setToolTip(tr("Close the help (Esc)"));
    for (QPushButton* b : {m_back, m_forward, m_close}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::TabFocus);
    }
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addStretch(1);
    buttons->addWidget(m_close);

    auto* splitter = new QSplitter;
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

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
    connect(m_browser, &QTextBrowser::sourceChanged, this, &THelpWindow::MarkInContents);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto* back = new QShortcut(QKeySequence::Back, this);
    connect(back, &QShortcut::activated, m_browser, &QTextBrowser::backward);
    auto* forward = new QShortcut(QKeySequence::Forward, this);
    connect(forward, &QShortcut::activated, m_browser, &QTextBrowser::forward);
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

void THelpWindow::MarkInContents(const QUrl& source) {
    const QString file = source.toLocalFile();
    for (int row = 0; row < m_contents->count(); ++row) {
        QListWidgetItem* item = m_contents->item(row);
        if (SameFile(item->data(Qt::UserRole).toString(), file)) {
            m_contents->setCurrentItem(item);
            m_contents->scrollToItem(item);
            return;
        }
    }
    // The contents page and the page on the help itself are no topics.
    m_contents->setCurrentRow(-1);
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
