// veltrio-cli: the evaluations of Veltrio without a display. Commands that
// write documents run in veltrio-cli-run, which this program starts in its
// place; the others load no Qt, so they start fast.
#include <iostream>
#include <string>
#include <unistd.h>

#include "CliCommon.h"
#include "CliHost.h"
#include "RepTextsJson.h"
#include "base/Error.h"
#include "commands/Commands.h"
#include "study/Program.h"

using namespace veltrio;

int main(int argc, char** argv) {
    Options o;
    std::string error;
    if (!ParseArgs(argc, argv, o, error)) {
        std::cerr << "veltrio-cli: " << error << "\n" << kUsage;
        return ExitUsage;
    }
    if (o.Command == "help") {
        std::cout << kUsage;
        return ExitOk;
    }
    if (o.Command == "list") {
        for (const auto& p : Procedures()) {
            std::cout << p.Name << "\t" << p.MenuCaption << '\n';
        }
        return ExitOk;
    }
    if (o.Command != "stats" && o.Command != "run" && o.Command != "fast-feedback" &&
        o.Command != "lab-reports" && o.Command != "rxt") {
        std::cerr << "veltrio-cli: unknown command " << o.Command << "\n" << kUsage;
        return ExitUsage;
    }
    if (o.Command == "rxt") {
        try {
            return RepTextsCommand(o, argv[0]);
        } catch (const EVeltrioError& e) {
            std::cerr << "veltrio-cli: " << e.what() << '\n';
            return ExitRefused;
        }
    }
    if (o.Command == "run" || o.Command == "fast-feedback" || o.Command == "lab-reports") {
        const std::string runner = (ProgramDirectory(argv[0]) / "veltrio-cli-run").string();
        argv[0] = const_cast<char*>(runner.c_str());
        execv(runner.c_str(), argv);
        std::cerr << "veltrio-cli: cannot start " << runner << '\n';
        return ExitRefused;
    }
    CliHost host(std::cerr);
    Program program(host);
    try {
        if (const int status = SetUpProgram(o, program, argv[0]); status != ExitOk) {
            return status;
        }
        return Stats(o, program, host);
    } catch (const EVeltrioError& e) {
        std::cerr << "veltrio-cli: " << e.what() << '\n';
        return ExitRefused;
    }
}
