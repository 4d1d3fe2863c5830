// The Options dialog: controls loaded from and stored into the settings, the
// language change and its failure, saving.
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include "GuiFixture.h"
#include "gui/shell/OptionsDlg.h"
#include "gui/widgets/FloatEdit.h"
#include "gui/widgets/FloatSpinEdit.h"
#include "settings/SettingsFile.h"
#include "study/Program.h"

namespace veltrio::gui::testing {
namespace {

using OptionsTest = MainFormTest;

TEST_F(OptionsTest, LineWidthShowsHairlineOrExactWidth) {
    struct Case {
        double Setting;
        bool Exact;
        double Shown;
    };
    TOptionsDlg& dlg = m_form->OptionsDialog();
    for (const Case c : {Case{0.5, true, 0.5}, Case{-1.0, false, 0.2}, Case{0.0, false, 0.2}}) {
        SCOPED_TRACE(c.Setting);
        m_form->program().Settings.LineWidth = c.Setting;
        dlg.LoadControls();
        EXPECT_EQ(dlg.ExactWidth()->isChecked(), c.Exact);
        EXPECT_EQ(dlg.Hairline()->isChecked(), !c.Exact);
        EXPECT_DOUBLE_EQ(dlg.Width()->value(), c.Shown);
        dlg.ApplyControls();
        EXPECT_DOUBLE_EQ(m_form->program().Settings.LineWidth, c.Exact ? c.Setting : -1.0);
    }
    // Changing the width chooses the exact width.
    dlg.Width()->setValue(0.7);
    EXPECT_TRUE(dlg.ExactWidth()->isChecked());
    dlg.ApplyControls();
    EXPECT_DOUBLE_EQ(m_form->program().Settings.LineWidth, 0.7);
}

TEST_F(OptionsTest, EveryCheckBoxReachesItsSettingAndTheFile) {
    struct Case {
        const char* Caption;
        bool TSettings::*Field;
    };
    const Case cases[] = {
        {"Show fixed laboratory codes", &TSettings::ShowRegLabNo},
        {"Print disclaimer on fast feedback forms", &TSettings::PrintDisclaimer},
        {"Draw 20% circle on Youden plots", &TSettings::Circle20},
        {"Print unit on fast feedback forms", &TSettings::UnitFFF},
        {"Boxplot: Lower x-limit at zero", &TSettings::LowerXZero},
        {"Show all method id's", &TSettings::AllMethodID},
        {"Different markers", &TSettings::DiffMarkers},
        {"Sort by values", &TSettings::MandelSorted},
        {"Automatic spiking correction", &TSettings::AutoSplitCorrection},
        {"Method IDs case sensitive", &TSettings::MethodCaseSensitive},
        {"Use group of missing method-IDs in method evaluation", &TSettings::UseMissingMethod},
        {"Confirm transformation on", &TSettings::ConfirmTrans},
    };
    TSettings& s = m_form->program().Settings;
    const TSettings before = s;
    TOptionsDlg& dlg = m_form->OptionsDialog();
    dlg.LoadControls();
    for (const Case& c : cases) {
        QCheckBox* box = dlg.Check(QString::fromLatin1(c.Caption));
        ASSERT_NE(box, nullptr) << c.Caption;
        EXPECT_EQ(box->isChecked(), s.*(c.Field)) << c.Caption;
        box->setChecked(!box->isChecked());
    }
    dlg.LabsPerPage()->setValue(12);
    dlg.MarginLeft()->setText(QStringLiteral("1,3"));
    dlg.MarginTop()->SetValue(2.5);
    m_ui.OnExec = [](QDialog& d) {
        d.accept();
        return int(QDialog::Accepted);
    };
    dlg.accept();

    TSettings saved;
    ASSERT_TRUE(LoadSettings(saved, Path(QStringLiteral("VELTRIO.INI"))));
    for (const Case& c : cases) {
        EXPECT_EQ(s.*(c.Field), !(before.*(c.Field))) << c.Caption;
        EXPECT_EQ(saved.*(c.Field), s.*(c.Field)) << c.Caption << " in the file";
    }
    EXPECT_EQ(saved.MandelLabsPage, 12);
    EXPECT_DOUBLE_EQ(saved.MarginLeft, 1.3);
    EXPECT_DOUBLE_EQ(saved.MarginTop, 2.5);
}

TEST_F(OptionsTest, CancelLeavesTheSettingsAndReopeningShowsThemAgain) {
    TOptionsDlg& dlg = m_form->OptionsDialog();
    m_ui.OnExec = [&](QDialog&) {
        dlg.Pages()->setCurrentIndex(2);
        dlg.Check(QStringLiteral("Discard outlier tests"))->setChecked(true);
        dlg.Hairline()->setChecked(false);
        dlg.ExactWidth()->setChecked(true);
        return int(QDialog::Rejected);
    };
    EXPECT_EQ(dlg.Execute(), int(QDialog::Rejected));
    EXPECT_FALSE(m_form->program().Settings.DiscardOutlierTests);
    EXPECT_DOUBLE_EQ(m_form->program().Settings.LineWidth, -1.0);
    m_ui.OnExec = [&](QDialog&) {
        EXPECT_EQ(dlg.Pages()->currentIndex(), 0) << "opens on its first page";
        EXPECT_FALSE(dlg.Check(QStringLiteral("Discard outlier tests"))->isChecked());
        EXPECT_TRUE(dlg.Hairline()->isChecked());
        return int(QDialog::Rejected);
    };
    dlg.Execute();
}

TEST_F(OptionsTest, ALanguageOutsideTheListStaysOnOk) {
    TOptionsDlg& dlg = m_form->OptionsDialog();
    m_form->program().Settings.OutputLanguage = 6;
    dlg.LoadControls();
    EXPECT_EQ(dlg.Language()->currentIndex(), -1);
    dlg.ApplyControls();
    EXPECT_EQ(m_form->program().Settings.OutputLanguage, 6);
}

TEST_F(OptionsTest, OffersTheSixLanguagesAndOpensTheChosenFile) {
    TOptionsDlg& dlg = m_form->OptionsDialog();
    dlg.LoadControls();
    QStringList offered;
    for (int i = 0; i < dlg.Language()->count(); ++i) {
        offered << dlg.Language()->itemText(i);
    }
    EXPECT_EQ(offered, (QStringList{"English", "Dansk", "Deutsch", "Francais",
                                    QString::fromUtf8("Español"), "Slovakian"}));
    struct Case {
        int Language;
        const char* Caption; // the caption of "Descriptive statistics" (5, 6)
    };
    for (const Case c : {Case{2, "Deskriptive Statistik"}, Case{5, nullptr}, Case{0, "Descriptive statistics"}}) {
        dlg.Language()->setCurrentIndex(dlg.Language()->findData(c.Language));
        dlg.ApplyControls();
        EXPECT_TRUE(m_ui.Messages.empty());
        EXPECT_EQ(m_form->program().Settings.OutputLanguage, c.Language);
        const std::string text = m_form->program().LibText(5, 6);
        if (c.Caption) {
            EXPECT_EQ(text, c.Caption);
        } else {
            EXPECT_FALSE(text.empty());
            EXPECT_NE(text, "Descriptive statistics");
        }
    }
}

TEST_F(OptionsTest, ALanguageFileThatCannotBeOpenedKeepsTheOldLanguage) {
    TOptionsDlg& dlg = m_form->OptionsDialog();
    const std::string text = m_form->program().LibText(5, 6);
    ASSERT_FALSE(text.empty());
    dlg.LoadControls();
    EXPECT_EQ(dlg.Language()->currentText(), QStringLiteral("English"));
    // A program folder that holds the English language file only.
    const std::filesystem::path dir = Path(QStringLiteral("program"));
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(std::filesystem::path(VELTRIO_BIN_DIR) / "ENGLISH.TEX",
                               dir / "ENGLISH.TEX");
    m_form->program().ProgramDir = dir;
    dlg.Language()->setCurrentIndex(dlg.Language()->findData(5));
    dlg.ApplyControls();
    ASSERT_EQ(m_ui.Messages.size(), 1u);
    EXPECT_EQ(m_ui.Messages.front().Text, QStringLiteral("Unable to open language file."));
    EXPECT_EQ(m_form->program().Settings.OutputLanguage, 0);
    EXPECT_EQ(m_form->program().LibText(5, 6), text) << "the old language file is open again";
}

TEST_F(OptionsTest, TheOutputFontOfTheSettingsIsKeptEvenWhenNotInstalled) {
    TOptionsDlg& dlg = m_form->OptionsDialog();
    m_form->program().Settings.OutputFontName = "No Such Font Family";
    dlg.LoadControls();
    ASSERT_NE(dlg.Fonts()->currentItem(), nullptr);
    EXPECT_EQ(dlg.Fonts()->currentItem()->text(), QStringLiteral("No Such Font Family"));
    dlg.ApplyControls();
    EXPECT_EQ(m_form->program().Settings.OutputFontName, "No Such Font Family");
    // Choosing another font stores it.
    ASSERT_GT(dlg.Fonts()->count(), 1);
    dlg.Fonts()->setCurrentRow(1);
    const QString chosen = dlg.Fonts()->currentItem()->text();
    dlg.ApplyControls();
    EXPECT_EQ(m_form->program().Settings.OutputFontName, chosen.toStdString());
}

} // namespace
} // namespace veltrio::gui::testing
