#!/usr/bin/env python3
"""Writes a deterministic corpus of realistic PowerBASIC sources for the
header and forum benchmarks.

Each file holds a banner comment, includes, globals, a Type, procedures
marked Common, Export or neither (3 in 7 marked unless --marked gives a
percentage; some with parameter lists continued over " _" lines), CallBack functions, and classes whose interfaces come partly
from a pool shared by all files, so that many interfaces repeat across files.
Lines end in CR LF; indentation mixes spaces and tabs.

    make_corpus.py OUT_DIR [--size-mb 200] [--file-kb 200] [--seed 1] [--same-size] [--marked PERCENT]
"""
import argparse
import os
import random

TYPES = ["Long", "Dword", "String", "Double", "Integer", "Byte", "Quad", "Single"]
WORDS = ["count", "total", "index", "buffer", "handle", "width", "height", "name",
         "value", "offset", "size", "state", "flags", "result", "item", "node",
         "text", "color", "left", "top", "right", "bottom", "level", "depth"]
VERBS = ["Get", "Set", "Load", "Save", "Draw", "Parse", "Find", "Make", "Read",
         "Write", "Open", "Close", "Add", "Remove", "Sort", "Scan", "Update", "Reset"]
NOUNS = ["Window", "Record", "Buffer", "Item", "Node", "Text", "Line", "File",
         "Table", "Column", "Row", "Cell", "Font", "Brush", "Path", "Token", "Entry"]
SHARED_INTERFACES = ["I%s%s" % (v, n) for v in VERBS[:6] for n in NOUNS[:5]]


class Writer:
    def __init__(self, rng, serial, marks):
        self.rng = rng
        self.serial = serial
        self.marks = marks  # weights of Export, Common and neither
        self.out = []
        self.unique = 0

    def line(self, text=""):
        self.out.append(text)

    def ident(self):
        r = self.rng
        self.unique += 1
        return "%s%s%d_%d" % (r.choice(VERBS), r.choice(NOUNS), self.serial, self.unique)

    def var(self):
        return self.rng.choice(WORDS) + self.rng.choice(["", "", "2", "Max", "Min"])

    def indent(self, depth):
        if self.rng.random() < 0.3:
            return "\t" * depth
        return "  " * depth

    def params(self):
        r = self.rng
        return ["%s %s As %s" % (r.choice(["ByVal", "ByRef", "ByVal", "Optional ByVal"]),
                                 self.var(), r.choice(TYPES))
                for _ in range(r.randint(0, 5))]

    def body(self, depth, result):
        r = self.rng
        ind = self.indent(depth)
        for _ in range(r.randint(1, 3)):
            self.line("%sLocal %s, %s As %s" % (ind, self.var(), self.var(), r.choice(TYPES)))
        for _ in range(r.randint(4, 30)):
            k = r.random()
            a, b = self.var(), self.var()
            if k < 0.18:
                self.line("%s%s = %s + %d" % (ind, a, b, r.randint(1, 999)))
            elif k < 0.28:
                self.line("%s' %s the %s before the %s is used" % (ind, r.choice(VERBS).lower(), a, b))
            elif k < 0.40:
                self.line("%sIf %s > %s Then" % (ind, a, b))
                self.line("%s  %s = %s(%s, %d)" % (ind, a, r.choice(["Max&", "Min&", "Abs"]), b, r.randint(0, 9)))
                if r.random() < 0.4:
                    self.line("%sElseIf %s = 0 Then" % (ind, a))
                    self.line("%s  Exit Function" % ind)
                self.line("%sEnd If" % ind)
            elif k < 0.50:
                self.line("%sFor %s = 1 To %s" % (ind, a, b))
                self.line("%s  Incr %s" % (ind, self.var()))
                self.line("%sNext" % ind)
            elif k < 0.58:
                self.line('%sMsgBox "The %s export.dll is " + Str$(%s), %%MB_OK, "%s"' % (ind, a, b, r.choice(NOUNS)))
            elif k < 0.66:
                self.line("%sSelect Case %s" % (ind, a))
                for c in range(r.randint(1, 4)):
                    self.line("%s  Case %d : %s = %d" % (ind, c, b, r.randint(0, 99)))
                self.line("%sEnd Select" % ind)
            elif k < 0.72:
                self.line("%sSendMessage hWnd, %%WM_SETTEXT, 0, StrPtr(%s)" % (ind, a))
            elif k < 0.78:
                self.line("%s%s = %s(%s, _" % (ind, a, self.ident(), b))
                self.line("%s          %s)" % (ind, self.var()))
            elif k < 0.84:
                self.line("%sPrint #1, %s; \",\"; %s" % (ind, a, b))
            elif k < 0.90 and result:
                self.line("%s%s = %s" % (ind, result, a))
            else:
                self.line("%sSetWindowText hWnd, \"%s\"" % (ind, r.choice(NOUNS)))

    def procedure(self):
        r = self.rng
        is_function = r.random() < 0.6
        keyword = "Function" if is_function else "Sub"
        mark = r.choices(["Export", "Common", ""], weights=self.marks)[0]
        name = self.ident()
        params = self.params()
        tail = (" " + mark if mark else "") + (" As " + r.choice(TYPES) if is_function else "")
        if len(params) > 2 and r.random() < 0.5:
            self.line("%s %s(%s, _" % (keyword, name, params[0]))
            for p in params[1:-1]:
                self.line("        %s, _" % p)
            self.line("        %s)%s" % (params[-1], tail))
        else:
            self.line("%s %s(%s)%s" % (keyword, name, ", ".join(params), tail))
        self.body(1, "Function" if is_function else None)
        self.line("End " + keyword)
        self.line()

    def callback(self):
        self.line("CallBack Function %s()" % self.ident())
        self.line("  Select Case CbMsg")
        self.line("    Case %WM_COMMAND")
        self.line("      Function = 1")
        self.line("  End Select")
        self.line("End Function")
        self.line()

    def member_lines(self, depth, with_bodies):
        r = self.rng
        ind = self.indent(depth)
        for _ in range(r.randint(2, 8)):
            k = r.random()
            if k < 0.5:
                self.line("%sMethod %s(%s) As %s" % (ind, self.ident(), ", ".join(self.params()), r.choice(TYPES)))
                if with_bodies:
                    self.body(depth + 1, "Method")
                    self.line("%sEnd Method" % ind)
            elif k < 0.75:
                self.line("%sProperty Get %s() As %s" % (ind, r.choice(NOUNS), r.choice(TYPES)))
                if with_bodies:
                    self.line("%s  Property = %s_" % (ind, self.var()))
                    self.line("%sEnd Property" % ind)
            else:
                self.line("%sProperty Set %s(ByVal v As %s)" % (ind, r.choice(NOUNS), r.choice(TYPES)))
                if with_bodies:
                    self.line("%s  %s_ = v" % (ind, self.var()))
                    self.line("%sEnd Property" % ind)

    def klass(self):
        r = self.rng
        name = self.ident()
        self.line("Class C%s" % name)
        self.line("  Instance %s_ As Long" % self.var())
        self.line("  Class Method Create()")
        self.line("  End Method")
        iface = r.choice(SHARED_INTERFACES) if r.random() < 0.5 else "I" + name
        self.line('  Interface %s Guid$("{%08x-0000-4000-8000-%012x}")' % (iface, r.getrandbits(32), r.getrandbits(48)))
        self.line("    Inherit IUnknown")
        self.member_lines(2, True)
        self.line("  End Interface")
        self.line("End Class")
        self.line()

    def file(self, target_bytes):
        r = self.rng
        self.line("'" + "=" * 70)
        self.line("' Module %d: %s helpers" % (self.serial, r.choice(NOUNS).lower()))
        self.line("'" + "=" * 70)
        self.line("#Compile SLL")
        self.line("#Dim All")
        self.line('#Include "Win32Api.inc"')
        self.line()
        for _ in range(r.randint(2, 6)):
            self.line("Global g%s As %s" % (self.ident(), r.choice(TYPES)))
        self.line()
        size = 0
        while size < target_bytes:
            start = len(self.out)
            k = r.random()
            if k < 0.78:
                self.procedure()
            elif k < 0.88:
                self.klass()
            elif k < 0.94:
                self.callback()
            else:
                self.line("Type T%s" % self.ident())
                for _ in range(r.randint(2, 6)):
                    self.line("  %s As %s" % (self.var(), r.choice(TYPES)))
                self.line("End Type")
                self.line()
            size += sum(len(l) + 2 for l in self.out[start:])
        return "\r\n".join(self.out) + "\r\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("out_dir")
    parser.add_argument("--size-mb", type=float, default=200)
    parser.add_argument("--file-kb", type=float, default=200)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--same-size", action="store_true", help="every file of --file-kb")
    parser.add_argument("--marked", type=float, help="percent of procedures marked, two Export to one Common")
    args = parser.parse_args()
    marks = [2, 1, 4] if args.marked is None else [2 * args.marked / 3, args.marked / 3, 100 - args.marked]

    os.makedirs(args.out_dir, exist_ok=True)
    total = int(args.size_mb * 1024 * 1024)
    per_file = int(args.file_kb * 1024)
    master = random.Random(args.seed)
    written, serial = 0, 0
    while written < total:
        serial += 1
        rng = random.Random(master.getrandbits(64))
        # File sizes vary around the mean: a few large, many middling.
        spread = 1.0 if args.same_size else rng.uniform(0.2, 1.8)
        target = min(int(per_file * spread), total - written)
        text = Writer(rng, serial, marks).file(max(target, 1))
        ext = ".inc" if serial % 3 == 0 else ".bas"
        with open(os.path.join(args.out_dir, "m%05d%s" % (serial, ext)), "wb") as f:
            f.write(text.encode("cp1252"))
        written += len(text)
    print("%s: %d files, %.1f MB" % (args.out_dir, serial, written / 1048576))


if __name__ == "__main__":
    main()
