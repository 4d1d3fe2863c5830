#pragma once

#include <QDialog>
#include <memory>

class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;

namespace veltrio {
class Program;
class TWeights;
class TGraphWindow;
} // namespace veltrio

namespace veltrio::gui {

// "Determination of weight function": the points of s(r), s(L) and s(R)
// against the assigned values with the curve of the relation in use. The
// list offers the five relations (those without a positive weight at every
// level are greyed out and cannot be chosen); a choice redraws the curve at
// once. OK keeps the relation; the command restores the one of before when
// the dialog is cancelled.
class TWeightFuncGraphForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContextId = 1400;

    // `printer` is the program's printer; the dialog uses its own without one.
    TWeightFuncGraphForm(Program& program, TWeights& weights, QPrinter* printer = nullptr,
                         QWidget* parent = nullptr);
    ~TWeightFuncGraphForm() override;

    QComboBox* cbRelation() const { return m_relation; }
    QLabel* lblBestRelation() const { return m_best; }
    QWidget* ChartArea() const { return m_area; }
    TGraphWindow& Chart() const { return *m_chart; }
    QPushButton* PrintButton() const { return m_print; }
    QPushButton* CopyButton() const { return m_copy; }

    // The chart page for the clipboard.
    void CopyChart();
    void PrintChart();

signals:
    void HelpRequested(int helpContext);

private:
    void cbRelationChange(int index);
    void Redraw();

    Program& m_program;
    TWeights& m_weights;
    std::shared_ptr<TGraphWindow> m_chart;
    QComboBox* m_relation;
    QLabel* m_best;
    QWidget* m_area;
    QPushButton* m_print;
    QPushButton* m_copy;
    QPrinter* m_printer;
    std::unique_ptr<QPrinter> m_ownPrinter;
};

} // namespace veltrio::gui
