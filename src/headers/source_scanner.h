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

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "headers/conditions.h"
#include "headers/project_lines.h"

namespace codeloom {

// Which header is being written; fixed for every file of one command.
//   Sll:     Export is removed, Common stays.
//   Dll:     an exported procedure gets Lib "export.dll" and an Alias with its
//            name in upper case unless it has them; Export and Common go.
//   Compile: declarations are written as they stand.
enum class HeaderMode { Sll, Dll, Compile };

// Lower-cased names of the interfaces already written by one command, so that
// an interface defined in several files is written once. A hash set: each
// name is looked up, added and taken out again several times on its way
// through the two threads.
using InterfaceNames = std::unordered_set<std::string>;

// Macro names that stand for Export or Common, lower-cased.
using MarkingMacros = std::map<std::string, MarkingWord, std::less<>>;

// The library a DLL header's Lib clauses name when nothing else does.
constexpr std::string_view kDefaultLibraryName = "export.dll";

// Where a command follows #INCLUDE lines, as codeloom-cli headers
// --follow-includes does: #IF conditions are evaluated with the project's
// own equates, only the branches taken are read, and read(include, file,
// line) reads the file an active #INCLUDE line names, at that point.
struct IncludeFollowing {
  Equates equates;
  std::function<void(const IncludeLine& include, std::string_view file, size_t line)> read;
};

// A procedure whose Declare went into the header, where it stands in its
// file (the source path appendSourceSection was given); exported: it is
// marked Export (or a macro for it).
struct WrittenDeclaration {
  std::string_view file;
  size_t line = 0, column = 0;
  bool exported = false;
  std::string_view declare;
};

// What the files of one header command share, read and extended file by
// file in their order.
struct HeaderScan {
  HeaderMode mode = HeaderMode::Sll;
  // The name in the Lib clauses that mode Dll inserts, when given. Else the
  // first #COMPILE DLL line outside every #IF group names it, and
  // kDefaultLibraryName when there is none; until that is known, clauses
  // leave the name out and note where it goes.
  std::string libraryName;
  InterfaceNames interfaceNames;
  MarkingMacros macros;     // defined by the files so far
  std::string compiledDll;  // the name of the first #COMPILE DLL line, once met
  IncludeFollowing* following = nullptr;
  std::function<void(const WrittenDeclaration&)> declared;  // told of each Declare written
};

// The name the Lib clauses hold: empty while it may still change.
std::string_view settledLibraryName(const HeaderScan& scan);
// The name once every file is read.
std::string_view finalLibraryName(const HeaderScan& scan);

// Header text with the places where the library name is still to go.
struct HeaderText {
  std::string text;
  std::vector<size_t> libraryNameAt;  // ascending
  void append(const HeaderText& more);
  void clear();
};
// The text with name at its places, appended to out or as a new string.
void appendWithLibraryName(std::string& out, const HeaderText& header, std::string_view name);
std::string withLibraryName(const HeaderText& header, std::string_view name);

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

// What one file added to the command's shared state.
struct SectionNotes {
  std::vector<std::string> namesAdded;  // to interfaceNames
  MarkingMacros macrosDefined;          // as the file left them
  std::string compiledDll;              // its first #COMPILE DLL line's name, if any
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
