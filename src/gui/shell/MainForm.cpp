#include "gui/shell/MainForm.h"
#include "tools/RepTexts.h"

#include "tools/QuickResponse.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrinter>
#include <QScreen>
#include <QShortcut>
#include <QStatusTipEvent>
#include <QToolBar>

#include "commands/Commands.h"
#include "gui/browser/BrowseForm.h"
#include "gui/dialogs/ExcludeLabDlg.h"
#include "gui/dialogs/TransformDlg.h"
#include "gui/dialogs/WeightFuncGraphForm.h"
#include "gui/shell/HelpSystem.h"
#include "gui/shell/OptionsDlg.h"
#include "gui/shell/StatusBar.h"
#include "gui/widgets/MessageText.h"
#include "gui/widgets/Mnemonics.h"
#include "gui/widgets/ProgramIcons.h"
#include "gui/widgets/UserInterface.h"
#include "settings/SettingsFile.h"
#include "study/Program.h"
#include "study/Transformations.h"
#include "quality/Weights.h"
#include "textlib/Languages.h"
#include "textlib/TextLibrary.h"

namespace veltrio::gui {

namespace {

constexpr const char* HelpMissingMessage =
    "VELTRIO helpfile was not found. No help will be available.";

QString ToQ(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TMainForm::TMainForm(TMainFormOptions options, QWidget* parent)
    : QMainWindow(parent), m_options(std::move(options)),
      m_program(std::make_unique<Program>(*this)),
      m_lookup([this](std::string_view name) { return DefaultProcedure(name); }),
      m_mdiArea(new QMdiArea(this)),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    setWindowTitle(QStringLiteral("VELTRIO"));
    setWindowIcon(ProgramIcon(QStringLiteral("veltrio")));
    setProperty("helpContext", HelpContextId);
    m_program->ProgramDir = m_options.ProgramDir;
    InstallTransformations(*m_program);
    if (m_options.HelpFolder.empty()) {
        m_options.HelpFolder = m_options.ProgramDir / "help";
    }
    TProcedure exclude;
    exclude.MenuCaption = "Exclude a laboratory";
    exclude.Name = CommandName(exclude.MenuCaption);
    exclude.Enabled = [](const Program& p) { return p.StudyLoaded && p.CurrentStudy; };
    exclude.Run = [this](Program&) { mnuExcludeALabClick(); };
    m_ownProcedures.push_back(std::move(exclude));
    TProcedure scores;
    scores.MenuCaption = "Performance scores";
    scores.Name = CommandName(scores.MenuCaption);
    scores.Enabled = [](const Program& p) { return p.StudyLoaded && p.CurrentStudy; };
    scores.Run = [this](Program&) { mnuPerformanceScoresClick(); };
    m_ownProcedures.push_back(std::move(scores));
    TProcedure feedback;
    feedback.MenuCaption = "Fast feedback forms";
    feedback.Name = CommandName(feedback.MenuCaption);
    feedback.Run = [this](Program&) { mnuFastFeedbackClick(); };
    m_ownProcedures.push_back(std::move(feedback));
    const std::pair<const char*, std::function<void()>> reports[] = {
        {"Make report", [this] { mnuMakeReportClick(); }},
        {"Load report texts", [this] { mnuLoadReportTextsClick(false); }},
        {"New report texts", [this] { mnuLoadReportTextsClick(true); }},
        {"Edit report texts", [this] { mnuEditReportTextsClick(); }},
    };
    for (const auto& [caption, run] : reports) {
        TProcedure command;
        command.MenuCaption = caption;
        command.Name = CommandName(command.MenuCaption);
        command.Run = [run](Program&) { run(); };
        m_ownProcedures.push_back(std::move(command));
    }
    m_quickResponse = std::make_unique<TQuickResponse>();
    m_repTexts = std::make_unique<TRepTexts>(m_program.get());
    InstallRegressionDialogs();
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this] { updateMenus(); });

    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
    createDialogs();

    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    f1->setContext(Qt::ApplicationShortcut);
    connect(f1, &QShortcut::activated, this, &TMainForm::ShowHelpForActiveWindow);
    updateMenus();
}

TMainForm::~TMainForm() {
    m_destroying = true;
    // Browser windows release their documents before the program goes.
    qDeleteAll(m_mdiArea->subWindowList());
    // Windows closed but not yet deleted go with the workspace, after this
    // object: they must not call it back then.
    for (const auto& connection : m_childConnections) {
        disconnect(connection);
    }
}

void TMainForm::InstallRegressionDialogs() {
    // The weight function's dialog: OK keeps the relation chosen in it.
    m_program->ChooseWeightRelation = [this](Program& p, TWeights& weights) {
        TWeightFuncGraphForm dialog(p, weights, m_printer.get(), this);
        connect(&dialog, &TWeightFuncGraphForm::HelpRequested, this, &TMainForm::ShowHelp);
        return TUserInterface::Current().Exec(dialog) == QDialog::Accepted;
    };
    // "Choose a laboratory": one of the laboratories not excluded by the user.
    m_program->ChooseRegressionLab = [this](Program& p) {
        TExcludeLabDlg dialog(this);
        dialog.setWindowTitle(QStringLiteral("Choose a laboratory"));
        dialog.LBLabList()->setSelectionMode(QAbstractItemView::SingleSelection);
        connect(&dialog, &TExcludeLabDlg::HelpRequested, this, &TMainForm::ShowHelp);
        dialog.SetLabs(ExcludableLabs(p));
        if (TUserInterface::Current().Exec(dialog) != QDialog::Accepted) {
            return MissingCount;
        }
        const std::vector<int> chosen = dialog.SelectedLabs();
        return chosen.empty() ? MissingCount : chosen.front();
    };
}

const TProcedure* TMainForm::DefaultProcedure(std::string_view name) const {
    for (const TProcedure& p : m_ownProcedures) {
        if (p.Name == name) {
            return &p;
        }
    }
    return FindProcedure(name);
}

void TMainForm::SetProcedureLookup(std::function<const TProcedure*(std::string_view)> lookup) {
    m_lookup = std::move(lookup);
    updateMenus();
}

void TMainForm::createActions() {
    auto make = [this](const QString& text, const QString& tip, auto slot) {
        auto* a = new QAction(text, this);
        a->setStatusTip(tip);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    m_openAct =
        make(tr("&Open..."), tr("Open a proficiency testing file"), &TMainForm::mnuOpenClick);
    m_openAct->setShortcuts(QKeySequence::Open);
    m_openAct->setIcon(ProgramIcon(QStringLiteral("document-open")));
    m_editAct = make(tr("&Edit..."), tr("Edit the study file"), &TMainForm::mnuEditClick);
    m_saveAsAct = make(tr("&Save as..."),
                       tr("Save the document (RTF, HTML, PDF) or the chart (SVG, PNG, PDF)"),
                       &TMainForm::mnuSaveAsClick);
    m_saveAsAct->setShortcuts(QKeySequence::SaveAs);
    m_saveAsAct->setIcon(ProgramIcon(QStringLiteral("document-save-as")));
    m_printAct = make(tr("&Print"), tr("Print the document or chart"), &TMainForm::mnuPrintClick);
    m_printAct->setShortcuts(QKeySequence::Print);
    m_printAct->setIcon(ProgramIcon(QStringLiteral("document-print")));
    m_printSetupAct = make(tr("P&rint Setup..."), tr("Choose the printer and the page"),
                           &TMainForm::mnuPrintSetupClick);
    m_printSetupAct->setIcon(ProgramIcon(QStringLiteral("document-page-setup")));
    m_exitAct = make(tr("E&xit"), tr("Close the program"), &QWidget::close);
    m_exitAct->setShortcuts(QKeySequence::Quit);
    m_exitAct->setIcon(ProgramIcon(QStringLiteral("application-exit")));
    m_copyAct = make(tr("&Copy"), tr("Copy the document or chart to the clipboard"),
                     &TMainForm::mnuCopyClick);
    m_copyAct->setShortcuts(QKeySequence::Copy);
    m_copyAct->setIcon(ProgramIcon(QStringLiteral("edit-copy")));
    m_transformAct = make(tr("Transformation"), tr("Evaluate the study on a transformed scale"),
                          &TMainForm::mnuTransformationClick);
    m_optionsAct = make(tr("&Options"), tr("Language, output and calculation options"),
                        &TMainForm::mnuOptionsClick);
    m_tileAct = make(tr("&Tile"), tr("Tile the windows"), [this] { m_mdiArea->tileSubWindows(); });
    m_cascadeAct =
        make(tr("&Cascade"), tr("Cascade the windows"), [this] { m_mdiArea->cascadeSubWindows(); });
    m_arrangeAct = make(tr("&Arrange All"), tr("Arrange the minimised windows"), [this] {
        for (QMdiSubWindow* w : m_mdiArea->subWindowList()) {
            if (w->isMinimized()) {
                w->showMinimized();
            }
        }
    });
    m_closeAllAct = make(tr("C&lose all"), tr("Close every window"), &TMainForm::mnuCloseAllClick);
    m_printAllAct =
        make(tr("&Print all windows"), tr("Print the documents and charts of every window"),
             &TMainForm::mnuPrintAllClick);
    m_contentsAct =
        make(tr("&Contents"), tr("The contents of the help"), &TMainForm::mnuContentsClick);
    m_contentsAct->setIcon(ProgramIcon(QStringLiteral("help-contents")));
    m_searchAct = make(tr("&Search for Help On..."), tr("Search the help by keyword"),
                       &TMainForm::mnuSearchClick);
    m_howToUseAct =
        make(tr("&How to Use Help"), tr("How the help works"), &TMainForm::mnuHowToUseClick);
    m_aboutAct = make(tr("&About..."), tr("About VELTRIO"), &TMainForm::mnuAboutClick);
}

void TMainForm::createMenus() {
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    m_fileMenu->menuAction()->setProperty("helpContext", 1900);
    m_fileMenu->addAction(m_openAct);
    m_fileMenu->addAction(m_editAct);
    m_fileMenu->addAction(m_saveAsAct);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_printAct);
    m_fileMenu->addAction(m_printSetupAct);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_exitAct);
    m_historySeparator = m_fileMenu->addSeparator();

    m_editMenu = menuBar()->addMenu(tr("&Edit"));
    m_editMenu->addAction(m_copyAct);

    m_proceduresMenu = menuBar()->addMenu(tr("&Procedures"));
    m_preliminaryMenu = new QMenu(tr("Preliminary evaluation"), this);
    m_qualityMenu = new QMenu(tr("General analytical quality"), this);
    m_labsMenu = new QMenu(tr("Evaluation of laboratories"), this);
    m_toolsMenu = new QMenu(tr("&Tools"), this);
    m_labReportMenu = new QMenu(tr("Laboratory report"), this);

    auto menuOf = [this](TProcedureMenu m) -> QMenu* {
        switch (m) {
        case TProcedureMenu::Procedures:
            return m_proceduresMenu;
        case TProcedureMenu::Preliminary:
            return m_preliminaryMenu;
        case TProcedureMenu::Quality:
            return m_qualityMenu;
        case TProcedureMenu::Laboratories:
            return m_labsMenu;
        case TProcedureMenu::LabReport:
            return m_labReportMenu;
        case TProcedureMenu::Tools:
            return m_toolsMenu;
        }
        return m_proceduresMenu;
    };
    for (const TMenuCommand& c : ProcedureMenuCommands()) {
        if (c.Menu == TProcedureMenu::Tools && m_toolsMenu->isEmpty()) {
            m_toolsMenu->addMenu(m_labReportMenu);
        }
        auto* a = new QAction(QString::fromUtf8(c.Caption), this);
        a->setStatusTip(QString::fromUtf8(c.Hint));
        a->setVisible(!c.Hidden);
        connect(a, &QAction::triggered, this, [this, &c] { RunMenuCommand(c); });
        menuOf(c.Menu)->addAction(a);
        m_procedureActs.emplace_back(a, &c);
        if (c.Menu == TProcedureMenu::Procedures) {
            m_proceduresMenu->addSeparator();
            m_proceduresMenu->addMenu(m_preliminaryMenu);
            m_proceduresMenu->addMenu(m_qualityMenu);
            m_proceduresMenu->addMenu(m_labsMenu);
        }
        if (std::string_view(c.Caption) == "Everything below") {
            menuOf(c.Menu)->addSeparator();
        }
    }
    // The laboratory reports stay out of sight.
    m_labReportMenu->menuAction()->setVisible(false);
    m_toolsMenu->addSeparator();
    m_toolsMenu->addAction(m_transformAct);
    menuBar()->addMenu(m_toolsMenu);

    menuBar()->addAction(m_optionsAct);

    m_windowMenu = menuBar()->addMenu(tr("&Window"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, [this] {
        m_windowMenu->clear();
        m_windowMenu->addAction(m_tileAct);
        m_windowMenu->addAction(m_cascadeAct);
        m_windowMenu->addAction(m_arrangeAct);
        m_windowMenu->addAction(m_closeAllAct);
        m_windowMenu->addAction(m_printAllAct);
        const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
        if (!windows.isEmpty()) {
            m_windowMenu->addSeparator();
        }
        for (int i = 0; i < windows.size(); ++i) {
            QMdiSubWindow* w = windows.at(i);
            const QString text = (i < 9 ? QStringLiteral("&%1 %2") : QStringLiteral("%1 %2"))
                                     .arg(i + 1)
                                     .arg(w->windowTitle());
            QAction* a =
                m_windowMenu->addAction(text, w, [this, w] { m_mdiArea->setActiveSubWindow(w); });
            a->setCheckable(true);
            a->setChecked(w == m_mdiArea->activeSubWindow());
        }
    });
    m_windowMenu->addAction(m_tileAct);

    m_helpMenu = menuBar()->addMenu(tr("&Help"));
    m_helpMenu->addAction(m_contentsAct);
    m_helpMenu->addAction(m_searchAct);
    m_helpMenu->addAction(m_howToUseAct);
    m_helpMenu->addSeparator();
    m_helpMenu->addAction(m_aboutAct);

    // The procedures' captions are the menus' texts; the mnemonics are given
    // per menu, so that no two items of one menu share a letter.
    for (QMenu* menu : {m_proceduresMenu, m_preliminaryMenu, m_qualityMenu, m_labsMenu, m_toolsMenu,
                        m_labReportMenu}) {
        AssignMnemonics(*menu);
    }

    const std::pair<QMenu*, int> contexts[] = {
        {m_fileMenu, 1900},        {m_editMenu, 2000},    {m_proceduresMenu, 600},
        {m_preliminaryMenu, 1500}, {m_qualityMenu, 1600}, {m_labsMenu, 1700},
        {m_toolsMenu, 750},        {m_windowMenu, 1800},  {m_helpMenu, 2100}};
    for (const auto& [menu, context] : contexts) {
        menu->setProperty("helpContext", context);
    }
}

void TMainForm::createToolBars() {
    QToolBar* bar = addToolBar(tr("Tools"));
    bar->setObjectName(QStringLiteral("mainToolBar"));
    bar->setMovable(false);
    bar->addAction(m_openAct);
    bar->addAction(m_printAct);
    bar->addAction(m_printSetupAct);
    bar->addAction(m_copyAct);
    bar->addAction(m_contentsAct);
    bar->addAction(m_exitAct);
    bar->addSeparator();
    m_transformPanel = new QLabel(tr("Transformation : None"), bar);
    m_transformPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_transformPanel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_transformPanel->setMinimumWidth(220);
    m_transformPanel->setStatusTip(
        tr("The transformation of the study; double-click to change it"));
    m_transformPanel->installEventFilter(this);
    m_transformPanelAct = bar->addWidget(m_transformPanel);
    m_transformPanelAct->setVisible(false);
}

void TMainForm::createStatusBar() {
    m_statusBar = new TTavStatusBar(this);
    m_statusBar->SetLastWidth(120);
    m_statusBar->SetMiddleWidth(90);
    setStatusBar(m_statusBar);
}

void TMainForm::createDialogs() {
    m_optionsDlg = new TOptionsDlg(*m_program, this);
    m_optionsDlg->SetSettingsFile(m_options.SettingsFile);
    connect(m_optionsDlg, &TOptionsDlg::PrintSetupRequested, this, &TMainForm::mnuPrintSetupClick);
    connect(m_optionsDlg, &TOptionsDlg::HelpRequested, this, &TMainForm::ShowHelp);
    connect(m_optionsDlg, &TOptionsDlg::SettingsSaved, this, [this] { SaveState(); });
    m_transformDlg = new TTransformDlg(this);
    connect(m_transformDlg, &TTransformDlg::HelpRequested, this, &TMainForm::ShowHelp);
}

bool TMainForm::StartUp() {
    m_help = new THelpSystem(QString::fromStdU16String(m_options.HelpFolder.u16string()), this);
    m_helpAvailable = m_help->Available();

    TIniFile ini;
    LoadIniFile(m_options.SettingsFile, ini);
    ApplyPlacement();
    if (!m_helpAvailable) {
        TUserInterface::Current().Message(this, QStringLiteral("VELTRIO"),
                                          QString::fromLatin1(HelpMissingMessage),
                                          QMessageBox::Critical);
    }
    ReadSettings(ini, m_program->Settings);
    m_history = ReadFileHistory(ini);
    if (m_history.size() > MaxHistoryEntries) {
        m_history.resize(MaxHistoryEntries);
    }
    RebuildHistoryMenu();

    const std::filesystem::path lang =
        m_program->ProgramDir / LanguageFileName(m_program->Settings.OutputLanguage);
    bool opened = false;
    QString problem = QString::fromLatin1(MissingLanguageFileMessage);
    try {
        opened = m_program->TextLib.OpenTextLibrary(lang);
    } catch (const ETextLibraryFatal& e) {
        problem = ToQ(e.what());
    }
    if (!opened) {
        const QString where = QString::fromStdU16String(lang.parent_path().u16string());
        const QString file = QString::fromStdU16String(lang.filename().u16string());
        TUserInterface::Current().Message(
            this, QStringLiteral("VELTRIO"),
            SentencesApart(problem) +
                tr("\n\nThe language file %1 was looked for in %2.").arg(file, where),
            QMessageBox::Critical);
        return false;
    }
    m_currentFile.clear();
    m_busy = false;
    // The report texts start with the legends of the output language.
    m_repTexts->DefaultLegends();
    updateMenus();
    return true;
}

void TMainForm::ApplyPlacement() {
    TIniFile ini;
    LoadIniFile(m_options.SettingsFile, ini);
    const TWindowPlacement p = ReadWindowPlacement(ini);
    const QRect screen = QApplication::primaryScreen()
                             ? QApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1024, 768);
    const int w = std::max(320, p.Width.value_or(screen.width()));
    const int h = std::max(240, p.Height.value_or(screen.height()));
    // A window stored on a screen that is gone comes back onto this one.
    const int left =
        std::clamp(p.Left, screen.left(), std::max(screen.left(), screen.right() - 100));
    const int top = std::clamp(p.Top, screen.top(), std::max(screen.top(), screen.bottom() - 100));
    move(left, top);
    resize(std::min(w, screen.width()), std::min(h, screen.height()));
}

bool TMainForm::SaveState(std::string* error) {
    TIniFile ini;
    if (!LoadIniFile(m_options.SettingsFile, ini)) {
        if (error) {
            *error = "cannot read " + m_options.SettingsFile.string();
        }
        return false;
    }
    WriteFileHistory(ini, m_history);
    TWindowPlacement p;
    const QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
    p.Left = g.left();
    p.Top = g.top();
    p.Width = g.width();
    p.Height = g.height();
    WriteWindowPlacement(ini, p);
    return SaveIniFile(m_options.SettingsFile, ini, error);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // The last window first.
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        (*it)->close();
    }
    if (!m_mdiArea->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    if (m_help) {
        m_help->CloseWindow();
    }
    std::string error;
    if (!SaveState(&error)) {
        m_statusBar->SetPanelText(1, ToQ(error));
    }
    event->accept();
}

bool TMainForm::event(QEvent* event) {
    // Hints go to panel 1 of the status bar.
    if (event->type() == QEvent::StatusTip) {
        m_statusBar->SetPanelText(1, static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_transformPanel && event->type() == QEvent::MouseButtonDblClick) {
        if (m_transformAct->isEnabled()) {
            mnuTransformationClick();
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::RebuildHistoryMenu() {
    for (QAction* a : m_historyActs) {
        m_fileMenu->removeAction(a);
        a->deleteLater();
    }
    m_historyActs.clear();
    for (std::size_t i = 0; i < m_history.size(); ++i) {
        const QString path = QString::fromStdString(m_history[i]);
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), this);
        a->setStatusTip(tr("Open %1").arg(path));
        connect(a, &QAction::triggered, this, [this, path] { OpenStudy(path, true); });
        m_fileMenu->addAction(a);
        m_historyActs << a;
    }
}

bool TMainForm::TransformPanelVisible() const {
    return m_transformPanelAct->isVisible();
}

QList<QAction*> TMainForm::HelpActions() const {
    return {m_contentsAct, m_searchAct, m_howToUseAct};
}

TTavBrowseForm* TMainForm::ActiveBrowser() const {
    QMdiSubWindow* w = m_mdiArea->activeSubWindow();
    return w ? qobject_cast<TTavBrowseForm*>(w->widget()) : nullptr;
}

std::vector<TTavBrowseForm*> TMainForm::Browsers() const {
    std::vector<TTavBrowseForm*> list;
    for (QMdiSubWindow* w : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* b = qobject_cast<TTavBrowseForm*>(w->widget())) {
            list.push_back(b);
        }
    }
    return list;
}

QAction* TMainForm::ProcedureAction(std::string_view procedureName) const {
    for (const auto& [action, command] : m_procedureActs) {
        if (command->Procedure && procedureName == command->Procedure) {
            return action;
        }
    }
    return nullptr;
}

QString TMainForm::StudyTitle() const {
    QString title = QStringLiteral("VELTRIO");
    if (m_program->StudyLoaded && m_program->CurrentStudy && !m_currentFile.isEmpty()) {
        title += QStringLiteral(" - ") + QFileInfo(m_currentFile).fileName();
    }
    return title;
}

QString TMainForm::TitleText() const {
    QString title = StudyTitle();
    // The same form as the workspace gives a maximised window's caption, so
    // that the two never add it twice.
    if (const QMdiSubWindow* active = m_mdiArea->activeSubWindow()) {
        title += QStringLiteral(" - [%1]").arg(active->windowTitle());
    }
    return title;
}

void TMainForm::updateMenus() {
    if (m_destroying) {
        return;
    }
    const Program& p = *m_program;
    const bool loaded = p.StudyLoaded && p.CurrentStudy;
    // While a command runs nothing may change or replace the study.
    const bool idle = !m_busy;
    for (const auto& [action, command] : m_procedureActs) {
        bool enabled = idle && MenuRuleAllows(command->Rule, p);
        if (command->Procedure) {
            const TProcedure* proc = m_lookup ? m_lookup(command->Procedure) : nullptr;
            enabled = enabled && proc && (!proc->Enabled || proc->Enabled(p));
        }
        action->setEnabled(enabled);
    }
    m_preliminaryMenu->menuAction()->setEnabled(loaded);
    m_qualityMenu->menuAction()->setEnabled(loaded);
    m_labsMenu->menuAction()->setEnabled(loaded);
    m_transformAct->setEnabled(idle && loaded && !m_currentFile.isEmpty());
    m_editAct->setEnabled(idle && !m_currentFile.isEmpty());
    m_openAct->setEnabled(idle);
    for (QAction* a : m_historyActs) {
        a->setEnabled(idle);
    }
    m_optionsAct->setEnabled(idle);

    setWindowTitle(TitleText());
    const bool output = ActiveBrowser() != nullptr || ActiveChart() != nullptr;
    m_saveAsAct->setEnabled(output);
    m_printAct->setEnabled(output);
    m_copyAct->setEnabled(output);
    const bool children = !m_mdiArea->subWindowList().isEmpty();
    m_tileAct->setEnabled(children);
    m_cascadeAct->setEnabled(children);
    m_arrangeAct->setEnabled(children);
    m_closeAllAct->setEnabled(children);
    m_printAllAct->setEnabled(!Browsers().empty() || !Charts().empty());
    for (QAction* a : HelpActions()) {
        a->setEnabled(m_helpAvailable);
    }
}

} // namespace veltrio::gui
