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
};
// Pieces of the rest of a line.
const std::string kWords[] = {
    "A", "Foo", "IA", "ia", "IB", "Export", "EXPORT", "Common", "Lib", "lib", "Alias", "alias",
    "export.dll", "ExportAll", "(x)", "(", ")", "\"it's\"", "\"", "'", "' export", "' common lib",
    " ", "  ", "   ", "\t", "_", " _", "=", "\n", "\xE9", "\xA0", std::string(1, '\0'), "As Long",
    std::string(40, ' '), std::string(70, 'x'), "\"a(b)\"", "Alias \"P(1)\"", "_ ' c", "_'", "IDBIND",
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

// Windows of an odd size also print the header's settled bytes after each
// window, as the CLI does, and take them out of the header.
std::string windowed(std::string_view bytes, size_t window, HeaderMode mode, InterfaceNames& names) {
  HeaderText header;
  std::string printed;
  const SettledOutput output{[&printed](const HeaderText& settled) {
                               printed += settled.text;
                               return true;
                             },
                             0};
  HeaderScan command;
  command.mode = mode;
  command.libraryName = kDefaultLibraryName;
  command.interfaceNames = std::move(names);
  appendSourceSection(header, command, "x.bas", inWindows(bytes, window), window % 2 == 1 ? &output : nullptr);
  names = std::move(command.interfaceNames);
  return printed + header.text;
}

TEST(SourceScannerOracle, GeneratedFilesWholeAndInWindows) {
  std::mt19937 random(29);
  for (int round = 0; round < 1500; ++round) {
    std::string first = generatedFile(random), second = generatedFile(random);
    for (HeaderMode mode : kModes) {
      InterfaceNames plainNames, names;
      std::string expected, actual;
      plainScanSourceFile(expected, plainNames, "a.bas", first, mode);
      scanSourceFile(actual, names, "a.bas", first, mode);
      ASSERT_EQ(expected, actual) << "mode " << int(mode) << " [" << first << ']';
      InterfaceNames beforeSecond = names;
      std::string plainSecond;
      plainScanSourceFile(plainSecond, plainNames, "x.bas", second, mode);
      for (size_t window : {size_t(1), size_t(2), size_t(3), size_t(7), size_t(64), size_t(65),
                            size_t(1) + random() % 200}) {
        InterfaceNames known = beforeSecond;
        ASSERT_EQ(plainSecond, windowed(second, window, mode, known))
            << "mode " << int(mode) << " window " << window << " [" << second << ']';
        ASSERT_EQ(plainNames, known);
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
      InterfaceNames plainNames, names;
      std::string expected;
      plainScanSourceFile(expected, plainNames, "x.bas", file, mode);
      for (size_t window : {size_t(1), size_t(63), size_t(4096), size_t(65536)})
        ASSERT_EQ(expected, windowed(file, window, mode, names = {})) << window << ' ' << file.substr(0, 20);
    }
  }
}

}  // namespace
}  // namespace codeloom
