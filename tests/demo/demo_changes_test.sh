#!/usr/bin/env bash
# The demo's change report (scripts/demo_changes.py) on two small images:
# every kind of change reads as one line, and nothing unchanged is reported.
#   demo_changes_test.sh SOURCE_DIR
set -u
tool=$1/scripts/demo_changes.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

image() {  # DIR: an image with a registry, a machine and a few files
  mkdir -p "$1/drives/C/WINDOWS/INF" "$1/drives/C/App/Sub" "$1/drives/C/WINDOWS/TEMP"
  printf 'x' > "$1/drives/C/App/Sub/a.dll"
  printf 'x' > "$1/drives/C/App/keep.txt"
  printf 'x' > "$1/drives/C/WINDOWS/INF/oem3.inf"
  printf 'x' > "$1/drives/C/WINDOWS/INF/machine.inf"
}
reg() {  # FILE KEY-BLOCKS...: a REGEDIT4 file with CR LF line ends
  { printf 'REGEDIT4\n\n'; shift_out=("${@:2}"); printf '%s\n' "${shift_out[@]}"; } |
    sed 's/$/\r/' > "$1"
}
image "$work/before"
image "$work/after"
rm -r "$work/after/drives/C/App/Sub" "$work/after/drives/C/WINDOWS/INF/oem3.inf"
printf 'REM not shown\r\nDEL "C:\\App\\x.dll"\r\n' > "$work/after/drives/C/WINDOWS/TEMP/EraseVtc.bat"
reg "$work/before/registry.reg" '[HKEY_LOCAL_MACHINE\SOFTWARE\A]' '"Count"=dword:00000003' \
  '"Gone"="old"' '' '[HKEY_LOCAL_MACHINE\SOFTWARE\A\B]' '' '[HKEY_LOCAL_MACHINE\SOFTWARE\A\B\C]' \
  '' '[HKEY_LOCAL_MACHINE\SOFTWARE\A\D]' '' \
  '[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce]' ''
# Key names compare without case, as the registry does; hex data may go on
# over several lines.
reg "$work/after/registry.reg" '[HKEY_LOCAL_MACHINE\SOFTWARE\a]' '"Count"=dword:00000002' '' \
  '[HKEY_LOCAL_MACHINE\SOFTWARE\A\D]' '' \
  '[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce]' \
  '"EraseVtc"="C:\\WINDOWS\\TEMP\\EraseVtc.bat"' '' \
  '[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Session Manager]' \
  '"PendingFileRenameOperations"=hex(7):5c,3f,3f,5c,43,3a,5c,78,00,\' '  00,00' ''
cat > "$work/before/machine.json" <<'EOF'
{"printers": [{"name": "P1", "driver": "D1", "port": "DOT4_001"}, {"name": "Other", "driver": "D2", "port": "LPT1:"}],
 "printer_drivers": [{"name": "D1", "environment": "Windows NT x86"}], "ports": ["LPT1:", "DOT4_001"],
 "monitors": ["Local Port", "M1"], "services": [{"name": "S1", "state": "running"}],
 "devices": [{"class": "Image", "hardware_ids": ["USB\\VID_1&PID_2", "USB\\VID_1"]}],
 "installer_products": [{"code": "{G}"}], "restart": null}
EOF
cat > "$work/after/machine.json" <<'EOF'
{"printers": [{"name": "Other", "driver": "D2", "port": "LPT1:"}], "printer_drivers": [],
 "ports": ["LPT1:"], "monitors": ["Local Port"], "services": [], "devices": [],
 "installer_products": [], "restart": {"call": "ExitWindowsEx", "flags": 2},
 "recycle_bin": [{"path": "C:\\App\\My Faxes", "stored": "C:\\RECYCLED\\DC1"}]}
EOF
cat > "$work/expected" <<'EOF'

== registry keys and values removed (+ added, ~ changed)
- key   HKLM\SOFTWARE\A\B (and 1 subkey)
~ value HKLM\SOFTWARE\A : Count  dword:00000003 -> dword:00000002
- value HKLM\SOFTWARE\A : Gone (was "old")
+ value HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce : EraseVtc = "C:\\WINDOWS\\TEMP\\EraseVtc.bat"
+ key   HKLM\SYSTEM\CurrentControlSet\Control\Session Manager
+ value HKLM\SYSTEM\CurrentControlSet\Control\Session Manager : PendingFileRenameOperations = hex(7):5c,3f,3f,5c,43,3a,5c,78,00,00,00

== files and folders removed (+ added)
- C:\App\Sub\
- C:\App\Sub\a.dll
+ C:\WINDOWS\TEMP\EraseVtc.bat

== printing system, services, devices and installer packages removed
- installer package {G}
- printer           P1 (driver D1, port DOT4_001)
- printer driver    D1 [Windows NT x86]
- port              DOT4_001
- monitor           M1
- service           S1 (running)
- device            Image USB\VID_1&PID_2
> Recycle Bin       C:\App\My Faxes
! restart asked     {"call": "ExitWindowsEx", "flags": 2}

== OEM INF files removed
- C:\WINDOWS\INF\oem3.inf

== left for the next start of Windows
RunOnce EraseVtc = "C:\\WINDOWS\\TEMP\\EraseVtc.bat"
  | DEL "C:\App\x.dll"
PendingFileRenameOperations \??\C:\x -> (delete)
EOF
python3 "$tool" run "$work/before" "$work/after" > "$work/actual" 2>&1 ||
  { echo "demo_changes.py run failed"; failures=1; }
diff "$work/expected" "$work/actual" || { echo "demo_changes.py run: report differs"; failures=1; }

# Nothing changed: every section says so.
python3 "$tool" restart "$work/after" "$work/after" > "$work/same"
[[ $(grep -c '^(nothing)$' "$work/same") == 2 ]] || { echo "unchanged image reported"; cat "$work/same"; failures=1; }
exit $failures
