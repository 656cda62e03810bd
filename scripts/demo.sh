#!/usr/bin/env bash
# Runs the program on a fresh copy of a sample PC, answering with the sample's
# script, then shows the transcript, the run log and, one line an item, what
# the scrub removed (registry, files, printing system, services, devices,
# installer packages, OEM INF files) and what it left for the next start;
# then starts Windows again on that copy (the deferred erase batch runs) and
# shows what the restart changed.
# Usage: scripts/demo.sh [SAMPLE]   (SAMPLE: a folder name under samples/, default xp)
set -euo pipefail
cd "$(dirname "$0")/.."
sample=${1:-xp}
[ -d "samples/$sample" ] || { echo "no sample PC samples/$sample" >&2; exit 2; }
scripts/install-deps.sh

echo "Building vtsim ..." >&2
mkdir -p build
if ! { cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DCVS_TESTS=OFF &&
       cmake --build build/demo -j "$(nproc)" --target vtsim; } >build/demo-build.log 2>&1; then
  cat build/demo-build.log >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== transcript"
status=0
# --output runs on a copy: the sample itself stays as it is.
build/demo/vtsim run "samples/$sample" --output "$work/pc" --script "samples/$sample/script.txt" ||
  status=$?

echo
echo "== run log"
log=$(find "$work/pc/drives" -iname 'VtCvScrubber.log' | head -n 1)
if [ -n "$log" ]; then tr -d '\r' < "$log"; else echo "(no run log)"; fi

echo
echo "vtsim exit status: $status"
python3 scripts/demo_changes.py run "samples/$sample" "$work/pc"

echo
echo "== the next start of Windows (vtsim reboot)"
cp -r "$work/pc" "$work/pc-before-restart"
build/demo/vtsim reboot "$work/pc"
python3 scripts/demo_changes.py restart "$work/pc-before-restart" "$work/pc"
