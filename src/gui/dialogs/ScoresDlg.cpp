#include "gui/dialogs/ScoresDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "gui/widgets/UserInterface.h"

namespace veltrio::gui {

TScoresDlg::TScoresDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Performance Scores"));
    setProperty("helpContext", HelpContextId);

    auto* assigned = new QGroupBox(QStringLiteral("Assigned value X"), this);
    auto* assignedLayout = new QVBoxLayout(assigned);
    m_assigned[0] = new QRadioButton(
        QStringLiteral("&From the study file where it gives one, else the robust mean x*"));
    m_assigned[1] = new QRadioButton(QStringLiteral("From the study file &only"));
    m_assigned[2] = new QRadioButton(QStringLiteral("The robust &mean x* of every level"));
    for (QRadioButton* b : m_assigned) {
        assignedLayout->addWidget(b);
    }

    auto* sigma = new QGroupBox(QStringLiteral("Standard deviation for proficiency assessment"),
                                this);
    auto* sigmaLayout = new QGridLayout(sigma);
    m_sigma[0] = new QRadioButton(QStringLiteral("&Robust standard deviation s* (Algorithm A)"));
    m_sigma[1] = new QRadioButton(
        QStringLiteral("Reproducibility standard deviation s(&R) of the analysis of variance"));
    m_sigma[2] = new QRadioButton(QStringLiteral("&As given for each level:"));
    sigmaLayout->addWidget(m_sigma[0], 0, 0, 1, 4);
    sigmaLayout->addWidget(m_sigma[1], 1, 0, 1, 4);
    sigmaLayout->addWidget(m_sigma[2], 2, 0, 1, 4);
    auto* validator = new QDoubleValidator(0, 1e12, 10, this);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setLocale(QLocale::c());
    for (int i = 0; i < 3; ++i) {
        m_labels[i] = new QLabel(sigma);
        m_values[i] = new QLineEdit(sigma);
        m_values[i]->setObjectName(QStringLiteral("SigmaValue%1").arg(i + 1));
        m_values[i]->setValidator(validator);
        m_values[i]->setMaximumWidth(120);
        m_labels[i]->setBuddy(m_values[i]);
        sigmaLayout->addWidget(m_labels[i], 3 + i, 1);
        sigmaLayout->addWidget(m_values[i], 3 + i, 2);
        connect(m_values[i], &QLineEdit::textEdited, this, [this] { m_sigma[2]->setChecked(true); });
    }
    sigmaLayout->setColumnMinimumWidth(0, 20);
    sigmaLayout->setColumnStretch(3, 1);
    auto* sigmaGroup = new QButtonGroup(this);
    for (QRadioButton* b : m_sigma) {
        sigmaGroup->addButton(b);
        connect(b, &QRadioButton::toggled, this, [this] { UpdateValues(); });
    }

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TScoresDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { emit HelpRequested(HelpContextId); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(assigned);
    layout->addWidget(sigma);
    layout->addWidget(buttons);
    SetOptions({}, {});
}

QRadioButton* TScoresDlg::AssignedButton(TAssignedChoice choice) const {
    return m_assigned.at(static_cast<std::size_t>(choice));
}

QRadioButton* TScoresDlg::SigmaButton(TSigmaChoice choice) const {
    return m_sigma.at(static_cast<std::size_t>(choice));
}

void TScoresDlg::SetOptions(const TScoreOptions& options, const QStringList& levelNames) {
    m_levels = static_cast<int>(std::min<qsizetype>(levelNames.size(), 3));
    AssignedButton(options.Assigned)->setChecked(true);
    SigmaButton(options.Sigma)->setChecked(true);
    for (int i = 0; i < 3; ++i) {
        const bool shown = i < m_levels;
        m_labels[i]->setVisible(shown);
        m_values[i]->setVisible(shown);
        if (shown) {
            m_labels[i]->setText(levelNames.at(i) + QStringLiteral(":"));
        }
        const auto k = static_cast<std::size_t>(i);
        m_values[i]->setText(k < options.TypedSigma.size()
                                 ? QString::number(options.TypedSigma[k], 'g', 10)
                                 : QString());
    }
    UpdateValues();
}

void TScoresDlg::UpdateValues() {
    const bool typed = m_sigma[2]->isChecked();
    for (QLineEdit* e : m_values) {
        e->setEnabled(typed);
    }
}

TScoreOptions TScoresDlg::Options() const {
    TScoreOptions o;
    for (int i = 0; i < 3; ++i) {
        if (m_assigned[i]->isChecked()) {
            o.Assigned = static_cast<TAssignedChoice>(i);
        }
        if (m_sigma[i]->isChecked()) {
            o.Sigma = static_cast<TSigmaChoice>(i);
        }
    }
    for (int i = 0; i < m_levels; ++i) {
        bool ok = false;
        const double v = QLocale::c().toDouble(m_values[i]->text().trimmed(), &ok);
        o.TypedSigma.push_back(ok && std::isfinite(v) && v > 0 ? v : MissingValue);
    }
    return o;
}

void TScoresDlg::accept() {
    if (m_sigma[2]->isChecked()) {
        const TScoreOptions o = Options();
        for (int i = 0; i < m_levels; ++i) {
            if (o.TypedSigma[static_cast<std::size_t>(i)] == MissingValue) {
                TUserInterface::Current().Message(
                    this, windowTitle(),
                    QStringLiteral("Give a standard deviation above 0 for %1, for example 0.25.")
                        .arg(m_labels[i]->text().chopped(1)),
                    QMessageBox::Warning);
                m_values[i]->setFocus();
                return;
            }
        }
    }
    QDialog::accept();
}

} // namespace veltrio::gui
