#pragma once

#include <QDialog>
#include <QStringList>
#include <array>

#include "labs/PerformanceScores.h"

class QLineEdit;
class QLabel;
class QRadioButton;

namespace veltrio::gui {

// The choices of the performance scores: where the assigned value comes
// from, and the standard deviation for proficiency assessment (the robust
// s*, the reproducibility s(R), or a value per level as typed).
class TScoresDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContextId = PerformanceScoresHelpContext;

    explicit TScoresDlg(QWidget* parent = nullptr);

    // Shows the choices and names the levels (at most three) of the typed
    // values.
    void SetOptions(const TScoreOptions& options, const QStringList& levelNames);
    TScoreOptions Options() const;

    QRadioButton* AssignedButton(TAssignedChoice choice) const;
    QRadioButton* SigmaButton(TSigmaChoice choice) const;
    QLineEdit* SigmaEdit(int level) const { return m_values.at(static_cast<std::size_t>(level)); }

    void accept() override;

signals:
    void HelpRequested(int helpContext);

private:
    void UpdateValues();

    std::array<QRadioButton*, 3> m_assigned{};
    std::array<QRadioButton*, 3> m_sigma{};
    std::array<QLabel*, 3> m_labels{};
    std::array<QLineEdit*, 3> m_values{};
    int m_levels = 0;
};

} // namespace veltrio::gui
