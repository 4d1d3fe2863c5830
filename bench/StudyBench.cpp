// Reading and computing the statistics of the largest study the format
// allows: 45 laboratories, 3 levels, 4 replicates. Target: 20 µs for the
// read and both statistics runs.
//
// Measured (2 cores, load average below 1, 3 x 10 repetitions, CPU time):
// BM_ReadLargestStudy median 16.4 µs (before the one-pass scanner: median
// 26.8-27.5 µs; before the code setters assigned in place: 17.3-17.7 µs);
// BM_StatisticsOnly median 3.5 µs. About a quarter of what remains is
// outside the reader: the statistics runs and building the study.
//
//   cmake --preset release -DVELTRIO_BUILD_BENCH=ON && cmake --build --preset release
//   build/release/bin/veltrio_bench
#include <benchmark/benchmark.h>

#include <string>

#include "base/Host.h"
#include "study/Program.h"
#include "study/StudyReader.h"

namespace {

std::string LargestStudy() {
    std::string s = "FILEHEADER\n  UNIFORM\n  NLABS = 45\n  NREPLICATES = 4\n  NOOFLEVELS = 3\n"
                    "  SUBSTANCE = \"Benchmark\"\n  UNIT = \"mg/kg\"\n  TESTID = \"Largest\"\nEND\n";
    unsigned x = 12345;
    for (int lv = 1; lv <= 3; ++lv) {
        s += "LEVELHEADER\n  LEVELID = \"L" + std::to_string(lv) + "\"\n  ASSIGNED = " +
             std::to_string(lv * 10) + ".0\nEND\nLEVELDATA\n";
        for (int lab = 1; lab <= 45; ++lab) {
            s += "  " + std::to_string(100 + lab) + " B" + std::to_string(lab);
            for (int r = 0; r < 4; ++r) {
                x = x * 1103515245u + 12345u;
                s += " " + std::to_string(lv * 10) + "." + std::to_string(100 + (x >> 16) % 900);
            }
            s += " M" + std::to_string(lab % 3) + "\n";
        }
        s += "END\n";
    }
    return s;
}

void BM_ReadLargestStudy(benchmark::State& state) {
    const std::string text = LargestStudy();
    veltrio::SilentHost host;
    veltrio::Program program(host);
    program.SilentMode = true;
    for (auto _ : state) {
        const int error = veltrio::ReadStudyText(program, text, "LARGEST.PAR");
        benchmark::DoNotOptimize(error);
        if (error != 0 || !program.StudyLoaded) {
            state.SkipWithError("the study was refused");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadLargestStudy);

void BM_StatisticsOnly(benchmark::State& state) {
    veltrio::SilentHost host;
    veltrio::Program program(host);
    program.SilentMode = true;
    veltrio::ReadStudyText(program, LargestStudy(), "LARGEST.PAR");
    for (auto _ : state) {
        program.RecomputeStatistics();
        benchmark::DoNotOptimize(program.Stats.get());
    }
}
BENCHMARK(BM_StatisticsOnly);

} // namespace
