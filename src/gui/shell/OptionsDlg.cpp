#include "gui/shell/OptionsDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "gui/widgets/FloatEdit.h"
#include "gui/widgets/FloatSpinEdit.h"
#include "gui/widgets/Mnemonics.h"
#include "gui/widgets/UserInterface.h"
#include "settings/SettingsFile.h"
#include "study/Program.h"
#include "textlib/Languages.h"
#include "textlib/TextLibrary.h"

namespace veltrio::gui {

namespace {

// The boolean settings by the caption of their check box.
struct BoolSetting {
    const char* Caption;
    bool TSettings::*Field;
};

constexpr BoolSetting GeneralChecks[] = {
    {"Show fixed laboratory codes", &TSettings::ShowRegLabNo},
    {"Print disclaimer on fast feedback forms", &TSettings::PrintDisclaimer},
    {"Draw 20% circle on Youden plots", &TSettings::Circle20},
    {"Print unit on fast feedback forms", &TSettings::UnitFFF},
    {"Boxplot: Lower x-limit at zero", &TSettings::LowerXZero},
    {"Show all method id's", &TSettings::AllMethodID},
};
constexpr BoolSetting MandelChecks[] = {
    {"Different markers", &TSettings::DiffMarkers},
    {"Sort by values", &TSettings::MandelSorted},
};
constexpr BoolSetting CalculationChecks[] = {
    {"Automatic spiking correction", &TSettings::AutoSplitCorrection},
    {"Method IDs case sensitive", &TSettings::MethodCaseSensitive},
    {"Use group of missing method-IDs in method evaluation", &TSettings::UseMissingMethod},
    {"Confirm transformation on", &TSettings::ConfirmTrans},
    {"Discard outlier tests", &TSettings::DiscardOutlierTests},
};
// The languages the list offers: every language the program has a file for.
constexpr int OfferedLanguages[] = {0, 1, 2, 3, 4, 5};

template <std::size_t N>
const BoolSetting* FindSetting(const BoolSetting (&list)[N], const QString& caption) {
    for (const BoolSetting& s : list) {
        if (caption == QLatin1String(s.Caption)) {
            return &s;
        }
    }
    return nullptr;
}

const BoolSetting* SettingOf(const QString& caption) {
    if (const BoolSetting* s = FindSetting(GeneralChecks, caption)) {
        return s;
    }
    if (const BoolSetting* s = FindSetting(MandelChecks, caption)) {
        return s;
    }
    return FindSetting(CalculationChecks, caption);
}

} // namespace

TOptionsDlg::TOptionsDlg(Program& program, QWidget* parent)
    : QDialog(parent), m_program(program), m_pages(new QTabWidget(this)) {
    setWindowTitle(QStringLiteral("Options"));
    setProperty("helpContext", HelpContextId);

    // General.
    auto* general = new QWidget;
    auto* g = new QVBoxLayout(general);
    auto* langRow = new QHBoxLayout;
    auto* languageLabel = new QLabel(QStringLiteral("Output Language"), general);
    langRow->addWidget(languageLabel);
    m_language = new QComboBox(general);
    languageLabel->setBuddy(m_language);
    for (int lang : OfferedLanguages) {
        m_language->addItem(QString::fromStdString(LanguageDisplayName(lang)), lang);
    }
    langRow->addWidget(m_language, 1);
    auto* printSetup = new QPushButton(tr("Print Setup..."), general);
    langRow->addWidget(printSetup);
    g->addLayout(langRow);
    for (const BoolSetting& s : GeneralChecks) {
        g->addWidget(AddCheck(general, QLatin1String(s.Caption)));
    }
    auto* mandel = new QGroupBox(QStringLiteral("Mandels h- and k-values"), general);
    auto* m = new QVBoxLayout(mandel);
    auto* labsRow = new QHBoxLayout;
    auto* labsLabel = new QLabel(QStringLiteral("Lab's per page:"), mandel);
    labsRow->addWidget(labsLabel);
    m_labsPerPage = new QSpinBox(mandel);
    labsLabel->setBuddy(m_labsPerPage);
    m_labsPerPage->setRange(1, 100);
    labsRow->addWidget(m_labsPerPage);
    labsRow->addStretch(1);
    m->addLayout(labsRow);
    for (const BoolSetting& s : MandelChecks) {
        m->addWidget(AddCheck(mandel, QLatin1String(s.Caption)));
    }
    g->addWidget(mandel);
    g->addStretch(1);
    m_pages->addTab(general, QStringLiteral("&General"));

    // Calculations.
    auto* calc = new QWidget;
    auto* c = new QVBoxLayout(calc);
    for (const BoolSetting& s : CalculationChecks) {
        QCheckBox* box = AddCheck(calc, QLatin1String(s.Caption));
        if (s.Field == &TSettings::ConfirmTrans) {
            auto* row = new QHBoxLayout;
            row->addWidget(box);
            row->addWidget(new QLabel(QStringLiteral("File | Open"), calc));
            row->addStretch(1);
            c->addLayout(row);
        } else {
            c->addWidget(box);
        }
    }
    c->addStretch(1);
    m_pages->addTab(calc, QStringLiteral("&Calculations"));

    // Layout.
    auto* layoutPage = new QWidget;
    auto* l = new QVBoxLayout(layoutPage);
    auto* fontGroup = new QGroupBox(QStringLiteral("Output font"), layoutPage);
    auto* fg = new QVBoxLayout(fontGroup);
    m_fonts = new QListWidget(fontGroup);
    m_fontExample = new QLabel(fontGroup);
    m_fontExample->setMinimumHeight(36);
    fg->addWidget(m_fonts, 1);
    fg->addWidget(m_fontExample);
    l->addWidget(fontGroup, 1);
    auto* widthGroup = new QGroupBox(QStringLiteral("Line width"), layoutPage);
    auto* wg = new QHBoxLayout(widthGroup);
    m_hairline = new QRadioButton(QStringLiteral("Hairline"), widthGroup);
    m_exactWidth = new QRadioButton(QStringLiteral("Exact width"), widthGroup);
    m_width = new TFloatSpinEdit(widthGroup);
    m_width->setRange(0.1, 10.0);
    wg->addWidget(m_hairline);
    wg->addWidget(m_exactWidth);
    auto* widthLabel = new QLabel(QStringLiteral("Width (mm):"), widthGroup);
    widthLabel->setBuddy(m_width);
    wg->addWidget(widthLabel);
    wg->addWidget(m_width);
    wg->addStretch(1);
    l->addWidget(widthGroup);
    auto* marginGroup = new QGroupBox(QStringLiteral("Margins"), layoutPage);
    auto* mg = new QFormLayout(marginGroup);
    m_marginLeft = new TFloatEdit(marginGroup);
    m_marginTop = new TFloatEdit(marginGroup);
    for (TFloatEdit* e : {m_marginLeft, m_marginTop}) {
        e->SetRange(0.0, 50.0);
        e->SetDecimals(1);
    }
    mg->addRow(QStringLiteral("Left (cm)"), m_marginLeft);
    mg->addRow(QStringLiteral("Top (cm)"), m_marginTop);
    l->addWidget(marginGroup);
    m_pages->addTab(layoutPage, QStringLiteral("&Layout"));

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(buttons);

    // Every control of a page has a mnemonic of its own, none on a letter of
    // the tabs or of the buttons below them.
    QString taken;
    for (int i = 0; i < m_pages->count(); ++i) {
        taken += MnemonicOf(m_pages->tabText(i));
    }
    for (const QAbstractButton* b : buttons->buttons()) {
        if (!MnemonicOf(b->text()).isNull()) {
            taken += MnemonicOf(b->text());
        }
    }
    for (int i = 0; i < m_pages->count(); ++i) {
        AssignMnemonics(*m_pages->widget(i), taken);
    }

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { emit HelpRequested(HelpContextId); });
    connect(printSetup, &QPushButton::clicked, this, &TOptionsDlg::PrintSetupRequested);
    connect(m_width, &QDoubleSpinBox::valueChanged, this,
            [this] { m_exactWidth->setChecked(true); });
    connect(m_fonts, &QListWidget::currentTextChanged, this, [this](const QString& family) {
        QFont f(family);
        f.setPointSize(14);
        m_fontExample->setFont(f);
        m_fontExample->setText(family);
    });
}

QCheckBox* TOptionsDlg::AddCheck(QWidget* page, const QString& caption) {
    auto* box = new QCheckBox(caption, page);
    m_checks << box;
    return box;
}

QCheckBox* TOptionsDlg::Check(const QString& caption) const {
    for (QCheckBox* box : m_checks) {
        if (PlainText(box->text()) == caption) {
            return box;
        }
    }
    return nullptr;
}

int TOptionsDlg::Execute() {
    LoadControls();
    return TUserInterface::Current().Exec(*this);
}

void TOptionsDlg::LoadControls() {
    const TSettings& s = m_program.Settings;
    m_pages->setCurrentIndex(0);
    m_language->setCurrentIndex(m_language->findData(s.OutputLanguage));
    for (QCheckBox* box : m_checks) {
        if (const BoolSetting* b = SettingOf(PlainText(box->text()))) {
            box->setChecked(s.*(b->Field));
        }
    }
    m_labsPerPage->setValue(std::clamp(s.MandelLabsPage, 1, 100));

    m_fonts->clear();
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    families.removeDuplicates();
    const QString wanted = QString::fromStdString(s.OutputFontName);
    // A font of the settings that this computer lacks is kept (the platform
    // substitutes a similar one), so that OK does not change the documents'
    // font behind the user's back.
    if (!wanted.isEmpty() && !families.contains(wanted, Qt::CaseInsensitive)) {
        families.prepend(wanted);
    }
    m_fonts->addItems(families);
    QList<QListWidgetItem*> hit = m_fonts->findItems(wanted, Qt::MatchFixedString);
    if (hit.isEmpty()) {
        hit = m_fonts->findItems(QStringLiteral("Arial"), Qt::MatchFixedString);
    }
    if (!hit.isEmpty()) {
        m_fonts->setCurrentItem(hit.first());
    } else if (m_fonts->count() > 0) {
        m_fonts->setCurrentRow(0);
    }

    {
        const QSignalBlocker block(m_width);
        if (s.LineWidth > 0) {
            m_width->setValue(s.LineWidth);
        } else {
            m_width->setValue(0.2);
        }
    }
    (s.LineWidth > 0 ? m_exactWidth : m_hairline)->setChecked(true);
    m_marginLeft->SetValue(s.MarginLeft);
    m_marginTop->SetValue(s.MarginTop);
}

bool TOptionsDlg::ApplyControls() {
    TSettings& s = m_program.Settings;
    const int oldLanguage = s.OutputLanguage;
    if (m_language->currentIndex() >= 0) {
        s.OutputLanguage = m_language->currentData().toInt();
    }
    for (QCheckBox* box : m_checks) {
        if (const BoolSetting* b = SettingOf(PlainText(box->text()))) {
            s.*(b->Field) = box->isChecked();
        }
    }
    s.MandelLabsPage = m_labsPerPage->value();
    if (QListWidgetItem* font = m_fonts->currentItem()) {
        s.OutputFontName = font->text().toStdString();
    }
    s.LineWidth = m_hairline->isChecked() ? -1.0 : std::round(m_width->value() * 10.0) / 10.0;
    s.MarginLeft = m_marginLeft->Value();
    s.MarginTop = m_marginTop->Value();

    if (s.OutputLanguage != oldLanguage) {
        m_program.TextLib.CloseTextLibrary();
        bool opened = false;
        try {
            opened = m_program.TextLib.OpenTextLibrary(m_program.ProgramDir /
                                                       LanguageFileName(s.OutputLanguage));
        } catch (const std::exception&) {
            opened = false;
        }
        if (!opened) {
            TUserInterface::Current().Message(this, windowTitle(),
                                              QString::fromLatin1(UnableToOpenLanguageFileMessage),
                                              QMessageBox::Warning);
            s.OutputLanguage = oldLanguage;
            m_program.TextLib.CloseTextLibrary();
            m_program.TextLib.OpenTextLibrary(m_program.ProgramDir / LanguageFileName(oldLanguage));
        }
    }
    bool saved = true;
    if (!m_settingsFile.empty()) {
        std::string error;
        saved = SaveSettings(s, m_settingsFile, &error);
        if (!saved) {
            TUserInterface::Current().Message(
                this, windowTitle(),
                tr("The settings could not be saved.\n%1").arg(QString::fromStdString(error)),
                QMessageBox::Warning);
        }
    }
    emit SettingsSaved();
    return saved;
}

void TOptionsDlg::accept() {
    ApplyControls();
    QDialog::accept();
}

} // namespace veltrio::gui
