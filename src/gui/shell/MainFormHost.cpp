// The main window as the procedures' host, and its commands.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageLayout>
#include <QPrinter>
#include <cmath>
#include <exception>
#include <optional>
#include <vector>

#include "base/Error.h"
#include "base/ScopeGuard.h"
#include "charts/GraphWindow.h"
#include "commands/Commands.h"
#include "documents/Contents.h"
#include "gui/browser/BrowseForm.h"
#include "gui/browser/DocumentFiles.h"
#include "gui/browser/PrintJob.h"
#include "gui/charts/GraphForm.h"
#include "gui/dialogs/ChoseMethodDlg.h"
#include "gui/dialogs/ExcludeLabDlg.h"
#include "gui/dialogs/ScoresDlg.h"
#include "gui/dialogs/FFselectDlg.h"
#include "gui/dialogs/FfResidualDlg.h"
#include "gui/dialogs/InfoDlg.h"
#include "gui/dialogs/RepTextsForm.h"
#include "gui/dialogs/TransformDlg.h"
#include "gui/shell/AboutBox.h"
#include "gui/shell/EditorForm.h"
#include "gui/shell/HelpSystem.h"
#include "gui/shell/MainForm.h"
#include "gui/shell/MdiChild.h"
#include "gui/shell/OptionsDlg.h"
#include "gui/shell/StatusBar.h"
#include "gui/widgets/FloatEdit.h"
#include "gui/widgets/ProgramIcons.h"
#include "gui/widgets/UserInterface.h"
#include "preliminary/ExcludeLab.h"
#include "tools/LabReports.h"
#include "tools/QuickResponse.h"
#include "tools/RepTexts.h"
#include "settings/SettingsFile.h"
#include "study/PreliminaryStats.h"
#include "study/Program.h"
#include "study/StudyReader.h"
#include "study/Transformations.h"

namespace veltrio::gui {

namespace {

QString ToQ(const std::string& s) {
    return QString::fromStdString(s);
}
std::filesystem::path ToPath(const QString& s) {
    return std::filesystem::path(s.toStdU16String());
}
const QString Caption = QStringLiteral("VELTRIO");

// Ends a progress bar that a failing procedure left running.
class ProgressGuard {
public:
    explicit ProgressGuard(TTavStatusBar& bar) : m_bar(bar) {}
    ~ProgressGuard() { m_bar.EndProgress(); }
    ProgressGuard(const ProgressGuard&) = delete;
    ProgressGuard& operator=(const ProgressGuard&) = delete;

private:
    TTavStatusBar& m_bar;
};

} // namespace

// Host ---------------------------------------------------------------------

void TMainForm::ShowMessage(const std::string& text) {
    ++m_messagesShown;
    TUserInterface::Current().Message(this, Caption, ToQ(text), QMessageBox::Information);
}

void TMainForm::ShowDialog(const std::string& caption, const std::string& text, int helpContext) {
    ++m_messagesShown;
    TInfoDlg dialog(ToQ(caption), ToQ(text), helpContext, this);
    connect(&dialog, &TInfoDlg::HelpRequested, this, &TMainForm::ShowHelp);
    TUserInterface::Current().Exec(dialog);
}

bool TMainForm::AskYesNo(const std::string& text) {
    return TUserInterface::Current().YesNo(this, Caption, ToQ(text));
}

void TMainForm::StartProgress(int steps) {
    m_statusBar->StartProgress(0, steps);
}
void TMainForm::StepProgress() {
    m_statusBar->StepProgress(1);
}
void TMainForm::EndProgress() {
    m_statusBar->EndProgress();
}

void TMainForm::SetPanelText(int panel, const std::string& text) {
    m_statusBar->SetPanelText(panel, ToQ(text));
}

void TMainForm::ShowDocument(std::shared_ptr<TTavContents> document, const std::string& caption,
                             int helpContext) {
    if (!document) {
        return;
    }
    ShowChildWindow(new TTavBrowseForm(std::move(document), ToQ(caption),
                                       helpContext > 0 ? helpContext : 1100, m_printer.get()),
                    ProgramIcon(QStringLiteral("text-x-generic")));
}

void TMainForm::ShowChildWindow(QWidget* form, const QIcon& icon) {
    QMdiSubWindow* sub = TMdiChild::ShowMaximized(*m_mdiArea, form);
    sub->setWindowIcon(icon);
    m_childConnections.push_back(
        connect(form, &QObject::destroyed, this, [this] { updateMenus(); }));
    updateMenus();
}

void TMainForm::ShowChart(std::shared_ptr<TGraphWindow> chart, const std::string& caption,
                          int helpContext) {
    if (!chart) {
        return;
    }
    auto* form = new TGraphForm(std::move(chart), ToQ(caption), helpContext, m_printer.get());
    form->SetFileLocations(&m_locations);
    ShowChildWindow(form, ProgramIcon(QStringLiteral("x-office-chart")));
}

void TMainForm::StudyStateChanged() {
    updateMenus();
}

// Opening a study -----------------------------------------------------------

void TMainForm::OpenStudy(const QString& path, bool addToHistory) {
    if (m_busy) {
        return;
    }
    Program& p = *m_program;
    const int messagesBefore = m_messagesShown;
    {
        TBusyWindow busy(nullptr);
        try {
            ReadStudyFile(p, ToPath(path));
        } catch (const std::exception& e) {
            // A numerical failure (in a transformation the file names) ends
            // the reading; no half-read study stays.
            p.DestroyStudy();
            ReportError(ToQ(e.what()));
        }
    }
    // The reader passes over a file that is no study at all (no FILEHEADER)
    // without a word; the user still learns why nothing opened.
    if (!p.StudyLoaded && m_messagesShown == messagesBefore) {
        ReportError(tr("%1 is not a study file: it does not begin with FILEHEADER.")
                        .arg(QFileInfo(path).fileName()));
    }
    // Kept also when the file was refused, so that it can be mended in the
    // editor.
    m_currentFile = path;
    m_locations.StudyOpened(path);
    m_statusBar->SetPanelText(3, QFileInfo(path).fileName());
    if (!p.StudyLoaded) {
        p.CurrentFile = ToPath(path);
        m_statusBar->SetPanelText(2, QString());
        m_transformPanelAct->setVisible(false);
        updateMenus();
        return;
    }
    p.Settings.DiscardOutlierTests = false;
    p.Prelim.reset();
    updateMenus();
    if (addToHistory) {
        AddToFileHistory(m_history, path.toStdString());
        RebuildHistoryMenu();
    }
    m_statusBar->SetPanelText(2, p.CurrentStudy->Design == dkSplitLevel ? tr("Split level")
                                                                        : tr("Uniform level"));
    ShowTransformationPanel();
}

void TMainForm::ShowTransformationPanel() {
    const int index = m_program->CurrentStudy ? m_program->CurrentStudy->Transformation : 0;
    m_transformPanel->setText(ToQ(TransformationPanelText(index)));
    m_transformPanelAct->setVisible(true);
}

// Procedures ----------------------------------------------------------------

void TMainForm::RunMenuCommand(const TMenuCommand& command) {
    if (!command.Procedure) {
        ShowMessage("Function not implememted");
        return;
    }
    const TProcedure* proc = m_lookup ? m_lookup(command.Procedure) : nullptr;
    if (!proc || !MenuRuleAllows(command.Rule, *m_program) ||
        (proc->Enabled && !proc->Enabled(*m_program))) {
        return;
    }
    // One command at a time: while one runs (its progress display lets
    // events through), no other starts, and the commands that change or
    // replace the study are disabled. The flag is cleared on every path.
    if (m_busy) {
        return;
    }
    {
        const TSavedValue busy(m_busy, true);
        updateMenus();
        RunProcedure(*proc);
    }
    updateMenus();
}

void TMainForm::RunProcedure(const TProcedure& procedure) {
    {
        ProgressGuard progress(*m_statusBar);
        try {
            procedure.Run(*m_program);
        } catch (const std::exception& e) {
            ReportError(ToQ(e.what()));
        }
    }
    updateMenus();
}

void TMainForm::ReportError(const QString& text) {
    TUserInterface::Current().Message(this, Caption, text, QMessageBox::Critical);
}

bool TMainForm::ChooseMethodGroups(const std::vector<std::string>& codes,
                                   TMethodGroupChoice& choice) {
    TChoseMethodDlg dialog(this);
    connect(&dialog, &TChoseMethodDlg::HelpRequested, this, &TMainForm::ShowHelp);
    dialog.SetCodes(codes);
    if (TUserInterface::Current().Exec(dialog) != QDialog::Accepted) {
        return false;
    }
    choice = dialog.Choice();
    return true;
}

void TMainForm::mnuExcludeALabClick() {
    Program& p = *m_program;
    if (!p.StudyLoaded || !p.CurrentStudy) {
        return;
    }
    ExcludeLaboratory(
        p, [this](const std::vector<TExcludableLab>& labs) -> std::optional<std::vector<int>> {
            TExcludeLabDlg dialog(this);
            connect(&dialog, &TExcludeLabDlg::HelpRequested, this, &TMainForm::ShowHelp);
            dialog.SetLabs(labs);
            if (TUserInterface::Current().Exec(dialog) != QDialog::Accepted) {
                return std::nullopt;
            }
            return dialog.SelectedLabs();
        });
}

void TMainForm::mnuFastFeedbackClick() {
    Program& p = *m_program;
    TQuickResponse& qr = *m_quickResponse;
    qr.ClearFiles();
    QStringList paths;
    {
        TFFselectDlg dialog(this);
        connect(&dialog, &TFFselectDlg::HelpRequested, this, &TMainForm::ShowHelp);
        dialog.SetProbe([&p](const QString& path) {
            return TQuickResponse::ProbeFile(p, std::filesystem::path(path.toStdU16String()));
        });
        const QString recent = m_history.empty() ? QString() : ToQ(m_history.front());
        dialog.SetDirectory(m_locations.OpenFolder(recent));
        if (TUserInterface::Current().Exec(dialog) != QDialog::Accepted) {
            return;
        }
        paths = dialog.SelectedPaths();
    }
    if (paths.isEmpty()) {
        return;
    }
    for (const QString& path : paths) {
        if (!qr.AddFile(std::filesystem::path(path.toStdU16String()))) {
            ShowMessage("The file " + path.toStdString() +
                        " is no longer there: it was moved or deleted after it was chosen.  "
                        "Fast feedback cannot be executed.");
            return;
        }
    }
    qr.LastLab = std::max(1, qr.LargestNoOfLabs(p));
    {
        TFfResidualDlg options(this);
        connect(&options, &TFfResidualDlg::HelpRequested, this, &TMainForm::ShowHelp);
        options.SetLastLab(qr.LastLab);
        if (TUserInterface::Current().Exec(options) != QDialog::Accepted) {
            return;
        }
        qr.ResistantResiduals = options.ResistantResiduals();
        qr.SaveAsFile = options.SaveAsFile();
        qr.FirstLab = options.FirstLab();
        qr.LastLab = options.LastLab();
    }
    qr.GenerateAsking(p, [this, &paths]() -> std::filesystem::path {
        const QString filter = QStringLiteral("Table files (*.tab)");
        QString chosen = filter;
        const QString proposal =
            QFileInfo(paths.front()).absoluteDir().filePath(QStringLiteral("feedback.tab"));
        QString name = TUserInterface::Current().SaveFileName(
            this, tr("Save fast feedback"), proposal, {filter}, &chosen);
        if (name.isEmpty()) {
            return {};
        }
        if (QFileInfo(name).suffix().isEmpty()) {
            name += QStringLiteral(".tab");
        }
        return std::filesystem::path(name.toStdU16String());
    });
}

bool TMainForm::LoadRepTexts(bool asNew) {
    TRepTexts& texts = *m_repTexts;
    const QString filter = QStringLiteral("Report texts (*.rxt)");
    const QString folder = texts.RepTextsFile.empty()
                               ? m_locations.OpenFolder(m_history.empty() ? QString()
                                                                          : ToQ(m_history.front()))
                               : QString::fromStdU16String(texts.RepTextsFile.parent_path().u16string());
    QString name;
    if (asNew) {
        QString chosen = filter;
        name = TUserInterface::Current().SaveFileName(
            this, tr("New report texts"), QDir(folder).filePath(QStringLiteral("report.rxt")),
            {filter}, &chosen);
    } else {
        name = TUserInterface::Current().OpenFileName(this, tr("Load report texts"), folder, filter);
    }
    if (name.isEmpty()) {
        return false;
    }
    if (QFileInfo(name).suffix().isEmpty()) {
        name += QStringLiteral(".rxt");
    }
    const std::filesystem::path file(name.toStdU16String());
    if (QFileInfo::exists(name)) {
        try {
            texts.LoadFile(file);
        } catch (const EVeltrioError& e) {
            ShowMessage("The report texts " + name.toStdString() + " cannot be read: " + e.what());
            return false;
        }
    } else {
        texts.ClearRepTexts();
    }
    texts.RepTextsFile = file;
    // The data files are looked for beside the report texts.
    texts.ParDir = file.parent_path();
    return true;
}

bool TMainForm::ShowRepTextsForm() {
    Program& p = *m_program;
    TRepTextsForm form(p, *m_repTexts, this);
    connect(&form, &TRepTextsForm::HelpRequested, this, &TMainForm::ShowHelp);
    form.SetChooseFiles([this, &p](const QString& folder, const QStringList& names,
                                   QString& chosenFolder, QStringList& chosenNames) {
        TFFselectDlg dialog(this);
        connect(&dialog, &TFFselectDlg::HelpRequested, this, &TMainForm::ShowHelp);
        dialog.SetProbe([&p](const QString& path) {
            return TQuickResponse::ProbeFile(p, std::filesystem::path(path.toStdU16String()));
        });
        if (!folder.isEmpty()) {
            dialog.SetDirectory(folder);
            for (int i = 0; i < dialog.UnselectedList()->count(); ++i) {
                QListWidgetItem* item = dialog.UnselectedList()->item(i);
                item->setSelected(names.contains(item->text()));
            }
            if (!dialog.UnselectedList()->selectedItems().isEmpty()) {
                dialog.AddButton()->click();
            }
        }
        if (TUserInterface::Current().Exec(dialog) != QDialog::Accepted) {
            return false;
        }
        chosenFolder = dialog.Directory();
        chosenNames.clear();
        for (const QString& path : dialog.SelectedPaths()) {
            chosenNames << QFileInfo(path).fileName();
        }
        return true;
    });
    return TUserInterface::Current().Exec(form) == QDialog::Accepted;
}

void TMainForm::mnuLoadReportTextsClick(bool asNew) {
    if (LoadRepTexts(asNew)) {
        ShowRepTextsForm();
    }
}

void TMainForm::mnuEditReportTextsClick() {
    if (m_repTexts->RepTextsFile.empty() && !LoadRepTexts(false)) {
        return;
    }
    ShowRepTextsForm();
}

void TMainForm::mnuMakeReportClick() {
    if (m_repTexts->RepTextsFile.empty() && !LoadRepTexts(false)) {
        return;
    }
    Program& p = *m_program;
    RunLabReports(
        p, *m_repTexts, *m_quickResponse,
        [this](TQuickResponse& qr) {
            TFfResidualDlg options(this);
            connect(&options, &TFfResidualDlg::HelpRequested, this, &TMainForm::ShowHelp);
            options.SetLastLab(std::max(1, qr.LastLab));
            if (TUserInterface::Current().Exec(options) != QDialog::Accepted) {
                return false;
            }
            qr.SaveAsFile = options.SaveAsFile();
            qr.FirstLab = options.FirstLab();
            qr.LastLab = options.LastLab();
            return true;
        },
        [this]() -> std::filesystem::path {
            const QString filter = QStringLiteral("Table files (*.tab)");
            QString chosen = filter;
            const QString proposal =
                QDir(QString::fromStdU16String(m_repTexts->ParDir.u16string()))
                    .filePath(QStringLiteral("reports.tab"));
            QString name = TUserInterface::Current().SaveFileName(
                this, tr("Save laboratory reports"), proposal, {filter}, &chosen);
            if (name.isEmpty()) {
                return {};
            }
            if (QFileInfo(name).suffix().isEmpty()) {
                name += QStringLiteral(".tab");
            }
            return std::filesystem::path(name.toStdU16String());
        });
}

void TMainForm::mnuPerformanceScoresClick() {
    Program& p = *m_program;
    if (!p.StudyLoaded || !p.CurrentStudy) {
        return;
    }
    QStringList levels;
    for (int lv = 1; lv <= p.CurrentStudy->NoOfLevels; ++lv) {
        levels << ToQ(p.LibText(12, 33) + " " + p.CurrentStudy->Level(lv).LevelName);
    }
    TScoresDlg dialog(this);
    connect(&dialog, &TScoresDlg::HelpRequested, this, &TMainForm::ShowHelp);
    dialog.SetOptions(p.ScoreOptions ? *p.ScoreOptions : TScoreOptions{}, levels);
    if (TUserInterface::Current().Exec(dialog) != QDialog::Accepted) {
        return;
    }
    p.ScoreOptions = std::make_shared<TScoreOptions>(dialog.Options());
    PerformanceScoresCommand(p);
}

// File and edit commands ----------------------------------------------------

void TMainForm::mnuOpenClick() {
    const QString recent = m_history.empty() ? QString() : ToQ(m_history.front());
    const QString path = TUserInterface::Current().OpenFileName(
        this, tr("Open"), m_locations.OpenFolder(recent),
        QStringLiteral("Proficiency testing files (*.PAR *.par)"));
    if (!path.isEmpty()) {
        OpenStudy(path, true);
    }
}

void TMainForm::mnuEditClick() {
    if (m_busy || m_currentFile.isEmpty()) {
        return;
    }
    TEditorForm editor(this);
    connect(&editor, &TEditorForm::HelpRequested, this, &TMainForm::ShowHelp);
    editor.LoadFile(m_currentFile);
    if (TUserInterface::Current().Exec(editor) == QDialog::Accepted) {
        OpenStudy(m_currentFile, true);
    }
}

void TMainForm::mnuSaveAsClick() {
    if (TGraphForm* chart = ActiveChart()) {
        chart->SaveAs();
        return;
    }
    TTavBrowseForm* b = ActiveBrowser();
    if (!b) {
        return;
    }
    using TKind = TFileLocations::TKind;
    const QStringList filters = DocumentFileFilters();
    QString filter = m_locations.SaveFilter(TKind::Document, filters.first());
    const QString proposed = WithSuffix(
        QDir(m_locations.SaveFolder()).filePath(TFileLocations::FileNameOf(b->windowTitle())),
        FormatOfFilter(filter));
    QString name =
        TUserInterface::Current().SaveFileName(this, tr("Save as"), proposed, filters, &filter);
    if (name.isEmpty()) {
        return;
    }
    const TDocumentFormat format = FormatOfFileName(name, FormatOfFilter(filter));
    name = WithSuffix(name, format);
    QString error;
    bool saved = false;
    {
        TBusyWindow busy(nullptr);
        saved = SaveDocument(b->Document(), name, format, &error, b->windowTitle());
    }
    if (saved) {
        m_locations.Saved(TKind::Document, name, filters.at(static_cast<int>(format)));
    } else {
        ReportError(tr("The document could not be saved.\n%1").arg(error));
    }
}

void TMainForm::mnuPrintClick() {
    TTavBrowseForm* b = ActiveBrowser();
    TGraphForm* chart = ActiveChart();
    if ((!b && !chart) || !TUserInterface::Current().AskPrinter(this, *m_printer)) {
        return;
    }
    TBusyWindow busy(this);
    if (b) {
        b->PrintDocumentOn(*m_printer);
    } else {
        chart->PrintChartOn(*m_printer);
    }
}

void TMainForm::mnuPrintSetupClick() {
    TSettings& s = m_program->Settings;
    // The dialog shows the margins the printouts use: the settings' left and
    // top margins, which place the charts on their page, and the document
    // printer's right and bottom margins.
    constexpr double RightBottomMm = 10.0;
    m_printer->setPageMargins(
        QMarginsF(s.MarginLeft * 10.0, s.MarginTop * 10.0, RightBottomMm, RightBottomMm),
        QPageLayout::Millimeter);
    if (!TUserInterface::Current().PrintSetup(this, *m_printer)) {
        return;
    }
    // Margins changed there are the settings' from now on, in whole
    // millimetres as the settings file keeps them.
    const QMarginsF chosen = m_printer->pageLayout().margins(QPageLayout::Millimeter);
    const double left = std::round(chosen.left()) / 10.0;
    const double top = std::round(chosen.top()) / 10.0;
    if (left == s.MarginLeft && top == s.MarginTop) {
        return;
    }
    s.MarginLeft = left;
    s.MarginTop = top;
    if (m_optionsDlg->isVisible()) {
        m_optionsDlg->MarginLeft()->SetValue(left);
        m_optionsDlg->MarginTop()->SetValue(top);
    }
    std::string error;
    if (!SaveSettings(s, m_options.SettingsFile, &error)) {
        ReportError(tr("The settings could not be saved.\n%1").arg(ToQ(error)));
    }
}

void TMainForm::mnuCopyClick() {
    if (TTavBrowseForm* b = ActiveBrowser()) {
        CopyDocument(b->Document());
    } else if (TGraphForm* chart = ActiveChart()) {
        chart->CopyToClipboard();
    }
}

// Tools and options ---------------------------------------------------------

void TMainForm::mnuTransformationClick() {
    Program& p = *m_program;
    if (m_busy || !p.StudyLoaded || !p.CurrentStudy || m_currentFile.isEmpty()) {
        return;
    }
    m_transformDlg->SetItemIndex(p.CurrentStudy->Transformation);
    if (TUserInterface::Current().Exec(*m_transformDlg) != QDialog::Accepted) {
        return;
    }
    {
        TBusyWindow busy(nullptr);
        ExecuteTransformation(p, m_transformDlg->ItemIndex());
    }
    if (p.StudyLoaded && p.CurrentStudy) {
        ShowTransformationPanel();
    } else {
        m_transformPanelAct->setVisible(false);
        m_statusBar->SetPanelText(2, QString());
    }
    updateMenus();
}

void TMainForm::mnuOptionsClick() {
    m_optionsDlg->Execute();
}

// Windows -------------------------------------------------------------------

void TMainForm::mnuCloseAllClick() {
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        (*it)->close();
    }
}

void TMainForm::mnuPrintAllClick() {
    if ((Browsers().empty() && Charts().empty()) ||
        !TUserInterface::Current().AskPrinter(this, *m_printer)) {
        return;
    }
    // The main window is disabled while the pages go out and enabled again
    // on every path; a printer error ends the job with its message.
    try {
        TBusyWindow busy(this);
        // One job in the order the windows were opened: a printer prints it
        // as one, and a PDF printer writes one file.
        TPrintJob job(*m_printer, StudyTitle());
        for (QMdiSubWindow* w : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
            if (auto* b = qobject_cast<TTavBrowseForm*>(w->widget())) {
                job.AddDocument(b->Document());
            } else if (auto* chart = qobject_cast<TGraphForm*>(w->widget())) {
                job.AddChart(chart->GraphWnd());
            }
        }
        job.Finish();
    } catch (const std::exception& e) {
        ReportError(ToQ(e.what()));
    }
}

TGraphForm* TMainForm::ActiveChart() const {
    QMdiSubWindow* w = m_mdiArea->activeSubWindow();
    return w ? qobject_cast<TGraphForm*>(w->widget()) : nullptr;
}

std::vector<TGraphForm*> TMainForm::Charts() const {
    std::vector<TGraphForm*> list;
    for (QMdiSubWindow* w : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* chart = qobject_cast<TGraphForm*>(w->widget())) {
            list.push_back(chart);
        }
    }
    return list;
}

// Help ----------------------------------------------------------------------

void TMainForm::ShowHelp(int context) {
    if (m_helpAvailable) {
        m_help->ShowContext(context);
    }
}

void TMainForm::ShowHelpForActiveWindow() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) {
        w = QApplication::activePopupWidget();
    }
    if (!w) {
        if (QMdiSubWindow* sub = m_mdiArea->activeSubWindow()) {
            w = sub->widget();
        }
    }
    if (!w) {
        w = QApplication::focusWidget() ? QApplication::focusWidget() : this;
    }
    ShowHelp(THelpSystem::ContextOf(w));
}

void TMainForm::mnuContentsClick() {
    if (m_helpAvailable) {
        m_help->ShowContents();
    }
}

void TMainForm::mnuSearchClick() {
    if (m_helpAvailable) {
        m_help->ShowSearch(QString());
    }
}

void TMainForm::mnuHowToUseClick() {
    if (m_helpAvailable) {
        m_help->ShowHowToUse();
    }
}

void TMainForm::mnuAboutClick() {
    TAboutBox about(this);
    TUserInterface::Current().Exec(about);
}

} // namespace veltrio::gui
