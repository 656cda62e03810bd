#!/usr/bin/env bash
# valgrind memcheck on the scenario suite: builds a Debug vtsim without the
# sanitizers (build/valgrind), runs every tests/scenarios case through
# tests/run_scenario.sh with vtsim under memcheck (its `vtsim reboot` too), and
# reports per scenario. Clean means every scenario passes, 0 memcheck errors
# and 0 definitely lost bytes; the exit status is 0 only then.
#
#   scripts/valgrind-scenarios.sh [SCENARIO…]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/build/valgrind
command -v valgrind >/dev/null || { echo "valgrind is missing (scripts/install-deps.sh)" >&2; exit 1; }
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCVS_SANITIZE=OFF -DCVS_TESTS=OFF \
  >/dev/null
nice cmake --build "$build" -j "$(nproc)" --target vtsim >/dev/null

# vtsim as run_scenario.sh starts it, under memcheck: a memcheck error or a
# definite leak makes the exit status 99, which fails the scenario too.
wrapper=$build/memcheck/vtsim
mkdir -p "$(dirname "$wrapper")"
cat >"$wrapper" <<EOF
#!/usr/bin/env bash
exec valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \\
  --show-leak-kinds=definite --errors-for-leak-kinds=definite --track-origins=yes \\
  --log-file="\$MEMCHECK_LOGS/%p.log" "$build/vtsim" "\$@"
EOF
chmod +x "$wrapper"

scenarios=("$@")
if [ ${#scenarios[@]} -eq 0 ]; then
  for d in tests/scenarios/*/; do scenarios+=("$(basename "$d")"); done
fi
logs=$build/logs
rm -rf "$logs"
started=$(date +%s)
failed=0 runs=0 errors=0 lost=0
printf '%-34s %-6s %5s %7s %14s\n' scenario result runs errors "definitely lost" 
for name in "${scenarios[@]}"; do
  export MEMCHECK_LOGS=$logs/$name
  mkdir -p "$MEMCHECK_LOGS"
  result=pass
  tests/run_scenario.sh "$wrapper" "tests/scenarios/$name" "$root" \
    >"$MEMCHECK_LOGS/scenario.out" 2>&1 || result=FAIL
  n=0 e=0 l=0
  for log in "$MEMCHECK_LOGS"/[0-9]*.log; do
    [ -e "$log" ] || continue
    n=$((n + 1))
    e=$((e + $(sed -n 's/.*ERROR SUMMARY: \([0-9,]*\) errors.*/\1/p' "$log" | tr -d , | tail -1)))
    l=$((l + $(sed -n 's/.*definitely lost: \([0-9,]*\) bytes.*/\1/p' "$log" | tr -d , | tail -1 |
      grep . || echo 0)))
  done
  [ "$n" -gt 0 ] || result=FAIL
  [ "$result" = pass ] || failed=$((failed + 1))
  runs=$((runs + n)) errors=$((errors + e)) lost=$((lost + l))
  printf '%-34s %-6s %5s %7s %14s\n' "$name" "$result" "$n" "$e" "$l"
  [ "$result" = pass ] || sed 's/^/    /' "$MEMCHECK_LOGS/scenario.out" | head -20
done
echo "${#scenarios[@]} scenarios, $runs vtsim runs under memcheck in $(($(date +%s) - started)) s:" \
  "$failed failed, $errors errors, $lost bytes definitely lost (logs: $logs)"
[ "$failed" -eq 0 ] && [ "$errors" -eq 0 ] && [ "$lost" -eq 0 ]
