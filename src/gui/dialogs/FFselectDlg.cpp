#include "gui/dialogs/FFselectDlg.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace veltrio::gui {

namespace {

constexpr int PathRole = Qt::UserRole + 1;

// After rows were taken out of `list`, the entry at the old position of the
// first of them (or the last one) becomes the selected one.
void SelectNear(QListWidget* list, int row) {
    list->clearSelection();
    if (list->count() == 0) {
        return;
    }
    row = std::clamp(row, 0, list->count() - 1);
    list->setCurrentRow(row);
    list->item(row)->setSelected(true);
}

int FirstSelectedRow(const QListWidget* list) {
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected()) {
            return row;
        }
    }
    return -1;
}

} // namespace

TFFselectDlg::TFFselectDlg(QWidget* parent)
    : QDialog(parent), m_tree(new QListWidget(this)),
      m_folderEdit(new QLineEdit(this)), m_unselected(new QListWidget(this)),
      m_selected(new QListWidget(this)), m_add(new QPushButton(QStringLiteral(">"), this)),
      m_addAll(new QPushButton(QStringLiteral(">>"), this)),
      m_remove(new QPushButton(QStringLiteral("<"), this)),
      m_removeAll(new QPushButton(QStringLiteral("<<"), this)) {
    setWindowTitle(QStringLiteral("Fast Feedback File Selection"));
    setProperty("helpContext", HelpContextId);

    m_tree->setObjectName(QStringLiteral("DirectoryList"));
    m_tree->setMinimumWidth(200);
    m_tree->setToolTip(QStringLiteral("Double-click a folder to open it"));
    connect(m_tree, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        SetDirectory(QDir(m_folder).filePath(item->text()));
    });
    m_folderEdit->setObjectName(QStringLiteral("DirectoryEdit"));
    connect(m_folderEdit, &QLineEdit::returnPressed, this, [this] {
        const QString folder = m_folderEdit->text().trimmed();
        if (QFileInfo(folder).isDir()) {
            SetDirectory(folder);
        } else {
            m_folderEdit->setText(QDir::toNativeSeparators(m_folder));
        }
    });

    m_unselected->setObjectName(QStringLiteral("UnselectedFiles"));
    m_selected->setObjectName(QStringLiteral("SelectedFiles"));
    for (QListWidget* list : {m_unselected, m_selected}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setMinimumWidth(160);
        connect(list, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    }
    connect(m_unselected, &QListWidget::itemDoubleClicked, this, [this] { AddSelected(); });
    connect(m_selected, &QListWidget::itemDoubleClicked, this, [this] { RemoveSelected(); });
    m_add->setObjectName(QStringLiteral("Add"));
    m_addAll->setObjectName(QStringLiteral("AddAll"));
    m_remove->setObjectName(QStringLiteral("Remove"));
    m_removeAll->setObjectName(QStringLiteral("RemoveAll"));
    m_add->setToolTip(QStringLiteral("Choose the selected files"));
    m_addAll->setToolTip(QStringLiteral("Choose every file of the directory"));
    m_remove->setToolTip(QStringLiteral("Give back the selected chosen files"));
    m_removeAll->setToolTip(QStringLiteral("Give back every chosen file"));
    connect(m_add, &QPushButton::clicked, this, [this] { AddSelected(); });
    connect(m_addAll, &QPushButton::clicked, this, [this] { AddAll(); });
    connect(m_remove, &QPushButton::clicked, this, [this] { RemoveSelected(); });
    connect(m_removeAll, &QPushButton::clicked, this, [this] { RemoveAll(); });

    auto* folderLabel = new QLabel(QStringLiteral("&Directory:"), this);
    folderLabel->setBuddy(m_folderEdit);
    auto* unselectedLabel = new QLabel(QStringLiteral("&UnSelected Files:"), this);
    unselectedLabel->setBuddy(m_unselected);
    auto* selectedLabel = new QLabel(QStringLiteral("&Selected Files:"), this);
    selectedLabel->setBuddy(m_selected);

    auto* moves = new QVBoxLayout;
    moves->addStretch();
    for (QPushButton* b : {m_add, m_addAll, m_remove, m_removeAll}) {
        b->setFixedWidth(48);
        b->setAutoDefault(false);
        moves->addWidget(b);
    }
    moves->addStretch();

    auto* grid = new QGridLayout;
    grid->addWidget(folderLabel, 0, 0);
    grid->addWidget(m_folderEdit, 1, 0);
    grid->addWidget(m_tree, 2, 0);
    grid->addWidget(unselectedLabel, 0, 1, 2, 1, Qt::AlignBottom);
    grid->addWidget(m_unselected, 2, 1);
    grid->addLayout(moves, 2, 2);
    grid->addWidget(selectedLabel, 0, 3, 2, 1, Qt::AlignBottom);
    grid->addWidget(m_selected, 2, 3);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 2);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { emit HelpRequested(HelpContextId); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    resize(760, 420);
    SetDirectory(QDir::homePath());
}

void TFFselectDlg::FillFolders() {
    m_tree->clear();
    QDir dir(m_folder);
    if (!dir.isRoot()) {
        m_tree->addItem(QStringLiteral(".."));
    }
    m_tree->addItems(
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
    for (int row = 0; row < m_tree->count(); ++row) {
        m_tree->item(row)->setIcon(folder);
    }
}

QString TFFselectDlg::PathOf(const QString& name) const {
    return QDir(m_folder).filePath(name);
}

void TFFselectDlg::SetDirectory(const QString& folder) {
    m_folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    m_folderEdit->setText(QDir::toNativeSeparators(m_folder));
    FillFolders();
    Refill();
}

void TFFselectDlg::Refill() {
    m_unselected->clear();
    QDir dir(m_folder);
    QStringList names = dir.entryList({QStringLiteral("*.PAR")}, QDir::Files | QDir::Readable,
                                      QDir::Name | QDir::IgnoreCase);
    // Name filters match without regard to case on every platform.
    for (const QString& name : names) {
        const QString path = PathOf(name);
        if (m_paths.contains(path)) {
            continue;
        }
        auto* item = new QListWidgetItem(name, m_unselected);
        item->setData(PathRole, path);
    }
    UpdateButtons();
}

bool TFFselectDlg::Probe(const QString& path) {
    const int labs = m_probe ? m_probe(path) : 1;
    if (labs <= 0) {
        return false;
    }
    m_largest = std::max(m_largest, labs);
    return true;
}

void TFFselectDlg::AddSelected() {
    const int first = FirstSelectedRow(m_unselected);
    if (first < 0) {
        return;
    }
    // Every selected file is checked; one that does not read stays behind
    // (its message was shown) and the others go on.
    for (int row = 0; row < m_unselected->count();) {
        QListWidgetItem* item = m_unselected->item(row);
        const QString path = item->data(PathRole).toString();
        if (item->isSelected() && Probe(path)) {
            m_paths.push_back(path);
            m_selected->addItem(m_unselected->takeItem(row));
            m_selected->item(m_selected->count() - 1)->setSelected(false);
        } else {
            ++row;
        }
    }
    SelectNear(m_unselected, first);
    UpdateButtons();
}

void TFFselectDlg::AddAll() {
    for (int row = 0; row < m_unselected->count(); ++row) {
        m_unselected->item(row)->setSelected(true);
    }
    AddSelected();
}

void TFFselectDlg::RemoveSelected() {
    const int first = FirstSelectedRow(m_selected);
    if (first < 0) {
        return;
    }
    for (int row = 0; row < m_selected->count();) {
        if (m_selected->item(row)->isSelected()) {
            QListWidgetItem* item = m_selected->takeItem(row);
            m_paths.removeAll(item->data(PathRole).toString());
            delete item;
        } else {
            ++row;
        }
    }
    // The files given back are offered again when they are in the directory
    // shown.
    Refill();
    SelectNear(m_selected, first);
    UpdateButtons();
}

void TFFselectDlg::RemoveAll() {
    m_selected->clear();
    m_paths.clear();
    Refill();
}

void TFFselectDlg::UpdateButtons() {
    const bool unselected = m_unselected->count() > 0;
    const bool selected = m_selected->count() > 0;
    m_add->setEnabled(unselected);
    m_addAll->setEnabled(unselected);
    m_remove->setEnabled(selected);
    m_removeAll->setEnabled(selected);
}

} // namespace veltrio::gui
