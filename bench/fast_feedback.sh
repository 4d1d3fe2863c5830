#!/bin/sh
# Times veltrio-cli fast-feedback as a whole process: 45 laboratories over
# 20 study files (uniform, 3 levels, 4 replicates), all document formats and
# the table file. Target: at most 1 s (0.61 s on the 2-core build machine).
#
#   bench/fast_feedback.sh [build/release/bin/veltrio-cli]
set -eu
cli=${1:-build/release/bin/veltrio-cli}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk -v dir="$work" 'BEGIN {
  srand(17)
  for (f = 1; f <= 20; ++f) {
    file = sprintf("%s/R%02d.PAR", dir, f)
    print "FILEHEADER\n  UNIFORM\n  NLABS = 45\n  NREPLICATES = 4\n  NOOFLEVELS = 3" > file
    printf "  SUBSTANCE = \"Substance %d\"\n  UNIT = \"mg/kg\"\n  TESTID = \"Bench round\"\nEND\n", f > file
    for (l = 1; l <= 3; ++l) {
      printf "LEVELHEADER\n  LEVELID = \"L%d\"\nEND\nLEVELDATA\n", l > file
      for (lab = 1; lab <= 45; ++lab) {
        line = sprintf("  %02d B%02d", lab, lab)
        for (r = 1; r <= 4; ++r) line = line sprintf(" %.2f", 10 * l + rand() * 2)
        print line " M1" > file
      }
      print "END" > file
    }
    close(file)
  }
}'
start=$(date +%s.%N)
"$cli" fast-feedback "$work"/R*.PAR --out "$work/out" >/dev/null
end=$(date +%s.%N)
echo "fast-feedback, 45 laboratories x 20 files: $(echo "$end - $start" | bc) s"
ls "$work/out"
