#pragma once

#include <QDialog>
#include <array>

class QRadioButton;

namespace veltrio::gui {

// The choice of a transformation: a radio group with the five choices. The
// dialog keeps the chosen index when it closes.
class TTransformDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContextId = 2300;

    explicit TTransformDlg(QWidget* parent = nullptr);

    // 0 none, 1 ln, 2 log10, 3 square root, 4 inverse.
    int ItemIndex() const;
    void SetItemIndex(int index);

signals:
    void HelpRequested(int helpContext);

private:
    std::array<QRadioButton*, 5> m_choices{};
};

} // namespace veltrio::gui
