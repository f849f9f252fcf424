#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_io.h"
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

// Prints the header as it grows once the Lib clauses' name is settled, and
// holds it until then: a later file's #COMPILE DLL names the clauses of the
// files before it. Past kHeldInMemory, what is held waits in a temporary
// file, so that memory stays bounded however long the header.
class HeaderPrinter {
 public:
  explicit HeaderPrinter(const HeaderScan& command) : command_(command) {}
  ~HeaderPrinter() {
    if (spill_) std::fclose(spill_);
  }
  HeaderPrinter(const HeaderPrinter&) = delete;
  HeaderPrinter& operator=(const HeaderPrinter&) = delete;

  bool print(const HeaderText& part) {
    std::string_view name = settledLibraryName(command_);
    if (name.empty()) {
      if (spill_ || held_.text.size() + part.text.size() >= kHeldInMemory) return spill(held_) && spill(part);
      if (held_.text.empty()) held_.text.reserve(kHeldInMemory);  // grown once, not by doubling
      held_.append(part);
      return true;
    }
    if ((spill_ || !held_.text.empty()) && !flush(name)) return false;
    return writeNamed(part, name);
  }
  // What is held, with the name as it ends up.
  bool finish() { return flush(finalLibraryName(command_)); }

 private:
  static constexpr size_t kHeldInMemory = size_t(1) << 20;

  // Writes text to the temporary file, which holds what is held from now
  // on: each part as its size, its count of name places, the places and its
  // bytes, so that it comes back a part at a time and memory stays bounded.
  // Memory holds it where there is no temporary file.
  bool spill(const HeaderText& text) {
    if (text.text.empty()) return true;
    if (!spill_ && !(spill_ = std::tmpfile())) {
      if (&text != &held_) held_.append(text);
      return true;
    }
    const uint64_t sizes[2] = {text.text.size(), text.libraryNameAt.size()};
    const size_t places = text.libraryNameAt.size();
    if (std::fwrite(sizes, sizeof sizes, 1, spill_) != 1 ||
        std::fwrite(text.libraryNameAt.data(), sizeof(size_t), places, spill_) != places ||
        std::fwrite(text.text.data(), 1, text.text.size(), spill_) != text.text.size()) {
      std::cerr << "codeloom-cli: write error: a temporary file: " << std::strerror(errno) << "\n";
      return false;
    }
    spilledBytes_ += text.text.size();
    if (&text == &held_) held_.clear();
    return true;
  }

  // The text with the name at its places, through one buffer that keeps
  // its memory: fresh memory for each part costs more than the copy.
  bool writeNamed(const HeaderText& part, std::string_view name) {
    if (part.libraryNameAt.empty()) return writeStdout(part.text);
    named_.clear();
    appendWithLibraryName(named_, part, name);
    return writeStdout(named_);
  }

  bool flush(std::string_view name) {
    if (spill_ && !flushSpilled(name)) return false;
    bool printed = writeNamed(held_, name);
    held_.clear();
    return printed;
  }

  // The spilled parts back, one at a time, with the name at their places.
  // The part read keeps its memory: growing it again would clear it first.
  bool flushSpilled(std::string_view name) {
    std::FILE* spill = std::exchange(spill_, nullptr);
    bool readBack = std::fflush(spill) == 0 && std::fseek(spill, 0, SEEK_SET) == 0, printed = true;
    HeaderText part;
    for (size_t done = 0; readBack && printed && done < spilledBytes_;) {
      uint64_t sizes[2];
      readBack = std::fread(sizes, sizeof sizes, 1, spill) == 1 && sizes[0] <= spilledBytes_ - done &&
                 sizes[1] <= sizes[0];
      if (!readBack) break;
      part.text.resize(sizes[0]);
      part.libraryNameAt.resize(sizes[1]);
      readBack = std::fread(part.libraryNameAt.data(), sizeof(size_t), sizes[1], spill) == sizes[1] &&
                 std::fread(part.text.data(), 1, sizes[0], spill) == sizes[0];
      done += sizes[0];
      printed = readBack && writeNamed(part, name);
    }
    if (!readBack) std::cerr << "codeloom-cli: read error: a temporary file\n";
    std::fclose(spill);
    return readBack && printed;
  }

  const HeaderScan& command_;
  HeaderText held_;
  std::string named_;
  std::FILE* spill_ = nullptr;
  size_t spilledBytes_ = 0;
};

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
  HeaderPrinter printer(command);
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
