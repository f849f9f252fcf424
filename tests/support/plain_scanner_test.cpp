// The plain rules on small files whose headers are worked out by hand: the
// fast scanner is checked against them, so they must be right on their own.
#include "support/plain_scanner.h"
#include "support/whole_file_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace codeloom {
namespace {


// The files scanned in turn by one command, each named f<i>.bas.
struct Scan {
  std::string header;
  PlainCommand command;
  std::string lastSection;
};

Scan scanFiles(const std::vector<std::string>& files, HeaderMode mode) {
  Scan scan;
  for (size_t i = 0; i < files.size(); ++i) {
    size_t before = scan.header.size();
    plainScanSourceFile(scan.header, scan.command, "C:\\src\\f" + std::to_string(i) + ".bas", files[i], mode,
                        kDefaultLibraryName);
    scan.lastSection = scan.header.substr(before);
  }
  return scan;
}

// What the last file's section holds between its banner and its closing
// empty line; the banner and the closing line are checked here.
std::string lastBody(const std::vector<std::string>& files, HeaderMode mode) {
  std::string section = scanFiles(files, mode).lastSection;
  const std::string banner = kBannerRule + "' f" + std::to_string(files.size() - 1) + ".bas\r\n" + kBannerRule;
  EXPECT_EQ(banner, section.substr(0, banner.size()));
  EXPECT_EQ("\r\n", section.substr(section.size() - 2));
  return section.substr(banner.size(), section.size() - banner.size() - 2);
}

// Each row: the files of one command and the last one's lines in each mode.
struct Case {
  std::vector<std::string> files;
  std::string sll, dll, compile;
};

void checkCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const std::string& file = c.files.back();
    EXPECT_EQ(c.sll, lastBody(c.files, HeaderMode::Sll)) << "Sll [" << file << ']';
    EXPECT_EQ(c.dll, lastBody(c.files, HeaderMode::Dll)) << "Dll [" << file << ']';
    EXPECT_EQ(c.compile, lastBody(c.files, HeaderMode::Compile)) << "Compile [" << file << ']';
  }
}

Case sameInEveryMode(std::vector<std::string> files, std::string body) {
  return {std::move(files), body, body, body};
}

TEST(PlainScanner, DispatchInterfacesAreNamedByTheWordAfterDispatch) {
  const std::string ia = "\r\nInterface DISPATCH IA\r\nEnd Interface\r\n";
  checkCases({
      sameInEveryMode({"Interface DISPATCH IA\r\nEnd Interface\r\nInterface dispatch ia\r\nMethod M()\r\nEnd Interface"},
                      ia),
      sameInEveryMode({"Interface IDBIND IA\r\nEnd Interface", "Interface Dispatch\tia\r\nEnd Interface"}, ""),
      sameInEveryMode({"Interface DISPATCH IA\r\nEnd Interface", "Interface ia\r\nEnd Interface"}, ""),
      // Alone at the end, the word is the name itself.
      sameInEveryMode({"Interface Dispatch\r\nEnd Interface\r\nInterface DISPATCH Dispatch\r\nEnd Interface"},
                      "\r\nInterface Dispatch\r\nEnd Interface\r\n"),
      sameInEveryMode({"Interface Dispatcher IA\r\nEnd Interface", "Interface dispatcher\r\nEnd Interface"}, ""),
  });
}

TEST(PlainScanner, MarkingWordsRightAfterAClosingParenthesis) {
  checkCases({
      {{"Sub FreeGLClass()EXPORT"},
       "Declare Sub FreeGLClass()\r\n",
       "Declare Sub FreeGLClass Lib \"export.dll\" Alias \"FREEGLCLASS\" ()\r\n",
       "Declare Sub FreeGLClass()EXPORT\r\n"},
      {{"Sub A()Common"}, "Declare Sub A()Common\r\n", "Declare Sub A()\r\n", "Declare Sub A()Common\r\n"},
      {{"Function F(x)EXPORT As Long"},
       "Declare Function F(x) As Long\r\n",
       "Declare Function F Lib \"export.dll\" Alias \"F\" (x) As Long\r\n",
       "Declare Function F(x)EXPORT As Long\r\n"},
      // A comment's "'" ends the word too.
      {{"Sub A()Export'note"},
       "Declare Sub A()'note\r\n",
       "Declare Sub A Lib \"export.dll\" Alias \"A\" ()'note\r\n",
       "Declare Sub A()Export'note\r\n"},
      {{"Sub A(x, _\r\n  y)Export"},
       "Declare Sub A(x, _\r\n          y)\r\n",
       "Declare Sub A Lib \"export.dll\" Alias \"A\" (x, _\r\n          y)\r\n",
       "Declare Sub A(x, _\r\n          y)Export\r\n"},
      // The first in text order goes, whichever its delimiter.
      {{"Sub A()Export Export"},
       "Declare Sub A() Export\r\n",
       "Declare Sub A Lib \"export.dll\" Alias \"A\" () Export\r\n",
       "Declare Sub A()Export Export\r\n"},
      {{"Sub A()Common Export"},
       "Declare Sub A()Common\r\n",
       "Declare Sub A Lib \"export.dll\" Alias \"A\" ()\r\n",
       "Declare Sub A()Common Export\r\n"},
      // Lib and Alias after a ")" are not words: the clauses still come.
      {{"Sub A()Lib \"k.dll\" Export"},
       "Declare Sub A()Lib \"k.dll\"\r\n",
       "Declare Sub A Lib \"export.dll\" Alias \"A\" ()Lib \"k.dll\"\r\n",
       "Declare Sub A()Lib \"k.dll\" Export\r\n"},
      {{"Sub A()Alias \"B\" Export"},
       "Declare Sub A()Alias \"B\"\r\n",
       "Declare Sub A Lib \"export.dll\" Alias \"A\" ()Alias \"B\"\r\n",
       "Declare Sub A()Alias \"B\" Export\r\n"},
      // The word must still end at a delimiter.
      sameInEveryMode({"Sub A()Exports\r\nSub B()Export(\r\nSub C(Export)\r\nSub D()Common_x"}, ""),
  });
}

TEST(PlainScanner, MacrosThatStandForAMarkingWord) {
  const std::string exported = "Declare Sub A Lib \"export.dll\" Alias \"A\" ()\r\n";
  checkCases({
      // The later definition holds.
      {{"Macro Ex10 = Common\r\nMacro Ex10 = Export\r\nSub D() Ex10"},
       "Declare Sub D()\r\n",
       "Declare Sub D Lib \"export.dll\" Alias \"D\" ()\r\n",
       "Declare Sub D() Ex10\r\n"},
      {{"MACRO Shared=COMMON ' note\r\nSub A() shared"},
       "Declare Sub A() shared\r\n", "Declare Sub A()\r\n", "Declare Sub A() shared\r\n"},
      {{"Macro Ex = Export\r\nSub A()EX"}, "Declare Sub A()\r\n", exported, "Declare Sub A()EX\r\n"},
      {{"Macro Ex = Export\r\nSub A() Ex'c"}, "Declare Sub A()'c\r\n",
       "Declare Sub A Lib \"export.dll\" Alias \"A\" ()'c\r\n", "Declare Sub A() Ex'c\r\n"},
      // Defined in one file, it marks in the later files of the command.
      {{"Macro Ex = Export", "Sub A() Ex"}, "Declare Sub A()\r\n", exported, "Declare Sub A() Ex\r\n"},
      // The first word of the export kind goes, and in Dll the first of the common kind.
      {{"Macro Ex = Export\r\nSub A() Ex Export"}, "Declare Sub A() Export\r\n",
       "Declare Sub A Lib \"export.dll\" Alias \"A\" () Export\r\n", "Declare Sub A() Ex Export\r\n"},
      {{"Macro Ex = Export\r\nMacro Co = Common\r\nSub A() Co Ex"}, "Declare Sub A() Co\r\n", exported,
       "Declare Sub A() Co Ex\r\n"},
      // Not yet defined, not a word, in a comment, or not a marking macro.
      sameInEveryMode({"Sub A() Ex\r\nMacro Ex = Export\r\nSub B() Ex2\r\nSub C() Ex_\r\nSub D() ' Ex"}, ""),
      sameInEveryMode({"Macro Ex(a) = Export\r\nMacro Fx = Exported\r\nSub A() Ex\r\nSub B() Fx"}, ""),
      // Definitions in both branches of an #IF group apply in line order.
      {{"#IF %A\r\nMacro Ex = Export\r\n#ELSE\r\nMacro Ex = Common\r\n#ENDIF\r\nSub B() Ex"},
       "Declare Sub B() Ex\r\n", "Declare Sub B()\r\n", "Declare Sub B() Ex\r\n"},
      // A continuation line defines nothing.
      {{"Sub A() _\r\nMacro Ex = Common\r\nSub B() Ex"},
       "Declare Sub A() _\r\n          Macro Ex = Common\r\n", "Declare Sub A() _\r\n          Macro Ex =\r\n",
       "Declare Sub A() _\r\n          Macro Ex = Common\r\n"},
      sameInEveryMode({"Method M() _\r\nMacro Ex = Export\r\nSub B() Ex"},
                      "  Method M() _\r\n" + std::string(22, ' ') + "Macro Ex = Export\r\n"),
  });
}

TEST(PlainScanner, EntryPointsAreDeclaredOnlyInCompileHeaders) {
  checkCases({
      {{"Function LibMain(ByVal h As Long) Export As Long"}, "", "",
       "Declare Function LibMain(ByVal h As Long) Export As Long\r\n"},
      {{"Function DLLMAIN _\r\n  (ByVal h As Long) Common As Long"}, "", "",
       "Declare Function DLLMAIN _\r\n          (ByVal h As Long) Common As Long\r\n"},
      {{"Macro Ex = Export\r\nFunction pblibmain()Ex"}, "", "", "Declare Function pblibmain()Ex\r\n"},
      // Nor the #IF lines waiting for something to be written.
      {{"#IF %A\r\nSub LibMain() Export\r\n#ENDIF"}, "", "", "#IF %A\r\nDeclare Sub LibMain() Export\r\n#ENDIF\r\n"},
      // Other names that only start or end like them are written.
      {{"Sub LibMainX() Export\r\nSub MyDllMain() Common"},
       "Declare Sub LibMainX()\r\nDeclare Sub MyDllMain() Common\r\n",
       "Declare Sub LibMainX Lib \"export.dll\" Alias \"LIBMAINX\" ()\r\nDeclare Sub MyDllMain()\r\n",
       "Declare Sub LibMainX() Export\r\nDeclare Sub MyDllMain() Common\r\n"},
  });
}

TEST(PlainScanner, TheFirstCompileDllOutsideEveryIfGroupNamesTheLibrary) {
  struct DllCase {
    std::vector<std::string> files;
    std::optional<std::string> dllName;
  };
  const DllCase cases[] = {
      {{"#COMPILE DLL"}, "f0.dll"},
      {{"  #compile\t\tdll \"Mine\" ' the library"}, "Mine.dll"},
      {{"#COMPILE DLL \"a\"\r\n#COMPILE DLL \"b\""}, "a.dll"},
      {{"#COMPILE DLL \"a\"", "#COMPILE DLL \"b\""}, "a.dll"},
      {{"#COMPILE EXE", "#COMPILE DLL"}, "f1.dll"},
      {{"#IF %DEF(%X)\r\n#COMPILE DLL \"a\"\r\n#ELSE\r\n#COMPILE DLL \"b\"\r\n#ENDIF\r\n#COMPILE DLL \"c\""}, "c.dll"},
      {{"#IF 1\r\n#IF 2\r\n#ENDIF\r\n#COMPILE DLL \"a\"\r\n#ENDIF"}, std::nullopt},
      // An #IF left open ends with its file.
      {{"#IF 1\r\n#COMPILE DLL \"a\"", "#COMPILE DLL \"b\""}, "b.dll"},
      {{"Sub A(x, _\r\n#COMPILE DLL \"a\""}, std::nullopt},  // a continuation line
      {{"#COMPILE SLL\r\n#COMPILEDLL\r\n#COMPILE DLL \"a\" x\r\n' #COMPILE DLL"}, std::nullopt},
  };
  for (const DllCase& c : cases) {
    for (HeaderMode mode : {HeaderMode::Sll, HeaderMode::Dll, HeaderMode::Compile})
      EXPECT_EQ(c.dllName, scanFiles(c.files, mode).command.dllName) << c.files.back();
  }
  // The line itself is not written.
  checkCases({sameInEveryMode({"#COMPILE DLL \"a\"\r\n#IF 1\r\n#COMPILE DLL\r\n#ENDIF"}, "")});
}

TEST(PlainScanner, WithoutACommandMacrosHoldToTheFileEnd) {
  std::string header;
  InterfaceNames names;
  plainScanSourceFile(header, names, "a.bas", "Macro Ex = Export\r\nSub A() Ex", HeaderMode::Sll);
  plainScanSourceFile(header, names, "b.bas", "Sub B() Ex", HeaderMode::Sll);
  EXPECT_EQ(kBannerRule + "' a.bas\r\n" + kBannerRule + "Declare Sub A()\r\n\r\n" + kBannerRule + "' b.bas\r\n" + kBannerRule + "\r\n", header);
}

}  // namespace
}  // namespace codeloom
