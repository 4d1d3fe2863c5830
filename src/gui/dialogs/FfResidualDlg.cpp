#include "gui/dialogs/FfResidualDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace veltrio::gui {

TFfResidualDlg::TFfResidualDlg(QWidget* parent)
    : QDialog(parent), m_resistant(new QRadioButton(QStringLiteral("&Resistant Residuals"))),
      m_gaussian(new QRadioButton(QStringLiteral("&Gaussian Residuals"))),
      m_save(new QCheckBox(QStringLiteral("Save as &File"))),
      m_all(new QRadioButton(QStringLiteral("Show &all laboratories"))),
      m_range(new QRadioButton(QStringLiteral("Show the &laboratories"))), m_from(new QSpinBox),
      m_to(new QSpinBox) {
    setWindowTitle(QStringLiteral("Fast Feedback Residual"));
    setProperty("helpContext", HelpContextId);

    auto* type = new QGroupBox(QStringLiteral("Choose Residual Type:"), this);
    auto* typeLayout = new QVBoxLayout(type);
    typeLayout->addWidget(m_resistant);
    typeLayout->addWidget(m_gaussian);
    m_resistant->setChecked(true);

    m_save->setChecked(true);

    auto* labs = new QGroupBox(QStringLiteral("Select laboratories"), this);
    auto* labsLayout = new QGridLayout(labs);
    labsLayout->addWidget(m_all, 0, 0, 1, 5);
    labsLayout->addWidget(m_range, 1, 0);
    auto* from = new QLabel(QStringLiteral("from"));
    auto* to = new QLabel(QStringLiteral("to"));
    from->setBuddy(m_from);
    to->setBuddy(m_to);
    labsLayout->addWidget(from, 1, 1);
    labsLayout->addWidget(m_from, 1, 2);
    labsLayout->addWidget(to, 1, 3);
    labsLayout->addWidget(m_to, 1, 4);
    labsLayout->setColumnStretch(5, 1);
    auto* group = new QButtonGroup(this);
    group->addButton(m_all);
    group->addButton(m_range);
    m_all->setChecked(true);
    m_from->setObjectName(QStringLiteral("FromLab"));
    m_to->setObjectName(QStringLiteral("ToLab"));
    for (QSpinBox* box : {m_from, m_to}) {
        box->setMinimumWidth(64);
        connect(box, &QSpinBox::valueChanged, this, [this] { m_range->setChecked(true); });
    }
    SetLastLab(1);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { emit HelpRequested(HelpContextId); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(type);
    layout->addWidget(m_save);
    layout->addWidget(labs);
    layout->addWidget(buttons);
}

void TFfResidualDlg::SetLastLab(int lastLab) {
    m_lastLab = std::max(1, lastLab);
    for (QSpinBox* box : {m_from, m_to}) {
        const QSignalBlocker block(box);
        box->setRange(1, m_lastLab);
    }
    const QSignalBlocker blockFrom(m_from);
    const QSignalBlocker blockTo(m_to);
    m_from->setValue(1);
    m_to->setValue(m_lastLab);
    m_all->setChecked(true);
}

bool TFfResidualDlg::ResistantResiduals() const {
    return m_resistant->isChecked();
}

bool TFfResidualDlg::SaveAsFile() const {
    return m_save->isChecked();
}

int TFfResidualDlg::FirstLab() const {
    return m_range->isChecked() ? m_from->value() : 1;
}

int TFfResidualDlg::LastLab() const {
    return m_range->isChecked() ? m_to->value() : m_lastLab;
}

} // namespace veltrio::gui
