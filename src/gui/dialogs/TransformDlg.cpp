#include "gui/dialogs/TransformDlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace veltrio::gui {

TTransformDlg::TTransformDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Transformation"));
    setProperty("helpContext", HelpContextId);
    auto* group = new QGroupBox(QStringLiteral("Choose tranformation"), this);
    auto* groupLayout = new QVBoxLayout(group);
    const char* captions[] = {"No transformation", "ln  ", "log10", "Square root", "Inverse (1/x)"};
    for (std::size_t i = 0; i < m_choices.size(); ++i) {
        m_choices[i] = new QRadioButton(QString::fromLatin1(captions[i]), group);
        groupLayout->addWidget(m_choices[i]);
    }
    m_choices[0]->setChecked(true);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { emit HelpRequested(HelpContextId); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

int TTransformDlg::ItemIndex() const {
    for (std::size_t i = 0; i < m_choices.size(); ++i) {
        if (m_choices[i]->isChecked()) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

void TTransformDlg::SetItemIndex(int index) {
    if (index < 0 || index >= static_cast<int>(m_choices.size())) {
        index = 0;
    }
    m_choices[static_cast<std::size_t>(index)]->setChecked(true);
}

} // namespace veltrio::gui
