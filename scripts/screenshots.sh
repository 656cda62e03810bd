#!/usr/bin/env bash
# Screenshots of CvScrubber.exe's real dialogs, run under Wine on a sample PC
# with an X display (Xvfb):
#   scripts/screenshots.sh [SAMPLE] [--output DIR]     (SAMPLE default xp)
# DIR (default docs/screenshots) receives main-window.png (the tree with the
# preselected device), information-dialog.png (after Uninstall) and
# restart-dialog.png (at the end). Not run by CI or ctest.
#
# The dialogs are answered by tools/windriver from the sample's own script.
# The script language has no pause, so the script the driver gets has blocks
# of "help 65000" inserted: context help for a control no dialog has, which
# the driver takes as a line and delivers nowhere. While the driver works
# through such a block (about a quarter second a line) the window stands
# still and is captured; the transcript (flushed a line at a time) says when.
# The driver answers only a window set that stood still, so the lines after a
# pause reach the window that opens next, as in any run.
#
# Wine runs as wine-run.sh runs it (ordinary user when root, 32-bit prefix,
# no Z: drive), except that the prefix's graphics driver is X11 on the Xvfb
# display instead of the headless one.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

sample=xp
out=docs/screenshots
while [ $# -gt 0 ]; do
  case "$1" in
    --output) out=$2; shift 2 ;;
    -h | --help) sed -n 2,7p "$0"; exit 0 ;;
    *) sample=$1; shift ;;
  esac
done
image=samples/$sample
if [ ! -f "$image/machine.json" ] || [ ! -f "$image/script.txt" ]; then
  echo "screenshots: no sample PC with a script at $image" >&2
  exit 2
fi
image=$(cd "$image" && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)

# What the captures need, besides what wine-run.sh needs.
missing=()
command -v Xvfb >/dev/null || missing+=(xvfb)
command -v xdotool >/dev/null || missing+=(xdotool)
[ -x /usr/bin/import ] || missing+=(imagemagick)
# Wine's own fonts: the title bars' buttons are drawn with its Marlett.
[ -e /usr/share/wine/fonts/marlett.ttf ] || missing+=(fonts-wine)
if [ ${#missing[@]} -gt 0 ]; then
  sudo_=()
  [ "$(id -u)" -eq 0 ] || sudo_=(sudo)
  "${sudo_[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_[@]}" apt-get install -y --no-install-recommends \
    "${missing[@]}"
fi
scripts/install-wine.sh
exe=$(scripts/build-exe.sh)
tools/windriver/build.sh >/dev/null
tools/wineprefix/build.sh >/dev/null

work=$repo/build/screenshots
mkdir -p "$work"
prefix=$work/prefix

# An X display of our own.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -ac >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.05
done
export DISPLAY=:$display

run_as=()
[ "$(id -u)" -eq 0 ] && run_as=(runuser -u cvswine --)
wine_env=(env HOME="$prefix/home" WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all
          WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LANG=C.UTF-8
          DISPLAY="$DISPLAY")
driver_pid=""
cleanup() {
  if [ -n "$driver_pid" ]; then kill "$driver_pid" 2>/dev/null || true; fi
  if [ -d "$prefix" ]; then
    (cd "$prefix" && "${run_as[@]}" "${wine_env[@]}" wineserver -k) 2>/dev/null || true
  fi
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# The project's headless template, copied with the X11 driver. Decorated=N:
# with no window manager, Wine draws the title bars itself.
python3 - "$repo/tools/wineprefix" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
import os, make_prefix as m
m.ensure_user()
path = os.path.join(m.REPO, "build", "wine-template", m.wine_version())
os.makedirs(os.path.dirname(path), exist_ok=True)
m.ensure_template(path)
PY
template=$work/template
rm -rf "$template"
cp -a "$repo/build/wine-template/$(wine --version | sed 's/[^A-Za-z0-9.-]/_/g')" "$template"
python3 - "$template/user.reg" <<'PY'
import sys
path = sys.argv[1]
text = open(path, encoding="utf-8", newline="").read()
nl = "\r\n" if "\r\n" in text else "\n"
if '"Graphics"="null"' not in text:
    raise SystemExit("screenshots: the template has no Graphics=null to replace")
text = text.replace('"Graphics"="null"', '"Graphics"="x11"')
text += nl + "[Software\\\\Wine\\\\X11 Driver] 1700000000" + nl + '"Decorated"="N"' + nl
open(path, "w", encoding="utf-8", newline="").write(text)
PY

python3 tools/wineprefix/make_prefix.py "$image" "$prefix" --keep-session \
  --template "$template" >/dev/null

# The sample's script with pauses: at the main window (before its first
# line), at the information dialog (after the first "press Uninstall"), and
# before the last line, where the restart dialog waits. That last block is
# long: the main window takes its lines while the removal runs, and the
# restart dialog the rest.
pause_lines=24
last_pause_lines=40
python3 - "$image/script.txt" "$prefix/tools/script.txt" "$pause_lines" "$last_pause_lines" <<'PY'
import sys
source, target, count, last = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
lines = [l.strip() for l in open(source, encoding="latin-1")]
lines = [l for l in lines if l and not l.startswith("#")]
pause = ["help 65000"] * count
uninstall = next(i for i, l in enumerate(lines) if l.lower() == "press uninstall")
out = (pause + lines[:uninstall + 1] + pause + lines[uninstall + 1:-1]
       + ["help 65000"] * last + lines[-1:])
open(target, "w", encoding="latin-1", newline="\r\n").write("\n".join(out) + "\n")
PY

# The current directory as the prefix has it (make_prefix.py moves an image's
# Windows folder into Wine's).
read -r current < <(python3 - "$repo/tools/wineprefix" "$image/machine.json" <<'PY'
import json, sys
sys.path.insert(0, sys.argv[1])
import make_prefix as m
machine = json.load(open(sys.argv[2], encoding="utf-8"))
current = machine.get("directories", {}).get("current") or "C:\\"
print(m.moved_path(current, m.folder_moves(machine)).replace(" ", "\x01"))
PY
)
current=${current//$'\x01'/ }
exe_dir=$(python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); import make_prefix as m; print(m.windows_path_to_host(sys.argv[2], sys.argv[3]))' \
  "$repo/tools/wineprefix" "$prefix" "$current")
mkdir -p "$exe_dir"
cp "$exe" "$exe_dir/CvScrubber.exe"
cp build/windriver/windriver.exe "$prefix/tools/"
[ "$(id -u)" -eq 0 ] && chown -R cvswine: "$exe_dir" "$prefix/tools"

transcript=$prefix/tools/transcript.txt
rm -f "$transcript"
(cd "$prefix" && exec "${run_as[@]}" "${wine_env[@]}" wine 'W:\windriver.exe' \
  --timeout 60 --cwd "$current" --transcript 'W:\transcript.txt' \
  "${current%\\}\\CvScrubber.exe" 'W:\script.txt') >/dev/null 2>"$work/driver-stderr.txt" &
driver_pid=$!

# Waits until the driver has taken the first line of pause block N (1-based)
# and prints the title of the window it is pausing at.
await_pause() {
  local want=$((($1 - 1) * pause_lines + 1))
  for _ in $(seq 1200); do
    if [ -f "$transcript" ] &&
      [ "$(grep -c '^\[action\] help 65000' "$transcript")" -ge "$want" ]; then
      awk -v want="$want" '
        /^\[window\] / { title = substr($0, 10) }
        /^\[action\] help 65000/ && ++n == want { print title; exit }' "$transcript"
      return 0
    fi
    kill -0 "$driver_pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "screenshots: the driver did not reach pause $1; transcript:" >&2
  cat "$transcript" "$work/driver-stderr.txt" >&2 2>/dev/null || true
  return 1
}

# The X window of a dialog by its exact title, captured and kept small.
capture() {
  local title=$1 file=$2 id pattern
  # shellcheck disable=SC2016  # the $ is sed's, not the shell's
  pattern="^$(printf '%s' "$title" | sed 's/[][\.*^$(){}+?|]/\\&/g')\$"
  id=$(xdotool search --onlyvisible --name "$pattern" | tail -n 1)
  [ -n "$id" ] || { echo "screenshots: no X window \"$title\"" >&2; return 1; }
  /usr/bin/import -window "$id" -strip -define png:compression-level=9 "$work/raw.png"
  /usr/bin/convert "$work/raw.png" -strip +dither -colors 64 "PNG8:$out/$file"
  echo "screenshots: $out/$file ($title, $(stat -c %s "$out/$file") bytes)" >&2
}

title=$(await_pause 1)
sleep 0.3  # the window has settled; its paint is done
capture "$title" main-window.png
title=$(await_pause 2)
sleep 0.3
capture "$title" information-dialog.png

# The restart dialog: the first window announced in the last pause block
# that takes one of its lines.
for _ in $(seq 1200); do
  title=$(awk -v from="$((2 * pause_lines))" '
    /^\[action\] help 65000/ { n++; if (n > from && title != "") { print title; exit } }
    /^\[window\] / && n >= from { title = substr($0, 10) }' "$transcript")
  [ -n "$title" ] && break
  kill -0 "$driver_pid" 2>/dev/null || break
  sleep 0.05
done
[ -n "$title" ] || { echo "screenshots: no restart dialog; transcript:" >&2; cat "$transcript" >&2; exit 1; }
sleep 0.3
capture "$title" restart-dialog.png

# The rest of the run is not needed: the session ends with the script.
cp "$transcript" "$work/transcript.txt"
echo "screenshots: done (transcript so far in $work/transcript.txt)" >&2
