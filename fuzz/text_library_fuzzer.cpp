// libFuzzer target: a language file of any bytes either opens (and every
// lookup returns some text) or is refused with the fatal message; never a
// crash, a hang or undefined behaviour.
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc/core \
//     fuzz/text_library_fuzzer.cpp src/core/base/*.cpp src/core/textlib/*.cpp \
//     -o /tmp/text_library_fuzzer
//   /tmp/text_library_fuzzer -max_total_time=300 fuzz/corpus/textlib
//
// scripts/fuzz.sh builds it with the other targets (VELTRIO_BUILD_FUZZERS) and
// runs it on that corpus.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

#include "textlib/TextLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/veltrio_fuzz_" + std::to_string(getpid()) + ".TEX";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    veltrio::TTextLibrary lib;
    try {
        if (!lib.OpenTextLibrary(path)) {
            return 0;
        }
    } catch (const veltrio::ETextLibraryFatal&) {
        return 0;
    }
    for (int chapter : {-1, 0, 1, 2, 29, 30}) {
        for (int item : {-40000, 0, 1, 2, 32767}) {
            std::string text;
            lib.LibText(chapter, item, text);
        }
    }
    return 0;
}
