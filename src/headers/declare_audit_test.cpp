#include "headers/declare_audit.h"

#include <gtest/gtest.h>

namespace codeloom {
namespace {

// One line per Declare: position, what was read, #IF branches.
std::string describeDeclare(const ParsedDeclare& d) {
  std::string out = std::to_string(d.line) + ":" + std::to_string(d.column) + " ";
  if (!d.problem.empty()) return out + "? " + d.problem + (d.hasLib ? " | LIB " + d.lib : "");
  out += (d.kind == ProcedureKind::Sub ? "SUB " : "FUNCTION ") + d.name;
  if (d.hasLib) out += " LIB " + d.lib;
  if (d.alias) out += " ALIAS " + *d.alias;
  if (d.convention == CallingConvention::Cdecl) out += " CDECL";
  if (d.convention == CallingConvention::Bdecl) out += " BDECL";
  out += " (";
  for (size_t i = 0; i < d.parameters.size(); ++i) {
    const DeclaredParameter& p = d.parameters[i];
    out += std::string(i ? ", " : "") + (p.optional ? "OPT " : "") + (p.byVal ? "BYVAL " : "") +
           (p.type.empty() ? "?" : p.type) + (p.array ? "()" : "");
  }
  out += ")";
  if (!d.resultType.empty()) out += " AS " + d.resultType;
  for (const IfBranch& b : d.ifBranches) out += " #" + std::to_string(b.group) + "." + std::to_string(b.branch);
  return out;
}

std::string describeDeclares(std::string_view text) {
  std::string out;
  for (const ParsedDeclare& d : parseDeclares(text)) out += describeDeclare(d) + "\n";
  return out;
}

TEST(DeclareAudit, ParseDeclares) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"Declare Function F& Lib \"x\" (a&, b&&, c%, d!, e#, f##, g@, h@@, i$, j$$, k?, l??, m??" "?)",
       "1:1 FUNCTION F LIB x (LONG, QUAD, INTEGER, SINGLE, DOUBLE, EXT, CUR, CUX, STRING, WSTRING, BYTE, "
       "WORD, DWORD) AS LONG\n"},
      // Continuation: comments after "_", any line end, the position of DECLARE.
      {"x = 1\r\n  Declare Function Add Lib \"my.dll\" _ ' first\n(ByVal a As Long, _\r   b As Long) _\r\n"
       "As Long ' done\r\nDeclare Sub Next Lib \"my.dll\"",
       "2:3 FUNCTION Add LIB my.dll (BYVAL LONG, LONG) AS LONG\n6:1 SUB Next LIB my.dll ()\n"},
      {"\tdeclare sub A alias \"a\" lib \"x\" ()\ndeclare sub B lib \"x\" alias \"b\"",
       "1:2 SUB A LIB x ALIAS a ()\n2:1 SUB B LIB x ALIAS b ()\n"},
      {"Declare Sub A CDECL Lib \"x\" (a)\nDeclare Sub B Lib \"x\" (a) Cdecl\nDeclare Sub C BDecl Lib \"x\"",
       "1:1 SUB A LIB x CDECL (?)\n2:1 SUB B LIB x CDECL (?)\n3:1 SUB C LIB x BDECL ()\n"},
      // Types of several words; parentheses and quotes inside the list.
      {"Declare Sub A Lib \"x\" (p As Long  Ptr, s As String*20, z As ASCIIZ * %MAX, a() As Long, Opt ByVal b, q)",
       "1:1 SUB A LIB x (LONG PTR, STRING * 20, ASCIIZ * %MAX, LONG(), OPT BYVAL ?, ?)\n"},
      {"Declare Sub A Lib \"it's, (x)\" Alias \"_\" _\n(a)", "1:1 SUB A LIB it's, (x) ALIAS _ (?)\n"},
      // Statements that are no Declare; a "_" inside a string continues nothing.
      {"%A = 1 + _\nDeclare Sub X Lib \"x\"\nType T\n  a As Long\nEnd Type\n' Declare Sub Y Lib \"x\"\n"
       "Declare Sub Z Lib \"x _\nDeclare Sub W Lib \"x\"",
       "7:1 ? a string without its closing quote | LIB \n8:1 SUB W LIB x ()\n"},
      {"#IF %A\nDeclare Sub A Lib \"x\"\n  #if %B\nDeclare Sub B Lib \"x\"\n#ELSEIF %C\nDeclare Sub C Lib \"x\"\n"
       "#Else\nDeclare Sub D Lib \"x\"\n#ENDIF\n#ELSE\nDeclare Sub E Lib \"x\"\n#EndIf\n#ENDIF\n#IF 1\n#ELSE\n"
       "Declare Sub F Lib \"x\"",
       "2:1 SUB A LIB x () #1.1\n4:1 SUB B LIB x () #1.1 #2.1\n6:1 SUB C LIB x () #1.1 #2.2\n"
       "8:1 SUB D LIB x () #1.1 #2.3\n11:1 SUB E LIB x () #1.2\n16:1 SUB F LIB x () #3.2\n"},
      {"Declare Sub A Lib \"x\"\x1A\nDeclare Sub B Lib \"x\"", "1:1 SUB A LIB x ()\n"},
      {"Declare Sub A Lib \"x\" _", "1:1 SUB A LIB x ()\n"},
      // Unreadable Declares keep their LIB when it can be found.
      {"Declare Function F Lib", "1:1 ? LIB without a quoted name | LIB \n"},
      {"Declare Sub A Lib \"x\" (a,,b)", "1:1 ? parameter 2 is empty | LIB x\n"},
      {"Declare Sub A Lib \"x\" (a", "1:1 ? a '(' without its ')' | LIB x\n"},
      {"Declare Sub A Lib \"x\" (a, b))", "1:1 ? ')' is not understood here | LIB x\n"},
      {"Declare Sub A& Lib \"x\"", "1:1 ? a SUB's name has a type suffix | LIB x\n"},
      {"Declare Sub A Lib \"x\" As Long", "1:1 ? a SUB has no result type | LIB x\n"},
      {"Declare Function F& Lib \"x\" As Long", "1:1 ? the name has both a type suffix and AS | LIB x\n"},
      {"Declare Function F Lib \"x\" As", "1:1 ? AS without a type | LIB x\n"},
      {"Declare Function F Lib \"x\" Lib \"y\"", "1:1 ? a second LIB clause | LIB x\n"},
      {"Declare Sub A Cdecl Lib \"x\" Sdecl", "1:1 ? a second calling convention | LIB x\n"},
      {"Declare Sub A Lib \"x\" Foo", "1:1 ? 'Foo' is not understood here | LIB x\n"},
      {"Declare Sub A Lib \"x\" (ByVal ByRef a)", "1:1 ? parameter 1 is both BYVAL and BYREF | LIB x\n"},
      {"Declare Sub A Lib \"x\" (a, b& As Long)", "1:1 ? parameter 2 has both a type suffix and AS | LIB x\n"},
      {"Declare Sub A Lib \"x\" (a&%)", "1:1 ? 'a&%' has an unknown type suffix | LIB x\n"},
      {"Declare Sub A Lib \"x\" (ByVal)", "1:1 ? parameter 1 has no name | LIB x\n"},
      {"Declare Sub A Lib \"x\" (a(1))", "1:1 ? parameter 1: '(' is not understood here | LIB x\n"},
      {"Declare Callback Function F()", "1:1 ? DECLARE is followed by neither SUB nor FUNCTION\n"},
      {"Declare", "1:1 ? DECLARE is followed by neither SUB nor FUNCTION\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, describeDeclares(c.text)) << c.text;
}

// The Declares of a generated DLL header, as the exports hold them.
TEST(DeclareAudit, ParseDeclareStatement) {
  const struct {
    const char* statement;
    const char* expected;  // the Declare, or "? problem"
  } cases[] = {
      {"Declare Function AddTwo Lib \"my.dll\" Alias \"ADDTWO\" (ByVal a As Long, _\r\n"
       "          ByVal b As Long) As Long\r\n",
       "0:0 FUNCTION AddTwo LIB my.dll ALIAS ADDTWO (BYVAL LONG, BYVAL LONG) AS LONG"},
      {"Declare Sub Tick(ByVal n As Long) Export\r\n", "0:0 SUB Tick (BYVAL LONG)"},
      {"", "? not a Declare"},
      {"x = 1\r\n", "? not a Declare"},
      {"Declare Sub A()\r\nDeclare Sub B()\r\n", "? more than one statement"},
      {"Declare Sub A(\r\n", "? a '(' without its ')'"},
  };
  for (const auto& c : cases) {
    std::string problem = "unset";
    std::optional<ParsedDeclare> declare = parseDeclareStatement(c.statement, &problem);
    EXPECT_EQ(c.expected, declare ? describeDeclare(*declare) : "? " + problem) << c.statement;
    EXPECT_EQ(declare.has_value(), problem.empty()) << c.statement;
  }
}

}  // namespace
}  // namespace codeloom
