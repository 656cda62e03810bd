#!/usr/bin/env bash
# Runs a Windows program on a machine image under Wine, its dialogs answered
# from a script by the dialog driver:
#   scripts/wine-run.sh IMAGE SCRIPT [EXE] [--output DIR] [--timeout SECONDS]
# EXE defaults to build/win32/CvScrubber.exe. The image becomes a Wine prefix
# (tools/wineprefix/make_prefix.py) at DIR/prefix; the program is copied into
# the image's current directory and started there. DIR (default
# build/wine-run/NAME) receives transcript.txt, driver-stderr.txt, the run log
# copied out of the prefix's temporary directory, and not-modelled.txt.
# Exit status: the driver's (the program's, or 3 when the script could not
# answer a window, 2 for a bad script).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

positional=()
out=""
timeout=60
while [ $# -gt 0 ]; do
  case "$1" in
    --output) out=$2; shift 2 ;;
    --timeout) timeout=$2; shift 2 ;;
    *) positional+=("$1"); shift ;;
  esac
done
[ ${#positional[@]} -ge 2 ] || { sed -n 2,11p "$0" >&2; exit 2; }
image=$(cd "${positional[0]}" && pwd)
script=$(realpath "${positional[1]}")
exe=$(realpath "${positional[2]:-build/win32/CvScrubber.exe}")
[ -f "$exe" ] || { echo "wine-run: no program at $exe" >&2; exit 2; }
out=${out:-build/wine-run/$(basename "$image")}
mkdir -p "$out"
out=$(cd "$out" && pwd)

scripts/install-wine.sh
tools/windriver/build.sh >/dev/null
tools/wineprefix/build.sh >/dev/null

prefix="$out/prefix"
python3 tools/wineprefix/make_prefix.py "$image" "$prefix" --keep-session
cp "$prefix/not-modelled.txt" "$out/"

run_as=()
[ "$(id -u)" -eq 0 ] && run_as=(runuser -u cvswine --)
wine_env=(env HOME="$prefix/home" WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all
          WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LANG=C.UTF-8)
stop_session() { (cd "$prefix" && "${run_as[@]}" "${wine_env[@]}" wineserver -k) || true; }
trap stop_session EXIT

# The program goes where a technician puts it: the image's current directory
# (both it and the temporary directory as the prefix has them: inside Wine's
# Windows folder when the image's is another).
read -r current temp < <(python3 - "$repo/tools/wineprefix" "$image/machine.json" <<'PY'
import json, sys
sys.path.insert(0, sys.argv[1])
import make_prefix as m
machine = json.load(open(sys.argv[2], encoding="utf-8"))
d, moves = machine.get("directories", {}), m.folder_moves(machine)
print(*(m.moved_path(d.get(k) or default, moves).replace(" ", "\x01")
        for k, default in (("current", "C:\\"), ("temp", "-"))))
PY
)
current=${current//$'\x01'/ }
temp=${temp//$'\x01'/ }
[ "$temp" != - ] || temp=""
host_dir() {  # a C:\ path in the prefix -> its host folder (case ignored)
  python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); import make_prefix as m; print(m.windows_path_to_host(sys.argv[2], sys.argv[3]))' \
    "$repo/tools/wineprefix" "$prefix" "$1"
}
exe_dir=$(host_dir "$current")
mkdir -p "$exe_dir"
exe_name=$(basename "$exe")
cp "$exe" "$exe_dir/$exe_name"
cp build/windriver/windriver.exe "$prefix/tools/"
cp "$script" "$prefix/tools/script.txt"
[ "$(id -u)" -eq 0 ] && chown -R cvswine: "$exe_dir" "$prefix/tools"

status=0
(cd "$prefix" && "${run_as[@]}" "${wine_env[@]}" wine 'W:\windriver.exe' \
  --timeout "$timeout" --cwd "$current" --transcript 'W:\transcript.txt' \
  "${current%\\}\\$exe_name" 'W:\script.txt') 2>"$out/driver-stderr.txt" || status=$?
cp "$prefix/tools/transcript.txt" "$out/transcript.txt" 2>/dev/null || : >"$out/transcript.txt"
grep -v '^wine: could not open working directory' "$out/driver-stderr.txt" >&2 || true

# The run log, from the temporary directory the image names.
if [ -n "$temp" ]; then
  temp_dir=$(host_dir "${temp%\\}")
  find "$temp_dir" -maxdepth 1 -type f -iname '*.log' -exec cp {} "$out/" \; 2>/dev/null || true
fi
rm -f "$exe_dir/$exe_name"
echo "wine-run: transcript and log in $out (exit $status)" >&2
exit $status
