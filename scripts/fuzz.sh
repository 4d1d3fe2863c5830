#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each on its
# corpus for SECONDS seconds (default 60):
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# TARGET is study_reader_fuzzer, text_library_fuzzer, ini_fuzzer, rxt_fuzzer
# or procedures_fuzzer; without one, all five run in turn. New inputs collect in
# build/fuzz/corpus/<corpus> (fuzz/corpus/<corpus> is only read); a crash,
# hang or leak is saved in build/fuzz/findings/ and makes the script fail.
# JOBS sets the build's parallelism (default: every core), FUZZ_ARGS adds
# libFuzzer options (e.g. FUZZ_ARGS="-jobs=2 -workers=2").
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
[[ $# -gt 0 ]] && shift
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  targets=(study_reader_fuzzer text_library_fuzzer ini_fuzzer rxt_fuzzer procedures_fuzzer)
fi

build=build/fuzz
CXX=${CXX:-clang++} cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
  -DVELTRIO_BUILD_FUZZERS=ON -DVELTRIO_BUILD_TESTS=OFF -DVELTRIO_BUILD_GUI=OFF >/dev/null
# The language-file tool is built with the sanitizers too; what it leaves
# allocated at exit must not stop the build.
ASAN_OPTIONS=detect_leaks=0 cmake --build "$build" --target veltrio_fuzzers -j "${JOBS:-$(nproc)}"

corpus_of() {
  case $1 in
    study_reader_fuzzer) echo study ;;
    text_library_fuzzer) echo textlib ;;
    ini_fuzzer) echo ini ;;
    rxt_fuzzer) echo rxt_fuzzer ;;
    procedures_fuzzer) echo procedures ;;
    *) echo "fuzz.sh: unknown target $1" >&2; exit 2 ;;
  esac
}

mkdir -p "$build/findings"
failed=()
for target in "${targets[@]}"; do
  corpus=$(corpus_of "$target")
  work="$build/corpus/$corpus"
  mkdir -p "$work"
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$build/findings/$target-")
  case $corpus in
    study | procedures) args+=(-dict=fuzz/study.dict) ;;
  esac
  echo "== $target: $seconds s on fuzz/corpus/$corpus"
  # shellcheck disable=SC2086
  if ! "$build/fuzz/$target" "${args[@]}" ${FUZZ_ARGS:-} "$work" "fuzz/corpus/$corpus"; then
    failed+=("$target")
  fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzz.sh: findings of ${failed[*]} in $build/findings/" >&2
  exit 1
fi
