// Turns one PowerBASIC source file into its section of a header: a banner
// naming the file, a Declare statement for every procedure marked Common or
// Export, and a copy of every interface definition without its bodies.
//
// Words used here and in the scanner:
//   window     a piece of the file as it is read; memory holds one at a time
//   whole line a line and its line end; the last line of a file needs none
//   cut line   the start of a line that a window's end cuts off: kept until
//              the line is whole, unless it cannot fit a rule
//   candidate  a line the line index finds may fit a rule (line_index.h);
//              every other line is passed over unread
//   quick no   the index's test of a candidate's first eight bytes, which
//              turns down most lines that share their first letters with a
//              rule ("End If", "Incr", "Print")
//   marking    the words Common and Export, which make a procedure's Declare
//   held       the lines of a procedure declaration that goes on with "_",
//              kept until it ends and its Declare can be built
#pragma once

#include <functional>
#include <string_view>

#include "headers/header_scan.h"

namespace codeloom {

// Reads one file in windows, passing each to take in order and stopping
// early when take returns false; returns false when the file could not be
// read, even partway.
using WindowReader = std::function<bool(const std::function<bool(std::string_view window)>& take)>;

// Where a caller that prints the header as it grows takes it: whenever the
// header holds at least `every` bytes after a window, they go to take and
// leave the header. take returns false when they could not be printed:
// reading then stops.
struct SettledOutput {
  std::function<bool(const HeaderText& settled)> take;
  size_t every = 0;
};

// Appends the section of one file, which readWindows reads, to header: a
// banner naming the file (path, shown from after its last ""), then what
// the file declares. Lines end at CR LF, CR or LF; 0x1A ends the file.
// Memory holds a window and the line its end cuts, not the file. A file
// that cannot be read, even partway, counts as empty: its section is the
// banner and the closing empty line (after what was already taken, when
// output took some), and what it added to scan is taken out again. Returns whether the file was read.
// source: the file's path as scan.declared names it (path when empty).
bool appendSourceSection(HeaderText& header, HeaderScan& scan, std::string_view path,
                         const WindowReader& readWindows, const SettledOutput* output = nullptr,
                         SectionNotes* notes = nullptr, std::string_view source = {});

}  // namespace codeloom
