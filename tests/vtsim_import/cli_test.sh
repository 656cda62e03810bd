#!/bin/bash
# vtsim import from the command line: an image `vtsim check` accepts, help,
# and exit status 2 with FILE:LINE: on standard error for bad input.
# Usage: cli_test.sh VTSIM SOURCE_DIR
set -u
vtsim=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cp "$src/fuzz/seeds/fuzz_dir_listing/9x.txt" "$work/dir.txt"
"$vtsim" import --registry "$src/samples/98/registry.reg" --listing "$work/dir.txt" \
  --windows 98 --output "$work/img" >"$work/out.txt" 2>"$work/err.txt"
[ $? -eq 0 ] || fail "import: $(cat "$work/err.txt")"
grep -qF "1 folders, 2 files" "$work/out.txt" || fail "import: $(cat "$work/out.txt")"
"$vtsim" check "$work/img" >/dev/null 2>&1 || fail "check refuses the imported image"

"$vtsim" import --help >"$work/out.txt" || fail "import --help"
grep -qF -- "--listing FILE" "$work/out.txt" || fail "import --help says nothing of --listing"
"$vtsim" --help | grep -qF "vtsim import" || fail "--help names no import"

printf ' Directory of C:\\\r\n\r\nnonsense\r\n' >"$work/bad.txt"
"$vtsim" import --registry "$src/samples/98/registry.reg" --listing "$work/bad.txt" \
  --windows 98 --output "$work/img2" 2>"$work/err.txt"
[ $? -eq 2 ] || fail "bad listing: exit status not 2"
grep -qF "bad.txt:3: " "$work/err.txt" || fail "bad listing: $(cat "$work/err.txt")"
[ ! -e "$work/img2" ] || fail "bad listing: an image was written"

"$vtsim" import --registry x --listing y --windows 98 --output z --sizd 2>"$work/err.txt"
[ $? -eq 2 ] || fail "misspelt option: exit status not 2"
grep -qF "did you mean --sized?" "$work/err.txt" || fail "misspelt option: $(cat "$work/err.txt")"

((failures == 0)) || exit 1
echo "vtsim import: ok"
