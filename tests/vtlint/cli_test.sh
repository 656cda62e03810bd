#!/bin/sh
# vtlint's command line: output form, exit codes 0 / 1 / 2, samples clean.
# Usage: cli_test.sh VTLINT SOURCE_DIR
set -u
vtlint=$1
src=$2
fail=0
check() {  # expected-status description command...
  want=$1; what=$2; shift 2
  "$@" >/tmp/vtlint_cli_out.$$ 2>/tmp/vtlint_cli_err.$$
  got=$?
  if [ "$got" != "$want" ]; then
    echo "FAIL: $what: exit $got, expected $want"; cat /tmp/vtlint_cli_out.$$ /tmp/vtlint_cli_err.$$
    fail=1
  fi
}
for s in "$src"/samples/*/drives/C/Scrubber/VtCvScrubber.ini; do
  check 0 "clean sample $s" "$vtlint" "$s"
  [ -s /tmp/vtlint_cli_out.$$ ] && { echo "FAIL: output for $s"; fail=1; }
done
broken="$src/tests/vtlint/broken/control/VtCvScrubber.ini"
check 1 "broken control data" "$vtlint" "$broken"
# Compiler form, sorted by file and line.
grep -q "^$src/tests/vtlint/broken/control/AReg.dat:5: error VT016: " /tmp/vtlint_cli_out.$$ ||
  { echo "FAIL: no VT016 line in compiler form"; fail=1; }
cut -d: -f1,2 /tmp/vtlint_cli_out.$$ | sort -t: -k1,1 -k2,2n -c ||
  { echo "FAIL: findings not sorted by file and line"; fail=1; }
# Warnings alone pass, unless --Werror.
check 0 "warnings only" "$vtlint" "$broken" --enable VT020,VT023
[ -s /tmp/vtlint_cli_out.$$ ] || { echo "FAIL: warnings not shown"; fail=1; }
check 1 "warnings with --Werror" "$vtlint" "$broken" --enable VT020 --Werror
check 0 "every error disabled" "$vtlint" "$broken" --disable \
  VT001,VT002,VT003,VT004,VT006,VT009,VT010,VT011,VT012,VT014,VT016,VT017,VT018,VT019,VT021
check 2 "unknown rule" "$vtlint" "$broken" --enable VT099
check 2 "missing control file" "$vtlint" "$src/tests/vtlint/broken/none.ini"
check 2 "no arguments" "$vtlint"
check 0 "rule list" "$vtlint" --list-rules
[ "$(wc -l </tmp/vtlint_cli_out.$$)" -eq 24 ] || { echo "FAIL: --list-rules"; fail=1; }
rm -f /tmp/vtlint_cli_out.$$ /tmp/vtlint_cli_err.$$
exit $fail
