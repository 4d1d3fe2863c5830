#include "gui/dialogs/ChoseMethodDlg.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace veltrio::gui {

namespace {

// A code dragged from the list, and a cell dragged from the grid.
const QString CodeMime = QStringLiteral("application/x-veltrio-method-code");
const QString CellMime = QStringLiteral("application/x-veltrio-method-cell");

QByteArray CellData(int row, int col) {
    return QByteArray::number(row) + ',' + QByteArray::number(col);
}
bool ParseCell(const QByteArray& data, int& row, int& col) {
    const QList<QByteArray> parts = data.split(',');
    if (parts.size() != 2) {
        return false;
    }
    bool ok1 = false, ok2 = false;
    row = parts[0].toInt(&ok1);
    col = parts[1].toInt(&ok2);
    return ok1 && ok2;
}

} // namespace

QString TChoseMethodDlg::CodeMimeType() {
    return CodeMime;
}
QString TChoseMethodDlg::CellMimeType() {
    return CellMime;
}

TChoseMethodDlg::TChoseMethodDlg(QWidget* parent)
    : QDialog(parent), m_methods(new QListWidget(this)), m_grid(new QTableWidget(this)),
      m_display(new QButtonGroup(this)) {
    setWindowTitle(QStringLiteral("ChoseMethodDlg"));
    setObjectName(QStringLiteral("ChoseMethodDlg"));
    setProperty("helpContext", HelpContextId);

    auto* methodsLabel = new QLabel(QStringLiteral("Methods :"), this);
    methodsLabel->setBuddy(m_methods);
    m_methods->setObjectName(QStringLiteral("Methods"));
    m_methods->setMaximumWidth(140);
    m_methods->viewport()->installEventFilter(this);

    auto* gridLabel = new QLabel(QStringLiteral("Method groups :"), this);
    gridLabel->setBuddy(m_grid);
    m_grid->setObjectName(QStringLiteral("MthGrid"));
    m_grid->setRowCount(GroupRows);
    m_grid->setColumnCount(1);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setCurrentCell(0, 0);
    m_grid->viewport()->setAcceptDrops(true);
    m_grid->viewport()->installEventFilter(this);
    m_methods->viewport()->setAcceptDrops(true);
    setAcceptDrops(true);

    auto* hint = new QLabel(
        QStringLiteral("Drag and drop methods to create groups for confidence ellipses."), this);
    hint->setWordWrap(true);

    auto* box = new QGroupBox(QStringLiteral("Select Display Type :"), this);
    box->setObjectName(QStringLiteral("Display"));
    auto* markers =
        new QRadioButton(QStringLiteral("Display Confidence Ellipsis with Markers"), box);
    auto* numbers =
        new QRadioButton(QStringLiteral("Display Confidence Ellipsis with Method Numbers"), box);
    m_display->addButton(markers, 0);
    m_display->addButton(numbers, 1);
    markers->setChecked(true);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(markers);
    boxLayout->addWidget(numbers);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { emit HelpRequested(HelpContextId); });
    connect(m_methods, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { AddToCurrentRow(item->text()); });

    auto* left = new QVBoxLayout;
    left->addWidget(methodsLabel);
    left->addWidget(m_methods);
    auto* right = new QVBoxLayout;
    right->addWidget(gridLabel);
    right->addWidget(m_grid);
    right->addWidget(hint);
    right->addWidget(box);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    resize(560, 380);
}

void TChoseMethodDlg::SetCodes(const std::vector<std::string>& codes) {
    m_methods->clear();
    for (const auto& c : codes) {
        m_methods->addItem(QString::fromStdString(c));
    }
    m_grid->clearContents();
    m_grid->setColumnCount(std::max<int>(1, static_cast<int>(codes.size())));
    for (int c = 0; c < m_grid->columnCount(); ++c) {
        m_grid->setColumnWidth(c, 70);
    }
    m_grid->setCurrentCell(0, 0);
    m_display->button(0)->setChecked(true);
}

QString TChoseMethodDlg::CellText(int row, int col) const {
    const QTableWidgetItem* item = m_grid->item(row, col);
    return item ? item->text() : QString();
}

void TChoseMethodDlg::SetCell(int row, int col, const QString& code) {
    if (code.isEmpty()) {
        delete m_grid->takeItem(row, col);
        return;
    }
    m_grid->setItem(row, col, new QTableWidgetItem(code));
}

bool TChoseMethodDlg::RowHolds(int row, const QString& code) const {
    for (int c = 0; c < m_grid->columnCount(); ++c) {
        const QString t = CellText(row, c);
        if (t.isEmpty()) {
            return false;
        }
        if (t == code) {
            return true;
        }
    }
    return false;
}

bool TChoseMethodDlg::CanDrop(int row, int col, const QString& code) const {
    if (row < 0 || row >= m_grid->rowCount() || col < 0 || col >= m_grid->columnCount() ||
        code.isEmpty()) {
        return false;
    }
    if (RowHolds(row, code)) {
        return false;
    }
    return col == 0 || !CellText(row, col - 1).isEmpty();
}

bool TChoseMethodDlg::DropCode(int row, int col, const QString& code) {
    if (!CanDrop(row, col, code)) {
        return false;
    }
    SetCell(row, col, code);
    return true;
}

void TChoseMethodDlg::CloseGap(int row) {
    const int cols = m_grid->columnCount();
    int gap = -1;
    for (int c = 0; c < cols; ++c) {
        if (CellText(row, c).isEmpty()) {
            gap = c;
            break;
        }
    }
    if (gap < 0) {
        return;
    }
    for (int c = gap; c + 1 < cols; ++c) {
        SetCell(row, c, CellText(row, c + 1));
    }
    SetCell(row, cols - 1, QString());
}

bool TChoseMethodDlg::MoveCell(int fromRow, int fromCol, int row, int col) {
    const QString code = CellText(fromRow, fromCol);
    if (code.isEmpty() || (fromRow == row && fromCol == col)) {
        return false;
    }
    // Within its own row the code is already there: a move to a later cell
    // would only leave a gap.
    if (!CanDrop(row, col, code)) {
        return false;
    }
    SetCell(row, col, code);
    SetCell(fromRow, fromCol, QString());
    CloseGap(fromRow);
    return true;
}

void TChoseMethodDlg::RemoveCell(int row, int col) {
    if (CellText(row, col).isEmpty()) {
        return;
    }
    SetCell(row, col, QString());
    CloseGap(row);
}

void TChoseMethodDlg::AddToCurrentRow(const QString& code) {
    const int row = std::max(0, m_grid->currentRow());
    if (RowHolds(row, code)) {
        return;
    }
    const int cols = m_grid->columnCount();
    int col = cols - 1;
    for (int c = 0; c < cols; ++c) {
        if (CellText(row, c).isEmpty()) {
            col = c;
            break;
        }
    }
    SetCell(row, col, code);
}

TMethodGroupChoice TChoseMethodDlg::Choice() const {
    TMethodGroupChoice choice;
    for (int r = 0; r < GroupRows && r < static_cast<int>(choice.Groups.size()); ++r) {
        for (int c = 0; c < m_grid->columnCount(); ++c) {
            const QString t = CellText(r, c);
            if (!t.isEmpty()) {
                choice.Groups[static_cast<std::size_t>(r)].push_back(t.toStdString());
            }
        }
    }
    choice.DisplayType = std::max(0, m_display->checkedId());
    return choice;
}

void TChoseMethodDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(CellMime)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TChoseMethodDlg::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasFormat(CellMime)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TChoseMethodDlg::dropEvent(QDropEvent* event) {
    int row = -1, col = -1;
    if (event->mimeData()->hasFormat(CellMime) &&
        ParseCell(event->mimeData()->data(CellMime), row, col)) {
        RemoveCell(row, col);
        event->acceptProposedAction();
    }
}

bool TChoseMethodDlg::eventFilter(QObject* watched, QEvent* event) {
    const bool onGrid = watched == m_grid->viewport();
    const bool onList = watched == m_methods->viewport();
    if (!onGrid && !onList) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton) {
            break;
        }
        if (onList) {
            // Dragging starts once the mouse moves; a click selects.
            break;
        }
        const QModelIndex index = m_grid->indexAt(e->position().toPoint());
        if (!index.isValid()) {
            break;
        }
        m_grid->setCurrentCell(index.row(), index.column());
        if (CellText(index.row(), index.column()).isEmpty()) {
            return true;
        }
        auto* mime = new QMimeData;
        mime->setData(CellMime, CellData(index.row(), index.column()));
        mime->setText(CellText(index.row(), index.column()));
        auto* drag = new QDrag(m_grid);
        drag->setMimeData(mime);
        // The drop does the work: on another cell a move, on the list or
        // the form a removal; anywhere else nothing changes.
        drag->exec(Qt::MoveAction);
        return true;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (!onList || !(e->buttons() & Qt::LeftButton)) {
            break;
        }
        QListWidgetItem* item = m_methods->currentItem();
        if (!item) {
            break;
        }
        auto* mime = new QMimeData;
        mime->setData(CodeMime, item->text().toUtf8());
        mime->setText(item->text());
        auto* drag = new QDrag(m_methods);
        drag->setMimeData(mime);
        drag->exec(Qt::CopyAction);
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(event);
        const QMimeData* mime = e->mimeData();
        if (onList) {
            if (mime->hasFormat(CellMime)) {
                e->acceptProposedAction();
            } else {
                e->ignore();
            }
            return true;
        }
        const QModelIndex index = m_grid->indexAt(e->position().toPoint());
        QString code;
        int fr = -1, fc = -1;
        if (mime->hasFormat(CodeMime)) {
            code = QString::fromUtf8(mime->data(CodeMime));
        } else if (mime->hasFormat(CellMime) && ParseCell(mime->data(CellMime), fr, fc)) {
            code = CellText(fr, fc);
        }
        if (event->type() == QEvent::DragEnter) {
            e->acceptProposedAction();
        } else if (index.isValid() && CanDrop(index.row(), index.column(), code)) {
            e->acceptProposedAction();
        } else {
            e->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const QMimeData* mime = e->mimeData();
        int fr = -1, fc = -1;
        const bool cell = mime->hasFormat(CellMime) && ParseCell(mime->data(CellMime), fr, fc);
        if (onList) {
            if (cell) {
                RemoveCell(fr, fc);
                e->acceptProposedAction();
            }
            return true;
        }
        const QModelIndex index = m_grid->indexAt(e->position().toPoint());
        if (index.isValid()) {
            const bool done = cell ? MoveCell(fr, fc, index.row(), index.column())
                                   : DropCode(index.row(), index.column(),
                                              QString::fromUtf8(mime->data(CodeMime)));
            if (done) {
                e->acceptProposedAction();
            }
        }
        return true;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace veltrio::gui
