#!/usr/bin/env bash
# scripts/check-imports.sh on tiny programs built here without the C runtime,
# so each imports exactly the calls it makes.
#   check_imports_test.sh SOURCE_DIR
set -uo pipefail
src=$1
check=$src/scripts/check-imports.sh
cc=${MINGW_CC:-i686-w64-mingw32-gcc}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

build() {  # NAME LIBS... < C source
  cat >"$work/$1.c"
  local name=$1
  shift
  "$cc" -O1 -nostdlib -e _start -o "$work/$name.exe" "$work/$name.c" "$@" -lkernel32 ||
    { echo "cannot build $name"; exit 1; }
}

build allowed -luser32 <<'C'
#include <windows.h>
void start(void) __asm__("_start");
void start(void) {
  HMODULE k = GetModuleHandleA("KERNEL32.DLL");
  if (GetProcAddress(k, "GetDiskFreeSpaceExA")) MessageBoxA(0, "x", "y", MB_OK);
  ExitProcess(0);
}
C
build later -lshell32 -lshlwapi <<'C'
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
void start(void) __asm__("_start");
void start(void) {
  char path[MAX_PATH];
  ULARGE_INTEGER a, b, c;
  SHGetSpecialFolderPathA(0, path, CSIDL_DESKTOP, FALSE);
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\x");
  GetDiskFreeSpaceExA("C:\\", &a, &b, &c);
  ExitProcess(0);
}
C

# Calls every Windows from 95 to XP exports pass.
out=$("$check" "$work/allowed.exe" 2>&1)
rc=$?
[ $rc -eq 0 ] || fail "allowed imports: exit $rc, want 0: $out"
grep -q "all 4 imports" <<<"$out" || fail "allowed imports: count not reported: $out"

# Later calls are each reported once, allowed ones never.
out=$("$check" "$work/later.exe" 2>&1)
rc=$?
[ $rc -eq 1 ] || fail "later imports: exit $rc, want 1: $out"
for want in "KERNEL32.DLL GetDiskFreeSpaceExA" "SHELL32.DLL SHGetSpecialFolderPathA" \
            "SHLWAPI.DLL SHDeleteKeyA"; do
  [ "$(grep -c "^  $want\$" <<<"$out")" -eq 1 ] || fail "later imports: '$want' not listed once: $out"
done
grep -q "ExitProcess" <<<"$out" && fail "later imports: an allowed call is listed: $out"
grep -q "3 of 4 imports" <<<"$out" || fail "later imports: count wrong: $out"

# DLL names compare without case; "DLL *" allows a whole DLL.
printf 'kernel32.dll GetDiskFreeSpaceExA\nKernel32.DLL ExitProcess\nshell32.dll *\n' >"$work/list.txt"
out=$("$check" "$work/later.exe" "$work/list.txt" 2>&1)
rc=$?
[ $rc -eq 1 ] || fail "own list: exit $rc, want 1: $out"
[ "$(grep -c '^  ' <<<"$out")" -eq 1 ] && grep -q "^  SHLWAPI.DLL SHDeleteKeyA$" <<<"$out" ||
  fail "own list: only SHDeleteKeyA should be left: $out"

# No program, or not a program: the check cannot run.
"$check" "$work/none.exe" >/dev/null 2>&1
[ $? -eq 2 ] || fail "missing exe: want exit 2"
echo "not a program" >"$work/text.exe"
"$check" "$work/text.exe" >/dev/null 2>&1
[ $? -eq 2 ] || fail "text file: want exit 2"

[ $failures -eq 0 ] && echo "check-imports: all cases pass"
exit $((failures > 0))
