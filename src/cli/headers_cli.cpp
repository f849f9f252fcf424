#include <algorithm>
#include <iostream>
#include <string>

#include "cli/cli_io.h"
#include "cli/header_printer.h"
#include "cli/input_reader.h"
#include "cli/subcommands.h"
#include "cli/source_reading.h"

namespace codeloom::cli {
namespace {

// The most bytes of a line a --check message shows.
constexpr size_t kShownLineBytes = 120;

// The line of text that starts at offset begin, its LF included.
std::string_view lineAt(std::string_view text, size_t begin) {
  if (begin >= text.size()) return {};
  size_t end = text.find('\n', begin);
  return text.substr(begin, end == std::string_view::npos ? end : end + 1 - begin);
}

// A line, its line end included, quoted with C escapes so that a CR or a
// lone LF shows; "end of file" when there is no line.
std::string showLine(std::string_view line, bool present) {
  if (!present) return "end of file";
  std::string shown = "'";
  static const char* const kHex = "0123456789abcdef";
  for (unsigned char c : line.substr(0, kShownLineBytes)) {
    if (c == '\r') shown += "\\r";
    else if (c == '\n') shown += "\\n";
    else if (c == '\t') shown += "\\t";
    else if (c == '\\' || c == '\'') (shown += '\\') += static_cast<char>(c);
    else if (c < 0x20 || c == 0x7F) ((shown += "\\x") += kHex[c >> 4]) += kHex[c & 15];
    else shown += static_cast<char>(c);
  }
  shown += line.size() > kShownLineBytes ? "'..." : "'";
  return shown;
}

// "FILE:LINE: ..." for the first line (ended by LF) where found differs
// from expected; the two differ somewhere.
void reportFirstDifference(const std::string& path, std::string_view expected,
                           std::string_view found) {
  size_t at = std::mismatch(expected.begin(), expected.end(), found.begin(), found.end()).first -
              expected.begin();
  size_t begin = expected.substr(0, at).rfind('\n');
  begin = begin == std::string_view::npos ? 0 : begin + 1;
  size_t number = 1 + static_cast<size_t>(std::count(expected.begin(), expected.begin() + begin, '\n'));
  std::cerr << "codeloom-cli: " << path << ":" << number
            << ": differs from the header: expected "
            << showLine(lineAt(expected, begin), begin < expected.size()) << ", found "
            << showLine(lineAt(found, begin), begin < found.size()) << "\n";
}

// Writes the header to path unless path already holds exactly these bytes,
// so that an unchanged header keeps its modification time.
bool updateHeaderFile(const std::string& path, const std::string& header) {
  std::string current;
  if (readInput(path, current).ok() && current == header) return true;
  return writeFileSafely(path, header);
}

bool checkHeaderFile(const std::string& path, const std::string& header) {
  std::string current;
  ReadResult result = readInput(path, current);
  if (!result.ok()) {
    reportReadFailure(path, result);
    return false;
  }
  if (current == header) return true;
  reportFirstDifference(path, header, current);
  return false;
}

}  // namespace

int runHeaders(const HeadersOptions& options) {
  const bool toFile = options.outputPath || options.checkPath;
  // Printed as it grows, through bounded windows; a header for a file is
  // built whole, as it is compared or written whole. A file that cannot be
  // read counts as empty (when the failure comes after part of a long
  // section was printed, that part stays printed).
  HeaderScan command;
  command.mode = options.mode;
  command.libraryName = options.libraryName;
  HeaderText header;
  HeaderPrinter printer(command, writeStdout);
  bool printed = true;
  const std::function<bool(const HeaderText&)> print = [&](const HeaderText& part) {
    return printed = printed && printer.print(part);
  };
  const int status = appendSources({options.files, options.followIncludes, options.includeDirs}, command, header,
                                   toFile ? nullptr : print)
                         ? kExitOk
                         : kExitFailure;
  if (!toFile && printed) printed = printer.finish();
  if (!printed) return kExitFailure;  // finishStdout tells why
  if (!toFile) return status;
  const std::string& target = options.outputPath ? *options.outputPath : *options.checkPath;
  if (status != kExitOk) {
    // A header missing a file's declarations is never taken for the real one.
    std::cerr << "codeloom-cli: '" << target << "' not "
              << (options.outputPath ? "written" : "checked") << ": a source could not be read\n";
    return status;
  }
  const std::string text = withLibraryName(header, finalLibraryName(command));
  bool done = options.outputPath ? updateHeaderFile(target, text) : checkHeaderFile(target, text);
  return done ? kExitOk : kExitFailure;
}

}  // namespace codeloom::cli
