// Line reading and the source scanner. Flags: mode (modulo 3) and a window
// size. Parts: up to four source files, scanned in turn into one header with
// one set of interface names, as one header command does, and checked
// against the plain rules (tests/support) read whole and in windows.
#include <string>

#include "fuzz/fuzz_input.h"
#include "headers/source_scanner.h"
#include "platform/ansi.h"
#include "platform/text_lines.h"
#include "support/plain_scanner.h"
#include "support/whole_file_scan.h"

namespace codeloom::fuzz {
namespace {

// The lines LineReader gives cover the bytes before the first 0x1A exactly,
// each followed by CR LF, CR or LF but perhaps the last, and hold none of
// them; read as the settings file is, only CR and CR LF end lines.
void checkLines(std::string_view bytes, LineEnds ends) {
  std::string_view text = bytes.substr(0, bytes.find('\x1A'));
  LineReader reader(bytes, ends);
  const bool lfEnds = ends == LineEnds::CrLfCrOrLf;
  size_t at = 0;
  std::string_view line;
  while (reader.next(line)) {
    FUZZ_CHECK(line.find('\r') == std::string_view::npos);
    FUZZ_CHECK(!lfEnds || line.find('\n') == std::string_view::npos);
    FUZZ_CHECK(text.substr(at, line.size()) == line);
    at += line.size();
    if (at < text.size()) {
      FUZZ_CHECK(text[at] == '\r' || (lfEnds && text[at] == '\n'));
      ++at;
      if (text[at - 1] == '\r' && at < text.size() && text[at] == '\n') ++at;
    }
  }
  FUZZ_CHECK(at == text.size());
  FUZZ_CHECK(!reader.next(line));  // the end stays the end
}

// A line of a header that opens an interface: only an interface's first line
// starts with that word (others start with "Declare", blanks, "End" or "'"),
// and each one written adds a new name to the set.
bool opensInterface(std::string_view line) {
  return toLowerAnsi(line.substr(0, 10)) == "interface ";
}

size_t countInterfaceLines(std::string_view section) {
  size_t count = 0;
  for (size_t start = 0; start < section.size();) {
    size_t end = section.find("\r\n", start);
    if (end == std::string_view::npos) end = section.size();
    if (opensInterface(section.substr(start, end - start))) ++count;
    start = end + 2;
  }
  return count;
}

}  // namespace
}  // namespace codeloom::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace codeloom;
  using namespace codeloom::fuzz;
  FuzzInput input = splitInput(data, size, 4);
  const HeaderMode modes[] = {HeaderMode::Sll, HeaderMode::Dll, HeaderMode::Compile};
  HeaderMode mode = modes[input.flags % 3];
  size_t window = 1 + (input.flags / 3) % 97;
  // A library name with a "(" that no parameter list holds, or none: then
  // #COMPILE DLL names it once every file is read.
  const size_t naming = (input.flags / 291) % 3;
  std::string_view library = naming == 0 ? kDefaultLibraryName : naming == 1 ? "a(b) c.dll" : "";

  auto path = [](size_t i) { return "C:\\src\\file" + std::to_string(i) + ".bas"; };
  // The plain rules need the name before they write: a first pass finds it.
  std::string plainLibrary(library);
  if (library.empty()) {
    PlainCommand first;
    std::string ignored;
    for (size_t i = 0; i < input.parts.size(); ++i)
      plainScanSourceFile(ignored, first, path(i), input.parts[i], mode, "");
    plainLibrary = first.dllName.value_or(std::string(kDefaultLibraryName));
  }
  PlainCommand plain;
  std::string plainHeader;
  HeaderScan whole, windowed;
  whole.mode = windowed.mode = mode;
  whole.libraryName = windowed.libraryName = library;
  HeaderText header, windowHeader;
  for (size_t i = 0; i < input.parts.size(); ++i) {
    std::string_view bytes = input.parts[i];
    checkLines(bytes, LineEnds::CrLfCrOrLf);
    checkLines(bytes, LineEnds::CrOrCrLf);
    size_t before = header.text.size(), known = whole.interfaceNames.size();
    appendSourceSection(header, whole, path(i), inWindows(bytes));
    plainScanSourceFile(plainHeader, plain, path(i), bytes, mode, plainLibrary);
    appendSourceSection(windowHeader, windowed, path(i), inWindows(bytes, window));
    FUZZ_CHECK(windowHeader.text == header.text && windowHeader.libraryNameAt == header.libraryNameAt);
    FUZZ_CHECK(windowed.interfaceNames == whole.interfaceNames && windowed.macros == whole.macros &&
               windowed.compiledDll == whole.compiledDll);
    std::string_view section = std::string_view(header.text).substr(before);
    FUZZ_CHECK(linesEndInCrLf(section));
    FUZZ_CHECK(whole.interfaceNames.size() - known == countInterfaceLines(section));
    FUZZ_CHECK(section.find("' file" + std::to_string(i) + ".bas\r\n") != std::string_view::npos);
    for (const std::string& name : whole.interfaceNames) FUZZ_CHECK(toLowerAnsi(name) == name);
  }
  FUZZ_CHECK(withLibraryName(header, finalLibraryName(whole)) == plainHeader);
  FUZZ_CHECK(whole.compiledDll == plain.dllName.value_or(""));
  // Scanning a file again writes only interfaces with new names: those whose
  // first line was a continuation line the first time (a member's
  // continuation lines are read as ordinary lines inside a skipped interface).
  if (!input.parts.empty()) {
    HeaderText again;
    size_t known = whole.interfaceNames.size();
    appendSourceSection(again, whole, "again.bas", inWindows(input.parts[0]));
    FUZZ_CHECK(whole.interfaceNames.size() - known == countInterfaceLines(again.text));
  }
  return 0;
}
