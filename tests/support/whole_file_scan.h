// A file's section scanned from its bytes held whole or cut into windows of
// a given size, for tests and the fuzz target: the product reads files in
// windows through appendSourceSection with a command's whole state.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "headers/source_scanner.h"

namespace codeloom {

// The line a section's banner starts and ends with.
inline const std::string kBannerRule = "'" + std::string(70, '-') + "\r\n";

// Reads bytes in windows of the given size (all at once by default).
inline WindowReader inWindows(std::string_view bytes, size_t window = std::string_view::npos) {
  return [bytes, window](const std::function<bool(std::string_view)>& take) {
    for (size_t at = 0; at < bytes.size(); at += window)
      if (!take(bytes.substr(at, window))) break;
    return true;
  };
}

// The section of one file, with the Lib clauses' name given and no macro
// known: the interface names are all a file carries over to the next.
inline void scanSourceFile(std::string& header, InterfaceNames& interfaceNames, std::string_view path,
                           std::string_view bytes, HeaderMode mode,
                           std::string_view libraryName = kDefaultLibraryName) {
  HeaderScan command;
  command.mode = mode;
  command.libraryName = libraryName;
  command.interfaceNames = std::move(interfaceNames);
  HeaderText text{std::move(header), {}};
  appendSourceSection(text, command, path, inWindows(bytes));
  header = std::move(text.text);
  interfaceNames = std::move(command.interfaceNames);
}

}  // namespace codeloom
