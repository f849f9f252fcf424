#!/usr/bin/env python3
"""Writes a DLL project whose main file includes a large API file through
an include path, for timing headers --follow-includes.

    make_api.py OUT_DIR [--lines 40000]

OUT_DIR/api/win32api.inc: about 2 MB of equates, TYPEs and DECLAREs, as a
Windows API include is. OUT_DIR/main.bas: build switches, #COMPILE DLL,
#INCLUDE "win32api.inc", conditions on the API's equates, and a few hundred
exported procedures. Lines end in CR LF.
"""
import argparse
import os
import random

TYPES = ["LONG", "DWORD", "WORD", "BYTE", "INTEGER", "ASCIIZ PTR", "LONG PTR", "DOUBLE"]


def api(rng, lines):
    out, n = ["' win32api.inc: constants, structures and functions", "#INCLUDE THIS ONCE", "%WINAPI = 1"], 0
    while len(out) < lines:
        n += 1
        kind = rng.random()
        if kind < 0.6:
            out.append("%%WM_MESSAGE_%05d = &H%04X  ' message %d of the window class" % (n, rng.randrange(0x10000), n))
        elif kind < 0.75:
            out.append("TYPE API_STRUCT_%05d" % n)
            for k in range(rng.randrange(2, 6)):
                out.append("  field%d AS %s" % (k, rng.choice(TYPES)))
            out.append("END TYPE")
        else:
            params = ", ".join("BYVAL p%d AS %s" % (k, rng.choice(TYPES)) for k in range(rng.randrange(0, 6)))
            out.append('DECLARE FUNCTION ApiCall%05d LIB "USER32.DLL" ALIAS "ApiCall%05dA" (%s) AS LONG' % (n, n, params))
    return out


def main_file(rng, procedures):
    out = ["#COMPILE DLL", "%USE_WIDE = 1", '#INCLUDE "win32api.inc"']
    for n in range(procedures):
        if n % 50 == 0:
            out.append("#IF %%WM_MESSAGE_%05d > 0 AND %%USE_WIDE" % (1 + n // 50))
        mark = "EXPORT" if n % 3 else ""
        out.append("FUNCTION Proc%04d (BYVAL a AS LONG, BYVAL b AS LONG) %s AS LONG" % (n, mark))
        out.append("  FUNCTION = a + b")
        out.append("END FUNCTION")
        if n % 50 == 49:
            out.append("#ENDIF")
    if procedures % 50:
        out.append("#ENDIF")
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--lines", type=int, default=40000)
    args = parser.parse_args()
    rng = random.Random(7)
    os.makedirs(os.path.join(args.out, "api"), exist_ok=True)
    for path, lines in ((os.path.join(args.out, "api", "win32api.inc"), api(rng, args.lines)),
                        (os.path.join(args.out, "main.bas"), main_file(rng, 300))):
        with open(path, "wb") as f:
            f.write(("\r\n".join(lines) + "\r\n").encode())


main()
