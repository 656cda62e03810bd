#!/usr/bin/env python3
"""Writes the inputs of `vtsim import` for a large, realistic PC.

  generate_pc_export.py OUTDIR [--keys 200000] [--files 100000] [--unicode]

OUTDIR/export.reg: a regedit /e export (REGEDIT4, or with --unicode version 5
in UTF-16LE) of about --keys keys in the shapes a PC holds most of: COM
classes, file types, installed products, services, Plug-and-Play devices and a
user's settings, with strings, escapes, dwords, hex data wrapped over
continued lines and hex(2)/hex(7) strings.
OUTDIR/dir.txt: a cmd.exe `dir /s /a` listing of drive C: with --files files
in folders of 5 to 40 files, sizes with thousands separators, summaries.
The output is the same for the same arguments (a fixed seed).
"""
import argparse
import os
import random


def hex_bytes(data, prefix_len):
    """regedit's hex list, wrapped with backslash continuations."""
    out, line = [], prefix_len
    parts = ["%02x" % b for b in data]
    for i, p in enumerate(parts):
        out.append(p)
        if i + 1 < len(parts):
            out.append(",")
            line += 3
            if line >= 77:
                out.append("\\\r\n  ")
                line = 2
    return "".join(out)


def value(name, kind, data, rng):
    head = '@=' if name is None else '"%s"=' % name.replace("\\", "\\\\").replace('"', '\\"')
    if kind == "sz":
        return head + '"%s"' % data.replace("\\", "\\\\").replace('"', '\\"')
    if kind == "dword":
        return head + "dword:%08x" % data
    if kind == "hex":
        return head + "hex:" + hex_bytes(data, len(head) + 4)
    if kind == "expand":
        raw = (data + "\0").encode("utf-16-le")
        return head + "hex(2):" + hex_bytes(raw, len(head) + 7)
    raw = ("\0".join(data) + "\0\0").encode("utf-16-le")  # multi
    return head + "hex(7):" + hex_bytes(raw, len(head) + 7)


def guid(rng):
    return "{%08X-%04X-%04X-%04X-%012X}" % (rng.getrandbits(32), rng.getrandbits(16),
                                           rng.getrandbits(16), rng.getrandbits(16),
                                           rng.getrandbits(48))


def registry(keys, rng):
    lines = []
    count = 0

    def key(path, values):
        nonlocal count
        count += 1
        lines.append("[%s]" % path)
        lines.extend(value(n, k, d, rng) for n, k, d, _ in values)
        lines.append("")

    hklm = "HKEY_LOCAL_MACHINE"
    key(hklm + r"\SOFTWARE\Microsoft\Windows NT\CurrentVersion",
        [("SystemRoot", "sz", r"C:\WINDOWS", rng), ("CurrentBuildNumber", "sz", "2600", rng)])
    key(hklm + r"\SOFTWARE\Microsoft\Windows\CurrentVersion",
        [("ProgramFilesDir", "sz", r"C:\Program Files", rng)])
    key(hklm + r"\SYSTEM\ControlSet001\Control\Nls\CodePage", [("ACP", "sz", "1252", rng)])
    key(hklm + r"\SYSTEM\ControlSet001\Control\ComputerName\ComputerName",
        [("ComputerName", "sz", "BIG-PC", rng)])
    key(hklm + r"\SYSTEM\Select", [("Current", "dword", 1, rng)])
    n = 0
    while count < keys:
        n += 1
        shape = n % 6
        if shape == 0:
            g = guid(rng)
            base = hklm + r"\SOFTWARE\Classes\CLSID\%s" % g
            key(base, [(None, "sz", "Component %d Class" % n, rng)])
            key(base + r"\InprocServer32",
                [(None, "expand", r"%%SystemRoot%%\system32\comp%d.dll" % n, rng),
                 ("ThreadingModel", "sz", "Apartment", rng)])
            key(base + r"\ProgID", [(None, "sz", "Comp%d.Object.1" % n, rng)])
        elif shape == 1:
            key(hklm + r"\SOFTWARE\Classes\.x%d" % n, [(None, "sz", "x%dfile" % n, rng)])
            key(hklm + r"\SOFTWARE\Classes\x%dfile\shell\open\command" % n,
                [(None, "sz", '"C:\\Program Files\\App %d\\app.exe" "%%1"' % (n % 300), rng)])
        elif shape == 2:
            key(hklm + r"\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\%s" % guid(rng),
                [("DisplayName", "sz", "Product %d" % n, rng),
                 ("UninstallString", "sz", "MsiExec.exe /X%s" % guid(rng), rng),
                 ("EstimatedSize", "dword", rng.randrange(1 << 20), rng),
                 ("Language", "dword", 1033, rng)])
        elif shape == 3:
            key(hklm + r"\SYSTEM\ControlSet001\Services\Svc%d" % n,
                [("Type", "dword", 16, rng), ("Start", "dword", 3, rng),
                 ("ImagePath", "expand", r"system32\drivers\svc%d.sys" % n, rng),
                 ("DependOnService", "multi", ["RpcSs", "Tcpip"], rng)])
            key(hklm + r"\SYSTEM\ControlSet001\Services\Svc%d\Parameters" % n,
                [("Blob", "hex", bytes(rng.getrandbits(8) for _ in range(40)), rng)])
        elif shape == 4:
            key(hklm + r"\SYSTEM\ControlSet001\Enum\USB\VID_%04X&PID_%04X\%d" % (
                rng.getrandbits(16), rng.getrandbits(16), n),
                [("HardwareID", "multi", ["USB\\VID_1234&PID_%04X" % (n & 0xFFFF)], rng),
                 ("Class", "sz", "Image", rng), ("ConfigFlags", "dword", 0, rng)])
        else:
            key(r"HKEY_USERS\S-1-5-21-1085031214-1563985344-725345543-1003\Software\Vendor%d\App"
                % (n % 500) + r"\Settings%d" % n,
                [("Path", "sz", r"C:\Documents and Settings\Owner\My Documents\f%d" % n, rng),
                 ("Window", "hex", bytes(rng.getrandbits(8) for _ in range(16)), rng),
                 ("Quote \"it\"", "sz", 'say "hi" \\ bye', rng)])
    return count, "\r\n".join(lines) + "\r\n"


def listing(files, rng):
    out = [" Volume in drive C has no label.", " Volume Serial Number is 1234-ABCD", ""]
    total_files = total_bytes = total_dirs = 0
    made = 0
    folder = 0
    free = "12,345,678,912"
    while made < files:
        folder += 1
        path = "C:\\Program Files\\Vendor %d\\App %d\\Part %d" % (folder % 97, folder % 389, folder)
        out += [" Directory of " + path, ""]
        out.append("10/05/2003  09:20 AM    <DIR>          .")
        out.append("10/05/2003  09:20 AM    <DIR>          ..")
        n = min(rng.randrange(5, 41), files - made)
        section = 0
        for i in range(n):
            size = rng.randrange(0, 5_000_000)
            section += size
            out.append("03/01/2004  11:02 PM %17s file %d of %d.dll" % ("{:,}".format(size), i, folder))
        out.append("%16d File(s) %14s bytes" % (n, "{:,}".format(section)))
        out.append("%16d Dir(s)  %s bytes free" % (2, free))
        out.append("")
        made += n
        total_files += n
        total_bytes += section
        total_dirs += 2
    out += ["     Total Files Listed:",
            "%16d File(s) %14s bytes" % (total_files, "{:,}".format(total_bytes)),
            "%16d Dir(s)  %s bytes free" % (total_dirs, free)]
    return "\r\n".join(out) + "\r\n"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("outdir")
    ap.add_argument("--keys", type=int, default=200000)
    ap.add_argument("--files", type=int, default=100000)
    ap.add_argument("--unicode", action="store_true")
    args = ap.parse_args()
    rng = random.Random(14)
    os.makedirs(args.outdir, exist_ok=True)
    count, text = registry(args.keys, rng)
    if args.unicode:
        data = b"\xff\xfe" + ("Windows Registry Editor Version 5.00\r\n\r\n" + text).encode("utf-16-le")
    else:
        data = ("REGEDIT4\r\n\r\n" + text).encode("cp1252")
    with open(os.path.join(args.outdir, "export.reg"), "wb") as f:
        f.write(data)
    with open(os.path.join(args.outdir, "dir.txt"), "wb") as f:
        f.write(listing(args.files, rng).encode("cp1252"))
    print("%s: %d keys, %d files" % (args.outdir, count, args.files))


if __name__ == "__main__":
    main()
