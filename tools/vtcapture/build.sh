#!/usr/bin/env bash
# Builds vtcapture.exe, a 32-bit Windows console program that loads on
# Windows 95 to XP, and checks its imports:
#   tools/vtcapture/build.sh [OUT_DIR]     (default build/vtcapture)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
out=${1:-$repo/build/vtcapture}
mkdir -p "$out"
cxx=i686-w64-mingw32-g++
flags=(-std=c++17 -Os -Wall -Wextra -Wpedantic -Wshadow -Werror -static)
sources=(vtcapture_main capture_registry capture_files machine_system machine_spooler
         machine_services machine_devices reg_text json_text win_text out_file progress)
"$cxx" "${flags[@]}" $(printf "$here/%s.cpp " "${sources[@]}") -I "$repo" -o "$out/vtcapture.exe" -lwinspool
"$repo/scripts/check-imports.sh" "$out/vtcapture.exe" >&2
echo "$out/vtcapture.exe"
