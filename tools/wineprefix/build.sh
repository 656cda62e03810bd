#!/usr/bin/env bash
# Builds the prefix helper (spooler, services, in-use files) with MinGW:
#   tools/wineprefix/build.sh [OUT_DIR]     (default build/wineprefix)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../../build/wineprefix}
mkdir -p "$out"
i686-w64-mingw32-g++ -std=c++17 -O1 -Wall -Wextra -Wpedantic -Wshadow -Werror -static \
  "$here/prefix_helper.cpp" -o "$out/prefix_helper.exe" -lwinspool
