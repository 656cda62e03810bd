#!/usr/bin/env bash
# Checks that machine images (samples/xp, samples/98, scenario images) are
# well formed before vtsim or a test relies on them:
#   check_sample.sh [--vtsim VTSIM] IMAGE_DIR...
# First `vtsim check` loads each image as a run would (VTSIM: the vtsim
# program, else vtsim on PATH); then the checks below look at what the loader
# does not: the DAT lists, CR LF line ends, key order, the program folder.
# Exit 0 when every image passes; otherwise one line per problem on stderr
# and exit 1.
set -u
vtsim=
if [ "${1:-}" = "--vtsim" ]; then
  vtsim=${2:-}
  shift 2 || true
fi
if [ $# -eq 0 ]; then
  echo "usage: $0 [--vtsim VTSIM] IMAGE_DIR..." >&2
  exit 2
fi
if [ -z "$vtsim" ]; then
  vtsim=$(command -v vtsim) || { echo "$0: no vtsim on PATH; give --vtsim VTSIM" >&2; exit 2; }
fi
loaded=0
"$vtsim" check "$@" > /dev/null || loaded=1
python3 - "$@" <<'PY' || loaded=1
import json, os, re, sys

problems = []

def bad(image, what):
    problems.append("%s: %s" % (image, what))

def host_path(image, win_path):
    """C:\\a\\b -> IMAGE/drives/C/a/b, matching names without case."""
    m = re.match(r"^([A-Za-z]):\\?(.*)$", win_path)
    if not m:
        return None
    cur = os.path.join(image, "drives", m.group(1).upper())
    for part in [p for p in m.group(2).split("\\") if p]:
        if not os.path.isdir(cur):
            return None
        hits = [n for n in os.listdir(cur) if n.lower() == part.lower()]
        if not hits:
            return None
        cur = os.path.join(cur, hits[0])
    return cur

def crlf_only(data):
    return b"\n" not in data.replace(b"\r\n", b"")

def data_lines(data):
    """Entries of a DAT list as the reader sees them (before prefixes)."""
    out = []
    for raw in data.decode("cp1252").split("\r\n"):
        line = raw.strip(" \t\r\n\v\f")
        if line and not line.startswith(";"):
            out.append(line)
    return out

def ini_sections(text):
    sections, cur = {}, None
    order = []
    for raw in text.split("\r\n"):
        line = raw.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            cur = line[1:-1].strip()
            if cur.lower() in (s.lower() for s in sections):
                cur = None  # the profile API reads the first one only
                continue
            sections[cur] = {}
            order.append(cur)
        elif cur is not None and "=" in line:
            k, v = line.split("=", 1)
            sections[cur].setdefault(k.strip().lower(), v.strip())
    return sections, order

def version_ok(first_line):
    for word, start in (("Version", 8), ("version", 8), ("VERSION", 8),
                        ("Ver", 3), ("ver", 3), ("VER", 3)):
        if word in first_line:
            m = re.match(r"[^0-9]*([0-9.]*)", first_line[start:128])
            return m is not None and m.group(1) == "2.03"
    return False

SUFFIXES = ["95 Files", "98 Files", "ME Files", "NT4 Files", "2000 Files", "XP Files"]
COMMON_KEYS = ["numswvers", "ocrval", "testkey", "devidname", "devidfax", "numpnpids",
               "knownclasses", "monitors", "services", "nummsis", "nummagickeys"]
NUMBERED = [("numswvers", "swvertext"), ("numpnpids", "pnp"),
            ("nummsis", "msipack"), ("nummagickeys", "magickey")]
HIVES = ("HKLM", "HKCR", "HKCC", "HKCU", "HKPD", "HKDD", "HKUS")

def check_registry_list(image, name, lines):
    i = 0
    while i < len(lines):
        e = lines[i]
        body = e[1:] if e[0] in "-*" else e
        if body[:4].upper() not in HIVES or len(body) <= 5:
            bad(image, "%s: entry %d is no registry line: %s" % (name, i, e))
            i += 1
            continue
        pair = e[0] in "-*" or body.endswith("\\")
        if e[0] == "-" and not body.endswith("\\"):
            bad(image, "%s: counter key must end in a backslash: %s" % (name, e))
        if pair:
            if i + 1 >= len(lines):
                bad(image, "%s: last entry lacks its second line: %s" % (name, e))
            elif e[0] == "*" and "=" not in lines[i + 1]:
                bad(image, "%s: variable key needs name=data: %s" % (name, lines[i + 1]))
            i += 2
        else:
            i += 1

def check_files_list(image, name, lines):
    if not any(l.startswith("@") for l in lines):
        bad(image, "%s: no '@' line (the demo needs one before directories are found)" % name)
    if not any(re.match(r"^[A-Za-z]:\\", l) for l in lines):
        bad(image, "%s: no unprefixed full-path line" % name)

ROOTS = ["HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_PERFORMANCE_DATA", "HKEY_DYN_DATA"]

def check_key_order(image, data):
    """Keys stand in the order the simulator writes them (parents first,
    subkeys sorted without case, HKLM before HKU), so that the diff of an
    image after a run shows only what the run changed."""
    prev, seen = None, set()
    for raw in data.decode("cp1252", "replace").split("\r\n"):
        if not (raw.startswith("[") and raw.endswith("]")):
            continue
        parts = raw[1:-1].split("\\")
        if parts[0].upper() not in ROOTS:
            bad(image, "registry.reg: unknown hive in [%s]" % raw[1:-1])
            return
        key = [ROOTS.index(parts[0].upper())] + [p.upper() for p in parts[1:]]
        parent = tuple(key[:-1])
        if len(key) > 2 and parent not in seen:
            bad(image, "registry.reg: [%s] comes before its parent key" % raw[1:-1])
        if prev is not None and key <= prev:
            bad(image, "registry.reg: [%s] is out of order or repeated" % raw[1:-1])
        seen.add(tuple(key))
        prev = key

def check_image(image):
    """Reports the image's problems; returns the host folder of its program
    (directories.current), or None."""
    mj = os.path.join(image, "machine.json")
    try:
        machine = json.load(open(mj, encoding="utf-8"))
    except Exception as e:  # noqa: BLE001 - any parse error is the finding
        bad(image, "machine.json: %s" % e)
        return
    dirs = machine.get("directories", {})
    for key, path in dirs.items():
        if path is not None and host_path(image, path.rstrip("\\")) is None:
            bad(image, "directories.%s does not exist: %s" % (key, path))
    temp = dirs.get("temp")
    tp = host_path(image, temp.rstrip("\\")) if temp else None
    if not temp or not temp.endswith("\\"):
        bad(image, "directories.temp must end in a backslash")
    elif tp and not os.listdir(tp):
        bad(image, "the temporary folder holds no file (git would drop it)")
    for path in machine.get("files", {}):
        if host_path(image, path) is None:
            bad(image, "files: no such file %s" % path)

    reg = os.path.join(image, "registry.reg")
    data = open(reg, "rb").read()
    if not data.startswith(b"REGEDIT4\r\n"):
        bad(image, "registry.reg must begin with REGEDIT4 and CR LF")
    if not crlf_only(data):
        bad(image, "registry.reg has a line end other than CR LF")
    check_key_order(image, data)

    for root, subdirs, files in os.walk(os.path.join(image, "drives")):
        names = [n.lower() for n in subdirs + files]
        if len(names) != len(set(names)):
            bad(image, "%s: two names differ only in case" % root)

    if not os.path.isfile(os.path.join(image, "script.txt")):
        bad(image, "script.txt is missing")

    cur = host_path(image, dirs.get("current") or "")
    if cur is not None:
        check_program_folder(image, dirs, cur)
    return cur

def check_program_folder(image, dirs, cur):
    """The control file, its DAT lists and the RTF texts beside the program."""
    ini_path = os.path.join(cur, "VtCvScrubber.ini")
    if not os.path.isfile(ini_path):
        bad(image, "VtCvScrubber.ini is missing")
        return
    raw = open(ini_path, "rb").read()
    if not crlf_only(raw):
        bad(image, "VtCvScrubber.ini has a line end other than CR LF")
    text = raw.decode("cp1252")
    if not version_ok(text.split("\r\n", 1)[0]):
        bad(image, "VtCvScrubber.ini: first line does not carry version 2.03")
    sections, order = ini_sections(text)
    devices = []
    for s in order:
        if " -- " not in s or s.upper().endswith(" -- COMMON"):
            continue
        dev, suffix = s.rsplit(" -- ", 1)
        if dev not in devices:
            devices.append(dev)
        if suffix not in SUFFIXES:
            bad(image, "[%s]: unknown suffix" % s)
    lists = {}
    for dev in devices:
        for suffix in SUFFIXES:
            sec = sections.get("%s -- %s" % (dev, suffix))
            if sec is None:
                bad(image, "missing section [%s -- %s]" % (dev, suffix))
                continue
            for key in ("filespath", "regpath", "defaultvtdir", "defaultocrdir"):
                if key not in sec:
                    bad(image, "[%s -- %s] lacks %s" % (dev, suffix, key))
            for key in ("filespath", "regpath"):
                if sec.get(key):
                    lists[sec[key]] = key
        common = sections.get(dev.split(",")[0] + " -- Common")
        if common is None:
            bad(image, "missing common section of %s" % dev)
            continue
        for key in COMMON_KEYS:
            if key not in common:
                bad(image, "common section of %s lacks %s" % (dev, key))
        for count, base in NUMBERED:
            n = int(common.get(count, "0") or "0")
            for i in range(1, n + 1):
                if base + str(i) not in common:
                    bad(image, "common section of %s lacks %s%d" % (dev, base, i))
    for name, kind in sorted(lists.items()):
        p = host_path(image, dirs["current"] + "\\" + name)
        if p is None:
            bad(image, "DAT list %s is missing" % name)
            continue
        data = open(p, "rb").read()
        if not crlf_only(data):
            bad(image, "%s has a line end other than CR LF" % name)
        lines = data_lines(data)
        if not lines:
            bad(image, "%s has no entry" % name)
        elif kind == "regpath":
            check_registry_list(image, name, lines)
        else:
            check_files_list(image, name, lines)
    for n in (1, 2, 3):
        p = host_path(image, dirs["current"] + "\\VtCvScrubber%d.RTF" % n)
        if p is None or not open(p, "rb").read().startswith(b"{\\rtf1"):
            bad(image, "VtCvScrubber%d.RTF is missing or no RTF" % n)

program_folders = {}
for image in sys.argv[1:]:
    if not os.path.isdir(image):
        bad(image, "no such folder")
        continue
    cur = check_image(image)
    if cur is not None:
        program_folders[image] = {
            n.lower(): open(os.path.join(cur, n), "rb").read()
            for n in os.listdir(cur) if os.path.isfile(os.path.join(cur, n))}

# Images checked together ship the same control file, DAT lists and texts.
folders = list(program_folders.items())
if folders:
    first, ref = folders[0]
    for image, files in folders[1:]:
        for name in sorted(set(ref) | set(files)):
            if ref.get(name) != files.get(name):
                bad(image, "program folder file %s differs from %s" % (name, first))
for p in problems:
    print(p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY
exit $loaded
