#!/usr/bin/env python3
"""The string table CvScrubber.exe carries is the one vtsim shows: compiles
src/resources/strings.rc with windres and compares every string resource with
the texts of src/resources/strings.h (C escapes, joined literals and all).
  string_resources_test.py SOURCE_DIR
Exit 77 (skipped) without the MinGW resource compiler."""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

WINDRES = "i686-w64-mingw32-windres"


def header_texts(source):
    text = open(os.path.join(source, "src/resources/strings.h"), encoding="latin-1").read()
    texts = {}
    for m in re.finditer(r'CVS_STRING\(\s*(\d+),\s*\w+,\s*((?:"(?:[^"\\]|\\.)*"\s*)+)\)', text):
        # C and Python agree on these literals: \n \t \\ \" and joining.
        texts[int(m.group(1))] = eval(m.group(2).replace("\n", " "))
    return texts


def resource_texts(res):
    """String resources of a .res file: 16 strings a block, block n holds ids 16(n-1)..."""
    texts = {}
    pos = 0
    while pos + 8 <= len(res):
        size, header_size = struct.unpack_from("<II", res, pos)
        kind = struct.unpack_from("<HH", res, pos + 8)
        name = struct.unpack_from("<HH", res, pos + 12)
        body = res[pos + header_size:pos + header_size + size]
        if kind == (0xFFFF, 6):
            at = 0
            for i in range(16):
                (n,) = struct.unpack_from("<H", body, at)
                at += 2
                if n:
                    texts[(name[1] - 1) * 16 + i] = body[at:at + 2 * n].decode("utf-16-le")
                at += 2 * n
        pos += (header_size + size + 3) & ~3
    return texts


def main():
    source = sys.argv[1]
    if shutil.which(WINDRES) is None:
        print("skipped: no " + WINDRES)
        return 77
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "strings.res")
        subprocess.run([WINDRES, "-I", os.path.join(source, "src"), "--preprocessor-arg=-P",
                        os.path.join(source, "src/resources/strings.rc"), "-O", "res", "-o", out],
                       check=True, stderr=subprocess.DEVNULL)
        got = resource_texts(open(out, "rb").read())
    want = header_texts(source)
    bad = [i for i in sorted(set(want) | set(got)) if want.get(i) != got.get(i)]
    for i in bad:
        print("string %d: strings.h %r, resource %r" % (i, want.get(i), got.get(i)))
    print("%d texts, %d resources, %d differ" % (len(want), len(got), len(bad)))
    return 1 if bad or not want else 0


if __name__ == "__main__":
    sys.exit(main())
