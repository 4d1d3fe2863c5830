// Child windows of the main window: a maximised child fills the workspace,
// the others keep a size to work with when they are restored, cascaded or
// placed.
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <set>
#include <utility>

#include "GuiFixture.h"
#include "charts/ChartStyle.h"
#include "documents/Contents.h"
#include "gui/shell/MdiChild.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

std::shared_ptr<TTavContents> Document(const std::string& text) {
    auto doc = std::make_shared<TTavContents>();
    doc->AddText(text);
    return doc;
}

class MainFormWindowsTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        m_form->resize(1100, 850);
        m_form->show();
        QCoreApplication::processEvents();
    }
    QSize Workspace() const { return m_form->MdiArea()->viewport()->size(); }
    QList<QMdiSubWindow*> Windows() const { return m_form->MdiArea()->subWindowList(); }
    // Documents and charts, shown one after the other as procedures show them.
    void ShowWindows(int count) {
        Host& host = *m_form;
        for (int i = 1; i <= count; ++i) {
            if (i % 2 == 0) {
                host.ShowChart(NewChartWindow(m_form->program().Settings),
                               "Chart " + std::to_string(i), 0);
            } else {
                host.ShowDocument(Document("Document " + std::to_string(i)),
                                  "Document " + std::to_string(i), 0);
            }
            QCoreApplication::processEvents();
        }
    }
};

TEST(MainFormChildWindow, TheUsableSizeIsAShareOfTheWorkspaceButNotTooSmall) {
    struct Case {
        QSize Workspace;
        QSize Usable;
    };
    const Case cases[] = {
        {{1200, 900}, {800, 675}},  {{1000, 720}, {666, 540}}, {{720, 480}, {480, 360}},
        {{600, 400}, {480, 360}},   {{300, 200}, {480, 360}},  {{0, 0}, {480, 360}},
        {{2400, 300}, {1600, 360}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TMdiChild::UsableSize(c.Workspace), c.Usable)
            << c.Workspace.width() << "x" << c.Workspace.height();
    }
}

TEST_F(MainFormWindowsTest, TheNewWindowFillsTheWorkspaceAndTheOthersKeepAUsableSize) {
    const QSize usable = TMdiChild::UsableSize(Workspace());
    ASSERT_GT(usable.width(), TMdiChild::MinimumWidth) << "the workspace is large enough";
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        ShowWindows(1);
        ASSERT_EQ(Windows().size(), n);
        QMdiSubWindow* active = m_form->MdiArea()->currentSubWindow();
        ASSERT_EQ(active, Windows().back());
        EXPECT_TRUE(active->isMaximized());
        EXPECT_EQ(active->geometry(), m_form->MdiArea()->viewport()->rect());
        for (QMdiSubWindow* w : Windows()) {
            if (w != active) {
                EXPECT_FALSE(w->isMaximized()) << w->windowTitle().toStdString();
                EXPECT_EQ(w->size(), usable) << w->windowTitle().toStdString();
            }
        }
    }
    // The maximised window, restored, returns to its usable size as well.
    Windows().back()->showNormal();
    EXPECT_EQ(Windows().back()->size(), usable);
}

TEST_F(MainFormWindowsTest, SwitchingWindowsKeepsTheMaximisedLookAndTheSizes) {
    ShowWindows(3);
    const QSize usable = TMdiChild::UsableSize(Workspace());
    for (QMdiSubWindow* w : {Windows().at(0), Windows().at(1), Windows().at(2)}) {
        m_form->MdiArea()->setActiveSubWindow(w);
        QCoreApplication::processEvents();
        EXPECT_TRUE(w->isMaximized()) << w->windowTitle().toStdString();
        EXPECT_EQ(w->geometry(), m_form->MdiArea()->viewport()->rect());
        for (QMdiSubWindow* other : Windows()) {
            if (other != w) {
                EXPECT_EQ(other->size(), usable) << other->windowTitle().toStdString();
            }
        }
    }
}

TEST_F(MainFormWindowsTest, CascadeGivesEveryWindowAUsableSize) {
    ShowWindows(3);
    m_form->MdiArea()->cascadeSubWindows();
    QCoreApplication::processEvents();
    const QSize usable = TMdiChild::UsableSize(Workspace());
    std::set<std::pair<int, int>> corners;
    for (QMdiSubWindow* w : Windows()) {
        EXPECT_FALSE(w->isMaximized()) << w->windowTitle().toStdString();
        EXPECT_EQ(w->size(), usable) << w->windowTitle().toStdString();
        corners.insert({w->x(), w->y()});
    }
    EXPECT_EQ(corners.size(), 3u) << "cascaded windows stand apart";
    // Tiling still shares the workspace out.
    m_form->MdiArea()->tileSubWindows();
    int area = 0;
    for (QMdiSubWindow* w : Windows()) {
        area += w->width() * w->height();
    }
    EXPECT_GE(area, Workspace().width() * Workspace().height() * 9 / 10);
}

} // namespace
} // namespace veltrio::gui::testing
