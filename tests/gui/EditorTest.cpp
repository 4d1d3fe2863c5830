// The study-file editor: encodings kept, saving through a temporary file.
#include <QAction>
#include <QPlainTextEdit>
#include <csignal>
#include <sys/resource.h>

#include "GuiFixture.h"
#include "gui/shell/EditorForm.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

// Files larger than `bytes` cannot be written while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit l = m_old;
        l.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

using EditorTest = MainFormTest;

TEST_F(EditorTest, TheFileKeepsItsEncodingAndLineEnds) {
    struct Case {
        const char* Name;
        std::string Bytes; // as stored
        QString Shown;     // as the editor shows it
        std::string Saved; // after appending "ø" to the last line
    };
    const Case cases[] = {
        {"code page 850, CRLF", "SUBSTANCE = \"K\x9b\"\r\nEND\r\n",
         QStringLiteral("SUBSTANCE = \"Kø\"\nEND\n"), "SUBSTANCE = \"K\x9b\"\r\nEND\r\n\x9b"},
        {"UTF-8, LF", "SUBSTANCE = \"K\xc3\xb8\"\nEND\n",
         QStringLiteral("SUBSTANCE = \"Kø\"\nEND\n"), "SUBSTANCE = \"K\xc3\xb8\"\nEND\n\xc3\xb8"},
        {"ASCII, LF", "END\n", QStringLiteral("END\n"), "END\n\x9b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString path = WriteFile(QStringLiteral("e.PAR"), c.Bytes);
        TEditorForm editor;
        ASSERT_TRUE(editor.LoadFile(path));
        EXPECT_EQ(editor.Editor()->toPlainText(), c.Shown);
        editor.Editor()->setPlainText(c.Shown + QStringLiteral("ø"));
        ASSERT_TRUE(editor.SaveFile());
        EXPECT_EQ(ReadFile(path), c.Saved);
    }
    EXPECT_TRUE(m_ui.Messages.empty());
}

TEST_F(EditorTest, AFailedSaveKeepsTheOriginalAndTheEditorOpen) {
    const std::string original = StudyText(false, 1, 2);
    const QString path = WriteFile(QStringLiteral("keep.PAR"), original);
    TEditorForm editor;
    ASSERT_TRUE(editor.LoadFile(path));
    editor.Editor()->setPlainText(QString(20000, QLatin1Char('x')));
    {
        const FileSizeLimit limit(4096);
        EXPECT_FALSE(editor.SaveFile());
    }
    EXPECT_EQ(ReadFile(path), original);
    ASSERT_EQ(m_ui.Messages.size(), 1u);
    EXPECT_EQ(m_ui.Messages.front().Icon, QMessageBox::Critical);
}

TEST_F(EditorTest, AnUnreadableFileIsReported) {
    TEditorForm editor;
    EXPECT_FALSE(editor.LoadFile(m_dir.filePath(QStringLiteral("missing.PAR"))));
    ASSERT_EQ(m_ui.Messages.size(), 1u);
    EXPECT_EQ(m_ui.Messages.front().Text, QStringLiteral("File could not be edited."));
}

TEST_F(EditorTest, SavingFromTheFileMenuReadsTheStudyAgain) {
    const QString path = WriteFile(QStringLiteral("s.PAR"), StudyText(false, 2, 2));
    m_form->OpenStudy(path, true);
    m_ui.OnExec = [](QDialog& d) {
        auto& editor = dynamic_cast<TEditorForm&>(d);
        editor.Editor()->setPlainText(editor.Editor()->toPlainText().replace(
            QStringLiteral("Round 7"), QStringLiteral("Round 8")));
        return editor.SaveFile() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    m_form->EditFileAction()->trigger();
    ASSERT_TRUE(m_form->program().StudyLoaded);
    EXPECT_EQ(m_form->program().CurrentStudy->TestId, "Round 8");

    // Mending a refused file in the editor loads it.
    std::string broken = StudyText(false, 2, 2);
    broken.replace(broken.find("NLABS = 6"), 9, "NLABS = x");
    const QString bad = WriteFile(QStringLiteral("bad.PAR"), broken);
    m_form->OpenStudy(bad, true);
    ASSERT_FALSE(m_form->program().StudyLoaded);
    m_ui.OnExec = [](QDialog& d) {
        auto& editor = dynamic_cast<TEditorForm&>(d);
        editor.Editor()->setPlainText(editor.Editor()->toPlainText().replace(
            QStringLiteral("NLABS = x"), QStringLiteral("NLABS = 6")));
        return editor.SaveFile() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    m_form->EditFileAction()->trigger();
    EXPECT_TRUE(m_form->program().StudyLoaded);
}

} // namespace
} // namespace veltrio::gui::testing
