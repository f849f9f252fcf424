#!/usr/bin/env python3
"""Writes one hostile codeloom-cli case into a folder: its input files, the
arguments (file `args`, one per line, run from the folder) and the exact
expected stdout (file `expected`), derived here from the input's structure
by the output rules.

    hostile_cases.py CASE FOLDER [SCALE]

SCALE multiplies the input size (default 1: the sizes named below)."""
import os
import sys

CRLF = b"\r\n"
RULE = b"'" + b"-" * 70 + CRLF
PIECE = 256 * 1024  # the forum command's read size: line ends straddle it


def banner(name):
    return RULE + b"' " + name + CRLF + RULE


def forum_block(name, lines):
    """A file's forum block from its lines (as the line rules split them)."""
    shown = [(line or b" ").replace(b"\t", b"  ") for line in lines]
    return name + CRLF + b"[code]" + CRLF.join(shown) + b"[/code]" + CRLF + b" " + CRLF


def write(folder, name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def long_line(folder, scale):
    """One 100 MB line with no line break, through forum, headers and expand,
    plus a file whose line ends and 0x1A fall across the forum's pieces."""
    size = int(100 * 1000 * 1000 * scale)
    unit = b"ab\tc \x00\x80\xff"  # NUL and high bytes are text like any other
    line = unit * (size // len(unit))
    write(folder, "long.bas", line)
    # A CR at the last byte of the first piece and its LF in the next; a lone
    # LF; a lone CR; an empty line; 0x1A ends it.
    x, y, z = b"x" * (PIECE - 1), b"y\ny", b"z" * PIECE
    write(folder, "edges.bas", x + b"\r\n" + y + b"\r" + b"\r\n" + z + b"\x1a" + b"never\r\n")
    forum = forum_block(b"long.bas", [line]) + forum_block(b"edges.bas", [x, b"y", b"y", b"", z])
    write(folder, "forum.expected", forum)

    count = size // 2
    declaration = b"Sub Big(" + b"a," * count + b"b) Export"
    write(folder, "decl.bas", declaration)
    header = (banner(b"decl.bas") + b'Declare Sub Big Lib "export.dll" Alias "BIG" (' +
              b"a," * count + b"b)" + CRLF + CRLF)
    write(folder, "headers.expected", header)

    count = size // 14
    write(folder, "long.tpl", b"x%pfx%y%upfx%" * count)
    write(folder, "expand.expected", b"xdemoyDEMO" * count + CRLF)
    return {
        "forum": ["forum", "long.bas", "edges.bas"],
        "headers": ["headers", "--mode", "dll", "decl.bas"],
        "expand": ["expand", "--name", "demo", "long.tpl"],
    }


def many_files(folder, scale):
    """100,000 tiny files with short relative names, through forum and
    headers: empty files, exported and common procedures, tabs and empty
    lines, one interface defined in every fifth file (written once)."""
    count = int(100000 * scale)
    names = [str(i).encode() for i in range(count)]
    forum, header = [], []
    for i, name in enumerate(names):
        kind = i % 5
        n = name
        if kind == 0:
            data, lines, decl = b"", [], b""
        elif kind == 1:
            data = b"Sub s" + n + b"() Common\r\n  x = 1\r\nEnd Sub"
            lines = [b"Sub s" + n + b"() Common", b"  x = 1", b"End Sub"]
            decl = b"Declare Sub s" + n + b"() Common" + CRLF
        elif kind == 2:
            data = b"\ta\r\n\r\n"
            lines, decl = [b"\ta", b""], b""
        elif kind == 3:
            data = b"Function f" + n + b" _\r\n  (x) Export As Long\r\n"
            lines = [b"Function f" + n + b" _", b"  (x) Export As Long"]
            decl = (b"Declare Function f" + n + b" _" + CRLF + b" " * 10 + b"(x) As Long" + CRLF)
        else:
            data = b"Interface IAll\r\n  Method M()\r\nEnd Interface\r\n"
            lines = [b"Interface IAll", b"  Method M()", b"End Interface"]
            decl = (CRLF + b"Interface IAll" + CRLF + b"  Method M()" + CRLF +
                    b"End Interface" + CRLF) if i == 4 else b""
        write(folder, name.decode(), data)
        forum.append(forum_block(name, lines))
        header.append(banner(name) + decl + CRLF)
    write(folder, "forum.expected", b"".join(forum))
    write(folder, "headers.expected", b"".join(header))
    files = [n.decode() for n in names]
    return {"forum": ["forum"] + files, "headers": ["headers", "--mode", "sll"] + files}


def marker_template(folder, scale):
    """A template of 1,000,000 lines holding markers, in groups of twelve lines
    (eight with markers, seven of them a marker alone) with
    an Icon block and its else branch, an unselected Size block closed by a
    named marker, a single-line block with else, and an else outside any
    block; options Icon only."""
    groups = int(125000 * scale)  # 8 lines with markers each
    text, out = [], []
    for k in range(groups):
        n = str(k).encode()
        text += [b"{{Icon}}", b"i%pfx%" + n, b"{{else}}", b"e" + n, b"{{/}}",
                 b"  {{Size}}", b"s" + n, b"{{/Size}}  ",
                 b"x {{Icon}}y" + n + b"{{else}}z{{/}} w",
                 b"{{ELSE}}", b"q" + n, b"\t{{/}}"]
        out += [b"idemo" + n, b"x y" + n + b" w", b"\t"]
    write(folder, "markers.tpl", CRLF.join(text) + CRLF)
    write(folder, "expand.expected", b"".join(line + CRLF for line in out))
    return {"expand": ["expand", "--name", "demo", "--options", "Icon", "markers.tpl"]}


def main():
    case, folder = sys.argv[1], sys.argv[2]
    scale = float(sys.argv[3]) if len(sys.argv) > 3 else 1.0
    runs = {"long_line": long_line, "many_files": many_files,
            "marker_template": marker_template}[case](folder, scale)
    for run, args in runs.items():
        write(folder, run + ".args", "\n".join(args).encode() + b"\n")


main()
