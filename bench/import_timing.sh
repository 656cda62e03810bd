#!/bin/sh
# Times `vtsim import` of a generated large PC (200k keys, 100k files), in
# both export formats. Usage: bench/import_timing.sh VTSIM [WORKDIR]
# Use a Release build of vtsim; the figures go to standard output.
set -eu
vtsim=$1
work=${2:-$(mktemp -d)}
here=$(dirname "$0")
for format in regedit4 unicode; do
  flag=""
  [ "$format" = unicode ] && flag=--unicode
  python3 "$here/generate_pc_export.py" "$work/$format" $flag >/dev/null
  rm -rf "$work/$format-image"
  start=$(date +%s.%N)
  "$vtsim" import --registry "$work/$format/export.reg" --listing "$work/$format/dir.txt" \
    --windows xp --output "$work/$format-image"
  end=$(date +%s.%N)
  echo "$format: $(echo "$end - $start" | bc) s ($(du -sh "$work/$format/export.reg" | cut -f1) export)"
done
