#include "gui/dialogs/ExcludeLabDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace veltrio::gui {

namespace {
// The item data role that carries the laboratory index.
constexpr int LabRole = Qt::UserRole + 1;
} // namespace

TExcludeLabDlg::TExcludeLabDlg(QWidget* parent) : QDialog(parent), m_list(new QListWidget(this)) {
    setWindowTitle(QString::fromUtf8(ExcludeLabCaption));
    setProperty("helpContext", HelpContextId);
    auto* prompt = new QLabel(QString::fromUtf8(ExcludeLabPrompt), this);
    prompt->setBuddy(m_list);
    m_list->setObjectName(QStringLiteral("LBLabList"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { emit HelpRequested(HelpContextId); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

void TExcludeLabDlg::SetLabs(const std::vector<TExcludableLab>& labs) {
    m_list->clear();
    for (const TExcludableLab& lab : labs) {
        auto* item = new QListWidgetItem(QString::fromStdString(lab.RandCode), m_list);
        item->setData(LabRole, lab.Lab);
    }
}

std::vector<int> TExcludeLabDlg::SelectedLabs() const {
    std::vector<int> labs;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        if (item->isSelected()) {
            labs.push_back(item->data(LabRole).toInt());
        }
    }
    return labs;
}

} // namespace veltrio::gui
