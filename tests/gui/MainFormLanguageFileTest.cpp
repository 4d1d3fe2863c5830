// A language file that is missing or damaged ends the program with the
// system's message, its sentences on lines of their own, and where the file
// was looked for.
#include <QDir>

#include "GuiFixture.h"
#include "gui/widgets/MessageText.h"

namespace veltrio::gui::testing {
namespace {

TEST(MainFormLanguageFile, SentencesThatRunTogetherGoOnLinesOfTheirOwn) {
    struct Case {
        const char* Text;
        const char* Apart;
    };
    const Case cases[] = {
        {"Missing language file - unable to run systemPlease check the manual - or report to "
         "TavThe program will now exit to Windows",
         "Missing language file - unable to run system\nPlease check the manual - or report to "
         "Tav\nThe program will now exit to Windows"},
        {"ERROR 1 OPENING TEXTLIB: MISSING CHAPTER INFORMATIONPlease report to the Tav. Program "
         "was halted.",
         "ERROR 1 OPENING TEXTLIB: MISSING CHAPTER INFORMATION\nPlease report to the Tav. Program "
         "was halted."},
        // Sentences already apart, capitals and abbreviations stay as they are.
        {"Unable to open language file.", "Unable to open language file."},
        {"VELTRIO helpfile was not found. No help will be available.",
         "VELTRIO helpfile was not found. No help will be available."},
        {"ISO 5725-2, ANOVA and SD", "ISO 5725-2, ANOVA and SD"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SentencesApart(QString::fromLatin1(c.Text)), QString::fromLatin1(c.Apart));
    }
}

using MainFormLanguageFileTest = MainFormTest;

TEST_F(MainFormLanguageFileTest, TheProgramEndsWithTheMessageLineByLine) {
    struct Case {
        const char* Name;
        const char* Folder;
        const char* Contents; // of ENGLISH.TEX; nullptr: there is none
        QStringList Lines;
    };
    const Case cases[] = {
        {"missing",
         "missing",
         nullptr,
         {"Missing language file - unable to run system",
          "Please check the manual - or report to Tav", "The program will now exit to Windows"}},
        {"damaged",
         "damaged",
         "no chapter table",
         {"ERROR 1 OPENING TEXTLIB: MISSING CHAPTER INFORMATION",
          "Please report to the Tav. Program was halted."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString folder = m_dir.filePath(QString::fromLatin1(c.Folder));
        QDir().mkpath(folder);
        if (c.Contents) {
            WriteFile(QString::fromLatin1(c.Folder) + QStringLiteral("/ENGLISH.TEX"), c.Contents);
        }
        TMainFormOptions o;
        o.ProgramDir = folder.toStdString();
        o.SettingsFile = Path(QStringLiteral("VELTRIO.INI"));
        o.HelpFolder = std::filesystem::path(VELTRIO_SOURCE_DIR) / "help";
        m_ui.Messages.clear();
        TMainForm form(o);
        EXPECT_FALSE(form.StartUp());
        ASSERT_EQ(m_ui.Messages.size(), 1u);
        EXPECT_EQ(m_ui.Messages.front().Icon, QMessageBox::Critical);
        QStringList expected = c.Lines;
        expected
            << QString()
            << QStringLiteral("The language file ENGLISH.TEX was looked for in %1.").arg(folder);
        EXPECT_EQ(m_ui.Messages.front().Text.split(QLatin1Char('\n')), expected);
    }
}

} // namespace
} // namespace veltrio::gui::testing
