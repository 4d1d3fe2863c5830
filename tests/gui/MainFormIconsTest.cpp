// The program's own icons: every drawing renders, the tool bar and the chart
// windows use them, and no command shows the picture of another (Print a
// floppy disk, Copy a magnifier).
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <set>

#include "GuiFixture.h"
#include "charts/ChartStyle.h"
#include "documents/Contents.h"
#include "gui/charts/GraphForm.h"
#include "gui/shell/HelpSystem.h"
#include "gui/shell/HelpWindow.h"
#include "gui/widgets/ProgramIcons.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

constexpr int Size = 24;

QImage Picture(const QIcon& icon) {
    return icon.pixmap(Size, Size).toImage().convertToFormat(QImage::Format_ARGB32);
}
// Equal pictures have equal keys.
std::size_t Key(const QImage& image) {
    return qHashBits(image.constBits(), static_cast<std::size_t>(image.sizeInBytes()));
}

using MainFormIconsTest = MainFormTest;

TEST(MainFormIcons, EveryProgramIconIsADrawingAtEverySize) {
    const QStringList names = ProgramIconNames();
    EXPECT_GE(names.size(), 10);
    std::set<std::size_t> distinct;
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QIcon icon = ProgramIcon(name);
        ASSERT_FALSE(icon.isNull());
        for (const int size : {16, 24, 48}) {
            const QImage image =
                icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(image.size(), QSize(size, size));
            int opaque = 0;
            std::set<QRgb> colours;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    const QRgb p = image.pixel(x, y);
                    if (qAlpha(p) > 128) {
                        ++opaque;
                        colours.insert(p);
                    }
                }
            }
            // A drawing, not an empty or a filled square.
            EXPECT_GT(opaque, size * size / 20) << size;
            EXPECT_LT(opaque, size * size) << size;
            EXPECT_GE(colours.size(), 2u) << size;
        }
        distinct.insert(Key(Picture(icon)));
    }
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(names.size())) << "two icons look alike";
    EXPECT_TRUE(ProgramIcon(QStringLiteral("no-such-icon")).isNull());
}

TEST_F(MainFormIconsTest, TheToolBarShowsTheProgramsIconsOnePerCommand) {
    const QToolBar* bar = m_form->findChild<QToolBar*>();
    ASSERT_NE(bar, nullptr);
    // The tool bar in its order, each command with its drawing.
    const char* const expected[] = {"document-open", "document-print", "document-page-setup",
                                    "edit-copy",     "help-contents",  "application-exit"};
    QList<QAction*> commands;
    for (QAction* a : bar->actions()) {
        if (!a->isSeparator() && !a->icon().isNull()) {
            commands << a;
        }
    }
    ASSERT_EQ(commands.size(), 6);
    std::set<std::size_t> pictures;
    for (int i = 0; i < commands.size(); ++i) {
        SCOPED_TRACE(expected[i]);
        EXPECT_EQ(Picture(commands.at(i)->icon()),
                  Picture(ProgramIcon(QLatin1String(expected[i]))));
        pictures.insert(Key(Picture(commands.at(i)->icon())));
    }
    EXPECT_EQ(pictures.size(), 6u);
    EXPECT_EQ(commands.at(1), m_form->PrintAction());
    EXPECT_EQ(commands.at(3), m_form->CopyAction());

    // Neither Print nor Copy looks like saving (a floppy disk) or searching.
    QStyle* style = QApplication::style();
    const QIcon lookalikes[] = {
        style->standardIcon(QStyle::SP_DriveFDIcon),
        style->standardIcon(QStyle::SP_DialogSaveButton),
        style->standardIcon(QStyle::SP_FileDialogContentsView),
        style->standardIcon(QStyle::SP_FileDialogDetailedView),
        ProgramIcon(QStringLiteral("document-save-as")),
        m_form->SaveAsAction()->icon(),
    };
    for (QAction* a : {m_form->PrintAction(), m_form->CopyAction()}) {
        SCOPED_TRACE(a->text().toStdString());
        for (const QIcon& other : lookalikes) {
            EXPECT_NE(Picture(a->icon()), Picture(other));
        }
    }
    EXPECT_EQ(Picture(m_form->windowIcon()), Picture(ProgramIcon(QStringLiteral("veltrio"))));
}

TEST_F(MainFormIconsTest, ChildWindowsAndTheHelpWindowUseTheSameDrawings) {
    Host& host = *m_form;
    auto doc = std::make_shared<TTavContents>();
    doc->AddText("x");
    host.ShowDocument(doc, "Document", 0);
    host.ShowChart(NewChartWindow(m_form->program().Settings), "Chart", 0);
    const QList<QMdiSubWindow*> windows = m_form->MdiArea()->subWindowList();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(Picture(windows.at(0)->windowIcon()),
              Picture(ProgramIcon(QStringLiteral("text-x-generic"))));
    EXPECT_EQ(Picture(windows.at(1)->windowIcon()),
              Picture(ProgramIcon(QStringLiteral("x-office-chart"))));

    const TGraphForm& chart = *m_form->ActiveChart();
    struct Case {
        const QIcon Icon;
        const char* Name;
    };
    m_form->Help().ShowContents();
    const THelpWindow& help = *m_form->Help().Window();
    const Case cases[] = {
        {chart.PrintAction()->icon(), "document-print"},
        {chart.CopyAction()->icon(), "edit-copy"},
        {chart.SaveAsAction()->icon(), "document-save-as"},
        {help.BackButton()->icon(), "go-previous"},
        {help.ForwardButton()->icon(), "go-next"},
        {help.CloseButton()->icon(), "window-close"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Picture(c.Icon), Picture(ProgramIcon(QLatin1String(c.Name)))) << c.Name;
    }
}

} // namespace
} // namespace veltrio::gui::testing
