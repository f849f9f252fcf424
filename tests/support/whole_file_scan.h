// A file's section scanned from its bytes held whole: the product reads
// files in windows through appendSourceSection; tests and the fuzz target
// hand it a file in one window.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "headers/source_scanner.h"

namespace codeloom {

inline void scanSourceFile(std::string& header, InterfaceNames& interfaceNames, std::string_view path,
                           std::string_view bytes, HeaderMode mode,
                           std::string_view libraryName = kDefaultLibraryName) {
  appendSourceSection(header, interfaceNames, path, mode, libraryName,
                      [bytes](const std::function<bool(std::string_view)>& take) {
                        take(bytes);
                        return true;
                      });
}

}  // namespace codeloom
