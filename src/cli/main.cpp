// veltrio-cli: the evaluations of Veltrio without a display.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "CliHost.h"
#include "DocumentFiles.h"
#include "StudyJson.h"
#include "StudyText.h"
#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/TextUtil.h"
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
  run FILE [--procedure NAME]... [--out DIR] [--format LIST]
                               evaluate a study file and write its documents
                               into DIR (default: veltrio-out) with an
                               index.html; without --procedure every procedure
                               that the study allows runs
  list                         the procedure names and their menu captions

Options:
  --format LIST                formats to write, comma-separated from
                               html,rtf,pdf,txt (default: all four)
  --lang FILE                  the language file to use
  --language NAME              the output language by name (English, Dansk,
                               ...) or number 0..5 (default: English)
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
    std::vector<std::string> Procedures;
    std::set<std::string> Formats{"html", "rtf", "pdf", "txt"};
    fs::path LanguageFile;
    int Language = 0;
    bool Json = false;
    fs::path OutDir = "veltrio-out";
};

// A language by number or by name (base name or the name the Options
// dialog shows, in any case).
int LanguageByName(const std::string& name) {
    if (name.size() == 1 && name[0] >= '0' && name[0] < '0' + LanguageCount) {
        return name[0] - '0';
    }
    const std::string upper = UpperAscii(name);
    for (int i = 0; i < LanguageCount; ++i) {
        if (upper == LanguageBaseName(i) || upper == UpperAscii(LanguageDisplayName(i))) {
            return i;
        }
    }
    return -1;
}

bool ParseArgs(int argc, char** argv, Options& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* name, std::string& out) {
            if (i + 1 >= argc) {
                error = std::string(name) + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help") {
            o.Command = "help";
            return true;
        } else if (a == "--lang") {
            if (!value("--lang", v)) {
                return false;
            }
            o.LanguageFile = v;
        } else if (a == "--language") {
            if (!value("--language", v)) {
                return false;
            }
            o.Language = LanguageByName(v);
            if (o.Language < 0) {
                error = "--language takes English, Dansk, Deutsch, Francais, Espanol, Slovakia "
                        "or 0 to 5";
                return false;
            }
        } else if (a == "--json") {
            o.Json = true;
        } else if (a == "--out") {
            if (!value("--out", v)) {
                return false;
            }
            o.OutDir = v;
        } else if (a == "--procedure") {
            if (!value("--procedure", v)) {
                return false;
            }
            o.Procedures.push_back(v);
        } else if (a == "--format") {
            if (!value("--format", v)) {
                return false;
            }
            o.Formats.clear();
            std::size_t pos = 0;
            while (pos <= v.size()) {
                const std::size_t comma = std::min(v.find(',', pos), v.size());
                const std::string f = v.substr(pos, comma - pos);
                if (f != "html" && f != "rtf" && f != "pdf" && f != "txt") {
                    error = "--format takes html, rtf, pdf and txt, not \"" + f + "\"";
                    return false;
                }
                o.Formats.insert(f);
                pos = comma + 1;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else if (o.Command.empty()) {
            o.Command = a;
        } else {
            o.Args.push_back(a);
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

bool LoadStudy(const fs::path& file, Program& program, CliHost& host) {
    if (ReadStudyFile(program, file) == 0 && program.StudyLoaded) {
        return true;
    }
    if (host.MessageCount() == 0) {
        // The reader refuses a file without FILEHEADER silently.
        std::cerr << "veltrio-cli: " << file.string()
                  << " is not a study file (it does not begin with FILEHEADER)\n";
    }
    return false;
}

int Stats(const Options& o, Program& program, CliHost& host) {
    if (o.Args.size() != 1) {
        std::cerr << "veltrio-cli: stats takes one study file\n" << kUsage;
        return ExitUsage;
    }
    if (!LoadStudy(o.Args[0], program, host)) {
        return ExitRefused;
    }
    std::cout << (o.Json ? StudyToJson(program) : StudyToText(program));
    return ExitOk;
}

int RunProcedures(int argc, char** argv, const Options& o, Program& program, CliHost& host) {
    if (o.Args.size() != 1) {
        std::cerr << "veltrio-cli: run takes one study file\n" << kUsage;
        return ExitUsage;
    }
    std::vector<std::string> procedures = o.Procedures;
    for (const auto& name : procedures) {
        if (!FindProcedure(name)) {
            std::cerr << "veltrio-cli: unknown procedure " << name
                      << " (veltrio-cli list shows them)\n";
            return ExitUsage;
        }
    }
    const bool all = procedures.empty();
    if (all) {
        for (const auto& p : Procedures()) {
            procedures.push_back(p.Name);
        }
    }
    if (!LoadStudy(o.Args[0], program, host)) {
        return ExitRefused;
    }
    std::error_code ec;
    fs::create_directories(o.OutDir, ec);
    if (ec) {
        std::cerr << "veltrio-cli: cannot create " << o.OutDir.string() << ": " << ec.message()
                  << '\n';
        return ExitRefused;
    }
    // Fonts and PDF output need a GUI application object, never a display.
    if (!std::getenv("QT_QPA_PLATFORM")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    (void)argc;

    for (const auto& name : procedures) {
        const TProcedure* proc = FindProcedure(name);
        if (!proc->Enabled(program)) {
            if (!all) {
                std::cerr << "veltrio-cli: " << name << " does not apply to this study\n";
            }
            continue;
        }
        host.CurrentProcedure = proc->Name;
        proc->Run(program);
    }
    TDocumentFormats formats;
    formats.Html = o.Formats.count("html") > 0;
    formats.Rtf = o.Formats.count("rtf") > 0;
    formats.Pdf = o.Formats.count("pdf") > 0;
    formats.Text = o.Formats.count("txt") > 0;
    std::string why;
    std::string list;
    int n = 0;
    for (auto& shown : host.Documents) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%02d", ++n);
        const std::string base = std::string(prefix) + "-" + shown.Name;
        if (!WriteDocumentFiles(*shown.Document, o.OutDir, base, formats, why)) {
            std::cerr << "veltrio-cli: " << why << '\n';
            return ExitRefused;
        }
        list += "<li>" + HtmlEscape(shown.Caption) + ":";
        for (const char* ext : {"html", "rtf", "pdf", "txt"}) {
            if (o.Formats.count(ext)) {
                list += std::string(" <a href=\"") + base + "." + ext + "\">" + ext + "</a>";
            }
        }
        list += "</li>\n";
    }
    const std::string index =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" +
        HtmlEscape(program.CurrentStudy->TestId) + "</title></head><body>\n<h1>" +
        HtmlEscape(program.CurrentStudy->TestId) + "</h1>\n<p>" +
        HtmlEscape(program.CurrentStudy->Substance + ", " + program.CurrentStudy->Unit) +
        "</p>\n<ul>\n" + list +
        "<li><a href=\"study.json\">study.json</a>: the study and its figures</li>\n</ul>\n"
        "</body></html>\n";
    if (!WriteFileAtomically(o.OutDir / "study.json", StudyToJson(program), &why) ||
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
    if (o.Command == "list") {
        for (const auto& p : Procedures()) {
            std::cout << p.Name << "\t" << p.MenuCaption << '\n';
        }
        return ExitOk;
    }
    if (o.Command != "stats" && o.Command != "run") {
        std::cerr << "veltrio-cli: unknown command " << o.Command << "\n" << kUsage;
        return ExitUsage;
    }
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
        return o.Command == "stats" ? Stats(o, program, host)
                                    : RunProcedures(argc, argv, o, program, host);
    } catch (const EVeltrioError& e) {
        std::cerr << "veltrio-cli: " << e.what() << '\n';
        return ExitRefused;
    }
}
