#!/usr/bin/env bash
# Installs the Debian packages that building and testing Veltrio need; only
# the missing ones are fetched.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libboost-math-dev zlib1g-dev
  qt6-base-dev qt6-svg-dev libqt6svg6-dev
  fonts-liberation2 python3-pil poppler-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
