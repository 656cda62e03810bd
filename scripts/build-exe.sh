#!/usr/bin/env bash
# Builds CvScrubber.exe (32-bit Windows, MinGW-w64) in build/win32 and prints
# its path.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DCVS_TESTS=OFF >/dev/null
nice cmake --build build/win32 -j2 --target CvScrubber >&2
echo "$PWD/build/win32/CvScrubber.exe"
