// The header writer's rules written as directly as they read: whole-file
// lines, a fresh normalised copy of every line, padded copies for the word
// tests. Slow and plain, for checking the fast scanner against.
#pragma once

#include <string>
#include <string_view>

#include "headers/source_scanner.h"

namespace codeloom {

// Appends the section of one file, as appendSourceSection does for its bytes.
void plainScanSourceFile(std::string& header, InterfaceNames& interfaceNames,
                         std::string_view path, std::string_view bytes, HeaderMode mode,
                         std::string_view libraryName = kDefaultLibraryName);

}  // namespace codeloom
