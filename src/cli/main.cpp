// veltrio-cli: the evaluations of Veltrio without a display.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "CliHost.h"
#include "DocumentFiles.h"
#include "StudyJson.h"
#include "base/AtomicFile.h"
#include "base/Error.h"
#include "commands/Commands.h"
#include "study/Program.h"
#include "study/StudyReader.h"
#include "textlib/Languages.h"

namespace fs = std::filesystem;
using namespace veltrio;

namespace {

constexpr int ExitOk = 0;
constexpr int ExitRefused = 1;
constexpr int ExitUsage = 2;

const char* kUsage = R"(usage: veltrio-cli [options] COMMAND ...

Commands:
  stats FILE [--json]          read a study file and print the study and its
                               statistics (as JSON with --json)
  run FILE [PROCEDURE...] [--out DIR]
                               evaluate a study file and write its documents
                               (HTML with GIF images, RTF, PDF) into DIR
                               (default: veltrio-out), with index.html; without
                               PROCEDUREs every procedure the study allows runs
  procedures                   list the procedure names

Options:
  --lang FILE                  the language file to use (default: ENGLISH.TEX
                               next to the program)
  --language N                 the output language 0..5 (0 English)
  -h, --help                   this text

Exit status: 0 success, 1 the input was refused (the reason is printed on
standard error), 2 wrong usage.
)";

fs::path ProgramDirectory(const char* argv0) {
    std::error_code ec;
    const fs::path self = fs::canonical("/proc/self/exe", ec);
    if (!ec) {
        return self.parent_path();
    }
    return fs::absolute(argv0).parent_path();
}

struct Options {
    std::string Command;
    std::vector<std::string> Args;
    fs::path LanguageFile;
    int Language = 0;
    bool Json = false;
    fs::path OutDir = "veltrio-out";
};

bool ParseArgs(int argc, char** argv, Options& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* name) -> std::string {
            if (i + 1 >= argc) {
                error = std::string(name) + " needs a value";
                return {};
            }
            return argv[++i];
        };
        if (a == "-h" || a == "--help") {
            o.Command = "help";
            return true;
        } else if (a == "--lang") {
            o.LanguageFile = value("--lang");
        } else if (a == "--language") {
            const std::string v = value("--language");
            if (v.size() != 1 || v[0] < '0' || v[0] > '5') {
                error = "--language takes 0 to 5";
                return false;
            }
            o.Language = v[0] - '0';
        } else if (a == "--json") {
            o.Json = true;
        } else if (a == "--out") {
            o.OutDir = value("--out");
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else if (o.Command.empty()) {
            o.Command = a;
        } else {
            o.Args.push_back(a);
        }
        if (!error.empty()) {
            return false;
        }
    }
    if (o.Command.empty()) {
        error = "no command given";
        return false;
    }
    return true;
}

std::string HtmlEscape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Summary(const Program& p) {
    const DataType& s = *p.CurrentStudy;
    std::string out = s.TestId + ": " + s.Substance + ", " + s.Unit + "\n";
    out += (s.Design == dkSplitLevel ? "Split level, " : "Uniform level, ") +
           std::to_string(s.NoOfLabs) + " laboratories, " + std::to_string(s.NoOfReplicates) +
           " replicates, " + std::to_string(s.NoOfLevels) + " levels\n";
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        out += "  level " + std::to_string(lv) + " " + s.Level(lv).LevelName + ": " +
               std::to_string(p.Stats->NoOfValidLabs[TDescriptiveStatistics::Slot(lv)]) +
               " valid laboratories\n";
    }
    return out;
}

int Run(const Options& o, Program& program, CliHost& host) {
    if (o.Args.empty() || (o.Command == "stats" && o.Args.size() != 1)) {
        std::cerr << "veltrio-cli: " << o.Command << " takes one study file\n" << kUsage;
        return ExitUsage;
    }
    const fs::path file = o.Args[0];
    std::vector<std::string> procedures(o.Args.begin() + 1, o.Args.end());
    for (const auto& name : procedures) {
        if (!FindProcedure(name)) {
            std::cerr << "veltrio-cli: unknown procedure " << name
                      << " (veltrio-cli procedures lists them)\n";
            return ExitUsage;
        }
    }
    if (procedures.empty()) {
        for (const auto& p : Procedures()) {
            procedures.push_back(p.Name);
        }
    }
    if (ReadStudyFile(program, file) != 0 || !program.StudyLoaded) {
        if (host.MessageCount() == 0) {
            // The reader refuses a file without FILEHEADER silently.
            std::cerr << "veltrio-cli: " << file.string()
                      << " is not a study file (it does not begin with FILEHEADER)\n";
        }
        return ExitRefused;
    }
    if (o.Command == "stats") {
        std::cout << (o.Json ? StudyToJson(program) : Summary(program));
        return ExitOk;
    }
    std::error_code ec;
    fs::create_directories(o.OutDir, ec);
    if (ec) {
        std::cerr << "veltrio-cli: cannot create " << o.OutDir.string() << ": " << ec.message()
                  << '\n';
        return ExitRefused;
    }
    for (const auto& name : procedures) {
        const TProcedure* proc = FindProcedure(name);
        if (!proc->Enabled(program)) {
            std::cerr << "veltrio-cli: " << name << " does not apply to this study\n";
            continue;
        }
        proc->Run(program);
    }
    std::string why;
    std::string list;
    int n = 0;
    for (auto& shown : host.Documents) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%02d", ++n);
        const std::string base = std::string(prefix) + "-document";
        if (!WriteDocumentFiles(*shown.Document, o.OutDir, base, why)) {
            std::cerr << "veltrio-cli: " << why << '\n';
            return ExitRefused;
        }
        list += "<li>" + HtmlEscape(shown.Caption) + ": <a href=\"" + base + ".html\">HTML</a>, <a href=\"" +
                base + ".rtf\">RTF</a>, <a href=\"" + base + ".pdf\">PDF</a></li>\n";
    }
    const std::string json = StudyToJson(program);
    const std::string index =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" +
        HtmlEscape(program.CurrentStudy->TestId) + "</title></head><body>\n<h1>" +
        HtmlEscape(program.CurrentStudy->TestId) + "</h1>\n<pre>" + HtmlEscape(Summary(program)) +
        "</pre>\n<ul>\n" + list +
        "<li><a href=\"study.json\">study.json</a>: the study and its statistics</li>\n</ul>\n"
        "</body></html>\n";
    if (!WriteFileAtomically(o.OutDir / "study.json", json, &why) ||
        !WriteFileAtomically(o.OutDir / "index.html", index, &why)) {
        std::cerr << "veltrio-cli: " << why << '\n';
        return ExitRefused;
    }
    std::cout << "Wrote " << (o.OutDir / "index.html").string() << '\n';
    return ExitOk;
}

} // namespace

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
    if (o.Command == "procedures") {
        for (const auto& p : Procedures()) {
            std::cout << p.Name << "\t" << p.MenuCaption << '\n';
        }
        return ExitOk;
    }
    if (o.Command != "stats" && o.Command != "run") {
        std::cerr << "veltrio-cli: unknown command " << o.Command << "\n" << kUsage;
        return ExitUsage;
    }
    // Fonts and PDF output need a GUI application object, never a display.
    if (!std::getenv("QT_QPA_PLATFORM")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    CliHost host(std::cerr);
    Program program(host);
    program.SilentMode = true;
    program.ProgramDir = ProgramDirectory(argv[0]);
    program.Settings.OutputLanguage = o.Language;
    const fs::path lang = o.LanguageFile.empty()
                              ? program.ProgramDir / LanguageFileName(o.Language)
                              : o.LanguageFile;
    try {
        if (!program.TextLib.OpenTextLibrary(lang)) {
            std::cerr << "veltrio-cli: " << MissingLanguageFileMessage << " (" << lang.string()
                      << ")\n";
            return ExitRefused;
        }
        return Run(o, program, host);
    } catch (const EVeltrioError& e) {
        std::cerr << "veltrio-cli: " << e.what() << '\n';
        return ExitRefused;
    }
}
