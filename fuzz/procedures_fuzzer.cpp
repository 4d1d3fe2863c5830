// libFuzzer target: a study of any bytes that loads is run through every
// procedure that the menus allow, in menu order and on one program, as a user
// who picks them one after the other would. Every document is laid out,
// exported as RTF and HTML, turned into plain text and printed on the fake
// print engine; every chart is painted on the fake canvas. A procedure may
// end with an EVeltrioError (a numerical failure); a crash, a hang,
// undefined behaviour or any other exception is a finding, and so are an
// "Internal Error" of the document layer, an RTF file that is not 7-bit
// text with balanced groups, output that is not UTF-8, control characters
// in an export, and an export that differs when written twice.
//
// scripts/fuzz.sh builds it with the other targets (VELTRIO_BUILD_FUZZERS).
// By hand, once the language file exists (any build writes bin/ENGLISH.TEX):
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc/core \
//     -DVELTRIO_FUZZ_LANGUAGE_FILE='"build/debug/bin/ENGLISH.TEX"' \
//     fuzz/procedures_fuzzer.cpp src/core/{base,textlib,settings,numerics,study}/*.cpp \
//     src/core/{documents,documents/testing,charts,preliminary,quality,labs,tools,commands}/*.cpp \
//     -lz -o /tmp/procedures_fuzzer
//   /tmp/procedures_fuzzer -timeout=10 -dict=fuzz/study.dict fuzz/corpus/procedures
//
// VELTRIO_FUZZ_LANGUAGE_FILE in the environment names another language file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "base/Error.h"
#include "base/Host.h"
#include "charts/ChartItem.h"
#include "charts/GraphWindow.h"
#include "commands/Commands.h"
#include "documents/Contents.h"
#include "documents/DocumentExport.h"
#include "documents/DocumentMessages.h"
#include "documents/HtmlExport.h"
#include "documents/TavPrinter.h"
#include "documents/testing/FakeCanvas.h"
#include "documents/testing/FakeReport.h"
#include "study/Program.h"
#include "study/StudyReader.h"
#include "study/Transformations.h"

#ifndef VELTRIO_FUZZ_LANGUAGE_FILE
#define VELTRIO_FUZZ_LANGUAGE_FILE "ENGLISH.TEX"
#endif

namespace {

using namespace veltrio;
namespace fs = std::filesystem;

[[noreturn]] void Finding(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "procedures_fuzzer: %s%s%.*s\n", what, detail.empty() ? "" : ": ",
                 static_cast<int>(detail.size()), detail.data());
    __builtin_trap();
}

std::uint64_t Fnv1a(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        h = (h ^ c) * 1099511628211ull;
    }
    return h;
}

bool ValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + n >= s.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (d & 0x3F);
        }
        const std::uint32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += n + 1;
    }
    return true;
}

// Questions are answered from the bits of a hash of the input, so that one
// input always takes the same branches and mutations reach both answers.
class CollectingHost : public Host {
public:
    explicit CollectingHost(std::uint64_t answers) : m_answers(answers) {}

    void ShowMessage(const std::string& text) override { Check(text); }
    void ShowDialog(const std::string& caption, const std::string& text, int) override {
        Check(caption);
        Check(text);
    }
    bool AskYesNo(const std::string& text) override {
        Check(text);
        const bool answer = (m_answers >> (m_asked++ % 64)) & 1u;
        return answer;
    }
    void ShowDocument(std::shared_ptr<TTavContents> document, const std::string& caption,
                      int) override {
        if (!document) {
            Finding("a procedure showed no document", caption);
        }
        CheckCaption(caption);
        Documents.push_back(std::move(document));
    }
    void ShowChart(std::shared_ptr<TGraphWindow> chart, const std::string& caption, int) override {
        if (!chart) {
            Finding("a procedure showed no chart", caption);
        }
        CheckCaption(caption);
        Charts.push_back(std::move(chart));
    }

    std::vector<std::shared_ptr<TTavContents>> Documents;
    std::vector<std::shared_ptr<TGraphWindow>> Charts;

private:
    // The document layer reports its misuse as an "Internal Error" message:
    // a procedure asked a table for a cell or a column it does not have.
    static void Check(const std::string& text) {
        if (text.rfind("Internal Error", 0) == 0) {
            Finding("the document layer reported", text);
        }
    }
    // Window captions are UTF-8 like every text of the program.
    static void CheckCaption(const std::string& caption) {
        if (!ValidUtf8(caption)) {
            Finding("a window caption is not UTF-8", caption);
        }
    }

    std::uint64_t m_answers;
    unsigned m_asked = 0;
};

// The reader turns the control characters of a study file into '?', so none
// reaches an export; only tabs and line ends are written.
bool ControlByte(unsigned char c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F;
}

// RTF escapes everything beyond ASCII, and its braces nest: a "{" or "}" of
// the text is escaped, and "\\" escapes the backslash.
void CheckRtf(const std::string& rtf) {
    if (rtf.rfind("{\\rtf", 0) != 0) {
        Finding("RTF does not start with {\\rtf");
    }
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        const auto c = static_cast<unsigned char>(rtf[i]);
        if (c >= 0x80) {
            Finding("RTF holds a byte beyond 7-bit ASCII", rtf.substr(i > 40 ? i - 40 : 0, 80));
        }
        if (ControlByte(c)) {
            Finding("RTF holds a control character", rtf.substr(i > 40 ? i - 40 : 0, 80));
        }
    }
    long depth = 0;
    std::size_t closed = std::string::npos;
    for (std::size_t i = 0; i < rtf.size() && closed == std::string::npos; ++i) {
        const char c = rtf[i];
        if (c == '\\') {
            ++i;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth < 0) {
            Finding("RTF closes a group it never opened", rtf.substr(i > 40 ? i - 40 : 0, 80));
        }
        if (depth == 0) {
            closed = i;
        }
    }
    if (closed == std::string::npos) {
        Finding("RTF leaves a group open");
    }
    if (rtf.find_first_not_of("\r\n", closed + 1) != std::string::npos) {
        Finding("RTF goes on after its outermost group closed");
    }
}

// A folder of this process for the GIF files of HTML pages; emptied after
// every input so that picture names do not run out.
const fs::path& ScratchFolder() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() /
                     ("veltrio_procedures_fuzz_" + std::to_string(static_cast<long>(getpid())));
        fs::create_directories(d);
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(ScratchFolder(), ignored);
        });
        return d;
    }();
    return dir;
}

void ExportDocument(TTavContents& document) {
    testing::FakeCanvas canvas;
    LayOutForExport(document, canvas);

    const std::string rtf = WriteDocumentRtf(document);
    CheckRtf(rtf);
    if (WriteDocumentRtf(document) != rtf) {
        Finding("RTF differs when the document is written twice");
    }

    HtmlExport html(ScratchFolder() / "page.html");
    WriteDocumentHtml(document, html);
    if (!ValidUtf8(html.Text())) {
        Finding("HTML is not UTF-8");
    }
    for (const char c : html.Text()) {
        if (ControlByte(static_cast<unsigned char>(c))) {
            Finding("HTML holds a control character");
        }
    }

    for (const auto& line : document.AsStrings()) {
        if (!ValidUtf8(line)) {
            Finding("a plain-text line is not UTF-8", line);
        }
    }

    testing::FakeReport report;
    TTavPrinter printer;
    printer.Document = &document;
    const int cursor = document.CursorIndex();
    printer.Generate(report);
    if (document.CursorIndex() != cursor) {
        Finding("printing moved the document's cursor");
    }
    if (!document.Empty() && report.Pages.empty()) {
        Finding("a document with items printed no page");
    }
}

void PaintChart(TGraphWindow& chart) {
    testing::FakeCanvas canvas;
    chart.Paint(canvas);
    canvas.Clear();
    chart.DrawExport(canvas, true);
    canvas.Clear();
    chart.DrawExport(canvas, false);
    canvas.Clear();
    chart.DrawOn(canvas, 10, 10, 640, 480);
    for (const auto& line : chart.Describe()) {
        if (!ValidUtf8(line)) {
            Finding("a chart's description is not UTF-8", line);
        }
    }
}

// Charts inside documents become pictures; the platform's renderer is
// replaced by one that paints on the fake canvas and marks what it drew.
TPicture FakeRasterizer(int width, int height, int, const std::function<void(Canvas&)>& paint) {
    testing::FakeCanvas canvas;
    paint(canvas);
    TPicture picture;
    if (width <= 0 || height <= 0 || width > 20000 || height > 20000) {
        Finding("a chart picture of an unreasonable size");
    }
    picture.Width = width;
    picture.Height = height;
    picture.Pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                          clWhite);
    for (const auto& shape : canvas.Shapes) {
        for (const auto& p : shape.Points) {
            if (p.X >= 0 && p.X < width && p.Y >= 0 && p.Y < height) {
                picture.Pixels[static_cast<std::size_t>(p.Y) * width + p.X] = shape.Pen.Color;
            }
        }
    }
    return picture;
}

fs::path LanguageFile() {
    if (const char* path = std::getenv("VELTRIO_FUZZ_LANGUAGE_FILE")) {
        return path;
    }
    return VELTRIO_FUZZ_LANGUAGE_FILE;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    veltrio::SetChartRasterizer(FakeRasterizer);
    veltrio::SilentHost probe;
    veltrio::Program program(probe);
    if (!program.TextLib.OpenTextLibrary(LanguageFile())) {
        std::fprintf(stderr, "procedures_fuzzer: cannot open the language file %s\n",
                     LanguageFile().c_str());
        std::exit(2);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CollectingHost host(Fnv1a(bytes));
    // Messages of the document layer go to the same checks.
    veltrio::ScopedDocumentHost documentMessages(host);
    veltrio::Program program(host);
    // Footers carry no date of the day, so that a finding reproduces.
    program.FixedDate = "2026-01-01";
    veltrio::InstallTransformations(program);
    if (!program.TextLib.OpenTextLibrary(LanguageFile())) {
        Finding("the language file went away");
    }
    // A study that does not load is the reader's fuzzer's business.
    veltrio::SilentHost reader;
    program.SetHost(reader);
    if (veltrio::ReadStudyText(program, bytes, "FUZZ.PAR") != 0) {
        return 0;
    }
    program.SetHost(host);

    // VELTRIO_FUZZ_VERBOSE=1 tells what a reproducer does.
    static const bool verbose = std::getenv("VELTRIO_FUZZ_VERBOSE") != nullptr;
    for (const veltrio::TProcedure& procedure : veltrio::Procedures()) {
        if (!procedure.Enabled(program)) {
            continue;
        }
        if (verbose) {
            std::fprintf(stderr, "procedures_fuzzer: %s\n", procedure.Name.c_str());
        }
        try {
            procedure.Run(program);
        } catch (const veltrio::EVeltrioError& e) {
            // A numerical failure ends the procedure; the program goes on, as
            // the desktop program does after reporting it.
            if (verbose) {
                std::fprintf(stderr, "procedures_fuzzer:   ended by: %s\n", e.what());
            }
        }
    }
    if (verbose) {
        std::fprintf(stderr, "procedures_fuzzer: %zu documents, %zu charts\n",
                     host.Documents.size(), host.Charts.size());
    }
    for (const auto& document : host.Documents) {
        try {
            ExportDocument(*document);
        } catch (const veltrio::EVeltrioError&) {
            // A picture that the GIF writer cannot encode ends that export.
        }
    }
    for (const auto& chart : host.Charts) {
        PaintChart(*chart);
    }
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(ScratchFolder(), ignored)) {
        fs::remove(entry.path(), ignored);
    }
    return 0;
}
