// The windows that open beside the main window (the editor, the print
// preview and the help) take their size from the program: a window manager
// that would maximise them is not needed.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <functional>

#include "GuiFixture.h"
#include "documents/Contents.h"
#include "gui/browser/BrowseForm.h"
#include "gui/shell/EditorForm.h"
#include "gui/shell/HelpSystem.h"
#include "gui/shell/HelpWindow.h"

namespace veltrio::gui::testing {
namespace {

using MainFormTopLevelTest = MainFormTest;

TEST_F(MainFormTopLevelTest, TheEditorThePreviewAndTheHelpOpenAtAUsableSize) {
    const QString study = WriteFile(QStringLiteral("s.PAR"), StudyText(false, 2, 2));
    m_form->OpenStudy(study, true);
    Host& host = *m_form;
    auto doc = std::make_shared<TTavContents>();
    doc->AddText("A line to preview");
    host.ShowDocument(doc, "Preview me", 0);
    ASSERT_NE(m_form->ActiveBrowser(), nullptr);

    struct Opened {
        QString Class;
        QRect Geometry;
        Qt::WindowStates State;
    };
    Opened opened;
    m_ui.OnExec = [&opened](QDialog& d) {
        opened = {QString::fromLatin1(d.metaObject()->className()), d.geometry(), d.windowState()};
        return int(QDialog::Rejected);
    };
    struct Case {
        const char* Name;
        std::function<void()> Open;
        const char* Class;
        bool Maximized;
        double Share;
    };
    const Case cases[] = {
        {"editor", [this] { m_form->mnuEditClick(); }, "veltrio::gui::TEditorForm", true, 1.0},
        {"print preview", [this] { m_form->ActiveBrowser()->PreviewDocument(); },
         "QPrintPreviewDialog", true, 1.0},
        {"help",
         [this, &opened] {
             m_form->Help().ShowContext(1000);
             THelpWindow* w = m_form->Help().Window();
             ASSERT_NE(w, nullptr);
             EXPECT_TRUE(w->isVisible());
             opened = {QString::fromLatin1(w->metaObject()->className()), w->geometry(),
                       w->windowState()};
         },
         "veltrio::gui::THelpWindow", false, 2.0 / 3.0},
    };
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        opened = {};
        c.Open();
        EXPECT_EQ(opened.Class, QString::fromLatin1(c.Class));
        EXPECT_EQ(bool(opened.State & Qt::WindowMaximized), c.Maximized);
        EXPECT_NEAR(opened.Geometry.width(), screen.width() * c.Share, 1.0);
        EXPECT_NEAR(opened.Geometry.height(), screen.height() * c.Share, 1.0);
        EXPECT_NEAR(opened.Geometry.center().x(), screen.center().x(), 1.0);
        EXPECT_NEAR(opened.Geometry.center().y(), screen.center().y(), 1.0);
    }
}

} // namespace
} // namespace veltrio::gui::testing
