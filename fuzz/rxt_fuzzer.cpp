// libFuzzer target: any bytes as a report-texts file (.rxt) are read or
// refused with ERepTextsRead, and a refused file leaves the texts in memory
// as they were. What was read is written and read back to the same texts,
// and writing those again gives the same bytes.
//
// scripts/fuzz.sh builds it with the other targets (VELTRIO_BUILD_FUZZERS) and
// runs it on its corpus, a few files of all six parts and of the first two:
//
//   scripts/fuzz.sh 300 rxt_fuzzer
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tools/RepTexts.h"

namespace {

veltrio::TRepTexts Before() {
    veltrio::TRepTexts r;
    r.RepTextsFile = "/fuzz/before.rxt";
    r.ParDir = "/fuzz";
    r.TestName = "before";
    r.UseLabNames = true;
    r.ShowLegend = true;
    r.ReportFiles = {{"BEFORE.PAR", {"b", 1, 2, 3, 4, 5, 6, 7, 8}}};
    r.LabNames = {{"1", "Lab"}};
    r.Legends = {"a"};
    r.Signature = "s";
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const veltrio::TRepTexts before = Before();
    veltrio::TRepTexts r = before;
    try {
        r.ReadRepTexts(bytes);
    } catch (const veltrio::ERepTextsRead&) {
        if (!r.SameContent(before) || r.ParDir != before.ParDir ||
            r.RepTextsFile != before.RepTextsFile) {
            __builtin_trap();
        }
        return 0;
    }
    if (r.ParDir != before.ParDir || r.ShownLegends().size() != 3) {
        __builtin_trap();
    }
    const std::string written = r.WriteRepTexts();
    veltrio::TRepTexts again;
    again.ParDir = r.ParDir; // reading keeps the folder the caller set
    again.ReadRepTexts(written); // a file of our own must read
    if (!again.SameContent(r) || again.WriteRepTexts() != written) {
        __builtin_trap();
    }
    return 0;
}
