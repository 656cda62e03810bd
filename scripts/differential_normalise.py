#!/usr/bin/env python3
"""Normalises a transcript or run log of one side of the differential check
(vtsim or CvScrubber.exe under Wine) so that only differences of the program
or of the simulated PC remain:

    differential_normalise.py transcript|log FILE --side sim|wine
                              --image IMAGE --not-modelled FILE

Each rule is one function with its reason; both sides go through the same
rules (a rule that only matches one side's wording says so). Rules stay
narrow: they touch only what Wine cannot be, or what the dialog driver
cannot see, never a line that could carry a fault of the program.
"""
import argparse
import json
import re
import sys

# --- transcript rules -------------------------------------------------------

# Events the driver cannot see from outside the program (docs/wine.md).
INVISIBLE = ("[progress]", "[caption]", "[process]", "[help]", "[clipboard]", "[front]",
             "[restart]")


def drop_invisible_events(lines, ctx):
    """The driver cannot observe these calls of the program: vtsim alone writes them."""
    return [l for l in lines if not l.startswith(INVISIBLE)]


def order_window_contents(lines, ctx):
    """The driver reads a new window's controls once, text before lists; vtsim
    writes them in the order the program fills them. Within one control the
    order is kept."""
    out, block = [], []

    def flush():
        block.sort(key=lambda l: (l.split(":", 1)[0].startswith("[list]"),
                                  l.split(":", 1)[0]))
        out.extend(block)
        block.clear()

    for line in lines:
        if line.startswith(("[text] ", "[list] ")):
            block.append(line)
        else:
            flush()
            out.append(line)
    flush()
    return out


def drop_final_empty_rich_text_line(lines, ctx):
    """The driver splits a rich-text control's window text into lines and
    writes no empty line after the last line end (windriver TextLines); vtsim
    lists that empty last line."""
    out = []
    for i, line in enumerate(lines):
        following = lines[i + 1] if i + 1 < len(lines) else ""
        m = re.match(r"\[text\] (\d+): $", line)
        if m and not following.startswith("[text] %s: " % m.group(1)):
            continue
        out.append(line)
    return out


def mark_results_of_program_closes(lines, ctx):
    """A dialog the program ends itself (no [action] just before) is seen by
    the driver only as gone (result 0); its EndDialog value is invisible."""
    out = []
    for i, line in enumerate(lines):
        m = re.match(r"(\[closed\] .*) -> (-?\d+)$", line)
        if m and (i == 0 or not lines[i - 1].startswith("[action] ")):
            line = m.group(1) + " -> (closed by the program)"
        out.append(line)
    return out


def order_final_closes(lines, ctx):
    """Windows that go together at the program's end are seen by the driver in
    one poll, in no particular order: they are listed newest-opened first, the
    order in which a modal dialog and its owner end."""
    if not lines or not lines[-1].startswith("[exit] "):
        return lines
    start = len(lines) - 1
    while start > 0 and lines[start - 1].startswith("[closed] "):
        start -= 1
    opened = {}
    for i, line in enumerate(lines[:start]):
        if line.startswith("[window] "):
            opened[line[len("[window] "):]] = i

    def newest_first(line):
        title = re.match(r"\[closed\] (.*) -> ", line)
        return -opened.get(title.group(1) if title else "", -1)

    return lines[:start] + sorted(lines[start:-1], key=newest_first) + lines[-1:]


TRANSCRIPT_RULES = [drop_invisible_events, drop_final_empty_rich_text_line,
                    order_window_contents, order_final_closes, mark_results_of_program_closes]

# --- run log rules -----------------------------------------------------------


def blank_header_time(lines, ctx):
    """Wine has the host's clock, the simulated PC the image's local_time."""
    return [re.sub(r"(VtCvScrubber\.Log\s+)\d+/\d+/\d+ at \d+:\d+:\d+\.\d+", r"\1<time>", l)
            for l in lines]


def blank_system_message_wording(lines, ctx):
    """FormatMessageA answers in Wine's own wording; the Origin and Additional
    Information lines around it still tell which call failed on what."""
    return [re.sub(r"^(\tSystem message: ).*$", r"\1<system message>", l) for l in lines]


def windows_directory_case(lines, ctx):
    """Wine's Windows folder is C:\\windows; the image may spell it C:\\WINDOWS.
    Only Wine's exact spelling at a path's start is rewritten."""
    image_dir = (ctx["machine"].get("directories", {}).get("windows") or "")
    if ctx["side"] != "wine" or image_dir.lower() != "c:\\windows" or image_dir == "C:\\windows":
        return lines
    return [re.sub(r"(?<![A-Za-z])C:\\windows(?=\\|'| |$)", lambda _: image_dir, l)
            for l in lines]


def windows_folders_moved(lines, ctx):
    """Wine's Windows and system folders are fixed (C:\\windows,
    C:\\windows\\system32): the prefix tool moves an image's other folders
    (98's C:\\WINDOWS\\SYSTEM, 2000's C:\\WINNT) there, files and registry
    strings alike. Only a move not-modelled.txt names is mapped back, and only
    Wine's exact spelling at a path's start."""
    if ctx["side"] != "wine":
        return lines
    moves = re.findall(r"^directories\.(?:system|windows) (.+?) moved to "
                       r"(C:\\windows(?:\\system32)?):", ctx["not_modelled"], re.MULTILINE)
    if not moves:
        return lines
    # The system folder first: it lies inside the Windows folder.
    wine_to_image = dict((wine, image) for image, wine in moves)
    pattern = re.compile(r"(?<![A-Za-z])(%s)(?=\\|'| |$)" % "|".join(
        re.escape(w) for w in sorted(wine_to_image, key=len, reverse=True)))
    return [pattern.sub(lambda m: wine_to_image[m.group(1)], l) for l in lines]


# Wine's special folders (its own profile layout) -> the image's directory key.
WINE_SPECIAL_FOLDERS = [
    (r"C:\\users\\Public\\Desktop", "common_desktop"),
    (r"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs", "common_programs"),
    (r"C:\\users\\[^\\]+\\Desktop", "desktop"),
    (r"C:\\users\\[^\\]+\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs",
     "programs"),
]


def profile_folders(lines, ctx):
    """Wine reports its own special folders (C:\\users\\...) where the image has
    its own; only a folder not-modelled.txt names is mapped back."""
    if ctx["side"] != "wine":
        return lines
    dirs = ctx["machine"].get("directories", {})
    out = []
    for line in lines:
        for pattern, key in WINE_SPECIAL_FOLDERS:
            if dirs.get(key) and ("directories." + key) in ctx["not_modelled"]:
                line = re.sub(pattern + r"(?=\\|'| |$)", lambda _, k=key: dirs[k], line,
                              flags=re.IGNORECASE)
        out.append(line)
    return out


def blank_hashed_short_names(lines, ctx):
    """Wine's 8.3 names are hashed (PROG~FBU), Windows' numbered (PROGRA~1)."""
    return [re.sub(r"(?<=\\)[^\\ ~]{1,6}~[0-9A-Z]{1,3}(?=\\|\.| |'|$)", "<short>", l)
            for l in lines]


def not_modelled_names(ctx, kind):
    """Names in not-modelled.txt lines like "port 'DOT4_001': ..."."""
    return {m.group(1) for m in re.finditer(r"^%s '([^']*)'" % kind, ctx["not_modelled"],
                                            re.MULTILINE)}


def drop_error_block(lines, predicate):
    """Removes the error entries (">>> Origin:" up to its first empty line and
    the empty lines after it) for which predicate(text of the entry) holds."""
    out, i = [], 0
    while i < len(lines):
        if lines[i].startswith(">>> Origin:"):
            j = i + 1
            while j < len(lines) and lines[j] != "":
                j += 1
            while j < len(lines) and lines[j] == "":
                j += 1
            if predicate("\n".join(lines[i:j])):
                i = j
                continue
        out.append(lines[i])
        i += 1
    return out


def installer_products_not_modelled(lines, ctx):
    """Under Wine no installer product exists (msiexec answers 1605): drop both
    sides' lines about a product and the files its removal deletes."""
    if not re.search(r"^installer_products", ctx["not_modelled"], re.MULTILINE):
        return lines
    products = ctx["machine"].get("installer_products", [])
    codes = {p["code"].lower() for p in products}
    removed_paths = {r.lower() for p in products for r in p.get("removes", []) if ":" in r[:2]}
    lines = drop_error_block(lines, lambda b: "MsiPackageDelete" in b and any(
        c in b.lower() for c in codes))
    out = []
    for line in lines:
        m = re.match(r"\tRemoved VT MSI package '([^']*)'", line)
        if m and m.group(1).lower() in codes:
            continue
        m = re.match(r"(?:==> Deleted file |\* Not Found: )(.*?) *(?:===>.*)?$", line)
        if m and m.group(1).strip().lower() in removed_paths:
            continue
        out.append(line)
    return out


def ports_not_modelled(lines, ctx):
    """Wine adds no port without its monitor: both sides' lines about such a port go."""
    ports = not_modelled_names(ctx, "port")
    if not ports:
        return lines
    lines = drop_error_block(lines, lambda b: any("port '%s'" % p in b for p in ports))
    out, dropped = [], False
    for line in lines:
        if any(line.startswith("))) Delete VT port '%s'" % p) for p in ports):
            dropped = True
            continue
        if dropped and line == "":  # the empty line that ends the entry
            dropped = False
            continue
        dropped = False
        out.append(line)
    return out


def monitors_not_modelled(lines, ctx):
    """A monitor needs its DLL, which an image lacks: entries naming such a
    monitor go (the program writes them without a line end)."""
    monitors = not_modelled_names(ctx, "monitor")
    out = []
    for line in lines:
        for mon in monitors:
            line = line.replace("\tRemoved VT monitor '%s' " % mon, "")
        out.append(line)
    return out


def control_set_view(key):
    """HKLM\\SYSTEM\\ControlSet00N\\X -> hklm\\system\\currentcontrolset\\x (the view
    the program opens), lower case."""
    return re.sub(r"^(hklm|hkey_local_machine)\\system\\controlset\d{3}(?=\\|$)",
                  r"hklm\\system\\currentcontrolset", key.lower())


def registry_access_not_modelled(lines, ctx):
    """Wine's registry has no access lists: the simulated PC's "protected"
    entries (and the access request the program logs for them) go, only for a
    key in or under one registry_access names, when not-modelled.txt says so."""
    if not re.search(r"^registry_access", ctx["not_modelled"], re.MULTILINE):
        return lines
    keys = [control_set_view(k) for k in ctx["machine"].get("registry_access", {})]

    def covered(key):
        key = control_set_view(key)
        return any(key == k or key.startswith(k + "\\") for k in keys)

    out, i = [], 0
    while i < len(lines):
        m = re.match(r"\tKey = '([^']*)'", lines[i + 1]) if i + 1 < len(lines) else None
        if lines[i].startswith("... Registry key is protected by Windows.") and m and \
                covered(m.group(1)):
            i += 2
            continue
        out.append(lines[i])
        i += 1
    return out


LOG_RULES = [blank_header_time, blank_system_message_wording, windows_folders_moved,
             windows_directory_case,
             profile_folders, blank_hashed_short_names, installer_products_not_modelled,
             ports_not_modelled, monitors_not_modelled, registry_access_not_modelled]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("kind", choices=["transcript", "log"])
    parser.add_argument("file")
    parser.add_argument("--side", choices=["sim", "wine"], required=True)
    parser.add_argument("--image", required=True)
    parser.add_argument("--not-modelled", required=True)
    args = parser.parse_args()
    with open(args.image + "/machine.json", encoding="utf-8") as f:
        machine = json.load(f)
    with open(args.not_modelled, encoding="utf-8", errors="replace") as f:
        not_modelled = f.read()
    ctx = {"side": args.side, "machine": machine, "not_modelled": not_modelled}
    try:
        with open(args.file, "rb") as f:
            text = f.read().decode("latin-1")
    except FileNotFoundError:
        text = "(no %s written)\n" % args.kind
    lines = [l[:-1] if l.endswith("\r") else l for l in text.split("\n")]
    if lines and lines[-1] == "":
        lines.pop()  # the last line's end
    for rule in TRANSCRIPT_RULES if args.kind == "transcript" else LOG_RULES:
        lines = rule(lines, ctx)
    sys.stdout.buffer.write("".join(l + "\n" for l in lines).encode("latin-1"))


if __name__ == "__main__":
    main()
