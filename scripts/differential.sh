#!/usr/bin/env bash
# The differential check: each sample PC runs once on the simulated PC (vtsim)
# and once as CvScrubber.exe under Wine (scripts/wine-run.sh), both from the
# sample's script on fresh copies of the image; both transcripts and run logs
# are normalised by the written rules of scripts/differential_normalise.py and
# compared:
#   scripts/differential.sh [--output DIR] [--script FILE] [SAMPLE...]
#                                                 (default: 98 2000-env xp)
# FILE (default: each sample's own script.txt) answers the dialogs on both
# sides.
# Environment: VTSIM (default build/test/vtsim), EXE (default
# build/win32/CvScrubber.exe). DIR (default build/differential) receives per
# sample sim/, wine/ (wine-run.sh's output), *.normalised and *.diff.
# Prints a unified diff per sample; exit 0 when all are equal after
# normalising, 1 otherwise, 2 when a side could not be run at all.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

out=build/differential
script=""
samples=()
while [ $# -gt 0 ]; do
  case "$1" in
    --output) out=$2; shift 2 ;;
    --script) script=$(realpath "$2"); shift 2 ;;
    -h|--help) sed -n 2,15p "$0"; exit 0 ;;
    *) samples+=("$1"); shift ;;
  esac
done
[ ${#samples[@]} -gt 0 ] || samples=(98 2000-env xp)
vtsim=$(realpath "${VTSIM:-build/test/vtsim}")
exe=$(realpath "${EXE:-build/win32/CvScrubber.exe}")
[ -x "$vtsim" ] || { echo "differential: no vtsim at $vtsim (build the vtsim target)" >&2; exit 2; }
[ -f "$exe" ] || { echo "differential: no program at $exe (scripts/build-exe.sh)" >&2; exit 2; }
mkdir -p "$out"
out=$(cd "$out" && pwd)
normalise=(python3 "$repo/scripts/differential_normalise.py")

# The run log as the image names it: the temporary directory of machine.json.
sim_log() {  # IMAGE_COPY -> path of VtCvScrubber.log inside drives/ (case ignored)
  python3 - "$1" <<'PY'
import json, os, sys
image = sys.argv[1]
temp = json.load(open(os.path.join(image, "machine.json"), encoding="utf-8")).get(
    "directories", {}).get("temp") or "C:\\"  # no temp folder: no log to find
host = os.path.join(image, "drives", temp[0].upper())
for part in [p for p in temp[3:].split("\\") if p] + ["VtCvScrubber.log"]:
    names = {n.lower(): n for n in os.listdir(host)} if os.path.isdir(host) else {}
    host = os.path.join(host, names.get(part.lower(), part))
print(host)
PY
}

overall=0
for sample in "${samples[@]}"; do
  image="$repo/samples/$sample"
  [ -f "$image/machine.json" ] || { echo "differential: no sample $sample" >&2; overall=2; continue; }
  dir="$out/$sample"
  rm -rf "$dir"
  mkdir -p "$dir/sim" "$dir/wine"

  answers=${script:-$image/script.txt}
  sim_status=0
  "$vtsim" run "$image" --output "$dir/sim/image" --script "$answers" \
    --transcript "$dir/sim/transcript.txt" 2>"$dir/sim/stderr.txt" || sim_status=$?
  echo "[exit status] $sim_status" >"$dir/sim/status.txt"

  wine_status=0
  scripts/wine-run.sh "$image" "$answers" "$exe" --output "$dir/wine" \
    >"$dir/wine-run.txt" 2>&1 || wine_status=$?
  echo "[exit status] $wine_status" >"$dir/wine/status.txt"
  [ -f "$dir/wine/not-modelled.txt" ] || { echo "differential: $sample: no prefix made (see $dir/wine-run.txt)" >&2; overall=2; continue; }

  common=(--image "$image" --not-modelled "$dir/wine/not-modelled.txt")
  for side in sim wine; do
    if [ $side = sim ]; then log=$(sim_log "$dir/sim/image"); else log="$dir/wine/VtCvScrubber.log"; fi
    { cat "$dir/$side/status.txt"
      "${normalise[@]}" transcript "$dir/$side/transcript.txt" --side $side "${common[@]}"
    } >"$dir/$side.transcript.normalised"
    "${normalise[@]}" log "$log" --side $side "${common[@]}" >"$dir/$side.log.normalised"
  done

  equal=1
  for kind in transcript log; do
    if ! diff -u --label "vtsim $sample $kind" --label "wine $sample $kind" \
        "$dir/sim.$kind.normalised" "$dir/wine.$kind.normalised" >"$dir/$kind.diff"; then
      equal=0
      cat "$dir/$kind.diff"
    fi
  done
  if [ $equal = 1 ]; then
    echo "differential: $sample: equal after normalising"
  else
    echo "differential: $sample: DIFFERENT (files in $dir)"
    [ $overall = 2 ] || overall=1
  fi
done
exit $overall
