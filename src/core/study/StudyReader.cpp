#include "study/StudyReader.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

#include "base/AtomicFile.h"
#include "base/TextUtil.h"
#include "study/Program.h"

namespace veltrio {

namespace {

constexpr std::size_t MaxLineLength = 255;
constexpr int MaxDecimalsKept = 15; // a double holds no more

struct ScanError {
    int Code;
};

// A number of the form [-]digits[(.|,)digits]: the decimal point may be '.'
// or ','. Short numbers are exact as the quotient of two exactly represented
// doubles (one correctly rounded division); longer ones go to from_chars.
bool ParseDecimal(std::string_view text, double& value) {
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) {
        ++i;
    }
    std::uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool point = false;
    bool anyDigit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            anyDigit = true;
            if (mantissa != 0 || c != '0') {
                ++digits;
            }
            mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
            if (point) {
                ++decimals;
            }
            if (digits > 15 || decimals > 22) {
                break;
            }
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (!anyDigit) {
        return false;
    }
    if (i == text.size()) {
        const double v = static_cast<double>(mantissa) / kPow10[decimals];
        value = negative ? -v : v;
        return true;
    }
    // Too many digits for the exact path.
    std::string copy(text);
    if (const auto comma = copy.find(','); comma != std::string::npos) {
        copy[comma] = '.';
    }
    const auto res = std::from_chars(copy.data(), copy.data() + copy.size(), value,
                                     std::chars_format::fixed);
    return res.ec == std::errc() && res.ptr == copy.data() + copy.size() && std::isfinite(value);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == ':' || c == ';'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The hand-written scanner over the lines of a data file.
class Scanner {
public:
    // `bytes` must outlive the scanner.
    Scanner(std::string_view bytes, bool utf8) : m_utf8(utf8) {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
            bytes.remove_prefix(3);
        }
        m_lines.reserve(bytes.size() / 24 + 1);
        std::size_t pos = 0;
        while (pos < bytes.size()) {
            std::size_t end = pos;
            while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') {
                ++end;
            }
            std::string_view line = bytes.substr(pos, end - pos);
            m_lines.push_back(m_utf8 ? Utf8LeftView(line, MaxLineLength)
                                     : line.substr(0, MaxLineLength));
            pos = end;
            if (pos < bytes.size() && bytes[pos] == '\r') {
                ++pos;
            }
            if (pos < bytes.size() && bytes[pos] == '\n') {
                ++pos;
            }
        }
    }

    int LineNo() const { return m_lineNo; }

    // Skips blanks and line ends. False at the end of the file.
    bool SkipToToken() {
        while (true) {
            if (m_lineNo == 0 || m_pos >= Line().size()) {
                if (m_lineNo >= static_cast<int>(m_lines.size())) {
                    return false;
                }
                m_line = m_lines[static_cast<std::size_t>(m_lineNo)];
                ++m_lineNo;
                m_pos = 0;
                continue;
            }
            if (IsBlank(Line()[m_pos])) {
                ++m_pos;
                continue;
            }
            return true;
        }
    }

    void NeedToken(int eofError = reEndOfFile) {
        if (!SkipToToken()) {
            throw ScanError{eofError};
        }
    }

    // True when a further token follows anywhere in the file.
    bool HasInput() {
        const int line = m_lineNo;
        const std::size_t pos = m_pos;
        const std::string_view current = m_line;
        const bool more = SkipToToken();
        m_lineNo = line;
        m_pos = pos;
        m_line = current;
        return more;
    }

    // A run of letters, upper-cased, of which the first six count.
    std::string Keyword(int eofError = reEndOfFile) {
        NeedToken(eofError);
        std::string word;
        while (m_pos < Line().size() && IsLetter(Line()[m_pos])) {
            word += Line()[m_pos++];
        }
        return UpperAscii(word).substr(0, 6);
    }

    // After a header keyword: blanks and '=' on the same line.
    void SkipEquals() {
        while (m_pos < Line().size() && (IsBlank(Line()[m_pos]) || Line()[m_pos] == '=')) {
            ++m_pos;
        }
    }

    int Integer(int eofError = reEndOfFile) {
        NeedToken(eofError);
        std::string text;
        if (Line()[m_pos] == '-') {
            text += Line()[m_pos++];
        }
        while (m_pos < Line().size() && IsDigit(Line()[m_pos])) {
            text += Line()[m_pos++];
        }
        int value = 0;
        const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
        if (res.ec != std::errc() || res.ptr != text.data() + text.size()) {
            throw ScanError{reNumber};
        }
        return value;
    }

    struct Real {
        double Value = MissingValue;
        int Decimals = 0;
    };

    Real RealNumber(int eofError = reEndOfFile) {
        NeedToken(eofError);
        const std::string_view line = Line();
        const std::size_t start = m_pos;
        if (line[m_pos] == '-') {
            ++m_pos;
        }
        bool pointSeen = false;
        bool comma = false;
        int decimals = 0;
        while (m_pos < line.size()) {
            const char c = line[m_pos];
            if (!IsDigit(c) && c != '.' && c != ',') {
                break;
            }
            ++m_pos;
            if (pointSeen) {
                ++decimals;
            } else if (c == '.' || c == ',') {
                pointSeen = true;
                comma = c == ',';
            }
        }
        // The first ',' is the decimal point; any later '.' or ',' makes the
        // number unreadable.
        const std::string_view text(line.data() + start, m_pos - start);
        double value = 0.0;
        if (!ParseDecimal(text, value)) {
            throw ScanError{reNumber};
        }
        return Real{value, std::min(decimals, MaxDecimalsKept)};
    }

    // A double-quoted text on one line, cut to `length` characters.
    std::string Quoted(std::size_t length, int eofError = reEndOfFile) {
        NeedToken(eofError);
        if (Line()[m_pos] != '"') {
            throw ScanError{reQuoted};
        }
        const std::size_t close = Line().find('"', m_pos + 1);
        if (close == std::string::npos) {
            throw ScanError{reQuoted};
        }
        const std::string_view raw = Line().substr(m_pos + 1, close - m_pos - 1);
        m_pos = close + 1;
        return m_utf8 ? Utf8Left(raw, length) : Utf8Left(OemToAnsiText(raw), length);
    }

    // The characters up to the next blank, ',' or line end; the first four
    // count. A ',' that ends the code is consumed.
    std::string Code(int eofError = reEndOfFile) {
        NeedToken(eofError);
        return CodeHere();
    }

    // A code that starts at the current position (no skipping).
    std::string CodeHere() {
        const std::string_view line = Line();
        const std::size_t start = m_pos;
        while (m_pos < line.size() && !IsBlank(line[m_pos]) && line[m_pos] != ',') {
            ++m_pos;
        }
        const std::string_view raw(line.data() + start, m_pos - start);
        if (m_pos < line.size() && line[m_pos] == ',') {
            ++m_pos;
        }
        return m_utf8 ? Utf8Left(raw, CodeLength) : Utf8Left(OemToAnsiText(raw), CodeLength);
    }

    // Skips blanks and commas on the current line only; false at its end.
    bool SkipInLine() {
        while (m_pos < Line().size() && (IsBlank(Line()[m_pos]) || Line()[m_pos] == ',')) {
            ++m_pos;
        }
        return m_lineNo > 0 && m_pos < Line().size();
    }

    // Skips blanks and commas, across lines.
    void SkipCommas() {
        while (true) {
            NeedToken();
            if (Line()[m_pos] != ',') {
                return;
            }
            ++m_pos;
        }
    }

    char Peek() const { return Line()[m_pos]; }
    void Advance() { ++m_pos; }

private:
    std::string_view Line() const { return m_line; }

    // Views into the file's bytes, which outlive the scanner.
    std::vector<std::string_view> m_lines;
    std::string_view m_line; // the current line
    bool m_utf8;
    int m_lineNo = 0;
    std::size_t m_pos = 0;
};

struct Header {
    int Design = dkNone;
    bool HaveNLabs = false, HaveNReps = false, HaveLevels = false;
    bool HaveSubstance = false, HaveUnit = false, HaveTestId = false;
    int NLabs = 0;
    int NReps = 0;
    int NLevels = 0;
    std::string Substance, Unit, TestId;
    int Transformation = 0;
    std::vector<std::string> Excluded;
    bool ExcludeSeen = false;
};

const char* const kTransformNames[] = {"NONE", "LN", "LOG10", "SQUARE ROOT", "INVERSE"};

// Parses the file header. Returns the error number (0 when it is complete).
int ParseHeader(Scanner& sc, Header& h) {
    int error = 0;
    bool complete = false;
    try {
        if (sc.Keyword(reFileHeader) != "FILEHE") {
            return reFileHeader;
        }
        while (true) {
            const std::string kw = sc.Keyword();
            sc.SkipEquals();
            if (kw == "END") {
                complete = true;
                break;
            } else if (kw == "SPLITL") {
                h.Design = dkSplitLevel;
            } else if (kw == "UNIFOR") {
                h.Design = dkUniformLevel;
            } else if (kw == "NLABS") {
                h.NLabs = sc.Integer();
                h.HaveNLabs = true;
            } else if (kw == "NREPLI") {
                h.NReps = sc.Integer();
                h.HaveNReps = true;
                if (h.NReps < 1 || h.NReps > MaxReplicates) {
                    throw ScanError{reReplicateRange};
                }
            } else if (kw == "NOOFLE") {
                h.NLevels = sc.Integer();
                h.HaveLevels = true;
            } else if (kw == "SUBSTA") {
                h.Substance = sc.Quoted(255);
                h.HaveSubstance = true;
            } else if (kw == "UNIT") {
                h.Unit = sc.Quoted(255);
                h.HaveUnit = true;
            } else if (kw == "TESTID") {
                h.TestId = sc.Quoted(255);
                h.HaveTestId = true;
            } else if (kw == "EXCLUD") {
                h.Excluded.clear();
                h.ExcludeSeen = true;
                while (sc.SkipInLine()) {
                    h.Excluded.push_back(UpperCode(sc.CodeHere()));
                }
            } else if (kw == "TRANSF") {
                const std::string name = UpperAscii(Trim(sc.Quoted(255)));
                int index = -1;
                for (int i = 0; i < 5; ++i) {
                    if (name == kTransformNames[i]) {
                        index = i;
                    }
                }
                if (index < 0) {
                    throw ScanError{reKeyword};
                }
                h.Transformation = index;
            } else {
                throw ScanError{reKeyword};
            }
        }
    } catch (const ScanError& e) {
        if (e.Code == reFileHeader) {
            return reFileHeader;
        }
        error = e.Code;
    }
    if (error == 0) {
        if (h.Design == dkNone) {
            error = reDesign;
        } else if (!h.HaveNLabs) {
            error = reNLabs;
        } else if (!h.HaveNReps) {
            error = reNReplicates;
        } else if (!h.HaveLevels) {
            error = reNoOfLevels;
        } else if (!h.HaveSubstance) {
            error = reSubstance;
        } else if (!h.HaveTestId) {
            error = reTestId;
        } else if (!h.HaveUnit) {
            error = reUnit;
        }
    }
    // A header that stopped at a faulty token keeps that error: the checks
    // below would otherwise name a keyword the reader never reached.
    if (!complete) {
        return error;
    }
    if (h.Design == dkNone) {
        error = reDesign;
    }
    if (h.NLabs > MaxLabs) {
        error = reTooManyLabs;
    }
    if (h.NLevels <= 0) {
        error = reNoOfLevels;
    }
    // Counts the study cannot hold never reach it.
    if (error == 0 && h.NLabs < 1) {
        error = reNoLabs;
    }
    if (error == 0 && h.NLevels > MaxLevels) {
        error = reTooManyLevels;
    }
    return error;
}

struct LevelTotals {
    double DecimalTotal = 0.0;
    int Count = 0;
};

void ReadLevel(Scanner& sc, DataType& study, int lv, Program& program) {
    TLevel& level = study.Level(lv);
    if (sc.Keyword() != "LEVELH") {
        throw ScanError{reLevelHeader};
    }
    bool haveId = false;
    std::optional<std::string> spiked;
    try {
        while (true) {
            const std::string kw = sc.Keyword();
            sc.SkipEquals();
            if (kw == "END") {
                break;
            } else if (kw == "LEVELI") {
                haveId = true;
                if (study.Design == dkSplitLevel) {
                    for (int r = 1; r <= study.NoOfReplicates; ++r) {
                        if (r > 1) {
                            sc.SkipCommas();
                        }
                        level.SampleIds[static_cast<std::size_t>(r - 1)] = sc.Quoted(CodeLength);
                    }
                    level.LevelName = Utf8Left(level.SampleIds[0] + level.SampleIds[1], 8);
                } else {
                    level.LevelName = sc.Quoted(255);
                }
            } else if (kw == "NOMINA" || kw == "ASSIGN") {
                const auto v = sc.RealNumber();
                level.NominalValue = v.Value;
                level.NominalDecimals = static_cast<std::uint8_t>(v.Decimals);
            } else if (kw == "SPIKIN") {
                const auto v = sc.RealNumber();
                level.Spiking = v.Value;
                level.SpikingDecimals = static_cast<std::uint8_t>(v.Decimals);
            } else if (kw == "SPIKED") {
                spiked = sc.Quoted(255);
            } else {
                throw ScanError{reKeyword};
            }
        }
    } catch (const ScanError&) {
        if (!haveId) {
            throw ScanError{reLevelId};
        }
        throw;
    }
    if (!haveId) {
        throw ScanError{reLevelId};
    }
    // The spiked sample is looked up once the whole header is read, so that
    // SPIKED may stand before LEVELID.
    if (spiked) {
        int found = 0;
        for (int r = 1; r <= study.NoOfReplicates && found == 0; ++r) {
            if (study.Design == dkSplitLevel && level.SampleId(r) == *spiked) {
                found = r;
            }
        }
        if (found == 0) {
            throw ScanError{reSpiked};
        }
        level.SpikedSample = static_cast<std::uint8_t>(found);
    }

    if (sc.Keyword() != "LEVELD") {
        throw ScanError{reLevelData};
    }
    LevelTotals totals;
    for (int lab = 1; lab <= study.NoOfLabs; ++lab) {
        sc.NeedToken(reLabLines);
        char mark = MarkNone;
        if (sc.Peek() == 'U' || sc.Peek() == 'u') {
            mark = MarkFileExcluded;
            sc.Advance();
        }
        level.SetMark(lab, mark);
        level.SetRegLabNo(lab, UpperCode(sc.Code(reLabLines)));
        level.SetRandCode(lab, UpperCode(sc.Code(reLabLines)));
        bool allUsable = true;
        for (int r = 1; r <= study.NoOfReplicates; ++r) {
            sc.NeedToken(reLabLines);
            char flag = ' ';
            if (sc.Peek() == '<') {
                flag = '<';
                sc.Advance();
            }
            const auto v = sc.RealNumber(reLabLines);
            double value = v.Value;
            if (flag == '<' || value == MissingValue) {
                allUsable = false;
            }
            if (study.Design == dkSplitLevel && level.Spiking != MissingValue &&
                r == level.SpikedSample && value != MissingValue && flag != '<') {
                value -= level.Spiking;
            }
            if (v.Value != MissingValue && flag != '<') {
                totals.DecimalTotal += v.Decimals;
                totals.Count += 1;
                level.MaxDecimals = std::max<std::int8_t>(level.MaxDecimals,
                                                          static_cast<std::int8_t>(v.Decimals));
            }
            level.SetResult(lab, r, flag, value, v.Decimals);
        }
        const std::string method = sc.Code(reLabLines);
        level.SetMethodCode(lab, method.rfind("-99", 0) == 0 ? std::string() : method);
        if (allUsable) {
            level.AllLabsIncomplete = false;
        }
        if (!program.SilentMode) {
            program.host().StepProgress();
        }
    }
    level.Decimals = totals.Count == 0
                         ? 2
                         : static_cast<std::int8_t>(std::nearbyint(totals.DecimalTotal / totals.Count));
    if (sc.Keyword() != "END") {
        throw ScanError{reKeyword};
    }
}

// The message of an error number; empty when none is shown.
std::string ErrorMessage(Program& program, int error, int line) {
    auto withLine = [&](int item) { return program.LibText(5, item) + " " + IntText(line); };
    switch (error) {
    case reNumber:
        return withLine(41);
    case reLevelHeader:
        return withLine(42);
    case reKeyword:
        return withLine(43);
    case reLevelData:
        return withLine(44);
    case reLabLines:
        return withLine(47);
    case reQuoted:
        return withLine(48);
    case reDesign:
        return program.LibText(5, 49);
    case reNLabs:
        return program.LibText(5, 50);
    case reNReplicates:
        return program.LibText(5, 51);
    case reNoOfLevels:
        return program.LibText(5, 52);
    case reSubstance:
        return program.LibText(5, 53);
    case reUnit:
        return program.LibText(5, 54);
    case reLevelId:
        return program.LibText(5, 55);
    case reTestId:
        return program.LibText(5, 56);
    case reReplicateRange:
        return program.LibText(5, 57) + " 4";
    case reEndOfFile:
        return program.LibText(5, 58);
    case reSpiked:
        return program.LibText(5, 59);
    case reTooManyLabs:
        return program.LibText(5, 74);
    case reNoLabs:
        return program.LibText(5, 76);
    case reTooManyLevels:
        return program.LibText(5, 75);
    default:
        return {};
    }
}

void ReportError(Program& program, int error, int line) {
    const std::string text = ErrorMessage(program, error, line);
    if (!text.empty()) {
        program.host().ShowMessage(text);
    }
}

void ResetForRead(Program& program) {
    program.ExcludedLabs.Clear();
    program.ExcludedCodes.Clear();
    program.DestroyStudy();
}

} // namespace

int ReadStudyText(Program& program, std::string_view bytes, const std::filesystem::path& name) {
    ResetForRead(program);
    const bool ascii = IsAscii(bytes);
    const bool utf8 = ascii || IsValidUtf8(bytes);
    Scanner sc(bytes, utf8);
    Header h;
    int error = ParseHeader(sc, h);
    bool progressStarted = false;
    if (error == 0) {
        for (const auto& code : h.Excluded) {
            program.ExcludedCodes.Add(code);
        }
        if (!program.SilentMode) {
            program.host().StartProgress(h.NLevels * h.NLabs);
            progressStarted = true;
        }
        program.CurrentStudy = std::make_unique<DataType>(
            static_cast<DesignKind>(h.Design), h.NLevels, h.TestId, h.Unit, h.Substance, h.NReps,
            h.NLabs);
        program.CurrentStudy->FileTransformation = static_cast<std::uint8_t>(h.Transformation);
        try {
            for (int lv = 1; lv <= h.NLevels && sc.HasInput(); ++lv) {
                ReadLevel(sc, *program.CurrentStudy, lv, program);
            }
        } catch (const ScanError& e) {
            error = e.Code;
        }
    }
    if (error != 0) {
        ReportError(program, error, sc.LineNo());
        program.DestroyStudy();
        if (progressStarted) {
            program.host().EndProgress();
        }
        program.host().StudyStateChanged();
        return error;
    }

    program.CurrentFile = name;
    program.CurrentFileIsUtf8 = utf8 && !ascii;
    if (h.Transformation != 0) {
        const bool apply =
            !program.Settings.ConfirmTrans ||
            program.host().AskYesNo(
                "Datafile contains a transformation. Shall the transformation be executed?");
        if (apply && program.ApplyTransformation) {
            program.ApplyTransformation(program, h.Transformation);
        }
    }
    for (int i = 1; i <= program.ExcludedCodes.Count(); ++i) {
        const int lab = FindLabByCode(program, program.ExcludedCodes.Code(i));
        if (lab != -99) {
            for (int lv = 1; lv <= program.CurrentStudy->NoOfLevels; ++lv) {
                program.CurrentStudy->Level(lv).SetMark(lab, MarkFileExcluded);
            }
        }
    }
    program.RecomputeStatistics();
    program.Outliers.Clear();
    program.StudyLoaded = true;
    program.host().SetPanelText(3, name.filename().string());
    if (progressStarted) {
        program.host().EndProgress();
    }
    program.host().StudyStateChanged();
    return 0;
}

int ReadStudyFile(Program& program, const std::filesystem::path& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        ResetForRead(program);
        program.host().ShowMessage("Cannot open the file " + path.string() + ".");
        program.host().StudyStateChanged();
        return -1;
    }
    return ReadStudyText(program, bytes, path);
}

THeaderInfo ReadHeaderOnly(Program& program, const std::filesystem::path& path,
                           std::size_t testIdLength, std::size_t substanceLength) {
    THeaderInfo info;
    program.DestroyStudy();
    program.host().StudyStateChanged();
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        program.host().ShowMessage("Cannot open the file " + path.string() + ".");
        info.Error = -1;
        return info;
    }
    Scanner sc(bytes, IsValidUtf8(bytes));
    Header h;
    info.Error = ParseHeader(sc, h);
    if (info.Error != 0) {
        ReportError(program, info.Error, sc.LineNo());
        return info;
    }
    info.NoOfLabs = h.NLabs;
    info.NoOfLevels = h.NLevels;
    info.NoOfReplicates = h.NReps;
    info.TestId = Utf8Left(h.TestId, testIdLength);
    info.Substance = Utf8Left(h.Substance, substanceLength);
    return info;
}

int FindLabByCode(const Program& program, std::string_view code) {
    if (!program.CurrentStudy || program.CurrentStudy->NoOfLevels < 1) {
        return -99;
    }
    const std::string key = Utf8Left(code, CodeLength);
    const TLevel& level = program.CurrentStudy->Level(1);
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        if (level.GetRandCode(lab) == key) {
            return lab;
        }
    }
    return -99;
}

bool CheckNominalValues(Program& program, const std::string& caption) {
    if (!program.CurrentStudy) {
        return false;
    }
    for (int lv = 1; lv <= program.CurrentStudy->NoOfLevels; ++lv) {
        if (program.CurrentStudy->Level(lv).NominalValue == MissingValue) {
            program.host().ShowDialog(caption.empty() ? NominalNotOkCaption : caption,
                                      NominalNotOkText, 400);
            return false;
        }
    }
    return true;
}

bool CheckTwoNominalValues(Program& program, const std::string& caption) {
    if (program.CurrentStudy) {
        std::optional<double> reference;
        for (int lv = 1; lv <= program.CurrentStudy->NoOfLevels; ++lv) {
            const double v = program.CurrentStudy->Level(lv).NominalValue;
            if (v == MissingValue) {
                continue;
            }
            if (!reference) {
                reference = v;
            } else if (v != *reference) {
                return true;
            }
        }
    }
    program.host().ShowDialog(caption, LessOneNominalText, 1200);
    return false;
}

} // namespace veltrio
