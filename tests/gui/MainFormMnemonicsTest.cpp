// Keyboard mnemonics: every menu item and every control of the Options
// dialog has a letter of its own.
#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <set>

#include "GuiFixture.h"
#include "gui/shell/OptionsDlg.h"
#include "gui/widgets/Mnemonics.h"

namespace veltrio::gui::testing {
namespace {

TEST(MainFormMnemonics, InitialsComeFirstAndNoLetterIsGivenTwice) {
    struct Case {
        QStringList Texts;
        QString Taken;
        QStringList Expected;
    };
    const Case cases[] = {
        {{"Everything below", "Base table (ISO table A)", "Base table corrected for spiking"},
         {},
         {"&Everything below", "&Base table (ISO table A)", "Base &table corrected for spiking"}},
        // Minor words last: "laboratories" before "of".
        {{"Evaluation of laboratories"}, "e", {"Evaluation of &laboratories"}},
        {{"Exclude a laboratory"}, "el", {"E&xclude a laboratory"}},
        {{"Mandel's h-values", "Mandel's k-values"},
         {},
         {"&Mandel's h-values", "Mandel's &k-values"}},
        // A mnemonic a text has is kept, and taken from the others.
        {{"Options", "&Open"}, {}, {"O&ptions", "&Open"}},
        {{"Lower", "lower"}, {}, {"&Lower", "l&ower"}},
        // An ampersand ("&&") stays one.
        {{"R&&D"}, {}, {"&R&&D"}},
        // Digits only when no letter is free; no mnemonic when nothing is.
        {{"Draw 20% circle", "ab"}, "drawcileab", {"Draw &20% circle", "ab"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WithMnemonics(c.Texts, c.Taken), c.Expected) << c.Texts.join('|').toStdString();
    }
}

TEST(MainFormMnemonics, TheLetterAndThePlainText) {
    struct Case {
        const char* Text;
        QChar Letter;
        const char* Plain;
    };
    const Case cases[] = {
        {"&File", QLatin1Char('f'), "File"},
        {"P&rint Setup...", QLatin1Char('r'), "Print Setup..."},
        {"R&&D", QChar(), "R&D"},
        {"R&&D &Lab", QLatin1Char('l'), "R&D Lab"},
        {"No letter", QChar(), "No letter"},
        {"Trailing&", QChar(), "Trailing&"},
        {"A &- B", QChar(), "A - B"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MnemonicOf(QString::fromLatin1(c.Text)), c.Letter) << c.Text;
        EXPECT_EQ(PlainText(QString::fromLatin1(c.Text)), QString::fromLatin1(c.Plain)) << c.Text;
    }
}

// The letters of the texts, each once; a missing letter fails.
void ExpectLettersOfTheirOwn(const QStringList& texts, const std::string& where) {
    std::set<QChar> letters;
    for (const QString& t : texts) {
        const QChar letter = MnemonicOf(t);
        EXPECT_FALSE(letter.isNull()) << where << ": " << t.toStdString() << " has no mnemonic";
        if (!letter.isNull()) {
            EXPECT_TRUE(letters.insert(letter).second)
                << where << ": " << t.toStdString() << " repeats '" << QString(letter).toStdString()
                << "'";
        }
    }
}

void ExpectMenuMnemonics(const QMenu& menu, const std::string& where) {
    QStringList texts;
    for (const QAction* a : menu.actions()) {
        if (a->isSeparator() || !a->isVisible()) {
            continue;
        }
        texts << a->text();
        if (const QMenu* sub = a->menu()) {
            ExpectMenuMnemonics(*sub, where + " | " + PlainText(sub->title()).toStdString());
        }
    }
    ExpectLettersOfTheirOwn(texts, where);
}

using MainFormMnemonicsTest = MainFormTest;

TEST_F(MainFormMnemonicsTest, EveryMenuItemHasALetterOfItsOwn) {
    QStringList titles;
    for (const QAction* a : m_form->menuBar()->actions()) {
        titles << a->text();
        if (const QMenu* menu = a->menu()) {
            ExpectMenuMnemonics(*menu, PlainText(menu->title()).toStdString());
        }
    }
    ExpectLettersOfTheirOwn(titles, "menu bar");
    EXPECT_GE(titles.size(), 7);
    // The procedures read as their captions.
    EXPECT_EQ(PlainText(m_form->ProcedureAction("youden-plots")->text()),
              QStringLiteral("Youden plots"));
    EXPECT_EQ(PlainText(m_form->LaboratoriesMenu()->title()),
              QStringLiteral("Evaluation of laboratories"));
}

TEST_F(MainFormMnemonicsTest, EveryControlOfTheOptionsDialogHasALetterOfItsOwn) {
    const QTabWidget* pages = m_form->OptionsDialog().findChild<QTabWidget*>();
    ASSERT_NE(pages, nullptr);
    QStringList tabs;
    for (int i = 0; i < pages->count(); ++i) {
        tabs << pages->tabText(i);
    }
    ExpectLettersOfTheirOwn(tabs, "tabs");
    int labelled = 0;
    for (int i = 0; i < pages->count(); ++i) {
        QStringList texts = tabs;
        for (const QWidget* w : pages->widget(i)->findChildren<QWidget*>()) {
            if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
                texts << b->text();
            } else if (const auto* g = qobject_cast<const QGroupBox*>(w)) {
                texts << g->title();
            } else if (const auto* l = qobject_cast<const QLabel*>(w); l && l->buddy()) {
                texts << l->text();
                ++labelled;
            }
        }
        EXPECT_GT(texts.size(), tabs.size() + 3);
        ExpectLettersOfTheirOwn(texts, PlainText(tabs.at(i)).toStdString());
    }
    // Output Language, Lab's per page, Width, Left and Top lead to their fields.
    EXPECT_EQ(labelled, 5);
    EXPECT_NE(m_form->OptionsDialog().Check(QStringLiteral("Discard outlier tests")), nullptr);
}

} // namespace
} // namespace veltrio::gui::testing
