#!/usr/bin/env python3
"""Writes a large synthetic PC as a machine image that `vtsim run` accepts.

    make_big_pc.py OUT [--scale N] [--seed S] [--base IMAGE]

The base image (default samples/xp) gives the device, its control file and its
answers (script.txt); on top of it come, times N:

- 200,000 registry keys (about 20 MB of registry.reg), 20,000 of them named by
  the device's registry list through every kind of entry (keys, values,
  shared counters, keys found by a value, Plug-and-Play tags);
- a files list of 20,000 entries (files, and a sweep of every fourth folder),
  a tenth of its files in use by another process (machine.json `files`);
- 2,000 OEM INF files (a tenth of them UTF-16) of 1 to 16 KB, the device's two
  texts in the two that come last in a listing, so every search reads them all;
- 50 printers with their drivers and ports, 100 services and 200 devices.

The same seed and scale give the same bytes. OUT must be absent or empty.
"""
import argparse
import json
import os
import random
import shutil
import sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Per scale 1.
KEYS = 200_000
REG_ENTRIES = 20_000
FILE_ENTRIES = 20_000
INF_FILES = 2_000
PRINTERS = 50
SERVICES = 100
DEVICES = 200
FILES_PER_DIR = 100

# The device of samples/xp, chosen by its script.
REG_LIST = "Trx5100RegNT.dat"
FILES_LIST = "Trx5100Pd110FilesNT.dat"
PNP_ID = "VID_04F1&PID_5100"
MAGIC_KEYS = ("VT TRX 5100 series", "VT TRX 5100 series Scanner")
SHARED = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs"
HIVES = {"HKLM": "HKEY_LOCAL_MACHINE", "HKCU": r"HKEY_USERS\.DEFAULT"}


class Registry:
    """Keys with their values as written lines, saved in the order regedit
    exports them on NT (and vtsim writes them back): depth first, subkeys
    by upper-cased name, each key with a section of its own."""

    def __init__(self):
        self.keys = {}
        self.hives = []

    def section(self, full):
        hive = full.split("\\", 1)[0].upper()
        if hive not in self.hives:
            self.hives.append(hive)
        return self.keys.setdefault(full, [])

    def key(self, path):
        hive, _, rest = path.partition("\\")
        return self.section(HIVES[hive] + "\\" + rest)

    def string(self, path, name, data):
        quoted = data.replace("\\", "\\\\").replace('"', '\\"')
        named = '"%s"' % name.replace("\\", "\\\\") if name else "@"
        self.key(path).append('%s="%s"' % (named, quoted))

    def dword(self, path, name, value):
        self.key(path).append('"%s"=dword:%08x' % (name.replace("\\", "\\\\"), value))

    def read(self, text):
        """Takes the sections of an exported file (its own lines kept)."""
        values = None
        for line in text.split("\r\n")[1:]:
            if line.startswith("[") and line.endswith("]"):
                values = self.section(line[1:-1])
            elif line and values is not None:
                values.append(line)

    def text(self, header):
        for full in list(self.keys):
            parts = full.split("\\")
            for depth in range(2, len(parts)):
                self.keys.setdefault("\\".join(parts[:depth]), [])

        def order(full):
            parts = full.upper().split("\\")
            return (self.hives.index(parts[0]), parts[1:])

        out = [header, ""]
        for full in sorted(self.keys, key=order):
            out.append("[%s]" % full)
            out.extend(self.keys[full])
            out.append("")
        return "\r\n".join(out) + "\r\n"


def sized(base, scale):
    return max(2, int(round(base * scale)))


def guid(rng):
    h = "%032X" % rng.getrandbits(128)
    return "{%s-%s-%s-%s-%s}" % (h[:8], h[8:12], h[12:16], h[16:20], h[20:])


def registry_list(reg, entries):
    """Registry and list entries of every kind; returns the list's lines and
    the number of keys made."""
    lines = []
    made = 0
    for i in range(entries):
        key = r"HKLM\SOFTWARE\Vantrel\Bench\G%d\K%d" % (i // 64, i)
        kind = i % 5
        if kind == 0:  # a whole key with two subkeys
            reg.string(key + r"\S0", "A", "x")
            reg.string(key + r"\S1", "A", "x")
            made += 3
            lines.append(key)
        elif kind == 1:  # one value of two
            reg.string(key, "V", "x")
            reg.string(key, "W", "y")
            made += 1
            lines += [key + "\\", "V"]
        elif kind == 2:  # a shared counter: half reach zero, half stay
            dll = r"C:\Program Files\Vantrel\Bench\f%d.dll" % i
            reg.dword(SHARED, dll, 1 if (i // 5) % 2 == 0 else 3)
            lines += ["-" + SHARED + "\\", dll]
        elif kind == 3:  # a key found by one value among eight siblings
            for k in range(8):
                reg.string(key + r"\V%d" % k, "DriverDesc", "Bench device %d.%d" % (i, k))
            made += 9
            lines += ["*" + key, "DriverDesc=Bench device %d.5" % i]
        elif (i // 5) % 2 == 0:  # a Plug-and-Play tag in a key path
            reg.string(r"HKLM\SYSTEM\ControlSet001\Enum\USBPRINT\%s\Inst%d" % (PNP_ID, i),
                       "Driver", "{4D36E979-E325-11CE-BFC1-08002BE10318}\\%04d" % (i % 10000))
            made += 1
            lines.append(r"HKLM\SYSTEM\CurrentControlSet\Enum\USBPRINT\$pnp$\inst%d" % i)
        else:  # a Plug-and-Play tag in a value name
            # (a leading "$" would be the system folder to the list reader)
            reg.string(r"HKCU\Software\Vantrel\Devices", "port_%s_%d" % (PNP_ID.lower(), i), "1")
            lines += [r"HKCU\Software\Vantrel\Devices" + "\\", "port_$pnp$_%d" % i]
    return lines, made


def filler_keys(reg, rng, count):
    """Keys no list names: registered classes, two keys and three values each."""
    made = 0
    while made < count:
        clsid = r"HKLM\SOFTWARE\Classes\CLSID\%s" % guid(rng)
        reg.string(clsid, "", "Bench component %d" % made)
        made += 1
        if made < count:
            server = clsid + r"\InprocServer32"
            reg.string(server, "", r"C:\WINDOWS\system32\bench%05d.dll" % rng.randrange(100000))
            reg.string(server, "ThreadingModel", rng.choice(("Apartment", "Both", "Free")))
            made += 1


def write_files_list(image, machine, scale):
    """The files and their list entries, folders of 100; every fourth folder
    is swept (its last entry); a tenth of the files are in use."""
    lines = []
    entries = sized(FILE_ENTRIES, scale)
    root = os.path.join(image, "drives", "C", "Program Files", "Vantrel", "Bench")
    files = machine.setdefault("files", {})
    n = 0
    d = 0
    while len(lines) < entries:
        folder = os.path.join(root, "D%d" % d)
        os.makedirs(folder)
        swept = d % 4 == 3
        count = min(FILES_PER_DIR - (1 if swept else 0), entries - len(lines))
        for _ in range(count):
            name = "F%d.dat" % n
            with open(os.path.join(folder, name), "wb") as f:
                f.write(b"bench file %d\r\n" % n)
            lines.append(r"#\Bench\D%d\%s" % (d, name))
            if n % 10 == 0:
                files[r"C:\Program Files\Vantrel\Bench\D%d\%s" % (d, name)] = {"in_use": True}
            n += 1
        if swept and len(lines) < entries:
            lines.append(r">#\Bench\D%d" % d)
        d += 1
    return lines


INF_LINE = '%%Dev%d%% = Bench%d.Install, PCI\\VEN_%04X&DEV_%04X&SUBSYS_%08X\r\n'


def write_infs(image, rng, scale):
    folder = os.path.join(image, "drives", "C", "WINDOWS", "inf")
    for name in os.listdir(folder):
        if name.lower().startswith("oem"):
            os.remove(os.path.join(folder, name))
    count = sized(INF_FILES, scale)
    # In a listing (names without case, NTFS order) the two last names.
    names = sorted(("oem%d.inf" % i for i in range(count)), key=str.upper)
    planted = {names[-2]: MAGIC_KEYS[0], names[-1]: MAGIC_KEYS[1]}
    for i, name in enumerate(sorted(names, key=lambda s: int(s[3:-4]))):
        head = ('[Version]\r\nSignature="$Windows NT$"\r\nClass=Image\r\n'
                "ClassGUID={6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\r\nProvider=%%Maker%d%%\r\n\r\n"
                "[Manufacturer]\r\n%%Maker%d%%=Models\r\n\r\n[Models]\r\n" % (i, i))
        size = rng.randint(1024, 16 * 1024)
        body = []
        length = len(head)
        j = 0
        while length < size - 200:
            line = INF_LINE % (j, j, rng.randrange(65536), rng.randrange(65536),
                               rng.getrandbits(32))
            body.append(line)
            length += len(line)
            j += 1
        tail = '\r\n[Strings]\r\nMaker%d="Bench Maker %d"\r\nDev0="%s"\r\n' % (
            i, i, planted.get(name, "Bench imaging device %d" % i))
        text = head + "".join(body) + tail
        data = text.encode("cp1252")
        if name not in planted and i % 10 == 5:
            data = b"\xff\xfe" + text.encode("utf-16-le")
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
        if i % 4 == 0 or name in planted:
            with open(os.path.join(folder, name[:-3] + "pnf"), "wb") as f:
                f.write(b"PNF bench %d\r\n" % i)


def spooler_services_devices(machine, rng, scale):
    for i in range(sized(PRINTERS, scale) - len(machine.get("printers", []))):
        driver = "Bench Laser %d" % (i % 40)
        port = "IP_10.0.%d.%d" % (i // 250, i % 250 + 1)
        machine["printers"].append({"name": "Office Printer %d" % i, "driver": driver,
                                    "port": port})
        if i < 40:
            machine["printer_drivers"].append({"name": driver,
                                               "environment": "Windows NT x86"})
        machine["ports"].append(port)
    for i in range(sized(SERVICES, scale)):
        machine["services"].append({"name": "BenchSvc%d" % i,
                                    "state": rng.choice(("running", "stopped"))})
    for i in range(sized(DEVICES, scale)):
        vendor = rng.choice((0x8086, 0x10DE, 0x1002, 0x14E4, 0x046D))
        hwid = "PCI\\VEN_%04X&DEV_%04X&SUBSYS_%08X" % (vendor, i, rng.getrandbits(32))
        machine["devices"].append({"class": rng.choice(("System", "Net", "HIDClass", "USB")),
                                   "hardware_ids": [hwid + "&REV_01", hwid]})


def write_dat(path, header, lines):
    with open(path, "ab") as f:
        f.write(("\r\n; %s\r\n" % header).encode("cp1252"))
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))


def generate(out, scale, seed, base):
    if os.path.exists(out) and os.listdir(out):
        sys.exit("make_big_pc: %s is not empty" % out)
    if os.path.exists(out):
        os.rmdir(out)
    shutil.copytree(base, out)
    rng = random.Random(seed)
    with open(os.path.join(out, "machine.json"), encoding="utf-8") as f:
        machine = json.load(f)

    reg = Registry()
    with open(os.path.join(out, "registry.reg"), "rb") as f:
        base_text = f.read().decode("latin-1")
    reg.read(base_text)
    reg_lines, made = registry_list(reg, sized(REG_ENTRIES, scale))
    filler_keys(reg, rng, sized(KEYS, scale) - made)
    with open(os.path.join(out, "registry.reg"), "wb") as f:
        f.write(reg.text(base_text.split("\r\n", 1)[0]).encode("latin-1"))

    scrubber = os.path.join(out, "drives", "C", "Scrubber")
    write_dat(os.path.join(scrubber, REG_LIST), "Bench keys", reg_lines)
    write_dat(os.path.join(scrubber, FILES_LIST), "Bench files",
              write_files_list(out, machine, scale))
    write_infs(out, rng, scale)
    spooler_services_devices(machine, rng, scale)
    with open(os.path.join(out, "machine.json"), "w", encoding="utf-8") as f:
        json.dump(machine, f, indent=2, ensure_ascii=False)
        f.write("\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("--scale", type=float, default=1, help="every size times this")
    parser.add_argument("--seed", type=int, default=13)
    parser.add_argument("--base", default=os.path.join(REPO, "samples", "xp"))
    args = parser.parse_args()
    if not 0 < args.scale <= 64:
        sys.exit("make_big_pc: --scale must be above 0 and at most 64")
    generate(args.out, args.scale, args.seed, args.base)


if __name__ == "__main__":
    main()
