// veltrio-cli-run: the "run" command of veltrio-cli, which needs Qt for
// fonts and PDF output. veltrio-cli starts it in its place, so that the
// commands without documents load no Qt.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <thread>
#include <atomic>
#include <algorithm>
#include <vector>

#include <malloc.h>
#include <unistd.h>

#include <QGuiApplication>

#include "CliCommon.h"
#include "CliHost.h"
#include "DocumentFiles.h"
#include "StudyJson.h"
#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/ScopeGuard.h"
#include "charts/GraphWindow.h"
#include "charts/ChartItem.h"
#include "commands/Commands.h"
#include "documents/HtmlExport.h"
#include "platform/ChartExport.h"
#include "platform/RasterPicture.h"
#include "platform/ReportTextMeasure.h"
#include "study/Program.h"
#include "study/StudyTypes.h"
#include "tools/LabReports.h"
#include "tools/QuickResponse.h"
#include "tools/RepTexts.h"

namespace fs = std::filesystem;
using namespace veltrio;

namespace {

void PrepareQtEnvironment() {
    // Fonts and PDF output need a GUI application object, never a display.
    if (!std::getenv("QT_QPA_PLATFORM")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    // Without a desktop session there is no runtime folder; Qt makes one
    // but warns on every run.
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        const fs::path runtime =
            fs::temp_directory_path() / ("veltrio-runtime-" + std::to_string(getuid()));
        std::error_code ignored;
        fs::create_directories(runtime, ignored);
        fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace, ignored);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
}

// The output folder, made when it is not there; false (said) when it
// cannot be made.
bool MakeOutDir(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        std::cerr << "veltrio-cli: cannot create " << dir.string() << ": " << ec.message() << '\n';
        return false;
    }
    return true;
}

int RunProcedures(char** argv, const Options& o, Program& program, CliHost& host) {
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
    // Without names the whole evaluation runs, as "Execute interlaboratory
    // study" does.
    const bool all = procedures.empty();
    if (all) {
        procedures.push_back("execute-interlaboratory-study");
    }
    if (!LoadStudy(o.Args[0], program, host) || !ApplyExclusions(o, program)) {
        return ExitRefused;
    }
    if (!MakeOutDir(o.OutDir)) {
        return ExitRefused;
    }
    PrepareQtEnvironment();
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    // Charts inside documents become pictures in HTML and RTF.
    SetChartRasterizer(platform::RenderPicture);

    // A procedure named on the command line that does not apply, or whose
    // output the formats leave out, makes the run fail after the rest is
    // written: a script must not take an empty folder for a result.
    int status = ExitOk;
    std::set<std::string> skipped;
    for (const auto& name : procedures) {
        const TProcedure* proc = FindProcedure(name);
        if (!proc->Enabled(program)) {
            if (!all) {
                std::cerr << "veltrio-cli: " << name << " does not apply to this study\n";
                status = ExitRefused;
            }
            continue;
        }
        host.CurrentProcedure = proc->Name;
        host.RequestedProcedure = proc->Name;
        const int messagesBefore = host.MessageCount();
        const std::size_t shownBefore = host.Documents.size();
        try {
            proc->Run(program);
        } catch (const EVeltrioError& e) {
            // The error ends this procedure (with its message), not the run.
            std::cerr << "veltrio-cli: " << proc->Name << ": " << e.what() << '\n';
            skipped.insert(proc->Name);
            status = ExitRefused;
            continue;
        }
        // A check that refused the study (its message is on standard
        // error) skips the procedure.
        if (host.MessageCount() > messagesBefore && host.Documents.size() == shownBefore) {
            skipped.insert(proc->Name);
        }
    }
    TDocumentFormats formats;
    formats.Html = o.Formats.count("html") > 0;
    formats.Rtf = o.Formats.count("rtf") > 0;
    formats.Pdf = o.Formats.count("pdf") > 0;
    formats.Text = o.Formats.count("txt") > 0;
    // A procedure that shows several documents or charts (one per level)
    // numbers them: youden-plots-1, youden-plots-2, ...
    std::map<std::string, int> shownBy, numberOf;
    for (const auto& shown : host.Documents) {
        ++shownBy[shown.Name];
    }
    // The files of every window shown: its extensions in the formats asked
    // for and its numbered base name (none when no format applies).
    struct Output {
        std::vector<const char*> Exts;
        std::string Base;
    };
    std::vector<Output> outputs;
    int n = 0;
    for (const auto& shown : host.Documents) {
        Output out;
        for (const char* ext : shown.Chart
                                   ? std::vector<const char*>{"svg", "png"}
                                   : std::vector<const char*>{"html", "rtf", "pdf", "txt"}) {
            if (o.Formats.count(ext)) {
                out.Exts.push_back(ext);
            }
        }
        if (!out.Exts.empty()) {
            char prefix[16];
            std::snprintf(prefix, sizeof prefix, "%02d", ++n);
            out.Base = std::string(prefix) + "-" + shown.Name;
            if (shownBy[shown.Name] > 1) {
                out.Base += "-" + std::to_string(++numberOf[shown.Name]);
            }
        }
        outputs.push_back(std::move(out));
    }
    std::set<std::string> wroteFiles;
    std::string why;
    std::vector<std::string> menus;
    std::map<std::string, std::string> byMenu;
    // Charts as PNG at print resolution.
    constexpr int ChartPixelsPerInch = 150;
    // The charts are drawn by workers beside the documents: each chart is
    // drawn by one thread only, and the documents stay on this one.
    struct ChartJob {
        TGraphWindow* Chart;
        fs::path Base;
        std::string Why;
        bool Ok = true;
    };
    std::vector<ChartJob> chartJobs;
    for (std::size_t i = 0; i < host.Documents.size(); ++i) {
        if (host.Documents[i].Chart && !outputs[i].Exts.empty()) {
            chartJobs.push_back({host.Documents[i].Chart.get(), o.OutDir / outputs[i].Base, {}});
        }
    }
    const bool svg = o.Formats.count("svg") > 0, png = o.Formats.count("png") > 0;
    std::atomic<std::size_t> nextJob{0};
    auto drawCharts = [&] {
        for (std::size_t i; (i = nextJob.fetch_add(1)) < chartJobs.size();) {
            ChartJob& job = chartJobs[i];
            job.Ok = (!svg || platform::SaveChartAsSvg(*job.Chart, job.Base.string() + ".svg",
                                                       &job.Why)) &&
                     (!png || platform::SaveChartAsPng(*job.Chart, job.Base.string() + ".png",
                                                       ChartPixelsPerInch, &job.Why));
        }
    };
    // As many workers as cores: the documents need less time than the
    // charts, so this thread shares a core with one of them.
    std::vector<std::thread> workers;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (std::size_t i = 0; i < std::min<std::size_t>(chartJobs.size(), cores); ++i) {
        workers.emplace_back(drawCharts);
    }
    // Every worker is joined on every path.
    TScopeExit joinWorkers([&] {
        for (auto& w : workers) {
            if (w.joinable()) {
                w.join();
            }
        }
    });
    for (std::size_t i = 0; i < host.Documents.size(); ++i) {
        const auto& shown = host.Documents[i];
        const auto& exts = outputs[i].Exts;
        const std::string& base = outputs[i].Base;
        if (exts.empty()) {
            continue;
        }
        if (!shown.Chart && !WriteDocumentFiles(*shown.Document, o.OutDir, base, formats, why)) {
            std::cerr << "veltrio-cli: " << why << '\n';
            return ExitRefused;
        }
        wroteFiles.insert(shown.Requested);
        std::string item = "<li>" + HtmlText(shown.Caption) + ":";
        for (const char* ext : exts) {
            item += std::string(" <a href=\"") + base + "." + ext + "\">" + ext + "</a>";
        }
        item += "</li>\n";
        const std::string menu(ProcedureMenu(shown.Name));
        if (!byMenu.count(menu)) {
            menus.push_back(menu);
        }
        byMenu[menu] += item;
    }
    for (auto& w : workers) {
        w.join();
    }
    for (const ChartJob& job : chartJobs) {
        if (!job.Ok) {
            std::cerr << "veltrio-cli: " << job.Why << '\n';
            return ExitRefused;
        }
    }
    // The index groups the files by the menu of their procedure, in the
    // order the menus first showed something.
    std::string list;
    for (const auto& menu : menus) {
        list += "<h2>" + HtmlText(menu.empty() ? std::string("Other") : menu) + "</h2>\n<ul>\n" +
                byMenu[menu] + "</ul>\n";
    }
    list += "<h2>Figures</h2>\n<ul>\n";
    if (!all) {
        for (const auto& name : procedures) {
            if (skipped.count(name)) {
                std::cerr << "veltrio-cli: " << name << " was skipped\n";
                status = ExitRefused;
            } else if (FindProcedure(name)->Enabled(program) && !wroteFiles.count(name)) {
                std::cerr << "veltrio-cli: " << name
                          << " wrote no file in the formats asked for (documents: html, rtf, "
                             "pdf, txt; charts: svg, png)\n";
                status = ExitRefused;
            }
        }
    }
    std::string excluded;
    for (const auto& code : o.Exclude) {
        excluded += (excluded.empty() ? "" : ", ") + code;
    }
    if (!excluded.empty()) {
        excluded = "<p>Excluded laboratories: " + HtmlText(excluded) + "</p>\n";
    }
    const std::string index =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" +
        HtmlText(program.CurrentStudy->TestId) + "</title></head><body>\n<h1>" +
        HtmlText(program.CurrentStudy->TestId) + "</h1>\n<p>" +
        HtmlText(program.CurrentStudy->Substance + ", " + program.CurrentStudy->Unit) + "</p>\n" +
        excluded + list +
        "<li><a href=\"study.json\">study.json</a>: the study and its figures</li>\n</ul>\n"
        "</body></html>\n";
    if (!WriteFileAtomically(o.OutDir / "study.json", StudyToJson(program), &why) ||
        !WriteFileAtomically(o.OutDir / "index.html", index, &why)) {
        std::cerr << "veltrio-cli: " << why << '\n';
        return ExitRefused;
    }
    std::cout << "Wrote " << (o.OutDir / "index.html").string() << '\n';
    return status;
}

// The fast feedback forms of a round of files as one document in every
// document format, and the table file.
int FastFeedback(char** argv, const Options& o, Program& program, CliHost& host) {
    if (o.Args.empty()) {
        std::cerr << "veltrio-cli: fast-feedback takes one or more study files\n" << kUsage;
        return ExitUsage;
    }
    if (!o.OutDirGiven) {
        std::cerr << "veltrio-cli: fast-feedback needs --out DIR\n" << kUsage;
        return ExitUsage;
    }
    if (o.NoTab && !o.TabFile.empty()) {
        std::cerr << "veltrio-cli: --tab and --no-tab exclude each other\n" << kUsage;
        return ExitUsage;
    }
    TQuickResponse qr;
    qr.ClearFiles();
    for (const auto& file : o.Args) {
        if (!qr.AddFile(file)) {
            std::cerr << "veltrio-cli: cannot find the study file " << file << '\n';
            return ExitRefused;
        }
    }
    qr.ResistantResiduals = o.Residuals != "gaussian";
    // The forms go to the laboratories of the first file; the range is cut
    // to them.
    qr.FirstLab = o.FirstLab > 0 ? o.FirstLab : 1;
    qr.LastLab = o.FirstLab > 0 ? o.LastLab : MaxLabs;
    if (!MakeOutDir(o.OutDir)) {
        return ExitRefused;
    }
    const fs::path tab =
        o.NoTab ? fs::path() : (o.TabFile.empty() ? o.OutDir / "fast-feedback.tab" : o.TabFile);
    qr.SaveAsFile = !tab.empty();
    PrepareQtEnvironment();
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    host.CurrentProcedure = "fast-feedback";
    const bool saved = qr.Generate(program, tab);
    if (host.Documents.empty()) {
        return ExitRefused;
    }
    TDocumentFormats formats;
    std::string why;
    if (!WriteDocumentFiles(*host.Documents.back().Document, o.OutDir, "fast-feedback", formats,
                            why)) {
        std::cerr << "veltrio-cli: " << why << '\n';
        return ExitRefused;
    }
    std::cout << "Wrote " << (o.OutDir / "fast-feedback.html").string() << '\n';
    return saved ? ExitOk : ExitRefused;
}

// The laboratory reports of the report-texts file: one document per file and
// level, the overview and the reports, each in every document format, and
// an index of them.
int LabReportsCommand(char** argv, const Options& o, Program& program, CliHost& host) {
    if (o.RepTextsFile.empty()) {
        std::cerr << "veltrio-cli: lab-reports takes one report-texts file (.rxt)\n" << kUsage;
        return ExitUsage;
    }
    if (!o.OutDirGiven) {
        std::cerr << "veltrio-cli: lab-reports needs --out DIR\n" << kUsage;
        return ExitUsage;
    }
    TRepTexts texts(&program);
    try {
        texts.LoadFile(o.RepTextsFile);
    } catch (const EVeltrioError& e) {
        std::cerr << "veltrio-cli: " << o.RepTextsFile.string() << ": " << e.what() << '\n';
        return ExitRefused;
    }
    texts.RepTextsFile = o.RepTextsFile;
    if (!o.ParDir.empty()) {
        texts.ParDir = o.ParDir;
    }
    if (!MakeOutDir(o.OutDir)) {
        return ExitRefused;
    }
    PrepareQtEnvironment();
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    SetChartRasterizer(platform::RenderPicture);
    platform::InstallReportTextMeasure();
    host.CurrentProcedure = "lab-reports";
    TQuickResponse round;
    const bool made = RunLabReports(
        program, texts, round,
        [&o](TQuickResponse& r) {
            if (o.FirstLab > 0) {
                r.FirstLab = o.FirstLab;
                r.LastLab = std::min(r.LastLab, o.LastLab);
            }
            r.SaveAsFile = false;
            return true;
        },
        [] { return fs::path(); });
    if (!made || host.Documents.empty()) {
        std::cerr << "veltrio-cli: no laboratory report was made\n";
        return ExitRefused;
    }
    TDocumentFormats formats;
    std::string why, list;
    const std::size_t n = host.Documents.size();
    for (std::size_t i = 0; i < n; ++i) {
        char base[48];
        if (i + 2 < n) {
            std::snprintf(base, sizeof base, "%02zu-level-summary", i + 1);
        } else {
            std::snprintf(base, sizeof base, "%02zu-%s", i + 1,
                          i + 1 == n ? "laboratory-reports" : "results-overview");
        }
        if (!WriteDocumentFiles(*host.Documents[i].Document, o.OutDir, base, formats, why)) {
            std::cerr << "veltrio-cli: " << why << '\n';
            return ExitRefused;
        }
        list += "<li>" + HtmlText(host.Documents[i].Caption) + ":";
        for (const char* ext : {"html", "rtf", "pdf", "txt"}) {
            list += std::string(" <a href=\"") + base + "." + ext + "\">" + ext + "</a>";
        }
        list += "</li>\n";
    }
    const std::string index = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" +
                              HtmlText(texts.TestName) +
                              "</title></head>\n<body>\n<h1>" + HtmlText(texts.TestName) +
                              "</h1>\n<ul>\n" + list + "</ul>\n</body></html>\n";
    if (!WriteFileAtomically(o.OutDir / "index.html", index, &why)) {
        std::cerr << "veltrio-cli: " << why << '\n';
        return ExitRefused;
    }
    std::cout << "Wrote " << (o.OutDir / "index.html").string() << '\n';
    return ExitOk;
}

} // namespace

int main(int argc, char** argv) {
    // The pictures of the charts are large blocks made and freed one after
    // the other: kept in the heap rather than mapped afresh each time, they
    // cost no new page faults.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
    Options o;
    std::string error;
    if (!ParseArgs(argc, argv, o, error) ||
        (o.Command != "run" && o.Command != "fast-feedback" && o.Command != "lab-reports")) {
        std::cerr << "veltrio-cli: " << (error.empty() ? "this program only runs \"run\"" : error)
                  << "\n"
                  << kUsage;
        return ExitUsage;
    }
    CliHost host(std::cerr);
    host.MethodGroups = o.MethodGroups;
    host.EllipseDisplay = o.EllipseDisplay;
    Program program(host);
    try {
        if (const int status = SetUpProgram(o, program, argv[0]); status != ExitOk) {
            return status;
        }
        if (o.Command == "lab-reports") {
            return LabReportsCommand(argv, o, program, host);
        }
        return o.Command == "run" ? RunProcedures(argv, o, program, host)
                                  : FastFeedback(argv, o, program, host);
    } catch (const EVeltrioError& e) {
        std::cerr << "veltrio-cli: " << e.what() << '\n';
        return ExitRefused;
    }
}
