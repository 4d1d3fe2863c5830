// The desktop program's start and its memory with many windows, measured
// in one process under any Qt platform (offscreen or Xvfb):
//   veltrio_gui_bench [STUDY.PAR] [WINDOWS]
// prints the time from the start of the process to a shown main window and
// the peak resident memory once WINDOWS document and chart windows are open
// (the whole evaluation of the study, repeated until there are that many).
// Targets: start at most 0.3 s, peak at most 150 MiB with 30 windows.
#include <QAction>
#include <QDialog>
#include <QMessageBox>
#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "charts/ChartItem.h"
#include "gui/shell/MainForm.h"
#include "gui/widgets/UserInterface.h"
#include "platform/RasterPicture.h"

namespace {

double SecondsSinceProcessStart() {
    // /proc/self/stat field 22: the start time in clock ticks after boot.
    std::ifstream stat("/proc/self/stat");
    std::string s((std::istreambuf_iterator<char>(stat)), {});
    const auto close = s.rfind(')');
    std::size_t pos = close + 2;
    for (int field = 3; field < 22; ++field) {
        pos = s.find(' ', pos) + 1;
    }
    const double startTicks = std::stod(s.substr(pos, s.find(' ', pos) - pos));
    std::ifstream up("/proc/uptime");
    double uptime = 0;
    up >> uptime;
    return uptime - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double PeakMiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

// Answers every dialog with OK and every question with yes, without
// waiting for a user.
class TAcceptingUserInterface : public veltrio::gui::TUserInterface {
public:
    void Message(QWidget*, const QString&, const QString&, QMessageBox::Icon) override {}
    bool YesNo(QWidget*, const QString&, const QString&) override { return true; }
    int Exec(QDialog&) override { return QDialog::Accepted; }
};

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    veltrio::SetChartRasterizer(veltrio::platform::RenderPicture);
    const std::string study = argc > 1 ? argv[1] : VELTRIO_SOURCE_DIR "/examples/LEAD.PAR";
    const int wanted = argc > 2 ? std::atoi(argv[2]) : 30;

    TAcceptingUserInterface ui;
    veltrio::gui::TUserInterface::SetCurrent(&ui);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    veltrio::gui::TMainFormOptions options;
    options.ProgramDir = VELTRIO_BIN_DIR;
    options.SettingsFile = std::filesystem::temp_directory_path() / "veltrio_gui_bench.ini";
    veltrio::gui::TMainForm window(options);
    if (!window.StartUp()) {
        return 1;
    }
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed()) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (sinceMain.elapsed() > 10000) {
            break;
        }
    }
    QApplication::processEvents();
    const double before = SecondsSinceProcessStart() - sinceMain.elapsed() / 1000.0;
    std::printf("start to a shown main window: %.0f ms (%.0f ms of it before main)\n",
                sinceMain.elapsed() + before * 1000.0, before * 1000.0);
    std::printf("peak memory, main window shown: %.1f MiB\n", PeakMiB());

    window.OpenStudy(QString::fromStdString(study), false);
    QAction* execute = window.ProcedureAction("execute-interlaboratory-study");
    int rounds = 0;
    while (window.MdiArea()->subWindowList().size() < wanted && rounds < 20) {
        execute->trigger();
        QApplication::processEvents();
        ++rounds;
    }
    std::printf("peak memory with %lld windows open: %.1f MiB\n",
                static_cast<long long>(window.MdiArea()->subWindowList().size()), PeakMiB());
    return 0;
}
