#!/usr/bin/env bash
# Runs one scenario: vtsim on a copy of an image with a script, then checks
# the transcript, the run log and the exit status.
#
#   run_scenario.sh VTSIM SCENARIO_DIR SOURCE_DIR
#
# A scenario folder holds:
#   sample        one line: a sample image under SOURCE_DIR/samples/ to copy, or
#   image/        the scenario's own image
#   prepare.sh    (optional) run with bash inside the copied image, to change it
#   script.txt    the script (absent: empty)
#   transcript.txt  lines the transcript must hold, each a whole line;
#                   "!TEXT": no transcript line may contain TEXT
#   log.txt       texts the run log (VtCvScrubber.log anywhere under drives/) must
#                 hold, each within one line (CR removed); "=TEXT": a whole log
#                 line; "!TEXT": no log line may contain TEXT; a line "<none>":
#                 there must be no run log
#   exit          the expected exit status of vtsim
#   registry.diff (optional) the exact `diff` of registry.reg before and after
#                 the run (CR removed from both)
#   log.exact     (optional) the whole run log (CR removed)
#   drives.diff   (optional) the exact `diff` of the listing of drives/ (one
#                 line a file or folder, "path" or "path/", sorted) before and
#                 after the run
#   machine.diff  (optional) the exact `diff` of machine.json before and after
#   reboot.txt    (optional) after the run, `vtsim reboot` on the image: its
#                 standard output must be exactly this, and its exit status 0;
#                 then reboot.drives.diff and reboot.registry.diff (optional)
#                 hold the exact diffs of the listing and of registry.reg across
#                 the restart
# Blank lines and lines starting with "#" in transcript.txt and log.txt are skipped.
#
# tests/scenarios/regen.sh VTSIM NAME... rewrites the exact files a scenario
# already has (log.exact, *.diff, reboot.txt) from a fresh run, for review.
set -u
vtsim=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
scenario=$(cd "$2" && pwd)
source_dir=$3
name=$(basename "$scenario")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "scenario $name: $*" >&2; failures=$((failures + 1)); }

if [[ -f $scenario/sample ]]; then
  cp -r "$source_dir/samples/$(head -n1 "$scenario/sample" | tr -d '\r ')" "$work/image"
elif [[ -d $scenario/image ]]; then
  cp -r "$scenario/image" "$work/image"
else
  echo "scenario $name: no sample and no image/" >&2
  exit 1
fi
if [[ -f $scenario/prepare.sh ]]; then
  (cd "$work/image" && bash "$scenario/prepare.sh") || { echo "scenario $name: prepare.sh failed" >&2; exit 1; }
fi
script=$scenario/script.txt
[[ -f $script ]] || { : > "$work/empty.txt"; script=$work/empty.txt; }

[[ -f $work/image/registry.reg ]] && tr -d '\r' < "$work/image/registry.reg" > "$work/registry.before"
# One line a file ("path") or folder ("path/") below drives/, sorted bytewise.
listing() { (cd "$1/drives" && find . -mindepth 1 \( -type d -printf '%P/\n' -o -printf '%P\n' \) | LC_ALL=C sort); }
listing "$work/image" > "$work/drives.before"
cp "$work/image/machine.json" "$work/machine.before"
# Compares a diff of two files with the scenario's expected one.
check_diff() {  # expected-file before after what
  diff "$2" "$3" > "$work/actual.diff"
  if ! cmp -s "$work/actual.diff" "$1"; then
    fail "$4 changed otherwise than $(basename "$1") says"
    diff "$1" "$work/actual.diff" >&2
  fi
}
"$vtsim" run "$work/image" --script "$script" --transcript "$work/transcript.txt" 2> "$work/stderr.txt"
status=$?
expected=$(head -n1 "$scenario/exit" 2>/dev/null | tr -d '\r ')
[[ $status == "${expected:-0}" ]] || fail "exit status $status, expected ${expected:-0}"

while IFS= read -r line || [[ -n $line ]]; do
  [[ -z $line || $line == \#* ]] && continue
  if [[ $line == !* ]]; then
    grep -qF -- "${line:1}" "$work/transcript.txt" && fail "transcript holds: ${line:1}"
  else
    grep -qFx -- "$line" "$work/transcript.txt" || fail "transcript lacks: $line"
  fi
done < <(cat "$scenario/transcript.txt" 2>/dev/null)

log=$(find "$work/image/drives" -iname VtCvScrubber.log | head -n1)
[[ -n $log ]] && tr -d '\r' < "$log" > "$work/log.txt"
while IFS= read -r line || [[ -n $line ]]; do
  [[ -z $line || $line == \#* ]] && continue
  if [[ $line == "<none>" ]]; then
    [[ -z $log ]] || fail "a run log exists"
  elif [[ -z $log ]]; then
    fail "no run log (expected: $line)"
  elif [[ $line == !* ]]; then
    grep -qF -- "${line:1}" "$work/log.txt" && fail "log holds: ${line:1}"
  elif [[ $line == =* ]]; then
    grep -qFx -- "${line:1}" "$work/log.txt" || fail "log lacks the line: ${line:1}"
  else
    grep -qF -- "$line" "$work/log.txt" || fail "log lacks: $line"
  fi
done < <(cat "$scenario/log.txt" 2>/dev/null)

[[ -f $work/image/registry.reg ]] && tr -d '\r' < "$work/image/registry.reg" > "$work/registry.after"
cp "$work/image/machine.json" "$work/machine.after"
if [[ -f $scenario/registry.diff ]]; then
  check_diff "$scenario/registry.diff" "$work/registry.before" "$work/registry.after" "registry.reg"
fi

if [[ -f $scenario/log.exact ]]; then
  if [[ -z $log ]]; then
    fail "no run log (expected log.exact)"
  elif ! cmp -s "$work/log.txt" "$scenario/log.exact"; then
    fail "the run log differs from log.exact"
    diff "$scenario/log.exact" "$work/log.txt" >&2
  fi
fi
listing "$work/image" > "$work/drives.after"
[[ -f $scenario/drives.diff ]] && check_diff "$scenario/drives.diff" "$work/drives.before" "$work/drives.after" "drives/"
[[ -f $scenario/machine.diff ]] && check_diff "$scenario/machine.diff" "$work/machine.before" "$work/machine.after" "machine.json"

if [[ -f $scenario/reboot.txt ]]; then
  tr -d '\r' < "$work/image/registry.reg" > "$work/registry.run"
  "$vtsim" reboot "$work/image" > "$work/reboot.txt" 2> "$work/reboot.stderr"
  rstatus=$?
  [[ $rstatus == 0 ]] || fail "vtsim reboot exit status $rstatus: $(cat "$work/reboot.stderr")"
  if ! cmp -s "$work/reboot.txt" "$scenario/reboot.txt"; then
    fail "vtsim reboot printed otherwise than reboot.txt says"
    diff "$scenario/reboot.txt" "$work/reboot.txt" >&2
  fi
  listing "$work/image" > "$work/drives.reboot"
  [[ -f $scenario/reboot.drives.diff ]] &&
    check_diff "$scenario/reboot.drives.diff" "$work/drives.after" "$work/drives.reboot" "drives/ at the restart"
  tr -d '\r' < "$work/image/registry.reg" > "$work/registry.reboot"
  [[ -f $scenario/reboot.registry.diff ]] &&
    check_diff "$scenario/reboot.registry.diff" "$work/registry.run" "$work/registry.reboot" "registry.reg at the restart"
fi
# With CVS_SCENARIO_KEEP=DIR the scenario's work folder is copied there (to
# write expected files from a reviewed run).
[[ -n ${CVS_SCENARIO_KEEP:-} ]] && cp -r "$work" "$CVS_SCENARIO_KEEP"

if (( failures > 0 )); then
  echo "--- transcript" >&2; cat "$work/transcript.txt" >&2
  echo "--- stderr" >&2; cat "$work/stderr.txt" >&2
  [[ -n $log ]] && { echo "--- run log" >&2; cat "$work/log.txt" >&2; }
  exit 1
fi
echo "scenario $name: ok"
