#include "headers/project_lines.h"

#include <gtest/gtest.h>

#include <string>

namespace codeloom {
namespace {

// "Export Foo", or "none".
std::string describeMacro(std::string_view line) {
  std::optional<MarkingMacro> macro = parseMarkingMacro(line);
  if (!macro) return "none";
  return (macro->word == MarkingWord::Export ? "Export " : "Common ") + macro->name;
}

TEST(ProjectLines, MarkingMacros) {
  struct Row {
    const char* line;
    const char* expected;
  };
  const Row rows[] = {
      {"MACRO Exported = EXPORT", "Export Exported"},
      {"macro shared=common", "Common shared"},
      {"Macro  My_Export2  =  Export", "Export My_Export2"},
      {"MACRO x = EXPORT ' for the DLL", "Export x"},
      {"MACRO x = EXPORT'no blank", "Export x"},
      {"MACRO x = COMMON REM shared", "Common x"},
      {"\tMACRO x = Common\t", "Common x"},
      {"MACRO x(a) = EXPORT", "none"},
      {"MACRO x", "none"},
      {"MACRO FUNCTION x", "none"},
      {"MACRO x = EXPORT2", "none"},
      {"MACRO Alias = COMMON", "none"},  // a word the header writer reads keeps its meaning
      {"macro export = common", "none"},
      {"MACRO LIB = EXPORT", "none"},
      {"MACRO x = EXPORT_", "none"},
      {"MACRO x = EXPORT$", "none"},
      {"MACRO x = EXPORT : y", "none"},
      {"MACRO x = EXPORT COMMON", "none"},
      {"MACRO x = EXPORTS", "none"},
      {"MACRO x = PRIVATE", "none"},
      {"MACRO x =", "none"},
      {"MACRO = EXPORT", "none"},
      {"MACRO x y = EXPORT", "none"},
      {"MACRO x$ = EXPORT", "none"},
      {"MACRO \xE9t\xE9 = EXPORT", "none"},
      {"MACROx = EXPORT", "none"},
      {"' MACRO x = EXPORT", "none"},
      {"END MACRO", "none"},
      {"", "none"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.expected, describeMacro(row.line)) << row.line;
}

TEST(ProjectLines, CompiledDllNames) {
  struct Row {
    const char* line;
    const char* source;
    const char* expected;  // "none" for no name
  };
  const Row rows[] = {
      {"#COMPILE DLL", "tools.bas", "tools.dll"},
      {"#compile dll", "Tools.BAS", "Tools.dll"},
      {"#Compile  Dll ' the library", "tools.bas", "tools.dll"},
      {"#COMPILE DLL REM x", "tools.bas", "tools.dll"},
      {"#COMPILE DLL", "tools", "tools.dll"},
      {"#COMPILE DLL", "archive.v2.bas", "archive.v2.dll"},
      {"#COMPILE DLL", "C:\\prj\\pb\\calc.bas", "calc.dll"},
      {"#COMPILE DLL", "src/dir.v2/calc", "calc.dll"},
      {"#COMPILE DLL \"..\\out\\MyLib.dll\"", "tools.bas", "MyLib.dll"},
      {"#COMPILE DLL = \"Calc\"", "tools.bas", "Calc.dll"},
      {"#COMPILE DLL=\"out/Calc\" ' built here", "tools.bas", "Calc.dll"},
      {"#COMPILE DLL \"My.Lib\"", "tools.bas", "My.Lib"},
      {"#COMPILE DLL \"C:\\a.b\\Lib\"", "tools.bas", "Lib.dll"},
      // Not a DLL, or no sound name.
      {"#COMPILE EXE", "tools.bas", "none"},
      {"#COMPILE SLL", "tools.bas", "none"},
      {"#COMPILE EXE \"x.dll\"", "tools.bas", "none"},
      {"#COMPILE", "tools.bas", "none"},
      {"#COMPILEDLL", "tools.bas", "none"},
      {"#COMPILE DLLX", "tools.bas", "none"},
      {"#COMPILE DLL2", "tools.bas", "none"},
      {"' #COMPILE DLL", "tools.bas", "none"},
      {"#COMPILE DLL =", "tools.bas", "none"},
      {"#COMPILE DLL = Calc", "tools.bas", "none"},
      {"#COMPILE DLL \"Calc", "tools.bas", "none"},
      {"#COMPILE DLL \"\"", "tools.bas", "none"},
      {"#COMPILE DLL \"out\\\"", "tools.bas", "none"},
      {"#COMPILE DLL \"a\"\"b\"", "tools.bas", "none"},
      {"#COMPILE DLL \"a\tb\"", "tools.bas", "none"},
      {"#COMPILE DLL \"a\x7F\"", "tools.bas", "none"},
      {"#COMPILE DLL \"Calc\" junk", "tools.bas", "none"},
      {"#COMPILE DLL \"Calc\" : x", "tools.bas", "none"},
      {"#COMPILE DLL = = \"Calc\"", "tools.bas", "none"},
      {"#COMPILE DLL", "", "none"},
      {"#COMPILE DLL", "C:\\prj\\", "none"},
      {"#COMPILE DLL", ".bas", "none"},
      {"#COMPILE DLL", "a\"b.bas", "none"},
      {"#COMPILE DLL", "a\nb.bas", "none"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.expected, compiledDllName(row.line, row.source).value_or("none"))
        << row.line << " / " << row.source;
}

// "File a.inc", "FileOnce a.inc", "ThisOnce", "Unclear", or "none".
std::string describeInclude(std::string_view line) {
  std::optional<IncludeLine> include = parseIncludeLine(line);
  if (!include) return "none";
  switch (include->kind) {
    case IncludeKind::File: return "File " + include->name;
    case IncludeKind::FileOnce: return "FileOnce " + include->name;
    case IncludeKind::ThisOnce: return "ThisOnce" + include->name;
    case IncludeKind::Unclear: return "Unclear" + include->name;
  }
  return "?";
}

TEST(ProjectLines, IncludeLines) {
  struct Row {
    const char* line;
    const char* expected;
  };
  const Row rows[] = {
      {"#INCLUDE \"Win32API.inc\"", "File Win32API.inc"},
      {"#include \"..\\inc\\a b.inc\"", "File ..\\inc\\a b.inc"},
      {"#Include\"x\"", "File x"},
      {"#INCLUDE \"x.inc\" ' the API", "File x.inc"},
      {"#INCLUDE \"x.inc\"'", "File x.inc"},
      {"#INCLUDE \"x.inc\" REM the API", "File x.inc"},
      {"#INCLUDE \"it's.inc\"", "File it's.inc"},
      {"#INCLUDE ONCE \"x.inc\"", "FileOnce x.inc"},
      {"#include once \"C:\\pb\\x\"", "FileOnce C:\\pb\\x"},
      {"#INCLUDE THIS ONCE", "ThisOnce"},
      {"#include this once ' guard", "ThisOnce"},
      // An include whose file cannot be told.
      {"#INCLUDE", "Unclear"},
      {"#INCLUDE x.inc", "Unclear"},
      {"#INCLUDE $FILE", "Unclear"},
      {"#INCLUDE \"\"", "Unclear"},
      {"#INCLUDE \"x.inc", "Unclear"},
      {"#INCLUDE \"a\"\"b\"", "Unclear"},
      {"#INCLUDE \"x.inc\" junk", "Unclear"},
      {"#INCLUDE ONCE", "Unclear"},
      {"#INCLUDE ONCE ONCE \"x\"", "Unclear"},
      {"#INCLUDE THIS", "Unclear"},
      {"#INCLUDE THIS ONCE \"x\"", "Unclear"},
      {"#INCLUDE ONCEx \"x\"", "Unclear"},
      // Not an include.
      {"#INCLUDEX \"x\"", "none"},
      {"' #INCLUDE \"x\"", "none"},
      {"INCLUDE \"x\"", "none"},
      {"#RESOURCE \"x.pbr\"", "none"},
      {"", "none"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.expected, describeInclude(row.line)) << row.line;
}

}  // namespace
}  // namespace codeloom
