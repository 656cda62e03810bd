#!/usr/bin/env python3
"""The synthetic PC of bench/make_big_pc.py at a small scale: the same seed
gives the same bytes, the sizes follow the scale, vtsim accepts the image, and
a scrub by its own script removes what the generator put on its lists.

    big_pc_test.py VTSIM REPO
"""
import filecmp
import json
import os
import subprocess
import sys
import tempfile

VTSIM, REPO = sys.argv[1], sys.argv[2]
GENERATOR = os.path.join(REPO, "bench", "make_big_pc.py")
BENCH_DIR = os.path.join("drives", "C", "Program Files", "Vantrel", "Bench")
INF_DIR = os.path.join("drives", "C", "WINDOWS", "inf")
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL: " + what)


def generate(out, scale, seed=13):
    subprocess.run([sys.executable, GENERATOR, out, "--scale", str(scale), "--seed", str(seed)],
                   check=True)
    return out


def same_tree(a, b):
    cmp = filecmp.dircmp(a, b)
    if cmp.left_only or cmp.right_only or cmp.diff_files or cmp.funny_files:
        return False
    _, mismatch, errors = filecmp.cmpfiles(a, b, cmp.common_files, shallow=False)
    return not mismatch and not errors and all(
        same_tree(os.path.join(a, d), os.path.join(b, d)) for d in cmp.common_dirs)


def bench_files(image):
    root = os.path.join(image, BENCH_DIR)
    return sorted(os.path.join(d, f) for d, _, files in os.walk(root) for f in files)


def key_lines(image):
    with open(os.path.join(image, "registry.reg"), "rb") as f:
        return sum(1 for line in f if line.startswith(b"["))


def sections(image):
    with open(os.path.join(image, "registry.reg"), "rb") as f:
        return [line.rstrip(b"\r\n") for line in f if line.startswith(b"[")]


def in_order_within(part, whole):
    it = iter(whole)
    return all(any(x == y for y in it) for x in part)


def infs(image):
    return sorted(n for n in os.listdir(os.path.join(image, INF_DIR)) if n.endswith(".inf"))


with tempfile.TemporaryDirectory() as tmp:
    one = generate(os.path.join(tmp, "one"), 0.02)
    again = generate(os.path.join(tmp, "again"), 0.02)
    other = generate(os.path.join(tmp, "other"), 0.02, seed=14)
    two = generate(os.path.join(tmp, "two"), 0.04)

    # Deterministic from the seed, and the seed matters.
    check(same_tree(one, again), "the same seed gives the same image")
    check(not filecmp.cmp(os.path.join(one, "registry.reg"), os.path.join(other, "registry.reg"),
                          shallow=False), "another seed gives another registry")

    # Sizes at 0.02: 4,000 keys, 400 files, 40 INF files; twice that at 0.04.
    files_one, files_two = bench_files(one), bench_files(two)
    check(len(files_one) == 399, "400 files-list entries: 3 folders of 100 files, one of 99 and"
          " its sweep (got %d files)" % len(files_one))
    check(len(files_two) == 2 * len(files_one), "the files double with the scale")
    check(len(infs(one)) == 40 and len(infs(two)) == 80, "40 and 80 OEM INF files")
    keys_one, keys_two = key_lines(one), key_lines(two)
    check(3800 <= keys_one <= 4400, "about 4,000 keys at 0.02 (got %d sections)" % keys_one)
    check(1.9 <= keys_two / keys_one <= 2.1, "the keys double with the scale")
    with open(os.path.join(one, "machine.json"), encoding="utf-8") as f:
        machine = json.load(f)
    in_use = [p for p, flags in machine["files"].items() if "\\Bench\\" in p and flags["in_use"]]
    check(len(in_use) == 40, "a tenth of the files in use (got %d)" % len(in_use))

    # vtsim accepts both images.
    check(subprocess.run([VTSIM, "check", one, two]).returncode == 0, "vtsim check accepts them")

    # A scrub by the image's script removes every listed file but the ones in
    # use, the keys on the list, and the two INF files holding the device's texts.
    transcript = os.path.join(tmp, "transcript.txt")
    script = os.path.join(tmp, "script.txt")
    with open(os.path.join(one, "script.txt"), "rb") as src, open(script, "wb") as dst:
        dst.write(src.read())
    before = sections(one)
    run = subprocess.run([VTSIM, "run", one, "--script", script, "--transcript", transcript])
    check(run.returncode == 0, "the scrub ends normally (exit %d)" % run.returncode)
    left = [os.path.relpath(p, os.path.join(one, BENCH_DIR)) for p in bench_files(one)]
    check(len(left) == len(in_use), "only the files in use are left (%d left)" % len(left))
    with open(os.path.join(one, "registry.reg"), "rb") as f:
        reg = f.read()
    check(b"\\Bench\\G0\\K0]" not in reg, "a listed key is gone")
    # Written in the order vtsim writes: the keys left keep their places.
    after = sections(one)
    check(len(after) < len(before) and in_order_within(after, before),
          "the keys left after the scrub are the image's, in its order")
    check(b"Bench component 0" in reg, "keys no list names stay")
    check(b"\\G0\\K3\\V5]" not in reg and b"\\G0\\K3\\V4]" in reg,
          "of a key found by its value, only that subkey goes")
    check(b"port_vid_04f1&pid_5100_9\"" not in reg, "a Plug-and-Play value on the list is gone")
    check(len(infs(one)) == 38, "the two INF files with the device's texts are gone")

sys.exit(1 if failures else 0)
