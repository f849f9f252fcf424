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

std::vector<ExportedProcedure> geoExports() {
  return {
      {"area.bas", 12, 1,
       "Declare Function Area Lib \"geo.dll\" Alias \"AREA\" (ByVal w As Double, _\r\n"
       "          ByVal h As Double) As Double\r\n"},
      {"area.bas", 20, 3,
       "Declare Function Perimeter Lib \"geo.dll\" Alias \"PERIMETER\" (ByVal w As Double, "
       "ByVal h As Double) As Double\r\n"},
      {"trace.bas", 3, 1, "Declare Sub Trace Cdecl Lib \"geo.dll\" Alias \"Trace\" (s As String, Optional n() As Long)\r\n"},
  };
}

const char* const kGeoHeader[] = {
    "Declare Function Area Lib \"geo.dll\" Alias \"AREA\" (ByVal w As Double, ByVal h As Double) As Double",
    "Declare Function Perimeter Lib \"geo.dll\" (ByVal w As Double, ByVal h As Double) As Double",
    "Declare Sub Trace Lib \"geo.dll\" Alias \"Trace\" CDecl (s As String, Optional n() As Long)",
};

std::string auditText(std::vector<AuditFinding> findings) {
  std::string out;
  for (const AuditFinding& finding : findings) out += formatFinding(finding) + "\n";
  return out;
}

// The header with line (1-based) replaced, and extra lines after it.
std::string geoHeaderWith(size_t line, std::string replacement, std::string after = "") {
  std::string text;
  for (size_t i = 0; i < 3; ++i) text += (i + 1 == line ? replacement : kGeoHeader[i]) + std::string("\r\n");
  return text + after;
}

TEST(DeclareAudit, OneDeclareAgainstItsExport) {
  const struct {
    size_t line;
    const char* replacement;
    const char* expected;
  } cases[] = {
      // Names, case, blanks, suffixes, folders and a missing ".dll" do not matter.
      {1, "declare  function AREA lib \"C:\\bin\\GEO.DLL\" (byval width#,byval height as  double)as double", ""},
      {2, "DECLARE FUNCTION perimeter# LIB \"lib/geo\" ALIAS \"PERIMETER\" ( BYVAL a AS DOUBLE , BYVAL b# )", ""},
      {3, "Declare Sub Trace CDECL Lib \"Geo.dll\" Alias \"Trace\" (ByRef text$, Opt values&())", ""},
      {3, "Declare Sub Trace2 Lib \"geo.dll\" Alias \"Trace2\" Cdecl (s As String, Optional n() As Long)",
       "geo.inc:3:1: error: entry point 'Trace2' is missing from geo.dll\n"
       "trace.bas:3:1: warning: 'Trace' has no Declare in geo.inc\n"},
      {3, "Declare Sub Trace Lib \"geo.dll\" Alias \"TRACE\" Cdecl (s As String, Optional n() As Long)",
       "geo.inc:3:1: error: 'Trace': entry point 'TRACE' in the header, 'Trace' in the DLL, and GetProcAddress "
       "compares letter case (trace.bas:3)\n"},
      {3, "Declare Function Trace Lib \"geo.dll\" Alias \"Trace\" Cdecl (s As String, Optional n() As Long) As Long",
       "geo.inc:3:1: error: 'Trace': FUNCTION in the header, SUB in the DLL (trace.bas:3)\n"},
      {3, "Declare Sub Trace Lib \"geo.dll\" Alias \"Trace\" (s As String, Optional n() As Long)",
       "geo.inc:3:1: error: 'Trace': calling convention SDECL in the header, CDECL in the DLL (trace.bas:3)\n"},
      {1, "Declare Function Area BDECL Lib \"geo.dll\" (ByVal w As Double, ByVal h As Double) As Double",
       "geo.inc:1:1: error: 'AREA': calling convention BDECL in the header, SDECL in the DLL (area.bas:12)\n"},
      {1, "Declare Function Area Lib \"geo.dll\" (ByVal w As Double, ByRef h As Long, x) As Double",
       "geo.inc:1:1: error: 'AREA': 3 parameters in the header, 2 in the DLL (area.bas:12)\n"},
      {1, "Declare Function Area Lib \"geo.dll\" (ByVal w As Double, h As Double) As Double",
       "geo.inc:1:1: error: 'AREA': parameter 2 is BYREF in the header, BYVAL in the DLL (area.bas:12)\n"},
      {3, "Declare Sub Trace Lib \"geo.dll\" Alias \"Trace\" CDecl (ByVal s As String, n() As Long)",
       "geo.inc:3:1: error: 'Trace': parameter 1 is BYVAL in the header, BYREF in the DLL (trace.bas:3)\n"
       "geo.inc:3:1: error: 'Trace': parameter 2 is required in the header, OPTIONAL in the DLL (trace.bas:3)\n"},
      {3, "Declare Sub Trace Lib \"geo.dll\" Alias \"Trace\" CDecl (Opt s As String, Optional n As Long)",
       "geo.inc:3:1: error: 'Trace': parameter 1 is OPTIONAL in the header, required in the DLL (trace.bas:3)\n"
       "geo.inc:3:1: error: 'Trace': parameter 2 is a scalar in the header, an array in the DLL (trace.bas:3)\n"},
      {1, "Declare Function Area Lib \"geo.dll\" (ByVal w As Double Ptr, ByVal h!) As Double",
       "geo.inc:1:1: error: 'AREA': parameter 1 is DOUBLE PTR in the header, DOUBLE in the DLL (area.bas:12)\n"
       "geo.inc:1:1: error: 'AREA': parameter 2 is SINGLE in the header, DOUBLE in the DLL (area.bas:12)\n"},
      {1, "Declare Function Area Lib \"geo.dll\" (ByVal w As Double, ByVal h) As Single",
       "geo.inc:1:1: warning: 'AREA': parameter 2 has no type in the header, DOUBLE in the DLL (area.bas:12)\n"
       "geo.inc:1:1: error: 'AREA': the result is SINGLE in the header, DOUBLE in the DLL (area.bas:12)\n"},
      {1, "Declare Function Area Lib \"geo.dll\" (ByVal w As Double, ByVal h As Double)",
       "geo.inc:1:1: warning: 'AREA': the result has no type in the header, DOUBLE in the DLL (area.bas:12)\n"},
      // Compiles, but calls to Perimeter reach Area, and Perimeter is undeclared.
      {2, "Declare Function Perimeter Lib \"geo.dll\" Alias \"AREA\" (ByVal w As Double, ByVal h As Double) As Double",
       "geo.inc:2:1: warning: 'AREA': declared as Perimeter, the name of the DLL's 'PERIMETER' (area.bas:20), so "
       "calls to Perimeter reach 'AREA' instead (area.bas:12)\n"
       "area.bas:20:3: warning: 'PERIMETER' has no Declare in geo.inc\n"},
      // Another library's Declares, and those without LIB, are left alone, readable or not.
      {3, "Declare Sub Trace Lib \"other.dll\" (ByVal x As Long)",
       "trace.bas:3:1: warning: 'Trace' has no Declare in geo.inc\n"},
      {3, "Declare Sub Trace Lib \"other.dll\" (", "trace.bas:3:1: warning: 'Trace' has no Declare in geo.inc\n"},
      {3, "Declare Sub Trace (", "trace.bas:3:1: warning: 'Trace' has no Declare in geo.inc\n"},
      {3, "Declare Sub Trace Lib \"geo.dll\" Alias \"Trace\" Cdecl (s As String, Optional n() As Long",
       "geo.inc:3:1: error: cannot read this Declare: a '(' without its ')'\n"
       "trace.bas:3:1: warning: 'Trace' has no Declare in geo.inc\n"},
      {3, "Declare Sub Trace Lib geo.dll",
       "geo.inc:3:1: error: cannot read this Declare: LIB without a quoted name\n"
       "trace.bas:3:1: warning: 'Trace' has no Declare in geo.inc\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, auditText(auditHeader("geo.inc", geoHeaderWith(c.line, c.replacement), geoExports(),
                                                "geo.dll")))
        << c.replacement;
  }
}

const char kGoodArea[] = "Declare Function Area Lib \"geo.dll\" (ByVal w As Double, ByVal h As Double) As Double";
const char kSingleArea[] = "Declare Function Area Lib \"geo.dll\" (ByVal w As Single, ByVal h As Single) As Single";
const char kUntypedArea[] = "Declare Function Area Lib \"geo.dll\" (ByVal w As Double, ByVal h As Double)";

std::string auditLines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

TEST(DeclareAudit, IfAlternatives) {
  const std::string singleFindings =
      "geo.inc:4:1: error: 'AREA': parameter 1 is SINGLE in the header, DOUBLE in the DLL (area.bas:12)\n"
      "geo.inc:4:1: error: 'AREA': parameter 2 is SINGLE in the header, DOUBLE in the DLL (area.bas:12)\n"
      "geo.inc:4:1: error: 'AREA': the result is SINGLE in the header, DOUBLE in the DLL (area.bas:12)\n";
  const struct {
    std::string text;  // after the Perimeter and Trace lines
    std::string expected;
  } cases[] = {
      // One alternative matching is enough.
      {auditLines({"#IF %OLD", kSingleArea, "#ELSE", kGoodArea, "#ENDIF"}), ""},
      {auditLines({"#IF %OLD", kUntypedArea, "#ELSEIF %NEW", kGoodArea, "#ENDIF"}), ""},
      // None matching: the first one's findings; warnings only beat errors.
      {auditLines({"#IF %OLD", kSingleArea, "#ELSE", kSingleArea, "#ENDIF"}), singleFindings},
      {auditLines({"#IF %OLD", kSingleArea, "#ELSE", kUntypedArea, "#ENDIF"}),
       "geo.inc:6:1: warning: 'AREA': the result has no type in the header, DOUBLE in the DLL (area.bas:12)\n"},
      // Nested groups: alternatives through the outer group.
      {auditLines({"#IF %OLD", "#IF %A", kSingleArea, "#ELSE", kUntypedArea, "#ENDIF", "#ELSE", kGoodArea, "#ENDIF"}),
       ""},
      // The same branch, or two groups one after another, are no alternatives.
      {auditLines({"#IF %OLD", kSingleArea, kGoodArea, "#ENDIF"}), singleFindings},
      {auditLines({"#IF %OLD", kSingleArea, "#ENDIF", "#IF %NEW", "#ELSE", kGoodArea, "#ENDIF"}), singleFindings},
      {auditLines({kSingleArea, "#IF %NEW", kGoodArea, "#ENDIF"}),
       "geo.inc:3:1: error: 'AREA': parameter 1 is SINGLE in the header, DOUBLE in the DLL (area.bas:12)\n"
       "geo.inc:3:1: error: 'AREA': parameter 2 is SINGLE in the header, DOUBLE in the DLL (area.bas:12)\n"
       "geo.inc:3:1: error: 'AREA': the result is SINGLE in the header, DOUBLE in the DLL (area.bas:12)\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected,
              auditText(auditHeader("geo.inc", auditLines({kGeoHeader[1], kGeoHeader[2]}) + c.text, geoExports(),
                                    "geo.dll")))
        << c.text;
  }
}

TEST(DeclareAudit, UnknownDllChecksEveryDeclareWithLib) {
  const std::string header = auditLines({kGeoHeader[0], kGeoHeader[1], kGeoHeader[2],
                                         "Declare Function Helper(ByVal x As Long) As Long",
                                         "Declare Function Beep Lib \"kernel32.dll\" (ByVal f As Dword) As Long"});
  EXPECT_EQ("geo.inc:5:1: error: entry point 'BEEP' is missing from the DLL\n",
            auditText(auditHeader("geo.inc", header, geoExports(), "")));
}

// GetProcAddress tells "Trace" from "TRACE", and so does the pairing.
TEST(DeclareAudit, ExactEntryPointBeforeOneOfOtherCase) {
  const std::vector<ExportedProcedure> exports = {
      {"t.bas", 1, 1, "Declare Sub Trace Lib \"t.dll\" Alias \"Trace\" (ByVal n As Long)\r\n"},
      {"t.bas", 5, 1, "Declare Sub TraceUpper Lib \"t.dll\" Alias \"TRACE\" (n As Long)\r\n"},
  };
  const std::string header = auditLines({"Declare Sub TraceUpper Lib \"t.dll\" Alias \"TRACE\" (n As Long)",
                                         "Declare Sub Trace Lib \"t.dll\" Alias \"Trace\" (ByVal n As Long)"});
  EXPECT_EQ("", auditText(auditHeader("t.inc", header, exports, "t.dll")));
}

TEST(DeclareAudit, UnreadableExportsAndEmptyHeader) {
  std::vector<ExportedProcedure> exports = geoExports();
  exports[1].declaration = "Declare Function Perimeter(\r\n";
  EXPECT_EQ("area.bas:12:1: warning: 'AREA' has no Declare in geo.inc\n"
            "area.bas:20:3: error: cannot read the Declare built for this procedure: a '(' without its ')'\n"
            "trace.bas:3:1: warning: 'Trace' has no Declare in geo.inc\n",
            auditText(auditHeader("geo.inc", "", exports, "geo.dll")));
}

TEST(DeclareAudit, FormatFinding) {
  EXPECT_EQ("a.inc:3:7: error: x", formatFinding({"a.inc", 3, 7, FindingLevel::Error, "x"}));
  EXPECT_EQ("b.bas:1:1: warning: y", formatFinding({"b.bas", 1, 1, FindingLevel::Warning, "y"}));
}

}  // namespace
}  // namespace codeloom
