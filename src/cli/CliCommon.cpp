// What both command-line programs share: options, set-up, reading a study.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "CliCommon.h"
#include "CliHost.h"
#include "StudyJson.h"
#include "StudyText.h"
#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/TextUtil.h"
#include "commands/Commands.h"
#include "preliminary/ExcludeLab.h"
#include "quality/Weights.h"
#include "settings/SettingsFile.h"
#include "study/Program.h"
#include "study/StudyReader.h"
#include "study/Transformations.h"
#include "textlib/Languages.h"
#include "textlib/TextLibrary.h"

namespace fs = std::filesystem;

namespace veltrio {

const char* const kUsage = R"(usage: veltrio-cli [options] COMMAND ...

Commands:
  stats FILE [--json]          read a study file and print the study and its
                               statistics (as JSON with --json)
  stats FILE --json --evaluate [--exclude CODE]...
                               run the Cochran and Grubbs tests (unless the
                               settings discard them) and the analysis of
                               variance, then print every laboratory's mark
                               and each level's outlier statistics,
                               precision figures (Sr, SL, SR, r, R),
                               Mandel's h and k (MandelH, MandelK), the
                               control of recovery rates (RecoveryControl)
                               and, in split-level studies, the differences
                               within sample pairs (SplitControl), ISO
                               Guide 35 (ISOGuide), the method evaluation
                               (MethodEvaluation: Groups with Code, N, Mean,
                               SD; TotalN, B, PB, L, PL, Z, PZ, H, PH; null
                               where not computed), the histogram
                               (Histogram: ClassWidth, Counts, GNormal,
                               pNormal, GLognormal, pLognormal; null without
                               spread), the performance scores (Scores; in
                               split-level studies an array of the two
                               samples), and per study the weight function
                               (Weights) and the weighted regression
                               (Regression) as JSON;
                               --exclude first excludes the laboratory with
                               that code, as "Exclude a laboratory" does
  run FILE [--procedure NAME]... [--exclude CODE]... [--out DIR] [--format LIST]
                               evaluate a study file and write its documents
                               and charts into DIR (default: veltrio-out) with
                               an index.html grouped by menu; without
                               --procedure the whole evaluation runs, as
                               execute-interlaboratory-study does (the three
                               composites everything-below-preliminary-
                               evaluation, -general-analytical-quality and
                               -evaluation-of-laboratories in turn); --exclude
                               first excludes the laboratory with that code
  fast-feedback FILE.PAR... [--residuals resistant|gaussian] [--labs FROM-TO]
                [--tab FILE | --no-tab] --out DIR
                               the fast feedback forms of a round of study
                               files (same laboratories, levels, replicates
                               and test id), in the order given, as one
                               document fast-feedback.html, .rtf, .pdf and
                               .txt in DIR, and as the table file (default
                               DIR/fast-feedback.tab); --labs FROM-TO gives
                               forms to laboratories FROM to TO of the first
                               file only (default: all)
  lab-reports FILE.rxt [--par-dir DIR] [--labs FROM-TO] --out DIR
                               the laboratory reports of the data files that
                               the report-texts file names, looked for in DIR
                               of --par-dir (default: the folder of FILE.rxt);
                               --labs FROM-TO gives reports to laboratories
                               FROM to TO only (default: all)
  rxt FILE.rxt --json          print a report-texts file as JSON, keyed by the
                               field names of the report texts (TestName ...
                               AssignedValueText, ParDir, UseLabNames,
                               ShowLegend, ReportFiles with Name, Alias,
                               AccuPct1, AccuPct2, AccuAbs1, AccuAbs2,
                               PrecPct1, PrecPct2, PrecAbs1, PrecAbs2,
                               LabNames with Code and Name, Legends,
                               Signature); ParDir is the folder of FILE.rxt
  rxt --write FILE.json OUT.rxt
                               write such JSON as the report-texts file
                               OUT.rxt; a key that is missing takes the value
                               of new report texts (the default legends in
                               the language of --language or --lang, English
                               without them)
  list                         the procedure names and their menu captions

Confidence ellipses (run):
  --method-group CODE[,CODE...]
                               one method group of the confidence ellipses,
                               its method codes separated by commas; up to
                               five times, one group each. Without it every
                               method code of the study is a group of its own,
                               the first five in the order of the method
                               grouping dialog (sorted without regard to case)
  --ellipse-display markers|numbers
                               mark the groups with markers and a legend
                               (default) or label each ellipse with its codes

Options:
  --format LIST                formats to write, comma-separated from
                               html,rtf,pdf,txt for documents and svg,png
                               for charts (default: all six)
  --settings FILE              the settings file (VELTRIO.INI) to use; without
                               it the program's defaults apply
  --lang FILE                  the language file to use
  --language NAME              the output language by name (English, Dansk,
                               ...) or number 0..5 (default: English)
  --discard-outlier-tests      the option "Discard outlier tests" for this run:
                               no Cochran and Grubbs tests, the documents say so
  --auto-split-correction on|off
                               the automatic spiking correction of the
                               Cochran test in split-level studies (overrides
                               the settings file)
  --weight-relation best|0..4  the relation of the weight function that the
                               regression analyses use: best (the default)
                               takes the proposed relation, 0 s(R) = b·µ,
                               1 s(R) = a + b·µ, 2 s(R)² = b·µ,
                               3 s(R)² = a + b·µ, 4 ln s(R) = a + b·ln µ; a
                               relation that gives no positive weight at
                               every level is refused
  --lab CODE                   the laboratory of
                               regression-analysis-on-a-laboratory (without
                               it that procedure is skipped)
  --assigned auto|file|consensus
                               the assigned value X of the performance
                               scores: the study file's where it gives one
                               and the robust mean x* elsewhere (auto, the
                               default), the file's only, or x* everywhere
  --sigma-pt robust|reproducibility|V1,V2,V3
                               sigma_pt of the performance scores: the robust
                               s* of Algorithm A (the default), s(R) of the
                               analysis of variance, or a value per level
  -h, --help                   this text

Exit status: 0 success, 1 the input was refused or a procedure named with
--procedure does not apply or wrote no file (the reason is printed on
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

namespace {

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

} // namespace

// robust, reproducibility, or one to three values above 0 separated by
// commas (sigma_pt of levels 1, 2, 3).
static bool ParseSigmaChoice(const std::string& v, TScoreOptions& scores, std::string& error) {
    if (v == "robust") {
        scores.Sigma = TSigmaChoice::Robust;
        return true;
    }
    if (v == "reproducibility") {
        scores.Sigma = TSigmaChoice::Reproducibility;
        return true;
    }
    std::vector<double> values;
    std::size_t start = 0;
    while (start <= v.size()) {
        const std::size_t comma = std::min(v.find(',', start), v.size());
        const std::string field = v.substr(start, comma - start);
        double x = 0;
        const auto res = std::from_chars(field.data(), field.data() + field.size(), x);
        if (field.empty() || res.ec != std::errc() || res.ptr != field.data() + field.size() ||
            !std::isfinite(x) || x <= 0) {
            error = "--sigma-pt takes robust, reproducibility or up to three numbers above 0 "
                    "separated by commas, not \"" + v + "\"";
            return false;
        }
        values.push_back(x);
        start = comma + 1;
    }
    if (values.size() > MaxLevels) {
        error = "--sigma-pt takes at most " + std::to_string(MaxLevels) + " values, one a level";
        return false;
    }
    scores.Sigma = TSigmaChoice::Typed;
    scores.TypedSigma = values;
    return true;
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
        } else if (a == "--settings") {
            if (!value("--settings", v)) {
                return false;
            }
            o.SettingsFile = v;
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
        } else if (a == "--auto-split-correction") {
            if (!value("--auto-split-correction", v)) {
                return false;
            }
            if (v != "on" && v != "off") {
                error = "--auto-split-correction takes on or off, not \"" + v + "\"";
                return false;
            }
            o.AutoSplitCorrection = v == "on" ? 1 : 0;
        } else if (a == "--weight-relation") {
            if (!value("--weight-relation", v)) {
                return false;
            }
            if (v == "best") {
                o.WeightRelation = -1;
            } else if (v.size() == 1 && v[0] >= '0' && v[0] <= '4') {
                o.WeightRelation = v[0] - '0';
            } else {
                error = "--weight-relation takes best or a relation number 0 to 4, not \"" + v +
                        "\"";
                return false;
            }
        } else if (a == "--lab") {
            if (!value("--lab", v)) {
                return false;
            }
            o.Lab = v;
        } else if (a == "--assigned") {
            if (!value("--assigned", v)) {
                return false;
            }
            if (v == "auto") {
                o.Scores.Assigned = TAssignedChoice::Auto;
            } else if (v == "file") {
                o.Scores.Assigned = TAssignedChoice::File;
            } else if (v == "consensus") {
                o.Scores.Assigned = TAssignedChoice::Consensus;
            } else {
                error = "--assigned takes auto, file or consensus, not \"" + v + "\"";
                return false;
            }
        } else if (a == "--sigma-pt") {
            if (!value("--sigma-pt", v)) {
                return false;
            }
            if (!ParseSigmaChoice(v, o.Scores, error)) {
                return false;
            }
        } else if (a == "--discard-outlier-tests") {
            o.DiscardOutlierTests = true;
        } else if (a == "--json") {
            o.Json = true;
        } else if (a == "--evaluate") {
            o.Evaluate = true;
        } else if (a == "--exclude") {
            if (!value("--exclude", v)) {
                return false;
            }
            o.Exclude.push_back(v);
        } else if (a == "--out") {
            if (!value("--out", v)) {
                return false;
            }
            o.OutDir = v;
            o.OutDirGiven = true;
        } else if (a == "--residuals") {
            if (!value("--residuals", v)) {
                return false;
            }
            if (v != "resistant" && v != "gaussian") {
                error = "--residuals takes resistant or gaussian, not \"" + v + "\"";
                return false;
            }
            o.Residuals = v;
        } else if (a == "--labs") {
            if (!value("--labs", v)) {
                return false;
            }
            const auto dash = v.find('-');
            char* end = nullptr;
            const long from = dash == std::string::npos ? -1 : std::strtol(v.c_str(), &end, 10);
            const bool fromOk = dash != std::string::npos && end == v.c_str() + dash;
            const long to = fromOk ? std::strtol(v.c_str() + dash + 1, &end, 10) : -1;
            if (!fromOk || dash + 1 >= v.size() || *end != '\0' || from < 1 || to < 0 ||
                from > 45 || to > 45) {
                error = "--labs takes FROM-TO, laboratory numbers 1 to 45 (\"2-5\")";
                return false;
            }
            o.FirstLab = static_cast<int>(from);
            o.LastLab = static_cast<int>(to);
        } else if (a == "--write") {
            if (!value("--write", v)) {
                return false;
            }
            o.WriteJson = v;
        } else if (a == "--par-dir") {
            if (!value("--par-dir", v)) {
                return false;
            }
            o.ParDir = v;
        } else if (a == "--tab") {
            if (!value("--tab", v)) {
                return false;
            }
            o.TabFile = v;
        } else if (a == "--no-tab") {
            o.NoTab = true;
        } else if (a == "--procedure") {
            if (!value("--procedure", v)) {
                return false;
            }
            o.Procedures.push_back(v);
        } else if (a == "--method-group") {
            if (!value("--method-group", v)) {
                return false;
            }
            if (o.MethodGroups.size() == 5) {
                error = "--method-group is given more than five times: the confidence ellipses "
                        "have at most five method groups";
                return false;
            }
            std::vector<std::string> group;
            std::size_t pos = 0;
            while (pos <= v.size()) {
                const std::size_t comma = std::min(v.find(',', pos), v.size());
                const std::string code = v.substr(pos, comma - pos);
                if (code.empty()) {
                    error = "--method-group takes method codes separated by commas, not \"" + v +
                            "\"";
                    return false;
                }
                group.push_back(code);
                pos = comma + 1;
            }
            o.MethodGroups.push_back(group);
        } else if (a == "--ellipse-display") {
            if (!value("--ellipse-display", v)) {
                return false;
            }
            if (v != "markers" && v != "numbers") {
                error = "--ellipse-display takes markers or numbers, not \"" + v + "\"";
                return false;
            }
            o.EllipseDisplay = v == "numbers" ? 1 : 0;
        } else if (a == "--format") {
            if (!value("--format", v)) {
                return false;
            }
            o.Formats.clear();
            std::size_t pos = 0;
            while (pos <= v.size()) {
                const std::size_t comma = std::min(v.find(',', pos), v.size());
                const std::string f = v.substr(pos, comma - pos);
                if (f != "html" && f != "rtf" && f != "pdf" && f != "txt" && f != "svg" &&
                    f != "png") {
                    error = "--format takes html, rtf, pdf, txt, svg and png, not \"" + f + "\"";
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
    if (o.Command == "lab-reports") {
        if (o.Args.size() != 1) {
            error = "lab-reports takes one report-texts file (FILE.rxt)";
            return false;
        }
        if (!o.OutDirGiven) {
            error = "lab-reports needs --out DIR";
            return false;
        }
        o.RepTextsFile = o.Args[0];
    }
    return true;
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

bool ApplyExclusions(const Options& o, Program& program) {
    std::vector<int> excluded;
    for (const auto& code : o.Exclude) {
        const int lab = FindLaboratory(program, code);
        if (lab == 0) {
            std::cerr << "veltrio-cli: the study has no laboratory " << code << '\n';
            return false;
        }
        excluded.push_back(lab);
    }
    if (!excluded.empty()) {
        ExcludeLaboratories(program, excluded);
    }
    return true;
}

int Stats(const Options& o, Program& program, CliHost& host) {
    if (o.Args.size() != 1) {
        std::cerr << "veltrio-cli: stats takes one study file\n" << kUsage;
        return ExitUsage;
    }
    if (!LoadStudy(o.Args[0], program, host)) {
        return ExitRefused;
    }
    if (!ApplyExclusions(o, program)) {
        return ExitRefused;
    }
    if (o.Evaluate) {
        std::cout << EvaluationToJson(program);
        return ExitOk;
    }
    std::cout << (o.Json ? StudyToJson(program) : StudyToText(program));
    return ExitOk;
}

int SetUpProgram(const Options& o, Program& program, const char* argv0) {
    program.SilentMode = true;
    program.ProgramDir = ProgramDirectory(argv0);
    if (!o.SettingsFile.empty() && !LoadSettings(program.Settings, o.SettingsFile)) {
        std::cerr << "veltrio-cli: cannot read the settings file " << o.SettingsFile.string()
                  << '\n';
        return ExitRefused;
    }
    if (o.Language >= 0) {
        program.Settings.OutputLanguage = o.Language;
    }
    if (o.AutoSplitCorrection >= 0) {
        program.Settings.AutoSplitCorrection = o.AutoSplitCorrection == 1;
    }
    if (o.DiscardOutlierTests) {
        program.Settings.DiscardOutlierTests = true;
    }
    program.ScoreOptions = std::make_shared<TScoreOptions>(o.Scores);
    // A transformation named in a data file is applied as the settings say.
    InstallTransformations(program);
    // The choices of the weight dialog and of "Choose a laboratory".
    program.ChooseWeightRelation = [relation = o.WeightRelation](Program& p, TWeights& w) {
        if (relation < 0) {
            return true;
        }
        if (!w.SelectRelation(relation)) {
            p.host().ShowMessage("The weight relation " + std::to_string(relation) + " (" +
                                 w.RelationName(p, relation) +
                                 ") does not give a positive weight at the assigned value of "
                                 "every level of this study; choose another with "
                                 "--weight-relation");
            return false;
        }
        w.ComputeWeights(p);
        return true;
    };
    program.ChooseRegressionLab = [code = o.Lab](Program& p) {
        if (code.empty()) {
            p.host().ShowMessage("regression-analysis-on-a-laboratory needs the laboratory: "
                                 "name it with --lab CODE");
            return MissingCount;
        }
        const int lab = FindLaboratory(p, code);
        if (lab == 0) {
            p.host().ShowMessage("The study has no laboratory " + code);
            return MissingCount;
        }
        if (p.CurrentStudy->Level(1).GetMark(lab) == MarkUserExcluded) {
            p.host().ShowMessage("The laboratory " + code + " is excluded from the evaluation");
            return MissingCount;
        }
        return lab;
    };
    const fs::path lang =
        o.LanguageFile.empty()
            ? program.ProgramDir / LanguageFileName(program.Settings.OutputLanguage)
            : o.LanguageFile;
    bool opened = false;
    std::string problem = "Missing language file";
    try {
        opened = program.TextLib.OpenTextLibrary(lang);
    } catch (const ETextLibraryFatal&) {
        problem = "Damaged language file (its chapter table is incomplete)";
    }
    if (!opened) {
        std::cerr << LanguageFileReport(problem, lang, program.ProgramDir);
        return ExitRefused;
    }
    return ExitOk;
}

std::vector<std::string> LanguageFilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        std::error_code typeError;
        if (UpperAscii(p.extension().string()) == ".TEX" && it->is_regular_file(typeError)) {
            names.push_back(p.filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string LanguageFileReport(const std::string& problem, const fs::path& file,
                               const fs::path& programDir) {
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    std::string report = "veltrio-cli: " + problem + ": " + file.filename().string() +
                         " (looked for in " + folder.string() + ")\n";
    const std::vector<std::string> present = LanguageFilesIn(programDir);
    if (present.empty()) {
        report +=
            "veltrio-cli: there are no language files (*.TEX) in " + programDir.string() + "\n";
    } else {
        report += "veltrio-cli: the language files in " + programDir.string() + " are: ";
        for (std::size_t i = 0; i < present.size(); ++i) {
            report += (i > 0 ? ", " : "") + present[i];
        }
        report += "\n";
    }
    report += "veltrio-cli: name one with --lang FILE, or its language with --language NAME\n";
    return report;
}

} // namespace veltrio
