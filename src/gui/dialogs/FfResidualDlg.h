#pragma once

#include <QDialog>

class QCheckBox;
class QRadioButton;
class QSpinBox;

namespace veltrio::gui {

// The options of a fast feedback round: the kind of residual, whether the
// forms are also saved as a text file, and the laboratories that get one.
class TFfResidualDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContextId = 900;

    explicit TFfResidualDlg(QWidget* parent = nullptr);

    // The spin boxes run from 1 to `lastLab` and are preset to that range;
    // every laboratory is chosen.
    void SetLastLab(int lastLab);

    bool ResistantResiduals() const;
    bool SaveAsFile() const;
    // 1 and the last laboratory, or the range typed in.
    int FirstLab() const;
    int LastLab() const;

    QRadioButton* ResistantButton() const { return m_resistant; }
    QRadioButton* GaussianButton() const { return m_gaussian; }
    QCheckBox* SaveAsFileBox() const { return m_save; }
    QRadioButton* AllLabsButton() const { return m_all; }
    QRadioButton* RangeButton() const { return m_range; }
    QSpinBox* FromBox() const { return m_from; }
    QSpinBox* ToBox() const { return m_to; }

signals:
    void HelpRequested(int helpContext);

private:
    QRadioButton* m_resistant;
    QRadioButton* m_gaussian;
    QCheckBox* m_save;
    QRadioButton* m_all;
    QRadioButton* m_range;
    QSpinBox* m_from;
    QSpinBox* m_to;
    int m_lastLab = 1;
};

} // namespace veltrio::gui
