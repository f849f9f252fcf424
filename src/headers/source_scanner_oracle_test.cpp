// The scanner against the rules written plainly (tests/support), on
// generated files read whole and in windows of many sizes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "headers/source_scanner.h"
#include "support/plain_scanner.h"
#include "support/whole_file_scan.h"

namespace codeloom {
namespace {

constexpr HeaderMode kModes[] = {HeaderMode::Sll, HeaderMode::Dll, HeaderMode::Compile};

// Line starts that are keywords, near misses of them, and other code.
const std::string kStarts[] = {
    "Sub ", "sub\t", "SUB  ", "Function ", "function  =", "Function = ", "Function=", "Functions ",
    "End Interface", "end  interface", "End   Interface", "EndInterface", "End Interfaces ", "End ",
    "Interface ", "interface\t\t", "Interfaces ", "Property Get ", "property  set ", "Property Let ",
    "PropertyGet ", "Method ", "method =", "Method  = ", "Inherit ", "inherit", "Class Method ",
    "Declare Sub ", "function\t\t=", "Function   = ", "Property\tGet\t", "property   get ",
    "Property Getx ", "Property Get", "End\t\tInterfaceX", "Method\t", "If ", "Select Case ", "' ", "Local ", "", "  ", "\t", "s", "e", "\xD0",
    "Member Call ", "MEMBER\t", "Members ", "Interface IDBIND ", "interface idbind\t", "Interface IDBIND",
    "#IF ", "#if\t", "#ElseIf ", "#ELSE", "#Else ", "#else'", "#ENDIF", "#EndIf ", "#endif'", "#Elsex",
    "#IFDEF ", "#Include ", "# IF ", "#", "#E",
    "Macro Mark = Export", "MACRO  mark=common ' c", "Macro Mark(x) = Export", "Macro Ex = Export2", "Macro ",
    "#Compile Dll", "#COMPILE DLL \"..\\out\\X.dll\"", "#Compile Exe", "#Compile  Dll = \"Calc\"",
    "Interface DISPATCH ", "interface dispatch\t", "Sub LibMain", "Function DllMain", "Sub pblibmain ",
};
// Pieces of the rest of a line.
const std::string kWords[] = {
    "A", "Foo", "IA", "ia", "IB", "Export", "EXPORT", "Common", "Lib", "lib", "Alias", "alias",
    "export.dll", "ExportAll", "(x)", "(", ")", "\"it's\"", "\"", "'", "' export", "' common lib",
    " ", "  ", "   ", "\t", "_", " _", "=", "\n", "\xE9", "\xA0", std::string(1, '\0'), "As Long",
    std::string(40, ' '), std::string(70, 'x'), "\"a(b)\"", "Alias \"P(1)\"", "_ ' c", "_'", "IDBIND",
    "Mark", "MARK", "()Export", ")common", ")Mark", "DISPATCH", "LibMain",
};
const std::string kLineEnds[] = {"\r\n", "\r\n", "\r\n", "\r", "\n", "\n", "\r\r\n", "\n\r"};

std::string generatedFile(std::mt19937& random) {
  std::string file;
  for (int lines = static_cast<int>(random() % 30); lines > 0; --lines) {
    file += kStarts[random() % std::size(kStarts)];
    for (int n = static_cast<int>(random() % 6); n > 0; --n) file += kWords[random() % std::size(kWords)];
    if (random() % 4 == 0) file += " _";
    file += kLineEnds[random() % std::size(kLineEnds)];
  }
  if (random() % 10 == 0) file += "\x1A" "Sub Z() Export\r\n";
  return file;
}

// The plain rules' command state as the scanner keeps it.
HeaderScan asScanned(const PlainCommand& plain, HeaderMode mode) {
  HeaderScan command;
  command.mode = mode;
  command.libraryName = kDefaultLibraryName;
  command.interfaceNames = plain.interfaceNames;
  for (const auto& [name, word] : plain.macros) command.macros[name] = word;
  command.compiledDll = plain.dllName.value_or("");
  return command;
}

// Windows of an odd size also print the header's settled bytes after each
// window, as the CLI does, and take them out of the header.
std::string windowed(std::string_view bytes, size_t window, HeaderScan& command, std::string_view path = "x.bas") {
  HeaderText header;
  std::string printed;
  const SettledOutput output{[&printed](const HeaderText& settled) {
                               printed += settled.text;
                               return true;
                             },
                             0};
  appendSourceSection(header, command, path, inWindows(bytes, window), window % 2 == 1 ? &output : nullptr);
  return printed + header.text;
}

TEST(SourceScannerOracle, GeneratedFilesWholeAndInWindows) {
  std::mt19937 random(29);
  for (int round = 0; round < 1500; ++round) {
    std::string first = generatedFile(random), second = generatedFile(random);
    for (HeaderMode mode : kModes) {
      PlainCommand plain;
      std::string expected;
      plainScanSourceFile(expected, plain, "a.bas", first, mode, kDefaultLibraryName);
      const HeaderScan afterFirst = asScanned(plain, mode);
      HeaderScan command = asScanned({}, mode);
      ASSERT_EQ(expected, windowed(first, std::string_view::npos, command, "a.bas")) << "mode " << int(mode) << " [" << first << ']';
      std::string plainSecond;
      plainScanSourceFile(plainSecond, plain, "x.bas", second, mode, kDefaultLibraryName);
      const HeaderScan afterSecond = asScanned(plain, mode);
      for (size_t window : {size_t(1), size_t(2), size_t(3), size_t(7), size_t(64), size_t(65),
                            size_t(1) + random() % 200}) {
        command = afterFirst;
        ASSERT_EQ(plainSecond, windowed(second, window, command))
            << "mode " << int(mode) << " window " << window << " [" << second << ']';
        ASSERT_EQ(afterSecond.interfaceNames, command.interfaceNames);
        ASSERT_EQ(afterSecond.macros, command.macros);
        ASSERT_EQ(afterSecond.compiledDll, command.compiledDll);
      }
    }
  }
}

// Long lines and long runs of blanks across many windows.
TEST(SourceScannerOracle, LinesLongerThanTheWindow) {
  const std::string blanks(5000, ' ');
  const std::string files[] = {
      "Sub" + blanks + "A() Export\r\n",
      "Function" + blanks + "\r\nSub B() Export",
      blanks + "Method M(" + blanks + ")\r\n",
      "x" + blanks + "Sub A() Export\r\nSub B() Common",
      "Sub A(x, _\r\n" + blanks + "y) Export _\r\n" + blanks,
      "End" + blanks + "Interface\r\nInterface" + blanks + "IA\r\nEnd Interface",
      std::string(70000, 'x') + "\r\nSub C() Export\r",
  };
  for (const std::string& file : files) {
    for (HeaderMode mode : kModes) {
      PlainCommand plain;
      std::string expected;
      plainScanSourceFile(expected, plain, "x.bas", file, mode, kDefaultLibraryName);
      for (size_t window : {size_t(1), size_t(63), size_t(4096), size_t(65536)}) {
        HeaderScan command = asScanned({}, mode);
        ASSERT_EQ(expected, windowed(file, window, command)) << window << ' ' << file.substr(0, 20);
      }
    }
  }
}

}  // namespace
}  // namespace codeloom
