#pragma once

#include <QDialog>
#include <vector>

#include "preliminary/ExcludeLab.h"

class QListWidget;

namespace veltrio::gui {

// The choice of the laboratories to exclude: the codes of the laboratories
// not yet excluded, several of which may be selected. Each entry carries its
// laboratory's index.
class TExcludeLabDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContextId = ExcludeLabHelpContext;

    explicit TExcludeLabDlg(QWidget* parent = nullptr);

    // Fills LBLabList, nothing selected.
    void SetLabs(const std::vector<TExcludableLab>& labs);
    // The indices of the selected laboratories, in list order.
    std::vector<int> SelectedLabs() const;
    QListWidget* LBLabList() const { return m_list; }

signals:
    void HelpRequested(int helpContext);

private:
    QListWidget* m_list;
};

} // namespace veltrio::gui
