#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/input_reader.h"
#include "cli/subcommands.h"
#include "headers/source_scanner.h"

namespace codeloom::cli {
namespace {

const std::map<std::string, HeaderMode> kModes = {
    {"sll", HeaderMode::Sll}, {"dll", HeaderMode::Dll}, {"compile", HeaderMode::Compile}};

// The most bytes of a line a --check message shows.
constexpr size_t kShownLineBytes = 120;

// Scans the file at path through the reader's bounded windows and appends
// its section to out. When printing, the settled part of out is printed
// whenever this much has gathered, so memory holds neither the file nor a
// long section.
constexpr size_t kPrintAt = size_t(1) << 20;

// A file that cannot be read counts as empty (when the failure comes after
// part of a long section was printed, that part stays printed). printed
// turns false once a write to stdout fails.
ReadResult scanSection(const std::string& path, InterfaceNames& interfaceNames, HeaderMode mode,
                       std::string_view library, std::string& out, bool print, bool& printed) {
  ReadResult result;
  const SettledOutput output{[&printed](std::string_view settled) { return printed = writeStdout(settled); },
                             kPrintAt};
  // The banner shows what follows the last "\" or "/".
  appendSourceSection(out, interfaceNames, baseName(path), mode, library,
                      [&](const std::function<bool(std::string_view)>& take) {
                        result = readInputWindows(path, take);
                        return result.ok();
                      },
                      print ? &output : nullptr);
  return result;
}

struct HeadersArgs {
  std::string mode;
  std::string library{kDefaultLibraryName};
  std::vector<std::string> files;
  std::string outputPath;
  std::string checkPath;
};

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

void addHeadersCommand(CLI::App& app, int& status) {
  auto args = std::make_shared<HeadersArgs>();
  CLI::App* headers = app.add_subcommand(
      "headers", "Print the header that Write SLL/DLL/compile headers builds for FILE..., in order");
  headers->add_option("--mode", args->mode, "sll, dll or compile")
      ->required()
      ->check(CLI::IsMember({"sll", "dll", "compile"}));
  headers->add_option("files", args->files, "Source files, scanned in this order")->required();
  CLI::Option* output = headers->add_option(
      "-o,--output", args->outputPath,
      "Write the header to this file instead, and only when its bytes change");
  CLI::Option* check = headers->add_option(
      "--check", args->checkPath,
      "Change nothing; fail unless this file holds exactly the header");
  output->excludes(check);
  // The name stands between the quotes of a Lib clause: a quote or a line
  // break in it would break the Declare.
  CLI::Option* library = headers->add_option(
      "--lib", args->library,
      "With --mode dll: the library named in the Lib clauses it adds (default export.dll)");
  library->check([](const std::string& name) -> std::string {
    if (name.empty()) return "the library name is empty";
    for (unsigned char c : name)
      if (c == '"' || c < 0x20 || c == 0x7F) return "the library name holds a double quote or a control character";
    return "";
  });
  headers->callback([args, &status, output, check, library] {
    if (library->count() > 0 && args->mode != "dll")
      throw CLI::ValidationError("--lib", "goes with --mode dll only");
    HeaderMode mode = kModes.at(args->mode);
    const bool toFile = output->count() > 0 || check->count() > 0;
    // Printed one file at a time through bounded windows; a header for a
    // file is built whole, as it is compared or written whole.
    InterfaceNames interfaceNames;
    std::string header;
    bool printed = true;
    status = kExitOk;
    for (const std::string& path : args->files) {
      ReadResult result =
          scanSection(path, interfaceNames, mode, args->library, header, !toFile, printed);
      if (!toFile) {
        printed = printed && writeStdout(header);
        header.clear();
      }
      if (!printed) {
        status = kExitFailure;  // finishStdout tells why
        return;
      }
      if (!result.ok()) {
        reportReadFailure(path, result);
        status = kExitFailure;
      }
    }
    if (!toFile) return;
    const std::string& target = output->count() ? args->outputPath : args->checkPath;
    if (status != kExitOk) {
      // A header missing a file's declarations is never taken for the real one.
      std::cerr << "codeloom-cli: '" << target << "' not "
                << (output->count() ? "written" : "checked") << ": a source could not be read\n";
      return;
    }
    bool done = output->count() ? updateHeaderFile(target, header) : checkHeaderFile(target, header);
    if (!done) status = kExitFailure;
  });
}

}  // namespace codeloom::cli
