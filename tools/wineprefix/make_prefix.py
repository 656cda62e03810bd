#!/usr/bin/env python3
"""Turns a machine image (machine.json, registry.reg, drives/X/...) into a
32-bit Wine prefix.

    make_prefix.py IMAGE PREFIX [--keep-session] [--template DIR]

PREFIX becomes the WINEPREFIX (its scratch HOME is PREFIX/home). A template
prefix (wineboot -i, no Z: drive, Graphics=null, no crash dialog) is made once
and cached under build/; each image starts from a copy of it. What the image
holds that Wine cannot be given is printed and written to PREFIX/not-modelled.txt.

With --keep-session the Wine server keeps running after the set-up, with the
image's in-use files held open: the program run that follows is in the same
Wine session. A new session on the prefix acts as the next start of Windows
(the image's Run and RunOnce entries and pending renames would run then).

When run as root, Wine runs as the ordinary user cvswine (as root it lets a
read-only file be opened for writing).
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
WINE_USER = "cvswine"
VERSIONS = {"95": "win95", "98": "win98", "me": "winme", "nt4": "nt40", "2000": "win2k",
            "xp": "winxp"}
# The spooler's environment names by family, for drivers without one.
NT_FAMILY = {"nt4", "2000", "xp"}
# The drive of the driver and the helper: not one of the image's drives.
TOOLS_DRIVE = "W:"


class Wine:
    """Runs Wine commands for one prefix, as the ordinary user when root."""

    def __init__(self, prefix):
        self.prefix = prefix
        self.home = os.path.join(prefix, "home")
        self.as_user = ["runuser", "-u", WINE_USER, "--"] if os.geteuid() == 0 else []

    def env(self):
        return ["env", "HOME=" + self.home, "WINEPREFIX=" + self.prefix, "WINEARCH=win32",
                "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d",
                "LANG=C.UTF-8"]

    def run(self, *args, check=True, capture=False):
        cmd = self.as_user + self.env() + list(args)
        # Wine starts in the current directory when it can: one it may read.
        result = subprocess.run(cmd, cwd=self.prefix, check=False, text=True,
                                stdout=subprocess.PIPE if capture else subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        if check and result.returncode != 0:
            raise SystemExit("make_prefix: failed: " + " ".join(args))
        return result

    def start(self, *args):
        cmd = self.as_user + self.env() + list(args)
        return subprocess.Popen(cmd, cwd=self.prefix, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, start_new_session=True)

    def reg_add(self, key, name, data, kind="REG_SZ"):
        self.run("wine", "reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f")


def ensure_user():
    if os.geteuid() != 0:
        return
    if subprocess.run(["id", WINE_USER], capture_output=True).returncode != 0:
        subprocess.run(["useradd", "--create-home", "--shell", "/bin/bash", WINE_USER], check=True)


def chown_tree(path):
    if os.geteuid() == 0:
        subprocess.run(["chown", "-R", WINE_USER + ":", path], check=True)


def wine_version():
    out = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    return re.sub(r"[^A-Za-z0-9.-]", "_", out) or "wine"


def ensure_template(path):
    """A booted 32-bit prefix, made once: no Z: drive, headless, no crash dialog."""
    if os.path.exists(os.path.join(path, "ready")):
        return
    if os.path.exists(path):
        shutil.rmtree(path)
    os.makedirs(os.path.join(path, "home"))
    chown_tree(path)
    wine = Wine(path)
    wine.run("wineboot", "-i")
    zdrive = os.path.join(path, "dosdevices", "z:")
    if os.path.lexists(zdrive):
        os.remove(zdrive)
    wine.reg_add(r"HKCU\Software\Wine\WineDbg", "ShowCrashDialog", "0", "REG_DWORD")
    wine.reg_add(r"HKCU\Software\Wine\Drivers", "Graphics", "null")
    wine.run("wineserver", "-k", check=False)
    with open(os.path.join(path, "ready"), "w") as mark:
        mark.write("ok\n")


def windows_path_to_host(prefix, path):
    """C:\\a\\b -> the host path of that file in the prefix, matching existing
    names without case (the prefix's own folders keep their case)."""
    drive = path[0].lower()
    parts = [p for p in path[3:].split("\\") if p]
    host = os.path.join(prefix, "drive_c" if drive == "c" else "drive_" + drive)
    for part in parts:
        match = None
        if os.path.isdir(host):
            for name in os.listdir(host):
                if name.lower() == part.lower():
                    match = name
                    break
        host = os.path.join(host, match or part)
    return host


# Wine's Windows and system folders are fixed, whatever the Windows version.
WINE_FOLDERS = (("system", "C:\\windows\\system32"), ("windows", "C:\\windows"))


def folder_moves(machine):
    """The image's Windows and system folders that are not Wine's, as
    (directory name, image folder, Wine folder), the longest image folder
    first so that the system folder inside the Windows folder wins."""
    dirs = machine.get("directories", {})
    moves = []
    for name, wine_dir in WINE_FOLDERS:
        want = (dirs.get(name) or "").rstrip("\\")
        if want and want.lower() != wine_dir.lower():
            moves.append((name, want, wine_dir))
    return sorted(moves, key=lambda m: -len(m[1]))


def moved_path(path, moves):
    """A path of the image as it is in the prefix: one inside a moved folder
    is inside Wine's folder instead (the rest keeps its case)."""
    for _, image_dir, wine_dir in moves:
        if path.lower() == image_dir.lower() or path.lower().startswith(image_dir.lower() + "\\"):
            return wine_dir + path[len(image_dir):]
    return path


def prefix_host_path(prefix, machine, path):
    """The host path in the prefix of a path the image names."""
    return windows_path_to_host(prefix, moved_path(path, folder_moves(machine)))


def copy_drive(source, letter, prefix, moves, kept):
    """Copies an image's drive folder into the prefix, each file and folder
    where moved_path puts it, joining folders whose names differ only in case
    (drives/C/WINDOWS goes into drive_c/windows). A file Wine already has
    there (shell32.dll ...) stays Wine's: the image's stand-in would stop Wine
    itself; its text files (win.ini ...) give way to the image's. Files kept
    are added to `kept`."""
    for name in sorted(os.listdir(source)):
        copy_entry(os.path.join(source, name), letter + ":\\" + name, prefix, moves, kept)


def copy_entry(src, image_path, prefix, moves, kept):
    dst = windows_path_to_host(prefix, moved_path(image_path, moves))
    if os.path.isdir(src) and not os.path.islink(src):
        os.makedirs(dst, exist_ok=True)
        for name in sorted(os.listdir(src)):
            copy_entry(os.path.join(src, name), image_path + "\\" + name, prefix, moves, kept)
    elif os.path.lexists(dst) and is_program(dst):
        kept.append(src)
    else:
        if os.path.lexists(dst):
            os.remove(dst)
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        shutil.copy2(src, dst)


def is_program(path):
    """Whether a file is a Windows program or library (starts with "MZ")."""
    try:
        with open(path, "rb") as f:
            return f.read(2) == b"MZ"
    except OSError:
        return False


def make_tools_drive(prefix):
    """The folder of the helper programs, reached as drive W: so that nothing
    of ours lands on the image's drives."""
    tools = os.path.join(prefix, "tools")
    os.makedirs(tools, exist_ok=True)
    link = os.path.join(prefix, "dosdevices", TOOLS_DRIVE.lower())
    if not os.path.lexists(link):
        os.symlink("../tools", link)
    chown_tree(tools)
    return tools


def read_reg_text(data):
    """The text of a registry file, and whether it was version 5."""
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le"), True
    if data.startswith(b"\xef\xbb\xbf"):
        return data[3:].decode("utf-8"), True
    return data.decode("latin-1"), False


HIVES = {"HKLM": "HKEY_LOCAL_MACHINE", "HKCU": "HKEY_CURRENT_USER", "HKCR": "HKEY_CLASSES_ROOT",
         "HKU": "HKEY_USERS", "HKCC": "HKEY_CURRENT_CONFIG", "HKDD": "HKEY_DYN_DATA"}


def map_key(key):
    """An image key path as Wine's regedit must be given it: the image's
    current user (HKEY_USERS\\.DEFAULT) is Wine's HKEY_CURRENT_USER."""
    head, _, rest = key.partition("\\")
    hive = HIVES.get(head.upper(), head.upper())
    if hive == "HKEY_USERS":
        user, _, below = rest.partition("\\")
        if user.upper() == ".DEFAULT":
            return "HKEY_CURRENT_USER" + ("\\" + below if below else "")
    return hive + ("\\" + rest if rest else "")


def current_control_set(text):
    """The control set the image's SYSTEM\\Select names as current (1 without one)."""
    in_select = False
    for line in text.splitlines():
        stripped = line.strip()
        if stripped.startswith("["):
            in_select = stripped.upper() in ("[HKEY_LOCAL_MACHINE\\SYSTEM\\SELECT]",
                                             "[HKLM\\SYSTEM\\SELECT]")
        elif in_select and stripped.upper().startswith('"CURRENT"=DWORD:'):
            try:
                return int(stripped.split(":", 1)[1], 16)
            except ValueError:
                return 1
    return 1


def map_control_set(key, current):
    """Wine 8 has no ControlSet00N: its CurrentControlSet is an ordinary key, so
    the image's current control set is imported there, where programs read it."""
    prefix = "HKEY_LOCAL_MACHINE\\SYSTEM\\CONTROLSET%03d" % current
    upper = key.upper()
    if upper == prefix or upper.startswith(prefix + "\\"):
        return "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet" + key[len(prefix):]
    return key


QUOTED = re.compile(r'"((?:[^"\\]|\\.)*)"')


def move_quoted_paths(line, moves):
    """A value line with each quoted string (name or data) that starts with a
    moved folder rewritten to Wine's folder (SharedDLLs names, Run commands,
    SystemRoot ...); a path further inside a string is left as it is."""
    if not moves:
        return line

    def one(match):
        text = re.sub(r"\\(.)", r"\1", match.group(1))
        moved = moved_path(text, moves)
        if moved == text:
            return match.group(0)
        return '"' + moved.replace("\\", "\\\\").replace('"', '\\"') + '"'

    return QUOTED.sub(one, line)


def registry_for_wine(data, moves=()):
    """The image's registry as a REGEDIT4 file for Wine's regedit, key paths
    mapped, strings naming a moved folder moved (bytes of the image's code
    page are kept)."""
    text, _ = read_reg_text(data)
    current = current_control_set(text)
    out = []
    for line in text.splitlines():
        stripped = line.strip()
        if stripped.startswith("[") and stripped.endswith("]"):
            inner = stripped[1:-1]
            minus = inner.startswith("-")
            key = map_control_set(map_key(inner[1:] if minus else inner), current)
            out.append("[" + ("-" if minus else "") + key + "]")
        elif stripped.startswith("Windows Registry Editor Version 5.00"):
            out.append("REGEDIT4")
        else:
            out.append(move_quoted_paths(line, moves))
    return ("\r\n".join(out) + "\r\n").encode("latin-1", errors="replace")


def spooler_list(machine, windows):
    lines = []
    notes = []
    env_default = "Windows NT x86" if windows in NT_FAMILY else "Windows 4.0"
    for monitor in machine.get("monitors", []):
        if monitor.lower() != "local port":
            notes.append("monitor %r: a monitor needs its DLL, which the image does not "
                         "have; not added" % monitor)
    for driver in machine.get("printer_drivers", []):
        environment = driver.get("environment") or env_default
        lines.append("driver %s|%s" % (driver["name"], environment))
        if environment != "Windows NT x86":
            # Wine's spooler is an NT one: a printer needs its driver there.
            lines.append("driver %s|Windows NT x86" % driver["name"])
            notes.append("driver %r: also added for \"Windows NT x86\", Wine's own "
                         "environment, so that its printers can be made" % driver["name"])
    for printer in machine.get("printers", []):
        lines.append("printer %s|%s|%s" % (printer["name"], printer.get("driver", ""),
                                           printer.get("port", "")))
        if printer.get("jobs"):
            notes.append("printer %r: print jobs are not modelled" % printer["name"])
    for service in machine.get("services", []):
        path = moved_path(service.get("path") or "", folder_moves(machine)) or \
            "C:\\windows\\system32\\%s.exe" % service["name"]
        lines.append("service %s|%s" % (service["name"], path))
        if service.get("state", "stopped") != "stopped":
            notes.append("service %r: made stopped; Wine cannot run the image's service "
                         "program (state %s)" % (service["name"], service.get("state")))
    ports = [p for p in machine.get("ports", []) if not re.match(r"^(LPT\d|COM\d|FILE):$", p)]
    for port in ports:
        notes.append("port %r: Wine's spooler adds no port without its monitor; printers keep "
                     "the port name" % port)
    return lines, notes


# The image's special folders as the shell reads them: Wine's shell32 takes a
# folder named under "User Shell Folders" (then "Shell Folders") before its own
# profile layout.
SHELL_FOLDERS = (("desktop", "HKCU", "Desktop"), ("programs", "HKCU", "Programs"),
                 ("common_desktop", "HKLM", "Common Desktop"),
                 ("common_programs", "HKLM", "Common Programs"))


def set_shell_folders(wine, dirs, moves):
    for name, hive, value in SHELL_FOLDERS:
        if not dirs.get(name):
            continue
        folder = moved_path(dirs[name], moves)
        base = hive + r"\Software\Microsoft\Windows\CurrentVersion\Explorer"
        wine.reg_add(base + r"\User Shell Folders", value, folder, "REG_EXPAND_SZ")
        wine.reg_add(base + r"\Shell Folders", value, folder)


HELP_VIEWER_NOTE = ("help viewer: winhlp32.exe is disabled; WinHelpA returns FALSE at once "
                    "instead of waiting on the viewer's own boxes")


def not_modelled(machine, windows):
    notes = []
    dirs = machine.get("directories", {})
    for name, wine_dir in WINE_FOLDERS:
        if dirs.get(name) is None and name in dirs:
            notes.append("directories.%s is null: Wine always reports %s" % (name, wine_dir))
    for name, image_dir, wine_dir in folder_moves(machine):
        notes.append("directories.%s %s moved to %s: Wine's folder is fixed; the image's files "
                     "there and the registry strings that start with it are in Wine's folder"
                     % (name, image_dir, wine_dir))
    for name, _, _ in SHELL_FOLDERS:
        if name in dirs and not dirs[name]:
            notes.append("directories.%s is null: Wine always reports its own folder" % name)
    if dirs.get("temp") is None and "temp" in dirs:
        notes.append("directories.temp is null: Wine always has a temporary directory")
    if machine.get("devices"):
        notes.append("devices (%d): Wine's SetupAPI lists only its own virtual devices"
                     % len(machine["devices"]))
    if machine.get("installer_products"):
        notes.append("installer_products (%d): not installed; msiexec /x answers 1605"
                     % len(machine["installer_products"]))
    if machine.get("local_time"):
        notes.append("local_time %s: Wine uses the host's clock" % machine["local_time"])
    if machine.get("computer_name"):
        notes.append("computer_name %s: Wine reports the host's name" % machine["computer_name"])
    if machine.get("code_page", 1252) != 1252:
        notes.append("code_page %s: Wine's code page follows the locale (1252 here)"
                     % machine["code_page"])
    for name, drive in machine.get("drives", {}).items():
        if drive.get("type", "fixed") != "fixed":
            notes.append("drive %s: type %s is a plain folder in Wine" % (name, drive["type"]))
        if "free_bytes" in drive:
            notes.append("drive %s: free space is the host's, not %s" % (name, drive["free_bytes"]))
    user = machine.get("user", {})
    if windows in NT_FAMILY and not user.get("administrator", True):
        notes.append("user.administrator false: Wine's user is an administrator")
    if machine.get("registry_access"):
        notes.append("registry_access (%d keys): Wine's registry has no such access lists"
                     % len(machine["registry_access"]))
    if machine.get("faults"):
        notes.append("faults (%d): injected failures exist only on the simulated PC"
                     % len(machine["faults"]))
    if machine.get("open_windows"):
        notes.append("open_windows: no other instance's windows are open")
    if machine.get("clipboard"):
        notes.append("clipboard: Wine's clipboard starts empty")
    return notes


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("image")
    parser.add_argument("prefix")
    parser.add_argument("--keep-session", action="store_true",
                        help="leave the Wine server running, in-use files held")
    parser.add_argument("--template", default=None)
    args = parser.parse_args()

    image = os.path.abspath(args.image)
    prefix = os.path.abspath(args.prefix)
    with open(os.path.join(image, "machine.json"), encoding="utf-8") as f:
        machine = json.load(f)
    windows = machine.get("windows", "xp")
    if not isinstance(windows, str) or windows not in VERSIONS:
        raise SystemExit("make_prefix: %s: windows %r has no Wine version" % (image, windows))

    ensure_user()
    template = args.template or os.path.join(REPO, "build", "wine-template", wine_version())
    os.makedirs(os.path.dirname(template), exist_ok=True)
    ensure_template(template)

    if os.path.exists(prefix):
        subprocess.run(Wine(prefix).as_user + Wine(prefix).env() + ["wineserver", "-k"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(prefix)
    shutil.copytree(template, prefix, symlinks=True)
    os.remove(os.path.join(prefix, "ready"))
    wine = Wine(prefix)
    notes = not_modelled(machine, windows)

    # Files: drives/C into drive_c, other letters as folders inside the prefix;
    # the image's Windows and system folders into Wine's.
    moves = folder_moves(machine)
    drives = os.path.join(image, "drives")
    kept = []
    for letter in sorted(os.listdir(drives)) if os.path.isdir(drives) else []:
        if letter.upper() != "C":
            folder = "drive_" + letter.lower()
            os.makedirs(os.path.join(prefix, folder), exist_ok=True)
            link = os.path.join(prefix, "dosdevices", letter.lower() + ":")
            if os.path.lexists(link):
                os.remove(link)
            os.symlink("../" + folder, link)
        copy_drive(os.path.join(drives, letter), letter.upper(), prefix, moves, kept)
    for path in kept:
        notes.append("file %s: Wine's own file of that name is kept"
                     % os.path.relpath(path, drives))
    for path, flags in machine.get("files", {}).items():
        if flags.get("read_only"):
            host = prefix_host_path(prefix, machine, path)
            if os.path.exists(host):
                os.chmod(host, os.stat(host).st_mode & ~0o222)
            else:
                notes.append("files %s: read_only, but the image has no such file" % path)
    chown_tree(prefix)

    # The session starts (its start-up runs on the template's empty run keys)
    # and lasts until the set-up, or with --keep-session the run, is done.
    wine.run("wineserver", "-p", check=False)

    # Spooler and services through the real calls, before the registry goes
    # on top (Wine refuses a printer whose key exists).
    tools = make_tools_drive(prefix)
    shutil.copy2(os.path.join(REPO, "build", "wineprefix", "prefix_helper.exe"), tools)
    lines, spool_notes = spooler_list(machine, windows)
    notes += spool_notes
    if lines:
        with open(os.path.join(tools, "setup.txt"), "w", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")
        chown_tree(tools)
        result = wine.run("wine", TOOLS_DRIVE + "\\prefix_helper.exe", "setup",
                          TOOLS_DRIVE + "\\setup.txt",
                          check=False, capture=True)
        for out in result.stdout.splitlines():
            if out.startswith("failed"):
                notes.append("spooler/services: " + out)
        os.remove(os.path.join(tools, "setup.txt"))

    # The registry on top of Wine's own keys.
    reg = os.path.join(image, "registry.reg")
    if os.path.exists(reg):
        with open(reg, "rb") as f:
            data = registry_for_wine(f.read(), moves)
        with open(os.path.join(prefix, "drive_c", "cvs-image.reg"), "wb") as f:
            f.write(data)
        chown_tree(os.path.join(prefix, "drive_c"))
        wine.run("wine", "regedit", "/s", "C:\\cvs-image.reg")
        os.remove(os.path.join(prefix, "drive_c", "cvs-image.reg"))

    wine.reg_add(r"HKCU\Software\Wine", "Version", VERSIONS[windows])
    # Wine's WinHelpA hands each call to its help viewer with a sent message;
    # without the help file the viewer's own "Cannot find" box (another
    # process, which no script answers) would hold the program's call. With
    # the viewer disabled WinHelpA returns FALSE at once.
    wine.reg_add(r"HKCU\Software\Wine\DllOverrides", "winhlp32.exe", "")
    notes.append(HELP_VIEWER_NOTE)
    set_shell_folders(wine, machine.get("directories", {}), moves)
    temp = machine.get("directories", {}).get("temp")
    if temp:
        for name in ("TEMP", "TMP"):
            wine.reg_add(r"HKCU\Environment", name, moved_path(temp.rstrip("\\"), moves))
        if not os.path.isdir(prefix_host_path(prefix, machine, temp.rstrip("\\"))):
            notes.append("directories.temp %s does not exist in the image's files" % temp)

    in_use = [moved_path(p, moves) for p, flags in machine.get("files", {}).items()
              if flags.get("in_use")]
    if in_use:
        if args.keep_session:
            hold_list = os.path.join(tools, "in-use.txt")
            with open(hold_list, "w", newline="\r\n") as f:
                f.write("\n".join(in_use) + "\n")
            chown_tree(tools)
            wine.start("wine", TOOLS_DRIVE + "\\prefix_helper.exe", "hold",
                       TOOLS_DRIVE + "\\in-use.txt")
            for _ in range(200):
                if os.path.exists(hold_list + ".ready"):
                    break
                time.sleep(0.05)
            else:
                notes.append("files: the in-use holder did not start")
        else:
            notes.append("files in use (%d): held only for a run in the same session "
                         "(--keep-session)" % len(in_use))

    with open(os.path.join(prefix, "not-modelled.txt"), "w") as f:
        f.write("".join(n + "\n" for n in notes))
    for note in notes:
        print("not modelled: " + note)
    if not args.keep_session:
        wine.run("wineserver", "-k", check=False)
    chown_tree(os.path.join(prefix, "not-modelled.txt"))


if __name__ == "__main__":
    main()
