// What the files of one header command share: the mode, the names
// already written, the macros and the library name the files give, and the
// header's text with the places its library name is still to go.
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

// What one file added to the command's shared state.
struct SectionNotes {
  std::vector<std::string> namesAdded;  // to interfaceNames
  MarkingMacros macrosDefined;          // as the file left them
  std::string compiledDll;              // its first #COMPILE DLL line's name, if any
};

}  // namespace codeloom
