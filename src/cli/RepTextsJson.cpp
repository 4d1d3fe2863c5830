#include "RepTextsJson.h"

#include <cmath>
#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <vector>

#include "CliCommon.h"
#include "CliHost.h"
#include "Json.h"
#include "JsonRead.h"
#include "base/AtomicFile.h"
#include "base/Error.h"
#include "study/Program.h"
#include "tools/RepTexts.h"

namespace fs = std::filesystem;

namespace veltrio {

namespace {

// The thirteen texts of the head and the memos, by their field names.
std::vector<std::pair<const char*, std::string TRepTexts::*>> HeadTexts() {
    return {{"TestName", &TRepTexts::TestName},
            {"Topic", &TRepTexts::Topic},
            {"SampleTypes", &TRepTexts::SampleTypes},
            {"Parameters", &TRepTexts::Parameters},
            {"Host", &TRepTexts::Host},
            {"SamplesShipped", &TRepTexts::SamplesShipped},
            {"TestDate", &TRepTexts::TestDate},
            {"Deadline", &TRepTexts::Deadline},
            {"ReportDate", &TRepTexts::ReportDate},
            {"TotalReportDate", &TRepTexts::TotalReportDate},
            {"HomogeneityText", &TRepTexts::HomogeneityText},
            {"StabilityText", &TRepTexts::StabilityText},
            {"AssignedValueText", &TRepTexts::AssignedValueText}};
}

const std::pair<const char*, std::int32_t TThresholds::*> kPercentLimits[] = {
    {"AccuPct1", &TThresholds::AccuPct1},
    {"AccuPct2", &TThresholds::AccuPct2},
    {"PrecPct1", &TThresholds::PrecPct1},
    {"PrecPct2", &TThresholds::PrecPct2}};
const std::pair<const char*, double TThresholds::*> kAbsoluteLimits[] = {
    {"AccuAbs1", &TThresholds::AccuAbs1},
    {"AccuAbs2", &TThresholds::AccuAbs2},
    {"PrecAbs1", &TThresholds::PrecAbs1},
    {"PrecAbs2", &TThresholds::PrecAbs2}};

// Reads the members of a JSON object into fields, refusing what does not
// fit; the first problem is kept with its position.
class TJsonFields {
public:
    explicit TJsonFields(std::string_view text) : m_text(text) {}

    bool Fail(const JsonValue& at, const std::string& what) {
        if (m_error.empty()) {
            m_error = JsonPosition(m_text, at.Offset) + ": " + what;
        }
        return false;
    }
    const std::string& Error() const { return m_error; }

    bool Kind(const JsonValue& v, JsonValue::Kind kind, const std::string& name) {
        if (v.Type != kind) {
            return Fail(v, name + " must be " + JsonKindName(kind) + ", not " +
                               JsonKindName(v.Type));
        }
        return true;
    }

    // Calls `read` for every member, refusing a key that `read` does not
    // know (it returns false without an error for that).
    bool Members(const JsonValue& object, const std::string& name, const char* keys,
                 const std::function<bool(const std::string&, const JsonValue&, bool&)>& read) {
        if (!Kind(object, JsonValue::Kind::Object, name)) {
            return false;
        }
        for (const auto& [key, value] : object.Members) {
            bool known = false;
            if (!read(key, value, known)) {
                return false;
            }
            if (!known) {
                return Fail(value, "unknown key \"" + key + "\" in " + name + " (the keys are " +
                                       keys + ")");
            }
        }
        return true;
    }

    bool Text(const JsonValue& v, const std::string& name, std::string& out) {
        if (!Kind(v, JsonValue::Kind::String, name)) {
            return false;
        }
        out = v.String;
        return true;
    }

    bool Integer(const JsonValue& v, const std::string& name, std::int32_t& out) {
        if (!Kind(v, JsonValue::Kind::Number, name)) {
            return false;
        }
        if (std::floor(v.Number) != v.Number ||
            v.Number < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
            v.Number > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
            return Fail(v, name + " must be a whole number from -2147483648 to 2147483647");
        }
        out = static_cast<std::int32_t>(v.Number);
        return true;
    }

    bool Real(const JsonValue& v, const std::string& name, double& out) {
        if (!Kind(v, JsonValue::Kind::Number, name)) {
            return false;
        }
        out = v.Number;
        return true;
    }

    bool Bool(const JsonValue& v, const std::string& name, bool& out) {
        if (!Kind(v, JsonValue::Kind::Bool, name)) {
            return false;
        }
        out = v.Bool;
        return true;
    }

private:
    std::string_view m_text;
    std::string m_error;
};

const char* const kTopKeys =
    "TestName, Topic, SampleTypes, Parameters, Host, SamplesShipped, TestDate, Deadline, "
    "ReportDate, TotalReportDate, HomogeneityText, StabilityText, AssignedValueText, ParDir, "
    "UseLabNames, ShowLegend, ReportFiles, LabNames, Legends, Signature";
const char* const kFileKeys = "Name, Alias, AccuPct1, AccuPct2, AccuAbs1, AccuAbs2, PrecPct1, "
                              "PrecPct2, PrecAbs1, PrecAbs2";
const char* const kLabNameKeys = "Code, Name";

bool ReadReportFile(TJsonFields& in, const JsonValue& v, const std::string& name,
                    TReportFile& file) {
    return in.Members(v, name, kFileKeys, [&](const std::string& key, const JsonValue& value,
                                              bool& known) {
        const std::string field = name + "." + key;
        known = true;
        if (key == "Name") {
            return in.Text(value, field, file.Name);
        }
        if (key == "Alias") {
            return in.Text(value, field, file.Limits.Alias);
        }
        for (const auto& [k, member] : kPercentLimits) {
            if (key == k) {
                return in.Integer(value, field, file.Limits.*member);
            }
        }
        for (const auto& [k, member] : kAbsoluteLimits) {
            if (key == k) {
                return in.Real(value, field, file.Limits.*member);
            }
        }
        known = false;
        return true;
    });
}

bool ReadLabName(TJsonFields& in, const JsonValue& v, const std::string& name, TLabName& lab) {
    return in.Members(v, name, kLabNameKeys,
                      [&](const std::string& key, const JsonValue& value, bool& known) {
                          known = key == "Code" || key == "Name";
                          if (key == "Code") {
                              return in.Text(value, name + ".Code", lab.Code);
                          }
                          if (key == "Name") {
                              return in.Text(value, name + ".Name", lab.Name);
                          }
                          return true;
                      });
}

// The elements of an array, each read by `read` (index from 0).
template <typename T, typename F>
bool ReadArray(TJsonFields& in, const JsonValue& v, const std::string& name, std::vector<T>& out,
               F&& read) {
    if (!in.Kind(v, JsonValue::Kind::Array, name)) {
        return false;
    }
    std::vector<T> items(v.Items.size());
    for (std::size_t i = 0; i < v.Items.size(); ++i) {
        if (!read(v.Items[i], name + "[" + std::to_string(i) + "]", items[i])) {
            return false;
        }
    }
    out = std::move(items);
    return true;
}

} // namespace

std::string RepTextsToJson(const TRepTexts& texts) {
    JsonWriter w;
    w.BeginObject();
    for (const auto& [key, member] : HeadTexts()) {
        w.Key(key);
        w.String(texts.*member);
    }
    w.Key("ParDir");
    w.String(texts.ParDir.string());
    w.Key("UseLabNames");
    w.Bool(texts.UseLabNames);
    w.Key("ShowLegend");
    w.Bool(texts.ShowLegend);
    w.Key("ReportFiles");
    w.BeginArray();
    for (const TReportFile& f : texts.ReportFiles) {
        w.BeginObject();
        w.Key("Name");
        w.String(f.Name);
        w.Key("Alias");
        w.String(f.Limits.Alias);
        // In the order of the columns of the file grid.
        w.Key("AccuPct1");
        w.Integer(f.Limits.AccuPct1);
        w.Key("AccuPct2");
        w.Integer(f.Limits.AccuPct2);
        w.Key("AccuAbs1");
        w.Real(f.Limits.AccuAbs1);
        w.Key("AccuAbs2");
        w.Real(f.Limits.AccuAbs2);
        w.Key("PrecPct1");
        w.Integer(f.Limits.PrecPct1);
        w.Key("PrecPct2");
        w.Integer(f.Limits.PrecPct2);
        w.Key("PrecAbs1");
        w.Real(f.Limits.PrecAbs1);
        w.Key("PrecAbs2");
        w.Real(f.Limits.PrecAbs2);
        w.EndObject();
    }
    w.EndArray();
    w.Key("LabNames");
    w.BeginArray();
    for (const TLabName& lab : texts.LabNames) {
        w.BeginObject();
        w.Key("Code");
        w.String(lab.Code);
        w.Key("Name");
        w.String(lab.Name);
        w.EndObject();
    }
    w.EndArray();
    w.Key("Legends");
    w.BeginArray();
    for (const std::string& legend : texts.Legends) {
        w.String(legend);
    }
    w.EndArray();
    w.Key("Signature");
    w.String(texts.Signature);
    w.EndObject();
    return w.str();
}

bool RepTextsFromJson(std::string_view json, TRepTexts& texts, std::string& error) {
    JsonValue root;
    if (!ParseJson(json, root, error)) {
        return false;
    }
    TJsonFields in(json);
    TRepTexts r = texts;
    const bool ok = in.Members(root, "the report texts", kTopKeys, [&](const std::string& key,
                                                                        const JsonValue& value,
                                                                        bool& known) {
        known = true;
        for (const auto& [k, member] : HeadTexts()) {
            if (key == k) {
                return in.Text(value, key, r.*member);
            }
        }
        if (key == "ParDir") {
            std::string dir;
            if (!in.Text(value, key, dir)) {
                return false;
            }
            r.ParDir = dir;
            return true;
        }
        if (key == "Signature") {
            return in.Text(value, key, r.Signature);
        }
        if (key == "UseLabNames") {
            return in.Bool(value, key, r.UseLabNames);
        }
        if (key == "ShowLegend") {
            return in.Bool(value, key, r.ShowLegend);
        }
        if (key == "ReportFiles") {
            return ReadArray(in, value, key, r.ReportFiles,
                             [&](const JsonValue& v, const std::string& name, TReportFile& f) {
                                 return ReadReportFile(in, v, name, f);
                             });
        }
        if (key == "LabNames") {
            return ReadArray(in, value, key, r.LabNames,
                             [&](const JsonValue& v, const std::string& name, TLabName& lab) {
                                 return ReadLabName(in, v, name, lab);
                             });
        }
        if (key == "Legends") {
            return ReadArray(in, value, key, r.Legends,
                             [&](const JsonValue& v, const std::string& name, std::string& s) {
                                 return in.Text(v, name, s);
                             });
        }
        known = false;
        return true;
    });
    if (!ok) {
        error = in.Error();
        return false;
    }
    texts = std::move(r);
    return true;
}

int RepTextsCommand(const Options& o, const char* argv0) {
    const bool writing = !o.WriteJson.empty();
    if (o.Args.size() != 1 || (writing && o.Json) || (!writing && !o.Json)) {
        std::cerr << "veltrio-cli: rxt takes one report-texts file and --json, or --write "
                     "FILE.json OUT.rxt\n"
                  << kUsage;
        return ExitUsage;
    }
    // The default legends are those of the language chosen; English without
    // a choice, so that no language file is needed.
    CliHost host(std::cerr);
    std::unique_ptr<Program> program;
    if (!o.LanguageFile.empty() || o.Language >= 0 || !o.SettingsFile.empty()) {
        program = std::make_unique<Program>(host);
        if (const int status = SetUpProgram(o, *program, argv0); status != ExitOk) {
            return status;
        }
    }
    TRepTexts texts(program.get());
    const fs::path file = o.Args[0];
    if (!writing) {
        try {
            texts.LoadFile(file);
        } catch (const EVeltrioError& e) {
            std::cerr << "veltrio-cli: " << e.what() << '\n';
            return ExitRefused;
        }
        std::cout << RepTextsToJson(texts);
        return ExitOk;
    }

    std::string json;
    std::string error;
    if (!ReadWholeFile(o.WriteJson, json, &error)) {
        std::cerr << "veltrio-cli: cannot read " << o.WriteJson.string() << ": " << error << '\n';
        return ExitRefused;
    }
    if (!RepTextsFromJson(json, texts, error)) {
        std::cerr << "veltrio-cli: " << o.WriteJson.string() << ": " << error << '\n';
        return ExitRefused;
    }
    if (const std::string text = texts.TextOutsideCodePage(); !text.empty()) {
        std::cerr << "veltrio-cli: " << o.WriteJson.string() << ": " << text
                  << " holds characters that a report-texts file (code page 850) cannot hold\n";
        return ExitRefused;
    }
    texts.RepTextsFile = file;
    if (!texts.SaveRepTexts(error)) {
        std::cerr << "veltrio-cli: cannot write " << file.string() << ": " << error << '\n';
        return ExitRefused;
    }
    std::cout << "Wrote " << file.string() << '\n';
    return ExitOk;
}

} // namespace veltrio
