#!/usr/bin/env bash
# Builds the dialog driver and its test program as 32-bit Windows programs:
#   tools/windriver/build.sh [OUT_DIR]     (default build/windriver)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../../build/windriver}
mkdir -p "$out"
cxx=i686-w64-mingw32-g++
flags=(-std=c++17 -O1 -Wall -Wextra -Wpedantic -Wshadow -Werror -static)
"$cxx" "${flags[@]}" "$here"/windriver_main.cpp "$here"/driver.cpp "$here"/target_windows.cpp \
  "$here"/script_lines.cpp "$here"/excerpt.cpp "$here"/system_icons.cpp \
  "$here"/../../sim/transcript.cpp -I "$here"/../.. \
  -o "$out/windriver.exe" -lcomctl32
i686-w64-mingw32-windres "$here/test_app.rc" -O coff -o "$out/test_app.res"
"$cxx" "${flags[@]}" -mwindows "$here/test_app.cpp" "$out/test_app.res" -o "$out/test_app.exe" \
  -lcomctl32
