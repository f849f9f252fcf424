// The header writer on what a DLL project holds: its #COMPILE DLL name,
// its entry point, exports marked through macros or right after ")",
// DISPATCH interfaces, and, where includes are followed, #IF groups decided
// by the project's own equates.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headers/source_scanner.h"
#include "support/whole_file_scan.h"

namespace codeloom {
namespace {

constexpr HeaderMode Sll = HeaderMode::Sll, Dll = HeaderMode::Dll, Compile = HeaderMode::Compile;

// The header of files scanned by one command, the Lib clauses named once
// all are read; without their banners and closing empty lines.
std::string bodies(HeaderScan& command, const std::vector<std::pair<std::string, std::string>>& files) {
  HeaderText header;
  for (const auto& [path, bytes] : files) appendSourceSection(header, command, path, inWindows(bytes, 3));
  std::string text = withLibraryName(header, finalLibraryName(command)), out;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find("\r\n", at) + 2;
    std::string_view line = std::string_view(text).substr(at, end - at);
    if (line != kBannerRule && line.substr(0, 2) != "' " && line != "\r\n") out += line;
    at = end;
  }
  return out;
}

std::string body(std::string_view source, HeaderMode mode, std::string_view library = "") {
  HeaderScan command;
  command.mode = mode;
  command.libraryName = library;
  return bodies(command, {{"C:\\src\\tools.bas", std::string(source)}});
}

struct Case {
  HeaderMode mode;
  std::string_view source, body;
};

void expectBodies(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(c.body, body(c.source, c.mode)) << "mode " << int(c.mode) << ": " << c.source;
}

TEST(DllProject, DispatchInterfacesAreNamedByTheirNextWord) {
  const char* source =
      "Interface Dispatch IEvents\r\n  Member Call A()\r\nEnd Interface\r\n"
      "INTERFACE DISPATCH IEvents2\r\n  Member Call B()\r\nEnd Interface\r\n"
      "Interface Dispatch IEvents\r\n  Member Call C()\r\nEnd Interface\r\n";  // the first again: dropped
  EXPECT_EQ(
      "Interface Dispatch IEvents\r\n  Member Call A()\r\nEnd Interface\r\n"
      "INTERFACE DISPATCH IEvents2\r\n  Member Call B()\r\nEnd Interface\r\n",
      body(source, Compile));
}

TEST(DllProject, AMarkingWordRightAfterAParenthesis) {
  expectBodies({
      {Dll, "Sub FreeGLClass()EXPORT", "Declare Sub FreeGLClass Lib \"export.dll\" Alias \"FREEGLCLASS\" ()\r\n"},
      {Sll, "Sub FreeGLClass()EXPORT", "Declare Sub FreeGLClass()\r\n"},
      {Compile, "Sub FreeGLClass()EXPORT", "Declare Sub FreeGLClass()EXPORT\r\n"},
      {Sll, "Sub A(x)Common ' c", "Declare Sub A(x)Common ' c\r\n"},
      {Dll, "Sub A(x)Common", "Declare Sub A(x)\r\n"},
      {Dll, "Function F(x)Export As Long", "Declare Function F Lib \"export.dll\" Alias \"F\" (x) As Long\r\n"},
      {Dll, "Sub A(x)Exported", ""},  // a longer word
      {Dll, "Sub A(x)Export(y)", ""},  // glued on both sides
      {Dll, "Sub A() 'x)Export", ""},  // in the comment
  });
}

TEST(DllProject, MacrosThatStandForAMarkingWord) {
  const std::string redefined = "Macro Ex10 = Common\r\nMacro Ex10 = Export\r\nSub D() Ex10\r\n";
  expectBodies({
      {Dll, redefined, "Declare Sub D Lib \"export.dll\" Alias \"D\" ()\r\n"},
      {Sll, redefined, "Declare Sub D()\r\n"},
      {Compile, redefined, "Declare Sub D() Ex10\r\n"},
      {Dll, "MACRO  mk_10=common ' for the SLL\r\nSub D() MK_10", "Declare Sub D()\r\n"},
      {Sll, "Macro Mk = Export\r\nSub D(x)mk", "Declare Sub D(x)\r\n"},
      {Dll, "Sub D() Mk\r\nMacro Mk = Export", ""},  // from its line on
      {Dll, "Macro Mk(a) = Export\r\nSub D() Mk", ""},  // a macro with parameters marks nothing
      {Dll, "Macro Mk = Export2\r\nSub D() Mk", ""},
      // A macro of a word the rules read does not change that word.
      {Dll, "Macro Alias = Common\r\nFunction W Alias \"W\" (x) As Long", ""},
      {Dll, "Macro Mk = Export\r\nSub D(a, _\r\n  b) Mk", "Declare Sub D Lib \"export.dll\" Alias \"D\" (a, _\r\n          b)\r\n"},
      // A macro named as the keyword: the procedure has no name, and its
      // clauses take the blank that stood before the comment.
      {Dll, "Macro sub = Export\r\nSub '", "Declare Lib \"export.dll\" Alias \"\"'\r\n"},
  });
}

TEST(DllProject, AMacroHoldsInTheFilesAfterIt) {
  HeaderScan command;
  command.mode = Dll;
  EXPECT_EQ("Declare Sub B Lib \"export.dll\" Alias \"B\" ()\r\n",
            bodies(command, {{"a.bas", "Macro Mk = Export\r\n"}, {"b.bas", "Sub B() Mk\r\n"}}));
}

TEST(DllProject, TheEntryPointGetsNoDeclareButInModeCompile) {
  for (const char* name : {"LibMain", "LIBMAIN", "DllMain", "pblibmain"}) {
    std::string source = "Function " + std::string(name) + "(ByVal h As Long) Export As Long\r\nSub Keep() Export";
    EXPECT_EQ("Declare Sub Keep()\r\n", body(source, Sll)) << name;
    EXPECT_EQ("Declare Sub Keep Lib \"export.dll\" Alias \"KEEP\" ()\r\n", body(source, Dll)) << name;
    EXPECT_EQ("Declare Function " + std::string(name) + "(ByVal h As Long) Export As Long\r\nDeclare Sub Keep() Export\r\n",
              body(source, Compile))
        << name;
  }
  // Its #IF group, written for nothing else, is left out with it.
  EXPECT_EQ("", body("#If %A\r\nFunction LibMain() Export As Long\r\n#EndIf", Dll));
}

TEST(DllProject, TheFirstCompileDllLineNamesTheLibrary) {
  struct NameCase { std::string_view source, name; };
  const NameCase cases[] = {
      {"#COMPILE DLL", "tools.dll"},  // the source's name
      {"#Compile Dll ' the DLL", "tools.dll"},
      {"#COMPILE DLL \"..\\out\\MyLib.dll\"", "MyLib.dll"},
      {"#compile dll = \"Calc\"", "Calc.dll"},
      {"#COMPILE DLL \"a/b/kit.DLL\"", "kit.DLL"},
      {"#COMPILE EXE", "export.dll"},
      {"#COMPILE SLL", "export.dll"},
      {"#IF %X\r\n#COMPILE DLL \"in.dll\"\r\n#ENDIF", "export.dll"},  // not outside every group
      {"#COMPILE DLL \"first.dll\"\r\n#COMPILE DLL \"second.dll\"", "first.dll"},
  };
  for (const NameCase& c : cases)
    EXPECT_EQ("Declare Sub A Lib \"" + std::string(c.name) + "\" Alias \"A\" ()\r\n",
              body("Sub A() Export\r\n" + std::string(c.source) + "\r\n", Dll))
        << c.source;
  EXPECT_EQ("Declare Sub A Lib \"given.dll\" Alias \"A\" ()\r\n",
            body("Sub A() Export\r\n#COMPILE DLL\r\n", Dll, "given.dll"));  // --lib wins
}

TEST(DllProject, ALaterFileNamesTheLibraryOfTheFilesBeforeIt) {
  HeaderScan command;
  command.mode = Dll;
  EXPECT_EQ("Declare Sub A Lib \"kit.dll\" Alias \"A\" ()\r\nDeclare Sub C Lib \"kit.dll\" Alias \"C\" ()\r\n",
            bodies(command, {{"one.bas", "Sub A() Export\r\n"},
                             {"two.bas", "#COMPILE DLL \"kit.dll\"\r\n"},
                             {"three.bas", "Sub C() Export\r\n#COMPILE DLL \"other.dll\"\r\n"}}));
}

// Following includes: the project's own equates decide its groups.
std::string followed(std::string_view source, Equates equates = {}) {
  HeaderScan command;
  command.mode = Dll;
  IncludeFollowing following;
  following.equates = std::move(equates);
  following.read = [](const IncludeLine&, std::string_view, size_t) {};
  command.following = &following;
  return bodies(command, {{"kit.bas", std::string(source)}});
}

TEST(DllProject, GroupsDecidedByTheProjectsEquates) {
  struct FollowCase { std::string_view source, body; };
  const FollowCase cases[] = {
      // Known up to the taken branch: only its lines, and no metastatement.
      {"%DLL = 1\r\n#IF %DLL = 1\r\nSub A() Export\r\n#ELSE\r\nSub B() Export\r\n#ENDIF",
       "Declare Sub A Lib \"export.dll\" Alias \"A\" ()\r\n"},
      {"%DLL = 0\r\n#IF %DLL\r\nSub A() Export\r\n#ELSEIF %DLL = 0\r\nSub B() Export\r\n#ELSE\r\nSub C() Export\r\n#ENDIF",
       "Declare Sub B Lib \"export.dll\" Alias \"B\" ()\r\n"},
      {"#IF %DEF(%DEBUG)\r\nSub A() Export\r\n#ENDIF", ""},  // no line defines it
      // A branch not read has no effect at all.
      {"%A = 0\r\n#IF %A\r\n#COMPILE DLL \"no.dll\"\r\nMacro Mk = Export\r\n%B = 1\r\n#ENDIF\r\n"
       "Sub S() Mk\r\n#IF %DEF(%B)\r\nSub T() Export\r\n#ENDIF",
       ""},
      {"%A = 0\r\n#IF %A\r\n#IF 1\r\nSub A() Export\r\n#ENDIF\r\n#ELSE\r\nSub B() Export\r\n#ENDIF",
       "Declare Sub B Lib \"export.dll\" Alias \"B\" ()\r\n"},
      // In the taken branch, #COMPILE DLL names the library.
      {"%DLL = 1\r\n#IF %DLL\r\n#COMPILE DLL \"kit.dll\"\r\n#ELSE\r\n#COMPILE SLL\r\n#ENDIF\r\nSub A() Export",
       "Declare Sub A Lib \"kit.dll\" Alias \"A\" ()\r\n"},
      // Unknown: kept as without following, every branch read.
      {"#IF %PB_REVISION > 1\r\nSub A() Export\r\n#ELSE\r\nSub B() Export\r\n#ENDIF",
       "#IF %PB_REVISION > 1\r\nDeclare Sub A Lib \"export.dll\" Alias \"A\" ()\r\n#ELSE\r\n"
       "Declare Sub B Lib \"export.dll\" Alias \"B\" ()\r\n#ENDIF\r\n"},
      // Known false, then unknown: the group is kept from there on.
      {"%A = 0\r\n#IF %A\r\nSub A() Export\r\n#ELSEIF %UNSET\r\nSub B() Export\r\n#ENDIF",
       "#IF %A\r\n#ELSEIF %UNSET\r\nDeclare Sub B Lib \"export.dll\" Alias \"B\" ()\r\n#ENDIF\r\n"},
      // An equate set in a kept group is unknown after it.
      {"#IF %PB_WIN\r\n%X = 1\r\n#ENDIF\r\n#IF %X\r\nSub A() Export\r\n#ENDIF",
       "#IF %X\r\nDeclare Sub A Lib \"export.dll\" Alias \"A\" ()\r\n#ENDIF\r\n"},
  };
  for (const FollowCase& c : cases) EXPECT_EQ(c.body, followed(c.source)) << c.source;
  Equates missingInclude;
  missingInclude.everyIncludeFound = false;  // %DEBUG may be defined there
  EXPECT_EQ("#IF %DEF(%DEBUG)\r\nDeclare Sub A Lib \"export.dll\" Alias \"A\" ()\r\n#ENDIF\r\n",
            followed("#IF %DEF(%DEBUG)\r\nSub A() Export\r\n#ENDIF", missingInclude));
}

// Where each Declare's procedure stands, also when windows cut its line or
// a CR LF.
TEST(DllProject, DeclaresAreToldWhereTheirProcedureStands) {
  const std::string source = "' x\r\n\r\n  Sub A() Export\r\nx\rFunction B(a, _\r\n b) Export\n\tSub C() Common\r\nSub D() Export";
  for (size_t window : {size_t(1), size_t(2), size_t(5), std::string::npos}) {
    HeaderScan command;
    command.mode = Dll;
    std::vector<std::string> told;
    command.declared = [&](const WrittenDeclaration& d) {
      told.push_back(std::string(d.file) + ":" + std::to_string(d.line) + ":" + std::to_string(d.column) +
                     (d.exported ? " export" : " common"));
    };
    HeaderText header;
    appendSourceSection(header, command, "C:\\kit.bas", inWindows(source, window), nullptr, nullptr, "src/kit.bas");
    EXPECT_EQ((std::vector<std::string>{"src/kit.bas:3:3 export", "src/kit.bas:5:1 export", "src/kit.bas:7:2 common",
                                        "src/kit.bas:8:1 export"}),
              told)
        << window;
  }
}

}  // namespace
}  // namespace codeloom
