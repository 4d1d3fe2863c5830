#pragma once

#include <QDialog>
#include <filesystem>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace veltrio {
class Program;
}

namespace veltrio::gui {

class TFloatEdit;
class TFloatSpinEdit;

// The Options dialog: the settings on three pages. OK copies the controls into
// the settings, opens the language file of a new output language (going back
// to the old one when it cannot be opened) and saves the settings file.
class TOptionsDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContextId = 1300;

    TOptionsDlg(Program& program, QWidget* parent = nullptr);

    // Where the settings are saved; empty: not saved.
    void SetSettingsFile(std::filesystem::path path) { m_settingsFile = std::move(path); }

    // First page, controls loaded from the settings, then modal.
    int Execute();
    void LoadControls();
    // The OK button's work: false when the settings could not be saved.
    bool ApplyControls();

    QTabWidget* Pages() const { return m_pages; }
    QComboBox* Language() const { return m_language; }
    QListWidget* Fonts() const { return m_fonts; }
    QRadioButton* Hairline() const { return m_hairline; }
    QRadioButton* ExactWidth() const { return m_exactWidth; }
    TFloatSpinEdit* Width() const { return m_width; }
    TFloatEdit* MarginLeft() const { return m_marginLeft; }
    TFloatEdit* MarginTop() const { return m_marginTop; }
    QSpinBox* LabsPerPage() const { return m_labsPerPage; }
    // The check box of a boolean setting by its caption.
    QCheckBox* Check(const QString& caption) const;

    // OK.
    void accept() override;

signals:
    void PrintSetupRequested();
    void HelpRequested(int helpContext);
    // After OK has saved the settings.
    void SettingsSaved();

private:
    QCheckBox* AddCheck(QWidget* page, const QString& caption);

    Program& m_program;
    std::filesystem::path m_settingsFile;
    QTabWidget* m_pages;
    QComboBox* m_language = nullptr;
    QListWidget* m_fonts = nullptr;
    QLabel* m_fontExample = nullptr;
    QRadioButton* m_hairline = nullptr;
    QRadioButton* m_exactWidth = nullptr;
    TFloatSpinEdit* m_width = nullptr;
    TFloatEdit* m_marginLeft = nullptr;
    TFloatEdit* m_marginTop = nullptr;
    QSpinBox* m_labsPerPage = nullptr;
    QList<QCheckBox*> m_checks;
};

} // namespace veltrio::gui
