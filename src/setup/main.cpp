// setup: walks the user through the licence and installation pages, runs the
// install script that lies next to this program, and reports the outcome.
// Exit code 0 only when the script ran and succeeded.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "setup/SetupDialogs.h"

int main(int argc, char** argv) {
    using namespace veltrio::setup;
    bool yes = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--yes") == 0) {
            yes = true;
        } else if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("usage: setup [--yes]\n"
                        "Shows the licence and installation pages, then runs %s (next to\n"
                        "this program) with the system shell. --yes accepts the pages without\n"
                        "a display. Exit code: 0 installed, 1 cancelled, 2 script missing,\n"
                        "3 script failed.\n",
                        ScriptName);
            return 0;
        }
        // Anything else on the command line is not used.
    }
    const auto dir = ProgramDirectory(argv[0]);
    if (yes) {
        TConsoleSetupUi ui;
        return RunSetup(ui, dir);
    }
    QApplication app(argc, argv);
    TGuiSetupUi ui;
    return RunSetup(ui, dir);
}
