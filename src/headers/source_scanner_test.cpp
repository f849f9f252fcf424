#include "headers/source_scanner.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/whole_file_scan.h"

namespace codeloom {
namespace {


std::string banner(const std::string& name) { return kBannerRule + "' " + name + "\r\n" + kBannerRule; }

std::string section(std::string_view source, HeaderMode mode, std::string_view path = "x.bas") {
  std::string header;
  InterfaceNames names;
  scanSourceFile(header, names, path, source, mode);
  return header;
}

// What a file adds between its banner and its closing empty line.
std::string body(std::string_view source, HeaderMode mode, InterfaceNames names = {}) {
  std::string header;
  scanSourceFile(header, names, "x.bas", source, mode);
  std::string head = banner("x.bas");
  if (header.compare(0, head.size(), head) != 0 || header.size() < head.size() + 2 ||
      header.compare(header.size() - 2, 2, "\r\n") != 0)
    return "malformed section: " + header;
  return header.substr(head.size(), header.size() - head.size() - 2);
}

constexpr HeaderMode Sll = HeaderMode::Sll, Dll = HeaderMode::Dll, Compile = HeaderMode::Compile;

const char kExample[] =
    "Function AddTwo(ByVal a As Long, _\r\n"
    "                ByVal b As Long) Export As Long\r\n"
    "  Function = a + b\r\n"
    "End Function\r\n"
    "Class CCounter\r\n"
    "  Interface ICounter\r\n"
    "    Inherit IUnknown\r\n"
    "    Method Increment(ByVal n As Long) As Long\r\n"
    "      Method = n + 1\r\n"
    "    End Method\r\n"
    "  End Interface\r\n"
    "End Class\r\n";

std::string exampleSection(const std::string& declaration) {
  return banner("mylib.bas") + declaration +
         "\r\n"
         "Interface ICounter\r\n"
         "  Inherit IUnknown\r\n"
         "  Method Increment(ByVal n As Long) As Long\r\n"
         "End Interface\r\n"
         "\r\n";
}

TEST(SourceScanner, WorkedExampleInEveryMode) {
  const std::string path = "C:\\src\\mylib.bas";
  EXPECT_EQ(exampleSection("Declare Function AddTwo(ByVal a As Long, _\r\n"
                           "          ByVal b As Long) As Long\r\n"),
            section(kExample, Sll, path));
  EXPECT_EQ(exampleSection("Declare Function AddTwo(ByVal a As Long, _\r\n"
                           "          ByVal b As Long) Export As Long\r\n"),
            section(kExample, Compile, path));
  EXPECT_EQ(exampleSection("Declare Function AddTwo Lib \"export.dll\" Alias \"ADDTWO\" "
                           "(ByVal a As Long, _\r\n"
                           "          ByVal b As Long) As Long\r\n"),
            section(kExample, Dll, path));
}

TEST(SourceScanner, BannerNamesTheFileAfterTheLastBackslash) {
  struct Case { std::string_view path, name; };
  const Case cases[] = {
      {"C:\\SRC\\MyLib.BAS", "MyLib.BAS"},
      {"mylib.bas", "mylib.bas"},
      {"C:\\a/b\\c.inc", "c.inc"},
      {"dir/x.bas", "dir/x.bas"},  // only "\" separates
      {"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(banner(std::string(c.name)) + "\r\n", section("", Sll, c.path)) << c.path;
}

struct Case {
  HeaderMode mode;
  std::string_view source;
  std::string_view body;
};

void expectBodies(const std::vector<Case>& cases) {
  for (const Case& c : cases)
    EXPECT_EQ(c.body, body(c.source, c.mode)) << "mode " << int(c.mode) << ": " << c.source;
}

TEST(SourceScanner, WhichLinesStartAProcedure) {
  expectBodies({
      {Sll, "", ""},
      {Sll, "FUNCTION = 5 Export\r\nFunction = x Export\r\nFunction=5 Export", ""},
      {Sll, "Sub\r\nSubroutine X() Export\r\nSub_X() Export", ""},
      {Sll, "Declare Function X Lib \"a\" () Export\r\nCallBack Function C() Export", ""},
      {Sll, "Thread Function T(ByVal x As Long) Export As Long", ""},
      {Sll, "\t  sUB   a() EXPORT  ", "Declare sUB a()\r\n"},
      {Sll, "Sub\tA() Export\r\nSub \t \r\nSub\r\nFunctions X() Export", "Declare Sub A()\r\n"},
      {Sll, "Function   = 5 Export", "Declare Function = 5\r\n"},  // 3 spaces: not "function ="
      {Compile, "Sub A() Export\r\n\x1ASub B() Export", "Declare Sub A() Export\r\n"},
  });
}

// NUL, 0x1A, lone CR and LF and high bytes: text like any other, with the
// line rules and the ANSI case mapping deciding.
TEST(SourceScanner, ByteClasses) {
  using namespace std::string_literals;
  expectBodies({
      {Dll, "Sub \xE4x(a) Export", "Declare Sub \xE4x Lib \"export.dll\" Alias \"\xC4X\" (a)\r\n"},
      {Compile, "Sub A(\0) Export"s, "Declare Sub A(\0) Export\r\n"s},
      {Compile, "\0Sub A() Export"s, ""},       // a NUL before the keyword
      {Compile, "Sub\xA0" "A() Export", ""},    // a no-break space is no blank
      {Compile, "\xFF\xFE" "Sub A() Export", ""},
      // A lone LF ends a line, as CR and CR LF do.
      {Sll, "Sub A() Export\nSub B() Export", "Declare Sub A()\r\nDeclare Sub B()\r\n"},
      {Compile, "Sub A(x, _\ry) Export", "Declare Sub A(x, _\r\n          y) Export\r\n"},
      // 0x1A ends the file inside a declaration: the part read is unmarked.
      {Compile, "Sub A(x, _\r\n\x1Ay) Export", ""},
      {Compile, "Interface I\xC9\r\nEnd Interface\r\nInterface i\xE9\r\nMethod M()\r\nEnd Interface",
       "\r\nInterface I\xC9\r\nEnd Interface\r\n"},
  });
}

// Lines whose first word looks like a keyword but which are no procedure,
// interface or member line.
TEST(SourceScanner, NearMissesOfTheKeywords) {
  expectBodies({
      {Compile, "  \t  \r\n\t", ""},
      {Compile, "End If\r\nEnd  Sub\r\nEnd Interfaces", "End Interfaces\r\n"},
      {Compile, "Property Let X() Export\r\nProperty\tGetX", ""},
      {Compile, "Inherit\r\nMethod = 5\r\nMethodx y\r\nInterfaces X\r\nFunctionx y", ""},
      {Compile, "Method\tM()", "  Method M()\r\n"},
      // Other first words with a keyword's first letter.
      {Compile, "If a Then\r\nExit Sub\r\nSelect Case x\r\nSet o = Nothing\r\nPosition = 1", ""},
      // A keyword followed by blanks only.
      {Compile, "End \t \r\nFunction  \r\nMethod \t\r\nInterface \r\nInherit  ", ""},
  });
}

TEST(SourceScanner, Declarations) {
  expectBodies({
      // Unmarked procedures are dropped with their continuation lines.
      {Sll, "Sub A(x, _\r\nMethod M() _\r\nInterface IX)\r\nEnd Sub", ""},
      {Dll, "Sub A(x, _\r\nMethod M() _\r\nInterface IX)\r\nEnd Sub", ""},
      // Common stays in SLL headers; DLL headers drop it and add no clauses.
      {Sll, "Sub A(x) Common", "Declare Sub A(x) Common\r\n"},
      {Dll, "Sub A(x) Common", "Declare Sub A(x)\r\n"},
      {Compile, "Sub A(x) Common", "Declare Sub A(x) Common\r\n"},
      {Dll, "Sub Tick(ByVal n As Long) Export",
       "Declare Sub Tick Lib \"export.dll\" Alias \"TICK\" (ByVal n As Long)\r\n"},
      {Dll, "Function Foo (x) Export", "Declare Function Foo Lib \"export.dll\" Alias \"FOO\" (x)\r\n"},
      {Dll, "Function Foo(x) Export", "Declare Function Foo Lib \"export.dll\" Alias \"FOO\" (x)\r\n"},
      {Dll, "Sub \xF6l() Export", "Declare Sub \xF6l Lib \"export.dll\" Alias \"\xD6L\" ()\r\n"},
      {Dll, "Sub A() Common Export", "Declare Sub A Lib \"export.dll\" Alias \"A\" ()\r\n"},
      {Sll, "Sub A() Common Export", "Declare Sub A() Common\r\n"},
      {Compile, "Sub A() Common Export", "Declare Sub A() Common Export\r\n"},
      // Clauses already present are kept; a Lib clause goes before an Alias.
      {Dll, "Function F Alias \"ff\" (x) Export As Long",
       "Declare Function F Lib \"export.dll\" Alias \"ff\" (x) As Long\r\n"},
      {Dll, "Sub S Lib \"x.dll\" (a) Export", "Declare Sub S Lib \"x.dll\" Alias \"S\" (a)\r\n"},
      // "export" inside a name or string is not the word.
      {Sll, "Sub ExportAll(x)", ""},
      {Dll, "Sub A Lib \"export.dll\" ()", ""},
      // A declaration cut off by the end of the file ends there.
      {Sll, "Sub A() Export _", "Declare Sub A() _\r\n"},
      {Sll, "Sub A(x) Common _\r\n", "Declare Sub A(x) Common _\r\n"},
      // An empty continuation line is the declaration's last line.
      {Sll, "Sub A(x) Export _\r\n\r\nSub B() Export",
       "Declare Sub A(x) _\r\n          \r\nDeclare Sub B()\r\n"},
      // A name that ends the line, with neither parameter list nor marker.
      {Sll, "Sub Main\r\nFunction Now", ""},
      // Export on a continuation line is found and removed.
      {Sll, "Sub A(x, _\r\ny) _\r\nExport", "Declare Sub A(x, _\r\n          y) _\r\n         \r\n"},
      // Parameter list on a continuation line.
      {Sll, "Function Foo _\r\n(ByVal x As Long) Export",
       "Declare Function Foo _\r\n          (ByVal x As Long)\r\n"},
      {Compile, "Function Foo _\r\n(ByVal x As Long) Export",
       "Declare Function Foo _\r\n          (ByVal x As Long) Export\r\n"},
      {Dll, "Function Foo _\r\n(ByVal x As Long) Export",
       "Declare Function Foo _\r\n Lib \"export.dll\" Alias \"FOO\" (ByVal x As Long)\r\n"},
      // Continuation lines are not classified, whatever they look like.
      {Sll, "Sub A(x, _\r\nInterface IX _\r\nEnd Interface) Export",
       "Declare Sub A(x, _\r\n          Interface IX _\r\n          End Interface)\r\n"},
      // Runs of spaces: halved per line, then once more over the declaration.
      {Sll, "Sub A(x,      y) Common", "Declare Sub A(x,  y) Common\r\n"},
      // Lines ending in LF alone are lines like any other.
      {Sll, "Sub A() Export\nSub B() Export\n", "Declare Sub A()\r\nDeclare Sub B()\r\n"},
      {Sll, "' comment\nSub A() Export\n", "Declare Sub A()\r\n"},
      {Sll, "Sub A(x, _\n  y) Export\n", "Declare Sub A(x, _\r\n          y)\r\n"},
  });
}

TEST(SourceScanner, DllClausesWithoutParameterList) {
  // No "(": the clauses follow the procedure name on the first line.
  expectBodies({
      {Dll, "Sub Tick Export", "Declare Sub Tick Lib \"export.dll\" Alias \"TICK\"\r\n"},
      {Dll, "Function Now Export As Long",
       "Declare Function Now Lib \"export.dll\" Alias \"NOW\" As Long\r\n"},
      {Dll, "Sub Tick Alias \"T\" Export", "Declare Sub Tick Lib \"export.dll\" Alias \"T\"\r\n"},
      {Dll, "Sub Tick Lib \"k.dll\" Export", "Declare Sub Tick Alias \"TICK\" Lib \"k.dll\"\r\n"},
      {Dll, "Sub Tick _\r\nExport As Long",
       "Declare Sub Tick Lib \"export.dll\" Alias \"TICK\" _\r\n          As Long\r\n"},
      {Sll, "Sub Tick Export", "Declare Sub Tick\r\n"},
  });
}

// A clause put in front of a "(" cuts the text before it off as a word of
// its own, which then counts as one: an Alias, or the first Export or
// Common to go. A comment right after the keyword leaves nothing marked.
TEST(SourceScanner, DllClausesThatCutAWordOff) {
  expectBodies({
      {Dll, "Sub Alias(x) Export", "Declare Sub Alias Lib \"export.dll\" (x)\r\n"},
      {Dll, "Sub Export(x) Export", "Declare Sub Lib \"export.dll\" Alias \"EXPORT\" (x) Export\r\n"},
      {Dll, "Sub F Common(x) Export", "Declare Sub F Lib \"export.dll\" Alias \"F\" (x)\r\n"},
      {Dll, "Sub F Lib \"k\" Common(x) Export", "Declare Sub F Lib \"k\" Alias \"F\" (x)\r\n"},
      {Dll, "Sub F Lib \"k\" Alias \"G\" Common(x) Export",
       "Declare Sub F Lib \"k\" Alias \"G\" Common(x)\r\n"},
      {Sll, "Sub Export(x) Common", "Declare Sub Export(x) Common\r\n"},
      {Dll, "Sub 'c _\r\nExport", ""},
      {Dll, "Sub\t\t\t\t\t'c _\r\n(x) Export", ""},
      {Dll, "Sub (x) Export", "Declare Sub Lib \"export.dll\" Alias \"\" (x)\r\n"},
  });
}

// A "'" outside a string starts a comment to the line's end: its words mark
// nothing, lose nothing and never hold a Lib or Alias clause.
TEST(SourceScanner, WordsInACommentAreNoKeywords) {
  expectBodies({
      {Sll, "Sub Helper(x) ' not for export", ""},
      {Dll, "Sub Helper(x) ' not for export", ""},
      {Compile, "Sub Helper(x) ' not for export", ""},
      {Dll, "Sub Helper(x) 'common use", ""},
      {Sll, "Sub A(x)'Export\r\nFunction B() ' a\nCommon", ""},  // the LF is inside the comment
      {Sll, "Sub A(x) Common ' export", "Declare Sub A(x) Common ' export\r\n"},
      {Dll, "Sub A(x) Common ' export", "Declare Sub A(x) ' export\r\n"},
      {Dll, "Sub A(x) Export ' common", "Declare Sub A Lib \"export.dll\" Alias \"A\" (x) ' common\r\n"},
      {Dll, "Sub A(x) Export ' lib alias",
       "Declare Sub A Lib \"export.dll\" Alias \"A\" (x) ' lib alias\r\n"},
      {Sll, "Sub A() Export' x", "Declare Sub A()' x\r\n"},  // the comment ends the word
      // A "'" inside a string is no comment.
      {Dll, "Function F Alias \"it's\" (x) Export",
       "Declare Function F Lib \"export.dll\" Alias \"it's\" (x)\r\n"},
      {Dll, "Sub A Lib \"it's\" (x) Export ' alias",
       "Declare Sub A Lib \"it's\" Alias \"A\" (x) ' alias\r\n"},
      {Sll, "Sub A(\"it's\") ' export", ""},
      {Sll, "Sub A(\"x) ' Export", "Declare Sub A(\"x) '\r\n"},  // an open string runs on
      // No "(" in the code: the clauses follow the name, before the comment.
      {Dll, "Sub Tick Export ' (old)",
       "Declare Sub Tick Lib \"export.dll\" Alias \"TICK\" ' (old)\r\n"},
      {Dll, "Sub Tick _' (x)\r\nExport",
       "Declare Sub Tick Lib \"export.dll\" Alias \"TICK\" _' (x)\r\n         \r\n"},
      // Continuation lines, with and without comments.
      {Sll, "Sub A(x, _\r\ny) Export ' export", "Declare Sub A(x, _\r\n          y) ' export\r\n"},
      {Dll, "Function Foo _ ' name\r\n(ByVal x As Long) Export",
       "Declare Function Foo _ ' name\r\n"
       " Lib \"export.dll\" Alias \"FOO\" (ByVal x As Long)\r\n"},
  });
}

TEST(SourceScanner, InterfacesAndMembers) {
  expectBodies({
      {Compile, "Interface IA\r\nMethod M()\r\nEnd Interface\r\ninterface ia\r\nMethod N()\r\nEnd Interface",
       "\r\nInterface IA\r\n  Method M()\r\nEnd Interface\r\n"},
      {Sll, "Interface IFoo Guid$(\"{x}\")\r\nEnd Interface\r\nINTERFACE   IFOO\r\nInherit IX\r\nEnd Interface",
       "\r\nInterface IFoo Guid$(\"{x}\")\r\nEnd Interface\r\n"},
      {Sll, "Interface\r\nInterfaces X\r\nEnd Interface ' done", "End Interface ' done\r\n"},
      {Sll, "\t\tMethod M(a, _\r\n\t\t\t\tb, _\r\n   c)",
       "  Method M(a, _\r\n                      b, _\r\n                      c)\r\n"},
      {Sll, "Method M(x,      y)", "  Method M(x,   y)\r\n"},  // halved once only
      // A member cut off by the end of the file, or by an empty line.
      {Sll, "Method M(a, _", "  Method M(a, _\r\n"},
      {Sll, "Method M(a, _\r\n\r\nMethod N()",
       "  Method M(a, _\r\n                      \r\n  Method N()\r\n"},
      {Sll, "Method Foo()\r\nProperty Get X() As Long\r\nproperty set X(v)\r\nInherit IDispatch",
       "  Method Foo()\r\n  Property Get X() As Long\r\n  property set X(v)\r\n  Inherit IDispatch\r\n"},
      {Sll, "Method = 5\r\nClass Method Foo()\r\nProperty Let X(v)\r\nPropertyGet X\r\nMethod", ""},
  });
}

// A line continues when its code ends with "_": a comment may follow, and
// stays in the written text; a "_" inside the comment continues nothing.
TEST(SourceScanner, ContinuationBeforeAComment) {
  expectBodies({
      {Sll, "Sub A(ByVal x As Long, _ ' the first\r\n      ByVal y As Long) Export",
       "Declare Sub A(ByVal x As Long, _ ' the first\r\n          ByVal y As Long)\r\n"},
      {Sll, "Sub A(x, _'no blank\r\ny) Export", "Declare Sub A(x, _'no blank\r\n          y)\r\n"},
      {Sll, "Sub A(x, _ ' one _\r\ny, _ ' two\r\nz) Export",
       "Declare Sub A(x, _ ' one _\r\n          y, _ ' two\r\n          z)\r\n"},
      {Sll, "Sub A(x) ' see _\r\nExport", ""},
      {Sll, "Sub A(x) ' export _\r\nCommon", ""},
      {Sll, "Sub A(\"'\", _ ' c\r\ny) Export", "Declare Sub A(\"'\", _ ' c\r\n          y)\r\n"},
      {Sll, "Sub A(\"it's _\") Export", "Declare Sub A(\"it's _\")\r\n"},
      {Sll, "Method M(a, _ ' first\r\nb)", "  Method M(a, _ ' first\r\n                      b)\r\n"},
      {Sll, "Method M(a) ' _\r\nMethod N()", "  Method M(a) ' _\r\n  Method N()\r\n"},
  });
}

// DECLARE takes Lib before Alias: an Alias the source has gets the Lib
// clause in front of it. The clauses go before the first "(" of the code
// outside a string.
TEST(SourceScanner, DllLibBeforeAlias) {
  expectBodies({
      {Dll, "FUNCTION AddOne ALIAS \"AddOne\" (BYVAL x AS LONG) EXPORT AS LONG",
       "Declare FUNCTION AddOne Lib \"export.dll\" ALIAS \"AddOne\" (BYVAL x AS LONG) AS LONG\r\n"},
      {Sll, "FUNCTION AddOne ALIAS \"AddOne\" (BYVAL x AS LONG) EXPORT AS LONG",
       "Declare FUNCTION AddOne ALIAS \"AddOne\" (BYVAL x AS LONG) AS LONG\r\n"},
      {Compile, "Sub S Alias \"S\" (x) Export", "Declare Sub S Alias \"S\" (x) Export\r\n"},
      {Dll, "Sub S   Alias \"T\" Export", "Declare Sub S Lib \"export.dll\" Alias \"T\"\r\n"},
      {Dll, "Sub S Export Alias \"T\" (x)", "Declare Sub S Lib \"export.dll\" Alias \"T\" (x)\r\n"},
      {Dll, "Sub S Common Alias \"T\" (x) Export", "Declare Sub S Lib \"export.dll\" Alias \"T\" (x)\r\n"},
      // An Alias that starts a continuation line loses its indentation.
      {Dll, "Function F _\r\n    Alias \"F\" (x) Export",
       "Declare Function F _\r\n Lib \"export.dll\" Alias \"F\" (x)\r\n"},
      {Dll, "Sub S Lib \"k.dll\" Alias \"S\" (x) Export", "Declare Sub S Lib \"k.dll\" Alias \"S\" (x)\r\n"},
      {Dll, "Sub S Alias \"S\" Lib \"k.dll\" (x) Export", "Declare Sub S Alias \"S\" Lib \"k.dll\" (x)\r\n"},
      {Dll, "Sub S(x) Export ' alias", "Declare Sub S Lib \"export.dll\" Alias \"S\" (x) ' alias\r\n"},
      // A "(" inside a string literal is no parameter list.
      {Dll, "Sub S Lib \"a(b).dll\" (x) Export", "Declare Sub S Lib \"a(b).dll\" Alias \"S\" (x)\r\n"},
      {Dll, "Sub S Alias \"P(1)\" (x) Export", "Declare Sub S Lib \"export.dll\" Alias \"P(1)\" (x)\r\n"},
      {Dll, "Sub S Lib \"a(b)\" Export", "Declare Sub S Alias \"S\" Lib \"a(b)\"\r\n"},
  });
}

// "Interface IDBIND name" is named by the word after IDBIND; MEMBER lines
// are member lines.
TEST(SourceScanner, DispatchInterfaces) {
  InterfaceNames names;
  EXPECT_EQ("\r\nInterface IDBIND IFoo\r\n  Member Call Run<1>(ByVal n As Long, _\r\n"
            "                      ByVal m As Long)\r\n  MEMBER GET Count<2>() As Long\r\n"
            "End Interface\r\n\r\nINTERFACE idbind IBar\r\n  member let Size<3>()\r\n"
            "  Member Set Item<4>()\r\nEnd Interface\r\n",
            body("Interface IDBIND IFoo\r\n  Member Call Run<1>(ByVal n As Long, _\r\n"
                 "   ByVal m As Long)\r\n  MEMBER GET Count<2>() As Long\r\nEnd Interface\r\n"
                 "INTERFACE idbind\tIBar\r\n  member let Size<3>()\r\n  Member Set Item<4>()\r\n"
                 "End Interface\r\nInterface IDbind IFOO\r\n  Member Call Other<5>()\r\nEnd Interface",
                 Compile, names));
  expectBodies({
      {Sll, "Interface IDBIND\r\nInterface IDBIND  \r\nEnd Interface",
       "\r\nInterface IDBIND\r\n"},  // IDBIND with nothing after it is the name
      {Sll, "Members x\r\nMember\r\nMemberCall x\r\nMember  \t", ""},
  });
  std::string header;
  scanSourceFile(header, names, "x.bas", "Interface IDBIND IFoo\r\nInterface IDBIND IBaz\r\n", Sll);
  EXPECT_EQ((InterfaceNames{"ibaz", "ifoo"}), names);
}

// #IF groups are kept around what they hold, and dropped when they hold
// nothing that is written.
TEST(SourceScanner, ConditionalGroups) {
  expectBodies({
      {Sll,
       "#IF %DEF(%UNICODE)\r\nFunction W(s As WString) Export As Long\r\n#ELSE\r\n"
       "Function W(s As String) Export As Long\r\n#ENDIF",
       "#IF %DEF(%UNICODE)\r\nDeclare Function W(s As WString) As Long\r\n#ELSE\r\n"
       "Declare Function W(s As String) As Long\r\n#ENDIF\r\n"},
      {Sll, "Sub A() Export\r\n  #IF %DEBUG\r\n  x = 1\r\n  #ENDIF\r\nEnd Sub", "Declare Sub A()\r\n"},
      {Sll, "#IF 0\r\nSub A()\r\n#ELSE\r\nSub B() Export\r\n#ENDIF",
       "#IF 0\r\n#ELSE\r\nDeclare Sub B()\r\n#ENDIF\r\n"},
      {Sll, "#IF A\r\nSub B() Export\r\n#ELSE\r\nSub C()\r\n#ENDIF",
       "#IF A\r\nDeclare Sub B()\r\n#ELSE\r\n#ENDIF\r\n"},
      {Sll, "#IF A\r\nx\r\n#ELSEIF B\r\nSub C() Export\r\n#ELSE\r\nSub D() Export\r\n#ENDIF",
       "#IF A\r\n#ELSEIF B\r\nDeclare Sub C()\r\n#ELSE\r\nDeclare Sub D()\r\n#ENDIF\r\n"},
      // Nested groups: an empty inner one goes, the outer one stays.
      {Sll, "#IF A\r\n#IF B\r\nx\r\n#ENDIF\r\nSub C() Export\r\n#ENDIF",
       "#IF A\r\nDeclare Sub C()\r\n#ENDIF\r\n"},
      {Sll, "#IF A\r\n#IF B\r\nSub C() Export\r\n#ENDIF\r\n#ENDIF",
       "#IF A\r\n#IF B\r\nDeclare Sub C()\r\n#ENDIF\r\n#ENDIF\r\n"},
      // Interfaces and members are written inside groups too; normalised,
      // with no indentation.
      {Sll, "\t#if   %X\r\n  Interface IX\r\n  End Interface\r\n  #Else ' none\r\nMethod M()\r\n #EndIf'done",
       "#if  %X\r\n\r\nInterface IX\r\nEnd Interface\r\n#Else ' none\r\n  Method M()\r\n#EndIf'done\r\n"},
      // Unmatched ones are ignored; a group open at the end stays open.
      {Sll, "#ENDIF\r\n#ELSE\r\nSub A() Export\r\n#IF B\r\nSub C() Common", "Declare Sub A()\r\n#IF B\r\nDeclare Sub C() Common\r\n"},
      // An unmarked procedure writes nothing, so its group goes.
      {Dll, "#IF A\r\nSub B()\r\n#ENDIF", ""},
      // Near misses.
      {Sll, "#IFDEF A\r\nSub B() Export\r\n#ELSEX\r\n#ENDIFX\r\n#IF\r\n#Include \"x\"\r\n# IF A", "Declare Sub B()\r\n"},
  });
  // A skipped interface writes nothing, so its group is dropped.
  EXPECT_EQ("", body("#IF A\r\nInterface IX\r\nMethod M()\r\nEnd Interface\r\n#ENDIF", Sll, {"ix"}));
}

TEST(SourceScanner, DuplicateInterfaceIsSkippedToItsEnd) {
  InterfaceNames known = {"ia"};
  // Skipped members leave their continuation lines to the line loop; the
  // skipped end line is not written; later members are written again.
  EXPECT_EQ("Declare Sub Q()\r\n  Method Z()\r\n",
            body("Interface IA\r\nMethod M(a, _\r\nSub Q() Export\r\nEnd Interface\r\nMethod Z()",
                 Sll, known));
  // A new interface met while skipping is written, but its members and end
  // stay suppressed until that end line.
  EXPECT_EQ("\r\nInterface IB\r\n  Method Y()\r\n",
            body("Interface IA\r\nInterface IB\r\nMethod X()\r\nEnd Interface\r\nMethod Y()",
                 Sll, known));
}

TEST(SourceScanner, NamesAndSkipStateAcrossFiles) {
  std::string header;
  InterfaceNames names;
  scanSourceFile(header, names, "a.bas", "Interface ICounter\r\nEnd Interface", Compile);
  scanSourceFile(header, names, "b.bas", "interface ICOUNTER\r\nMethod M()", Compile);
  scanSourceFile(header, names, "c.bas", "Method N()", Compile);  // skip ends with its file
  EXPECT_EQ(banner("a.bas") + "\r\nInterface ICounter\r\nEnd Interface\r\n\r\n" +
                banner("b.bas") + "\r\n" + banner("c.bas") + "  Method N()\r\n\r\n",
            header);
  EXPECT_EQ(InterfaceNames{"icounter"}, names);
}

// A reader that passes the windows given, then fails when `fails`.
WindowReader windowsThen(std::vector<std::string> windows, bool fails) {
  return [windows = std::move(windows), fails](const std::function<bool(std::string_view)>& take) {
    for (const std::string& window : windows)
      if (!take(window)) break;
    return !fails;
  };
}

TEST(SourceScanner, AnUnreadableFileTakesBackWhatItAdded) {
  HeaderText header;
  HeaderScan command;
  command.mode = Compile;
  command.interfaceNames = {"ia"};
  command.macros = {{"ex", MarkingWord::Common}};
  // IA was known before the file and stays; IB and IC came with it, IC in a
  // window after the one that began it; so did a macro and the DLL's name.
  EXPECT_FALSE(appendSourceSection(
      header, command, "a.bas",
      windowsThen({"Interface IA\r\nEnd Interface\r\nInterface IB\r\nEnd Interface\r\nInterf",
                   "ace IC\r\nMacro Ex = Export\r\n#Compile Dll\r\n"},
                  true)));
  EXPECT_EQ(InterfaceNames{"ia"}, command.interfaceNames);
  EXPECT_EQ((MarkingMacros{{"ex", MarkingWord::Common}}), command.macros);
  EXPECT_EQ("", command.compiledDll);
  EXPECT_EQ(banner("a.bas") + "\r\n", header.text);  // the file counts as empty
  // The next file writes IB again.
  std::string text;
  InterfaceNames names = command.interfaceNames;
  scanSourceFile(text, names, "b.bas", "Interface IB\r\nEnd Interface", Compile);
  EXPECT_EQ(InterfaceNames({"ia", "ib"}), names);
}

// A read that fails inside a declaration leaves no part of it in the header,
// even after the settled bytes before it were printed and dropped.
TEST(SourceScanner, AnUnreadableFileLeavesNoOpenDeclaration) {
  HeaderText header;
  std::string printed;
  HeaderScan command;
  SettledOutput output{[&printed](const HeaderText& settled) {
                         printed += settled.text;
                         return true;
                       },
                       1};
  EXPECT_FALSE(appendSourceSection(header, command, "a.bas",
                                   windowsThen({"Sub A() Export\r\nSub B(x, _\r\n", "y, _\r\n"}, true),
                                   &output));
  EXPECT_EQ(banner("a.bas") + "Declare Sub A()\r\n", printed);
  EXPECT_EQ("\r\n", header.text);
}

// A window reader gives the section that the whole bytes give; output that
// fails stops the reading.
TEST(SourceScanner, WindowedSections) {
  const std::string source = "Sub A() Export\r\nSub B(x, _\r\ny) Export\r\nInterface IA\r\nEnd Interface\r\n";
  std::string whole;
  InterfaceNames wholeNames;
  scanSourceFile(whole, wholeNames, "a.bas", source, Dll, "k.dll");
  for (size_t window : {size_t(1), size_t(5), size_t(64)}) {
    std::vector<std::string> windows;
    for (size_t at = 0; at < source.size(); at += window) windows.push_back(source.substr(at, window));
    HeaderText header;
    std::string printed;
    HeaderScan command;
    command.mode = Dll;
    command.libraryName = "k.dll";
    SettledOutput output{[&printed](const HeaderText& settled) {
                           printed += settled.text;
                           return true;
                         },
                         window};
    EXPECT_TRUE(appendSourceSection(header, command, "a.bas", windowsThen(windows, false), &output));
    EXPECT_EQ(whole, printed + header.text) << window;
    EXPECT_EQ(wholeNames, command.interfaceNames);
  }
  size_t offered = 0;
  SettledOutput failing{[&offered](const HeaderText&) { return ++offered, false; }, 1};
  HeaderText header;
  HeaderScan command;
  appendSourceSection(header, command, "a.bas", windowsThen({"Sub A() Export\r\n", "Sub B() Export\r\n"}, false),
                      &failing);
  EXPECT_EQ(1u, offered);
}

}  // namespace
}  // namespace codeloom
