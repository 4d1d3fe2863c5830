// Browser windows: the document shown through the host, scrolling, Save as
// and Copy.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>

#include "GuiFixture.h"
#include "documents/Contents.h"
#include "gui/browser/BrowseForm.h"
#include "gui/browser/DocumentFiles.h"
#include "gui/browser/DocumentView.h"

namespace veltrio::gui::testing {
namespace {

std::shared_ptr<TTavContents> LongDocument(int lines) {
    auto doc = std::make_shared<TTavContents>();
    doc->PrintTitle = "Long";
    for (int i = 1; i <= lines; ++i) {
        doc->AddText("Line " + std::to_string(i) + " of the <document> & \"more\"");
    }
    return doc;
}

class BrowserTest : public MainFormTest {
protected:
    TTavBrowseForm& Show(std::shared_ptr<TTavContents> doc) {
        Host& host = *m_form;
        host.ShowDocument(std::move(doc), "Test document", 1234);
        EXPECT_NE(m_form->ActiveBrowser(), nullptr);
        return *m_form->ActiveBrowser();
    }
};

TEST_F(BrowserTest, ADocumentShownThroughTheHostOpensABrowserChild) {
    TTavBrowseForm& b = Show(LongDocument(3));
    EXPECT_EQ(m_form->MdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(b.windowTitle(), QStringLiteral("Test document"));
    EXPECT_EQ(b.HelpContext(), 1234);
    EXPECT_EQ(b.View().ItemTops().size(), 3u);
    EXPECT_GT(b.View().DocumentHeight(), 0);
    EXPECT_TRUE(b.OkButton()->isVisibleTo(&b));
    EXPECT_TRUE(b.PrintButton()->isVisibleTo(&b));
    EXPECT_TRUE(b.PreviewButton()->isVisibleTo(&b));
    // A second document opens a second window.
    Show(LongDocument(1));
    EXPECT_EQ(m_form->MdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(m_form->Browsers().size(), 2u);
}

TEST_F(BrowserTest, ATallDocumentScrollsAndPageDownMovesByAPage) {
    TTavBrowseForm& b = Show(LongDocument(400));
    b.View().resize(400, 300);
    QScrollBar* v = b.View().verticalScrollBar();
    ASSERT_GT(v->maximum(), 0);
    EXPECT_EQ(b.View().FirstVisibleItem(), 0);
    QKeyEvent pageDown(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
    QCoreApplication::sendEvent(&b.View(), &pageDown);
    EXPECT_EQ(v->value(), v->pageStep());
    EXPECT_GT(b.View().FirstVisibleItem(), 0);
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QCoreApplication::sendEvent(&b.View(), &end);
    EXPECT_EQ(v->value(), v->maximum());
    QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
    QCoreApplication::sendEvent(&b.View(), &home);
    EXPECT_EQ(v->value(), 0);
    // Painting the scrolled view leaves the document cursor where it was.
    b.Document().SetCursorIndex(7);
    v->setValue(v->maximum() / 2);
    b.View().viewport()->grab();
    EXPECT_EQ(b.Document().CursorIndex(), 7);
}

TEST_F(BrowserTest, SaveAsWritesRtfHtmlAndPdf) {
    struct Case {
        const char* Name;
        int Filter;
        const char* Written;
        const char* Begins;
    };
    const Case cases[] = {
        {"doc.rtf", 0, "doc.rtf", "{\\rtf"},
        {"page", 1, "page.html", "<"},
        {"printed.pdf", 2, "printed.pdf", "%PDF"},
        // The file name's suffix wins over the filter.
        {"other.html", 0, "other.html", "<"},
    };
    Show(LongDocument(30));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        m_ui.SaveName = m_dir.filePath(QString::fromLatin1(c.Name));
        m_ui.SaveFilter = DocumentFileFilters().at(c.Filter);
        m_form->mnuSaveAsClick();
        const std::string bytes = ReadFile(m_dir.filePath(QString::fromLatin1(c.Written)));
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes.rfind(c.Begins, 0), 0u) << bytes.substr(0, 40);
    }
    const std::string html = ReadFile(m_dir.filePath(QStringLiteral("page.html")));
    EXPECT_NE(html.find("Line 30 of the &lt;document&gt; &amp;"), std::string::npos);
    EXPECT_TRUE(m_ui.Messages.empty());
}

TEST_F(BrowserTest, SaveAsIntoAMissingFolderIsReported) {
    TTavBrowseForm& b = Show(LongDocument(3));
    for (TDocumentFormat f : {TDocumentFormat::Rtf, TDocumentFormat::Html, TDocumentFormat::Pdf}) {
        QString error;
        EXPECT_FALSE(
            SaveDocument(b.Document(), m_dir.filePath(QStringLiteral("no/such/x")), f, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    m_ui.SaveName = m_dir.filePath(QStringLiteral("no/such/x.rtf"));
    m_form->mnuSaveAsClick();
    ASSERT_EQ(m_ui.Messages.size(), 1u);
    EXPECT_EQ(m_ui.Messages.front().Icon, QMessageBox::Critical);
}

TEST_F(BrowserTest, CopyPutsRtfHtmlAndTextOnTheClipboard) {
    TTavBrowseForm& b = Show(LongDocument(2));
    const std::unique_ptr<QMimeData> data = DocumentMimeData(b.Document());
    for (const char* type : {"text/rtf", "application/rtf"}) {
        EXPECT_TRUE(data->data(QString::fromLatin1(type)).startsWith("{\\rtf")) << type;
    }
    EXPECT_TRUE(data->html().contains(QStringLiteral("Line 2 of the &lt;document&gt;")));
    EXPECT_TRUE(data->text().contains(QStringLiteral("Line 1 of the <document> & \"more\"")));
}

TEST_F(BrowserTest, PrintAskedForNoPrinterPrintsNothing) {
    Show(LongDocument(2));
    m_form->mnuPrintClick();
    m_form->mnuPrintAllClick();
    EXPECT_EQ(m_ui.PrinterRequests, 2);
    EXPECT_TRUE(m_form->isEnabled());
}

} // namespace
} // namespace veltrio::gui::testing
