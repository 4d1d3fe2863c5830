#include "study/StudyReader.h"

#include "base/ScopeGuard.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "base/AtomicFile.h"
#include "base/TextUtil.h"
#include "study/DecimalToken.h"
#include "study/Program.h"

namespace veltrio {

namespace {

constexpr std::size_t MaxLineLength = 255;
constexpr int MaxDecimalsKept = 15; // a double holds no more

struct ScanError {
    int Code;
};

// Character classes of the scanner: ' ', tab, ':' and ';' separate tokens.
enum : std::uint8_t { ccBlank = 1, ccLetter = 2, ccDigit = 4 };

constexpr std::array<std::uint8_t, 256> kCharClass = [] {
    std::array<std::uint8_t, 256> t{};
    for (const char c : {' ', '\t', ':', ';'}) {
        t[static_cast<unsigned char>(c)] = ccBlank;
    }
    for (int c = 'A'; c <= 'Z'; ++c) {
        t[static_cast<std::size_t>(c)] = ccLetter;
        t[static_cast<std::size_t>(c - 'A' + 'a')] = ccLetter;
    }
    for (int c = '0'; c <= '9'; ++c) {
        t[static_cast<std::size_t>(c)] = ccDigit;
    }
    return t;
}();

bool HasClass(char c, std::uint8_t cls) {
    return (kCharClass[static_cast<unsigned char>(c)] & cls) != 0;
}
bool IsBlank(char c) {
    return HasClass(c, ccBlank);
}
bool IsLetter(char c) {
    return HasClass(c, ccLetter);
}
bool IsDigit(char c) {
    return HasClass(c, ccDigit);
}

// The first '\n' or '\r' at or after `pos`, or the end of `s`.
std::size_t FindLineEnd(std::string_view s, std::size_t pos) {
    const char* p = s.data() + pos;
    const char* const end = s.data() + s.size();
    if constexpr (std::endian::native == std::endian::little) {
        // Eight bytes at a time: the lowest byte that equals one of the two
        // marks sets the lowest bit of `hit` (a zero byte of x ^ mark).
        constexpr std::uint64_t ones = 0x0101010101010101ull;
        constexpr std::uint64_t highs = 0x8080808080808080ull;
        auto zeroBytes = [](std::uint64_t x) { return (x - ones) & ~x & highs; };
        for (; end - p >= 8; p += 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            const std::uint64_t hit =
                zeroBytes(word ^ (ones * '\n')) | zeroBytes(word ^ (ones * '\r'));
            if (hit != 0) {
                return static_cast<std::size_t>(p - s.data()) +
                       static_cast<std::size_t>(std::countr_zero(hit) / 8);
            }
        }
    }
    while (p != end && *p != '\n' && *p != '\r') {
        ++p;
    }
    return static_cast<std::size_t>(p - s.data());
}

// An upper-cased keyword: the first six letters of a run of letters.
struct Keyword6 {
    std::array<char, 6> Text{};
    std::size_t Size = 0;

    bool operator==(std::string_view s) const { return std::string_view(Text.data(), Size) == s; }
};

// A laboratory or method code (at most four code points). ASCII codes stay in
// the small buffer; others, rare, in a string.
class CodeText {
public:
    std::string_view View() const {
        return m_inBuffer ? std::string_view(m_buffer.data(), m_size) : std::string_view(m_other);
    }
    void SetAscii(std::string_view ascii, bool upper) {
        m_size = ascii.size();
        for (std::size_t i = 0; i < m_size; ++i) {
            char c = ascii[i];
            if (upper && c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
            m_buffer[i] = c;
        }
        m_inBuffer = true;
    }
    void SetOther(std::string text) {
        m_other = std::move(text);
        m_inBuffer = false;
    }

private:
    std::array<char, CodeLength> m_buffer{};
    std::size_t m_size = 0;
    std::string m_other;
    bool m_inBuffer = true;
};

// The hand-written scanner over the lines of a data file. Lines are found as
// the scanner reaches them; each is cut to MaxLineLength characters.
class Scanner {
public:
    // `bytes` must outlive the scanner.
    Scanner(std::string_view bytes, bool utf8) : m_utf8(utf8) {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
            bytes.remove_prefix(3);
        }
        m_bytes = bytes;
    }

    int LineNo() const { return m_lineNo; }

    // Skips blanks and line ends. False at the end of the file.
    bool SkipToToken() {
        while (true) {
            // A local position lets the loop run in registers.
            std::size_t pos = m_pos;
            while (pos < m_line.size() && IsBlank(m_line[pos])) {
                ++pos;
            }
            m_pos = pos;
            if (pos < m_line.size()) {
                return true;
            }
            if (!NextLine()) {
                return false;
            }
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
        const std::size_t next = m_next;
        const std::string_view current = m_line;
        const bool more = SkipToToken();
        m_lineNo = line;
        m_pos = pos;
        m_next = next;
        m_line = current;
        return more;
    }

    // A run of letters, upper-cased, of which the first six count.
    Keyword6 Keyword(int eofError = reEndOfFile) {
        NeedToken(eofError);
        Keyword6 word;
        while (m_pos < m_line.size() && IsLetter(m_line[m_pos])) {
            const char c = m_line[m_pos++];
            if (word.Size < word.Text.size()) {
                word.Text[word.Size++] =
                    c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            }
        }
        return word;
    }

    // After a header keyword: blanks and '=' on the same line.
    void SkipEquals() {
        while (m_pos < m_line.size() && (IsBlank(m_line[m_pos]) || m_line[m_pos] == '=')) {
            ++m_pos;
        }
    }

    int Integer(int eofError = reEndOfFile) {
        NeedToken(eofError);
        const std::size_t start = m_pos;
        if (m_line[m_pos] == '-') {
            ++m_pos;
        }
        while (m_pos < m_line.size() && IsDigit(m_line[m_pos])) {
            ++m_pos;
        }
        const char* const first = m_line.data() + start;
        const char* const last = m_line.data() + m_pos;
        int value = 0;
        const auto res = std::from_chars(first, last, value);
        if (res.ec != std::errc() || res.ptr != last) {
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
        const DecimalToken t = ScanDecimal(m_line.substr(m_pos));
        m_pos += t.Length;
        if (!t.Ok) {
            throw ScanError{reNumber};
        }
        return Real{t.Value, std::min(t.Decimals, MaxDecimalsKept)};
    }

    // A double-quoted text on one line, cut to `length` characters.
    std::string Quoted(std::size_t length, int eofError = reEndOfFile) {
        NeedToken(eofError);
        if (m_line[m_pos] != '"') {
            throw ScanError{reQuoted};
        }
        const std::size_t close = m_line.find('"', m_pos + 1);
        if (close == std::string::npos) {
            throw ScanError{reQuoted};
        }
        const std::string_view raw = m_line.substr(m_pos + 1, close - m_pos - 1);
        m_pos = close + 1;
        return m_utf8 ? Utf8Left(raw, length) : Utf8Left(OemToAnsiText(raw), length);
    }

    // The characters up to the next blank, ',' or line end; the first four
    // count. A ',' that ends the code is consumed. `upper` stores it as codes
    // are stored (UpperCode).
    void Code(CodeText& code, bool upper, int eofError = reEndOfFile) {
        NeedToken(eofError);
        const std::string_view raw = CodeRun();
        // Four ASCII bytes are four characters in UTF-8 and in code page 850.
        const std::string_view head = raw.substr(0, CodeLength);
        bool ascii = true;
        for (const char c : head) {
            ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        }
        if (ascii) {
            code.SetAscii(head, upper);
        } else {
            std::string text = CodeFromRaw(raw);
            code.SetOther(upper ? UpperCode(text) : std::move(text));
        }
    }

    // A code that starts at the current position (no skipping).
    std::string CodeHere() { return CodeFromRaw(CodeRun()); }

    // Skips blanks and commas on the current line only; false at its end.
    bool SkipInLine() {
        while (m_pos < m_line.size() && (IsBlank(m_line[m_pos]) || m_line[m_pos] == ',')) {
            ++m_pos;
        }
        return m_lineNo > 0 && m_pos < m_line.size();
    }

    // Skips blanks and commas, across lines.
    void SkipCommas() {
        while (true) {
            NeedToken();
            if (m_line[m_pos] != ',') {
                return;
            }
            ++m_pos;
        }
    }

    char Peek() const { return m_line[m_pos]; }
    void Advance() { ++m_pos; }

private:
    // Moves to the next line. False when there is none.
    bool NextLine() {
        if (m_next >= m_bytes.size()) {
            return false;
        }
        const std::size_t end = FindLineEnd(m_bytes, m_next);
        std::string_view line = m_bytes.substr(m_next, end - m_next);
        if (line.size() > MaxLineLength) {
            line = m_utf8 ? Utf8LeftView(line, MaxLineLength) : line.substr(0, MaxLineLength);
        }
        m_line = line;
        m_pos = 0;
        ++m_lineNo;
        m_next = end;
        if (m_next < m_bytes.size() && m_bytes[m_next] == '\r') {
            ++m_next;
        }
        if (m_next < m_bytes.size() && m_bytes[m_next] == '\n') {
            ++m_next;
        }
        return true;
    }

    // The run of a code from the current position; consumes a ',' ending it.
    std::string_view CodeRun() {
        const std::size_t start = m_pos;
        std::size_t pos = start;
        while (pos < m_line.size() && !IsBlank(m_line[pos]) && m_line[pos] != ',') {
            ++pos;
        }
        const std::string_view raw = m_line.substr(start, pos - start);
        if (pos < m_line.size() && m_line[pos] == ',') {
            ++pos;
        }
        m_pos = pos;
        return raw;
    }

    std::string CodeFromRaw(std::string_view raw) const {
        return m_utf8 ? Utf8Left(raw, CodeLength) : Utf8Left(OemToAnsiText(raw), CodeLength);
    }

    std::string_view m_bytes; // the file without its byte-order mark
    std::size_t m_next = 0;   // where the next line starts
    std::string_view m_line;  // the current line
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
            const Keyword6 kw = sc.Keyword();
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
    // A split level holds two similar samples, one result each.
    if (error == 0 && h.Design == dkSplitLevel && h.NReps != 2) {
        error = reSplitReplicates;
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
            const Keyword6 kw = sc.Keyword();
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
    CodeText code;
    for (int lab = 1; lab <= study.NoOfLabs; ++lab) {
        sc.NeedToken(reLabLines);
        char mark = MarkNone;
        if (sc.Peek() == 'U' || sc.Peek() == 'u') {
            mark = MarkFileExcluded;
            sc.Advance();
        }
        level.SetMark(lab, mark);
        sc.Code(code, true, reLabLines);
        level.SetRegLabNo(lab, code.View());
        sc.Code(code, true, reLabLines);
        level.SetRandCode(lab, code.View());
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
        sc.Code(code, false, reLabLines);
        const std::string_view method = code.View();
        level.SetMethodCode(lab, method.starts_with("-99") ? std::string_view() : method);
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
    case reSplitReplicates:
        return program.LibText(5, 77);
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

int ReadStudyText(Program& program, std::string_view fileBytes,
                  const std::filesystem::path& name) {
    ResetForRead(program);
    std::string cleaned;
    const std::string_view bytes = WithoutControlCharacters(fileBytes, cleaned);
    const bool ascii = IsAscii(bytes);
    const bool utf8 = ascii || IsValidUtf8(bytes);
    Scanner sc(bytes, utf8);
    Header h;
    int error = ParseHeader(sc, h);
    bool progressStarted = false;
    // The progress display ends on every path, also when a transformation
    // or the statistics fail with an exception.
    TScopeExit endProgress([&] {
        if (progressStarted) {
            program.host().EndProgress();
        }
    });
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
    program.StudyLoaded = true;
    program.host().SetPanelText(3, name.filename().string());
    program.StudyReplaced();
    return 0;
}

int ReadStudyFile(Program& program, const std::filesystem::path& path) {
    std::string bytes;
    std::string why;
    if (!ReadWholeFile(path, bytes, &why)) {
        ResetForRead(program);
        program.host().ShowMessage("Cannot open the file " + path.string() + ": " + why + ".");
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
    std::string why;
    if (!ReadWholeFile(path, bytes, &why)) {
        program.host().ShowMessage("Cannot open the file " + path.string() + ": " + why + ".");
        info.Error = -1;
        return info;
    }
    std::string cleaned;
    const std::string_view text = WithoutControlCharacters(bytes, cleaned);
    Scanner sc(text, IsValidUtf8(text));
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
