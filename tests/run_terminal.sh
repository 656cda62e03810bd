#!/usr/bin/env bash
# vtsim with a person at the terminal (standard input piped, and once through a
# pseudo-terminal when `script` is there), and a script file refused whole.
#
#   run_terminal.sh VTSIM SOURCE_DIR
set -u
vtsim=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "terminal: $*" >&2; failures=$((failures + 1)); }
has() { grep -qF -- "$2" "$1" || fail "$(basename "$1") lacks: $2"; }
hasnt() { grep -qF -- "$2" "$1" && fail "$(basename "$1") holds: $2"; }
fresh() { rm -rf "$work/image"; cp -r "$source_dir/samples/xp" "$work/image"; }

# 1. A whole run typed by a person who makes mistakes on the way.
fresh
printf '%s\n' 'pres Uninstall' 'select VT TRX 5100 series, Photo Desk 9' \
  'select VT TRX 5100 series, Photo Desk 1.10' '' 'PRESS   uninstall ' 'copy x' 'press Yes' \
  'press Yes' 'press OK' 'press Cancel' |
  "$vtsim" run "$work/image" > "$work/transcript.txt" 2> "$work/shown.txt"
status=$?
[[ $status == 0 ]] || fail "piped run: exit status $status, expected 0"
has "$work/shown.txt" 'Window "Vantrel AiO Uninstall Utility"'
has "$work/shown.txt" '"pres Uninstall" cannot be taken here: unknown verb.'
has "$work/shown.txt" '"select VT TRX 5100 series, Photo Desk 9" cannot be taken here.'
has "$work/shown.txt" '"copy x" cannot be taken here: copy takes nothing after it.'
has "$work/shown.txt" '"press Yes" cannot be taken here.'
has "$work/shown.txt" 'Verbs: select, press, key, menu, help, copy, close.'
has "$work/shown.txt" '  Do you want to uninstall this device?'
has "$work/shown.txt" 'Cancel: Windows is not restarted now'
has "$work/transcript.txt" '[action] PRESS   uninstall'
has "$work/transcript.txt" '[closed] VT Corvus/TRX Software Uninstaller - Reboot -> 2'
has "$work/transcript.txt" '[exit] 0'
hasnt "$work/transcript.txt" '[action] pres '
hasnt "$work/transcript.txt" '[action] copy x'
hasnt "$work/shown.txt" 'not used'

# 2. The end of input ends the run as a script that has run out.
fresh
printf 'select nothing\n' | "$vtsim" run "$work/image" > "$work/transcript.txt" 2> "$work/shown.txt"
status=$?
[[ $status == 3 ]] || fail "input ended: exit status $status, expected 3"
has "$work/shown.txt" 'vtsim: window "Vantrel AiO Uninstall Utility" waits, but terminal input has ended'
has "$work/transcript.txt" '[exit] 3'

# 3. A script with a malformed line is refused before the program starts.
fresh
cp -r "$work/image" "$work/before"
printf 'select VT TRX 5100 series\r\nPRESS Uninstall\r\nhelp me\r\n' > "$work/bad.txt"
"$vtsim" run "$work/image" --script "$work/bad.txt" > "$work/transcript.txt" 2> "$work/shown.txt"
status=$?
[[ $status == 2 ]] || fail "malformed script: exit status $status, expected 2"
has "$work/shown.txt" 'vtsim: bad.txt line 3: help needs a control id (0 to 65535): "help me" (verbs: select, press, key, menu, help, copy, close)'
[[ -s $work/transcript.txt ]] && fail "malformed script: the program ran"
diff -r "$work/before" "$work/image" > /dev/null || fail "malformed script: the image changed"

# 4. A real pseudo-terminal: the person's typing is echoed, the window shown.
if command -v script > /dev/null; then
  fresh
  printf 'pres\nclose\n' |
    timeout 30 script -qec "'$vtsim' run '$work/image' --transcript '$work/transcript.txt'" \
      /dev/null > "$work/shown.txt" 2>&1
  status=$?
  [[ $status == 0 ]] || fail "pseudo-terminal: exit status $status, expected 0"
  has "$work/shown.txt" 'Device tree:'
  has "$work/shown.txt" '"pres" cannot be taken here: unknown verb.'
  has "$work/transcript.txt" '[action] close'
fi

if ((failures > 0)); then
  echo "--- shown" >&2
  cat "$work/shown.txt" >&2
  exit 1
fi
echo "terminal: ok"
