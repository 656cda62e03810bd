#!/usr/bin/env python3
"""Checks `vtsim preview` against what a real run and restart do.

    preview_test.py VTSIM SOURCE_DIR GROUP

GROUP samples:   for every sample, the preview's items (--json) equal, item for
                 item, what `vtsim run` + `vtsim reboot` on another copy remove,
                 computed here from the image folders; the image stays byte for
                 byte as it was and nothing lands beside it.
GROUP text:      the readable preview of samples/xp equals its golden file, tells
                 the same counts as --json, and the default answers preview
                 what the sample's script does.
GROUP refusals:  a files list with a drive root: the refusal is listed.
GROUP errors:    bad arguments and images exit 2 and leave nothing behind.
GROUP journal:   --journal switches the undo journal on in the copy only and
                 shows what it would hold: a backup of every key, value and
                 file the preview says the scrub removes."""
import hashlib
import importlib.util
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

VTSIM, SOURCE, GROUP = sys.argv[1], sys.argv[2], sys.argv[3]
spec = importlib.util.spec_from_file_location(
    "demo_changes", os.path.join(SOURCE, "scripts", "demo_changes.py"))
demo = importlib.util.module_from_spec(spec)
spec.loader.exec_module(demo)
FAILURES = []


def check(ok, what):
    if not ok:
        FAILURES.append(what)
        print("FAIL: " + what)


def vtsim(*args, cwd=None, tmp=None):
    env = dict(os.environ, TMPDIR=tmp) if tmp else None
    return subprocess.run([VTSIM] + list(args), capture_output=True, cwd=cwd, env=env)


def fingerprint(folder):
    """Every file's bytes (hashed) and every folder, below `folder`."""
    out = {}
    for top, dirs, files in os.walk(folder):
        for d in dirs:
            out[os.path.relpath(os.path.join(top, d), folder) + "/"] = ""
        for f in files:
            p = os.path.join(top, f)
            out[os.path.relpath(p, folder)] = hashlib.sha256(open(p, "rb").read()).hexdigest()
    return out


def upper_set(items):
    return sorted(i.upper() for i in items)


def dword(data):
    return int(data[6:], 16) if data.startswith("dword:") else None


def is_shared(key):
    return key.upper().endswith("\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\SHAREDDLLS")


def expected_registry(before, after):
    """Removed keys, removed values, shared counters and other changed values."""
    after_upper = {k.upper(): k for k in after}
    keys, values, counters, changed = [], [], [], []
    for key, vals in before.items():
        now = after_upper.get(key.upper())
        if now is None:
            keys.append(demo.short_hive(key))
            continue
        for name, data in vals.items():
            if name not in after[now]:
                values.append((demo.short_hive(key), name))
            elif after[now][name] != data:
                if is_shared(key) and dword(data) is not None and dword(after[now][name]) is not None:
                    counters.append((name, dword(data), dword(after[now][name])))
                else:
                    changed.append((demo.short_hive(key), name))
    return keys, values, counters, changed


def machine_names(image):
    m = demo.machine(image)
    name = lambda e: e if isinstance(e, str) else e.get("name")
    return {
        "printers": [e["name"] for e in m.get("printers", [])],
        "printer_drivers": [e["name"] for e in m.get("printer_drivers", [])],
        "ports": [name(e) for e in m.get("ports", [])],
        "monitors": [name(e) for e in m.get("monitors", [])],
        "services": [e["name"] for e in m.get("services", [])],
        "devices": [e.get("hardware_ids", [""])[0] for e in m.get("devices", [])],
        "installer_products": [e["code"] for e in m.get("installer_products", [])],
    }


def preview_names(field, items):
    """The entry names inside the preview's readable items."""
    if field in ("printers",):
        return [re.sub(r" \(driver .*\)$", "", i) for i in items]
    if field == "printer_drivers":
        return [re.sub(r" \[.*\]$", "", i) for i in items]
    if field == "devices":
        return [i.split(" ", 1)[1] if " " in i else i for i in items]
    return items


def compare_sample(name, work):
    sample = os.path.join(SOURCE, "samples", name)
    script = os.path.join(sample, "script.txt")
    image = os.path.join(work, "image")
    shutil.copytree(sample, image)
    print_before, beside_before = fingerprint(image), sorted(os.listdir(work))
    result = vtsim("preview", image, "--script", script, "--json")
    check(result.returncode == 0, "%s: preview exit %d: %s" % (name, result.returncode, result.stderr))
    check(fingerprint(image) == print_before, "%s: the preview changed the image" % name)
    check(sorted(os.listdir(work)) == beside_before, "%s: the preview left files beside the image" % name)
    preview = json.loads(result.stdout)

    # The real thing, on another copy: the run, a look at it, the restart.
    real = os.path.join(work, "real")
    run = vtsim("run", image, "--output", real, "--script", script)
    check(run.returncode == preview["exit_code"], "%s: exit %d, preview said %d"
          % (name, run.returncode, preview["exit_code"]))
    mid = os.path.join(work, "mid")
    shutil.copytree(real, mid)
    check(vtsim("reboot", real).returncode == 0, "%s: reboot failed" % name)

    before, after = demo.read_registry(image), demo.read_registry(real)
    keys, values, counters, changed = expected_registry(before, after)
    reg = preview["registry"]
    check(upper_set(reg["keys_removed"]) == upper_set(keys), "%s: removed keys differ" % name)
    check(sorted((v["key"].upper(), v["name"]) for v in reg["values_removed"])
          == sorted((k.upper(), n) for k, n in values), "%s: removed values differ" % name)
    check(sorted((c["file"], c["old"], c["new"]) for c in reg["shared_dll_counters"])
          == sorted(counters), "%s: shared counters differ" % name)
    check(sorted((v["key"].upper(), v["name"]) for v in reg["values_changed"])
          == sorted((k.upper(), n) for k, n in changed), "%s: changed values differ" % name)

    old, now, final = demo.listing(image), demo.listing(mid), demo.listing(real)
    plain = lambda paths: [p for p in paths if not demo.is_inf(p)]
    files = preview["files"]
    check(upper_set(files["deleted_now"]) == upper_set(plain(old - now - final)),
          "%s: files deleted now differ" % name)
    check(upper_set(files["deleted_at_restart"]) == upper_set(plain((old & now) - final)),
          "%s: files deleted at the restart differ" % name)
    check(upper_set(preview["oem_inf_files"])
          == upper_set(p for p in old - final if demo.is_inf(p)), "%s: INF files differ" % name)
    for p in files["left_at_restart"]:
        check(p.upper() in {f.upper().rstrip("\\") for f in final},
              "%s: %s said left but is gone" % (name, p))

    was, left = machine_names(image), machine_names(real)
    for field in was:
        gone = [n for n in was[field] if n not in left[field]]
        check(preview_names(field, preview[field]) == gone, "%s: %s differ: %s vs %s"
              % (name, field, preview[field], gone))
    check(preview["refused"] == real_refusals(image, mid),
          "%s: refusals differ: %s" % (name, preview["refused"]))
    return preview


REFUSAL = re.compile(r"^(>>> Skipped unsafe path|>>> Bad line from registry|Data error: unrec"
                     r"|>>> A Plug-and-Play string must not|>>> \(Internal error\)"
                     r"|>>> Unable to get access rights|>>> Not scheduled for deletion)")


def real_refusals(before, after):
    """The refusal entries the run added to its run log (continuations joined)."""
    out = []
    for path in sorted(demo.listing(after)):
        if not path.upper().endswith("\\VTCVSCRUBBER.LOG"):
            continue
        host = lambda image: os.path.join(image, "drives", path[0], *path[3:].split("\\"))
        old = open(host(before), "rb").read() if os.path.exists(host(before)) else b""
        text = open(host(after), "rb").read()[len(old):].decode("cp1252")
        entry = False
        for line in text.split("\r\n"):
            if entry and line.startswith("\t"):
                if line.strip():
                    out[-1] += " " + line.strip()
                continue
            entry = REFUSAL.match(line) is not None
            if entry:
                out.append(line.strip())
    return out


def group_samples(work):
    names = sorted(n for n in os.listdir(os.path.join(SOURCE, "samples"))
                   if os.path.isdir(os.path.join(SOURCE, "samples", n)))
    check(len(names) >= 8, "samples missing")
    for name in names:
        folder = os.path.join(work, name)
        os.mkdir(folder)
        preview = compare_sample(name, folder)
        if name == "xp":
            # The sample scrubs something of every kind: an empty list would
            # make the comparison above prove nothing.
            for field in ("printers", "ports", "monitors", "services", "devices",
                          "installer_products", "oem_inf_files"):
                check(preview[field], "xp: nothing in %s" % field)
            check(preview["registry"]["shared_dll_counters"], "xp: no shared counter")
            check(preview["files"]["deleted_at_restart"], "xp: nothing at the restart")


def text_counts(text):
    return {m.group(1): int(m.group(2) or 0)
            for m in re.finditer(r"^(\S.*?)(?: \((\d+)\):|: none)$", text, re.M)}


def group_text(work):
    script = os.path.join("samples", "xp", "script.txt")
    result = vtsim("preview", "samples/xp", "--script", script, cwd=SOURCE)
    check(result.returncode == 0, "text: exit %d" % result.returncode)
    text = result.stdout.decode("utf-8")
    golden_path = os.path.join(SOURCE, "tests", "vtsim_preview", "xp_preview.txt")
    golden = open(golden_path, encoding="utf-8").read()
    check(text == golden, "text: differs from %s:\n%s" % (golden_path, text))

    data = json.loads(vtsim("preview", "samples/xp", "--script", script, "--json",
                            cwd=SOURCE).stdout)
    counts = text_counts(text)
    pairs = {
        "Registry keys removed": data["registry"]["keys_removed"],
        "Registry values removed": data["registry"]["values_removed"],
        "Shared-DLL counters decremented": data["registry"]["shared_dll_counters"],
        "Files and folders deleted now": data["files"]["deleted_now"],
        "Deleted at the next start (done by the simulated restart)": data["files"]["deleted_at_restart"],
        "Printers removed": data["printers"],
        "Services removed": data["services"],
        "Devices removed": data["devices"],
        "OEM INF files removed": data["oem_inf_files"],
        "Refused by the safety rules (from the run log)": data["refused"],
    }
    for title, items in pairs.items():
        check(counts.get(title) == len(items), "text: %s tells %s, JSON %d"
              % (title, counts.get(title), len(items)))

    default = vtsim("preview", "samples/xp", cwd=SOURCE)
    check(default.returncode == 0 and default.stdout.decode("utf-8") == text,
          "text: the default answers preview another scrub than the script")


def group_refusals(work):
    image = os.path.join(work, "image")
    shutil.copytree(os.path.join(SOURCE, "samples", "xp"), image)
    dat = os.path.join(image, "drives", "C", "Scrubber", "Trx5100Pd110FilesNT.dat")
    with open(dat, "ab") as f:
        f.write(b">C:\\\r\n")
    result = vtsim("preview", image, "--json")
    check(result.returncode == 0, "refusals: exit %d" % result.returncode)
    refused = json.loads(result.stdout)["refused"]
    check(refused == [">>> Skipped unsafe path 'C:\\'"], "refusals: %s" % refused)
    # A run log an earlier run left is not read again.
    log = os.path.join(image, "drives", "C", "WINDOWS", "TEMP", "VtCvScrubber.log")
    with open(log, "wb") as f:
        f.write(b">>> Skipped unsafe path 'D:\\'\r\n")
    refused = json.loads(vtsim("preview", image, "--json").stdout)["refused"]
    check(refused == [">>> Skipped unsafe path 'C:\\'"], "refusals after an old log: %s" % refused)


def group_errors(work):
    # The previews' own temporary folder, so that other tests' previews do not
    # show up in it.
    tmp = os.path.join(work, "tmp")
    os.mkdir(tmp)
    for args in ([], ["samples/xp", "--jsn"], ["samples/xp", "--script"], ["a", "b"],
                 [os.path.join(work, "missing")],
                 ["samples/xp", "--script", os.path.join(work, "missing.txt")]):
        result = vtsim("preview", *args, cwd=SOURCE, tmp=tmp)
        check(result.returncode == 2 and result.stderr.startswith(b"vtsim: "),
              "errors: %s exit %d %s" % (args, result.returncode, result.stderr))
    # A script that runs out: exit 3, as vtsim run.
    script = os.path.join(work, "short.txt")
    open(script, "w").write("press Uninstall\n")
    check(vtsim("preview", "samples/xp", "--script", script, cwd=SOURCE, tmp=tmp).returncode == 3,
          "errors: a short script")
    check(os.listdir(tmp) == [], "errors: scratch folders left: %s" % os.listdir(tmp))
    # A finished preview leaves nothing in it either.
    check(vtsim("preview", "samples/xp", cwd=SOURCE, tmp=tmp).returncode == 0, "errors: a preview")
    check(os.listdir(tmp) == [], "errors: scratch folders left: %s" % os.listdir(tmp))


def group_journal(work):
    image = os.path.join(work, "xp")
    shutil.copytree(os.path.join(SOURCE, "samples", "xp"), image)
    before = fingerprint(image)
    plain = json.loads(vtsim("preview", image, "--json").stdout)
    check(plain["journal"] is None, "journal: shown without --journal: %s" % plain["journal"])
    result = vtsim("preview", image, "--json", "--journal")
    check(result.returncode == 0, "journal: exit %d %s" % (result.returncode, result.stderr))
    data = json.loads(result.stdout)
    check(fingerprint(image) == before, "journal: the image changed")
    journal = data["journal"] or {}
    check(journal.get("folder") == "C:\\WINDOWS\\TEMP\\VtUndo.001",
          "journal: folder %s" % journal.get("folder"))
    # Nothing the scrub removes is left out of the backup, except what the
    # installer package's own uninstall removes (the journal records the
    # package as not restorable) and what went to the Recycle Bin.
    def norm(path):
        # One backslash between names; the current control set by one name.
        path = re.sub(r"\\\\+", r"\\", path).upper()
        return re.sub(r"\\SYSTEM\\(CURRENTCONTROLSET|CONTROLSET\d\d\d)", r"\\SYSTEM\\CCS", path)
    machine = json.load(open(os.path.join(image, "machine.json")))
    by_package = set()
    for product in machine.get("installer_products", []):
        by_package |= {norm(r) for r in product.get("removes", [])}
        by_package.add(norm("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                            + product["code"]))
    recycled = {f.rsplit("\\", 1)[-1].upper() for f in data["added"]["files"]
                if "\\RECYCLER\\" in f.upper()}
    backed_up = {norm(f[:f.rindex(" (")]) for f in journal.get("files", [])}
    removed_files = [f for f in data["files"]["deleted_now"] + data["files"]["deleted_at_restart"]
                     if not f.endswith("\\")]
    missing = [f for f in removed_files if norm(f) not in backed_up and norm(f) not in by_package
               and f.rsplit("\\", 1)[-1].upper() not in recycled]
    check(not missing, "journal: removed files without a backup: %s" % missing[:5])
    check(len(backed_up) >= 20, "journal: only %d files backed up" % len(backed_up))
    short = {"HKEY_LOCAL_MACHINE": "HKLM", "HKEY_USERS": "HKU",
             "HKEY_CLASSES_ROOT": "HKLM\\SOFTWARE\\CLASSES"}
    def snapshot_name(key):
        hive, _, rest = key.partition("\\")
        hive = short.get(hive.upper(), hive.upper())
        return norm(hive + ("\\" + rest if rest else ""))
    backed_keys = {snapshot_name(k[:k.rindex(" (")]) for k in journal.get("registry", [])}
    def covered(key):
        key = norm(key)
        return key in backed_keys or any(key == p or key.startswith(p + "\\") for p in by_package)
    # HKCU is a view of a key under HKU: those are matched by their tail.
    hkcu = [k[len("HKEY_CURRENT_USER"):].upper() for k in journal.get("registry", [])
            if k.upper().startswith("HKEY_CURRENT_USER")]
    missing = [k for k in data["registry"]["keys_removed"] if not covered(k)
               and not any(norm(k).endswith(t[:t.rindex(" (")]) for t in hkcu)]
    check(not missing, "journal: removed keys without a backup: %s" % missing[:5])
    text = vtsim("preview", image, "--journal").stdout.decode("utf-8")
    check("Undo journal C:\\WINDOWS\\TEMP\\VtUndo.001 would hold:" in text,
          "journal: text does not show the journal")


def main():
    groups = {"samples": group_samples, "text": group_text, "refusals": group_refusals,
              "errors": group_errors, "journal": group_journal}
    with tempfile.TemporaryDirectory() as work:
        groups[GROUP](work)
    print("%s: %s" % (GROUP, "FAILED" if FAILURES else "ok"))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
