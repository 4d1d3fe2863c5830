#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <vector>

#include "tools/RepTexts.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace veltrio {
class Program;
}

namespace veltrio::gui {

// The names of the laboratories: a grid of codes and names, filled from a
// text file of "name;code" lines with "Load".
class TLabNamesForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int Rows = 199;
    explicit TLabNamesForm(QWidget* parent = nullptr);
    void SetNames(const std::vector<TLabName>& names);
    // Every row with a code, in row order; codes cut to 10 characters,
    // names to 255.
    std::vector<TLabName> Names() const;
    // Fills the grid from a laboratory-names text file; false (a message
    // shown) when it cannot be read.
    bool LoadFile(const QString& path);

    QTableWidget* Grid() const { return m_grid; }
    QPushButton* LoadButton() const { return m_load; }

private:
    QTableWidget* m_grid;
    QPushButton* m_load;
};

// The legends of the assessment codes A, A* and I.
class TLegendForm : public QDialog {
    Q_OBJECT
public:
    explicit TLegendForm(QWidget* parent = nullptr);
    void SetLegends(const std::vector<std::string>& legends);
    std::vector<std::string> Legends() const;
    QTableWidget* Grid() const { return m_grid; }

private:
    QTableWidget* m_grid;
};

// "Texts for laboratory reports": the texts of the test, the data files
// with their limits, the signature and the two switches, with the laboratory
// names and the legends in dialogs of their own. It edits a copy; OK checks
// every limit first and, when all are numbers, writes the report-texts file
// and only then takes the copy.
class TRepTextsForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContextId = 900;
    static constexpr int FileColumns = 10;

    TRepTextsForm(Program& program, TRepTexts& texts, QWidget* parent = nullptr);

    // The choice of the data files ("Edit parameter files"): given the
    // folder to start in and the names to preselect, the chosen folder and
    // names, or false on Cancel. The program sets the file selection
    // dialog; tests give their own.
    using TChooseFiles =
        std::function<bool(const QString& folder, const QStringList& names, QString& chosenFolder,
                           QStringList& chosenNames)>;
    void SetChooseFiles(TChooseFiles choose) { m_choose = std::move(choose); }

    // Checks and takes what the window shows; false (with a message, the
    // window open) when a limit is not a number or the file cannot be
    // written.
    bool Commit();

    // The working copy of the texts as the window shows them.
    const TRepTexts& Working() const { return m_work; }
    QTableWidget* FileGrid() const { return m_files; }
    QLineEdit* Edit(const char* field) const;
    QPlainTextEdit* Memo(int index) const { return m_memos[index]; }
    QCheckBox* UseLabNamesBox() const { return m_useNames; }
    QCheckBox* ShowLegendBox() const { return m_showLegend; }
    QPushButton* EditFilesButton() const { return m_editFiles; }
    QPushButton* LabNamesButton() const { return m_labNames; }
    QPushButton* LegendButton() const { return m_legend; }

signals:
    void HelpRequested(int helpContext);

private:
    void FillControls();
    void FillFileGrid(const std::vector<QStringList>& rows);
    std::vector<QStringList> GridRows() const;
    void EditParameterFiles();
    void EditLabNames();
    void EditLegends();
    void accept() override;

    Program& m_program;
    TRepTexts& m_texts;
    TRepTexts m_work;
    TChooseFiles m_choose;
    std::vector<std::pair<const char*, QLineEdit*>> m_edits;
    QPlainTextEdit* m_memos[3];
    QTableWidget* m_files;
    QCheckBox* m_useNames;
    QCheckBox* m_showLegend;
    QPushButton* m_editFiles;
    QPushButton* m_labNames;
    QPushButton* m_legend;
};

} // namespace veltrio::gui
