#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# Does nothing when they are all present.
set -euo pipefail

# git: the clang-format check lists the tracked sources; python3: the sample
# checker and the scenarios' image edits.
# valgrind: scripts/valgrind-scenarios.sh (memcheck on the scenario suite).
# binutils-mingw-w64-i686: windres, the resource compiler of CvScrubber.exe.
packages=(cmake ninja-build g++ clang libclang-rt-14-dev clang-format libgtest-dev libgmock-dev
          libbenchmark-dev nlohmann-json3-dev g++-mingw-w64-i686 binutils-mingw-w64-i686 python3
          git valgrind)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "run as root or install sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
# env: sudo would drop an exported DEBIAN_FRONTEND.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q >/dev/null
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  "${missing[@]}" >/dev/null
