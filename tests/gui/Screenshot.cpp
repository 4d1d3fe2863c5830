// Pictures of the desktop program for a look by eye: the main window with a
// study loaded, the descriptive statistics maximised, several documents
// cascaded, the print preview, the editor, the Options dialog, the help
// window and chart windows (a small chart of its own and, when the study
// allows them, the Youden plots and the box plots). The sizes of the child
// windows are printed as well. Usage: gui_screenshot STUDY OUTDIR (run under
// xvfb-run).
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTimer>
#include <QToolBar>
#include <cstdio>

#include "charts/ChartStyle.h"
#include "gui/browser/BrowseForm.h"
#include "gui/browser/DocumentPrinting.h"
#include "gui/charts/GraphForm.h"
#include "gui/shell/EditorForm.h"
#include "gui/shell/HelpSystem.h"
#include "gui/shell/HelpWindow.h"
#include "gui/shell/MainForm.h"
#include "gui/shell/OptionsDlg.h"
#include "gui/dialogs/ScoresDlg.h"
#include "gui/dialogs/FFselectDlg.h"
#include "gui/dialogs/FfResidualDlg.h"
#include "gui/dialogs/RepTextsForm.h"
#include "tools/RepTexts.h"
#include "gui/widgets/ScreenPlacement.h"
#include "gui/widgets/UserInterface.h"
#include "study/Program.h"

using namespace veltrio;
using namespace veltrio::gui;

namespace {
void Settle() {
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
    }
}
void Save(QWidget& w, const QString& dir, const char* name) {
    Settle();
    w.grab().save(QDir(dir).filePath(QString::fromLatin1(name)));
}

// A chart as a procedure would make it: axes, a curve with its legend, a
// title, axis titles and a filled marker.
std::shared_ptr<TGraphWindow> SimpleChart(const TSettings& settings) {
    auto chart = NewChartWindow(settings);
    chart->SetOrigin(3, 13);
    chart->SetXAxis(1, 0, 0, 10, 2);
    chart->SetYAxis(1, 0, 0, 10, 2);
    const TPointXY points[] = {{1, 2}, {3, 4.5}, {5, 4}, {7, 7.5}, {9, 8}};
    chart->AddCurve(points, "Laboratory 7", MakeColor(0, 0, 255), -1, TPenStyle::psSolid, 0.25,
                    MakeColor(0, 0, 255), 1);
    TFontDescriptor title;
    title.Size = 18;
    title.Bold = true;
    chart->SetTitle("A simple chart", title, -1);
    TFontDescriptor axis;
    chart->SetXAxisTitle("Sample A, mg/l", 1, axis);
    chart->SetYAxisTitle("Sample B, mg/l", 0, axis);
    chart->DrawMarker(6, MakeColor(255, 0, 0), 0.3, chart->PageX(5), chart->PageY(5), true);
    return chart;
}

void PrintWindows(TMainForm& form, const char* what) {
    Settle();
    const QSize area = form.MdiArea()->viewport()->size();
    std::printf("%s (workspace %d x %d):\n", what, area.width(), area.height());
    for (QMdiSubWindow* w : form.MdiArea()->subWindowList()) {
        std::printf("  %-40s %s %d x %d at %d, %d\n", qPrintable(w->windowTitle()),
                    w->isMaximized() ? "maximised" : "normal   ", w->width(), w->height(), w->x(),
                    w->y());
    }
    std::printf("  title: %s\n", qPrintable(form.windowTitle()));
}

// Print all windows goes to a PDF file.
class PdfPrinterChoice : public TUserInterface {
public:
    explicit PdfPrinterChoice(QString file) : m_file(std::move(file)) {}
    bool AskPrinter(QWidget*, QPrinter& printer) override {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_file);
        return true;
    }

private:
    QString m_file;
};

// The active chart window, not maximised.
void SaveChartWindow(TMainForm& form, const QString& dir, const char* name) {
    if (QMdiSubWindow* sub = form.MdiArea()->activeSubWindow()) {
        sub->showNormal();
        sub->resize(640, 560);
        sub->move(0, 0);
    }
    Save(form, dir, name);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    TMainFormOptions o;
    o.ProgramDir = VELTRIO_BIN_DIR;
    o.SettingsFile = std::filesystem::path(out.toStdString()) / "VELTRIO.INI";
    TMainForm form(o);
    if (!form.StartUp()) {
        return 1;
    }
    form.resize(1200, 800);
    form.show();
    form.OpenStudy(QString::fromLocal8Bit(argv[1]), true);
    Save(form, out, "main.png");
    for (const auto& [menu, name] : {std::pair{form.PreliminaryMenu(), "menu-preliminary.png"},
                                     std::pair{form.LaboratoriesMenu(), "menu-laboratories.png"}}) {
        menu->popup(QPoint(0, 0));
        Save(*menu, out, name);
        menu->hide();
    }
    form.ProcedureAction("descriptive-statistics")->trigger();
    Save(form, out, "maximised.png");
    if (auto* bar = form.findChild<QToolBar*>()) {
        // The tool bar's icons three times their size, with a document open.
        const QImage icons =
            bar->grab(QRect(0, 0, form.TransformPanel()->x(), bar->height())).toImage();
        icons.scaled(icons.size() * 3, Qt::KeepAspectRatio, Qt::FastTransformation)
            .save(QDir(out).filePath(QStringLiteral("toolbar.png")));
    }
    PrintWindows(form, "one document");
    form.ProcedureAction("base-table-iso-table-a")->trigger();
    form.ProcedureAction("grubbs-outliers")->trigger();
    Save(form, out, "maximised-third.png");
    PrintWindows(form, "three documents");
    form.MdiArea()->cascadeSubWindows();
    Save(form, out, "cascade.png");
    PrintWindows(form, "cascaded");
    form.MdiArea()->subWindowList().front()->showMaximized();
    Settle();

    if (TTavBrowseForm* b = form.ActiveBrowser()) {
        QPrinter printer(QPrinter::HighResolution);
        QPrintPreviewDialog preview(&printer, &form);
        PlaceMaximized(preview);
        QObject::connect(
            &preview, &QPrintPreviewDialog::paintRequested, &preview,
            [b](QPrinter* p) { PrintDocumentOn(b->Document(), *p, b->windowTitle()); });
        preview.show();
        Save(preview, out, "preview.png");
        preview.close();
    }
    {
        TEditorForm editor(&form);
        editor.LoadFile(form.CurrentFile());
        editor.show();
        Save(editor, out, "editor.png");
        std::printf("editor: %d x %d\n", editor.width(), editor.height());
    }
    {
        // The fast feedback dialogs, on the folder of the study.
        TFFselectDlg files(&form);
        files.SetDirectory(QFileInfo(QString::fromLocal8Bit(argv[1])).absolutePath());
        if (files.UnselectedList()->count() > 1) {
            files.UnselectedList()->item(1)->setSelected(true);
            files.AddButton()->click();
        }
        files.show();
        for (int i = 0; i < 20; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        Save(files, out, "feedback-files.png");
        TFfResidualDlg options(&form);
        options.SetLastLab(12);
        options.show();
        Save(options, out, "feedback-options.png");
    }
    {
        // The report texts of a round, their laboratory names and legends.
        TRepTexts texts(&form.program());
        texts.TestName = "Round 7 of the water laboratories";
        texts.Topic = "Metals";
        texts.SamplesShipped = "2026-03-02";
        texts.HomogeneityText = "The samples were homogeneous.\r\n\r\nTen bottles were tested.";
        texts.Signature = "The organiser";
        texts.ReportFiles = {{"LR_1.PAR", {"Zinc", 5, 10, 0, 0, 5, 10, 0, 0}},
                             {"LR_2.PAR", {"Offset", 0, 0, 0.5, 1.0, 0, 0, 0.5, 1.0}}};
        texts.LabNames = {{"L02", "Water works Nord"}};
        TRepTextsForm reps(form.program(), texts, &form);
        reps.show();
        Save(reps, out, "report-texts.png");
        TLabNamesForm names(&form);
        names.SetNames(texts.LabNames);
        names.show();
        Save(names, out, "lab-names.png");
        TLegendForm legends(&form);
        legends.SetLegends(texts.ShownLegends());
        legends.show();
        Save(legends, out, "legends.png");
    }
    {
        TScoresDlg scores(&form);
        scores.SetOptions({TAssignedChoice::Auto, TSigmaChoice::Typed, {0.5, 1.25}},
                          {QStringLiteral("Level A"), QStringLiteral("Level B"),
                           QStringLiteral("Level C")});
        scores.show();
        Save(scores, out, "scores-dialog.png");
    }
    form.OptionsDialog().LoadControls();
    form.OptionsDialog().show();
    Save(form.OptionsDialog(), out, "options.png");
    form.OptionsDialog().hide();
    Host& host = form;
    host.ShowChart(SimpleChart(form.program().Settings), "A simple chart", 0);
    Save(form, out, "chart-maximised.png");
    SaveChartWindow(form, out, "chart.png");
    if (TGraphForm* chart = form.ActiveChart()) {
        chart->ChartView()->grab().save(QDir(out).filePath(QStringLiteral("chart-view.png")));
    }
    for (const auto& [procedure, name] :
         {std::pair{"youden-plots", "chart-youden.png"}, std::pair{"box-plots", "chart-box.png"}}) {
        QAction* a = form.ProcedureAction(procedure);
        if (a && a->isEnabled()) {
            a->trigger();
            Save(form, out, name);
        }
    }

    {
        // Every window into one PDF, as Print all windows to a PDF printer.
        PdfPrinterChoice pdf(QDir(out).filePath(QStringLiteral("print-all.pdf")));
        TUserInterface::SetCurrent(&pdf);
        form.mnuPrintAllClick();
        TUserInterface::SetCurrent(nullptr);
    }
    form.Help().ShowContext(100);
    if (form.Help().Window()) {
        Save(*form.Help().Window(), out, "help.png");
        std::printf("help: %d x %d\n", form.Help().Window()->width(),
                    form.Help().Window()->height());
    }
    return 0;
}
