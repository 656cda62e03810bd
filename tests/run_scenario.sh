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
# Blank lines and lines starting with "#" in transcript.txt and log.txt are skipped.
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

if [[ -f $scenario/registry.diff ]]; then
  tr -d '\r' < "$work/image/registry.reg" > "$work/registry.after"
  diff "$work/registry.before" "$work/registry.after" > "$work/registry.diff"
  if ! cmp -s "$work/registry.diff" "$scenario/registry.diff"; then
    fail "registry.reg changed otherwise than registry.diff says"
    diff "$scenario/registry.diff" "$work/registry.diff" >&2
  fi
fi

if (( failures > 0 )); then
  echo "--- transcript" >&2; cat "$work/transcript.txt" >&2
  echo "--- stderr" >&2; cat "$work/stderr.txt" >&2
  [[ -n $log ]] && { echo "--- run log" >&2; cat "$work/log.txt" >&2; }
  exit 1
fi
echo "scenario $name: ok"
