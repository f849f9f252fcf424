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
  // A library name with a "(" that no parameter list holds.
  std::string_view library = (input.flags / 291) % 2 ? "a(b) c.dll" : kDefaultLibraryName;

  std::string header, plainHeader;
  InterfaceNames names, plainNames;
  HeaderScan windowed;
  windowed.mode = mode;
  windowed.libraryName = library;
  HeaderText windowHeader;
  for (size_t i = 0; i < input.parts.size(); ++i) {
    std::string_view bytes = input.parts[i];
    checkLines(bytes, LineEnds::CrLfCrOrLf);
    checkLines(bytes, LineEnds::CrOrCrLf);
    std::string path = "C:\\src\\file" + std::to_string(i) + ".bas";
    size_t before = header.size(), known = names.size();
    scanSourceFile(header, names, path, bytes, mode, library);
    plainScanSourceFile(plainHeader, plainNames, path, bytes, mode, library);
    FUZZ_CHECK(header == plainHeader);
    windowed.macros.clear();  // as scanSourceFile knows none
    appendSourceSection(windowHeader, windowed, path, inWindows(bytes, window));
    FUZZ_CHECK(windowHeader.text == header && windowed.interfaceNames == names);
    std::string_view section = std::string_view(header).substr(before);
    FUZZ_CHECK(linesEndInCrLf(section));
    FUZZ_CHECK(names.size() - known == countInterfaceLines(section));
    FUZZ_CHECK(section.find("' file" + std::to_string(i) + ".bas\r\n") != std::string_view::npos);
    for (const std::string& name : names) FUZZ_CHECK(toLowerAnsi(name) == name);
  }
  // Scanning a file again writes only interfaces with new names: those whose
  // first line was a continuation line the first time (a member's
  // continuation lines are read as ordinary lines inside a skipped interface).
  if (!input.parts.empty()) {
    std::string again;
    size_t known = names.size();
    scanSourceFile(again, names, "again.bas", input.parts[0], mode, library);
    FUZZ_CHECK(names.size() - known == countInterfaceLines(again));
  }
  return 0;
}
