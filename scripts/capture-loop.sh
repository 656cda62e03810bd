#!/usr/bin/env bash
# The capture loop: a sample PC becomes a Wine prefix; vtcapture.exe captures
# that prefix into an image; the program then runs on the captured image on
# the simulated PC (vtsim) and, as CvScrubber.exe under Wine, on the prefix
# made from the sample (scripts/wine-run.sh), both answered by the sample's
# script. The two run logs, normalised by scripts/differential_normalise.py,
# must be equal; and the capture must leave the prefix's files as they were:
#   scripts/capture-loop.sh [--output DIR] SAMPLE...
# Environment: VTSIM (default build/test/vtsim), EXE (default
# build/win32/CvScrubber.exe). DIR (default build/capture-loop) receives per
# sample capture/ (the prefix, vtcapture's output, the image in
# capture/image), sim/, wine/, *.log.normalised and log.diff.
# Exit 0 when every sample's logs are equal, 1 when one differs, 2 when a
# side could not be run at all.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

out=build/capture-loop
samples=()
while [ $# -gt 0 ]; do
  case "$1" in
    --output) out=$2; shift 2 ;;
    -h|--help) sed -n 2,14p "$0"; exit 0 ;;
    *) samples+=("$1"); shift ;;
  esac
done
[ ${#samples[@]} -gt 0 ] || { sed -n 2,14p "$0" >&2; exit 2; }
vtsim=$(realpath "${VTSIM:-build/test/vtsim}")
exe=$(realpath "${EXE:-build/win32/CvScrubber.exe}")
[ -x "$vtsim" ] || { echo "capture-loop: no vtsim at $vtsim (build the vtsim target)" >&2; exit 2; }
[ -f "$exe" ] || { echo "capture-loop: no program at $exe (scripts/build-exe.sh)" >&2; exit 2; }
mkdir -p "$out"
out=$(cd "$out" && pwd)
capture_exe=$(tools/vtcapture/build.sh "$out/bin")
normalise=(python3 "$repo/scripts/differential_normalise.py")
scripts/install-wine.sh
tools/windriver/build.sh >/dev/null
tools/wineprefix/build.sh >/dev/null

run_as=()
[ "$(id -u)" -eq 0 ] && run_as=(runuser -u cvswine --)

# Where the program stands in the prefix: the image's current directory, as
# wine-run.sh puts it there (Windows path and host folder).
placed() {  # IMAGE PREFIX -> "WINDOWS_PATH<TAB>HOST_FOLDER"
  python3 - "$repo/tools/wineprefix" "$1/machine.json" "$2" <<'PY'
import json, sys
sys.path.insert(0, sys.argv[1])
import make_prefix as m
machine = json.load(open(sys.argv[2], encoding="utf-8"))
current = m.moved_path(machine.get("directories", {}).get("current") or "C:\\",
                       m.folder_moves(machine))
print(current + "\t" + m.windows_path_to_host(sys.argv[3], current))
PY
}

# The run log of a run on the simulated PC: in the image's temporary folder.
sim_log() {  # IMAGE -> path of VtCvScrubber.log inside drives/ (case ignored)
  python3 - "$1" <<'PY'
import json, os, sys
image = sys.argv[1]
temp = json.load(open(os.path.join(image, "machine.json"), encoding="utf-8")).get(
    "directories", {}).get("temp") or "C:\\"
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
  [ -f "$image/machine.json" ] || { echo "capture-loop: no sample $sample" >&2; overall=2; continue; }
  dir="$out/$sample"
  rm -rf "$dir"
  mkdir -p "$dir/capture" "$dir/sim" "$dir/wine"
  prefix="$dir/capture/prefix"

  # 1. The sample as a Wine prefix, captured by vtcapture.exe from the folder
  #    where the program would stand; the image goes to the tools drive W:,
  #    which is not one of the PC's drives.
  python3 tools/wineprefix/make_prefix.py "$image" "$prefix" --keep-session \
    >"$dir/capture/make-prefix.txt"
  wine_env=(env HOME="$prefix/home" WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all
            WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LANG=C.UTF-8)
  IFS=$'\t' read -r current host_current < <(placed "$image" "$prefix")
  mkdir -p "$host_current"
  cp "$capture_exe" "$host_current/vtcapture.exe"
  [ "$(id -u)" -eq 0 ] && chown -R cvswine: "$host_current" "$prefix/tools"
  # The capture must change nothing on the PC: the prefix's files (names,
  # sizes, times) are listed before and after it.
  drive_files() { (cd "$prefix" && find drive_c -printf '%p %s %T@\n' | sort); }
  drive_files >"$dir/capture/files-before.txt"
  capture_status=0
  (cd "$prefix" && "${run_as[@]}" "${wine_env[@]}" wine "${current%\\}\\vtcapture.exe" 'W:\image') \
    >"$dir/capture/vtcapture.txt" 2>&1 || capture_status=$?
  drive_files >"$dir/capture/files-after.txt"
  (cd "$prefix" && "${run_as[@]}" "${wine_env[@]}" wineserver -k) || true
  rm -f "$host_current/vtcapture.exe"
  captured="$dir/capture/image"
  if [ $capture_status -ne 0 ] || [ ! -f "$prefix/tools/image/machine.json" ]; then
    echo "capture-loop: $sample: vtcapture.exe failed (exit $capture_status, see $dir/capture/vtcapture.txt)" >&2
    overall=2
    continue
  fi
  mv "$prefix/tools/image" "$captured"
  if ! diff -u "$dir/capture/files-before.txt" "$dir/capture/files-after.txt" \
      >"$dir/capture/files.diff"; then
    cat "$dir/capture/files.diff"
    echo "capture-loop: $sample: vtcapture.exe changed files of the PC" >&2
    overall=1
  fi

  # 2. The program on the captured image, on the simulated PC.
  sim_status=0
  "$vtsim" run "$captured" --output "$dir/sim/image" --script "$image/script.txt" \
    --transcript "$dir/sim/transcript.txt" 2>"$dir/sim/stderr.txt" || sim_status=$?
  if [ $sim_status -eq 2 ] && [ ! -d "$dir/sim/image" ]; then
    echo "capture-loop: $sample: vtsim cannot run the captured image:" >&2
    cat "$dir/sim/stderr.txt" >&2
    overall=2
    continue
  fi

  # 3. The program itself under Wine, on the prefix of the same sample.
  wine_status=0
  scripts/wine-run.sh "$image" "$image/script.txt" "$exe" --output "$dir/wine" \
    >"$dir/wine-run.txt" 2>&1 || wine_status=$?

  # Both sides ran on what Wine has (its folders, short names, devices), so
  # nothing is excused: the normaliser gets the captured image and no notes.
  : >"$dir/capture/not-modelled.txt"
  common=(--image "$captured" --not-modelled "$dir/capture/not-modelled.txt")
  sim_log_file=$(sim_log "$dir/sim/image")
  wine_log_file="$dir/wine/VtCvScrubber.log"
  for side in sim wine; do
    log=$sim_log_file
    [ $side = wine ] && log=$wine_log_file
    if [ ! -f "$log" ]; then
      echo "capture-loop: $sample: no run log on the $side side ($log)" >&2
      : >"$dir/$side.log.normalised"
      continue
    fi
    { echo "[exit status] $([ $side = sim ] && echo $sim_status || echo $wine_status)"
      "${normalise[@]}" log "$log" --side $side "${common[@]}"
    } >"$dir/$side.log.normalised"
  done
  if diff -u --label "vtsim on the capture of $sample" --label "wine on $sample" \
      "$dir/sim.log.normalised" "$dir/wine.log.normalised" >"$dir/log.diff" &&
     [ -s "$dir/sim.log.normalised" ]; then
    echo "capture-loop: $sample: the same run log"
  else
    cat "$dir/log.diff"
    echo "capture-loop: $sample: DIFFERENT (files in $dir)"
    [ $overall = 2 ] || overall=1
  fi
done
exit $overall
