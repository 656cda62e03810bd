#!/usr/bin/env bash
# Checks that a 32-bit Windows program loads on every Windows the tool serves
# (95 first release, 98, ME, NT 4 SP6, 2000, XP): each DLL and function it
# imports must be in the allowlist, since one missing import stops Windows
# from loading the program at all. Calls some of them lack are reached through
# GetProcAddress instead.
#   scripts/check-imports.sh EXE [ALLOWLIST]
# Exit 0 when every import is allowed, 1 with the list of the others, 2 when
# the check cannot run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exe=${1:-}
allow=${2:-$here/win9x-imports.txt}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
if [ -z "$exe" ] || [ ! -f "$exe" ]; then
  echo "usage: $0 EXE [ALLOWLIST] (no such file: '${exe}')" >&2
  exit 2
fi
[ -f "$allow" ] || { echo "$0: no allowlist $allow" >&2; exit 2; }
command -v "$objdump" >/dev/null || { echo "$0: $objdump not found" >&2; exit 2; }

dump=$("$objdump" -p "$exe") || { echo "$0: $objdump cannot read $exe" >&2; exit 2; }
# "DLL Function" per import, the DLL in upper case (Windows compares module
# names without case); an import by ordinal becomes "DLL #N".
imports=$(printf '%s\n' "$dump" | awk '
  /^The Import Tables/ { inside = 1; next }
  inside && /^The / { inside = 0 }
  !inside { next }
  /DLL Name:/ { dll = toupper($3); next }
  dll != "" && /^\t[0-9a-f]+\t/ {
    if ($2 == "<none>" || $3 == "") print dll, "#" $2; else print dll, $3
  }' | sort -u)
if [ -z "$imports" ]; then
  echo "$0: $exe imports nothing (not a PE image with an import table?)" >&2
  exit 2
fi

# Allowlist: "DLL Function  # reason", or "DLL *" for a whole DLL; '#' starts
# a comment.
allowed=$(sed 's/#.*//' "$allow" | awk 'NF >= 2 { print toupper($1), $2 }' | sort -u)

bad=$(awk 'NR == FNR { ok[$1 " " $2] = 1; next }
           !(($1 " " $2) in ok) && !(($1 " *") in ok) { print }' \
      <(printf '%s\n' "$allowed") <(printf '%s\n' "$imports"))
count=$(printf '%s\n' "$imports" | wc -l)
if [ -n "$bad" ]; then
  echo "$exe: $(printf '%s\n' "$bad" | wc -l) of $count imports are not on every Windows from 95 to XP" \
       "(reach them through GetProcAddress, or add them to $(basename "$allow") with a source):"
  printf '%s\n' "$bad" | sed 's/^/  /'
  exit 1
fi
echo "$exe: all $count imports are on every Windows from 95 to XP"
