// Pictures of the desktop program for a look by eye: the main window with the
// descriptive statistics of a study, its print preview, the Options dialog and
// the help window. Usage: gui_screenshot STUDY OUTDIR (run under xvfb-run).
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTimer>

#include "gui/browser/BrowseForm.h"
#include "gui/browser/DocumentPrinting.h"
#include "gui/shell/HelpSystem.h"
#include "gui/shell/HelpWindow.h"
#include "gui/shell/MainForm.h"
#include "gui/shell/OptionsDlg.h"

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
    form.ProcedureAction("descriptive-statistics")->trigger();
    Save(form, out, "main.png");

    if (TTavBrowseForm* b = form.ActiveBrowser()) {
        QPrinter printer(QPrinter::HighResolution);
        QPrintPreviewDialog preview(&printer, &form);
        preview.resize(1000, 800);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [b](QPrinter* p) { PrintDocumentOn(b->Document(), *p); });
        preview.show();
        Save(preview, out, "preview.png");
        preview.close();
    }
    form.OptionsDialog().LoadControls();
    form.OptionsDialog().show();
    Save(form.OptionsDialog(), out, "options.png");
    form.OptionsDialog().hide();
    form.Help().ShowContext(100);
    if (form.Help().Window()) {
        Save(*form.Help().Window(), out, "help.png");
    }
    return 0;
}
