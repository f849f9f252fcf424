// Single lines that tell the header writer about the project rather than a
// procedure: macros that stand for Export or Common, the DLL a source file
// compiles to, and the files it includes. Each takes a normalised line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace codeloom {

enum class MarkingWord { Export, Common };

struct MarkingMacro {
  std::string name;  // as written
  MarkingWord word;
  bool operator==(const MarkingMacro&) const = default;
};

// "MACRO name = EXPORT" or "MACRO name = COMMON" (any case, blanks round
// "=" optional, a comment may follow), name one word of letters, digits
// and "_". Nothing for any other line, a macro with parameters or a
// MACRO block among them, or a name that is a word the header writer reads
// (Export, Common, Lib, Alias).
std::optional<MarkingMacro> parseMarkingMacro(std::string_view line);

// The name of the DLL a "#COMPILE DLL" line makes: from the line's string
// literal (after an optional "="), the text after its last "\" or "/",
// with ".dll" added when it holds no "."; without a literal, the source
// file's name (after its folders) with its extension replaced by ".dll".
// Nothing for any other line, text after the literal that is not a
// comment, or a name that is empty or holds a double quote or a control
// character.
std::optional<std::string> compiledDllName(std::string_view line, std::string_view sourceFileName);

//   File, FileOnce: #INCLUDE "name", #INCLUDE ONCE "name".
//   ThisOnce:       #INCLUDE THIS ONCE; no file to read.
//   Unclear:        an #INCLUDE whose file cannot be told (no literal, an
//                   empty one, one with a quote, text after it), so an
//                   include that cannot be read.
enum class IncludeKind { File, FileOnce, ThisOnce, Unclear };

struct IncludeLine {
  IncludeKind kind;
  std::string name;  // the text between the quotes for File and FileOnce
  bool operator==(const IncludeLine&) const = default;
};

// The #INCLUDE a line holds (any case; a comment may follow), or nothing
// for any other line.
std::optional<IncludeLine> parseIncludeLine(std::string_view line);

}  // namespace codeloom
