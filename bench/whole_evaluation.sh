#!/bin/sh
# The whole evaluation of the largest example study through veltrio-cli run
# (every procedure, every document and chart in every format) against an R
# script that computes the statistics alone (bench/whole_evaluation_stats.R),
# measured side by side, each the median of RUNS whole-process runs.
# Target: veltrio at most half the R time.
#
#   bench/whole_evaluation.sh [build/release/bin/veltrio-cli] [RUNS]
#
# Measured on the 2-core build machine (hyperfine, 20 runs each): veltrio
# 185 ms, R 412 ms (0.45).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-build/release/bin/veltrio-cli}
runs=${2:-7}
study=$here/../examples/LEAD.PAR
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
time_of() {
    i=0
    while [ $i -lt "$runs" ]; do
        start=$(date +%s%N)
        "$@" > /dev/null
        end=$(date +%s%N)
        echo $(( (end - start) / 1000000 ))
        i=$((i + 1))
    done | median
}

command -v Rscript > /dev/null || { echo "Rscript is needed (apt-get install r-base-core)" >&2; exit 2; }
if command -v hyperfine > /dev/null; then
    # Side by side, alternating, with warm-up runs.
    hyperfine -N --warmup 2 --runs "$runs" \
        "$cli run $study --out $work/out" "Rscript $here/whole_evaluation_stats.R $study"
    exit 0
fi
v=$(time_of "$cli" run "$study" --out "$work/out")
r=$(time_of Rscript "$here/whole_evaluation_stats.R" "$study")
docs=$(find "$work/out" -type f | wc -l)
echo "veltrio-cli run $(basename "$study"), all procedures and formats ($docs files): $v ms"
echo "Rscript, statistics alone:                               $r ms"
awk -v v="$v" -v r="$r" 'BEGIN { printf "ratio veltrio / R: %.2f (target at most 0.50)\n", v / r }'
