#!/usr/bin/env bash
# Rewrites the exact expectations of scenarios from a fresh run, so that a
# change of the program's behaviour shows up as a reviewable `git diff`.
#
#   tests/scenarios/regen.sh VTSIM NAME...    (e.g. build/test/vtsim full_run_xp)
#
# Only the exact files a scenario already has are rewritten: log.exact,
# registry.diff, drives.diff, machine.diff, reboot.txt, reboot.drives.diff,
# reboot.registry.diff. To start a new one, create the files wanted as empty
# files first. transcript.txt, log.txt and exit are never touched: they are
# written by hand. Read every changed line before committing it.
set -euo pipefail
[[ $# -ge 2 ]] || { sed -n '2,11p' "$0" >&2; exit 2; }
vtsim=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
shift
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)

for name in "$@"; do
  scenario=$here/${name%/}
  [[ -d $scenario ]] || { echo "regen: no scenario $scenario" >&2; exit 2; }
  keep=$(mktemp -d)
  rmdir "$keep"
  # The run fails where the old expectations differ; that is the point here.
  CVS_SCENARIO_KEEP=$keep "$here/../run_scenario.sh" "$vtsim" "$scenario" "$source_dir" \
    > /dev/null 2>&1 || true
  [[ -d $keep ]] || { echo "regen: $name did not run" >&2; exit 1; }
  # Writes an expected diff (diff exits 1 when the files differ).
  write_diff() { if [[ -f $scenario/$1 ]]; then diff "$2" "$3" > "$scenario/$1" || true; fi; }
  if [[ -f $scenario/log.exact ]]; then
    if [[ -f $keep/log.txt ]]; then cp "$keep/log.txt" "$scenario/log.exact"
    else echo "regen: $name wrote no run log" >&2; fi
  fi
  write_diff registry.diff "$keep/registry.before" "$keep/registry.after"
  write_diff drives.diff "$keep/drives.before" "$keep/drives.after"
  write_diff machine.diff "$keep/machine.before" "$keep/machine.after"
  if [[ -f $scenario/reboot.txt ]]; then
    cp "$keep/reboot.txt" "$scenario/reboot.txt"
    write_diff reboot.drives.diff "$keep/drives.after" "$keep/drives.reboot"
    write_diff reboot.registry.diff "$keep/registry.run" "$keep/registry.reboot"
  fi
  rm -rf "$keep"
  echo "regen: $name rewritten"
done
