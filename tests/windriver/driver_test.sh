#!/usr/bin/env bash
# The dialog driver against its test program under Wine, on a prefix made
# from a small machine image: every verb, the exit-3 cases, a bad script,
# and what the prefix tool set up (registry, version, read-only, in-use).
#   tests/windriver/driver_test.sh REPO WORK_DIR
set -uo pipefail
repo=$1
work=$2
here="$repo/tests/windriver"
rm -rf "$work"
mkdir -p "$work"
"$repo/tools/windriver/build.sh" "$repo/build/windriver" || exit 1
"$repo/tools/wineprefix/build.sh" "$repo/build/wineprefix" || exit 1
prefix="$work/prefix"
python3 "$repo/tools/wineprefix/make_prefix.py" "$here/image" "$prefix" --keep-session \
  >"$work/make_prefix.txt" || { cat "$work/make_prefix.txt"; exit 1; }

run_as=()
[ "$(id -u)" -eq 0 ] && run_as=(runuser -u cvswine --)
wine_env=(env HOME="$prefix/home" WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all
          WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LANG=C.UTF-8)
trap '(cd "$prefix" && "${run_as[@]}" "${wine_env[@]}" wineserver -k) 2>/dev/null' EXIT
cp "$repo/build/windriver/windriver.exe" "$repo/build/windriver/test_app.exe" "$prefix/tools/"
[ "$(id -u)" -eq 0 ] && chown -R cvswine: "$prefix/tools"
wine() { (cd "$prefix" && "${run_as[@]}" "${wine_env[@]}" wine "$@" 2>&1 |
          grep -av '^wine: could not open working directory'); }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# drive SCRIPT_FILE: runs the test program under the driver; sets out, err, status.
drive() {
  local name
  name=$(basename "$1")
  cp "$1" "$prefix/tools/$name"
  [ "$(id -u)" -eq 0 ] && chown cvswine: "$prefix/tools/$name"
  (cd "$prefix" && "${run_as[@]}" "${wine_env[@]}" wine 'W:\windriver.exe' --timeout 20 \
    --cwd 'C:\Scrubber' --transcript 'W:\transcript.txt' 'W:\test_app.exe' "W:\\$name") \
    2>"$work/stderr.txt"
  status=$?
  out=$(cat "$prefix/tools/transcript.txt" 2>/dev/null)
  err=$(grep -v '^wine: could not open working directory' "$work/stderr.txt")
  rm -f "$prefix/tools/transcript.txt"
}

# Every verb; the transcript is vtsim's, line for line.
drive "$here/all_verbs.txt"
[ "$status" -eq 7 ] || fail "all verbs: exit $status, want the program's 7"
diff <(echo "$out") "$here/all_verbs.expected" || fail "all verbs: transcript differs"
grep -q 'all_verbs.txt line 14 not used: press OK' <<<"$err" || fail "all verbs: leftover line: $err"

# Context help from a missing help file: the call comes back, so the run goes
# on (Wine's help viewer, whose own box would hold the call, is disabled).
printf 'help 1003\npress Cancel\n' >"$work/winhelp.txt"
drive "$work/winhelp.txt"
[ "$status" -eq 7 ] || fail "help call: exit $status: $err"
grep -q '^\[box\] Test Note | help call returned 0 | OK' <<<"$out" || fail "help call: $out"

# A line the waiting window cannot take ends the run with exit 3.
printf 'press Maybe\n' >"$work/maybe.txt"
drive "$work/maybe.txt"
[ "$status" -eq 3 ] || fail "press Maybe: exit $status"
[ "$(tail -1 <<<"$out")" = "[exit] 3" ] || fail "press Maybe: last line $(tail -1 <<<"$out")"
grep -q 'maybe.txt line 1: window "Driver Test" cannot take "press Maybe"' <<<"$err" ||
  fail "press Maybe: $err"

# A box with two buttons after the last line: exit 3, naming the box.
printf 'press Ask\n' >"$work/ask.txt"
drive "$work/ask.txt"
[ "$status" -eq 3 ] || fail "ended script: exit $status"
grep -q 'window "Question" waits, but ask.txt has ended' <<<"$err" || fail "ended script: $err"

# A bad script is refused before the program starts.
printf 'pres Yes\n' >"$work/bad.txt"
drive "$work/bad.txt"
[ "$status" -eq 2 ] || fail "bad script: exit $status"
grep -q 'bad.txt line 1: unknown verb: "pres Yes"' <<<"$err" || fail "bad script: $err"
[ -z "$out" ] || fail "bad script wrote a transcript"

# What the prefix tool set up.
wine reg query 'HKLM\SOFTWARE\DriverTest' /v Name | grep -aq 'Caf' || fail "HKLM value not imported"
wine reg query 'HKCU\Software\DriverTest' /v User | grep -q '0x7' ||
  fail "HKU\\.DEFAULT not imported as the current user"
wine reg query 'HKCU\Software\Wine' /v Version | grep -q 'win2k' || fail "version not win2k"
[ -e "$prefix/dosdevices/z:" ] && fail "the Z: drive is still there"
[ -w "$prefix/drive_c/Data/fixed.txt" ] && [ "$(id -u)" -ne 0 ] && fail "read-only file writable"
stat -c %A "$prefix/drive_c/Data/fixed.txt" | grep -q '^-r-.r..r..' || fail "read-only file mode"
wine cmd /c 'del C:\Data\held.txt' >/dev/null
[ -f "$prefix/drive_c/Data/held.txt" ] || fail "a file in use was deleted"
wine cmd /c 'del C:\Data\fixed.txt' >/dev/null
[ -f "$prefix/drive_c/Data/fixed.txt" ] || fail "a read-only file was deleted"
# The image's Windows folder C:\WINNT is Wine's C:\windows: files (held there
# too), registry strings that name it, and the line the differential check reads.
[ -e "$prefix/drive_c/WINNT" ] && fail "the image's C:\\WINNT was copied as it is"
[ -f "$prefix/drive_c/windows/system32/VtHeld.dll" ] || fail "system file not in system32"
wine cmd /c 'del C:\windows\system32\VtHeld.dll' >/dev/null
[ -f "$prefix/drive_c/windows/system32/VtHeld.dll" ] || fail "a moved file in use was deleted"
wine reg query 'HKLM\SOFTWARE\DriverTest' /v Core | grep -q 'C:\\windows\\system32\\VtHeld.dll' ||
  fail "registry path not moved to Wine's system folder"
grep -q '^directories.windows C:\\WINNT moved to C:\\windows:' "$prefix/not-modelled.txt" ||
  fail "not-modelled does not name the moved Windows folder"
grep -q 'local_time' "$prefix/not-modelled.txt" && fail "not-modelled names an absent field"
grep -q 'devices' "$prefix/not-modelled.txt" && fail "not-modelled names absent devices"

[ "$failures" -eq 0 ] && echo "windriver: all checks passed"
exit $((failures > 0))
