#include "tools/RepTexts.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "base/AtomicFile.h"
#include "base/TextUtil.h"
#include "study/Program.h"

namespace fs = std::filesystem;

namespace veltrio {

static_assert(std::numeric_limits<double>::is_iec559, "the 80-bit codec builds IEEE doubles");

namespace {

// The tags of the values of a report-texts file.
constexpr unsigned char TagInt8 = 2;
constexpr unsigned char TagInt16 = 3;
constexpr unsigned char TagInt32 = 4;
constexpr unsigned char TagExtended = 5;
constexpr unsigned char TagString = 6;
constexpr unsigned char TagFalse = 8;
constexpr unsigned char TagTrue = 9;
constexpr unsigned char TagLString = 12;

// The fewest bytes an entry of each list can take (a string or a number is
// at least a tag and one byte), so that a count the rest of the file cannot
// hold is refused before anything is reserved for it.
constexpr std::size_t MinFileEntryBytes = 10 * 2;
constexpr std::size_t MinLabNameBytes = 2 * 2;
constexpr std::size_t MinLegendBytes = 2;

// The English texts of the items the report texts use, for a model made
// without a program (or before its language file is open).
std::string EnglishText(int item) {
    switch (item) {
    case 52:
        return "laboratory";
    case 54:
        return "Accepted: the deviation from the assigned value is within limit 1.";
    case 55:
        return "Accepted with a remark: the deviation from the assigned value exceeds limit 1";
    case 56:
        return " but is within limit 2.";
    case 57:
        return "Not accepted: the deviation from the assigned value exceeds limit 2;";
    case 58:
        return " the laboratory should look for the cause.";
    default:
        return {};
    }
}

std::string Chapter11(Program* program, int item) {
    std::string text;
    if (program != nullptr && program->TextLib.LibText(11, item, text)) {
        return text;
    }
    return EnglishText(item);
}

std::vector<std::string> DefaultLegendTexts(Program* program) {
    return {Chapter11(program, 54), Chapter11(program, 55) + Chapter11(program, 56),
            Chapter11(program, 57) + Chapter11(program, 58)};
}

std::string TagName(unsigned char tag) {
    switch (tag) {
    case TagInt8:
    case TagInt16:
    case TagInt32:
        return "an integer";
    case TagExtended:
        return "a floating-point number";
    case TagString:
    case TagLString:
        return "a string";
    case TagFalse:
    case TagTrue:
        return "a Boolean";
    default:
        return "an unknown value";
    }
}

// Reads the tagged values of a report-texts file. Every failure names what
// was being read and the offset of the byte where it went wrong.
class TRxtReader {
public:
    explicit TRxtReader(std::string_view bytes) : m_bytes(bytes) {}

    std::size_t Position() const { return m_pos; }
    void Seek(std::size_t pos) { m_pos = pos; }
    std::size_t Left() const { return m_bytes.size() - m_pos; }

    std::int32_t ReadInteger(const std::string& what) {
        const std::size_t at = m_pos;
        const unsigned char tag = ReadTag(what);
        switch (tag) {
        case TagInt8:
            return static_cast<std::int8_t>(Raw(1, what, at)[0]);
        case TagInt16:
            return static_cast<std::int16_t>(LittleEndian(Raw(2, what, at), 2));
        case TagInt32:
            return static_cast<std::int32_t>(LittleEndian(Raw(4, what, at), 4));
        default:
            throw WrongTag(tag, "an integer", what, at);
        }
    }

    double ReadFloat(const std::string& what) {
        const std::size_t at = m_pos;
        if (m_pos < m_bytes.size()) {
            const unsigned char tag = Byte(m_pos);
            if (tag == TagInt8 || tag == TagInt16 || tag == TagInt32) {
                return ReadInteger(what);
            }
            if (tag != TagExtended) {
                throw WrongTag(tag, "a number", what, at);
            }
        }
        ReadTag(what);
        const unsigned char* raw = Raw(10, what, at);
        double value = 0;
        if (!DecodeExtended80(raw, value)) {
            throw Error("a number that is not finite (or not a valid 80-bit number) for " + what,
                        at);
        }
        return value;
    }

    std::string ReadString(const std::string& what) {
        const std::size_t at = m_pos;
        const unsigned char tag = ReadTag(what);
        std::int64_t length = 0;
        if (tag == TagString) {
            length = Raw(1, what, at)[0];
        } else if (tag == TagLString) {
            length = static_cast<std::int32_t>(LittleEndian(Raw(4, what, at), 4));
            if (length < 0) {
                throw Error("a negative string length (" + IntText(length) + ") for " + what,
                            at);
            }
        } else {
            throw WrongTag(tag, "a string", what, at);
        }
        if (static_cast<std::uint64_t>(length) > Left()) {
            throw Error("a string length of " + IntText(length) + " bytes for " + what +
                            ", beyond the " + IntText(static_cast<long long>(Left())) +
                            " bytes left",
                        at);
        }
        const std::string_view oem = m_bytes.substr(m_pos, static_cast<std::size_t>(length));
        m_pos += static_cast<std::size_t>(length);
        std::string cleaned;
        return OemToAnsiText(WithoutControlCharacters(oem, cleaned));
    }

    bool ReadBoolean(const std::string& what) { return ReadTag(what) == TagTrue; }

    // A count of entries of at least `minEntryBytes` bytes each.
    std::size_t ReadCount(const std::string& what, std::size_t minEntryBytes) {
        const std::size_t at = m_pos;
        return CheckCount(ReadInteger("the number of " + what), what, minEntryBytes, at);
    }

    // A count read at `at` that the bytes after it must be able to hold.
    std::size_t CheckCount(std::int32_t n, const std::string& what, std::size_t minEntryBytes,
                           std::size_t at) const {
        if (n < 0) {
            throw Error("a negative number of " + what + " (" + IntText(n) + ")", at);
        }
        if (static_cast<std::uint64_t>(n) * minEntryBytes > Left()) {
            throw Error(IntText(n) + " " + what + ", more than the " +
                            IntText(static_cast<long long>(Left())) + " bytes left can hold",
                        at);
        }
        return static_cast<std::size_t>(n);
    }

    ERepTextsRead Error(const std::string& problem, std::size_t at) const {
        return ERepTextsRead("The report-texts file cannot be read: " + problem + " at byte " +
                             IntText(static_cast<long long>(at)) + ".");
    }

private:
    unsigned char Byte(std::size_t i) const { return static_cast<unsigned char>(m_bytes[i]); }

    unsigned char ReadTag(const std::string& what) {
        if (m_pos >= m_bytes.size()) {
            throw Error("the file ends where " + what + " should begin", m_pos);
        }
        return Byte(m_pos++);
    }

    // `n` bytes of the value that began at `at`.
    const unsigned char* Raw(std::size_t n, const std::string& what, std::size_t at) {
        if (Left() < n) {
            throw Error("the file ends inside " + what, at);
        }
        const auto* p = reinterpret_cast<const unsigned char*>(m_bytes.data() + m_pos);
        m_pos += n;
        return p;
    }

    static std::uint32_t LittleEndian(const unsigned char* p, int n) {
        std::uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i) {
            v = (v << 8) | p[i];
        }
        return v;
    }

    ERepTextsRead WrongTag(unsigned char tag, const char* expected, const std::string& what,
                           std::size_t at) const {
        return Error("tag " + IntText(tag) + " (" + TagName(tag) + ") where " + expected + " (" +
                         what + ") is expected",
                     at);
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

class TRxtWriter {
public:
    void Integer(std::int32_t v) {
        if (v >= -128 && v <= 127) {
            m_out += static_cast<char>(TagInt8);
            Bytes(static_cast<std::uint32_t>(v), 1);
        } else if (v >= -32768 && v <= 32767) {
            m_out += static_cast<char>(TagInt16);
            Bytes(static_cast<std::uint32_t>(v), 2);
        } else {
            m_out += static_cast<char>(TagInt32);
            Bytes(static_cast<std::uint32_t>(v), 4);
        }
    }
    void Count(std::size_t n) {
        if (n > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
            throw EVeltrioError("Too many entries for a report-texts file.");
        }
        Integer(static_cast<std::int32_t>(n));
    }
    void Float(double v) {
        unsigned char raw[10];
        EncodeExtended80(v, raw);
        m_out += static_cast<char>(TagExtended);
        m_out.append(reinterpret_cast<const char*>(raw), 10);
    }
    void String(std::string_view utf8) {
        const std::string oem = AnsiToOemText(utf8);
        if (oem.size() < 256) {
            m_out += static_cast<char>(TagString);
            Bytes(static_cast<std::uint32_t>(oem.size()), 1);
        } else {
            if (oem.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
                throw EVeltrioError("A text too long for a report-texts file.");
            }
            m_out += static_cast<char>(TagLString);
            Bytes(static_cast<std::uint32_t>(oem.size()), 4);
        }
        m_out += oem;
    }
    void Boolean(bool b) { m_out += static_cast<char>(b ? TagTrue : TagFalse); }

    std::string Take() { return std::move(m_out); }

private:
    void Bytes(std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) {
            m_out += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
    }
    std::string m_out;
};

// A guarded read of an optional part: true when it succeeded; otherwise the
// reader is back where it was.
template <typename F> bool Optional(TRxtReader& in, F&& read) {
    const std::size_t at = in.Position();
    try {
        read();
        return true;
    } catch (const ERepTextsRead&) {
        in.Seek(at);
        return false;
    }
}

std::string FileWhat(const char* field, std::size_t i) {
    return std::string(field) + " of file " + IntText(static_cast<long long>(i + 1));
}

} // namespace

TRepTexts::TRepTexts(Program* program) : m_program(program) { DefaultLegends(); }

void TRepTexts::ClearRepTexts() {
    for (std::string* s : {&TestName, &Topic, &SampleTypes, &Parameters, &Host, &SamplesShipped,
                           &TestDate, &Deadline, &ReportDate, &TotalReportDate, &HomogeneityText,
                           &StabilityText, &AssignedValueText}) {
        s->clear();
    }
    ParDir.clear();
    ReportFiles.clear();
    LabNames.clear();
    Signature.clear();
    DefaultLegends();
}

void TRepTexts::DefaultLegends() { Legends = DefaultLegendTexts(m_program); }

std::vector<std::string> TRepTexts::ShownLegends() const {
    std::vector<std::string> shown = DefaultLegendTexts(m_program);
    for (std::size_t i = 0; i < shown.size() && i < Legends.size(); ++i) {
        shown[i] = Legends[i];
    }
    return shown;
}

void TRepTexts::ReadRepTexts(std::string_view bytes) {
    // Read into a fresh object: a file that fails half-way changes nothing.
    TRepTexts r(m_program);
    TRxtReader in(bytes);

    const std::pair<std::string*, const char*> texts[] = {
        {&r.TestName, "TestName"},
        {&r.Topic, "Topic"},
        {&r.SampleTypes, "SampleTypes"},
        {&r.Parameters, "Parameters"},
        {&r.Host, "Host"},
        {&r.SamplesShipped, "SamplesShipped"},
        {&r.TestDate, "TestDate"},
        {&r.Deadline, "Deadline"},
        {&r.ReportDate, "ReportDate"},
        {&r.TotalReportDate, "TotalReportDate"},
        {&r.HomogeneityText, "HomogeneityText"},
        {&r.StabilityText, "StabilityText"},
        {&r.AssignedValueText, "AssignedValueText"},
    };
    for (const auto& [field, name] : texts) {
        *field = in.ReadString(std::string("the text ") + name);
    }
    // The folder the file was written with: the data files are looked for
    // beside the file itself, wherever it is now.
    in.ReadString("the text ParDir");

    const std::size_t files = in.ReadCount("files", MinFileEntryBytes);
    r.ReportFiles.reserve(files);
    for (std::size_t i = 0; i < files; ++i) {
        TReportFile f;
        f.Name = in.ReadString(FileWhat("the name", i));
        f.Limits.AccuPct1 = in.ReadInteger(FileWhat("AccuPct1", i));
        f.Limits.AccuPct2 = in.ReadInteger(FileWhat("AccuPct2", i));
        f.Limits.AccuAbs1 = in.ReadFloat(FileWhat("AccuAbs1", i));
        f.Limits.AccuAbs2 = in.ReadFloat(FileWhat("AccuAbs2", i));
        f.Limits.PrecPct1 = in.ReadInteger(FileWhat("PrecPct1", i));
        f.Limits.PrecPct2 = in.ReadInteger(FileWhat("PrecPct2", i));
        f.Limits.PrecAbs1 = in.ReadFloat(FileWhat("PrecAbs1", i));
        f.Limits.PrecAbs2 = in.ReadFloat(FileWhat("PrecAbs2", i));
        f.Limits.Alias = in.ReadString(FileWhat("the alias", i));
        r.ReportFiles.push_back(std::move(f));
    }

    // Files of older versions end here or after any of the later parts.
    bool useLabNames = false;
    bool showLegend = false;
    if (Optional(in, [&] {
            useLabNames = in.ReadBoolean("UseLabNames");
            showLegend = in.ReadBoolean("ShowLegend");
        })) {
        r.UseLabNames = useLabNames;
        r.ShowLegend = showLegend;
    } else {
        r.UseLabNames = false;
        r.ShowLegend = false;
    }

    // Only the counts are optional: a count that is there must fit the file.
    std::int32_t count = 0;
    std::size_t countAt = in.Position();
    if (Optional(in, [&] { count = in.ReadInteger("the number of laboratory names"); })) {
        const std::size_t names =
            in.CheckCount(count, "laboratory names", MinLabNameBytes, countAt);
        r.LabNames.reserve(names);
        for (std::size_t i = 0; i < names; ++i) {
            const std::string n = IntText(static_cast<long long>(i + 1));
            TLabName lab;
            lab.Code = in.ReadString("the code of laboratory name " + n);
            lab.Name = in.ReadString("laboratory name " + n);
            r.LabNames.push_back(std::move(lab));
        }
    }

    countAt = in.Position();
    if (Optional(in, [&] { count = in.ReadInteger("the number of legends"); })) {
        const std::size_t legends = in.CheckCount(count, "legends", MinLegendBytes, countAt);
        r.Legends.clear();
        for (std::size_t i = 0; i < legends; ++i) {
            r.Legends.push_back(
                in.ReadString("legend " + IntText(static_cast<long long>(i + 1))));
        }
    }

    std::string signature;
    if (Optional(in, [&] { signature = in.ReadString("the signature"); })) {
        r.Signature = std::move(signature);
    }

    r.RepTextsFile = RepTextsFile;
    r.ParDir = ParDir;
    *this = std::move(r);
}

std::string TRepTexts::WriteRepTexts() const {
    TRxtWriter out;
    for (const std::string* s : {&TestName, &Topic, &SampleTypes, &Parameters, &Host,
                                 &SamplesShipped, &TestDate, &Deadline, &ReportDate,
                                 &TotalReportDate, &HomogeneityText, &StabilityText,
                                 &AssignedValueText}) {
        out.String(*s);
    }
    out.String(ParDir.string());
    out.Count(ReportFiles.size());
    for (const TReportFile& f : ReportFiles) {
        out.String(f.Name);
        out.Integer(f.Limits.AccuPct1);
        out.Integer(f.Limits.AccuPct2);
        out.Float(f.Limits.AccuAbs1);
        out.Float(f.Limits.AccuAbs2);
        out.Integer(f.Limits.PrecPct1);
        out.Integer(f.Limits.PrecPct2);
        out.Float(f.Limits.PrecAbs1);
        out.Float(f.Limits.PrecAbs2);
        out.String(f.Limits.Alias);
    }
    out.Boolean(UseLabNames);
    out.Boolean(ShowLegend);
    out.Count(LabNames.size());
    for (const TLabName& lab : LabNames) {
        out.String(lab.Code);
        out.String(lab.Name);
    }
    out.Count(Legends.size());
    for (const std::string& legend : Legends) {
        out.String(legend);
    }
    out.String(Signature);
    return out.Take();
}

void TRepTexts::LoadFile(const fs::path& file) {
    std::string bytes;
    std::string error;
    if (!ReadWholeFile(file, bytes, &error)) {
        throw EVeltrioError("Cannot read " + file.string() + ": " + error);
    }
    try {
        ReadRepTexts(bytes);
    } catch (const ERepTextsRead& e) {
        throw ERepTextsRead(file.string() + ": " + e.what());
    }
    RepTextsFile = file;
    std::error_code ec;
    const fs::path absolute = fs::absolute(file, ec);
    ParDir = (ec ? file : absolute).parent_path();
}

bool TRepTexts::SaveRepTexts(std::string& error) const {
    if (RepTextsFile.empty()) {
        error = "no report-texts file has been chosen";
        return false;
    }
    std::string bytes;
    try {
        bytes = WriteRepTexts();
    } catch (const EVeltrioError& e) {
        error = e.what();
        return false;
    }
    return WriteFileAtomically(RepTextsFile, bytes, &error);
}

std::string TRepTexts::LabTitle(const std::string& code) const {
    const std::string t = Chapter11(m_program, 52) + " " + code;
    for (const TLabName& lab : LabNames) {
        if (lab.Code == code) {
            return "  " + lab.Name + "," + std::string(6, ' ') + t;
        }
    }
    return t;
}

bool TRepTexts::SameContent(const TRepTexts& other) const {
    return TestName == other.TestName && Topic == other.Topic &&
           SampleTypes == other.SampleTypes && Parameters == other.Parameters &&
           Host == other.Host && SamplesShipped == other.SamplesShipped &&
           TestDate == other.TestDate && Deadline == other.Deadline &&
           ReportDate == other.ReportDate && TotalReportDate == other.TotalReportDate &&
           HomogeneityText == other.HomogeneityText && StabilityText == other.StabilityText &&
           AssignedValueText == other.AssignedValueText && UseLabNames == other.UseLabNames &&
           ShowLegend == other.ShowLegend && ReportFiles == other.ReportFiles &&
           LabNames == other.LabNames && Legends == other.Legends &&
           Signature == other.Signature;
}

std::string TRepTexts::TextOutsideCodePage() const {
    const std::pair<const std::string*, const char*> texts[] = {
        {&TestName, "TestName"},
        {&Topic, "Topic"},
        {&SampleTypes, "SampleTypes"},
        {&Parameters, "Parameters"},
        {&Host, "Host"},
        {&SamplesShipped, "SamplesShipped"},
        {&TestDate, "TestDate"},
        {&Deadline, "Deadline"},
        {&ReportDate, "ReportDate"},
        {&TotalReportDate, "TotalReportDate"},
        {&HomogeneityText, "HomogeneityText"},
        {&StabilityText, "StabilityText"},
        {&AssignedValueText, "AssignedValueText"},
        {&Signature, "Signature"},
    };
    auto fits = [](std::string_view s) {
        bool lossless = true;
        AnsiToOemText(s, &lossless);
        return lossless;
    };
    for (const auto& [text, name] : texts) {
        if (!fits(*text)) {
            return name;
        }
    }
    if (!fits(ParDir.string())) {
        return "ParDir";
    }
    for (std::size_t i = 0; i < ReportFiles.size(); ++i) {
        const std::string n = IntText(static_cast<long long>(i + 1));
        if (!fits(ReportFiles[i].Name)) {
            return "the name of file " + n;
        }
        if (!fits(ReportFiles[i].Limits.Alias)) {
            return "the alias of file " + n;
        }
    }
    for (std::size_t i = 0; i < LabNames.size(); ++i) {
        const std::string n = IntText(static_cast<long long>(i + 1));
        if (!fits(LabNames[i].Code)) {
            return "the code of laboratory name " + n;
        }
        if (!fits(LabNames[i].Name)) {
            return "laboratory name " + n;
        }
    }
    for (std::size_t i = 0; i < Legends.size(); ++i) {
        if (!fits(Legends[i])) {
            return "legend " + IntText(static_cast<long long>(i + 1));
        }
    }
    return {};
}

// ---- Grid cells and the laboratory-names text file ----

namespace {

// A decimal number: blanks at both ends allowed, "." and "," both the
// decimal separator, a leading "+" allowed; finite only.
bool ParseDecimal(std::string_view cell, double& value) {
    std::string s = Trim(cell);
    for (char& c : s) {
        if (c == ',') {
            c = '.';
        }
    }
    std::string_view v = s;
    if (!v.empty() && v[0] == '+') {
        v.remove_prefix(1);
        if (!v.empty() && (v[0] == '-' || v[0] == '+')) {
            return false;
        }
    }
    if (v.empty()) {
        return false;
    }
    // from_chars would take "inf" and "nan"; a cell holds digits.
    const char first = v[0] == '-' && v.size() > 1 ? v[1] : v[0];
    if (!(first >= '0' && first <= '9') && first != '.') {
        return false;
    }
    double x = 0;
    const auto res = std::from_chars(v.data(), v.data() + v.size(), x);
    if (res.ec != std::errc() || res.ptr != v.data() + v.size() || !std::isfinite(x)) {
        return false;
    }
    value = x;
    return true;
}

// The nearest integer, halves to the even neighbour.
double RoundHalfEven(double x) {
    const double lower = std::floor(x);
    const double diff = x - lower;
    if (diff < 0.5) {
        return lower;
    }
    if (diff > 0.5) {
        return lower + 1;
    }
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

std::string_view WithoutQuotes(std::string_view part) {
    if (!part.empty() && part.front() == '"') {
        part.remove_prefix(1);
    }
    if (!part.empty() && part.back() == '"') {
        part.remove_suffix(1);
    }
    return part;
}

// A part that reads as a whole number is written as that integer.
std::string WholeNumberAsInteger(std::string_view part) {
    double x = 0;
    // Beyond 2^53 a double no longer tells whole numbers apart.
    if (ParseDecimal(part, x) && std::floor(x) == x && std::fabs(x) < 9007199254740992.0) {
        return IntText(static_cast<long long>(x));
    }
    return std::string(part);
}

} // namespace

bool ParseLimitCell(std::string_view cell, double& value) { return ParseDecimal(cell, value); }

bool ParsePercentCell(std::string_view cell, std::int32_t& value) {
    double x = 0;
    if (!ParseDecimal(cell, x)) {
        return false;
    }
    const double r = RoundHalfEven(x);
    if (r < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        r > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return false;
    }
    value = static_cast<std::int32_t>(r);
    return true;
}

std::vector<TLabName> ParseLabNamesText(std::string_view text, std::size_t maxRows) {
    std::vector<TLabName> rows;
    std::size_t pos = 0;
    while (pos < text.size() && rows.size() < maxRows) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        TLabName lab;
        const std::size_t semicolon = line.find(';');
        if (semicolon == std::string_view::npos) {
            lab.Code = WholeNumberAsInteger(WithoutQuotes(line));
        } else {
            lab.Name = WholeNumberAsInteger(WithoutQuotes(line.substr(0, semicolon)));
            lab.Code = WholeNumberAsInteger(WithoutQuotes(line.substr(semicolon + 1)));
        }
        rows.push_back(std::move(lab));
    }
    return rows;
}

// ---- 80-bit extended numbers ----
//
// Sign bit, 15-bit exponent with bias 16383 and a 64-bit mantissa whose top
// bit is the integer bit, stored least significant byte first. Built from
// the bits of the double, so the result does not depend on whether the
// compiler has a long double of that format.

namespace {

constexpr int ExtendedBias = 16383;
constexpr int DoubleBias = 1023;
constexpr std::uint64_t IntegerBit = std::uint64_t{1} << 63;

// m / 2^shift rounded to the nearest integer, ties to even (shift >= 0).
std::uint64_t ShiftRightRounded(std::uint64_t m, int shift) {
    if (shift == 0) {
        return m;
    }
    if (shift > 64) {
        return 0; // below half of the last place
    }
    const std::uint64_t q = shift == 64 ? 0 : m >> shift;
    const std::uint64_t rest = shift == 64 ? m : m & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    if (rest > half || (rest == half && (q & 1) != 0)) {
        return q + 1;
    }
    return q;
}

} // namespace

void EncodeExtended80(double value, unsigned char out[10]) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const unsigned sign = static_cast<unsigned>(bits >> 63);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    int exponent = 0;
    std::uint64_t mantissa = 0;
    if (biased == 0x7FF) {
        exponent = 0x7FFF;
        mantissa = fraction == 0 ? IntegerBit : IntegerBit | (std::uint64_t{1} << 62) |
                                                    (fraction << 11);
    } else if (biased == 0) {
        if (fraction != 0) {
            // A denormal double is a normal extended number.
            const int top = 63 - std::countl_zero(fraction);
            mantissa = fraction << (63 - top);
            exponent = top - 1074 + ExtendedBias;
        }
    } else {
        mantissa = ((std::uint64_t{1} << 52) | fraction) << 11;
        exponent = biased - DoubleBias + ExtendedBias;
    }
    for (int i = 0; i < 8; ++i) {
        out[i] = static_cast<unsigned char>((mantissa >> (8 * i)) & 0xFF);
    }
    const unsigned top = (sign << 15) | static_cast<unsigned>(exponent);
    out[8] = static_cast<unsigned char>(top & 0xFF);
    out[9] = static_cast<unsigned char>(top >> 8);
}

bool DecodeExtended80(const unsigned char in[10], double& value) {
    std::uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i) {
        mantissa = (mantissa << 8) | in[i];
    }
    const unsigned top = static_cast<unsigned>(in[8]) | (static_cast<unsigned>(in[9]) << 8);
    const std::uint64_t sign = static_cast<std::uint64_t>(top >> 15) << 63;
    const int exponent = static_cast<int>(top & 0x7FFF);
    if (exponent == 0x7FFF) {
        return false; // infinity or NaN
    }
    if (exponent == 0) {
        // Zero, or an extended denormal: far below the smallest double.
        value = std::bit_cast<double>(sign);
        return true;
    }
    if ((mantissa & IntegerBit) == 0) {
        return false; // an unnormal: no number the x87 accepts
    }
    // The value is mantissa * 2^(e - 63) with 2^e <= value < 2^(e + 1).
    int e = exponent - ExtendedBias;
    if (e > 1023) {
        return false;
    }
    std::uint64_t bits = 0;
    if (e >= -1022) {
        std::uint64_t q = ShiftRightRounded(mantissa, 11);
        if (q == (std::uint64_t{1} << 53)) {
            q >>= 1;
            ++e;
            if (e > 1023) {
                return false;
            }
        }
        bits = (static_cast<std::uint64_t>(e + DoubleBias) << 52) |
               (q & ((std::uint64_t{1} << 52) - 1));
    } else {
        // A denormal double: q * 2^-1074. Rounding up to 2^52 gives the
        // smallest normal, whose bits are the same number.
        bits = ShiftRightRounded(mantissa, -e - 1011);
    }
    value = std::bit_cast<double>(sign | bits);
    return true;
}

} // namespace veltrio
