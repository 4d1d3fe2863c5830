// libFuzzer target: any bytes as a settings file give settings within their
// ranges, and the file written back reads the same.
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc/core \
//     fuzz/ini_fuzzer.cpp src/core/base/*.cpp src/core/settings/*.cpp -o /tmp/ini_fuzzer
//   /tmp/ini_fuzzer -max_total_time=300 fuzz/corpus/ini
//
// scripts/fuzz.sh builds it with the other targets (VELTRIO_BUILD_FUZZERS) and
// runs it on that corpus.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/IniFile.h"
#include "settings/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const veltrio::TIniFile ini(std::string_view(reinterpret_cast<const char*>(data), size));
    veltrio::TSettings settings;
    veltrio::ReadSettings(ini, settings);
    if (settings.OutputLanguage < 0 || settings.OutputLanguage > 5 ||
        settings.DesignColours < 0 || settings.DesignColours > 255) {
        __builtin_trap();
    }
    veltrio::ReadFileHistory(ini);
    veltrio::ReadWindowPlacement(ini);
    // What is written reads back to the same settings.
    veltrio::TIniFile copy(ini.Text());
    veltrio::WriteSettings(copy, settings);
    veltrio::TSettings again;
    veltrio::ReadSettings(veltrio::TIniFile(copy.Text()), again);
    if (again.OutputLanguage != settings.OutputLanguage || again.Circle20 != settings.Circle20 ||
        again.OutputFontName != settings.OutputFontName) {
        __builtin_trap();
    }
    return 0;
}
