#pragma once

#include <QDialog>
#include <QString>
#include <QTemporaryDir>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gui/shell/MainForm.h"
#include "gui/widgets/UserInterface.h"

// Failed comparisons show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace veltrio::gui::testing {

// Answers for the modal windows, recorded as they are asked.
class RecordingUserInterface : public TUserInterface {
public:
    struct Shown {
        QString Caption;
        QString Text;
        QMessageBox::Icon Icon;
    };
    std::vector<Shown> Messages;
    std::vector<QString> Questions;
    bool Answer = true;
    // Called with the dialog instead of running it; its result is returned.
    std::function<int(QDialog&)> OnExec = [](QDialog&) { return int(QDialog::Rejected); };
    QString OpenName;
    QString SaveName;
    QString SaveFilter;
    // What the file dialogs were asked to start with.
    std::vector<QString> OpenFolders;
    std::vector<QString> SaveProposals;
    std::vector<QString> SaveFiltersOffered;
    int PrinterRequests = 0;
    // Called with the printer instead of the print dialog; false cancels.
    std::function<bool(QPrinter&)> OnAskPrinter = [](QPrinter&) { return false; };
    // Called with the printer instead of the page set-up dialog.
    std::function<bool(QPrinter&)> OnPrintSetup = [](QPrinter&) { return false; };

    void Message(QWidget*, const QString& caption, const QString& text,
                 QMessageBox::Icon icon) override {
        Messages.push_back({caption, text, icon});
    }
    bool YesNo(QWidget*, const QString&, const QString& text) override {
        Questions.push_back(text);
        return Answer;
    }
    int Exec(QDialog& dialog) override { return OnExec(dialog); }
    QString OpenFileName(QWidget*, const QString&, const QString& folder, const QString&) override {
        OpenFolders.push_back(folder);
        return OpenName;
    }
    QString SaveFileName(QWidget*, const QString&, const QString& proposedFile, const QStringList&,
                         QString* selectedFilter) override {
        SaveProposals.push_back(proposedFile);
        SaveFiltersOffered.push_back(selectedFilter ? *selectedFilter : QString());
        if (selectedFilter && !SaveFilter.isEmpty()) {
            *selectedFilter = SaveFilter;
        }
        return SaveName;
    }
    bool AskPrinter(QWidget*, QPrinter& printer) override {
        ++PrinterRequests;
        return OnAskPrinter(printer);
    }
    bool PrintSetup(QWidget*, QPrinter& printer) override { return OnPrintSetup(printer); }

    std::vector<QString> MessageTexts() const {
        std::vector<QString> texts;
        for (const Shown& m : Messages) {
            texts.push_back(m.Text);
        }
        return texts;
    }
};

// A uniform- or split-level study file as text.
std::string StudyText(bool split, int levels, int replicates, int labs = 6,
                      const std::string& extraHeader = {});

// A main window on a fresh settings file in a temporary folder, with the
// recorder in place of the modal windows.
class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new main window (after StartUp) on the fixture's folders.
    std::unique_ptr<TMainForm> MakeForm(bool withHelp = true);
    // Writes a file into the temporary folder and returns its path.
    QString WriteFile(const QString& name, const std::string& bytes);
    std::string ReadFile(const QString& path) const;
    std::filesystem::path Path(const QString& name) const;

    QTemporaryDir m_dir;
    RecordingUserInterface m_ui;
    std::unique_ptr<TMainForm> m_form;
};

} // namespace veltrio::gui::testing
