#include "tools/vtsim/help_text.h"

namespace vtsim {

namespace {

const char kUsage[] =
    "usage: vtsim run IMAGE [--script FILE] [--transcript FILE] [--output DIR]\n"
    "       vtsim reboot IMAGE [--output DIR]\n"
    "       vtsim restore IMAGE [--journal PATH] [--output DIR]\n"
    "       vtsim check IMAGE...\n"
    "       vtsim import --registry EXPORT.reg --listing DIR.txt --windows VERSION\n"
    "                    [--drive C] [--current DIR] [--sized] --output IMAGE\n"
    "       vtsim preview IMAGE [--script FILE] [--json] [--journal]\n"
    "       vtsim --help | vtsim run --help | vtsim reboot --help | vtsim check --help\n"
    "       vtsim import --help | vtsim restore --help\n";

const char kAbout[] =
    "\n"
    "vtsim starts the program on a simulated Windows PC loaded from a machine image: a\n"
    "folder holding machine.json, registry.reg and drives/ (docs/machine-image.md).\n";

const char kRun[] =
    "\n"
    "run IMAGE [options]\n"
    "  Starts the program once on the PC of IMAGE, in its directories.current.\n"
    "  IMAGE IS CHANGED IN PLACE unless --output is given: the files the program\n"
    "  deletes are deleted from IMAGE/drives, and registry.reg and machine.json are\n"
    "  rewritten at the end of the run. The run works on a copy beside IMAGE\n"
    "  (IMAGE.vtsim-new) that replaces IMAGE whole at its end: a vtsim killed at any\n"
    "  moment leaves the old or the new image (docs/machine-image.md).\n"
    "\n"
    "  --script FILE      answer the program's windows from FILE, one action a line\n"
    "                     (blank lines and lines starting with # are skipped); without\n"
    "                     it a person answers at the terminal\n"
    "  --transcript FILE  write the transcript to FILE instead of standard output;\n"
    "                     FILE may not lie inside the image nor be the script, and is\n"
    "                     replaced only when the run ends\n"
    "  --output DIR       copy IMAGE to DIR and run on the copy, IMAGE untouched; DIR\n"
    "                     must be absent or an empty folder outside IMAGE, and IMAGE may\n"
    "                     hold only files and folders\n"
    "\n"
    "Script actions (the waiting window takes the next line; docs/scripts.md):\n"
    "  select NAME   click an entry of the device tree (\"Group, Member\" for a member)\n"
    "  press LABEL   a button by its text, case ignored (Uninstall, Yes, No, OK,\n"
    "                Cancel, Reboot Now ...; Banner and Help: the two icon buttons)\n"
    "  key C         a typed character; key Enter, key Escape, key F1\n"
    "  menu About    the system-menu entry\n"
    "  help ID       context help on the control with that id\n"
    "  copy          Copy from the information dialog's context menu\n"
    "  close         the close box\n"
    "\n"
    "Exit status of run:\n"
    "  0    the program ended normally\n"
    "  255  the program ended with exit code -1 (any other code: the program's, 0-255)\n"
    "  3    the script could not answer a window (a line the window cannot take, or\n"
    "       no line left); the image is saved as the run left it\n"
    "  2    vtsim's own errors: bad arguments, an unreadable or invalid image, an\n"
    "       output file that may not or cannot be written; the image is untouched\n";

const char kReboot[] =
    "\n"
    "reboot IMAGE [--output DIR]\n"
    "  The next start of Windows on the PC of IMAGE (docs/reboot.md), changing IMAGE\n"
    "  in place unless --output DIR is given (as for run). Faults of machine.json do\n"
    "  not apply. In order:\n"
    "  1. nothing is open any more: every in-use flag is cleared;\n"
    "  2. NT family: the pending renames and deletions of HKLM\\SYSTEM\\\n"
    "     CurrentControlSet\\Control\\Session Manager PendingFileRenameOperations\n"
    "     are carried out and the value is deleted;\n"
    "  3. each value of HKLM, then of HKCU, ...\\CurrentVersion\\RunOnce, in the key's\n"
    "     order: the value is deleted, then its command runs (a name starting with\n"
    "     \"!\": deleted after the command). NT: HKLM's run at an administrator's\n"
    "     logon only. Commands start in the system directory (NT) or the Windows\n"
    "     directory (9x). A .bat file (.cmd on NT) runs in an interpreter of\n"
    "     cmd.exe (NT) or COMMAND.COM (9x) that carries out ECHO, REM, labels,\n"
    "     drive changes, CD/CHDIR, DEL/ERASE and RD/RMDIR with that interpreter's\n"
    "     rules and messages; other commands are named and not carried out, and\n"
    "     other programs are not run (the simulated PC runs only batch files).\n"
    "  Each step, each batch line (\"DIR> LINE\") and its outcome (\"  -> ...\") go\n"
    "  to standard output. Exit status 0 when the restart ran; 2 for bad arguments\n"
    "  or an unusable image (untouched then).\n";

const char kCheck[] =
    "\n"
    "check IMAGE...\n"
    "  Loads each image exactly as run would, writing nothing (but finishing or\n"
    "  undoing a save a killed vtsim left), and prints\n"
    "  \"IMAGE: ok\" or the error. Exit status 0 when every image is valid, else 2.\n";

const char kImport[] =
    "\n"
    "import --registry EXPORT.reg --listing DIR.txt --windows VERSION --output IMAGE\n"
    "  Makes the image IMAGE (absent or an empty folder) of a PC from what can be\n"
    "  taken off it without running anything new there (docs/import.md):\n"
    "  --registry FILE  a regedit /e export (REGEDIT4, or Version 5.00 in UTF-16)\n"
    "  --listing FILE   the output of dir /s /a of the drive (cmd.exe or COMMAND.COM,\n"
    "                   English; cmd /u output is read too)\n"
    "  --windows V      95, 98, me, nt4, 2000 or xp\n"
    "  --drive C        the drive listed (default C)\n"
    "  --current DIR    the program's folder, a folder of the listing (default the\n"
    "                   drive's root)\n"
    "  --sized          files get their listed size as sparse host files (copies of\n"
    "                   the image then may take that much room); without it they\n"
    "                   are empty\n"
    "  Folders come from the registry where Windows keeps them, else the version's\n"
    "  defaults. Exit status 0 when the image was made and loads; 2 for bad\n"
    "  arguments or inputs (FILE:LINE: what is wrong).\n";

const char kPreview[] =
    "\n"
    "preview IMAGE [--script FILE] [--json] [--journal]\n"
    "  Shows what a scrub would do to the PC of IMAGE, which stays untouched: runs\n"
    "  the program as run does on a throw-away copy, then the next start of Windows\n"
    "  as reboot does, and prints the registry keys and values removed, shared-DLL\n"
    "  counters decremented, files and folders deleted now and at the next start,\n"
    "  printers, drivers, ports, monitors, services, devices, installer packages and\n"
    "  OEM INF files removed, and what the safety rules refused (docs/preview.md).\n"
    "\n"
    "  --script FILE  answer the program's windows from FILE; without it: Uninstall\n"
    "                 the device detection preselects, Yes, OK, and Cancel the restart\n"
    "  --json         print the same as one JSON object\n"
    "  --journal      switch the undo journal on in the copy (UndoJournal=1 in the\n"
    "                 control file's common sections) and show what it would hold;\n"
    "                 shown anyway when the control file has it on\n"
    "  Exit status 0 when the preview was made; 2 for bad arguments or an unusable\n"
    "  image; 3 when the script could not answer a window.\n";

const char kRestore[] =
    "\n"
    "restore IMAGE [--journal PATH] [--output DIR]\n"
    "  Runs the restore script of an undo journal (docs/journal.md) at a command\n"
    "  prompt on the PC of IMAGE, as a person would after a scrub with the control\n"
    "  file's UndoJournal=1: PATH\\Restore.bat, by default that of the newest\n"
    "  VtUndo.NNN in the temporary folder (beside the run log). It runs in the\n"
    "  journal folder, in cmd.exe (NT) or COMMAND.COM (9x); each line and what it\n"
    "  did is printed. IMAGE changes in place unless --output DIR is given. Faults\n"
    "  of machine.json do not apply. Exit status 0 when the script ran; 2 for bad\n"
    "  arguments, an unusable image or no journal.\n";

}  // namespace

std::string GeneralHelp() {
  return std::string(kUsage) + kAbout + kRun + kReboot + kRestore + kCheck + kImport + kPreview;
}

std::string RestoreHelp() {
  return "usage: vtsim restore IMAGE [--journal PATH] [--output DIR]\n" + std::string(kRestore);
}

std::string ImportHelp() {
  return "usage: vtsim import --registry EXPORT.reg --listing DIR.txt --windows VERSION\n"
         "                    [--drive C] [--current DIR] [--sized] --output IMAGE\n" +
         std::string(kImport);
}

std::string RunHelp() {
  return "usage: vtsim run IMAGE [--script FILE] [--transcript FILE] [--output DIR]\n" +
         std::string(kRun);
}

std::string RebootHelp() {
  return "usage: vtsim reboot IMAGE [--output DIR]\n" + std::string(kReboot);
}

std::string CheckHelp() { return "usage: vtsim check IMAGE...\n" + std::string(kCheck); }

std::string PreviewHelp() {
  return "usage: vtsim preview IMAGE [--script FILE] [--json] [--journal]\n" +
         std::string(kPreview);
}

std::string ShortUsage() {
  return "usage: vtsim run IMAGE [--script FILE] [--transcript FILE] [--output DIR] | vtsim "
         "reboot IMAGE [--output DIR] | vtsim restore IMAGE [--journal PATH] | vtsim check "
         "IMAGE... | vtsim preview IMAGE [--script FILE] "
         "[--json] | vtsim --help";
}

}  // namespace vtsim
