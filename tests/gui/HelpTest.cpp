// The help: topics by context number, keyword search, F1 contexts, moving
// back and forward, closing the help window and the missing help folder.
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMdiArea>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <functional>

#include "GuiFixture.h"
#include "charts/ChartStyle.h"
#include "documents/Contents.h"
#include "gui/dialogs/TransformDlg.h"
#include "gui/shell/EditorForm.h"
#include "gui/shell/HelpSystem.h"
#include "gui/shell/HelpWindow.h"
#include "gui/shell/OptionsDlg.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

using HelpTest = MainFormTest;

// The topic file the help window shows, and the one its contents list marks
// (empty when none is marked).
QString ShownFile(const THelpWindow& w) {
    return QFileInfo(w.Browser()->source().toLocalFile()).absoluteFilePath();
}
QString MarkedFile(const THelpWindow& w) {
    const QListWidgetItem* item = w.Contents()->currentItem();
    return item ? QFileInfo(item->data(Qt::UserRole).toString()).absoluteFilePath() : QString();
}
QString Absolute(const QString& file) {
    return QFileInfo(file).absoluteFilePath();
}

TEST_F(HelpTest, EveryWindowAndMenuHasItsTopic) {
    // Every context a window, dialog, document or chart of the program gets.
    const int contexts[] = {100,  1900, 2000, 600,  1500, 1600, 1700, 750,  1300, 1800, 2100,
                            1000, 1100, 2300, 5800, 5400, 5500, 8100, 7000, 5600, 5700, 900,
                            8200, 8300, 8400, 2200, 300,  400,  1200, 1400, 5000, 5100, 5200,
                            5300, 6000, 6100, 6200, 6300, 6400, 6500, 7100};
    const THelpSystem& help = m_form->Help();
    ASSERT_TRUE(help.Available());
    for (int c : contexts) {
        EXPECT_FALSE(help.TopicFile(c).isEmpty()) << "no topic for help context " << c;
    }
    for (const THelpTopic& t : help.Topics()) {
        EXPECT_FALSE(t.Keywords.isEmpty()) << t.FileName.toStdString();
        EXPECT_NE(t.Title, QFileInfo(t.FileName).fileName()) << "topic without title";
    }
}

TEST_F(HelpTest, EveryMenuCommandIsFoundByItsName) {
    const THelpSystem& help = m_form->Help();
    int commands = 0;
    for (QMenu* menu : m_form->findChildren<QMenu*>()) {
        if (!menu->menuAction()->isVisible()) {
            continue; // a submenu the program keeps hidden
        }
        for (QAction* a : menu->actions()) {
            if (a->isSeparator() || a->menu() || !a->isVisible()) {
                continue;
            }
            QString name = a->text();
            name.remove(QLatin1Char('&'));
            name = name.section(QLatin1Char('\t'), 0, 0).remove(QStringLiteral("...")).trimmed();
            if (name.isEmpty() || name.front().isDigit()) {
                continue; // the history entries are file names
            }
            ++commands;
            EXPECT_FALSE(help.Search(name).empty())
                << "no topic found for the command \"" << name.toStdString() << "\" of "
                << menu->title().remove(QLatin1Char('&')).toStdString();
        }
    }
    EXPECT_GT(commands, 30);
}

TEST_F(HelpTest, WindowsNameTheirHelpContext) {
    TEditorForm editor;
    TTransformDlg transform;
    struct Case {
        const QWidget* Widget;
        int Context;
    };
    for (const Case c : {Case{m_form.get(), 100}, Case{&m_form->OptionsDialog(), 1300},
                         Case{&editor, 1000}, Case{&transform, 2300}}) {
        EXPECT_EQ(THelpSystem::ContextOf(c.Widget), c.Context);
    }
}

TEST_F(HelpTest, ContextSearchAndContentsOpenTheHelpWindow) {
    THelpSystem& help = m_form->Help();
    help.ShowContext(2300);
    ASSERT_NE(help.Window(), nullptr);
    EXPECT_TRUE(
        help.Window()->Browser()->documentTitle().contains(QStringLiteral("Transformation")));
    // An unknown context shows the contents.
    help.ShowContext(424242);
    EXPECT_EQ(help.Window()->Browser()->documentTitle(), QStringLiteral("VELTRIO Help"));

    m_form->mnuSearchClick();
    EXPECT_TRUE(help.Window()->SearchEdit()->text().isEmpty());
    EXPECT_EQ(help.Window()->SearchResults()->count(), static_cast<int>(help.Topics().size()));
    help.Window()->SearchEdit()->setText(QStringLiteral("logarithm"));
    ASSERT_EQ(help.Window()->SearchResults()->count(), 1);
    EXPECT_TRUE(help.Window()->SearchResults()->item(0)->text().startsWith(
        QStringLiteral("Transformation")));
    EXPECT_EQ(help.Search(QStringLiteral("no such keyword at all")).size(), 0u);
}

TEST_F(HelpTest, F1ShowsTheTopicOfTheActiveWindowAndTheContentsMarkIt) {
    const THelpSystem& help = m_form->Help();
    QShortcut* f1 = nullptr;
    for (QShortcut* s : m_form->findChildren<QShortcut*>()) {
        if (s->key() == QKeySequence(QKeySequence::HelpContents)) {
            f1 = s;
        }
    }
    ASSERT_NE(f1, nullptr);
    Host& host = *m_form;
    auto doc = std::make_shared<TTavContents>();
    doc->AddText("x");
    struct Case {
        const char* Name;
        std::function<void()> Activate;
        int Context;
    };
    const Case cases[] = {
        {"no window", [] {}, 100},
        {"a document", [&] { host.ShowDocument(doc, "Document", 5800); }, 5800},
        {"a chart",
         [&] { host.ShowChart(NewChartWindow(m_form->program().Settings), "Chart", 5400); }, 5400},
        {"the document again",
         [this] {
             m_form->MdiArea()->setActiveSubWindow(m_form->MdiArea()->subWindowList().front());
         },
         5800},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Activate();
        emit f1->activated();
        ASSERT_NE(help.Window(), nullptr);
        EXPECT_TRUE(help.Window()->isVisible());
        EXPECT_EQ(ShownFile(*help.Window()), Absolute(help.TopicFile(c.Context)));
        EXPECT_EQ(MarkedFile(*help.Window()), Absolute(help.TopicFile(c.Context)));
    }
}

TEST_F(HelpTest, BackAndForwardMoveThroughTheTopicsShownAndTheContentsFollow) {
    THelpSystem& help = m_form->Help();
    help.ShowContext(2300);
    THelpWindow& w = *help.Window();
    EXPECT_FALSE(w.BackButton()->isEnabled());
    EXPECT_FALSE(w.ForwardButton()->isEnabled());
    help.ShowContext(1000);
    help.ShowContext(1300);
    struct Step {
        const char* Name;
        QPushButton* Button;
        int Context;
        bool Back;
        bool Forward;
    };
    const Step steps[] = {
        {"back", w.BackButton(), 1000, true, true},
        {"back again", w.BackButton(), 2300, false, true},
        {"forward", w.ForwardButton(), 1000, true, true},
        {"forward again", w.ForwardButton(), 1300, true, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.Name);
        s.Button->click();
        EXPECT_EQ(ShownFile(w), Absolute(help.TopicFile(s.Context)));
        EXPECT_EQ(MarkedFile(w), Absolute(help.TopicFile(s.Context)));
        EXPECT_EQ(w.BackButton()->isEnabled(), s.Back);
        EXPECT_EQ(w.ForwardButton()->isEnabled(), s.Forward);
    }
    // The contents page itself is no topic: nothing is marked.
    help.ShowContents();
    EXPECT_TRUE(MarkedFile(w).isEmpty());
}

TEST_F(HelpTest, EscAndTheCloseButtonCloseTheHelpWindow) {
    THelpSystem& help = m_form->Help();
    struct Case {
        const char* Name;
        std::function<void(THelpWindow&)> Close;
    };
    const Case cases[] = {
        {"Esc",
         [](THelpWindow& w) {
             QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(w.Browser(), &esc);
         }},
        {"Close", [](THelpWindow& w) { w.CloseButton()->click(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        help.ShowContext(1300);
        THelpWindow& w = *help.Window();
        w.activateWindow();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(w.isVisible());
        c.Close(w);
        EXPECT_FALSE(w.isVisible());
    }
}

TEST_F(HelpTest, AMissingHelpFolderIsReportedAndDisablesTheHelpCommands) {
    m_ui.Messages.clear();
    auto form = MakeForm(false);
    ASSERT_EQ(m_ui.Messages.size(), 1u);
    EXPECT_EQ(m_ui.Messages.front().Text,
              QStringLiteral("VELTRIO helpfile was not found. No help will be available."));
    EXPECT_EQ(m_ui.Messages.front().Icon, QMessageBox::Critical);
    for (QAction* a : form->HelpActions()) {
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
    }
    // The program runs on; asking for help does nothing.
    form->mnuContentsClick();
    EXPECT_EQ(form->Help().Window(), nullptr);
    for (QAction* a : m_form->HelpActions()) {
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    }
}

} // namespace
} // namespace veltrio::gui::testing
