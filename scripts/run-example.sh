#!/usr/bin/env bash
# Installs what is missing, builds Veltrio (release) and evaluates the bundled
# example study without a display. The documents land in out/LEAD/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)"
build/release/bin/veltrio-cli run examples/LEAD.PAR --out out/LEAD
