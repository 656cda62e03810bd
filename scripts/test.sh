#!/usr/bin/env bash
# Builds and runs every check: the tests (with address and undefined-behaviour
# sanitizers), the MinGW compile of program code, the imports of the Windows
# program, clang-format, the conformance cases under Wine, the differential
# check (vtsim and CvScrubber.exe under Wine on the same sample PCs), and the
# fuzz targets for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)

echo "== program code compiles for Windows (i686-w64-mingw32-g++)"
scripts/check-mingw.sh

echo "== CvScrubber.exe imports only what Windows 95 to XP all export"
if [ -x scripts/build-exe.sh ]; then
  scripts/build-exe.sh
  scripts/check-imports.sh build/win32/CvScrubber.exe
else
  echo "skipped: no scripts/build-exe.sh to build CvScrubber.exe yet"
fi

echo "== clang-format"
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find src sim tools tests bench fuzz -name '*.cpp' -o -name '*.h')
clang-format --dry-run --Werror $files

echo "== tests (address and undefined-behaviour sanitizers)"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCVS_SANITIZE=ON >/dev/null
cmake --build build/test -j "$jobs"
(cd build/test && ctest --output-on-failure -j "$jobs")

echo "== conformance cases under Wine (32-bit Windows build)"
scripts/conformance-wine.sh

echo "== differential check: vtsim and CvScrubber.exe under Wine on the 98, 2000 and XP sample PCs"
VTSIM=build/test/vtsim EXE=build/win32/CvScrubber.exe scripts/differential.sh 98 2000-env xp
# Clicks, context help and Copy on the XP sample PC.
VTSIM=build/test/vtsim EXE=build/win32/CvScrubber.exe scripts/differential.sh \
  --output build/differential-help --script tests/windriver/xp_help_and_copy.txt xp

echo "== fuzz targets (clang, bounded time)"
scripts/fuzz.sh "${FUZZ_SECONDS:-20}"
