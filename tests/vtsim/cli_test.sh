#!/usr/bin/env bash
# vtsim's command line, run as a user runs it: where output files may go, runs
# on a copy (--output), `check`, and the help texts.
#
#   cli_test.sh VTSIM SOURCE_DIR GROUP      GROUP: transcript, output, check, help, reboot,
#                                           restart or restore
set -u
vtsim=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source_dir=$(cd "$2" && pwd)
group=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "vtsim $group: $*" >&2; failures=$((failures + 1)); }

# Runs vtsim, keeping its exit status, standard output and standard error.
run() {
  "$vtsim" "$@" > out.txt 2> err.txt
  status=$?
}
expect_status() { [[ $status == "$1" ]] || fail "$2: exit status $status, expected $1 ($(head -c 300 err.txt))"; }
expect_one_error_line() {
  [[ $(wc -l < err.txt) == 1 ]] || fail "$1: expected one line on standard error, got: $(cat err.txt)"
}
expect_same_tree() { diff -r "$1" "$2" > /dev/null || fail "$3: $2 changed"; }

full_script=$source_dir/tests/scenarios/full_run_xp/script.txt
cp -r "$source_dir/samples/xp" pristine

transcript_group() {
  cp -r pristine img
  cp "$full_script" s.txt

  run run img --script s.txt --transcript img/registry.reg
  expect_status 2 "transcript inside the image"
  expect_one_error_line "transcript inside the image"
  expect_same_tree pristine img "transcript inside the image"

  run run img --script s.txt --transcript s.txt
  expect_status 2 "transcript = script"
  expect_one_error_line "transcript = script"
  cmp -s s.txt "$full_script" || fail "transcript = script: the script was overwritten"

  ln -s img/machine.json link-into-image.txt
  run run img --script s.txt --transcript link-into-image.txt
  expect_status 2 "transcript through a link into the image"
  ln img/registry.reg hard-link-into-image.txt
  run run img --script s.txt --transcript hard-link-into-image.txt
  expect_status 2 "transcript = a hard link of a file of the image"
  ln s.txt hard-link-of-script.txt
  run run img --script s.txt --transcript hard-link-of-script.txt
  expect_status 2 "transcript = a hard link of the script"
  mkdir sub
  run run img --script s.txt --transcript "sub/../img/./drives/x.txt"
  expect_status 2 "transcript inside the image by a roundabout path"
  expect_same_tree pristine img "refused transcripts"

  # The transcript is opened only after the image has been checked: an
  # invalid image leaves an older transcript as it was.
  cp -r pristine bad
  printf '{"windows": "xp"}\n' > bad/machine.json
  printf 'old transcript\n' > t.txt
  run run bad --script s.txt --transcript t.txt
  expect_status 2 "invalid image"
  expect_one_error_line "invalid image"
  [[ $(cat t.txt) == "old transcript" ]] || fail "invalid image: the old transcript was replaced"
  run run img --script missing-script.txt --transcript t.txt
  expect_status 2 "missing script"
  [[ $(cat t.txt) == "old transcript" ]] || fail "missing script: the old transcript was replaced"

  # A script that runs out ends with exit 3: the transcript so far is kept.
  printf 'select VT TRX 5100 series, Photo Desk 1.00\n' > short.txt
  run run img --script short.txt --transcript t.txt
  expect_status 3 "script runs out"
  [[ $(tail -n1 t.txt) == "[exit] 3" ]] || fail "script runs out: transcript ends: $(tail -n1 t.txt)"
  grep -qx '\[window\] Vantrel AiO Uninstall Utility' t.txt || fail "script runs out: transcript lacks the window"

  # A name that only begins like the image folder is outside it.
  run run img --script s.txt --transcript img.txt
  expect_status 0 "transcript beside the image"
  [[ $(tail -n1 img.txt) == "[exit] 0" ]] || fail "transcript beside the image: not written"
  rm -rf img && cp -r pristine img

  # Through a link outside the image, the link stays and its target is written.
  cp -r pristine img2
  mkdir elsewhere
  ln -s elsewhere/target.txt via-link.txt
  run run img2 --script s.txt --transcript via-link.txt
  expect_status 0 "transcript through a link"
  [[ -L via-link.txt ]] || fail "transcript through a link: the link was replaced"
  [[ $(tail -n1 elsewhere/target.txt) == "[exit] 0" ]] || fail "transcript through a link: target not written"
  ls -a . elsewhere | grep -q '\.tmp$' && fail "a temporary transcript file was left behind"
  # A dangling link into the image is refused like the path it points to.
  ln -s img/new-file.txt dangling.txt
  run run img --script s.txt --transcript dangling.txt
  expect_status 2 "transcript through a dangling link into the image"
  [[ -e img/new-file.txt ]] && fail "transcript through a dangling link: written into the image"
}

output_group() {
  cp -r pristine img
  # A full run on a copy changes the copy (the run log, and whatever the
  # scrub removes) and leaves the input byte for byte.
  run run img --script "$full_script" --transcript t.txt --output copy
  expect_status 0 "full run with --output"
  expect_same_tree pristine img "full run with --output"
  diff -r img copy > /dev/null && fail "full run with --output: the copy did not change"
  [[ -f copy/drives/C/WINDOWS/TEMP/VtCvScrubber.log ]] || fail "full run with --output: no run log in the copy"
  grep -qx '\[exit\] 0' t.txt || fail "full run with --output: no transcript"

  mkdir full && printf 'keep\n' > full/x.txt
  run run img --script "$full_script" --output full
  expect_status 2 "--output into a folder that is not empty"
  expect_one_error_line "--output into a folder that is not empty"
  [[ $(ls full) == "x.txt" ]] || fail "--output into a folder that is not empty: it was changed"

  run run img --script "$full_script" --output img/drives/copy
  expect_status 2 "--output inside the image"
  expect_same_tree pristine img "--output inside the image"

  printf 'a file\n' > plain.txt
  run run img --script "$full_script" --output plain.txt
  expect_status 2 "--output onto a file"

  run run img --script "$full_script" --output copy2 --transcript copy2/t.txt
  expect_status 2 "transcript inside the --output copy"
  [[ -e copy2 ]] && fail "transcript inside the --output copy: a copy was made"

  # Only files and folders are copied: a link is refused before anything is.
  cp -r pristine linked
  ln -s /etc/hostname linked/drives/C/link.txt
  run run linked --script "$full_script" --output copy3
  expect_status 2 "--output of an image holding a link"
  expect_one_error_line "--output of an image holding a link"
  [[ -e copy3 ]] && fail "--output of an image holding a link: a copy was made"

  # An empty folder is a good target.
  mkdir empty
  run run img --script "$full_script" --output empty
  expect_status 0 "--output into an empty folder"
  [[ -f empty/machine.json ]] || fail "--output into an empty folder: no copy"
}

check_group() {
  cp -r pristine good
  cp -r pristine bad
  sed -i 's/"administrator"/"adminstrator"/' bad/machine.json
  cp -r pristine noreg
  rm noreg/registry.reg
  run check good bad noreg
  expect_status 2 "check of good and bad images"
  grep -qx 'good: ok' out.txt || fail "check: no 'good: ok' in: $(cat out.txt)"
  grep -q 'bad' out.txt && fail "check: a bad image reported ok"
  grep -q '^vtsim: bad: machine.json line [0-9]*: user.adminstrator: unknown field; did you mean administrator?$' err.txt ||
    fail "check: bad image error: $(cat err.txt)"
  grep -q '^vtsim: noreg: registry.reg: missing' err.txt || fail "check: no error for a missing registry.reg"
  expect_same_tree pristine good "check"

  run check good
  expect_status 0 "check of a good image"
  run check
  expect_status 2 "check without an image"

  # The sample check script runs `vtsim check` as well.
  "$source_dir/tools/check_sample.sh" --vtsim "$vtsim" bad > out.txt 2> err.txt
  status=$?
  expect_status 1 "check_sample.sh of a bad image"
  grep -q 'did you mean administrator' err.txt || fail "check_sample.sh did not run vtsim check: $(cat err.txt)"
}

help_group() {
  for args in "--help" "run --help" "help"; do
    # shellcheck disable=SC2086
    run $args
    expect_status 0 "$args"
    for word in "select NAME" "press LABEL" "key C" "menu About" "help ID" "copy " "close " \
                "--script FILE" "--transcript FILE" "--output DIR" "IN PLACE"; do
      grep -qF -- "$word" out.txt || fail "$args: no \"$word\""
    done
    for code in 0 255 3 2; do
      grep -qE "^  $code +" out.txt || fail "$args: exit status $code not explained"
    done
  done
  run --help
  grep -qF 'check IMAGE...' out.txt || fail "--help: no check command"
  run check --help
  expect_status 0 "check --help"
  grep -qF 'IMAGE: ok' out.txt || fail "check --help: says nothing of the output"
  run run --scirpt x img
  expect_status 2 "misspelt option"
  grep -qF 'did you mean --script?' err.txt || fail "misspelt option: $(cat err.txt)"
}

reboot_group() {
  # The XP sample with a deferred erase batch registered to run once.
  cp -r pristine img
  printf 'ECHO OFF\r\nREM leftovers\r\nECHO ON\r\nC:\r\nCD C:\\Program Files\\Vantrel\\Photo Desk\r\nDEL VtPdHelp.chm VtPd.cfg\r\nDEL Gone.dll\r\n' \
    > img/drives/C/WINDOWS/TEMP/EraseVtc.bat
  sed -i 's/^\[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce\]\r$/&\n"EraseVtc"="C:\\\\WINDOWS\\\\TEMP\\\\EraseVtc.bat"\r/' \
    img/registry.reg
  grep -q '^"EraseVtc"=' img/registry.reg || fail "reboot: the test image has no RunOnce value"
  cp -r img before

  run reboot img --output copy
  expect_status 0 "reboot --output"
  expect_same_tree before img "reboot --output"
  grep -qx '\[reboot\] Windows XP starts' out.txt || fail "reboot: no start line: $(head -3 out.txt)"
  grep -qx '\[runonce\] EraseVtc: C:\\WINDOWS\\TEMP\\EraseVtc.bat' out.txt || fail "reboot: RunOnce value not named"
  grep -qxF 'C:\Program Files\Vantrel\Photo Desk> DEL VtPdHelp.chm VtPd.cfg' out.txt || fail "reboot: batch line not shown"
  grep -qxF '  -> deleted C:\Program Files\Vantrel\Photo Desk\VtPdHelp.chm' out.txt || fail "reboot: deletion not shown"
  grep -qxF '  -> Access is denied.' out.txt || fail "reboot: read-only VtPd.cfg not refused"
  grep -qxF '  -> Could Not Find C:\Program Files\Vantrel\Photo Desk\Gone.dll' out.txt || fail "reboot: missing file not named"
  [[ -e "copy/drives/C/Program Files/Vantrel/Photo Desk/VtPdHelp.chm" ]] && fail "reboot: the file was not deleted"
  [[ -e "copy/drives/C/Program Files/Vantrel/Photo Desk/VtPd.cfg" ]] || fail "reboot: a read-only file went"
  [[ -e "copy/drives/C/Program Files/Vantrel/Photo Desk/VtPdMain.exe" ]] || fail "reboot: another file went"
  grep -q '^"EraseVtc"=' copy/registry.reg && fail "reboot: the RunOnce value stayed"

  # In place; a second start finds nothing left to run and rewrites nothing.
  run reboot img
  expect_status 0 "reboot in place"
  [[ -e "img/drives/C/Program Files/Vantrel/Photo Desk/VtPdHelp.chm" ]] && fail "reboot in place: the file stayed"
  cp -r img after
  run reboot img
  expect_status 0 "second reboot"
  expect_same_tree after img "second reboot"

  cp -r pristine bad
  printf '{"windows": "xq"}\n' > bad/machine.json
  cp -r bad bad-before
  run reboot bad
  expect_status 2 "reboot of an invalid image"
  expect_one_error_line "reboot of an invalid image"
  expect_same_tree bad-before bad "reboot of an invalid image"
  run reboot
  expect_status 2 "reboot without an image"
  run reboot img --ouptut x
  expect_status 2 "reboot with a misspelt option"
  grep -qF 'did you mean --output?' err.txt || fail "reboot misspelt option: $(cat err.txt)"
  run reboot --help
  expect_status 0 "reboot --help"
  grep -qF 'RunOnce' out.txt || fail "reboot --help: says nothing of RunOnce"
}

# Reboot Now: Windows accepts the request and ends the program at its next
# wait, with exit 0 and no footer; `vtsim reboot` is then the restart.
restart_group() {
  # The full run's script, Reboot Now instead of Cancel; the Cancel after it
  # is never taken.
  grep -vx 'press Reboot Now' "$full_script" | sed 's/^press Cancel$/press Reboot Now\npress Cancel/' > s.txt
  [[ $(grep -cx 'press Reboot Now' s.txt) == 1 ]] || fail "restart: the script has not one Reboot Now"
  cancel_line=$(grep -nx 'press Cancel' s.txt | cut -d: -f1)
  find_log() { find "$1/drives" -name VtCvScrubber.log | head -n1; }

  cp -r pristine xp
  run run xp --script s.txt
  expect_status 0 "XP restart"
  tail -n 3 out.txt > tail.txt
  printf '%s\n' '[action] press Reboot Now' '[restart] Windows restarts: the program ends' '[exit] 0' |
    cmp -s - tail.txt || fail "XP restart: transcript ends otherwise: $(cat tail.txt)"
  grep -q 'closed\] VT Corvus/TRX Software Uninstaller - Reboot' out.txt &&
    fail "XP restart: the restart dialog was closed by the program"
  grep -qF "line $cancel_line not used: press Cancel" err.txt || fail "XP restart: leftover line not named: $(cat err.txt)"
  log=$(find_log xp)
  [[ -n $log ]] || fail "XP restart: no run log"
  grep -q 'End of VtCvScrubber.Log' "$log" && fail "XP restart: the footer was written"
  grep -q 'CReboot' "$log" && fail "XP restart: a privilege call was logged"
  python3 - xp/machine.json <<'PY' || fail "XP restart: machine.json restart is not the shutdown request"
import json, sys
r = json.load(open(sys.argv[1]))["restart"]
assert r == {"call": "InitiateSystemShutdownA",
             "message": "The PC needs to reboot to finish uninstall.",
             "timeout": 0, "force": True, "reboot": True}, r
PY
  run reboot xp
  expect_status 0 "reboot after the restart request"
  grep -qx '\[reboot\] the restart request is done' out.txt || fail "reboot: restart request not done"
  python3 -c 'import json,sys; assert json.load(open(sys.argv[1]))["restart"] is None' xp/machine.json ||
    fail "reboot: restart not cleared"

  # Windows 98: ExitWindowsEx, no privilege calls.
  cp -r "$source_dir/samples/98" w98
  sed 's/^press Cancel$/press Reboot Now/' "$source_dir/samples/98/script.txt" > s98.txt
  run run w98 --script s98.txt
  expect_status 0 "98 restart"
  grep -qx '\[restart\] Windows restarts: the program ends' out.txt || fail "98 restart: no restart line"
  python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["restart"]; assert r == {"call": "ExitWindowsEx", "flags": 2}, r' \
    w98/machine.json || fail "98 restart: machine.json restart is not ExitWindowsEx(EWX_REBOOT)"
  grep -q 'End of VtCvScrubber.Log' "$(find_log w98)" && fail "98 restart: the footer was written"

  # XP, an account that does not hold the privilege: the manual-restart box,
  # the dialog stays open, Cancel ends the run with its footer.
  cp -r pristine nopriv
  python3 - nopriv/machine.json <<'PY'
import json, sys
from collections import OrderedDict
j = json.load(open(sys.argv[1]), object_pairs_hook=OrderedDict)
j["user"]["privileges"] = ["SeTakeOwnershipPrivilege"]
open(sys.argv[1], "w").write(json.dumps(j, indent=2))
PY
  run run nopriv --script s.txt
  expect_status 0 "restart without the privilege"
  grep -qxF '[box] VT Corvus/TRX Software Uninstaller - Message | Please manually reboot this PC to complete the uninstall process. | OK | none -> OK' out.txt ||
    fail "restart without the privilege: no manual-restart box"
  grep -q '^\[restart\]' out.txt && fail "restart without the privilege: Windows restarted"
  grep -qx '\[closed\] VT Corvus/TRX Software Uninstaller - Reboot -> 2' out.txt ||
    fail "restart without the privilege: the dialog was not closed by Cancel"
  log=$(find_log nopriv)
  [[ $(grep -c '>>> Origin: CReboot::CReboot() -- AdjustTokenPrivileges()' "$log") == 1 ]] ||
    fail "restart without the privilege: not one AdjustTokenPrivileges entry"
  grep -q 'Not all privileges referenced are assigned to the caller.' "$log" ||
    fail "restart without the privilege: no message of code 1300"
  grep -q 'End of VtCvScrubber.Log' "$log" || fail "restart without the privilege: no footer"
  python3 -c 'import json,sys; assert json.load(open(sys.argv[1])).get("restart") is None' nopriv/machine.json ||
    fail "restart without the privilege: a restart was recorded"
}

restore_group() {
  cp -r pristine img
  cp -r img before
  run restore img
  expect_status 2 "restore without a journal"
  expect_one_error_line "restore without a journal"
  grep -qF 'no undo journal (VtUndo.NNN with Restore.bat) in C:\WINDOWS\TEMP\' err.txt ||
    fail "restore without a journal: $(cat err.txt)"
  expect_same_tree before img "restore without a journal"
  [[ -e img.vtsim-new ]] && fail "restore without a journal left its working copy"

  # Two journals: the newer one runs, in its own folder, and only its script.
  mkdir -p img/drives/C/WINDOWS/TEMP/VtUndo.001 img/drives/C/WINDOWS/TEMP/VtUndo.002
  printf 'DEL C:\\Keep1.txt\r\n' > img/drives/C/WINDOWS/TEMP/VtUndo.001/Restore.bat
  printf '@ECHO OFF\r\nDEL Scratch.txt\r\nECHO done\r\n' > img/drives/C/WINDOWS/TEMP/VtUndo.002/Restore.bat
  printf 'x' > img/drives/C/Keep1.txt
  printf 'x' > img/drives/C/WINDOWS/TEMP/VtUndo.002/Scratch.txt
  cp -r img before2
  run restore img --output copy
  expect_status 0 "restore --output"
  expect_same_tree before2 img "restore --output"
  grep -qxF '[batch] C:\WINDOWS\TEMP\VtUndo.002\Restore.bat runs in cmd.exe' out.txt ||
    fail "restore: script not named: $(head -3 out.txt)"
  grep -qxF '  -> done' out.txt || fail "restore: the script's ECHO not shown: $(cat out.txt)"
  [[ -e copy/drives/C/WINDOWS/TEMP/VtUndo.002/Scratch.txt ]] && fail "restore: DEL in the journal folder did nothing"
  [[ -e copy/drives/C/Keep1.txt ]] || fail "restore: the older journal's script ran"

  # A journal named on the command line; in place.
  run restore img --journal 'C:\WINDOWS\TEMP\VtUndo.001'
  expect_status 0 "restore --journal"
  [[ -e img/drives/C/Keep1.txt ]] && fail "restore --journal: its script did not run"
  run restore img --journal 'C:\Nowhere'
  expect_status 2 "restore of a missing journal"
  grep -qF 'no restore script C:\Nowhere\Restore.bat' err.txt || fail "restore of a missing journal: $(cat err.txt)"
  run restore img --journal 'C:\\A' --journal 'C:\\B'
  expect_status 2 "restore with --journal twice"
  grep -qF 'vtsim: --journal given twice' err.txt || fail "restore --journal twice: $(cat err.txt)"
  run restore img --output
  expect_status 2 "restore with --output and no folder"
  grep -qF 'vtsim: --output needs a folder name' err.txt || fail "restore --output alone: $(cat err.txt)"
  run restore img --jornal x
  expect_status 2 "restore with a misspelt option"
  grep -qF 'did you mean --journal?' err.txt || fail "restore misspelt option: $(cat err.txt)"
  run restore --help
  expect_status 0 "restore --help"
  grep -q '^usage: vtsim restore IMAGE' out.txt || fail "restore --help: $(head -2 out.txt)"
}

case $group in
  transcript) transcript_group ;;
  output) output_group ;;
  check) check_group ;;
  help) help_group ;;
  reboot) reboot_group ;;
  restart) restart_group ;;
  restore) restore_group ;;
  *) echo "unknown group $group" >&2; exit 2 ;;
esac
if ((failures > 0)); then
  exit 1
fi
echo "vtsim $group: ok"
