// Reading a header command's sources on the command line: one after the
// other as the buttons do (the next scanned on a second core), or, with
// --follow-includes, as the compiler reads a program: each #INCLUDE file
// where its line stands, once, and only the #IF branches taken.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "headers/source_scanner.h"

namespace codeloom::cli {

struct SourceOptions {
  std::vector<std::string> files;
  bool followIncludes = false;
  std::vector<std::string> includeDirs;  // -I, in order
};

// Appends the sections of the sources to header. print, when given, takes
// the header as it grows (which then leaves it) and returns false when it
// could not print: reading stops. Following includes, a section is one
// file's, in the order the files were first read, and one with nothing but
// its banner is left out; an include that cannot be found is named on
// stderr and changes nothing else. Returns false when a file could not be
// read (named on stderr) or print failed.
bool appendSources(const SourceOptions& options, HeaderScan& command, HeaderText& header,
                   const std::function<bool(const HeaderText&)>& print = nullptr);

}  // namespace codeloom::cli
