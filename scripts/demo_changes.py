#!/usr/bin/env python3
"""Tells, one readable line an item, what a run of vtsim changed on a machine
image: registry keys and values, files and folders, the printing system,
services, devices, installer packages and OEM INF files, and what is left for
the next start of Windows.

    demo_changes.py run BEFORE AFTER       what a scrub changed
    demo_changes.py restart BEFORE AFTER   what a restart changed (shorter)

BEFORE and AFTER are image folders (machine.json, registry.reg, drives/)."""
import json
import os
import re
import sys


def read_registry(image):
    """{key: {value name: data text}} of a REGEDIT4 file; key order kept."""
    path = os.path.join(image, "registry.reg")
    keys = {}
    if not os.path.exists(path):
        return keys
    raw = open(path, "rb").read()
    if raw.startswith(b"\xff\xfe"):
        text = raw[2:].decode("utf-16-le")
    else:
        text = raw.decode("cp1252")
    text = re.sub(r"\\\r?\n\s*", "", text)  # hex data continued on the next line
    current = None
    for line in text.splitlines():
        if line.startswith("[") and line.endswith("]"):
            current = keys.setdefault(line[1:-1], {})
        elif current is not None and "=" in line:
            name, data = split_value(line)
            current[name] = data
    return keys


def split_value(line):
    """'"name"=data' or '@=data' -> (name, data); the name may hold \\" and =."""
    if line.startswith("@="):
        return "(default)", line[2:]
    m = re.match(r'^"((?:[^"\\]|\\.)*)"=(.*)$', line)
    if not m:
        return line, ""
    return m.group(1).replace('\\"', '"').replace("\\\\", "\\"), m.group(2)


def multi_sz(data):
    """Texts of a hex(7): REG_MULTI_SZ value."""
    if not data.startswith("hex(7):"):
        return [data]
    body = bytes(int(b, 16) for b in data[7:].split(",") if b.strip())
    # Each text ends in a zero and the list in one more; texts may be empty
    # (a pending rename with an empty target is a deletion).
    texts = body.split(b"\0")
    for _ in range(2):
        if texts and texts[-1] == b"":
            texts.pop()
    return [t.decode("cp1252") for t in texts]


def short_hive(key):
    return key.replace("HKEY_LOCAL_MACHINE", "HKLM").replace("HKEY_USERS", "HKU")


def registry_lines(before, after):
    lines = []
    upper_after = {k.upper() for k in after}
    gone = [k for k in before if k.upper() not in upper_after]
    gone_upper = {k.upper() for k in gone}
    for key in gone:
        parent = key.rsplit("\\", 1)[0].upper()
        if parent in gone_upper:
            continue  # told with its parent
        below = sum(1 for k in gone if k.upper().startswith(key.upper() + "\\"))
        more = " (and %d subkey%s)" % (below, "" if below == 1 else "s") if below else ""
        lines.append("- key   %s%s" % (short_hive(key), more))
    after_by_upper = {k.upper(): k for k in after}
    for key, values in before.items():
        now = after.get(after_by_upper.get(key.upper(), ""), None)
        if now is None:
            continue
        for name, data in values.items():
            if name not in now:
                lines.append("- value %s : %s (was %s)" % (short_hive(key), name, data))
            elif now[name] != data:
                lines.append("~ value %s : %s  %s -> %s" % (short_hive(key), name, data, now[name]))
    before_upper = {k.upper(): k for k in before}
    for key, values in after.items():
        old = before.get(before_upper.get(key.upper(), ""), None)
        if old is None:
            lines.append("+ key   %s" % short_hive(key))
            old = {}
        for name, data in values.items():
            if name not in old:
                lines.append("+ value %s : %s = %s" % (short_hive(key), name, data))
    return lines


def listing(image):
    """Windows paths of every file and folder below drives/ (folders end in \\)."""
    root = os.path.join(image, "drives")
    out = set()
    for top, dirs, files in os.walk(root):
        rel = os.path.relpath(top, root)
        drive, _, rest = rel.partition(os.sep)
        if rel == ".":
            continue
        base = drive + ":\\" + rest.replace(os.sep, "\\")
        if rest:
            out.add(base + "\\")
        for f in files:
            out.add(base.rstrip("\\") + "\\" + f)
    return out


def is_inf(path):
    return re.search(r"\\inf\\oem[^\\]*\.(inf|pnf)$", path, re.I) is not None


def file_lines(before, after, with_inf):
    old, new = listing(before), listing(after)
    pick = (lambda p: is_inf(p)) if with_inf else (lambda p: not is_inf(p))
    lines = ["- " + p for p in sorted(old - new, key=str.upper) if pick(p)]
    lines += ["+ " + p for p in sorted(new - old, key=str.upper) if pick(p)]
    return lines


def machine(image):
    return json.load(open(os.path.join(image, "machine.json"), encoding="utf-8"))


# machine.json lists, each with what names one entry and how it reads.
MACHINE_LISTS = [
    ("installer_products", "installer package", lambda e: e["code"]),
    ("printers", "printer", lambda e: "%s (driver %s, port %s)" % (e["name"], e.get("driver"), e.get("port"))),
    ("printer_drivers", "printer driver", lambda e: "%s [%s]" % (e["name"], e.get("environment", ""))),
    ("ports", "port", lambda e: e),
    ("monitors", "monitor", lambda e: e),
    ("services", "service", lambda e: "%s (%s)" % (e["name"], e.get("state", ""))),
    ("devices", "device", lambda e: "%s %s" % (e.get("class", ""), e.get("hardware_ids", [""])[0])),
]


def machine_lines(before, after):
    old, new = machine(before), machine(after)
    lines = []
    for field, what, text in MACHINE_LISTS:
        was = [text(e) for e in old.get(field, [])]
        now = [text(e) for e in new.get(field, [])]
        lines += ["- %-17s %s" % (what, t) for t in was if t not in now]
        lines += ["+ %-17s %s" % (what, t) for t in now if t not in was]
    old_bin = {e.get("path") for e in old.get("recycle_bin", [])}
    for e in new.get("recycle_bin", []):
        if e.get("path") not in old_bin:
            lines.append("> %-17s %s" % ("Recycle Bin", e.get("path")))
    if new.get("restart") != old.get("restart"):
        lines.append("! %-17s %s" % ("restart asked", json.dumps(new.get("restart"))))
    return lines


def next_start_lines(image):
    """RunOnce commands, the batch they run, and pending renames."""
    reg = read_registry(image)
    lines = []
    for key, values in reg.items():
        if key.upper().endswith("\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUNONCE"):
            for name, data in values.items():
                lines.append("RunOnce %s = %s" % (name, data))
                command = data.strip('"').replace("\\\\", "\\")
                if command.upper().endswith(".BAT"):
                    lines += batch_lines(image, command)
        if key.upper().endswith("\\CONTROL\\SESSION MANAGER"):
            texts = multi_sz(values.get("PendingFileRenameOperations", ""))
            for i in range(0, len(texts) - 1, 2):
                target = texts[i + 1] or "(delete)"
                lines.append("PendingFileRenameOperations %s -> %s" % (texts[i], target))
    return lines or ["(nothing)"]


def batch_lines(image, windows_path):
    m = re.match(r"^([A-Za-z]):\\(.*)$", windows_path)
    if not m:
        return []
    host = os.path.join(image, "drives", m.group(1).upper())
    for part in m.group(2).split("\\"):
        hits = [n for n in os.listdir(host) if n.lower() == part.lower()] if os.path.isdir(host) else []
        if not hits:
            return ["  (%s is missing)" % windows_path]
        host = os.path.join(host, hits[0])
    text = open(host, "rb").read().decode("cp1252")
    return ["  | " + l for l in text.splitlines() if l.strip() and not l.upper().startswith("REM")]


def section(title, lines):
    print()
    print("== " + title)
    for line in lines or ["(nothing)"]:
        print(line)


def main(argv):
    if len(argv) != 4 or argv[1] not in ("run", "restart"):
        sys.stderr.write(__doc__)
        return 2
    before, after = argv[2], argv[3]
    regs = registry_lines(read_registry(before), read_registry(after))
    if argv[1] == "restart":
        section("registry at the restart", regs)
        section("files and folders at the restart", file_lines(before, after, False))
        return 0
    section("registry keys and values removed (+ added, ~ changed)", regs)
    section("files and folders removed (+ added)", file_lines(before, after, False))
    section("printing system, services, devices and installer packages removed",
            machine_lines(before, after))
    section("OEM INF files removed", file_lines(before, after, True))
    section("left for the next start of Windows", next_start_lines(after))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
