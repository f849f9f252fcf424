// Turns one PowerBASIC source file into its section of a header: a banner
// naming the file, a Declare statement for every procedure marked Common or
// Export, and a copy of every interface definition without its bodies.
#pragma once

#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace codeloom {

// Which header is being written; fixed for every file of one command.
//   Sll:     Export is removed, Common stays.
//   Dll:     an exported procedure gets Lib "export.dll" and an Alias with its
//            name in upper case unless it has them; Export and Common go.
//   Compile: declarations are written as they stand.
enum class HeaderMode { Sll, Dll, Compile };

// Lower-cased names of the interfaces already written by one command, so that
// an interface defined in several files is written once.
using InterfaceNames = std::set<std::string, std::less<>>;

// The library a DLL header's Lib clauses name unless told otherwise.
constexpr std::string_view kDefaultLibraryName = "export.dll";

// Appends the section of one file to header. bytes is the file's content (an
// unreadable file is passed as empty and still gets its banner); path names
// the file in the banner, which shows the part after its last "\". Lines
// end at CR LF, CR or LF; 0x1A ends the file. libraryName goes between the
// quotes of the Lib clauses that mode Dll inserts.
void scanSourceFile(std::string& header, InterfaceNames& interfaceNames,
                    std::string_view path, std::string_view bytes, HeaderMode mode,
                    std::string_view libraryName = kDefaultLibraryName);

// The same scan fed a file's bytes in pieces of any size, so that a file is
// read through a bounded window: beginSourceScan writes the banner,
// scanSourceBytes takes the next bytes, endSourceScan the end of the file.
// Memory holds the piece and the line cut by its end, not the file. The
// section is appended to header as it is found; a declaration is written
// straight into it and taken out again when it turns out not to be marked.
enum class Continuing { Nothing, Declaration, Member };

// The declaration being written, as the header holds it from `start` on:
// where its name, its first "(" and the first of each keyword stand,
// counted from start, so that the header's settled bytes can be printed and
// dropped while the declaration is still open.
enum DeclarationWord { kExport, kCommon, kLib, kAlias, kNoWord };
struct OpenDeclaration {
  size_t start = 0;
  size_t nameAt = 0, nameSize = 0;
  size_t parenAt = std::string::npos;  // the first "(" of the code, if any
  size_t cutAt = 0;                 // the spaces before that "(" start here
  size_t prefixAt = 0;              // the text from here to that "(" is a word of its own
  DeclarationWord prefix = kNoWord;  // once a clause goes in front of the "("
  size_t wordAt[4] = {std::string::npos, std::string::npos, std::string::npos, std::string::npos};
  bool continues = false;           // its last line's code ends with "_"
};

// An #IF group still open: its metastatement lines not yet written. They
// are written once something else is written inside the group, and dropped
// with the group when nothing is.
struct ConditionalGroup {
  std::string pendingLines;  // each with its CR LF
};

struct SourceScan {
  std::string* header = nullptr;
  InterfaceNames* interfaceNames = nullptr;
  HeaderMode mode = HeaderMode::Compile;
  bool ended = false;          // a 0x1A was met: the rest is not part of the file
  bool afterCr = false;        // the last byte was a CR: an LF next belongs to it
  bool skipLine = false;       // inside a line that is not written
  bool cutLine = false;        // inside a line whose start is in cut
  bool skipInterface = false;  // inside an interface that is already written
  Continuing continuing = Continuing::Nothing;
  std::string cut;  // the start of a line that a piece's end cut off
  std::string libClause;  // " Lib \"export.dll\""
  OpenDeclaration declaration;
  std::vector<std::string> namesAdded;  // to interfaceNames by this file
  std::vector<ConditionalGroup> groups;  // outermost first
  size_t writtenGroups = 0;  // the outer groups whose lines are written: all but a suffix
};
void beginSourceScan(SourceScan& scan, std::string& header, InterfaceNames& interfaceNames,
                     std::string_view path, HeaderMode mode,
                     std::string_view libraryName = kDefaultLibraryName);
void scanSourceBytes(SourceScan& scan, std::string_view bytes);
void endSourceScan(SourceScan& scan);
// A read failed partway through the file: the interfaces it added to
// interfaceNames are taken out again, as the file counts as empty, and a
// declaration still open is taken out of the header. What the header got
// before stays: a caller that printed some of it keeps that much.
void abandonSourceScan(SourceScan& scan);

// How many of the header's bytes no later byte of the file changes: all but
// a declaration still open. A caller that prints the header as it grows
// prints these, then removes them with dropSettledHeader.
size_t settledHeaderSize(const SourceScan& scan);
void dropSettledHeader(SourceScan& scan);

}  // namespace codeloom
