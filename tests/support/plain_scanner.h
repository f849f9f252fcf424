// The header writer's rules written as directly as they read: whole-file
// lines, a fresh normalised copy of every line, padded copies for the word
// tests. Slow and plain, for checking the fast scanner against.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "headers/project_lines.h"
#include "headers/source_scanner.h"

namespace codeloom {

// What the files of one header command share, for the plain rules.
struct PlainCommand {
  InterfaceNames interfaceNames;
  std::map<std::string, MarkingWord> macros;  // lower-cased macro name -> the word it stands for
  std::optional<std::string> dllName;  // the first #COMPILE DLL name met outside every #IF group, over all files so far
};

// Appends the section of one file, as appendSourceSection does for its
// bytes, and keeps in command what later files of the command see.
void plainScanSourceFile(std::string& header, PlainCommand& command, std::string_view path, std::string_view bytes,
                         HeaderMode mode, std::string_view libraryName);

// The same for a file scanned with no macros known; the macros it defines
// hold to its end only.
void plainScanSourceFile(std::string& header, InterfaceNames& interfaceNames,
                         std::string_view path, std::string_view bytes, HeaderMode mode,
                         std::string_view libraryName = kDefaultLibraryName);

}  // namespace codeloom
