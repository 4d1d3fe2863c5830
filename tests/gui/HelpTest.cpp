// The help: topics by context number, keyword search, F1 contexts and the
// missing help folder.
#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QTextBrowser>

#include "GuiFixture.h"
#include "gui/dialogs/TransformDlg.h"
#include "gui/shell/EditorForm.h"
#include "gui/shell/HelpSystem.h"
#include "gui/shell/HelpWindow.h"
#include "gui/shell/OptionsDlg.h"

namespace veltrio::gui::testing {
namespace {

using HelpTest = MainFormTest;

TEST_F(HelpTest, EveryWindowAndMenuHasItsTopic) {
    const int contexts[] = {100,  1900, 2000, 600,  1500, 1600, 1700, 750,  1300,
                            1800, 2100, 1000, 1100, 2300, 5800, 5400, 5500, 8100, 7000};
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
