#!/usr/bin/env bash
# The long fuzz run, outside CI: every fuzz target, one after another, for
# RUNS executions (default 10 million) at the lowest priority, then its corpus
# merged and minimised into fuzz/corpus/<target>/ (the seeds of scripts/fuzz.sh).
# Prints executions, seconds, executions per second, crashes and sanitizer
# reports per target, and keeps that table in build/fuzz-long/summary.txt.
#
#   scripts/fuzz-long.sh [TARGET…]
#   RUNS=N            executions per target (default 10000000)
#   BUDGET_SECONDS=S  whole-run time limit: each target gets an equal share of
#                     what is left, so a slow target is stopped (and reported
#                     with the executions it reached) instead of running for hours
#   JOBS=N            targets run at once (default 1); 2 on this 2-core machine
#                     when nobody else needs it
# Work folders go to /dev/shm (fuzz/work_folder.h; CVS_FUZZ_TMP chooses another).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-10000000}
budget=${BUDGET_SECONDS:-0}
jobs=${JOBS:-1}
out=build/fuzz-long
mkdir -p "$out"

CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCVS_FUZZ=ON -DCVS_TESTS=OFF >/dev/null
nice -n 19 cmake --build build/fuzz -j "$(nproc)" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in fuzz/*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi

# Any sanitizer finding ends the target's run and counts as a report.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

summary=$out/summary.txt
printf '%-26s %12s %8s %9s %8s %11s\n' target executions seconds exec/s crashes sanitizer >"$summary"
started=$(date +%s)
left=${#targets[@]}
status=0
# One target: its run, its row of the table, its corpus merged. Exits 1 on a finding.
run_target() {
  local name=$1 share=$2
  bin=build/fuzz/fuzz/$name
  work=$out/corpus/$name
  artifacts=$out/artifacts/$name/
  log=$out/$name.log
  rm -rf "$work" "$artifacts"
  mkdir -p "$work" "$artifacts" "fuzz/corpus/$name"
  seeds=("fuzz/corpus/$name")
  [ -d "fuzz/seeds/$name" ] && seeds+=("fuzz/seeds/$name")
  limit=()
  [ "$share" -gt 0 ] && limit=(-max_total_time="$share")
  echo "-- $name: $runs runs ${limit[*]}"
  t0=$(date +%s)
  set +e
  nice -n 19 "$bin" -runs="$runs" "${limit[@]}" -print_final_stats=1 \
    -artifact_prefix="$artifacts" "$work" "${seeds[@]}" >"$log" 2>&1 &
  local pid=$!
  wait "$pid"
  rc=$?
  set -e
  # A fuzzer stopped by a finding or a signal leaves its work folder behind.
  rm -rf "${CVS_FUZZ_TMP:-/dev/shm}"/cvs_fuzz_*_"$pid" "${TMPDIR:-/tmp}"/cvs_fuzz_*_"$pid"
  seconds=$(($(date +%s) - t0))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  execs=${execs:-$(grep -o '#[0-9]*' "$log" | tail -1 | tr -d '#')}
  crashes=$(find "$artifacts" -type f | wc -l)
  reports=$(grep -c -E 'ERROR: (Address|Leak|Undefined)Sanitizer|runtime error:|ERROR: libFuzzer' "$log" || true)
  rate=$((${execs:-0} / (seconds > 0 ? seconds : 1)))
  printf '%-26s %12s %8s %9s %8s %11s\n' "$name" "${execs:-0}" "$seconds" "$rate" "$crashes" \
    "$reports" | tee -a "$summary"
  local failed=0
  if [ "$rc" -ne 0 ] || [ "$crashes" -ne 0 ] || [ "$reports" -ne 0 ]; then
    echo "   $name failed (exit $rc): see $log" >&2
    failed=1
  fi
  # Merge what this run found into the kept corpus, minimised.
  merged=$out/merged/$name
  rm -rf "$merged"
  mkdir -p "$merged"
  nice -n 19 "$bin" -merge=1 "$merged" "fuzz/corpus/$name" "$work" >"$out/$name.merge.log" 2>&1
  rm -rf "fuzz/corpus/$name"
  mv "$merged" "fuzz/corpus/$name"
  return "$failed"
}

running=0
for name in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
  share=0
  if [ "$budget" -gt 0 ]; then
    share=$(((budget - ($(date +%s) - started)) * jobs / left))
    [ "$share" -lt 10 ] && share=10
  fi
  run_target "$name" "$share" &
  running=$((running + 1))
  left=$((left - 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
echo "corpus kept in fuzz/corpus: $(du -sh fuzz/corpus | cut -f1)"
cat "$summary"
exit "$status"
