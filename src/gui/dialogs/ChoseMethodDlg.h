#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "base/Host.h"

class QButtonGroup;
class QListWidget;
class QTableWidget;

namespace veltrio::gui {

// The method grouping of the confidence ellipses: the study's method codes
// in a list, five groups in a grid that the codes are dragged into (or
// double-clicked into the current row), and the display type.
class TChoseMethodDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContextId = 2200;
    static constexpr int GroupRows = 5;

    explicit TChoseMethodDlg(QWidget* parent = nullptr);

    // Fills the list and gives the grid one column per code (at least one),
    // every cell empty; markers selected.
    void SetCodes(const std::vector<std::string>& codes);
    // The groups of the grid's rows and the display type.
    TMethodGroupChoice Choice() const;

    // The rules of the drag and drop, also used by the mouse handlers.
    // A code may go into a cell of the grid when the row does not hold it
    // yet and the cell is the first of its row or its left neighbour holds
    // a code.
    bool CanDrop(int row, int col, const QString& code) const;
    // Writes a code from the list into a cell (when allowed).
    bool DropCode(int row, int col, const QString& code);
    // Moves a cell's code to another cell (when allowed), then closes the
    // gap in the source row.
    bool MoveCell(int fromRow, int fromCol, int row, int col);
    // Removes a cell's code and closes the gap in its row.
    void RemoveCell(int row, int col);
    // A double click on a code: into the first empty cell of the current
    // row (the last cell when the row is full), unless the row holds it.
    void AddToCurrentRow(const QString& code);
    QString CellText(int row, int col) const;

    // The drag data: a code from the list ("code"), a cell of the grid
    // ("row,col").
    static QString CodeMimeType();
    static QString CellMimeType();

    QListWidget* Methods() const { return m_methods; }
    QTableWidget* MthGrid() const { return m_grid; }
    QButtonGroup* Display() const { return m_display; }

signals:
    void HelpRequested(int helpContext);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A grid cell dropped on the form, its panel or a label leaves the grid.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool RowHolds(int row, const QString& code) const;
    void SetCell(int row, int col, const QString& code);
    void CloseGap(int row);

    QListWidget* m_methods;
    QTableWidget* m_grid;
    QButtonGroup* m_display;
};

} // namespace veltrio::gui
