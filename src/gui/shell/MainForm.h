#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Host.h"
#include "commands/Commands.h"
#include "gui/shell/MenuCommands.h"
#include "gui/widgets/FileLocations.h"

class QAction;
class QIcon;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;

namespace veltrio {
class TQuickResponse;
class TRepTexts;
class Program;
} // namespace veltrio

namespace veltrio::gui {

class THelpSystem;
class TOptionsDlg;
class TGraphForm;
class TTavBrowseForm;
class TTavStatusBar;
class TTransformDlg;

// Where the main window finds its files.
struct TMainFormOptions {
    // The folder of the language files.
    std::filesystem::path ProgramDir;
    // The settings file.
    std::filesystem::path SettingsFile;
    // The help topics; empty for ProgramDir/help.
    std::filesystem::path HelpFolder;
};

// The main window: a multiple-document frame whose menus and tool bar start
// every procedure, whose status bar shows hints, the design of the loaded
// study, the file name and the progress of long work, and whose children are
// the browser windows of the documents and the chart windows. It is the host
// of the procedures.
class TMainForm : public QMainWindow, public Host {
    Q_OBJECT
public:
    static constexpr int HelpContextId = 100;

    explicit TMainForm(TMainFormOptions options, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Settings, file history, help and language file. False when the
    // language file cannot be opened (the message has been shown): the
    // program must end.
    bool StartUp();

    Program& program() const { return *m_program; }
    // The procedures of the menus: those of the main window itself (the
    // commands that need its dialogs), then the shared list. Tests list
    // procedures of their own.
    const TProcedure* DefaultProcedure(std::string_view name) const;
    // The dialogs of the weight function and of "Choose a laboratory" for
    // the regression analyses.
    void InstallRegressionDialogs();
    void SetProcedureLookup(std::function<const TProcedure*(std::string_view)> lookup);

    // Reads a study file; with `addToHistory` the path moves to the top of
    // the file history.
    void OpenStudy(const QString& path, bool addToHistory);
    const std::vector<std::string>& History() const { return m_history; }
    const QString& CurrentFile() const { return m_currentFile; }
    // Where the file dialogs start and what they propose.
    TFileLocations& FileLocations() { return m_locations; }
    // "VELTRIO", then the name of the study file when a study is loaded.
    QString StudyTitle() const;
    // The window's title: StudyTitle, then the caption of the active window
    // in brackets.
    QString TitleText() const;

    TTavStatusBar& StatusBar() const { return *m_statusBar; }
    QLabel* TransformPanel() const { return m_transformPanel; }
    bool TransformPanelVisible() const;
    QMdiArea* MdiArea() const { return m_mdiArea; }
    THelpSystem& Help() const { return *m_help; }
    TOptionsDlg& OptionsDialog() const { return *m_optionsDlg; }
    TTransformDlg& TransformDialog() const { return *m_transformDlg; }
    QPrinter& Printer() const { return *m_printer; }
    // The browser window that is active; nullptr when another kind of window
    // or none is.
    TTavBrowseForm* ActiveBrowser() const;
    std::vector<TTavBrowseForm*> Browsers() const;
    // The chart window that is active; nullptr when another kind of window
    // or none is.
    TGraphForm* ActiveChart() const;
    std::vector<TGraphForm*> Charts() const;

    // The menu item of a procedure in the shared list.
    QAction* ProcedureAction(std::string_view procedureName) const;
    QAction* TransformationAction() const { return m_transformAct; }
    QAction* EditFileAction() const { return m_editAct; }
    QAction* SaveAsAction() const { return m_saveAsAct; }
    QAction* PrintAction() const { return m_printAct; }
    QAction* CopyAction() const { return m_copyAct; }
    QList<QAction*> HelpActions() const;
    QMenu* PreliminaryMenu() const { return m_preliminaryMenu; }
    QMenu* QualityMenu() const { return m_qualityMenu; }
    QMenu* LaboratoriesMenu() const { return m_labsMenu; }
    QMenu* FileMenu() const { return m_fileMenu; }
    // The history items at the end of the File menu.
    QList<QAction*> HistoryActions() const { return m_historyActs; }

    // Re-evaluates which menu items are enabled.
    void updateMenus();

    // Commands.
    void mnuOpenClick();
    void mnuEditClick();
    void mnuSaveAsClick();
    void mnuPrintClick();
    void mnuPrintSetupClick();
    void mnuCopyClick();
    void mnuTransformationClick();
    void mnuOptionsClick();
    void mnuCloseAllClick();
    void mnuPrintAllClick();
    void mnuContentsClick();
    void mnuSearchClick();
    void mnuHowToUseClick();
    void mnuAboutClick();
    // "Exclude a laboratory": the choice of the laboratories, then their
    // exclusion.
    void mnuExcludeALabClick();
    // "Performance scores": the choices, then the scores.
    void mnuPerformanceScoresClick();
    // "Fast feedback forms": the files of the round, the options, the forms.
    void mnuFastFeedbackClick();
    // The laboratory reports (a submenu kept hidden) and their report texts.
    void mnuMakeReportClick();
    void mnuLoadReportTextsClick(bool asNew);
    void mnuEditReportTextsClick();
    // Asks for a report-texts file and reads it (or starts new texts under
    // its name); false on Cancel or when it cannot be read.
    bool LoadRepTexts(bool asNew);
    bool ShowRepTextsForm();
    TRepTexts& RepTexts() { return *m_repTexts; }
    void RunMenuCommand(const TMenuCommand& command);

    // Host.
    void ShowMessage(const std::string& text) override;
    void ShowDialog(const std::string& caption, const std::string& text, int helpContext) override;
    bool AskYesNo(const std::string& text) override;
    void StartProgress(int steps) override;
    void StepProgress() override;
    void EndProgress() override;
    void SetPanelText(int panel, const std::string& text) override;
    void ShowDocument(std::shared_ptr<TTavContents> document, const std::string& caption,
                      int helpContext) override;
    void ShowChart(std::shared_ptr<TGraphWindow> chart, const std::string& caption,
                   int helpContext) override;
    void StudyStateChanged() override;
    // The method grouping dialog of the confidence ellipses.
    bool ChooseMethodGroups(const std::vector<std::string>& codes,
                            TMethodGroupChoice& choice) override;

    // Writes the file history and the window's position and size.
    bool SaveState(std::string* error = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createDialogs();
    void RebuildHistoryMenu();
    void ShowTransformationPanel();
    // A browser or chart window as a maximised MDI child.
    void ShowChildWindow(QWidget* form, const QIcon& icon);
    void RunProcedure(const TProcedure& procedure);
    void ShowHelp(int context);
    void ShowHelpForActiveWindow();
    void ApplyPlacement();
    void ReportError(const QString& text);

    TMainFormOptions m_options;
    std::unique_ptr<Program> m_program;
    std::vector<TProcedure> m_ownProcedures;
    // The files of the fast feedback round (and later the reports) with
    // their options.
    std::unique_ptr<TQuickResponse> m_quickResponse;
    std::unique_ptr<TRepTexts> m_repTexts;
    std::function<const TProcedure*(std::string_view)> m_lookup;
    std::vector<std::string> m_history;
    QString m_currentFile;
    TFileLocations m_locations;
    bool m_busy = false;
    // Messages and dialogs shown through the host so far.
    int m_messagesShown = 0;
    bool m_helpAvailable = false;
    bool m_destroying = false;
    // The child windows' calls back when they go (see the destructor).
    std::vector<QMetaObject::Connection> m_childConnections;

    QMdiArea* m_mdiArea;
    TTavStatusBar* m_statusBar = nullptr;
    QLabel* m_transformPanel = nullptr;
    QAction* m_transformPanelAct = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    THelpSystem* m_help = nullptr;
    TOptionsDlg* m_optionsDlg = nullptr;
    TTransformDlg* m_transformDlg = nullptr;

    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_proceduresMenu = nullptr;
    QMenu* m_preliminaryMenu = nullptr;
    QMenu* m_qualityMenu = nullptr;
    QMenu* m_labsMenu = nullptr;
    QMenu* m_toolsMenu = nullptr;
    QMenu* m_labReportMenu = nullptr;
    QMenu* m_windowMenu = nullptr;
    QMenu* m_helpMenu = nullptr;

    QAction* m_openAct = nullptr;
    QAction* m_editAct = nullptr;
    QAction* m_saveAsAct = nullptr;
    QAction* m_printAct = nullptr;
    QAction* m_printSetupAct = nullptr;
    QAction* m_exitAct = nullptr;
    QAction* m_copyAct = nullptr;
    QAction* m_transformAct = nullptr;
    QAction* m_optionsAct = nullptr;
    QAction* m_tileAct = nullptr;
    QAction* m_cascadeAct = nullptr;
    QAction* m_arrangeAct = nullptr;
    QAction* m_closeAllAct = nullptr;
    QAction* m_printAllAct = nullptr;
    QAction* m_contentsAct = nullptr;
    QAction* m_searchAct = nullptr;
    QAction* m_howToUseAct = nullptr;
    QAction* m_aboutAct = nullptr;
    QAction* m_historySeparator = nullptr;
    QList<QAction*> m_historyActs;
    std::vector<std::pair<QAction*, const TMenuCommand*>> m_procedureActs;
};

} // namespace veltrio::gui
