#!/usr/bin/env bash
# The capture loop for one sample (scripts/capture-loop.sh): vtcapture.exe
# under Wine captures the sample's prefix, and the program's run log on the
# captured image (vtsim) equals its run log on the prefix (Wine).
#   loop_test.sh REPO VTSIM OUT_DIR SAMPLE
# Exit 77 (skipped) where Wine or MinGW is not installed.
set -euo pipefail
repo=$1 vtsim=$2 out=$3 sample=$4
command -v wine >/dev/null && command -v i686-w64-mingw32-g++ >/dev/null || {
  echo "skipped: Wine or MinGW is not installed"; exit 77; }
cd "$repo"
exe=build/win32/CvScrubber.exe
[ -f "$exe" ] || scripts/build-exe.sh >/dev/null
VTSIM=$vtsim EXE=$exe scripts/capture-loop.sh --output "$out" "$sample"
