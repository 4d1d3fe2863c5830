// libFuzzer target: any bytes given to the study-file reader end in a
// message or a loaded study, never a crash, a hang or undefined behaviour.
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc/core \
//     fuzz/study_reader_fuzzer.cpp src/core/base/*.cpp src/core/textlib/*.cpp \
//     src/core/study/{StudyTypes,Study,DescriptiveStatistics,Program,PreliminaryStats,StudyReader,DecimalToken}.cpp \
//     src/core/numerics/Stat.cpp \
//     -o /tmp/study_reader_fuzzer
//   /tmp/study_reader_fuzzer -max_total_time=300 fuzz/corpus/study
//
// scripts/fuzz.sh builds it with the other targets (VELTRIO_BUILD_FUZZERS) and
// runs it on that corpus.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/Host.h"
#include "study/Program.h"
#include "study/StudyReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    veltrio::SilentHost host;
    veltrio::Program program(host);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const int error = veltrio::ReadStudyText(program, bytes, "FUZZ.PAR");
    if (error == 0 && (!program.StudyLoaded || !program.Stats)) {
        __builtin_trap();
    }
    if (error != 0 && (program.StudyLoaded || program.CurrentStudy)) {
        __builtin_trap();
    }
    return 0;
}
