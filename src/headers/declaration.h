// How a procedure's lines become a Declare statement of the header.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "headers/source_scanner.h"

namespace codeloom {

// What decides a Declare besides the procedure's lines.
struct DeclarationRules {
  HeaderMode mode = HeaderMode::Sll;
  std::string_view libraryName;  // empty: left out of the Lib clause, its place noted
  const MarkingMacros* macros = nullptr;  // names that stand for Export or Common
};

// Appends to out the Declare that a procedure gives and returns true, or
// leaves out as it was and returns false when it gives none: no word of its code marks it Common or
// Export, or, in modes Sll and Dll, it is the DLL's entry point (LibMain,
// DllMain, PbLibMain), which no program calls. lines: its first line and
// its continuation lines, raw, without their line ends.
//
//   1. The text is "Declare ", the first line, then each continuation line
//      after 10 spaces, each normalised (blanks at the ends go, a run of n
//      inner blanks keeps ((n + 1) / 2 + 1) / 2 spaces) and ended by CR LF.
//   2. The code of a line is what precedes a comment's "'" outside a
//      string; its words are what stands between spaces and its ends.
//      Export and Common (or a macro name standing for one) are words also
//      right after a ")": Sub A()EXPORT.
//   3. In mode Dll, an exported procedure gets a Lib clause and an Alias
//      clause with its name in capitals, unless it has them: in front of
//      its Alias word, else of the first "(" of its code, else after its
//      name. The spaces in front of that place give way to the clause and
//      one space.
//   4. Sll and Dll drop the first Export word, Dll the first Common word,
//      each with the one space or line end in front of it (not a ")").
struct DeclarationFacts {
  size_t libraryNameAt = std::string::npos;  // where the left-out library name goes, from the Declare's start
  bool exported = false;  // marked Export, not only Common
};
bool buildDeclaration(std::span<const std::string_view> lines, const DeclarationRules& rules, std::string& out,
                      DeclarationFacts& facts);

// Whether a raw line holds "export" or "common" anywhere, in any case: a
// line of code that marks a procedure always does, and most lines do not.
bool mentionsMarkingWord(std::string_view line);

}  // namespace codeloom
